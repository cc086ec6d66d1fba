// Finding the control that a command's unit reference names, on the thread
// that owns it, for the commands of the list box and the tree box.
#pragma once

#include <cstdint>
#include <string>

#include "forms/engine/unit.h"
#include "runtime/values.h"

namespace ts::controls {

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

// A control's text as a runtime text (null when empty).
char* ToRuntimeText(const std::string& s);

}  // namespace ts::controls
