// The run-time error report: a fatal condition shows "运行时出错!" with the
// message (and the code, when not 0), drops the exit list and ends the
// program with exit code -1.
#pragma once

#include <cstdint>
#include <string>

namespace ts {

[[noreturn]] void ReportRuntimeError(const char* message, int32_t code = 0);
// Reports the message of a run-time error code (1..11; others have none).
[[noreturn]] void ReportErrorCode(int32_t code);
// The text of the error box for a message and code.
std::string ComposeErrorText(const char* message, int32_t code);
// The message of an error code, or null outside 1..11.
const char* ErrorCodeMessage(int32_t code);

}  // namespace ts
