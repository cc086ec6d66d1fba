// Owning wrappers for the GDI objects the picture code makes, so that no
// error path leaks one.
#pragma once

#include <windows.h>

namespace images {

// Owns an HBITMAP; `release()` hands it over to the caller.
class OwnedBitmap {
 public:
  OwnedBitmap() = default;
  explicit OwnedBitmap(HBITMAP h) : h_(h) {}
  OwnedBitmap(OwnedBitmap&& o) noexcept : h_(o.release()) {}
  OwnedBitmap& operator=(OwnedBitmap&& o) noexcept {
    if (this != &o) reset(o.release());
    return *this;
  }
  OwnedBitmap(const OwnedBitmap&) = delete;
  OwnedBitmap& operator=(const OwnedBitmap&) = delete;
  ~OwnedBitmap() { reset(); }

  HBITMAP get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  HBITMAP release() {
    HBITMAP h = h_;
    h_ = nullptr;
    return h;
  }
  void reset(HBITMAP h = nullptr) {
    if (h_) DeleteObject(h_);
    h_ = h;
  }

 private:
  HBITMAP h_ = nullptr;
};

// A memory device context compatible with another, deleted on scope exit.
class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HDC dc_;
};

// Selects an object into a DC for the scope and puts the old one back.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;
  ~SelectGuard() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The screen DC when the caller has none, released on scope exit.
class ScreenDC {
 public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  ~ScreenDC() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace images
