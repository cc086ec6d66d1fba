#include "controls/treebox/state_images.h"

namespace ts::controls {

namespace {

constexpr int kSize = 13;

// Draws one check box at x: a dark frame around a filled face, with an
// optional tick.
void DrawBox(HDC dc, int x, COLORREF face, bool tick, COLORREF tickColour) {
  RECT outer{x, 0, x + kSize, kSize};
  HBRUSH frame = ::CreateSolidBrush(RGB(128, 128, 128));
  ::FillRect(dc, &outer, frame);
  ::DeleteObject(frame);
  RECT inner{x + 1, 1, x + kSize - 1, kSize - 1};
  HBRUSH fill = ::CreateSolidBrush(face);
  ::FillRect(dc, &inner, fill);
  ::DeleteObject(fill);
  if (!tick) return;
  // A three-pixel-thick tick from (3,6) down to (5,8) and up to (9,4).
  for (int t = 0; t < 3; ++t) {
    for (int i = 0; i <= 2; ++i) ::SetPixel(dc, x + 3 + i, 5 + i + t, tickColour);
    for (int i = 0; i <= 4; ++i) ::SetPixel(dc, x + 5 + i, 7 - i + t, tickColour);
  }
}

// Copies image i of one list into another through a bitmap.
bool CopyImage(HIMAGELIST from, int i, HIMAGELIST to, int cx, int cy) {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, cx, cy);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, bmp);
  RECT all{0, 0, cx, cy};
  ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
  ::ImageList_Draw(from, i, dc, 0, 0, ILD_NORMAL);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  bool ok = ::ImageList_Add(to, bmp, nullptr) >= 0;
  ::DeleteObject(bmp);
  return ok;
}

}  // namespace

HIMAGELIST BuiltInCheckStrip() {
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  HBITMAP strip = ::CreateCompatibleBitmap(screen, 3 * kSize, kSize);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(dc, strip);
  DrawBox(dc, 0, RGB(255, 255, 255), false, 0);
  DrawBox(dc, kSize, RGB(255, 255, 255), true, RGB(0, 0, 0));
  DrawBox(dc, 2 * kSize, RGB(192, 192, 192), true, RGB(128, 128, 128));
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  HIMAGELIST list = ::ImageList_Create(kSize, kSize, ILC_COLOR4, 3, 0);
  if (list != nullptr && ::ImageList_Add(list, strip, nullptr) < 0) {
    ::ImageList_Destroy(list);
    list = nullptr;
  }
  ::DeleteObject(strip);
  return list;
}

OwnedImageList BuildCheckImages(const Bytes& source, int32_t count) {
  OwnedImageList from(DecodeImageList(source));
  if (!from || ::ImageList_GetImageCount(from.get()) <= 0) from.reset(BuiltInCheckStrip());
  if (!from) return OwnedImageList();
  int n = ::ImageList_GetImageCount(from.get());
  if (count <= 0 || count > n) count = n;
  int cx = kSize, cy = kSize;
  ::ImageList_GetIconSize(from.get(), &cx, &cy);
  OwnedImageList list(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, count + 1, 0));
  if (!list) return list;
  bool ok = CopyImage(from.get(), 0, list.get(), cx, cy);
  for (int i = 0; ok && i < count; ++i) ok = CopyImage(from.get(), i, list.get(), cx, cy);
  if (!ok) list.reset();
  return list;
}

}  // namespace ts::controls
