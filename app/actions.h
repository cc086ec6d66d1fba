// What the user does with the results: select copies, clear the marks,
// clean, open a file, show it in Explorer.
#pragma once

#include <string>

namespace twinseek {

void AutoSelect();
void CancelSelection();
void Clean();
void OpenCurrentFile();
void LocateCurrentFile();

// Moves one file to the recycle bin through the shell. Options: bit 0 no
// confirmation, bit 1 no error dialogs, bit 2 silent; always undoable, and
// the shell asks before destroying a file that cannot go to the bin.
bool RecycleFile(const std::string& path, int options);
// Shows a file selected in Explorer.
void LocateInExplorer(const std::string& path);
// The path as Explorer is given it: doubled backslashes made single, except
// the leading pair of a network path.
std::string ExplorerPath(const std::string& path);

}  // namespace twinseek
