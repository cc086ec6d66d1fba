// Reading and writing unit properties by (form id, unit id, index): the
// common properties 0..7 on the unit record and the native window, the
// type's own properties through its operations 4 and 6 with conversion by
// property type code, fonts, and recreating a control that asks for it.
#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "forms/engine/engine.h"
#include "forms/engine/internal.h"
#include "forms/engine/unit.h"
#include "forms/engine/unit_record.h"
#include "forms/engine/window_unit.h"
#include "forms/registry.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/messages.h"
#include "runtime/values.h"
#include "win/handles.h"

namespace ts::forms {

namespace {

constexpr int32_t kCoordinateLimit = 32627;
const char kDefaultFace[] = "宋体";

enum Common : int32_t { kLeft = 0, kTop, kWidth, kHeight, kTag, kVisible, kDisabled, kCursor };

enum class Kind { Word, Bool, NonNegative, Text, Block, Cursor, Font, Wide };

Kind KindOf(int16_t code) {
  switch (code) {
    case 1001: case 1014: case 1015: case 1017: return Kind::Word;
    case 1003: return Kind::Bool;
    case 1006: return Kind::NonNegative;
    case 1005: case 1016: case 1018: case 1020: return Kind::Text;
    case 1009: case 1010: case 1012: case 1023: case 1024: return Kind::Block;
    case 1011: return Kind::Cursor;
    case 1013: return Kind::Font;
    default: return Kind::Wide;
  }
}

int16_t PropertyCode(uint32_t typeId, int32_t property) {
  const UnitTypeEntry* type = LookupUnitType(typeId);
  if (type == nullptr || type->properties == nullptr || property < 0 ||
      static_cast<uint32_t>(property) >= type->propertyCount) {
    return 1001;
  }
  return type->properties[property].typeCode;
}

UnitOps OpsOf(uint32_t typeId) {
  const UnitTypeEntry* type = LookupUnitType(typeId);
  return UnitOps::From(type ? type->interfaceFn : nullptr);
}

uint64_t PointerValue(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }
const void* ValuePointer(uint64_t v) { return reinterpret_cast<const void*>(static_cast<uintptr_t>(v)); }

// Set while an access runs on a thread that cannot reach the form's window
// (see RunAccess): no unit object is touched then, and every unit counts as
// having no control.
thread_local bool t_unitsOutOfReach = false;

// Runs a property access, lookup included, on the thread that owns the
// form's window, handing it over when the caller is another thread. With no
// live window to hand it to (never loaded, or gone while the access was on
// its way) it runs here for units without controls: common properties on
// the stored description, the others the fatal error of an unloaded window.
void RunAccess(uint32_t formId, const std::function<void()>& access) {
  const HWND window = AttachedWindow(formId, 0);
  if (window != nullptr && RunOnOwnerThread(window, access)) return;
  const bool outer = std::exchange(t_unitsOutOfReach, true);
  access();
  t_unitsOutOfReach = outer;
}

UnitFields FindUnitOrDie(uint32_t formId, uint32_t unitId, WindowRecord** window) {
  WindowRecord* w = Registry().FindForm(formId);
  if (w == nullptr) ReportRuntimeError(ts::msg::PropertyWindowNotLoaded);
  auto f = unitId == 0 ? UnitFields::At(*w, 0) : UnitFields::Find(*w, unitId);
  if (!f) ReportRuntimeError(ts::msg::UnitControlMissing);
  *window = w;
  return *f;
}

UnitObject* LiveObject(const UnitFields& f) {
  if (t_unitsOutOfReach) return nullptr;
  UnitObject* unit = f.object();
  return unit != nullptr && unit->alive() ? unit : nullptr;
}

// The native rectangle in the parent's client coordinates (screen
// coordinates for a top-level window).
RECT NativeRect(HWND h) {
  RECT r;
  ::GetWindowRect(h, &r);
  if (::GetWindowLongA(h, GWL_STYLE) & WS_CHILD) {
    ::MapWindowPoints(nullptr, ::GetParent(h), reinterpret_cast<POINT*>(&r), 2);
  }
  return r;
}

// A cursor value with its key as a table index (platform ids go back to
// their index).
std::vector<uint8_t> CursorKeyToIndex(std::vector<uint8_t> value) {
  if (value.size() >= 4) {
    int32_t index = CursorIndexOfId(static_cast<int32_t>(LoadU32(value.data())));
    if (index != 0) StoreU32(value.data(), static_cast<uint32_t>(index));
  }
  return value;
}

std::vector<uint8_t> CursorIndexToId(const uint8_t* data, uint32_t size) {
  std::vector<uint8_t> value(data, data + size);
  if (size >= 4) {
    int32_t id = CursorIdOfIndex(static_cast<int32_t>(LoadU32(value.data())));
    if (id != 0) StoreU32(value.data(), static_cast<uint32_t>(id));
  }
  return value;
}

uint8_t* NewByteSet(const std::vector<uint8_t>& b) { return MakeByteSet(b.data(), static_cast<uint32_t>(b.size())); }

// --- fonts -----------------------------------------------------------------

int ScreenDpi() {
  const win::ClientDC screen;
  const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

void SetFace(LOGFONTA& lf, const char* face) {
  size_t n = face ? std::strlen(face) : 0;
  const char* use = (n >= 1 && n <= 31) ? face : kDefaultFace;
  std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
  std::memcpy(lf.lfFaceName, use, std::strlen(use));
}

void SetPoints(LOGFONTA& lf, int32_t points) {
  lf.lfHeight = -::MulDiv(std::max(points, 0), ScreenDpi(), 72);
}

int32_t PointsOf(const LOGFONTA& lf) {
  int32_t h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
  return ::MulDiv(h, 72, ScreenDpi());
}

LOGFONTA FontFromDescription(const FontDescription& d) {
  LOGFONTA lf{};
  lf.lfEscapement = lf.lfOrientation = d.escapement;
  lf.lfWeight = d.bold ? FW_BOLD : 0;
  lf.lfItalic = d.italic ? 1 : 0;
  lf.lfUnderline = d.underline ? 1 : 0;
  lf.lfStrikeOut = d.strikeOut ? 1 : 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  SetPoints(lf, d.size);
  SetFace(lf, d.face);
  return lf;
}

// The unit's current font, or the default GUI font when it has none.
LOGFONTA CurrentFont(UnitObject* unit, int32_t index) {
  LOGFONTA lf{};
  PropertyValue v;
  UnitOps ops = OpsOf(unit->typeId());
  if (ops.getProperty != nullptr && ops.getProperty(unit, index, &v) && v.data && v.size == sizeof lf) {
    std::memcpy(&lf, v.data, sizeof lf);
  } else {
    ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
  }
  return lf;
}

void ChangeFontPart(LOGFONTA& lf, int32_t member, uint64_t value) {
  const int32_t v = static_cast<int32_t>(value);
  switch (member) {
    case 0: lf.lfEscapement = lf.lfOrientation = v % 3600; break;
    case 1: lf.lfWeight = v ? FW_BOLD : 0; break;
    case 2: lf.lfItalic = v ? 1 : 0; break;
    case 3: lf.lfUnderline = v ? 1 : 0; break;
    case 4: lf.lfStrikeOut = v ? 1 : 0; break;
    case 5: SetPoints(lf, v); break;
    case 6: SetFace(lf, static_cast<const char*>(ValuePointer(value))); break;
    default: break;
  }
}

uint64_t FontPart(const LOGFONTA& lf, int32_t member) {
  switch (member) {
    case 0: return static_cast<uint32_t>(lf.lfEscapement);
    case 1: return lf.lfWeight >= FW_BOLD ? 1 : 0;
    case 2: return lf.lfItalic ? 1 : 0;
    case 3: return lf.lfUnderline ? 1 : 0;
    case 4: return lf.lfStrikeOut ? 1 : 0;
    case 5: return static_cast<uint32_t>(PointsOf(lf));
    case 6: return PointerValue(MakeText(lf.lfFaceName));
    default: return 0;
  }
}

// --- common properties -----------------------------------------------------------

uint64_t GetCommon(WindowRecord& w, const UnitFields& f, int32_t property) {
  UnitObject* unit = LiveObject(f);
  switch (property) {
    case kLeft:
    case kTop:
    case kWidth:
    case kHeight: {
      if (unit == nullptr) return static_cast<uint32_t>(f.geometry(static_cast<Geometry>(property)));
      RECT r = NativeRect(unit->handle());
      const LONG values[4] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
      return static_cast<uint32_t>(values[property]);
    }
    case kTag:
      return PointerValue(MakeText(f.tag().c_str()));
    case kVisible:
      if (unit != nullptr) return (::GetWindowLongA(unit->handle(), GWL_STYLE) & WS_VISIBLE) ? 1 : 0;
      return (f.stateFlags() & unitstate::Visible) ? 1 : 0;
    case kDisabled:
      if (unit != nullptr) return unit->enabled() ? 0 : 1;
      return (f.stateFlags() & unitstate::Disabled) ? 1 : 0;
    case kCursor:
      return PointerValue(NewByteSet(CursorKeyToIndex(f.cursorValue())));
    default:
      (void)w;
      return 0;
  }
}

void SetGeometry(UnitFields& f, int32_t property, int32_t value) {
  if (property <= kTop) {
    value = std::clamp(value, -kCoordinateLimit, kCoordinateLimit);
  } else {
    value = std::clamp(value, 0, kCoordinateLimit);
  }
  f.setGeometry(static_cast<Geometry>(property), value);
  UnitObject* unit = LiveObject(f);
  if (unit == nullptr) return;
  RECT r = NativeRect(unit->handle());
  const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  switch (property) {
    case kLeft: ::SetWindowPos(unit->handle(), nullptr, value, r.top, 0, 0, flags | SWP_NOSIZE); break;
    case kTop: ::SetWindowPos(unit->handle(), nullptr, r.left, value, 0, 0, flags | SWP_NOSIZE); break;
    case kWidth: ::SetWindowPos(unit->handle(), nullptr, 0, 0, value, r.bottom - r.top, flags | SWP_NOMOVE); break;
    case kHeight: ::SetWindowPos(unit->handle(), nullptr, 0, 0, r.right - r.left, value, flags | SWP_NOMOVE); break;
    default: break;
  }
}

void SetVisible(UnitFields& f, bool on) {
  f.setStateFlags(on ? f.stateFlags() | unitstate::Visible : f.stateFlags() & ~unitstate::Visible);
  UnitObject* unit = LiveObject(f);
  if (unit == nullptr) return;
  if (!on) {
    ::ShowWindow(unit->handle(), SW_HIDE);
    return;
  }
  auto* window = dynamic_cast<FormWindow*>(unit);
  if (window == nullptr) {
    ::ShowWindow(unit->handle(), SW_SHOW);
  } else if (window->waitingFirstShow()) {
    window->ShowAsLoaded();
    window->FirstShow();  // a modal window returns when it is gone
  } else {
    ::ShowWindow(unit->handle(), SW_SHOW);
  }
}

void SetCursorValue(WindowRecord& w, const UnitFields& f, uint64_t value) {
  const auto* set = static_cast<const uint8_t*>(ValuePointer(value));
  std::vector<uint8_t> bytes(ByteSetData(set), ByteSetData(set) + ByteSetLength(set));
  ReleaseCursor(f.cursorHandle());
  HCURSOR cursor = LoadCursorValue(bytes.data(), bytes.size());
  const size_t position = f.position();
  UnitFields::ReplaceCursorValue(w, position, bytes);
  auto g = UnitFields::At(w, position);
  if (!g) return;
  g->setCursorHandle(cursor);
  if (UnitObject* unit = LiveObject(*g)) {
    unit->setCursor(cursor);
    POINT p;
    if (::GetCursorPos(&p)) ::SetCursorPos(p.x, p.y);
  }
}

void SetCommon(WindowRecord& w, UnitFields f, int32_t property, uint64_t value) {
  const int32_t v = static_cast<int32_t>(value);
  switch (property) {
    case kLeft:
    case kTop:
    case kWidth:
    case kHeight:
      SetGeometry(f, property, v);
      break;
    case kTag: {
      const char* text = static_cast<const char*>(ValuePointer(value));
      UnitFields::ReplaceTag(w, f.position(), text ? text : "");
      break;
    }
    case kVisible:
      SetVisible(f, v != 0);
      break;
    case kDisabled:
      f.setStateFlags(v ? f.stateFlags() | unitstate::Disabled : f.stateFlags() & ~unitstate::Disabled);
      if (UnitObject* unit = LiveObject(f)) ::EnableWindow(unit->handle(), v ? FALSE : TRUE);
      break;
    case kCursor:
      SetCursorValue(w, f, value);
      break;
    default:
      break;
  }
}

// --- type-specific properties ---------------------------------------------------

uint64_t ConvertRead(const PropertyValue& v, Kind kind, int32_t member) {
  switch (kind) {
    case Kind::Word: return v.u32;
    case Kind::Bool: return v.i32 != 0 ? 1 : 0;
    case Kind::NonNegative: return v.u32;
    case Kind::Text: return PointerValue(MakeText(v.text ? v.text : ""));
    case Kind::Block: return PointerValue(MakeByteSet(v.data, v.data ? v.size : 0));
    case Kind::Cursor: {
      const auto* d = static_cast<const uint8_t*>(v.data);
      return PointerValue(NewByteSet(CursorKeyToIndex(d ? std::vector<uint8_t>(d, d + v.size) : std::vector<uint8_t>())));
    }
    case Kind::Font: {
      LOGFONTA lf{};
      const bool has = v.data != nullptr && v.size == sizeof lf;
      if (member < 0) return PointerValue(MakeByteSet(has ? v.data : nullptr, has ? sizeof lf : 0));
      if (has) {
        std::memcpy(&lf, v.data, sizeof lf);
      } else {
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
      }
      return FontPart(lf, member);
    }
    case Kind::Wide: return static_cast<uint64_t>(v.i64);
  }
  return 0;
}

uint64_t GetSpecific(const UnitFields& f, int32_t property, int32_t member) {
  UnitObject* unit = LiveObject(f);
  if (unit == nullptr) ReportRuntimeError(ts::msg::WindowNotLoaded);
  UnitOps ops = OpsOf(f.type());
  PropertyValue v;
  if (ops.getProperty == nullptr || !ops.getProperty(unit, property - 8, &v)) return 0;
  return ConvertRead(v, KindOf(PropertyCode(f.type(), property)), member);
}

void SetSpecific(uint32_t formId, const UnitFields& f, int32_t property, int32_t member, uint64_t value) {
  UnitObject* unit = LiveObject(f);
  if (unit == nullptr) ReportRuntimeError(ts::msg::WindowNotLoaded);
  UnitOps ops = OpsOf(f.type());
  if (ops.setProperty == nullptr) return;
  const int32_t index = property - 8;
  const int32_t word = static_cast<int32_t>(value);
  PropertyValue v;
  std::vector<uint8_t> storage;
  LOGFONTA lf{};
  switch (KindOf(PropertyCode(f.type(), property))) {
    case Kind::Word: v.i32 = word; break;
    case Kind::Bool: v.i32 = word != 0 ? 1 : 0; break;
    case Kind::NonNegative: v.i32 = std::max(word, 0); break;
    case Kind::Text: v = PropertyValue::Text(static_cast<const char*>(ValuePointer(value))); break;
    case Kind::Block: {
      const auto* set = static_cast<const uint8_t*>(ValuePointer(value));
      v = PropertyValue::Block(ByteSetData(set), ByteSetLength(set));
      break;
    }
    case Kind::Cursor: {
      const auto* set = static_cast<const uint8_t*>(ValuePointer(value));
      storage = CursorIndexToId(ByteSetData(set), ByteSetLength(set));
      v = PropertyValue::Block(storage.data(), static_cast<uint32_t>(storage.size()));
      break;
    }
    case Kind::Font:
      if (member < 0) {
        const auto* d = static_cast<const FontDescription*>(ValuePointer(value));
        lf = d ? FontFromDescription(*d) : FontFromDescription(FontDescription{0, 0, 0, 0, 0, 9, nullptr});
      } else {
        lf = CurrentFont(unit, index);
        ChangeFontPart(lf, member, value);
      }
      v = PropertyValue::Block(&lf, sizeof lf);
      break;
    case Kind::Wide: v.i64 = static_cast<int64_t>(value); break;
  }
  const bool recreate = ops.setProperty(unit, index, v) == 1;
  if (recreate && f.type() != kWindowUnitType && !(UnitTypeFlags(f.type()) & unitflag::NoRecreate)) {
    SuppressEvents();
    RecreateControl(formId, f.id());
    AllowEvents();
  }
}

uint64_t GetHere(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  WindowRecord* w = nullptr;
  UnitFields f = FindUnitOrDie(formId, unitId, &w);
  if (f.menuItem()) {
    switch (property) {
      case 0: return PointerValue(MakeText(f.menuCaption().c_str()));
      case 1: return (f.menuFlags() & 4) ? 1 : 0;
      case 2: return (f.menuFlags() & 2) ? 1 : 0;
      case 3: return (f.menuFlags() & 1) ? 0 : 1;
      default: return 0;
    }
  }
  if (property >= 0 && property < 8) return GetCommon(*w, f, property);
  return GetSpecific(f, property, member);
}

void SetHere(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value) {
  WindowRecord* w = nullptr;
  UnitFields f = FindUnitOrDie(formId, unitId, &w);
  if (f.menuItem()) return;  // menus are not built by this engine
  if (property >= 0 && property < 8) {
    SetCommon(*w, f, property, value);
  } else {
    SetSpecific(formId, f, property, member, value);
  }
}

}  // namespace

uint64_t GetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  uint64_t result = 0;
  RunAccess(formId, [&] { result = GetHere(formId, unitId, property, member); });
  return result;
}

void SetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value) {
  RunAccess(formId, [&] { SetHere(formId, unitId, property, member, value); });
}

