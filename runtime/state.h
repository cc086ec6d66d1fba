// State of the one runtime object, shared by the runtime's own sources.
// Nothing outside runtime/ includes this header.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/app.h"
#include "runtime/program.h"

namespace ts {

struct IdleCallback {
  HWND hwnd;
  IdleRoutine routine;
  uintptr_t argument;
};

struct DllSlot {
  std::string file;  // empty: no file named
  std::string name;  // exported name, or "#n" for an ordinal
  FARPROC address = nullptr;
  HMODULE module = nullptr;
};

struct RuntimeState {
  const ProgramHeader* header = nullptr;
  uint32_t mode = 0, reserved = 0, build = 0;
  std::string programDir, programFile, moduleDir;
  DWORD mainThread = 0;
  HWND hiddenOwner = nullptr;
  // Plain counter in intent; atomic so that a worker's increment is seen.
  std::atomic<int32_t> suppress{0};
  uint32_t sourceForm = 0, sourceUnit = 0;
  bool sourceSet = false;
  bool loopStarted = false;
  bool modalLoop = false;
  std::atomic<bool> ending{false};
  bool oleInitialized = false;
  std::vector<IdleCallback> idle;
  std::vector<void (*)()> exitList;
  std::vector<DllSlot> dll;
  uint32_t libraryCount = 0;
  const LibraryRecord* const* libraries = nullptr;
  std::vector<NotifyWord> libraryValues;
  ErrorHook errorHook = nullptr;
  bool errorHookRunning = false;
};

RuntimeState& State();

// Fetches and dispatches every waiting message except the quit message
// (used by notifications 2009/2010).
void DrainMessages();
// The program-end sequence; returns only for ExitInstance (exitProcess false).
void ProgramEnd(int32_t code, bool exitProcess);
// Releases the modules loaded for DLL commands and empties the tables.
void ReleaseDllCommands();
// Fills the DLL-command tables from the header.
void LoadDllTables(const ProgramHeader& header);

}  // namespace ts
