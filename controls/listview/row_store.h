// The rows of a super list box, kept by the box itself while the platform
// list view runs in owner-data mode and only knows their number.
//
// A row is one small record plus one string holding all of its cell texts,
// so a row of a path and a digest costs little more than the two texts.
// Texts are stored as the platform control stored them: converted to UTF-16
// and back with the ANSI code page, cut at the first NUL. Comparisons
// (sorted insertion, finding) are made on the UTF-16 form with the same
// functions the platform control uses, so results do not change with the
// storage.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ts::controls {

// The text as the platform control gives it back: for texts with bytes of
// 0x80 and above, through UTF-16 and back (invalid double-byte sequences
// become '?'); others as they are.
std::string PlatformText(std::string_view text);
// The text in UTF-16 through the ANSI code page.
std::wstring WideText(std::string_view text);
// How many bytes of text fit in `room` bytes without cutting a double-byte
// character in two.
size_t FitLength(std::string_view text, size_t room);

// A row's cell texts held exactly, with their length, in one heap block
// behind one pointer: a list of many rows of a path and a digest costs
// little more than the texts.
class CellTexts {
 public:
  CellTexts() = default;
  CellTexts(std::string_view text) { *this = text; }
  CellTexts& operator=(std::string_view text);
  operator std::string_view() const {
    return block_ ? std::string_view(block_.get() + sizeof(uint32_t), size()) : std::string_view();
  }
  size_t size() const;
  size_t capacity() const { return size(); }
  bool empty() const { return !block_; }
  size_t find(char c, size_t from = 0) const { return std::string_view(*this).find(c, from); }
  std::string substr(size_t at, size_t n) const { return std::string(std::string_view(*this).substr(at, n)); }
  friend bool operator==(const CellTexts& a, std::string_view b) { return std::string_view(a) == b; }

 private:
  std::unique_ptr<char[]> block_;  // the length (4 bytes), then the text
};

struct ListRow {
  // The cell texts in column order, each after the first preceded by a NUL;
  // empty cells at the end are left out.
  CellTexts cells;
  // Images of cells other than the first, as (column, image), once one was
  // set. The platform control keeps an image for any column number below
  // its column count, negative ones included, and so does this.
  std::unique_ptr<std::vector<std::pair<int32_t, int32_t>>> cellImages;
  int32_t image = -1;
  int32_t indent = 0;
  int32_t itemData = 0;
  uint8_t stateImage = 0;  // state image index: 0 none, 1 unchecked, 2 checked, ...
};

class RowStore {
 public:
  int32_t size() const { return static_cast<int32_t>(rows_.size()); }
  bool Has(int32_t row) const { return row >= 0 && row < size(); }
  ListRow& at(int32_t row) { return rows_[static_cast<size_t>(row)]; }
  const ListRow& at(int32_t row) const { return rows_[static_cast<size_t>(row)]; }

  // Inserts before `position` (clamped to 0..size) and returns the index.
  int32_t Insert(int32_t position, ListRow row);
  void Erase(int32_t row);
  void Clear();

  // A cell's text; empty for a cell never set. The row must exist.
  std::string_view Cell(int32_t row, int32_t column) const;
  // Stores text (already in platform form) as the cell's text.
  void SetCell(int32_t row, int32_t column, std::string_view text);
  // The image of a cell other than the first; -1 when never set.
  int32_t CellImage(int32_t row, int32_t column) const;
  void SetCellImage(int32_t row, int32_t column, int32_t image);

  // Where a sorted list puts a new first cell: before the first row whose
  // first cell is not below it (ascending) or not above it (descending),
  // comparing as lstrcmpW does. Rows are scanned in order, as the platform
  // does, so a list whose texts were changed afterwards places rows as it
  // did.
  int32_t SortedPosition(std::string_view text, bool descending) const;
  // The first row from `start` on whose first cell equals text ignoring case
  // (exact) or starts with it ignoring case; with `wrap` the rows before
  // start follow. -1 when none.
  int32_t FindFirst(std::string_view text, int32_t start, bool exact, bool wrap) const;

 private:
  std::vector<ListRow> rows_;
};

}  // namespace ts::controls
