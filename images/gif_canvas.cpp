#include "images/gif_canvas.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "images/layout.h"

namespace ts::images {

uint32_t CanvasWord(uint32_t colour) {
  const uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  return (red << 16) | (green << 8) | blue;
}

GifCompositor::GifCompositor(uint32_t width, uint32_t height, uint32_t background)
    : width_(width), height_(height), background_(CanvasWord(background)),
      pixels_(size_t{width} * height, CanvasWord(background)) {}

GifCompositor::Area GifCompositor::Clip(const GifFrame& f) const {
  Area a;
  if (f.left >= width_ || f.top >= height_) return a;
  a.left = f.left;
  a.top = f.top;
  a.width = std::min(f.width, width_ - f.left);
  a.height = std::min(f.height, height_ - f.top);
  return a;
}

void GifCompositor::RestorePrevious() {
  const Area a = pendingArea_;
  for (uint32_t y = 0; y < a.height; ++y) {
    uint32_t* row = &pixels_[size_t{a.top + y} * width_ + a.left];
    if (pendingDisposal_ == 2) {
      std::fill(row, row + a.width, background_);
    } else if (pendingDisposal_ == 3 && saved_.size() == size_t{a.width} * a.height) {
      std::copy_n(&saved_[size_t{y} * a.width], a.width, row);
    }
  }
  pendingDisposal_ = 0;
}

void GifCompositor::Save(const Area& a) {
  try {
    saved_.resize(size_t{a.width} * a.height);
  } catch (const std::bad_alloc&) {
    saved_.clear();  // nothing to restore: the frame stays when it goes
    return;
  }
  for (uint32_t y = 0; y < a.height; ++y) {
    std::copy_n(&pixels_[size_t{a.top + y} * width_ + a.left], a.width, &saved_[size_t{y} * a.width]);
  }
}

void GifCompositor::Apply(const GifFrame& f) {
  RestorePrevious();
  const Area a = Clip(f);
  const size_t rows = size_t{Stride8(f.width)} * f.height;
  if (f.dib.size() < kDibPixelOffset + rows) return;  // not a whole frame
  if (f.disposal == 2 || f.disposal == 3) {
    if (f.disposal == 3) Save(a);
    pendingDisposal_ = f.disposal;
    pendingArea_ = a;
  }
  uint32_t palette[256];
  std::memcpy(palette, f.dib.data() + kDibHeaderSize, sizeof palette);
  for (uint32_t y = 0; y < a.height; ++y) {
    uint32_t* row = &pixels_[size_t{a.top + y} * width_ + a.left];
    for (uint32_t x = 0; x < a.width; ++x) {
      const uint8_t index = f.IndexAt(x, y);
      if (f.transparent && index == f.transparentIndex) continue;
      row[x] = palette[index] & 0x00FFFFFF;
    }
  }
}

std::unique_ptr<GifMovie> OpenGifMovie(const uint8_t* data, size_t size, uint32_t background) {
  GifReader reader;
  if (!reader.Open(data, size) || reader.CountFrames() < 2) return nullptr;
  // The canvas holds a word per pixel of the logical screen, which the file
  // states in two 16-bit fields: it is sized like any decoded picture.
  if (!SizeAllowed(reader.ScreenWidth(), reader.ScreenHeight(), sizeof(uint32_t))) return nullptr;
  try {
    GifCompositor canvas(reader.ScreenWidth(), reader.ScreenHeight(), background);
    return std::unique_ptr<GifMovie>(new GifMovie{std::move(reader), std::move(canvas)});
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace ts::images
