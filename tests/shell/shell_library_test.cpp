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

#include "tests/support/args.h"
#include "tests/support/temp_tree.h"
#include "tests/support/wait.h"

namespace {

using ts::test::Int;
using ts::test::Omitted;
using ts::test::Text;

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
    // One file and marker per test: a marker still held by the previous
    // test's command cannot leak into this one.
    file_ = tree_.File("operand.tsop", "");
    marker_ = tree_.Path("marker");
    SetKey(".tsop", "TsOpFile");
    SetKey("TsOpFile\\shell\\open\\command", "cmd /c echo opened> \"" + marker_ + "\"");
  }
  void TearDown() override {
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell\\open\\command");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell\\open");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile\\shell");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, "TsOpFile");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".tsop");
    // The command ends some time after it wrote the marker; the next test
    // must not see it running.
    EXPECT_TRUE(ts::test::WaitFor([] { return !ts::test::ChildRunning(); }, 10000));
  }
  static void SetKey(const char* key, const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr), ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
  }
  bool MarkerAppears(DWORD ms) const {
    return ts::test::WaitFor([&] { return ts::test::PathExists(marker_); }, ms);
  }
  // Whether the command was started: once the operation has returned, it
  // runs or it has written the marker.
  bool Started() const { return ts::test::ChildRunning() || ts::test::PathExists(marker_); }
  void Run(std::vector<ts::ArgRecord> args) {
    ts::ResultRecord r{};
    ts::ShellOperation(&r, static_cast<int>(args.size()), args.data());
    EXPECT_EQ(r.type, ts::tag::None);
  }
  ts::test::TempTree tree_{"shell"};
  std::string file_, marker_;
};

TEST_F(RecordedFileType, OpensAFileWithItsAssociatedProgram) {
  Run({Int(4), Text(file_.c_str()), Omitted(), Omitted(), Omitted()});
  EXPECT_TRUE(Started()) << "the start is visible once the operation returned";
  EXPECT_TRUE(MarkerAppears(10000));
}

TEST_F(RecordedFileType, UsesTheDefaultVerbForUnknownOperationNumbers) {
  Run({Int(9), Text(file_.c_str())});
  EXPECT_TRUE(MarkerAppears(10000));
}

TEST_F(RecordedFileType, FailsSilentlyForAMissingFile) {
  Run({Int(4), Text("Z:\\no\\such\\file.tsop"), Text(""), Text(""), Int(7)});
  EXPECT_FALSE(Started());
}

}  // namespace
