// Device bitmaps made from pictures, PNG blending, icons, and drawing with
// stretching and a transparent key colour.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "images/picture_gdi.h"
#include "tests/images/image_writers.h"
#include "tests/support/temp_tree.h"

using namespace ts::images;
using namespace imgtest;
using ts::win::ClientDC;
using ts::win::OwnedDC;

namespace {

// Pixels of a bitmap, top row first, as 0x00RRGGBB.
std::vector<uint32_t> PixelsOf(HBITMAP bitmap, int& width, int& height) {
  BITMAP bm{};
  GetObject(bitmap, sizeof bm, &bm);
  width = bm.bmWidth;
  height = bm.bmHeight;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> out(static_cast<size_t>(width) * height);
  ClientDC screen;
  GetDIBits(screen.get(), bitmap, 0, static_cast<UINT>(height), out.data(), &info, DIB_RGB_COLORS);
  for (uint32_t& p : out) p &= 0xFFFFFF;
  return out;
}

uint32_t Rgb(const Colour& c) { return (uint32_t{c.r} << 16) | (uint32_t{c.g} << 8) | c.b; }

// A white-filled canvas compatible with the screen, selected into a DC.
struct Canvas {
  Canvas(int w, int h, COLORREF fill) : screen(), dc(CreateCompatibleDC(screen.get())) {
    bitmap.reset(CreateCompatibleBitmap(screen.get(), w, h));
    old = SelectObject(dc.get(), bitmap.get());
    RECT all{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc.get(), &all, brush);
    DeleteObject(brush);
  }
  ~Canvas() { SelectObject(dc.get(), old); }
  std::vector<uint32_t> Pixels(int& w, int& h) {
    SelectObject(dc.get(), old);
    auto p = PixelsOf(bitmap.get(), w, h);
    SelectObject(dc.get(), bitmap.get());
    return p;
  }
  ClientDC screen;
  OwnedDC dc;
  OwnedBitmap bitmap;
  HGDIOBJ old = nullptr;
};

OwnedBitmap BitmapOf(const Bytes& b, COLORREF background = RGB(255, 255, 255)) {
  return PictureDataToBitmap(b.data(), b.size(), background);
}

}  // namespace

TEST(ToBitmap, PngAlphaIsBlendedOntoTheBackground) {
  // Opaque, fully transparent, half transparent, and alpha 128 of 200.
  const std::vector<uint8_t> bgra = {10, 20, 30, 255, 90, 90, 90, 0, 0, 0, 200, 128, 200, 200, 200, 128};
  const Bytes png = MakePng(4, 1, bgra);
  auto pic = Decode(png.data(), png.size());
  ASSERT_TRUE(pic);
  ClientDC screen;
  int w = 0, h = 0;
  DeviceImage onWhite = ToBitmap(*pic, screen.get(), RGB(255, 255, 255));
  ASSERT_TRUE(onWhite.bitmap);
  auto white = PixelsOf(onWhite.bitmap.get(), w, h);
  ASSERT_EQ(w, 4);
  EXPECT_EQ(white[0], 0x1E140Au);  // opaque pixel unchanged
  EXPECT_EQ(white[1], 0xFFFFFFu);  // transparent pixel takes the background

  DeviceImage onBlack = ToBitmap(*pic, screen.get(), RGB(0, 0, 0));
  auto black = PixelsOf(onBlack.bitmap.get(), w, h);
  EXPECT_EQ(black[1], 0u);
  const uint32_t red = (black[2] >> 16) & 0xFF;
  EXPECT_GE(red, 99u);
  EXPECT_LE(red, 101u);  // 128/255 of 200, truncated
  EXPECT_EQ(black[3], 0x646464u);
  EXPECT_EQ(BlendChannel(200, 128, 0), 100);
  EXPECT_EQ(BlendChannel(0, 1, 255), 254);  // truncation, not rounding
}

