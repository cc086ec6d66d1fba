#include "tests/images/image_writers.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include <jpeglib.h>

namespace imgtest {
namespace {

void U8(Bytes& b, uint32_t v) { b.push_back(static_cast<uint8_t>(v)); }
void U16(Bytes& b, uint32_t v) {
  U8(b, v & 0xFF);
  U8(b, (v >> 8) & 0xFF);
}
void U32(Bytes& b, uint32_t v) {
  U16(b, v & 0xFFFF);
  U16(b, v >> 16);
}
void Append(Bytes& b, const Bytes& more) { b.insert(b.end(), more.begin(), more.end()); }

void BmpHeaders(Bytes& b, int width, int height, int bits, uint32_t compression, uint32_t paletteCount,
                uint32_t imageSize) {
  const uint32_t offset = 14 + 40 + paletteCount * 4;
  b.push_back('B');
  b.push_back('M');
  U32(b, offset + imageSize);
  U32(b, 0);
  U32(b, offset);
  U32(b, 40);
  U32(b, static_cast<uint32_t>(width));
  U32(b, static_cast<uint32_t>(height));
  U16(b, 1);
  U16(b, static_cast<uint32_t>(bits));
  U32(b, compression);
  U32(b, imageSize);
  U32(b, 2835);
  U32(b, 2835);
  U32(b, paletteCount);
  U32(b, 0);
}

}  // namespace

Bytes MakeBmp24(int width, int height, const std::vector<Colour>& topDown, bool storeTopDown, int bits,
                uint32_t compression) {
  const int bpp = bits / 8;
  const int stride = (width * bpp + 3) & ~3;
  Bytes b;
  BmpHeaders(b, width, storeTopDown ? -height : height, bits, compression, 0,
             static_cast<uint32_t>(stride * height));
  for (int i = 0; i < height; ++i) {
    const int y = storeTopDown ? i : height - 1 - i;
    Bytes row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < width; ++x) {
      const Colour& c = topDown[static_cast<size_t>(y * width + x)];
      row[static_cast<size_t>(x * bpp + 0)] = c.b;
      row[static_cast<size_t>(x * bpp + 1)] = c.g;
      row[static_cast<size_t>(x * bpp + 2)] = c.r;
    }
    Append(b, row);
  }
  return b;
}

Bytes MakeBmp(int width, int height, const std::function<uint32_t(int x, int y)>& rgb) {
  std::vector<Colour> topDown;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t c = rgb(x, y);
      topDown.push_back({static_cast<uint8_t>(c >> 16), static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c)});
    }
  return MakeBmp24(width, height, topDown);
}

Bytes MakeBmpIndexed(int width, int height, int bits, const std::vector<Colour>& palette,
                     const std::vector<uint8_t>& topDown) {
  const int stride = ((width * bits + 31) / 32) * 4;
  Bytes b;
  BmpHeaders(b, width, height, bits, 0, static_cast<uint32_t>(palette.size()),
             static_cast<uint32_t>(stride * height));
  for (const Colour& c : palette) {
    U8(b, c.b);
    U8(b, c.g);
    U8(b, c.r);
    U8(b, 0);
  }
  for (int y = height - 1; y >= 0; --y) {
    Bytes row(static_cast<size_t>(stride), 0);
    for (int x = 0; x < width; ++x) {
      const int bit = x * bits;
      const int shift = 8 - bits - bit % 8;
      row[static_cast<size_t>(bit / 8)] |=
          static_cast<uint8_t>(topDown[static_cast<size_t>(y * width + x)] << shift);
    }
    Append(b, row);
  }
  return b;
}

