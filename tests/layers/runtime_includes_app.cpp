// Must not compile: built as part of the runtime, which stands below the
// application.
#include "runtime/values.h"
#include "app/ui.h"
