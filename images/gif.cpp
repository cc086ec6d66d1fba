// GIF reader: block walker, colour tables, LZW with codes up to 12 bits and
// interlaced row order.
#include "images/gif.h"

#include <cstring>
#include <new>

#include "images/byte_reader.h"
#include "images/picture.h"

namespace ts::images {
namespace {

constexpr size_t kMinLength = 14;
constexpr int kMaxCodeBits = 12;
constexpr int kTableSize = 1 << kMaxCodeBits;

// Reads codes least significant bit first from the joined data sub-blocks;
// past the end it yields 0xFF bytes, as a truncated stream is read.
class CodeReader {
 public:
  explicit CodeReader(const std::vector<uint8_t>& data) : data_(data) {}
  // True once a code has needed bytes beyond the data. The decoder stops
  // there: decoding on from padding would let a few bytes fill a huge
  // frame with garbage, at great cost.
  bool Exhausted() const { return pos_ > data_.size(); }
  int Read(int bits) {
    while (count_ < bits) {
      const uint32_t byte = pos_ < data_.size() ? data_[pos_] : 0xFFu;
      ++pos_;
      buffer_ |= byte << count_;
      count_ += 8;
    }
    const int code = static_cast<int>(buffer_ & ((1u << bits) - 1));
    buffer_ >>= bits;
    count_ -= bits;
    return code;
  }

 private:
  const std::vector<uint8_t>& data_;
  size_t pos_ = 0;
  uint32_t buffer_ = 0;
  int count_ = 0;
};

// Places decoded pixels row by row, in interlaced order when asked, and
// drops anything past the frame.
class PixelSink {
 public:
  PixelSink(uint8_t* rows, uint32_t width, uint32_t height, bool interlaced)
      : rows_(rows), width_(width), height_(height), interlaced_(interlaced) {}
  bool Full() const { return row_ >= height_; }
  void Put(uint8_t index) {
    if (Full()) return;
    if (x_ == 0) line_ = rows_ + size_t{Stride8(width_)} * TargetRow();
    line_[x_] = index;
    if (++x_ == width_) {
      x_ = 0;
      ++row_;
    }
  }

