// Little-endian readers and writers over byte ranges. The reader is bounded:
// it never reads past the end of its range; a read that would do so fails,
// yields zeros and leaves the reader failed for good, so a caller may read a
// whole sequence and test ok() once at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ts::forms {

using Bytes = std::vector<uint8_t>;

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  explicit ByteReader(const Bytes& b) : ByteReader(b.data(), b.size()) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
  bool atEnd() const { return ok_ && pos_ == size_; }
  const uint8_t* data() const { return data_; }

  uint8_t u8();
  uint16_t u16();
  uint32_t u32();
  int32_t i32() { return static_cast<int32_t>(u32()); }
  // Skips n bytes; fails when fewer remain.
  bool skip(size_t n);
  // Points at the next n bytes and steps over them; null (and failed) when
  // fewer remain.
  const uint8_t* take(size_t n);
  // u32 length, then that many bytes.
  Bytes block();
  // u32 length, then that many bytes of text (no terminator).
  std::string countedText();
  // Bytes up to a 0 byte, which is consumed; fails without a terminator.
  std::string zeroText();
  // u16 count (0xFFFF: a u32 count follows), then that many counted texts.
  std::vector<std::string> textList();

 private:
  bool fail() {
    ok_ = false;
    return false;
  }
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

class ByteWriter {
 public:
  void u8(uint8_t v) { out_.push_back(v); }
  void u16(uint16_t v);
  void u32(uint32_t v);
  void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
  void raw(const void* p, size_t n);
  void raw(const Bytes& b) { raw(b.data(), b.size()); }
  void block(const Bytes& b);
  void countedText(const std::string& s);
  void zeroText(const std::string& s);
  // Counts below 0xFFFF take a u16; larger lists write 0xFFFF and a u32.
  void textList(const std::vector<std::string>& list);

  const Bytes& bytes() const { return out_; }
  Bytes take() { return std::move(out_); }
  size_t size() const { return out_.size(); }

 private:
  Bytes out_;
};

// Little-endian access to a u32 inside a buffer (bounds are the caller's).
inline uint32_t LoadU32(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void StoreU32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
  p[2] = uint8_t(v >> 16);
  p[3] = uint8_t(v >> 24);
}

}  // namespace ts::forms
