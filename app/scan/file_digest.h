// Reading a file for the scan: identity, size and the MD5 digest of its
// whole content, computed while reading in large sequential pieces (the
// file is never held whole in memory, and any size works, 4 GiB and beyond).
// Files are named by their exact paths and opened verbatim (see
// VerbatimPath), so a call reaches exactly the file named.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "app/scan/flat_table.h"
#include "libs/digest/md5.h"

namespace ts::app {

// The identity of a file or folder: equal identities are the same object on
// disk, whatever path reached it (links, junctions, another drive letter).
// When the platform cannot give one, the upper-cased full path stands in.
struct FileIdentity {
  uint32_t volume = 0;
  uint64_t index = 0;
  std::wstring pathKey;  // used only when the volume and index are unknown

  bool operator==(const FileIdentity&) const = default;
};

struct FileIdentityHash {
  size_t operator()(const FileIdentity& id) const noexcept;
};

// The identity of an existing file or folder, opened for its attributes
// only (no access asked, nobody locked out). false when it cannot be opened.
bool PathIdentity(const std::wstring& path, FileIdentity* id);

// The platform's index of an open file or folder without its volume: 0 when
// the platform gives none. Cheap where the volume is not: under Wine the
// volume serial is a round trip to a service process (about 0.2 ms, more
// than opening and reading a small file), the index is one fstat.
uint64_t QuickIndex(void* handle);

// The files (or folders) a scan has taken, each once whatever path reached
// it. Objects are told apart by their index alone while indexes differ, which
// is nearly always; only when an index comes again are the full identities
// (volume and index) of the objects sharing it read, since equal indexes on
// different volumes are different objects. Objects are named by the
// caller's numbers; `pathOf` gives an earlier object's exact path again.
class IdentitySet {
 public:
  explicit IdentitySet(std::function<std::wstring(uint32_t)> pathOf) : pathOf_(std::move(pathOf)) {}

  // True the first time the object is offered. `handle` is the object open
  // now, or null when it is no longer open (its full identity, read only on
  // a shared index, is then looked up through its path).
  bool Insert(void* handle, uint64_t quickIndex, uint32_t object);
  // The same for an object known by its path only (a folder): it is opened
  // for its attributes; one that cannot be opened stands for its path.
  bool InsertPath(uint32_t object);
  void Clear();

 private:
  std::function<std::wstring(uint32_t)> pathOf_;
  KeyedTable first_;  // index → the first object seen with it
  // Full identities of the objects of indexes that came more than once.
  std::unordered_map<uint64_t, std::vector<FileIdentity>> shared_;
  // Objects with no index: their full identity (or path) stands alone.
  std::unordered_set<FileIdentity, FileIdentityHash> unindexed_;
};

// The read buffers of the calling thread while this lives: one piece for the
// file read and one for the file compared with it, each of at most `bytes`
// (1 MiB, the largest), made on first use. Without one, a thread reads in
// 1 MiB pieces of its own. Several readers take smaller pieces, so that the
// buffers of all reads in flight stay within a few MiB.
class ReadPieces {
 public:
  explicit ReadPieces(uint32_t bytes);
  ~ReadPieces();
  ReadPieces(const ReadPieces&) = delete;
  ReadPieces& operator=(const ReadPieces&) = delete;

  uint32_t bytes() const { return bytes_; }
  uint8_t* mine();
  uint8_t* theirs();

 private:
  uint32_t bytes_;
  std::unique_ptr<uint8_t[]> mine_, theirs_;
  ReadPieces* outer_;
};

enum class ReadOutcome {
  Done,     // the whole file was read; digest, size and identity are valid
  Failed,   // not a regular disk file, cannot be opened or read to its end,
            // or its size changed while it was read: never grouped
  Stopped,  // the stop request was seen between pieces
};

struct FileDigest {
  uint8_t md5[16] = {};
  uint64_t size = 0;
  FileIdentity identity;
};

// One file read from its start in large sequential pieces, digesting as it
// goes: first a head (the first bytes, for a cheap comparison among files of
// the same size), then, when asked, the rest, continuing the same digest so
// that the file is opened and read only once.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  // Opens with writers denied; false unless it is a regular disk file.
  // The size is valid after a successful open.
  bool Open(const std::wstring& path);
  // The same for a file whose size a directory listing gave: that size is
  // taken as the file's, and reading fails should the file differ.
  bool Open(const std::wstring& path, uint64_t listedSize);
  // The full identity, read on first use.
  const FileIdentity& identity();
  // The index alone (see QuickIndex).
  uint64_t quickIndex() const { return quickIndex_; }
  void* handle() const { return handle_; }
  uint64_t size() const { return size_; }
  // Reads up to `bytes` from the start; the MD5 of what was read so far goes
  // to `digest`. Done when the whole file fits in the head.
  ReadOutcome ReadHead(uint64_t bytes, const std::atomic<bool>* stop, uint8_t digest[16]);
  // Reads the rest: the MD5 of the whole file. Failed when the file ended
  // early or grew while it was read.
  ReadOutcome ReadRest(const std::atomic<bool>* stop, uint8_t digest[16]);
  // True when everything has been read.
  bool complete() const { return read_ == size_; }

  // Compares what is left of this file, from where reading stands, with the
  // same bytes of the file at `other`, which must have this file's size.
  // Equal: the rest is the same (it is then consumed without digesting, so
  // no digest of this reader is valid any more). Differs: some byte, the
  // size or the other file's availability differs, and reading stands where
  // it stood. Comparing bytes costs a fraction of digesting them.
  enum class Compare { Equal, Differs, Stopped };
  Compare CompareRest(const std::wstring& other, const std::atomic<bool>* stop);

 private:
  bool OpenAs(const std::wstring& path, const uint64_t* listedSize);
  ReadOutcome ReadUpTo(uint64_t end, const std::atomic<bool>* stop);
  void* handle_ = nullptr;
  std::wstring path_;
  FileIdentity identity_;
  bool identityRead_ = false;
  uint64_t quickIndex_ = 0;
  uint64_t size_ = 0;
  uint64_t read_ = 0;
  bool digestValid_ = true;  // false once bytes went by undigested
  bool broken_ = false;      // the read position was lost
  ts::Md5State md5_{};
};

// Opens the file for reading with writers denied, checks it is a disk file,
// takes its identity and size, and digests it piece by piece. `stop` is
// polled between pieces. `maxBytes` stops reading after that many bytes
// (the digest then covers only that prefix); the default reads to the end.
ReadOutcome DigestFile(const std::wstring& path, const std::atomic<bool>* stop, FileDigest* out,
                       uint64_t maxBytes = UINT64_MAX);

// True when the two files have the same size and the same bytes right now.
// Used before removing a file: only a byte-for-byte copy that still exists
// lets a checked file go.
bool SameContent(const std::wstring& a, const std::wstring& b);
// True when `b` is another file than `a` (another identity, not the same
// file through a second path) and holds the same bytes right now.
// `betweenPieces`, when given, runs after each piece compared.
bool IsDistinctCopy(const std::wstring& a, const std::wstring& b,
                    const std::function<void()>& betweenPieces = nullptr);

}  // namespace ts::app
