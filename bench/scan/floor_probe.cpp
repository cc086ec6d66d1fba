// The least a size-filtered duplicate finder must do through the ANSI file
// API: list a folder tree, then open, read and MD5 every file that shares
// its size with another file, one by one, nothing else. Its time is the
// floor the real scan is held against.
//
//   bench_floor.exe <folder>
//   prints "floor seconds <s> list <s> read <s> files <n> read_files <n>
//           read_mb <m> groups <g>"
// Folders whose names start with "." are not entered, as in the real scan.
// The groups (same size and digest, two or more files) are counted after
// the clock stops, to check that every finder found the same sets.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "bench/clock.h"
#include "libs/digest/md5.h"

namespace {

struct Entry {
  std::string path;
  uint64_t size;
};

using bench::Now;

void List(const std::string& folder, std::vector<Entry>& out) {
  WIN32_FIND_DATAA fd;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return;
  std::vector<std::string> subfolders;
  do {
    const bool isFolder = (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder) {
      if (fd.cFileName[0] != '.') subfolders.push_back(folder + "\\" + fd.cFileName);
    } else {
      out.push_back({folder + "\\" + fd.cFileName, (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow});
    }
  } while (FindNextFileA(h, &fd));
  FindClose(h);
  for (const std::string& sub : subfolders) List(sub, out);
}

// Reads a whole file in 1 MiB pieces into the digest; false when it cannot
// be opened or read.
bool Digest(const std::string& path, std::vector<char>& buffer, std::pair<uint64_t, uint64_t>* key,
            uint64_t* bytes) {
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  ts::Md5State state;
  ts::Md5Init(&state);
  bool ok = true;
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(f, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    ts::Md5Update(&state, buffer.data(), got);
    *bytes += got;
  }
  CloseHandle(f);
  uint8_t digest[16];
  ts::Md5Final(&state, digest);
  uint64_t lo = 0, hi = 0;
  for (int i = 0; i < 8; ++i) {
    lo = (lo << 8) | digest[i];
    hi = (hi << 8) | digest[8 + i];
  }
  *key = {lo, hi};
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_floor <folder>\n");
    return 1;
  }
  std::string root = argv[1];
  while (root.size() > 3 && root.back() == '\\') root.pop_back();

  const double t0 = Now();
  std::vector<Entry> files;
  List(root, files);
  std::unordered_map<uint64_t, int> sizeCount;
  for (const Entry& e : files) ++sizeCount[e.size];
  const double t1 = Now();

  std::vector<char> buffer(1 << 20);
  // Per file read: its size and digest; unread files keep a zero digest key
  // and are left out of the count below.
  std::vector<std::pair<uint64_t, uint64_t>> keys(files.size());
  std::vector<bool> read(files.size(), false);
  uint64_t bytes = 0;
  int readFiles = 0, failed = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    if (sizeCount[files[i].size] < 2) continue;
    if (Digest(files[i].path, buffer, &keys[i], &bytes)) {
      read[i] = true;
      ++readFiles;
    } else {
      ++failed;
    }
  }
  const double t2 = Now();

  std::map<std::pair<uint64_t, std::pair<uint64_t, uint64_t>>, int> sets;
  for (size_t i = 0; i < files.size(); ++i) {
    if (read[i]) ++sets[{files[i].size, keys[i]}];
  }
  int groups = 0;
  for (const auto& s : sets) groups += s.second >= 2;
  std::printf("floor seconds %.3f list %.3f read %.3f files %zu read_files %d failed %d read_mb %.1f groups %d\n",
              t2 - t0, t1 - t0, t2 - t1, files.size(), readFiles, failed, static_cast<double>(bytes) / 1048576.0,
              groups);
  return 0;
}
