// A small program that the runtime tests start as a child process: each
// scenario ends the program in one of the runtime's ways. The child writes
// what its exit routine and its library saw to the log file named on its
// command line, so the parent can tell which steps of the program end ran.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "runtime/app.h"
#include "runtime/dll.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/notify.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace {

std::string g_log;

void Log(const char* line) {
  if (FILE* f = std::fopen(g_log.c_str(), "ab")) {
    std::fprintf(f, "%s\n", line);
    std::fclose(f);
  }
}

ts::NotifyWord LibraryNotify(int32_t code, ts::NotifyWord, ts::NotifyWord) {
  char line[32];
  std::snprintf(line, sizeof line, "library %d", static_cast<int>(code));
  Log(line);
  return 0;
}

void ExitRoutine() { Log("exit routine"); }

const char* const kFiles[] = {"msvcrt.dll", "Kernel32.dll"};
const char* const kNames[] = {"abs", "PlantedMarker"};

ts::LibraryRecord MakeLibrary() {
  ts::LibraryRecord r{};
  r.formatStamp = 20000101;
  r.notify = LibraryNotify;
  return r;
}
const ts::LibraryRecord kLibrary = MakeLibrary();
const ts::LibraryRecord* const kLibraries[] = {&kLibrary};

ts::ProgramHeader MakeHeader() {
  ts::ProgramHeader h{};
  h.mode = 3;
  h.libraryCount = 1;
  h.libraries = kLibraries;
  h.dllCount = 2;
  h.dllFiles = kFiles;
  h.dllNames = kNames;
  return h;
}
const ts::ProgramHeader kHeader = MakeHeader();

// --- one window for the "last window" scenario ---------------------------
HWND g_window = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    g_window = nullptr;
    ts::OnWindowDestroyed();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

bool LoadWindowHook(uint32_t, HWND, bool) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ts_child_window";
  RegisterClassA(&wc);
  g_window = CreateWindowExA(0, "ts_child_window", "child", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
  return g_window != nullptr;
}
bool AnyAliveHook() { return g_window && IsWindow(g_window); }

// --- scenarios --------------------------------------------------------------
int32_t g_scenarioResult = 0;
std::string g_scenario;

DWORD WINAPI WorkerEnds(void*) {
  ts::EndProgram(42);
}

void RunScenario() {
  const std::string& s = g_scenario;
  if (s == "index0") {
    void* a = ts::MakeEmptyArray();
    ts::ArrayMember(a, 0, 4);
  } else if (s == "index1") {
    void* a = ts::MakeEmptyArray();
    ts::ArrayMember(a, 1, 4);
  } else if (s == "indexcount") {
    uint32_t* a = static_cast<uint32_t*>(ts::Alloc(4 * 3 + 6 * 4));  // 2 x 3
    a[0] = 2;
    a[1] = 2;
    a[2] = 3;
    const int32_t indexes[3] = {1, 1, 1};
    ts::ArrayMember(a, indexes, 3, 4);
  } else if (s == "stack") {
    const uint32_t word = static_cast<uint32_t>(-5);
    ts::CallDllCommand(0, &word, 1);  // a cdecl function leaves its argument
  } else if (s == "planted") {
    ts::CallDllCommand(1, nullptr, 0);
  } else if (s == "error") {
    ts::ReportRuntimeError("测试错误");
  } else if (s == "end") {
    ts::EndProgram(7);
  } else if (s == "worker") {
    HANDLE t = CreateThread(nullptr, 0, WorkerEnds, nullptr, 0, nullptr);
    CloseHandle(t);
    MSG msg;
    // The main thread handles the end request while it waits for messages.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    Log("main loop left");
  } else if (s == "lastwindow") {
    ts::LoadStartupWindow(0x52010001);
    PostMessageA(g_window, WM_CLOSE, 0, 0);
    ts::RunMessageLoop();
    Log("loop returned");
  } else if (s == "nowindow") {
    ts::LoadStartupWindow(0x52010001);  // no forms hooks: fatal
  }
}

int32_t StartRoutine() {
  ts::StartRuntime();
  ts::AddExitRoutine(ExitRoutine);
  ts::AddExitRoutine(ExitRoutine);  // registered once only
  RunScenario();
  return g_scenarioResult;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  g_scenario = argv[1];
  g_log = argv[2];
  if (g_scenario == "lastwindow") {
    ts::FormsHooks hooks{};
    hooks.loadWindow = LoadWindowHook;
    hooks.anyWindowAlive = AnyAliveHook;
    ts::RegisterFormsHooks(hooks);
  }
  ts::RuntimeApp app(kHeader, StartRoutine);
  return app.Run();
}
