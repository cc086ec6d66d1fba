// Check box: event 0 after the platform's click, with the new state
// already readable; style and state round trips.
#include <gtest/gtest.h>

#include "controls/simple/simple_controls.h"
#include "tests/controls/simple/fixture.h"

using namespace simpletest;

namespace {

constexpr int32_t kPicture = 0, kCaption = 3, kChecked = 10;
constexpr uint32_t kBox = 0x16030001;

Bytes BoxRecord(uint32_t checked) {
  ts::forms::CheckBoxProps p;
  p.caption = "包含子目录";
  p.checked = checked;
  return ts::forms::WriteRecord(p);
}

void UserClick(HWND hwnd) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  LPARAM at = MAKELPARAM(8, r.bottom / 2);
  ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
}

}  // namespace

TEST(CheckBox, UserClickRaisesEvent0WithTheNewStateAlreadyReadable) {
  Host host;
  Control box = Create(ts::controls::CheckBoxInterface, BoxRecord(1), host.hwnd(), {10, 40, 130, 60}, kBox);
  ASSERT_NE(box.unit, nullptr);
  EXPECT_EQ(box.GetInt(kChecked), 1);
  std::vector<int32_t> seen;
  g_onEvent = [&](const Event& e) {
    if (e.unitId == kBox && e.event == 0) seen.push_back(box.GetInt(kChecked));
  };
  UserClick(box.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }));
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(box.GetInt(kChecked), 0);
  PumpFor(700);  // keep the next click from counting as a double click
  UserClick(box.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen[1], 1);
  EXPECT_EQ(box.Record<ts::forms::CheckBoxProps>().checked, 1u);
}

TEST(CheckBox, MnemonicClickTogglesAndRaisesEvent0) {
  Host host;
  Control box = Create(ts::controls::CheckBoxInterface, BoxRecord(0), host.hwnd(), {10, 10, 130, 30}, kBox);
  ASSERT_NE(box.unit, nullptr);
  ::SendMessageA(box.hwnd(), BM_CLICK, 0, 0);  // what the engine sends for Alt+letter
  PumpUntil([] { return !Events().empty(); }, 500);
  EXPECT_EQ(CountEvents(kBox, 0), 1u);
  EXPECT_EQ(box.GetInt(kChecked), 1);
}

TEST(CheckBox, WritesReachThePlatformControlAndRaiseNothing) {
  Host host;
  Control box = Create(ts::controls::CheckBoxInterface, BoxRecord(0), host.hwnd(), {10, 10, 130, 30}, kBox);
  ASSERT_NE(box.unit, nullptr);
  box.SetInt(kChecked, 1);
  box.SetText(kCaption, "清理文件时放入回收站");
  PumpFor(100);
  EXPECT_EQ(CountEvents(kBox, 0), 0u);
  EXPECT_EQ(::SendMessageA(box.hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(box.GetText(kCaption), "清理文件时放入回收站");
  box.SetInt(1, 1);  // PushLike
  box.SetInt(5, 2);  // HAlign right
  LONG style = ::GetWindowLongA(box.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & BS_PUSHLIKE, BS_PUSHLIKE);
  EXPECT_EQ(style & BS_RIGHT, BS_RIGHT);
  EXPECT_EQ(style & 0x0F, BS_AUTOCHECKBOX);
  EXPECT_EQ(::SendMessageA(box.hwnd(), BM_GETCHECK, 0, 0), BST_CHECKED) << "restyling keeps the state";
}

TEST(CheckBox, PictureChangeAsksForRecreationAndABrokenPictureLeavesText) {
  Host host;
  ts::forms::CheckBoxProps p;
  p.picture = {'G', 'I', 'F', '8', '9', 'a', 0, 0};  // not a decodable picture
  Control box = Create(ts::controls::CheckBoxInterface, ts::forms::WriteRecord(p), host.hwnd(), {10, 10, 130, 30},
                       kBox);
  ASSERT_NE(box.unit, nullptr);
  LONG style = ::GetWindowLongA(box.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & (BS_BITMAP | BS_ICON), 0);
  EXPECT_EQ(style & 0x0F, BS_AUTOCHECKBOX);
  EXPECT_EQ(box.Set(kPicture, ts::forms::PropertyValue::Block(nullptr, 0)), 1);
}

TEST(CheckBox, ADecodedPictureIsShownInsteadOfTheText) {
  Host host;
  ts::forms::CheckBoxProps p;
  p.picture = SolidBmp(8, 8, 255, 0, 0);
  Control box = Create(ts::controls::CheckBoxInterface, ts::forms::WriteRecord(p), host.hwnd(), {10, 10, 130, 30},
                       kBox);
  ASSERT_NE(box.unit, nullptr);
  EXPECT_EQ(::GetWindowLongA(box.hwnd(), GWL_STYLE) & BS_BITMAP, BS_BITMAP);
  EXPECT_NE(::SendMessageA(box.hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  ::SendMessageA(box.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(box.GetInt(kChecked), 1) << "a picture box still checks";
}
