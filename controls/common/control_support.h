// What the control classes share: copies of property values, colours,
// fonts, image lists, the window styles of a child control with its border
// kinds, and the start-up of the platform's common controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "forms/byte_reader.h"
#include "forms/engine/unit.h"
#include "win/handles.h"

namespace ts::controls {

using forms::Bytes;
using forms::CreateArgs;
using forms::PropertyValue;
using forms::UnitObject;

inline int32_t Clamp(int32_t value, int32_t lo, int32_t hi) { return value < lo ? lo : (value > hi ? hi : value); }

// --- property values --------------------------------------------------------

inline Bytes BlockOf(const PropertyValue& v) {
  const auto* p = static_cast<const uint8_t*>(v.data);
  return p != nullptr && v.size != 0 ? Bytes(p, p + v.size) : Bytes();
}
inline PropertyValue BlockValue(const Bytes& b) {
  return PropertyValue::Block(b.data(), static_cast<uint32_t>(b.size()));
}
inline std::string TextOf(const PropertyValue& v) { return v.text ? std::string(v.text) : std::string(); }
inline bool BoolOf(const PropertyValue& v) { return v.i32 != 0; }

// --- colours ------------------------------------------------------------------

// 0xFF000000 in a colour property stands for the system button face; every
// other value passes unchanged. This is what a list view or tree view is
// handed (they read CLR_NONE, 0xFFFFFFFF, as "no colour of its own").
COLORREF ResolveButtonFace(uint32_t colour);
// A colour as the controls paint it themselves: the button face resolved,
// and of any other value its low 24 bits, 0x00BBGGRR (GDI would read a high
// byte as a palette reference).
inline COLORREF ResolveColour(uint32_t colour) { return ResolveButtonFace(colour) & 0xFFFFFFu; }

// A solid brush that is made again only when its colour changes.
class ColourBrush {
 public:
  HBRUSH get(COLORREF colour);

 private:
  win::OwnedBrush brush_;
  COLORREF colour_ = 0;
};

// Answers a WM_CTLCOLOR* message for a control that paints with its own
// text and back colours.
LRESULT AnswerCtlColour(HDC dc, COLORREF text, COLORREF back, ColourBrush& brush);

// --- fonts and image lists ------------------------------------------------------

// A font value is empty or a 60-byte LOGFONTA; anything else gives no font,
// which the controls read as the default GUI font.
win::OwnedFont FontFromValue(const Bytes& value);
inline HFONT FontOrDefault(const win::OwnedFont& font) {
  return font ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

// An image-list value: "MITL", four bytes, then a platform image-list
// stream. Anything shorter than 9 bytes, without the magic, or whose stream
// does not read gives no list.
win::OwnedImageList DecodeImageList(const Bytes& value);

// --- windows ----------------------------------------------------------------------

// Registers the platform's common control classes once per process.
void EnsureCommonControls();

// The style a control is created with: the engine's bits (WS_DISABLED,
// WS_TABSTOP), a child, never shown by itself (the engine shows it), and
// clipped by the siblings that overlap it (a label may lie over a group box
// without being its child).
inline DWORD ChildStyle(DWORD engineStyle) {
  return (engineStyle & ~static_cast<DWORD>(WS_VISIBLE | WS_POPUP)) | WS_CHILD | WS_CLIPSIBLINGS;
}

// Border kinds, shared by every control that offers a border: 0 none,
// 1 sunken client edge, 2 raised modal frame, 3 static edge, 4 client edge
// plus modal frame, 5 thin line. Other values are clamped into 0..5.
struct BorderBits {
  DWORD style = 0;
  DWORD exStyle = 0;
};
BorderBits BorderStyleBits(int32_t border);
// Gives a live window the border kind, redraws its frame and repaints it.
void ApplyBorder(HWND hwnd, int32_t border);

// Sets or clears style bits of a live window, redraws its frame and
// repaints it; nothing happens when the bits are already so.
void SetStyleBits(HWND hwnd, DWORD bits, bool on);
// Replaces the button style bits (the low word) of a live BUTTON control
// and repaints it.
void RestyleButton(HWND hwnd, DWORD buttonStyle);

std::string WindowText(HWND hwnd);

}  // namespace ts::controls
