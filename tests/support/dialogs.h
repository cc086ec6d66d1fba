// Watching a program's windows from a helper thread while another thread
// runs them: message boxes and other dialogs of a process, and the
// platform's folder dialog answered through its tree.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wait.h"

namespace ts::test {

// A visible dialog (class #32770) of a process, with what a message box
// shows: its caption and its text (static control 0xFFFF).
struct Dialog {
  HWND hwnd = nullptr;
  DWORD thread = 0;         // the thread the dialog belongs to
  bool messageBox = false;  // has the message text control
  std::string caption, text;
};

// The first visible dialog of the process (0: this one), a message box when
// `messageBox`, or an empty Dialog.
Dialog FindDialog(DWORD processId = 0, bool messageBox = false);
// Waits up to `ms` for a dialog; message boxes only when `messageBox`.
Dialog WaitForDialog(DWORD ms = 10000, bool messageBox = false, DWORD processId = 0);
inline Dialog WaitForMessageBox(DWORD ms = 15000) { return WaitForDialog(ms, true); }
// True when the process shows no message box.
bool NoMessageBox(DWORD processId = 0);

// Posts a click of button `id` (IDOK, IDCANCEL, ...) of a dialog.
void PressButton(HWND dialog, int id);
// Presses OK and waits until the box is gone.
void Dismiss(const Dialog& box, DWORD ms = 5000);

std::string WindowText(HWND hwnd);

// Waits up to `ms` for the platform's folder dialog of this process.
Dialog WaitForFolderDialog(DWORD ms = 10000);
// Answers the folder dialog when it appears: selects `folder` (a path under
// Z:\, walked from the desktop through "我的电脑" and the drive) and presses
// OK, or presses Cancel when `folder` is empty. An error text, "" on success.
// The answer is complete once the dialog is gone, so a dialog asked for next
// is never taken for this one. Folder names are compared exactly: give them
// in UTF-16 when the code page cannot spell them.
std::string AnswerFolderDialog(const std::wstring& folder, DWORD ms = 10000);
std::string AnswerFolderDialog(const std::string& folder, DWORD ms = 10000);

}  // namespace ts::test
