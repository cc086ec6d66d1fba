#include "controls/treebox/state_images.h"

namespace ts::controls {

namespace {

constexpr int kSize = 13;

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  win::OwnedBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &r, brush.get());
}

// Draws one check box at x: a dark frame around a filled face, with an
// optional tick.
void DrawBox(HDC dc, int x, COLORREF face, bool tick, COLORREF tickColour) {
  Fill(dc, RECT{x, 0, x + kSize, kSize}, RGB(128, 128, 128));
  Fill(dc, RECT{x + 1, 1, x + kSize - 1, kSize - 1}, face);
  if (!tick) return;
  // A three-pixel-thick tick from (3,6) down to (5,8) and up to (9,4).
  for (int t = 0; t < 3; ++t) {
    for (int i = 0; i <= 2; ++i) ::SetPixel(dc, x + 3 + i, 5 + i + t, tickColour);
    for (int i = 0; i <= 4; ++i) ::SetPixel(dc, x + 5 + i, 7 - i + t, tickColour);
  }
}

// A bitmap compatible with the screen, drawn by `draw` through a memory DC.
template <class Draw>
win::OwnedBitmap DrawnBitmap(int cx, int cy, Draw&& draw) {
  win::ClientDC screen;
  win::OwnedDC dc(::CreateCompatibleDC(screen.get()));
  win::OwnedBitmap bitmap(::CreateCompatibleBitmap(screen.get(), cx, cy));
  win::SelectGuard use(dc.get(), bitmap.get());
  draw(dc.get());
  return bitmap;
}

// Copies image i of one list into another through a bitmap.
bool CopyImage(HIMAGELIST from, int i, HIMAGELIST to, int cx, int cy) {
  win::OwnedBitmap bitmap = DrawnBitmap(cx, cy, [&](HDC dc) {
    RECT all{0, 0, cx, cy};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ImageList_Draw(from, i, dc, 0, 0, ILD_NORMAL);
  });
  return ::ImageList_Add(to, bitmap.get(), nullptr) >= 0;
}

}  // namespace

win::OwnedImageList BuiltInCheckStrip() {
  win::OwnedBitmap strip = DrawnBitmap(3 * kSize, kSize, [](HDC dc) {
    DrawBox(dc, 0, RGB(255, 255, 255), false, 0);
    DrawBox(dc, kSize, RGB(255, 255, 255), true, RGB(0, 0, 0));
    DrawBox(dc, 2 * kSize, RGB(192, 192, 192), true, RGB(128, 128, 128));
  });
  win::OwnedImageList list(::ImageList_Create(kSize, kSize, ILC_COLOR4, 3, 0));
  if (list && ::ImageList_Add(list.get(), strip.get(), nullptr) < 0) list.reset();
  return list;
}

win::OwnedImageList BuildCheckImages(const Bytes& source, int32_t count) {
  win::OwnedImageList from = DecodeImageList(source);
  if (!from || ::ImageList_GetImageCount(from.get()) <= 0) from = BuiltInCheckStrip();
  if (!from) return win::OwnedImageList();
  int n = ::ImageList_GetImageCount(from.get());
  if (count <= 0 || count > n) count = n;
  int cx = kSize, cy = kSize;
  ::ImageList_GetIconSize(from.get(), &cx, &cy);
  win::OwnedImageList list(::ImageList_Create(cx, cy, ILC_COLOR32 | ILC_MASK, count + 1, 0));
  if (!list) return list;
  bool ok = CopyImage(from.get(), 0, list.get(), cx, cy);
  for (int i = 0; ok && i < count; ++i) ok = CopyImage(from.get(), i, list.get(), cx, cy);
  if (!ok) list.reset();
  return list;
}

}  // namespace ts::controls