 private:
  // Row of the picture that the n-th stored row belongs to: passes start at
  // rows 0, 4, 2, 1 and step 8, 8, 4, 2.
  uint32_t TargetRow() const {
    if (!interlaced_) return row_;
    static const uint32_t kStart[4] = {0, 4, 2, 1};
    static const uint32_t kStep[4] = {8, 8, 4, 2};
    uint32_t n = row_;
    for (int pass = 0; pass < 4; ++pass) {
      const uint32_t inPass = height_ > kStart[pass] ? (height_ - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
      if (n < inPass) return kStart[pass] + n * kStep[pass];
      n -= inPass;
    }
    return 0;  // not reached: row_ < height_ always falls in a pass
  }

  uint8_t* rows_;
  uint32_t width_, height_;
  bool interlaced_;
  uint32_t row_ = 0;
  uint32_t x_ = 0;
  uint8_t* line_ = nullptr;
};

// Decodes one LZW stream into the sink; false on a code that the table
// cannot hold.
bool DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, PixelSink& sink) {
  if (minCodeSize < 2 || minCodeSize > 11) return false;
  const int clear = 1 << minCodeSize;
  const int end = clear + 1;
  static thread_local uint16_t prefix[kTableSize];
  static thread_local uint8_t suffix[kTableSize];
  static thread_local uint8_t stack[kTableSize + 1];
  for (int i = 0; i < clear; ++i) suffix[i] = static_cast<uint8_t>(i);

  CodeReader reader(data);
  int next = clear + 2;
  int bits = minCodeSize + 1;
  int prev = -1;
  while (!sink.Full()) {
    const int code = reader.Read(bits);
    if (reader.Exhausted()) break;  // truncated: the rest of the frame stays index 0
    if (code == clear) {
      next = clear + 2;
      bits = minCodeSize + 1;
      prev = -1;
      continue;
    }
    if (code == end) break;
    if (prev < 0) {
      if (code >= clear) return false;
      sink.Put(static_cast<uint8_t>(code));
      prev = code;
      continue;
    }
    if (code > next) return false;
    // Unwind the chain of `code` (or of `prev` for the code being defined)
    // onto the stack; every link must point to a smaller code.
    int depth = 0;
    int c = code == next ? prev : code;
    while (c > end) {
      const int p = prefix[c];
      if (p >= c || depth >= kTableSize) return false;
      stack[depth++] = suffix[c];
      c = p;
    }
    if (c >= clear) return false;
    const uint8_t first = static_cast<uint8_t>(c);
    stack[depth++] = first;
    for (int i = depth - 1; i >= 0; --i) sink.Put(stack[i]);
    if (code == next) sink.Put(first);
    if (next < kTableSize) {
      prefix[next] = static_cast<uint16_t>(prev);
      suffix[next] = first;
      ++next;
      if (next == (1 << bits) && bits < kMaxCodeBits) ++bits;
    }
    prev = code;
  }
  return true;
}

uint32_t ToColourRef(const Rgb& c) {
  return uint32_t{c.r} | (uint32_t{c.g} << 8) | (uint32_t{c.b} << 16);
}

bool ReadTable(ByteReader& r, uint8_t packed, std::vector<Rgb>& table) {
  const size_t count = size_t{1} << ((packed & 7) + 1);
  const uint8_t* p = r.Take(count * 3);
  if (!p) return false;
  table.resize(count);
  for (size_t i = 0; i < count; ++i) table[i] = Rgb{p[i * 3], p[i * 3 + 1], p[i * 3 + 2]};
  return true;
}

}  // namespace

bool GifReader::Open(const uint8_t* bytes, size_t length) {
  try {
    return OpenBlocks(bytes, length);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool GifReader::OpenBlocks(const uint8_t* bytes, size_t length) {
  if (!bytes || length < kMinLength) return false;
  if (std::memcmp(bytes, "GIF8", 4) != 0 || (bytes[4] != '7' && bytes[4] != '9') || bytes[5] != 'a')
    return false;
  ByteReader r(bytes, length);
  r.Skip(6);
  screenWidth_ = r.U16();
  screenHeight_ = r.U16();
  // The logical screen is capped like every picture's size: an animation
  // makes a canvas of it.
  if (screenWidth_ > kMaxSide || screenHeight_ > kMaxSide) return false;
  const uint8_t packed = r.U8();
  backgroundIndex_ = r.U8();
  r.U8();  // pixel aspect ratio
  globalTable_.clear();
  if ((packed & 0x80) && !ReadTable(r, packed, globalTable_)) return false;
  if (!r.ok()) return false;
  blocks_.assign(r.here(), r.here() + r.remaining());
  cursor_ = 0;
  control_ = Control{};
  return true;
}

bool GifReader::SkipSubBlocks(size_t& cursor) const {
  for (;;) {
    if (cursor >= blocks_.size()) return false;
    const size_t size = blocks_[cursor++];
    if (size == 0) return true;
    if (size > blocks_.size() - cursor) return false;
    cursor += size;
  }
}

bool GifReader::ReadExtension(size_t& cursor, Control& control) const {
  ByteReader r(blocks_.data(), blocks_.size());
  r.Seek(cursor);
  const uint8_t label = r.U8();
  const uint8_t headSize = r.U8();
  if (!r.ok()) return false;
  if (label == 0xF9) {
    if (headSize < 4) return false;
    const uint8_t packed = r.U8();
    control.delay = r.U16();
    control.transparentIndex = r.U8();
    control.disposal = (packed & 0x1C) >> 2;
    control.transparent = (packed & 1) != 0;
    if (!r.Skip(headSize - 4u)) return false;
  } else if (label == 0x01 || label == 0xFE || label == 0xFF) {
    // Plain text and application blocks have a counted head; a comment has
    // only sub-blocks, so its first count byte is one of them.
    if (label == 0xFE) {
      r.Seek(r.pos() - 1);
    } else if (!r.Skip(headSize)) {
      return false;
    }
  } else {
    return false;
  }
  if (!r.ok()) return false;
  cursor = r.pos();
  return SkipSubBlocks(cursor);
}

bool GifReader::ReadFrame(size_t& cursor, const Control& control, GifFrame* frame) const {
  ByteReader r(blocks_.data(), blocks_.size());
  r.Seek(cursor);
  const uint32_t left = r.U16(), top = r.U16(), width = r.U16(), height = r.U16();
  const uint8_t packed = r.U8();
  std::vector<Rgb> localTable;
  if ((packed & 0x80) && !ReadTable(r, packed, localTable)) return false;
  const int minCodeSize = r.U8();
  if (!r.ok()) return false;

  // Join the data sub-blocks; a block running past the data is an error.
  std::vector<uint8_t> data;
  size_t at = r.pos();
  const size_t start = at;
  if (!SkipSubBlocks(at)) return false;
  cursor = at;
  if (!frame) return true;
  for (size_t p = start; p < at;) {
    const size_t size = blocks_[p++];
    data.insert(data.end(), blocks_.begin() + static_cast<ptrdiff_t>(p),
                blocks_.begin() + static_cast<ptrdiff_t>(p + size));
    p += size;
  }

  if (!SizeAllowed(width, height, 1)) return false;
  const std::vector<Rgb>& table = (packed & 0x80) ? localTable : globalTable_;
  if (control.transparent && control.transparentIndex >= table.size()) return false;
  frame->left = left;
  frame->top = top;
  frame->width = width;
  frame->height = height;
  frame->disposal = control.disposal;
  frame->transparent = control.transparent;
  frame->transparentIndex = control.transparentIndex;
  frame->transparentColour = control.transparent ? ToColourRef(table[control.transparentIndex]) : 0;
  frame->delay = control.delay;
  frame->interlaced = (packed & 0x40) != 0;
  MakeDib8(frame->dib, width, height, table.data(), table.size());
  PixelSink sink(frame->dib.data() + kDibPixelOffset, width, height, frame->interlaced);
  return DecodeLzw(data, minCodeSize, sink);
}

GifReader::Step GifReader::Walk(size_t& cursor, Control& control, GifFrame* frame) const {
  // Running off the end without a trailer is read as the end of the pass.
  if (cursor >= blocks_.size()) return Step::kWrap;
  const uint8_t introducer = blocks_[cursor++];
  switch (introducer) {
    case 0x21: return ReadExtension(cursor, control) ? Step::kSkipped : Step::kError;
    case 0x2C: return ReadFrame(cursor, control, frame) ? Step::kFrame : Step::kError;
    case 0x3B:
    case 0x00: return Step::kWrap;
    default: return Step::kError;
  }
}

bool GifReader::NextFrame(GifFrame& frame) {
  try {
    return WalkToFrame(frame);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

bool GifReader::WalkToFrame(GifFrame& frame) {
  bool wrappedWithoutFrame = false;
  for (;;) {
    switch (Walk(cursor_, control_, &frame)) {
      case Step::kFrame:
        control_ = Control{};  // graphic control applies to one frame only
        return true;
      case Step::kSkipped: break;
      case Step::kError: return false;
      case Step::kWrap:
        // A second wrap with no frame between means the stream has none.
        if (wrappedWithoutFrame || cursor_ == 0) return false;
        wrappedWithoutFrame = true;
        cursor_ = 0;
        control_ = Control{};
        break;
    }
  }
}

int GifReader::CountFrames() const {
  size_t cursor = 0;
  Control control;
  int frames = 0;
  for (;;) {
    switch (Walk(cursor, control, nullptr)) {
      case Step::kFrame: ++frames; break;
      case Step::kSkipped: break;
      case Step::kError: return -1;
      case Step::kWrap: return frames;
    }
  }
}

std::optional<Picture> DecodeGifStill(const uint8_t* bytes, size_t length) {
  GifReader reader;
  GifFrame frame;
  if (!reader.Open(bytes, length) || !reader.NextFrame(frame)) return std::nullopt;
  Picture pic;
  pic.kind = kGif;
  pic.width = frame.width;
  pic.height = frame.height;
  pic.data = std::move(frame.dib);
  return pic;
}

}  // namespace ts::images
