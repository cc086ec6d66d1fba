#include "tests/engine/fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "forms/byte_reader.h"
#include "forms/engine/engine.h"
#include "forms/engine/unit.h"
#include "forms/engine/window_unit.h"
#include "forms/form_block.h"
#include "forms/records/records.h"
#include "forms/registry.h"
#include "runtime/app.h"
#include "runtime/dispatch.h"
#include "runtime/values.h"

extern "C" const unsigned char eng_test_handlers[];

namespace engtest {

using ts::forms::Bytes;
using ts::forms::CreateArgs;
using ts::forms::PropertyValue;
using ts::forms::UnitObject;

bool g_refuse12 = false;
bool g_refuse1 = false;
std::function<void()> g_onEvent0;
std::vector<bool> g_visibleAtEarlyEvents;

namespace {

DWORD g_lastOpThread = 0;

// --- test control types ------------------------------------------------------

const char kControlClass[] = "EngTestControl";

std::string CounterOf(uint32_t unitId) { return std::to_string(unitId & 0xFF); }

// Log entries are built by appending: GCC 12 misreads chained "+" on short
// strings (-Wrestrict).
std::string Entry(const char* head, const std::string& middle, const char* tail = "") {
  std::string s(head);
  s.append(middle);
  s.append(tail);
  return s;
}

class TestControl : public UnitObject {
 public:
  TestControl(uint32_t form, uint32_t unit, uint32_t type) : UnitObject(form, unit, type) {}

  std::string caption;
  uint32_t isDefault = 0;
  Bytes font;
  bool checked = false;

