#include "controls/listview/row_store.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace ts::controls {

namespace {

bool AllAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Offsets of a cell's text within a row's cells; begin == npos when the row
// has fewer cells.
struct Span {
  size_t begin, end;
};

Span FindCell(std::string_view cells, int32_t column) {
  size_t begin = 0;
  for (int32_t c = 0; c < column; ++c) {
    size_t nul = cells.find('\0', begin);
    if (nul == std::string_view::npos) return {std::string_view::npos, std::string_view::npos};
    begin = nul + 1;
  }
  size_t end = cells.find('\0', begin);
  return {begin, end == std::string_view::npos ? cells.size() : end};
}

bool StartsWithIgnoringCase(const std::wstring& text, const std::wstring& prefix) {
  return text.size() >= prefix.size() && _wcsnicmp(text.c_str(), prefix.c_str(), prefix.size()) == 0;
}

}  // namespace

CellTexts& CellTexts::operator=(std::string_view text) {
  if (text.empty()) {
    block_.reset();
    return *this;
  }
  std::unique_ptr<char[]> block(new char[sizeof(uint32_t) + text.size()]);
  const auto length = static_cast<uint32_t>(text.size());
  std::memcpy(block.get(), &length, sizeof length);
  std::memcpy(block.get() + sizeof length, text.data(), text.size());
  block_ = std::move(block);
  return *this;
}

size_t CellTexts::size() const {
  uint32_t length = 0;
  if (block_) std::memcpy(&length, block_.get(), sizeof length);
  return length;
}

std::wstring WideText(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int n = static_cast<int>(text.size());
  int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), n, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  if (length > 0) ::MultiByteToWideChar(CP_ACP, 0, text.data(), n, wide.data(), length);
  return wide;
}

std::string PlatformText(std::string_view text) {
  // The platform control takes texts as C strings.
  size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  if (AllAscii(text)) return std::string(text);
  std::wstring wide = WideText(text);
  const int n = static_cast<int>(wide.size());
  int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  std::string back(static_cast<size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) ::WideCharToMultiByte(CP_ACP, 0, wide.data(), n, back.data(), length, nullptr, nullptr);
  return back;
}

size_t FitLength(std::string_view text, size_t room) {
  if (text.size() <= room) return text.size();
  size_t i = 0;
  while (i < room) {
    size_t step = ::IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
    if (i + step > room) break;
    i += step;
  }
  return i;
}

int32_t RowStore::Insert(int32_t position, ListRow row) {
  if (position < 0) position = 0;
  if (position > size()) position = size();
  rows_.insert(rows_.begin() + position, std::move(row));
  return position;
}

void RowStore::Erase(int32_t row) {
  if (Has(row)) rows_.erase(rows_.begin() + row);
}

void RowStore::Clear() { std::vector<ListRow>().swap(rows_); }

std::string_view RowStore::Cell(int32_t row, int32_t column) const {
  const std::string_view cells = at(row).cells;
  Span s = FindCell(cells, column);
  if (s.begin == std::string_view::npos) return {};
  return cells.substr(s.begin, s.end - s.begin);
}

void RowStore::SetCell(int32_t row, int32_t column, std::string_view text) {
  CellTexts& cells = at(row).cells;
  const std::string_view all = cells;
  Span s = FindCell(all, column);
  size_t gap = 0;  // empty cells to add before this one
  if (s.begin == std::string_view::npos) {
    if (text.empty()) return;
    int32_t have = 1;
    for (char c : all) have += c == '\0';
    gap = static_cast<size_t>(column - have + 1);
    s = {all.size(), all.size()};
  }
  std::string next;
  next.reserve(all.size() - (s.end - s.begin) + gap + text.size());
  next.append(all.substr(0, s.begin)).append(gap, '\0').append(text).append(all.substr(s.end));
  while (!next.empty() && next.back() == '\0') next.pop_back();
  cells = next;
}

int32_t RowStore::CellImage(int32_t row, int32_t column) const {
  if (const auto& images = at(row).cellImages) {
    for (const auto& [c, image] : *images) {
      if (c == column) return image;
    }
  }
  return -1;
}

void RowStore::SetCellImage(int32_t row, int32_t column, int32_t image) {
  auto& images = at(row).cellImages;
  if (!images) {
    if (image == -1) return;
    images = std::make_unique<std::vector<std::pair<int32_t, int32_t>>>();
  }
  for (auto& [c, value] : *images) {
    if (c == column) {
      value = image;
      return;
    }
  }
  images->emplace_back(column, image);
}

int32_t RowStore::SortedPosition(std::string_view text, bool descending) const {
  const std::wstring wanted = WideText(text);
  int32_t i = 0;
  for (; i < size(); ++i) {
    int order = ::lstrcmpW(WideText(Cell(i, 0)).c_str(), wanted.c_str());
    if (descending) order = -order;
    if (order >= 0) break;
  }
  return i;
}

int32_t RowStore::FindFirst(std::string_view text, int32_t start, bool exact, bool wrap) const {
  const std::wstring wanted = WideText(text);
  auto matches = [&](int32_t row) {
    std::wstring cell = WideText(Cell(row, 0));
    return exact ? ::lstrcmpiW(cell.c_str(), wanted.c_str()) == 0 : StartsWithIgnoringCase(cell, wanted);
  };
  if (start < 0) start = 0;
  for (int32_t row = start; row < size(); ++row) {
    if (matches(row)) return row;
  }
  if (wrap) {
    for (int32_t row = 0; row < start && row < size(); ++row) {
      if (matches(row)) return row;
    }
  }
  return -1;
}

}  // namespace ts::controls
