// The shell operation's tables and its effect through a registered file
// type, and the folder dialog driven from a helper thread.
#include "libs/shell/shell_library.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

ts::ArgRecord Int(int32_t v) {
  ts::ArgRecord a{};
  a.v.i32 = v;
  a.type = ts::tag::Int;
  return a;
}
ts::ArgRecord Text(const char* s) {
  ts::ArgRecord a{};
  ts::SetSlotPointer(a.v, *s ? s : ts::EmptyTextArg());
  a.type = ts::tag::Text;
  return a;
}

TEST(ShellOperation, ChoosesVerbsAndShowCommandsFromItsTables) {
  EXPECT_STREQ(ts::ShellVerb(1), "edit");
  EXPECT_STREQ(ts::ShellVerb(2), "explore");
  EXPECT_STREQ(ts::ShellVerb(3), "find");
  EXPECT_STREQ(ts::ShellVerb(4), "open");
  EXPECT_STREQ(ts::ShellVerb(5), "print");
  EXPECT_EQ(ts::ShellVerb(0), nullptr);
  EXPECT_EQ(ts::ShellVerb(9), nullptr);
  const int expected[] = {0, 1, 2, 3, 8, 6};  // as the show-mode table writes them
  for (int mode = 1; mode <= 6; ++mode) EXPECT_EQ(ts::ShellShowCommand(mode), expected[mode - 1]) << mode;
  EXPECT_EQ(ts::ShellShowCommand(5), 8);
  EXPECT_EQ(ts::ShellShowCommand(7), SW_SHOWNORMAL);
  EXPECT_EQ(ts::ShellShowCommand(0), SW_SHOWNORMAL);
}

// A file type whose "open" command writes a marker file, so that a test can
// see the shell carry out the operation.
class RecordedFileType : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    // One file and marker per test: a marker still held by the previous
    // test's command cannot leak into this one.
    const std::string base = std::string(temp) + "ts_shell_" + std::to_string(GetCurrentProcessId()) + "_" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    file_ = base + ".tsop";
    marker_ = base + ".marker";
    DeleteFileA(marker_.c_str());
    HANDLE h = CreateFileA(file_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
    SetKey(".tsop", "TsOpFile");
    SetKey("TsOpFile\\shell\\open\\command", "cmd /c echo opened> \"" + marker_ + "\"");
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tsop");
    DeleteFileA(file_.c_str());
    // The command may still hold the marker open for a moment.
    for (int i = 0; i < 100 && GetFileAttributesA(marker_.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) {
      if (!DeleteFileA(marker_.c_str())) Sleep(20);
    }
  }
  static void SetKey(const char* key, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  bool MarkerAppears(DWORD ms) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
      if (GetFileAttributesA(marker_.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
      Sleep(20);
    }
    return false;
  }
  void Run(std::vector<ts::ArgRecord> args) {
    ts::ResultRecord r{};
    ts::ShellOperation(&r, static_cast<int>(args.size()), args.data());
    EXPECT_EQ(r.type, ts::tag::None);
  }
  std::string file_, marker_;
};

TEST_F(RecordedFileType, OpensAFileWithItsAssociatedProgram) {
  Run({Int(4), Text(file_.c_str()), ts::ArgRecord{}, ts::ArgRecord{}, ts::ArgRecord{}});
  EXPECT_TRUE(MarkerAppears(10000));
}

TEST_F(RecordedFileType, UsesTheDefaultVerbForUnknownOperationNumbers) {
  Run({Int(9), Text(file_.c_str())});
  EXPECT_TRUE(MarkerAppears(10000));
}

TEST_F(RecordedFileType, FailsSilentlyForAMissingFile) {
  Run({Int(4), Text("Z:\\no\\such\\file.tsop"), Text(""), Text(""), Int(7)});
  EXPECT_FALSE(MarkerAppears(300));
}

}  // namespace
