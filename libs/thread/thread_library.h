// The thread support library: start a thread running an application
// subroutine, force a thread to stop, and the library's notify function,
// which owns the program's critical sections and deletes them at program end.
#pragma once

#include "runtime/program.h"
#include "runtime/values.h"

namespace ts {

// 1: subroutine pointer; 2: integer parameter, optional; 3: integer
// variable passed by address, optional. Result bool: the thread was created.
// With argument 3 the variable receives the handle (0 on failure) and the
// caller owns it; without, the handle is closed at once.
void StartThread(ResultRecord* result, int argc, ArgRecord* args);
// 1: thread handle. Result bool: the platform's answer. The handle stays open.
void StopThread(ResultRecord* result, int argc, ArgRecord* args);

// Code 1 keeps the runtime's notify function (p1); code 6 deletes every
// critical section of the list. Both answer 0, any other code -1.
NotifyWord ThreadLibraryNotify(int32_t code, NotifyWord p1, NotifyWord p2);

// The runtime's notify function as received with code 1 (null before).
NotifyFn ThreadLibraryRuntime();

// Adds a new initialised critical section to the library's list and
// returns it; it lives until program end (code 6).
void* NewLibraryCriticalSection();
// Number of critical sections in the list.
uint32_t LibraryCriticalSectionCount();

}  // namespace ts

namespace ts {
// The library record of 多线程支持库 (library index 4): commands in order of
// first use (start thread, force thread to stop) and the notify function.
const LibraryRecord& ThreadLibraryRecord();
}  // namespace ts
