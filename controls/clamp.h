// A value brought into lo..hi, as the controls clamp their properties.
#pragma once

#include <cstdint>

namespace ts::controls {

inline int32_t Clamp(int32_t value, int32_t lo, int32_t hi) { return value < lo ? lo : (value > hi ? hi : value); }

}  // namespace ts::controls
