// The scan's large indexes as open-addressing hash tables: one array of
// small slots, no heap node per entry (a node costs more than the entry it
// holds under the process heap's headers and rounding), grown by doubling
// when seven eighths full (slots are small and probed in a row, so a full
// table costs little time and saves much memory). A whole-disk scan keeps several per-file
// indexes at once, so their bytes per entry decide how many files fit in a
// 32-bit process.
//
// A Slot is a small trivially copyable record with `bool empty() const`,
// and `Slot()` is an empty slot. Its hash is the caller's: given when a slot
// is looked up or inserted, and asked again of `Hasher` when the table
// grows (so that a slot may name its key instead of holding it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ts::app {

template <typename Slot, typename Hasher>
class FlatTable {
 public:
  explicit FlatTable(Hasher hasher = Hasher()) : hasher_(hasher) {}

  // The slot for which `matches(slot)` holds, or null.
  template <typename Match>
  Slot* Find(size_t hash, Match matches) {
    return const_cast<Slot*>(static_cast<const FlatTable*>(this)->Find(hash, matches));
  }
  template <typename Match>
  const Slot* Find(size_t hash, Match matches) const {
    if (slots_.empty()) return nullptr;
    for (size_t at = hash & mask();; at = (at + 1) & mask()) {
      const Slot& slot = slots_[at];
      if (slot.empty()) return nullptr;
      if (matches(slot)) return &slot;
    }
  }
  // Adds a slot whose key is not in the table; returns where it now is.
  Slot* Insert(size_t hash, const Slot& slot) {
    if ((count_ + 1) * 8 > slots_.size() * 7) Grow();
    ++count_;
    return Place(hash, slot);
  }
  size_t size() const { return count_; }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Slot& slot : slots_) {
      if (!slot.empty()) visit(slot);
    }
  }
  // Empties the table and gives its memory back.
  void Clear() {
    std::vector<Slot>().swap(slots_);
    count_ = 0;
  }

 private:
  size_t mask() const { return slots_.size() - 1; }
  Slot* Place(size_t hash, const Slot& slot) {
    size_t at = hash & mask();
    while (!slots_[at].empty()) at = (at + 1) & mask();
    slots_[at] = slot;
    return &slots_[at];
  }
  void Grow() {
    std::vector<Slot> old(slots_.empty() ? 16 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
      if (!slot.empty()) Place(hasher_(slot), slot);
    }
  }

  std::vector<Slot> slots_;  // a power of two in size, or none
  size_t count_ = 0;
  Hasher hasher_;
};

// A 64-bit key in three 4-byte words with a 4-byte value, so that a slot
// takes 12 bytes, not 16. `value` UINT32_MAX marks an empty slot.
struct KeyedSlot {
  uint32_t low = 0, high = 0;
  uint32_t value = UINT32_MAX;
  KeyedSlot() = default;
  KeyedSlot(uint64_t key, uint32_t v) : low(static_cast<uint32_t>(key)), high(static_cast<uint32_t>(key >> 32)), value(v) {}
  bool empty() const { return value == UINT32_MAX; }
  uint64_t key() const { return (static_cast<uint64_t>(high) << 32) | low; }
};

// Spreads a 64-bit number over a table's slots.
inline size_t MixHash(uint64_t v) {
  v ^= v >> 33;
  v *= 0xff51afd7ed558ccdULL;
  v ^= v >> 33;
  return static_cast<size_t>(v);
}

struct KeyedSlotHash {
  size_t operator()(const KeyedSlot& slot) const { return MixHash(slot.key()); }
};

// A table of 4-byte values by 64-bit key.
class KeyedTable {
 public:
  uint32_t* Find(uint64_t key) {
    KeyedSlot* slot = table_.Find(MixHash(key), [&](const KeyedSlot& s) { return s.key() == key; });
    return slot ? &slot->value : nullptr;
  }
  // Adds a key not in the table; returns its value's place.
  uint32_t* Insert(uint64_t key, uint32_t value) { return &table_.Insert(MixHash(key), KeyedSlot(key, value))->value; }
  template <typename Visit>
  void ForEach(Visit visit) const {
    table_.ForEach([&](const KeyedSlot& s) { visit(s.key(), s.value); });
  }
  size_t size() const { return table_.size(); }
  void Clear() { table_.Clear(); }

 private:
  FlatTable<KeyedSlot, KeyedSlotHash> table_;
};

}  // namespace ts::app
