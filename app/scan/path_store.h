// The paths of one scan, each stored once and named by a number. Numbers
// follow the order in which paths are added, which is the scan order, so a
// number also says which of two files came first. A path is kept as its
// bytes followed by a zero in large shared blocks: tens of thousands of
// paths cost little more than their bytes, and the scan's indexes hold
// 4-byte numbers instead of copies of the texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace app {

class PathStore {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  uint32_t Add(std::string_view path);
  std::string_view Get(uint32_t id) const {
    const Entry& e = entries_[id];
    return std::string_view(blocks_[e.block].get() + e.offset, e.length);
  }
  std::string Text(uint32_t id) const { return std::string(Get(id)); }
  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  void Clear();

 private:
  static constexpr size_t kBlock = 256 * 1024;
  struct Entry {
    uint32_t block;
    uint32_t offset;
    uint32_t length;
  };
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t capacity_ = 0;  // of the last block
  size_t used_ = 0;      // of the last block
  std::vector<Entry> entries_;
};

}  // namespace app
