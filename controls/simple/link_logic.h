// Plain rules behind the hyperlink and the progress bar, kept apart from
// the windows so that they can be checked on their own.
#pragma once

#include <cstdint>
#include <string>

namespace ts::controls {

// Hyperlink kinds.
constexpr int32_t kMailLink = 0;
constexpr int32_t kWebLink = 1;

// What a click opens: the web address for a web link, "mailto:" and the
// mail address for a mail link; empty when the address is empty (a click
// then does nothing).
std::string LinkTarget(int32_t kind, const std::string& mailAddress, const std::string& webAddress);

// The text a hyperlink shows: its caption, or the address a click opens.
std::string LinkDisplayText(const std::string& caption, const std::string& target);

// The browser command line built from the registered open command of the
// ".htm" class and a target: the command is cut at the first quoted "%1"
// (quotes included), else at the first %1; a command without %1 is kept
// whole. Then a blank and the target follow; a target holding blanks is
// quoted so that it stays one argument. Empty when the command is empty.
std::string BrowserCommandLine(const std::string& registeredCommand, const std::string& target);

// Progress bar values are kept within 0..32767.
inline int32_t ClampProgressValue(int32_t v) { return v < 0 ? 0 : (v > 32767 ? 32767 : v); }

// The platform range from two bounds given in either order.
struct ProgressRange {
  int32_t low;
  int32_t high;
};
inline ProgressRange OrderedRange(int32_t a, int32_t b) { return a <= b ? ProgressRange{a, b} : ProgressRange{b, a}; }
inline int32_t PositionInRange(int32_t position, ProgressRange r) {
  return position < r.low ? r.low : (position > r.high ? r.high : position);
}

}  // namespace ts::controls
