// Label: caption placement (word wrap against VAlign), the drawn frame,
// the back picture, clamped properties and the record of its state.
#include <gtest/gtest.h>

#include <algorithm>

#include "controls/simple/simple_controls.h"
#include "tests/images/image_writers.h"
#include "tests/support/stage.h"

using namespace ts::test;

namespace {

constexpr int32_t kCaption = 0, kBorderStyle = 2, kFrameWidth = 3, kBackColour = 9, kBackPicture = 10,
                  kPictureMode = 11, kVAlign = 18;
constexpr uint32_t kWhite = 0xFFFFFF;

ts::forms::LabelProps WhiteLabel(const char* caption) {
  ts::forms::LabelProps p;
  p.caption = caption;
  p.backColor = kWhite;
  return p;
}

// Rows that hold anything but the back colour: first and last.
std::pair<int, int> InkRows(const Pixels& px, uint32_t back) {
  int first = -1, last = -1;
  for (int y = 0; y < px.height; ++y)
    for (int x = 0; x < px.width; ++x)
      if (px.at(x, y) != back) {
        if (first < 0) first = y;
        last = y;
        break;
      }
  return {first, last};
}

}  // namespace

TEST(Label, WordWrapCentresTheLinesWhateverVAlignSays) {
  Stage stage;
  ts::forms::LabelProps p = WhiteLabel("孪影 查找 内容 相同 的 文件 并且 清理 它们");
  p.wordWrap = 1;
  p.vAlign = 0;
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(p), {10, 10, 110, 110});
  ASSERT_NE(label.unit, nullptr);
  Pixels top = Render(label.hwnd());
  label.SetInt(kVAlign, 2);
  Pixels bottom = Render(label.hwnd());
  EXPECT_TRUE(top == bottom);
  auto [first, last] = InkRows(top, kWhite);
  ASSERT_GE(first, 0) << "nothing drawn";
  EXPECT_GT(last - first, 20) << "the caption should wrap onto several lines";
  EXPECT_NEAR((first + last) / 2.0, top.height / 2.0, 4.0);
}

TEST(Label, SingleLineFollowsVAlign) {
  Stage stage;
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(WhiteLabel("标签文字")), {10, 10, 110, 70});
  ASSERT_NE(label.unit, nullptr);
  label.SetInt(kVAlign, 0);
  auto [topFirst, topLast] = InkRows(Render(label.hwnd()), kWhite);
  label.SetInt(kVAlign, 2);
  auto [bottomFirst, bottomLast] = InkRows(Render(label.hwnd()), kWhite);
  ASSERT_GE(topFirst, 0);
  EXPECT_LT(topFirst, 6);
  EXPECT_GT(bottomLast, 60 - 6);
  EXPECT_GT(bottomFirst, topLast);
}

TEST(Label, GradientFrameNeedsTwoUsableColours) {
  Stage stage;
  ts::forms::LabelProps p = WhiteLabel("");
  p.borderStyle = 6;
  p.frameWidth = 6;
  p.frameColors[0] = 0x0000FF;  // red outside
  p.frameColors[1] = 0xFF000000;
  p.frameColors[2] = 0xFF0000;  // blue inside
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(p), {10, 10, 90, 50});
  ASSERT_NE(label.unit, nullptr);
  EXPECT_FALSE(::GetWindowLongA(label.hwnd(), GWL_STYLE) & WS_BORDER) << "the drawn frame is no platform border";
  Pixels framed = Render(label.hwnd());
  EXPECT_EQ(framed.at(0, 20), 0xFF0000u);  // red, as pixels read
  EXPECT_EQ(framed.at(5, 20), 0x0000FFu);  // blue
  EXPECT_EQ(framed.at(6, 20), kWhite);     // the back colour starts inside the frame
  label.Set(6, ts::forms::PropertyValue::Int(static_cast<int32_t>(0xFF000000)));  // third colour unusable
  Pixels plain = Render(label.hwnd());
  EXPECT_EQ(plain.at(0, 20), kWhite);
}

