#include "tests/controls/listview/harness.h"

#include <commctrl.h>

#include <algorithm>

#include <array>
#include <map>

#include "runtime/app.h"
#include "runtime/dispatch.h"
#include "runtime/forms_link.h"
#include "runtime/notify.h"

namespace tstest {

namespace {

using ts::forms::UnitObject;

// Library 1 has no unit types of interest; library 2 holds the tree box
// (type 1) and the list box (type 4), both raising events.
ts::UnitTypeEntry g_lib2Types[5] = {};
ts::LibraryRecord g_lib1{}, g_lib2{};
const ts::LibraryRecord* g_libraries[2] = {&g_lib1, &g_lib2};
ts::ProgramHeader g_header{};

std::map<uint32_t, UnitObject*>& Units() {
  static std::map<uint32_t, UnitObject*> units;
  return units;
}

struct Returned {
  bool returns = false;
  uint32_t value = 0;
};
std::map<int32_t, Returned>& Returns() {
  static std::map<int32_t, Returned> r;
  return r;
}

template <int E>
void Handler(uint32_t a, uint32_t b) {
  uint32_t form = 0, unit = 0;
  ts::CurrentEventSource(&form, &unit);
  Event e{unit, E, a, b, 0};
  if (Stage::Probe()) e.stateAtRaise = Stage::Probe()(e);
  Stage::Events().push_back(e);
  Returned r = Returns()[E];
  if (r.returns) ts::HandlerReturn(r.value);
}

template <int... E>
std::array<uintptr_t, sizeof...(E)> MakeHandlers(std::integer_sequence<int, E...>) {
  return {reinterpret_cast<uintptr_t>(&Handler<E - 8>)...};
}
const auto kHandlers = MakeHandlers(std::make_integer_sequence<int, 17>{});  // events -8..8

ts::HandlerLookup FindHandler(uint32_t, uint32_t unitId, int32_t event, ts::HandlerTarget* t) {
  auto it = Units().find(unitId);
  t->unitType = it != Units().end() ? it->second->typeId() : 0x20001;
  t->sourceUnitId = unitId;
  t->handler = (it != Units().end() && event >= -8 && event <= 8) ? kHandlers[static_cast<size_t>(event + 8)] : 0;
  return ts::HandlerLookup::Found;
}

uintptr_t UnitControl(uint32_t, uint32_t unitId) {
  auto it = Units().find(unitId);
  return it != Units().end() ? reinterpret_cast<uintptr_t>(it->second) : 0;
}

// The host window: a unit object of a type that raises nothing, so that
// notifications of its children are reflected to them as in a real form.
class Host : public UnitObject {
 public:
  Host() : UnitObject(kForm, 0, 0x7FFF0001) {}
  bool Make() {
    ts::forms::RegisterUnitClass("TsTestHost", CS_DBLCLKS, ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)),
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateNative(0, "TsTestHost", "host", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, 50, 50, 640,
                        480, nullptr, 0);
  }
};

ts::RuntimeApp* g_app = nullptr;

void StartOnce() {
  if (g_app) return;
  g_lib2Types[0] = {"树型框", "TreeBox", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 0, nullptr, nullptr, 0, nullptr};
  g_lib2Types[3] = {"超级列表框", "ListView", nullptr, 0, nullptr, 0x40, 0, 0, nullptr, 0, nullptr, nullptr, 0, nullptr};
  g_lib2.unitTypeCount = 5;
  g_lib2.unitTypes = g_lib2Types;
  g_header.libraryCount = 2;
  g_header.libraries = g_libraries;
  g_app = new ts::RuntimeApp(g_header, nullptr);
  ts::StartRuntime();
  ts::FormsHooks hooks{};
  hooks.findHandler = &FindHandler;
  hooks.unitControl = &UnitControl;
  ts::RegisterFormsHooks(hooks);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
  ::InitCommonControlsEx(&icc);
}

}  // namespace

Stage::Stage() {
  StartOnce();
  Clear();
  Probe() = nullptr;
  Returns().clear();
  auto* host = new Host();
  if (host->Make()) host_ = host->handle();
}

Stage::~Stage() {
  if (host_) ::DestroyWindow(host_);  // the controls and the host go with it
  Units().clear();
  PumpFor(20);
}

UnitObject* Stage::Create(void* (*iface)(int32_t), uint32_t unitId, const std::vector<uint8_t>& record, int left,
                          int top, int width, int height) {
  auto create = reinterpret_cast<ts::forms::CreateFn>(iface(ts::forms::op::Create));
  ts::forms::CreateArgs args;
  args.data = record.data();
  args.size = static_cast<uint32_t>(record.size());
  args.style = WS_TABSTOP;
  args.parent = host_;
  args.menuOrId = 100 + unitId;
  args.left = left;
  args.top = top;
  args.width = width;
  args.height = height;
  args.formId = kForm;
  args.unitId = unitId;
  UnitObject* unit = create(args);
  if (unit) {
    Units()[unitId] = unit;
    ::ShowWindow(unit->handle(), SW_SHOWNA);
  }
  return unit;
}

std::vector<Event>& Stage::Events() {
  static std::vector<Event> events;
  return events;
}

std::function<int32_t(const Event&)>& Stage::Probe() {
  static std::function<int32_t(const Event&)> probe;
  return probe;
}

void Stage::SetReturn(int32_t event, bool returns, uint32_t value) { Returns()[event] = {returns, value}; }

bool Stage::PumpUntil(const std::function<bool()>& pred, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
    if (pred()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void Stage::PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

ts::ArgRecord Unit(uint32_t unitId, uint32_t typeId) {
  ts::ArgRecord a{};
  a.v.w.lo = kForm;
  a.v.w.hi = unitId;
  a.type = typeId;
  return a;
}
ts::ArgRecord Int(int32_t v) {
  ts::ArgRecord a{};
  a.v.i32 = v;
  a.type = ts::tag::Int;
  return a;
}
ts::ArgRecord Bool(bool v) {
  ts::ArgRecord a{};
  a.v.i32 = v ? 1 : 0;
  a.type = ts::tag::Bool;
  return a;
}
ts::ArgRecord Text(const char* s) {
  ts::ArgRecord a{};
  ts::SetSlotPointer(a.v, s);
  a.type = ts::tag::Text;
  return a;
}
ts::ArgRecord None() { return ts::ArgRecord{}; }

ts::ResultRecord Call(ts::CommandFn fn, std::vector<ts::ArgRecord> args) {
  ts::ResultRecord r{};
  fn(&r, static_cast<int>(args.size()), args.data());
  return r;
}

std::string TextOf(ts::ResultRecord r) {
  auto* p = static_cast<char*>(ts::SlotPointer(r.v));
  std::string s = p ? p : "";
  ts::Free(p);
  return s;
}

}  // namespace tstest
