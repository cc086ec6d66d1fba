// Commands that reach the platform: starting a program, reading a file,
// message boxes and pumping the calling thread's messages.
#include <windows.h>

#include "runtime/app.h"
#include "runtime/commands/arg_values.h"
#include "runtime/commands/commands.h"
#include "runtime/forms_link.h"

namespace ts {
namespace {

// Owning wrapper for a kernel handle.
class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  ~Handle() {
    if (h_) CloseHandle(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HANDLE h_;
};

// Window mode 1..6 of RunProgram → start-up show state: 6 is
// SW_MINIMIZE (minimised, another window activated).
constexpr WORD kRunShowStates[6] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED,
                                    SW_SHOWMAXIMIZED, SW_SHOWNOACTIVATE, SW_MINIMIZE};

constexpr uint32_t kMaxFileBytes = 0x7FFFFFFF;

// Reads up to `size` bytes; returns how many arrived (0 on failure).
uint32_t ReadUpTo(HANDLE file, uint8_t* into, uint32_t size) {
  uint32_t done = 0;
  while (done < size) {
    DWORD got = 0;
    if (!ReadFile(file, into + done, size - done, &got, nullptr)) return 0;
    if (got == 0) break;
    done += got;
  }
  return done;
}

bool IsUnitReference(TypeTag t) {
  const uint32_t top = t & 0xC0000000u;
  return t != tag::None && (top == 0 || top == 0xC0000000u);
}

// The native window of a loaded window, found by its form id in the
// runtime's window list. A control reference names its window's form id;
// a message box owned by a control is owned by the control's top-level
// window anyway.
HWND WindowOfForm(uint32_t formId) {
  const FormsHooks& f = Forms();
  if (!f.windowCount || !f.windowAt) return nullptr;
  const uint32_t count = f.windowCount();
  for (uint32_t i = 0; i < count; ++i) {
    WindowEntry e{};
    if (f.windowAt(i, &e) && e.formId == formId && e.hwnd && IsWindow(e.hwnd)) return e.hwnd;
  }
  return nullptr;
}

HWND OwnerOf(const ArgRecord& a) {
  if (a.type == tag::Int) return reinterpret_cast<HWND>(static_cast<uintptr_t>(a.v.u32));
  if (IsUnitReference(a.type)) return WindowOfForm(a.v.w.lo);
  return nullptr;
}

int32_t ButtonResult(int pressed) {
  switch (pressed) {
    case IDOK: return 0;
    case IDCANCEL: return 1;
    case IDABORT: return 2;
    case IDRETRY: return 3;
    case IDIGNORE: return 4;
    case IDYES: return 5;
    case IDNO: return 6;
    default: return 0;
  }
}

bool OnMainThread() {
  HWND owner = HiddenOwnerWindow();
  return TheApp() && owner && GetWindowThreadProcessId(owner, nullptr) == GetCurrentThreadId();
}

bool QuitIsNext() {
  MSG msg;
  return !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) || msg.message == WM_QUIT;
}

}  // namespace

bool StartProgram(const std::wstring& commandLine, bool wait, int32_t mode) {
  if (mode < 1) mode = 1;
  if (mode > 6) mode = 6;
  // CreateProcessW may write into the command line, so it gets a copy.
  std::wstring buffer = commandLine;
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = kRunShowStates[mode - 1];
  PROCESS_INFORMATION pi{};
  const BOOL started = CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  if (started) {
    Handle process(pi.hProcess), thread(pi.hThread);
    if (wait) {
      WaitForSingleObject(process.get(), INFINITE);
    } else {
      WaitForInputIdle(process.get(), 1000);
    }
  }
  return started != FALSE;
}

void RunProgram(ResultRecord* r, int argc, ArgRecord* args) {
  const char* line = TextArg(argc, args, 0);
  // The command line as the platform's ANSI form would read it.
  std::wstring wide;
  const int n = MultiByteToWideChar(CP_ACP, 0, line, -1, nullptr, 0);
  if (n > 1) {
    wide.resize(static_cast<size_t>(n - 1));
    MultiByteToWideChar(CP_ACP, 0, line, -1, wide.data(), n);
  }
  SetBoolResult(r, StartProgram(wide, BoolArg(argc, args, 1, false), IntArg(argc, args, 2, 2)));
}

void ReadWholeFile(ResultRecord* r, int argc, ArgRecord* args) {
  r->type = tag::Bytes;
  const char* name = TextArg(argc, args, 0);
  if (!*name) return;
  // Others may read the file meanwhile, never write it.
  Handle file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  // The whole 64-bit length decides: 2 GiB or more cannot be a byte set,
  // and is never cut down to the low 32 bits.
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileBytes) return;
  const uint32_t want = static_cast<uint32_t>(size.QuadPart);
  // Read straight into the result block; no memory means no content.
  uint8_t* set = static_cast<uint8_t*>(TryAlloc(want + 8));
  if (!set) return;
  const uint32_t got = ReadUpTo(file.get(), set + 8, want);
  if (got == 0) {
    Free(set);
    return;
  }
  const uint32_t head[2] = {1, got};
  std::memcpy(set, head, 8);
  SetResultPointer(r, set);
}

void ShowMessage(ResultRecord* r, int argc, ArgRecord* args) {
  char* text = argc >= 1 ? ValueToText(args[0]) : nullptr;
  uint32_t style = static_cast<uint32_t>(IntArg(argc, args, 1, 0));
  const char* caption = Given(argc, args, 2) ? TextArg(argc, args, 2) : "信息：";
  HWND owner = argc == 4 ? OwnerOf(args[3]) : nullptr;
  if (!(style & MB_SYSTEMMODAL)) style |= MB_TASKMODAL;
  const int pressed = MessageBoxA(owner, text ? text : "", caption, style);
  Free(text);
  SetIntResult(r, ButtonResult(pressed));
}

void ProcessEvents(ResultRecord*, int, ArgRecord*) {
  if (OnMainThread()) {
    // The runtime's pump: pre-translation by the windows, then dispatch.
    while (!QuitIsNext()) {
      if (!TheApp()->PumpMessage()) break;
    }
    return;
  }
  // Any other thread pumps its own queue and leaves the main loop alone.
  MSG msg;
  while (!QuitIsNext() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace ts
