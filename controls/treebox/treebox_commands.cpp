#include "controls/treebox/treebox_commands.h"

#include <algorithm>
#include <cstring>

#include "controls/common/control_commands.h"
#include "controls/treebox/treebox.h"
#include "runtime/commands/arg_values.h"

namespace ts::controls {

namespace {

// Runs fn with the tree of argument 1 on its own thread; false when it is
// no tree.
template <class Fn>
bool WithTree(int argc, ArgRecord* args, Fn&& fn) {
  if (argc < 1) return false;
  return WithControl<TreeBox>(args[0], forms::unittype::TreeBox, fn);
}

uint32_t ElementSize(TypeTag element) {
  switch (element) {
    case tag::Byte: return 1;
    case tag::Short: return 2;
    case tag::Long:
    case tag::Double:
    case tag::DateTime: return 8;
    default: return 4;
  }
}

// Element k of an array argument as an integer (the last element repeats
// for later k), or the single value of a plain argument.
int32_t IntAt(int argc, const ArgRecord* args, int i, uint32_t k, int32_t fallback) {
  if (!Given(argc, args, i)) return fallback;
  const ArgRecord& a = args[i];
  if (!tag::IsArray(a.type)) return ValueToInt32(a);
  void* array = ArgPointer(a);
  uint32_t n = ArrayCount(array);
  if (n == 0) return fallback;
  TypeTag element = tag::ElementOf(a.type);
  uint32_t size = ElementSize(element);
  ArgRecord one{};
  one.type = element;
  std::memcpy(one.v.raw, ArrayElements(array) + size * std::min(k, n - 1), size);
  return ValueToInt32(one);
}

bool IsTextArray(const ArgRecord& a) { return a.type == (tag::Text | tag::ArrayBit); }

TreeItemSpec SpecFor(int argc, const ArgRecord* args, uint32_t k, const char* text) {
  TreeItemSpec desc;
  desc.text = text ? text : "";
  desc.image = IntAt(argc, args, 3, k, 0);
  if (desc.image < 0) desc.image = 0;
  desc.selectedImage = IntAt(argc, args, 4, k, -1);
  if (desc.selectedImage < 0) desc.selectedImage = desc.image;
  desc.itemData = IntAt(argc, args, 5, k, 0);
  // Bold and the check state count only when all seven places are there.
  desc.setBoldAndCheck = argc >= 8;
  if (desc.setBoldAndCheck) {
    desc.bold = IntAt(argc, args, 6, k, 0) == 1;
    desc.hasCheck = Given(argc, args, 7);
    desc.checkState = IntAt(argc, args, 7, k, 0);
  }
  return desc;
}

}  // namespace

void TreeGetItemCount(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t count = 0;
  WithTree(argc, args, [&](TreeBox& t) { count = t.Count(); });
  SetIntResult(result, count);
}

void TreeInsertItem(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t index = -1;
  int32_t parent = IntArg(argc, args, 1, -1);
  bool arrayForm = argc > 2 && IsTextArray(args[2]);
  WithTree(argc, args, [&](TreeBox& t) {
    if (!arrayForm) {
      index = t.Insert(parent, SpecFor(argc, args, 0, TextArg(argc, args, 2)));
      return;
    }
    void* texts = ArgPointer(args[2]);
    uint32_t n = ArrayCount(texts);
    auto* elements = reinterpret_cast<char**>(ArrayElements(texts));
    for (uint32_t k = 0; k < n; ++k) t.Insert(parent, SpecFor(argc, args, k, elements[k]));
    index = 0;
  });
  SetIntResult(result, index);
}

void TreeGetItemText(ResultRecord* result, int argc, ArgRecord* args) {
  char* text = nullptr;
  int32_t index = IntArg(argc, args, 1, -1);
  WithTree(argc, args, [&](TreeBox& t) { text = ToRuntimeText(t.ItemText(t.ItemAt(index))); });
  SetTextResult(result, text);
}

void TreeDeleteAllItems(ResultRecord*, int argc, ArgRecord* args) {
  WithTree(argc, args, [&](TreeBox& t) { t.DeleteAll(); });
}

void TreeGetCheckState(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t state = -1;
  int32_t index = IntArg(argc, args, 1, -1);
  WithTree(argc, args, [&](TreeBox& t) { state = t.CheckState(t.ItemAt(index)); });
  SetIntResult(result, state);
}

void TreeSetCheckState(ResultRecord*, int argc, ArgRecord* args) {
  int32_t index = IntArg(argc, args, 1, -1);
  int32_t state = IntArg(argc, args, 2, 0);
  bool recursive = BoolArg(argc, args, 3, false);
  WithTree(argc, args, [&](TreeBox& t) { t.SetCheckState(index, state, recursive); });
}

void TreeGetParent(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t parent = -1;
  int32_t index = IntArg(argc, args, 1, -1);
  WithTree(argc, args, [&](TreeBox& t) { parent = t.ParentIndex(index); });
  SetIntResult(result, parent);
}

void TreeGetItemData(ResultRecord* result, int argc, ArgRecord* args) {
  int32_t data = 0;
  int32_t index = IntArg(argc, args, 1, -1);
  WithTree(argc, args, [&](TreeBox& t) { data = t.ItemData(t.ItemAt(index)); });
  SetIntResult(result, data);
}

}  // namespace ts::controls
