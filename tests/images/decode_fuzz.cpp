// Fuzz entry: any bytes through recognition and decoding, and for GIF data
// through the frame walker as the animation plays it.
#include <cstddef>
#include <cstdint>

#include "images/gif.h"
#include "images/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  images::DecodeData(data, size);
  if (images::Recognise(data, size) == images::kGif) {
    images::GifReader reader;
    if (reader.Open(data, size)) {
      reader.CountFrames();
      images::GifFrame frame;
      for (int i = 0; i < 4 && reader.NextFrame(frame); ++i) {
      }
    }
  }
  return 0;
}
