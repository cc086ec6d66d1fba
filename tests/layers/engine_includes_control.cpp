// Must not compile: built as part of the form engine, which the controls
// stand on and not the other way round.
#include "forms/engine/unit.h"
#include "controls/listview/listview.h"