  bool Create(const CreateArgs& a) {
    ts::forms::ByteReader r(a.data, a.size);
    if (a.size != 0) {
      if (r.u32() != 1) return false;
      caption = r.countedText();
      isDefault = r.u32();
      if (!r.ok()) return false;
    }
    ts::forms::RegisterUnitClass(kControlClass, CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateNative(0, kControlClass, caption.c_str(), WS_CHILD | a.style, a.left, a.top, a.width, a.height,
                        a.parent, a.menuOrId);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case ts::forms::msg::UnitsCreated:
        Log().push_back(Entry("U", CounterOf(unitId())));
        return 0;
      case ts::forms::msg::WindowShown:
        Log().push_back(Entry("S", CounterOf(unitId())));
        return 0;
      case ts::forms::msg::RecalcBar:
        return isDefault;  // a docked test bar keeps its side there
      case BM_CLICK:
        checked = typeId() == kOptionType ? true : !checked;
        Raise(0);
        return 0;
      case WM_KEYDOWN:
        Log().push_back(Entry("K", CounterOf(unitId()), Entry(":", std::to_string(w)).c_str()));
        return CallDefault(message, w, l);
      default:
        return CallDefault(message, w, l);
    }
  }
};

Bytes ControlRecord(const std::string& caption, uint32_t isDefault) {
  ts::forms::ByteWriter w;
  w.u32(1);
  w.countedText(caption);
  w.u32(isDefault);
  return w.take();
}

template <uint32_t Type>
UnitObject* CreateControl(const CreateArgs& a) {
  auto* c = new TestControl(a.formId, a.unitId, Type);
  if (!c->Create(a)) {
    delete c;
    return nullptr;
  }
  return c;
}

int32_t SetControlProperty(UnitObject* unit, int32_t index, const PropertyValue& v) {
  auto* c = static_cast<TestControl*>(unit);
  g_lastOpThread = ::GetCurrentThreadId();
  switch (index) {
    case 0:
      c->caption = v.text;
      ::SetWindowTextA(c->handle(), v.text);
      return 0;
    case 1:
      return 1;  // asks for recreation
    case 2: {
      const auto* d = static_cast<const uint8_t*>(v.data);
      c->font.assign(d, d + v.size);
      return 0;
    }
    default:
      return 0;
  }
}

int32_t GetControlProperty(UnitObject* unit, int32_t index, PropertyValue* out) {
  auto* c = static_cast<TestControl*>(unit);
  g_lastOpThread = ::GetCurrentThreadId();
  switch (index) {
    case 0: *out = PropertyValue::Text(c->caption.c_str()); return 1;
    case 1: *out = PropertyValue::Int(0); return 1;
    case 2: *out = PropertyValue::Block(c->font.data(), static_cast<uint32_t>(c->font.size())); return 1;
    case 3: *out = PropertyValue::Int(c->checked ? 1 : 0); return 1;
    default: return 0;
  }
}

uint8_t* GetControlRecord(UnitObject* unit, uint32_t* size) {
  auto* c = static_cast<TestControl*>(unit);
  Bytes record = ControlRecord(c->caption, c->isDefault);
  auto* out = static_cast<uint8_t*>(ts::Alloc(static_cast<uint32_t>(record.size())));
  std::memcpy(out, record.data(), record.size());
  *size = static_cast<uint32_t>(record.size());
  return out;
}

int32_t IsDefaultButton(UnitObject* unit) { return static_cast<TestControl*>(unit)->isDefault ? 1 : 0; }

template <uint32_t Type>
void* ControlInterface(int32_t operation) {
  static const ts::forms::UnitOps ops = [] {
    ts::forms::UnitOps o;
    o.create = &CreateControl<Type>;
    o.setProperty = &SetControlProperty;
    o.getProperty = &GetControlProperty;
    o.getAllData = &GetControlRecord;
    if (Type == kButtonType) o.isDefaultButton = &IsDefaultButton;
    return o;
  }();
  return ops.Lookup(operation);
}

// Common properties, then Caption (text), Recreate (integer), Font, Checked.
const ts::PropertyEntry kControlProperties[12] = {
    {nullptr, nullptr, nullptr, 1001, 0, nullptr}, {nullptr, nullptr, nullptr, 1001, 0, nullptr},
    {nullptr, nullptr, nullptr, 1001, 0, nullptr}, {nullptr, nullptr, nullptr, 1001, 0, nullptr},
    {nullptr, nullptr, nullptr, 1005, 0, nullptr}, {nullptr, nullptr, nullptr, 1003, 0, nullptr},
    {nullptr, nullptr, nullptr, 1003, 0, nullptr}, {nullptr, nullptr, nullptr, 1011, 0, nullptr},
    {nullptr, nullptr, nullptr, 1005, 0, nullptr}, {nullptr, nullptr, nullptr, 1001, 0, nullptr},
    {nullptr, nullptr, nullptr, 1013, 0, nullptr}, {nullptr, nullptr, nullptr, 1003, 0, nullptr},
};

ts::UnitTypeEntry ControlType(const char* name, uint32_t flags, ts::UnitInterfaceFn fn) {
  ts::UnitTypeEntry t{};
  t.name = name;
  t.stateFlags = flags;
  t.propertyCount = 12;
  t.properties = kControlProperties;
  t.interfaceFn = fn;
  return t;
}

// --- the test forms ----------------------------------------------------------

constexpr int32_t kClickHandler = 13 * 16;

struct ControlSpec {
  uint32_t type;
  int32_t left, top, width, height;
  uint32_t parentK = 0;  // 0: the window
  uint32_t state = 1 | 4;
  std::string caption = {};
  uint32_t isDefault = 0;
};

Bytes WindowRecordOf(uint32_t form, uint32_t state, const ts::forms::WindowProps& props,
                     const std::vector<ControlSpec>& controls, uint32_t* unitCount) {
  std::vector<uint32_t> ids;
  std::vector<Bytes> records;
  ts::forms::UnitRecordData window;
  window.type = kWindowType;
  window.left = 60;
  window.top = 60;
  window.width = 320;
  window.height = 240;
  window.stateFlags = state;
  for (int e = 0; e <= 12; ++e) window.bindings.emplace_back(e, e * 16);
  window.properties = ts::forms::WriteRecord(props);
  ids.push_back(WindowUnitOf(form));
  records.push_back(ts::forms::BuildUnitRecord(window));
  uint32_t k = 1;
  for (const ControlSpec& c : controls) {
    ts::forms::UnitRecordData u;
    u.type = c.type;
    u.name = Entry("控件", std::to_string(k));
    u.left = c.left;
    u.top = c.top;
    u.width = c.width;
    u.height = c.height;
    u.parent = c.parentK ? ControlOf(form, c.parentK) : 0;
    u.stateFlags = c.state;
    u.bindings = {{0, kClickHandler}, {-7, 14 * 16}, {-8, 15 * 16}};
    u.properties = ControlRecord(c.caption, c.isDefault);
    ids.push_back(ControlOf(form, k));
    records.push_back(ts::forms::BuildUnitRecord(u));
    ++k;
  }
  *unitCount = static_cast<uint32_t>(ids.size());
  return ts::forms::BuildUnitList(ids, records);
}

ts::forms::WindowRecord Window(uint32_t form, uint32_t state, const ts::forms::WindowProps& props,
                               const std::vector<ControlSpec>& controls) {
  ts::forms::WindowRecord w;
  w.formId = form;
  w.units = WindowRecordOf(form, state, props, controls, &w.unitCount);
  return w;
}

ts::forms::WindowProps Props(const char* caption) {
  ts::forms::WindowProps p;
  p.caption = caption;
  p.startPosition = 0;
  return p;
}

Bytes BuildFormBlock() {
  std::vector<ts::forms::WindowRecord> windows;
  windows.push_back(Window(kLoadForm, 1, Props("载入"),
                           {{kPlainType, 10, 10, 80, 20},
                            {kPlainType, 10, 40, 200, 100},
                            {kPlainType, 5, 5, 50, 20, 2},
                            {kPlainType, 5, 30, 50, 20, 2}}));
  windows.push_back(Window(kPlainForm, 1, Props("普通"), {{kPlainType, 10, 10, 80, 20}}));
  windows.push_back(Window(kModalForm, 1, Props("模态"), {{kButtonType, 10, 10, 80, 24, 0, 1 | 4, "确定"}}));
  windows.push_back(Window(kHiddenForm, 0, Props("隐藏"), {{kPlainType, 10, 10, 80, 20}}));
  windows.push_back(Window(kTabForm, 1, Props("顺序"),
                           {{kPlainType, 10, 10, 80, 20},
                            {kPlainType, 2000, 10, 80, 20},
                            {kPlainType, 10, 40, 80, 20},
                            {kPlainType, 10, 70, 80, 20, 0, 1}}));
  windows.push_back(Window(kButtonForm, 1, Props("按钮"),
                           {{kPlainType, 10, 10, 80, 20},
                            {kButtonType, 10, 40, 80, 24, 0, 1 | 4, "&Stop or &Go", 1},
                            {kOptionType, 10, 70, 80, 20, 0, 1 | 4, "甲"},
                            {kOptionType, 10, 100, 80, 20, 0, 1 | 4, "乙"}}));
  ts::forms::WindowProps dock = Props("停靠");
  dock.borderStyle = 1;
  windows.push_back(Window(kDockForm, 1, dock,
                           {{kDockType, 0, 0, 50, 20, 0, 1, "", 1},
                            {kDockType, 0, 0, 50, 30, 0, 1, "", 2},
                            {kPlainType, 10, 40, 80, 20}}));
  windows.push_back(Window(kFailForm, 1, Props("失败"),
                           {{kPlainType, 10, 10, 80, 20}, {kMissingType, 10, 40, 80, 20}}));
  return ts::forms::WriteFormBlock(windows);
}

// --- the program -------------------------------------------------------------------

ts::UnitTypeEntry g_types[6];
ts::LibraryRecord g_library{};
const ts::LibraryRecord* g_libraries[1] = {&g_library};
Bytes g_block;
ts::ProgramHeader g_header{};

class EngineEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    g_types[0] = ts::forms::WindowUnitType();
    g_types[1] = ControlType("普通", 0x40, &ControlInterface<kPlainType>);
    g_types[2] = ts::UnitTypeEntry{};  // the menu item slot stays empty
    g_types[3] = ControlType("按钮", 0x40 | 0x800, &ControlInterface<kButtonType>);
    g_types[4] = ControlType("单选", 0x40 | 0x400, &ControlInterface<kOptionType>);
    g_library.formatStamp = 20000101;
    g_types[5] = ControlType("停靠", 0x40 | 0x100000, &ControlInterface<kDockType>);
    g_library.unitTypeCount = 6;
    g_library.unitTypes = g_types;
    g_block = BuildFormBlock();
    g_header.mode = 3;
    g_header.codeBase = eng_test_handlers;
    g_header.formBlock = g_block.data();
    g_header.formSize = static_cast<uint32_t>(g_block.size());
    g_header.libraryCount = 1;
    g_header.libraries = g_libraries;
    static ts::RuntimeApp app(g_header, nullptr);
    ts::forms::RegisterRegistryHooks();
    ts::forms::RegisterEngineHooks();
    ts::StartRuntime();
  }
};

