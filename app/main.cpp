// Program entry: the runtime object runs the application's start routine.
#include <windows.h>

#include "app/program.h"
#include "runtime/app.h"
#include "runtime/forms_link.h"
#include "runtime/services.h"
#include "runtime/values.h"

#ifdef TS_HAVE_FORMS
#include "forms/registry.h"
#endif
#ifdef TS_HAVE_ENGINE
#include "forms/engine/engine.h"
#endif

namespace twinseek {
namespace {

// The application's two global text arrays.
void* g_textArrays[2] = {nullptr, nullptr};

void FreeGlobals() {
  for (void*& a : g_textArrays) {
    ts::FreeArray(ts::tag::Text | ts::tag::ArrayBit, a);
    a = nullptr;
  }
}

// The application's start-up subroutine: empty in this program.
void StartupSubroutine() {}

int32_t StartRoutine() {
  ts::svc::StartRuntime();
  for (void*& a : g_textArrays) a = ts::MakeEmptyArray();
  ts::svc::AddExitRoutine(FreeGlobals);
  StartupSubroutine();
  ts::svc::LoadStartupWindow(kMainWindow);
  ts::svc::RunMessageLoop();
  return 0;
}

}  // namespace
}  // namespace twinseek

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // The window registry and the form engine serve the runtime through its
  // forms hooks; they register before the runtime starts.
#ifdef TS_HAVE_FORMS
  ts::forms::RegisterRegistryHooks();
#endif
#ifdef TS_HAVE_ENGINE
  ts::forms::RegisterEngineHooks();
#endif
  ts::RuntimeApp app(twinseek::Program(), twinseek::StartRoutine);
  return app.Run();
}
