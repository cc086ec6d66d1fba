// Unit types as the library table describes them.
#pragma once

#include <cstdint>

#include "runtime/program.h"
#include "runtime/values.h"

namespace ts {

// The unit-type entry of a unit type id ((library number << 16) | type
// number, both from 1), or null when the library or the slot does not exist
// or the slot is empty.
const UnitTypeEntry* FindUnitType(TypeTag unitType);

}  // namespace ts
