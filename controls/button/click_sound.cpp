#include "controls/button/click_sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <cmath>

namespace ts::controls {

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}

std::vector<uint8_t> MakeClick() {
  constexpr uint32_t kRate = 22050;
  constexpr uint32_t kSamples = kRate / 40;  // 25 ms
  std::vector<uint8_t> samples(kSamples);
  // A 2 kHz tone under a fast exponential decay: a dry tick.
  for (uint32_t i = 0; i < kSamples; ++i) {
    const double t = static_cast<double>(i) / kRate;
    const double v = std::sin(2.0 * 3.141592653589793 * 2000.0 * t) * std::exp(-t * 220.0);
    samples[i] = static_cast<uint8_t>(128.0 + 110.0 * v);
  }
  std::vector<uint8_t> wav;
  PutTag(wav, "RIFF");
  Put32(wav, 36 + kSamples);
  PutTag(wav, "WAVE");
  PutTag(wav, "fmt ");
  Put32(wav, 16);
  Put16(wav, 1);      // PCM
  Put16(wav, 1);      // mono
  Put32(wav, kRate);  // samples per second
  Put32(wav, kRate);  // bytes per second
  Put16(wav, 1);      // block align
  Put16(wav, 8);      // bits per sample
  PutTag(wav, "data");
  Put32(wav, kSamples);
  wav.insert(wav.end(), samples.begin(), samples.end());
  return wav;
}

}  // namespace

const std::vector<uint8_t>& BuiltInClickWave() {
  static const std::vector<uint8_t> wave = MakeClick();
  return wave;
}

void PlayWaveData(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0) return;
  PlaySoundA(reinterpret_cast<LPCSTR>(data), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP);
}

}  // namespace ts::controls
