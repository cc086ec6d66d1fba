// Index translation over a plain tree, checked against a full pre-order
// listing after every step of a random mix of lookups and insertions.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "controls/treebox/item_order.h"
#include "controls/treebox/tree_walk.h"

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

struct Nav {
  using Item = int;  // node + 1
  const Forest* f;
  int root() const { return f->roots.empty() ? 0 : f->roots[0] + 1; }
  int child(int i) const {
    const auto& c = f->nodes[static_cast<size_t>(i - 1)].children;
    return c.empty() ? 0 : c[0] + 1;
  }
  int sibling(int i, int step) const {
    const auto& s = f->Siblings(i - 1);
    for (size_t k = 0; k < s.size(); ++k) {
      if (s[k] != i - 1) continue;
      long j = static_cast<long>(k) + step;
      return j >= 0 && j < static_cast<long>(s.size()) ? s[static_cast<size_t>(j)] + 1 : 0;
    }
    return 0;
  }
  int next(int i) const { return sibling(i, 1); }
  int prev(int i) const { return sibling(i, -1); }
  int parent(int i) const { return f->nodes[static_cast<size_t>(i - 1)].parent + 1; }
};

TEST(PreorderIndex, AgreesWithAFullListingThroughLookupsAndInsertions) {
  Forest forest;
  ts::controls::PreorderIndex<Nav> index(Nav{&forest});
  std::mt19937 rng(12345);
  for (int step = 0; step < 3000; ++step) {
    std::vector<int> order = forest.Preorder();
    int count = static_cast<int>(order.size());
    int pick = count ? static_cast<int>(rng() % static_cast<unsigned>(count + 2)) - 1 : -1;
    if (rng() % 3 == 0) {
      // Insert as the last child of the item at `pick` (top level if none).
      int parentNode = pick >= 0 && pick < count ? order[static_cast<size_t>(pick)] : -1;
      int parentIndex = parentNode >= 0 ? pick : -1;
      int id = forest.Add(parentNode);
      std::vector<int> after = forest.Preorder();
      int expected = static_cast<int>(std::find(after.begin(), after.end(), id) - after.begin());
      index.Forget();  // as the control does on every insertion message
      ASSERT_EQ(index.IndexOfNewLastChild(id + 1, parentIndex, count + 1), expected) << step;
      index.Remember(expected, id + 1);
      continue;
    }
    int got = index.At(pick, count);
    int want = pick >= 0 && pick < count ? order[static_cast<size_t>(pick)] + 1 : 0;
    ASSERT_EQ(got, want) << "step " << step << " index " << pick;
    if (want) {
      int p = forest.nodes[static_cast<size_t>(want - 1)].parent;
      int parentIndex = p < 0 ? -1 : static_cast<int>(std::find(order.begin(), order.end(), p) - order.begin());
      ASSERT_EQ(index.ParentIndex(pick, count), parentIndex) << step;
      ASSERT_EQ(index.IndexOf(want), pick);
    }
  }
}

TEST(PreorderIndex, AForwardLoopOverAllItemsTakesLinearSteps) {
  Forest forest;
  for (int g = 0; g < 2000; ++g) forest.Add(forest.Add(-1));
  struct Counting : Nav {
    long* calls;
    int root() const { ++*calls; return Nav::root(); }
    int child(int i) const { ++*calls; return Nav::child(i); }
    int next(int i) const { ++*calls; return Nav::next(i); }
    int prev(int i) const { ++*calls; return Nav::prev(i); }
    int parent(int i) const { ++*calls; return Nav::parent(i); }
  };
  long calls = 0;
  Counting nav;
  nav.f = &forest;
  nav.calls = &calls;
  ts::controls::PreorderIndex<Counting> index(nav);
  for (int i = 0; i < 4000; ++i) ASSERT_NE(index.At(i, 4000), 0);
  for (int i = 0; i < 4000; ++i) index.ParentIndex(i, 4000);
  EXPECT_LT(calls, 4000L * 20);
}

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
