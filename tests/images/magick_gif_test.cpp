// Cross-checks the GIF reader against files made by an independent encoder
// (ImageMagick), plain and interlaced, so the reader and our own test
// writer cannot agree on a mistake. Host only; skipped without ImageMagick.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "images/layout.h"
#include "images/picture.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::vector<uint8_t> out;
  ts::images::ReadWholeFile(path.c_str(), out);
  return out;
}

bool Shell(const std::string& command) { return std::system(command.c_str()) == 0; }

}  // namespace

TEST(GifFromAnotherEncoder, PlainAndInterlacedMatchTheEncodersOwnPixels) {
  if (!Shell("command -v convert >/dev/null 2>&1")) GTEST_SKIP() << "ImageMagick not installed";
  char dirTemplate[] = "/tmp/ts-gif-XXXXXX";
  ASSERT_NE(mkdtemp(dirTemplate), nullptr);
  const std::string dir = dirTemplate;
  // 97x61 of a plasma-like pattern quantised to 200 colours: long LZW
  // streams, code growth to 12 bits and table resets.
  ASSERT_TRUE(Shell("convert -size 97x61 -seed 7 plasma:fractal -colors 200 +dither " + dir + "/src.png"));
  ASSERT_TRUE(Shell("convert " + dir + "/src.png -interlace none " + dir + "/plain.gif"));
  ASSERT_TRUE(Shell("convert " + dir + "/src.png -interlace GIF " + dir + "/inter.gif"));
  ASSERT_TRUE(Shell("convert " + dir + "/plain.gif -depth 8 rgb:" + dir + "/expected.rgb"));
  const std::vector<uint8_t> expected = ReadAll(dir + "/expected.rgb");
  ASSERT_EQ(expected.size(), 97u * 61 * 3);

  for (const char* name : {"plain.gif", "inter.gif"}) {
    const std::vector<uint8_t> file = ReadAll(dir + "/" + name);
    ASSERT_EQ(ts::images::Recognise(file.data(), file.size()), ts::images::kGif);
    auto p = ts::images::DecodeData(file.data(), file.size());
    ASSERT_TRUE(p) << name;
    ASSERT_EQ(p->width, 97u);
    ASSERT_EQ(p->height, 61u);
    size_t mismatches = 0;
    for (uint32_t y = 0; y < 61; ++y) {
      for (uint32_t x = 0; x < 97; ++x) {
        const uint8_t index = p->data[ts::images::kDibPixelOffset + size_t{ts::images::Stride8(97)} * y + x];
        const uint8_t* pal = &p->data[ts::images::kDibHeaderSize + index * 4u];
        const uint8_t* want = &expected[(size_t{y} * 97 + x) * 3];
        if (pal[2] != want[0] || pal[1] != want[1] || pal[0] != want[2]) ++mismatches;
      }
    }
    EXPECT_EQ(mismatches, 0u) << name;
  }
  Shell("rm -rf " + dir);
}
