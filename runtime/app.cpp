// The runtime object: start-up, the message loop with its idle work, and
// the program-end sequence.
#include "runtime/app.h"

#include <ole2.h>

#include <algorithm>
#include <string>

#include "runtime/dispatch.h"
#include "runtime/error.h"
#include "runtime/forms_link.h"
#include "runtime/messages.h"
#include "runtime/notify.h"
#include "runtime/state.h"
#include "runtime/values.h"

namespace ts {

namespace {

RuntimeApp* g_app = nullptr;
const char kHideOwnerClass[] = "_QX_HideOwner";
constexpr UINT kSysTimer = 0x0118;

// The full path of a module, read with a buffer that grows until it fits.
std::string ModulePath(HMODULE module) {
  std::string path(260, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::string();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

LRESULT CALLBACK HideOwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kEndRequestMessage) EndProgram(static_cast<int32_t>(wp));
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void CreateHiddenOwner() {
  HINSTANCE inst = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = HideOwnerProc;
  wc.hInstance = inst;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kHideOwnerClass;
  RegisterClassA(&wc);  // fails harmlessly when already registered
  State().hiddenOwner =
      CreateWindowExA(WS_EX_TOOLWINDOW, kHideOwnerClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, inst, nullptr);
}

void NotifyLibrariesStart() {
  RuntimeState& s = State();
  const ProgramHeader& h = *s.header;
  s.libraryCount = h.libraryCount;
  s.libraries = h.libraries;
  s.libraryValues.assign(h.libraryCount, 0);
  for (uint32_t i = 0; i < h.libraryCount; ++i) {
    const LibraryRecord* lib = h.libraries[i];
    if (lib && lib->notify) lib->notify(libnotify::Start, reinterpret_cast<NotifyWord>(&NotifyRuntime), 0);
  }
}

void NotifyLibrariesEnd() {
  RuntimeState& s = State();
  for (uint32_t i = 0; i < s.libraryCount; ++i) {
    const LibraryRecord* lib = s.libraries[i];
    NotifyWord value = i < s.libraryValues.size() ? s.libraryValues[i] : 0;
    if (lib && lib->notify) lib->notify(libnotify::End, value, 0);
  }
}

bool AnyWindowAlive() { return Forms().anyWindowAlive && Forms().anyWindowAlive(); }

// Walks the idle callbacks from the last to the first; dead windows leave.
void RunIdleCallbacks() {
  auto& list = State().idle;
  for (size_t i = list.size(); i-- > 0;) {
    if (i >= list.size()) continue;  // a callback removed entries
    IdleCallback cb = list[i];
    if (IsWindow(cb.hwnd)) {
      cb.routine(cb.argument);
    } else {
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

}  // namespace

RuntimeState& State() {
  static RuntimeState state;
  return state;
}

RuntimeApp* TheApp() { return g_app; }

// ---------------------------------------------------------------------------
// RuntimeApp

RuntimeApp::RuntimeApp(const ProgramHeader& header, StartRoutine start) : header_(header), start_(start) {
  g_app = this;
  State().header = &header;
}

RuntimeApp::~RuntimeApp() {
  if (g_app == this) g_app = nullptr;
}

int RuntimeApp::Run() {
  if (InitInstance()) RunLoop(false);
  return ExitInstance();
}

bool RuntimeApp::InitInstance() {
  std::string path = ModulePath(nullptr);
  size_t slash = path.find_last_of('\\');
  State().moduleDir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  return start_ ? start_() != 0 : false;
}

int RuntimeApp::ExitInstance() {
  ProgramEnd(0, false);
  return quitCode_;
}

bool RuntimeApp::FrameworkIdle(long count) {
  // The framework's own idle work is one step of housekeeping on count 0.
  return count < 1;
}

bool RuntimeApp::Declined(HWND hwnd) const {
  return std::find(declined_.begin(), declined_.end(), hwnd) != declined_.end();
}

bool RuntimeApp::OnIdle(long count) {
  if (count == 0) {
    idleStart_ = GetTickCount();
    frameworkIdlePending_ = true;
    declined_.clear();
  }
  if (frameworkIdlePending_) {
    frameworkIdlePending_ = FrameworkIdle(count);
    return true;
  }
  if (count == 1) return true;
  bool more = false;
  const FormsHooks& f = Forms();
  uint32_t n = f.windowCount ? f.windowCount() : 0;
  for (uint32_t i = 0; i < n; ++i) {
    WindowEntry w{};
    if (!f.windowAt || !f.windowAt(i, &w) || !w.hwnd || Declined(w.hwnd)) continue;
    EventRecord ev{};
    ev.formId = w.formId;
    ev.event = 7;
    ev.argCount = 1;
    ev.args[0] = GetTickCount() - idleStart_;
    if (RaiseEvent(ev) && ev.returned && ev.value != 0) {
      more = true;
    } else {
      declined_.push_back(w.hwnd);
    }
  }
  return more;
}

bool RuntimeApp::PumpMessage() {
  BOOL got = GetMessageA(&lastMsg_, nullptr, 0, 0);
  if (got == 0 || got == -1) {
    quitCode_ = got == 0 ? static_cast<int>(lastMsg_.wParam) : 0;
    return false;
  }
  const FormsHooks& f = Forms();
  if (!(f.preTranslateMessage && f.preTranslateMessage(&lastMsg_))) {
    TranslateMessage(&lastMsg_);
    DispatchMessageA(&lastMsg_);
  }
  return true;
}

bool RuntimeApp::IsIdleMessage(const MSG& msg) {
  if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
    if (msg.pt.x == lastMousePos_.x && msg.pt.y == lastMousePos_.y) return false;
    lastMousePos_ = msg.pt;
    return true;
  }
  return msg.message != WM_PAINT && msg.message != kSysTimer;
}

// The message loop: main mode runs until the quit message; modal mode
// returns as soon as the modal-loop flag is clear or the quit message waits.
int RunLoop(bool modal) {
  RuntimeApp* app = TheApp();
  RuntimeState& s = State();
  bool idle = true;
  long count = 0;
  MSG msg;
  for (;;) {
    while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      RunIdleCallbacks();
      if (!app->OnIdle(count++)) idle = false;
      if (modal && !s.modalLoop) return 0;
    }
    do {
      if (modal && PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_QUIT) return 0;
      if (!app->PumpMessage()) return app->quitCode_;
      if (modal && !s.modalLoop) return 0;
      if (app->IsIdleMessage(app->lastMsg_)) {
        idle = true;
        count = 0;
      }
    } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

// ---------------------------------------------------------------------------
// Start-up

void StartRuntime() {
  RuntimeState& s = State();
  const ProgramHeader& h = *s.header;
  s.mode = h.mode;
  s.reserved = h.reserved;
  s.build = h.build + 1;
  if (!s.oleInitialized) s.oleInitialized = SUCCEEDED(OleInitialize(nullptr));

  std::string path = ModulePath(nullptr);
  size_t slash = path.find_last_of('\\');
  if (slash == std::string::npos) {
    s.programDir.clear();
    s.programFile = path;
  } else {
    s.programDir = path.substr(0, slash);
    s.programFile = path.substr(slash + 1);
  }
  if (!s.programDir.empty()) SetCurrentDirectoryA(s.programDir.c_str());

  CreateHiddenOwner();
  s.mainThread = GetCurrentThreadId();
  if (h.constSize > 0) SetConstantBlock(h.constBlock, h.constSize);
  LoadDllTables(h);
  NotifyLibrariesStart();

  if (h.formSize > 0) {
    const FormsHooks& f = Forms();
    if (!f.loadFormBlock || !f.loadFormBlock(h.formBlock, h.formSize, reinterpret_cast<uintptr_t>(h.codeBase)))
      ReportRuntimeError(msg::FormBlockBad);
  }
}

void LoadStartupWindow(uint32_t formId) {
  const FormsHooks& f = Forms();
  if (!f.loadWindow || !f.loadWindow(formId, nullptr, false)) ReportRuntimeError(msg::StartupWindowFailed);
}

void RunMessageLoop() {
  State().loopStarted = true;
  if (AnyWindowAlive()) RunLoop(false);
}

void RunModalLoop() {
  RuntimeState& s = State();
  bool outer = s.modalLoop;
  s.modalLoop = true;
  RunLoop(true);
  s.modalLoop = outer;
}

void EndModalLoop() { State().modalLoop = false; }

void OnWindowDestroyed() {
  if (State().loopStarted && !AnyWindowAlive()) PostQuitMessage(0);
}

HWND HiddenOwnerWindow() { return State().hiddenOwner; }
uint32_t ProgramMode() { return State().mode; }
void SuppressEvents() { ++State().suppress; }
void AllowEvents() {
  auto& c = State().suppress;
  int32_t v = c.load();
  while (v > 0 && !c.compare_exchange_weak(v, v - 1)) {
  }
}
bool EventsSuppressed() { return State().suppress.load() > 0; }

const char* ProgramDirectory() { return State().programDir.c_str(); }
const char* ProgramFileName() { return State().programFile.c_str(); }
const char* ModuleDirectory() { return State().moduleDir.c_str(); }

void AddExitRoutine(void (*routine)()) {
  auto& list = State().exitList;
  if (routine && std::find(list.begin(), list.end(), routine) == list.end()) list.push_back(routine);
}

void SetErrorHook(ErrorHook hook) { State().errorHook = hook; }

void AddIdleCallback(HWND hwnd, IdleRoutine routine, uintptr_t argument) {
  auto& list = State().idle;
  if (!routine || !IsWindow(hwnd)) return;
  for (const IdleCallback& cb : list)
    if (cb.hwnd == hwnd) return;
  list.push_back({hwnd, routine, argument});
}

void RemoveIdleCallback(HWND hwnd) {
  auto& list = State().idle;
  list.erase(std::remove_if(list.begin(), list.end(), [hwnd](const IdleCallback& cb) { return cb.hwnd == hwnd; }),
             list.end());
}

void DrainMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) break;
    const FormsHooks& f = Forms();
    if (!(f.preTranslateMessage && f.preTranslateMessage(&msg))) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// ---------------------------------------------------------------------------
// Program end

void ProgramEnd(int32_t code, bool exitProcess) {
  RuntimeState& s = State();
  ++s.suppress;
  if (s.mainThread != 0 && GetCurrentThreadId() != s.mainThread) {
    if (s.hiddenOwner) SendMessageA(s.hiddenOwner, kEndRequestMessage, static_cast<WPARAM>(code), 0);
    if (!s.ending) ExitProcess(static_cast<UINT>(code));
    // The main thread is ending the program: this thread does nothing more.
    ExitThread(static_cast<DWORD>(code));
  }
  if (s.ending.exchange(true)) {
    // Asked again while ending (an exit routine or library ended the
    // program): the sequence is already under way, only the exit remains.
    if (exitProcess) ExitProcess(static_cast<UINT>(code));
    return;
  }
  s.idle.clear();
  if (Forms().freeRegistry) Forms().freeRegistry();

  std::vector<void (*)()> exits;
  exits.swap(s.exitList);
  for (auto routine : exits) routine();

  NotifyLibrariesEnd();
  ReleaseDllCommands();
  if (s.hiddenOwner) {
    DestroyWindow(s.hiddenOwner);
    s.hiddenOwner = nullptr;
  }
  if (s.oleInitialized) {
    OleUninitialize();
    s.oleInitialized = false;
  }
  if (exitProcess) ExitProcess(static_cast<UINT>(code));
}

void EndProgram(int32_t code) {
  ProgramEnd(code, true);
  ExitProcess(static_cast<UINT>(code));  // only reached when already ending
}

}  // namespace ts
