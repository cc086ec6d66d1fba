// Image file writers that hit an exact byte size: the image itself is
// written first, then ancillary data (PNG text chunks, GIF comments, JPEG
// comments) fills it up to the size asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkimages/raster.h"

namespace mkimages {

using Bytes = std::vector<uint8_t>;

// Every writer throws std::runtime_error when the picture alone is larger
// than `size` or the rest cannot be padded exactly.
Bytes WritePngRgba(const Canvas& c, size_t size);
// An indexed-colour PNG of the canvas flattened onto `background`.
Bytes WritePngPalette(const Canvas& c, Rgb background, size_t size);

struct GifFrame {
  std::vector<uint8_t> indexes;  // width × height palette indexes
};
// GIF89a looping forever, every frame `delay` hundredths of a second.
Bytes WriteGif(int width, int height, const std::vector<Rgb>& palette,
               const std::vector<GifFrame>& frames, int delay, size_t size);

// Baseline JPEG with JFIF thumbnails (extension segments holding small JPEG
// previews) of the given widths.
Bytes WriteJpeg(const Canvas& c, int quality, const std::vector<int>& thumbWidths, size_t size);

}  // namespace mkimages
