// A copy of a tree's shape that translates pre-order indexes: the item at an
// index, an item's index, the index of an item's parent and the end of an
// item's subtree. Kept up to date by the owner on every insertion it makes,
// so that none of these asks the native control (whose item lookups grow with
// the number of items). When the tree changes in a way the owner did not
// track, the copy is marked stale and rebuilt from one walk.
//
// Every item knows its parent, its place among its siblings and the size of
// its subtree; every list of siblings (the top level included) keeps prefix
// sums of its members' subtree sizes in a Fenwick tree. An index is found by
// descending from the top level, choosing at each level the sibling whose
// subtree holds it; an item's index counts its ancestors and, for the item
// and each ancestor, the subtrees of the siblings before it. Adding a last
// child updates the sizes and prefix sums of its ancestors only, so a child
// under an early root costs as little as one under the last.
// Costs, with d the depth and k the largest number of siblings on the way:
// At, ParentIndex and SubtreeEnd O(d log k); AddLastChild O(d log k)
// amortised; IndexOf a scan for the item plus O(d log k); Rebuild O(n).
#pragma once

#include <bit>
#include <cstdint>
#include <vector>

namespace ts::controls {

template <class Item>
class ItemOrder {
 public:
  bool valid() const { return valid_; }
  void Invalidate() {
    Reset();
    valid_ = false;
  }
  // The tree is empty now.
  void Reset() {
    nodes_.clear();
    families_.assign(1, Family{});
    valid_ = true;
  }
  // Rebuilds from a pre-order walk: walk(add) calls add(item, parentIndex)
  // for every item in order.
  template <class Walk>
  void Rebuild(Walk&& walk) {
    Reset();
    // In a pre-order walk the node numbers are the indexes.
    walk([this](Item item, int32_t parent) {
      const auto node = static_cast<int32_t>(nodes_.size());
      nodes_.push_back(Node{item, parent, 0, 1, kNoFamily});
      Family& family = FamilyOf(parent);
      nodes_[static_cast<size_t>(node)].slot = static_cast<int32_t>(family.size());
      family.push_back(Member{node, 0});
    });
    // Subtree sizes from the last item back, then each family's prefix sums
    // in one pass.
    for (size_t i = nodes_.size(); i-- > 0;) {
      if (nodes_[i].parent >= 0) NodeAt(nodes_[i].parent).size += nodes_[i].size;
    }
    for (Family& family : families_) {
      for (size_t i = 1; i <= family.size(); ++i) {
        family[i - 1].sum += NodeAt(family[i - 1].node).size;
        const size_t up = i + LowBit(i);
        if (up <= family.size()) family[up - 1].sum += family[i - 1].sum;
      }
    }
  }

  int32_t size() const { return static_cast<int32_t>(nodes_.size()); }
  Item At(int32_t index) const {
    const Place place = Find(index);
    return place.node >= 0 ? NodeAt(place.node).item : Item{};
  }
  int32_t ParentIndex(int32_t index) const { return Find(index).parentIndex; }
  int32_t IndexOf(Item item) const {
    for (size_t i = 0; i < nodes_.size(); ++i) {
      if (nodes_[i].item == item) return IndexOfNode(static_cast<int32_t>(i));
    }
    return -1;
  }
  // One past the last index of the subtree of the item at `index`.
  int32_t SubtreeEnd(int32_t index) const {
    const Place place = Find(index);
    return place.node >= 0 ? index + NodeAt(place.node).size : size();
  }

  // Records `item` added as the last child of the item at `parentIndex`
  // (-1 or an index out of range: top level); its index.
  int32_t AddLastChild(int32_t parentIndex, Item item) {
    const int32_t parent = Find(parentIndex).node;
    const int32_t at = parent >= 0 ? parentIndex + NodeAt(parent).size : size();
    const auto node = static_cast<int32_t>(nodes_.size());
    nodes_.push_back(Node{item, parent, 0, 1, kNoFamily});
    Family& family = FamilyOf(parent);
    nodes_.back().slot = static_cast<int32_t>(family.size());
    Append(family, node, 1);
    for (int32_t up = parent; up >= 0; up = NodeAt(up).parent) {
      ++NodeAt(up).size;
      Add(families_[SiblingsOf(up)], NodeAt(up).slot, 1);
    }
    return at;
  }

