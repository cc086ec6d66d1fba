// Placement of pictures checked as rules over many sizes, and the
// composition of GIF frames, without windows. (How long a frame stays is
// measured on a live box in picture_box_test.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "controls/picturebox/gif_animation.h"
#include "controls/picturebox/picture_layout.h"
#include "images/layout.h"

namespace ts::controls {
namespace {

// Boxes and pictures of even and odd sizes, wider and taller than each
// other, fitting and not; the box away from the origin.
const SIZE kBoxes[] = {{93, 75}, {224, 88}, {100, 100}, {50, 201}, {1, 1}};
const SIZE kPictures[] = {{85, 80}, {448, 88}, {50, 100}, {20, 10}, {93, 75}, {1, 500}, {7, 3}};

RECT BoxAt(SIZE s) { return RECT{7, 3, 7 + s.cx, 3 + s.cy}; }

// Fitted: the picture at its own size when it fits, else as large as the
// box allows at its own proportions; centred either way.
TEST(PlacePicture, FittedKeepsProportionsFillsOneSideWhenTooLargeAndCentres) {
  for (SIZE boxSize : kBoxes)
    for (SIZE picture : kPictures) {
      SCOPED_TRACE(testing::Message() << "box " << boxSize.cx << "x" << boxSize.cy << ", picture " << picture.cx
                                      << "x" << picture.cy);
      const RECT box = BoxAt(boxSize);
      const RECT r = PlacePicture(kFitted, box, picture);
      const int w = r.right - r.left, h = r.bottom - r.top;
      EXPECT_GE(r.left, box.left);
      EXPECT_GE(r.top, box.top);
      EXPECT_LE(r.right, box.right);
      EXPECT_LE(r.bottom, box.bottom);
      EXPECT_LE(std::abs((r.left - box.left) - (box.right - r.right)), 1);
      EXPECT_LE(std::abs((r.top - box.top) - (box.bottom - r.bottom)), 1);
      if (picture.cx <= boxSize.cx && picture.cy <= boxSize.cy) {
        EXPECT_EQ(w, picture.cx);
        EXPECT_EQ(h, picture.cy);
      } else {
        EXPECT_TRUE(w == boxSize.cx || h == boxSize.cy) << w << "x" << h;
        // One side is exact, the other rounded down: less than a pixel of the
        // picture's own scale away from its proportions.
        EXPECT_LT(std::abs(int64_t{w} * picture.cy - int64_t{h} * picture.cx), std::max(picture.cx, picture.cy));
      }
    }
}

TEST(PlacePicture, NaturalSizeSitsAtTheTopLeftAndStretchedFillsTheBox) {
  for (SIZE boxSize : kBoxes)
    for (SIZE picture : kPictures) {
      const RECT box = BoxAt(boxSize);
      const RECT natural = PlacePicture(kNaturalSize, box, picture);
      const RECT expected{box.left, box.top, box.left + picture.cx, box.top + picture.cy};
      EXPECT_TRUE(EqualRect(&natural, &expected));
      const RECT stretched = PlacePicture(kStretched, box, picture);
      EXPECT_TRUE(EqualRect(&stretched, &box));
    }
}

// A frame of one palette index over an area, with palette entry i = colours[i].
ts::images::GifFrame Frame(uint32_t left, uint32_t top, uint32_t w, uint32_t h, uint8_t index, int disposal,
                       const std::vector<ts::images::Rgb>& colours) {
  ts::images::GifFrame f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.disposal = disposal;
  ts::images::MakeDib8(f.dib, w, h, colours.data(), colours.size());
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) f.dib[ts::images::kDibPixelOffset + ts::images::Stride8(w) * y + x] = index;
  return f;
}

const std::vector<ts::images::Rgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
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
  std::vector<ts::images::Rgb> colours = kColours;
  colours.push_back({255, 0, 0});  // index 4: red as well, but opaque
  GifCompositor c(2, 1, kWhite);
  ts::images::GifFrame f = Frame(0, 0, 2, 1, 1, 0, colours);
  f.dib[ts::images::kDibPixelOffset + 1] = 4;
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
  ts::images::GifFrame truncated = Frame(0, 0, 2, 2, 2, 0, kColours);
  truncated.dib.resize(ts::images::kDibPixelOffset + 1);
  c.Apply(truncated);
  EXPECT_EQ(c.At(0, 0), 0xFFFFFFu);
}

}  // namespace
}  // namespace ts::controls
