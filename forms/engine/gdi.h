// Owning wrappers for GDI and USER handles, so that no error path leaks one.
#pragma once

#include <windows.h>

#include <utility>

namespace ts::forms {

template <class H, BOOL(WINAPI* Release)(H)>
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

inline BOOL WINAPI DeleteGdiObject(HGDIOBJ h) { return ::DeleteObject(h); }
inline BOOL WINAPI DeleteRegion(HRGN h) { return ::DeleteObject(h); }
inline BOOL WINAPI DeleteBrush(HBRUSH h) { return ::DeleteObject(h); }
inline BOOL WINAPI DeleteFontHandle(HFONT h) { return ::DeleteObject(h); }

using OwnedIcon = OwnedHandle<HICON, ::DestroyIcon>;
using OwnedCursor = OwnedHandle<HCURSOR, ::DestroyCursor>;
using OwnedBrush = OwnedHandle<HBRUSH, DeleteBrush>;
using OwnedRegion = OwnedHandle<HRGN, DeleteRegion>;
using OwnedFont = OwnedHandle<HFONT, DeleteFontHandle>;
using OwnedAccel = OwnedHandle<HACCEL, ::DestroyAcceleratorTable>;
using OwnedMenu = OwnedHandle<HMENU, ::DestroyMenu>;

}  // namespace ts::forms
