#include "tools/mkimages/writers.h"

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>

namespace mkimages {

namespace {

void Check(bool ok, const std::string& what) {
  if (!ok) throw std::runtime_error(what);
}

void PngWriteData(png_structp png, png_bytep data, png_size_t n) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void PngFlush(png_structp) {}

// Writes rows with libpng at a fixed compression level (plain C, one clean
// up path; no C++ object lives across the setjmp).
bool EncodePng(int w, int h, int colorType, const png_color* palette, int paletteSize,
               const uint8_t* rows, size_t stride, Bytes* out) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, PngWriteData, PngFlush);
  png_set_compression_level(png, 9);
  png_set_IHDR(png, info, w, h, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (palette) png_set_PLTE(png, info, palette, paletteSize);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) png_write_row(png, rows + size_t(y) * stride);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

void PutU32Be(Bytes& b, size_t at, uint32_t v) {
  b[at] = uint8_t(v >> 24);
  b[at + 1] = uint8_t(v >> 16);
  b[at + 2] = uint8_t(v >> 8);
  b[at + 3] = uint8_t(v);
}

// Inserts one tEXt chunk before IEND so that the file has exactly `size`
// bytes. The text is a neutral filler the decoders skip.
Bytes PadPng(Bytes png, size_t size) {
  const size_t overhead = 12 + 8;  // length, type, crc; "Comment\0"
  Check(png.size() + overhead <= size, "png: picture too large for " + std::to_string(size));
  size_t textLen = size - png.size() - overhead;
  Bytes chunk(12 + 8 + textLen);
  PutU32Be(chunk, 0, static_cast<uint32_t>(8 + textLen));
  std::memcpy(&chunk[4], "tEXtComment", 11);
  chunk[15] = 0;
  for (size_t i = 0; i < textLen; ++i) chunk[16 + i] = static_cast<uint8_t>("twinseek "[i % 9]);
  uint32_t crc = static_cast<uint32_t>(crc32(0, &chunk[4], static_cast<uInt>(4 + 8 + textLen)));
  PutU32Be(chunk, chunk.size() - 4, crc);
  png.insert(png.end() - 12, chunk.begin(), chunk.end());
  return png;
}

// --- GIF -----------------------------------------------------------------

class BitSink {
 public:
  void Put(uint32_t code, int bits) {
    acc_ |= code << n_;
    n_ += bits;
    while (n_ >= 8) {
      out.push_back(uint8_t(acc_));
      acc_ >>= 8;
      n_ -= 8;
    }
  }
  void Flush() {
    if (n_ > 0) out.push_back(uint8_t(acc_));
    acc_ = 0;
    n_ = 0;
  }
  Bytes out;

