// Drawing a super button face for one owner-draw request.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "controls/button/button_images.h"

namespace ts::controls {

enum ButtonStyle : int32_t { kStyleFlat = 0, kStyle3D = 1, kStyleRounded = 2 };

// The six colours in stored order.
struct ButtonColours {
  COLORREF text = 0, back = 0, hotText = 0, hotBack = 0, downText = 0, downBack = 0;
};

// The system colours of a button: button text, button face, the hot face
// lightened by 32.
ButtonColours SystemButtonColours();

// Everything a paint needs, gathered by the button.
struct ButtonLook {
  int32_t style = kStyle3D;
  int32_t imagePosition = 0;
  int32_t pressEffect = 0;
  bool flatBorder = true;
  bool flatFocusRect = false;
  bool toggle = false;
  bool isDefault = false;
  ButtonColours colours;
  const ImageSlot* slots[3] = {nullptr, nullptr, nullptr};  // hot, normal, disabled
  std::string caption;
  HFONT font = nullptr;  // null: the default GUI font
};

// The momentary state of a paint.
struct ButtonState {
  bool pressed = false;  // platform selected state, or toggle state with Toggle on
  bool focused = false;
  bool disabled = false;
  bool hot = false;
};

void PaintButton(HDC dc, const RECT& bounds, const ButtonLook& look, const ButtonState& state);

}  // namespace ts::controls
