#include "controls/simple/control_support.h"

#include <cstring>

#include "runtime/values.h"

namespace ts::controls::simple {

COLORREF ResolveColour(uint32_t colour) {
  return colour == forms::kButtonFace ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour & 0xFFFFFF);
}

win::OwnedFont FontFromValue(const Bytes& value) {
  if (value.size() != sizeof(LOGFONTA)) return win::OwnedFont();
  LOGFONTA lf;
  std::memcpy(&lf, value.data(), sizeof lf);
  lf.lfFaceName[LF_FACESIZE - 1] = 0;  // a stored face name need not be terminated
  return win::OwnedFont(::CreateFontIndirectA(&lf));
}

namespace {
constexpr DWORD kBorderStyleBits = WS_BORDER;
constexpr DWORD kBorderExBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
}  // namespace

void AddBorderBits(int32_t border, DWORD* style, DWORD* exStyle) {
  switch (border) {
    case 1: *exStyle |= WS_EX_CLIENTEDGE; break;
    case 2: *exStyle |= WS_EX_DLGMODALFRAME; break;
    case 3: *exStyle |= WS_EX_STATICEDGE; break;
    case 4: *exStyle |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: *style |= WS_BORDER; break;
    default: break;
  }
}

void ApplyBorder(HWND hwnd, int32_t border) {
  DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & ~kBorderStyleBits;
  DWORD ex = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_EXSTYLE)) & ~kBorderExBits;
  AddBorderBits(border, &style, &ex);
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  ::SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex));
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
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

void RestyleButton(HWND hwnd, DWORD buttonStyle) {
  // BM_SETSTYLE alone changes only the button type; alignment and look
  // bits live in the window style.
  DWORD style = (static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & 0xFFFF0000u) | (buttonStyle & 0xFFFFu);
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(style));
  ::SendMessageA(hwnd, BM_SETSTYLE, buttonStyle & 0xFFFFu, TRUE);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

uint8_t* HeapRecord(const Bytes& record, uint32_t* size) {
  auto n = static_cast<uint32_t>(record.size());
  auto* block = static_cast<uint8_t*>(ts::Alloc(n ? n : 1));
  if (n) std::memcpy(block, record.data(), n);
  if (size) *size = n;
  return block;
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

}  // namespace ts::controls::simple
