// Event dispatch: from an EventRecord or TypedEventRecord raised by a unit to
// the application's handler.
//
// Handler calling convention
// --------------------------
// A handler is an ordinary cdecl function. Dispatch pushes the record's
// arguments as 32-bit words, first argument at the lowest address (that is,
// pushed last), calls the handler and removes the words itself afterwards:
//   - EventRecord: each of the argCount words as one word;
//   - TypedEventRecord: a by-address argument (flag bit 0) as its first word;
//     an 8-byte argument (flag bit 1, type 0x10003, long, double, date-time,
//     0x80000008) as two words, low word first; a byte zero-extended and a
//     short sign-extended to one word; anything else as its first word.
// A handler of this program takes no arguments, so it may be declared
// `extern "C" void Handler()`: extra words are harmless under cdecl.
//
// Returning a value: the handler calls HandlerReturn(value) before it
// returns (any number of times; the last value counts). Dispatch then sets
// the record's returned flag to 1 and stores the value (32 bits for an
// EventRecord, 64 for a TypedEventRecord). A handler that never calls it
// returns nothing and the record is left unchanged. The slot is per thread
// and saved around nested dispatches.
//
// Handler addresses are code base + offset, where the offsets come from the
// form descriptions. runtime/handler_table.h builds the table of 16-byte
// thunks the application places at its code base.
#pragma once

#include <cstdint>

#include "runtime/notify.h"

namespace ts {

// Marks the running handler as having returned `value`.
void HandlerReturn(int64_t value);

// Notification 2008 / 2031: 1 when a handler ran, 0 when there was none or
// dispatch is blocked. Fatal errors for unknown windows, units and unit types.
int32_t RaiseEvent(EventRecord& record);
int32_t RaiseTypedEvent(TypedEventRecord& record);

// The unit whose event is being handled (notification 2017); false when no
// event is being handled.
bool CurrentEventSource(uint32_t* formId, uint32_t* unitId);

// Calls a cdecl routine with `count` 32-bit words pushed in order (words[0]
// at the lowest address). Returns EDX:EAX as the routine left them.
uint64_t CallWithWords(uintptr_t routine, const uint32_t* words, uint32_t count);

}  // namespace ts
