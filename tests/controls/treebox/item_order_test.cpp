// The tree box's copy of its tree's shape, checked against a full pre-order
// listing of a plain tree through random insertions, removals and rebuilds.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "controls/treebox/item_order.h"

namespace {

struct Node {
  int parent = -1;
  std::vector<int> children;
};

// Items are node numbers + 1 so that 0 is "none".
struct Forest {
  std::vector<Node> nodes;
  std::vector<int> roots;
  int Add(int parent) {
    nodes.push_back({parent, {}});
    int id = static_cast<int>(nodes.size()) - 1;
    (parent < 0 ? roots : nodes[static_cast<size_t>(parent)].children).push_back(id);
    return id;
  }
  const std::vector<int>& Siblings(int id) const {
    int p = nodes[static_cast<size_t>(id)].parent;
    return p < 0 ? roots : nodes[static_cast<size_t>(p)].children;
  }
  void Listing(int id, std::vector<int>& out) const {
    out.push_back(id);
    for (int c : nodes[static_cast<size_t>(id)].children) Listing(c, out);
  }
  std::vector<int> Preorder() const {
    std::vector<int> out;
    for (int r : roots) Listing(r, out);
    return out;
  }
};

// The shape copy after random insertions (middle groups included) must give
// the same items, indexes, parents and subtree ends as the tree; so must a
// copy rebuilt after items were removed, and further insertions into it.
TEST(ItemOrder, AgreesWithTheTreeThroughInsertionsRemovalsAndRebuilds) {
  Forest forest;
  ts::controls::ItemOrder<int> order;
  order.Reset();
  std::mt19937 rng(777);
  auto check = [&](int step) {
    std::vector<int> want = forest.Preorder();
    ASSERT_EQ(order.size(), static_cast<int>(want.size())) << step;
    for (size_t i = 0; i < want.size(); ++i) {
      const int idx = static_cast<int>(i);
      ASSERT_EQ(order.At(idx), want[i] + 1) << step;
      ASSERT_EQ(order.IndexOf(want[i] + 1), idx) << step;
      int p = forest.nodes[static_cast<size_t>(want[i])].parent;
      int pi = p < 0 ? -1 : static_cast<int>(std::find(want.begin(), want.end(), p) - want.begin());
      ASSERT_EQ(order.ParentIndex(idx), pi) << step << " at " << i;
      std::vector<int> sub;
      forest.Listing(want[i], sub);
      ASSERT_EQ(order.SubtreeEnd(idx), idx + static_cast<int>(sub.size())) << step;
    }
    ASSERT_EQ(order.At(-1), 0);
    ASSERT_EQ(order.At(order.size()), 0);
    ASSERT_EQ(order.ParentIndex(order.size()), -1);
  };
  // As the control does after a change it did not track: one walk.
  auto rebuild = [&] {
    order.Rebuild([&](auto add) {
      std::vector<int> list = forest.Preorder();
      for (int node : list) {
        int p = forest.nodes[static_cast<size_t>(node)].parent;
        add(node + 1, p < 0 ? -1 : static_cast<int>(std::find(list.begin(), list.end(), p) - list.begin()));
      }
    });
  };
  for (int step = 0; step < 900; ++step) {
    std::vector<int> list = forest.Preorder();
    int count = static_cast<int>(list.size());
    // Indexes past the end stand for "top level", as in the control.
    int pick = static_cast<int>(rng() % static_cast<unsigned>(count + 3)) - 1;
    int parentNode = pick >= 0 && pick < count ? list[static_cast<size_t>(pick)] : -1;
    if (step % 300 == 299 && parentNode >= 0) {
      // Remove the picked item's subtree (its nodes stay, unreachable).
      auto& siblings = const_cast<std::vector<int>&>(forest.Siblings(parentNode));
      siblings.erase(std::find(siblings.begin(), siblings.end(), parentNode));
      rebuild();
      ASSERT_TRUE(order.valid());
      check(step);
      continue;
    }
    int id = forest.Add(parentNode);
    std::vector<int> after = forest.Preorder();
    int expected = static_cast<int>(std::find(after.begin(), after.end(), id) - after.begin());
    ASSERT_EQ(order.AddLastChild(pick, id + 1), expected) << step;
    if (step % 50 == 0) check(step);
  }
  check(-1);
  order.Invalidate();
  EXPECT_FALSE(order.valid());
  EXPECT_EQ(order.size(), 0);
}

}  // namespace
