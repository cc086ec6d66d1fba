#include "tests/support/stage.h"

#include <commctrl.h>

#include <array>
#include <map>
#include <utility>

#include "forms/unit_types.h"
#include "runtime/app.h"
#include "runtime/dispatch.h"
#include "runtime/forms_link.h"

namespace ts::test {
namespace {

constexpr uint32_t kHostUnit = 0x06010001;
constexpr int32_t kFirstEvent = -12, kLastEvent = 12;  // handlers exist for these

struct Answered {
  bool returns = false;
  uint32_t value = 0;
};

// What the live stage knows; the handlers below are plain functions.
struct StageState {
  std::map<uint32_t, UnitObject*> units;
  std::vector<Event> events;
  std::function<int32_t(const Event&)> probe;
  std::map<int32_t, Answered> answers;
  UINT_PTR nextId = 100;
};
StageState g_state;

template <int32_t E>
void Handler(uint32_t a, uint32_t b) {
  uint32_t form = 0, unit = 0;
  ts::CurrentEventSource(&form, &unit);
  Event e{unit, E, a, b, 0};
  if (g_state.probe) e.probed = g_state.probe(e);
  g_state.events.push_back(e);
  const Answered answer = g_state.answers[E];
  if (answer.returns) ts::HandlerReturn(answer.value);
}

template <int32_t... I>
constexpr std::array<uintptr_t, sizeof...(I)> MakeHandlers(std::integer_sequence<int32_t, I...>) {
  return {reinterpret_cast<uintptr_t>(&Handler<I + kFirstEvent>)...};
}
const auto kHandlers = MakeHandlers(std::make_integer_sequence<int32_t, kLastEvent - kFirstEvent + 1>{});

// Units made on the stage get the recording handlers; any other unit of the
// form (the host, objects a test made itself) raises into nothing.
ts::HandlerLookup FindHandler(uint32_t formId, uint32_t unitId, int32_t event, ts::HandlerTarget* target) {
  if (formId != kStageForm) return ts::HandlerLookup::NoWindow;
  auto it = g_state.units.find(unitId);
  const bool known = it != g_state.units.end();
  target->unitType = known ? it->second->typeId() : ts::forms::unittype::Window;
  target->sourceUnitId = unitId;
  target->handler = known && event >= kFirstEvent && event <= kLastEvent ? kHandlers[event - kFirstEvent] : 0;
  return ts::HandlerLookup::Found;
}

uintptr_t UnitControl(uint32_t formId, uint32_t unitId) {
  auto it = g_state.units.find(unitId);
  return formId == kStageForm && it != g_state.units.end() ? reinterpret_cast<uintptr_t>(it->second) : 0;
}

class HostWindow : public UnitObject {
 public:
  HostWindow() : UnitObject(kStageForm, kHostUnit, ts::forms::unittype::Window) {}
  bool Make() {
    ts::forms::RegisterUnitClass("TsStageHost", CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateNative(0, "TsStageHost", "stage", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 50, 50, 640, 480, nullptr,
                        0);
  }
};

// The program: libraries 1, 2 and 7 with the program's unit types.
void StartOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  static ts::LibraryRecord libraries[7] = {};
  static const ts::LibraryRecord* table[7] = {};
  for (uint32_t lib : {1u, 2u, 7u}) {
    const ts::forms::UnitTypeTable types = ts::forms::LibraryUnitTypes(lib);
    libraries[lib - 1].formatStamp = 20000101;
    libraries[lib - 1].unitTypeCount = types.count;
    libraries[lib - 1].unitTypes = types.entries;
    table[lib - 1] = &libraries[lib - 1];
  }
  static ts::ProgramHeader header{};
  header.mode = 3;
  header.libraryCount = 7;
  header.libraries = table;
  static ts::RuntimeApp app(header, nullptr);
  ts::StartRuntime();
  ts::FormsHooks hooks{};
  hooks.findHandler = &FindHandler;
  hooks.unitControl = &UnitControl;
  ts::RegisterFormsHooks(hooks);
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS};
  ::InitCommonControlsEx(&icc);
}

}  // namespace

Stage::Stage() {
  StartOnce();
  g_state = StageState{};
  auto* host = new HostWindow();
  if (!host->Make()) {
    delete host;
    ADD_FAILURE() << "the stage's host window was not made";
    return;
  }
  host_ = host->handle();  // the engine's clean-up deletes the object with its window
  ::ShowWindow(host_, SW_SHOW);
  ::SetForegroundWindow(host_);
  Flush();
}

Stage::~Stage() {
  // The host takes its controls along; what they raise meanwhile goes
  // nowhere.
  g_state.units.clear();
  if (host_ && ::IsWindow(host_)) ::DestroyWindow(host_);
  Flush();
  g_state = StageState{};
}

