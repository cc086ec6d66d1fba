// The runtime's built-in click: a short wave file made in code the first
// time it is asked for, and the asynchronous player of sound blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ts::controls {

// A complete RIFF/WAVE file: 8-bit mono PCM, 22,050 Hz, about 25 ms.
const std::vector<uint8_t>& BuiltInClickWave();

// Plays wave file data from memory, asynchronously, without the default
// system sound as a fallback and without cutting off a sound already
// playing. Empty data plays nothing. The data must stay alive while it
// plays (the callers pass blocks they keep).
void PlayWaveData(const uint8_t* data, size_t size);

}  // namespace ts::controls
