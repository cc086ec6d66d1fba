// Tree box items by pre-order index, check states and events, driven
// through the commands as the application calls them.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>

#include "controls/treebox/treebox.h"
#include "controls/treebox/treebox_commands.h"
#include "tests/support/stage.h"

namespace {

using namespace ts::test;
using namespace ts::controls;
constexpr uint32_t kTree = 0x20001;
constexpr uint32_t kId = 7;

std::vector<uint8_t> Record(bool checkBoxes, std::vector<ts::forms::TreeItemRecord> items = {}) {
  ts::forms::TreeBoxProps p;
  p.checkBoxes = checkBoxes ? 1 : 0;
  if (!items.empty()) p.initialItems = ts::forms::EncodeTreeItems(items);
  return ts::forms::WriteRecord(p);
}

int32_t Insert(int32_t parent, const char* text) {
  return Call(TreeInsertItem, {StageUnit(kId, kTree), Int(parent), Text(text)}).v.i32;
}
std::string TextAt(int32_t i) { return TakeText(Call(TreeGetItemText, {StageUnit(kId, kTree), Int(i)})); }
int32_t ParentOf(int32_t i) { return Call(TreeGetParent, {StageUnit(kId, kTree), Int(i)}).v.i32; }
int32_t CheckOf(int32_t i) { return Call(TreeGetCheckState, {StageUnit(kId, kTree), Int(i)}).v.i32; }
void SetCheck(int32_t i, int32_t s, bool recursive) {
  Call(TreeSetCheckState, {StageUnit(kId, kTree), Int(i), Int(s), Bool(recursive)});
}

// A (A1, A2), B.
TreeBox* MakeSample(Stage& stage, bool checkBoxes) {
  auto* tree = static_cast<TreeBox*>(stage.Create(&TreeBoxInterface, kId, Record(checkBoxes)).unit);
  EXPECT_NE(tree, nullptr);
  EXPECT_EQ(Insert(-1, "A"), 0);
  EXPECT_EQ(Insert(0, "A1"), 1);
  EXPECT_EQ(Insert(0, "A2"), 2);
  EXPECT_EQ(Insert(-1, "B"), 3);
  return tree;
}

TEST(TreeBox, IndexesArePreorderPositionsAlsoUnderACollapsedBranch) {
  Stage stage;
  TreeBox* tree = MakeSample(stage, false);
  HTREEITEM a = reinterpret_cast<HTREEITEM>(tree->Send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
  tree->Send(TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(a));
  EXPECT_EQ(TextAt(0), "A");
  EXPECT_EQ(TextAt(1), "A1");
  EXPECT_EQ(TextAt(2), "A2");
  EXPECT_EQ(TextAt(3), "B");
  EXPECT_EQ(TextAt(4), "");
  EXPECT_EQ(TextAt(-1), "");
  EXPECT_EQ(ParentOf(2), 0);
  EXPECT_EQ(ParentOf(3), -1);
  EXPECT_EQ(ParentOf(0), -1);
  EXPECT_EQ(ParentOf(99), -1);
  EXPECT_EQ(Call(TreeGetItemCount, {StageUnit(kId, kTree)}).v.i32, 4);
  // A child added to an earlier branch takes B's place, and B moves on.
  EXPECT_EQ(Insert(0, "A3"), 3);
  EXPECT_EQ(TextAt(3), "A3");
  EXPECT_EQ(TextAt(4), "B");
  EXPECT_EQ(ParentOf(3), 0);
  // Walking backwards after walking forwards still finds the right items.
  EXPECT_EQ(TextAt(1), "A1");
  EXPECT_EQ(Insert(1, "A1a"), 2);
  EXPECT_EQ(TextAt(2), "A1a");
  EXPECT_EQ(ParentOf(2), 1);
  EXPECT_EQ(TextAt(5), "B");
}

TEST(TreeBox, ParentThatDoesNotExistMeansTopLevel) {
  Stage stage;
  MakeSample(stage, false);
  EXPECT_EQ(Insert(99, "X"), 4);
  EXPECT_EQ(ParentOf(4), -1);
  EXPECT_EQ(TextAt(4), "X");
}

TEST(TreeBox, CheckStatesAndTheRecursiveRules) {
  Stage stage;
  MakeSample(stage, true);
  // All seven places: the check state is given.
  auto r = Call(TreeInsertItem, {StageUnit(kId, kTree), Int(-1), Text("C"), Omitted(), Omitted(), Omitted(), Int(0), Int(0)});
  EXPECT_EQ(r.v.i32, 4);
  EXPECT_EQ(CheckOf(4), 0);
  EXPECT_EQ(CheckOf(5), -1);
  SetCheck(0, 1, true);
  EXPECT_EQ(CheckOf(0), 1);
  EXPECT_EQ(CheckOf(1), 1);
  EXPECT_EQ(CheckOf(2), 1);
  EXPECT_EQ(CheckOf(3), 0);
  SetCheck(-1, 1, false);  // no item, not recursive: nothing
  EXPECT_EQ(CheckOf(3), 0);
  EXPECT_EQ(CheckOf(4), 0);
  SetCheck(-1, 1, true);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(CheckOf(i), 1) << i;
  SetCheck(0, 0, false);  // the item only
  EXPECT_EQ(CheckOf(0), 0);
  EXPECT_EQ(CheckOf(1), 1);
  SetCheck(99, 0, true);  // no such item: nothing
  EXPECT_EQ(CheckOf(3), 1);
}

TEST(TreeBox, LongTextsComeBackWhole) {
  Stage stage;
  MakeSample(stage, false);
  // Double-byte characters at every buffer boundary position.
  for (size_t length : {300u, 1021u, 1022u, 1023u, 1024u, 3001u}) {
    std::string text;
    while (text.size() + 2 <= length) text += "\xD6\xD0";  // GBK 中
    if (text.size() < length) text += "x";
    int32_t i = Insert(-1, text.c_str());
    ASSERT_GE(i, 0);
    EXPECT_EQ(TextAt(i), text) << length;
  }
}

TEST(TreeBox, ArrayOfTextsAddsOneItemEach) {
  Stage stage;
  MakeSample(stage, true);
  char a[] = "x", b[] = "y", c[] = "z";
  struct {
    uint32_t dims = 1, size = 3;
    char* items[3];
  } array{1, 3, {a, b, c}};
  ts::ArgRecord texts{};
  ts::SetSlotPointer(texts.v, &array);
  texts.type = ts::tag::Text | ts::tag::ArrayBit;
  auto r = Call(TreeInsertItem, {StageUnit(kId, kTree), Int(3), texts});
  EXPECT_EQ(r.v.i32, 0);
  EXPECT_EQ(TextAt(4), "x");
  EXPECT_EQ(TextAt(6), "z");
  EXPECT_EQ(ParentOf(6), 3);
}

TEST(TreeBox, StoredItemsKeepTheirDepthsAndCheckMarks) {
  Stage stage;
  std::vector<ts::forms::TreeItemRecord> items(4);
  items[0].text = "A";
  items[0].depth = 1;
  items[1].text = "A1";
  items[1].depth = 2;
  items[1].flags = 2u << 28;  // checked
  items[2].text = "A2";
  items[2].depth = 2;
  items[3].text = "B";
  items[3].depth = 1;
  ASSERT_NE(stage.Create(&TreeBoxInterface, kId, Record(true, items)).unit, nullptr);
  EXPECT_EQ(TextAt(3), "B");
  EXPECT_EQ(ParentOf(2), 0);
  EXPECT_EQ(ParentOf(3), -1);
  // Once the re-apply timer has run, a stored state 0 shows as unchecked.
  PumpUntil([] { return CheckOf(0) == 0 && CheckOf(2) == 0; });
  EXPECT_EQ(CheckOf(0), 0);
  EXPECT_EQ(CheckOf(1), 1);
  EXPECT_EQ(CheckOf(2), 0);
}

TEST(TreeBox, MouseToggleRaisesOneEventAfterTheChange) {
  Stage stage;
  TreeBox* tree = MakeSample(stage, true);
  HWND h = tree->handle();
  HTREEITEM b = tree->ItemAt(3);
  RECT label{};
  std::memcpy(&label, &b, sizeof b);  // the item goes in, its rectangle comes out
  ASSERT_TRUE(tree->Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
  int y = (label.top + label.bottom) / 2;
  int x = -1;
  for (int px = 0; px < label.left; ++px) {
    TVHITTESTINFO hit{{px, y}, 0, nullptr};
    tree->Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    if (hit.hItem == b && (hit.flags & TVHT_ONITEMSTATEICON)) {
      x = px + 3;
      break;
    }
  }
  ASSERT_GE(x, 0) << "no state icon found";
  stage.Probe([&](const Event&) { return tree->CheckState(b); });
  stage.ClearEvents();
  ::PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  ::PostMessageA(h, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  ASSERT_TRUE(PumpUntil([&] { return stage.Count(kId, 7) > 0; }));
  ASSERT_TRUE(Flush());  // the click and what it set off have run
  EXPECT_EQ(stage.Count(kId, 7), 1u);
  for (const Event& e : stage.events()) {
    if (e.event != 7) continue;
    EXPECT_EQ(e.a, 3u);
    EXPECT_EQ(e.b, 1u);
    EXPECT_EQ(e.probed, 1);  // the box had changed when the event came
  }
  EXPECT_EQ(CheckOf(3), 1);
}

// Event 6 is the right button going down on an item, which is selected
// first; a right click on the empty space below the items raises nothing.
TEST(TreeBox, RightPressOnAnItemSelectsItAndRaisesEvent6) {
  Stage stage;
  TreeBox* tree = MakeSample(stage, false);
  HWND h = tree->handle();
  HTREEITEM b = tree->ItemAt(3);
  RECT label{};
  std::memcpy(&label, &b, sizeof b);
  ASSERT_TRUE(tree->Send(TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&label)));
  auto sixes = [&] {
    std::vector<int32_t> selected;
    for (const Event& e : stage.events()) {
      if (e.event == 6) selected.push_back(e.probed);
    }
    return selected;
  };
  stage.Probe([&](const Event&) {
    return tree->IndexOf(reinterpret_cast<HTREEITEM>(tree->Send(TVM_GETNEXTITEM, TVGN_CARET, 0)));
  });
  auto rightClick = [&](int x, int y) {
    ::PostMessageA(h, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(x, y));
    ::PostMessageA(h, WM_RBUTTONUP, 0, MAKELPARAM(x, y));
    ASSERT_TRUE(Flush());
  };
  stage.ClearEvents();
  rightClick(label.left + 2, label.bottom + 60);
  EXPECT_TRUE(sixes().empty());
  rightClick((label.left + label.right) / 2, (label.top + label.bottom) / 2);
  EXPECT_EQ(sixes(), (std::vector<int32_t>{3}));
}

}  // namespace

// Items added or removed by messages sent straight to the control still
// count: the indexes follow the live tree.
TEST(TreeBox, IndexesFollowChangesMadeDirectlyOnTheControl) {
  Stage stage;
  TreeBox* tree = MakeSample(stage, false);
  HWND h = tree->handle();
  HTREEITEM a1 = tree->ItemAt(1);
  ASSERT_NE(a1, nullptr);
  ::SendMessageA(h, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(a1));
  EXPECT_EQ(TextAt(1), "A2");
  EXPECT_EQ(ParentOf(1), 0);
  EXPECT_EQ(ParentOf(2), -1);
  TVINSERTSTRUCTA ins{};
  ins.hParent = tree->ItemAt(2);  // under B
  ins.hInsertAfter = TVI_FIRST;
  ins.item.mask = TVIF_TEXT;
  ins.item.pszText = const_cast<char*>("B0");
  ASSERT_NE(::SendMessageA(h, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)), 0);
  EXPECT_EQ(TextAt(3), "B0");
  EXPECT_EQ(ParentOf(3), 2);
  // A group formed after later ones lands inside the tree, not at the end.
  EXPECT_EQ(Insert(0, "A3"), 2);
  EXPECT_EQ(TextAt(3), "B");
  EXPECT_EQ(ParentOf(4), 3);
  EXPECT_EQ(Call(TreeGetItemCount, {StageUnit(kId, kTree)}).v.i32, 5);
}

// Drawing is held back while items arrive; anything that needs the layout
// (here a hit test on a shown tree) sees every item in place.
TEST(TreeBox, HitTestsSeeItemsJustInserted) {
  Stage stage;
  TreeBox* tree = static_cast<TreeBox*>(stage.Create(&TreeBoxInterface, kId, Record(false)).unit);
  ASSERT_NE(tree, nullptr);
  HWND h = tree->handle();
  ::ShowWindow(h, SW_SHOW);
  for (int i = 0; i < 5; ++i) Insert(-1, "row");
  HTREEITEM third = tree->ItemAt(2);
  RECT r{};
  std::memcpy(&r, &third, sizeof third);  // the item goes in the rectangle's first field
  ASSERT_TRUE(::SendMessageA(h, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r)));
  TVHITTESTINFO hit{};
  hit.pt = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ::SendMessageA(h, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  EXPECT_EQ(hit.hItem, third);
  EXPECT_GT(r.top, 0);
}
