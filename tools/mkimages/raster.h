// A small RGBA canvas with anti-aliased shapes (4×4 supersampling), enough
// to draw the button glyphs, the banner and the animation frames.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace mkimages {

struct Rgb {
  uint8_t r, g, b;
};

// Shapes are tests of a point in unit coordinates: (0,0) top-left, (1,1)
// bottom-right of the canvas, so one glyph serves every size.
using Shape = std::function<bool(double x, double y)>;

Shape Circle(double cx, double cy, double r);
Shape Ring(double cx, double cy, double r, double width);
// A ring limited to angles [from, to] in degrees (0 = right, clockwise).
Shape Arc(double cx, double cy, double r, double width, double from, double to);
Shape Capsule(double x1, double y1, double x2, double y2, double width);
Shape Box(double x1, double y1, double x2, double y2);
Shape Polygon(std::vector<std::pair<double, double>> points);
Shape Minus(Shape a, Shape b);

class Canvas {
 public:
  Canvas(int w, int h) : w_(w), h_(h), px_(size_t(w) * h * 4, 0) {}
  int width() const { return w_; }
  int height() const { return h_; }
  // Paints a shape over the canvas. Coverage below 1/8 is dropped so that
  // glyph edges never fade into the background colour.
  void Paint(const Shape& s, Rgb c, double opacity = 1.0);
  void Fill(Rgb c, uint8_t alpha);
  // A horizontal blend from left to right over the whole canvas.
  void Gradient(Rgb left, Rgb right);
  const uint8_t* rgba() const { return px_.data(); }
  uint8_t* rgba() { return px_.data(); }
  // The canvas flattened onto a background colour (RGB bytes).
  std::vector<uint8_t> Flatten(Rgb background) const;

 private:
  int w_, h_;
  std::vector<uint8_t> px_;
};

}  // namespace mkimages
