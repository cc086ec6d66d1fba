// The super button on a live window: images and keys, hover, toggle and
// click, properties and the stored record.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "controls/button/super_button.h"
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

using forms::PropertyValue;
using forms::SuperButtonProps;

constexpr uint32_t kRed = 0xFF0000;

// Records the toggle state its click event sees.
class RecordingButton : public SuperButton {
 public:
  using SuperButton::SuperButton;
  std::vector<bool> clicksSawDown;

 protected:
  void OnClicked() override { clicksSawDown.push_back(down()); }
};

// An object of ours on the host window; the window owns the object's end
// (deleted after its native window is gone).
template <class T = SuperButton>
T* MakeButton(Stage& stage, const SuperButtonProps& props, int width = 120, int height = 40) {
  auto* button = new T(ts::test::kStageForm, kUnit, props);
  const Bytes record = forms::WriteRecord(props);
  if (!button->Create(stage.Args(record, Area(10, 10, width, height), kUnit))) {
    delete button;
    return nullptr;
  }
  ShowWindow(button->handle(), SW_SHOWNA);
  UpdateWindow(button->handle());
  return button;
}

// 16×16, white top-left corner pixel (the key by default), red elsewhere.
Bytes RedSquareWithWhiteCorner() {
  return imgtest::MakeBmp(16, 16, [](int x, int y) { return x == 0 && y == 0 ? 0xFFFFFFu : kRed; });
}

TEST(SuperButton, CreateOperationReadsTheRecordAndRefusesANewerVersion) {
  Stage stage;
  SuperButtonProps props;
  props.caption = "扫描";
  props.buttonStyle = 9;  // clamped
  Bytes record = forms::WriteRecord(props);
  auto* unit = static_cast<SuperButton*>(SuperButton::CreateUnit(stage.Args(record, Area(0, 0, 80, 30), kUnit)));
  ASSERT_NE(unit, nullptr);
  char text[32] = {};
  GetWindowTextA(unit->handle(), text, sizeof text);
  EXPECT_STREQ(text, "扫描");
  EXPECT_EQ(GetWindowLongA(unit->handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
  EXPECT_FALSE(GetWindowLongA(unit->handle(), GWL_STYLE) & WS_VISIBLE);
  PropertyValue v;
  ASSERT_TRUE(unit->GetProperty(sbprop::ButtonStyle, &v));
  EXPECT_EQ(v.i32, 2);

  record[0] = 3;  // version 3 is not known
  EXPECT_EQ(SuperButton::CreateUnit(stage.Args(record, Area(0, 0, 80, 30), kUnit)), nullptr);
}

// The bounding box of the pixels of one colour (empty when there are none).
RECT BoxOf(const Pixels& p, uint32_t colour) {
  RECT box{p.width, p.height, 0, 0};
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      if (p.at(x, y) != colour) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  return box;
}

// PressEffect 0 moves the content one pixel right and down, 1 two pixels
// down; a button with only a normal image shows that image pressed too.
TEST(SuperButton, AButtonWithOnlyANormalImageShowsItPressedMovedByThePressEffect) {
  Stage stage;
  for (int32_t effect : {0, 1}) {
    SCOPED_TRACE(testing::Message() << "press effect " << effect);
    SuperButtonProps props;
    props.buttonStyle = kStyle3D;
    props.caption = "";
    props.pressEffect = effect;
    props.normalImage = RedSquareWithWhiteCorner();
    SuperButton* b = MakeButton(stage, props, 40, 40);
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(b->slot(Slot::kHot).empty());
    ASSERT_FALSE(b->slot(Slot::kNormal).empty());

    const RECT up = BoxOf(Shot(b->handle()), kRed);
    ASSERT_FALSE(IsRectEmpty(&up)) << "the image shows";
    // No caption: the image is centred on the 40×40 face.
    EXPECT_NEAR((up.left + up.right) / 2.0, 20.0, 1.5);
    EXPECT_NEAR((up.top + up.bottom) / 2.0, 20.0, 1.5);
    SendMessageA(b->handle(), BM_SETSTATE, TRUE, 0);
    const RECT pressed = BoxOf(Shot(b->handle()), kRed);
    const POINT moved = effect == 0 ? POINT{1, 1} : POINT{0, 2};
    EXPECT_EQ(pressed.left - up.left, moved.x);
    EXPECT_EQ(pressed.top - up.top, moved.y);
    EXPECT_EQ(pressed.right - pressed.left, up.right - up.left);
    EXPECT_EQ(pressed.bottom - pressed.top, up.bottom - up.top);
    SendMessageA(b->handle(), BM_SETSTATE, FALSE, 0);
    DestroyWindow(b->handle());
  }
}

TEST(SuperButton, KeyFromTheCornerOnAPngWithATransparentCornerPunchesOutWhite) {
  // 8×8: transparent corner, an opaque white pixel at (4, 4), red elsewhere.
  std::vector<uint8_t> bgra;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      if (x == 0 && y == 0) bgra.insert(bgra.end(), {0, 0, 0, 0});
      else if (x == 4 && y == 4) bgra.insert(bgra.end(), {255, 255, 255, 255});
      else bgra.insert(bgra.end(), {0, 0, 255, 255});
    }
  const Bytes png = imgtest::MakePng(8, 8, bgra);
  ASSERT_FALSE(png.empty());
  ImageSlot slot;
  slot.Build(png.data(), png.size(), kKeyFromCorner);
  ASSERT_FALSE(slot.empty());
  EXPECT_EQ(slot.size().cx, 8);

  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, slot.mask());
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // see-through
  EXPECT_EQ(GetPixel(dc, 4, 4), RGB(255, 255, 255));  // pure white goes too
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 0));
  SelectObject(dc, slot.image());
  EXPECT_EQ(GetPixel(dc, 4, 4), RGB(0, 0, 0));  // key pixels are black in the image
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(255, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);

  // Drawn on a button face of its own colour, the white pixel shows the face.
  Stage stage;
  SuperButtonProps props;
  props.caption = "";
  props.systemColors = 0;
  props.colors[1] = RGB(0, 0, 255);  // back colour blue
  props.normalImage = png;
  SuperButton* b = MakeButton(stage, props, 40, 40);
  ASSERT_NE(b, nullptr);
  const Pixels r = Shot(b->handle());
  const int left = (40 - 8) / 2;  // flat style: no frame
  EXPECT_EQ(r.at(left + 4, left + 4), 0x0000FFu);
  EXPECT_EQ(r.at(left + 2, left + 2), kRed);
}

