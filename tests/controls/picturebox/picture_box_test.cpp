// The picture box on a live window: display modes, transparency over the
// back colour, and GIF animation with its thread.
#include <gtest/gtest.h>

#include <vector>

#include "controls/picturebox/picture_box.h"
#include "tests/images/image_writers.h"
#include "tests/support/stage.h"

namespace ts::controls {
namespace {

using ts::test::Area;
using ts::test::Bytes;
using ts::test::Pixels;
using ts::test::PumpUntil;
using ts::test::Shot;
using ts::test::Stage;

constexpr uint32_t kUnit = 0x16010001;

using forms::PicBoxProps;
using forms::PropertyValue;

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;
constexpr COLORREF kBlueBack = RGB(0, 0, 255);

PictureBox* MakeBox(Stage& stage, const PicBoxProps& props, int width, int height) {
  const Bytes record = forms::WriteRecord(props);
  auto* box = static_cast<PictureBox*>(PictureBox::CreateUnit(stage.Args(record, Area(10, 10, width, height), kUnit)));
  if (box != nullptr) ShowWindow(box->handle(), SW_SHOWNA);
  return box;
}

TEST(PictureBox, FittedModeDrawsAWideBannerAtHalfSizeCentred) {
  Stage stage;
  PicBoxProps props;
  props.backColor = kBlueBack;
  props.displayMode = 2;
  props.picture = imgtest::MakeBmp(448, 88, [](int, int) { return kRed; });
  PictureBox* box = MakeBox(stage, props, 224, 88);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(box->hasStill());
  const Pixels r = Shot(box->handle());
  ASSERT_EQ(r.width, 224);
  EXPECT_EQ(r.at(112, 10), kBlue);  // above the picture
  EXPECT_EQ(r.at(112, 23), kRed);   // the picture: rows 22..65
  EXPECT_EQ(r.at(112, 64), kRed);
  EXPECT_EQ(r.at(112, 77), kBlue);  // below it
  EXPECT_EQ(r.at(1, 44), kRed);     // full width
  EXPECT_EQ(r.at(222, 44), kRed);
}

TEST(PictureBox, NaturalSizeSitsAtTheTopLeftAndStretchFillsTheBox) {
  Stage stage;
  PicBoxProps props;
  props.backColor = kBlueBack;
  props.picture = imgtest::MakeBmp(20, 10, [](int, int) { return kRed; });
  PictureBox* box = MakeBox(stage, props, 60, 40);
  ASSERT_NE(box, nullptr);
  const Pixels natural = Shot(box->handle());
  EXPECT_EQ(natural.at(5, 5), kRed);
  EXPECT_EQ(natural.at(30, 5), kBlue);
  EXPECT_EQ(natural.at(5, 20), kBlue);
  box->SetProperty(pbprop::DisplayMode, PropertyValue::Int(7));  // clamped to 2
  PropertyValue v;
  ASSERT_TRUE(box->GetProperty(pbprop::DisplayMode, &v));
  EXPECT_EQ(v.i32, 2);
  box->SetProperty(pbprop::DisplayMode, PropertyValue::Int(1));
  const Pixels stretched = Shot(box->handle());
  EXPECT_EQ(stretched.at(55, 35), kRed);
}

TEST(PictureBox, TransparentPngPixelsShowTheBackColour) {
  Stage stage;
  std::vector<uint8_t> bgra;
  for (int i = 0; i < 16; ++i) {
    if (i < 8) bgra.insert(bgra.end(), {0, 0, 255, 255});  // top half opaque red
    else bgra.insert(bgra.end(), {0, 0, 255, 0});          // bottom half see-through
  }
  PicBoxProps props;
  props.backColor = RGB(0, 255, 0);
  props.displayMode = 1;
  props.picture = imgtest::MakePng(4, 4, bgra);
  PictureBox* box = MakeBox(stage, props, 40, 40);
  ASSERT_NE(box, nullptr);
  const Pixels r = Shot(box->handle());
  EXPECT_EQ(r.at(20, 5), kRed);
  EXPECT_EQ(r.at(20, 35), kGreen);
  // A new back colour blends again.
  box->SetProperty(pbprop::BackColor, PropertyValue::Int(static_cast<int32_t>(kBlueBack)));
  const Pixels blue = Shot(box->handle());
  EXPECT_EQ(blue.at(20, 35), kBlue);
}

TEST(PictureBox, DataThatIsNotAPictureLeavesTheBoxEmpty) {
  Stage stage;
  PicBoxProps props;
  props.backColor = kBlueBack;
  props.picture = {'G', 'I', 'F', '8', '9', 'a', 1, 2, 3};
  PictureBox* box = MakeBox(stage, props, 30, 30);
  ASSERT_NE(box, nullptr);
  EXPECT_FALSE(box->hasStill());
  EXPECT_EQ(box->animation(), nullptr);
  const Pixels r = Shot(box->handle());
  EXPECT_EQ(r.at(15, 15), kBlue);
}

// 38 bytes whose logical screen asks for 65,535 × 65,535 pixels, with two
// empty 1×1 frames: an animation's canvas of that size would be 17 GB.
TEST(PictureBox, AGifWithAHugeLogicalScreenLeavesTheBoxEmpty) {
  Stage stage;
  PicBoxProps props;
  props.backColor = kBlueBack;
  props.picture = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0,
                   0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0,  // a 1×1 frame without data
                   0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0,
                   0x3B};
  const Bytes record = forms::WriteRecord(props);
  auto create = reinterpret_cast<forms::CreateFn>(PictureBoxInterface(forms::op::Create));
  auto* box = static_cast<PictureBox*>(create(stage.Args(record, Area(10, 10, 30, 30), kUnit)));
  ASSERT_NE(box, nullptr);
  ShowWindow(box->handle(), SW_SHOWNA);
  EXPECT_EQ(box->animation(), nullptr);
  EXPECT_FALSE(box->hasStill());
  EXPECT_EQ(Shot(box->handle()).at(15, 15), kBlue);
}

// Black, red, green, blue.
const std::vector<imgtest::Colour> kPalette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};

