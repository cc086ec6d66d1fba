// Tree box speed: 100,000 items as 50,000 groups of two, then check states
// and parents over all of them by index. Arguments: [groups] [visible]; the
// window is hidden unless the second argument is 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "controls/treebox/treebox.h"

namespace {

using ts::controls::TreeBox;
using ts::controls::TreeItemSpec;

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f) {
  return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

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
  LARGE_INTEGER f, t0, t1, t2, t3, t4;
  ::QueryPerformanceFrequency(&f);
  ::QueryPerformanceCounter(&t0);
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
  ::QueryPerformanceCounter(&t1);
  const int32_t n = tree->Count();
  long checked = 0;
  for (int32_t i = 0; i < n; ++i) checked += tree->CheckState(tree->ItemAt(i));
  ::QueryPerformanceCounter(&t2);
  for (int32_t i = 0; i < n; ++i) tree->SetCheckState(i, i % 2, false);
  ::QueryPerformanceCounter(&t3);
  long parents = 0;
  for (int32_t i = 0; i < n; ++i) parents += tree->ParentIndex(i) >= 0;
  ::QueryPerformanceCounter(&t4);
  std::printf("window: %s\n", visible ? "visible" : "hidden");
  std::printf("items: %d (children with a parent: %ld, unchecked sum %ld)\n", n, parents, checked);
  std::printf("insert all items:      %.3f s\n", Seconds(t0, t1, f));
  std::printf("GetCheckState over all: %.3f s\n", Seconds(t1, t2, f));
  std::printf("SetCheckState over all: %.3f s\n", Seconds(t2, t3, f));
  std::printf("GetParent over all:     %.3f s\n", Seconds(t3, t4, f));
  ::DestroyWindow(host);
  return 0;
}
