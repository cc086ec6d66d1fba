// What the user does with the results: select copies, clear the marks,
// clean, open a file, show it in Explorer. Each acts on the exact path
// behind an item (see item_paths.h), never on the text it shows.
#pragma once

#include <string>

namespace ts::app {

void AutoSelect();
void CancelSelection();
void Clean();
void OpenCurrentFile();
void LocateCurrentFile();

// Moves one file, named by its exact path, to the recycle bin through the
// shell. Options: bit 0 no confirmation, bit 1 no error dialogs, bit 2
// silent; always undoable, and the shell asks before destroying a file that
// cannot go to the bin. The shell takes no verbatim paths: a path it would
// read as another one (see ts::app::ShellWouldRewrite) or one with a wildcard
// (the shell would remove every match) is left where it is: false.
bool RecycleFile(const std::wstring& path, int options);
// Shows a file selected in Explorer.
void LocateInExplorer(const std::wstring& path);
// The path as Explorer is given it: doubled backslashes made single, except
// the leading pair of a network path.
std::wstring ExplorerPath(const std::wstring& path);

}  // namespace ts::app
