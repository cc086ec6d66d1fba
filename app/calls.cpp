#include "app/calls.h"

#include <cstring>

#include "app/program.h"
#include "controls/listview/listview_commands.h"
#include "controls/treebox/treebox_commands.h"
#include "forms/engine/window_commands.h"
#include "libs/thread/thread_library.h"
#include "runtime/commands/commands.h"
#include "runtime/services.h"

namespace ts::app {
namespace {

ts::ArgRecord Record(ts::TypeTag type) {
  ts::ArgRecord a{};
  a.type = type;
  return a;
}

uint64_t TextValue(const char* text) {
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(text));
}

}  // namespace

Args& Args::Int(int32_t v) {
  ts::ArgRecord a = Record(ts::tag::Int);
  a.v.i32 = v;
  records_.push_back(a);
  return *this;
}

Args& Args::Bool(bool v) {
  ts::ArgRecord a = Record(ts::tag::Bool);
  a.v.i32 = v ? 1 : 0;
  records_.push_back(a);
  return *this;
}

Args& Args::Double(double v) {
  ts::ArgRecord a = Record(ts::tag::Double);
  a.v.f64 = v;
  records_.push_back(a);
  return *this;
}

Args& Args::DateTime(double v) {
  ts::ArgRecord a = Record(ts::tag::DateTime);
  a.v.f64 = v;
  records_.push_back(a);
  return *this;
}

Args& Args::Text(const std::string& v) {
  // Commands never receive null texts: an empty text is the constant one.
  ts::ArgRecord a = Record(ts::tag::Text);
  if (v.empty()) {
    ts::SetSlotPointer(a.v, ConstEmptyText());
  } else {
    texts_.push_back(v);
    ts::SetSlotPointer(a.v, texts_.back().c_str());
  }
  records_.push_back(a);
  return *this;
}

Args& Args::Unit(const UnitRef& u) {
  ts::ArgRecord a = Record(u.type);
  a.v.w.lo = u.form;
  a.v.w.hi = u.unit;
  records_.push_back(a);
  return *this;
}

Args& Args::Address(void* variable, ts::TypeTag type) {
  ts::ArgRecord a = Record(type);
  ts::SetSlotPointer(a.v, variable);
  records_.push_back(a);
  return *this;
}

Args& Args::Routine(void (*routine)(uint32_t)) {
  ts::ArgRecord a = Record(ts::tag::SubPtr);
  ts::SetSlotPointer(a.v, reinterpret_cast<void*>(routine));
  records_.push_back(a);
  return *this;
}

Args& Args::Omit() {
  records_.push_back(Record(ts::tag::None));
  return *this;
}

ts::ResultRecord CallCore(ts::CommandFn command, Args& args) {
  return ts::svc::Core(command, args.Count(), args.Data());
}

ts::ResultRecord CallLibrary(ts::CommandFn command, Args& args) {
  return ts::svc::Library(command, args.Count(), args.Data());
}

std::string TakeText(const ts::ResultRecord& r) {
  char* p = static_cast<char*>(ts::SlotPointer(r.v));
  std::string s = p ? std::string(p) : std::string();
  ts::svc::Free(p);
  return s;
}

// --- properties -------------------------------------------------------------

std::string GetTextProperty(const UnitRef& u, int32_t property) {
  uint64_t v = ts::svc::GetProperty(u.form, u.unit, property);
  char* p = reinterpret_cast<char*>(static_cast<uintptr_t>(v));
  std::string s = p ? std::string(p) : std::string();
  ts::svc::Free(p);
  return s;
}

void SetTextProperty(const UnitRef& u, int32_t property, const std::string& value) {
  ts::svc::SetProperty(u.form, u.unit, property, TextValue(value.empty() ? nullptr : value.c_str()));
}

int32_t GetIntProperty(const UnitRef& u, int32_t property) {
  return static_cast<int32_t>(ts::svc::GetProperty(u.form, u.unit, property));
}

void SetIntProperty(const UnitRef& u, int32_t property, int32_t value) {
  ts::svc::SetProperty(u.form, u.unit, property, static_cast<uint64_t>(static_cast<int64_t>(value)));
}

void SetDisabled(const UnitRef& u, bool disabled) { SetIntProperty(u, prop::Disabled, disabled ? 1 : 0); }

// --- core commands ----------------------------------------------------------

int32_t ShowMessage(const std::string& message, int32_t style, const std::string& caption) {
  Args a;
  a.Text(message).Int(style).Text(caption);
  return CallCore(ts::ShowMessage, a).v.i32;
}

double CurrentTime() {
  Args a;
  return CallCore(ts::CurrentTime, a).v.f64;
}

std::string ToText(int32_t value) {
  Args a;
  a.Int(value);
  return TakeText(CallCore(ts::ToText, a));
}

void RepaintUnit(const UnitRef& u) {
  Args a;
  a.Unit(u);
  CallCore(ts::forms::CmdRepaint, a);
}

