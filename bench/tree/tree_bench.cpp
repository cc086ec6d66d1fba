// Tree box speed. Two modes:
//   bench_tree [groups] [visible]
//     50,000 groups of two items (100,000 items), then check states and
//     parents over all of them by index; the window is hidden unless the
//     second argument is 1.
//   bench_tree copies [groups...]
//     three copies of one folder, as a scan adds them: a root and a child
//     per group for the second copy, then one more child under every early
//     root, in group order, for the third. Times the item order alone (the
//     tree box's bookkeeping, replayed without a control) and the whole
//     tree box, for 10,000 and 30,000 groups unless sizes are given.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/clock.h"
#include "controls/treebox/treebox.h"

namespace {

using ts::controls::ItemOrder;
using ts::controls::TreeBox;
using ts::controls::TreeItemSpec;

TreeBox* CreateTree(HWND host) {
  ts::forms::TreeBoxProps props;
  props.checkBoxes = 1;
  ts::forms::Bytes record = ts::forms::WriteRecord(props);
  ts::forms::CreateArgs args;
  args.data = record.data();
  args.size = static_cast<uint32_t>(record.size());
  args.parent = host;
  args.menuOrId = 100;
  args.width = 300;
  args.height = 200;
  args.formId = 1;
  args.unitId = 1;
  return static_cast<TreeBox*>(TreeBox::CreateUnit(args));
}

int GroupsOfTwo(HWND host, int groups, bool visible) {
  TreeBox* tree = CreateTree(host);
  if (tree == nullptr) {
    std::printf("tree box could not be created\n");
    return 1;
  }
  if (visible) {
    ::ShowWindow(host, SW_SHOW);
    ::ShowWindow(tree->handle(), SW_SHOW);
    ::UpdateWindow(host);
  }
  const double t0 = bench::Now();
  TreeItemSpec desc;
  for (int g = 0; g < groups; ++g) {
    desc.text = "C:\\data\\group\\first.bin";
    int32_t root = tree->Insert(-1, desc);
    desc.text = "C:\\data\\group\\copy.bin";
    if (tree->Insert(root, desc) != root + 1) {
      std::printf("wrong index at group %d\n", g);
      return 1;
    }
  }
  const double t1 = bench::Now();
  const int32_t n = tree->Count();
  long checked = 0;
  for (int32_t i = 0; i < n; ++i) checked += tree->CheckState(tree->ItemAt(i));
  const double t2 = bench::Now();
  for (int32_t i = 0; i < n; ++i) tree->SetCheckState(i, i % 2, false);
  const double t3 = bench::Now();
  long parents = 0;
  for (int32_t i = 0; i < n; ++i) parents += tree->ParentIndex(i) >= 0;
  const double t4 = bench::Now();
  std::printf("window: %s\n", visible ? "visible" : "hidden");
  std::printf("items: %d (children with a parent: %ld, unchecked sum %ld)\n", n, parents, checked);
  std::printf("insert all items:      %.3f s\n", t1 - t0);
  std::printf("GetCheckState over all: %.3f s\n", t2 - t1);
  std::printf("SetCheckState over all: %.3f s\n", t3 - t2);
  std::printf("GetParent over all:     %.3f s\n", t4 - t3);
  return 0;
}

// Adds the second and third copies of `groups` files in scan order through
// `add(parentIndex)`, which returns the new item's index; false when an
// index comes out wrong. While the third copy arrives, the groups before g
// hold three items and the rest two, so group g's root is at 3g.
template <class Add>
bool AddThreeCopies(int32_t groups, Add&& add) {
  for (int32_t g = 0; g < groups; ++g) {
    int32_t root = add(-1);
    if (root != 2 * g || add(root) != root + 1) return false;
  }
  for (int32_t g = 0; g < groups; ++g) {
    if (add(3 * g) != 3 * g + 2) return false;
  }
  return true;
}

int ThreeCopies(HWND host, const std::vector<int32_t>& sizes) {
  std::printf("%8s %8s %16s %16s\n", "groups", "items", "bookkeeping s", "tree box s");
  double lastBook = 0, lastTotal = 0;
  int32_t lastGroups = 0;
  for (int32_t groups : sizes) {
    // The bookkeeping alone: the same lookups and additions the tree box
    // makes for each insertion, over stand-in handles.
    ItemOrder<HTREEITEM> order;
    order.Reset();
    uintptr_t handle = 0;
    const double b0 = bench::Now();
    bool ok = AddThreeCopies(groups, [&](int32_t parent) {
      if (order.At(parent) == nullptr) parent = -1;
      return order.AddLastChild(parent, reinterpret_cast<HTREEITEM>(++handle));
    });
    const double book = bench::Now() - b0;

    TreeBox* tree = CreateTree(host);
    if (tree == nullptr) {
      std::printf("tree box could not be created\n");
      return 1;
    }
    TreeItemSpec desc;
    desc.text = "C:\\backup\\backup\\data\\file.bin";
    const double t0 = bench::Now();
    ok = ok && AddThreeCopies(groups, [&](int32_t parent) { return tree->Insert(parent, desc); });
    const double total = bench::Now() - t0;
    if (!ok || tree->Count() != 3 * groups) {
      std::printf("wrong index at %d groups\n", groups);
      return 1;
    }
    ::DestroyWindow(tree->handle());
    std::printf("%8d %8d %16.3f %16.3f", groups, 3 * groups, book, total);
    if (lastGroups > 0) {
      std::printf("   ratio to %d: %.2fx, %.2fx", lastGroups, book / lastBook, total / lastTotal);
    }
    std::printf("\n");
    lastBook = book;
    lastTotal = total;
    lastGroups = groups;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  HWND host = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  int status;
  if (argc > 1 && std::strcmp(argv[1], "copies") == 0) {
    std::vector<int32_t> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {10000, 30000};
    status = ThreeCopies(host, sizes);
  } else {
    const int groups = argc > 1 ? std::atoi(argv[1]) : 50000;
    status = GroupsOfTwo(host, groups, argc > 2 && std::atoi(argv[2]) == 1);
  }
  ::DestroyWindow(host);
  return status;
}
