// The scan as the main window shows it: starting a scan, the worker thread,
// Stop, and stopping a running scan when the program exits.
#pragma once

#include <cstdint>
#include <string>

namespace ts::app {

// 按钮_扫描 clicked.
void StartScan();
// 按钮_停止 clicked.
void StopScan();
// Every exit path (按钮_退出, closing the main window): every worker this
// program started, running or stopped, is stopped (it makes no further
// visible change) and waited for before the program ends.
void StopScanForExit();
// How many scan workers are still running, stopped ones included. A worker
// no longer counted makes no further change; any thread may ask.
int32_t RunningScanWorkers();

// "共用时：" texts: days, hours, minutes and seconds, zero parts left out.
std::string FormatElapsed(double seconds);
// Number of group roots in the result tree.
int32_t CountGroups();

}  // namespace ts::app
