#include "controls/picturebox/gif_animation.h"

#include <system_error>

#include "controls/picturebox/picture_layout.h"

namespace ts::controls {

std::unique_ptr<GifAnimation> GifAnimation::Load(const uint8_t* data, size_t size, COLORREF background) {
  std::unique_ptr<ts::images::GifMovie> movie = ts::images::OpenGifMovie(data, size, background);
  if (!movie) return nullptr;
  std::unique_ptr<GifAnimation> animation(new (std::nothrow) GifAnimation(std::move(movie)));
  if (!animation || !animation->stopEvent_) return nullptr;
  return animation;
}

GifAnimation::GifAnimation(std::unique_ptr<ts::images::GifMovie> movie)
    : movie_(std::move(movie)), stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

GifAnimation::~GifAnimation() { Stop(); }

void GifAnimation::Start(HWND window, int32_t displayMode) {
  if (state_ != State::kStopped || thread_.joinable()) return;
  window_ = window;
  displayMode_ = displayMode;
  ResetEvent(stopEvent_.get());
  state_ = State::kRunning;
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    state_ = State::kStopped;  // the canvas stays as it is; a later paint tries again
  }
}

void GifAnimation::Stop() {
  if (!thread_.joinable()) return;
  if (state_ == State::kRunning) state_ = State::kStopRequested;
  SetEvent(stopEvent_.get());
  thread_.join();
  state_ = State::kStopped;
}

void GifAnimation::Present(HDC dc, const RECT& target) {
  CanvasLock lock(canvasLock_);
  const GifCompositor& canvas = movie_->canvas;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(canvas.width());
  info.bmiHeader.biHeight = -static_cast<LONG>(canvas.height());
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  const int w = target.right - target.left, h = target.bottom - target.top;
  const bool scaled = w != info.bmiHeader.biWidth || h != -info.bmiHeader.biHeight;
  const int oldMode = SetStretchBltMode(dc, scaled ? HALFTONE : COLORONCOLOR);
  StretchDIBits(dc, target.left, target.top, w, h, 0, 0, info.bmiHeader.biWidth, -info.bmiHeader.biHeight,
                canvas.pixels().data(), &info, DIB_RGB_COLORS, SRCCOPY);
  SetStretchBltMode(dc, oldMode);
}

void GifAnimation::ShowCanvas() {
  RECT client;
  if (!GetClientRect(window_, &client)) return;
  const RECT target = PlacePicture(displayMode_, client, size());
  win::ClientDC dc(window_);
  if (dc.get() != nullptr) Present(dc.get(), target);
}

void GifAnimation::Run() {
  // Neither the walker nor the compositor throws, and a frame that cannot
  // be had (malformed, or no memory for it) is simply not shown: nothing
  // leaves this thread.
  ts::images::GifFrame frame;
  while (state_ == State::kRunning) {
    uint32_t delay = FrameDelayMs(0);
    if (movie_->frames.NextFrame(frame)) {
      {
        CanvasLock lock(canvasLock_);
        movie_->canvas.Apply(frame);
      }
      delay = FrameDelayMs(frame.delay);
      ShowCanvas();
      ++framesShown_;
    }
    // The stop request ends the wait at once.
    if (WaitForSingleObject(stopEvent_.get(), delay) != WAIT_TIMEOUT) break;
  }
}

}  // namespace ts::controls
