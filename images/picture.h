// Pictures stored as whole files in form data: recognition by the first
// bytes and decoding into an in-memory picture record. Plain C++ with no
// platform dependency (bytes in, picture records out); the parts that make
// icons and device bitmaps live in picture_gdi.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace ts::images {

// Format codes of recognition; also the `kind` of a decoded picture.
enum Format : int {
  kUnknown = 0,
  kJpeg = 1,
  kBmp = 2,
  kIcon = 3,
  kCursor = 4,
  kGif = 5,
  kPcx8 = 6,
  kPcx1 = 7,
  kPng = 8,
};

// Limits applied right after each header, before anything is allocated.
inline constexpr uint32_t kMaxSide = 16384;
inline constexpr uint64_t kMaxPixelBytes = 256ull * 1024 * 1024;

// Owner of a platform icon handle; the deleter is supplied by whoever made
// the handle, so this header stays free of the platform.
class IconHandle {
 public:
  using Deleter = void (*)(void*);
  IconHandle() = default;
  IconHandle(void* handle, Deleter deleter) : handle_(handle), deleter_(deleter) {}
  IconHandle(IconHandle&& other) noexcept { *this = static_cast<IconHandle&&>(other); }
  IconHandle& operator=(IconHandle&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = other.handle_;
      deleter_ = other.deleter_;
      other.handle_ = nullptr;
    }
    return *this;
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;
  ~IconHandle() { reset(); }

  void* get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }
  void reset() {
    if (handle_ && deleter_) deleter_(handle_);
    handle_ = nullptr;
  }

 private:
  void* handle_ = nullptr;
  Deleter deleter_ = nullptr;
};

// A decoded picture. The layout of `data` depends on `kind`:
//  1, 2 (JPEG, BMP): rows of width*3 bytes blue-green-red, bottom row first,
//        no row padding.
//  3, 4 (icon, cursor): the chosen directory entry's image data (a
//        BITMAPINFOHEADER-based icon image or an embedded PNG); `icon` holds
//        the platform icon once made from it.
//  5, 6 (GIF first frame, PCX 8-bit): a 40-byte BITMAPINFOHEADER with a
//        negative height, 256 palette entries (blue, green, red, 0), then
//        top-down 8-bit rows padded to 4 bytes.
//  7 (PCX 1-bit): top-down packed 1-bit rows, each padded to 2 bytes.
//  8 (PNG): top-down rows of width*4 bytes blue-green-red-alpha, alpha not
//        premultiplied.
struct Picture {
  int kind = kUnknown;
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> data;
  IconHandle icon;

  size_t DataSize() const { return data.size(); }
};

// Format code of the data by its first bytes (0 when fewer than 6 bytes).
Format Recognise(const uint8_t* bytes, size_t length);

// Decodes the pixel data of any recognised format. Icons and cursors get
// their chosen entry but no platform icon yet (see `Decode` in
// picture_gdi.h). Malformed data gives no picture.
std::optional<Picture> DecodeData(const uint8_t* bytes, size_t length);

// Reads a whole file for decoding; false when it cannot be read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& out);

// The individual readers, each given data of its own format.
std::optional<Picture> DecodeBmp(const uint8_t* bytes, size_t length);
std::optional<Picture> DecodeJpeg(const uint8_t* bytes, size_t length);
std::optional<Picture> DecodePng(const uint8_t* bytes, size_t length);
std::optional<Picture> DecodePcx(const uint8_t* bytes, size_t length);
std::optional<Picture> DecodeGifStill(const uint8_t* bytes, size_t length);
std::optional<Picture> DecodeIconEntry(const uint8_t* bytes, size_t length);

}  // namespace ts::images