bool LoadWindowModal(const UnitRef& window) {
  Args a;
  a.Unit(window).Omit().Bool(true);
  return CallCore(ts::forms::CmdLoadWindow, a).v.i32 != 0;
}

void DestroyUnit(const UnitRef& u) {
  Args a;
  a.Unit(u);
  CallCore(ts::forms::CmdDestroyUnit, a);
}

void ProcessEvents() {
  Args a;
  CallCore(ts::ProcessEvents, a);
}

// --- list box rows ------------------------------------------------------------

int32_t ListRowCount(const UnitRef& list) {
  Args a;
  a.Unit(list);
  return CallLibrary(ts::controls::ListGetItemCount, a).v.i32;
}

int32_t ListAppendRow(const UnitRef& list) {
  Args a;
  a.Unit(list);
  return CallLibrary(ts::controls::ListInsertItem, a).v.i32;
}

int32_t ListAppendRow(const UnitRef& list, const std::string& text, int32_t itemData) {
  Args a;
  a.Unit(list).Omit().Text(text);
  if (itemData != 0) a.Omit().Omit().Omit().Int(itemData);
  return CallLibrary(ts::controls::ListInsertItem, a).v.i32;
}

void ListDeleteRow(const UnitRef& list, int32_t row) {
  Args a;
  a.Unit(list).Int(row);
  CallLibrary(ts::controls::ListDeleteItem, a);
}

void ListDeleteAll(const UnitRef& list) {
  Args a;
  a.Unit(list);
  CallLibrary(ts::controls::ListDeleteAllItems, a);
}

std::string ListCellText(const UnitRef& list, int32_t row, int32_t column) {
  Args a;
  a.Unit(list).Int(row).Int(column);
  return TakeText(CallLibrary(ts::controls::ListGetItemText, a));
}

void ListSetCellText(const UnitRef& list, int32_t row, int32_t column, const std::string& text) {
  Args a;
  a.Unit(list).Int(row).Int(column).Text(text);
  CallLibrary(ts::controls::ListSetItemText, a);
}

void ListSetDrawing(const UnitRef& list, bool on) {
  Args a;
  a.Unit(list).Bool(on);
  CallLibrary(ts::controls::ListSetDrawing, a);
}

int32_t ListItemData(const UnitRef& list, int32_t row) {
  constexpr int32_t kItemData = 4;  // the cell accessor's kind
  Args a;
  a.Unit(list).Int(row).Int(0).Int(kItemData);
  return CallLibrary(ts::controls::ListGetCellValue, a).v.i32;
}

// --- tree items ---------------------------------------------------------------

int32_t TreeItemCount(const UnitRef& tree) {
  Args a;
  a.Unit(tree);
  return CallLibrary(ts::controls::TreeGetItemCount, a).v.i32;
}

int32_t TreeAppend(const UnitRef& tree, int32_t parent, const std::string& text, int32_t itemData) {
  Args a;
  a.Unit(tree);
  if (parent < 0) {
    a.Omit();
  } else {
    a.Int(parent);
  }
  a.Text(text);
  if (itemData != 0) a.Omit().Omit().Int(itemData);
  return CallLibrary(ts::controls::TreeInsertItem, a).v.i32;
}

void TreeDeleteAll(const UnitRef& tree) {
  Args a;
  a.Unit(tree);
  CallLibrary(ts::controls::TreeDeleteAllItems, a);
}

std::string TreeItemText(const UnitRef& tree, int32_t index) {
  Args a;
  a.Unit(tree).Int(index);
  return TakeText(CallLibrary(ts::controls::TreeGetItemText, a));
}

int32_t TreeCheckState(const UnitRef& tree, int32_t index) {
  Args a;
  a.Unit(tree).Int(index);
  return CallLibrary(ts::controls::TreeGetCheckState, a).v.i32;
}

void TreeSetCheckState(const UnitRef& tree, int32_t index, int32_t state) {
  Args a;
  a.Unit(tree).Int(index).Int(state);
  CallLibrary(ts::controls::TreeSetCheckState, a);
}

int32_t TreeParent(const UnitRef& tree, int32_t index) {
  Args a;
  a.Unit(tree).Int(index);
  return CallLibrary(ts::controls::TreeGetParent, a).v.i32;
}

int32_t TreeItemData(const UnitRef& tree, int32_t index) {
  Args a;
  a.Unit(tree).Int(index);
  return CallLibrary(ts::controls::TreeGetItemData, a).v.i32;
}

// --- libraries ----------------------------------------------------------------

bool StartThread(void (*routine)(uint32_t), uint32_t parameter, int32_t* handle) {
  Args a;
  a.Routine(routine).Int(static_cast<int32_t>(parameter)).Address(handle, ts::tag::Int);
  return CallLibrary(ts::StartThread, a).v.i32 != 0;
}

}  // namespace ts::app
