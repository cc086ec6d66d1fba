// The contract between the form engine and the unit types (the window unit
// and every control class).
//
// A unit type is reached only through its interface function, which answers
// an operation number with a routine (or null). The typed signatures of the
// routines this engine calls are below; a type writes its interface function
// with UnitOps::Lookup. Every created unit is a UnitObject: a view over its
// native window that knows its form id, unit id and unit type.
//
// Lifetime: a create operation allocates its object with `new` and returns
// it; the engine keeps it in the unit record's object slot and deletes it
// after its native window got WM_NCDESTROY. A type never deletes its own
// objects.
//
// Threads: a unit's native window and its object belong to the thread that
// created them. Property reads and writes, and control commands, made on
// another thread are carried out whole on the owning thread, the lookup of
// the unit included, through one synchronous message (AttachedWindow, then
// RunOnOwnerThread), so a unit's state is only ever read and changed on one
// thread.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>

#include "runtime/program.h"

namespace ts::forms {

// --- private window messages between the engine and the units -----------
namespace msg {
// To a docked bar before the window lays out its bars; the bar answers with
// its dock side: 1 top, 2 bottom, anything else not docked.
constexpr UINT RecalcBar = 0x8003;
constexpr UINT LayoutBars = 0x8004;    // to the window: lay out the docked bars again
constexpr UINT TrayCallback = 0x8064;  // task-bar icon notifications
constexpr UINT CloseWindow = 0x8065;   // to the window: end modal state and destroy yourself
constexpr UINT UnitsCreated = 0x806F;  // to each control, last unit first, after creation/recreation
constexpr UINT WindowShown = 0x8076;   // to each control, last unit first, after the first show/recreation
// Engine-internal: lParam is a std::function<void()>* to run on this thread.
constexpr UINT RunOnOwner = 0x80A0;
// Notifications a unit's native window receives from its native children
// (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*,
// WM_HSCROLL, WM_VSCROLL) are first sent back to the child's own unit
// object as Reflect + message with the same parameters. A reflected message
// answered with 0 counts as unhandled: the parent then processes the
// original message as usual.
constexpr UINT Reflect = 0x2000;
}  // namespace msg

// --- operation numbers --------------------------------------------------
namespace op {
constexpr int32_t Create = 1;
constexpr int32_t SetProperty = 4;
constexpr int32_t GetAllData = 5;
constexpr int32_t GetProperty = 6;
constexpr int32_t WantsKey = 8;
constexpr int32_t IsDefaultButton = 10;
constexpr int32_t FilterMessage = 11;
}  // namespace op

// A property value as operations 4 and 6 pass it, chosen by the property's
// type code: 32-bit integer, boolean (0/1), colour or enumeration in `i32`;
// 8-byte numbers and date-times in `i64`/`f64`; texts as the address of
// zero-terminated GBK text in `text` (never null on a write: the empty text
// is ""); byte blocks (picture, icon, cursor, sound, font, image list,
// custom) as `data` plus `size` (size 0 = empty; a font is 0 or 60 bytes).
//
// On a read (operation 6) texts and blocks point into the unit's own
// storage; the engine copies them before the unit changes again.
struct PropertyValue {
  union {
    int32_t i32;
    uint32_t u32;
    int64_t i64;
    double f64;
    const char* text;
    const void* data;
  };
  uint32_t size;

