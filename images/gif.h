// GIF reading: the header with its global colour table, and a frame walker
// that hands out one decoded frame after another and wraps at the trailer
// (the animated picture box plays frames from it; a still picture is the
// first frame).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "images/layout.h"

namespace ts::images {

// One decoded frame: its place on the logical screen, the graphic-control
// values that came before it, and the pixels as an 8-bit top-down DIB
// (40-byte header, 256 palette entries, rows padded to 4 bytes).
struct GifFrame {
  uint32_t left = 0;
  uint32_t top = 0;
  uint32_t width = 0;
  uint32_t height = 0;
  int disposal = 0;          // 0/1 leave, 2 restore background, 3 restore previous
  bool transparent = false;  // `transparentIndex` marks see-through pixels
  uint8_t transparentIndex = 0;
  uint32_t transparentColour = 0;  // 0x00BBGGRR of that index in the frame's table
  uint32_t delay = 0;              // hundredths of a second, as stored
  bool interlaced = false;
  std::vector<uint8_t> dib;

  // Palette index of a pixel of the frame (no bounds check beyond the DIB).
  uint8_t IndexAt(uint32_t x, uint32_t y) const {
    return dib[kDibPixelOffset + size_t{Stride8(width)} * y + x];
  }
};

class GifReader {
 public:
  // Reads the header and global table and keeps a copy of the blocks.
  // False when the data is not a usable GIF. Neither this nor NextFrame
  // throws: running out of memory is a failure like any other.
  bool Open(const uint8_t* bytes, size_t length);

  uint32_t ScreenWidth() const { return screenWidth_; }
  uint32_t ScreenHeight() const { return screenHeight_; }
  uint8_t BackgroundIndex() const { return backgroundIndex_; }
  // The global colour table (empty when the file has none).
  const std::vector<Rgb>& GlobalTable() const { return globalTable_; }

  // Decodes the next frame, wrapping to the first block after the trailer.
  // False on malformed data or when a whole pass finds no frame.
  bool NextFrame(GifFrame& frame);

  // Counts the frames of one pass without decoding them; -1 when the block
  // structure is malformed. One frame means a still picture.
  int CountFrames() const;

 private:
  struct Control {
    int disposal = 0;
    bool transparent = false;
    uint8_t transparentIndex = 0;
    uint32_t delay = 0;
  };
  enum class Step { kFrame, kSkipped, kWrap, kError };

  bool OpenBlocks(const uint8_t* bytes, size_t length);
  bool WalkToFrame(GifFrame& frame);

  Step Walk(size_t& cursor, Control& control, GifFrame* frame) const;
  bool SkipSubBlocks(size_t& cursor) const;
  bool ReadExtension(size_t& cursor, Control& control) const;
  bool ReadFrame(size_t& cursor, const Control& control, GifFrame* frame) const;

  std::vector<uint8_t> blocks_;
  std::vector<Rgb> globalTable_;
  uint32_t screenWidth_ = 0;
  uint32_t screenHeight_ = 0;
  uint8_t backgroundIndex_ = 0;
  size_t cursor_ = 0;
  Control control_;
};

}  // namespace ts::images