TEST(Label, BackPictureIsTiledAndABrokenPictureIsIgnored) {
  Stage stage;
  ts::forms::LabelProps p = WhiteLabel("");
  p.backPicture = imgtest::SolidBmp(4, 4, {0, 255, 0});
  p.pictureMode = 0;
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(p), {10, 10, 30, 30});
  ASSERT_NE(label.unit, nullptr);
  Pixels natural = Render(label.hwnd());
  EXPECT_EQ(natural.at(1, 1), 0x00FF00u);
  EXPECT_EQ(natural.at(10, 10), kWhite);
  label.SetInt(kPictureMode, 1);
  EXPECT_EQ(Render(label.hwnd()).at(10, 10), 0x00FF00u);
  Bytes broken = {'B', 'M', 1, 2, 3, 4, 5, 6, 7};
  label.Set(kBackPicture, ts::forms::PropertyValue::Block(broken.data(), static_cast<uint32_t>(broken.size())));
  EXPECT_EQ(Render(label.hwnd()).at(1, 1), kWhite);
}

TEST(Label, EffectsDrawAShadowBeforeTheCaption) {
  Stage stage;
  ts::forms::LabelProps p = WhiteLabel("阴影效果");
  p.textColor = 0x0000FF;
  p.effect = 0;
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(p), {10, 10, 110, 40});
  ASSERT_NE(label.unit, nullptr);
  auto count = [](const Pixels& px, uint32_t colour) {
    return std::count(px.data.begin(), px.data.end(), colour);
  };
  Pixels plain = Render(label.hwnd());
  EXPECT_GT(count(plain, 0xFF0000u), 0);
  EXPECT_EQ(count(plain, 0x000000u), 0);
  label.SetInt(1, 3);  // black shadow shifted by (2,2)
  Pixels shadowed = Render(label.hwnd());
  EXPECT_GT(count(shadowed, 0x000000u), 0);
  EXPECT_GT(count(shadowed, 0xFF0000u), 0);
}

TEST(Label, GradientBackgroundRunsFromTheFirstColourToTheLast) {
  Stage stage;
  ts::forms::LabelProps p = WhiteLabel("");
  p.gradientMode = 1;  // left to right
  p.gradientColors[0] = 0x000000;
  p.gradientColors[1] = 0xFF000000;
  p.gradientColors[2] = 0xFFFFFF;
  Control label = stage.Create(ts::controls::LabelInterface, 1, ts::forms::WriteRecord(p), {10, 10, 111, 30});
  ASSERT_NE(label.unit, nullptr);
  Pixels px = Render(label.hwnd());
  EXPECT_EQ(px.at(0, 5), 0x000000u);
  EXPECT_EQ(px.at(100, 5), 0xFFFFFFu);
  uint32_t middle = px.at(50, 5) & 0xFF;
  EXPECT_NEAR(static_cast<double>(middle), 128.0, 3.0);
  label.SetInt(12, 0);  // no gradient: the back colour
  EXPECT_EQ(Render(label.hwnd()).at(0, 5), kWhite);
}

TEST(Label, PropertiesAreClampedAndTheRecordReflectsTheWindow) {
  Stage stage;
  Control label = stage.Create(ts::controls::LabelInterface, 1, Bytes(), {10, 10, 90, 30});
  ASSERT_NE(label.unit, nullptr);
  EXPECT_EQ(label.GetText(kCaption), "标签");  // the default caption
  label.SetText(kCaption, "12%");
  EXPECT_EQ(label.GetText(kCaption), "12%");
  label.SetInt(kFrameWidth, 2);
  EXPECT_EQ(label.GetInt(kFrameWidth), 5);
  label.SetInt(kBorderStyle, 9);
  EXPECT_EQ(label.GetInt(kBorderStyle), 6);
  label.SetInt(kBackColour, 0x123456);
  ::SetWindowTextA(label.hwnd(), "直接写入");
  auto rec = label.Record<ts::forms::LabelProps>();
  EXPECT_EQ(rec.caption, "直接写入");
  EXPECT_EQ(rec.backColor, 0x123456u);
  EXPECT_EQ(rec.frameWidth, 5);
}
