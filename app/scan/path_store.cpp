#include "app/scan/path_store.h"

#include <algorithm>
#include <cstring>

namespace app {

uint32_t PathStore::Add(std::string_view folder, std::string_view name) {
  // Files come folder by folder: only a change of folder stores a new one.
  const uint32_t id = Count();
  if (folders_.empty() || folders_.back() != folder) {
    folders_.emplace_back(folder);
    runs_.push_back(Run{id, static_cast<uint32_t>(folders_.size() - 1)});
  }
  // The name's length goes first, seven bits a byte.
  uint8_t length[5];
  size_t lengthBytes = 0;
  for (size_t n = name.size(); lengthBytes == 0 || n != 0; n >>= 7) {
    length[lengthBytes++] = static_cast<uint8_t>((n & 0x7F) | (n >= 0x80 ? 0x80 : 0));
  }
  const size_t need = lengthBytes + name.size();
  if (blocks_.empty() || capacity_ - used_ < need) {
    total_ += used_;
    capacity_ = static_cast<uint32_t>(std::max(kBlock, need));
    blocks_.push_back(Block{std::unique_ptr<char[]>(new char[capacity_]), total_});
    used_ = 0;
  }
  char* at = blocks_.back().bytes.get() + used_;
  std::memcpy(at, length, lengthBytes);
  if (!name.empty()) std::memcpy(at + lengthBytes, name.data(), name.size());
  names_.push_back(total_ + used_);
  used_ += static_cast<uint32_t>(need);
  return id;
}

std::string PathStore::Text(uint32_t id) const {
  const uint32_t offset = names_[id];
  auto block = std::upper_bound(blocks_.begin(), blocks_.end(), offset,
                                [](uint32_t o, const Block& b) { return o < b.start; }) - 1;
  auto run = std::upper_bound(runs_.begin(), runs_.end(), id, [](uint32_t i, const Run& r) { return i < r.first; }) - 1;
  const uint8_t* at = reinterpret_cast<const uint8_t*>(block->bytes.get()) + (offset - block->start);
  size_t length = 0;
  for (int shift = 0;; shift += 7) {
    const uint8_t b = *at++;
    length |= static_cast<size_t>(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
  }
  const std::string& folder = folders_[run->folder];
  std::string path;
  path.reserve(folder.size() + length);
  path.append(folder).append(reinterpret_cast<const char*>(at), length);
  return path;
}

void PathStore::Clear() {
  folders_.clear();
  runs_.clear();
  blocks_.clear();
  names_.clear();
  capacity_ = 0;
  used_ = 0;
  total_ = 0;
}

}  // namespace app
