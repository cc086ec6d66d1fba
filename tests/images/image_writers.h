// Small writers that make test pictures of every format in memory, so the
// tests (and the fuzzer's seeds) never depend on files from elsewhere.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace imgtest {

using Bytes = std::vector<uint8_t>;

struct Colour {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};

// 24-bit (or 32-bit) bitmap from top-down colours.
Bytes MakeBmp24(int width, int height, const std::vector<Colour>& topDown, bool storeTopDown = false,
                int bits = 24, uint32_t compression = 0);
// 24-bit bitmap whose pixel (x, y) has the colour rgb(x, y), 0x00RRGGBB.
Bytes MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& rgb);
inline Bytes SolidBmp(int width, int height, Colour c) {
  return MakeBmp24(width, height, std::vector<Colour>(static_cast<size_t>(width) * height, c));
}
// 8-bit (or 1/4-bit) bitmap from top-down palette indexes.
Bytes MakeBmpIndexed(int width, int height, int bits, const std::vector<Colour>& palette,
                     const std::vector<uint8_t>& topDown);

// GIF: frames of palette indexes on a logical screen with a global table.
struct GifFrameSpec {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> pixels;  // top-down, width*height
  bool interlaced = false;
  std::vector<Colour> localTable;  // empty: use the global table
  bool control = false;            // precede with a graphic control extension
  int disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;
  int minCodeSize = 0;  // 0: chosen from the table size
};
// A frame of the given size and pixels at (left, top), other fields default.
inline GifFrameSpec FrameOf(int width, int height, std::vector<uint8_t> pixels, int left = 0, int top = 0) {
  GifFrameSpec f;
  f.left = left;
  f.top = top;
  f.width = width;
  f.height = height;
  f.pixels = std::move(pixels);
  return f;
}
Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<Colour>& globalTable,
              const std::vector<GifFrameSpec>& frames, bool withComment = false);
// LZW-codes indexes as GIF data sub-blocks (min code size byte first).
Bytes GifLzw(const std::vector<uint8_t>& indexes, int minCodeSize);

// PCX: 8-bit with a 256-colour palette, or 1-bit.
Bytes MakePcx8(int width, int height, const std::vector<uint8_t>& topDown,
               const std::vector<Colour>& palette);
Bytes MakePcx1(int width, int height, const std::vector<uint8_t>& packedRows, int bytesPerLine);

// Icon or cursor file. Each entry is a 32-bit BITMAPINFOHEADER image of
// the given size, filled with one colour; `colours` goes into the directory.
struct IconSpec {
  int size = 16;
  int colours = 0;
  Colour fill;
};
Bytes MakeIcon(const std::vector<IconSpec>& entries, int type = 1);

// PNG from top-down blue-green-red-alpha pixels; JPEG from top-down
// red-green-blue (3 components) or grey (1 component) samples.
Bytes MakePng(int width, int height, const std::vector<uint8_t>& bgra);
Bytes MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality = 95);

// One small valid file of every format, named by its format, for the
// decoding round trips, the mutation test and the fuzzer's seeds.
struct Sample {
  std::string name;
  Bytes bytes;
};
std::vector<Sample> SampleFiles();

}  // namespace imgtest
