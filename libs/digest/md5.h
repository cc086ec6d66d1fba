// MD5 message digest (RFC 1321). Whole 64-byte blocks are hashed straight
// from the caller's buffer; only a partial tail is copied into the state's
// block buffer. Md5Init/Md5Update/Md5Final give the same digest as Md5 over
// the concatenated pieces, for input read in parts.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ts {

struct Md5State {
  uint32_t words[4];    // chaining words A, B, C, D
  uint64_t bitCount;    // bits hashed so far (modulo 2^64)
  uint8_t block[64];    // pending bytes of an incomplete block
};

void Md5Init(Md5State* state);
void Md5Update(Md5State* state, const void* data, size_t length);
void Md5Final(Md5State* state, uint8_t digest[16]);

// One-call digest of a whole buffer.
void Md5(const void* data, size_t length, uint8_t digest[16]);

// 32 lower-case hex digits plus a terminating zero.
void Md5Hex(const uint8_t digest[16], char out[33]);

}  // namespace ts
