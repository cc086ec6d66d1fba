// Decoding from bytes to picture records, for every format. Pure code: this
// file builds for the target and natively on the host.
#include <gtest/gtest.h>

#include <cstring>

#include "images/gif.h"
#include "images/layout.h"
#include "images/picture.h"
#include "tests/images/image_writers.h"

using namespace ts::images;
using namespace imgtest;

namespace {

std::optional<Picture> Decoded(const Bytes& b) { return DecodeData(b.data(), b.size()); }

// Colour of a pixel (x, y from the top) of a kind 1/2 picture.
Colour Bgr(const Picture& p, uint32_t x, uint32_t y) {
  const uint8_t* px = &p.data[(size_t{p.height - 1 - y} * p.width + x) * 3];
  return Colour{px[2], px[1], px[0]};
}

// Palette colour of a pixel of a kind 5/6 picture.
Colour Indexed(const Picture& p, uint32_t x, uint32_t y) {
  const uint8_t index = p.data[kDibPixelOffset + size_t{Stride8(p.width)} * y + x];
  const uint8_t* pal = &p.data[kDibHeaderSize + index * 4u];
  return Colour{pal[2], pal[1], pal[0]};
}

std::vector<uint8_t> FramePixels(const GifFrame& f) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < f.height; ++y)
    for (uint32_t x = 0; x < f.width; ++x) out.push_back(f.IndexAt(x, y));
  return out;
}

std::vector<Colour> Palette(int n) {
  std::vector<Colour> p;
  for (int i = 0; i < n; ++i) p.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)});
  return p;
}

}  // namespace

TEST(Recognise, ReadsTheFirstBytesInTheFixedOrder) {
  auto r = [](std::initializer_list<uint8_t> b) {
    std::vector<uint8_t> v(b);
    return Recognise(v.data(), v.size());
  };
  EXPECT_EQ(r({'B', 'M', 0, 0, 0, 0}), kBmp);
  EXPECT_EQ(r({0xFF, 0xD8, 0xFF, 0xE0, 0, 0}), kJpeg);
  EXPECT_EQ(r({0x89, 'P', 'N', 'G', 13, 10}), kPng);
  EXPECT_EQ(r({0, 0, 1, 0, 1, 0}), kIcon);
  EXPECT_EQ(r({0, 0, 2, 0, 3, 0}), kCursor);
  EXPECT_EQ(r({0, 0, 1, 0, 0, 0}), kUnknown);  // no entries
  EXPECT_EQ(r({'G', 'I', 'F', '8', '7', 'a'}), kGif);
  EXPECT_EQ(r({'G', 'I', 'F', '8', '9', 'a'}), kGif);
  EXPECT_EQ(r({'G', 'I', 'F', '8', '8', 'a'}), kUnknown);
  EXPECT_EQ(r({0x0A, 5, 1, 8, 0, 0}), kPcx8);
  EXPECT_EQ(r({0x0A, 6, 1, 8, 0, 0}), kUnknown);
  EXPECT_EQ(r({0x0A, 3, 1, 1, 0, 0}), kPcx1);
  EXPECT_EQ(r({0x0A, 2, 1, 1, 0, 0}), kUnknown);
  EXPECT_EQ(r({'B', 'M', 0, 0, 0}), kUnknown);  // fewer than 6 bytes
  EXPECT_EQ(Recognise(nullptr, 100), kUnknown);
}

TEST(Bmp, BottomUpAndTopDownFilesGiveTheSameBottomUpPicture) {
  std::vector<Colour> px;
  for (int i = 0; i < 5 * 3; ++i) px.push_back({static_cast<uint8_t>(i * 10), static_cast<uint8_t>(i), 200});
  for (bool topDown : {false, true}) {
    auto p = Decoded(MakeBmp24(5, 3, px, topDown));
    ASSERT_TRUE(p) << topDown;
    EXPECT_EQ(p->kind, kBmp);
    EXPECT_EQ(p->width, 5u);
    EXPECT_EQ(p->height, 3u);
    EXPECT_EQ(p->data.size(), 5u * 3 * 3);  // no row padding
    for (uint32_t y = 0; y < 3; ++y)
      for (uint32_t x = 0; x < 5; ++x) EXPECT_EQ(Bgr(*p, x, y), px[y * 5 + x]) << x << "," << y;
  }
}

