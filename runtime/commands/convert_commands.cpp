// Conversion commands: to text, to integers, rounding down, bitwise and,
// and a value's bytes.
#include <cmath>
#include <cstring>

#include "runtime/commands/arg_values.h"
#include "runtime/commands/commands.h"

namespace ts {
namespace {

// Bytes a basic value occupies in memory; 0 for texts, byte sets and
// anything that is not a basic value.
uint32_t BasicSize(TypeTag t) {
  switch (t) {
    case tag::Byte: return 1;
    case tag::Short: return 2;
    case tag::Int:
    case tag::Float:
    case tag::Bool:
    case tag::SubPtr: return 4;
    case tag::Long:
    case tag::Double:
    case tag::DateTime: return 8;
    default: return 0;
  }
}

uint8_t* ArrayContent(const ArgRecord& a) {
  const uint32_t size = BasicSize(tag::ElementOf(a.type));
  void* array = ArgPointer(a);
  if (size == 0 || !array) return nullptr;
  const uint64_t bytes = static_cast<uint64_t>(ArrayCount(array)) * size;
  if (bytes == 0 || bytes > 0x7FFFFFFFu) return nullptr;
  return MakeByteSet(ArrayElements(array), static_cast<uint32_t>(bytes));
}

}  // namespace

void ToText(ResultRecord* r, int argc, ArgRecord* args) {
  SetTextResult(r, argc >= 1 ? ValueToText(args[0]) : nullptr);
}

void ToInteger(ResultRecord* r, int argc, ArgRecord* args) {
  SetIntResult(r, argc >= 1 ? ValueToInt32(args[0]) : 0);
}

void ToLongInteger(ResultRecord* r, int argc, ArgRecord* args) {
  r->v.i64 = argc >= 1 ? ValueToInt64(args[0]) : 0;
  r->type = tag::Long;
}

void FloorToInteger(ResultRecord* r, int argc, ArgRecord* args) {
  double x = argc >= 1 ? ValueToDouble(args[0]) : 0;
  double whole;
  const double fraction = std::modf(x, &whole);
  // A fraction within 1e-12 of a whole unit is taken as that unit (so that
  // 2.9999999999995 counts as 3). The direction follows the sign of x
  // itself: the integer part of -0.9999999999995 is -0, which would
  // otherwise send it up to 1.
  if (std::fabs(fraction) > 0.999999999999) x = x >= 0 ? whole + 1 : whole - 1;
  SetIntResult(r, TruncToInt32(std::floor(x)));
}

void BitAnd(ResultRecord* r, int argc, ArgRecord* args) {
  int32_t v = argc >= 1 ? ValueToInt32(args[0]) : 0;
  for (int i = 1; i < argc; ++i) v &= ValueToInt32(args[i]);
  SetIntResult(r, v);
}

void ToBytes(ResultRecord* r, int argc, ArgRecord* args) {
  uint8_t* set = nullptr;
  if (argc >= 1) {
    const ArgRecord& a = args[0];
    if (a.type == tag::Text) {
      const char* text = ArgText(a);
      set = MakeByteSet(text, ts::TextLength(text));
    } else if (a.type == tag::Bytes) {
      const uint8_t* src = ArgBytes(a);
      set = MakeByteSet(ByteSetData(src), ByteSetLength(src));
    } else if (tag::IsArray(a.type)) {
      set = ArrayContent(a);
    } else if (const uint32_t size = BasicSize(a.type)) {
      set = MakeByteSet(a.v.raw, size);
    }
  }
  SetResultPointer(r, set);
  r->type = tag::Bytes;
}

}  // namespace ts
