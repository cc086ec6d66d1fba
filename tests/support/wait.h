// A bounded wait for a state, for threads that own no windows (a thread
// that does pumps its messages with PumpUntil, tests/support/pump.h).
#pragma once

#include <windows.h>

#include <functional>

namespace ts::test {

// Polls `done` every 20 ms until it holds or `ms` have passed; the last
// answer.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000);

// Whether a process that this one started is running, or any process of
// the file name `exeName` when one is given. A call that starts a program
// has done so by the time it returns: afterwards the program is seen here,
// or it has ended and left whatever trace it leaves.
bool ChildRunning(const char* exeName = nullptr);

}  // namespace ts::test
