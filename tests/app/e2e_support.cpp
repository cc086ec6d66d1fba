#include "tests/app/e2e_support.h"

#include "app/calls.h"
#include "tests/support/stage.h"

namespace e2e {

using namespace ts::app;

namespace {

HWND WindowOf(const UnitRef& unit) {
  HWND window = ts::test::LoadedWindow(unit.form);
  return window ? ts::test::UnitWindowOf(window, unit.unit) : nullptr;
}

}  // namespace

void Click(const UnitRef& button) { PostMessageA(WindowOf(button), BM_CLICK, 0, 0); }

bool Enabled(const UnitRef& unit) { return IsWindowEnabled(WindowOf(unit)) != FALSE; }

std::vector<std::string> ListColumn(const UnitRef& list, int column) {
  std::vector<std::string> out;
  for (int32_t r = 0, n = ListRowCount(list); r < n; ++r) out.push_back(ListCellText(list, r, column));
  return out;
}

std::vector<TreeNode> Tree() {
  std::vector<TreeNode> out;
  for (int32_t i = 0, n = TreeItemCount(ui::ResultTree); i < n; ++i) {
    std::string text = TreeItemText(ui::ResultTree, i);
    if (TreeParent(ui::ResultTree, i) == -1) {
      out.push_back({text, {}});
    } else if (!out.empty()) {
      out.back().children.push_back(text);
    }
  }
  return out;
}

std::string Label(const UnitRef& label) { return GetTextProperty(label, prop::LabelCaption); }

}  // namespace e2e
