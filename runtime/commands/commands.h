// The core commands that application code calls through the command-call
// convention: (result record, argument count, argument records). Argument
// positions are 1-based in the comments; an omitted optional argument has
// type tag 0 and takes its default. No command raises a run-time error for
// bad inputs: positions and counts are clamped, or the result is empty.
#pragma once

#include <string>

#include "runtime/values.h"

namespace ts {

// --- text -------------------------------------------------------------------
void TextLength(ResultRecord* r, int argc, ArgRecord* args);   // text → integer
void TextLeft(ResultRecord* r, int argc, ArgRecord* args);     // text, n → text
void TextRight(ResultRecord* r, int argc, ArgRecord* args);    // text, n → text
void TextMiddle(ResultRecord* r, int argc, ArgRecord* args);   // text, start, n → text
// text, sub, [start = 1], [ignore case = false] → position or -1
void TextFind(ResultRecord* r, int argc, ArgRecord* args);
// text, old, [new = ""], [start = 1], [count = all], [case-sensitive = false] → text
void TextReplace(ResultRecord* r, int argc, ArgRecord* args);
// text, [separator = ","], [maximum pieces] → array of text
void TextSplit(ResultRecord* r, int argc, ArgRecord* args);

// --- conversions ------------------------------------------------------------
void ToText(ResultRecord* r, int argc, ArgRecord* args);
void ToInteger(ResultRecord* r, int argc, ArgRecord* args);
void ToLongInteger(ResultRecord* r, int argc, ArgRecord* args);
void FloorToInteger(ResultRecord* r, int argc, ArgRecord* args);
void BitAnd(ResultRecord* r, int argc, ArgRecord* args);
void ToBytes(ResultRecord* r, int argc, ArgRecord* args);

// --- time -------------------------------------------------------------------
void CurrentTime(ResultRecord* r, int argc, ArgRecord* args);
// time 1, time 2, unit (1 years .. 8 seconds) → double
void TimeDifference(ResultRecord* r, int argc, ArgRecord* args);

// --- system (Windows only) --------------------------------------------------
// command line, [wait = false], [window mode = 2] → bool
void RunProgram(ResultRecord* r, int argc, ArgRecord* args);
// RunProgram's work on a command line in UTF-16, which the command reaches
// through its text converted as the platform's ANSI functions convert it:
// false when the program cannot start.
bool StartProgram(const std::wstring& commandLine, bool wait, int32_t mode);
// file name → byte set, empty on any failure
void ReadWholeFile(ResultRecord* r, int argc, ArgRecord* args);
// message, style, [caption = "信息："], [owner] → button code 0..6
void ShowMessage(ResultRecord* r, int argc, ArgRecord* args);
void ProcessEvents(ResultRecord* r, int argc, ArgRecord* args);

}  // namespace ts
