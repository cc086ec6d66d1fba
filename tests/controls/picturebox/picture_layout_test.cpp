// Placement of pictures and the composition of GIF frames, without windows.
#include <gtest/gtest.h>

#include "controls/picturebox/gif_animation.h"
#include "controls/picturebox/picture_layout.h"
#include "images/layout.h"

namespace ts::controls {
namespace {

void ExpectRect(const RECT& r, int l, int t, int rr, int b) {
  EXPECT_EQ(r.left, l);
  EXPECT_EQ(r.top, t);
  EXPECT_EQ(r.right, rr);
  EXPECT_EQ(r.bottom, b);
}

TEST(PlacePicture, FittedTooWideIsScaledByTheSmallerRatioAndCentredVertically) {
  ExpectRect(PlacePicture(kFitted, RECT{0, 0, 224, 88}, SIZE{448, 88}), 0, 22, 224, 66);
}

TEST(PlacePicture, FittedTooTallIsCentredHorizontally) {
  ExpectRect(PlacePicture(kFitted, RECT{0, 0, 100, 50}, SIZE{50, 100}), 37, 0, 62, 50);
}

TEST(PlacePicture, FittedThatFitsKeepsItsSizeCentred) {
  ExpectRect(PlacePicture(kFitted, RECT{0, 0, 93, 80}, SIZE{85, 80}), 4, 0, 89, 80);
  ExpectRect(PlacePicture(kFitted, RECT{0, 0, 100, 100}, SIZE{20, 10}), 40, 45, 60, 55);
}

TEST(PlacePicture, FittedTooTallByALittleShrinksBothSides) {
  ExpectRect(PlacePicture(kFitted, RECT{0, 0, 93, 75}, SIZE{85, 80}), 7, 0, 86, 75);
}

TEST(PlacePicture, NaturalAndStretched) {
  ExpectRect(PlacePicture(kNaturalSize, RECT{0, 0, 50, 50}, SIZE{448, 88}), 0, 0, 448, 88);
  ExpectRect(PlacePicture(kStretched, RECT{0, 0, 50, 40}, SIZE{448, 88}), 0, 0, 50, 40);
}

TEST(FrameDelay, ZeroMeansFiftyMillisecondsOtherwiseHundredths) {
  EXPECT_EQ(FrameDelayMs(0), 50u);
  EXPECT_EQ(FrameDelayMs(7), 70u);
  EXPECT_EQ(FrameDelayMs(9), 90u);
}

// A frame of one palette index over an area, with palette entry i = colours[i].
images::GifFrame Frame(uint32_t left, uint32_t top, uint32_t w, uint32_t h, uint8_t index, int disposal,
                       const std::vector<images::Rgb>& colours) {
  images::GifFrame f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.disposal = disposal;
  images::MakeDib8(f.dib, w, h, colours.data(), colours.size());
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) f.dib[images::kDibPixelOffset + images::Stride8(w) * y + x] = index;
  return f;
}

const std::vector<images::Rgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
constexpr uint32_t kRedWord = 0xFF0000, kGreenWord = 0x00FF00, kBlueWord = 0x0000FF;
constexpr COLORREF kWhite = RGB(255, 255, 255);

TEST(GifCompositor, StartsFromTheBackColourAndDrawsFramesInPlace) {
  GifCompositor c(4, 4, RGB(1, 2, 3));
  EXPECT_EQ(c.At(3, 3), 0x010203u);
  c.Apply(Frame(1, 1, 2, 2, 1, 0, kColours));
  EXPECT_EQ(c.At(1, 1), kRedWord);
  EXPECT_EQ(c.At(2, 2), kRedWord);
  EXPECT_EQ(c.At(0, 0), 0x010203u);
  EXPECT_EQ(c.At(3, 3), 0x010203u);
}

TEST(GifCompositor, DisposalTwoRestoresTheAreaToTheBackgroundBeforeTheNextFrame) {
  GifCompositor c(4, 4, kWhite);
  c.Apply(Frame(0, 0, 4, 4, 1, 0, kColours));  // red everywhere, left in place
  c.Apply(Frame(1, 1, 2, 2, 2, 2, kColours));  // green square, restore to background
  EXPECT_EQ(c.At(1, 1), kGreenWord);
  c.Apply(Frame(0, 0, 1, 1, 3, 0, kColours));  // a blue dot elsewhere
  EXPECT_EQ(c.At(1, 1), 0xFFFFFFu);
  EXPECT_EQ(c.At(2, 2), 0xFFFFFFu);
  EXPECT_EQ(c.At(3, 3), kRedWord);
  EXPECT_EQ(c.At(0, 0), kBlueWord);
}

TEST(GifCompositor, DisposalThreeRestoresThePixelsSavedBeforeTheFrame) {
  GifCompositor c(4, 4, kWhite);
  c.Apply(Frame(0, 0, 4, 4, 1, 0, kColours));
  c.Apply(Frame(1, 1, 2, 2, 2, 3, kColours));
  EXPECT_EQ(c.At(2, 2), kGreenWord);
  c.Apply(Frame(3, 3, 1, 1, 3, 0, kColours));
  EXPECT_EQ(c.At(1, 1), kRedWord);
  EXPECT_EQ(c.At(2, 2), kRedWord);
  EXPECT_EQ(c.At(3, 3), kBlueWord);
}

TEST(GifCompositor, TransparentIndexLeavesTheCanvasEvenWhereAnotherIndexHasTheSameColour) {
  std::vector<images::Rgb> colours = kColours;
  colours.push_back({255, 0, 0});  // index 4: red as well, but opaque
  GifCompositor c(2, 1, kWhite);
  images::GifFrame f = Frame(0, 0, 2, 1, 1, 0, colours);
  f.dib[images::kDibPixelOffset + 1] = 4;
  f.transparent = true;
  f.transparentIndex = 1;
  c.Apply(f);
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);
  EXPECT_EQ(c.At(1, 0), kRedWord);
}

TEST(GifCompositor, FramesPastTheScreenAreClipped) {
  GifCompositor c(4, 4, kWhite);
  c.Apply(Frame(2, 2, 8, 8, 1, 3, kColours));
  EXPECT_EQ(c.At(3, 3), kRedWord);
  c.Apply(Frame(9, 9, 2, 2, 2, 2, kColours));  // wholly outside: nothing
  EXPECT_EQ(c.At(3, 3), 0xFFFFFFu);            // the saved pixels came back
  images::GifFrame truncated = Frame(0, 0, 2, 2, 2, 0, kColours);
  truncated.dib.resize(images::kDibPixelOffset + 1);
  c.Apply(truncated);
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);
}

}  // namespace
}  // namespace ts::controls
