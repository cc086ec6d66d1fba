// Conversions of argument records to numbers and texts.
#include "runtime/commands/arg_values.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "runtime/commands/datetime.h"

namespace ts {

int32_t TruncToInt32(double x) {
  if (!(x > -2147483649.0 && x < 2147483648.0)) return INT32_MIN;  // also NaN
  return static_cast<int32_t>(x);
}

int64_t TruncToInt64(double x) {
  if (!(x >= -9223372036854775808.0 && x < 9223372036854775808.0)) return INT64_MIN;
  return static_cast<int64_t>(x);
}

std::string FoldFullWidth(const char* text) {
  std::string out;
  const uint8_t* p = reinterpret_cast<const uint8_t*>(text);
  while (*p) {
    if (!IsLeadByte(*p)) {
      out += static_cast<char>(*p++);
      continue;
    }
    const uint8_t lead = p[0], trail = p[1];
    if (trail == 0) break;  // a lead byte before the terminator ends the text
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      out += static_cast<char>(trail - 0x80);
    } else if (lead == 0xA1 && trail == 0xA1) {
      out += ' ';
    } else if (lead == 0xA1 && trail == 0xAB) {
      out += '~';
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      out += '*';
    } else {
      out += static_cast<char>(lead);
      out += static_cast<char>(trail);
    }
    p += 2;
  }
  return out;
}

int64_t ParseInteger64(const char* text) {
  const std::string folded = FoldFullWidth(text);
  const char* p = folded.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint64_t value = 0;  // unsigned arithmetic: overflow wraps, defined
  for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + static_cast<uint64_t>(*p - '0');
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

int32_t ValueToInt32(const ArgRecord& a) {
  switch (a.type) {
    case tag::Byte: return a.v.raw[0];
    case tag::Short: return static_cast<int16_t>(a.v.w.lo & 0xFFFF);
    case tag::Int:
    case tag::Bool: return a.v.i32;
    case tag::Long:
    case tag::SubPtr: return static_cast<int32_t>(a.v.w.lo);
    case tag::Float: return TruncToInt32(a.v.f32);
    case tag::Double: return TruncToInt32(a.v.f64);
    case tag::Text: return static_cast<int32_t>(static_cast<uint32_t>(ParseInteger64(ArgText(a))));
    default: return 0;
  }
}

int64_t ValueToInt64(const ArgRecord& a) {
  switch (a.type) {
    case tag::Byte: return a.v.raw[0];
    case tag::Short: return static_cast<int16_t>(a.v.w.lo & 0xFFFF);
    case tag::Int:
    case tag::Bool: return a.v.i32;
    case tag::Long: return a.v.i64;
    case tag::SubPtr: return a.v.w.lo;
    case tag::Float: return TruncToInt64(a.v.f32);
    case tag::Double: return TruncToInt64(a.v.f64);
    case tag::Text: return ParseInteger64(ArgText(a));
    default: return 0;
  }
}

double ValueToDouble(const ArgRecord& a) {
  switch (a.type) {
    case tag::Float: return a.v.f32;
    case tag::Double:
    case tag::DateTime: return a.v.f64;
    case tag::Long: return static_cast<double>(a.v.i64);
    case tag::Byte:
    case tag::Short:
    case tag::Int:
    case tag::Bool: return ValueToInt32(a);
    default: return 0;
  }
}

char* ValueToText(const ArgRecord& a) {
  char buf[64];
  switch (a.type) {
    case tag::Text: return MakeText(ArgText(a));
    case tag::Bytes: {
      const uint8_t* set = ArgBytes(a);
      const uint8_t* data = ByteSetData(set);
      const uint32_t n = ByteSetLength(set);
      const void* zero = n ? std::memchr(data, 0, n) : nullptr;
      const uint32_t used = zero ? static_cast<uint32_t>(static_cast<const uint8_t*>(zero) - data) : n;
      return MakeText(reinterpret_cast<const char*>(data), used);
    }
    case tag::Byte: std::snprintf(buf, sizeof buf, "%u", static_cast<unsigned>(a.v.raw[0])); break;
    case tag::Short:
    case tag::Int: std::snprintf(buf, sizeof buf, "%d", static_cast<int>(ValueToInt32(a))); break;
    case tag::Long: std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(a.v.i64)); break;
    case tag::Float: std::snprintf(buf, sizeof buf, "%.6g", static_cast<double>(a.v.f32)); break;
    case tag::Double: std::snprintf(buf, sizeof buf, "%.13g", a.v.f64); break;
    case tag::Bool: return MakeText(a.v.i32 ? "真" : "假");
    case tag::DateTime: return MakeText(FormatDate(a.v.f64).c_str());
    default: return nullptr;
  }
  return MakeText(buf);
}

}  // namespace ts