 private:
  uint32_t acc_ = 0;
  int n_ = 0;
};

// Variable-width LZW as GIF uses it, restarting the table when it is full.
Bytes Lzw(const std::vector<uint8_t>& idx, int minCode) {
  const uint32_t clear = 1u << minCode, end = clear + 1;
  BitSink sink;
  std::map<std::pair<uint32_t, uint8_t>, uint32_t> table;
  uint32_t next = end + 1;
  int width = minCode + 1;
  sink.Put(clear, width);
  uint32_t prefix = idx[0];
  for (size_t i = 1; i < idx.size(); ++i) {
    auto key = std::make_pair(prefix, idx[i]);
    auto it = table.find(key);
    if (it != table.end()) {
      prefix = it->second;
      continue;
    }
    sink.Put(prefix, width);
    if (next < 4096) {
      table[key] = next++;
      if (next > (1u << width) && width < 12) ++width;
    } else {
      sink.Put(clear, width);
      table.clear();
      next = end + 1;
      width = minCode + 1;
    }
    prefix = idx[i];
  }
  sink.Put(prefix, width);
  sink.Put(end, width);
  sink.Flush();
  return sink.out;
}

void SubBlocks(Bytes& out, const Bytes& data) {
  for (size_t i = 0; i < data.size(); i += 255) {
    size_t n = std::min<size_t>(255, data.size() - i);
    out.push_back(uint8_t(n));
    out.insert(out.end(), data.begin() + i, data.begin() + i + n);
  }
  out.push_back(0);
}

void U16(Bytes& out, int v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

// A comment extension of exactly `n` bytes (n >= 4).
Bytes GifComment(size_t n) {
  Bytes c = {0x21, 0xFE};
  size_t rest = n - 3;  // sub-blocks with their length bytes; then the 0
  while (rest > 0) {
    size_t take = std::min<size_t>(256, rest);
    if (rest - take == 1) --take;  // never leave a lone length byte
    c.push_back(uint8_t(take - 1));
    for (size_t i = 1; i < take; ++i) c.push_back('.');
    rest -= take;
  }
  c.push_back(0);
  return c;
}

// --- JPEG ----------------------------------------------------------------

struct JpegError {
  jpeg_error_mgr mgr;
  jmp_buf jump;
};

void JpegFail(j_common_ptr cinfo) { longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1); }

struct Segment {
  int marker;
  Bytes data;
};

// Compresses RGB rows; `segments` are written right after the JFIF header.
bool EncodeJpeg(const uint8_t* rgb, int w, int h, int quality, const std::vector<Segment>& segments,
                Bytes* out) {
  jpeg_compress_struct cinfo;
  JpegError err;
  unsigned char* mem = nullptr;
  unsigned long memSize = 0;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = JpegFail;
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    std::free(mem);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &mem, &memSize);
  cinfo.image_width = w;
  cinfo.image_height = h;
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  for (const Segment& s : segments)
    jpeg_write_marker(&cinfo, s.marker, s.data.data(), static_cast<unsigned>(s.data.size()));
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + size_t(cinfo.next_scanline) * w * 3);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  out->assign(mem, mem + memSize);
  jpeg_destroy_compress(&cinfo);
  std::free(mem);
  return true;
}

// Box-filtered reduction of RGB rows.
std::vector<uint8_t> Shrink(const std::vector<uint8_t>& rgb, int w, int h, int tw, int th) {
  std::vector<uint8_t> out(size_t(tw) * th * 3);
  for (int y = 0; y < th; ++y)
    for (int x = 0; x < tw; ++x)
      for (int ch = 0; ch < 3; ++ch) {
        int x0 = x * w / tw, x1 = std::max(x0 + 1, (x + 1) * w / tw);
        int y0 = y * h / th, y1 = std::max(y0 + 1, (y + 1) * h / th);
        long sum = 0;
        for (int yy = y0; yy < y1; ++yy)
          for (int xx = x0; xx < x1; ++xx) sum += rgb[(size_t(yy) * w + xx) * 3 + ch];
        out[(size_t(y) * tw + x) * 3 + ch] = uint8_t(sum / ((x1 - x0) * (y1 - y0)));
      }
  return out;
}

}  // namespace

Bytes WritePngRgba(const Canvas& c, size_t size) {
  Bytes png;
  Check(EncodePng(c.width(), c.height(), PNG_COLOR_TYPE_RGBA, nullptr, 0, c.rgba(),
                  size_t(c.width()) * 4, &png),
        "png: encoding failed");
  return PadPng(std::move(png), size);
}

Bytes WritePngPalette(const Canvas& c, Rgb background, size_t size) {
  std::vector<uint8_t> rgb = c.Flatten(background);
  std::vector<png_color> palette;
  std::map<uint32_t, uint8_t> index;
  std::vector<uint8_t> rows(size_t(c.width()) * c.height());
  for (size_t i = 0; i < rows.size(); ++i) {
    uint32_t key = uint32_t(rgb[i * 3]) << 16 | uint32_t(rgb[i * 3 + 1]) << 8 | rgb[i * 3 + 2];
    auto it = index.find(key);
    if (it == index.end()) {
      Check(palette.size() < 256, "png: more than 256 colours");
      it = index.emplace(key, uint8_t(palette.size())).first;
      palette.push_back({rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]});
    }
    rows[i] = it->second;
  }
  Bytes png;
  Check(EncodePng(c.width(), c.height(), PNG_COLOR_TYPE_PALETTE, palette.data(),
                  static_cast<int>(palette.size()), rows.data(), size_t(c.width()), &png),
        "png: encoding failed");
  return PadPng(std::move(png), size);
}

