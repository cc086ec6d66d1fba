#include "forms/byte_reader.h"

#include <cstring>

namespace ts::forms {

uint8_t ByteReader::u8() {
  const uint8_t* p = take(1);
  return p ? p[0] : 0;
}

uint16_t ByteReader::u16() {
  const uint8_t* p = take(2);
  return p ? uint16_t(p[0] | p[1] << 8) : 0;
}

uint32_t ByteReader::u32() {
  const uint8_t* p = take(4);
  return p ? LoadU32(p) : 0;
}

bool ByteReader::skip(size_t n) { return take(n) != nullptr || n == 0; }

const uint8_t* ByteReader::take(size_t n) {
  if (!ok_ || n > size_ - pos_) {
    fail();
    return nullptr;
  }
  const uint8_t* p = data_ + pos_;
  pos_ += n;
  return p;
}

Bytes ByteReader::block() {
  uint32_t n = u32();
  const uint8_t* p = take(n);
  return p ? Bytes(p, p + n) : Bytes();
}

std::string ByteReader::countedText() {
  uint32_t n = u32();
  const uint8_t* p = take(n);
  return p ? std::string(reinterpret_cast<const char*>(p), n) : std::string();
}

std::string ByteReader::zeroText() {
  if (!ok_) return {};
  const void* end = std::memchr(data_ + pos_, 0, size_ - pos_);
  if (!end) {
    fail();
    return {};
  }
  size_t n = static_cast<const uint8_t*>(end) - (data_ + pos_);
  std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
  pos_ += n + 1;
  return s;
}

std::vector<std::string> ByteReader::textList() {
  uint32_t count = u16();
  if (count == 0xFFFF) count = u32();
  std::vector<std::string> list;
  // Every counted text needs at least its 4-byte length; a count that the
  // remaining bytes cannot hold is a broken list, not a huge allocation.
  if (!ok_ || count > remaining() / 4) {
    if (count != 0) fail();
    return list;
  }
  list.reserve(count);
  for (uint32_t i = 0; i < count && ok_; ++i) list.push_back(countedText());
  if (!ok_) list.clear();
  return list;
}

void ByteWriter::u16(uint16_t v) {
  out_.push_back(uint8_t(v));
  out_.push_back(uint8_t(v >> 8));
}

void ByteWriter::u32(uint32_t v) {
  uint8_t b[4];
  StoreU32(b, v);
  raw(b, 4);
}

void ByteWriter::raw(const void* p, size_t n) {
  const uint8_t* b = static_cast<const uint8_t*>(p);
  out_.insert(out_.end(), b, b + n);
}

void ByteWriter::block(const Bytes& b) {
  u32(static_cast<uint32_t>(b.size()));
  raw(b);
}

void ByteWriter::countedText(const std::string& s) {
  u32(static_cast<uint32_t>(s.size()));
  raw(s.data(), s.size());
}

void ByteWriter::zeroText(const std::string& s) {
  raw(s.data(), s.size());
  u8(0);
}

void ByteWriter::textList(const std::vector<std::string>& list) {
  if (list.size() < 0xFFFF) {
    u16(static_cast<uint16_t>(list.size()));
  } else {
    u16(0xFFFF);
    u32(static_cast<uint32_t>(list.size()));
  }
  for (const std::string& s : list) countedText(s);
}

}  // namespace ts::forms
