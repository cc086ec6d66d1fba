// Calling commands and reaching control properties from application code:
// argument lists built in place, results taken over as C++ values (the
// runtime's blocks are freed here), and one wrapper per command the
// application uses.
#pragma once

#include <cstdint>
#include <string>
#include <deque>
#include <vector>

#include "app/ui.h"
#include "runtime/values.h"

namespace ts::app {

class Args {
 public:
  Args& Int(int32_t v);
  Args& Bool(bool v);
  Args& Double(double v);
  Args& DateTime(double v);
  Args& Text(const std::string& v);  // the text must outlive the call
  Args& Unit(const UnitRef& u);
  Args& Address(void* variable, ts::TypeTag type);
  Args& Routine(void (*routine)(uint32_t));
  Args& Omit();
  int Count() const { return static_cast<int>(records_.size()); }
  ts::ArgRecord* Data() { return records_.data(); }

 private:
  std::deque<std::string> texts_;  // stable addresses while records point at them
  std::vector<ts::ArgRecord> records_;
};

ts::ResultRecord CallCore(ts::CommandFn command, Args& args);
ts::ResultRecord CallLibrary(ts::CommandFn command, Args& args);
// A text result as a string; the block is freed.
std::string TakeText(const ts::ResultRecord& r);

// --- properties -------------------------------------------------------------
std::string GetTextProperty(const UnitRef& u, int32_t property);
void SetTextProperty(const UnitRef& u, int32_t property, const std::string& value);
int32_t GetIntProperty(const UnitRef& u, int32_t property);
void SetIntProperty(const UnitRef& u, int32_t property, int32_t value);
void SetDisabled(const UnitRef& u, bool disabled);

// --- core commands ----------------------------------------------------------
int32_t ShowMessage(const std::string& message, int32_t style, const std::string& caption);
double CurrentTime();
std::string ToText(int32_t value);
void RepaintUnit(const UnitRef& u);
bool LoadWindowModal(const UnitRef& window);
void DestroyUnit(const UnitRef& u);
void ProcessEvents();

// --- list box rows ------------------------------------------------------------
int32_t ListRowCount(const UnitRef& list);
int32_t ListAppendRow(const UnitRef& list);
// Appends a row whose first cell holds `text` and whose item data is
// `itemData`, in one step.
int32_t ListAppendRow(const UnitRef& list, const std::string& text, int32_t itemData = 0);
void ListDeleteRow(const UnitRef& list, int32_t row);
void ListDeleteAll(const UnitRef& list);
std::string ListCellText(const UnitRef& list, int32_t row, int32_t column);
void ListSetCellText(const UnitRef& list, int32_t row, int32_t column, const std::string& text);
// Drawing off while many rows change; on again repaints the list once.
void ListSetDrawing(const UnitRef& list, bool on);
// The row's item data; 0 when the row does not exist.
int32_t ListItemData(const UnitRef& list, int32_t row);

// --- tree items ---------------------------------------------------------------
int32_t TreeItemCount(const UnitRef& tree);
// Appends an item under the item at `parent` (-1: a top-level item) with
// its item data; the new item's index.
int32_t TreeAppend(const UnitRef& tree, int32_t parent, const std::string& text, int32_t itemData = 0);
void TreeDeleteAll(const UnitRef& tree);
std::string TreeItemText(const UnitRef& tree, int32_t index);
int32_t TreeCheckState(const UnitRef& tree, int32_t index);
void TreeSetCheckState(const UnitRef& tree, int32_t index, int32_t state);
int32_t TreeParent(const UnitRef& tree, int32_t index);
// The item's item data; 0 when the index does not exist.
int32_t TreeItemData(const UnitRef& tree, int32_t index);

// --- libraries ----------------------------------------------------------------
// Starts a thread running routine(parameter); the handle goes to *handle.
bool StartThread(void (*routine)(uint32_t), uint32_t parameter, int32_t* handle);

}  // namespace ts::app
