// A copy of a tree's shape in pre-order: the item at each index and the
// index of its parent. Kept up to date by the owner on every insertion it
// makes, so that translating indexes, finding parents and finding the end of
// a subtree never ask the native control (whose item lookups grow with the
// number of items). When the tree changes in a way the owner did not track,
// the copy is marked stale and rebuilt from one walk.
#pragma once

#include <cstdint>
#include <vector>

namespace ts::controls {

template <class Item>
class ItemOrder {
 public:
  bool valid() const { return valid_; }
  void Invalidate() {
    valid_ = false;
    items_.clear();
    parents_.clear();
  }
  // The tree is empty now.
  void Reset() {
    items_.clear();
    parents_.clear();
    valid_ = true;
  }
  // Rebuilds from a pre-order walk: walk(add) calls add(item, parentIndex)
  // for every item in order.
  template <class Walk>
  void Rebuild(Walk&& walk) {
    Reset();
    walk([this](Item item, int32_t parent) {
      items_.push_back(item);
      parents_.push_back(parent);
    });
  }

  int32_t size() const { return static_cast<int32_t>(items_.size()); }
  Item At(int32_t index) const { return InRange(index) ? items_[index] : Item{}; }
  int32_t ParentIndex(int32_t index) const { return InRange(index) ? parents_[index] : -1; }
  int32_t IndexOf(Item item) const {
    for (int32_t i = 0; i < size(); ++i) {
      if (items_[i] == item) return i;
    }
    return -1;
  }

  // One past the last index of the subtree of the item at `index`.
  int32_t SubtreeEnd(int32_t index) const {
    const int32_t n = size();
    if (!InRange(index)) return n;
    // Common case: the subtree runs to the end of the tree.
    if (IsAncestorOrSelf(index, n - 1)) return n;
    // Items after the subtree have their parent before `index`.
    int32_t end = index + 1;
    while (end < n && parents_[end] >= index) ++end;
    return end;
  }

  // Records `item` added as the last child of the item at `parentIndex`
  // (-1 or an index out of range: top level); its index.
  int32_t AddLastChild(int32_t parentIndex, Item item) {
    if (!InRange(parentIndex)) parentIndex = -1;
    const int32_t at = parentIndex < 0 ? size() : SubtreeEnd(parentIndex);
    items_.insert(items_.begin() + at, item);
    parents_.insert(parents_.begin() + at, parentIndex);
    for (int32_t i = at + 1; i < size(); ++i) {
      if (parents_[i] >= at) ++parents_[i];
    }
    return at;
  }

 private:
  bool InRange(int32_t index) const { return index >= 0 && index < size(); }
  bool IsAncestorOrSelf(int32_t ancestor, int32_t index) const {
    for (int32_t at = index; at >= ancestor; at = parents_[at]) {
      if (at == ancestor) return true;
    }
    return false;
  }

  std::vector<Item> items_;
  std::vector<int32_t> parents_;
  bool valid_ = false;
};

}  // namespace ts::controls
