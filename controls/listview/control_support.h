// Helpers shared by the list-view and tree-view based controls: the
// image-list and font values of stored records, colours, border styles,
// and finding the control a command names.
#pragma once

#include "controls/clamp.h"

#include <cstring>

#include <windows.h>
// The image-list stream functions are declared only when IStream is.
#include <objidl.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "forms/engine/unit.h"
#include "runtime/values.h"
#include "win/handles.h"

namespace ts::controls {

using Bytes = std::vector<uint8_t>;

// An image-list value: "MITL", four bytes, then a platform image-list
// stream. Anything shorter than 9 bytes, without the magic, or whose stream
// does not read gives null.
HIMAGELIST DecodeImageList(const Bytes& value);
// A font value: a 60-byte LOGFONTA; anything else gives null (default font).
HFONT FontFromValue(const Bytes& value);
// 0xFF000000 stands for the system button-face colour.
COLORREF ResolveColour(uint32_t colour);
// Border kinds 0..5: none, client edge, modal frame, static edge, client
// edge plus modal frame, thin line. Applied with a frame change.
void ApplyBorder(HWND hwnd, int32_t style);
// Sets or clears style bits of a live window and redraws its frame.
void SetStyleBits(HWND hwnd, DWORD bits, bool on);

// The unit object a command's first argument (a unit reference: form id,
// unit id) names, when it is of the given type; null otherwise. A unit that
// does not exist is the runtime's fatal error. Only on the thread that owns
// the unit's window (see WithControl).
forms::UnitObject* ControlArg(const ArgRecord& ref, uint32_t typeId);

// A unit reference whose control cannot be reached: the runtime's fatal
// error for a unit that does not exist or is not loaded. Never returns.
[[noreturn]] void ControlOutOfReach();

// Runs fn(T&) with the control of type `typeId` that a command's unit
// reference names, on the thread that owns the control: the unit is looked
// up there too, so no other thread reads a unit object while its window may
// be going away. A control that is not there, or whose window goes away
// before the call reaches it, is ControlOutOfReach. false (fn not run) when
// the unit is of another type.
template <class T, class Fn>
bool WithControl(const ArgRecord& ref, uint32_t typeId, Fn&& fn) {
  const HWND control = forms::AttachedWindow(ref.v.w.lo, ref.v.w.hi);
  bool ran = false;
  const bool reached = control != nullptr && forms::RunOnOwnerThread(control, [&] {
    if (auto* unit = static_cast<T*>(ControlArg(ref, typeId))) {
      fn(*unit);
      ran = true;
    }
  });
  if (!reached) ControlOutOfReach();
  return ran;
}

// Converts a control's text to a runtime text (null when empty).
char* ToRuntimeText(const std::string& s);


// The unit operations of a control class T with static Create(args) and
// members SetProperty, GetProperty and AllData (the stored record), for the
// unit type `typeId`, each guarded. Objects of another type are refused.
template <class T, uint32_t typeId>
struct RecordOps {
  static T* As(forms::UnitObject* unit) {
    return unit && unit->typeId() == typeId ? static_cast<T*>(unit) : nullptr;
  }
  static forms::UnitObject* Create(const forms::CreateArgs& args) {
    return forms::GuardedOperation<forms::UnitObject*>(nullptr, [&] { return T::Create(args); });
  }
  static int32_t Set(forms::UnitObject* unit, int32_t index, const forms::PropertyValue& value) {
    return forms::GuardedOperation(0, [&] {
      T* t = As(unit);
      return t ? t->SetProperty(index, value) : 0;
    });
  }
  static int32_t Get(forms::UnitObject* unit, int32_t index, forms::PropertyValue* out) {
    return forms::GuardedOperation(0, [&] {
      T* t = As(unit);
      return t && t->GetProperty(index, out) ? 1 : 0;
    });
  }
  static uint8_t* AllData(forms::UnitObject* unit, uint32_t* size) {
    return forms::GuardedOperation<uint8_t*>(nullptr, [&]() -> uint8_t* {
      T* t = As(unit);
      if (t == nullptr) return nullptr;
      Bytes data = t->AllData();
      auto* block = static_cast<uint8_t*>(ts::Alloc(static_cast<uint32_t>(data.size())));
      std::memcpy(block, data.data(), data.size());
      *size = static_cast<uint32_t>(data.size());
      return block;
    });
  }
  static void* Lookup(int32_t operation) {
    static const forms::UnitOps ops = [] {
      forms::UnitOps o;
      o.create = &Create;
      o.setProperty = &Set;
      o.getAllData = &AllData;
      o.getProperty = &Get;
      return o;
    }();
    return ops.Lookup(operation);
  }
};

}  // namespace ts::controls
