#include "forms/registry.h"

#include "runtime/error.h"

namespace ts::forms {

namespace {

std::optional<UnitRef> MakeRef(WindowRecord& w, size_t position) {
  UnitRef u;
  u.record = UnitRecordAt(w, position, &u.size);
  if (!u.record) return std::nullopt;
  UnitLayout l;
  if (!WalkUnitRecord(u.record, u.size, &l)) return std::nullopt;
  u.position = position;
  u.unitId = UnitIdAt(w, position);
  if (!l.menuItem) {
    u.objectSlot = u.record + l.e;
    u.cursorSlot = u.record + l.e + 20;
  }
  return u;
}

uint32_t Relocate(uint32_t offset, uintptr_t codeBase) {
  if (static_cast<int32_t>(offset) == kNoHandlerOffset) return 0;
  return static_cast<uint32_t>(codeBase + offset);
}

// The handler bound to `event` in an already relocated unit record.
uintptr_t BoundHandler(const uint8_t* rec, const UnitLayout& l, int32_t event) {
  if (l.menuItem) return LoadU32(rec + l.menuHandlerOff);
  for (uint32_t k = 0; k < l.eventCount; ++k) {
    const uint8_t* b = rec + l.bindingsOff + size_t(k) * 8;
    if (static_cast<int32_t>(LoadU32(b)) == event) return LoadU32(b + 4);
  }
  return 0;
}

}  // namespace

bool RelocateHandlers(WindowRecord& w, uintptr_t codeBase) {
  for (size_t k = 0; k < w.unitCount; ++k) {
    uint32_t size = 0;
    uint8_t* rec = UnitRecordAt(w, k, &size);
    UnitLayout l;
    if (!rec || !WalkUnitRecord(rec, size, &l)) return false;
    if (l.menuItem) {
      uint8_t* h = rec + l.menuHandlerOff;
      StoreU32(h, Relocate(LoadU32(h), codeBase));
      continue;
    }
    for (uint32_t b = 0; b < l.eventCount; ++b) {
      uint8_t* h = rec + l.bindingsOff + size_t(b) * 8 + 4;
      StoreU32(h, Relocate(LoadU32(h), codeBase));
    }
  }
  return true;
}

bool WindowRegistry::Load(const uint8_t* block, size_t size, uintptr_t codeBase) {
  windows_.clear();
  auto windows = ParseFormBlock(block, size);
  if (!windows) return false;
  for (WindowRecord& w : *windows)
    if (!RelocateHandlers(w, codeBase)) return false;
  windows_ = std::move(*windows);
  return true;
}

WindowRecord* WindowRegistry::WindowAt(size_t position) {
  return position < windows_.size() ? &windows_[position] : nullptr;
}

WindowRecord* WindowRegistry::FindForm(uint32_t formId, size_t* position) {
  for (size_t i = 0; i < windows_.size(); ++i) {
    if (windows_[i].formId != formId) continue;
    if (position) *position = i;
    return &windows_[i];
  }
  return nullptr;
}

std::optional<UnitRef> WindowRegistry::UnitAt(WindowRecord& w, size_t position) {
  return MakeRef(w, position);
}

std::optional<UnitRef> WindowRegistry::FindUnit(WindowRecord& w, uint32_t unitId) {
  long pos = FindUnitPosition(w, unitId);
  if (pos < 0) return std::nullopt;
  return MakeRef(w, static_cast<size_t>(pos));
}

PropertyData WindowRegistry::PropertiesOf(const UnitRef& unit) {
  UnitLayout l;
  if (!unit.record || !WalkUnitRecord(unit.record, unit.size, &l) || l.menuItem) return {};
  return {unit.record + l.propOff, l.propLen};
}

EventLookup WindowRegistry::FindEvent(uint32_t formId, uint32_t unitId, int32_t event,
                                      EventTarget* target) {
  *target = EventTarget{};
  WindowRecord* w = FindForm(formId);
  if (!w) return EventLookup::NoWindow;
  std::optional<UnitRef> unit = unitId == 0 ? UnitAt(*w, 0) : FindUnit(*w, unitId);
  if (!unit) return EventLookup::NoUnit;
  UnitLayout l;
  if (!WalkUnitRecord(unit->record, unit->size, &l)) return EventLookup::NoUnit;
  target->sourceUnitId = unit->unitId;

  // A link to another unit of the same type lends that unit's bindings; a
  // chain is followed at most unitCount steps so that a cycle cannot hang.
  const uint8_t* rec = unit->record;
  for (uint32_t steps = 0; l.eventSource != 0 && steps < w->unitCount; ++steps) {
    std::optional<UnitRef> src = FindUnit(*w, l.eventSource);
    UnitLayout sl;
    if (!src || !WalkUnitRecord(src->record, src->size, &sl) || sl.type != l.type) break;
    rec = src->record;
    l = sl;
  }
  target->unitType = l.type;
  target->handler = BoundHandler(rec, l, event);
  return EventLookup::Found;
}

uintptr_t WindowRegistry::FindEventHandler(uint32_t formId, uint32_t unitId, int32_t event,
                                           bool suppressed, uint32_t (*typeFlags)(uint32_t)) {
  if (suppressed) return 0;
  EventTarget t;
  switch (FindEvent(formId, unitId, event, &t)) {
    case EventLookup::NoWindow: ReportRuntimeError("未找到引发事件的窗口");
    case EventLookup::NoUnit: ReportRuntimeError("未找到引发事件的窗口组件");
    case EventLookup::Found: break;
  }
  if ((typeFlags(t.unitType) & (0x04u | 0x40u)) == 0)
    ReportRuntimeError("引发事件的窗口组件无效");
  return t.handler;
}

WindowRegistry& Registry() {
  static WindowRegistry registry;
  return registry;
}

}  // namespace ts::forms
