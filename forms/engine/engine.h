// The form engine's services to the runtime and the commands: loading
// windows, reading and writing unit properties, and hooking all of it into
// the runtime's forms link.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ts::forms {

// The value of a whole-font write (property type 1013, member −1): the
// address of seven 32-bit values in this order.
struct FontDescription {
  int32_t escapement;  // tenths of a degree
  int32_t bold;
  int32_t italic;
  int32_t underline;
  int32_t strikeOut;
  int32_t size;      // points; negative counts as 0
  const char* face;  // 1..31 bytes, else "宋体"
};

// Loads (or activates) the window of a form. A visible modal window returns
// only when it is gone. false when the form is unknown or a unit could not
// be created.
bool LoadWindow(uint32_t formId, HWND owner, bool modal);

// Service-table slots 4 and 5. Texts and byte sets read are new blocks
// owned by the caller; written ones are copied. Called from another thread
// than the window's, the whole access runs on the window's thread.
uint64_t GetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member);
void SetUnitProperty(uint32_t formId, uint32_t unitId, int32_t property, int32_t member, uint64_t value);

// Closes a window: marks it closing and posts CloseWindow, or destroys it
// at once. false when the window is not loaded.
bool CloseWindowUnit(uint32_t formId, bool atOnce);

// Registers the engine's forms hooks with the runtime and the window unit
// type with the unit-type lookup.
void RegisterEngineHooks();

}  // namespace ts::forms