TEST(SuperButton, ExplicitKeyColourMasksOnlyThatColour) {
  ImageSlot slot;
  const Bytes bmp = imgtest::MakeBmp(4, 4, [](int x, int) { return x < 2 ? 0x00FF00u : kRed; });
  slot.Build(bmp.data(), bmp.size(), RGB(255, 0, 0));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, slot.mask());
  EXPECT_EQ(GetPixel(dc, 3, 1), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 0));
  SelectObject(dc, old);
  DeleteDC(dc);

  const uint8_t garbage[] = {'B', 'M', 1, 2, 3, 4, 5, 6};
  slot.Build(garbage, sizeof garbage, kKeyFromCorner);
  EXPECT_TRUE(slot.empty());
}

// Moves the cursor onto the button and sends the move the platform would.
void HoverOver(HWND button) {
  RECT r;
  GetWindowRect(button, &r);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  SetCursorPos(centre.x, centre.y);
  PumpUntil([&] {
    POINT p;
    GetCursorPos(&p);
    return p.x == centre.x && p.y == centre.y;
  }, 1000);
  POINT client = centre;
  ScreenToClient(button, &client);
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

TEST(SuperButton, A3DButtonNeverBecomesHot) {
  Stage stage;
  SuperButtonProps props;
  props.buttonStyle = kStyle3D;
  SuperButton* b = MakeButton(stage, props);
  ASSERT_NE(b, nullptr);
  HoverOver(b->handle());
  EXPECT_FALSE(b->hot());
}

TEST(SuperButton, AFlatButtonBecomesHotOnEntryAndLosesItOnLeave) {
  Stage stage;
  for (int style : {kStyleFlat, kStyleRounded}) {
    SuperButtonProps props;
    props.buttonStyle = style;
    SuperButton* b = MakeButton(stage, props);
    ASSERT_NE(b, nullptr);
    HoverOver(b->handle());
    EXPECT_TRUE(b->hot()) << style;
    SendMessageA(b->handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(b->hot()) << style;
    // Held left button on entry: nothing happens.
    RECT r;
    GetClientRect(b->handle(), &r);
    SendMessageA(b->handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom / 2));
    EXPECT_FALSE(b->hot()) << style;
    // Disabling clears the hot state as well.
    HoverOver(b->handle());
    EXPECT_TRUE(b->hot());
    EnableWindow(b->handle(), FALSE);
    EXPECT_FALSE(b->hot());
    DestroyWindow(b->handle());
  }
}

TEST(SuperButton, AToggleButtonAlternatesAndEventZeroSeesTheNewState) {
  Stage stage;
  SuperButtonProps props;
  props.toggle = 1;
  auto* b = MakeButton<RecordingButton>(stage, props);
  ASSERT_NE(b, nullptr);
  SendMessageA(b->handle(), BM_CLICK, 0, 0);
  SendMessageA(b->handle(), BM_CLICK, 0, 0);
  SendMessageA(b->handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(b->clicksSawDown, (std::vector<bool>{true, false, true}));
  PropertyValue v;
  ASSERT_TRUE(b->GetProperty(sbprop::Down, &v));
  EXPECT_EQ(v.i32, 1);
}

TEST(SuperButton, APlainButtonClicksWithoutChangingItsDownState) {
  Stage stage;
  auto* b = MakeButton<RecordingButton>(stage, SuperButtonProps{});
  ASSERT_NE(b, nullptr);
  SendMessageA(b->handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(b->clicksSawDown, (std::vector<bool>{false}));
}

TEST(SuperButton, PropertiesRecreateOnlyWhenToggleOrDefaultChange) {
  Stage stage;
  SuperButton* b = MakeButton(stage, SuperButtonProps{});
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->SetProperty(sbprop::Toggle, PropertyValue::Int(1)), 1);
  EXPECT_EQ(b->SetProperty(sbprop::Toggle, PropertyValue::Int(1)), 0);
  EXPECT_EQ(b->SetProperty(sbprop::DefaultButton, PropertyValue::Int(7)), 1);  // clamped to 1
  EXPECT_TRUE(b->isDefault());
  EXPECT_EQ(b->SetProperty(sbprop::ImagePosition, PropertyValue::Int(-4)), 0);
  EXPECT_EQ(b->SetProperty(sbprop::Caption, PropertyValue::Text("清理")), 0);
  EXPECT_EQ(b->SetProperty(sbprop::BackColor, PropertyValue::Int(static_cast<int32_t>(0xFF000000))), 0);

  PropertyValue v;
  ASSERT_TRUE(b->GetProperty(sbprop::ImagePosition, &v));
  EXPECT_EQ(v.i32, 0);
  ASSERT_TRUE(b->GetProperty(sbprop::Caption, &v));
  EXPECT_STREQ(v.text, "清理");
  ASSERT_TRUE(b->GetProperty(sbprop::BackColor, &v));
  EXPECT_EQ(v.u32, GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(b->GetProperty(sbprop::Count, &v));

  // The record made from the present state reads back with the changes.
  const Bytes saved = b->SaveRecord();
  SuperButtonProps back;
  ASSERT_TRUE(forms::ReadRecord(saved.data(), saved.size(), &back));
  EXPECT_EQ(back.caption, "清理");
  EXPECT_EQ(back.toggle, 1u);
  EXPECT_EQ(back.defaultButton, 1u);
}

TEST(SuperButton, AnswersTheDialogCodeAndStaysOwnerDrawn) {
  Stage stage;
  SuperButtonProps props;
  props.defaultButton = 1;
  SuperButton* def = MakeButton(stage, props);
  SuperButton* plain = MakeButton(stage, SuperButtonProps{});
  ASSERT_TRUE(def && plain);
  EXPECT_TRUE(SendMessageA(def->handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
  EXPECT_TRUE(SendMessageA(plain->handle(), WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON);
  SendMessageA(plain->handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
  EXPECT_EQ(GetWindowLongA(plain->handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
  EXPECT_TRUE(SendMessageA(def->handle(), WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON);
}

BOOL CALLBACK FindToolTip(HWND w, LPARAM l) {
  char cls[64] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (lstrcmpiA(cls, TOOLTIPS_CLASSA) == 0) *reinterpret_cast<HWND*>(l) = w;
  return TRUE;
}

TEST(SuperButton, ToolTipAppearsWithTextAndGoesWithoutIt) {
  Stage stage;
  SuperButtonProps props;
  props.toolTip = "开始扫描";
  SuperButton* b = MakeButton(stage, props);
  ASSERT_NE(b, nullptr);
  HWND tip = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindToolTip, reinterpret_cast<LPARAM>(&tip));
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 400);
  b->SetProperty(sbprop::ToolTip, PropertyValue::Text(""));
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);
}

}  // namespace
}  // namespace ts::controls
