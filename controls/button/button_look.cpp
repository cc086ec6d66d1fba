#include "controls/button/button_look.h"

#include <algorithm>

namespace ts::controls {

COLORREF Lighten32(COLORREF colour) {
  const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
  const int amount = std::min(32, 255 - std::max({r, g, b}));
  return RGB(r + amount, g + amount, b + amount);
}

Slot ChooseSlot(const SlotState& s, const bool filled[3]) {
  Slot wanted;
  if (s.disabled) {
    wanted = filled[static_cast<int>(Slot::kDisabled)] ? Slot::kDisabled : Slot::kHot;
  } else if ((s.toggle && !s.pressed) || (!s.pressed && !s.hot)) {
    wanted = Slot::kNormal;
  } else {
    wanted = Slot::kHot;
  }
  if (filled[static_cast<int>(wanted)]) return wanted;
  if (wanted == Slot::kDisabled) return Slot::kNone;
  const Slot other = wanted == Slot::kHot ? Slot::kNormal : Slot::kHot;
  return filled[static_cast<int>(other)] ? other : Slot::kNone;
}

RECT CentreIn(const RECT& area, SIZE size) {
  const int left = area.left + ((area.right - area.left) - size.cx) / 2;
  const int top = area.top + ((area.bottom - area.top) - size.cy) / 2;
  return RECT{left, top, left + size.cx, top + size.cy};
}

FaceLayout LayoutFace(const RECT& face, SIZE image, int32_t position, bool hasCaption) {
  FaceLayout out;
  out.caption = face;
  if (image.cx <= 0 || image.cy <= 0) return out;
  const int faceHeight = face.bottom - face.top;
  const int midTop = face.top + (faceHeight - image.cy) / 2;
  if (position == kImageCorner) {
    out.image = RECT{face.left + kImageMargin, face.top + kImageMargin, face.left + kImageMargin + image.cx,
                     face.top + kImageMargin + image.cy};
    return out;
  }
  if (!hasCaption) {
    out.image = CentreIn(face, image);
    return out;
  }
  switch (position) {
    case kImageAbove: {
      const int left = face.left + ((face.right - face.left) - image.cx) / 2;
      out.image = RECT{left, face.top + kImageMargin, left + image.cx, face.top + kImageMargin + image.cy};
      out.caption.top = out.image.bottom;
      break;
    }
    case kImageRight:
      out.image = RECT{face.right - kImageMargin - image.cx, midTop, face.right - kImageMargin, midTop + image.cy};
      out.caption.right = out.image.left;
      break;
    default:
      out.image = RECT{face.left + kImageMargin, midTop, face.left + kImageMargin + image.cx, midTop + image.cy};
      out.caption.left = out.image.right;
      break;
  }
  return out;
}

POINT PressOffset(int32_t pressEffect) { return pressEffect == 1 ? POINT{0, 2} : POINT{1, 1}; }

}  // namespace ts::controls
