// Loading a window from its window record: creating the window unit and
// its controls, parents, stacking, cursors, the private start-up messages,
// the first events, the show and the modal state; and the bookkeeping of
// the runtime's window list as windows come and go.
#include <algorithm>
#include <set>
#include <vector>

#include "forms/engine/internal.h"
#include "forms/engine/unit.h"
#include "forms/engine/unit_record.h"
#include "forms/engine/window_unit.h"
#include "forms/registry.h"
#include "runtime/forms_link.h"

namespace ts::forms {

namespace {

constexpr UINT kFirstControlId = 100;
constexpr UINT kControlIdStep = 10;

std::vector<FormWindow*>& WindowList() {
  static std::vector<FormWindow*> list;
  return list;
}

// Events stay suppressed while a window is built, whatever path leaves.
class EventPause {
 public:
  EventPause() { SuppressEvents(); }
  ~EventPause() { Resume(); }
  void Resume() {
    if (paused_) AllowEvents();
    paused_ = false;
  }
  EventPause(const EventPause&) = delete;
  EventPause& operator=(const EventPause&) = delete;

 private:
  bool paused_ = true;
};

struct Created {
  size_t position;
  UnitObject* unit;
  uint32_t typeFlags;
  bool show;
};

class WindowBuilder {
 public:
  WindowBuilder(WindowRecord& w, uint32_t formId, HWND owner, bool modal)
      : w_(w), formId_(formId), owner_(owner), modal_(modal) {}

  FormWindow* Build();

 private:
  UnitObject* CreateUnit(size_t position, HWND parent, UINT_PTR menuOrId, bool* show);
  bool CreateAll();
  void AttachParents();
  void StackSiblings();
  void LoadCursors();
  void SendToControls(UINT message);
  void ShowControls();
  void Fail();

