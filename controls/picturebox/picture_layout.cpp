#include "controls/picturebox/picture_layout.h"

namespace ts::controls {

RECT PlacePicture(int32_t mode, const RECT& client, SIZE picture) {
  const int cw = client.right - client.left, ch = client.bottom - client.top;
  if (mode == kStretched) return client;
  if (mode != kFitted) return RECT{client.left, client.top, client.left + picture.cx, client.top + picture.cy};
  int w = picture.cx, h = picture.cy;
  if (w > cw || h > ch) {
    // The smaller ratio cw/w or ch/h, compared without division.
    if (static_cast<int64_t>(cw) * h <= static_cast<int64_t>(ch) * w) {
      h = w > 0 ? static_cast<int>(static_cast<int64_t>(h) * cw / w) : 0;
      w = cw;
    } else {
      w = h > 0 ? static_cast<int>(static_cast<int64_t>(w) * ch / h) : 0;
      h = ch;
    }
  }
  const int left = client.left + (cw - w) / 2, top = client.top + (ch - h) / 2;
  return RECT{left, top, left + w, top + h};
}

uint32_t FrameDelayMs(uint32_t hundredths) { return hundredths == 0 ? 50 : hundredths * 10; }

}  // namespace ts::controls
