// Recognition of the picture formats and the dispatch to their readers.
#include <cstdio>
#include <cstring>
#include <new>

#include "images/byte_reader.h"
#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {

Format Recognise(const uint8_t* b, size_t n) {
  if (!b || n < 6) return kUnknown;
  const uint16_t reserved = static_cast<uint16_t>(b[0] | (b[1] << 8));
  const uint16_t type = static_cast<uint16_t>(b[2] | (b[3] << 8));
  const uint16_t count = static_cast<uint16_t>(b[4] | (b[5] << 8));
  if (b[0] == 'B' && b[1] == 'M') return kBmp;
  if (b[0] == 0xFF && b[1] == 0xD8) return kJpeg;
  if (b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') return kPng;
  if (reserved == 0 && type == 1 && count > 0) return kIcon;
  if (reserved == 0 && type == 2 && count > 0) return kCursor;
  if (std::memcmp(b, "GIF8", 4) == 0 && (b[4] == '7' || b[4] == '9') && b[5] == 'a') return kGif;
  if (b[0] == 0x0A && b[1] <= 5 && b[2] == 1 && b[3] == 8) return kPcx8;
  if (b[0] == 0x0A && b[1] == 3 && b[2] == 1 && b[3] == 1) return kPcx1;
  return kUnknown;
}

std::optional<Picture> DecodeData(const uint8_t* bytes, size_t length) {
  // Every size is capped before allocating, but a huge legal picture can
  // still exhaust a 32-bit address space; that is "no picture" too.
  try {
    switch (Recognise(bytes, length)) {
      case kBmp: return DecodeBmp(bytes, length);
      case kJpeg: return DecodeJpeg(bytes, length);
      case kPng: return DecodePng(bytes, length);
      case kIcon:
      case kCursor: return DecodeIconEntry(bytes, length);
      case kGif: return DecodeGifStill(bytes, length);
      case kPcx8:
      case kPcx1: return DecodePcx(bytes, length);
      case kUnknown: break;
    }
  } catch (const std::bad_alloc&) {
  }
  return std::nullopt;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  if (!path) return false;
  // fopen in "rb" opens for binary reading and leaves other writers free.
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = true;
  uint8_t chunk[65536];
  try {
    for (;;) {
      size_t got = std::fread(chunk, 1, sizeof chunk, f);
      out.insert(out.end(), chunk, chunk + got);
      if (got < sizeof chunk) {
        ok = !std::ferror(f);
        break;
      }
    }
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  std::fclose(f);
  if (!ok) out.clear();
  return ok;
}

bool SizeAllowed(uint64_t width, uint64_t height, uint64_t bytesPerPixel) {
  if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
  return width * height * bytesPerPixel <= kMaxPixelBytes;
}

void MakeDib8(std::vector<uint8_t>& out, uint32_t width, uint32_t height,
              const Rgb* palette, size_t paletteCount) {
  const uint64_t rows = uint64_t{Stride8(width)} * height;
  out.assign(kDibPixelOffset + static_cast<size_t>(rows), 0);
  uint8_t* h = out.data();
  PutU32(h + 0, kDibHeaderSize);
  PutU32(h + 4, width);
  PutU32(h + 8, static_cast<uint32_t>(-static_cast<int32_t>(height)));  // top-down
  PutU16(h + 12, 1);                                                   // planes
  PutU16(h + 14, 8);                                                   // bits
  PutU32(h + 16, 0);                                                   // uncompressed
  PutU32(h + 20, static_cast<uint32_t>(rows));
  PutU32(h + 32, 256);  // colours used
  uint8_t* pal = h + kDibHeaderSize;
  for (size_t i = 0; i < paletteCount && i < 256; ++i) {
    pal[i * 4 + 0] = palette[i].b;
    pal[i * 4 + 1] = palette[i].g;
    pal[i * 4 + 2] = palette[i].r;
  }
}

void RgbTopDownToBgrBottomUp(const uint8_t* rgb, uint32_t width, uint32_t height,
                             std::vector<uint8_t>& out) {
  const size_t row = size_t{width} * 3;
  out.resize(row * height);
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* src = rgb + size_t{y} * row;
    uint8_t* dst = out.data() + size_t{height - 1 - y} * row;
    for (uint32_t x = 0; x < width; ++x) {
      dst[x * 3 + 0] = src[x * 3 + 2];
      dst[x * 3 + 1] = src[x * 3 + 1];
      dst[x * 3 + 2] = src[x * 3 + 0];
    }
  }
}

}  // namespace ts::images
