// Super list box rows as the box keeps them: cell values and where cells
// are kept, texts, sorted insertion, the first-column find, selection and
// focus across insertions and deletions, check boxes by mouse and keyboard,
// label editing, typing to select, stored rows, the colours handed to the
// control, what the platform control is given to show, and the memory a row
// costs.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/listview/listview.h"
#include "tests/support/stage.h"

namespace {

using namespace ts::test;
using namespace ts::controls;
constexpr uint32_t kId = 9;

struct Options {
  int view = 3;
  bool checkBoxes = false;
  int sortOrder = 0;
  bool singleSelection = true;
  bool hotTracking = false;
  std::vector<ts::forms::ListRowRecord> rows;
};

std::vector<uint8_t> Record(const Options& o) {
  ts::forms::ListViewProps p;
  p.viewType = o.view;
  p.checkBoxes = o.checkBoxes ? 1 : 0;
  p.sortOrder = o.sortOrder;
  p.singleSelection = o.singleSelection ? 1 : 0;
  p.hotTracking = o.hotTracking ? 1 : 0;
  p.editLabels = 1;
  std::vector<ts::forms::ListColumn> cols(3);
  for (auto& c : cols) c.width = 100;
  p.columns = ts::forms::EncodeColumns(cols);
  if (!o.rows.empty()) p.initialRows = ts::forms::EncodeRows(o.rows);
  return ts::forms::WriteRecord(p);
}

ListView* Make(Stage& stage, const Options& o = {}) {
  return static_cast<ListView*>(stage.Create(&ListViewInterface, kId, Record(o)).unit);
}

ListRowSpec RowOf(const char* text, int32_t itemData = 0) {
  ListRowSpec s;
  s.text = text;
  s.itemData = itemData;
  return s;
}

std::vector<std::string> FirstCells(ListView* b) {
  std::vector<std::string> v;
  for (int32_t r = 0; r < b->RowCount(); ++r) v.push_back(b->CellText(r, 0));
  return v;
}

void SetState(ListView* b, int32_t row, UINT state, UINT mask) {
  LVITEMA it{};
  it.state = state;
  it.stateMask = mask;
  b->Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

int32_t Focused(ListView* b) { return static_cast<int32_t>(b->Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED)); }

std::vector<int32_t> Selected(ListView* b) {
  std::vector<int32_t> v;
  for (auto i = static_cast<int32_t>(b->Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)); i >= 0;
       i = static_cast<int32_t>(b->Send(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) {
    v.push_back(i);
  }
  return v;
}

TEST(ListRows, CellValuesReadAsTheControlKeptThem) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  ListRowSpec s = RowOf("a", 77);
  s.image = -5;
  s.indent = -3;
  ASSERT_EQ(b->InsertRow(s), 0);
  s.image = 3;
  s.indent = 2;
  s.hasCheck = true;
  s.checkState = 20;
  ASSERT_EQ(b->InsertRow(s), 1);
  EXPECT_EQ(b->CellValue(0, 0, CellKind::Image), -1);
  EXPECT_EQ(b->CellValue(0, 0, CellKind::Indent), 0);
  EXPECT_EQ(b->CellValue(0, 0, CellKind::Check), -1);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Image), 3);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Indent), 2);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Check), 14);
  // Other cells: an image of their own, the row's item data, nothing else.
  for (int32_t column : {1, 3, -1}) {
    EXPECT_EQ(b->CellValue(1, column, CellKind::Image), -1) << column;
    EXPECT_EQ(b->CellValue(1, column, CellKind::Check), -1) << column;
    EXPECT_EQ(b->CellValue(1, column, CellKind::Indent), 0) << column;
    EXPECT_EQ(b->CellValue(1, column, CellKind::ItemData), 77) << column;
  }
  for (int32_t row : {-1, 2}) {
    EXPECT_EQ(b->CellValue(row, 0, CellKind::Image), 0);
    EXPECT_EQ(b->CellValue(row, 0, CellKind::Check), -1);
    EXPECT_EQ(b->CellValue(row, 0, CellKind::ItemData), 0);
  }
  b->SetCellValue(1, 1, CellKind::Image, 4);
  b->SetCellValue(1, -1, CellKind::Image, 8);
  b->SetCellValue(1, 5, CellKind::Image, 5);
  b->SetCellValue(1, 1, CellKind::Check, 1);
  b->SetCellValue(1, 1, CellKind::Indent, 6);
  b->SetCellValue(1, 1, CellKind::ItemData, 9);
  EXPECT_EQ(b->CellValue(1, 1, CellKind::Image), 4);
  EXPECT_EQ(b->CellValue(1, -1, CellKind::Image), 8);
  EXPECT_EQ(b->CellValue(1, 5, CellKind::Image), -1);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Image), 3);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Check), 14);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Indent), 2);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::ItemData), 77);
  b->SetCellValue(1, 0, CellKind::Check, -1);
  b->SetCellValue(1, 0, CellKind::Image, -7);
  b->SetCellValue(1, 0, CellKind::Indent, -7);
  b->SetCellValue(1, 0, CellKind::ItemData, -2);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Check), -1);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Image), -1);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Indent), 0);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::ItemData), -2);
}

