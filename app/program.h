// The compiled program as the runtime sees it: header, library table, DLL
// commands, constant block.
#pragma once

#include <cstdint>
#include <type_traits>

#include "runtime/program.h"
#include "runtime/services.h"

namespace ts::app {

// The DLL commands of this program, in the order of the program header's
// DLL-command table (program.cpp, which checks the count).
enum class DllCommand : int32_t {
  SHFileOperationW,
  DeleteFileW,
  GetForegroundWindow,
  GetDC,
  CreateFontIndirectA,
  SelectObject,
  SetBkMode,
  SetTextColor,
  TextOutA,
  DeleteObject,
  ReleaseDC,
  GetInputState,
  Count
};

// A DLL command's argument as the 32-bit word the call passes: handles and
// other pointers by address, integers as they are.
inline uint32_t DllWord(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }
template <typename T>
  requires std::is_integral_v<T>
uint32_t DllWord(T value) {
  return static_cast<uint32_t>(value);
}

// Calls a DLL command; its result as the runtime returns it (EAX:EDX).
template <typename... Args>
uint64_t CallDll(DllCommand command, Args... args) {
  return ts::svc::Dll(static_cast<int32_t>(command), DllWord(args)...);
}

const ts::ProgramHeader& Program();
// Constant empty values that the application passes to commands.
const char* ConstEmptyText();
const void* ConstEmptyByteSet();

}  // namespace ts::app
