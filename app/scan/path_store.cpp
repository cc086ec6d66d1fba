#include "app/scan/path_store.h"

#include <algorithm>
#include <cstring>

namespace app {

uint32_t PathStore::Add(std::string_view folder, std::string_view name) {
  // Files come folder by folder: only a change of folder stores a new one.
  if (folders_.empty() || folders_.back() != folder) folders_.emplace_back(folder);
  if (blocks_.empty() || capacity_ - used_ < name.size()) {
    capacity_ = std::max(kBlock, name.size());
    blocks_.emplace_back(new char[capacity_]);
    used_ = 0;
  }
  if (!name.empty()) std::memcpy(blocks_.back().get() + used_, name.data(), name.size());
  entries_.push_back(Entry{static_cast<uint32_t>(folders_.size() - 1), static_cast<uint32_t>(blocks_.size() - 1),
                           static_cast<uint32_t>(used_), static_cast<uint32_t>(name.size())});
  used_ += name.size();
  return static_cast<uint32_t>(entries_.size() - 1);
}

std::string PathStore::Text(uint32_t id) const {
  const Entry& e = entries_[id];
  const std::string& folder = folders_[e.folder];
  std::string path;
  path.reserve(folder.size() + e.length);
  path.append(folder).append(blocks_[e.block].get() + e.offset, e.length);
  return path;
}

void PathStore::Clear() {
  folders_.clear();
  blocks_.clear();
  entries_.clear();
  capacity_ = 0;
  used_ = 0;
}

}  // namespace app