  WindowRecord& w_;
  uint32_t formId_;
  HWND owner_;
  bool modal_;
  FormWindow* window_ = nullptr;
  std::vector<Created> controls_;  // in creation order: last unit first
  std::set<uint32_t> pageHidden_;
};

UnitObject* WindowBuilder::CreateUnit(size_t position, HWND parent, UINT_PTR menuOrId, bool* show) {
  auto f = UnitFields::At(w_, position);
  if (!f) return nullptr;
  const UnitTypeEntry* type = LookupUnitType(f->type());
  UnitOps ops = UnitOps::From(type ? type->interfaceFn : nullptr);
  if (ops.create == nullptr) return nullptr;
  const uint32_t state = f->stateFlags();
  CreateArgs args;
  if (type->stateFlags & unitflag::NeverShown) {
    *show = false;
  } else {
    *show = (state & unitstate::Visible) != 0;
    if (state & unitstate::Disabled) args.style |= WS_DISABLED;
  }
  if (state & unitstate::TabStop) args.style |= WS_TABSTOP;
  args.data = f->properties();
  args.size = f->propertiesLength();
  args.parent = parent;
  args.menuOrId = menuOrId;
  args.left = f->geometry(Geometry::Left);
  args.top = f->geometry(Geometry::Top);
  args.width = f->geometry(Geometry::Width);
  args.height = f->geometry(Geometry::Height);
  args.formId = formId_;
  args.unitId = f->id();
  args.modal = modal_;
  UnitObject* unit = ops.create(args);
  if (unit == nullptr) return nullptr;
  if (!unit->alive()) {
    delete unit;
    return nullptr;
  }
  if (auto g = UnitFields::At(w_, position)) g->setObject(unit);
  return unit;
}

bool WindowBuilder::CreateAll() {
  bool showWindow = false;
  UnitObject* unit0 = CreateUnit(0, owner_, 0, &showWindow);
  window_ = dynamic_cast<FormWindow*>(unit0);
  if (window_ == nullptr) {
    if (unit0 != nullptr) ::DestroyWindow(unit0->handle());
    return false;
  }
  WindowList().push_back(window_);
  UINT id = kFirstControlId;
  for (size_t pos = w_.unitCount; pos-- > 1;) {
    auto f = UnitFields::At(w_, pos);
    if (!f) return false;
    if (f->menuItem()) continue;
    bool show = false;
    UnitObject* unit = CreateUnit(pos, window_->handle(), id, &show);
    if (unit == nullptr) return false;
    controls_.push_back({pos, unit, UnitTypeFlags(f->type()), show});
    id += kControlIdStep;
  }
  return true;
}

void WindowBuilder::AttachParents() {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {  // unit order
    auto f = UnitFields::At(w_, it->position);
    if (!f) continue;
    if (uint32_t parentId = f->parent(); parentId != 0) {
      UnitObject* parent = UnitObjectOf(formId_, parentId);
      if (parent != nullptr && parent != it->unit) {
        ::SetParent(it->unit->handle(), parent->handle());
        ::SetWindowPos(it->unit->handle(), nullptr, f->geometry(Geometry::Left), f->geometry(Geometry::Top), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
    if (it->typeFlags & unitflag::PageContainer) {
      bool laterPage = false;
      for (uint32_t child : f->children()) {
        if (child == 0) laterPage = true;
        else if (laterPage) pageHidden_.insert(child);
      }
    }
  }
}

void WindowBuilder::StackSiblings() {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {  // unit order
    auto f = UnitFields::At(w_, it->position);
    if (!f) continue;
    HWND after = HWND_TOP;
    for (size_t prev = it->position; prev-- > 1;) {
      auto g = UnitFields::At(w_, prev);
      if (!g || g->menuItem() || g->parent() != f->parent()) continue;
      if (g->object() != nullptr) after = g->object()->handle();
      break;
    }
    ::SetWindowPos(it->unit->handle(), after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

void WindowBuilder::LoadCursors() {
  for (size_t pos = 0; pos < w_.unitCount; ++pos) {
    auto f = UnitFields::At(w_, pos);
    if (!f || f->menuItem() || f->object() == nullptr) continue;
    std::vector<uint8_t> value = f->cursorValue();
    if (value.empty()) continue;
    HCURSOR cursor = LoadCursorValue(value.data(), value.size());
    f->setCursorHandle(cursor);
    f->object()->setCursor(cursor);
  }
}

void WindowBuilder::SendToControls(UINT message) {
  for (const Created& c : controls_) {  // last unit first
    if (c.unit->alive()) c.unit->Send(message);
  }
}

void WindowBuilder::ShowControls() {
  for (const Created& c : controls_) {
    auto f = UnitFields::At(w_, c.position);
    bool show = c.show && f && !pageHidden_.count(f->id());
    ::ShowWindow(c.unit->handle(), show ? SW_SHOWNA : SW_HIDE);
  }
}

void WindowBuilder::Fail() {
  // Units already made go with the window (their slots are cleared as their
  // native windows are destroyed); controls made while the window itself
  // failed do not exist.
  if (window_ != nullptr && window_->alive()) ::DestroyWindow(window_->handle());
  window_ = nullptr;
}

FormWindow* WindowBuilder::Build() {
  EventPause pause;
  if (!CreateAll()) {
    Fail();
    return nullptr;
  }
  AttachParents();
  StackSiblings();
  LoadCursors();
  SendToControls(msg::UnitsCreated);
  window_->Send(msg::LayoutBars);
  ShowControls();
  pause.Resume();

  FormWindow* window = window_;
  const HWND self = window->handle();
  auto alive = [&] { return ::IsWindow(self) && UnitObject::FromHandle(self) == window; };
  window->Raise(kWindowLoaded);
  if (!alive()) return nullptr;
  window->Raise(kWindowMoved);
  if (alive()) window->Raise(kWindowResized);
  if (!alive()) return nullptr;

  auto unit0 = UnitFields::At(w_, 0);
  if (unit0 && (unit0->stateFlags() & unitstate::Visible)) window->ShowAsLoaded();
  if (!alive()) return nullptr;
  if (modal_) window->BeginModal();

  HWND focus = ::GetFocus();
  SendToControls(msg::WindowShown);
  if (!alive()) return nullptr;
  if (::GetFocus() != focus && focus != nullptr && ::IsWindow(focus)) ::SetFocus(focus);
  window->setWaitingFirstShow(true);
  return window;
}

}  // namespace

const std::vector<FormWindow*>& LiveWindows() { return WindowList(); }

UnitObject* UnitObjectOf(uint32_t formId, uint32_t unitId) {
  WindowRecord* w = Registry().FindForm(formId);
  if (w == nullptr) return nullptr;
  auto f = unitId == 0 ? UnitFields::At(*w, 0) : UnitFields::Find(*w, unitId);
  if (!f || f->menuItem()) return nullptr;
  return f->object();
}

bool LoadFormWindow(uint32_t formId, HWND owner, bool modal) {
  WindowRecord* w = Registry().FindForm(formId);
  if (w == nullptr || w->unitCount == 0) return false;
  if (FormWindow* live = FormWindow::Of(formId); live != nullptr && live->alive()) {
    if (!live->closing()) {
      if (::IsIconic(live->handle())) {
        ::ShowWindow(live->handle(), SW_RESTORE);
      } else {
        ::SetActiveWindow(live->handle());
        ::SetForegroundWindow(live->handle());
      }
      return true;
    }
    live->CloseNow();
    w = Registry().FindForm(formId);
    if (w == nullptr) return false;
  }
  FormWindow* window = WindowBuilder(*w, formId, owner, modal).Build();
  if (window == nullptr) return false;
  w = Registry().FindForm(formId);
  auto unit0 = w ? UnitFields::At(*w, 0) : std::nullopt;
  if (unit0 && (unit0->stateFlags() & unitstate::Visible)) window->FirstShow();
  return true;
}

void OnUnitNativeGone(UnitObject* unit) {
  const bool isWindow = unit->typeId() == kWindowUnitType;
  if (WindowRecord* w = Registry().FindForm(unit->formId())) {
    auto f = isWindow ? UnitFields::At(*w, 0) : UnitFields::Find(*w, unit->unitId());
    if (f && f->object() == unit) {
      f->setObject(nullptr);
      ReleaseCursor(f->cursorHandle());
      f->setCursorHandle(nullptr);
    }
  }
  if (isWindow) {
    auto& list = WindowList();
    list.erase(std::remove(list.begin(), list.end(), unit), list.end());
  }
  delete unit;
  if (isWindow) OnWindowDestroyed();
}

}  // namespace ts::forms
