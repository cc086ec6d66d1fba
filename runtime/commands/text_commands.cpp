// Text commands. Lengths and positions count bytes; a byte 0x81..0xFE starts
// a double-byte character and searching steps over the pair, so a match is
// never found at the second byte of a character.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/commands/arg_values.h"
#include "runtime/commands/commands.h"

namespace ts {
namespace {

// Bytes of the character at p (2 for a lead byte followed by a trail byte).
inline uint32_t CharSize(const char* p) {
  return IsLeadByte(static_cast<uint8_t>(p[0])) && p[1] != 0 ? 2 : 1;
}

inline char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Compares n bytes at a character boundary of t with sub; when ignoreCase
// is set single-byte letters match regardless of case, double-byte
// characters only exactly.
bool MatchAt(const char* t, const char* sub, uint32_t n, bool ignoreCase) {
  if (!ignoreCase) return std::memcmp(t, sub, n) == 0;
  for (uint32_t i = 0; i < n;) {
    if (IsLeadByte(static_cast<uint8_t>(t[i])) && i + 1 < n) {
      if (t[i] != sub[i] || t[i + 1] != sub[i + 1]) return false;
      i += 2;
    } else {
      if (FoldCase(t[i]) != FoldCase(sub[i])) return false;
      ++i;
    }
  }
  return true;
}

char* Slice(const char* text, uint32_t from, uint32_t count) { return MakeText(text + from, count); }

}  // namespace

void TextLength(ResultRecord* r, int argc, ArgRecord* args) {
  SetIntResult(r, static_cast<int32_t>(ts::TextLength(TextArg(argc, args, 0))));
}

void TextLeft(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const int64_t len = ts::TextLength(text);
  const int64_t n = IntArg(argc, args, 1, 0);
  SetTextResult(r, n <= 0 ? nullptr : Slice(text, 0, static_cast<uint32_t>(n < len ? n : len)));
}

void TextRight(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const int64_t len = ts::TextLength(text);
  int64_t n = IntArg(argc, args, 1, 0);
  if (n > len) n = len;
  SetTextResult(r, n <= 0 ? nullptr : Slice(text, static_cast<uint32_t>(len - n), static_cast<uint32_t>(n)));
}

void TextMiddle(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const int64_t len = ts::TextLength(text);
  const int64_t start = IntArg(argc, args, 1, 0);
  int64_t n = IntArg(argc, args, 2, 0);
  if (start < 1 || start > len || n <= 0) {
    SetTextResult(r, nullptr);
    return;
  }
  if (n > len - start + 1) n = len - start + 1;
  SetTextResult(r, Slice(text, static_cast<uint32_t>(start - 1), static_cast<uint32_t>(n)));
}

void TextFind(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const char* sub = TextArg(argc, args, 1);
  const bool ignoreCase = BoolArg(argc, args, 3, false);
  const uint32_t len = ts::TextLength(text);
  const uint32_t subLen = ts::TextLength(sub);
  int64_t b = static_cast<int64_t>(IntArg(argc, args, 2, 1)) - 1;
  if (b < 0) b = 0;
  SetIntResult(r, -1);
  if (b >= len) return;
  if (subLen == 0) {
    SetIntResult(r, 1);
    return;
  }
  for (uint32_t p = static_cast<uint32_t>(b); p + subLen <= len; p += CharSize(text + p)) {
    if (MatchAt(text + p, sub, subLen, ignoreCase)) {
      SetIntResult(r, static_cast<int32_t>(p + 1));
      return;
    }
  }
}

void TextReplace(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const char* old = TextArg(argc, args, 1);
  const char* repl = TextArg(argc, args, 2);
  int64_t s = static_cast<int64_t>(IntArg(argc, args, 3, 1)) - 1;
  if (s < 0) s = 0;
  const bool all = !Given(argc, args, 4);
  int32_t count = IntArg(argc, args, 4, 0);
  const bool ignoreCase = !BoolArg(argc, args, 5, false);
  const uint32_t len = ts::TextLength(text);
  const uint32_t oldLen = ts::TextLength(old);
  const uint32_t replLen = ts::TextLength(repl);
  if (len == 0 || oldLen == 0 || s >= len || (!all && count == 0)) {
    SetTextResult(r, MakeText(text, len));
    return;
  }
  std::string out(text, static_cast<size_t>(s));
  uint32_t p = static_cast<uint32_t>(s);
  while (p + oldLen <= len) {
    if (MatchAt(text + p, old, oldLen, ignoreCase)) {
      out.append(repl, replLen);
      p += oldLen;
      if (!all && --count == 0) break;
    } else {
      const uint32_t step = CharSize(text + p);
      out.append(text + p, step);
      p += step;
    }
  }
  if (p < len) out.append(text + p, len - p);
  SetTextResult(r, MakeText(out.data(), static_cast<uint32_t>(out.size())));
}

void TextSplit(ResultRecord* r, int argc, ArgRecord* args) {
  const char* text = TextArg(argc, args, 0);
  const char* sep = Given(argc, args, 1) ? TextArg(argc, args, 1) : ",";
  const bool unlimited = !Given(argc, args, 2);
  int64_t maximum = IntArg(argc, args, 2, 0);
  if (maximum < 0) maximum = 0;
  const uint32_t len = ts::TextLength(text);
  const uint32_t sepLen = ts::TextLength(sep);

  std::vector<char*> pieces;
  auto full = [&] { return !unlimited && static_cast<int64_t>(pieces.size()) >= maximum; };
  if (len > 0 && !full()) {
    if (sepLen == 0) {
      pieces.push_back(MakeText(text, len));
    } else {
      uint32_t start = 0, p = 0;
      while (p < len && !full()) {
        if (p + sepLen <= len && std::memcmp(text + p, sep, sepLen) == 0) {
          pieces.push_back(MakeText(text + start, p - start));
          p += sepLen;
          start = p;
        } else {
          p += CharSize(text + p);
        }
      }
      if (start < len && !full()) pieces.push_back(MakeText(text + start, len - start));
    }
  }

  const uint32_t n = static_cast<uint32_t>(pieces.size());
  uint8_t* array = static_cast<uint8_t*>(Alloc(8 + n * static_cast<uint32_t>(sizeof(char*))));
  const uint32_t head[2] = {1, n};
  std::memcpy(array, head, 8);
  if (n) std::memcpy(array + 8, pieces.data(), n * sizeof(char*));
  SetResultPointer(r, array);
  r->type = tag::Text | tag::ArrayBit;
}

}  // namespace ts
