// A test thread that owns windows waits by pumping its messages, the way
// the program's loop does (the form engine sees keys first), until a state
// it can check holds. When a test must show that something did NOT happen,
// it waits for the moment to pass: Flush returns once a marker posted behind
// everything waiting has been handled.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace ts::test {

// Pumps this thread's messages until `done` holds (checked before each
// message) or `ms` have passed; the last answer. A quit message stops the
// pump and stays waiting for the loop it belongs to.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 5000);

// Posts a marker behind every message waiting in this thread's queue and
// pumps until it is handled; again while handling them posted more. So what
// posted messages set off (a click, a key, a control posting to itself) has
// run when it returns true; false when the queue did not settle within `ms`.
bool Flush(DWORD ms = 5000);

// From another thread: true once the thread that owns `window` has taken a
// marker posted to it off its queue, that is, has handled every message
// posted to it before (the caller does not pump).
bool QueuePassed(HWND window, DWORD ms = 5000);

// Milliseconds since a tick count.
inline DWORD Since(DWORD tick) { return GetTickCount() - tick; }

// The messages that reach the windows of one thread (this one, or the
// owner of `window`), sent or posted, while the recorder lives: only those
// of `window` when one is given, and only the kinds in `watched` when it is
// not empty. Compare `Kinds()` with an expected sequence.
class MessageRecorder {
 public:
  struct Message {
    HWND hwnd;
    UINT message;
    WPARAM w;
    LPARAM l;
    DWORD tick;  // when it was handed to the window
  };

  explicit MessageRecorder(HWND window = nullptr, std::initializer_list<UINT> watched = {});
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  std::vector<Message> Messages() const;
  std::vector<UINT> Kinds() const;
  size_t Count(UINT message) const;
  // The last message of a kind (its tick tells when); false when none came.
  bool Last(UINT message, Message* out = nullptr) const;
  void Clear();

  // Internal: called by the hooks of the recorded thread.
  void Offer(HWND hwnd, UINT message, WPARAM w, LPARAM l);

 private:
  DWORD thread_;
  HWND window_;
  std::vector<UINT> watched_;
  mutable std::mutex lock_;
  std::vector<Message> seen_;
};

}  // namespace ts::test
