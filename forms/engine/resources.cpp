// Cursor values and icon files: the standard cursor table, cursors and icons
// made from files held in byte blocks (read with the bounded reader).
#include <cstdlib>
#include <set>
#include <vector>

#include "forms/byte_reader.h"
#include "forms/engine/internal.h"
#include "runtime/hand_cursor.h"

namespace ts::forms {

namespace {

// Standard cursor table: index k (1..14) is entry k − 1.
const int32_t kStandardCursors[14] = {32512, 32515, 32513, 32514, 32651, 32650, 32648,
                                      32646, 32643, 32645, 32642, 32644, 32516, 32649};

std::set<HCURSOR>& FileCursors() {
  static std::set<HCURSOR> cursors;
  return cursors;
}

struct DirEntry {
  int width;
  uint16_t hotX, hotY;
  uint32_t size, offset;
};

// The entries of an icon or cursor file of the given type (1 icon, 2 cursor);
// empty when the header is not one.
std::vector<DirEntry> ReadDirectory(const uint8_t* data, size_t size, uint16_t wantedType) {
  ByteReader r(data, size);
  uint16_t reserved = r.u16(), type = r.u16(), count = r.u16();
  std::vector<DirEntry> entries;
  if (!r.ok() || reserved != 0 || type != wantedType || count == 0) return entries;
  for (uint16_t i = 0; i < count; ++i) {
    DirEntry e;
    uint8_t w = r.u8();
    r.u8();  // height
    r.u8();  // colour count
    r.u8();  // reserved
    e.hotX = r.u16();
    e.hotY = r.u16();
    e.size = r.u32();
    e.offset = r.u32();
    e.width = w == 0 ? 256 : w;
    if (!r.ok()) return {};
    if (e.size == 0 || e.offset > size || e.size > size - e.offset) continue;
    entries.push_back(e);
  }
  return entries;
}

const DirEntry* ClosestTo(const std::vector<DirEntry>& entries, int edge) {
  const DirEntry* best = nullptr;
  for (const DirEntry& e : entries) {
    if (best == nullptr || std::abs(e.width - edge) < std::abs(best->width - edge)) best = &e;
  }
  return best;
}

HCURSOR CursorFromFile(const uint8_t* data, size_t size) {
  auto entries = ReadDirectory(data, size, 2);
  const DirEntry* e = ClosestTo(entries, ::GetSystemMetrics(SM_CXCURSOR));
  if (e == nullptr) return nullptr;
  // A cursor resource is the hot spot followed by the image.
  std::vector<uint8_t> resource(4 + e->size);
  resource[0] = uint8_t(e->hotX);
  resource[1] = uint8_t(e->hotX >> 8);
  resource[2] = uint8_t(e->hotY);
  resource[3] = uint8_t(e->hotY >> 8);
  std::copy(data + e->offset, data + e->offset + e->size, resource.begin() + 4);
  HCURSOR cursor = reinterpret_cast<HCURSOR>(::CreateIconFromResourceEx(
      resource.data(), static_cast<DWORD>(resource.size()), FALSE, 0x00030000, 0, 0, LR_DEFAULTCOLOR));
  if (cursor != nullptr) FileCursors().insert(cursor);
  return cursor;
}

}  // namespace

int32_t CursorIdOfIndex(int32_t index) { return index >= 1 && index <= 14 ? kStandardCursors[index - 1] : 0; }

int32_t CursorIndexOfId(int32_t id) {
  for (int32_t i = 0; i < 14; ++i) {
    if (kStandardCursors[i] == id) return i + 1;
  }
  return 0;
}

HCURSOR LoadCursorValue(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) return nullptr;
  const int32_t key = size >= 4 ? static_cast<int32_t>(LoadU32(data)) : data[0];
  if (size > 10 && key != -1) {
    if (HCURSOR c = CursorFromFile(data, size)) return c;
  }
  if (key == -1) return size > 4 ? CursorFromFile(data + 4, size - 4) : nullptr;
  int32_t id = CursorIdOfIndex(key);
  if (id == 0 && CursorIndexOfId(key) != 0) id = key;  // already a platform cursor id
  if (id == 0) return nullptr;
  // The hand is the runtime's own cursor, the same on every system.
  if (id == 32649) return RuntimeHandCursor();
  return ::LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
}

void ReleaseCursor(HCURSOR cursor) {
  if (cursor != nullptr && FileCursors().erase(cursor) != 0) ::DestroyCursor(cursor);
}

HICON LoadIconFile(const uint8_t* data, size_t size, int edge) {
  auto entries = ReadDirectory(data, size, 1);
  const DirEntry* e = ClosestTo(entries, edge);
  if (e == nullptr) return nullptr;
  return ::CreateIconFromResourceEx(const_cast<uint8_t*>(data + e->offset), e->size, TRUE, 0x00030000, edge, edge,
                                    LR_DEFAULTCOLOR);
}

}  // namespace ts::forms
