// MD5 against the RFC 1321 test suite, the padding boundaries and large
// input fed in odd-sized pieces; and the digest command's text result.
#include "libs/digest/md5.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "libs/digest/digest_library.h"
#include "runtime/values.h"

namespace {

std::string HexOf(const void* data, size_t n) {
  uint8_t digest[16];
  ts::Md5(data, n, digest);
  char hex[33];
  ts::Md5Hex(digest, hex);
  return hex;
}

std::string HexOf(const std::string& s) { return HexOf(s.data(), s.size()); }

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + 3);
  return v;
}

TEST(Md5, MatchesTheReferenceTestSuite) {
  EXPECT_EQ(HexOf(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(HexOf("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(HexOf("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(HexOf("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(HexOf("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(HexOf("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  std::string eighty;
  for (int i = 0; i < 8; ++i) eighty += "1234567890";
  EXPECT_EQ(HexOf(eighty), "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingBoundariesAroundOneBlock) {
  // 55 bytes leave room for the length in the same block, 56..63 do not.
  const struct {
    size_t n;
    const char* hex;
  } cases[] = {{55, "ef1772b6dff9a122358552954ad0df65"}, {56, "3b0c8ac703f828b04c6c197006d17218"},
               {63, "b06521f39153d618550606be297466d5"}, {64, "014842d480b571495a4a0363793f7367"},
               {65, "c743a45e0d2e6a95cb859adae0248435"}, {127, "020406e1d05cdc2aa287641f7ae2cc39"},
               {128, "e510683b3f5ffe4093d021808bc6ff70"}};
  for (const auto& c : cases) EXPECT_EQ(HexOf(std::string(c.n, 'a')), c.hex) << c.n << " bytes";
}

TEST(Md5, PiecesInAnySizeGiveTheOneCallDigest) {
  const std::vector<uint8_t> data = Pattern(3 * 1024 * 1024 + 17);
  const std::string whole = HexOf(data.data(), data.size());
  EXPECT_EQ(whole, "a9a3d18cac8c95d4bdeae2d821be2e00");
  for (size_t piece : {size_t{1}, size_t{63}, size_t{65}, size_t{4097}, size_t{100003}}) {
    ts::Md5State s;
    ts::Md5Init(&s);
    size_t at = 0;
    // Vary the piece size so that partial blocks meet every offset.
    for (size_t k = 0; at < data.size(); ++k) {
      size_t take = std::min(piece + k % 3, data.size() - at);
      ts::Md5Update(&s, data.data() + at, take);
      at += take;
    }
    ts::Md5Update(&s, data.data(), 0);
    uint8_t digest[16];
    ts::Md5Final(&s, digest);
    char hex[33];
    ts::Md5Hex(digest, hex);
    EXPECT_EQ(whole, hex) << "pieces of about " << piece;
  }
}

TEST(Md5, UnalignedInputGivesTheSameDigest) {
  std::vector<uint8_t> buf(1000 + 3);
  const std::vector<uint8_t> data = Pattern(1000);
  std::copy(data.begin(), data.end(), buf.begin() + 3);
  EXPECT_EQ(HexOf(buf.data() + 3, 1000), HexOf(data.data(), 1000));
}

std::string DigestCommand(const uint8_t* set) {
  ts::ArgRecord arg{};
  ts::SetSlotPointer(arg.v, set ? set : ts::EmptyByteSetArg());
  arg.type = ts::tag::Bytes;
  ts::ResultRecord r{};
  ts::DataDigest(&r, 1, &arg);
  EXPECT_EQ(r.type, ts::tag::Text);
  char* text = static_cast<char*>(ts::SlotPointer(r.v));
  std::string s = text ? text : "";
  ts::Free(text);
  return s;
}

TEST(DataDigest, GivesThirtyTwoLowerCaseDigitsAlsoForTheEmptyByteSet) {
  EXPECT_EQ(DigestCommand(nullptr), "d41d8cd98f00b204e9800998ecf8427e");
  uint8_t* set = ts::MakeByteSet("abc", 3);
  const std::string hex = DigestCommand(set);
  EXPECT_EQ(hex, "900150983cd24fb0d6963f7d28e17f72");
  ts::Free(set);
  // Bytes below 16 print as two digits ("00", "04" in the empty digest).
  uint8_t* zeros = ts::MakeByteSet(std::string(1000, '\0').data(), 1000);
  EXPECT_EQ(DigestCommand(zeros), "ede3d3b685b4e137ba4cb2521329a75e");
  ts::Free(zeros);
}

}  // namespace
