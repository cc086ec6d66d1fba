// Random texts rich in double-byte characters, lone lead bytes and
// separators: every answer of the text commands must hold up when checked
// against the text itself. Built for the host with sanitisers as well, where
// a read past a text's end fails the run.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "runtime/commands/commands.h"
#include "tests/support/args.h"

using namespace ts::test;

namespace {

std::string RandomText(std::mt19937& rng, size_t maxLen) {
  static const char kAlphabet[] = {'a', 'A', ';', '\\', '\xB0', '\xA1', '\xD5', '\x5C', '\xA3', '\xB1', ' '};
  std::uniform_int_distribution<size_t> len(0, maxLen), pick(0, sizeof kAlphabet - 1);
  std::string s(len(rng), 'a');
  for (char& c : s) c = kAlphabet[pick(rng)];
  return s;
}

// Character starts of a text, stepping over double-byte pairs.
std::vector<bool> Starts(const std::string& t) {
  std::vector<bool> start(t.size() + 1, false);
  for (size_t i = 0; i < t.size();) {
    start[i] = true;
    i += (static_cast<uint8_t>(t[i]) >= 0x81 && static_cast<uint8_t>(t[i]) <= 0xFE && i + 1 < t.size()) ? 2 : 1;
  }
  return start;
}

TEST(TextProperties, FindReportsOnlyRealMatchesAtCharacterStarts) {
  std::mt19937 rng(12345);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = RandomText(rng, 24), sub = RandomText(rng, 3);
    const int start = static_cast<int>(rng() % 30) - 3;
    const int32_t at = Call(ts::TextFind, {Text(text.c_str()), Text(sub.c_str()), Int(start)}).v.i32;
    if (at == -1 || sub.empty()) continue;
    ASSERT_GE(at, 1);
    ASSERT_LE(at - 1 + sub.size(), text.size());
    EXPECT_EQ(text.compare(at - 1, sub.size(), sub), 0) << text << " / " << sub;
    if (start <= 1) {
      EXPECT_TRUE(Starts(text)[at - 1]) << text << " / " << sub;
    }
  }
}

TEST(TextProperties, SplitPiecesRebuildTheText) {
  std::mt19937 rng(777);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = RandomText(rng, 24);
    const std::vector<std::string> pieces = TakeTexts(Call(ts::TextSplit, {Text(text.c_str()), Text(";")}));
    std::string joined;
    for (size_t k = 0; k < pieces.size(); ++k) joined += (k ? ";" : "") + pieces[k];
    // Only a trailing separator is lost.
    if (!text.empty() && text.back() == ';' && (text.size() < 2 || Starts(text)[text.size() - 1])) joined += ";";
    EXPECT_EQ(joined, text);
  }
}

TEST(TextProperties, ReplacingATextWithItselfChangesNothing) {
  std::mt19937 rng(4242);
  for (int i = 0; i < 3000; ++i) {
    const std::string text = RandomText(rng, 24), old = RandomText(rng, 3);
    const std::string out = TakeText(Call(ts::TextReplace, {Text(text.c_str()), Text(old.c_str()), Text(old.c_str()),
                                                            Omitted(), Omitted(), Bool(true)}));
    EXPECT_EQ(out, text);
    const std::string left = TakeText(Call(ts::TextLeft, {Text(text.c_str()), Int(static_cast<int>(rng() % 30))}));
    EXPECT_EQ(text.compare(0, left.size(), left), 0);
  }
}

}  // namespace
