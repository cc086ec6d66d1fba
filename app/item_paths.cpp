#include "app/item_paths.h"

#include <windows.h>

#include <mutex>
#include <vector>

#include "app/calls.h"
#include "app/scan/path_rules.h"
#include "app/ui.h"

namespace ts::app {
namespace {

// The folders added to the folder list, numbered from 1 in the order added.
// Rows live across scans, so a number stays valid for the whole run; a row
// removed leaves its folder here (a few bytes a folder). The scan reads the
// folders on its worker thread while the window may add one.
std::mutex g_foldersLock;
std::vector<std::wstring> g_folders;

// The path store of the scan whose items the tree shows. Set and read on
// the window's thread; the lock only keeps a reader elsewhere (a test, a
// measurement) from seeing it half written.
std::mutex g_resultsLock;
std::shared_ptr<const ts::app::PathStore> g_results;

std::shared_ptr<const ts::app::PathStore> Results() {
  std::lock_guard<std::mutex> hold(g_resultsLock);
  return g_results;
}

std::wstring FolderByNumber(int32_t number) {
  std::lock_guard<std::mutex> hold(g_foldersLock);
  if (number <= 0 || static_cast<size_t>(number) > g_folders.size()) return std::wstring();
  return g_folders[static_cast<size_t>(number) - 1];
}

}  // namespace

int32_t AddFolderRow(const std::wstring& folder) {
  int32_t number;
  {
    std::lock_guard<std::mutex> hold(g_foldersLock);
    g_folders.push_back(folder);
    number = static_cast<int32_t>(g_folders.size());
  }
  return ListAppendRow(ui::FolderList, ts::app::ShownText(folder), number);
}

std::wstring FolderRowPath(int32_t row) {
  const std::string text = ListCellText(ui::FolderList, row, 0);
  const std::wstring exact = FolderByNumber(ListItemData(ui::FolderList, row));
  if (!exact.empty() && ts::app::ShownText(exact) == text) return exact;
  return ts::app::ExactFromText(text);
}

bool FolderListed(const std::wstring& folder) {
  for (int32_t row = 0, n = ListRowCount(ui::FolderList); row < n; ++row) {
    const std::wstring listed = FolderRowPath(row);
    if (!listed.empty() && CompareStringOrdinal(listed.c_str(), static_cast<int>(listed.size()), folder.c_str(),
                                                static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

void ShowResultsOf(std::shared_ptr<const ts::app::PathStore> paths) {
  std::lock_guard<std::mutex> hold(g_resultsLock);
  g_results = std::move(paths);
}

int32_t AddResultItem(int32_t parent, const ts::app::ShownFile& file) {
  // Item data 0 means "no number": path numbers are stored one higher.
  return TreeAppend(ui::ResultTree, parent, file.text, static_cast<int32_t>(file.path + 1));
}

std::wstring ResultPath(const std::string& text, int32_t itemData) {
  const uint32_t number = static_cast<uint32_t>(itemData);
  const std::shared_ptr<const ts::app::PathStore> results = Results();
  if (number != 0 && results && number - 1 < results->Count() && results->Text(number - 1) == text) {
    return results->Exact(number - 1);
  }
  return ts::app::ExactFromText(text);
}

std::wstring ResultItemPath(int32_t index) {
  return ResultPath(TreeItemText(ui::ResultTree, index), TreeItemData(ui::ResultTree, index));
}

}  // namespace ts::app
