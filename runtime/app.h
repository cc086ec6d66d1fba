// The runtime object and its start-up, message loop and program end.
//
// RuntimeApp is the application object: WinMain constructs one with the
// program header and the application's start routine and calls Run, which
// performs InitInstance (module directory, then the start routine) and,
// when the start routine returns, ExitInstance (the program-end sequence
// with exit code 0).
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/program.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ts {

// An idle callback registered by a library (notification 1012).
using IdleRoutine = void (*)(uintptr_t argument);
// Error hook: a non-zero answer suppresses the error box.
using ErrorHook = int32_t (*)(int32_t code, const char* message);
// The application's start routine; its result is InitInstance's.
using StartRoutine = int32_t (*)();

// The message loop itself (main or modal mode); returns the quit code.
int RunLoop(bool modal);

class RuntimeApp {
 public:
  RuntimeApp(const ProgramHeader& header, StartRoutine start);
  virtual ~RuntimeApp();
  RuntimeApp(const RuntimeApp&) = delete;
  RuntimeApp& operator=(const RuntimeApp&) = delete;

  // InitInstance, then ExitInstance when it answered 0 (or after the
  // message loop when it answered non-zero). Returns the exit code.
  int Run();

  virtual bool InitInstance();
  virtual int ExitInstance();
  // The idle handler: true when more idle calls are wanted.
  virtual bool OnIdle(long count);
  // Fetches one message, pre-translates and dispatches it; false on quit.
  bool PumpMessage();
  // Whether the last pumped message starts a new idle period.
  bool IsIdleMessage(const MSG& msg);

  const ProgramHeader& Header() const { return header_; }

 private:
  bool FrameworkIdle(long count);

  const ProgramHeader& header_;
  StartRoutine start_;
  MSG lastMsg_{};
  POINT lastMousePos_{-1, -1};
  int quitCode_ = 0;
  // Idle period.
  DWORD idleStart_ = 0;
  bool frameworkIdlePending_ = false;
  std::vector<HWND> declined_;
  bool Declined(HWND hwnd) const;
  friend int RunLoop(bool modal);
};

// The one runtime object (null before it is constructed).
RuntimeApp* TheApp();

// MiscService 6: runtime initialisation, steps 1 to 10.
void StartRuntime();
// Service 11: fatal "载入启动窗口失败" when the window cannot be loaded.
void LoadStartupWindow(uint32_t formId);
// Service 10: runs the main message loop while a loaded window is alive.
void RunMessageLoop();
// Service 9: ends the program with the exit code (handed to the main
// thread when called on another thread). Never returns.
[[noreturn]] void EndProgram(int32_t code);
// MiscService 3.
void AddExitRoutine(void (*routine)());
// Installs the error hook (this program installs none).
void SetErrorHook(ErrorHook hook);

// The program directory (no trailing backslash) and file name.
const char* ProgramDirectory();
const char* ProgramFileName();
// The directory of the program module, with its trailing backslash.
const char* ModuleDirectory();

// Adds an idle callback (notification 1012); ignored for a dead window, a
// window already registered or a null routine. Removal: notification 1013.
void AddIdleCallback(HWND hwnd, IdleRoutine routine, uintptr_t argument);
void RemoveIdleCallback(HWND hwnd);

// The end request the hidden owner window answers.
constexpr UINT kEndRequestMessage = 0x83E7;

}  // namespace ts
