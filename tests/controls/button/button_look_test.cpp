// The arithmetic of the button's look: lightening, slot choice, placement.
#include <gtest/gtest.h>

#include <cstring>

#include "controls/button/button_look.h"
#include "controls/button/click_sound.h"

namespace ts::controls {
namespace {

TEST(Lighten32, AddsOneCommonAmountLimitedByTheBrightestChannel) {
  EXPECT_EQ(Lighten32(RGB(0x10, 0x20, 0x30)), RGB(0x30, 0x40, 0x50));
  // The classic face 0xF0F0F0 can take only 15 more.
  EXPECT_EQ(Lighten32(RGB(0xF0, 0xF0, 0xF0)), RGB(0xFF, 0xFF, 0xFF));
  // One channel at 250 holds the others back to +5 as well.
  EXPECT_EQ(Lighten32(RGB(250, 10, 100)), RGB(255, 15, 105));
  EXPECT_EQ(Lighten32(RGB(255, 0, 0)), RGB(255, 0, 0));
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

TEST(LayoutFace, ImageLeftAboveRightAndCorner) {
  const RECT face{0, 0, 100, 40};
  const SIZE image{16, 16};
  FaceLayout left = LayoutFace(face, image, kImageLeft, true);
  EXPECT_EQ(left.image.left, 3);
  EXPECT_EQ(left.image.top, 12);
  EXPECT_EQ(left.caption.left, 19);
  EXPECT_EQ(left.caption.right, 100);

  FaceLayout above = LayoutFace(face, image, kImageAbove, true);
  EXPECT_EQ(above.image.left, 42);
  EXPECT_EQ(above.image.top, 3);
  EXPECT_EQ(above.caption.top, 19);

  FaceLayout right = LayoutFace(face, image, kImageRight, true);
  EXPECT_EQ(right.image.right, 97);
  EXPECT_EQ(right.caption.right, 81);

  FaceLayout corner = LayoutFace(face, image, kImageCorner, true);
  EXPECT_EQ(corner.image.left, 3);
  EXPECT_EQ(corner.image.top, 3);
  EXPECT_EQ(corner.caption.left, 0);
}

TEST(LayoutFace, WithoutACaptionTheImageIsCentred) {
  FaceLayout l = LayoutFace(RECT{0, 0, 100, 40}, SIZE{20, 10}, kImageLeft, false);
  EXPECT_EQ(l.image.left, 40);
  EXPECT_EQ(l.image.top, 15);
}

TEST(PressOffset, RightAndDownOrTwoDown) {
  EXPECT_EQ(PressOffset(0).x, 1);
  EXPECT_EQ(PressOffset(0).y, 1);
  EXPECT_EQ(PressOffset(1).x, 0);
  EXPECT_EQ(PressOffset(1).y, 2);
}

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }

TEST(BuiltInClick, IsAWholeShortPcmWaveFile) {
  const std::vector<uint8_t>& wav = BuiltInClickWave();
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(std::memcmp(wav.data(), "RIFF", 4), 0);
  EXPECT_EQ(Le32(&wav[4]), wav.size() - 8);
  EXPECT_EQ(std::memcmp(&wav[8], "WAVEfmt ", 8), 0);
  EXPECT_EQ(wav[20], 1);   // PCM
  EXPECT_EQ(wav[22], 1);   // mono
  EXPECT_EQ(Le32(&wav[24]), 22050u);
  EXPECT_EQ(std::memcmp(&wav[36], "data", 4), 0);
  EXPECT_EQ(Le32(&wav[40]), wav.size() - 44);
  // Short, and not silence.
  EXPECT_LT(wav.size(), 2000u);
  int loud = 0;
  for (size_t i = 44; i < wav.size(); ++i) loud += wav[i] > 200 || wav[i] < 56;
  EXPECT_GT(loud, 10);
}

}  // namespace
}  // namespace ts::controls
