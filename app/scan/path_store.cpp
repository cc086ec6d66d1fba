#include "app/scan/path_store.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "app/scan/path_rules.h"

namespace ts::app {

uint32_t PathStore::Add(std::wstring_view folder, std::wstring_view name) {
  std::unique_lock hold(lock_);
  // Files come folder by folder: only a change of folder stores a new one.
  const uint32_t id = static_cast<uint32_t>(names_.size());
  if (runs_.empty() || lastFolder_ != folder) {
    lastFolder_.assign(folder);
    runs_.push_back(Run{id, Put(folder)});
  }
  names_.push_back(Put(name));
  return id;
}

uint32_t PathStore::Put(std::wstring_view s) {
  std::string text;
  const bool wide = !SpelledExactly(s, &text);
  const size_t length = wide ? s.size() : text.size();
  const size_t bytes = wide ? s.size() * sizeof(wchar_t) : text.size();
  // The length goes first, seven bits a byte, with the UTF-16 mark in its
  // lowest bit.
  uint8_t head[6];
  size_t headBytes = 0;
  for (uint64_t n = (static_cast<uint64_t>(length) << 1) | (wide ? 1 : 0); headBytes == 0 || n != 0; n >>= 7) {
    head[headBytes++] = static_cast<uint8_t>((n & 0x7F) | (n >= 0x80 ? 0x80 : 0));
  }
  const size_t need = headBytes + bytes;
  if (blocks_.empty() || capacity_ - used_ < need) {
    total_ += used_;
    capacity_ = static_cast<uint32_t>(std::max(kBlock, need));
    blocks_.push_back(Block{std::unique_ptr<char[]>(new char[capacity_]), total_});
    used_ = 0;
  }
  char* at = blocks_.back().bytes.get() + used_;
  std::memcpy(at, head, headBytes);
  if (bytes) std::memcpy(at + headBytes, wide ? static_cast<const void*>(s.data()) : text.data(), bytes);
  const uint32_t offset = total_ + used_;
  used_ += static_cast<uint32_t>(need);
  return offset;
}

PathStore::Stored PathStore::At(uint32_t offset) const {
  auto block = std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                                [](uint32_t o, const Block& b) { return o < b.start; }) - 1;
  const uint8_t* at = reinterpret_cast<const uint8_t*>(block->bytes.get()) + (offset - block->start);
  uint64_t head = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t b = *at++;
    head |= static_cast<uint64_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
  }
  return Stored{reinterpret_cast<const char*>(at), static_cast<size_t>(head >> 1), (head & 1) != 0};
}

void PathStore::AppendExact(const Stored& s, std::wstring* out) {
  if (s.wide) {
    // UTF-16 units may stand at any byte: copied, not read in place.
    const size_t at = out->size();
    out->resize(at + s.length);
    std::memcpy(out->data() + at, s.bytes, s.length * sizeof(wchar_t));
  } else {
    out->append(WideFromText(std::string_view(s.bytes, s.length)));
  }
}

void PathStore::AppendText(const Stored& s, std::string* out) {
  if (s.wide) {
    std::wstring exact;
    AppendExact(s, &exact);
    out->append(ShownText(exact));
  } else {
    out->append(s.bytes, s.length);
  }
}

void PathStore::Parts(uint32_t id, Stored* folder, Stored* name) const {
  auto run = std::upper_bound(runs_.begin(), runs_.end(), id, [](uint32_t i, const Run& r) { return i < r.first; }) - 1;
  *folder = At(run->folder);
  *name = At(names_[id]);
}

std::wstring PathStore::Exact(uint32_t id) const {
  std::shared_lock hold(lock_);
  Stored folder, name;
  Parts(id, &folder, &name);
  std::wstring path;
  path.reserve(folder.length + name.length);
  AppendExact(folder, &path);
  AppendExact(name, &path);
  return path;
}

std::string PathStore::Text(uint32_t id) const {
  std::shared_lock hold(lock_);
  Stored folder, name;
  Parts(id, &folder, &name);
  std::string text;
  text.reserve(folder.length + name.length);
  AppendText(folder, &text);
  AppendText(name, &text);
  return text;
}

uint32_t PathStore::Count() const {
  std::shared_lock hold(lock_);
  return static_cast<uint32_t>(names_.size());
}

void PathStore::Clear() {
  std::unique_lock hold(lock_);
  lastFolder_.clear();
  runs_.clear();
  blocks_.clear();
  names_.clear();
  capacity_ = 0;
  used_ = 0;
  total_ = 0;
}

}  // namespace ts::app
