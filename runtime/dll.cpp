// Binding and calling DLL commands.
#include "runtime/dll.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "runtime/app.h"
#include "runtime/error.h"
#include "runtime/messages.h"
#include "runtime/state.h"

namespace ts {
namespace {

// Libraries searched, in order, for a command that names no file.
const char* const kDefaultLibraries[] = {"Kernel32.dll", "Gdi32.dll", "User32.dll",
                                         "Advapi32.dll", "Mpr.dll",   "Shell32.dll"};

std::string SystemDirectory() {
  char dir[MAX_PATH];
  UINT n = GetSystemDirectoryA(dir, sizeof dir);
  return n > 0 && n < sizeof dir ? std::string(dir, n) : std::string();
}

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// The library file as the loader would name it: ".dll" is added when the
// name has no extension (a trailing "." means "no extension, add none").
std::string WithExtension(const std::string& file) {
  size_t slash = file.find_last_of("\\/");
  size_t dot = file.find_last_of('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) return file;
  return file + ".dll";
}

// The system directory's copy of a library, or "" when there is none.
std::string SystemCopy(const std::string& file) {
  if (file.find_first_of("\\/:") != std::string::npos) return std::string();
  std::string sys = SystemDirectory();
  if (sys.empty()) return std::string();
  std::string path = sys + "\\" + WithExtension(file);
  return FileExists(path) ? path : std::string();
}

HMODULE LoadFirst(const std::vector<std::string>& candidates) {
  for (const std::string& path : candidates) {
    if (HMODULE m = LoadLibraryA(path.c_str())) return m;
  }
  return nullptr;
}

FARPROC Export(HMODULE module, const std::string& name) {
  if (!name.empty() && name[0] == '#') {
    unsigned long ordinal = std::strtoul(name.c_str() + 1, nullptr, 10) % 65536;
    return GetProcAddress(module, reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(ordinal)));
  }
  return GetProcAddress(module, name.c_str());
}

[[noreturn]] void NotFound(const DllSlot& slot) {
  char text[1024];
  if (slot.file.empty()) {
    std::snprintf(text, sizeof text, msg::DllExportMissing, slot.name.c_str());
  } else {
    std::snprintf(text, sizeof text, msg::DllFileExportMissing, slot.file.c_str(), slot.name.c_str());
  }
  ReportRuntimeError(text);
}

void Bind(DllSlot& slot) {
  if (slot.file.empty()) {
    for (const char* lib : kDefaultLibraries) {
      HMODULE m = LoadFirst(LibraryCandidates(lib));
      if (!m) continue;
      if (FARPROC p = Export(m, slot.name)) {
        slot.module = m;
        slot.address = p;
        return;
      }
      FreeLibrary(m);
    }
    NotFound(slot);
  }
  HMODULE m = LoadFirst(LibraryCandidates(slot.file));
  FARPROC p = m ? Export(m, slot.name) : nullptr;
  if (!p) {
    if (m) FreeLibrary(m);
    NotFound(slot);
  }
  slot.module = m;
  slot.address = p;
}

}  // namespace

std::vector<std::string> LibraryCandidates(const std::string& file) {
  std::string sys = SystemCopy(file);
  if (!sys.empty()) return {sys};
  std::vector<std::string> paths;
  if (file.find(':') == std::string::npos) {
    // The runtime's own DLL directory would come first; this program has none.
    const std::string& dir = State().programDir;
    if (!dir.empty()) paths.push_back(dir + "\\" + file);
    const std::string& moduleDir = State().moduleDir;
    if (!moduleDir.empty()) paths.push_back(moduleDir + file);
  }
  paths.push_back(file);
  return paths;
}

void LoadDllTables(const ProgramHeader& h) {
  auto& dll = State().dll;
  dll.clear();
  dll.resize(h.dllCount);
  for (uint32_t i = 0; i < h.dllCount; ++i) {
    const char* file = h.dllFiles ? h.dllFiles[i] : nullptr;
    const char* name = h.dllNames ? h.dllNames[i] : nullptr;
    dll[i].file = file ? file : "";
    dll[i].name = name ? name : "";
  }
}

void ReleaseDllCommands() {
  auto& dll = State().dll;
  for (DllSlot& slot : dll) {
    if (slot.module) FreeLibrary(slot.module);
  }
  dll.clear();
}

uintptr_t ResolveDllCommand(int32_t index) {
  auto& dll = State().dll;
  if (index < 0 || static_cast<size_t>(index) >= dll.size()) {
    char text[32];
    std::snprintf(text, sizeof text, "#%d", static_cast<int>(index));
    NotFound(DllSlot{"", text});
  }
  DllSlot& slot = dll[static_cast<size_t>(index)];
  if (!slot.address) Bind(slot);
  return reinterpret_cast<uintptr_t>(slot.address);
}

uint64_t CallDllCommand(int32_t index, const uint32_t* words, uint32_t count) {
  uintptr_t fn = ResolveDllCommand(index);
  uint64_t result = 0;
  if (!CallStdcallChecked(fn, words, count, &result)) ReportErrorCode(6);
  return result;
}

}  // namespace ts
