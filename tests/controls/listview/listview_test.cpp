// Super list box rows through the commands: insertion, long cells, the
// column rules of FindItem, and the check-box event.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "controls/listview/listview.h"
#include "controls/listview/listview_commands.h"
#include "tests/support/stage.h"

namespace {

using namespace ts::test;
using namespace ts::controls;
constexpr uint32_t kList = 0x20004;
constexpr uint32_t kId = 9;

std::vector<uint8_t> ReportRecord(bool checkBoxes) {
  ts::forms::ListViewProps p;
  p.viewType = 3;
  p.checkBoxes = checkBoxes ? 1 : 0;
  std::vector<ts::forms::ListColumn> cols(3);
  cols[0].title = "文件路径";
  cols[1].title = "MD5";
  cols[2].title = "树索引";
  for (auto& c : cols) c.width = 120;
  p.columns = ts::forms::EncodeColumns(cols);
  return ts::forms::WriteRecord(p);
}

int32_t AddRow(const char* text) { return Call(ListInsertItem, {StageUnit(kId, kList), Omitted(), Text(text)}).v.i32; }
void SetCell(int32_t row, int32_t col, const char* text) {
  Call(ListSetItemText, {StageUnit(kId, kList), Int(row), Int(col), Text(text)});
}
std::string Cell(int32_t row, int32_t col) {
  return TakeText(Call(ListGetItemText, {StageUnit(kId, kList), Int(row), Int(col)}));
}
int32_t Find(std::vector<ts::ArgRecord> rest) {
  rest.insert(rest.begin(), StageUnit(kId, kList));
  return Call(ListFindItem, rest).v.i32;
}

TEST(ListView, InsertWithoutArgumentsAppendsAnEmptyRow) {
  Stage stage;
  ASSERT_NE(stage.Create(&ListViewInterface, kId, ReportRecord(false)).unit, nullptr);
  EXPECT_EQ(AddRow("a"), 0);
  EXPECT_EQ(Call(ListInsertItem, {StageUnit(kId, kList)}).v.i32, 1);
  EXPECT_EQ(Call(ListGetItemCount, {StageUnit(kId, kList)}).v.i32, 2);
  EXPECT_EQ(Cell(1, 0), "");
  EXPECT_EQ(Call(ListInsertItem, {StageUnit(kId, kList), Int(0), Text("first")}).v.i32, 0);
  EXPECT_EQ(Cell(1, 0), "a");
  Call(ListDeleteItem, {StageUnit(kId, kList), Int(0)});
  EXPECT_EQ(Cell(0, 0), "a");
  Call(ListDeleteAllItems, {StageUnit(kId, kList)});
  EXPECT_EQ(Call(ListGetItemCount, {StageUnit(kId, kList)}).v.i32, 0);
  EXPECT_EQ(Cell(0, 0), "");
}

TEST(ListView, LongCellTextsComeBackWhole) {
  Stage stage;
  ASSERT_NE(stage.Create(&ListViewInterface, kId, ReportRecord(false)).unit, nullptr);
  ASSERT_EQ(AddRow("r"), 0);
  for (size_t length : {600u, 1021u, 1022u, 1023u, 1024u, 2500u}) {
    std::string text;
    while (text.size() + 2 <= length) text += "\xD6\xD0";  // GBK 中
    if (text.size() < length) text += "y";
    SetCell(0, 1, text.c_str());
    EXPECT_EQ(Cell(0, 1), text) << length;
  }
}

TEST(ListView, FindItemFollowsTheColumnRules) {
  Stage stage;
  ASSERT_NE(stage.Create(&ListViewInterface, kId, ReportRecord(false)).unit, nullptr);
  const char* rows[4][3] = {{"ABC", "ABx", "p"}, {"zz", "abz", "q"}, {"yy", "r", "s"}, {"xx", "t", "needle"}};
  for (int r = 0; r < 4; ++r) {
    ASSERT_EQ(AddRow(rows[r][0]), r);
    SetCell(r, 1, rows[r][1]);
    SetCell(r, 2, rows[r][2]);
  }
  EXPECT_EQ(Find({Text("needle"), Int(0), Bool(true), Int(-1)}), 3);
  EXPECT_EQ(Find({Text("needle"), Int(0), Bool(true), Int(0)}), -1);
  EXPECT_EQ(Find({Text("needle")}), -1);
  EXPECT_EQ(Find({Text("needle"), Int(0), Bool(true), Int(2)}), 3);
  // Column 0 is the platform's search: prefix and case-insensitive.
  EXPECT_EQ(Find({Text("ab"), Int(0), Bool(false)}), 0);
  EXPECT_EQ(Find({Text("abc")}), 0);
  // Own column scans compare bytes with case.
  EXPECT_EQ(Find({Text("ab"), Int(0), Bool(false), Int(1)}), 1);
  EXPECT_EQ(Find({Text("ab"), Int(0), Bool(true), Int(1)}), -1);
  EXPECT_EQ(Find({Text("ABx"), Int(1), Bool(true), Int(1)}), -1);
  // Column -1 keeps a first-column match; start at the row count finds nothing.
  EXPECT_EQ(Find({Text("zz"), Int(0), Bool(true), Int(-1)}), 1);
  EXPECT_EQ(Find({Text("xx"), Int(4)}), -1);
  EXPECT_EQ(Find({Text("needle"), Int(4), Bool(true), Int(-1)}), -1);
}

TEST(ListView, MouseToggleRaisesOneEventAfterTheChange) {
  Stage stage;
  auto* list = static_cast<ListView*>(stage.Create(&ListViewInterface, kId, ReportRecord(true)).unit);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(AddRow("one"), 0);
  ASSERT_EQ(AddRow("two"), 1);
  RECT item{};
  item.left = LVIR_BOUNDS;
  ASSERT_TRUE(list->Send(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item)));
  int y = (item.top + item.bottom) / 2;
  int x = -1;
  for (int px = item.left; px < item.right; ++px) {
    LVHITTESTINFO hit{};
    hit.pt = {px, y};
    if (list->Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == 1 && (hit.flags & LVHT_ONITEMSTATEICON)) {
      x = px + 3;
      break;
    }
  }
  ASSERT_GE(x, 0) << "no state icon found";
  stage.Probe([&](const Event&) { return list->CellValue(1, 0, CellKind::Check); });
  stage.ClearEvents();
  ::PostMessageA(list->handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::PostMessageA(list->handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  ASSERT_TRUE(PumpUntil([&] { return stage.Count(kId, 8) > 0; }));
  ASSERT_TRUE(Flush());  // the click and what it set off have run
  EXPECT_EQ(stage.Count(kId, 8), 1u);
  for (const Event& e : stage.events()) {
    if (e.event != 8) continue;
    EXPECT_EQ(e.a, 1u);
    EXPECT_EQ(e.b, 1u);
    EXPECT_EQ(e.probed, 1);
  }
}

}  // namespace
