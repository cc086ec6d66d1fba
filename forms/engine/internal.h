// Engine-internal links between the unit base, the loader, the window unit,
// the keyboard handling and the property services.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "forms/unit_type_ids.h"

namespace ts::forms {

class UnitObject;
class FormWindow;
struct WindowRecord;

constexpr uint32_t kWindowUnitType = unittype::Window;

// Called by the unit base after a unit's native window got WM_NCDESTROY and
// the object was detached: clears the unit record's slots and deletes the
// object; for a window also takes it off the window list and tells the
// runtime.
void OnUnitNativeGone(UnitObject* unit);

// The runtime's window list: windows with a live native window, in load order.
const std::vector<FormWindow*>& LiveWindows();

// The unit object of (form, unit); unit id 0 is the window unit. Null when
// the window is not loaded or the unit has no object.
UnitObject* UnitObjectOf(uint32_t formId, uint32_t unitId);

// Controls of a window in tab order (visible, enabled, tab stop, neither
// state flag 0x8000 nor 0x10000, not wholly outside their parent's client
// area), sorted by focus order, equal values in reverse unit order.
std::vector<UnitObject*> TabOrder(uint32_t formId);
// Keyboard handling of the runtime's message pump; true when consumed.
bool PreTranslateWindowMessage(MSG* msg);

// Cursor and icon values.
HCURSOR LoadCursorValue(const uint8_t* data, size_t size);
void ReleaseCursor(HCURSOR cursor);  // destroys cursors made from files only
int32_t CursorIdOfIndex(int32_t index);  // 1..14 → IDC_ id, else 0
int32_t CursorIndexOfId(int32_t id);     // IDC_ id → 1..14, else 0
HICON LoadIconFile(const uint8_t* data, size_t size, int edge);

// Loading and closing.
bool LoadFormWindow(uint32_t formId, HWND owner, bool modal);

// Recreates a control from its present state (after a property change).
bool RecreateControl(uint32_t formId, uint32_t unitId);

}  // namespace ts::forms
