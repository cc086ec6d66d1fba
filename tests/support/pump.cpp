#include "tests/support/pump.h"

#include <algorithm>
#include <atomic>
#include <map>

#include "runtime/forms_link.h"
#include "tests/support/wait.h"

namespace ts::test {
namespace {

// --- pumping ---------------------------------------------------------------

constexpr UINT kMarker = WM_APP + 0x3A7;  // understood by the marker window only

thread_local HWND t_markerWindow = nullptr;
thread_local uint32_t t_markersPosted = 0, t_markersHandled = 0;
thread_local uint64_t t_dispatched = 0;  // messages other than markers

LRESULT CALLBACK MarkerProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (message == kMarker) {
    t_markersHandled = std::max(t_markersHandled, static_cast<uint32_t>(l));
    return 0;
  }
  return DefWindowProcA(hwnd, message, w, l);
}

// A message-only window of this thread that receives the markers.
HWND MarkerWindow() {
  static const ATOM kClass = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &MarkerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TsTestMarker";
    return RegisterClassA(&wc);
  }();
  if (kClass != 0 && (t_markerWindow == nullptr || !IsWindow(t_markerWindow))) {
    t_markerWindow =
        CreateWindowExA(0, "TsTestMarker", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  return t_markerWindow;
}

enum class Pumped { Message, Empty, Quit };

Pumped PumpOne() {
  MSG m;
  if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) return Pumped::Empty;
  if (m.message == WM_QUIT) {
    PostQuitMessage(static_cast<int>(m.wParam));  // it belongs to the loop above the test
    return Pumped::Quit;
  }
  if (m.hwnd != t_markerWindow) ++t_dispatched;
  const ts::FormsHooks& forms = ts::Forms();
  if (forms.preTranslateMessage && forms.preTranslateMessage(&m)) return Pumped::Message;
  TranslateMessage(&m);
  DispatchMessageA(&m);
  return Pumped::Message;
}

// --- recording -------------------------------------------------------------

struct ThreadHooks {
  HHOOK sent = nullptr, posted = nullptr;
  std::vector<MessageRecorder*> recorders;
};
std::mutex g_hooksLock;
std::map<DWORD, ThreadHooks>& Hooks() {
  static std::map<DWORD, ThreadHooks> hooks;
  return hooks;
}

void Offer(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  std::lock_guard<std::mutex> hold(g_hooksLock);
  auto it = Hooks().find(GetCurrentThreadId());
  if (it == Hooks().end()) return;
  for (MessageRecorder* r : it->second.recorders) r->Offer(hwnd, message, w, l);
}

LRESULT CALLBACK SentHook(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION) {
    const auto* c = reinterpret_cast<const CWPSTRUCT*>(l);
    Offer(c->hwnd, c->message, c->wParam, c->lParam);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK PostedHook(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION && w == PM_REMOVE) {
    const auto* m = reinterpret_cast<const MSG*>(l);
    Offer(m->hwnd, m->message, m->wParam, m->lParam);
  }
  return CallNextHookEx(nullptr, code, w, l);
}

constexpr WPARAM kPassMark = 0x54537051;

}  // namespace

bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (Since(start) > ms) return false;
    switch (PumpOne()) {
      case Pumped::Message:
        break;
      case Pumped::Quit:
        return done();
      case Pumped::Empty:
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        break;
    }
  }
}

bool Flush(DWORD ms) {
  const DWORD start = GetTickCount();
  HWND marker = MarkerWindow();
  for (;;) {
    const uint64_t before = t_dispatched;
    const uint32_t seq = ++t_markersPosted;
    if (!PostMessageA(marker, kMarker, 0, static_cast<LPARAM>(seq))) return false;
    const DWORD used = Since(start);
    if (used > ms || !PumpUntil([seq] { return t_markersHandled >= seq; }, ms - used)) return false;
    if (t_dispatched == before) return true;  // nothing but the marker: settled
  }
}

bool QueuePassed(HWND window, DWORD ms) {
  static std::atomic<LPARAM> s_passes{0};
  const LPARAM mine = ++s_passes;
  MessageRecorder seen(window, {WM_NULL});
  if (!PostMessageA(window, WM_NULL, kPassMark, mine)) return false;
  auto arrived = [&] {
    for (const MessageRecorder::Message& m : seen.Messages()) {
      if (m.w == kPassMark && m.l == mine) return true;
    }
    return false;
  };
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return PumpUntil(arrived, ms);
  return WaitFor(arrived, ms);
}

MessageRecorder::MessageRecorder(HWND window, std::initializer_list<UINT> watched)
    : thread_(window ? GetWindowThreadProcessId(window, nullptr) : GetCurrentThreadId()),
      window_(window),
      watched_(watched) {
  std::lock_guard<std::mutex> hold(g_hooksLock);
  ThreadHooks& hooks = Hooks()[thread_];
  if (hooks.recorders.empty()) {
    hooks.sent = SetWindowsHookExA(WH_CALLWNDPROC, &SentHook, nullptr, thread_);
    hooks.posted = SetWindowsHookExA(WH_GETMESSAGE, &PostedHook, nullptr, thread_);
  }
  hooks.recorders.push_back(this);
}

MessageRecorder::~MessageRecorder() {
  std::lock_guard<std::mutex> hold(g_hooksLock);
  ThreadHooks& hooks = Hooks()[thread_];
  hooks.recorders.erase(std::find(hooks.recorders.begin(), hooks.recorders.end(), this));
  if (hooks.recorders.empty()) {
    if (hooks.sent) UnhookWindowsHookEx(hooks.sent);
    if (hooks.posted) UnhookWindowsHookEx(hooks.posted);
    Hooks().erase(thread_);
  }
}

void MessageRecorder::Offer(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  if (window_ != nullptr && hwnd != window_) return;
  if (!watched_.empty() && std::find(watched_.begin(), watched_.end(), message) == watched_.end()) return;
  std::lock_guard<std::mutex> hold(lock_);
  seen_.push_back({hwnd, message, w, l, GetTickCount()});
}

std::vector<MessageRecorder::Message> MessageRecorder::Messages() const {
  std::lock_guard<std::mutex> hold(lock_);
  return seen_;
}

std::vector<UINT> MessageRecorder::Kinds() const {
  std::vector<UINT> kinds;
  for (const Message& m : Messages()) kinds.push_back(m.message);
  return kinds;
}

size_t MessageRecorder::Count(UINT message) const {
  const std::vector<UINT> kinds = Kinds();
  return static_cast<size_t>(std::count(kinds.begin(), kinds.end(), message));
}

bool MessageRecorder::Last(UINT message, Message* out) const {
  const std::vector<Message> all = Messages();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    if (it->message != message) continue;
    if (out) *out = *it;
    return true;
  }
  return false;
}

void MessageRecorder::Clear() {
  std::lock_guard<std::mutex> hold(lock_);
  seen_.clear();
}

}  // namespace ts::test
