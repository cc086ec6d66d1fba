#include "controls/listview/listview_commands.h"

#include "controls/common/control_commands.h"
#include "controls/listview/listview.h"
#include "runtime/commands/arg_values.h"

namespace ts::controls {

namespace {

// Runs fn with the list box of argument 1 on its own thread; false when it
// is no list box.
template <class Fn>
bool WithList(int argc, ArgRecord* args, Fn&& fn) {
  if (argc < 1) return false;
  return WithControl<ListView>(args[0], forms::unittype::ListView, fn);
}

}  // namespace

void ListGetItemCount(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t count = 0;
  WithList(argc, args, [&](ListView& b) { count = b.RowCount(); });
  SetIntResult(result, count);
}

void ListInsertItem(ResultRecord* result, int argc, ArgRecord* args) {
  ListRowSpec desc;
  desc.position = IntArg(argc, args, 1, -1);
  desc.text = TextArg(argc, args, 2);
  desc.image = IntArg(argc, args, 3, -1);
  desc.hasCheck = Given(argc, args, 4);
  desc.checkState = IntArg(argc, args, 4, 0);
  desc.indent = IntArg(argc, args, 5, 0);
  desc.itemData = IntArg(argc, args, 6, 0);
  int32_t row = -1;
  WithList(argc, args, [&](ListView& b) { row = b.InsertRow(desc); });
  SetIntResult(result, row);
}

void ListDeleteItem(ResultRecord*, int argc, ArgRecord* args) {
  int32_t row = IntArg(argc, args, 1, -1);
  WithList(argc, args, [&](ListView& b) { b.DeleteRow(row); });
}

void ListDeleteAllItems(ResultRecord*, int argc, ArgRecord* args) {
  WithList(argc, args, [&](ListView& b) { b.DeleteAllRows(); });
}

void ListGetItemText(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t row = IntArg(argc, args, 1, -1);
  int32_t column = IntArg(argc, args, 2, 0);
  char* text = nullptr;
  WithList(argc, args, [&](ListView& b) { text = ToRuntimeText(b.CellText(row, column)); });
  SetTextResult(result, text);
}

void ListSetItemText(ResultRecord*, int argc, ArgRecord* args) {
  int32_t row = IntArg(argc, args, 1, -1);
  int32_t column = IntArg(argc, args, 2, 0);
  std::string text = TextArg(argc, args, 3);
  WithList(argc, args, [&](ListView& b) { b.SetCellText(row, column, text); });
}

void ListGetCellValue(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t row = IntArg(argc, args, 1, -1);
  int32_t column = IntArg(argc, args, 2, 0);
  int32_t kind = IntArg(argc, args, 3, 0);
  int32_t value = 0;
  if (kind >= static_cast<int32_t>(CellKind::Image) && kind <= static_cast<int32_t>(CellKind::ItemData)) {
    WithList(argc, args, [&](ListView& b) { value = b.CellValue(row, column, static_cast<CellKind>(kind)); });
  }
  SetIntResult(result, value);
}

void ListSetDrawing(ResultRecord*, int argc, ArgRecord* args) {
  const bool on = BoolArg(argc, args, 1, true);
  WithList(argc, args, [&](ListView& b) { b.SetDrawing(on); });
}

void ListFindItem(ResultRecord* result, int argc, ArgRecord* args) {
  std::string text = TextArg(argc, args, 1);
  int32_t start = IntArg(argc, args, 2, 0);
  bool exact = BoolArg(argc, args, 3, true);
  // The column rules apply only when a fifth argument is there.
  bool columnGiven = Given(argc, args, 4);
  int32_t column = IntArg(argc, args, 4, 0);
  int32_t row = -1;
  WithList(argc, args, [&](ListView& b) { row = b.Find(text, start, exact, columnGiven, column); });
  SetIntResult(result, row);
}

}  // namespace ts::controls
