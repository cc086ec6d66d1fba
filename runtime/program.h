// The records that describe the compiled program to the runtime: the
// program header, the 36-word library records, the unit-type and property
// tables they point to, and the library notification interface.
#pragma once

#include <cstdint>

namespace ts {

// A library's notify function and the runtime's: three 32-bit words in, one out.
using NotifyWord = uintptr_t;
using NotifyFn = NotifyWord (*)(int32_t code, NotifyWord p1, NotifyWord p2);

// A unit type's interface function: the routine for an operation number, or null.
using UnitInterfaceFn = void* (*)(int32_t operation);

struct PropertyEntry {  // 20 bytes
  const char* name;
  const char* englishName;
  const char* explanation;
  int16_t typeCode;
  uint16_t flags;
  const void* pickList;
};

struct UnitTypeEntry {  // 56 bytes, fourteen 32-bit fields
  const char* name;
  const char* englishName;
  const char* explanation;
  uint32_t commandCount;
  const void* commandIndexTable;
  uint32_t stateFlags;
  uint32_t bitmapId;
  uint32_t eventCount;
  const void* eventTable;
  uint32_t propertyCount;
  const PropertyEntry* properties;
  UnitInterfaceFn interfaceFn;
  uint32_t elementCount;
  const void* elementTable;
};

struct LibraryRecord {  // 36 words
  uint32_t formatStamp;  // 20000101
  const char* identifier;
  uint32_t major, minor, build;
  uint32_t version2Major, version2Minor;
  uint32_t version3Major, version3Minor;
  const char* name;
  uint32_t one;
  const char* text;
  uint32_t flags;
  const char* texts[8];
  uint32_t unitTypeCount;
  const UnitTypeEntry* unitTypes;
  uint32_t reserved1[2];
  uint32_t commandCount;
  const void* reserved2;
  const void* const* commands;
  uint32_t reserved3[2];
  NotifyFn notify;
  uint32_t reserved4[5];
};

struct ProgramHeader {  // thirteen words
  uint32_t mode;
  uint32_t reserved;
  uint32_t build;
  const void* codeBase;
  const void* constBlock;
  uint32_t constSize;
  const uint8_t* formBlock;
  uint32_t formSize;
  uint32_t libraryCount;
  const LibraryRecord* const* libraries;
  uint32_t dllCount;
  const char* const* dllFiles;
  const char* const* dllNames;
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(PropertyEntry) == 20);
static_assert(sizeof(UnitTypeEntry) == 56);
static_assert(sizeof(LibraryRecord) == 36 * 4);
static_assert(sizeof(ProgramHeader) == 13 * 4);
#endif

// State flag bits of unit types that the form engine tests.
namespace unitflag {
constexpr uint32_t RaisesEvents = 0x00000004 | 0x00000040;
constexpr uint32_t FiltersKeys = 0x00000020;
constexpr uint32_t NoRecreate = 0x00000010;
constexpr uint32_t MovesChildren = 0x00000080;
constexpr uint32_t PageContainer = 0x00000100;
constexpr uint32_t HasNativeChildren = 0x00000200 | 0x00200000;
constexpr uint32_t OptionButton = 0x00000400;
constexpr uint32_t PushButton = 0x00000800;
constexpr uint32_t CheckBox = 0x00001000;
constexpr uint32_t LabelKind = 0x00002000;
constexpr uint32_t GroupKind = 0x00004000;
constexpr uint32_t NeverShown = 0x00008000;
constexpr uint32_t NeverFirstFocus = 0x00010000;
constexpr uint32_t ReleaseOnDestroy = 0x00080000;
constexpr uint32_t DockedBar = 0x00100000;
constexpr uint32_t DragsWindow = 0x04000000;
}  // namespace unitflag

}  // namespace ts
