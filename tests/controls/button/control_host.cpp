#include "control_host.h"

#include <png.h>

#include <algorithm>
#include <cstring>

#include "runtime/forms_link.h"

namespace ctltest {

namespace {

const char kHostClass[] = "TsControlTestHost";

// Notifications from a unit's native child go back to that child as the
// engine's reflected message; unanswered ones get default handling.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
  HWND child = nullptr;
  if (message == WM_COMMAND) child = reinterpret_cast<HWND>(l);
  if (message == WM_DRAWITEM && l != 0) child = reinterpret_cast<const DRAWITEMSTRUCT*>(l)->hwndItem;
  if (child != nullptr && ts::forms::UnitObject::FromHandle(child) != nullptr) {
    if (LRESULT answer = SendMessageA(child, ts::forms::msg::Reflect + message, w, l)) return answer;
  }
  return DefWindowProcA(hwnd, message, w, l);
}

void Put16(Bytes& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

// LZW data for 8-bit indexes without compression: literal codes only, with
// a clear code often enough that the code size stays at 9 bits.
Bytes GifLzwLiterals(const std::vector<uint8_t>& indexes) {
  Bytes packed;
  uint32_t bits = 0, count = 0;
  auto emit = [&](uint32_t code) {
    bits |= code << count;
    count += 9;
    while (count >= 8) {
      packed.push_back(static_cast<uint8_t>(bits));
      bits >>= 8;
      count -= 8;
    }
  };
  emit(256);
  for (size_t i = 0; i < indexes.size(); ++i) {
    if (i > 0 && i % 250 == 0) emit(256);
    emit(indexes[i]);
  }
  emit(257);
  if (count > 0) packed.push_back(static_cast<uint8_t>(bits));
  Bytes out{8};
  for (size_t at = 0; at < packed.size(); at += 255) {
    const size_t n = std::min<size_t>(255, packed.size() - at);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<long>(at), packed.begin() + static_cast<long>(at + n));
  }
  out.push_back(0);
  return out;
}

}  // namespace

HostWindow::HostWindow() {
  static const bool once = [] {
    ts::SuppressEvents();
    WNDCLASSA wc{};
    wc.lpfnWndProc = &HostProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kHostClass;
    return RegisterClassA(&wc) != 0;
  }();
  (void)once;
  hwnd_ = CreateWindowExA(0, kHostClass, "host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 100, 100, 400,
                          300, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetForegroundWindow(hwnd_);
  Pump();
}

HostWindow::~HostWindow() {
  if (hwnd_ != nullptr) DestroyWindow(hwnd_);
  Pump();
}

ts::forms::CreateArgs HostWindow::Args(const Bytes& record, int left, int top, int width, int height) const {
  ts::forms::CreateArgs a;
  a.data = record.empty() ? nullptr : record.data();
  a.size = static_cast<uint32_t>(record.size());
  a.style = WS_TABSTOP;
  a.parent = hwnd_;
  a.menuOrId = 100;
  a.left = left;
  a.top = top;
  a.width = width;
  a.height = height;
  a.formId = 0x52010001;
  a.unitId = 0x16010001;
  return a;
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

bool PumpUntil(const std::function<bool()>& pred, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > ms) return pred();
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}

Render::Render(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  width_ = client.right;
  height_ = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = -height_;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bmp);
  SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  GdiFlush();
  pixels_.resize(static_cast<size_t>(width_) * height_);
  std::memcpy(pixels_.data(), bits, pixels_.size() * 4);
  for (uint32_t& p : pixels_) p &= 0x00FFFFFF;
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
}

Bytes MakeBmp(int width, int height, const std::function<uint32_t(int, int)>& colour) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t imageSize = stride * static_cast<uint32_t>(height);
  Bytes b{'B', 'M'};
  Put32(b, 54 + imageSize);
  Put32(b, 0);
  Put32(b, 54);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(width));
  Put32(b, static_cast<uint32_t>(height));
  Put16(b, 1);
  Put16(b, 24);
  for (int i = 0; i < 6; ++i) Put32(b, i == 1 ? imageSize : 0);
  for (int y = height - 1; y >= 0; --y) {
    const size_t rowStart = b.size();
    for (int x = 0; x < width; ++x) {
      const uint32_t c = colour(x, y);
      b.push_back(static_cast<uint8_t>(c));
      b.push_back(static_cast<uint8_t>(c >> 8));
      b.push_back(static_cast<uint8_t>(c >> 16));
    }
    while (b.size() - rowStart < stride) b.push_back(0);
  }
  return b;
}

Bytes MakePng(int width, int height, const std::vector<uint8_t>& bgra) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, bgra.data(), 0, nullptr)) return {};
  Bytes out(size);
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, bgra.data(), 0, nullptr)) return {};
  out.resize(size);
  return out;
}

Bytes MakeGif(int width, int height, const std::vector<uint32_t>& palette, const std::vector<GifFrameSpec>& frames) {
  Bytes b{'G', 'I', 'F', '8', '9', 'a'};
  Put16(b, static_cast<uint32_t>(width));
  Put16(b, static_cast<uint32_t>(height));
  b.push_back(0xF7);  // global table of 256 entries
  b.push_back(0);
  b.push_back(0);
  for (int i = 0; i < 256; ++i) {
    const uint32_t c = i < static_cast<int>(palette.size()) ? palette[i] : 0;
    b.push_back(static_cast<uint8_t>(c >> 16));
    b.push_back(static_cast<uint8_t>(c >> 8));
    b.push_back(static_cast<uint8_t>(c));
  }
  for (const GifFrameSpec& f : frames) {
    b.insert(b.end(), {0x21, 0xF9, 0x04});
    b.push_back(static_cast<uint8_t>((f.disposal << 2) | (f.transparent ? 1 : 0)));
    Put16(b, f.delay);
    b.push_back(f.transparentIndex);
    b.push_back(0);
    b.push_back(0x2C);
    Put16(b, static_cast<uint32_t>(f.left));
    Put16(b, static_cast<uint32_t>(f.top));
    Put16(b, static_cast<uint32_t>(f.width));
    Put16(b, static_cast<uint32_t>(f.height));
    b.push_back(0);
    const Bytes data = GifLzwLiterals(f.pixels);
    b.insert(b.end(), data.begin(), data.end());
  }
  b.push_back(0x3B);
  return b;
}

GifFrameSpec SolidFrame(int left, int top, int w, int h, uint8_t index, uint16_t delay, int disposal) {
  GifFrameSpec f;
  f.left = left;
  f.top = top;
  f.width = w;
  f.height = h;
  f.pixels.assign(static_cast<size_t>(w) * h, index);
  f.delay = delay;
  f.disposal = disposal;
  return f;
}

}  // namespace ctltest
