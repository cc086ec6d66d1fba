// The seven tree-box commands. Argument 1 is always the tree box (a unit
// reference); item indexes are pre-order positions, -1 meaning none.
#pragma once

#include "runtime/values.h"

namespace ts::controls {

void TreeGetItemCount(ResultRecord* result, int argc, ArgRecord* args);
// 2 parent index (optional), 3 text or array of texts, 4 image, 5 selected
// image, 6 item data, 7 bold, 8 check state (all optional). The new item's
// index; 0 for the array form.
void TreeInsertItem(ResultRecord* result, int argc, ArgRecord* args);
void TreeGetItemText(ResultRecord* result, int argc, ArgRecord* args);
void TreeDeleteAllItems(ResultRecord* result, int argc, ArgRecord* args);
void TreeGetCheckState(ResultRecord* result, int argc, ArgRecord* args);
// 2 index, 3 check state, 4 recursive (optional, default false).
void TreeSetCheckState(ResultRecord* result, int argc, ArgRecord* args);
void TreeGetParent(ResultRecord* result, int argc, ArgRecord* args);
// 2 index. The item's item data, 0 when the index does not exist.
void TreeGetItemData(ResultRecord* result, int argc, ArgRecord* args);

}  // namespace ts::controls