Bytes GifLzw(const std::vector<uint8_t>& indexes, int minCodeSize) {
  const int clear = 1 << minCodeSize;
  Bytes packed;
  uint32_t buffer = 0;
  int count = 0;
  int bits = minCodeSize + 1;
  auto emit = [&](int code) {
    buffer |= static_cast<uint32_t>(code) << count;
    count += bits;
    while (count >= 8) {
      packed.push_back(static_cast<uint8_t>(buffer));
      buffer >>= 8;
      count -= 8;
    }
  };
  std::map<std::pair<int, uint8_t>, int> table;
  int next = clear + 2;
  emit(clear);
  int current = -1;
  for (uint8_t k : indexes) {
    if (current < 0) {
      current = k;
      continue;
    }
    auto found = table.find({current, k});
    if (found != table.end()) {
      current = found->second;
      continue;
    }
    emit(current);
    table[{current, k}] = next++;
    // The decoder sees each entry one code later, so widths grow when the
    // table has passed the current width's range.
    if (next > (1 << bits) && bits < 12) ++bits;
    if (next == 4096) {
      emit(clear);
      table.clear();
      next = clear + 2;
      bits = minCodeSize + 1;
    }
    current = k;
  }
  if (current >= 0) emit(current);
  emit(clear + 1);
  if (count > 0) packed.push_back(static_cast<uint8_t>(buffer));

  Bytes out;
  U8(out, static_cast<uint32_t>(minCodeSize));
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    U8(out, static_cast<uint32_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<ptrdiff_t>(at),
               packed.begin() + static_cast<ptrdiff_t>(at + n));
  }
  U8(out, 0);
  return out;
}

