#include "forms/engine/unit_record.h"

#include <cstring>

#include "forms/byte_reader.h"

namespace ts::forms {

static_assert(sizeof(void*) == 4, "unit records keep object and cursor handles in 32-bit slots");

std::optional<UnitFields> UnitFields::At(WindowRecord& w, size_t position) {
  auto ref = WindowRegistry::UnitAt(w, position);
  if (!ref) return std::nullopt;
  UnitFields f;
  f.ref_ = *ref;
  if (!WalkUnitRecord(ref->record, ref->size, &f.layout_)) return std::nullopt;
  return f;
}

std::optional<UnitFields> UnitFields::Find(WindowRecord& w, uint32_t unitId) {
  long position = FindUnitPosition(w, unitId);
  if (position < 0) return std::nullopt;
  return At(w, static_cast<size_t>(position));
}

int32_t UnitFields::geometry(Geometry g) const {
  return static_cast<int32_t>(LoadU32(ref_.record + layout_.e + 4 + 4 * static_cast<int>(g)));
}

void UnitFields::setGeometry(Geometry g, int32_t value) {
  StoreU32(ref_.record + layout_.e + 4 + 4 * static_cast<int>(g), static_cast<uint32_t>(value));
}

uint32_t UnitFields::stateFlags() const { return LoadU32(ref_.record + layout_.stateFlagsOff); }
void UnitFields::setStateFlags(uint32_t flags) { StoreU32(ref_.record + layout_.stateFlagsOff, flags); }
uint32_t UnitFields::menuFlags() const { return LoadU32(ref_.record + layout_.menuFlagsOff); }

std::string UnitFields::menuCaption() const {
  const char* p = reinterpret_cast<const char*>(ref_.record + layout_.menuFlagsOff + 4);
  size_t limit = ref_.size - (layout_.menuFlagsOff + 4);
  return std::string(p, strnlen(p, limit));
}

uint32_t UnitFields::parent() const { return LoadU32(ref_.record + layout_.e + 24); }
int32_t UnitFields::focusOrder() const { return static_cast<int32_t>(LoadU32(ref_.record + layout_.focusOrderOff)); }

std::vector<uint32_t> UnitFields::children() const {
  std::vector<uint32_t> ids(layout_.childCount);
  for (uint32_t i = 0; i < layout_.childCount; ++i) ids[i] = LoadU32(ref_.record + layout_.childrenOff + 4 * i);
  return ids;
}

std::vector<uint8_t> UnitFields::cursorValue() const {
  const uint8_t* p = ref_.record + layout_.cursorOff + 4;
  return std::vector<uint8_t>(p, p + layout_.cursorLen);
}

std::string UnitFields::tag() const { return reinterpret_cast<const char*>(ref_.record + layout_.tagOff); }

const uint8_t* UnitFields::properties() const { return layout_.propLen > 0 ? ref_.record + layout_.propOff : nullptr; }
uint32_t UnitFields::propertiesLength() const {
  return layout_.propLen > 0 ? static_cast<uint32_t>(layout_.propLen) : 0;
}

// Menu items have no object or cursor slot.
UnitObject* UnitFields::object() const {
  if (ref_.objectSlot == nullptr) return nullptr;
  UnitObject* p;
  std::memcpy(&p, ref_.objectSlot, sizeof p);
  return p;
}
void UnitFields::setObject(UnitObject* object) {
  if (ref_.objectSlot != nullptr) std::memcpy(ref_.objectSlot, &object, sizeof object);
}

HCURSOR UnitFields::cursorHandle() const {
  if (ref_.cursorSlot == nullptr) return nullptr;
  HCURSOR c;
  std::memcpy(&c, ref_.cursorSlot, sizeof c);
  return c;
}
void UnitFields::setCursorHandle(HCURSOR cursor) {
  if (ref_.cursorSlot != nullptr) std::memcpy(ref_.cursorSlot, &cursor, sizeof cursor);
}

bool UnitFields::ReplaceTag(WindowRecord& w, size_t position, const std::string& tag) {
  auto f = At(w, position);
  if (!f) return false;
  size_t oldLen = std::strlen(reinterpret_cast<const char*>(f->ref_.record + f->layout_.tagOff)) + 1;
  Bytes with(tag.begin(), tag.end());
  with.push_back(0);
  return ReplaceUnitBytes(w, position, f->layout_.tagOff, oldLen, with);
}

bool UnitFields::ReplaceCursorValue(WindowRecord& w, size_t position, const std::vector<uint8_t>& value) {
  auto f = At(w, position);
  if (!f) return false;
  ByteWriter out;
  out.block(value);
  return ReplaceUnitBytes(w, position, f->layout_.cursorOff, 4 + f->layout_.cursorLen, out.bytes());
}

}  // namespace ts::forms
