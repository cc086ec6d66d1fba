// The paths of one scan, each stored once and named by a number. Numbers
// follow the order in which paths are added, which is the scan order, so a
// number also says which of two files came first. A path is kept as its
// folder (stored once for the run of files added from it) and its name,
// packed with their lengths in large shared blocks: a path costs its name
// and 4 bytes more, and the scan's indexes hold 4-byte numbers instead of
// copies of the texts.
//
// Paths are exact (UTF-16, as the platform lists them). A name or folder
// that code page 936 spells exactly is kept in the code page, as compact as
// a text; any other is kept in UTF-16. Either way the exact path comes back
// unchanged, and so does the text the window shows for it.
//
// The window reads paths while the scan adds more: reading and adding may
// happen on different threads.
#pragma once

#include <cstdint>
#include <memory>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

namespace ts::app {

class PathStore {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // `folder` ends with its separator; the path is folder followed by name.
  uint32_t Add(std::wstring_view folder, std::wstring_view name);
  // The exact path, for the file functions.
  std::wstring Exact(uint32_t id) const;
  // The path as the window shows it (see ShownText).
  std::string Text(uint32_t id) const;
  uint32_t Count() const;
  void Clear();

 private:
  static constexpr size_t kBlock = 256 * 1024;
  struct Block {
    std::unique_ptr<char[]> bytes;
    uint32_t start;  // where the block begins among all stored bytes
  };
  struct Run {
    uint32_t first;   // the first path of the run
    uint32_t folder;  // where the folder of every path of the run is stored
  };
  // A stored folder or name, where it begins among all stored bytes.
  struct Stored {
    const char* bytes;
    size_t length;  // in code-page bytes or UTF-16 units
    bool wide;
  };
  // Stores a folder or a name; where it begins.
  uint32_t Put(std::wstring_view s);
  Stored At(uint32_t offset) const;
  static void AppendExact(const Stored& s, std::wstring* out);
  static void AppendText(const Stored& s, std::string* out);
  // The stored folder and name of a path.
  void Parts(uint32_t id, Stored* folder, Stored* name) const;

  mutable std::shared_mutex lock_;
  std::wstring lastFolder_;
  std::vector<Run> runs_;
  std::vector<Block> blocks_;
  uint32_t capacity_ = 0;  // of the last block
  uint32_t used_ = 0;      // of the last block
  uint32_t total_ = 0;     // stored bytes before the last block
  std::vector<uint32_t> names_;  // where each path's name is stored
};

}  // namespace ts::app
