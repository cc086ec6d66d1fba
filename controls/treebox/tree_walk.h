// Item indexes of a tree: an item's index is its position in a pre-order
// walk of the whole tree (collapsed branches included).
//
// A tree is reached through a navigator with first root, first child, next
// and previous sibling, and parent (each null when there is none), so the
// same walk runs over the native tree view and over plain test trees.
//
// Translating an index walks from the nearest known position: the first
// root, or the item of the last translation (forward or backward). A loop
// over all items by index therefore costs linear time overall. The
// remembered position must be forgotten (or shifted) whenever items are
// inserted or deleted.
#pragma once

#include <cstdint>

namespace ts::controls {

template <class Nav>
class PreorderIndex {
 public:
  using Item = typename Nav::Item;

  explicit PreorderIndex(Nav nav) : nav_(nav) {}
  Nav& nav() { return nav_; }

  void Forget() {
    cachedIndex_ = -1;
    cachedItem_ = Item{};
  }
  // Remembers a known (index, item) pair.
  void Remember(int32_t index, Item item) {
    cachedIndex_ = item ? index : -1;
    cachedItem_ = item;
  }
  // An item was inserted at `index`: the remembered item moved down by one
  // when it lay at or after that position.
  void Inserted(int32_t index) {
    if (cachedIndex_ >= 0 && cachedIndex_ >= index) ++cachedIndex_;
  }

  // The next item in pre-order, or null.
  Item Next(Item item) {
    if (Item child = nav_.child(item)) return child;
    for (Item at = item; at; at = nav_.parent(at)) {
      if (Item next = nav_.next(at)) return next;
    }
    return Item{};
  }
  // The item after the whole subtree of `item`, or null.
  Item NextSkippingChildren(Item item) {
    for (Item at = item; at; at = nav_.parent(at)) {
      if (Item next = nav_.next(at)) return next;
    }
    return Item{};
  }
  // The previous item in pre-order, or null.
  Item Prev(Item item) {
    Item before = nav_.prev(item);
    if (!before) return nav_.parent(item);
    return LastDescendant(before);
  }
  // The last item of the subtree of `item` in pre-order (item itself when
  // it has no children).
  Item LastDescendant(Item item) {
    Item at = item;
    for (Item child = nav_.child(at); child; child = nav_.child(at)) {
      at = child;
      for (Item next = nav_.next(at); next; next = nav_.next(at)) at = next;
    }
    return at;
  }

  // The item at an index, or null when there is none. `count` is the total
  // number of items (an upper bound that saves walking off the end).
  Item At(int32_t index, int32_t count) {
    if (index < 0 || index >= count) return Item{};
    int32_t fromRoot = index;
    int32_t fromCache = cachedIndex_ >= 0 ? (index >= cachedIndex_ ? index - cachedIndex_ : cachedIndex_ - index)
                                          : INT32_MAX;
    Item at;
    int32_t pos;
    if (fromCache <= fromRoot) {
      at = cachedItem_;
      pos = cachedIndex_;
    } else {
      at = nav_.root();
      pos = 0;
    }
    while (at && pos < index) {
      at = Next(at);
      ++pos;
    }
    while (at && pos > index) {
      at = Prev(at);
      --pos;
    }
    if (at) Remember(index, at);
    return at;
  }

  // The index of an item by a walk from the first root; -1 when the item
  // is not in the tree.
  int32_t IndexOf(Item item) {
    if (!item) return -1;
    if (cachedIndex_ >= 0 && cachedItem_ == item) return cachedIndex_;
    int32_t pos = 0;
    for (Item at = nav_.root(); at; at = Next(at), ++pos) {
      if (at == item) {
        Remember(pos, at);
        return pos;
      }
    }
    return -1;
  }

  // The index of the parent of the item at `index`: -1 for a top-level
  // item or an index that does not exist. Walks back from the item to its
  // parent, so the cost is the item's distance from its parent.
  int32_t ParentIndex(int32_t index, int32_t count) {
    Item item = At(index, count);
    if (!item) return -1;
    Item parent = nav_.parent(item);
    if (!parent) return -1;
    int32_t pos = index;
    for (Item at = item; at && at != parent; at = Prev(at)) --pos;
    return pos;
  }

  // The index of an item just added as the last child of the item at
  // `parentIndex` (-1: top level); `count` includes the new item.
  int32_t IndexOfNewLastChild(Item item, int32_t parentIndex, int32_t count) {
    if (!NextSkippingChildren(item)) return count - 1;  // the tree's last item
    if (parentIndex < 0) return IndexOf(item);
    // Between the parent and the new item lie the parent's other descendants.
    int32_t steps = 0;
    Item parent = nav_.parent(item);
    for (Item at = item; at && at != parent; at = Prev(at)) ++steps;
    return parentIndex + steps;
  }

 private:
  Nav nav_;
  int32_t cachedIndex_ = -1;
  Item cachedItem_{};
};

}  // namespace ts::controls
