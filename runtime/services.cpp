// The service tables, the command call and the find-file service.
#include "runtime/services.h"

#include <windows.h>

#include "runtime/app.h"
#include "runtime/dll.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/messages.h"

namespace ts {
namespace {

constexpr uint32_t kAttributeBits = 0x37;  // read-only, hidden, system, directory, archive

bool Accepts(DWORD attributes, uint32_t mask, bool noMask) {
  if (noMask) return (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
  uint32_t filter = mask & kAttributeBits;
  if (filter != 0) return (attributes & filter) != 0;
  // "No attribute" in the sense of the five bits above: the platform also
  // sets bits such as FILE_ATTRIBUTE_NORMAL (0x80) on plain files.
  return (attributes & kAttributeBits) == 0;
}

void EndProgramService(int32_t code) { EndProgram(code); }

const MiscServiceTable kMisc = {
    FindFile, CloseFind, DetachArray, AddExitRoutine, FreeArray, ProgramDirectory, StartRuntime,
};

const ServiceTable kServices = {
    ReportErrorCode, CallDllCommand, CallLibraryCommand, CallCoreCommand, GetUnitProperty, SetUnitProperty,
    Alloc,           Realloc,        Free,               EndProgramService, RunMessageLoop, LoadStartupWindow,
    &kMisc,
};

}  // namespace

const ServiceTable& Services() { return kServices; }

ResultRecord CallCoreCommand(CommandFn command, int32_t argc, ArgRecord* args) {
  ResultRecord result{};
  command(&result, argc, args);
  return result;
}

ResultRecord CallLibraryCommand(CommandFn command, int32_t argc, ArgRecord* args) {
  return CallCoreCommand(command, argc, args);
}

uint64_t GetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member) {
  const FormsHooks& f = Forms();
  if (!f.getUnitProperty) ReportRuntimeError(msg::PropertyWindowNotLoaded);
  return f.getUnitProperty(formId, unitId, property, member);
}

void SetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value) {
  const FormsHooks& f = Forms();
  if (!f.setUnitProperty) ReportRuntimeError(msg::PropertyWindowNotLoaded);
  f.setUnitProperty(formId, unitId, property, member, value);
}

char* FindFile(const char* pattern, uint32_t mask, bool noMask, void** handle) {
  WIN32_FIND_DATAA data;
  bool have = false;
  if (pattern && *pattern) {
    CloseFind(*handle);
    *handle = nullptr;
    HANDLE h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE) return nullptr;
    *handle = h;
    have = true;
  } else if (!*handle) {
    return nullptr;
  }
  for (;;) {
    if (!have && !FindNextFileA(static_cast<HANDLE>(*handle), &data)) break;
    have = false;
    if (Accepts(data.dwFileAttributes, mask, noMask)) return MakeText(data.cFileName);
  }
  CloseFind(*handle);
  *handle = nullptr;
  return nullptr;
}

void CloseFind(void* handle) {
  if (handle) FindClose(static_cast<HANDLE>(handle));
}

}  // namespace ts
