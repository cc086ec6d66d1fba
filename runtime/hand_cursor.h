// The runtime's own hand cursor, shown over hyperlinks (and by the cursor
// table's hand entry): drawn from data in this program, not taken from the
// system, so that it looks the same everywhere.
#pragma once

#include <windows.h>

namespace ts {

// The one hand cursor of the process, made on first use and kept until the
// process ends (null only if the platform refused to make it).
HCURSOR RuntimeHandCursor();

}  // namespace ts
