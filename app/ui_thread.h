// Running a piece of application code on the user-interface thread, from a
// worker, synchronously. The scan's visible changes go through here so that
// they and Stop, which also runs on that thread, can never interleave.
#pragma once

#include <functional>

namespace ts::app {

// Remembers the calling thread as the UI thread; on that thread, once.
void InitUiThreadCalls();
// Runs `change` on the UI thread when `current` answers true there; returns
// whether it ran. Called on the UI thread itself, it runs in place.
bool RunOnUiThread(const std::function<bool()>& current, const std::function<void()>& change);
// Waits for a thread to end while still carrying out calls that workers send
// to this thread. false when it did not end within `timeoutMs`.
bool WaitPumpingCalls(void* thread, unsigned timeoutMs);
// Calls `tick` on the UI thread every `ms` milliseconds (one clock; starting
// it again replaces it) until StopUiClock. The message loop and every modal
// loop deliver it.
void StartUiClock(unsigned ms, void (*tick)());
void StopUiClock();

}  // namespace ts::app
