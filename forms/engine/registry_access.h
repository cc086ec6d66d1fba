// The window registry as the engine sees it. <windows.h> maps FindWindow to
// FindWindowA; the registry's member of that name must not be renamed in
// translation units that also see the platform headers.
#pragma once

#include <windows.h>
#undef FindWindow

#include "forms/registry.h"
