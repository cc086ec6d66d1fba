// The application's event handlers and the handler table at the code base:
// one 16-byte thunk per handler, in the order of forms/data/handlers.txt
// (a handler's offset in the form descriptions is 16 × its position).
#include "runtime/handler_table.h"

#include "app/actions.h"
#include "app/calls.h"
#include "app/folders.h"
#include "app/scan_ui.h"
#include "app/ui.h"
#include "app/ui_thread.h"
#include "runtime/services.h"

using namespace ts::app;

extern "C" {

void OnAddFolderClick() { AddFolder(); }
void OnRemoveFolderClick() { RemoveFolder(); }
void OnFileTypeSelected() { ChooseFileType(); }
void OnScanClick() { StartScan(); }
void OnStopClick() { StopScan(); }
void OnAutoSelectClick() { AutoSelect(); }
void OnClearSelectionClick() { CancelSelection(); }
void OnCleanClick() { Clean(); }
void OnOpenFileClick() { OpenCurrentFile(); }
void OnLocateFileClick() { LocateCurrentFile(); }
void OnHelpClick() { LoadWindowModal(ui::AboutWindow); }
void OnAboutOkClick() { DestroyUnit(ui::AboutWindow); }

// The main window exists: nothing else to do but be ready to take calls
// from the scan worker.
void OnMainCreated() { InitUiThreadCalls(); }

void OnExitClick() {
  StopScanForExit();
  ts::svc::EndProgram(0);
}

void OnMainDestroy() {
  StopScanForExit();
  ts::svc::EndProgram(0);
}

}  // extern "C"

#define TS_FORM_HANDLER(name) TS_HANDLER(name)
TS_HANDLER_TABLE_BEGIN(ts_app_handlers)
#include "forms/form_handlers.inc"
