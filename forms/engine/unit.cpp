// The unit base: operation tables, unit-type lookup, the one window
// procedure of every unit object, event raising and cross-thread calls.
#include "forms/engine/unit.h"

#include <map>
#include <unordered_map>

#include "forms/engine/internal.h"
#include "runtime/notify.h"
#include "runtime/units.h"

namespace ts::forms {

namespace {

std::map<uint32_t, const UnitTypeEntry*>& RegisteredTypes() {
  static std::map<uint32_t, const UnitTypeEntry*> types;
  return types;
}

}  // namespace

// --- operation tables ---------------------------------------------------------

void* UnitOps::Lookup(int32_t operation) const {
  switch (operation) {
    case op::Create: return reinterpret_cast<void*>(create);
    case op::SetProperty: return reinterpret_cast<void*>(setProperty);
    case op::GetAllData: return reinterpret_cast<void*>(getAllData);
    case op::GetProperty: return reinterpret_cast<void*>(getProperty);
    case op::WantsKey: return reinterpret_cast<void*>(wantsKey);
    case op::IsDefaultButton: return reinterpret_cast<void*>(isDefaultButton);
    case op::FilterMessage: return reinterpret_cast<void*>(filterMessage);
    default: return nullptr;
  }
}

UnitOps UnitOps::From(UnitInterfaceFn fn) {
  UnitOps ops;
  if (fn == nullptr) return ops;
  ops.create = reinterpret_cast<CreateFn>(fn(op::Create));
  ops.setProperty = reinterpret_cast<SetPropertyFn>(fn(op::SetProperty));
  ops.getAllData = reinterpret_cast<GetAllDataFn>(fn(op::GetAllData));
  ops.getProperty = reinterpret_cast<GetPropertyFn>(fn(op::GetProperty));
  ops.wantsKey = reinterpret_cast<WantsKeyFn>(fn(op::WantsKey));
  ops.isDefaultButton = reinterpret_cast<IsDefaultButtonFn>(fn(op::IsDefaultButton));
  ops.filterMessage = reinterpret_cast<FilterMessageFn>(fn(op::FilterMessage));
  return ops;
}

// --- unit types -----------------------------------------------------------

void RegisterUnitType(uint32_t typeId, const UnitTypeEntry* entry) {
  if (entry == nullptr) {
    RegisteredTypes().erase(typeId);
  } else {
    RegisteredTypes()[typeId] = entry;
  }
}

const UnitTypeEntry* LookupUnitType(uint32_t typeId) {
  auto& types = RegisteredTypes();
  if (auto it = types.find(typeId); it != types.end()) return it->second;
  return ts::FindUnitType(typeId);
}

uint32_t UnitTypeFlags(uint32_t typeId) {
  const UnitTypeEntry* entry = LookupUnitType(typeId);
  return entry ? entry->stateFlags : 0;
}

// --- events ---------------------------------------------------------------

EventResult RaiseEvent(uint32_t formId, uint32_t unitId, int32_t event, std::initializer_list<uint32_t> args) {
  EventRecord record{};
  record.formId = formId;
  record.unitId = unitId;
  record.event = event;
  for (uint32_t a : args) {
    if (record.argCount == 5) break;
    record.args[record.argCount++] = a;
  }
  EventResult result;
  result.handled = NotifyRuntime(notify::RaiseEvent, reinterpret_cast<NotifyWord>(&record), 0) != 0;
  result.returned = record.returned != 0;
  result.value = record.value;
  return result;
}

// --- the unit window procedure -------------------------------------------------

LRESULT CALLBACK UnitWindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  UnitObject* unit = UnitObject::FromHandle(hwnd);
  if (unit == nullptr && message == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(l);
    unit = static_cast<UnitObject*>(cs->lpCreateParams);
    if (unit != nullptr) unit->Attach(hwnd);
  }
  if (unit == nullptr) return ::DefWindowProcA(hwnd, message, w, l);
  try {
    return unit->Route(message, w, l);
  } catch (...) {
    return 0;
  }
}

UnitObject::~UnitObject() {
  // The engine deletes an object only after its window is gone; a type that
  // drops an object whose window lives must not leave the window pointing here.
  if (hwnd_ != nullptr) Detach();
}

namespace {

// Which unit object a native window belongs to. Looked up on every message
// of every unit window, from any thread, so it is a map in the process
// (a window property would cost a round trip to the window server under
// Wine on each message). Never destroyed: windows may outlive static
// destruction at program end.
SRWLOCK g_unitsLock = SRWLOCK_INIT;
std::unordered_map<HWND, UnitObject*>& UnitsByWindow() {
  static auto* units = new std::unordered_map<HWND, UnitObject*>();
  return *units;
}

}  // namespace

UnitObject* UnitObject::FromHandle(HWND hwnd) {
  if (hwnd == nullptr) return nullptr;
  ::AcquireSRWLockShared(&g_unitsLock);
  auto& units = UnitsByWindow();
  auto it = units.find(hwnd);
  UnitObject* unit = it == units.end() ? nullptr : it->second;
  ::ReleaseSRWLockShared(&g_unitsLock);
  return unit;
}

void UnitObject::Attach(HWND hwnd) {
  hwnd_ = hwnd;
  ::AcquireSRWLockExclusive(&g_unitsLock);
  UnitsByWindow()[hwnd] = this;
  ::ReleaseSRWLockExclusive(&g_unitsLock);
}

