// Looks unit types up in the program's library table.
#include "runtime/units.h"

#include "runtime/state.h"

namespace ts {

const UnitTypeEntry* FindUnitType(TypeTag unitType) {
  const RuntimeState& s = State();
  uint32_t library = unitType >> 16;
  uint32_t type = unitType & 0xFFFF;
  if (library == 0 || type == 0 || library > s.libraryCount || !s.libraries) return nullptr;
  const LibraryRecord* lib = s.libraries[library - 1];
  if (!lib || !lib->unitTypes || type > lib->unitTypeCount) return nullptr;
  const UnitTypeEntry* entry = &lib->unitTypes[type - 1];
  if (!entry->name && !entry->interfaceFn) return nullptr;  // empty slot
  return entry;
}

}  // namespace ts
