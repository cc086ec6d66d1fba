// NotifyRuntime: the services the support libraries ask of the runtime.
#include "runtime/notify.h"

#include <windows.h>

#include <cmath>

#include "runtime/app.h"
#include "runtime/dispatch.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/messages.h"
#include "runtime/state.h"
#include "runtime/values.h"

namespace ts {
namespace {

// Truncation toward zero; values outside the 32-bit range (and NaN) give
// 0x80000000, as the processor's own conversion does, instead of undefined
// behaviour.
int32_t Truncate(double d) {
  if (std::isnan(d) || d <= -2147483649.0 || d >= 2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(d);
}

int32_t ToInteger(const ArgRecord& a) {
  switch (a.type) {
    case tag::Byte:
      return a.v.raw[0];
    case tag::Short:
      return static_cast<int16_t>(a.v.w.lo & 0xFFFF);
    case tag::Int:
      return a.v.i32;
    case tag::Long:
      return static_cast<int32_t>(a.v.w.lo);
    case tag::Float:
      return Truncate(a.v.f32);
    case tag::Double:
      return Truncate(a.v.f64);
    default:
      ReportRuntimeError(msg::NotNumeric);
  }
}

NotifyWord UnitControl(uint32_t formId, uint32_t unitId) {
  const FormsHooks& f = Forms();
  uintptr_t control = f.unitControl ? f.unitControl(formId, unitId) : 0;
  if (!control) ReportRuntimeError(msg::UnitControlMissing);
  return control;
}

NotifyWord WindowAt(uint32_t position) {
  const FormsHooks& f = Forms();
  WindowEntry w{};
  if (!f.windowAt || !f.windowAt(position, &w) || !IsWindow(w.hwnd)) return 0;
  return reinterpret_cast<NotifyWord>(w.hwnd);
}

NotifyWord Word(const void* p) { return reinterpret_cast<NotifyWord>(p); }
template <typename T>
T* Ptr(NotifyWord w) {
  return reinterpret_cast<T*>(w);
}

}  // namespace

NotifyWord NotifyRuntime(int32_t code, NotifyWord p1, NotifyWord p2) {
  switch (code) {
    case notify::IdleAdd: {
      const uint32_t* rec = Ptr<const uint32_t>(p1);
      if (rec) AddIdleCallback(reinterpret_cast<HWND>(rec[0]), reinterpret_cast<IdleRoutine>(rec[1]), rec[2]);
      return 0;
    }
    case notify::IdleRemove:
      RemoveIdleCallback(reinterpret_cast<HWND>(p1));
      return 0;
    case notify::ToInteger:
      return static_cast<NotifyWord>(static_cast<uint32_t>(ToInteger(*Ptr<const ArgRecord>(p1))));
    case notify::ProgramDir:
      return Word(ProgramDirectory());
    case notify::ProgramFile:
      return Word(ProgramFileName());
    case notify::UnitControl:
      return UnitControl(static_cast<uint32_t>(p1), static_cast<uint32_t>(p2));
    case notify::RaiseEvent:
      return static_cast<NotifyWord>(RaiseEvent(*Ptr<EventRecord>(p1)));
    case notify::StopEvents:
      DrainMessages();
      SuppressEvents();
      return 0;
    case notify::ResumeEvents:
      DrainMessages();
      AllowEvents();
      return 0;
    case notify::EventSource: {
      uint32_t* out = Ptr<uint32_t>(p1);
      uint32_t form = 0, unit = 0;
      bool handling = CurrentEventSource(&form, &unit);
      if (out) {
        out[0] = form;
        out[1] = unit;
      }
      return handling ? 1 : 0;
    }
    case notify::FreeArray:
      ts::FreeArray(static_cast<TypeTag>(p1), Ptr<void>(p2));
      return 0;
    case notify::Alloc:
      return Word(p2 ? TryAlloc(static_cast<uint32_t>(p1)) : ts::Alloc(static_cast<uint32_t>(p1)));
    case notify::Free:
      ts::Free(Ptr<void>(p1));
      return 0;
    case notify::Realloc:
      return Word(ts::Realloc(Ptr<void>(p1), static_cast<uint32_t>(p2)));
    case notify::Error:
      ReportRuntimeError(Ptr<const char>(p1));
    case notify::End:
      EndProgram(static_cast<int32_t>(p1));
    case notify::ModeWord:
      return State().mode;
    case notify::RaiseTypedEvent:
      return static_cast<NotifyWord>(RaiseTypedEvent(*Ptr<TypedEventRecord>(p1)));
    case notify::WindowCount:
      return Forms().windowCount ? Forms().windowCount() : 0;
    case notify::WindowAt:
      return WindowAt(static_cast<uint32_t>(p1));
    default:
      return 0;
  }
}

}  // namespace ts
