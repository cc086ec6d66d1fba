// The window commands: LoadWindow(window, [parent window], [modal]) → bool;
// DestroyUnit(window or control, [at once]); Repaint(window or control).
#pragma once

#include "runtime/values.h"

namespace ts::forms {

void CmdLoadWindow(ResultRecord* result, int argc, ArgRecord* args);
void CmdDestroyUnit(ResultRecord* result, int argc, ArgRecord* args);
void CmdRepaint(ResultRecord* result, int argc, ArgRecord* args);

}  // namespace ts::forms
