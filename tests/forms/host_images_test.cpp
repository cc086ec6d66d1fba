// The pictures of forms/data decode to the sizes the forms describe, and
// the button glyphs never contain the colour the buttons punch out.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <fstream>
#include <iterator>

#include "forms/byte_reader.h"

using ts::forms::Bytes;

namespace {

const std::string kData = std::string(TS_SOURCE_DIR) + "/forms/data/";

Bytes Load(const std::string& name) {
  std::ifstream f(kData + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

struct Png {
  bool ok = false;
  uint32_t width = 0, height = 0, format = 0;
  std::vector<uint8_t> bgra;
};

Png DecodePng(const Bytes& data) {
  Png out;
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&img, data.data(), data.size())) return out;
  out.format = img.format;
  img.format = PNG_FORMAT_BGRA;
  out.bgra.resize(PNG_IMAGE_SIZE(img));
  out.ok = png_image_finish_read(&img, nullptr, out.bgra.data(), 0, nullptr) != 0;
  out.width = img.width;
  out.height = img.height;
  png_image_free(&img);
  return out;
}

struct JpegErr {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};
void JpegFail(j_common_ptr c) { longjmp(reinterpret_cast<JpegErr*>(c->err)->jump, 1); }

bool DecodeJpeg(const Bytes& data, unsigned* w, unsigned* h) {
  jpeg_decompress_struct cinfo;
  JpegErr err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  std::vector<uint8_t> row(size_t(cinfo.output_width) * cinfo.output_components);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW r = row.data();
    jpeg_read_scanlines(&cinfo, &r, 1);
  }
  *w = cinfo.output_width;
  *h = cinfo.output_height;
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

struct GifFacts {
  bool ok = false;
  int width = 0, height = 0, frames = 0;
  std::vector<int> delays;
  bool loopsForever = false;
};

// Walks the GIF block structure (no pixel decoding).
GifFacts WalkGif(const Bytes& d) {
  GifFacts g;
  ts::forms::ByteReader r(d);
  const uint8_t* sig = r.take(6);
  if (!sig || std::string(reinterpret_cast<const char*>(sig), 6) != "GIF89a") return g;
  g.width = r.u16();
  g.height = r.u16();
  uint8_t flags = r.u8();
  r.skip(2);
  if (flags & 0x80) r.skip(3u << ((flags & 7) + 1));
  auto skipBlocks = [&] {
    for (uint8_t n = r.u8(); r.ok() && n; n = r.u8()) r.skip(n);
  };
  while (r.ok()) {
    uint8_t b = r.u8();
    if (b == 0x3B) {
      g.ok = r.atEnd();
      return g;
    }
    if (b == 0x21) {
      uint8_t label = r.u8();
      if (label == 0xF9) {
        r.skip(2);
        g.delays.push_back(r.u16());
        r.skip(1);
        skipBlocks();
      } else if (label == 0xFF) {
        const uint8_t* app = r.take(r.u8());
        if (app && std::string(reinterpret_cast<const char*>(app), 11) == "NETSCAPE2.0") {
          uint8_t n = r.u8();
          r.u8();
          g.loopsForever = n == 3 && r.u16() == 0;
        }
        skipBlocks();
      } else {
        skipBlocks();
      }
    } else if (b == 0x2C) {
      r.skip(8);
      uint8_t f = r.u8();
      if (f & 0x80) r.skip(3u << ((f & 7) + 1));
      r.u8();
      skipBlocks();
      ++g.frames;
    } else {
      return g;
    }
  }
  return g;
}

struct ButtonImage {
  const char* file;
  uint32_t pixels;
  bool palette;
  size_t bytes;
};
const ButtonImage kButtons[] = {
    {"locate16.png", 16, false, 604},  {"open16.png", 16, false, 605},     {"clean16.png", 16, false, 666},
    {"unselect16.png", 16, false, 864}, {"select16.png", 16, false, 873},  {"delete16.png", 16, true, 1545},
    {"add16.png", 16, true, 1292},      {"exit32.png", 32, false, 2572},   {"help32.png", 32, false, 2952},
    {"stop32.png", 32, false, 3070},    {"scan32.png", 32, false, 3037},   {"ok16.png", 16, true, 1394},
};

}  // namespace

