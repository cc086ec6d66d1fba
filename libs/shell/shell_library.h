// The operating-system interface library: run a shell operation on a file
// and let the user browse for a folder.
#pragma once

#include <string>

#include "runtime/program.h"
#include "runtime/values.h"

namespace ts {

// 1: operation number (1 edit, 2 explore, 3 find, 4 open, 5 print; other or
// omitted: the default verb), optional; 2: file or folder; 3: parameters,
// optional; 4: working directory, optional; 5: show mode 1..6, optional.
// No result; failures are silent.
void ShellOperation(ResultRecord* result, int argc, ArgRecord* args);
// 1: dialog title; 2: also offer files (bool), optional. Result: the chosen
// path as text, or null when cancelled or the item has no file-system path.
void BrowseForFolder(ResultRecord* result, int argc, ArgRecord* args);

// Code 1 keeps the runtime's notify function (p1), through which the folder
// dialog reaches the runtime's window list (codes 2032/2033). Answers 0 for
// codes 1 and 6, -1 for any other.
NotifyWord ShellLibraryNotify(int32_t code, NotifyWord p1, NotifyWord p2);

// The verb of an operation number (null: default) and the platform show
// command of a show mode, as the shell operation chooses them.
const char* ShellVerb(int32_t operation);
int ShellShowCommand(int32_t mode);

// The two commands' work on exact paths (UTF-16), which the commands reach
// through texts converted as the platform's ANSI functions convert them.
// The shell operation on a file with its parameters and working directory
// (null: none) and a platform show command; failures are silent.
void ShellOperationExact(int32_t operation, const std::wstring& file, const wchar_t* parameters,
                         const wchar_t* directory, int show);
// The folder dialog with a title (a text) and the exact path chosen: empty
// when cancelled or when the item has no file-system path.
std::wstring BrowseForFolderExact(const char* title, bool includeFiles);

}  // namespace ts

namespace ts {
// The library record of 操作系统界面功能支持库 (library index 2): commands
// in order of first use (browse for folder, shell operation) and the notify
// function.
const LibraryRecord& ShellLibraryRecord();
}  // namespace ts
