// Commands that reach the platform without windows: reading whole files,
// starting programs and the clock.
#include <windows.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "runtime/commands/commands.h"
#include "runtime/commands/datetime.h"
#include "tests/support/args.h"
#include "tests/support/temp_tree.h"

using namespace ts::test;

namespace {

// A fresh folder per test, removed afterwards.
class Fixture : public ::testing::Test {
 protected:
  std::string Write(const char* name, const std::string& content) { return tree_.File(name, content); }
  TempTree tree_{"cmd"};
};

ts::ResultRecord Read(const std::string& path) { return Call(ts::ReadWholeFile, {Text(path.c_str())}); }

using ReadWholeFileTest = Fixture;

TEST_F(ReadWholeFileTest, ReadsTheWholeContentIncludingZeroBytes) {
  std::string content("a\0b\r\n", 5);
  content += std::string(100000, 'z');
  const ts::ResultRecord r = Read(Write("data.bin", content));
  EXPECT_EQ(r.type, ts::tag::Bytes);
  EXPECT_EQ(TakeBytes(r), content);
}

TEST_F(ReadWholeFileTest, ReadsAFileWithAChineseName) {
  EXPECT_EQ(TakeBytes(Read(Write("文件.txt", "内容"))), "内容");
}

TEST_F(ReadWholeFileTest, GivesTheEmptyByteSetForEmptyMissingOrUnnamedFiles) {
  EXPECT_TRUE(IsNull(Read(Write("empty.bin", ""))));
  EXPECT_TRUE(IsNull(Read(tree_.Path("missing.bin"))));
  EXPECT_TRUE(IsNull(Read("")));
  EXPECT_TRUE(IsNull(Read(tree_.root())));  // a folder
}

TEST_F(ReadWholeFileTest, RefusesAFileSomeoneHoldsOpenForWriting) {
  const std::string path = Write("busy.bin", "content");
  HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(IsNull(Read(path)));
  CloseHandle(writer);
  EXPECT_EQ(TakeBytes(Read(path)), "content");
}

TEST_F(ReadWholeFileTest, SharesAFileWithOtherReaders) {
  const std::string path = Write("shared.bin", "content");
  HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_EQ(TakeBytes(Read(path)), "content");
  CloseHandle(reader);
}

TEST_F(ReadWholeFileTest, GivesNothingForAFileOfFourGigabytesAndTenBytes) {
  // Its low 32 bits say 10 bytes; a partial read would pass for the file.
  const std::string path = Write("huge.bin", "");
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER at;
  at.QuadPart = (1LL << 32) + 10;
  const bool grown = SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  if (!grown) GTEST_SKIP() << "the file system cannot hold a 4 GiB file here";
  EXPECT_TRUE(IsNull(Read(path)));
}

using RunProgramTest = Fixture;

TEST_F(RunProgramTest, WaitsForTheProgramWhenAsked) {
  const std::string marker = tree_.Path("marker.txt");
  const std::string line = "cmd /c echo done> \"" + marker + "\"";
  const ts::ResultRecord r = Call(ts::RunProgram, {Text(line.c_str()), Bool(true), Int(1)});
  EXPECT_EQ(r.type, ts::tag::Bool);
  EXPECT_EQ(r.v.i32, 1);
  // Waiting means the file is complete when the command returns.
  EXPECT_EQ(GetFileAttributesA(marker.c_str()) != INVALID_FILE_ATTRIBUTES, true);
}

TEST_F(RunProgramTest, AnswersFalseWhenTheProgramCannotStart) {
  EXPECT_EQ(Call(ts::RunProgram, {Text("no_such_program_ts.exe")}).v.i32, 0);
  EXPECT_EQ(Call(ts::RunProgram, {Text("")}).v.i32, 0);
}

TEST(CurrentTime, IsTheLocalTimeInWholeSeconds) {
  SYSTEMTIME before;
  GetLocalTime(&before);
  const ts::ResultRecord r = Call(ts::CurrentTime, {});
  EXPECT_EQ(r.type, ts::tag::DateTime);
  const ts::DateParts p = ts::SplitDate(r.v.f64);
  EXPECT_EQ(p.year, before.wYear);
  EXPECT_EQ(p.month, before.wMonth);
  const double seconds = (r.v.f64 - static_cast<int>(r.v.f64)) * 86400;
  EXPECT_NEAR(seconds, std::round(seconds), 1e-4);
  const double then = ts::MakeDate(before.wYear, before.wMonth, before.wDay, before.wHour, before.wMinute,
                                   before.wSecond);
  EXPECT_NEAR(r.v.f64, then, 3.0 / 86400);
}

}  // namespace
