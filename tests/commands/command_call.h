// Building argument records and reading results for command tests.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "runtime/values.h"

namespace cmdtest {

inline ts::ArgRecord Int(int32_t v) {
  ts::ArgRecord a{};
  a.v.i32 = v;
  a.type = ts::tag::Int;
  return a;
}
inline ts::ArgRecord Long(int64_t v) {
  ts::ArgRecord a{};
  a.v.i64 = v;
  a.type = ts::tag::Long;
  return a;
}
inline ts::ArgRecord Double(double v) {
  ts::ArgRecord a{};
  a.v.f64 = v;
  a.type = ts::tag::Double;
  return a;
}
inline ts::ArgRecord Date(double v) {
  ts::ArgRecord a = Double(v);
  a.type = ts::tag::DateTime;
  return a;
}
inline ts::ArgRecord Bool(bool v) {
  ts::ArgRecord a{};
  a.v.i32 = v ? 1 : 0;
  a.type = ts::tag::Bool;
  return a;
}
inline ts::ArgRecord Omitted() { return ts::ArgRecord{}; }
inline ts::ArgRecord Of(ts::TypeTag type, uint32_t lo, uint32_t hi = 0) {
  ts::ArgRecord a{};
  a.v.w.lo = lo;
  a.v.w.hi = hi;
  a.type = type;
  return a;
}
// Texts and byte sets point at caller-owned storage; an empty one is the
// constant empty value, never null, as callers pass it.
inline ts::ArgRecord Text(const char* s) {
  ts::ArgRecord a{};
  ts::SetSlotPointer(a.v, s && *s ? s : ts::EmptyTextArg());
  a.type = ts::tag::Text;
  return a;
}
inline ts::ArgRecord Pointer(ts::TypeTag type, const void* p) {
  ts::ArgRecord a{};
  ts::SetSlotPointer(a.v, p);
  a.type = type;
  return a;
}

inline ts::ResultRecord Call(ts::CommandFn fn, std::vector<ts::ArgRecord> args) {
  ts::ResultRecord r{};
  fn(&r, static_cast<int>(args.size()), args.empty() ? nullptr : args.data());
  return r;
}

// A text result as a string; frees the result. null becomes "".
inline std::string TakeText(const ts::ResultRecord& r) {
  char* t = static_cast<char*>(ts::SlotPointer(r.v));
  std::string s = t ? t : "";
  ts::Free(t);
  return s;
}
inline bool IsNull(const ts::ResultRecord& r) { return ts::SlotPointer(r.v) == nullptr; }

// A byte-set result as a string of its bytes; frees the result.
inline std::string TakeBytes(const ts::ResultRecord& r) {
  uint8_t* b = static_cast<uint8_t*>(ts::SlotPointer(r.v));
  std::string s(reinterpret_cast<const char*>(ts::ByteSetData(b)), ts::ByteSetLength(b));
  ts::Free(b);
  return s;
}

// An array-of-text result as strings (null elements as ""); frees it.
inline std::vector<std::string> TakeTexts(const ts::ResultRecord& r) {
  void* array = ts::SlotPointer(r.v);
  std::vector<std::string> out;
  const uint32_t n = ts::ArrayCount(array);
  char** items = reinterpret_cast<char**>(ts::ArrayElements(array));
  for (uint32_t i = 0; i < n; ++i) out.push_back(items[i] ? items[i] : "");
  ts::FreeArray(r.type, array);
  return out;
}

}  // namespace cmdtest
