// Worker threads for the application, and the library's critical sections.
#include "libs/thread/thread_library.h"

#include <windows.h>

#include "runtime/dispatch.h"

namespace ts {
namespace {

struct SectionNode {
  CRITICAL_SECTION section;
  SectionNode* next;
};

NotifyFn g_runtime = nullptr;
// Touched only when a section is created and at program end, both on the
// main thread.
SectionNode* g_sections = nullptr;

void DeleteAllSections() {
  while (SectionNode* node = g_sections) {
    g_sections = node->next;
    DeleteCriticalSection(&node->section);
    delete node;
  }
}

// What a new thread needs to call the application subroutine.
struct StartRecord {
  uintptr_t routine;
  uint32_t parameter;
};

// The platform's thread routine. It calls the subroutine with the parameter
// as one pushed word and restores the stack pointer itself, so a
// subroutine declared with or without the parameter, cdecl or stdcall,
// runs correctly.
DWORD WINAPI ThreadStart(void* p) {
  const StartRecord start = *static_cast<StartRecord*>(p);
  Free(p);
  return static_cast<DWORD>(CallWithWords(start.routine, &start.parameter, 1));
}

HANDLE Launch(uintptr_t routine, uint32_t parameter) {
  if (!routine) return nullptr;
  auto* start = static_cast<StartRecord*>(TryAlloc(sizeof(StartRecord)));
  if (!start) return nullptr;
  *start = {routine, parameter};
  HANDLE thread = CreateThread(nullptr, 0, ThreadStart, start, 0, nullptr);
  if (!thread) Free(start);
  return thread;
}

bool Given(int argc, const ArgRecord* args, int i) { return i < argc && args[i].type != tag::None; }

}  // namespace

void StartThread(ResultRecord* result, int argc, ArgRecord* args) {
  const uintptr_t routine = argc >= 1 ? reinterpret_cast<uintptr_t>(ArgPointer(args[0])) : 0;
  const uint32_t parameter = Given(argc, args, 1) ? args[1].v.u32 : 0;
  HANDLE thread = Launch(routine, parameter);
  result->v.i32 = thread != nullptr;
  result->type = tag::Bool;
  if (argc >= 3 && Given(argc, args, 2)) {
    auto* variable = static_cast<int32_t*>(ArgPointer(args[2]));
    if (variable) {
      *variable = static_cast<int32_t>(reinterpret_cast<uintptr_t>(thread));
      return;
    }
  }
  if (thread) CloseHandle(thread);
}

void StopThread(ResultRecord* result, int argc, ArgRecord* args) {
  HANDLE thread = argc >= 1 ? reinterpret_cast<HANDLE>(static_cast<uintptr_t>(args[0].v.u32)) : nullptr;
  result->v.i32 = thread ? TerminateThread(thread, 0xFFFFFFFFu) : FALSE;
  result->type = tag::Bool;
}

NotifyWord ThreadLibraryNotify(int32_t code, NotifyWord p1, NotifyWord) {
  switch (code) {
    case 1:
      g_runtime = reinterpret_cast<NotifyFn>(p1);
      return 0;
    case 6:
      DeleteAllSections();
      return 0;
    default:
      return static_cast<NotifyWord>(-1);
  }
}

NotifyFn ThreadLibraryRuntime() { return g_runtime; }

void* NewLibraryCriticalSection() {
  auto* node = new SectionNode;
  InitializeCriticalSection(&node->section);
  node->next = g_sections;
  g_sections = node;
  return &node->section;
}

uint32_t LibraryCriticalSectionCount() {
  uint32_t n = 0;
  for (SectionNode* node = g_sections; node; node = node->next) ++n;
  return n;
}

}  // namespace ts

namespace ts {
namespace {
const void* const kThreadCommands[] = {reinterpret_cast<const void*>(&StartThread),
                                       reinterpret_cast<const void*>(&StopThread)};
const LibraryRecord kThreadRecord = {
    20000101, "5F99C1642A2F4e03850721B4F5D7C3F8", 2, 0, 3, 0, 0, 0, 0, "多线程支持库", 1, nullptr, 0xC0000000,
    {},       0,  nullptr, {}, 2, nullptr, kThreadCommands, {}, &ThreadLibraryNotify, {}};
}  // namespace

const LibraryRecord& ThreadLibraryRecord() { return kThreadRecord; }
}  // namespace ts
