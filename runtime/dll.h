// DLL commands: the program's table of (library file, exported name) pairs,
// bound on first call and called with a stack-balance check.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ts {

// Service 1: calls DLL command `index` with the function's own argument
// words (first argument first) and returns EDX:EAX unchanged. A command
// that cannot be found is fatal; a callee that leaves the stack unbalanced
// is run-time error 6.
uint64_t CallDllCommand(int32_t index, const uint32_t* words, uint32_t count);

// The address bound to a DLL command (resolving it on first use).
uintptr_t ResolveDllCommand(int32_t index);

// Paths tried, in order, to load a named library file. A library that
// exists in the Windows system directory is loaded from there only; the
// program's folder is never searched for it. Other libraries: the runtime's
// DLL directory (empty here), the program directory + "\" + name, the module
// directory + name, then the plain name. An absolute path: the plain name.
std::vector<std::string> LibraryCandidates(const std::string& file);

// Pushes the words, calls a stdcall routine and reports whether the callee
// removed exactly those words. *result receives EDX:EAX.
bool CallStdcallChecked(uintptr_t routine, const uint32_t* words, uint32_t count, uint64_t* result);

}  // namespace ts
