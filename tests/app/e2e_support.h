// Driving the real Twinseek main window from a test thread while the
// program runs on the main thread: clicking its buttons and reading its
// controls back through the same commands the program uses. Windows,
// message boxes, the folder dialog and test files come from tests/support.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "app/ui.h"

namespace e2e {

using ts::app::UnitRef;

// Posts a click to a button unit of a loaded window.
void Click(const UnitRef& button);
bool Enabled(const UnitRef& unit);

// The program's controls as the program sees them.
std::vector<std::string> ListColumn(const UnitRef& list, int column);
struct TreeNode {
  std::string text;
  std::vector<std::string> children;
};
std::vector<TreeNode> Tree();
std::string Label(const UnitRef& label);

}  // namespace e2e
