// Reading and editing the fields of one unit record of a loaded window
// record. Every access walks the record afresh, because an edit of the tag
// or cursor may move the unit list's buffer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "forms/form_block.h"
#include "forms/registry.h"

namespace ts::forms {

class UnitObject;

enum class Geometry { Left = 0, Top = 1, Width = 2, Height = 3 };

// Stored state flag bits of a unit record.
namespace unitstate {
constexpr uint32_t Visible = 1;
constexpr uint32_t Disabled = 2;
constexpr uint32_t TabStop = 4;
}  // namespace unitstate

class UnitFields {
 public:
  static std::optional<UnitFields> At(WindowRecord& w, size_t position);
  static std::optional<UnitFields> Find(WindowRecord& w, uint32_t unitId);

  size_t position() const { return ref_.position; }
  uint32_t id() const { return ref_.unitId; }
  uint32_t type() const { return layout_.type; }
  bool menuItem() const { return layout_.menuItem; }
  // A menu item's flag word (bit 0 hidden, bit 1 disabled, bit 2 checked) and caption.
  uint32_t menuFlags() const;
  std::string menuCaption() const;

  int32_t geometry(Geometry g) const;
  void setGeometry(Geometry g, int32_t value);
  uint32_t stateFlags() const;
  void setStateFlags(uint32_t flags);
  uint32_t parent() const;
  std::vector<uint32_t> children() const;
  int32_t focusOrder() const;
  std::vector<uint8_t> cursorValue() const;
  std::string tag() const;
  const uint8_t* properties() const;
  uint32_t propertiesLength() const;

  UnitObject* object() const;
  void setObject(UnitObject* object);
  HCURSOR cursorHandle() const;
  void setCursorHandle(HCURSOR cursor);

  // Edits that change the record's length (the unit list moves).
  static bool ReplaceTag(WindowRecord& w, size_t position, const std::string& tag);
  static bool ReplaceCursorValue(WindowRecord& w, size_t position, const std::vector<uint8_t>& value);

 private:
  UnitRef ref_;
  UnitLayout layout_;
};

}  // namespace ts::forms
