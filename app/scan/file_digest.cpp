#include "app/scan/file_digest.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/scan/path_rules.h"

namespace ts::app {
namespace {

constexpr DWORD kPiece = 1u << 20;  // 1 MiB sequential reads, at most

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

std::wstring UpperPath(const std::wstring& path) {
  std::wstring key = path;
  CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

FileIdentity IdentityOf(HANDLE h, const std::wstring& path, uint64_t* size) {
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

// Opens any file or folder for its attributes only: no access is asked and
// nobody is locked out, so this works while others hold the object open.
HANDLE OpenForAttributes(const std::wstring& path) {
  return CreateFileW(VerbatimPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

HANDLE OpenForReading(const std::wstring& path) {
  return CreateFileW(VerbatimPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// The calling thread's read buffers. Only a plain pointer is kept per
// thread: objects with destructors kept per thread are destroyed after
// their storage is gone on threads this toolchain starts for the library.
thread_local ReadPieces* t_pieces = nullptr;

ReadPieces& Pieces() {
  if (t_pieces) return *t_pieces;
  // A thread that reads without a pool's buffers (the clean's checks,
  // tests): 1 MiB pieces of its own, made once and kept.
  thread_local ReadPieces* own = nullptr;
  if (!own) own = new ReadPieces(kPiece);
  return *own;
}

bool SeekTo(HANDLE h, uint64_t offset) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(h, at, nullptr, FILE_BEGIN) != 0;
}

}  // namespace

ReadPieces::ReadPieces(uint32_t bytes)
    : bytes_(bytes == 0 || bytes > kPiece ? kPiece : bytes), outer_(t_pieces) {
  t_pieces = this;
}

ReadPieces::~ReadPieces() {
  if (t_pieces == this) t_pieces = outer_;
}

uint8_t* ReadPieces::mine() {
  if (!mine_) mine_.reset(new uint8_t[bytes_]);
  return mine_.get();
}

uint8_t* ReadPieces::theirs() {
  if (!theirs_) theirs_.reset(new uint8_t[bytes_]);
  return theirs_.get();
}

size_t FileIdentityHash::operator()(const FileIdentity& id) const noexcept {
  if (!id.pathKey.empty()) return std::hash<std::wstring>()(id.pathKey);
  return std::hash<uint64_t>()(id.index * 1000003u ^ id.volume);
}

bool PathIdentity(const std::wstring& path, FileIdentity* id) {
  FileHandle h(OpenForAttributes(path));
  if (!h.valid()) return false;
  *id = IdentityOf(h.get(), path, nullptr);
  return true;
}

uint64_t QuickIndex(void* handle) {
  // The file-system driver's internal index, as the native API gives it;
  // looked up once, since older systems may lack it.
  using QueryFn = LONG(WINAPI*)(HANDLE, void* status, void* info, ULONG length, int infoClass);
  static const QueryFn query = [] {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll ? reinterpret_cast<QueryFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryInformationFile")))
                 : nullptr;
  }();
  if (!query) return 0;
  constexpr int kInternalInformation = 6;
  uintptr_t status[2] = {};
  LARGE_INTEGER index{};
  if (query(handle, status, &index, sizeof index, kInternalInformation) < 0) return 0;
  return static_cast<uint64_t>(index.QuadPart);
}

namespace {

// The identity of an object known by its path; should it be gone, only its
// path stands for it.
FileIdentity IdentityByPath(const std::wstring& path) {
  FileIdentity id;
  if (!PathIdentity(path, &id)) {
    id = FileIdentity{};
    id.pathKey = UpperPath(path);
  }
  return id;
}

}  // namespace

bool IdentitySet::Insert(void* handle, uint64_t quickIndex, uint32_t object) {
  auto fullOf = [&] {
    if (!handle) return IdentityByPath(pathOf_(object));
    uint64_t ignored = 0;
    return IdentityOf(handle, pathOf_(object), &ignored);
  };
  if (quickIndex == 0) return unindexed_.insert(fullOf()).second;
  const uint32_t* first = first_.Find(quickIndex);
  if (!first) {
    first_.Insert(quickIndex, object);
    return true;
  }
  const FileIdentity mine = fullOf();
  std::vector<FileIdentity>& seen = shared_[quickIndex];
  if (seen.empty()) {
    // The first object of this index is looked up again through its path.
    // Should it be gone, only its path stands for it.
    seen.push_back(IdentityByPath(pathOf_(*first)));
  }
  for (const FileIdentity& id : seen) {
    if (id == mine) return false;
  }
  seen.push_back(mine);
  return true;
}

bool IdentitySet::InsertPath(uint32_t object) {
  const std::wstring path = pathOf_(object);
  FileHandle h(OpenForAttributes(path));
  if (!h.valid()) {
    FileIdentity byPath;
    byPath.pathKey = UpperPath(path);
    return unindexed_.insert(byPath).second;
  }
  return Insert(h.get(), QuickIndex(h.get()), object);
}

void IdentitySet::Clear() {
  // Swapped with empty ones so that their memory goes too.
  first_.Clear();
  std::unordered_map<uint64_t, std::vector<FileIdentity>>().swap(shared_);
  std::unordered_set<FileIdentity, FileIdentityHash>().swap(unindexed_);
}

FileReader::~FileReader() {
  if (handle_) CloseHandle(handle_);
}

bool FileReader::Open(const std::wstring& path) { return OpenAs(path, nullptr); }

bool FileReader::Open(const std::wstring& path, uint64_t listedSize) { return OpenAs(path, &listedSize); }

bool FileReader::OpenAs(const std::wstring& path, const uint64_t* listedSize) {
  // Folders are refused by the open itself (no backup semantics asked).
  HANDLE h = OpenForReading(path);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = h;
  path_ = path;
  if (listedSize) {
    // The size the listing gave stands until reading proves otherwise: a
    // file that has since grown or shrunk fails its read, as a size check
    // here would have refused it, and the query is saved.
    size_ = *listedSize;
  } else {
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof standard) || standard.Directory) {
      return false;
    }
    size_ = static_cast<uint64_t>(standard.EndOfFile.QuadPart);
  }
  // Only disk files are read. A device or pipe that a directory listing can
  // show (Wine lists Unix ones) has no length, so the type is asked of empty
  // files only: asking costs as much as opening the file under Wine.
  if (size_ == 0 && GetFileType(h) != FILE_TYPE_DISK) return false;
  quickIndex_ = QuickIndex(h);
  read_ = 0;
  ts::Md5Init(&md5_);
  return true;
}

const FileIdentity& FileReader::identity() {
  if (!identityRead_ && handle_) {
    uint64_t ignored = 0;
    identity_ = IdentityOf(handle_, path_, &ignored);
    identityRead_ = true;
  }
  return identity_;
}

ReadOutcome FileReader::ReadUpTo(uint64_t end, const std::atomic<bool>* stop) {
  if (broken_ || !digestValid_) return ReadOutcome::Failed;
  ReadPieces& pieces = Pieces();
  uint8_t* buffer = pieces.mine();
  const DWORD piece = pieces.bytes();
  bool endSeen = false;  // a short read past the size showed the file ends there
  while (read_ < end) {
    if (stop && stop->load(std::memory_order_relaxed)) return ReadOutcome::Stopped;
    const uint64_t left = end - read_;
    // The last piece of the file asks for one byte more than it holds: a
    // file that grew since its size was taken gives that byte, and one that
    // did not answers short, which ends the file without another read.
    const bool last = end == size_ && left < piece;
    const DWORD ask = static_cast<DWORD>(last ? left + 1 : (left < piece ? left : piece));
    DWORD got = 0;
    if (!ReadFile(handle_, buffer, ask, &got, nullptr)) return ReadOutcome::Failed;
    if (got == 0) return ReadOutcome::Failed;     // the file shrank while being read
    if (got > left) return ReadOutcome::Failed;   // it grew
    ts::Md5Update(&md5_, buffer, got);
    read_ += got;
    endSeen = last && got == left;
  }
  if (read_ == size_ && !endSeen) {
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

FileReader::Compare FileReader::CompareRest(const std::wstring& other, const std::atomic<bool>* stop) {
  if (broken_) return Compare::Differs;
  FileHandle theirs(OpenForReading(other));
  FILE_STANDARD_INFO standard{};
  if (!theirs.valid() || !GetFileInformationByHandleEx(theirs.get(), FileStandardInfo, &standard, sizeof standard) ||
      standard.Directory || static_cast<uint64_t>(standard.EndOfFile.QuadPart) != size_ || !SeekTo(theirs.get(), read_)) {
    return Compare::Differs;
  }
  ReadPieces& pieces = Pieces();
  uint8_t* mine = pieces.mine();
  uint8_t* theirBytes = pieces.theirs();
  const DWORD piece = pieces.bytes();
  uint64_t at = read_;
  bool same = true;
  bool endSeen = false;
  while (same && at < size_) {
    if (stop && stop->load(std::memory_order_relaxed)) return Compare::Stopped;
    const uint64_t left = size_ - at;
    // The last piece asks one byte more of both: a file that grew answers
    // with it, and a short answer shows both end here.
    const bool last = left < piece;
    const DWORD ask = static_cast<DWORD>(last ? left + 1 : piece);
    DWORD a = 0, b = 0;
    same = ReadFile(handle_, mine, ask, &a, nullptr) && ReadFile(theirs.get(), theirBytes, ask, &b, nullptr) &&
           a == b && a != 0 && a <= left && (a == ask || a == left) && memcmp(mine, theirBytes, a) == 0;
    at += a;
    endSeen = last && a == left;
  }
  if (same && !endSeen) {
    DWORD a = 0, b = 0;
    uint8_t probe[2];
    same = ReadFile(handle_, &probe[0], 1, &a, nullptr) && ReadFile(theirs.get(), &probe[1], 1, &b, nullptr) &&
           a == 0 && b == 0;
  }
  if (same) {
    read_ = size_;
    digestValid_ = false;
    return Compare::Equal;
  }
  // Reading goes on from where it stood, digesting; a reader that cannot
  // get back there reads nothing more.
  if (!SeekTo(handle_, read_)) broken_ = true;
  return Compare::Differs;
}

ReadOutcome DigestFile(const std::wstring& path, const std::atomic<bool>* stop, FileDigest* out, uint64_t maxBytes) {
  FileReader reader;
  if (!reader.Open(path)) return ReadOutcome::Failed;
  out->identity = reader.identity();
  out->size = reader.size();
  return maxBytes < reader.size() ? reader.ReadHead(maxBytes, stop, out->md5) : reader.ReadRest(stop, out->md5);
}

namespace {

bool CompareOpen(HANDLE ha, HANDLE hb, bool requireDistinct, const std::function<void()>& betweenPieces) {
  if (GetFileType(ha) != FILE_TYPE_DISK || GetFileType(hb) != FILE_TYPE_DISK) return false;
  uint64_t sa = 0, sb = 0;
  FileIdentity ia = IdentityOf(ha, L"a", &sa);
  FileIdentity ib = IdentityOf(hb, L"b", &sb);
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
    if (betweenPieces) betweenPieces();
  }
}

}  // namespace

bool SameContent(const std::wstring& a, const std::wstring& b) {
  FileHandle ha(OpenForReading(a));
  FileHandle hb(OpenForReading(b));
  return ha.valid() && hb.valid() && CompareOpen(ha.get(), hb.get(), false, nullptr);
}

bool IsDistinctCopy(const std::wstring& a, const std::wstring& b, const std::function<void()>& betweenPieces) {
  FileHandle ha(OpenForReading(a));
  FileHandle hb(OpenForReading(b));
  // Where the platform gives no identity for either file, sameness cannot
  // be ruled out: the file is kept.
  return ha.valid() && hb.valid() && CompareOpen(ha.get(), hb.get(), true, betweenPieces);
}

}  // namespace ts::app
