// Folders of test files, made fresh for one test and removed with all they
// hold when it ends. Files can be shaped so that two of them differ in
// exactly one place: at the start, in the middle or at the end, on either
// side of the head that a scan compares first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ts::test {

// The head of a file: the bytes compared before the whole content.
constexpr size_t kHeadBytes = 16 * 1024;
// Sizes just below, at and just above the head.
constexpr size_t kAroundHead[3] = {kHeadBytes - 1, kHeadBytes, kHeadBytes + 1};

// The content of a test file: `size` bytes of `fill`, with `prefix` written
// over the start, `middle` over the centre and `suffix` over the end (each
// cut to what fits; later parts win where they overlap).
struct Body {
  size_t size = 0;
  std::string prefix, middle, suffix;
  char fill = '.';
  std::string Bytes() const;
};

class TempTree {
 public:
  // A new folder named after `tag` under `base` (the temp folder when empty;
  // the folder dialog reaches only folders under Z:\).
  explicit TempTree(const std::string& tag, const std::string& base = "");
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& root() const { return root_; }
  // The full path of `relative` (the root for "").
  std::string Path(const std::string& relative = "") const;
  std::string operator/(const std::string& relative) const { return Path(relative); }

  // Each maker creates missing parent folders, returns the full path and
  // fails the running test when the platform refuses.
  std::string Dir(const std::string& relative) const;
  std::string File(const std::string& relative, const std::string& content) const;
  std::string File(const std::string& relative, const Body& body) const { return File(relative, body.Bytes()); }
  // The same for names given in UTF-16, which the code page may not spell:
  // exact paths, made as named (a name ending in a dot keeps its dot).
  std::wstring Path(const std::wstring& relative) const;
  std::wstring operator/(const std::wstring& relative) const { return Path(relative); }
  std::wstring Dir(const std::wstring& relative) const;
  std::wstring File(const std::wstring& relative, const std::string& content) const;
  // A file of `size` zero bytes that the host keeps sparse.
  std::string Sparse(const std::string& relative, int64_t size) const;
  // Second paths to an existing file or folder: false where the platform
  // offers none (a test then skips that part).
  bool HardLink(const std::string& relative, const std::string& existing) const;
  bool SymLink(const std::string& relative, const std::string& target, bool folder) const;

  bool Exists(const std::string& relative) const;
  std::string Read(const std::string& relative) const;
  // Leaves the folder in place when the tree goes (a child process uses it).
  void Keep() { keep_ = true; }

 private:
  void MakeParents(const std::string& relative) const;
  void MakeParents(const std::wstring& relative) const;
  std::string root_;
  bool keep_ = false;
};

bool PathExists(const std::string& path);
// A whole file's bytes, "" when it cannot be read.
std::string ReadWhole(const std::string& path);
// The same for exact paths, taken as named.
bool PathExists(const std::wstring& path);
std::string ReadWhole(const std::wstring& path);
// Removes a folder and everything below it, whatever the names; links are
// removed, never followed. Read-only files go too.
void RemoveTree(const std::string& folder);

}  // namespace ts::test
