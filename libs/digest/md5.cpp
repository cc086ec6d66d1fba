// MD5 (RFC 1321): four rounds of sixteen steps over each 64-byte block.
#include "libs/digest/md5.h"

#include <cstring>

namespace ts {
namespace {

inline uint32_t Rotl(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

inline uint32_t Load32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, 4);  // MD5 words are little-endian, as are our targets
  return v;
}

// The auxiliary functions F, G, H, I in forms that need fewer operations.
#define TS_MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define TS_MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define TS_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define TS_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define TS_MD5_STEP(f, a, b, c, d, m, k, s) \
  (a) += f((b), (c), (d)) + (m) + (k);      \
  (a) = Rotl((a), (s)) + (b)

// Hashes `count` consecutive 64-byte blocks starting at p.
void Blocks(uint32_t words[4], const uint8_t* p, size_t count) {
  uint32_t a = words[0], b = words[1], c = words[2], d = words[3];
  for (; count > 0; --count, p += 64) {
    uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = Load32(p + 4 * i);
    const uint32_t a0 = a, b0 = b, c0 = c, d0 = d;

    TS_MD5_STEP(TS_MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    TS_MD5_STEP(TS_MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    TS_MD5_STEP(TS_MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    TS_MD5_STEP(TS_MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    TS_MD5_STEP(TS_MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    TS_MD5_STEP(TS_MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    TS_MD5_STEP(TS_MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    TS_MD5_STEP(TS_MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    TS_MD5_STEP(TS_MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    TS_MD5_STEP(TS_MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    TS_MD5_STEP(TS_MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    TS_MD5_STEP(TS_MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    TS_MD5_STEP(TS_MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    TS_MD5_STEP(TS_MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    TS_MD5_STEP(TS_MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    TS_MD5_STEP(TS_MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    TS_MD5_STEP(TS_MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    TS_MD5_STEP(TS_MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    TS_MD5_STEP(TS_MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    TS_MD5_STEP(TS_MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    TS_MD5_STEP(TS_MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    TS_MD5_STEP(TS_MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    TS_MD5_STEP(TS_MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    TS_MD5_STEP(TS_MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    TS_MD5_STEP(TS_MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    TS_MD5_STEP(TS_MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    TS_MD5_STEP(TS_MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    TS_MD5_STEP(TS_MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    TS_MD5_STEP(TS_MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    TS_MD5_STEP(TS_MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    TS_MD5_STEP(TS_MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    TS_MD5_STEP(TS_MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    TS_MD5_STEP(TS_MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    TS_MD5_STEP(TS_MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    TS_MD5_STEP(TS_MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    TS_MD5_STEP(TS_MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    TS_MD5_STEP(TS_MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    TS_MD5_STEP(TS_MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    TS_MD5_STEP(TS_MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    TS_MD5_STEP(TS_MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    TS_MD5_STEP(TS_MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    TS_MD5_STEP(TS_MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    TS_MD5_STEP(TS_MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    TS_MD5_STEP(TS_MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    TS_MD5_STEP(TS_MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    TS_MD5_STEP(TS_MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    TS_MD5_STEP(TS_MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    TS_MD5_STEP(TS_MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    TS_MD5_STEP(TS_MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    TS_MD5_STEP(TS_MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    TS_MD5_STEP(TS_MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    TS_MD5_STEP(TS_MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    TS_MD5_STEP(TS_MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    TS_MD5_STEP(TS_MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    TS_MD5_STEP(TS_MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    TS_MD5_STEP(TS_MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    TS_MD5_STEP(TS_MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    TS_MD5_STEP(TS_MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    TS_MD5_STEP(TS_MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    TS_MD5_STEP(TS_MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    TS_MD5_STEP(TS_MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    TS_MD5_STEP(TS_MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    TS_MD5_STEP(TS_MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    TS_MD5_STEP(TS_MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    a += a0;
    b += b0;
    c += c0;
    d += d0;
  }
  words[0] = a;
  words[1] = b;
  words[2] = c;
  words[3] = d;
}

#undef TS_MD5_F
#undef TS_MD5_G
#undef TS_MD5_H
#undef TS_MD5_I
#undef TS_MD5_STEP

}  // namespace

void Md5Init(Md5State* s) {
  s->words[0] = 0x67452301;
  s->words[1] = 0xEFCDAB89;
  s->words[2] = 0x98BADCFE;
  s->words[3] = 0x10325476;
  s->bitCount = 0;
}

void Md5Update(Md5State* s, const void* data, size_t length) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  size_t have = static_cast<size_t>((s->bitCount >> 3) & 63);
  s->bitCount += static_cast<uint64_t>(length) << 3;
  if (have > 0) {
    size_t take = 64 - have;
    if (length < take) {
      if (length > 0) std::memcpy(s->block + have, p, length);
      return;
    }
    std::memcpy(s->block + have, p, take);
    Blocks(s->words, s->block, 1);
    p += take;
    length -= take;
  }
  size_t whole = length / 64;
  if (whole > 0) Blocks(s->words, p, whole);
  p += whole * 64;
  length -= whole * 64;
  if (length > 0) std::memcpy(s->block, p, length);
}

void Md5Final(Md5State* s, uint8_t digest[16]) {
  const uint64_t bits = s->bitCount;
  size_t have = static_cast<size_t>((bits >> 3) & 63);
  // Padding: a single 1 bit, zeros up to 56 mod 64, then the bit length.
  s->block[have++] = 0x80;
  if (have > 56) {
    std::memset(s->block + have, 0, 64 - have);
    Blocks(s->words, s->block, 1);
    have = 0;
  }
  std::memset(s->block + have, 0, 56 - have);
  for (int i = 0; i < 8; ++i) s->block[56 + i] = static_cast<uint8_t>(bits >> (8 * i));
  Blocks(s->words, s->block, 1);
  for (int i = 0; i < 4; ++i) {
    for (int j = 0; j < 4; ++j) digest[4 * i + j] = static_cast<uint8_t>(s->words[i] >> (8 * j));
  }
}

void Md5(const void* data, size_t length, uint8_t digest[16]) {
  Md5State s;
  Md5Init(&s);
  Md5Update(&s, data, length);
  Md5Final(&s, digest);
}

void Md5Hex(const uint8_t digest[16], char out[33]) {
  static const char kHex[] = "0123456789abcdef";
  for (int i = 0; i < 16; ++i) {
    out[2 * i] = kHex[digest[i] >> 4];
    out[2 * i + 1] = kHex[digest[i] & 15];
  }
  out[32] = 0;
}

}  // namespace ts
