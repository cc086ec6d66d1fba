// The application's handler table at the code base: one 16-byte thunk per
// handler, in the order of forms/data/handlers.txt (offset = 16 × position).
#include "runtime/handler_table.h"

TS_HANDLER_TABLE_BEGIN(ts_app_handlers)
