// An image slot of a super button: a colour bitmap whose transparent
// pixels are black, and a monochrome mask that is white where the button
// face shows through.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "win/handles.h"

namespace ts::controls {

// Key colour meaning "the colour of the image's top-left pixel".
constexpr uint32_t kKeyFromCorner = 0xFF000000;

class ImageSlot {
 public:
  // Rebuilds the slot from picture data (a whole image file). Transparent
  // parts are flattened onto white first. Data that is not a picture
  // empties the slot. The old bitmap and mask are released either way.
  void Build(const uint8_t* data, size_t size, uint32_t key);
  void Clear();

  bool empty() const { return !image_; }
  SIZE size() const { return size_; }
  HBITMAP image() const { return image_.get(); }
  HBITMAP mask() const { return mask_.get(); }

  // Draws through the mask at (x, y): AND the mask, then OR the image.
  void Draw(HDC dc, int x, int y) const;
  // Draws the image composed on white in the platform's disabled look.
  void DrawDisabled(HDC dc, int x, int y) const;

 private:
  win::OwnedBitmap image_;
  win::OwnedBitmap mask_;
  SIZE size_{0, 0};
};

}  // namespace ts::controls