TEST(ListRows, WithCheckBoxesEveryNewRowStartsUnchecked) {
  Stage stage;
  Options o;
  o.checkBoxes = true;
  ListView* b = Make(stage, o);
  ASSERT_NE(b, nullptr);
  for (int32_t state : {-1, 1, 2}) {
    ListRowSpec s = RowOf("r");
    s.hasCheck = true;
    s.checkState = state;
    EXPECT_EQ(b->CellValue(b->InsertRow(s), 0, CellKind::Check), 0) << state;
  }
  b->SetCellValue(0, 0, CellKind::Check, 2);
  EXPECT_EQ(b->CellValue(0, 0, CellKind::Check), 2);
}

TEST(ListRows, CellsRightOfTheColumnsAreNotKept) {
  for (int view : {3, 2}) {
    Stage stage;
    Options o;
    o.view = view;
    ListView* b = Make(stage, o);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->InsertRow(RowOf("a")), 0);
    b->SetCellText(0, 1, "one");
    b->SetCellText(0, 3, "three");
    b->SetCellText(0, -1, "minus");
    b->SetCellText(1, 0, "no row");
    EXPECT_EQ(b->CellText(0, 0), "a");
    EXPECT_EQ(b->CellText(0, 1), view == 3 ? "one" : "") << view;
    EXPECT_EQ(b->CellText(0, 3), "");
    EXPECT_EQ(b->CellText(0, -1), "");
    EXPECT_EQ(b->RowCount(), 1);
  }
}

TEST(ListRows, TextsComeBackAsTheControlStoredThem) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(b->InsertRow(RowOf("\x81")), 0);
  EXPECT_EQ(b->CellText(0, 0), "?");
  for (const char* t : {"a\xFF" "b", "\x80", "\xD6\xD0\xCE\xC4", "\xA1\xA1"}) {
    b->SetCellText(0, 1, t);
    EXPECT_EQ(b->CellText(0, 1), t);
  }
  b->SetCellText(0, 2, "x\x81\x30y");
  EXPECT_EQ(b->CellText(0, 2), "x?y");
}

// Insertion into sorted lists compares as the platform's sorted insertion:
// by the platform's string order, a new row before equal ones, the position
// asked for ignored, and no re-sorting when a text changes.
TEST(ListRows, SortedListsPlaceNewRowsInOrder) {
  const char* words[] = {"b", "B", "a", "A", "_x", "1", "\xD6\xD0", "a-c", "ac", "", "\xB0\xA1", "a"};
  for (int sortOrder : {1, 2}) {
    Stage stage;
    Options o;
    o.sortOrder = sortOrder;
    ListView* b = Make(stage, o);
    ASSERT_NE(b, nullptr);
    for (size_t i = 0; i < std::size(words); ++i) {
      ListRowSpec s = RowOf(words[i], static_cast<int32_t>(i));
      s.position = 0;
      b->InsertRow(s);
    }
    std::vector<std::string> ascending = {"", "_x", "1", "a", "a", "A", "ac", "a-c", "b", "B", "\xB0\xA1", "\xD6\xD0"};
    std::vector<std::string> order = ascending;
    if (sortOrder == 2) order.assign(ascending.rbegin(), ascending.rend());
    EXPECT_EQ(FirstCells(b), order) << sortOrder;
    // Of the two "a" rows the later one comes first.
    int32_t firstA = sortOrder == 1 ? 3 : 7;
    EXPECT_EQ(b->CellValue(firstA, 0, CellKind::ItemData), 11);
    EXPECT_EQ(b->CellValue(firstA + 1, 0, CellKind::ItemData), 2);
    b->SetCellText(0, 0, "zzz");
    EXPECT_EQ(b->CellText(0, 0), "zzz");
    ListRowSpec s = RowOf("\xB0\xA1");
    EXPECT_EQ(b->InsertRow(s), sortOrder == 1 ? 10 : 0);
  }
}

