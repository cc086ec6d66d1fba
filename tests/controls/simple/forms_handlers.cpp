// The application's handler table for the whole-forms test: every handler
// the form block binds only records its name.
#include <string>
#include <vector>

#include "runtime/handler_table.h"

std::vector<std::string>& CalledHandlers() {
  static std::vector<std::string> called;
  return called;
}

#define TS_FORM_HANDLER(name) \
  extern "C" void name() { CalledHandlers().push_back(#name); }
#include "forms/form_handlers.inc"
#undef TS_FORM_HANDLER

TS_HANDLER_TABLE_BEGIN(simple_forms_handlers)
#define TS_FORM_HANDLER(name) TS_HANDLER(name)
#include "forms/form_handlers.inc"
#undef TS_FORM_HANDLER
