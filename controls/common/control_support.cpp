#include "controls/common/control_support.h"

#include <cstring>

#include "forms/records/records.h"

namespace ts::controls {

COLORREF ResolveButtonFace(uint32_t colour) {
  return colour == forms::kButtonFace ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

HBRUSH ColourBrush::get(COLORREF colour) {
  if (!brush_ || colour != colour_) {
    brush_.reset(::CreateSolidBrush(colour));
    colour_ = colour;
  }
  return brush_.get();
}

LRESULT AnswerCtlColour(HDC dc, COLORREF text, COLORREF back, ColourBrush& brush) {
  ::SetTextColor(dc, text);
  ::SetBkColor(dc, back);
  return reinterpret_cast<LRESULT>(brush.get(back));
}

win::OwnedFont FontFromValue(const Bytes& value) {
  if (value.size() != sizeof(LOGFONTA)) return win::OwnedFont();
  LOGFONTA lf;
  std::memcpy(&lf, value.data(), sizeof lf);
  lf.lfFaceName[LF_FACESIZE - 1] = 0;  // a stored face name need not be terminated
  return win::OwnedFont(::CreateFontIndirectA(&lf));
}

win::OwnedImageList DecodeImageList(const Bytes& value) {
  if (value.size() <= 8 || std::memcmp(value.data(), "MITL", 4) != 0) return win::OwnedImageList();
  const size_t streamSize = value.size() - 8;
  win::OwnedHandle<HGLOBAL, ::GlobalFree> memory(::GlobalAlloc(GMEM_MOVEABLE, streamSize));
  void* p = memory ? ::GlobalLock(memory.get()) : nullptr;
  if (p == nullptr) return win::OwnedImageList();
  std::memcpy(p, value.data() + 8, streamSize);
  ::GlobalUnlock(memory.get());
  IStream* stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(memory.get(), TRUE, &stream)) || stream == nullptr) {
    return win::OwnedImageList();
  }
  memory.release();  // the stream frees it when released
  win::OwnedImageList list(::ImageList_Read(stream));
  stream->Release();
  return list;
}

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

namespace {

constexpr DWORD kBorderStyleBits = WS_BORDER;
constexpr DWORD kBorderExBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

// A frame change, then the whole window painted again.
void Reframe(HWND hwnd) {
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace

BorderBits BorderStyleBits(int32_t border) {
  switch (Clamp(border, 0, 5)) {
    case 1: return {0, WS_EX_CLIENTEDGE};
    case 2: return {0, WS_EX_DLGMODALFRAME};
    case 3: return {0, WS_EX_STATICEDGE};
    case 4: return {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME};
    case 5: return {WS_BORDER, 0};
    default: return {};
  }
}

void ApplyBorder(HWND hwnd, int32_t border) {
  const BorderBits bits = BorderStyleBits(border);
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & ~kBorderStyleBits;
  const DWORD ex = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_EXSTYLE)) & ~kBorderExBits;
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style | bits.style));
  ::SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex | bits.exStyle));
  Reframe(hwnd);
}

void SetStyleBits(HWND hwnd, DWORD bits, bool on) {
  const DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE));
  const DWORD next = on ? (style | bits) : (style & ~bits);
  if (next == style) return;
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(next));
  Reframe(hwnd);
}

void RestyleButton(HWND hwnd, DWORD buttonStyle) {
  // BM_SETSTYLE alone changes only the button type; alignment and look
  // bits live in the window style.
  DWORD style = (static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & 0xFFFF0000u) | (buttonStyle & 0xFFFFu);
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  ::SendMessageA(hwnd, BM_SETSTYLE, buttonStyle & 0xFFFFu, TRUE);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

std::string WindowText(HWND hwnd) {
  int n = ::GetWindowTextLengthA(hwnd);
  if (n <= 0) return std::string();
  std::string text(static_cast<size_t>(n) + 1, '\0');
  int got = ::GetWindowTextA(hwnd, text.data(), n + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace ts::controls