TEST(Images, ButtonPngsHaveTheirSizesFormatsAndByteCounts) {
  for (const ButtonImage& b : kButtons) {
    Bytes data = Load(b.file);
    EXPECT_EQ(data.size(), b.bytes) << b.file;
    Png png = DecodePng(data);
    ASSERT_TRUE(png.ok) << b.file;
    EXPECT_EQ(png.width, b.pixels) << b.file;
    EXPECT_EQ(png.height, b.pixels) << b.file;
    EXPECT_EQ((png.format & PNG_FORMAT_FLAG_COLORMAP) != 0, b.palette) << b.file;
    EXPECT_EQ((png.format & PNG_FORMAT_FLAG_ALPHA) != 0, !b.palette) << b.file;
  }
}

TEST(Images, GlyphPixelsNeverEqualTheCornerAfterFlatteningOntoWhite) {
  for (const ButtonImage& b : kButtons) {
    Png png = DecodePng(Load(b.file));
    ASSERT_TRUE(png.ok);
    auto flat = [&](size_t i, int ch) {
      unsigned a = png.bgra[i * 4 + 3];
      return (png.bgra[i * 4 + ch] * a + 255 * (255 - a) + 127) / 255;
    };
    size_t n = size_t(png.width) * png.height;
    ASSERT_EQ(flat(0, 0) + flat(0, 1) + flat(0, 2), 765u) << b.file << ": corner must be white";
    size_t glyph = 0;
    for (size_t i = 0; i < n; ++i) {
      bool background = png.bgra[i * 4 + 3] == 0 ||
                        (png.bgra[i * 4] == 255 && png.bgra[i * 4 + 1] == 255 && png.bgra[i * 4 + 2] == 255);
      if (background) continue;
      ++glyph;
      EXPECT_NE(flat(i, 0) + flat(i, 1) + flat(i, 2), 765u) << b.file << " pixel " << i;
    }
    EXPECT_GT(glyph, n / 8) << b.file << ": the glyph should be visible";
  }
}

TEST(Images, TheAnimationIs36FramesOf9HundredthsLoopingForever) {
  Bytes gif = Load("anim.gif");
  EXPECT_EQ(gif.size(), 41785u);
  GifFacts g = WalkGif(gif);
  ASSERT_TRUE(g.ok);
  EXPECT_EQ(g.width, 85);
  EXPECT_EQ(g.height, 80);
  EXPECT_EQ(g.frames, 36);
  EXPECT_EQ(g.delays, std::vector<int>(36, 9));
  EXPECT_TRUE(g.loopsForever);
}

TEST(Images, TheBannerIsA388By80JpegWithEmbeddedPreviews) {
  Bytes jpg = Load("banner.jpg");
  EXPECT_EQ(jpg.size(), 69401u);
  unsigned w = 0, h = 0;
  ASSERT_TRUE(DecodeJpeg(jpg, &w, &h));
  EXPECT_EQ(w, 388u);
  EXPECT_EQ(h, 80u);
  // Walk the segments before the scan: the previews are JFIF extension
  // segments, each holding a complete JPEG that decodes on its own.
  int previews = 0;
  for (size_t i = 2; i + 4 <= jpg.size() && jpg[i] == 0xFF && jpg[i + 1] != 0xDA;) {
    size_t len = size_t(jpg[i + 2]) << 8 | jpg[i + 3];
    if (jpg[i + 1] == 0xE0 && std::string(reinterpret_cast<const char*>(&jpg[i + 4]), 4) == "JFXX") {
      Bytes thumb(jpg.begin() + i + 10, jpg.begin() + i + 2 + len);
      unsigned tw = 0, th = 0;
      EXPECT_TRUE(DecodeJpeg(thumb, &tw, &th));
      EXPECT_LT(tw, 388u);
      ++previews;
    }
    i += 2 + len;
  }
  EXPECT_GE(previews, 1);
}