TEST(ToBitmap, EveryPixelLayoutComesOutUprightWithItsColours) {
  const std::vector<Colour> four = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  std::vector<uint8_t> idx;
  for (int i = 0; i < 5 * 3; ++i) idx.push_back(static_cast<uint8_t>((i + i / 5) % 4));
  std::vector<Colour> rgb;
  for (uint8_t i : idx) rgb.push_back(four[i]);

  GifFrameSpec frame = FrameOf(5, 3, idx);
  const std::vector<std::pair<const char*, Bytes>> files = {
      {"bmp bottom-up", MakeBmp24(5, 3, rgb)},
      {"bmp top-down", MakeBmp24(5, 3, rgb, true)},
      {"bmp 8-bit", MakeBmpIndexed(5, 3, 8, four, idx)},
      {"gif", MakeGif(5, 3, four, {frame})},
      {"pcx", MakePcx8(5, 3, idx, four)},
  };
  for (const auto& [name, bytes] : files) {
    OwnedBitmap bmp = BitmapOf(bytes);
    ASSERT_TRUE(bmp) << name;
    int w = 0, h = 0;
    auto px = PixelsOf(bmp.get(), w, h);
    ASSERT_EQ(w, 5) << name;
    ASSERT_EQ(h, 3) << name;
    for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(px[i], Rgb(rgb[i])) << name << " pixel " << i;
  }

  // One-bit PCX: set bits are white.
  OwnedBitmap mono = BitmapOf(MakePcx1(10, 2, {0x80, 0x40, 0x00, 0x00}, 2));
  ASSERT_TRUE(mono);
  int w = 0, h = 0;
  auto px = PixelsOf(mono.get(), w, h);
  ASSERT_EQ(w, 10);
  EXPECT_EQ(px[0], 0xFFFFFFu);
  EXPECT_EQ(px[1], 0u);
  EXPECT_EQ(px[9], 0xFFFFFFu);
  EXPECT_EQ(px[10], 0u);
}

TEST(ToBitmap, CompressedBmpAndGarbageGiveNoBitmap) {
  std::vector<Colour> px(4);
  EXPECT_FALSE(BitmapOf(MakeBmp24(2, 2, px, false, 24, 1)));
  const Bytes junk = {'B', 'M', 1, 2, 3, 4, 5, 6};
  EXPECT_FALSE(BitmapOf(junk));
  EXPECT_FALSE(PictureDataToBitmap(nullptr, 0, 0));
}

TEST(Icons, DecodeMakesThePlatformIconAndItDrawsOntoWhite) {
  const Bytes ico = MakeIcon({{16, 16, {255, 0, 0}}, {32, 16, {0, 0, 200}}, {48, 0, {0, 255, 0}}});
  auto pic = Decode(ico.data(), ico.size());
  ASSERT_TRUE(pic);
  ASSERT_TRUE(pic->icon);
  DeviceImage image = ToBitmap(*pic, nullptr, 0);
  EXPECT_EQ(image.handle(), pic->icon.get());

  OwnedBitmap bmp = BitmapOf(ico);
  ASSERT_TRUE(bmp);
  int w = 0, h = 0;
  auto px = PixelsOf(bmp.get(), w, h);
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 32);
  EXPECT_EQ(px[0], 0x0000C8u);  // the 32-pixel entry's colour

  const Bytes cur = MakeIcon({{16, 0, {9, 9, 9}}}, 2);
  auto cursor = Decode(cur.data(), cur.size());
  ASSERT_TRUE(cursor);
  EXPECT_EQ(cursor->kind, kCursor);
  EXPECT_TRUE(cursor->icon);

  Canvas canvas(40, 40, RGB(255, 255, 255));
  EXPECT_TRUE(Draw(pic->icon.get(), canvas.dc.get(), 4, 4, -1, -1, SRCCOPY));
  auto drawn = canvas.Pixels(w, h);
  EXPECT_EQ(drawn[4 * 40 + 4], 0x0000C8u);
  EXPECT_EQ(drawn[35 * 40 + 35], 0x0000C8u);
  EXPECT_EQ(drawn[36 * 40 + 36], 0xFFFFFFu);  // natural size is 32
}

