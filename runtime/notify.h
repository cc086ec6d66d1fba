// The runtime's side of the library notification interface, and the event
// records that controls hand to event dispatch.
#pragma once

#include <cstdint>

#include "runtime/program.h"

namespace ts {

// Notification codes answered by NotifyRuntime.
namespace notify {
constexpr int32_t IdleAdd = 1012;
constexpr int32_t IdleRemove = 1013;
constexpr int32_t ToInteger = 2001;
constexpr int32_t ProgramDir = 2003;
constexpr int32_t ProgramFile = 2004;
constexpr int32_t UnitControl = 2007;
constexpr int32_t RaiseEvent = 2008;
constexpr int32_t StopEvents = 2009;
constexpr int32_t ResumeEvents = 2010;
constexpr int32_t EventSource = 2017;
constexpr int32_t FreeArray = 2023;
constexpr int32_t Alloc = 2024;
constexpr int32_t Free = 2025;
constexpr int32_t Realloc = 2026;
constexpr int32_t Error = 2027;
constexpr int32_t End = 2028;
constexpr int32_t ModeWord = 2030;
constexpr int32_t RaiseTypedEvent = 2031;
constexpr int32_t WindowCount = 2032;
constexpr int32_t WindowAt = 2033;
}  // namespace notify

// Codes a library's own notify function receives.
namespace libnotify {
constexpr int32_t Start = 1;  // p1 = the runtime's NotifyRuntime
constexpr int32_t End = 6;    // p1 = the library's value
}  // namespace libnotify

struct EventRecord {
  uint32_t formId;
  uint32_t unitId;  // 0 = the window itself
  int32_t event;
  uint32_t argCount;  // at most 5
  uint32_t args[5];
  uint32_t returned;  // set to 1 when the handler returned a value
  uint32_t value;
};

#pragma pack(push, 4)
struct TypedEventArg {
  uint8_t value[8];
  uint32_t type;
  uint32_t flags;  // bit 0: pass the first word as an address; bit 1: pass all 8 bytes
};
struct TypedEventRecord {
  uint32_t formId;
  uint32_t unitId;
  int32_t event;
  uint32_t argCount;  // at most 12
  TypedEventArg args[12];
  uint32_t returned;
  int64_t value;
};
#pragma pack(pop)

static_assert(sizeof(EventRecord) == 44);
static_assert(sizeof(TypedEventArg) == 16);

NotifyWord NotifyRuntime(int32_t code, NotifyWord p1, NotifyWord p2);

}  // namespace ts
