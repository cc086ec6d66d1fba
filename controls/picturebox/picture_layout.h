// Where a picture box puts its picture, and how long a GIF frame stays.
#pragma once

#include <windows.h>

#include <cstdint>

namespace ts::controls {

enum DisplayMode : int32_t { kNaturalSize = 0, kStretched = 1, kFitted = 2 };

// The rectangle the picture is drawn into within the client area:
// 0 natural size at the top-left; 1 the whole client area; 2 centred at
// natural size when it fits, else scaled by the smaller of the two ratios
// (keeping its proportions) and centred.
RECT PlacePicture(int32_t mode, const RECT& client, SIZE picture);

// A frame's delay (hundredths of a second, as stored) in milliseconds;
// 0 means 50 ms.
uint32_t FrameDelayMs(uint32_t hundredths);

}  // namespace ts::controls
