// A little-endian reader over a byte range that cannot run past its end:
// a read past the end yields zeros and marks the reader failed, so a parser
// can read a whole header and check `ok()` once.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ts::images {

class ByteReader {
 public:
  ByteReader(const uint8_t* bytes, size_t length) : bytes_(bytes), length_(length) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t size() const { return length_; }
  size_t remaining() const { return length_ - pos_; }
  const uint8_t* here() const { return bytes_ + pos_; }

  uint8_t U8() {
    if (pos_ >= length_) {
      ok_ = false;
      return 0;
    }
    return bytes_[pos_++];
  }
  uint16_t U16() {
    uint16_t lo = U8();
    uint16_t hi = U8();
    return static_cast<uint16_t>(lo | (hi << 8));
  }
  uint32_t U32() {
    uint32_t lo = U16();
    uint32_t hi = U16();
    return lo | (hi << 16);
  }
  int32_t I32() { return static_cast<int32_t>(U32()); }

  // Moves forward; fails (and stops at the end) when fewer bytes remain.
  bool Skip(size_t count) {
    if (count > remaining()) {
      pos_ = length_;
      ok_ = false;
      return false;
    }
    pos_ += count;
    return true;
  }
  // Jumps to an absolute offset inside the data.
  bool Seek(size_t offset) {
    if (offset > length_) {
      ok_ = false;
      return false;
    }
    pos_ = offset;
    return true;
  }
  // Hands out the next `count` bytes, or null (and failure) when short.
  const uint8_t* Take(size_t count) {
    if (count > remaining()) {
      pos_ = length_;
      ok_ = false;
      return nullptr;
    }
    const uint8_t* p = bytes_ + pos_;
    pos_ += count;
    return p;
  }

 private:
  const uint8_t* bytes_;
  size_t length_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Writes little-endian values into a buffer (used for the DIB headers that
// the indexed layouts carry).
inline void PutU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32(uint8_t* p, uint32_t v) {
  PutU16(p, static_cast<uint16_t>(v));
  PutU16(p + 2, static_cast<uint16_t>(v >> 16));
}

}  // namespace ts::images
