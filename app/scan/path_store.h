// The paths of one scan, each stored once and named by a number. Numbers
// follow the order in which paths are added, which is the scan order, so a
// number also says which of two files came first. A path is kept as its
// folder (stored once for the run of files added from it) and its name, the
// names packed with their lengths in large shared blocks: a path costs its
// name and 4 bytes more, and the scan's indexes hold 4-byte numbers instead
// of copies of the texts.
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
  uint32_t Count() const { return static_cast<uint32_t>(names_.size()); }
  void Clear();

 private:
  static constexpr size_t kBlock = 256 * 1024;
  struct Block {
    std::unique_ptr<char[]> bytes;
    uint32_t start;  // where the block begins among all name bytes
  };
  struct Run {
    uint32_t first;   // the first path of the run
    uint32_t folder;  // the folder of every path of the run
  };
  std::vector<std::string> folders_;
  std::vector<Run> runs_;
  std::vector<Block> blocks_;
  uint32_t capacity_ = 0;  // of the last block
  uint32_t used_ = 0;      // of the last block
  uint32_t total_ = 0;     // name bytes before the last block
  std::vector<uint32_t> names_;  // where each path's name begins among all name bytes
};

}  // namespace app
