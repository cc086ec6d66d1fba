// Ownership of Win32 handles in the type: one owning template for every
// handle that a single function releases, and scope guards for the device
// contexts that come in pairs of calls (GetDC/ReleaseDC, BeginPaint/EndPaint)
// and for objects selected into a DC. No error path leaks a handle.
//
// This folder depends on nothing of ours, so that the picture code, the form
// engine and the controls can all stand on it.
#pragma once

#include <windows.h>
// The image-list stream functions of commctrl.h are declared only when
// IStream is; whoever includes it first decides for the whole unit.
#include <objidl.h>
#include <commctrl.h>

#include <utility>

namespace ts::win {

// Owns a handle of type H and hands it to Release when dropped or replaced.
// Null is "no handle"; `release()` gives the handle up without releasing it.
template <class H, auto Release>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(H h) : h_(h) {}
  ~OwnedHandle() { reset(); }
  OwnedHandle(OwnedHandle&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, nullptr));
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  H release() { return std::exchange(h_, nullptr); }
  void reset(H h = nullptr) {
    if (h_ != nullptr && h_ != h) Release(h_);
    h_ = h;
  }

 private:
  H h_ = nullptr;
};

using OwnedFont = OwnedHandle<HFONT, ::DeleteObject>;
using OwnedPen = OwnedHandle<HPEN, ::DeleteObject>;
using OwnedBrush = OwnedHandle<HBRUSH, ::DeleteObject>;
using OwnedBitmap = OwnedHandle<HBITMAP, ::DeleteObject>;
using OwnedRegion = OwnedHandle<HRGN, ::DeleteObject>;
// A DC of CreateCompatibleDC or CreateDCA (not one of GetDC: see ClientDC).
using OwnedDC = OwnedHandle<HDC, ::DeleteDC>;
using OwnedImageList = OwnedHandle<HIMAGELIST, ::ImageList_Destroy>;
using OwnedIcon = OwnedHandle<HICON, ::DestroyIcon>;
using OwnedCursor = OwnedHandle<HCURSOR, ::DestroyCursor>;
using OwnedMenu = OwnedHandle<HMENU, ::DestroyMenu>;
using OwnedAccel = OwnedHandle<HACCEL, ::DestroyAcceleratorTable>;
// Kernel objects whose failure value is null (events, threads, processes);
// not files, which fail with INVALID_HANDLE_VALUE.
using OwnedKernelHandle = OwnedHandle<HANDLE, ::CloseHandle>;

// The DC of a window's client area for the scope (GetDC/ReleaseDC); the
// screen's when the window is null. get() is null when there is none.
class ClientDC {
 public:
  explicit ClientDC(HWND window = nullptr) : window_(window), dc_(::GetDC(window)) {}
  ~ClientDC() {
    if (dc_ != nullptr) ::ReleaseDC(window_, dc_);
  }
  ClientDC(const ClientDC&) = delete;
  ClientDC& operator=(const ClientDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// A WM_PAINT for the scope (BeginPaint/EndPaint). get() is null when the
// platform gave no DC; EndPaint follows BeginPaint either way.
class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~PaintDC() { ::EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;
  HDC get() const { return dc_; }
  // The part of the client area to paint.
  const RECT& area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// Selects a GDI object (not a region) into a DC for the scope and puts the
// one it replaced back.
class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (old_ != nullptr && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace ts::win
