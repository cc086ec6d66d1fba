// Playing an animated GIF: a compositor that lays frames onto a canvas of
// the logical screen size with their disposal methods, and the animation
// thread that walks the frames, keeps the canvas and shows it in a window.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "images/gif.h"

namespace ts::controls {

// A canvas word: blue in the low byte, then green, red, 0 (a 32-bit DIB pixel).
uint32_t CanvasWord(COLORREF colour);

class GifCompositor {
 public:
  GifCompositor(uint32_t width, uint32_t height, COLORREF background);

  // Restores the area of the previous frame as its disposal asks (2: the
  // background colour, 3: the pixels saved before it was drawn), saves the
  // area of this frame when its disposal is 3, then draws it; pixels of the
  // transparent index leave the canvas as it is.
  void Apply(const images::GifFrame& frame);

  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  const std::vector<uint32_t>& pixels() const { return pixels_; }
  uint32_t At(uint32_t x, uint32_t y) const { return pixels_[size_t{y} * width_ + x]; }

 private:
  struct Area {
    uint32_t left = 0, top = 0, width = 0, height = 0;
  };
  Area Clip(const images::GifFrame& frame) const;
  void RestorePrevious();
  void Save(const Area& area);

  uint32_t width_, height_;
  uint32_t background_;
  std::vector<uint32_t> pixels_;
  int pendingDisposal_ = 0;
  Area pendingArea_;
  std::vector<uint32_t> saved_;
};

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

  // An animation for picture data that is a GIF with more than one frame;
  // null for anything else (a still GIF is an ordinary picture).
  static std::unique_ptr<GifAnimation> Load(const uint8_t* data, size_t size, COLORREF background);
  ~GifAnimation();
  GifAnimation(const GifAnimation&) = delete;
  GifAnimation& operator=(const GifAnimation&) = delete;

  // Starts the thread that shows the frames in `window`, placed by the
  // display mode. Does nothing while a thread runs.
  void Start(HWND window, int32_t displayMode);
  // Asks the thread to stop and waits until it has.
  void Stop();
  void setDisplayMode(int32_t mode) { displayMode_ = mode; }

  // Copies the canvas into dc, scaled into `target`.
  void Present(HDC dc, const RECT& target);

  SIZE size() const { return SIZE{static_cast<LONG>(compositor_.width()), static_cast<LONG>(compositor_.height())}; }
  State state() const { return state_; }
  // Frames composed and shown since the start.
  uint32_t framesShown() const { return framesShown_; }

 private:
  GifAnimation(images::GifReader reader, COLORREF background);
  void Run();
  void ShowCanvas();

  images::GifReader reader_;
  GifCompositor compositor_;  // the canvas; guarded by canvasLock_
  CriticalSection canvasLock_;
  HANDLE stopEvent_ = nullptr;
  std::thread thread_;
  HWND window_ = nullptr;
  std::atomic<int32_t> displayMode_{0};
  std::atomic<State> state_{State::kStopped};
  std::atomic<uint32_t> framesShown_{0};
};

}  // namespace ts::controls
