// Tree box speed: 100,000 items as 50,000 groups of two, then check states
// and parents over all of them by index. Arguments: [groups] [visible]; the
// window is hidden unless the second argument is 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "bench/clock.h"
#include "controls/treebox/treebox.h"

namespace {

using ts::controls::TreeBox;
using ts::controls::TreeItemSpec;

}  // namespace

int main(int argc, char** argv) {
  HWND host = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPED, 0, 0, 400, 300, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
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
  auto* tree = static_cast<TreeBox*>(TreeBox::Create(args));
  const bool visible = argc > 2 && std::atoi(argv[2]) == 1;
  if (tree == nullptr) {
    std::printf("tree box could not be created\n");
    return 1;
  }
  if (visible) {
    ::ShowWindow(host, SW_SHOW);
    ::ShowWindow(tree->handle(), SW_SHOW);
    ::UpdateWindow(host);
  }
  const int kGroups = argc > 1 ? std::atoi(argv[1]) : 50000;
  const double t0 = bench::Now();
  TreeItemSpec desc;
  for (int g = 0; g < kGroups; ++g) {
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
  ::DestroyWindow(host);
  return 0;
}
