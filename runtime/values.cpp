// Heap blocks for texts, byte sets and arrays, and the constant-block rules.
#include "runtime/values.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/error.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace ts {
namespace {

const uint8_t* g_constStart = nullptr;
uint32_t g_constSize = 0;

// Fallback empty values when the program registered no constant block of
// its own (tests, tools): still never freed, since Free ignores them.
const char kEmptyText[1] = {0};
const uint32_t kEmptyByteSet[2] = {1, 0};

#ifdef _WIN32
HANDLE Heap() {
  static HANDLE heap = GetProcessHeap();
  return heap;
}
void* RawAlloc(uint32_t n) { return HeapAlloc(Heap(), 0, n ? n : 1); }
void* RawRealloc(void* p, uint32_t n) { return HeapReAlloc(Heap(), 0, p, n ? n : 1); }
void RawFree(void* p) { HeapFree(Heap(), 0, p); }
#else
void* RawAlloc(uint32_t n) { return std::malloc(n ? n : 1); }
void* RawRealloc(void* p, uint32_t n) { return std::realloc(p, n ? n : 1); }
void RawFree(void* p) { std::free(p); }
#endif

[[noreturn]] void OutOfMemory(uint32_t bytes) {
  char msg[64];
  std::snprintf(msg, sizeof msg, "分配 %d 字节内存失败!", static_cast<int>(bytes));
  ReportRuntimeError(msg);
}

bool IsStaticEmpty(const void* p) { return p == kEmptyText || p == kEmptyByteSet; }

}  // namespace

void* Alloc(uint32_t bytes) {
  void* p = RawAlloc(bytes);
  if (!p) OutOfMemory(bytes);
  return p;
}

void* TryAlloc(uint32_t bytes) { return RawAlloc(bytes); }

void* Realloc(void* block, uint32_t bytes) {
  if (!block) return Alloc(bytes);
  if (InConstantBlock(block) || IsStaticEmpty(block)) {
    void* copy = Alloc(bytes);
    uint32_t avail = 0;
    if (IsStaticEmpty(block)) {
      avail = block == kEmptyText ? sizeof kEmptyText : sizeof kEmptyByteSet;
    } else {
      avail = static_cast<uint32_t>(g_constStart + g_constSize - static_cast<const uint8_t*>(block));
    }
    std::memcpy(copy, block, avail < bytes ? avail : bytes);
    return copy;
  }
  void* p = RawRealloc(block, bytes);
  if (!p) OutOfMemory(bytes);
  return p;
}

void Free(void* block) {
  if (!block || InConstantBlock(block) || IsStaticEmpty(block)) return;
  RawFree(block);
}

void SetConstantBlock(const void* start, uint32_t size) {
  g_constStart = size ? static_cast<const uint8_t*>(start) : nullptr;
  g_constSize = size;
}

bool InConstantBlock(const void* p) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  return g_constStart && b >= g_constStart && b < g_constStart + g_constSize;
}

const char* EmptyTextArg() { return kEmptyText; }
const uint8_t* EmptyByteSetArg() { return reinterpret_cast<const uint8_t*>(kEmptyByteSet); }

uint32_t TextLength(const char* text) { return text ? static_cast<uint32_t>(std::strlen(text)) : 0; }

char* MakeText(const char* bytes, uint32_t n) {
  if (!bytes || n == 0) return nullptr;
  char* t = static_cast<char*>(Alloc(n + 1));
  std::memcpy(t, bytes, n);
  t[n] = 0;
  return t;
}

char* MakeText(const char* s) { return MakeText(s, TextLength(s)); }

uint8_t* MakeByteSet(const void* bytes, uint32_t n) {
  if (n == 0) return nullptr;
  if (n > 0xFFFFFFF7u) OutOfMemory(n);
  uint8_t* b = static_cast<uint8_t*>(Alloc(n + 8));
  const uint32_t head[2] = {1, n};
  std::memcpy(b, head, 8);
  if (bytes) std::memcpy(b + 8, bytes, n);
  return b;
}

uint32_t ByteSetLength(const uint8_t* set) {
  if (!set) return 0;
  uint32_t n;
  std::memcpy(&n, set + 4, 4);
  return n;
}

