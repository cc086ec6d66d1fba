// Helpers shared by the simple controls: colours, fonts, border styles,
// record blocks for the engine, and the operation table every control type
// answers through.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "forms/byte_reader.h"
#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "win/handles.h"

namespace ts::controls::simple {

using forms::Bytes;
using forms::CreateArgs;
using forms::PropertyValue;
using forms::UnitObject;

// 0xFF000000 in a colour property stands for the system button face.
COLORREF ResolveColour(uint32_t colour);

// The style a control is created with: the engine's bits, a child, never
// shown by itself (the engine shows it), and clipped by the siblings that
// overlap it (a label may lie over a group box without being its child).
inline DWORD ChildStyle(DWORD engineStyle) { return (engineStyle & ~WS_VISIBLE) | WS_CHILD | WS_CLIPSIBLINGS; }

inline int32_t ClampInt(int32_t v, int32_t lo, int32_t hi) { return std::min(std::max(v, lo), hi); }

// A font from a font value: empty (or not 60 bytes) gives no font, which
// the controls read as the default GUI font.
win::OwnedFont FontFromValue(const Bytes& value);
inline HFONT FontOrDefault(const win::OwnedFont& font) {
  return font ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

// Border styles shared by the bordered controls: 0 none, 1 sunken client
// edge, 2 raised modal frame, 3 static edge, 4 client edge plus modal
// frame, 5 thin line. Adds the bits of `border` to style/exStyle.
void AddBorderBits(int32_t border, DWORD* style, DWORD* exStyle);
// Replaces the border bits of a live window and redraws its frame.
void ApplyBorder(HWND hwnd, int32_t border);

std::string WindowText(HWND hwnd);

// Replaces the button style bits (the low word) of a live BUTTON control
// and redraws it.
void RestyleButton(HWND hwnd, DWORD buttonStyle);

// Copies of property values.
inline Bytes BlockOf(const PropertyValue& v) {
  const auto* p = static_cast<const uint8_t*>(v.data);
  return p ? Bytes(p, p + v.size) : Bytes();
}
inline std::string TextOf(const PropertyValue& v) { return v.text ? std::string(v.text) : std::string(); }
inline bool BoolOf(const PropertyValue& v) { return v.i32 != 0; }
inline PropertyValue BlockValue(const Bytes& b) {
  return PropertyValue::Block(b.empty() ? nullptr : b.data(), static_cast<uint32_t>(b.size()));
}

// A stored record in a block of the runtime's heap, as operation 5 hands it
// to the engine (which frees it).
uint8_t* HeapRecord(const Bytes& record, uint32_t* size);

// A solid brush that is remade only when its colour changes.
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

// The operation table of a control class C, which offers
//   static C* Create(const CreateArgs&);                     (null on failure)
//   int32_t Set(int32_t index, const PropertyValue&);         (1 = recreate)
//   int32_t Get(int32_t index, PropertyValue*);               (1 = exists)
//   Bytes Record();                                           (current state)
//   int32_t WantsKey(uint32_t key) const;
// No C++ exception leaves an operation.
template <class C>
struct ControlOps {
  static UnitObject* Create(const CreateArgs& a) {
    return forms::GuardedOperation<UnitObject*>(nullptr, [&] { return C::Create(a); });
  }
  static int32_t Set(UnitObject* u, int32_t index, const PropertyValue& v) {
    return forms::GuardedOperation(0, [&] { return u ? static_cast<C*>(u)->Set(index, v) : 0; });
  }
  static int32_t Get(UnitObject* u, int32_t index, PropertyValue* out) {
    return forms::GuardedOperation(0, [&] { return u && out ? static_cast<C*>(u)->Get(index, out) : 0; });
  }
  static uint8_t* AllData(UnitObject* u, uint32_t* size) {
    return forms::GuardedOperation<uint8_t*>(nullptr,
                                             [&] { return u ? HeapRecord(static_cast<C*>(u)->Record(), size) : nullptr; });
  }
  static int32_t WantsKey(UnitObject* u, uint32_t key) {
    return forms::GuardedOperation(0, [&] { return u ? static_cast<C*>(u)->WantsKey(key) : 0; });
  }
  static const forms::UnitOps& Table() {
    static const forms::UnitOps ops{&Create, &Set, &AllData, &Get, &WantsKey, nullptr, nullptr};
    return ops;
  }
};

}  // namespace ts::controls::simple
