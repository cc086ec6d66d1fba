// A test program for the form engine: a runtime started with a program
// header whose form block holds the test windows below, a library of unit
// types (the window unit and three test control types), handlers that log
// every event, and helpers to reach the loaded windows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/pump.h"

namespace engtest {

// Unit types of the test library (library 1).
constexpr uint32_t kWindowType = 0x00010001;
constexpr uint32_t kPlainType = 0x00010002;   // a plain control
constexpr uint32_t kButtonType = 0x00010004;  // push-button kind (0x00010003 is the menu item)
constexpr uint32_t kOptionType = 0x00010005;  // option-button kind
constexpr uint32_t kDockType = 0x00010006;    // docked bar: its record's default word is its side
constexpr uint32_t kMissingType = 0x00010007;  // not in the library

// Test forms.
constexpr uint32_t kLoadForm = 0x52020001;      // window + three plain controls, the last two nested
constexpr uint32_t kPlainForm = 0x52020002;     // another parentless window
constexpr uint32_t kModalForm = 0x52020003;     // visible, loaded modally by tests
constexpr uint32_t kHiddenForm = 0x52020004;    // stored hidden
constexpr uint32_t kTabForm = 0x52020005;       // tab order with a control outside its parent
constexpr uint32_t kButtonForm = 0x52020006;    // default button and option buttons
constexpr uint32_t kFailForm = 0x52020007;      // a control whose type has no create operation
constexpr uint32_t kDockForm = 0x52020008;      // a resizable window with bars docked top and bottom

// Unit ids: the window unit of form f is 0x06010000 | (f & 0xFF); control k
// of it is 0x16000000 | ((f & 0xFF) << 8) | k.
constexpr uint32_t WindowUnitOf(uint32_t form) { return 0x06010000u | (form & 0xFF); }
constexpr uint32_t ControlOf(uint32_t form, uint32_t k) { return 0x16000000u | ((form & 0xFF) << 8) | k; }

// The event log: "W<n>" for window events, "C<unit low byte>:<event>" for
// control events, "U<k>" / "S<k>" for UnitsCreated / WindowShown reaching
// control k, "K<k>:<key>" for a key that reached control k. Each entry is
// followed by nothing else; tests clear it.
std::vector<std::string>& Log();
// Entries equal to one of the patterns; a pattern ending in '*' matches
// every entry that starts with the rest.
std::vector<std::string> LogOf(std::initializer_list<const char*> prefixes);

// Window events as (form id, event), in the order they ran.
std::vector<std::pair<uint32_t, int>>& WindowEvents();

// Set by tests: event 12 or 1 returns false (refusing the close).
extern bool g_refuse12;
extern bool g_refuse1;
// Called from the event 0 handler of a window (if set).
extern std::function<void()> g_onEvent0;
// Whether the window was visible when its event 0, 3 and 4 ran.
extern std::vector<bool> g_visibleAtEarlyEvents;

// The shared pump: messages go through the engine's keyboard handling as
// in the program's loop.
using ts::test::Flush;
using ts::test::PumpUntil;
// Destroys a window at once if it is loaded.
void Unload(uint32_t formId);
HWND WindowOf(uint32_t formId);
HWND ControlHandle(uint32_t formId, uint32_t k);
// Thread id on which the last property operation of a test control ran.
DWORD LastOperationThread();

}  // namespace engtest
