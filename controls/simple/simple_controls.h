// The simple controls of the core library: label, check box, combo box,
// edit box, progress bar, group box and hyperlink. Each type is reached
// only through its interface function (operation number → routine).
#pragma once

#include <cstdint>

#include "runtime/program.h"

namespace ts::controls {

void* LabelInterface(int32_t operation);
void* CheckBoxInterface(int32_t operation);
void* ComboBoxInterface(int32_t operation);
void* EditBoxInterface(int32_t operation);
void* ProgressBarInterface(int32_t operation);
void* GroupBoxInterface(int32_t operation);
void* HyperlinkInterface(int32_t operation);

// Hands the seven interface functions to the library's unit-type table, so
// that the form engine finds them by unit type id. Safe to call again.
void RegisterSimpleControls();

// Private message a combo box posts to itself after the platform reported
// a choice, so that event 0 runs once the control shows the new item.
constexpr unsigned kComboChoiceMade = 0x80C1;

}  // namespace ts::controls
