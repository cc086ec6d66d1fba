// PNG through libpng's simplified read interface, 8-bit blue-green-red-alpha.
#include <png.h>

#include <cstring>

#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {

std::optional<Picture> DecodePng(const uint8_t* bytes, size_t length) {
  if (!bytes || length < 8) return std::nullopt;
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes, length)) return std::nullopt;
  image.format = PNG_FORMAT_BGRA;
  if (!SizeAllowed(image.width, image.height, 4)) {
    png_image_free(&image);
    return std::nullopt;
  }
  Picture pic;
  pic.kind = kPng;
  pic.width = image.width;
  pic.height = image.height;
  try {
    pic.data.resize(size_t{image.width} * image.height * 4);
  } catch (...) {
    png_image_free(&image);
    throw;
  }
  // finish_read frees the image's internals on success and on failure.
  if (!png_image_finish_read(&image, nullptr, pic.data.data(), 0, nullptr)) return std::nullopt;
  return pic;
}

}  // namespace ts::images