TEST(Bmp, ThirtyTwoBitAndPalettedDepthsExpandToTriples) {
  std::vector<Colour> px = {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}};
  auto p32 = Decoded(MakeBmp24(2, 2, px, false, 32));
  ASSERT_TRUE(p32);
  EXPECT_EQ(Bgr(*p32, 1, 1), (Colour{10, 11, 12}));

  const std::vector<Colour> pal = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  const std::vector<uint8_t> idx = {0, 1, 2, 3, 3, 2, 1, 0, 1};
  for (int bits : {4, 8}) {
    auto p = Decoded(MakeBmpIndexed(3, 3, bits, pal, idx));
    ASSERT_TRUE(p) << bits;
    for (uint32_t i = 0; i < idx.size(); ++i) EXPECT_EQ(Bgr(*p, i % 3, i / 3), pal[idx[i]]) << bits << " " << i;
  }
  std::vector<uint8_t> bitsOn = {1, 0, 1, 0, 0, 1, 1, 1, 0};
  auto p1 = Decoded(MakeBmpIndexed(3, 3, 1, {{0, 0, 0}, {255, 255, 255}}, bitsOn));
  ASSERT_TRUE(p1);
  EXPECT_EQ(Bgr(*p1, 0, 0), (Colour{255, 255, 255}));
  EXPECT_EQ(Bgr(*p1, 1, 0), (Colour{0, 0, 0}));
  EXPECT_EQ(Bgr(*p1, 2, 1), (Colour{255, 255, 255}));
}

TEST(Bmp, RejectsCompressionBadOffsetsAndShortData) {
  std::vector<Colour> px(4);
  EXPECT_FALSE(Decoded(MakeBmp24(2, 2, px, false, 24, 1)));  // run-length 8
  EXPECT_FALSE(Decoded(MakeBmp24(2, 2, px, false, 24, 3)));  // bit fields
  EXPECT_FALSE(Decoded(MakeBmp24(2, 2, px, false, 16)));     // 16-bit unsupported

  Bytes truncated = MakeBmp24(2, 2, px);
  truncated.pop_back();
  EXPECT_FALSE(Decoded(truncated));

  // Pixel offset pointing into the palette.
  Bytes b = MakeBmpIndexed(2, 2, 8, {{1, 1, 1}, {2, 2, 2}}, {0, 1, 1, 0});
  b[10] = 14 + 40 + 4;
  EXPECT_FALSE(Decoded(b));

  // A palette count beyond 256 entries.
  Bytes many = MakeBmpIndexed(2, 2, 8, {{1, 1, 1}}, {0, 0, 0, 0});
  many[46] = 0x01;
  many[47] = 0x01;  // colours used = 257
  EXPECT_FALSE(Decoded(many));

  // Huge dimensions are refused before any allocation.
  Bytes huge = MakeBmp24(2, 2, px);
  huge[18] = 0xFF;
  huge[19] = 0xFF;
  huge[20] = 0xFF;
  huge[21] = 0x7F;
  EXPECT_FALSE(Decoded(huge));
}

TEST(Bmp, PaletteIndexPastTheTableReadsBlackInsteadOfOverrunning) {
  auto p = Decoded(MakeBmpIndexed(2, 1, 8, {{9, 9, 9}}, {0, 200}));
  ASSERT_TRUE(p);
  EXPECT_EQ(Bgr(*p, 0, 0), (Colour{9, 9, 9}));
  EXPECT_EQ(Bgr(*p, 1, 0), (Colour{0, 0, 0}));
}

TEST(Pcx, EightBitDecodesWithItsPaletteAndPaddedRows) {
  const auto pal = Palette(256);
  std::vector<uint8_t> idx;
  for (int i = 0; i < 5 * 3; ++i) idx.push_back(static_cast<uint8_t>(i < 6 ? 7 : 200 + i));  // runs and literals
  auto p = Decoded(MakePcx8(5, 3, idx, pal));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPcx8);
  EXPECT_EQ(p->data.size(), kDibPixelOffset + 8u * 3);
  for (uint32_t i = 0; i < idx.size(); ++i) EXPECT_EQ(Indexed(*p, i % 5, i / 5), pal[idx[i]]) << i;
}

