// The test program's handler table: position k handles what kHandlerNames
// in fixture.cpp says (window events 0..12, then control events).
#include "runtime/handler_table.h"

extern "C" {
void EngW0();
void EngW1();
void EngW2();
void EngW3();
void EngW4();
void EngW5();
void EngW6();
void EngW7();
void EngW8();
void EngW9();
void EngW10();
void EngW11();
void EngW12();
void EngClick();
void EngFocus();
void EngBlur();
}

TS_HANDLER_TABLE_BEGIN(eng_test_handlers)
TS_HANDLER(EngW0)
TS_HANDLER(EngW1)
TS_HANDLER(EngW2)
TS_HANDLER(EngW3)
TS_HANDLER(EngW4)
TS_HANDLER(EngW5)
TS_HANDLER(EngW6)
TS_HANDLER(EngW7)
TS_HANDLER(EngW8)
TS_HANDLER(EngW9)
TS_HANDLER(EngW10)
TS_HANDLER(EngW11)
TS_HANDLER(EngW12)
TS_HANDLER(EngClick)
TS_HANDLER(EngFocus)
TS_HANDLER(EngBlur)
