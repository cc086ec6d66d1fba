// The parts of a super button's look that are plain arithmetic: colours,
// which image slot a state shows, and where image and caption go on the
// face. Kept apart from the drawing so that they can be checked alone.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ts::controls {

// Adds one common amount (at most 32) to red, green and blue: as much as
// the brightest channel can still take.
COLORREF Lighten32(COLORREF colour);

// The three image slots of a button.
enum class Slot { kHot = 0, kNormal = 1, kDisabled = 2, kNone = 3 };

struct SlotState {
  bool disabled = false;
  bool toggle = false;
  bool pressed = false;
  bool hot = false;
};

// Which slot to draw, given which slots hold an image. An empty chosen slot
// falls back to the other of hot and normal; a disabled button without a
// disabled image takes the hot slot (or normal) and is drawn embossed.
Slot ChooseSlot(const SlotState& state, const bool filled[3]);

// Where the image and the caption go on the face.
struct FaceLayout {
  RECT image{};    // empty when there is no image
  RECT caption{};  // the area the caption block is centred in
};

enum ImagePosition : int32_t { kImageLeft = 0, kImageAbove = 1, kImageRight = 2, kImageCorner = 3 };

constexpr int kImageMargin = 3;

FaceLayout LayoutFace(const RECT& face, SIZE image, int32_t position, bool hasCaption);

// The press offset of `PressEffect`: 0 moves the content 1 px right and
// down, 1 moves it 2 px down.
POINT PressOffset(int32_t pressEffect);

// A block of the given size centred in an area.
RECT CentreIn(const RECT& area, SIZE size);

}  // namespace ts::controls
