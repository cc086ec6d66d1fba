#include "tools/mkimages/raster.h"

#include <algorithm>
#include <cmath>

namespace mkimages {

namespace {
constexpr double kPi = 3.14159265358979323846;

double SegmentDistance(double px, double py, double x1, double y1, double x2, double y2) {
  double dx = x2 - x1, dy = y2 - y1;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((px - x1) * dx + (py - y1) * dy) / len2, 0.0, 1.0) : 0.0;
  double qx = x1 + t * dx - px, qy = y1 + t * dy - py;
  return std::sqrt(qx * qx + qy * qy);
}
}  // namespace

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r; };
}

Shape Ring(double cx, double cy, double r, double width) {
  return [=](double x, double y) {
    double d = std::hypot(x - cx, y - cy);
    return d <= r + width / 2 && d >= r - width / 2;
  };
}

Shape Arc(double cx, double cy, double r, double width, double from, double to) {
  Shape ring = Ring(cx, cy, r, width);
  return [=](double x, double y) {
    if (!ring(x, y)) return false;
    double a = std::atan2(y - cy, x - cx) * 180 / kPi;
    if (a < 0) a += 360;
    return from <= to ? (a >= from && a <= to) : (a >= from || a <= to);
  };
}

Shape Capsule(double x1, double y1, double x2, double y2, double width) {
  return [=](double x, double y) { return SegmentDistance(x, y, x1, y1, x2, y2) <= width / 2; };
}

Shape Box(double x1, double y1, double x2, double y2) {
  return [=](double x, double y) { return x >= x1 && x <= x2 && y >= y1 && y <= y2; };
}

Shape Polygon(std::vector<std::pair<double, double>> pts) {
  return [pts](double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
      auto [xi, yi] = pts[i];
      auto [xj, yj] = pts[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape Minus(Shape a, Shape b) {
  return [=](double x, double y) { return a(x, y) && !b(x, y); };
}

void Canvas::Paint(const Shape& s, Rgb c, double opacity) {
  for (int y = 0; y < h_; ++y) {
    for (int x = 0; x < w_; ++x) {
      int hits = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx)
          hits += s((x + (sx + 0.5) / 4) / w_, (y + (sy + 0.5) / 4) / h_);
      if (hits < 2) continue;
      double a = opacity * hits / 16.0;
      uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
      double da = p[3] / 255.0;
      double oa = a + da * (1 - a);
      auto mix = [&](uint8_t src, uint8_t dst) {
        return static_cast<uint8_t>(std::lround((src * a + dst * da * (1 - a)) / oa));
      };
      p[0] = mix(c.r, p[0]);
      p[1] = mix(c.g, p[1]);
      p[2] = mix(c.b, p[2]);
      p[3] = static_cast<uint8_t>(std::lround(oa * 255));
    }
  }
}

void Canvas::Fill(Rgb c, uint8_t alpha) {
  for (size_t i = 0; i < px_.size(); i += 4) {
    px_[i] = c.r;
    px_[i + 1] = c.g;
    px_[i + 2] = c.b;
    px_[i + 3] = alpha;
  }
}

void Canvas::Gradient(Rgb l, Rgb r) {
  for (int y = 0; y < h_; ++y)
    for (int x = 0; x < w_; ++x) {
      double t = w_ > 1 ? double(x) / (w_ - 1) : 0;
      uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
      p[0] = static_cast<uint8_t>(std::lround(l.r + (r.r - l.r) * t));
      p[1] = static_cast<uint8_t>(std::lround(l.g + (r.g - l.g) * t));
      p[2] = static_cast<uint8_t>(std::lround(l.b + (r.b - l.b) * t));
      p[3] = 255;
    }
}

std::vector<uint8_t> Canvas::Flatten(Rgb bg) const {
  std::vector<uint8_t> out(size_t(w_) * h_ * 3);
  for (size_t i = 0, o = 0; i < px_.size(); i += 4, o += 3) {
    double a = px_[i + 3] / 255.0;
    out[o] = static_cast<uint8_t>(std::lround(px_[i] * a + bg.r * (1 - a)));
    out[o + 1] = static_cast<uint8_t>(std::lround(px_[i + 1] * a + bg.g * (1 - a)));
    out[o + 2] = static_cast<uint8_t>(std::lround(px_[i + 2] * a + bg.b * (1 - a)));
  }
  return out;
}

}  // namespace mkimages
