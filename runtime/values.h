// Values crossing between application code and the runtime: type tags, the
// 12-byte argument and result records, and the heap blocks that hold texts,
// byte sets and arrays. Every block comes from the process heap; the empty
// text and the empty byte set are null pointers (except as command
// arguments, where callers pass the constant empty values below).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ts {

using TypeTag = uint32_t;

namespace tag {
constexpr TypeTag None = 0;
constexpr TypeTag Byte = 0x80000101;
constexpr TypeTag Short = 0x80000201;
constexpr TypeTag Int = 0x80000301;
constexpr TypeTag Long = 0x80000401;
constexpr TypeTag Float = 0x80000501;
constexpr TypeTag Double = 0x80000601;
constexpr TypeTag Bool = 0x80000002;
constexpr TypeTag DateTime = 0x80000003;
constexpr TypeTag Text = 0x80000004;
constexpr TypeTag Bytes = 0x80000005;
constexpr TypeTag SubPtr = 0x80000006;
constexpr TypeTag Eight = 0x80000008;
constexpr TypeTag ArrayBit = 0x20000000;

constexpr bool IsBasic(TypeTag t) { return (t & 0xC0000000u) == 0x80000000u; }
constexpr bool IsArray(TypeTag t) { return IsBasic(t) && (t & ArrayBit) != 0; }
constexpr TypeTag ElementOf(TypeTag t) { return t & ~ArrayBit; }
// Unit types: (library number << 16) | type number, both from 1.
constexpr TypeTag UnitType(uint32_t library, uint32_t type) { return (library << 16) | type; }
}  // namespace tag

// Value slot of an argument or result: 8 bytes; a 4-byte value sits in the
// first four bytes. Packed to 4 so that the record is 12 bytes under MinGW,
// which would otherwise align the 64-bit members to 8.
#pragma pack(push, 4)
union ValueSlot {
  uint8_t raw[8];
  struct {
    uint32_t lo;
    uint32_t hi;
  } w;
  int32_t i32;
  uint32_t u32;
  int64_t i64;
  float f32;
  double f64;
};

struct ArgRecord {
  ValueSlot v;
  TypeTag type;
};

struct ResultRecord {
  ValueSlot v;
  TypeTag type;
};
#pragma pack(pop)

static_assert(sizeof(ValueSlot) == 8);
static_assert(sizeof(ArgRecord) == 12 && offsetof(ArgRecord, type) == 8);
static_assert(sizeof(ResultRecord) == 12 && offsetof(ResultRecord, type) == 8);

// A command: the caller's zeroed result, the argument count and the first of
// that many argument records. Commands never free their arguments.
using CommandFn = void (*)(ResultRecord* result, int argc, ArgRecord* args);

// --- memory ---------------------------------------------------------------
// Alloc never returns null: a failure is the fatal "分配 %d 字节内存失败!".
void* Alloc(uint32_t bytes);
// Null behaves as Alloc; a constant-block pointer is copied out; else resized.
void* Realloc(void* block, uint32_t bytes);
// Null and constant-block pointers are ignored.
void Free(void* block);
// Plain heap allocation that may return null (notification 2024 with the flag).
void* TryAlloc(uint32_t bytes);

// The program's read-only constant block: pointers into it are not owned.
void SetConstantBlock(const void* start, uint32_t size);
bool InConstantBlock(const void* p);

// Constant empty values handed to commands instead of null.
const char* EmptyTextArg();
const uint8_t* EmptyByteSetArg();

// --- text -----------------------------------------------------------------
// Length in bytes; null is 0.
uint32_t TextLength(const char* text);
// A new text block from n bytes (a terminator is added); null when n == 0.
char* MakeText(const char* bytes, uint32_t n);
// A new text block from a zero-terminated string; null for null or "".
char* MakeText(const char* s);

// Code page 936: 0x81..0xFE start a double-byte character; 0x80 and 0xFF
// are single bytes. Every routine that steps through text uses this.
inline bool IsLeadByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

// --- byte sets ------------------------------------------------------------
// Block {1, length, bytes}; null is the empty byte set.
uint8_t* MakeByteSet(const void* bytes, uint32_t n);
uint32_t ByteSetLength(const uint8_t* set);
const uint8_t* ByteSetData(const uint8_t* set);

// --- arrays ---------------------------------------------------------------
// Block {n, size1..sizen, elements}; the empty array is {1, 0}.
void* MakeEmptyArray();
// Element count (product of the sizes); 0 for null.
uint32_t ArrayCount(const void* array);
uint32_t ArrayDimensions(const void* array);
// Start of the elements; null for null.
uint8_t* ArrayElements(void* array);
// Member by one flat 1-based index: index < 1 is run-time error 4, above the
// count error 1 (tested in that order).
void* ArrayMember(void* array, int32_t index, uint32_t elementSize);
// Member by 1-based indexes: one index is the flat one above; several must
// be as many as the array has dimensions (else run-time error 3) and each is
// tested against its own dimension as above, the first index the outermost.
void* ArrayMember(void* array, const int32_t* indexes, uint32_t indexCount, uint32_t elementSize);
// Appends one element: detaches a constant array, flattens to one dimension,
// grows the block and copies elementSize bytes from element.
void ArrayAppend(void** arrayVar, const void* element, uint32_t elementSize);
// Replaces an array in the constant block by a heap copy.
void DetachArray(uint32_t elementSize, void** arrayVar);
// Frees a text or byte-set array element by element, then the block.
void FreeArray(TypeTag type, void* array);

// --- argument helpers -------------------------------------------------------
// A pointer value sits in the first bytes of the slot (4 on the target; the
// host build used for fuzzing and sanitisers keeps its 8-byte pointers there).
inline void* SlotPointer(const ValueSlot& v) {
  void* p;
  std::memcpy(&p, v.raw, sizeof p);
  return p;
}
inline void SetSlotPointer(ValueSlot& v, const void* p) {
  v.w.lo = 0;
  v.w.hi = 0;
  std::memcpy(v.raw, &p, sizeof p);
}
inline void* ArgPointer(const ArgRecord& a) { return SlotPointer(a.v); }
inline const char* ArgText(const ArgRecord& a) {
  const char* p = static_cast<const char*>(SlotPointer(a.v));
  return p ? p : EmptyTextArg();
}
inline const uint8_t* ArgBytes(const ArgRecord& a) {
  const uint8_t* p = static_cast<const uint8_t*>(SlotPointer(a.v));
  return p ? p : EmptyByteSetArg();
}
inline void SetResultPointer(ResultRecord* r, const void* p) { SetSlotPointer(r->v, p); }

}  // namespace ts