Bytes WriteGif(int w, int h, const std::vector<Rgb>& palette, const std::vector<GifFrame>& frames,
               int delay, size_t size) {
  Check(palette.size() == 256, "gif: the palette needs 256 entries");
  Bytes out = {'G', 'I', 'F', '8', '9', 'a'};
  U16(out, w);
  U16(out, h);
  out.push_back(0xF7);  // global table of 256 entries, 8-bit colour resolution
  out.push_back(0);     // background index
  out.push_back(0);
  for (Rgb c : palette) out.insert(out.end(), {c.r, c.g, c.b});
  // Application extension: loop forever.
  const uint8_t loop[] = {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.',
                          '0',  3,    1,  0,   0,   0};
  out.insert(out.end(), loop, loop + sizeof loop);
  for (const GifFrame& f : frames) {
    Check(f.indexes.size() == size_t(w) * h, "gif: frame size");
    out.insert(out.end(), {0x21, 0xF9, 4, 0x04});  // graphic control: keep frame
    U16(out, delay);
    out.insert(out.end(), {0, 0});
    out.push_back(0x2C);
    U16(out, 0);
    U16(out, 0);
    U16(out, w);
    U16(out, h);
    out.push_back(0);
    out.push_back(8);  // LZW minimum code size
    SubBlocks(out, Lzw(f.indexes, 8));
  }
  Check(out.size() + 1 + 4 <= size, "gif: picture too large for " + std::to_string(size));
  Bytes comment = GifComment(size - out.size() - 1);
  out.insert(out.end(), comment.begin(), comment.end());
  out.push_back(0x3B);
  return out;
}

Bytes WriteJpeg(const Canvas& c, int quality, const std::vector<int>& thumbWidths, size_t size) {
  std::vector<uint8_t> rgb = c.Flatten({255, 255, 255});
  std::vector<Segment> segments;
  for (int tw : thumbWidths) {
    int th = std::max(1, static_cast<int>(std::lround(double(tw) * c.height() / c.width())));
    std::vector<uint8_t> small = Shrink(rgb, c.width(), c.height(), tw, th);
    Bytes thumb;
    Check(EncodeJpeg(small.data(), tw, th, 80, {}, &thumb), "jpeg: thumbnail failed");
    Segment s{JPEG_APP0, {'J', 'F', 'X', 'X', 0, 0x10}};  // JFIF extension: JPEG thumbnail
    s.data.insert(s.data.end(), thumb.begin(), thumb.end());
    Check(s.data.size() <= 65533, "jpeg: thumbnail too large");
    segments.push_back(std::move(s));
  }
  Bytes plain;
  Check(EncodeJpeg(rgb.data(), c.width(), c.height(), quality, segments, &plain), "jpeg: encoding failed");
  Check(plain.size() + 4 <= size, "jpeg: picture too large for " + std::to_string(size));
  // Comment segments: 4 bytes of marker and length each, at most 65533 data.
  size_t pad = size - plain.size();
  while (pad > 0) {
    size_t take = std::min<size_t>(pad, 65537);
    if (pad - take > 0 && pad - take < 4) take -= 4;
    segments.push_back({JPEG_COM, Bytes(take - 4, ' ')});
    pad -= take;
  }
  Bytes padded;
  Check(EncodeJpeg(rgb.data(), c.width(), c.height(), quality, segments, &padded), "jpeg: encoding failed");
  Check(padded.size() == size, "jpeg: padding missed the size");
  return padded;
}

}  // namespace mkimages