TEST(ListRows, FindInTheFirstColumnIgnoresCase) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  std::string longText(300, 'q');
  for (std::string t : {std::string("Apple"), std::string("\xA3\xC1\xA3\xE1"), std::string("banana"), std::string(),
                        std::string("co-op"), std::string("\xA6\xA1x"), longText, longText + "r"}) {
    b->InsertRow(RowOf(t.c_str()));
  }
  auto find = [&](const std::string& t, int32_t start, bool exact) { return b->Find(t, start, exact, false, 0); };
  EXPECT_EQ(find("APPLE", 0, true), 0);
  EXPECT_EQ(find("app", 0, true), -1);
  EXPECT_EQ(find("app", 0, false), 0);
  EXPECT_EQ(find("\xA3\xE1\xA3\xE1", 0, true), 1);  // full-width letters fold too
  EXPECT_EQ(find("\xA6\xC1X", 0, true), 5);         // so do Greek ones
  EXPECT_EQ(find("", 0, true), 3);
  EXPECT_EQ(find("", 0, false), 0);
  EXPECT_EQ(find("coop", 0, true), -1);
  EXPECT_EQ(find("coo", 0, false), -1);
  EXPECT_EQ(find("co-", 0, false), 4);
  EXPECT_EQ(find("bananas", 0, false), -1);
  EXPECT_EQ(find(longText, 0, true), 6);
  EXPECT_EQ(find(longText + "r", 0, true), 7);
  EXPECT_EQ(find(std::string(260, 'q'), 0, false), 6);
  EXPECT_EQ(find("Apple", 1, true), -1);
  EXPECT_EQ(find("", 8, false), -1);
  // A negative start finds nothing in the first column; the column scans
  // start at row 0.
  EXPECT_EQ(find("Apple", -1, true), -1);
  EXPECT_EQ(b->Find("banana", -3, true, true, -1), -1);
  b->SetCellText(2, 2, "needle");
  EXPECT_EQ(b->Find("needle", -3, true, true, -1), 2);
}