// An 8×8 frame of one palette index, shown for `delay` hundredths.
imgtest::GifFrameSpec SolidFrame(uint8_t index, uint16_t delay) {
  imgtest::GifFrameSpec f = imgtest::FrameOf(8, 8, std::vector<uint8_t>(64, index));
  f.control = true;
  f.delay = delay;
  return f;
}

Bytes TwoFrameGif(uint16_t delay) { return imgtest::MakeGif(8, 8, kPalette, {SolidFrame(1, delay), SolidFrame(2, delay)}); }

TEST(PictureBox, AGifWithOneFrameIsAStillPicture) {
  Stage stage;
  PicBoxProps props;
  props.picture = imgtest::MakeGif(8, 8, kPalette, {SolidFrame(3, 5)});
  PictureBox* box = MakeBox(stage, props, 8, 8);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->animation(), nullptr);
  EXPECT_TRUE(box->hasStill());
  EXPECT_EQ(Shot(box->handle()).at(4, 4), kBlue);
}

// Milliseconds per frame over `frames` frames of a running animation.
double MsPerFrame(PictureBox* box, uint32_t frames) {
  GifAnimation* a = box->animation();
  if (!PumpUntil([&] { return a->framesShown() >= 2; }, 3000)) return -1;
  const uint32_t first = a->framesShown();
  const DWORD start = GetTickCount();
  if (!PumpUntil([&] { return a->framesShown() >= first + frames; }, 5000)) return -1;
  return static_cast<double>(GetTickCount() - start) / frames;
}

TEST(PictureBox, FrameDelaysZeroAndSevenShowFiftyAndSeventyMilliseconds) {
  Stage stage;
  for (auto [delay, expected] : {std::pair<uint16_t, double>{0, 50.0}, {7, 70.0}}) {
    PicBoxProps props;
    props.picture = TwoFrameGif(delay);
    PictureBox* box = MakeBox(stage, props, 8, 8);
    ASSERT_NE(box, nullptr);
    ASSERT_NE(box->animation(), nullptr);
    UpdateWindow(box->handle());  // the first paint starts the thread
    const double ms = MsPerFrame(box, 12);
    EXPECT_GT(ms, expected * 0.85) << "delay " << delay;
    EXPECT_LT(ms, expected * 1.5) << "delay " << delay;
    DestroyWindow(box->handle());
  }
}