// --- recreation -----------------------------------------------------------------

bool RecreateControl(uint32_t formId, uint32_t unitId) {
  WindowRecord* w = Registry().FindForm(formId);
  auto f = w ? UnitFields::Find(*w, unitId) : std::nullopt;
  if (!f) return false;
  UnitObject* old = LiveObject(*f);
  const uint32_t flags = UnitTypeFlags(f->type());
  UnitOps ops = OpsOf(f->type());
  if (old == nullptr || ops.getAllData == nullptr || ops.create == nullptr) return false;

  uint32_t size = 0;
  uint8_t* record = ops.getAllData(old, &size);
  const HWND oldHandle = old->handle();
  const HWND parent = ::GetParent(oldHandle);
  const RECT r = NativeRect(oldHandle);
  const bool wasVisible = (::GetWindowLongA(oldHandle, GWL_STYLE) & WS_VISIBLE) != 0;
  const HWND focus = ::GetFocus();
  const bool hadFocus = focus != nullptr && (focus == oldHandle || ::IsChild(oldHandle, focus));

  CreateArgs args;
  args.data = record;
  args.size = size;
  if (!old->enabled()) args.style |= WS_DISABLED;
  if (f->stateFlags() & unitstate::TabStop) args.style |= WS_TABSTOP;
  args.parent = parent;
  args.menuOrId = static_cast<UINT_PTR>(::GetDlgCtrlID(oldHandle));
  args.left = r.left;
  args.top = r.top;
  args.width = r.right - r.left;
  args.height = r.bottom - r.top;
  args.formId = formId;
  args.unitId = unitId;
  UnitObject* fresh = ops.create(args);
  Free(record);
  if (fresh == nullptr) return false;
  if (!fresh->alive()) {
    delete fresh;
    return false;
  }
  const HWND freshHandle = fresh->handle();
  if (flags & unitflag::MovesChildren) {
    while (HWND child = ::GetWindow(oldHandle, GW_CHILD)) {
      if (::SetParent(child, freshHandle) == nullptr) break;
    }
  }
  ::SetWindowPos(freshHandle, oldHandle, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  fresh->setCursor(old->cursor());
  if (auto g = UnitFields::Find(*w, unitId)) g->setObject(fresh);
  ::DestroyWindow(oldHandle);  // the old object goes with its window
  fresh->Send(msg::UnitsCreated);
  fresh->Send(msg::WindowShown);
  if (flags & unitflag::DockedBar) ::SendMessageA(parent, msg::LayoutBars, 0, 0);
  if (wasVisible) ::ShowWindow(freshHandle, SW_SHOWNA);
  if (hadFocus) ::SetFocus(freshHandle);
  return true;
}

}  // namespace ts::forms
