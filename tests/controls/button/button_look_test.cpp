// The rules of the button's look checked as rules: lightening, which image
// a state shows, where image and caption go, and the built-in click sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "controls/button/button_look.h"
#include "controls/button/click_sound.h"

namespace ts::controls {
namespace {

// The face of a hot flat button: one common amount of at most 32 added to
// red, green and blue, as much as the brightest channel can still take.
TEST(Lighten32, AddsOneAmountOfAtMost32AsLargeAsTheBrightestChannelAllows) {
  const int levels[] = {0, 1, 100, 200, 222, 223, 224, 240, 250, 254, 255};
  for (int r : levels)
    for (int g : levels)
      for (int b : levels) {
        const COLORREF out = Lighten32(RGB(r, g, b));
        const int added = GetRValue(out) - r;
        ASSERT_EQ(GetGValue(out) - g, added) << r << " " << g << " " << b;
        ASSERT_EQ(GetBValue(out) - b, added) << r << " " << g << " " << b;
        ASSERT_GE(added, 0);
        ASSERT_LE(added, 32);
        const int brightest = std::max({GetRValue(out), GetGValue(out), GetBValue(out)});
        ASSERT_TRUE(added == 32 || brightest == 255) << r << " " << g << " " << b << " got only " << added;
      }
}

constexpr bool kOnlyNormal[3] = {false, true, false};
constexpr bool kHotAndNormal[3] = {true, true, false};
constexpr bool kAll[3] = {true, true, true};
constexpr bool kNone[3] = {false, false, false};

TEST(ChooseSlot, AButtonWithOnlyANormalImageShowsItInEveryState) {
  for (bool disabled : {false, true})
    for (bool toggle : {false, true})
      for (bool pressed : {false, true})
        for (bool hot : {false, true}) {
          EXPECT_EQ(ChooseSlot(SlotState{disabled, toggle, pressed, hot}, kOnlyNormal), Slot::kNormal)
              << disabled << toggle << pressed << hot;
        }
}

TEST(ChooseSlot, HotOrPressedShowsTheHotImageExceptAnUnpressedToggle) {
  EXPECT_EQ(ChooseSlot(SlotState{false, false, false, false}, kHotAndNormal), Slot::kNormal);
  EXPECT_EQ(ChooseSlot(SlotState{false, false, false, true}, kHotAndNormal), Slot::kHot);
  EXPECT_EQ(ChooseSlot(SlotState{false, false, true, false}, kHotAndNormal), Slot::kHot);
  EXPECT_EQ(ChooseSlot(SlotState{false, true, false, true}, kHotAndNormal), Slot::kNormal);
  EXPECT_EQ(ChooseSlot(SlotState{false, true, true, false}, kHotAndNormal), Slot::kHot);
}

TEST(ChooseSlot, DisabledPrefersTheDisabledImageThenTheHotOne) {
  EXPECT_EQ(ChooseSlot(SlotState{true, false, false, false}, kAll), Slot::kDisabled);
  EXPECT_EQ(ChooseSlot(SlotState{true, false, false, false}, kHotAndNormal), Slot::kHot);
  EXPECT_EQ(ChooseSlot(SlotState{true, false, false, false}, kNone), Slot::kNone);
}

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
// Equal margins on both sides, give or take the odd pixel.
bool CentredAcross(const RECT& inner, const RECT& outer) {
  return std::abs((inner.left - outer.left) - (outer.right - inner.right)) <= 1;
}
bool CentredDown(const RECT& inner, const RECT& outer) {
  return std::abs((inner.top - outer.top) - (outer.bottom - inner.bottom)) <= 1;
}

// Faces and images of even and odd sizes, the face away from the origin.
const RECT kFaces[] = {{0, 0, 100, 40}, {5, 3, 86, 30}};
const SIZE kImages[] = {{16, 16}, {15, 9}};

TEST(LayoutFace, TheImageKeepsItsMarginOnItsSideAndTheCaptionTakesTheRest) {
  for (const RECT& face : kFaces)
    for (const SIZE& image : kImages) {
      SCOPED_TRACE(testing::Message() << "face " << Width(face) << "x" << Height(face) << " image " << image.cx);
      const FaceLayout left = LayoutFace(face, image, kImageLeft, true);
      EXPECT_EQ(left.image.left - face.left, kImageMargin);
      EXPECT_TRUE(CentredDown(left.image, face));
      EXPECT_EQ(left.caption.left, left.image.right);
      EXPECT_EQ(left.caption.right, face.right);

      const FaceLayout right = LayoutFace(face, image, kImageRight, true);
      EXPECT_EQ(face.right - right.image.right, kImageMargin);
      EXPECT_TRUE(CentredDown(right.image, face));
      EXPECT_EQ(right.caption.left, face.left);
      EXPECT_EQ(right.caption.right, right.image.left);

      const FaceLayout above = LayoutFace(face, image, kImageAbove, true);
      EXPECT_EQ(above.image.top - face.top, kImageMargin);
      EXPECT_TRUE(CentredAcross(above.image, face));
      EXPECT_EQ(above.caption.top, above.image.bottom);
      EXPECT_EQ(above.caption.bottom, face.bottom);

      // The corner ignores the caption, which keeps the whole face.
      for (bool caption : {true, false}) {
        const FaceLayout corner = LayoutFace(face, image, kImageCorner, caption);
        EXPECT_EQ(corner.image.left - face.left, kImageMargin);
        EXPECT_EQ(corner.image.top - face.top, kImageMargin);
        EXPECT_TRUE(EqualRect(&corner.caption, &face));
      }
      for (const FaceLayout& l : {left, right, above}) {
        EXPECT_EQ(Width(l.image), image.cx);
        EXPECT_EQ(Height(l.image), image.cy);
      }
    }
}

TEST(LayoutFace, WithoutACaptionTheImageIsCentredAndWithoutAnImageTheCaptionHasTheFace) {
  for (const RECT& face : kFaces)
    for (const SIZE& image : kImages)
      for (int32_t position : {kImageLeft, kImageAbove, kImageRight}) {
        const FaceLayout l = LayoutFace(face, image, position, false);
        EXPECT_TRUE(CentredAcross(l.image, face)) << position;
        EXPECT_TRUE(CentredDown(l.image, face)) << position;
        EXPECT_EQ(Width(l.image), image.cx);
        const FaceLayout none = LayoutFace(face, SIZE{0, 0}, position, true);
        EXPECT_TRUE(IsRectEmpty(&none.image));
        EXPECT_TRUE(EqualRect(&none.caption, &face));
      }
}

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

// A wave file whose header agrees with itself and with its data: the player
// is handed these bytes as they are.
TEST(BuiltInClick, IsAWholeShortPcmWaveFile) {
  const std::vector<uint8_t>& wav = BuiltInClickWave();
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(Le32(&wav[4]), wav.size() - 8);
  EXPECT_EQ(std::memcmp(&wav[8], "WAVEfmt ", 8), 0);
  EXPECT_EQ(Le32(&wav[16]), 16u);  // the plain PCM format block
  EXPECT_EQ(Le16(&wav[20]), 1);    // PCM
  const uint32_t channels = Le16(&wav[22]), rate = Le32(&wav[24]), bits = Le16(&wav[34]);
  const uint32_t blockAlign = Le16(&wav[32]);
  EXPECT_GE(channels, 1u);
  EXPECT_TRUE(bits == 8 || bits == 16) << bits;
  EXPECT_EQ(blockAlign, channels * bits / 8);
  EXPECT_EQ(Le32(&wav[28]), rate * blockAlign);  // bytes per second
  EXPECT_EQ(std::memcmp(&wav[36], "data", 4), 0);
  const uint32_t data = Le32(&wav[40]);
  EXPECT_EQ(data, wav.size() - 44);
  EXPECT_EQ(data % blockAlign, 0u);
  // A click: under a tenth of a second, and not silence.
  ASSERT_GT(rate, 0u);
  EXPECT_LT(data / blockAlign * 1000 / rate, 100u);
  int loud = 0;
  for (size_t i = 44; i < wav.size(); ++i) loud += wav[i] > 200 || wav[i] < 56;
  EXPECT_GT(loud, 10);
}

}  // namespace
}  // namespace ts::controls