void UnitObject::Detach() {
  if (previous_ != nullptr) {
    ::SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  }
  ::AcquireSRWLockExclusive(&g_unitsLock);
  UnitsByWindow().erase(hwnd_);
  ::ReleaseSRWLockExclusive(&g_unitsLock);
  hwnd_ = nullptr;
}

bool UnitObject::CreateNative(DWORD exStyle, const char* className, const char* title, DWORD style,
                              int left, int top, int width, int height, HWND parent, UINT_PTR menuOrId) {
  HWND hwnd = ::CreateWindowExA(exStyle, className, title, style, left, top, width, height, parent,
                                reinterpret_cast<HMENU>(menuOrId), ::GetModuleHandleA(nullptr), this);
  if (hwnd == nullptr) return false;
  if (hwnd_ == hwnd) return true;  // our own class: attached at WM_NCCREATE
  // A platform control: subclass it so that its messages reach OnMessage.
  Attach(hwnd);
  previous_ = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UnitWindowProc)));
  return true;
}

LRESULT UnitObject::CallDefault(UINT message, WPARAM w, LPARAM l) {
  if (previous_ != nullptr) return ::CallWindowProcA(previous_, hwnd_, message, w, l);
  return ::DefWindowProcA(hwnd_, message, w, l);
}

namespace {

// The native child a notification of `message` comes from, or null.
HWND NotifyingChild(HWND self, UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<HWND>(l);
    case WM_NOTIFY:
      return l ? reinterpret_cast<const NMHDR*>(l)->hwndFrom : nullptr;
    case WM_DRAWITEM:
      return w && l ? reinterpret_cast<const DRAWITEMSTRUCT*>(l)->hwndItem : nullptr;
    case WM_MEASUREITEM:
      return w && l ? ::GetDlgItem(self, static_cast<int>(reinterpret_cast<const MEASUREITEMSTRUCT*>(l)->CtlID))
                    : nullptr;
    default:
      return nullptr;
  }
}

}  // namespace

bool UnitObject::RoutedBase(UINT message, WPARAM w, LPARAM l, LRESULT* result) {
  if (HWND child = NotifyingChild(hwnd_, message, w, l); child != nullptr && child != hwnd_) {
    if (UnitObject::FromHandle(child) != nullptr) {
      LRESULT answer = ::SendMessageA(child, msg::Reflect + message, w, l);
      if (answer != 0) {
        *result = answer;
        return true;
      }
    }
    return false;
  }
  switch (message) {
    case msg::RunOnOwner:
      (*reinterpret_cast<const std::function<void()>*>(l))();
      *result = 1;
      return true;
    case WM_SETCURSOR:
      if (cursor_ != nullptr && LOWORD(l) == HTCLIENT && reinterpret_cast<HWND>(w) == hwnd_) {
        ::SetCursor(cursor_);
        *result = TRUE;
        return true;
      }
      return false;
    case WM_SETFOCUS:
      if (typeId_ != kWindowUnitType) Raise(-7);
      return false;
    case WM_KILLFOCUS:
      if (typeId_ != kWindowUnitType) Raise(-8);
      return false;
    default:
      return false;
  }
}

LRESULT UnitObject::Route(UINT message, WPARAM w, LPARAM l) {
  LRESULT result = 0;
  if (message == WM_NCDESTROY) {
    result = OnMessage(message, w, l);
    Detach();
    OnUnitNativeGone(this);  // may delete this
    return result;
  }
  if (RoutedBase(message, w, l, &result)) return result;
  return OnMessage(message, w, l);
}

bool RegisterUnitClass(const char* className, UINT classStyle, HCURSOR cursor, HBRUSH background) {
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof existing;
  if (::GetClassInfoExA(instance, className, &existing)) return true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = &UnitWindowProc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return ::RegisterClassExA(&wc) != 0;
}

// --- cross-thread calls ------------------------------------------------------

bool RunOnOwnerThread(HWND hwnd, const std::function<void()>& fn) {
  if (hwnd == nullptr || !::IsWindow(hwnd)) return false;
  if (::GetWindowThreadProcessId(hwnd, nullptr) == ::GetCurrentThreadId()) {
    fn();
    return true;
  }
  if (UnitObject::FromHandle(hwnd) == nullptr) return false;
  DWORD_PTR answer = 0;
  // SendMessage waits while the owner dispatches it; 0 back means the
  // window went away before it ran.
  if (!::SendMessageTimeoutA(hwnd, msg::RunOnOwner, 0, reinterpret_cast<LPARAM>(&fn),
                             SMTO_NORMAL, INFINITE, &answer)) {
    return false;
  }
  return answer == 1;
}

HWND AttachedWindow(uint32_t formId, uint32_t unitId) {
  HWND found = nullptr;
  ::AcquireSRWLockShared(&g_unitsLock);
  for (const auto& [hwnd, unit] : UnitsByWindow()) {
    // An attached object is alive: it is detached under the exclusive lock
    // before it goes.
    if (unit->formId() == formId &&
        (unitId == 0 ? unit->typeId() == kWindowUnitType : unit->unitId() == unitId)) {
      found = hwnd;
      break;
    }
  }
  ::ReleaseSRWLockShared(&g_unitsLock);
  return found;
}

}  // namespace ts::forms
