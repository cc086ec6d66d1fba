#include "runtime/hand_cursor.h"

#include <cstdint>
#include <cstring>

namespace ts {
namespace {

// A pointing hand: 'X' black outline, 'o' white inside, anything else
// transparent. The hot spot is the tip of the finger.
const char* const kHand[] = {
    ".....XX..........",
    "....XooX.........",
    "....XooX.........",
    "....XooX.........",
    "....XooXXX.......",
    "....XooXooXXX....",
    "....XooXooXooXX..",
    ".XX.XooXooXooXoX.",
    "XooXXooooooooXoX.",
    "XoooXoooooooooooX",
    ".XooXoooooooooooX",
    "..XoXoooooooooooX",
    "..XooooooooooooX.",
    "...XoooooooooooX.",
    "...XooooooooooX..",
    "....XoooooooooX..",
    "....XooooooooX...",
    ".....XoooooooX...",
    ".....XoooooooX...",
    ".....XXXXXXXXX...",
};
constexpr int kSide = 32;
constexpr int kHotX = 5, kHotY = 0;

HCURSOR MakeHand() {
  // AND mask 1 keeps the screen; AND 0 with XOR 0 is black, XOR 1 white.
  uint8_t andMask[kSide * kSide / 8];
  uint8_t xorMask[kSide * kSide / 8];
  std::memset(andMask, 0xFF, sizeof andMask);
  std::memset(xorMask, 0x00, sizeof xorMask);
  int rows = static_cast<int>(sizeof kHand / sizeof kHand[0]);
  for (int y = 0; y < rows && y < kSide; ++y) {
    for (int x = 0; kHand[y][x] != 0 && x < kSide; ++x) {
      char c = kHand[y][x];
      if (c != 'X' && c != 'o') continue;
      int byte = y * (kSide / 8) + x / 8;
      auto bit = static_cast<uint8_t>(0x80u >> (x % 8));
      andMask[byte] = static_cast<uint8_t>(andMask[byte] & ~bit);
      if (c == 'o') xorMask[byte] = static_cast<uint8_t>(xorMask[byte] | bit);
    }
  }
  return ::CreateCursor(::GetModuleHandleA(nullptr), kHotX, kHotY, kSide, kSide, andMask, xorMask);
}

}  // namespace

HCURSOR RuntimeHandCursor() {
  static const HCURSOR hand = MakeHand();
  return hand;
}

}  // namespace ts
