// Playing an animated GIF in a window: the animation thread walks the
// frames, keeps the canvas (images/gif_canvas.h) and shows it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>

#include "images/gif_canvas.h"
#include "win/handles.h"

namespace ts::controls {

// The compositor the picture box plays with.
using ts::images::GifCompositor;

// A critical section that lives as long as its owner.
class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&cs_); }
  ~CriticalSection() { DeleteCriticalSection(&cs_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;
  void Enter() { EnterCriticalSection(&cs_); }
  void Leave() { LeaveCriticalSection(&cs_); }

 private:
  CRITICAL_SECTION cs_;
};

class CanvasLock {
 public:
  explicit CanvasLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~CanvasLock() { cs_.Leave(); }
  CanvasLock(const CanvasLock&) = delete;
  CanvasLock& operator=(const CanvasLock&) = delete;

 private:
  CriticalSection& cs_;
};

class GifAnimation {
 public:
  enum class State { kStopped, kRunning, kStopRequested };

  // An animation for picture data that OpenGifMovie takes; null for
  // anything else (a still GIF is an ordinary picture). Never throws.
  static std::unique_ptr<GifAnimation> Load(const uint8_t* data, size_t size, COLORREF background);
  ~GifAnimation();
  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;

  // Starts the thread that shows the frames in `window`, placed by the
  // display mode. Does nothing while a thread runs; a thread that cannot be
  // made leaves the animation stopped.
  void Start(HWND window, int32_t displayMode);
  // Asks the thread to stop and waits until it has.
  void Stop();
  void setDisplayMode(int32_t mode) { displayMode_ = mode; }

  // Copies the canvas into dc, scaled into `target`.
  void Present(HDC dc, const RECT& target);

  SIZE size() const {
    return SIZE{static_cast<LONG>(movie_->canvas.width()), static_cast<LONG>(movie_->canvas.height())};
  }
  State state() const { return state_; }
  // Frames composed and shown since the start.
  uint32_t framesShown() const { return framesShown_; }

 private:
  explicit GifAnimation(std::unique_ptr<ts::images::GifMovie> movie);
  void Run();
  void ShowCanvas();

  std::unique_ptr<ts::images::GifMovie> movie_;  // its canvas is guarded by canvasLock_
  CriticalSection canvasLock_;
  win::OwnedKernelHandle stopEvent_;
  std::thread thread_;
  HWND window_ = nullptr;
  std::atomic<int32_t> displayMode_{0};
  std::atomic<State> state_{State::kStopped};
  std::atomic<uint32_t> framesShown_{0};
};

}  // namespace ts::controls
