// The form block: one window record per window, each holding its unit list
// (unit ids, record offsets and unit records in one contiguous buffer), plus
// the walk over a single unit record and the in-place edits of a unit list.
// Pure C++ so that the host-side form compiler shares it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "forms/byte_reader.h"

namespace ts::forms {

constexpr uint32_t kMenuItemType = 0x00010003;
// Handler offset meaning "no handler" in the form block.
constexpr int32_t kNoHandlerOffset = -1;

// Unit ids: valid when the low 24 bits and bits 24..27 are both non-zero.
constexpr bool IsValidUnitId(uint32_t id) {
  return (id & 0x00FFFFFFu) != 0 && (id & 0x0F000000u) != 0;
}
constexpr bool IsMenuItemId(uint32_t id) {
  return (id & 0x0F000000u) == 0x06000000u && (id & 0xF0000000u) == 0x20000000u;
}

struct WindowRecord {
  uint32_t formId = 0;
  uint32_t reservedA = 0;
  uint32_t reservedB = 0;
  std::string reservedTextA;
  std::string reservedTextB;
  uint32_t unitCount = 0;
  // Unit list body: unitCount ids, unitCount offsets (from the end of the two
  // tables), then the entries (u32 size + record) in unit order.
  Bytes units;
};

// Offsets (from the record start) of the parts of one unit record, found by
// walking it. For a menu item only the names, flags and handler are set.
struct UnitLayout {
  uint32_t type = 0;
  uint32_t eventSource = 0;
  size_t nameOff = 0;
  size_t secondNameOff = 0;
  size_t e = 0;  // end of the second name: object slot
  uint32_t childCount = 0;
  size_t childrenOff = 0;
  size_t cursorOff = 0;  // the cursor block's length word
  uint32_t cursorLen = 0;
  size_t tagOff = 0;
  size_t stateFlagsOff = 0;
  size_t focusOrderOff = 0;
  uint32_t eventCount = 0;
  size_t bindingsOff = 0;
  size_t propOff = 0;
  long propLen = 0;  // record size − propOff; 0 or less: no property data
  bool menuItem = false;
  size_t menuFlagsOff = 0;
  size_t menuHandlerOff = 0;
};

// Walks a unit record of the given size; false when it is malformed.
bool WalkUnitRecord(const uint8_t* rec, size_t size, UnitLayout* out);

// A unit record as plain values: what the form compiler writes and what tests
// compare against.
struct UnitRecordData {
  uint32_t type = 0;
  uint32_t eventSource = 0;
  uint32_t reserved[4] = {};
  std::string name;
  std::string secondName;
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t parent = 0;
  std::vector<uint32_t> children;
  Bytes cursor;
  std::string tag;
  uint32_t stateFlags = 0;
  int32_t focusOrder = 0;
  std::vector<std::pair<int32_t, int32_t>> bindings;  // (event, handler offset)
  Bytes properties;
};

Bytes BuildUnitRecord(const UnitRecordData& u);
std::optional<UnitRecordData> ParseUnitRecord(const uint8_t* rec, size_t size);

// Lays out a unit list body from ids and records of equal count.
Bytes BuildUnitList(const std::vector<uint32_t>& ids, const std::vector<Bytes>& records);

// Reads a whole form block. Fails unless every byte is consumed exactly and
// every unit list is well formed.
std::optional<std::vector<WindowRecord>> ParseFormBlock(const uint8_t* data, size_t size);
Bytes WriteFormBlock(const std::vector<WindowRecord>& windows);

// Checks that the ids, offsets, entries and record walks of a unit list agree.
bool UnitListIsSound(const WindowRecord& w);

// --- access to one unit of a window record ---------------------------------
uint32_t UnitIdAt(const WindowRecord& w, size_t pos);
// Record start and size of unit pos (null when out of range).
uint8_t* UnitRecordAt(WindowRecord& w, size_t pos, uint32_t* size);
const uint8_t* UnitRecordAt(const WindowRecord& w, size_t pos, uint32_t* size);
// Unit pos's record as plain values; nothing when out of range or malformed.
std::optional<UnitRecordData> ParseUnitAt(const WindowRecord& w, size_t pos);
// Position of a unit id, or -1 when the id is invalid or absent.
long FindUnitPosition(const WindowRecord& w, uint32_t unitId);

// --- in-place edits --------------------------------------------------------
// Replaces oldLen bytes at offset `at` of unit pos's record by `with`; the
// entry's size word and the offsets of all later units follow.
bool ReplaceUnitBytes(WindowRecord& w, size_t pos, size_t at, size_t oldLen, const Bytes& with);
// Inserts a unit record at position pos (0 < pos <= unitCount) under a new
// id with bits 24..27 set to 6, unique in the window; returns the id or 0.
uint32_t InsertUnit(WindowRecord& w, size_t pos, const Bytes& record);
// Removes unit pos (never the window unit 0).
bool RemoveUnit(WindowRecord& w, size_t pos);

}  // namespace ts::forms
