// Icon and cursor files: the directory, the choice of entry and the checks
// on the chosen entry's image data. The platform icon is made from that
// data by the GDI side.
#include <cstring>

#include "images/byte_reader.h"
#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {
namespace {

constexpr size_t kDirectoryHead = 6;
constexpr size_t kEntrySize = 16;

struct IconEntry {
  uint8_t width = 0;
  uint8_t colours = 0;
  uint32_t size = 0;
  uint32_t offset = 0;
};

// The first entry 32 pixels wide with more than 15 colours, else the last.
size_t ChooseEntry(const std::vector<IconEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].width == 32 && entries[i].colours > 15) return i;
  }
  return entries.size() - 1;
}

uint32_t BigEndian32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// Size of the image an entry holds: a bitmap header (height counts the
// colour and the mask halves) or an embedded PNG.
bool ImageSize(const uint8_t* data, size_t size, uint32_t& width, uint32_t& height) {
  static const uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (size >= 24 && std::memcmp(data, kPng, 8) == 0) {
    width = BigEndian32(data + 16);
    height = BigEndian32(data + 20);
    return SizeAllowed(width, height, 4);
  }
  ByteReader r(data, size);
  const uint32_t headerSize = r.U32();
  const int32_t w = r.I32();
  const int32_t h = r.I32();
  r.U16();  // planes
  const uint16_t bits = r.U16();
  const uint32_t compression = r.U32();
  r.Skip(12);
  const uint32_t coloursUsed = r.U32();
  if (!r.ok() || headerSize < 40 || headerSize > size || w <= 0 || h < 2 || compression != 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  width = static_cast<uint32_t>(w);
  height = static_cast<uint32_t>(h) / 2;
  if (!SizeAllowed(width, height, 4)) return false;
  // The platform factory trusts the header, so the colour bits, the
  // palette and the mask must all lie inside the entry.
  const uint64_t colours = coloursUsed ? coloursUsed : (bits <= 8 ? (1u << bits) : 0u);
  if (colours > 256) return false;
  const uint64_t colourStride = ((uint64_t{width} * bits + 31) / 32) * 4;
  const uint64_t maskStride = ((uint64_t{width} + 31) / 32) * 4;
  const uint64_t needed = headerSize + colours * 4 + (colourStride + maskStride) * height;
  return needed <= size;
}

}  // namespace

std::optional<Picture> DecodeIconEntry(const uint8_t* bytes, size_t length) {
  ByteReader r(bytes, length);
  r.U16();
  const uint16_t type = r.U16();
  const uint16_t count = r.U16();
  if (!r.ok() || count == 0 || (type != 1 && type != 2)) return std::nullopt;
  if (uint64_t{count} * kEntrySize > length - kDirectoryHead) return std::nullopt;

  std::vector<IconEntry> entries(count);
  for (IconEntry& e : entries) {
    e.width = r.U8();
    r.U8();  // height
    e.colours = r.U8();
    r.Skip(5);  // reserved, planes or hotspot x, bit count or hotspot y
    e.size = r.U32();
    e.offset = r.U32();
  }
  if (!r.ok()) return std::nullopt;
  const IconEntry& chosen = entries[ChooseEntry(entries)];
  if (chosen.offset > length || chosen.size > length - chosen.offset || chosen.size == 0) return std::nullopt;

  Picture pic;
  pic.kind = type == 1 ? kIcon : kCursor;
  const uint8_t* image = bytes + chosen.offset;
  if (!ImageSize(image, chosen.size, pic.width, pic.height)) return std::nullopt;
  pic.data.assign(image, image + chosen.size);
  return pic;
}

}  // namespace ts::images
