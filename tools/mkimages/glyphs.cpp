#include "tools/mkimages/glyphs.h"

#include <cmath>
#include <map>
#include <stdexcept>

namespace mkimages {

namespace {

constexpr Rgb kInk{30, 40, 60};
constexpr Rgb kBlue{40, 100, 200};
constexpr Rgb kLightBlue{150, 200, 235};
constexpr Rgb kRed{200, 40, 40};
constexpr Rgb kGreen{40, 150, 60};
constexpr Rgb kYellow{230, 180, 60};
constexpr Rgb kBrown{140, 90, 40};
constexpr Rgb kGrey{110, 115, 125};
constexpr Rgb kPale{238, 238, 228};  // the lightest glyph colour: never pure white

void Scan(Canvas& c) {  // magnifying glass over a page
  c.Paint(Box(0.12, 0.08, 0.62, 0.72), kPale);
  c.Paint(Minus(Box(0.10, 0.06, 0.64, 0.74), Box(0.16, 0.12, 0.58, 0.68)), kGrey);
  c.Paint(Circle(0.50, 0.45, 0.20), kLightBlue, 0.9);
  c.Paint(Ring(0.50, 0.45, 0.22, 0.10), kBlue);
  c.Paint(Capsule(0.66, 0.62, 0.90, 0.88, 0.14), kBrown);
}

void Stop(Canvas& c) {  // red octagon with a pale bar
  std::vector<std::pair<double, double>> oct;
  for (int k = 0; k < 8; ++k) {
    double a = (22.5 + 45 * k) * 3.14159265358979 / 180;
    oct.emplace_back(0.5 + 0.44 * std::cos(a), 0.5 + 0.44 * std::sin(a));
  }
  c.Paint(Polygon(oct), kRed);
  c.Paint(Box(0.24, 0.42, 0.76, 0.58), kPale);
}

void Help(Canvas& c) {  // blue disc with a question mark
  c.Paint(Circle(0.5, 0.5, 0.45), kBlue);
  c.Paint(Arc(0.5, 0.36, 0.15, 0.10, 180, 90), kPale);
  c.Paint(Capsule(0.5, 0.52, 0.5, 0.62, 0.10), kPale);
  c.Paint(Circle(0.5, 0.77, 0.065), kPale);
}

void Exit(Canvas& c) {  // door with an arrow leaving it
  c.Paint(Box(0.10, 0.08, 0.55, 0.92), kBrown);
  c.Paint(Box(0.16, 0.14, 0.49, 0.86), {190, 140, 80});
  c.Paint(Circle(0.42, 0.52, 0.04), kInk);
  c.Paint(Capsule(0.45, 0.52, 0.80, 0.52, 0.12), kGreen);
  c.Paint(Polygon({{0.72, 0.32}, {0.95, 0.52}, {0.72, 0.72}}), kGreen);
}

void Folder(Canvas& c, bool open) {
  c.Paint(Polygon({{0.04, 0.22}, {0.38, 0.22}, {0.46, 0.32}, {0.90, 0.32}, {0.90, 0.86}, {0.04, 0.86}}),
          kBrown);
  if (open)
    c.Paint(Polygon({{0.20, 0.46}, {0.98, 0.46}, {0.84, 0.86}, {0.04, 0.86}}), kYellow);
  else
    c.Paint(Box(0.08, 0.40, 0.86, 0.82), kYellow);
}

void Add(Canvas& c) {  // folder with a plus
  Folder(c, false);
  c.Paint(Capsule(0.70, 0.48, 0.70, 0.92, 0.16), kGreen);
  c.Paint(Capsule(0.48, 0.70, 0.92, 0.70, 0.16), kGreen);
}

void Delete(Canvas& c) {  // red cross
  c.Paint(Capsule(0.18, 0.18, 0.82, 0.82, 0.20), kRed);
  c.Paint(Capsule(0.82, 0.18, 0.18, 0.82, 0.20), kRed);
}

void CheckMark(Canvas& c, Rgb colour) {
  c.Paint(Capsule(0.16, 0.52, 0.40, 0.76, 0.18), colour);
  c.Paint(Capsule(0.40, 0.76, 0.86, 0.22, 0.18), colour);
}

void Select(Canvas& c) {  // ticked box
  c.Paint(Box(0.08, 0.08, 0.92, 0.92), kPale);
  c.Paint(Minus(Box(0.06, 0.06, 0.94, 0.94), Box(0.16, 0.16, 0.84, 0.84)), kGrey);
  CheckMark(c, kGreen);
}

void Unselect(Canvas& c) {  // empty box, struck through
  c.Paint(Box(0.08, 0.08, 0.92, 0.92), kPale);
  c.Paint(Minus(Box(0.06, 0.06, 0.94, 0.94), Box(0.16, 0.16, 0.84, 0.84)), kGrey);
  c.Paint(Capsule(0.24, 0.76, 0.76, 0.24, 0.14), kRed);
}

void Clean(Canvas& c) {  // waste bin
  c.Paint(Polygon({{0.20, 0.28}, {0.80, 0.28}, {0.72, 0.94}, {0.28, 0.94}}), kGrey);
  c.Paint(Box(0.10, 0.16, 0.90, 0.26), kInk);
  c.Paint(Box(0.38, 0.06, 0.62, 0.16), kInk);
  for (double x : {0.38, 0.50, 0.62}) c.Paint(Capsule(x, 0.38, x, 0.84, 0.06), kPale);
}

void Open(Canvas& c) { Folder(c, true); }

void Locate(Canvas& c) {  // cross-hair
  c.Paint(Ring(0.5, 0.5, 0.34, 0.12), kRed);
  c.Paint(Capsule(0.5, 0.04, 0.5, 0.30, 0.10), kInk);
  c.Paint(Capsule(0.5, 0.70, 0.5, 0.96, 0.10), kInk);
  c.Paint(Capsule(0.04, 0.5, 0.30, 0.5, 0.10), kInk);
  c.Paint(Capsule(0.70, 0.5, 0.96, 0.5, 0.10), kInk);
  c.Paint(Circle(0.5, 0.5, 0.08), kRed);
}

void Ok(Canvas& c) { CheckMark(c, kGreen); }

}  // namespace

Canvas DrawGlyph(const std::string& name, int size) {
  static const std::map<std::string, void (*)(Canvas&)> kGlyphs = {
      {"scan", Scan},     {"stop", Stop},         {"help", Help},   {"exit", Exit},
      {"add", Add},       {"delete", Delete},     {"select", Select}, {"unselect", Unselect},
      {"clean", Clean},   {"open", Open},         {"locate", Locate}, {"ok", Ok}};
  auto it = kGlyphs.find(name);
  if (it == kGlyphs.end()) throw std::runtime_error("no glyph " + name);
  Canvas c(size, size);
  it->second(c);
  return c;
}

Canvas DrawBanner(int w, int h) {
  Canvas c(w, h);
  c.Gradient({20, 60, 130}, {40, 150, 170});
  double ar = double(h) / w;  // keeps circles round in unit coordinates
  auto disc = [&](double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot((x - cx) / ar, y - cy) <= r; };
  };
  c.Paint(disc(0.10, 0.5, 0.30), {240, 170, 60}, 0.9);
  c.Paint(disc(0.16, 0.5, 0.30), {90, 170, 235}, 0.75);
  for (int k = 0; k < 6; ++k)
    c.Paint(Box(0.30 + k * 0.11, 0.70, 0.36 + k * 0.11, 0.78), {200, 220, 235}, 0.6);
  c.Paint(Capsule(0.30, 0.35, 0.95, 0.35, 0.10), {230, 235, 240}, 0.8);
  return c;
}

Canvas DrawTwinsFrame(int w, int h, int k, int n) {
  Canvas c(w, h);
  c.Fill({255, 255, 255}, 255);
  double a = 2 * 3.14159265358979 * k / n;
  double ar = double(h) / w;
  auto disc = [&](double cx, double cy, double r) {
    return [=](double x, double y) { return std::hypot((x - cx) / ar, y - cy) <= r; };
  };
  auto ring = [&](double r, double width) {
    return [=](double x, double y) {
      double d = std::hypot((x - 0.5) / ar, y - 0.5);
      return d <= r + width / 2 && d >= r - width / 2;
    };
  };
  c.Paint(ring(0.24, 0.04), {200, 205, 215});
  double dx = 0.24 * std::cos(a) * ar, dy = 0.24 * std::sin(a);
  c.Paint(disc(0.5 + dx, 0.5 + dy, 0.16), {40, 100, 200});
  c.Paint(disc(0.5 - dx, 0.5 - dy, 0.16), {230, 140, 40});
  return c;
}

}  // namespace mkimages
