// Hands the form engine to the runtime through its forms hooks.
#include "forms/engine/engine.h"
#include "forms/engine/internal.h"
#include "forms/engine/unit.h"
#include "forms/engine/window_unit.h"
#include "forms/unit_types.h"
#include "runtime/forms_link.h"

namespace ts::forms {

namespace {

uintptr_t UnitControlHook(uint32_t formId, uint32_t unitId) {
  return reinterpret_cast<uintptr_t>(UnitObjectOf(formId, unitId));
}

uint32_t WindowCountHook() { return static_cast<uint32_t>(LiveWindows().size()); }

bool WindowAtHook(uint32_t position, WindowEntry* entry) {
  const auto& list = LiveWindows();
  if (position >= list.size()) return false;
  entry->formId = list[position]->formId();
  entry->hwnd = list[position]->alive() ? list[position]->handle() : nullptr;
  return true;
}

bool AnyWindowAliveHook() {
  for (FormWindow* w : LiveWindows()) {
    if (w->alive()) return true;
  }
  return false;
}

}  // namespace

bool LoadWindow(uint32_t formId, HWND owner, bool modal) { return LoadFormWindow(formId, owner, modal); }

void RegisterEngineHooks() {
  // The library's window-unit entry asks the engine for its operations.
  RegisterUnitOperations(kWindowUnitType, WindowUnitType().interfaceFn);
  FormsHooks hooks{};
  hooks.loadWindow = &LoadWindow;
  hooks.getUnitProperty = &GetUnitProperty;
  hooks.setUnitProperty = &SetUnitProperty;
  hooks.unitControl = &UnitControlHook;
  hooks.windowCount = &WindowCountHook;
  hooks.windowAt = &WindowAtHook;
  hooks.anyWindowAlive = &AnyWindowAliveHook;
  hooks.preTranslateMessage = &PreTranslateWindowMessage;
  RegisterFormsHooks(hooks);
}

}  // namespace ts::forms
