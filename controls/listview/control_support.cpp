#include "controls/listview/control_support.h"

#include <objidl.h>

#include <cstring>

#include "runtime/error.h"
#include "runtime/messages.h"
#include "runtime/notify.h"

namespace ts::controls {

HIMAGELIST DecodeImageList(const Bytes& value) {
  if (value.size() <= 8 || std::memcmp(value.data(), "MITL", 4) != 0) return nullptr;
  const size_t streamSize = value.size() - 8;
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, streamSize);
  if (memory == nullptr) return nullptr;
  void* p = ::GlobalLock(memory);
  if (p == nullptr) {
    ::GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(p, value.data() + 8, streamSize);
  ::GlobalUnlock(memory);
  IStream* stream = nullptr;
  // The stream owns the memory from here on and frees it on release.
  if (FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream)) || stream == nullptr) {
    ::GlobalFree(memory);
    return nullptr;
  }
  HIMAGELIST list = ::ImageList_Read(stream);
  stream->Release();
  return list;
}

HFONT FontFromValue(const Bytes& value) {
  if (value.size() != sizeof(LOGFONTA)) return nullptr;
  LOGFONTA lf;
  std::memcpy(&lf, value.data(), sizeof lf);
  lf.lfFaceName[LF_FACESIZE - 1] = 0;
  return ::CreateFontIndirectA(&lf);
}

COLORREF ResolveColour(uint32_t colour) {
  return colour == 0xFF000000u ? ::GetSysColor(COLOR_BTNFACE) : static_cast<COLORREF>(colour);
}

void ApplyBorder(HWND hwnd, int32_t style) {
  constexpr DWORD kExBits = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;
  DWORD ex = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_EXSTYLE)) & ~kExBits;
  DWORD st = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE)) & ~static_cast<DWORD>(WS_BORDER);
  switch (Clamp(style, 0, 5)) {
    case 1: ex |= WS_EX_CLIENTEDGE; break;
    case 2: ex |= WS_EX_DLGMODALFRAME; break;
    case 3: ex |= WS_EX_STATICEDGE; break;
    case 4: ex |= WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME; break;
    case 5: st |= WS_BORDER; break;
    default: break;
  }
  ::SetWindowLongA(hwnd, GWL_EXSTYLE, static_cast<LONG>(ex));
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(st));
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SetStyleBits(HWND hwnd, DWORD bits, bool on) {
  DWORD st = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE));
  DWORD next = on ? (st | bits) : (st & ~bits);
  if (next == st) return;
  ::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(next));
  ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

forms::UnitObject* ControlArg(const ArgRecord& ref, uint32_t typeId) {
  NotifyWord object = NotifyRuntime(notify::UnitControl, ref.v.w.lo, ref.v.w.hi);
  auto* unit = reinterpret_cast<forms::UnitObject*>(object);
  if (unit == nullptr || unit->typeId() != typeId || !unit->alive()) return nullptr;
  return unit;
}

void ControlOutOfReach() { ReportRuntimeError(msg::UnitControlMissing); }

char* ToRuntimeText(const std::string& s) {
  return MakeText(s.data(), static_cast<uint32_t>(s.size()));
}

}  // namespace ts::controls
