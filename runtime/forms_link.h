// The runtime's link to the window registry and the form engine.
//
// The runtime never includes the form reader or the form engine. Instead
// they fill a FormsHooks record and hand it to RegisterFormsHooks before the
// application's start routine runs StartRuntime (WinMain calls their
// registration functions). The registry and the engine
// may each register their own part: every non-null member replaces the one
// held, null members leave it alone. A hook that nobody registered behaves as
// "nothing there" (no window, no handler, no control), so the runtime reports
// its usual fatal errors rather than crashing.
//
// Every hook runs on the thread that asks; the runtime takes no lock.
#pragma once

#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#else
using HWND = void*;
struct tagMSG;
using MSG = tagMSG;
#endif

namespace ts {

// Answer of FindHandler: where an event goes.
enum class HandlerLookup : int32_t {
  Found = 0,       // `target` is filled (its handler may still be 0: no handler)
  NoWindow = 1,    // the form id is not in the registry
  NoUnit = 2,      // the unit id is not in the window
};

struct HandlerTarget {
  // Absolute handler address (code base + offset), 0 when the unit has no
  // handler for the event. A menu item gives its single handler for any event.
  uintptr_t handler;
  // Unit type of the unit whose handlers were used (after following its
  // link to a unit of the same type); the runtime checks that type's flags.
  uint32_t unitType;
  // Unit id recorded as the event source: the record's unit id, or the
  // window's own unit id when the record named 0.
  uint32_t sourceUnitId;
};

// One entry of the runtime's window list (the loaded windows).
struct WindowEntry {
  uint32_t formId;
  HWND hwnd;  // the native window, or null when it is not alive
};

struct FormsHooks {
  // --- window registry ---------------------------------------------------
  // Reads every form description of the form block into the registry and
  // replaces each handler offset by codeBase + offset (-1 by 0). false on any
  // read failure (the runtime then reports "载入窗口模板数据段出错!").
  bool (*loadFormBlock)(const uint8_t* block, uint32_t size, uintptr_t codeBase);
  // Finds the handler of (form id, unit id, event), following unit links.
  HandlerLookup (*findHandler)(uint32_t formId, uint32_t unitId, int32_t event, HandlerTarget* target);
  // Frees every window description and empties the registry (program end).
  void (*freeRegistry)();

  // --- form engine -------------------------------------------------------
  // Loads and shows a window of the registry. parent may be null; modal
  // windows run the runtime's modal loop (RunModalLoop) until closed.
  // false when the window is not in the registry or cannot be created.
  bool (*loadWindow)(uint32_t formId, HWND parent, bool modal);
  // Service-table slots 4 and 5. Texts and byte sets read come back as new
  // blocks owned by the caller; written ones are copied. The engine reports
  // "未载入欲访问窗口组件所在的窗口" and "指定窗口尚未载入" itself
  // (texts in runtime/messages.h).
  uint64_t (*getUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member);
  void (*setUnitProperty)(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value);
  // Notification 2007: the unit's native control object as the engine hands
  // it to libraries (its unit object), or 0 when the unit does not exist or
  // has no control yet; the runtime turns 0 into the fatal error.
  uintptr_t (*unitControl)(uint32_t formId, uint32_t unitId);
  // The runtime's window list (notifications 2032/2033 and idle event 7).
  uint32_t (*windowCount)();
  bool (*windowAt)(uint32_t position, WindowEntry* entry);
  // Whether any loaded window still has a live native window.
  bool (*anyWindowAlive)();
  // Called by the message pump for every message before it is translated
  // and dispatched; true when the engine consumed it (keyboard navigation,
  // default buttons, accelerators).
  bool (*preTranslateMessage)(MSG* msg);
};

// Merges the non-null members of hooks into the runtime's hook record.
void RegisterFormsHooks(const FormsHooks& hooks);
// The record in use (members may be null).
const FormsHooks& Forms();

// --- what the runtime offers the form engine ----------------------------
// (implemented in runtime/app.cpp)

// The form engine calls this after a window's own clean-up on WM_DESTROY:
// when no loaded window is alive any more and the message loop has started,
// the runtime posts the quit message.
void OnWindowDestroyed();
// Runs the message loop in modal mode until EndModalLoop is called (or the
// quit message is waiting). Nested modal windows each call it; it restores
// the outer modal state on return.
void RunModalLoop();
void EndModalLoop();
// The hidden owner window "_QX_HideOwner" (null before StartRuntime).
HWND HiddenOwnerWindow();
// The program header's mode word.
uint32_t ProgramMode();
// Event-suppression counter: raise it while creating windows or recreating
// controls so that no handler runs meanwhile.
void SuppressEvents();
void AllowEvents();  // lowers it when above 0
bool EventsSuppressed();

}  // namespace ts
