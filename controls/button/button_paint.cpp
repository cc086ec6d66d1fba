#include "controls/button/button_paint.h"

#include "controls/button/button_look.h"
#include "win/handles.h"

namespace ts::controls {

namespace {

using win::OwnedBrush;

constexpr int kRoundCorner = 16;  // ellipse size of an 8-pixel corner radius
constexpr int kFocusInset = 3;

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  OwnedBrush brush(CreateSolidBrush(colour));
  if (brush) FillRect(dc, &r, brush.get());
}

void Frame(HDC dc, const RECT& r, COLORREF colour) {
  OwnedBrush brush(CreateSolidBrush(colour));
  if (brush) FrameRect(dc, &r, brush.get());
}

// One-pixel lines: top and left in `topLeft`, bottom and right in `bottomRight`.
void Bevel(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  Fill(dc, RECT{r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  Fill(dc, RECT{r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  Fill(dc, RECT{r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void RoundFace(HDC dc, const RECT& r, COLORREF colour) {
  OwnedBrush brush(CreateSolidBrush(colour));
  if (!brush) return;
  win::SelectGuard usePen(dc, GetStockObject(BLACK_PEN));
  win::SelectGuard useBrush(dc, brush.get());
  RoundRect(dc, r.left, r.top, r.right, r.bottom, kRoundCorner, kRoundCorner);
}

void DrawFaceBackground(HDC dc, const RECT& face, const ButtonLook& look, const ButtonState& s) {
  if (s.hot || s.pressed) {
    if (look.style == kStyleRounded) {
      Fill(dc, face, look.colours.back);
      RoundFace(dc, face, look.colours.hotBack);
    } else {
      Fill(dc, face, look.colours.hotBack);
    }
    return;
  }
  Fill(dc, face, s.focused ? look.colours.hotBack : look.colours.back);
}

void DrawBorder(HDC dc, const RECT& face, const ButtonLook& look, const ButtonState& s) {
  if (look.style == kStyle3D) {
    if (s.pressed) {
      Frame(dc, face, GetSysColor(COLOR_BTNSHADOW));
      return;
    }
    Bevel(dc, face, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_3DDKSHADOW));
    RECT inner{face.left + 1, face.top + 1, face.right - 1, face.bottom - 1};
    Bevel(dc, inner, GetSysColor(COLOR_3DLIGHT), GetSysColor(COLOR_BTNSHADOW));
    return;
  }
  if (look.style == kStyleFlat && look.flatBorder && (s.pressed || s.hot)) {
    if (s.pressed) {
      Bevel(dc, face, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
    } else {
      Bevel(dc, face, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
  }
}

void DrawCaption(HDC dc, RECT area, const ButtonLook& look, const ButtonState& s, POINT offset) {
  if (look.caption.empty()) return;
  const UINT format = DT_WORDBREAK | DT_CENTER;
  RECT measured{0, 0, area.right - area.left, 0};
  DrawTextA(dc, look.caption.c_str(), -1, &measured, format | DT_CALCRECT);
  RECT text = CentreIn(area, SIZE{measured.right - measured.left, measured.bottom - measured.top});
  OffsetRect(&text, offset.x, offset.y);
  SetBkMode(dc, TRANSPARENT);
  if (s.disabled) {
    RECT shifted = text;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawTextA(dc, look.caption.c_str(), -1, &shifted, format);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, (s.hot || s.pressed || s.focused) ? look.colours.hotText : look.colours.text);
  }
  DrawTextA(dc, look.caption.c_str(), -1, &text, format);
}

}  // namespace

ButtonColours SystemButtonColours() {
  ButtonColours c;
  c.text = c.hotText = c.downText = GetSysColor(COLOR_BTNTEXT);
  c.back = c.downBack = GetSysColor(COLOR_BTNFACE);
  c.hotBack = Lighten32(c.back);
  return c;
}

void PaintButton(HDC dc, const RECT& bounds, const ButtonLook& look, const ButtonState& s) {
  const int saved = SaveDC(dc);
  RECT face = bounds;
  if (look.style == kStyle3D && (s.focused || look.isDefault)) {
    Frame(dc, face, RGB(0, 0, 0));
    InflateRect(&face, -1, -1);
  }
  DrawFaceBackground(dc, face, look, s);
  DrawBorder(dc, face, look, s);

  const bool offsetApplies = s.pressed && !look.toggle;
  const POINT offset = offsetApplies ? PressOffset(look.pressEffect) : POINT{0, 0};

  bool filled[3];
  for (int i = 0; i < 3; ++i) filled[i] = look.slots[i] != nullptr && !look.slots[i]->empty();
  const Slot chosen = ChooseSlot(SlotState{s.disabled, look.toggle, s.pressed, s.hot}, filled);
  const ImageSlot* image = chosen == Slot::kNone ? nullptr : look.slots[static_cast<int>(chosen)];
  const FaceLayout layout =
      LayoutFace(face, image ? image->size() : SIZE{0, 0}, look.imagePosition, !look.caption.empty());
  if (image != nullptr) {
    const int x = layout.image.left + offset.x, y = layout.image.top + offset.y;
    if (s.disabled && chosen != Slot::kDisabled) {
      image->DrawDisabled(dc, x, y);
    } else {
      image->Draw(dc, x, y);
    }
  }

  SelectObject(dc, look.font ? static_cast<HGDIOBJ>(look.font) : GetStockObject(DEFAULT_GUI_FONT));
  DrawCaption(dc, layout.caption, look, s, offset);

  if (s.focused && (look.style == kStyle3D || look.flatFocusRect)) {
    RECT focus = face;
    InflateRect(&focus, -kFocusInset, -kFocusInset);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }
  RestoreDC(dc, saved);
}

}  // namespace ts::controls
