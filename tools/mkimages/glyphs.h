// The button glyphs, the about banner and the animation frames. Glyph
// colours stay below pure white, and every painted pixel keeps at least 1/8
// coverage, so no glyph pixel can equal the white (or transparent) corner
// that the buttons punch out.
#pragma once

#include <string>

#include "tools/mkimages/raster.h"

namespace mkimages {

// Glyph by name: scan, stop, help, exit, add, delete, select, unselect,
// clean, open, locate, ok. Throws for an unknown name.
Canvas DrawGlyph(const std::string& name, int size);
Canvas DrawBanner(int width, int height);
// Frame k of n of the about animation: two discs circling each other.
Canvas DrawTwinsFrame(int width, int height, int k, int n);

}  // namespace mkimages
