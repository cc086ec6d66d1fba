// The paths of one scan, each stored once and named by a number. Numbers
// follow the order in which paths are added, which is the scan order, so a
// number also says which of two files came first. A path is kept as its
// folder (stored once for all the files of that folder) and its name, the
// names packed in large shared blocks: tens of thousands of paths cost
// little more than their names, and the scan's indexes hold 4-byte numbers
// instead of copies of the texts.
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

  // `folder` ends with its separator; the path is folder followed by name.
  uint32_t Add(std::string_view folder, std::string_view name);
  std::string Text(uint32_t id) const;
  uint32_t Count() const { return static_cast<uint32_t>(entries_.size()); }
  void Clear();

 private:
  static constexpr size_t kBlock = 256 * 1024;
  struct Entry {
    uint32_t folder;
    uint32_t block;
    uint32_t offset;
    uint32_t length;
  };
  std::vector<std::string> folders_;
  std::vector<std::unique_ptr<char[]>> blocks_;
  size_t capacity_ = 0;  // of the last block
  size_t used_ = 0;      // of the last block
  std::vector<Entry> entries_;
};

}  // namespace app