[[maybe_unused]] ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new EngineEnvironment);

std::string SourceUnit() {
  uint32_t form = 0, unit = 0;
  ts::CurrentEventSource(&form, &unit);
  return CounterOf(unit);
}

void WindowEvent(int n) {
  Log().push_back(Entry("W", std::to_string(n)));
  {
    uint32_t form = 0, unit = 0;
    ts::CurrentEventSource(&form, &unit);
    WindowEvents().emplace_back(form, n);
  }
  if (n == 0 || n == 3 || n == 4) {
    uint32_t form = 0, unit = 0;
    ts::CurrentEventSource(&form, &unit);
    g_visibleAtEarlyEvents.push_back(::IsWindowVisible(WindowOf(form)) != FALSE);
  }
  if (n == 0 && g_onEvent0) g_onEvent0();
  if (n == 12 && g_refuse12) ts::HandlerReturn(0);
  if (n == 1 && g_refuse1) ts::HandlerReturn(0);
}

}  // namespace

std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

std::vector<std::pair<uint32_t, int>>& WindowEvents() {
  static std::vector<std::pair<uint32_t, int>> events;
  return events;
}

std::vector<std::string> LogOf(std::initializer_list<const char*> prefixes) {
  std::vector<std::string> out;
  for (const std::string& e : Log()) {
    for (const char* p : prefixes) {
      std::string pattern(p);
      const bool prefix = !pattern.empty() && pattern.back() == '*';
      if (prefix) pattern.pop_back();
      if (prefix ? e.rfind(pattern, 0) == 0 : e == pattern) {
        out.push_back(e);
        break;
      }
    }
  }
  return out;
}

