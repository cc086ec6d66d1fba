// The scan's grouping bookkeeping, kept in memory so that no step of a scan
// is quadratic: digest → row of the digest list and, once a second file of
// the digest arrives, its group. The result tree shows each group as a root
// followed by its children, groups in creation order; a root's tree index
// (its pre-order position) is the number of items of all earlier groups, kept
// in a Fenwick tree so that it costs O(log groups) to find.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "app/scan/flat_table.h"

namespace ts::app {

using Digest = std::array<uint8_t, 16>;

struct DigestHash {
  size_t operator()(const Digest& d) const noexcept;
};

class GroupIndex {
 public:
  GroupIndex() = default;
  GroupIndex(const GroupIndex&) = delete;  // the digest table points at the rows
  GroupIndex& operator=(const GroupIndex&) = delete;

  enum class Kind {
    FirstOfDigest,  // a new digest-list row: the file is known but shown nowhere
    NewGroup,       // second file of the digest: a root for the first file, then this child
    JoinGroup,      // a later file: a child under the group's root
  };

  struct Step {
    Kind kind;
    uint32_t row;         // the digest's row in the digest list
    uint32_t group;       // group number (NewGroup, JoinGroup)
    uint32_t rootIndex;   // the root's tree index now (for NewGroup: where it is created)
    uint32_t childIndex;  // tree index the new child takes (appended after the last child)
    uint32_t first;       // the first file of the digest (NewGroup: the root's text)
  };

  // Records one file (the caller's number for it) with its digest and says
  // what the scan must show.
  Step Add(const Digest& digest, uint32_t file);
  // What is known of a digest before a file is added with it: its first
  // file (UINT32_MAX when the digest is new) and whether it has a group.
  struct Known {
    uint32_t first;
    bool grouped;
  };
  Known Look(const Digest& digest) const;
  void Clear();

  uint32_t RowCount() const { return static_cast<uint32_t>(rows_.size()); }
  uint32_t GroupCount() const { return static_cast<uint32_t>(groupSizes_.size()); }
  uint32_t TreeItemCount() const { return treeItems_; }
  // Tree index of a group's root as the tree stands now.
  uint32_t RootIndex(uint32_t group) const;
  // The tree index text written in the digest list when the group was made.
  uint32_t CreationIndex(uint32_t group) const { return creationIndex_[group]; }

 private:
  struct Row {
    Digest digest;
    uint32_t first;
    int32_t group = -1;
  };
  // A row's number in the digest table; the digest itself stays in the row.
  struct RowSlot {
    uint32_t row = UINT32_MAX;
    bool empty() const { return row == UINT32_MAX; }
  };
  struct RowHash {
    const std::vector<Row>* rows;
    size_t operator()(const RowSlot& slot) const { return DigestHash()((*rows)[slot.row].digest); }
  };
  void FenwickAdd(uint32_t group, uint32_t delta);
  uint32_t FenwickPrefix(uint32_t count) const;  // items of groups [0, count)

  std::vector<Row> rows_;
  FlatTable<RowSlot, RowHash> rowOf_{RowHash{&rows_}};
  std::vector<uint32_t> groupSizes_;  // items per group, root included
  std::vector<uint32_t> fenwick_;     // 1-based Fenwick tree over groupSizes_
  std::vector<uint32_t> creationIndex_;
  uint32_t treeItems_ = 0;
};

}  // namespace ts::app
