// The unit types of this program as the library records describe them:
// 56-byte type entries (type number t is entry t − 1) and 20-byte property
// entries whose type codes drive the property services' conversions.
#pragma once

#include <cstdint>

#include "runtime/program.h"

namespace ts::forms {

// Property type codes.
namespace propcode {
constexpr int16_t Integer = 1001;
constexpr int16_t Boolean = 1003;
constexpr int16_t Text = 1005;
constexpr int16_t Enumeration = 1006;
constexpr int16_t Picture = 1009;
constexpr int16_t Icon = 1010;
constexpr int16_t Cursor = 1011;
constexpr int16_t Sound = 1012;
constexpr int16_t Font = 1013;
constexpr int16_t TextColour = 1014;
constexpr int16_t Colour = 1015;
constexpr int16_t FileName = 1016;
constexpr int16_t BackColour = 1017;
constexpr int16_t BindingText = 1018;
constexpr int16_t ReadOnlyText = 1020;
constexpr int16_t ImageList = 1023;
constexpr int16_t CustomBlock = 1024;
}  // namespace propcode

struct UnitTypeTable {
  uint32_t count;
  const UnitTypeEntry* entries;
};

// The unit-type table of library 1 (51 slots), 2 (5) or 7 (9); slots the
// program does not use are all zero. Other libraries have none.
UnitTypeTable LibraryUnitTypes(uint32_t library);

// The entry of a unit type id, or null.
const UnitTypeEntry* FindUnitType(uint32_t typeId);
// State flags of a unit type id; 0 for an unknown type.
uint32_t UnitTypeStateFlags(uint32_t typeId);
// Highest stored property record version a unit type reads; -1 if unknown.
int32_t MaxRecordVersion(uint32_t typeId);

// Each type's interface function asks the operation source registered for
// that type id (the form engine registers the window unit, the controls
// their own types); an unregistered type answers null for every operation.
void RegisterUnitOperations(uint32_t typeId, UnitInterfaceFn source);

}  // namespace ts::forms