namespace {

int TableBits(size_t entries) {
  int n = 0;
  while ((size_t{2} << n) < entries && n < 7) ++n;
  return n;  // table holds 2^(n+1) entries
}

void Table(Bytes& b, const std::vector<Colour>& table) {
  const size_t size = size_t{2} << TableBits(table.size());
  for (size_t i = 0; i < size; ++i) {
    const Colour c = i < table.size() ? table[i] : Colour{};
    U8(b, c.r);
    U8(b, c.g);
    U8(b, c.b);
  }
}

std::vector<uint8_t> InterlaceOrder(const std::vector<uint8_t>& pixels, int width, int height) {
  std::vector<uint8_t> out;
  const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
  for (int pass = 0; pass < 4; ++pass) {
    for (int y = start[pass]; y < height; y += step[pass]) {
      out.insert(out.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
    }
  }
  return out;
}

}  // namespace

Bytes MakeGif(int screenWidth, int screenHeight, const std::vector<Colour>& globalTable,
              const std::vector<GifFrameSpec>& frames, bool withComment) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
  U16(b, static_cast<uint32_t>(screenWidth));
  U16(b, static_cast<uint32_t>(screenHeight));
  if (globalTable.empty()) {
    U8(b, 0);
  } else {
    U8(b, 0x80u | 0x70u | static_cast<uint32_t>(TableBits(globalTable.size())));
  }
  U8(b, 0);  // background index
  U8(b, 0);  // aspect
  if (!globalTable.empty()) Table(b, globalTable);
  // An application block as animated files carry, to exercise skipping it.
  Append(b, Bytes{0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
  if (withComment) Append(b, Bytes{0x21, 0xFE, 3, 'h', 'i', '!', 0});
  for (const GifFrameSpec& f : frames) {
    if (f.control) {
      Append(b, Bytes{0x21, 0xF9, 4});
      U8(b, static_cast<uint32_t>((f.disposal << 2) | (f.transparent ? 1 : 0)));
      U16(b, f.delay);
      U8(b, f.transparentIndex);
      U8(b, 0);
    }
    U8(b, 0x2C);
    U16(b, static_cast<uint32_t>(f.left));
    U16(b, static_cast<uint32_t>(f.top));
    U16(b, static_cast<uint32_t>(f.width));
    U16(b, static_cast<uint32_t>(f.height));
    uint32_t packed = f.interlaced ? 0x40u : 0u;
    if (!f.localTable.empty()) packed |= 0x80u | static_cast<uint32_t>(TableBits(f.localTable.size()));
    U8(b, packed);
    if (!f.localTable.empty()) Table(b, f.localTable);
    const size_t tableSize = f.localTable.empty() ? globalTable.size() : f.localTable.size();
    int minCode = f.minCodeSize;
    if (minCode == 0) minCode = std::max(2, TableBits(tableSize) + 1);
    const std::vector<uint8_t> order =
        f.interlaced ? InterlaceOrder(f.pixels, f.width, f.height) : f.pixels;
    Append(b, GifLzw(order, minCode));
  }
  U8(b, 0x3B);
  return b;
}

namespace {

// Run-length codes one line: runs of equal bytes, and literals that would
// read as counts (0xC0 and up) stored as runs of one.
void PcxLine(Bytes& b, const uint8_t* line, int length) {
  for (int x = 0; x < length;) {
    int run = 1;
    while (x + run < length && run < 63 && line[x + run] == line[x]) ++run;
    if (run > 1 || line[x] >= 0xC0) U8(b, 0xC0u + static_cast<uint32_t>(run));
    U8(b, line[x]);
    x += run;
  }
}

void PcxHeader(Bytes& b, int version, int bits, int width, int height, int bytesPerLine) {
  U8(b, 0x0A);
  U8(b, static_cast<uint32_t>(version));
  U8(b, 1);
  U8(b, static_cast<uint32_t>(bits));
  U16(b, 0);
  U16(b, 0);
  U16(b, static_cast<uint32_t>(width - 1));
  U16(b, static_cast<uint32_t>(height - 1));
  U16(b, 72);
  U16(b, 72);
  b.resize(65, 0);
  U8(b, 1);  // planes
  U16(b, static_cast<uint32_t>(bytesPerLine));
  U16(b, 1);
  b.resize(128, 0);
}

}  // namespace

Bytes MakePcx8(int width, int height, const std::vector<uint8_t>& topDown, const std::vector<Colour>& palette) {
  const int bytesPerLine = (width + 1) & ~1;
  Bytes b;
  PcxHeader(b, 5, 8, width, height, bytesPerLine);
  std::vector<uint8_t> line(static_cast<size_t>(bytesPerLine), 0);
  for (int y = 0; y < height; ++y) {
    std::memcpy(line.data(), &topDown[static_cast<size_t>(y * width)], static_cast<size_t>(width));
    PcxLine(b, line.data(), bytesPerLine);
  }
  U8(b, 0x0C);
  for (int i = 0; i < 256; ++i) {
    const Colour c = i < static_cast<int>(palette.size()) ? palette[static_cast<size_t>(i)] : Colour{};
    U8(b, c.r);
    U8(b, c.g);
    U8(b, c.b);
  }
  return b;
}

Bytes MakePcx1(int width, int height, const std::vector<uint8_t>& packedRows, int bytesPerLine) {
  Bytes b;
  PcxHeader(b, 3, 1, width, height, bytesPerLine);
  for (int y = 0; y < height; ++y) PcxLine(b, &packedRows[static_cast<size_t>(y * bytesPerLine)], bytesPerLine);
  return b;
}

Bytes MakeIcon(const std::vector<IconSpec>& entries, int type) {
  std::vector<Bytes> images;
  for (const IconSpec& e : entries) {
    Bytes img;
    U32(img, 40);
    U32(img, static_cast<uint32_t>(e.size));
    U32(img, static_cast<uint32_t>(e.size * 2));
    U16(img, 1);
    U16(img, 32);
    U32(img, 0);
    U32(img, 0);
    U32(img, 0);
    U32(img, 0);
    U32(img, 0);
    U32(img, 0);
    for (int i = 0; i < e.size * e.size; ++i) {
      U8(img, e.fill.b);
      U8(img, e.fill.g);
      U8(img, e.fill.r);
      U8(img, 255);
    }
    const int maskStride = ((e.size + 31) / 32) * 4;
    img.resize(img.size() + static_cast<size_t>(maskStride * e.size), 0);
    images.push_back(img);
  }
  Bytes b;
  U16(b, 0);
  U16(b, static_cast<uint32_t>(type));
  U16(b, static_cast<uint32_t>(entries.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
  for (size_t i = 0; i < entries.size(); ++i) {
    U8(b, static_cast<uint32_t>(entries[i].size & 0xFF));
    U8(b, static_cast<uint32_t>(entries[i].size & 0xFF));
    U8(b, static_cast<uint32_t>(entries[i].colours));
    U8(b, 0);
    U16(b, 1);
    U16(b, 32);
    U32(b, static_cast<uint32_t>(images[i].size()));
    U32(b, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const Bytes& img : images) Append(b, img);
  return b;
}

Bytes MakePng(int width, int height, const std::vector<uint8_t>& bgra) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bgra.data(), 0, nullptr)) return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, bgra.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

Bytes MakeJpeg(int width, int height, int components, const std::vector<uint8_t>& samples, int quality) {
  jpeg_compress_struct info;
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = components;
  info.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(&samples[static_cast<size_t>(info.next_scanline) * width * components]);
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  Bytes out(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return out;
}

std::vector<Sample> SampleFiles() {
  std::vector<Sample> out;
  const std::vector<Colour> four = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  std::vector<uint8_t> idx(6 * 5);
  for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<uint8_t>((i * 7 / 3) % 4);
  std::vector<Colour> rgb;
  for (uint8_t i : idx) rgb.push_back(four[i]);

  out.push_back({"bmp24", MakeBmp24(6, 5, rgb)});
  out.push_back({"bmp8", MakeBmpIndexed(6, 5, 8, four, idx)});
  out.push_back({"bmp4", MakeBmpIndexed(6, 5, 4, four, idx)});
  out.push_back({"bmp1", MakeBmpIndexed(6, 5, 1, {{0, 0, 0}, {255, 255, 255}},
                                        std::vector<uint8_t>(idx.size(), 1))});
  GifFrameSpec frame = FrameOf(6, 5, idx);
  GifFrameSpec second = frame;
  second.control = true;
  second.disposal = 2;
  second.transparent = true;
  second.transparentIndex = 3;
  second.delay = 7;
  second.interlaced = true;
  out.push_back({"gif", MakeGif(6, 5, four, {frame})});
  out.push_back({"gif_anim", MakeGif(6, 5, four, {frame, second}, true)});
  // Frames the compositor places: one restoring what it covered, one with
  // a table of its own reaching past the screen.
  GifFrameSpec restoring = FrameOf(3, 2, {0, 1, 2, 3, 0, 1}, 2, 1);
  restoring.control = true;
  restoring.disposal = 3;
  GifFrameSpec overhanging = FrameOf(4, 3, std::vector<uint8_t>(12, 1), 4, 3);
  overhanging.localTable = {{9, 9, 9}, {200, 100, 50}};
  out.push_back({"gif_anim3", MakeGif(6, 5, four, {frame, restoring, overhanging})});
  out.push_back({"pcx8", MakePcx8(6, 5, idx, four)});
  out.push_back({"pcx1", MakePcx1(10, 3, {0xF0, 0xC0, 0x0F, 0x00, 0xAA, 0x40}, 2)});
  out.push_back({"ico", MakeIcon({{16, 16, {1, 2, 3}}, {32, 16, {4, 5, 6}}}, 1)});
  out.push_back({"cur", MakeIcon({{16, 0, {7, 8, 9}}}, 2)});
  std::vector<uint8_t> bgra;
  for (size_t i = 0; i < rgb.size(); ++i) {
    bgra.insert(bgra.end(), {rgb[i].b, rgb[i].g, rgb[i].r, static_cast<uint8_t>(i * 8)});
  }
  out.push_back({"png", MakePng(6, 5, bgra)});
  std::vector<uint8_t> samples;
  for (const Colour& c : rgb) samples.insert(samples.end(), {c.r, c.g, c.b});
  out.push_back({"jpeg", MakeJpeg(6, 5, 3, samples)});
  std::vector<uint8_t> grey(8 * 8);
  for (size_t i = 0; i < grey.size(); ++i) grey[i] = static_cast<uint8_t>(i * 4);
  out.push_back({"jpeg_grey", MakeJpeg(8, 8, 1, grey)});
  return out;
}

}  // namespace imgtest
