// Argument records for command calls as the application builds them, and
// the results read back (each reader frees what it reads).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/values.h"

namespace ts::test {

inline ts::ArgRecord Of(ts::TypeTag type, uint32_t lo, uint32_t hi = 0) {
  ts::ArgRecord a{};
  a.v.w.lo = lo;
  a.v.w.hi = hi;
  a.type = type;
  return a;
}
inline ts::ArgRecord Int(int32_t v) { return Of(ts::tag::Int, static_cast<uint32_t>(v)); }
inline ts::ArgRecord Bool(bool v) { return Of(ts::tag::Bool, v ? 1 : 0); }
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
// An argument place left empty.
inline ts::ArgRecord Omitted() { return ts::ArgRecord{}; }
// Pointers to caller-owned storage: texts, byte sets, variables, routines.
inline ts::ArgRecord Pointer(ts::TypeTag type, const void* p) {
  ts::ArgRecord a{};
  ts::SetSlotPointer(a.v, p);
  a.type = type;
  return a;
}
// An empty text is the constant empty value, never null, as callers pass it.
inline ts::ArgRecord Text(const char* s) { return Pointer(ts::tag::Text, s && *s ? s : ts::EmptyTextArg()); }
// A unit reference: form id and unit id, typed by the unit's type.
inline ts::ArgRecord Unit(uint32_t formId, uint32_t unitId, uint32_t typeId) { return Of(typeId, formId, unitId); }

inline ts::ResultRecord Call(ts::CommandFn fn, std::vector<ts::ArgRecord> args) {
  ts::ResultRecord r{};
  fn(&r, static_cast<int>(args.size()), args.empty() ? nullptr : args.data());
  return r;
}

inline bool IsNull(const ts::ResultRecord& r) { return ts::SlotPointer(r.v) == nullptr; }

// A text result as a string (null becomes "").
inline std::string TakeText(const ts::ResultRecord& r) {
  char* t = static_cast<char*>(ts::SlotPointer(r.v));
  std::string s = t ? t : "";
  ts::Free(t);
  return s;
}

// A byte-set result as a string of its bytes.
inline std::string TakeBytes(const ts::ResultRecord& r) {
  uint8_t* b = static_cast<uint8_t*>(ts::SlotPointer(r.v));
  std::string s(reinterpret_cast<const char*>(ts::ByteSetData(b)), ts::ByteSetLength(b));
  ts::Free(b);
  return s;
}

// An array-of-text result as strings (null elements as "").
inline std::vector<std::string> TakeTexts(const ts::ResultRecord& r) {
  void* array = ts::SlotPointer(r.v);
  std::vector<std::string> out;
  const uint32_t n = ts::ArrayCount(array);
  char** items = reinterpret_cast<char**>(ts::ArrayElements(array));
  for (uint32_t i = 0; i < n; ++i) out.push_back(items[i] ? items[i] : "");
  ts::FreeArray(r.type, array);
  return out;
}

}  // namespace ts::test
