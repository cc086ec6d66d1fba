// Engine-internal links between the unit base and the window loader.
#pragma once

#include <cstdint>

namespace ts::forms {

class UnitObject;

constexpr uint32_t kWindowUnitType = 0x00010001;

// Called by the unit base after a unit's native window got WM_NCDESTROY and
// the object was detached: clears the unit record's slots and deletes the
// object.
void OnUnitNativeGone(UnitObject* unit);

}  // namespace ts::forms
