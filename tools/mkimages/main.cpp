// mkimages: draws this program's button icons, the about banner and the
// about animation, and writes them in the formats, pixel sizes and byte
// sizes the two forms use.   mkimages <output directory>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tools/mkimages/glyphs.h"
#include "tools/mkimages/writers.h"

namespace mkimages {
namespace {

struct ButtonImage {
  const char* file;
  const char* glyph;
  int pixels;
  bool palette;
  size_t bytes;
};

const ButtonImage kButtons[] = {
    {"locate16.png", "locate", 16, false, 604},    {"open16.png", "open", 16, false, 605},
    {"clean16.png", "clean", 16, false, 666},      {"unselect16.png", "unselect", 16, false, 864},
    {"select16.png", "select", 16, false, 873},    {"delete16.png", "delete", 16, true, 1545},
    {"add16.png", "add", 16, true, 1292},          {"exit32.png", "exit", 32, false, 2572},
    {"help32.png", "help", 32, false, 2952},       {"stop32.png", "stop", 32, false, 3070},
    {"scan32.png", "scan", 32, false, 3037},       {"ok16.png", "ok", 16, true, 1394},
};

constexpr int kGifWidth = 85, kGifHeight = 80, kGifFrames = 36, kGifDelay = 9;
constexpr size_t kGifBytes = 41785;
constexpr int kBannerWidth = 388, kBannerHeight = 80;
constexpr size_t kBannerBytes = 69401;

void Save(const std::string& path, const Bytes& b) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

// White, then ramps from white to blue, orange and grey: the colours the
// animation blends.
std::vector<Rgb> GifPalette() {
  std::vector<Rgb> p = {{255, 255, 255}};
  const Rgb ends[3] = {{40, 100, 200}, {230, 140, 40}, {200, 205, 215}};
  for (Rgb e : ends)
    for (int k = 1; k <= 85; ++k) {
      auto mix = [&](uint8_t to) { return uint8_t(255 + (to - 255) * k / 85); };
      p.push_back({mix(e.r), mix(e.g), mix(e.b)});
    }
  return p;
}

uint8_t Nearest(const std::vector<Rgb>& pal, const uint8_t* rgb) {
  int best = 0;
  long bestD = -1;
  for (size_t i = 0; i < pal.size(); ++i) {
    long dr = rgb[0] - pal[i].r, dg = rgb[1] - pal[i].g, db = rgb[2] - pal[i].b;
    long d = dr * dr + dg * dg + db * db;
    if (bestD < 0 || d < bestD) {
      bestD = d;
      best = static_cast<int>(i);
    }
  }
  return static_cast<uint8_t>(best);
}

Bytes Animation() {
  std::vector<Rgb> pal = GifPalette();
  std::vector<GifFrame> frames;
  for (int k = 0; k < kGifFrames; ++k) {
    std::vector<uint8_t> rgb = DrawTwinsFrame(kGifWidth, kGifHeight, k, kGifFrames).Flatten({255, 255, 255});
    GifFrame f;
    for (size_t i = 0; i < rgb.size(); i += 3) f.indexes.push_back(Nearest(pal, &rgb[i]));
    frames.push_back(std::move(f));
  }
  return WriteGif(kGifWidth, kGifHeight, pal, frames, kGifDelay, kGifBytes);
}

}  // namespace
}  // namespace mkimages

int main(int argc, char** argv) {
  using namespace mkimages;
  if (argc != 2) {
    std::fprintf(stderr, "usage: mkimages <output directory>\n");
    return 2;
  }
  try {
    std::string dir = argv[1];
    for (const ButtonImage& b : kButtons) {
      Canvas c = DrawGlyph(b.glyph, b.pixels);
      Save(dir + "/" + b.file, b.palette ? WritePngPalette(c, {255, 255, 255}, b.bytes) : WritePngRgba(c, b.bytes));
    }
    Save(dir + "/anim.gif", Animation());
    Save(dir + "/banner.jpg", WriteJpeg(DrawBanner(kBannerWidth, kBannerHeight), 95, {97, 48}, kBannerBytes));
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkimages: %s\n", e.what());
    return 1;
  }
}