ts::forms::CreateArgs Stage::Args(const Bytes& record, RECT where, uint32_t unitId, HWND parent) {
  ts::forms::CreateArgs a;
  a.data = record.empty() ? nullptr : record.data();
  a.size = static_cast<uint32_t>(record.size());
  a.style = WS_TABSTOP;
  a.parent = parent ? parent : host_;
  a.menuOrId = g_state.nextId++;
  a.left = where.left;
  a.top = where.top;
  a.width = where.right - where.left;
  a.height = where.bottom - where.top;
  a.formId = kStageForm;
  a.unitId = unitId;
  return a;
}

Control Stage::Create(ts::UnitInterfaceFn type, uint32_t unitId, const Bytes& record, RECT where, HWND parent) {
  Control c;
  c.ops = ts::forms::UnitOps::From(type);
  c.unit = c.ops.create ? c.ops.create(Args(record, where, unitId, parent)) : nullptr;
  if (c.unit) {
    g_state.units[unitId] = c.unit;
    ::ShowWindow(c.unit->handle(), SW_SHOWNA);
  }
  return c;
}

const std::vector<Event>& Stage::events() const { return g_state.events; }

void Stage::ClearEvents() { g_state.events.clear(); }

size_t Stage::Count(uint32_t unit, int32_t event) const {
  size_t n = 0;
  for (const Event& e : g_state.events) n += e.unit == unit && e.event == event;
  return n;
}

std::vector<int32_t> Stage::TakeNumbers() {
  std::vector<int32_t> numbers;
  for (const Event& e : g_state.events) {
    if (!IsFocusEvent(e)) numbers.push_back(e.event);
  }
  g_state.events.clear();
  return numbers;
}

void Stage::Probe(std::function<int32_t(const Event&)> probe) { g_state.probe = std::move(probe); }

void Stage::Answer(int32_t event, bool returns, uint32_t value) { g_state.answers[event] = {returns, value}; }

HWND LoadedWindow(uint32_t formId) {
  const ts::FormsHooks& forms = ts::Forms();
  if (!forms.windowCount || !forms.windowAt) return nullptr;
  for (uint32_t i = 0, n = forms.windowCount(); i < n; ++i) {
    ts::WindowEntry e{};
    if (forms.windowAt(i, &e) && e.formId == formId) return e.hwnd;
  }
  return nullptr;
}

namespace {

struct UnitSearch {
  uint32_t unitId;
  HWND found;
};

BOOL CALLBACK FindUnit(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<UnitSearch*>(lp);
  const UnitObject* unit = UnitObject::FromHandle(hwnd);
  if (unit == nullptr || unit->unitId() != s->unitId) return TRUE;
  s->found = hwnd;
  return FALSE;
}

}  // namespace

HWND UnitWindowOf(HWND window, uint32_t unitId) {
  UnitSearch search{unitId, nullptr};
  ::EnumChildWindows(window, &FindUnit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

int32_t Control::GetInt(int32_t index) const {
  PropertyValue v;
  EXPECT_EQ(ops.getProperty(unit, index, &v), 1) << "property " << index;
  return v.i32;
}

std::string Control::GetText(int32_t index) const {
  PropertyValue v;
  EXPECT_EQ(ops.getProperty(unit, index, &v), 1) << "property " << index;
  return v.text ? std::string(v.text) : std::string();
}

int32_t Control::Set(int32_t index, const PropertyValue& v) const { return ops.setProperty(unit, index, v); }

bool Pixels::Shows(uint32_t pixel) const {
  for (uint32_t v : data) {
    if (v == pixel) return true;
  }
  return false;
}

namespace {

// The client area of `hwnd` drawn by `draw` into a 32-bit top-down bitmap.
template <class Draw>
Pixels Capture(HWND hwnd, Draw draw) {
  Pixels p;
  RECT r;
  ::GetClientRect(hwnd, &r);
  p.width = r.right;
  p.height = r.bottom;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (dib != nullptr) {
    HGDIOBJ old = ::SelectObject(mem, dib);
    draw(mem, screen, p.width, p.height);
    ::GdiFlush();
    const auto* px = static_cast<const uint32_t*>(bits);
    p.data.assign(px, px + static_cast<size_t>(p.width) * p.height);
    for (uint32_t& v : p.data) v &= 0xFFFFFF;
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
  }
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return p;
}

}  // namespace

Pixels Render(HWND hwnd, UINT what) {
  return Capture(hwnd, [&](HDC mem, HDC, int, int) {
    ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), what);
  });
}

Pixels OnScreen(HWND hwnd) {
  POINT origin{0, 0};
  ::ClientToScreen(hwnd, &origin);
  return Capture(hwnd, [&](HDC mem, HDC screen, int width, int height) {
    ::BitBlt(mem, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  });
}

}  // namespace ts::test
