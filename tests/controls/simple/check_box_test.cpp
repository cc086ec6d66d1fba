// Check box: event 0 after the platform's click, with the new state
// already readable; style and state round trips.
#include <gtest/gtest.h>

#include "controls/simple/simple_controls.h"
#include "tests/images/image_writers.h"
#include "tests/support/stage.h"

using namespace ts::test;

namespace {

constexpr int32_t kPicture = 0, kCaption = 3, kChecked = 10;
constexpr uint32_t kBox = 0x16030001;

Bytes BoxRecord(uint32_t checked) {
  ts::forms::CheckBoxProps p;
  p.caption = "包含子目录";
  p.checked = checked;
  return ts::forms::WriteRecord(p);
}

// Posts a click; the tick of the press is the answer.
DWORD UserClick(HWND hwnd) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  LPARAM at = MAKELPARAM(8, r.bottom / 2);
  ::PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  ::PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
  return ::GetTickCount();
}

}  // namespace

TEST(CheckBox, UserClickRaisesEvent0WithTheNewStateAlreadyReadable) {
  Stage stage;
  Control box = stage.Create(ts::controls::CheckBoxInterface, kBox, BoxRecord(1), {10, 40, 130, 60});
  ASSERT_NE(box.unit, nullptr);
  EXPECT_EQ(box.GetInt(kChecked), 1);
  std::vector<int32_t> seen;
  stage.Probe([&](const Event& e) {
    if (e.unit == kBox && e.event == 0) seen.push_back(box.GetInt(kChecked));
    return 0;
  });
  const DWORD first = UserClick(box.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 1; }));
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(box.GetInt(kChecked), 0);
  // The next click must not count as the second half of a double click.
  ASSERT_TRUE(PumpUntil([&] { return Since(first) > ::GetDoubleClickTime(); }));
  UserClick(box.hwnd());
  ASSERT_TRUE(PumpUntil([&] { return seen.size() == 2; }));
  EXPECT_EQ(seen[1], 1);
  EXPECT_EQ(box.Record<ts::forms::CheckBoxProps>().checked, 1u);
}

TEST(CheckBox, MnemonicClickTogglesAndRaisesEvent0) {
  Stage stage;
  Control box = stage.Create(ts::controls::CheckBoxInterface, kBox, BoxRecord(0), {10, 10, 130, 30});
  ASSERT_NE(box.unit, nullptr);
  ::SendMessageA(box.hwnd(), BM_CLICK, 0, 0);  // what the engine sends for Alt+letter
  ASSERT_TRUE(Flush());
  EXPECT_EQ(stage.Count(kBox, 0), 1u);
  EXPECT_EQ(box.GetInt(kChecked), 1);
}

TEST(CheckBox, WritesReachThePlatformControlAndRaiseNothing) {
  Stage stage;
  Control box = stage.Create(ts::controls::CheckBoxInterface, kBox, BoxRecord(0), {10, 10, 130, 30});
  ASSERT_NE(box.unit, nullptr);
  box.SetInt(kChecked, 1);
  box.SetText(kCaption, "清理文件时放入回收站");
  ASSERT_TRUE(Flush());
  EXPECT_EQ(stage.Count(kBox, 0), 0u);
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
  Stage stage;
  ts::forms::CheckBoxProps p;
  p.picture = {'G', 'I', 'F', '8', '9', 'a', 0, 0};  // not a decodable picture
  Control box = stage.Create(ts::controls::CheckBoxInterface, kBox, ts::forms::WriteRecord(p), {10, 10, 130, 30});
  ASSERT_NE(box.unit, nullptr);
  LONG style = ::GetWindowLongA(box.hwnd(), GWL_STYLE);
  EXPECT_EQ(style & (BS_BITMAP | BS_ICON), 0);
  EXPECT_EQ(style & 0x0F, BS_AUTOCHECKBOX);
  EXPECT_EQ(box.Set(kPicture, ts::forms::PropertyValue::Block(nullptr, 0)), 1);
}

TEST(CheckBox, ADecodedPictureIsShownInsteadOfTheText) {
  Stage stage;
  ts::forms::CheckBoxProps p;
  p.picture = imgtest::SolidBmp(8, 8, {255, 0, 0});
  Control box = stage.Create(ts::controls::CheckBoxInterface, kBox, ts::forms::WriteRecord(p), {10, 10, 130, 30});
  ASSERT_NE(box.unit, nullptr);
  EXPECT_EQ(::GetWindowLongA(box.hwnd(), GWL_STYLE) & BS_BITMAP, BS_BITMAP);
  EXPECT_NE(::SendMessageA(box.hwnd(), BM_GETIMAGE, IMAGE_BITMAP, 0), 0);
  ::SendMessageA(box.hwnd(), BM_CLICK, 0, 0);
  EXPECT_EQ(box.GetInt(kChecked), 1) << "a picture box still checks";
}
