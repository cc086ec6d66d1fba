// The compiled program as the runtime sees it: header, library table, DLL
// commands, constant block.
#pragma once

#include "runtime/program.h"

namespace twinseek {

const ts::ProgramHeader& Program();
// Constant empty values that the application passes to commands.
const char* ConstEmptyText();
const void* ConstEmptyByteSet();

// The main window's form id.
constexpr uint32_t kMainWindow = 0x52010001;

}  // namespace twinseek
