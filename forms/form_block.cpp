#include "forms/form_block.h"

#include <algorithm>
#include <set>

namespace ts::forms {

namespace {

bool WalkMenuItem(ByteReader& r, UnitLayout* out) {
  out->menuItem = true;
  r.u32();
  r.u32();
  out->menuFlagsOff = r.pos();
  r.u32();
  r.zeroText();
  out->menuHandlerOff = r.pos();
  r.u32();
  return r.ok();
}

// From E onwards: slot, geometry, parent, children, cursor, tag, flags,
// focus order, bindings, reserved words; the rest is property data.
bool WalkControlPart(ByteReader& r, UnitLayout* out) {
  out->e = r.pos();
  r.skip(28);
  out->childCount = r.u32();
  out->childrenOff = r.pos();
  if (!r.ok() || out->childCount > r.remaining() / 4) return false;
  r.skip(size_t(out->childCount) * 4);
  out->cursorOff = r.pos();
  out->cursorLen = r.u32();
  r.skip(out->cursorLen);
  out->tagOff = r.pos();
  r.zeroText();
  r.u32();
  out->stateFlagsOff = r.pos();
  r.u32();
  out->focusOrderOff = r.pos();
  r.i32();
  out->eventCount = r.u32();
  out->bindingsOff = r.pos();
  if (!r.ok() || out->eventCount > r.remaining() / 8) return false;
  r.skip(size_t(out->eventCount) * 8);
  r.skip(20);
  out->propOff = r.pos();
  out->propLen = static_cast<long>(r.size()) - static_cast<long>(r.pos());
  return r.ok();
}

size_t TablesEnd(const WindowRecord& w) { return size_t(w.unitCount) * 8; }

uint32_t OffsetAt(const WindowRecord& w, size_t pos) {
  return LoadU32(w.units.data() + size_t(w.unitCount) * 4 + pos * 4);
}

void SetOffsetAt(WindowRecord& w, size_t pos, uint32_t v) {
  StoreU32(w.units.data() + size_t(w.unitCount) * 4 + pos * 4, v);
}

void ShiftOffsetsAfter(WindowRecord& w, size_t pos, long delta) {
  for (size_t k = pos + 1; k < w.unitCount; ++k)
    SetOffsetAt(w, k, static_cast<uint32_t>(long(OffsetAt(w, k)) + delta));
}

bool ReadWindowRecord(ByteReader& r, WindowRecord* w) {
  w->reservedA = r.u32();
  w->reservedB = r.u32();
  w->reservedTextA = r.countedText();
  w->reservedTextB = r.countedText();
  w->unitCount = r.u32();
  w->units = r.block();
  return r.ok() && UnitListIsSound(*w);
}

}  // namespace

bool WalkUnitRecord(const uint8_t* rec, size_t size, UnitLayout* out) {
  *out = UnitLayout{};
  ByteReader r(rec, size);
  out->type = r.u32();
  out->eventSource = r.u32();
  r.skip(16);
  out->nameOff = r.pos();
  r.zeroText();
  out->secondNameOff = r.pos();
  r.zeroText();
  if (!r.ok()) return false;
  if (out->type == kMenuItemType) return WalkMenuItem(r, out);
  return WalkControlPart(r, out);
}

Bytes BuildUnitRecord(const UnitRecordData& u) {
  ByteWriter w;
  w.u32(u.type);
  w.u32(u.eventSource);
  for (uint32_t v : u.reserved) w.u32(v);
  w.zeroText(u.name);
  w.zeroText(u.secondName);
  w.u32(0);  // object slot
  w.i32(u.left);
  w.i32(u.top);
  w.i32(u.width);
  w.i32(u.height);
  w.u32(0);  // cursor slot
  w.u32(u.parent);
  w.u32(static_cast<uint32_t>(u.children.size()));
  for (uint32_t c : u.children) w.u32(c);
  w.block(u.cursor);
  w.zeroText(u.tag);
  w.u32(0);
  w.u32(u.stateFlags);
  w.i32(u.focusOrder);
  w.u32(static_cast<uint32_t>(u.bindings.size()));
  for (auto [event, handler] : u.bindings) {
    w.i32(event);
    w.i32(handler);
  }
  for (int i = 0; i < 5; ++i) w.u32(0);
  w.raw(u.properties);
  return w.take();
}

std::optional<UnitRecordData> ParseUnitRecord(const uint8_t* rec, size_t size) {
  UnitLayout l;
  if (!WalkUnitRecord(rec, size, &l) || l.menuItem) return std::nullopt;
  UnitRecordData u;
  ByteReader r(rec, size);
  u.type = r.u32();
  u.eventSource = r.u32();
  for (uint32_t& v : u.reserved) v = r.u32();
  u.name = r.zeroText();
  u.secondName = r.zeroText();
  r.u32();
  u.left = r.i32();
  u.top = r.i32();
  u.width = r.i32();
  u.height = r.i32();
  r.u32();
  u.parent = r.u32();
  u.children.resize(r.u32());
  for (uint32_t& c : u.children) c = r.u32();
  u.cursor = r.block();
  u.tag = r.zeroText();
  r.u32();
  u.stateFlags = r.u32();
  u.focusOrder = r.i32();
  u.bindings.resize(r.u32());
  for (auto& b : u.bindings) {
    b.first = r.i32();
    b.second = r.i32();
  }
  r.skip(20);
  const uint8_t* p = r.take(r.remaining());
  if (p) u.properties.assign(p, rec + size);
  return u;
}

Bytes BuildUnitList(const std::vector<uint32_t>& ids, const std::vector<Bytes>& records) {
  ByteWriter head, entries;
  for (uint32_t id : ids) head.u32(id);
  std::vector<uint32_t> offsets;
  for (const Bytes& rec : records) {
    offsets.push_back(static_cast<uint32_t>(entries.size()));
    entries.block(rec);
  }
  for (uint32_t off : offsets) head.u32(off);
  head.raw(entries.bytes());
  return head.take();
}

std::optional<std::vector<WindowRecord>> ParseFormBlock(const uint8_t* data, size_t size) {
  std::vector<WindowRecord> windows;
  if (size == 0) return windows;
  ByteReader r(data, size);
  Bytes table = r.block();
  if (!r.ok() || table.size() % 8 != 0) return std::nullopt;
  size_t n = table.size() / 8;
  windows.resize(n);
  for (size_t i = 0; i < n; ++i) {
    windows[i].formId = LoadU32(table.data() + i * 4);
    if (!ReadWindowRecord(r, &windows[i])) return std::nullopt;
  }
  if (!r.atEnd()) return std::nullopt;
  return windows;
}

Bytes WriteFormBlock(const std::vector<WindowRecord>& windows) {
  ByteWriter table;
  for (const WindowRecord& w : windows) table.u32(w.formId);
  for (size_t i = 0; i < windows.size(); ++i) table.u32(0);
  ByteWriter out;
  out.block(table.bytes());
  for (const WindowRecord& w : windows) {
    out.u32(w.reservedA);
    out.u32(w.reservedB);
    out.countedText(w.reservedTextA);
    out.countedText(w.reservedTextB);
    out.u32(w.unitCount);
    out.block(w.units);
  }
  return out.take();
}

bool UnitListIsSound(const WindowRecord& w) {
  if (w.unitCount > w.units.size() / 8) return false;
  size_t base = TablesEnd(w);
  size_t expected = 0;  // entries follow one another with no gaps
  for (size_t k = 0; k < w.unitCount; ++k) {
    if (OffsetAt(w, k) != expected) return false;
    ByteReader r(w.units.data() + base + expected, w.units.size() - base - expected);
    uint32_t size = r.u32();
    const uint8_t* rec = r.take(size);
    UnitLayout l;
    if (!rec || !WalkUnitRecord(rec, size, &l)) return false;
    expected += 4 + size_t(size);
  }
  return base + expected == w.units.size();
}

uint32_t UnitIdAt(const WindowRecord& w, size_t pos) {
  return pos < w.unitCount ? LoadU32(w.units.data() + pos * 4) : 0;
}

const uint8_t* UnitRecordAt(const WindowRecord& w, size_t pos, uint32_t* size) {
  if (pos >= w.unitCount) return nullptr;
  const uint8_t* entry = w.units.data() + TablesEnd(w) + OffsetAt(w, pos);
  if (size) *size = LoadU32(entry);
  return entry + 4;
}

uint8_t* UnitRecordAt(WindowRecord& w, size_t pos, uint32_t* size) {
  return const_cast<uint8_t*>(UnitRecordAt(static_cast<const WindowRecord&>(w), pos, size));
}

std::optional<UnitRecordData> ParseUnitAt(const WindowRecord& w, size_t pos) {
  uint32_t size = 0;
  const uint8_t* rec = UnitRecordAt(w, pos, &size);
  if (!rec) return std::nullopt;
  return ParseUnitRecord(rec, size);
}

long FindUnitPosition(const WindowRecord& w, uint32_t unitId) {
  if (!IsValidUnitId(unitId)) return -1;
  for (size_t k = 0; k < w.unitCount; ++k)
    if (UnitIdAt(w, k) == unitId) return static_cast<long>(k);
  return -1;
}

bool ReplaceUnitBytes(WindowRecord& w, size_t pos, size_t at, size_t oldLen, const Bytes& with) {
  uint32_t size = 0;
  if (!UnitRecordAt(w, pos, &size) || at > size || oldLen > size - at) return false;
  size_t entry = TablesEnd(w) + OffsetAt(w, pos);
  size_t start = entry + 4 + at;
  w.units.erase(w.units.begin() + start, w.units.begin() + start + oldLen);
  w.units.insert(w.units.begin() + start, with.begin(), with.end());
  long delta = static_cast<long>(with.size()) - static_cast<long>(oldLen);
  StoreU32(w.units.data() + entry, static_cast<uint32_t>(long(size) + delta));
  ShiftOffsetsAfter(w, pos, delta);
  return true;
}

uint32_t InsertUnit(WindowRecord& w, size_t pos, const Bytes& record) {
  if (pos == 0 || pos > w.unitCount) return 0;
  std::set<uint32_t> used;
  for (size_t k = 0; k < w.unitCount; ++k) used.insert(UnitIdAt(w, k) & 0x00FFFFFFu);
  uint32_t low = 1;
  while (used.count(low)) ++low;
  uint32_t id = 0x06000000u | low;

  size_t count = w.unitCount;
  size_t entryOff = pos < count ? OffsetAt(w, pos) : w.units.size() - TablesEnd(w);
  std::vector<uint32_t> ids, offsets;
  for (size_t k = 0; k < count; ++k) {
    ids.push_back(UnitIdAt(w, k));
    offsets.push_back(OffsetAt(w, k));
  }
  Bytes entries(w.units.begin() + TablesEnd(w), w.units.end());
  ByteWriter entry;
  entry.block(record);
  entries.insert(entries.begin() + entryOff, entry.bytes().begin(), entry.bytes().end());
  for (size_t k = pos; k < count; ++k) offsets[k] += static_cast<uint32_t>(entry.size());
  ids.insert(ids.begin() + pos, id);
  offsets.insert(offsets.begin() + pos, static_cast<uint32_t>(entryOff));

  ByteWriter body;
  for (uint32_t v : ids) body.u32(v);
  for (uint32_t v : offsets) body.u32(v);
  body.raw(entries);
  w.units = body.take();
  w.unitCount = static_cast<uint32_t>(count + 1);
  return id;
}

bool RemoveUnit(WindowRecord& w, size_t pos) {
  if (pos == 0 || pos >= w.unitCount) return false;
  size_t count = w.unitCount;
  uint32_t size = 0;
  UnitRecordAt(w, pos, &size);
  size_t entryLen = 4 + size_t(size);
  size_t entryOff = OffsetAt(w, pos);
  std::vector<uint32_t> ids, offsets;
  for (size_t k = 0; k < count; ++k) {
    if (k == pos) continue;
    ids.push_back(UnitIdAt(w, k));
    offsets.push_back(k > pos ? OffsetAt(w, k) - static_cast<uint32_t>(entryLen) : OffsetAt(w, k));
  }
  Bytes entries(w.units.begin() + TablesEnd(w), w.units.end());
  entries.erase(entries.begin() + entryOff, entries.begin() + entryOff + entryLen);
  ByteWriter body;
  for (uint32_t v : ids) body.u32(v);
  for (uint32_t v : offsets) body.u32(v);
  body.raw(entries);
  w.units = body.take();
  w.unitCount = static_cast<uint32_t>(count - 1);
  return true;
}

}  // namespace ts::forms
