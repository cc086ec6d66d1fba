// What the control tests share: a visible host window that hands child
// notifications back to the child's unit as the form engine does, message
// pumping with a bound, a render of a control into memory, and small
// writers of BMP, PNG and GIF pictures.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "forms/engine/unit.h"

namespace ctltest {

using Bytes = std::vector<uint8_t>;

// A top-level window at (100, 100), 400×300, shown, with events of units
// suppressed for the whole test program (there is no form registry here).
class HostWindow {
 public:
  HostWindow();
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;
  HWND hwnd() const { return hwnd_; }
  // Creation arguments for a control on this window.
  ts::forms::CreateArgs Args(const Bytes& record, int left, int top, int width, int height) const;

 private:
  HWND hwnd_ = nullptr;
};

// Dispatches waiting messages.
void Pump();
// Pumps until pred() holds or `ms` passed; returns pred().
bool PumpUntil(const std::function<bool()>& pred, DWORD ms);

// The client area of a window drawn through WM_PRINTCLIENT into a 32-bit
// memory bitmap; pixels as 0x00RRGGBB, top-down.
class Render {
 public:
  explicit Render(HWND hwnd);
  uint32_t At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> pixels_;
};

// 0x00RRGGBB of a COLORREF, to compare with Render pixels.
inline uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A 24-bit BMP; colour(x, y) gives 0x00RRGGBB for each pixel (top-down).
Bytes MakeBmp(int width, int height, const std::function<uint32_t(int, int)>& colour);
// A PNG from blue-green-red-alpha top-down pixels.
Bytes MakePng(int width, int height, const std::vector<uint8_t>& bgra);

// A GIF of frames over a 256-entry global table (entries not given are black).
struct GifFrameSpec {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<uint8_t> pixels;  // palette indexes, top-down
  int disposal = 0;
  bool transparent = false;
  uint8_t transparentIndex = 0;
  uint16_t delay = 0;  // hundredths of a second
};
Bytes MakeGif(int width, int height, const std::vector<uint32_t>& palette, const std::vector<GifFrameSpec>& frames);
// A frame filling a w×h area with one index.
GifFrameSpec SolidFrame(int left, int top, int w, int h, uint8_t index, uint16_t delay = 0, int disposal = 0);

}  // namespace ctltest
