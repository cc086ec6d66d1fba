// Helpers shared by the readers: size checks done in 64 bits before
// allocating, and the 8-bit DIB layout used by GIF frames and PCX pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/picture.h"

namespace ts::images {

// True when width x height x bytesPerPixel is within the caps.
bool SizeAllowed(uint64_t width, uint64_t height, uint64_t bytesPerPixel);

// Row length of an 8-bit DIB row padded to 4 bytes.
inline uint32_t Stride8(uint32_t width) { return (width + 3u) & ~3u; }

inline constexpr size_t kDibHeaderSize = 40;
inline constexpr size_t kDibPaletteSize = 256 * 4;
inline constexpr size_t kDibPixelOffset = kDibHeaderSize + kDibPaletteSize;

// An RGB palette entry as read from a file.
struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// Allocates header + 256-entry palette + zeroed top-down rows for an 8-bit
// DIB of the given size and fills header and palette. `palette` may hold
// fewer than 256 entries; the rest are black.
void MakeDib8(std::vector<uint8_t>& out, uint32_t width, uint32_t height,
              const Rgb* palette, size_t paletteCount);

// Converts top-down red-green-blue rows (width*3 each, unpadded) into the
// kind 1/2 layout: blue-green-red, bottom row first.
void RgbTopDownToBgrBottomUp(const uint8_t* rgb, uint32_t width, uint32_t height,
                             std::vector<uint8_t>& out);

}  // namespace ts::images
