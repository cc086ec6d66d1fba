// The seven super-list-box commands. Argument 1 is always the list box (a
// unit reference); rows and columns count from 0.
#pragma once

#include "runtime/values.h"

namespace ts::controls {

void ListGetItemCount(ResultRecord* result, int argc, ArgRecord* args);
// 2 position, 3 text, 4 image, 5 check state, 6 indent, 7 item data (all
// optional). The new row's index, -1 on failure.
void ListInsertItem(ResultRecord* result, int argc, ArgRecord* args);
void ListDeleteItem(ResultRecord* result, int argc, ArgRecord* args);
void ListDeleteAllItems(ResultRecord* result, int argc, ArgRecord* args);
// 2 row, 3 column (optional, 0).
void ListGetItemText(ResultRecord* result, int argc, ArgRecord* args);
// 2 row, 3 column (optional, 0), 4 text (optional, empty).
void ListSetItemText(ResultRecord* result, int argc, ArgRecord* args);
// The cell accessor for the kinds other than text: 2 row, 3 column
// (optional, 0), 4 kind (1 image, 2 check state, 3 indent, 4 the row's item
// data). An integer; for a row that does not exist, -1 for the check state
// and 0 otherwise.
void ListGetCellValue(ResultRecord* result, int argc, ArgRecord* args);
// 2 text, 3 start row (optional, 0), 4 exact (optional, true), 5 column
// (optional). The row found or -1.
void ListFindItem(ResultRecord* result, int argc, ArgRecord* args);
// 2 drawing on (boolean): off while a caller adds many rows, on again to
// repaint the whole list once.
void ListSetDrawing(ResultRecord* result, int argc, ArgRecord* args);

}  // namespace ts::controls