const uint8_t* ByteSetData(const uint8_t* set) { return set ? set + 8 : nullptr; }

void* MakeEmptyArray() {
  uint32_t* a = static_cast<uint32_t*>(Alloc(8));
  a[0] = 1;
  a[1] = 0;
  return a;
}

uint32_t ArrayDimensions(const void* array) {
  return array ? *static_cast<const uint32_t*>(array) : 0;
}

uint32_t ArrayCount(const void* array) {
  if (!array) return 0;
  const uint32_t* a = static_cast<const uint32_t*>(array);
  uint64_t count = 1;
  for (uint32_t i = 0; i < a[0]; ++i) count *= a[1 + i];
  return static_cast<uint32_t>(count);
}

uint8_t* ArrayElements(void* array) {
  if (!array) return nullptr;
  uint32_t* a = static_cast<uint32_t*>(array);
  return reinterpret_cast<uint8_t*>(a + 1 + a[0]);
}

namespace {

// The 0-based position of a 1-based index within `size` places.
uint32_t MemberOffset(int32_t index, uint32_t size) {
  const int64_t at = static_cast<int64_t>(index) - 1;
  if (at < 0) ReportErrorCode(4);
  if (at >= size) ReportErrorCode(1);
  return static_cast<uint32_t>(at);
}

}  // namespace

void* ArrayMember(void* array, int32_t index, uint32_t elementSize) {
  return ArrayElements(array) + MemberOffset(index, ArrayCount(array)) * elementSize;
}

void* ArrayMember(void* array, const int32_t* indexes, uint32_t indexCount, uint32_t elementSize) {
  if (indexCount == 1) return ArrayMember(array, indexes[0], elementSize);
  const uint32_t dimensions = ArrayDimensions(array);
  if (indexCount == 0 || indexCount != dimensions) ReportErrorCode(3);
  const uint32_t* sizes = static_cast<const uint32_t*>(array) + 1;
  uint32_t flat = 0;
  for (uint32_t i = 0; i < dimensions; ++i) flat = flat * sizes[i] + MemberOffset(indexes[i], sizes[i]);
  return ArrayElements(array) + flat * elementSize;
}

void DetachArray(uint32_t elementSize, void** arrayVar) {
  void* a = *arrayVar;
  if (!a || !(InConstantBlock(a))) return;
  uint32_t dims = ArrayDimensions(a);
  uint32_t bytes = 4 + 4 * dims + elementSize * ArrayCount(a);
  void* copy = Alloc(bytes);
  std::memcpy(copy, a, bytes);
  *arrayVar = copy;
}

void ArrayAppend(void** arrayVar, const void* element, uint32_t elementSize) {
  DetachArray(elementSize, arrayVar);
  void* a = *arrayVar;
  if (!a) a = MakeEmptyArray();
  uint32_t count = ArrayCount(a);
  uint32_t dims = ArrayDimensions(a);
  uint32_t* head = static_cast<uint32_t*>(a);
  if (dims != 1) {
    // Flatten: move the elements down to follow a one-dimension header.
    uint8_t* from = reinterpret_cast<uint8_t*>(head + 1 + dims);
    std::memmove(head + 2, from, static_cast<size_t>(count) * elementSize);
  }
  head[0] = 1;
  head[1] = count + 1;
  uint64_t bytes = 8 + static_cast<uint64_t>(count + 1) * elementSize;
  if (bytes > 0xFFFFFFFFull) OutOfMemory(0xFFFFFFFFu);
  a = Realloc(a, static_cast<uint32_t>(bytes));
  std::memcpy(static_cast<uint8_t*>(a) + 8 + static_cast<size_t>(count) * elementSize, element, elementSize);
  *arrayVar = a;
}

void FreeArray(TypeTag type, void* array) {
  if (!array) return;
  TypeTag element = tag::ElementOf(type);
  if (element == tag::Text || element == tag::Bytes) {
    uint32_t count = ArrayCount(array);
    void** items = reinterpret_cast<void**>(ArrayElements(array));
    for (uint32_t i = 0; i < count; ++i) Free(items[i]);
  }
  Free(array);
}

}  // namespace ts