TEST(Pcx, RunsPastTheLineEndAreClippedAndShortDataFails) {
  const auto pal = Palette(256);
  Bytes b = MakePcx8(4, 2, {1, 1, 1, 1, 2, 2, 2, 2}, pal);
  // Replace the pixel data by one run of 6 covering line 1 and beyond,
  // then line 2 as a run of 4.
  Bytes data = {0xC6, 5, 0xC4, 9};
  Bytes crafted(b.begin(), b.begin() + 128);
  crafted.insert(crafted.end(), data.begin(), data.end());
  crafted.insert(crafted.end(), b.end() - 769, b.end());
  auto p = Decoded(crafted);
  ASSERT_TRUE(p);
  for (uint32_t x = 0; x < 4; ++x) {
    EXPECT_EQ(Indexed(*p, x, 0), pal[5]);
    EXPECT_EQ(Indexed(*p, x, 1), pal[9]);
  }
  Bytes shortData(b.begin(), b.begin() + 130);
  EXPECT_FALSE(Decoded(shortData));
  EXPECT_FALSE(Decoded(Bytes(b.begin(), b.begin() + 128)));  // header only
}

TEST(Pcx, OneBitGivesPackedRowsPaddedToWords) {
  const Bytes rows = {0xF0, 0xC0, 0x0F, 0x00, 0xAA, 0x40};
  auto p = Decoded(MakePcx1(10, 3, rows, 2));
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPcx1);
  EXPECT_EQ(p->width, 10u);
  EXPECT_EQ(p->data, rows);
}

TEST(Gif, InterlacedAndPlainFramesGiveTheSamePixels) {
  const auto pal = Palette(16);
  std::vector<uint8_t> idx;
  for (int i = 0; i < 7 * 11; ++i) idx.push_back(static_cast<uint8_t>((i * 5 + i / 7) % 16));
  GifFrameSpec plain = FrameOf(7, 11, idx);
  GifFrameSpec inter = plain;
  inter.interlaced = true;
  auto a = Decoded(MakeGif(7, 11, pal, {plain}));
  auto b = Decoded(MakeGif(7, 11, pal, {inter}));
  ASSERT_TRUE(a);
  ASSERT_TRUE(b);
  EXPECT_EQ(a->kind, kGif);
  EXPECT_EQ(a->data, b->data);
  for (uint32_t i = 0; i < idx.size(); ++i) EXPECT_EQ(Indexed(*a, i % 7, i / 7), pal[idx[i]]) << i;
}

TEST(Gif, LongStreamsGrowCodesToTwelveBitsAndResetTheTable) {
  // 256 colours of noise-like data fill the 4096-entry table several times.
  const auto pal = Palette(256);
  std::vector<uint8_t> idx;
  uint32_t seed = 12345;
  for (int i = 0; i < 120 * 100; ++i) {
    seed = seed * 1103515245u + 12345u;
    idx.push_back(static_cast<uint8_t>((seed >> 16) % (i % 3 == 0 ? 256 : 4)));
  }
  GifReader reader;
  const Bytes b = MakeGif(120, 100, pal, {FrameOf(120, 100, idx)});
  ASSERT_TRUE(reader.Open(b.data(), b.size()));
  GifFrame f;
  ASSERT_TRUE(reader.NextFrame(f));
  EXPECT_EQ(FramePixels(f), idx);
}

TEST(Gif, FrameWalkerCountsWrapsAndCarriesControlValues) {
  const auto pal = Palette(4);
  GifFrameSpec first = FrameOf(4, 2, {0, 1, 2, 3, 3, 2, 1, 0});
  GifFrameSpec second = FrameOf(2, 1, {3, 3}, 1, 1);
  second.control = true;
  second.disposal = 3;
  second.transparent = true;
  second.transparentIndex = 2;
  second.delay = 7;
  second.localTable = Palette(4);
  second.localTable[2] = {10, 20, 30};
  const Bytes b = MakeGif(4, 2, pal, {first, second}, true);

  GifReader reader;
  ASSERT_TRUE(reader.Open(b.data(), b.size()));
  EXPECT_EQ(reader.CountFrames(), 2);
  EXPECT_EQ(reader.ScreenWidth(), 4u);
  GifFrame f1, f2, again;
  ASSERT_TRUE(reader.NextFrame(f1));
  ASSERT_TRUE(reader.NextFrame(f2));
  ASSERT_TRUE(reader.NextFrame(again));  // wraps after the trailer
  EXPECT_EQ(f1.disposal, 0);
  EXPECT_FALSE(f1.transparent);
  EXPECT_EQ(f2.left, 1u);
  EXPECT_EQ(f2.top, 1u);
  EXPECT_EQ(f2.disposal, 3);
  EXPECT_TRUE(f2.transparent);
  EXPECT_EQ(f2.delay, 7u);
  EXPECT_EQ(f2.transparentColour, 0x001E140Au);  // from the local table
  EXPECT_EQ(FramePixels(again), FramePixels(f1));
  EXPECT_EQ(again.dib, f1.dib);

  const Bytes still = MakeGif(4, 2, pal, {first});
  GifReader one;
  ASSERT_TRUE(one.Open(still.data(), still.size()));
  EXPECT_EQ(one.CountFrames(), 1);  // one frame then the trailer: still
}

