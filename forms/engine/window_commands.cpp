// The window commands of the core library: LoadWindow, DestroyUnit and
// Repaint. A unit reference carries the form id in its first and the unit
// id in its second word.
#include "forms/engine/window_commands.h"

#include "forms/engine/engine.h"
#include "forms/engine/internal.h"
#include "forms/engine/unit.h"
#include "forms/engine/window_unit.h"
#include "forms/registry.h"

namespace ts::forms {

namespace {

bool Given(int argc, const ArgRecord* args, int i) { return argc > i && args[i].type != tag::None; }

bool IsWindowUnit(uint32_t formId, uint32_t unitId) {
  if (unitId == 0) return true;
  WindowRecord* w = Registry().FindForm(formId);
  return w != nullptr && w->unitCount > 0 && UnitIdAt(*w, 0) == unitId;
}

struct RepaintArea {
  HWND window;
  RECT client;
};

BOOL CALLBACK InvalidateIfTransparent(HWND child, LPARAM l) {
  const auto* a = reinterpret_cast<const RepaintArea*>(l);
  if (::IsWindowVisible(child) && (::GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
    RECT r = a->client;
    ::MapWindowPoints(a->window, child, reinterpret_cast<POINT*>(&r), 2);
    ::InvalidateRect(child, &r, TRUE);
  }
  return TRUE;
}

void InvalidateTransparentChildren(HWND window) {
  RepaintArea area{window, {}};
  ::GetClientRect(window, &area.client);
  ::EnumChildWindows(window, &InvalidateIfTransparent, reinterpret_cast<LPARAM>(&area));
}

}  // namespace

bool CloseWindowUnit(uint32_t formId, bool atOnce) {
  const HWND h = AttachedWindow(formId, 0);
  bool closing = false;
  RunOnOwnerThread(h, [&] {
    auto* window = dynamic_cast<FormWindow*>(UnitObject::FromHandle(h));
    if (window == nullptr) return;
    window->markClosing();
    closing = true;
    if (atOnce) {
      window->CloseNow();
    } else {
      window->Post(msg::CloseWindow);
    }
  });
  return closing;
}

void CmdLoadWindow(ResultRecord* result, int argc, ArgRecord* args) {
  result->type = tag::Bool;
  result->v.i32 = 0;
  if (!Given(argc, args, 0)) return;
  const uint32_t formId = args[0].v.w.lo;
  HWND owner = nullptr;
  if (Given(argc, args, 1)) {
    FormWindow* parent = FormWindow::Of(args[1].v.w.lo);
    if (parent == nullptr || !parent->alive()) return;
    owner = parent->handle();
  }
  const bool modal = Given(argc, args, 2) && args[2].v.i32 != 0;
  result->v.i32 = LoadWindow(formId, owner, modal) ? 1 : 0;
}

void CmdDestroyUnit(ResultRecord*, int argc, ArgRecord* args) {
  if (!Given(argc, args, 0)) return;
  const uint32_t formId = args[0].v.w.lo;
  const uint32_t unitId = args[0].v.w.hi;
  const bool atOnce = Given(argc, args, 1) && args[1].v.i32 != 0;
  if (IsWindowUnit(formId, unitId)) {
    CloseWindowUnit(formId, atOnce);
    return;
  }
  const HWND h = AttachedWindow(formId, unitId);
  RunOnOwnerThread(h, [h] { ::DestroyWindow(h); });
}

void CmdRepaint(ResultRecord*, int argc, ArgRecord* args) {
  if (!Given(argc, args, 0)) return;
  const uint32_t formId = args[0].v.w.lo;
  const uint32_t unitId = args[0].v.w.hi;
  const bool window = IsWindowUnit(formId, unitId);
  // Native windows only: the unit objects stay with their own thread.
  const HWND h = AttachedWindow(formId, window ? 0 : unitId);
  if (h == nullptr) return;
  ::InvalidateRect(h, nullptr, TRUE);
  if (window) InvalidateTransparentChildren(h);
}

}  // namespace ts::forms