TEST(ListRows, SelectionAndFocusMoveWithTheirRows) {
  for (bool single : {true, false}) {
    Stage stage;
    Options o;
    o.singleSelection = single;
    ListView* b = Make(stage, o);
    ASSERT_NE(b, nullptr);
    for (const char* r : {"r0", "r1", "r2", "r3", "r4"}) b->InsertRow(RowOf(r));
    SetState(b, 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    if (!single) SetState(b, 4, LVIS_SELECTED, LVIS_SELECTED);
    b->Send(LVM_SETSELECTIONMARK, 0, 2);
    stage.ClearEvents();
    ListRowSpec s = RowOf("new");
    s.position = 1;
    b->InsertRow(s);
    EXPECT_EQ(Focused(b), 3);
    EXPECT_EQ(Selected(b), (single ? std::vector<int32_t>{3} : std::vector<int32_t>{3, 5}));
    EXPECT_EQ(b->Send(LVM_GETSELECTIONMARK), 3);
    s.position = 5;
    b->InsertRow(s);
    EXPECT_EQ(Selected(b), (single ? std::vector<int32_t>{3} : std::vector<int32_t>{3, 6}));
    b->DeleteRow(0);
    EXPECT_EQ(Focused(b), 2);
    EXPECT_EQ(Selected(b), (single ? std::vector<int32_t>{2} : std::vector<int32_t>{2, 5}));
    // Deleting the focused row leaves the focus on the row after it,
    // unselected.
    b->DeleteRow(2);
    EXPECT_EQ(Focused(b), 2);
    EXPECT_EQ(Selected(b), (single ? std::vector<int32_t>{} : std::vector<int32_t>{4}));
    EXPECT_EQ(b->CellText(2, 0), "r3");
    b->DeleteRow(30);
    EXPECT_EQ(b->RowCount(), 5);
    EXPECT_TRUE(stage.events().empty()) << "moving the focus along raises nothing";
    b->DeleteAllRows();
    EXPECT_EQ(Focused(b), -1);
    EXPECT_EQ(b->Send(LVM_GETSELECTIONMARK), -1);
    EXPECT_EQ(b->Send(LVM_GETITEMCOUNT), 0);
  }
}

// The x of the state icon of a row, -1 when there is none.
int StateIconX(ListView* b, int32_t row, int* y) {
  RECT item{};
  item.left = LVIR_BOUNDS;
  b->Send(LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  *y = (item.top + item.bottom) / 2;
  for (int px = item.left; px < item.right; ++px) {
    LVHITTESTINFO hit{};
    hit.pt = {px, *y};
    if (b->Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
      return px + 3;
    }
  }
  return -1;
}

// Posts a press and its release and waits until both and what they set
// off have been handled.
void Press(ListView* b, UINT down, UINT up, WPARAM keys, int x, int y) {
  ::PostMessageA(b->handle(), down, keys, MAKELPARAM(x, y));
  ::PostMessageA(b->handle(), up, 0, MAKELPARAM(x, y));
  ASSERT_TRUE(Flush());
}

// Each row starts in check state row-1 (no box, unchecked, checked, third
// image). Only a left press and the space bar toggle, and only between
// unchecked and checked; every click on the icon reports the state after.
TEST(ListRows, CheckBoxesToggleBetweenUncheckedAndChecked) {
  for (bool checkBoxes : {true, false}) {
    Stage stage;
    Options o;
    o.checkBoxes = checkBoxes;
    ListView* b = Make(stage, o);
    ASSERT_NE(b, nullptr);
    for (int32_t row = 0; row < 4; ++row) b->InsertRow(RowOf("row"));
    if (!checkBoxes) {
      HIMAGELIST list = ::ImageList_Create(16, 16, ILC_COLOR24, 4, 0);
      HBITMAP strip = ::CreateBitmap(64, 16, 1, 32, nullptr);
      ::ImageList_Add(list, strip, nullptr);
      ::DeleteObject(strip);
      b->Send(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(list));
    }
    for (int32_t row = 0; row < 4; ++row) b->SetCellValue(row, 0, CellKind::Check, row - 1);
    for (int32_t row = 0; row < 4; ++row) {
      SCOPED_TRACE(testing::Message() << "check boxes " << checkBoxes << " row " << row);
      int y = 0;
      int x = StateIconX(b, row, &y);
      ASSERT_GE(x, 0);
      const int32_t before = row - 1;
      const int32_t toggled = !checkBoxes ? before : before == 0 ? 1 : before == 1 ? 0 : before;
      stage.ClearEvents();
      Press(b, WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, x, y);
      EXPECT_EQ(b->CellValue(row, 0, CellKind::Check), toggled);
      const Event* report = nullptr;
      for (const Event& e : stage.events()) {
        if (e.event == 8) report = &e;
      }
      ASSERT_NE(report, nullptr);
      EXPECT_EQ(report->a, static_cast<uint32_t>(row));
      EXPECT_EQ(static_cast<int32_t>(report->b), toggled);
      if (checkBoxes) {
        EXPECT_EQ(stage.TakeNumbers(), (std::vector<int32_t>{4, 8})) << "the press focuses nothing";
      }
      stage.ClearEvents();
      Press(b, WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, x, y);
      Press(b, WM_LBUTTONDBLCLK, WM_LBUTTONUP, MK_LBUTTON, x, y);
      EXPECT_EQ(b->CellValue(row, 0, CellKind::Check), toggled);
      int toggles = 0;
      for (const Event& e : stage.events()) toggles += e.event == 8;
      EXPECT_EQ(toggles, 2);
      ::SetFocus(b->handle());
      SetState(b, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      stage.ClearEvents();
      ::PostMessageA(b->handle(), WM_KEYDOWN, VK_SPACE, 0x00390001);
      ::PostMessageA(b->handle(), WM_CHAR, ' ', 0x00390001);
      ::PostMessageA(b->handle(), WM_KEYUP, VK_SPACE, 0xC0390001);
      ASSERT_TRUE(Flush());
      EXPECT_EQ(b->CellValue(row, 0, CellKind::Check), before);
      EXPECT_EQ(stage.TakeNumbers(), (checkBoxes ? std::vector<int32_t>{8} : std::vector<int32_t>{}));
    }
  }
}

TEST(ListRows, AnAcceptedLabelEditIsKept) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  for (const char* r : {"alpha", "beta", "\xD6\xD0\xCE\xC4"}) b->InsertRow(RowOf(r));
  ::SetFocus(b->handle());
  auto edit = [&](int32_t row, const char* text) {
    HWND box = reinterpret_cast<HWND>(b->Send(LVM_EDITLABELA, static_cast<WPARAM>(row)));
    if (box == nullptr) return std::string("(no edit box)");
    char before[64] = {};
    ::GetWindowTextA(box, before, sizeof before);
    ::SetWindowTextA(box, text);
    ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    Flush();
    return std::string(before);
  };
  std::string seen;
  stage.Probe([&](const Event& e) {
    if (e.event == 7) seen = b->CellText(2, 0);
    return 0;
  });
  EXPECT_EQ(edit(2, "\xD0\xC2\xC3\xFB"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(b->CellText(2, 0), "\xD0\xC2\xC3\xFB");
  EXPECT_EQ(seen, "\xD6\xD0\xCE\xC4") << "the row changes after the event";
  stage.Answer(7, true, 0);
  EXPECT_EQ(edit(1, "refused"), "beta");
  EXPECT_EQ(b->CellText(1, 0), "beta");
  stage.Answer(7, false, 0);
  stage.Answer(6, true, 0);
  EXPECT_EQ(edit(0, "never"), "(no edit box)");
  EXPECT_EQ(b->CellText(0, 0), "alpha");
}

TEST(ListRows, TypingMovesToTheFirstRowStartingWithTheLetters) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  for (const char* r : {"alpha", "beta", "\xD6\xD0\xCE\xC4", "Gamma", "bravo"}) b->InsertRow(RowOf(r));
  ::SetFocus(b->handle());
  MessageRecorder typed(b->handle(), {WM_CHAR});
  ::PostMessageA(b->handle(), WM_CHAR, 'b', 1);
  ::PostMessageA(b->handle(), WM_CHAR, 'r', 1);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(Focused(b), 4);
  // A pause of more than a second after the last letter the list got
  // starts a new search.
  MessageRecorder::Message last{};
  ASSERT_TRUE(typed.Last(WM_CHAR, &last));
  ASSERT_TRUE(PumpUntil([&] { return Since(last.tick) > 1100; }));
  ::PostMessageA(b->handle(), WM_CHAR, 'g', 1);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(Focused(b), 3);
}

ts::forms::ListRowRecord RowRecord(uint8_t kind, const char* text, int32_t indent = 0, int32_t itemData = 0,
                                   const char* tip = "") {
  ts::forms::ListRowRecord r;
  r.kind = kind;
  r.text = text;
  r.indent = indent;
  r.itemData = itemData;
  r.tip = tip;
  return r;
}

TEST(ListRows, StoredRowsAreBuiltAndWrittenBackUnchanged) {
  Stage stage;
  Options o;
  o.checkBoxes = true;
  o.sortOrder = 1;
  o.rows = {RowRecord(0, "zeta", 2, 5, "tip z"), RowRecord(1, "z1"), RowRecord(1, "z2"), RowRecord(1, "beyond"),
            RowRecord(0, "alpha", 1, 6), RowRecord(1, "a1")};
  ListView* b = Make(stage, o);
  ASSERT_NE(b, nullptr);
  ASSERT_EQ(FirstCells(b), (std::vector<std::string>{"alpha", "zeta"}));
  EXPECT_EQ(b->CellText(0, 1), "a1");
  EXPECT_EQ(b->CellText(1, 2), "z2");
  EXPECT_EQ(b->CellText(1, 3), "");
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Indent), 2);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::ItemData), 5);
  EXPECT_EQ(b->CellValue(1, 0, CellKind::Check), 0);
  // The stored rows, not the live ones, go back into the record, so a
  // recreated box starts from them again.
  b->InsertRow(RowOf("live"));
  std::vector<uint8_t> all = b->SaveRecord();
  ts::forms::ListViewProps back;
  ASSERT_TRUE(ts::forms::ReadRecord(all.data(), static_cast<uint32_t>(all.size()), &back));
  EXPECT_EQ(back.initialRows, ts::forms::EncodeRows(o.rows));
  auto* again = static_cast<ListView*>(stage.Create(&ListViewInterface, kId + 1, all).unit);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(FirstCells(again), (std::vector<std::string>{"alpha", "zeta"}));
}

