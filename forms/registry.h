// The window registry: every window record of the form block, loaded once at
// start-up with its handler offsets relocated against the code base, and the
// look-ups the form engine and event dispatch make on it. Pure C++.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "forms/form_block.h"

namespace ts::forms {

struct UnitRef {
  uint8_t* record = nullptr;
  uint32_t size = 0;
  size_t position = 0;
  uint32_t unitId = 0;
  // The 4-byte object slot at E+0 (the created unit object while the window
  // exists) and the cursor slot at E+20; unaligned, use LoadU32/StoreU32 or
  // memcpy.
  uint8_t* objectSlot = nullptr;
  uint8_t* cursorSlot = nullptr;
};

// The stored property record of a unit: start and length (0 or less: none).
struct PropertyData {
  const uint8_t* data = nullptr;
  long length = 0;
};

enum class EventLookup { Found, NoWindow, NoUnit };

struct EventTarget {
  uintptr_t handler = 0;     // 0: no handler
  uint32_t unitType = 0;     // type of the unit whose bindings were used
  uint32_t sourceUnitId = 0;  // the unit that raised the event
};

class WindowRegistry {
 public:
  // Reads the whole block and relocates every handler. Size 0 is a program
  // without windows. On failure the registry stays empty.
  bool Load(const uint8_t* block, size_t size, uintptr_t codeBase);
  void Clear() { windows_.clear(); }

  size_t WindowCount() const { return windows_.size(); }
  WindowRecord* WindowAt(size_t position);
  WindowRecord* FindForm(uint32_t formId, size_t* position = nullptr);

  static std::optional<UnitRef> UnitAt(WindowRecord& w, size_t position);
  static std::optional<UnitRef> FindUnit(WindowRecord& w, uint32_t unitId);
  static PropertyData PropertiesOf(const UnitRef& unit);

  // Where event `event` of (form, unit) goes; unit id 0 is the window unit.
  // Follows the unit's event source link while it names an existing unit of
  // the same type (never more steps than the window has units).
  EventLookup FindEvent(uint32_t formId, uint32_t unitId, int32_t event, EventTarget* target);

  // Event dispatch's view: no handler while events are suppressed; the
  // three failures are fatal run-time errors. typeFlags gives a unit type's
  // state flags.
  uintptr_t FindEventHandler(uint32_t formId, uint32_t unitId, int32_t event, bool suppressed,
                             uint32_t (*typeFlags)(uint32_t typeId));

 private:
  std::vector<WindowRecord> windows_;
};

// Replaces each handler offset of a window's unit records by its address:
// -1 becomes 0 (no handler), any other offset codeBase + offset.
bool RelocateHandlers(WindowRecord& w, uintptr_t codeBase);

// The registry the runtime uses.
WindowRegistry& Registry();

// Registers the registry's hooks (load, find handler, free) with the runtime.
void RegisterRegistryHooks();

}  // namespace ts::forms
