// The three passes over a stored property record. Each record type lists its
// fields once, in stored order, in a member template `Fields(io)`; the same
// list then drives reading, writing and setting a field by name, so the
// three can never disagree about order or version guards.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "forms/byte_reader.h"

namespace ts::forms {

// Reads fields in stored order; stops silently after a failure (the reader
// is bounded, so later fields just keep their defaults and ok() is false).
class RecordReader {
 public:
  RecordReader(const uint8_t* data, size_t size) : r_(data, size) {}
  ByteReader& raw() { return r_; }
  uint32_t version = 0;

  bool since(uint32_t v) const { return version >= v; }
  void u32(const char*, uint32_t& f) { f = r_.u32(); }
  void i32(const char*, int32_t& f) { f = r_.i32(); }
  void u16(const char*, uint16_t& f) { f = r_.u16(); }
  void block(const char*, Bytes& f) { f = r_.block(); }
  void text(const char*, std::string& f) { f = r_.countedText(); }
  void list(const char*, std::vector<std::string>& f) { f = r_.textList(); }
  // A continuation marker: 0 ends the record here.
  bool marker(uint32_t& f) {
    f = r_.u32();
    return f != 0;
  }

 private:
  ByteReader r_;
};

class RecordWriter {
 public:
  ByteWriter& raw() { return w_; }
  uint32_t version = 0;

  bool since(uint32_t v) const { return version >= v; }
  void u32(const char*, const uint32_t& f) { w_.u32(f); }
  void i32(const char*, const int32_t& f) { w_.i32(f); }
  void u16(const char*, const uint16_t& f) { w_.u16(f); }
  void block(const char*, const Bytes& f) { w_.block(f); }
  void text(const char*, const std::string& f) { w_.countedText(f); }
  void list(const char*, const std::vector<std::string>& f) { w_.textList(f); }
  // Writers always write every field of their version, so the marker
  // announces the rest.
  bool marker(const uint32_t&) {
    w_.u32(1);
    return true;
  }

 private:
  ByteWriter w_;
};

// A value for a named field, as the form compiler supplies it.
using FieldValue = std::variant<int64_t, std::string, Bytes, std::vector<std::string>>;

// Sets the field with a given name; reports whether the name existed and the
// value had a fitting kind.
class RecordSetter {
 public:
  RecordSetter(const std::string& name, const FieldValue& value) : name_(name), value_(value) {}
  bool found() const { return found_; }
  bool fitted() const { return fitted_; }
  uint32_t version = 0;  // since() ignores it: every field is reachable by name

  bool since(uint32_t) const { return true; }
  void u32(const char* n, uint32_t& f) { number(n, f); }
  void i32(const char* n, int32_t& f) { number(n, f); }
  void u16(const char* n, uint16_t& f) { number(n, f); }
  void block(const char* n, Bytes& f) { assign<Bytes>(n, f); }
  void text(const char* n, std::string& f) { assign<std::string>(n, f); }
  void list(const char* n, std::vector<std::string>& f) { assign<std::vector<std::string>>(n, f); }
  bool marker(uint32_t&) { return true; }

 private:
  template <class T>
  void number(const char* n, T& f) {
    if (name_ != n) return;
    found_ = true;
    if (auto* v = std::get_if<int64_t>(&value_)) {
      f = static_cast<T>(*v);
      fitted_ = true;
    }
  }
  template <class T>
  void assign(const char* n, T& f) {
    if (name_ != n) return;
    found_ = true;
    if (auto* v = std::get_if<T>(&value_)) {
      f = *v;
      fitted_ = true;
    }
  }
  const std::string& name_;
  const FieldValue& value_;
  bool found_ = false;
  bool fitted_ = false;
};

// Reads a record of type R: defaults first; an empty record keeps them; a
// version above R::kMaxVersion fails. `consumed` gets the bytes read.
template <class R>
bool ReadRecord(const uint8_t* data, size_t size, R* out, size_t* consumed = nullptr) {
  *out = R{};
  if (consumed) *consumed = 0;
  if (size == 0) return true;
  RecordReader io(data, size);
  uint32_t version = io.raw().u32();
  if (!io.raw().ok() || version > R::kMaxVersion) return false;
  io.version = version;
  out->version = version;
  out->Fields(io);
  if (consumed) *consumed = io.raw().pos();
  return io.raw().ok();
}

// Writes R's fixed writing version with all of its fields.
template <class R>
Bytes WriteRecord(const R& rec) {
  RecordWriter io;
  io.version = R::kWriteVersion;
  io.raw().u32(R::kWriteVersion);
  const_cast<R&>(rec).Fields(io);  // the writer only reads the fields
  return io.raw().take();
}

template <class R>
bool SetRecordField(R& rec, const std::string& name, const FieldValue& value) {
  RecordSetter io(name, value);
  rec.Fields(io);
  return io.found() && io.fitted();
}

}  // namespace ts::forms