// The list view paints with the colours itself: the button-face marker is
// resolved, and "no colour" (CLR_NONE) reaches it unchanged.
TEST(ListRows, ColoursReachTheControlWithOnlyTheButtonFaceResolved) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  constexpr int32_t kTextBackColor = 2, kBackColor = 3;
  b->SetProperty(kTextBackColor, PropertyValue::Int(static_cast<int32_t>(CLR_NONE)));
  b->SetProperty(kBackColor, PropertyValue::Int(static_cast<int32_t>(0xFF000000)));
  PropertyValue v;
  ASSERT_TRUE(b->GetProperty(kTextBackColor, &v));
  EXPECT_EQ(v.u32, CLR_NONE);
  ASSERT_TRUE(b->GetProperty(kBackColor, &v));
  EXPECT_EQ(v.u32, GetSysColor(COLOR_BTNFACE));
}

// What the platform control is given to show and to read back.
TEST(ListRows, TheControlAsksTheRowsForWhatItShows) {
  Stage stage;
  Options o;
  o.checkBoxes = true;
  ListView* b = Make(stage, o);
  ASSERT_NE(b, nullptr);
  ListRowSpec s = RowOf("\xD6\xD0\xCE\xC4 path");
  s.image = 2;
  s.indent = 3;
  b->InsertRow(s);
  b->SetCellText(0, 1, "digest");
  b->SetCellValue(0, 0, CellKind::Check, 1);
  EXPECT_EQ(b->Send(LVM_GETITEMCOUNT), 1);
  char text[8] = {};
  LVITEMA it{};
  it.iSubItem = 0;
  it.pszText = text;
  it.cchTextMax = 4;  // room for "中" and a half: the half is left out
  b->Send(LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(text, "\xD6\xD0");
  it.iSubItem = 1;
  it.cchTextMax = sizeof text;
  b->Send(LVM_GETITEMTEXTA, 0, reinterpret_cast<LPARAM>(&it));
  EXPECT_STREQ(text, "digest");
  LVITEMA item{};
  item.mask = LVIF_IMAGE | LVIF_INDENT;
  ASSERT_TRUE(b->Send(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(item.iImage, 2);
  EXPECT_EQ(item.iIndent, 3);
  EXPECT_EQ(b->Send(LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK), static_cast<LRESULT>(INDEXTOSTATEIMAGEMASK(2)));
}

// The platform reports the row under the mouse on every move while hot
// tracking (LVN_HOTTRACK, sent here as the control sends it); event 3 comes
// once for each row that becomes hot.
TEST(ListRows, HotTrackingRaisesEvent3OnlyWhenTheHotRowChanges) {
  Stage stage;
  Options o;
  o.hotTracking = true;
  ListView* b = Make(stage, o);
  ASSERT_NE(b, nullptr);
  for (int32_t row = 0; row < 3; ++row) b->InsertRow(RowOf("row"));
  for (int32_t row : {0, 0, 1, 1, -1, 1, 0}) {
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = b->handle();
    nm.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(b->handle()));
    nm.hdr.code = LVN_HOTTRACK;
    nm.iItem = row;
    ::SendMessageA(stage.host(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
  }
  std::vector<uint32_t> hot;
  for (const Event& e : stage.events()) {
    if (e.event == 3) hot.push_back(e.a);
  }
  EXPECT_EQ(hot, (std::vector<uint32_t>{0, 1, 1, 0}));
}

SIZE_T PrivateBytes() {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
  return pmc.PagefileUsage;
}

// Rows as the scan adds them, with drawing off: a row of a 90-byte path and
// a digest costs little more than its texts (the platform control's own
// rows cost over a kilobyte each).
TEST(ListRows, ARowCostsLittleMoreThanItsTexts) {
  Stage stage;
  ListView* b = Make(stage);
  ASSERT_NE(b, nullptr);
  b->Send(WM_SETREDRAW, FALSE);
  constexpr int kRows = 20000;
  std::vector<std::string> paths(kRows);
  for (int r = 0; r < kRows; ++r) {
    paths[r] = "C:\\Users\\someone\\Documents\\Archive\\2019-holiday-photos\\folder" + std::to_string(r % 500) +
               "\\IMG_" + std::to_string(100000 + r) + "_copy_final.jpg";
  }
  const std::string digest(32, 'f');
  const SIZE_T before = PrivateBytes();
  for (int r = 0; r < kRows; ++r) {
    int32_t row = b->InsertRow(RowOf(paths[r].c_str()));
    b->SetCellText(row, 1, digest);
  }
  const double perRow = static_cast<double>(PrivateBytes() - before) / kRows;
  b->Send(WM_SETREDRAW, TRUE);
  EXPECT_EQ(b->CellText(kRows - 1, 0), paths.back());
  EXPECT_LT(perRow, 400.0);
}

}  // namespace