void Unload(uint32_t formId) { ts::forms::CloseWindowUnit(formId, true); }

HWND WindowOf(uint32_t formId) {
  auto* w = ts::forms::FormWindow::Of(formId);
  return w ? w->handle() : nullptr;
}

HWND ControlHandle(uint32_t formId, uint32_t k) {
  ts::forms::WindowRecord* w = ts::forms::Registry().FindForm(formId);
  if (w == nullptr) return nullptr;
  auto ref = ts::forms::WindowRegistry::FindUnit(*w, ControlOf(formId, k));
  if (!ref) return nullptr;
  UnitObject* obj;
  std::memcpy(&obj, ref->objectSlot, sizeof obj);
  return obj ? obj->handle() : nullptr;
}

DWORD LastOperationThread() { return g_lastOpThread; }

}  // namespace engtest

extern "C" {
void EngW0() { engtest::WindowEvent(0); }
void EngW1() { engtest::WindowEvent(1); }
void EngW2() { engtest::WindowEvent(2); }
void EngW3() { engtest::WindowEvent(3); }
void EngW4() { engtest::WindowEvent(4); }
void EngW5() { engtest::WindowEvent(5); }
void EngW6() { engtest::WindowEvent(6); }
void EngW7() {}
void EngW8() { engtest::WindowEvent(8); }
void EngW9() { engtest::WindowEvent(9); }
void EngW10() { engtest::WindowEvent(10); }
void EngW11() { engtest::WindowEvent(11); }
void EngW12() { engtest::WindowEvent(12); }
void EngClick() { engtest::Log().push_back(engtest::Entry("C", engtest::SourceUnit(), ":0")); }
void EngFocus() { engtest::Log().push_back(engtest::Entry("C", engtest::SourceUnit(), ":-7")); }
void EngBlur() { engtest::Log().push_back(engtest::Entry("C", engtest::SourceUnit(), ":-8")); }
}
