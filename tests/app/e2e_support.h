// Driving the real Twinseek main window from a test thread while the
// program runs on the main thread: finding windows and controls, clicking,
// reading controls through the same commands the program uses, handling
// message boxes and the folder dialog, and making folders of test files.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "app/ui.h"

namespace e2e {

using ts::app::UnitRef;

// Polls `done` every 20 ms for up to `ms` milliseconds.
bool WaitFor(const std::function<bool()>& done, int ms = 10000);

HWND MainWindow();
// The native window of a unit of the main window, or of the given window.
HWND UnitWindow(const UnitRef& unit, HWND window = nullptr);
// Posts a click to a button unit.
void Click(const UnitRef& button);
bool Enabled(const UnitRef& unit);

// A message box of this process (class #32770 with a static text 0xFFFF).
struct Box {
  HWND hwnd = nullptr;
  std::string text;
  std::string caption;
  bool ownedByMainThread = false;
};
// Waits for a message box; `found` is false when none came.
bool WaitForBox(Box* box, int ms = 15000);
void Dismiss(const Box& box);
// True when no message box is open.
bool NoBox();

// Chooses `folder` (a path under Z:\) in the open folder dialog, or cancels
// it when `folder` is empty. Returns an error text, empty on success.
std::string AnswerFolderDialog(const std::wstring& folder);
std::string AnswerFolderDialog(const std::string& folder);

// Test files: a fresh folder under Z:\tmp, removed with its content at the end.
class Fixture {
 public:
  explicit Fixture(const std::string& tag);
  ~Fixture();
  std::string Path(const std::string& relative) const;
  const std::string& root() const { return root_; }
  void Dir(const std::string& relative) const;
  void File(const std::string& relative, const std::string& content) const;
  // The same for names the code page may not spell: exact paths.
  std::wstring Path(const std::wstring& relative) const;
  void Dir(const std::wstring& relative) const;
  void File(const std::wstring& relative, const std::string& content) const;
  // A large file of zeros that takes no disk space (sparse on the host).
  void Sparse(const std::string& relative, int64_t size) const;
  // Keeps the folder when the fixture goes (a child process uses it).
  void Keep() { keep_ = true; }

 private:
  std::string root_;
  bool keep_ = false;
};


bool Exists(const std::string& path);
bool Exists(const std::wstring& path);
std::string ReadAll(const std::string& path);
std::string ReadAll(const std::wstring& path);

// The program's controls as the program sees them.
std::vector<std::string> ListColumn(const UnitRef& list, int column);
struct TreeNode {
  std::string text;
  std::vector<std::string> children;
};
std::vector<TreeNode> Tree();
std::string Label(const UnitRef& label);

}  // namespace e2e
