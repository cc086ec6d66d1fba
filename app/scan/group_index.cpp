#include "app/scan/group_index.h"

#include <cstring>

namespace ts::app {

size_t DigestHash::operator()(const Digest& d) const noexcept {
  size_t h;
  std::memcpy(&h, d.data(), sizeof h);  // MD5 bits are already well mixed
  return h;
}

void GroupIndex::Clear() {
  rowOf_.Clear();
  rows_.clear();
  groupSizes_.clear();
  fenwick_.clear();
  creationIndex_.clear();
  treeItems_ = 0;
}

void GroupIndex::FenwickAdd(uint32_t group, uint32_t delta) {
  for (size_t i = group + 1; i <= fenwick_.size(); i += i & (~i + 1)) fenwick_[i - 1] += delta;
}

uint32_t GroupIndex::FenwickPrefix(uint32_t count) const {
  uint32_t sum = 0;
  for (size_t i = count; i > 0; i -= i & (~i + 1)) sum += fenwick_[i - 1];
  return sum;
}

uint32_t GroupIndex::RootIndex(uint32_t group) const { return FenwickPrefix(group); }

GroupIndex::Known GroupIndex::Look(const Digest& digest) const {
  const RowSlot* found =
      rowOf_.Find(DigestHash()(digest), [&](const RowSlot& slot) { return rows_[slot.row].digest == digest; });
  if (!found) return Known{UINT32_MAX, false};
  return Known{rows_[found->row].first, rows_[found->row].group >= 0};
}

GroupIndex::Step GroupIndex::Add(const Digest& digest, uint32_t file) {
  const size_t hash = DigestHash()(digest);
  const RowSlot* found = rowOf_.Find(hash, [&](const RowSlot& slot) { return rows_[slot.row].digest == digest; });
  if (!found) {
    const uint32_t row = static_cast<uint32_t>(rows_.size());
    rows_.push_back(Row{digest, file, -1});
    rowOf_.Insert(hash, RowSlot{row});
    return Step{Kind::FirstOfDigest, row, 0, 0, 0, file};
  }
  const uint32_t row = found->row;
  Row& r = rows_[row];
  if (r.group < 0) {
    // The new group goes after every existing item: its root's index is the
    // item count, and its first child follows the root directly.
    uint32_t group = static_cast<uint32_t>(groupSizes_.size());
    r.group = static_cast<int32_t>(group);
    uint32_t rootIndex = treeItems_;
    groupSizes_.push_back(2);
    // Grow the Fenwick tree by one slot: slot i covers (i - lowbit(i), i].
    size_t i = fenwick_.size() + 1;
    uint32_t covered = FenwickPrefix(static_cast<uint32_t>(i - 1)) - FenwickPrefix(static_cast<uint32_t>(i - (i & (~i + 1))));
    fenwick_.push_back(covered + 2);
    creationIndex_.push_back(rootIndex);
    treeItems_ += 2;
    return Step{Kind::NewGroup, row, group, rootIndex, rootIndex + 1, r.first};
  }
  uint32_t group = static_cast<uint32_t>(r.group);
  uint32_t rootIndex = RootIndex(group);
  uint32_t childIndex = rootIndex + groupSizes_[group];
  ++groupSizes_[group];
  FenwickAdd(group, 1);
  ++treeItems_;
  return Step{Kind::JoinGroup, row, group, rootIndex, childIndex, r.first};
}

}  // namespace ts::app
