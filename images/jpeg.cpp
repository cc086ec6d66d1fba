// JPEG through libjpeg's classic decompression, with an error manager that
// jumps back here instead of ending the process.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "images/layout.h"
#include "images/picture.h"

namespace ts::images {
namespace {

struct JumpingError {
  jpeg_error_mgr base;
  std::jmp_buf back;
};

void JumpBack(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JumpingError*>(info->err)->back, 1);
}

void Quiet(j_common_ptr, int) {}
void QuietOutput(j_common_ptr) {}

// Decodes into a malloc'd top-down red-green-blue buffer. Plain C between
// setjmp and longjmp: nothing here needs a destructor, and the single
// cleanup path frees what was made.
uint8_t* DecodeToRgb(const uint8_t* bytes, size_t length, uint32_t* width, uint32_t* height) {
  jpeg_decompress_struct info;
  JumpingError error;
  uint8_t* volatile rgb = nullptr;
  uint8_t* volatile line = nullptr;
  std::memset(&info, 0, sizeof info);
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = JumpBack;
  error.base.emit_message = Quiet;
  error.base.output_message = QuietOutput;
  if (setjmp(error.back)) {
    jpeg_destroy_decompress(&info);
    std::free(rgb);
    std::free(line);
    return nullptr;
  }
  jpeg_create_decompress(&info);
  // Bounds the library's own work buffers (progressive files keep every
  // coefficient); past this it reports an error instead of growing.
  info.mem->max_memory_to_use = 256L * 1024 * 1024;
  jpeg_mem_src(&info, bytes, static_cast<unsigned long>(length));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = info.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  if (!SizeAllowed(info.image_width, info.image_height, 3)) JumpBack(reinterpret_cast<j_common_ptr>(&info));
  jpeg_start_decompress(&info);
  const uint32_t w = info.output_width, h = info.output_height;
  const int components = info.output_components;
  if ((components != 1 && components != 3) || !SizeAllowed(w, h, 3))
    JumpBack(reinterpret_cast<j_common_ptr>(&info));
  rgb = static_cast<uint8_t*>(std::malloc(size_t{w} * h * 3));
  line = static_cast<uint8_t*>(std::malloc(size_t{w} * components));
  if (!rgb || !line) JumpBack(reinterpret_cast<j_common_ptr>(&info));
  while (info.output_scanline < h) {
    JSAMPROW row = line;
    const uint32_t y = info.output_scanline;
    if (jpeg_read_scanlines(&info, &row, 1) != 1) JumpBack(reinterpret_cast<j_common_ptr>(&info));
    uint8_t* dst = rgb + size_t{y} * w * 3;
    if (components == 3) {
      std::memcpy(dst, line, size_t{w} * 3);
    } else {
      for (uint32_t x = 0; x < w; ++x) dst[x * 3] = dst[x * 3 + 1] = dst[x * 3 + 2] = line[x];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  std::free(line);
  *width = w;
  *height = h;
  return rgb;
}

}  // namespace

std::optional<Picture> DecodeJpeg(const uint8_t* bytes, size_t length) {
  if (!bytes || length < 2) return std::nullopt;
  uint32_t width = 0, height = 0;
  uint8_t* rgb = DecodeToRgb(bytes, length, &width, &height);
  if (!rgb) return std::nullopt;
  std::optional<Picture> result;
  try {
    Picture pic;
    pic.kind = kJpeg;
    pic.width = width;
    pic.height = height;
    RgbTopDownToBgrBottomUp(rgb, width, height, pic.data);
    result = std::move(pic);
  } catch (...) {
    std::free(rgb);
    throw;
  }
  std::free(rgb);
  return result;
}

}  // namespace ts::images