 private:
  static constexpr int32_t kNoFamily = -1;
  struct Node {
    Item item;
    int32_t parent;  // node number, -1 at top level
    int32_t slot;    // place among its siblings
    int32_t size;    // items in its subtree, itself included
    int32_t family;  // its children, kNoFamily before the first one
  };
  // One child and its Fenwick slot: slot i (from 1) holds the sum of the
  // subtree sizes of children (i - lowbit(i), i].
  struct Member {
    int32_t node;
    int32_t sum;
  };
  using Family = std::vector<Member>;
  struct Place {
    int32_t node;         // -1 when the index does not exist
    int32_t parentIndex;  // -1 at top level
  };

  static size_t LowBit(size_t i) { return i & (~i + 1); }

  Node& NodeAt(int32_t node) { return nodes_[static_cast<size_t>(node)]; }
  const Node& NodeAt(int32_t node) const { return nodes_[static_cast<size_t>(node)]; }
  // The children of `node` (the top level for -1), created when missing.
  Family& FamilyOf(int32_t node) {
    if (node < 0) return families_[0];
    if (NodeAt(node).family == kNoFamily) {
      NodeAt(node).family = static_cast<int32_t>(families_.size());
      families_.emplace_back();
    }
    return families_[static_cast<size_t>(NodeAt(node).family)];
  }
  // The family `node` belongs to.
  size_t SiblingsOf(int32_t node) const {
    const int32_t parent = NodeAt(node).parent;
    return parent < 0 ? 0 : static_cast<size_t>(NodeAt(parent).family);
  }

  // Items in the subtrees of the first `count` children.
  static int32_t Before(const Family& family, size_t count) {
    int32_t sum = 0;
    for (size_t i = count; i > 0; i -= LowBit(i)) sum += family[i - 1].sum;
    return sum;
  }
  static void Add(Family& family, int32_t slot, int32_t delta) {
    for (size_t i = static_cast<size_t>(slot) + 1; i <= family.size(); i += LowBit(i)) family[i - 1].sum += delta;
  }
  // A new last child whose subtree holds `items`.
  static void Append(Family& family, int32_t node, int32_t items) {
    const size_t i = family.size() + 1;
    family.push_back(Member{node, items + Before(family, i - 1) - Before(family, i - LowBit(i))});
  }

  // The item at `index` and its parent's index. Descends one level at a time:
  // among the siblings, the one whose subtree holds the remaining offset.
  Place Find(int32_t index) const {
    if (index < 0 || index >= size()) return Place{-1, -1};
    const Family* family = &families_[0];
    int32_t offset = index;  // from the first item of `family`
    int32_t parentIndex = -1;
    for (;;) {
      size_t slot = 0;
      for (size_t step = std::bit_floor(family->size()); step > 0; step >>= 1) {
        if (slot + step <= family->size() && (*family)[slot + step - 1].sum <= offset) {
          slot += step;
          offset -= (*family)[slot - 1].sum;
        }
      }
      const int32_t node = (*family)[slot].node;
      if (offset == 0) return Place{node, parentIndex};
      parentIndex = index - offset;  // the item found is on the way down
      offset -= 1;
      family = &families_[static_cast<size_t>(NodeAt(node).family)];
    }
  }
  int32_t IndexOfNode(int32_t node) const {
    int32_t index = 0;
    for (int32_t at = node; at >= 0; at = NodeAt(at).parent) {
      index += Before(families_[SiblingsOf(at)], static_cast<size_t>(NodeAt(at).slot));
      if (NodeAt(at).parent >= 0) ++index;  // the parent itself
    }
    return index;
  }

  std::vector<Node> nodes_;       // in order of addition (of the walk after a rebuild)
  std::vector<Family> families_;  // [0] is the top level
  bool valid_ = false;
};

}  // namespace ts::controls