TEST(PictureBox, TheAnimationLoopsAndShowsItsFramesInTheBox) {
  Stage stage;
  PicBoxProps props;
  props.displayMode = 1;
  props.picture = TwoFrameGif(2);
  PictureBox* box = MakeBox(stage, props, 16, 16);
  ASSERT_NE(box, nullptr);
  UpdateWindow(box->handle());
  GifAnimation* a = box->animation();
  ASSERT_NE(a, nullptr);
  // More frames than the file holds: the walker wrapped.
  ASSERT_TRUE(PumpUntil([&] { return a->framesShown() >= 5; }, 3000));
  bool sawRed = false, sawGreen = false;
  PumpUntil([&] {
    const uint32_t p = Shot(box->handle()).at(8, 8);
    sawRed |= p == kRed;
    sawGreen |= p == kGreen;
    return sawRed && sawGreen;
  }, 3000);
  EXPECT_TRUE(sawRed);
  EXPECT_TRUE(sawGreen);
}

TEST(PictureBox, AnimateOffReplaceAndDestroyStopTheThread) {
  Stage stage;
  PicBoxProps props;
  props.picture = TwoFrameGif(1);
  PictureBox* box = MakeBox(stage, props, 8, 8);
  ASSERT_NE(box, nullptr);
  UpdateWindow(box->handle());
  ASSERT_TRUE(PumpUntil([&] { return box->animation()->framesShown() >= 2; }, 3000));

  // Animate off: the same GIF becomes a still picture (its first frame).
  box->SetProperty(pbprop::Animate, PropertyValue::Int(0));
  EXPECT_EQ(box->animation(), nullptr);
  EXPECT_TRUE(box->hasStill());
  EXPECT_EQ(Shot(box->handle()).at(4, 4), kRed);

  box->SetProperty(pbprop::Animate, PropertyValue::Int(1));
  ASSERT_NE(box->animation(), nullptr);
  UpdateWindow(box->handle());
  ASSERT_TRUE(PumpUntil([&] { return box->animation()->state() == GifAnimation::State::kRunning; }, 1000));
  const Bytes still = imgtest::MakeBmp(2, 2, [](int, int) { return kBlue; });
  box->SetProperty(pbprop::Picture, PropertyValue::Block(still.data(), static_cast<uint32_t>(still.size())));
  EXPECT_EQ(box->animation(), nullptr);

  box->SetProperty(pbprop::Picture, PropertyValue::Block(props.picture.data(), static_cast<uint32_t>(props.picture.size())));
  UpdateWindow(box->handle());
  GifAnimation* a = box->animation();
  ASSERT_NE(a, nullptr);
  ASSERT_TRUE(PumpUntil([&] { return a->framesShown() >= 1; }, 3000));
  // Destroying the box stops the thread before the window goes (a thread
  // still drawing into a dead window would show up as a crash or hang here).
  DestroyWindow(box->handle());
}

TEST(PictureBox, PropertiesAndTheStoredRecord) {
  Stage stage;
  PicBoxProps props;
  props.borderStyle = 9;
  PictureBox* box = MakeBox(stage, props, 30, 30);
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(GetWindowLongA(box->handle(), GWL_STYLE) & WS_BORDER);  // clamped to 5: thin line
  EXPECT_EQ(box->SetProperty(pbprop::BorderStyle, PropertyValue::Int(1)), 0);
  EXPECT_TRUE(GetWindowLongA(box->handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_FALSE(GetWindowLongA(box->handle(), GWL_STYLE) & WS_BORDER);
  box->SetProperty(pbprop::DataSource, PropertyValue::Text("db"));
  box->SetProperty(pbprop::BackColor, PropertyValue::Int(static_cast<int32_t>(0xFF000000)));
  EXPECT_EQ(box->backColour(), GetSysColor(COLOR_BTNFACE));

  char cls[64] = {};
  GetClassNameA(box->handle(), cls, sizeof cls);
  EXPECT_STREQ(cls, kPictureBoxClass);

  const Bytes saved = box->SaveRecord();
  PicBoxProps back;
  ASSERT_TRUE(forms::ReadRecord(saved.data(), saved.size(), &back));
  EXPECT_EQ(back.borderStyle, 1);
  EXPECT_EQ(back.dataSource, "db");
  EXPECT_EQ(back.backColor, 0xFF000000u);
}

}  // namespace
}  // namespace ts::controls
