// The hook record through which the registry and the form engine serve the
// runtime.
#include "runtime/forms_link.h"

namespace ts {
namespace {
FormsHooks g_hooks{};

template <typename T>
void Take(T& into, T from) {
  if (from) into = from;
}
}  // namespace

void RegisterFormsHooks(const FormsHooks& h) {
  Take(g_hooks.loadFormBlock, h.loadFormBlock);
  Take(g_hooks.findHandler, h.findHandler);
  Take(g_hooks.freeRegistry, h.freeRegistry);
  Take(g_hooks.loadWindow, h.loadWindow);
  Take(g_hooks.getUnitProperty, h.getUnitProperty);
  Take(g_hooks.setUnitProperty, h.setUnitProperty);
  Take(g_hooks.unitControl, h.unitControl);
  Take(g_hooks.windowCount, h.windowCount);
  Take(g_hooks.windowAt, h.windowAt);
  Take(g_hooks.anyWindowAlive, h.anyWindowAlive);
  Take(g_hooks.preTranslateMessage, h.preTranslateMessage);
}

const FormsHooks& Forms() { return g_hooks; }

}  // namespace ts
