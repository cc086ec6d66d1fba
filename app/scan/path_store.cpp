#include "app/scan/path_store.h"

#include <algorithm>
#include <cstring>

namespace app {

uint32_t PathStore::Add(std::string_view path) {
  const size_t need = path.size() + 1;
  if (blocks_.empty() || capacity_ - used_ < need) {
    capacity_ = std::max(kBlock, need);
    blocks_.emplace_back(new char[capacity_]);
    used_ = 0;
  }
  char* at = blocks_.back().get() + used_;
  std::memcpy(at, path.data(), path.size());
  at[path.size()] = '\0';
  entries_.push_back(Entry{static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(used_),
                           static_cast<uint32_t>(path.size())});
  used_ += need;
  return static_cast<uint32_t>(entries_.size() - 1);
}

void PathStore::Clear() {
  blocks_.clear();
  entries_.clear();
  capacity_ = 0;
  used_ = 0;
}

}  // namespace app
