// Calls with a variable number of 32-bit words: event handlers (cdecl, the
// caller removes the words) and DLL commands (stdcall, the callee removes
// them, which is checked).
#include <cstdint>

#include "runtime/dispatch.h"
#include "runtime/dll.h"

namespace ts {
namespace {

struct WordCall {
  uint32_t lo;
  uint32_t hi;
  bool balanced;  // ESP after the call equals ESP before the words were pushed
};

// Pushes words[count-1] .. words[0] (so words[0] is at the lowest address),
// calls the routine, notes whether the callee removed exactly the words
// (stdcall), then restores the stack pointer either way.
WordCall PushAndCall(uintptr_t routine, const uint32_t* words, uint32_t count) {
  uint32_t lo, hi, unbalanced;
  asm volatile(
      "movl %%esp, %%esi\n\t"
      "movl %[n], %%ecx\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n"
      "1:\n\t"
      "pushl -4(%[w],%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jnz 1b\n"
      "2:\n\t"
      "call *%[fn]\n\t"
      "xorl %%ecx, %%ecx\n\t"
      "cmpl %%esp, %%esi\n\t"
      "setne %%cl\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(lo), "=&d"(hi), "=&c"(unbalanced)
      : [w] "D"(words), [n] "m"(count), [fn] "b"(routine)
      : "esi", "memory", "cc");
  return {lo, hi, unbalanced == 0};
}

}  // namespace

uint64_t CallWithWords(uintptr_t routine, const uint32_t* words, uint32_t count) {
  WordCall r = PushAndCall(routine, words, count);
  return (static_cast<uint64_t>(r.hi) << 32) | r.lo;
}

bool CallStdcallChecked(uintptr_t routine, const uint32_t* words, uint32_t count, uint64_t* result) {
  WordCall r = PushAndCall(routine, words, count);
  *result = (static_cast<uint64_t>(r.hi) << 32) | r.lo;
  return r.balanced;
}

}  // namespace ts
