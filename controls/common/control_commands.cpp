#include "controls/common/control_commands.h"

#include "runtime/error.h"
#include "runtime/messages.h"
#include "runtime/notify.h"

namespace ts::controls {

forms::UnitObject* ControlArg(const ArgRecord& ref, uint32_t typeId) {
  NotifyWord object = NotifyRuntime(notify::UnitControl, ref.v.w.lo, ref.v.w.hi);
  auto* unit = reinterpret_cast<forms::UnitObject*>(object);
  if (unit == nullptr || unit->typeId() != typeId || !unit->alive()) return nullptr;
  return unit;
}

void ControlOutOfReach() { ReportRuntimeError(msg::UnitControlMissing); }

char* ToRuntimeText(const std::string& s) { return MakeText(s.data(), static_cast<uint32_t>(s.size())); }

}  // namespace ts::controls
