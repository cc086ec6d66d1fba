#include "app/scan/file_digest.h"

#include <windows.h>

#include <memory>
#include <vector>


namespace app {
namespace {

constexpr DWORD kPiece = 1u << 20;  // 1 MiB sequential reads

// Closes a file handle when it goes out of scope.
class FileHandle {
 public:
  explicit FileHandle(HANDLE h) : h_(h) {}
  ~FileHandle() {
    if (valid()) CloseHandle(h_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

std::string UpperPath(const std::string& path) {
  std::string key = path;
  CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

FileIdentity IdentityOf(HANDLE h, const std::string& path, uint64_t* size) {
  FileIdentity id;
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(h, &info) && (info.nFileIndexHigh | info.nFileIndexLow) != 0) {
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    if (size) *size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  } else {
    id.pathKey = UpperPath(path);
    LARGE_INTEGER li;
    if (size) *size = GetFileSizeEx(h, &li) ? static_cast<uint64_t>(li.QuadPart) : UINT64_MAX;
  }
  return id;
}

HANDLE OpenForReading(const std::string& path) {
  return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// One 1 MiB buffer per thread, reused for every file the thread reads.
uint8_t* PieceBuffer() {
  thread_local std::unique_ptr<uint8_t[]> buffer(new uint8_t[kPiece]);
  return buffer.get();
}

}  // namespace

size_t FileIdentityHash::operator()(const FileIdentity& id) const noexcept {
  if (!id.pathKey.empty()) return std::hash<std::string>()(id.pathKey);
  return std::hash<uint64_t>()(id.index * 1000003u ^ id.volume);
}

bool FolderIdentity(const std::string& path, FileIdentity* id) {
  FileHandle h(CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.valid()) return false;
  *id = IdentityOf(h.get(), path, nullptr);
  return true;
}

FileReader::~FileReader() {
  if (handle_) CloseHandle(handle_);
}

bool FileReader::Open(const std::string& path) {
  HANDLE h = OpenForReading(path);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  if (GetFileType(h) != FILE_TYPE_DISK) return false;
  identity_ = IdentityOf(h, path, &size_);
  if (size_ == UINT64_MAX) return false;
  read_ = 0;
  ts::Md5Init(&md5_);
  return true;
}

ReadOutcome FileReader::ReadUpTo(uint64_t end, const std::atomic<bool>* stop) {
  uint8_t* buffer = PieceBuffer();
  while (read_ < end) {
    if (stop && stop->load(std::memory_order_relaxed)) return ReadOutcome::Stopped;
    DWORD ask = static_cast<DWORD>(end - read_ < kPiece ? end - read_ : kPiece);
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, ask, &got, nullptr)) return ReadOutcome::Failed;
    if (got == 0) return ReadOutcome::Failed;  // the file shrank while being read
    ts::Md5Update(&md5_, buffer, got);
    read_ += got;
  }
  if (read_ == size_) {
    // A file that grew while being read has more to give: not the content
    // whose size was taken, so it is not grouped.
    DWORD extra = 0;
    uint8_t probe;
    if (!ReadFile(handle_, &probe, 1, &extra, nullptr) || extra != 0) return ReadOutcome::Failed;
  }
  return ReadOutcome::Done;
}

ReadOutcome FileReader::ReadHead(uint64_t bytes, const std::atomic<bool>* stop, uint8_t digest[16]) {
  ReadOutcome r = ReadUpTo(bytes < size_ ? bytes : size_, stop);
  if (r != ReadOutcome::Done) return r;
  ts::Md5State copy = md5_;  // the whole digest goes on from here
  ts::Md5Final(&copy, digest);
  return ReadOutcome::Done;
}

ReadOutcome FileReader::ReadRest(const std::atomic<bool>* stop, uint8_t digest[16]) {
  ReadOutcome r = ReadUpTo(size_, stop);
  if (r != ReadOutcome::Done) return r;
  ts::Md5State copy = md5_;
  ts::Md5Final(&copy, digest);
  return ReadOutcome::Done;
}

ReadOutcome DigestFile(const std::string& path, const std::atomic<bool>* stop, FileDigest* out, uint64_t maxBytes) {
  FileReader reader;
  if (!reader.Open(path)) return ReadOutcome::Failed;
  out->identity = reader.identity();
  out->size = reader.size();
  return maxBytes < reader.size() ? reader.ReadHead(maxBytes, stop, out->md5) : reader.ReadRest(stop, out->md5);
}

namespace {

bool CompareOpen(HANDLE ha, HANDLE hb, bool requireDistinct) {
  if (GetFileType(ha) != FILE_TYPE_DISK || GetFileType(hb) != FILE_TYPE_DISK) return false;
  uint64_t sa = 0, sb = 0;
  FileIdentity ia = IdentityOf(ha, "a", &sa);
  FileIdentity ib = IdentityOf(hb, "b", &sb);
  if (requireDistinct && (!ia.pathKey.empty() || !ib.pathKey.empty() || ia == ib)) return false;
  if (sa != sb || sa == UINT64_MAX) return false;
  std::vector<uint8_t> bufA(kPiece), bufB(kPiece);
  for (;;) {
    DWORD ga = 0, gb = 0;
    if (!ReadFile(ha, bufA.data(), kPiece, &ga, nullptr)) return false;
    if (!ReadFile(hb, bufB.data(), kPiece, &gb, nullptr)) return false;
    if (ga != gb) return false;
    if (ga == 0) return true;
    if (memcmp(bufA.data(), bufB.data(), ga) != 0) return false;
  }
}

}  // namespace

bool SameContent(const std::string& a, const std::string& b) {
  FileHandle ha(OpenForReading(a));
  FileHandle hb(OpenForReading(b));
  return ha.valid() && hb.valid() && CompareOpen(ha.get(), hb.get(), false);
}

bool IsDistinctCopy(const std::string& a, const std::string& b) {
  FileHandle ha(OpenForReading(a));
  FileHandle hb(OpenForReading(b));
  // Where the platform gives no identity for either file, sameness cannot
  // be ruled out: the file is kept.
  return ha.valid() && hb.valid() && CompareOpen(ha.get(), hb.get(), true);
}

}  // namespace app
