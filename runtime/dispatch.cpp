// Event dispatch: finds the handler bound to a unit's event and calls it
// with the record's arguments.
#include "runtime/dispatch.h"

#include <cstring>
#include <vector>

#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/messages.h"
#include "runtime/state.h"
#include "runtime/units.h"
#include "runtime/values.h"

namespace ts {
namespace {

struct ReturnSlot {
  bool returned = false;
  int64_t value = 0;
};
thread_local ReturnSlot t_return;

// Arguments of this type always travel as 8 bytes.
constexpr uint32_t kEightByteUnitType = 0x10003;

// Steps 1 to 6: the handler to call, or 0. Fatal errors for unknown
// windows and units and for unit types not marked for events.
uintptr_t FindTarget(uint32_t formId, uint32_t unitId, int32_t event, uint32_t* sourceUnit) {
  if (EventsSuppressed()) return 0;
  const FormsHooks& f = Forms();
  HandlerTarget t{};
  HandlerLookup found = f.findHandler ? f.findHandler(formId, unitId, event, &t) : HandlerLookup::NoWindow;
  if (found == HandlerLookup::NoWindow) ReportRuntimeError(msg::EventWindowMissing);
  if (found == HandlerLookup::NoUnit) ReportRuntimeError(msg::EventUnitMissing);
  const UnitTypeEntry* type = FindUnitType(t.unitType);
  if (!type || (type->stateFlags & unitflag::RaisesEvents) == 0) ReportRuntimeError(msg::EventUnitInvalid);
  *sourceUnit = t.sourceUnitId;
  return t.handler;
}

// Steps 7 to 9 around the call itself.
bool CallHandler(uintptr_t handler, uint32_t formId, uint32_t unitId, const std::vector<uint32_t>& words,
                 int64_t* value) {
  RuntimeState& s = State();
  ReturnSlot outer = t_return;
  t_return = ReturnSlot{};
  s.sourceForm = formId;
  s.sourceUnit = unitId;
  s.sourceSet = true;
  CallWithWords(handler, words.data(), static_cast<uint32_t>(words.size()));
  s.sourceSet = false;
  s.sourceForm = s.sourceUnit = 0;
  ReturnSlot mine = t_return;
  t_return = outer;
  if (mine.returned) *value = mine.value;
  return mine.returned;
}

void PushTypedArg(std::vector<uint32_t>& words, const TypedEventArg& a) {
  uint32_t lo, hi;
  std::memcpy(&lo, a.value, 4);
  std::memcpy(&hi, a.value + 4, 4);
  bool eight = (a.flags & 2) != 0 || a.type == kEightByteUnitType || a.type == tag::DateTime || a.type == tag::Eight ||
               a.type == tag::Long || a.type == tag::Double;
  if (a.flags & 1) {
    words.push_back(lo);
  } else if (eight) {
    words.push_back(lo);
    words.push_back(hi);
  } else if (a.type == tag::Byte) {
    words.push_back(lo & 0xFF);
  } else if (a.type == tag::Short) {
    words.push_back(static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(lo & 0xFFFF))));
  } else {
    words.push_back(lo);
  }
}

}  // namespace

void HandlerReturn(int64_t value) {
  t_return.returned = true;
  t_return.value = value;
}

int32_t RaiseEvent(EventRecord& r) {
  uint32_t source = 0;
  uintptr_t handler = FindTarget(r.formId, r.unitId, r.event, &source);
  if (!handler) return 0;
  uint32_t n = r.argCount < 5 ? r.argCount : 5;
  std::vector<uint32_t> words(r.args, r.args + n);
  int64_t value = 0;
  if (CallHandler(handler, r.formId, source, words, &value)) {
    r.returned = 1;
    r.value = static_cast<uint32_t>(value);
  }
  return 1;
}

int32_t RaiseTypedEvent(TypedEventRecord& r) {
  uint32_t source = 0;
  uintptr_t handler = FindTarget(r.formId, r.unitId, r.event, &source);
  if (!handler) return 0;
  uint32_t n = r.argCount < 12 ? r.argCount : 12;
  std::vector<uint32_t> words;
  for (uint32_t i = 0; i < n; ++i) PushTypedArg(words, r.args[i]);
  int64_t value = 0;
  if (CallHandler(handler, r.formId, source, words, &value)) {
    r.returned = 1;
    r.value = value;
  }
  return 1;
}

bool CurrentEventSource(uint32_t* formId, uint32_t* unitId) {
  const RuntimeState& s = State();
  if (!s.sourceSet) return false;
  if (formId) *formId = s.sourceForm;
  if (unitId) *unitId = s.sourceUnit;
  return true;
}

}  // namespace ts
