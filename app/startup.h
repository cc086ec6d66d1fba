// Bringing the program up: the forms hooks, the control types, the runtime
// object and the application's start routine. WinMain calls RunTwinseek;
// the end-to-end tests call it too, on their main thread.
#pragma once

namespace ts::app {

int RunTwinseek();

}  // namespace ts::app