TEST(Gif, TruncatedDataStopsDecodingAndLeavesTheRestAtIndexZero) {
  const auto pal = Palette(4);
  Bytes b = MakeGif(8, 8, pal, {FrameOf(8, 8, std::vector<uint8_t>(64, 3))});
  const size_t lzw = 13 + 12 + 19 + 10;
  ASSERT_EQ(b[lzw], 2);
  const size_t n = b[lzw + 1];
  ASSERT_GE(n, 3u);
  // Keep only the first data byte: clear, 3, then half a code.
  b.erase(b.begin() + static_cast<ptrdiff_t>(lzw + 3), b.begin() + static_cast<ptrdiff_t>(lzw + 2 + n));
  b[lzw + 1] = 1;
  GifReader reader;
  GifFrame f;
  ASSERT_TRUE(reader.Open(b.data(), b.size()));
  ASSERT_TRUE(reader.NextFrame(f));
  EXPECT_EQ(f.IndexAt(0, 0), 3);
  EXPECT_EQ(f.IndexAt(7, 7), 0);
  EXPECT_EQ(f.IndexAt(4, 3), 0);
}

TEST(Gif, DisposalTakesBitsTwoToFour) {
  const auto pal = Palette(4);
  for (int disposal : {1, 2, 3, 7}) {
    GifFrameSpec f = FrameOf(1, 1, {1});
    f.control = true;
    f.disposal = disposal;
    const Bytes b = MakeGif(1, 1, pal, {f});
    GifReader reader;
    GifFrame frame;
    ASSERT_TRUE(reader.Open(b.data(), b.size()));
    ASSERT_TRUE(reader.NextFrame(frame));
    EXPECT_EQ(frame.disposal, disposal);
  }
}

TEST(Gif, MalformedStreamsFailWithoutHanging) {
  const auto pal = Palette(4);
  GifFrameSpec f = FrameOf(2, 2, {0, 1, 2, 3});
  for (int bad : {1, 12}) {
    GifFrameSpec g = f;
    g.minCodeSize = bad;
    EXPECT_FALSE(Decoded(MakeGif(2, 2, pal, {g}))) << bad;
  }
  GifFrameSpec t = f;
  t.control = true;
  t.transparent = true;
  t.transparentIndex = 9;  // past the 4-entry table
  EXPECT_FALSE(Decoded(MakeGif(2, 2, pal, {t})));

  // No image descriptor at all: the walker gives up after one pass.
  Bytes none = MakeGif(2, 2, pal, {});
  GifReader reader;
  ASSERT_TRUE(reader.Open(none.data(), none.size()));
  GifFrame frame;
  EXPECT_FALSE(reader.NextFrame(frame));
  EXPECT_FALSE(Decoded(none));

  Bytes unknownLabel = MakeGif(2, 2, pal, {f});
  const size_t descriptor = 13 + 12 + 19;
  ASSERT_EQ(unknownLabel[descriptor], 0x2C);
  unknownLabel.insert(unknownLabel.begin() + descriptor, {0x21, 0x77, 0});
  EXPECT_FALSE(Decoded(unknownLabel));

  Bytes shortTable = MakeGif(2, 2, Palette(256), {f});
  shortTable.resize(14 + 100);  // global table runs past the data
  EXPECT_FALSE(Decoded(shortTable));

  // A code beyond the next free entry right after a clear.
  Bytes b = MakeGif(2, 2, pal, {f});
  const size_t lzw = descriptor + 10;
  ASSERT_EQ(b[lzw], 2);
  b[lzw + 2] = 0xFC;  // clear (4) then code 7
  EXPECT_FALSE(Decoded(b));
}

