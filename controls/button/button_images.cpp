#include "controls/button/button_images.h"

#include "images/picture_gdi.h"

namespace ts::controls {

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
// Destination AND NOT source: clears the colour pixels the mask marks.
constexpr DWORD kRopAndNotSource = 0x00220326;

// A 24-bit copy of a bitmap. Key colours are compared on whole pixels, and
// a 32-bit picture may carry an alpha byte that differs between pixels of
// the same colour (blended ones keep theirs); 24 bits leave only colour.
win::OwnedBitmap Opaque24(HBITMAP source, int width, int height, HDC screen) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  win::OwnedBitmap copy(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::OwnedDC from(CreateCompatibleDC(screen)), to(CreateCompatibleDC(screen));
  if (!copy || !from || !to) return win::OwnedBitmap();
  win::SelectGuard useFrom(from.get(), source);
  win::SelectGuard useTo(to.get(), copy.get());
  BitBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, SRCCOPY);
  return copy;
}

}  // namespace

void ImageSlot::Clear() {
  image_.reset();
  mask_.reset();
  size_ = SIZE{0, 0};
}

void ImageSlot::Build(const uint8_t* data, size_t size, uint32_t key) {
  Clear();
  if (data == nullptr || size == 0) return;
  win::OwnedBitmap picture = ts::images::PictureDataToBitmap(data, size, kWhite);
  if (!picture) return;
  BITMAP bm{};
  if (!GetObject(picture.get(), sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;

  win::ClientDC screen;
  win::OwnedBitmap colour = Opaque24(picture.get(), bm.bmWidth, bm.bmHeight, screen.get());
  if (!colour) return;
  win::OwnedDC colourDc(CreateCompatibleDC(screen.get()));
  win::OwnedDC maskDc(CreateCompatibleDC(screen.get()));
  if (!colourDc || !maskDc) return;
  win::OwnedBitmap mask(CreateBitmap(bm.bmWidth, bm.bmHeight, 1, 1, nullptr));
  if (!mask) return;
  {
    win::SelectGuard useColour(colourDc.get(), colour.get());
    win::SelectGuard useMask(maskDc.get(), mask.get());
    const COLORREF keyColour = key == kKeyFromCorner ? GetPixel(colourDc.get(), 0, 0) : key;
    // Colour to monochrome: pixels equal to the background colour become 1.
    SetBkColor(colourDc.get(), keyColour);
    BitBlt(maskDc.get(), 0, 0, bm.bmWidth, bm.bmHeight, colourDc.get(), 0, 0, SRCCOPY);
    // Monochrome to colour: 1 becomes the background colour, so set both
    // ends explicitly before blackening the key pixels.
    SetBkColor(colourDc.get(), RGB(255, 255, 255));
    SetTextColor(colourDc.get(), RGB(0, 0, 0));
    BitBlt(colourDc.get(), 0, 0, bm.bmWidth, bm.bmHeight, maskDc.get(), 0, 0, kRopAndNotSource);
  }
  image_ = std::move(colour);
  mask_ = std::move(mask);
  size_ = SIZE{bm.bmWidth, bm.bmHeight};
}

void ImageSlot::Draw(HDC dc, int x, int y) const {
  if (empty()) return;
  win::OwnedDC src(CreateCompatibleDC(dc));
  if (!src) return;
  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  {
    win::SelectGuard useMask(src.get(), mask_.get());
    BitBlt(dc, x, y, size_.cx, size_.cy, src.get(), 0, 0, SRCAND);
  }
  {
    win::SelectGuard useImage(src.get(), image_.get());
    BitBlt(dc, x, y, size_.cx, size_.cy, src.get(), 0, 0, SRCPAINT);
  }
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}

void ImageSlot::DrawDisabled(HDC dc, int x, int y) const {
  if (empty()) return;
  win::OwnedDC work(CreateCompatibleDC(dc));
  win::OwnedBitmap composed(CreateCompatibleBitmap(dc, size_.cx, size_.cy));
  if (!work || !composed) return;
  {
    win::SelectGuard use(work.get(), composed.get());
    RECT all{0, 0, size_.cx, size_.cy};
    FillRect(work.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    Draw(work.get(), 0, 0);
  }
  DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(composed.get()), 0, x, y, size_.cx, size_.cy,
             DST_BITMAP | DSS_DISABLED);
}

}  // namespace ts::controls
