// The platform side of pictures: icons made from icon data, device bitmaps
// made from picture records, and drawing them natural-size, stretched or
// with a transparent key colour.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "images/picture.h"
#include "win/handles.h"

namespace ts::images {

using ts::win::OwnedBitmap;

// Decodes any recognised format; icons and cursors also get their platform
// icon (kinds 3 and 4 hold it in `icon`). Malformed data gives no picture.
std::optional<Picture> Decode(const uint8_t* bytes, size_t length);

// The same by path (the file is read whole in binary mode).
std::optional<Picture> DecodeFile(const char* path);

// What a picture becomes on a device: an owned bitmap, or for icons and
// cursors the picture's own icon (still owned by the picture).
struct DeviceImage {
  OwnedBitmap bitmap;
  HICON icon = nullptr;

  HANDLE handle() const { return icon ? static_cast<HANDLE>(icon) : static_cast<HANDLE>(bitmap.get()); }
  explicit operator bool() const { return handle() != nullptr; }
};

// Turns a picture into a device bitmap compatible with `dc` (the screen
// when null). PNG pixels that are not opaque are blended onto `background`
// (0x00BBGGRR).
DeviceImage ToBitmap(const Picture& picture, HDC dc, COLORREF background);

// Draws a bitmap or icon at (x, y). A width or height of -1 means the
// image's own. A negative `rop` -k draws transparently with key colour k;
// otherwise `rop` is the raster operation of the stretch. False when the
// handle is neither a bitmap nor an icon.
bool Draw(HANDLE image, HDC dc, int x, int y, int width, int height, long rop);

// Decode, then ToBitmap; icons and cursors are drawn with their masks onto
// a white bitmap of their size. No bitmap when the data is not a picture.
OwnedBitmap PictureDataToBitmap(const uint8_t* bytes, size_t length, COLORREF background);

// Blends one channel onto the background: alpha/255 of the pixel plus the
// rest of the background, truncated.
inline uint8_t BlendChannel(uint8_t value, uint8_t alpha, uint8_t background) {
  return static_cast<uint8_t>((unsigned{alpha} * value + (255u - alpha) * background) / 255u);
}

}  // namespace ts::images
