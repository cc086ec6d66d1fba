// Icons from icon data, device bitmaps from picture records, and drawing.
#include "images/picture_gdi.h"

#include <cstring>
#include <new>
#include <vector>

#include "images/layout.h"

namespace ts::images {
namespace {

using ts::win::ClientDC;
using ts::win::OwnedDC;
using ts::win::SelectGuard;

constexpr DWORD kIconFormatVersion = 0x00030000;

void DestroyIconHandle(void* h) { DestroyIcon(static_cast<HICON>(h)); }

uint16_t HeaderBitCount(const std::vector<uint8_t>& data) {
  return data.size() >= 16 ? static_cast<uint16_t>(data[14] | (data[15] << 8)) : 0;
}

// The platform icon factory, with the older one as a fallback for data the
// newer rejects (except 16-bit images, which neither handles well).
HICON MakeIcon(const Picture& pic) {
  auto* data = const_cast<PBYTE>(pic.data.data());
  const DWORD size = static_cast<DWORD>(pic.data.size());
  HICON icon = CreateIconFromResourceEx(data, size, TRUE, kIconFormatVersion,
                                        static_cast<int>(pic.width), static_cast<int>(pic.height),
                                        LR_DEFAULTCOLOR);
  if (!icon && HeaderBitCount(pic.data) != 16) {
    icon = CreateIconFromResource(data, size, TRUE, kIconFormatVersion);
  }
  return icon;
}

BITMAPINFOHEADER InfoHeader(LONG width, LONG height, WORD bits) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = height;
  h.biPlanes = 1;
  h.biBitCount = bits;
  h.biCompression = BI_RGB;
  return h;
}

OwnedBitmap FromDib(HDC dc, const BITMAPINFO* info, const void* bits) {
  return OwnedBitmap(CreateDIBitmap(dc, &info->bmiHeader, CBM_INIT, bits, info, DIB_RGB_COLORS));
}

// Kinds 1 and 2: unpadded bottom-up triples, re-padded to 4 bytes.
OwnedBitmap TrueColour(const Picture& pic, HDC dc) {
  const size_t row = size_t{pic.width} * 3;
  const size_t stride = (row + 3) & ~size_t{3};
  if (pic.data.size() < row * pic.height) return OwnedBitmap();
  std::vector<uint8_t> bits(stride * pic.height, 0);
  for (uint32_t y = 0; y < pic.height; ++y) std::memcpy(&bits[stride * y], &pic.data[row * y], row);
  BITMAPINFO info{};
  info.bmiHeader = InfoHeader(static_cast<LONG>(pic.width), static_cast<LONG>(pic.height), 24);
  return FromDib(dc, &info, bits.data());
}

// Kinds 5 and 6 carry their own header and palette.
OwnedBitmap Indexed(const Picture& pic, HDC dc) {
  if (pic.data.size() < kDibPixelOffset + size_t{Stride8(pic.width)} * pic.height) return OwnedBitmap();
  const auto* info = reinterpret_cast<const BITMAPINFO*>(pic.data.data());
  return FromDib(dc, info, pic.data.data() + kDibPixelOffset);
}

OwnedBitmap Monochrome(const Picture& pic) {
  const size_t stride = ((pic.width + 15) / 16) * 2;
  if (pic.data.size() < stride * pic.height) return OwnedBitmap();
  return OwnedBitmap(CreateBitmap(static_cast<int>(pic.width), static_cast<int>(pic.height), 1, 1,
                                  pic.data.data()));
}

// Kind 8: pixels that are not opaque are blended onto the background.
OwnedBitmap Blended(const Picture& pic, HDC dc, COLORREF background) {
  const size_t count = size_t{pic.width} * pic.height;
  if (pic.data.size() < count * 4) return OwnedBitmap();
  std::vector<uint8_t> bits(pic.data.begin(), pic.data.begin() + static_cast<ptrdiff_t>(count * 4));
  const uint8_t bgB = GetBValue(background), bgG = GetGValue(background), bgR = GetRValue(background);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* p = &bits[i * 4];
    const uint8_t a = p[3];
    if (a == 255) continue;
    p[0] = BlendChannel(p[0], a, bgB);
    p[1] = BlendChannel(p[1], a, bgG);
    p[2] = BlendChannel(p[2], a, bgR);
  }
  BITMAPINFO info{};
  info.bmiHeader = InfoHeader(static_cast<LONG>(pic.width), -static_cast<LONG>(pic.height), 32);
  return FromDib(dc, &info, bits.data());
}

bool IconSize(HICON icon, int& width, int& height) {
  ICONINFO ii{};
  if (!GetIconInfo(icon, &ii)) return false;
  const OwnedBitmap colour(ii.hbmColor), mask(ii.hbmMask);  // GetIconInfo made them for us
  BITMAP bm{};
  bool ok;
  if (ii.hbmColor) {
    ok = GetObject(ii.hbmColor, sizeof bm, &bm) != 0;
    height = bm.bmHeight;
  } else {
    ok = GetObject(ii.hbmMask, sizeof bm, &bm) != 0;
    height = bm.bmHeight / 2;  // a monochrome icon's mask holds both halves
  }
  width = bm.bmWidth;
  return ok;
}

