// The exact paths behind the rows of the folder list (超级列表框1) and the
// items of the result tree (树型框1).
//
// A row or item shows its path as a text (see ts::app::ShownText) and keeps the
// number of the exact path in its item data; every file operation works on
// that exact path, never on the text. A number is 0 for a row or item the
// program did not make: such a one falls back to its text, which names a
// file only when it does so without doubt (see ts::app::ExactFromText). A number
// is taken only while its path is still shown as the row's or item's text,
// so a value that some other hand put there names nothing it does not show.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/scan/path_store.h"
#include "app/scan/scan_job.h"

namespace ts::app {

// --- folder list ------------------------------------------------------------
// Appends a row for an exact folder; the row's index.
int32_t AddFolderRow(const std::wstring& folder);
// The exact folder of a row; empty when the row names none. Any thread.
std::wstring FolderRowPath(int32_t row);
// Whether a row names the folder, compared case-insensitively as the
// platform compares names.
bool FolderListed(const std::wstring& folder);

// --- result tree ---------------------------------------------------------------
// The paths the tree's numbers refer to from now on: set when a scan empties
// the tree, kept until the next one does.
void ShowResultsOf(std::shared_ptr<const ts::app::PathStore> paths);
// Appends an item for a file under the item at `parent` (-1: top level).
int32_t AddResultItem(int32_t parent, const ts::app::ShownFile& file);
// The exact path of an item given its text and item data; empty when it
// names none.
std::wstring ResultPath(const std::string& text, int32_t itemData);
// The exact path of the item at `index`; empty when it names none.
std::wstring ResultItemPath(int32_t index);

}  // namespace ts::app
