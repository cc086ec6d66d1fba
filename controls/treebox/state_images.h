// Check-box images of the tree box.
#pragma once

#include <cstdint>

#include "controls/common/control_support.h"
#include "win/handles.h"

namespace ts::controls {

// The built-in strip: three 13x13 images (empty box, ticked box, greyed
// ticked box), 16 colours, no mask.
win::OwnedImageList BuiltInCheckStrip();

// The state image list for check boxes: the images of `source` (an
// image-list value; empty or undecodable means the built-in strip), of
// which `count` are used (0 or less, or more than there are: all), copied
// into a 32-bit list with mask behind a copy of the first image, because
// the platform never shows state image 0.
win::OwnedImageList BuildCheckImages(const Bytes& source, int32_t count);

}  // namespace ts::controls
