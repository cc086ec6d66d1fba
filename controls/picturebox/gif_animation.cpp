#include "controls/picturebox/gif_animation.h"

#include <algorithm>
#include <cstring>

#include "controls/picturebox/picture_layout.h"
#include "images/layout.h"

namespace ts::controls {

uint32_t CanvasWord(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// --- compositor -------------------------------------------------------------

GifCompositor::GifCompositor(uint32_t width, uint32_t height, COLORREF background)
    : width_(width), height_(height), background_(CanvasWord(background)),
      pixels_(size_t{width} * height, CanvasWord(background)) {}

GifCompositor::Area GifCompositor::Clip(const images::GifFrame& f) const {
  Area a;
  if (f.left >= width_ || f.top >= height_) return a;
  a.left = f.left;
  a.top = f.top;
  a.width = std::min(f.width, width_ - f.left);
  a.height = std::min(f.height, height_ - f.top);
  return a;
}

void GifCompositor::RestorePrevious() {
  const Area a = pendingArea_;
  for (uint32_t y = 0; y < a.height; ++y) {
    uint32_t* row = &pixels_[size_t{a.top + y} * width_ + a.left];
    if (pendingDisposal_ == 2) {
      std::fill(row, row + a.width, background_);
    } else if (pendingDisposal_ == 3 && saved_.size() == size_t{a.width} * a.height) {
      std::copy_n(&saved_[size_t{y} * a.width], a.width, row);
    }
  }
  pendingDisposal_ = 0;
}

void GifCompositor::Save(const Area& a) {
  saved_.resize(size_t{a.width} * a.height);
  for (uint32_t y = 0; y < a.height; ++y) {
    std::copy_n(&pixels_[size_t{a.top + y} * width_ + a.left], a.width, &saved_[size_t{y} * a.width]);
  }
}

void GifCompositor::Apply(const images::GifFrame& f) {
  RestorePrevious();
  const Area a = Clip(f);
  const size_t rows = size_t{images::Stride8(f.width)} * f.height;
  if (f.dib.size() < images::kDibPixelOffset + rows) return;  // not a whole frame
  if (f.disposal == 2 || f.disposal == 3) {
    if (f.disposal == 3) Save(a);
    pendingDisposal_ = f.disposal;
    pendingArea_ = a;
  }
  uint32_t palette[256];
  std::memcpy(palette, f.dib.data() + images::kDibHeaderSize, sizeof palette);
  for (uint32_t y = 0; y < a.height; ++y) {
    uint32_t* row = &pixels_[size_t{a.top + y} * width_ + a.left];
    for (uint32_t x = 0; x < a.width; ++x) {
      const uint8_t index = f.IndexAt(x, y);
      if (f.transparent && index == f.transparentIndex) continue;
      row[x] = palette[index] & 0x00FFFFFF;
    }
  }
}

// --- the animation thread ---------------------------------------------------

std::unique_ptr<GifAnimation> GifAnimation::Load(const uint8_t* data, size_t size, COLORREF background) {
  images::GifReader reader;
  if (!reader.Open(data, size) || reader.CountFrames() < 2) return nullptr;
  if (reader.ScreenWidth() == 0 || reader.ScreenHeight() == 0) return nullptr;
  std::unique_ptr<GifAnimation> animation(new GifAnimation(std::move(reader), background));
  if (animation->stopEvent_ == nullptr) return nullptr;
  return animation;
}

GifAnimation::GifAnimation(images::GifReader reader, COLORREF background)
    : reader_(std::move(reader)),
      compositor_(reader_.ScreenWidth(), reader_.ScreenHeight(), background),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

GifAnimation::~GifAnimation() {
  Stop();
  if (stopEvent_ != nullptr) CloseHandle(stopEvent_);
}

void GifAnimation::Start(HWND window, int32_t displayMode) {
  if (state_ != State::kStopped || thread_.joinable()) return;
  window_ = window;
  displayMode_ = displayMode;
  ResetEvent(stopEvent_);
  state_ = State::kRunning;
  thread_ = std::thread([this] { Run(); });
}

void GifAnimation::Stop() {
  if (!thread_.joinable()) return;
  if (state_ == State::kRunning) state_ = State::kStopRequested;
  SetEvent(stopEvent_);
  thread_.join();
  state_ = State::kStopped;
}

void GifAnimation::Present(HDC dc, const RECT& target) {
  CanvasLock lock(canvasLock_);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(compositor_.width());
  info.bmiHeader.biHeight = -static_cast<LONG>(compositor_.height());
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int w = target.right - target.left, h = target.bottom - target.top;
  const bool scaled = w != info.bmiHeader.biWidth || h != -info.bmiHeader.biHeight;
  const int oldMode = SetStretchBltMode(dc, scaled ? HALFTONE : COLORONCOLOR);
  StretchDIBits(dc, target.left, target.top, w, h, 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight,
                compositor_.pixels().data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

void GifAnimation::ShowCanvas() {
  RECT client;
  if (!GetClientRect(window_, &client)) return;
  const RECT target = PlacePicture(displayMode_, client, size());
  HDC dc = GetDC(window_);
  if (dc == nullptr) return;
  Present(dc, target);
  ReleaseDC(window_, dc);
}

void GifAnimation::Run() {
  images::GifFrame frame;
  while (state_ == State::kRunning) {
    uint32_t delay = FrameDelayMs(0);
    if (reader_.NextFrame(frame)) {
      {
        CanvasLock lock(canvasLock_);
        compositor_.Apply(frame);
      }
      delay = FrameDelayMs(frame.delay);
      ShowCanvas();
      ++framesShown_;
    }
    // The stop request ends the wait at once.
    if (WaitForSingleObject(stopEvent_, delay) != WAIT_TIMEOUT) break;
  }
}

}  // namespace ts::controls