  PropertyValue() : i64(0), size(0) {}
  static PropertyValue Int(int32_t v) { PropertyValue p; p.i32 = v; return p; }
  static PropertyValue Text(const char* t) { PropertyValue p; p.text = t ? t : ""; return p; }
  static PropertyValue Block(const void* d, uint32_t n) { PropertyValue p; p.data = n ? d : nullptr; p.size = d ? n : 0; return p; }
};

class UnitObject;

// Arguments of operation 1. `data`/`size` is the unit's stored property
// record (size 0 = all defaults). `style` already holds WS_DISABLED and
// WS_TABSTOP as the unit record asks; controls add WS_CHILD themselves and
// must not add WS_VISIBLE (the engine shows them). For the window unit
// `parent` is the owner given by the caller (may be null) and `menuOrId`
// the menu bar; for a control `parent` is the window and `menuOrId` the
// control id. `modal` tells the window unit that it is being loaded modally.
struct CreateArgs {
  const uint8_t* data = nullptr;
  uint32_t size = 0;
  DWORD style = 0;
  HWND parent = nullptr;
  UINT_PTR menuOrId = 0;
  int left = 0, top = 0, width = 0, height = 0;
  uint32_t formId = 0;
  uint32_t unitId = 0;
  HWND designWindow = nullptr;  // always null at run time
  uint32_t designFlag = 0;      // always 0 at run time
  bool modal = false;
};

// The operations, typed. Returned ints are 1 (yes/handled) or 0.
using CreateFn = UnitObject* (*)(const CreateArgs& args);  // null on failure
// 1 when the control must be recreated to show the change.
using SetPropertyFn = int32_t (*)(UnitObject* unit, int32_t index, const PropertyValue& value);
// A new stored property record (Alloc'd; the engine Frees it) describing
// the unit's present state; *size receives its length.
using GetAllDataFn = uint8_t* (*)(UnitObject* unit, uint32_t* size);
// 1 when the index exists and *out was filled.
using GetPropertyFn = int32_t (*)(UnitObject* unit, int32_t index, PropertyValue* out);
// 1 when the unit handles this virtual key (VK_TAB, VK_RETURN, VK_ESCAPE, arrows) itself.
using WantsKeyFn = int32_t (*)(UnitObject* unit, uint32_t virtualKey);
// 1 when this push-button kind unit is its window's default button.
using IsDefaultButtonFn = int32_t (*)(UnitObject* unit);
// 1 when the unit consumed this keyboard message of its window (flag 0x20 types).
using FilterMessageFn = int32_t (*)(UnitObject* unit, MSG* message);

// Runs the body of one unit operation. No C++ exception leaves an
// operation (the engine and the platform calls above it know none): one
// thrown inside, running out of memory included, makes the operation answer
// `failed`, as it answers any other failure.
template <class Result, class Body>
Result GuardedOperation(Result failed, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failed;
  }
}

// A unit type's operation table. A type writes its interface function as
//   void* MyTypeInterface(int32_t n) { static const UnitOps ops{...}; return ops.Lookup(n); }
// and puts it in its UnitTypeEntry; each operation runs its body through
// GuardedOperation.
struct UnitOps {
  CreateFn create = nullptr;
  SetPropertyFn setProperty = nullptr;
  GetAllDataFn getAllData = nullptr;
  GetPropertyFn getProperty = nullptr;
  WantsKeyFn wantsKey = nullptr;
  IsDefaultButtonFn isDefaultButton = nullptr;
  FilterMessageFn filterMessage = nullptr;

  void* Lookup(int32_t operation) const;
  // The typed table behind an interface function (all null for null).
  static UnitOps From(UnitInterfaceFn fn);
};

// --- unit types -----------------------------------------------------------
// The engine finds a unit type by its id first among the types registered
// here (tests, and types outside the program's library table), then in the
// library records of the program header. Registering the same id again
// replaces the entry; null removes it. The entry must outlive its use.
void RegisterUnitType(uint32_t typeId, const UnitTypeEntry* entry);
const UnitTypeEntry* LookupUnitType(uint32_t typeId);
// The type's state flags, 0 for an unknown type.
uint32_t UnitTypeFlags(uint32_t typeId);

// --- native window view -----------------------------------------------------
// A non-owning view over an HWND: copying copies the view, destroying the
// view leaves the window alone.
class NativeWindow {
 public:
  NativeWindow() = default;
  explicit NativeWindow(HWND hwnd) : hwnd_(hwnd) {}
  HWND handle() const { return hwnd_; }
  bool alive() const { return hwnd_ != nullptr && ::IsWindow(hwnd_) != FALSE; }
  LRESULT Send(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageA(hwnd_, message, w, l); }
  bool Post(UINT message, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageA(hwnd_, message, w, l) != FALSE; }
  HWND parent() const { return ::GetParent(hwnd_); }
  bool visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }
  bool enabled() const { return ::IsWindowEnabled(hwnd_) != FALSE; }

 protected:
  HWND hwnd_ = nullptr;
};

// The result of raising an event.
struct EventResult {
  bool handled = false;   // a handler ran
  bool returned = false;  // the handler returned a value
  uint32_t value = 0;     // that value
};

