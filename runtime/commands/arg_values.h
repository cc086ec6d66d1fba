// Reading argument records as numbers and texts, shared by the core
// commands. Every conversion is total: types that have no numeric meaning
// give 0 and out-of-range floating values give the x86 "integer
// indefinite" (the lowest value of the target width), never undefined
// behaviour.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/values.h"

namespace ts {

inline bool Omitted(const ArgRecord& a) { return a.type == tag::None; }
// True when argument i (0-based) was passed and is not omitted.
inline bool Given(int argc, const ArgRecord* args, int i) { return i < argc && !Omitted(args[i]); }

// Double → integer, truncating toward zero.
int32_t TruncToInt32(double x);
int64_t TruncToInt64(double x);

// Full-width GBK forms folded to single bytes (numbers typed in a Chinese
// input method): 0xA3 0xA1..0xFE → trail − 0x80, 0xA1 0xA1 → space,
// 0xA1 0xAB → '~', 0xA1 0xEE and 0xA1 0xEF → '*'.
std::string FoldFullWidth(const char* text);
// Leading white space, an optional sign and decimal digits, in 64-bit
// arithmetic that wraps on overflow; 0 when there are no digits.
int64_t ParseInteger64(const char* text);

// The value as ToInteger and ToLongInteger give it.
int32_t ValueToInt32(const ArgRecord& a);
int64_t ValueToInt64(const ArgRecord& a);
// A numeric or date-time value as a double; other types give 0.
double ValueToDouble(const ArgRecord& a);
// The value as ToText gives it, as a new text (null when empty).
char* ValueToText(const ArgRecord& a);

// Convenience for optional arguments.
inline int32_t IntArg(int argc, const ArgRecord* args, int i, int32_t fallback) {
  return Given(argc, args, i) ? ValueToInt32(args[i]) : fallback;
}
inline bool BoolArg(int argc, const ArgRecord* args, int i, bool fallback) {
  return Given(argc, args, i) ? ValueToInt32(args[i]) != 0 : fallback;
}
inline const char* TextArg(int argc, const ArgRecord* args, int i) {
  return i < argc && args[i].type == tag::Text ? ArgText(args[i]) : EmptyTextArg();
}

inline void SetIntResult(ResultRecord* r, int32_t v) {
  r->v.i32 = v;
  r->type = tag::Int;
}
inline void SetBoolResult(ResultRecord* r, bool v) {
  r->v.i32 = v ? 1 : 0;
  r->type = tag::Bool;
}
inline void SetTextResult(ResultRecord* r, char* text) {
  SetResultPointer(r, text);
  r->type = tag::Text;
}

}  // namespace ts
