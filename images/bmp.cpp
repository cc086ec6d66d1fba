// Reader for uncompressed Windows bitmaps of 1, 4, 8, 24 and 32 bits.
#include <cstdlib>

#include "images/byte_reader.h"
#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {
namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;

struct BmpHeader {
  uint32_t pixelOffset = 0;
  uint32_t infoSize = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  bool topDown = false;
  uint16_t bits = 0;
  uint32_t compression = 0;
  uint32_t coloursUsed = 0;
};

bool ReadHeader(ByteReader& r, BmpHeader& h) {
  r.Skip(10);  // "BM", file size, reserved words
  h.pixelOffset = r.U32();
  h.infoSize = r.U32();
  const int32_t width = r.I32();
  const int32_t height = r.I32();
  r.U16();  // planes
  h.bits = r.U16();
  h.compression = r.U32();
  r.Skip(12);  // image size, resolution
  h.coloursUsed = r.U32();
  r.U32();  // important colours
  if (!r.ok() || h.infoSize < kInfoHeaderSize || h.compression != 0) return false;
  if (width == INT32_MIN || height == INT32_MIN) return false;
  h.width = static_cast<uint32_t>(std::abs(width));
  h.height = static_cast<uint32_t>(std::abs(height));
  h.topDown = height < 0;  // stored top row first; read as such, not flipped
  return SizeAllowed(h.width, h.height, 3);
}

// Palette entries for 1-, 4- and 8-bit pictures (4 bytes each on file).
bool ReadPalette(ByteReader& r, const BmpHeader& h, std::vector<Rgb>& palette) {
  if (h.bits > 8) return true;
  uint32_t count = h.coloursUsed ? h.coloursUsed : (1u << h.bits);
  if (count > 256) return false;
  if (!r.Seek(kFileHeaderSize + h.infoSize)) return false;
  palette.resize(count);
  for (Rgb& c : palette) {
    c.b = r.U8();
    c.g = r.U8();
    c.r = r.U8();
    r.U8();
  }
  return r.ok();
}

// One stored row expanded to blue-green-red triples.
void ExpandRow(const uint8_t* src, const BmpHeader& h, const std::vector<Rgb>& palette,
               uint8_t* dst) {
  for (uint32_t x = 0; x < h.width; ++x) {
    Rgb c;
    if (h.bits == 24 || h.bits == 32) {
      const uint8_t* p = src + size_t{x} * (h.bits / 8);
      c.b = p[0];
      c.g = p[1];
      c.r = p[2];
    } else {
      const uint32_t bitPos = x * h.bits;
      const uint8_t byte = src[bitPos / 8];
      const uint32_t shift = 8 - h.bits - (bitPos % 8);
      const uint32_t index = (byte >> shift) & ((1u << h.bits) - 1);
      if (index < palette.size()) c = palette[index];  // out-of-range index: black
    }
    dst[x * 3 + 0] = c.b;
    dst[x * 3 + 1] = c.g;
    dst[x * 3 + 2] = c.r;
  }
}

}  // namespace

std::optional<Picture> DecodeBmp(const uint8_t* bytes, size_t length) {
  ByteReader r(bytes, length);
  BmpHeader h;
  if (!ReadHeader(r, h)) return std::nullopt;
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24 && h.bits != 32) return std::nullopt;
  std::vector<Rgb> palette;
  if (!ReadPalette(r, h, palette)) return std::nullopt;
  const uint64_t headersEnd = kFileHeaderSize + uint64_t{h.infoSize} + uint64_t{palette.size()} * 4;
  if (h.pixelOffset < headersEnd) return std::nullopt;

  const uint64_t stride = ((uint64_t{h.width} * h.bits + 31) / 32) * 4;
  if (!r.Seek(h.pixelOffset)) return std::nullopt;
  const uint8_t* rows = r.Take(static_cast<size_t>(stride * h.height));
  if (!rows) return std::nullopt;

  Picture pic;
  pic.kind = kBmp;
  pic.width = h.width;
  pic.height = h.height;
  const size_t outRow = size_t{h.width} * 3;
  pic.data.resize(outRow * h.height);
  // The result is bottom row first, as a bottom-up file already stores it.
  for (uint32_t i = 0; i < h.height; ++i) {
    const uint32_t outIndex = h.topDown ? h.height - 1 - i : i;
    ExpandRow(rows + stride * i, h, palette, pic.data.data() + outRow * outIndex);
  }
  return pic;
}

}  // namespace ts::images
