// Edit box styles and limits; group box as native parent of its controls.
#include <gtest/gtest.h>

#include "controls/simple/simple_controls.h"
#include "tests/support/stage.h"

using namespace ts::test;

namespace {

constexpr int32_t kContent = 0, kMultiline = 7, kSelStart = 16, kSelLength = 17, kSelectedText = 18;

Bytes EditRecord(void (*adjust)(ts::forms::EditBoxProps&)) {
  ts::forms::EditBoxProps p;
  p.content = "*.*";
  adjust(p);
  return ts::forms::WriteRecord(p);
}

}  // namespace

TEST(EditBox, ContentIsTheWindowTextBothWays) {
  Stage stage;
  Control edit = stage.Create(ts::controls::EditBoxInterface, 1, EditRecord([](auto&) {}), {10, 10, 300, 35});
  ASSERT_NE(edit.unit, nullptr);
  EXPECT_EQ(edit.GetText(kContent), "*.*");
  edit.SetText(kContent, "*.doc;*.xls;*.ppt;*.pdf");
  char text[64] = {};
  ::GetWindowTextA(edit.hwnd(), text, sizeof text);
  EXPECT_STREQ(text, "*.doc;*.xls;*.ppt;*.pdf");
  ::SetWindowTextA(edit.hwnd(), "*.mp3");
  EXPECT_EQ(edit.GetText(kContent), "*.mp3");
  edit.SetInt(kSelStart, 2);
  edit.SetInt(kSelLength, 3);
  EXPECT_EQ(edit.GetText(kSelectedText), "mp3");
  EXPECT_EQ(edit.Record<ts::forms::EditBoxProps>().content, "*.mp3");
}

TEST(EditBox, LimitPasswordAndLetterCaseReachThePlatformControl) {
  Stage stage;
  Control edit = stage.Create(ts::controls::EditBoxInterface, 1, EditRecord([](auto& p) {
                          p.maxLength = 4;
                          p.inputMode = 2;
                          p.passwordChar = '#';
                          p.letterCase = 2;
                        }), {10, 10, 300, 35});
  ASSERT_NE(edit.unit, nullptr);
  LONG style = ::GetWindowLongA(edit.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & ES_PASSWORD);
  EXPECT_TRUE(style & ES_UPPERCASE);
  EXPECT_EQ(::SendMessageA(edit.hwnd(), EM_GETPASSWORDCHAR, 0, 0), '#');
  EXPECT_EQ(::SendMessageA(edit.hwnd(), EM_GETLIMITTEXT, 0, 0), 4);
  ::SetWindowTextA(edit.hwnd(), "");
  for (char c : std::string("abcdef")) ::SendMessageA(edit.hwnd(), WM_CHAR, static_cast<WPARAM>(c), 1);
  EXPECT_EQ(edit.GetText(kContent), "ABCD");
}

TEST(EditBox, MultilineIsFixedAtCreationSoWritingItAsksForRecreation) {
  Stage stage;
  Control edit = stage.Create(ts::controls::EditBoxInterface, 1, EditRecord([](auto& p) {
                          p.multiline = 1;
                          p.scrollBars = 2;
                        }), {10, 10, 300, 100});
  ASSERT_NE(edit.unit, nullptr);
  LONG style = ::GetWindowLongA(edit.hwnd(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_TRUE(style & WS_VSCROLL);
  EXPECT_FALSE(style & WS_HSCROLL);
  EXPECT_EQ(edit.ops.wantsKey(edit.unit, VK_RETURN), 1);
  EXPECT_EQ(edit.SetInt(kMultiline, 0), 1);
  EXPECT_EQ(edit.Record<ts::forms::EditBoxProps>().multiline, 0u);
}

TEST(GroupBox, ControlsInsideItStillGetTheirNotifications) {
  Stage stage;
  ts::forms::GroupBoxProps g;
  g.caption = "扫描目录";
  Control group = stage.Create(ts::controls::GroupBoxInterface, 2, ts::forms::WriteRecord(g), {8, 10, 400, 200});
  ASSERT_NE(group.unit, nullptr);
  ts::forms::CheckBoxProps c;
  c.caption = "包含子目录";
  Control box = stage.Create(ts::controls::CheckBoxInterface, 0x16030003, ts::forms::WriteRecord(c), {11, 104, 130, 124},
                             group.hwnd());
  ASSERT_NE(box.unit, nullptr);
  ::SendMessageA(box.hwnd(), BM_CLICK, 0, 0);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(stage.Count(0x16030003, 0), 1u);
  EXPECT_EQ(box.GetInt(10), 1);
  EXPECT_EQ(group.GetText(0), "扫描目录");
  group.SetInt(1, 7);  // caption alignment clamps to right
  EXPECT_EQ(group.GetInt(1), 2);
  EXPECT_EQ(::GetWindowLongA(group.hwnd(), GWL_STYLE) & BS_RIGHT, BS_RIGHT);
}