TEST(Icon, ChoosesTheFirst32PixelEntryWithColoursElseTheLast) {
  const Bytes mixed = MakeIcon({{16, 16, {1, 0, 0}}, {32, 16, {2, 0, 0}}, {48, 0, {3, 0, 0}}});
  auto p = Decoded(mixed);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kIcon);
  EXPECT_EQ(p->width, 32u);
  EXPECT_EQ(p->height, 32u);  // half the header's height

  auto trueColour = Decoded(MakeIcon({{32, 0, {1, 0, 0}}, {16, 0, {2, 0, 0}}, {24, 0, {3, 0, 0}}}));
  ASSERT_TRUE(trueColour);
  EXPECT_EQ(trueColour->width, 24u);

  auto cursor = Decoded(MakeIcon({{16, 0, {}}}, 2));
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->kind, kCursor);
}

TEST(Icon, EntriesPointingOutsideTheFileFail) {
  Bytes b = MakeIcon({{16, 16, {}}});
  Bytes badOffset = b;
  badOffset[6 + 12] = 0xF0;  // offset far past the end
  EXPECT_FALSE(Decoded(badOffset));
  Bytes badSize = b;
  badSize[6 + 8 + 2] = 0x10;  // size of about a megabyte
  EXPECT_FALSE(Decoded(badSize));
  Bytes shortImage = b;
  shortImage[6 + 8] = static_cast<uint8_t>(shortImage[6 + 8] - 1);  // mask's last byte outside the entry
  EXPECT_FALSE(Decoded(shortImage));
  Bytes manyEntries = b;
  manyEntries[4] = 0xFF;  // 255 entries cannot fit
  EXPECT_FALSE(Decoded(manyEntries));
}

TEST(Png, DecodesToTopDownBgraWithStraightAlpha) {
  const std::vector<uint8_t> bgra = {10, 20, 30, 255, 40, 50, 60, 128, 0, 0, 0, 0, 1, 2, 3, 4};
  const Bytes b = MakePng(2, 2, bgra);
  ASSERT_FALSE(b.empty());
  auto p = Decoded(b);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->kind, kPng);
  EXPECT_EQ(p->width, 2u);
  EXPECT_EQ(p->data, bgra);
  EXPECT_FALSE(Decoded(Bytes(b.begin(), b.begin() + 7)));
  Bytes corrupt = b;
  corrupt[corrupt.size() / 2] ^= 0xFF;
  EXPECT_FALSE(Decoded(corrupt));
}

TEST(Jpeg, GreyReplicatesIntoEqualChannelsAndColourKeepsItsOrder) {
  std::vector<uint8_t> grey(16 * 16);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i);
  auto g = Decoded(MakeJpeg(16, 16, 1, grey));
  ASSERT_TRUE(g);
  EXPECT_EQ(g->kind, kJpeg);
  for (size_t i = 0; i < g->data.size(); i += 3) {
    EXPECT_EQ(g->data[i], g->data[i + 1]);
    EXPECT_EQ(g->data[i], g->data[i + 2]);
  }
  // Top half red, bottom half blue: the first stored row is the bottom.
  std::vector<uint8_t> rgb;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) rgb.insert(rgb.end(), y < 8 ? std::initializer_list<uint8_t>{250, 0, 0} : std::initializer_list<uint8_t>{0, 0, 250});
  auto c = Decoded(MakeJpeg(16, 16, 3, rgb));
  ASSERT_TRUE(c);
  const Colour top = Bgr(*c, 4, 2), bottom = Bgr(*c, 4, 13);
  EXPECT_GT(top.r, 200);
  EXPECT_LT(top.b, 50);
  EXPECT_GT(bottom.b, 200);
  EXPECT_LT(bottom.r, 50);

  Bytes cut = MakeJpeg(16, 16, 3, rgb);
  EXPECT_FALSE(Decoded(Bytes(cut.begin(), cut.begin() + 20)));
}

TEST(Robustness, FlippedAndTruncatedBytesNeverCrash) {
  // Every byte of every sample flipped in turn, and every prefix length:
  // results are "picture or none", never a crash or a read out of bounds.
  size_t decoded = 0;
  for (const Sample& s : SampleFiles()) {
    ASSERT_TRUE(Decoded(s.bytes)) << s.name;
    for (size_t i = 0; i < s.bytes.size(); ++i) {
      Bytes flipped = s.bytes;
      flipped[i] ^= 0xFF;
      decoded += Decoded(flipped) ? 1 : 0;
      Bytes bumped = s.bytes;
      bumped[i] = static_cast<uint8_t>(bumped[i] + 1);
      decoded += Decoded(bumped) ? 1 : 0;
      decoded += Decoded(Bytes(s.bytes.begin(), s.bytes.begin() + static_cast<ptrdiff_t>(i))) ? 1 : 0;
    }
  }
  EXPECT_GT(decoded, 0u);
}