TEST(Draw, NaturalSizeStretchAndTransparentKey) {
  // 4x4 red with a blue 2x2 centre.
  std::vector<Colour> px(16, Colour{255, 0, 0});
  for (int i : {5, 6, 9, 10}) px[static_cast<size_t>(i)] = Colour{0, 0, 255};
  OwnedBitmap bmp = BitmapOf(MakeBmp24(4, 4, px));
  ASSERT_TRUE(bmp);

  Canvas natural(10, 10, RGB(0, 255, 0));
  ASSERT_TRUE(Draw(bmp.get(), natural.dc.get(), 1, 1, -1, -1, SRCCOPY));
  int w = 0, h = 0;
  auto n = natural.Pixels(w, h);
  EXPECT_EQ(n[1 * 10 + 1], 0xFF0000u);
  EXPECT_EQ(n[2 * 10 + 2], 0x0000FFu);
  EXPECT_EQ(n[5 * 10 + 5], 0x00FF00u);  // outside 4x4

  Canvas stretched(10, 10, RGB(0, 255, 0));
  ASSERT_TRUE(Draw(bmp.get(), stretched.dc.get(), 0, 0, 8, 8, SRCCOPY));
  auto s = stretched.Pixels(w, h);
  EXPECT_EQ(s[0], 0xFF0000u);
  EXPECT_EQ(s[4 * 10 + 4], 0x0000FFu);
  EXPECT_EQ(s[7 * 10 + 7], 0xFF0000u);
  EXPECT_EQ(s[8 * 10 + 8], 0x00FF00u);

  Canvas keyed(10, 10, RGB(0, 255, 0));
  ASSERT_TRUE(Draw(bmp.get(), keyed.dc.get(), 0, 0, -1, -1, -static_cast<long>(RGB(255, 0, 0))));
  auto k = keyed.Pixels(w, h);
  EXPECT_EQ(k[0], 0x00FF00u);  // red was the key: the canvas shows through
  EXPECT_EQ(k[3 * 10 + 3], 0x00FF00u);
  EXPECT_EQ(k[1 * 10 + 1], 0x0000FFu);
  EXPECT_EQ(k[2 * 10 + 2], 0x0000FFu);

  EXPECT_FALSE(Draw(nullptr, keyed.dc.get(), 0, 0, -1, -1, SRCCOPY));
}

TEST(DecodeFile, ReadsAPictureByPath) {
  ts::test::TempTree tree("img");
  const Bytes gif = MakeGif(3, 2, {{1, 2, 3}, {4, 5, 6}}, {FrameOf(3, 2, {0, 1, 0, 1, 0, 1})});
  const std::string path = tree.File("picture.gif", std::string(gif.begin(), gif.end()));
  auto pic = DecodeFile(path.c_str());
  DeleteFileA(path.c_str());
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->kind, kGif);
  EXPECT_EQ(pic->width, 3u);
  EXPECT_FALSE(DecodeFile(path.c_str()));  // gone
}

TEST(Robustness, DamagedFilesNeverCrashTheBitmapOrIconPath) {
  // Flipped and truncated bytes through the platform side as well: the icon
  // factory, DIB creation and drawing only ever see data that was checked.
  Canvas canvas(64, 64, RGB(0, 0, 0));
  size_t made = 0;
  for (const Sample& s : SampleFiles()) {
    // About 150 positions a file keep this quick under the emulator.
    const size_t step = s.bytes.size() / 150 + 1;
    for (size_t i = 0; i < s.bytes.size(); i += step) {
      Bytes flipped = s.bytes;
      flipped[i] ^= 0xFF;
      for (const Bytes& b : {flipped, Bytes(s.bytes.begin(), s.bytes.begin() + static_cast<ptrdiff_t>(i))}) {
        OwnedBitmap bmp = BitmapOf(b);
        if (!bmp) continue;
        ++made;
        Draw(bmp.get(), canvas.dc.get(), 0, 0, 64, 64, -static_cast<long>(RGB(255, 0, 0)));
      }
    }
  }
  EXPECT_GT(made, 0u);
}