// Hands an event to the runtime's dispatch (notification 2008). At most five
// arguments are passed; extra ones are dropped. Runs on the calling thread.
EventResult RaiseEvent(uint32_t formId, uint32_t unitId, int32_t event,
                       std::initializer_list<uint32_t> args = {});

// Keyboard and mnemonics: the engine reads a control's caption with
// GetWindowTextA (an "&x" in it is the Alt mnemonic), and answers a
// mnemonic or an arrow key among option buttons by sending BM_CLICK to
// check-box and option-button kind units, which must act as on a click
// (toggle or check, uncheck sibling option buttons, raise event 0).
// Push-button kind units get their event 0 raised by the engine directly.
// Focus events -7 and -8 are raised by this base on WM_SETFOCUS and
// WM_KILLFOCUS of the unit's own native window.
//
// The base of every unit object. Messages of the native window reach
// OnMessage through one static window procedure: windows of classes
// registered with RegisterUnitClass attach the object at WM_NCCREATE;
// platform controls (BUTTON, EDIT, SysListView32, ...) are subclassed right
// after creation. No C++ exception leaves the window procedure.
class UnitObject : public NativeWindow {
 public:
  UnitObject(uint32_t formId, uint32_t unitId, uint32_t typeId)
      : formId_(formId), unitId_(unitId), typeId_(typeId) {}
  virtual ~UnitObject();
  UnitObject(const UnitObject&) = delete;
  UnitObject& operator=(const UnitObject&) = delete;

  uint32_t formId() const { return formId_; }
  uint32_t unitId() const { return unitId_; }
  uint32_t typeId() const { return typeId_; }
  uint32_t typeFlags() const { return UnitTypeFlags(typeId_); }

  // The unit object attached to a native window, or null.
  static UnitObject* FromHandle(HWND hwnd);

  // Raises one of this unit's events.
  EventResult Raise(int32_t event, std::initializer_list<uint32_t> args = {}) const {
    return RaiseEvent(formId_, unitId_, event, args);
  }

  // The cursor shown over the unit (the engine fills it from the Cursor
  // property; null = the class cursor). Not owned here.
  void setCursor(HCURSOR cursor) { cursor_ = cursor; }
  HCURSOR cursor() const { return cursor_; }

 protected:
  // Creates the native window (own class or platform control) and attaches
  // this object. false when the window could not be created.
  bool CreateNative(DWORD exStyle, const char* className, const char* title, DWORD style,
                    int left, int top, int width, int height, HWND parent, UINT_PTR menuOrId);
  // Every message of the native window. The default passes it on.
  virtual LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) { return CallDefault(message, w, l); }
  // The class's own procedure (platform controls) or DefWindowProcA.
  LRESULT CallDefault(UINT message, WPARAM w, LPARAM l);

 private:
  friend LRESULT CALLBACK UnitWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT Route(UINT message, WPARAM w, LPARAM l);
  bool RoutedBase(UINT message, WPARAM w, LPARAM l, LRESULT* result);
  void Attach(HWND hwnd);
  void Detach();

  uint32_t formId_;
  uint32_t unitId_;
  uint32_t typeId_;
  HCURSOR cursor_ = nullptr;
  WNDPROC previous_ = nullptr;  // set when a platform control was subclassed
};

// Registers a window class whose procedure attaches unit objects (no-op when
// the class exists). false when registration failed.
bool RegisterUnitClass(const char* className, UINT classStyle, HCURSOR cursor, HBRUSH background);

// Runs fn on the thread that owns hwnd: directly when the caller is that
// thread, else through one synchronous message (msg::RunOnOwner) while the
// caller waits. false when hwnd is not a live unit window (fn not run).
// The owning thread must be pumping messages (message loop, modal loop,
// message box, or a wait that dispatches sent messages).
bool RunOnOwnerThread(HWND hwnd, const std::function<void()>& fn);

// The native window of unit (formId, unitId) while an object is attached to
// it; unitId 0 names the form's window unit. Null when there is none. Any
// thread may ask: the answer comes from the attachments alone, under their
// lock, without reading the window registry or a unit object, so a caller
// on another thread learns where to hand an access to (RunOnOwnerThread)
// before anything of the unit is touched.
HWND AttachedWindow(uint32_t formId, uint32_t unitId);

}  // namespace ts::forms
