// Fuzz entry: any bytes through recognition and decoding, and for GIF data
// through the frame walker and the animation loader and compositor, as the
// picture box plays it.
#include <cstddef>
#include <cstdint>

#include "images/gif.h"
#include "images/gif_canvas.h"
#include "images/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ts::images::DecodeData(data, size);
  if (ts::images::Recognise(data, size) == ts::images::kGif) {
    ts::images::GifReader reader;
    if (reader.Open(data, size)) {
      reader.CountFrames();
      ts::images::GifFrame frame;
      for (int i = 0; i < 4 && reader.NextFrame(frame); ++i) {
      }
    }
    if (auto movie = ts::images::OpenGifMovie(data, size, 0x00FFFFFF)) {
      ts::images::GifFrame frame;
      // Two passes over a short animation: disposal of the last frame meets
      // the first again.
      for (int i = 0; i < 8 && movie->frames.NextFrame(frame); ++i) movie->canvas.Apply(frame);
    }
  }
  return 0;
}
