// Playing an animated GIF without a window: the frames laid onto a canvas
// of the logical screen size with their disposal methods, and the loader
// that decides whether a GIF is an animation at all. Plain C++ (fuzzed on
// the host); the picture box shows the canvas and runs the clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "images/gif.h"

namespace ts::images {

// A canvas word: blue in the low byte, then green, red, 0 (a 32-bit DIB
// pixel), from a colour 0x00BBGGRR.
uint32_t CanvasWord(uint32_t colour);

class GifCompositor {
 public:
  // The canvas is allocated here: width x height words.
  GifCompositor(uint32_t width, uint32_t height, uint32_t background);

  // Restores the area of the previous frame as its disposal asks (2: the
  // background colour, 3: the pixels saved before it was drawn), saves the
  // area of this frame when its disposal is 3, then draws it; pixels of the
  // transparent index leave the canvas as it is. Never throws: an area that
  // cannot be saved for want of memory is simply not restored.
  void Apply(const GifFrame& frame);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  const std::vector<uint32_t>& pixels() const { return pixels_; }
  uint32_t At(uint32_t x, uint32_t y) const { return pixels_[size_t{y} * width_ + x]; }

 private:
  struct Area {
    uint32_t left = 0, top = 0, width = 0, height = 0;
  };
  Area Clip(const GifFrame& frame) const;
  void RestorePrevious();
  void Save(const Area& area);

  uint32_t width_, height_;
  uint32_t background_;
  std::vector<uint32_t> pixels_;
  int pendingDisposal_ = 0;
  Area pendingArea_;
  std::vector<uint32_t> saved_;
};

// An animated GIF ready to play: the frame walker at its first frame and a
// canvas of its logical screen filled with the background colour.
struct GifMovie {
  GifReader frames;
  GifCompositor canvas;
};

// A movie for picture data that is a GIF of two or more frames whose logical
// screen is not empty and whose canvas keeps within the picture limits; null
// for anything else (a still GIF is an ordinary picture). Never throws.
std::unique_ptr<GifMovie> OpenGifMovie(const uint8_t* data, size_t size, uint32_t background);

}  // namespace ts::images
