// Hands the window registry to the runtime through its forms hooks.
#include "forms/registry.h"
#include "runtime/forms_link.h"

namespace ts::forms {

namespace {

bool LoadFormBlockHook(const uint8_t* block, uint32_t size, uintptr_t codeBase) {
  return Registry().Load(block, size, codeBase);
}

HandlerLookup FindHandlerHook(uint32_t formId, uint32_t unitId, int32_t event,
                              HandlerTarget* target) {
  EventTarget t;
  EventLookup found = Registry().FindEvent(formId, unitId, event, &t);
  *target = HandlerTarget{t.handler, t.unitType, t.sourceUnitId};
  switch (found) {
    case EventLookup::NoWindow: return HandlerLookup::NoWindow;
    case EventLookup::NoUnit: return HandlerLookup::NoUnit;
    case EventLookup::Found: break;
  }
  return HandlerLookup::Found;
}

void FreeRegistryHook() { Registry().Clear(); }

}  // namespace

void RegisterRegistryHooks() {
  FormsHooks hooks{};
  hooks.loadFormBlock = LoadFormBlockHook;
  hooks.findHandler = FindHandlerHook;
  hooks.freeRegistry = FreeRegistryHook;
  RegisterFormsHooks(hooks);
}

}  // namespace ts::forms
