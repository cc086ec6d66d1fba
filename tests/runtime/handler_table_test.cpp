// The handler thunk table: entry k at code base + 16 × k reaches handler k.
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/dispatch.h"
#include "runtime/handler_table.h"

extern "C" {
int g_handlerHits[3];
void TestHandlerA() { ++g_handlerHits[0]; }
void TestHandlerB(uint32_t a, uint32_t b) { g_handlerHits[1] += static_cast<int>(a * 10 + b); }
void TestHandlerC() { ts::HandlerReturn(77); }
extern const unsigned char ts_test_handlers[];
}

TS_HANDLER_TABLE_BEGIN(ts_test_handlers)
TS_HANDLER(TestHandlerA)
TS_HANDLER_GAP()
TS_HANDLER(TestHandlerB)
TS_HANDLER(TestHandlerC)

TEST(HandlerTable, EachEntryIsSixteenBytesAndJumpsToItsHandler) {
  uintptr_t base = reinterpret_cast<uintptr_t>(ts_test_handlers);
  EXPECT_EQ(base % 16, 0u);
  EXPECT_EQ(ts_test_handlers[0], 0xE9);
  EXPECT_EQ(ts_test_handlers[16], 0xCC);  // the gap
  ts::CallWithWords(base + 0, nullptr, 0);
  const uint32_t words[2] = {4, 2};
  ts::CallWithWords(base + 32, words, 2);
  EXPECT_EQ(g_handlerHits[0], 1);
  EXPECT_EQ(g_handlerHits[1], 42);
}
