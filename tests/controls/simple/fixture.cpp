#include "tests/controls/simple/fixture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "controls/simple/simple_controls.h"
#include "forms/unit_types.h"
#include "runtime/app.h"
#include "runtime/forms_link.h"
#include "runtime/values.h"

namespace simpletest {

std::function<void(const Event&)> g_onEvent;

namespace {

ts::HandlerLookup FindHandler(uint32_t formId, uint32_t unitId, int32_t event, ts::HandlerTarget* target) {
  if (formId != kForm) return ts::HandlerLookup::NoWindow;
  // Every unit answers as a label-typed unit (a type that raises events),
  // without a handler: dispatch then stops here.
  target->handler = 0;
  target->unitType = ts::forms::unittype::Label;
  target->sourceUnitId = unitId;
  if (event == -7 || event == -8) return ts::HandlerLookup::Found;
  Event e{unitId, event};
  if (g_onEvent) g_onEvent(e);
  Events().push_back(e);
  return ts::HandlerLookup::Found;
}

const char kHostClass[] = "SimpleTestHost";

class HostWindow : public UnitObject {
 public:
  HostWindow() : UnitObject(kForm, 0x06030001, 0x00010001) {}
  bool Make() {
    ts::forms::RegisterUnitClass(kHostClass, 0, ::LoadCursorA(nullptr, IDC_ARROW),
                                 reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    return CreateNative(0, kHostClass, "simple controls", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 640, 480,
                        nullptr, 0);
  }
};

}  // namespace

std::vector<Event>& Events() {
  static std::vector<Event> events;
  return events;
}
void ClearEvents() { Events().clear(); }
size_t CountEvents(uint32_t unitId, int32_t event) {
  size_t n = 0;
  for (const Event& e : Events()) n += e.unitId == unitId && e.event == event;
  return n;
}

void StartOnce() {
  static bool started = false;
  if (started) return;
  started = true;
  static ts::LibraryRecord core{};
  ts::forms::UnitTypeTable types = ts::forms::LibraryUnitTypes(1);
  core.unitTypeCount = types.count;
  core.unitTypes = types.entries;
  static const ts::LibraryRecord* libraries[] = {&core};
  static ts::ProgramHeader header{};
  header.mode = 3;
  header.libraryCount = 1;
  header.libraries = libraries;
  static ts::RuntimeApp app(header, nullptr);
  ts::StartRuntime();
  ts::FormsHooks hooks{};
  hooks.findHandler = &FindHandler;
  ts::RegisterFormsHooks(hooks);
  ts::controls::RegisterSimpleControls();
}

Host::Host() {
  StartOnce();
  auto* w = new HostWindow();
  if (!w->Make()) {
    delete w;
    w = nullptr;
  }
  window_ = w;
  if (window_) ::ShowWindow(window_->handle(), SW_SHOWNOACTIVATE);
  ClearEvents();
  g_onEvent = nullptr;
}

Host::~Host() {
  g_onEvent = nullptr;
  // Destroying the window takes its controls along; the engine's clean-up
  // deletes every unit object once its window is gone.
  if (window_ && window_->alive()) ::DestroyWindow(window_->handle());
  PumpFor(20);
}

HWND Host::hwnd() const { return window_ ? window_->handle() : nullptr; }

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

Control Create(ts::UnitInterfaceFn type, const Bytes& record, HWND parent, RECT where, uint32_t unitId) {
  Control c;
  c.ops = ts::forms::UnitOps::From(type);
  ts::forms::CreateArgs a;
  a.data = record.empty() ? nullptr : record.data();
  a.size = static_cast<uint32_t>(record.size());
  a.style = WS_TABSTOP;
  a.parent = parent;
  a.menuOrId = 100 + (unitId & 0xFF) * 10;
  a.left = where.left;
  a.top = where.top;
  a.width = where.right - where.left;
  a.height = where.bottom - where.top;
  a.formId = kForm;
  a.unitId = unitId;
  c.unit = c.ops.create ? c.ops.create(a) : nullptr;
  if (c.unit) ::ShowWindow(c.unit->handle(), SW_SHOWNA);
  return c;
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    MSG m;
    while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&m);
      ::DispatchMessageA(&m);
    }
    if (done()) return true;
    if (::GetTickCount() - start > timeoutMs) return false;
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

Bytes SolidBmp(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  int stride = (w * 3 + 3) & ~3;
  uint32_t pixels = static_cast<uint32_t>(stride * h);
  Bytes f(54 + pixels, 0);
  auto put32 = [&f](size_t at, uint32_t v) { std::memcpy(&f[at], &v, 4); };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, static_cast<uint32_t>(f.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(w));
  put32(22, static_cast<uint32_t>(h));
  f[26] = 1;
  f[28] = 24;
  put32(34, pixels);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      size_t at = 54 + static_cast<size_t>(y * stride + x * 3);
      f[at] = b;
      f[at + 1] = g;
      f[at + 2] = r;
    }
  return f;
}

Pixels Render(HWND hwnd) {
  Pixels p;
  RECT r;
  ::GetClientRect(hwnd, &r);
  p.width = r.right;
  p.height = r.bottom;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = p.width;
  bi.bmiHeader.biHeight = -p.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, dib);
  ::SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  const auto* px = static_cast<const uint32_t*>(bits);
  p.data.assign(px, px + static_cast<size_t>(p.width) * p.height);
  for (uint32_t& v : p.data) v &= 0xFFFFFF;
  ::SelectObject(mem, old);
  ::DeleteObject(dib);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return p;
}

}  // namespace simpletest
