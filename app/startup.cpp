// Start-up: the runtime object runs the application's start routine.

#include "app/startup.h"

#include "app/program.h"
#include "app/ui.h"
#include "controls/button/super_button.h"
#include "controls/listview/listview.h"
#include "controls/picturebox/picture_box.h"
#include "controls/simple/simple_controls.h"
#include "controls/treebox/treebox.h"
#include "forms/engine/engine.h"
#include "forms/records/records.h"
#include "forms/registry.h"
#include "forms/unit_types.h"
#include "runtime/app.h"
#include "runtime/forms_link.h"
#include "runtime/services.h"
#include "runtime/values.h"

namespace ts::app {
namespace {

// The application's two global text arrays.
void* g_textArrays[2] = {nullptr, nullptr};

void FreeGlobals() {
  for (void*& a : g_textArrays) {
    ts::FreeArray(ts::tag::Text | ts::tag::ArrayBit, a);
    a = nullptr;
  }
}

// Every control type of this program's forms.
void RegisterControls() {
  using namespace ts::controls;
  ts::forms::RegisterUnitOperations(ts::forms::unittype::TreeBox, &TreeBoxInterface);
  ts::forms::RegisterUnitOperations(ts::forms::unittype::ListView, &ListViewInterface);
  RegisterSuperButton();
  RegisterPictureBox();
  RegisterSimpleControls();
}

// The application's start-up subroutine: empty in this program.
void StartupSubroutine() {}

int32_t StartRoutine() {
  ts::svc::StartRuntime();
  for (void*& a : g_textArrays) a = ts::MakeEmptyArray();
  ts::svc::AddExitRoutine(FreeGlobals);
  StartupSubroutine();
  ts::svc::LoadStartupWindow(kMainForm);
  ts::svc::RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace ts::app

int ts::app::RunTwinseek() {
  // The window registry and the form engine serve the runtime through its
  // forms hooks, and the control classes register their unit types; all of
  // it before the runtime starts.
  ts::forms::RegisterRegistryHooks();
  ts::forms::RegisterEngineHooks();
  RegisterControls();
  ts::RuntimeApp app(Program(), StartRoutine);
  return app.Run();
}
