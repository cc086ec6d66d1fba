// The service tables through which application code reaches the runtime.
//
// ServiceTable has thirteen entries in their fixed order; MiscService seven.
// Application code calls through Services() (or the typed wrappers in
// namespace svc below, which do exactly that).
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace ts {

// MiscService 0..3.
// Next matching entry name as a new text, or null at the end (the search is
// then closed and *handle is null). A non-empty pattern starts a new search.
char* FindFile(const char* pattern, uint32_t mask, bool noMask, void** handle);
void CloseFind(void* handle);

// Command call: a zeroed result record, the command, its three words back.
ResultRecord CallCoreCommand(CommandFn command, int32_t argc, ArgRecord* args);
ResultRecord CallLibraryCommand(CommandFn command, int32_t argc, ArgRecord* args);

struct MiscServiceTable {
  char* (*findFile)(const char* pattern, uint32_t mask, bool noMask, void** handle);  // 0
  void (*closeFind)(void* handle);                                                     // 1
  void (*detachArray)(uint32_t elementSize, void** arrayVar);                          // 2
  void (*addExitRoutine)(void (*routine)());                                           // 3
  void (*freeArray)(TypeTag type, void* array);                                        // 4 (unused here)
  const char* (*programDirectory)();                                                   // 5 (unused here)
  void (*startRuntime)();                                                              // 6
};

struct ServiceTable {
  void (*reportErrorCode)(int32_t code);                                                        // 0
  uint64_t (*callDllCommand)(int32_t index, const uint32_t* words, uint32_t count);            // 1
  ResultRecord (*callLibraryCommand)(CommandFn command, int32_t argc, ArgRecord* args);         // 2
  ResultRecord (*callCoreCommand)(CommandFn command, int32_t argc, ArgRecord* args);            // 3
  uint64_t (*getUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member);  // 4
  void (*setUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member,
                          uint64_t value);                                                      // 5
  void* (*alloc)(uint32_t bytes);                                                               // 6
  void* (*realloc)(void* block, uint32_t bytes);                                                // 7
  void (*free)(void* block);                                                                    // 8
  void (*endProgram)(int32_t code);                                                             // 9
  void (*runMessageLoop)();                                                                     // 10
  void (*loadStartupWindow)(uint32_t formId);                                                   // 11
  const MiscServiceTable* misc;                                                                 // 12
};

const ServiceTable& Services();

// Service 4 and 5 as the runtime answers them: through the form engine, or
// the fatal "未载入欲访问窗口组件所在的窗口" when no window can be found.
uint64_t GetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member);
void SetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value);

// Typed wrappers for application code.
namespace svc {
inline void* Alloc(uint32_t n) { return Services().alloc(n); }
inline void* Realloc(void* b, uint32_t n) { return Services().realloc(b, n); }
inline void Free(void* b) { Services().free(b); }
inline ResultRecord Core(CommandFn f, int32_t argc, ArgRecord* args) { return Services().callCoreCommand(f, argc, args); }
inline ResultRecord Library(CommandFn f, int32_t argc, ArgRecord* args) {
  return Services().callLibraryCommand(f, argc, args);
}
template <typename... Words>
uint64_t Dll(int32_t index, Words... words) {
  const uint32_t w[sizeof...(Words) + 1] = {static_cast<uint32_t>(words)..., 0};
  return Services().callDllCommand(index, w, sizeof...(Words));
}
inline uint64_t GetProperty(uint32_t form, uint32_t unit, int32_t prop, int32_t member = -1) {
  return Services().getUnitProperty(form, unit, prop, member);
}
inline void SetProperty(uint32_t form, uint32_t unit, int32_t prop, uint64_t value, int32_t member = -1) {
  Services().setUnitProperty(form, unit, prop, member, value);
}
inline char* FindFile(const char* pattern, uint32_t mask, bool noMask, void** handle) {
  return Services().misc->findFile(pattern, mask, noMask, handle);
}
inline void CloseFind(void* handle) { Services().misc->closeFind(handle); }
inline void DetachArray(uint32_t elementSize, void** arrayVar) { Services().misc->detachArray(elementSize, arrayVar); }
inline void AddExitRoutine(void (*routine)()) { Services().misc->addExitRoutine(routine); }
inline void StartRuntime() { Services().misc->startRuntime(); }
inline void LoadStartupWindow(uint32_t formId) { Services().loadStartupWindow(formId); }
inline void RunMessageLoop() { Services().runMessageLoop(); }
[[noreturn]] inline void EndProgram(int32_t code) {
  Services().endProgram(code);
  __builtin_unreachable();
}
}  // namespace svc

}  // namespace ts
