// The list box's own row storage: cells packed in one string per row, cell
// images, cutting texts for the control, and the wrapping find.
#include <gtest/gtest.h>

#include "controls/listview/row_store.h"

namespace {

using ts::controls::FitLength;
using ts::controls::ListRow;
using ts::controls::RowStore;

RowStore WithRows(std::initializer_list<const char*> texts) {
  RowStore store;
  for (const char* t : texts) {
    ListRow row;
    row.cells = t;
    store.Insert(store.size(), std::move(row));
  }
  return store;
}

TEST(RowStore, CellsAreSetInAnyOrderAndReadBack) {
  RowStore store = WithRows({"path"});
  EXPECT_EQ(store.Cell(0, 0), "path");
  EXPECT_EQ(store.Cell(0, 2), "");
  store.SetCell(0, 2, "group");
  EXPECT_EQ(store.Cell(0, 1), "");
  EXPECT_EQ(store.Cell(0, 2), "group");
  store.SetCell(0, 1, "digest");
  store.SetCell(0, 0, "a much longer path than before");
  EXPECT_EQ(store.Cell(0, 0), "a much longer path than before");
  EXPECT_EQ(store.Cell(0, 1), "digest");
  EXPECT_EQ(store.Cell(0, 2), "group");
  store.SetCell(0, 1, "");
  EXPECT_EQ(store.Cell(0, 1), "");
  EXPECT_EQ(store.Cell(0, 2), "group");
  // Emptied cells at the end take no room.
  store.SetCell(0, 2, "");
  store.SetCell(0, 0, "p");
  EXPECT_EQ(store.at(0).cells, "p");
  store.SetCell(0, 5, "");
  EXPECT_EQ(store.at(0).cells, "p");
}

TEST(RowStore, AGrownRowKeepsNoSpareRoom) {
  RowStore store = WithRows({""});
  std::string path(90, 'p');
  store.SetCell(0, 0, path);
  store.SetCell(0, 1, std::string(32, 'd'));
  EXPECT_EQ(store.at(0).cells.size(), 123u);
  EXPECT_LT(store.at(0).cells.capacity(), 140u);
  EXPECT_EQ(store.Cell(0, 0), path);
}

TEST(RowStore, CellImagesByColumnIncludingNegativeOnes) {
  RowStore store = WithRows({"a"});
  EXPECT_EQ(store.CellImage(0, 1), -1);
  store.SetCellImage(0, 1, -1);
  EXPECT_EQ(store.at(0).cellImages, nullptr);
  store.SetCellImage(0, 2, 5);
  store.SetCellImage(0, -1, 8);
  store.SetCellImage(0, 2, 6);
  EXPECT_EQ(store.CellImage(0, 2), 6);
  EXPECT_EQ(store.CellImage(0, -1), 8);
  EXPECT_EQ(store.CellImage(0, 1), -1);
}

TEST(RowStore, FitLengthNeverSplitsADoubleByteCharacter) {
  const std::string text = "ab\xD6\xD0\xCE\xC4";  // "ab" and two GBK characters
  EXPECT_EQ(FitLength(text, 10), 6u);
  EXPECT_EQ(FitLength(text, 6), 6u);
  EXPECT_EQ(FitLength(text, 5), 4u);
  EXPECT_EQ(FitLength(text, 3), 2u);
  EXPECT_EQ(FitLength(text, 0), 0u);
}

// The control's own searches (typing to select) may wrap around.
TEST(RowStore, FindFirstWrapsOnlyWhenAsked) {
  RowStore store = WithRows({"Alpha", "beta", "ALPHABET"});
  EXPECT_EQ(store.FindFirst("alpha", 1, false, false), 2);
  EXPECT_EQ(store.FindFirst("alpha", 1, true, false), -1);
  EXPECT_EQ(store.FindFirst("alpha", 1, true, true), 0);
}

}  // namespace