// Image, mask, image: pixels of the key colour keep the destination.
void DrawKeyed(HDC dc, HDC src, int x, int y, int w, int h, int bw, int bh, COLORREF key) {
  OwnedDC maskDC(CreateCompatibleDC(dc));
  OwnedBitmap mask(CreateBitmap(bw, bh, 1, 1, nullptr));
  if (!maskDC || !mask) return;
  SelectGuard useMask(maskDC.get(), mask.get());
  const COLORREF oldSrcBk = SetBkColor(src, key);
  BitBlt(maskDC.get(), 0, 0, bw, bh, src, 0, 0, SRCCOPY);  // key pixels become 1
  SetBkColor(src, oldSrcBk);

  const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  StretchBlt(dc, x, y, w, h, src, 0, 0, bw, bh, SRCINVERT);
  StretchBlt(dc, x, y, w, h, maskDC.get(), 0, 0, bw, bh, SRCAND);
  StretchBlt(dc, x, y, w, h, src, 0, 0, bw, bh, SRCINVERT);
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

bool DrawBitmap(HBITMAP bitmap, HDC dc, int x, int y, int w, int h, long rop) {
  BITMAP bm{};
  if (!GetObject(bitmap, sizeof bm, &bm)) return false;
  if (w == -1) w = bm.bmWidth;
  if (h == -1) h = bm.bmHeight;
  OwnedDC src(CreateCompatibleDC(dc));
  if (!src) return false;
  SelectGuard use(src.get(), bitmap);
  const int oldMode = SetStretchBltMode(dc, GetDeviceCaps(dc, BITSPIXEL) > 16 ? HALFTONE : COLORONCOLOR);
  POINT oldOrigin{};
  SetBrushOrgEx(dc, 0, 0, &oldOrigin);  // required after choosing halftone
  if (rop < 0) {
    DrawKeyed(dc, src.get(), x, y, w, h, bm.bmWidth, bm.bmHeight, static_cast<COLORREF>(-rop));
  } else {
    StretchBlt(dc, x, y, w, h, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, static_cast<DWORD>(rop));
  }
  SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
  SetStretchBltMode(dc, oldMode);
  return true;
}

}  // namespace

std::optional<Picture> Decode(const uint8_t* bytes, size_t length) {
  std::optional<Picture> pic = DecodeData(bytes, length);
  if (!pic || (pic->kind != kIcon && pic->kind != kCursor)) return pic;
  HICON icon = MakeIcon(*pic);
  if (!icon) return std::nullopt;
  pic->icon = IconHandle(icon, DestroyIconHandle);
  return pic;
}

std::optional<Picture> DecodeFile(const char* path) {
  std::vector<uint8_t> bytes;
  try {
    if (!ReadWholeFile(path, bytes)) return std::nullopt;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
  return Decode(bytes.data(), bytes.size());
}

DeviceImage ToBitmap(const Picture& pic, HDC dc, COLORREF background) {
  DeviceImage out;
  ClientDC screen;
  if (!dc) dc = screen.get();
  try {
    switch (pic.kind) {
      case kJpeg:
      case kBmp: out.bitmap = TrueColour(pic, dc); break;
      case kGif:
      case kPcx8: out.bitmap = Indexed(pic, dc); break;
      case kPcx1: out.bitmap = Monochrome(pic); break;
      case kPng: out.bitmap = Blended(pic, dc, background); break;
      case kIcon:
      case kCursor: out.icon = static_cast<HICON>(pic.icon.get()); break;
      default: break;
    }
  } catch (const std::bad_alloc&) {
    out.bitmap.reset();
  }
  return out;
}

bool Draw(HANDLE image, HDC dc, int x, int y, int width, int height, long rop) {
  if (!image || !dc) return false;
  if (GetObjectType(image) == OBJ_BITMAP) {
    return DrawBitmap(static_cast<HBITMAP>(image), dc, x, y, width, height, rop);
  }
  HICON icon = static_cast<HICON>(image);
  int iw = 0, ih = 0;
  if (!IconSize(icon, iw, ih)) return false;
  return DrawIconEx(dc, x, y, icon, width == -1 ? iw : width, height == -1 ? ih : height, 0, nullptr,
                    DI_NORMAL) != FALSE;
}

OwnedBitmap PictureDataToBitmap(const uint8_t* bytes, size_t length, COLORREF background) {
  std::optional<Picture> pic = Decode(bytes, length);
  if (!pic) return OwnedBitmap();
  ClientDC screen;
  DeviceImage image = ToBitmap(*pic, screen.get(), background);
  if (image.bitmap || !image.icon) return std::move(image.bitmap);

  // Icons and cursors: drawn with their masks onto white, at their own size.
  const int w = static_cast<int>(pic->width), h = static_cast<int>(pic->height);
  OwnedBitmap canvas(CreateCompatibleBitmap(screen.get(), w, h));
  OwnedDC mem(CreateCompatibleDC(screen.get()));
  if (!canvas || !mem) return OwnedBitmap();
  {
    SelectGuard use(mem.get(), canvas.get());
    RECT all{0, 0, w, h};
    FillRect(mem.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawIconEx(mem.get(), 0, 0, image.icon, w, h, 0, nullptr, DI_NORMAL);
  }
  return canvas;
}

}  // namespace ts::images
