// Reader for run-length coded PCX pictures: 8 bits with a 256-colour
// palette, and 1 bit monochrome.
#include <algorithm>
#include <cstring>

#include "images/byte_reader.h"
#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kPaletteSize = 768;

struct PcxHeader {
  uint8_t version = 0;
  uint8_t encoding = 0;
  uint8_t bits = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  uint8_t planes = 0;
  uint32_t bytesPerLine = 0;
};

bool ReadHeader(const uint8_t* bytes, size_t length, PcxHeader& h) {
  if (length < kHeaderSize + 1) return false;
  ByteReader r(bytes, length);
  if (r.U8() != 0x0A) return false;
  h.version = r.U8();
  h.encoding = r.U8();
  h.bits = r.U8();
  const uint16_t xmin = r.U16(), ymin = r.U16(), xmax = r.U16(), ymax = r.U16();
  r.Seek(65);
  h.planes = r.U8();
  h.bytesPerLine = r.U16();
  if (!r.ok() || h.encoding != 1 || xmin > xmax || ymin > ymax) return false;
  h.width = uint32_t{xmax} - xmin + 1;
  h.height = uint32_t{ymax} - ymin + 1;
  return h.planes == 1;  // one plane only: several planes do not fit the layouts
}

// Decodes run-length data into one line of `line.size()` bytes. A run that
// would pass the line end is clipped there. False when the data runs out.
bool DecodeLine(ByteReader& r, std::vector<uint8_t>& line, size_t codedLength) {
  std::fill(line.begin(), line.end(), 0);
  size_t x = 0;
  while (x < codedLength) {
    uint8_t b = r.U8();
    size_t count = 1;
    if (b > 0xC0) {
      count = b - 0xC0u;
      b = r.U8();
    }
    if (!r.ok()) return false;
    const size_t n = count < codedLength - x ? count : codedLength - x;
    std::memset(line.data() + x, b, n);
    x += n;
  }
  return true;
}

void ReadPalette(const uint8_t* bytes, size_t length, size_t after, Rgb (&palette)[256]) {
  size_t at = SIZE_MAX;
  if (after < length && bytes[after] == 0x0C && length - after - 1 >= kPaletteSize) {
    at = after + 1;
  } else if (length >= kHeaderSize + kPaletteSize + 1 && bytes[length - kPaletteSize - 1] == 0x0C) {
    at = length - kPaletteSize;  // some writers leave bytes before the palette
  }
  for (int i = 0; i < 256; ++i) {
    if (at == SIZE_MAX) {
      palette[i] = Rgb{static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)};
    } else {
      const uint8_t* p = bytes + at + i * 3;
      palette[i] = Rgb{p[0], p[1], p[2]};
    }
  }
}

std::optional<Picture> Decode8(const uint8_t* bytes, size_t length, const PcxHeader& h) {
  if (h.bytesPerLine < h.width || !SizeAllowed(h.width, h.height, 1)) return std::nullopt;
  ByteReader r(bytes, length);
  r.Seek(kHeaderSize);
  Picture pic;
  pic.kind = kPcx8;
  pic.width = h.width;
  pic.height = h.height;
  MakeDib8(pic.data, h.width, h.height, nullptr, 0);
  std::vector<uint8_t> line(h.bytesPerLine);
  const uint32_t stride = Stride8(h.width);
  for (uint32_t y = 0; y < h.height; ++y) {
    if (!DecodeLine(r, line, line.size())) return std::nullopt;
    std::memcpy(pic.data.data() + kDibPixelOffset + size_t{stride} * y, line.data(), h.width);
  }
  Rgb palette[256];
  ReadPalette(bytes, length, r.pos(), palette);
  uint8_t* pal = pic.data.data() + kDibHeaderSize;
  for (int i = 0; i < 256; ++i) {
    pal[i * 4 + 0] = palette[i].b;
    pal[i * 4 + 1] = palette[i].g;
    pal[i * 4 + 2] = palette[i].r;
  }
  return pic;
}

std::optional<Picture> Decode1(const uint8_t* bytes, size_t length, const PcxHeader& h) {
  const uint32_t packed = (h.width + 7) / 8;
  if (h.bytesPerLine < packed || !SizeAllowed(h.width, h.height, 1)) return std::nullopt;
  ByteReader r(bytes, length);
  r.Seek(kHeaderSize);
  Picture pic;
  pic.kind = kPcx1;
  pic.width = h.width;
  pic.height = h.height;
  const size_t stride = ((h.width + 15) / 16) * 2;
  pic.data.assign(stride * h.height, 0);
  std::vector<uint8_t> line(h.bytesPerLine);
  for (uint32_t y = 0; y < h.height; ++y) {
    if (!DecodeLine(r, line, line.size())) return std::nullopt;
    std::memcpy(pic.data.data() + stride * y, line.data(), packed);
  }
  return pic;
}

}  // namespace

std::optional<Picture> DecodePcx(const uint8_t* bytes, size_t length) {
  PcxHeader h;
  if (!ReadHeader(bytes, length, h)) return std::nullopt;
  if (h.bits == 8 && h.version <= 5) return Decode8(bytes, length, h);
  if (h.bits == 1 && h.version == 3) return Decode1(bytes, length, h);
  return std::nullopt;
}

}  // namespace ts::images
