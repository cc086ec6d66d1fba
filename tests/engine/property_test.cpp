// Property services: common properties on the record and the native
// window, conversions by type code, fonts, recreation and calls from a
// worker thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "forms/engine/engine.h"
#include "runtime/values.h"
#include "tests/engine/fixture.h"

namespace engtest {
namespace {

using ts::forms::GetUnitProperty;
using ts::forms::SetUnitProperty;

uint64_t Ptr(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }

// Reads a text property into a string and frees the block.
std::string ReadText(uint32_t form, uint32_t unit, int32_t property, int32_t member = -1) {
  char* t = reinterpret_cast<char*>(static_cast<uintptr_t>(GetUnitProperty(form, unit, property, member)));
  std::string s = t ? t : "";
  ts::Free(t);
  return s;
}

int32_t ReadInt(uint32_t form, uint32_t unit, int32_t property) {
  return static_cast<int32_t>(GetUnitProperty(form, unit, property, -1));
}

class Properties : public ::testing::Test {
 protected:
  void SetUp() override { Log().clear(); }
  void TearDown() override { Unload(kPlainForm); }
  const uint32_t c1 = ControlOf(kPlainForm, 1);
};

TEST_F(Properties, SizesAndPositionsAreClampedAndStored) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  SetUnitProperty(kPlainForm, c1, 2, -1, 40000);
  SetUnitProperty(kPlainForm, c1, 3, -1, static_cast<uint32_t>(-5));
  SetUnitProperty(kPlainForm, c1, 0, -1, static_cast<uint32_t>(-40000));
  EXPECT_EQ(ReadInt(kPlainForm, c1, 2), 32627);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 3), 0);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 0), -32627);
  Unload(kPlainForm);
  // Without a native window the stored values answer.
  EXPECT_EQ(ReadInt(kPlainForm, c1, 2), 32627);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 3), 0);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 0), -32627);
  for (auto [p, v] : {std::pair{0, 10}, {2, 80}, {3, 20}}) SetUnitProperty(kPlainForm, c1, p, -1, static_cast<uint32_t>(v));
}

TEST_F(Properties, WritesWhileNoWindowExistsShapeTheNextLoad) {
  SetUnitProperty(kPlainForm, c1, 1, -1, 33);
  SetUnitProperty(kPlainForm, c1, 5, -1, 0);
  SetUnitProperty(kPlainForm, c1, 6, -1, 1);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 1), 33);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 5), 0);
  EXPECT_EQ(ReadInt(kPlainForm, c1, 6), 1);
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  HWND c = ControlHandle(kPlainForm, 1);
  EXPECT_FALSE(::IsWindowVisible(c));
  EXPECT_FALSE(::IsWindowEnabled(c));
  RECT r;
  ::GetWindowRect(c, &r);
  ::MapWindowPoints(nullptr, WindowOf(kPlainForm), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.top, 33);
  SetUnitProperty(kPlainForm, c1, 5, -1, 1);
  SetUnitProperty(kPlainForm, c1, 6, -1, 0);
  SetUnitProperty(kPlainForm, c1, 1, -1, 10);
  EXPECT_TRUE(::IsWindowVisible(c));
  EXPECT_TRUE(::IsWindowEnabled(c));
}

TEST_F(Properties, TagAndTextPropertiesAreCopiedInAndOut) {
  char tag[] = "标签文字";
  SetUnitProperty(kPlainForm, c1, 4, -1, Ptr(tag));
  tag[0] = 'x';
  EXPECT_EQ(ReadText(kPlainForm, c1, 4), "标签文字");
  SetUnitProperty(kPlainForm, c1, 4, -1, 0);  // null is the empty text
  EXPECT_EQ(ReadText(kPlainForm, c1, 4), "");

  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  SetUnitProperty(kPlainForm, c1, 8, -1, Ptr("你好"));
  char shown[32] = {};
  ::GetWindowTextA(ControlHandle(kPlainForm, 1), shown, sizeof shown);
  EXPECT_STREQ(shown, "你好");
  EXPECT_EQ(ReadText(kPlainForm, c1, 8), "你好");
  SetUnitProperty(kPlainForm, 0, 8, -1, Ptr("新标题"));
  ::GetWindowTextA(WindowOf(kPlainForm), shown, sizeof shown);
  EXPECT_STREQ(shown, "新标题");
  SetUnitProperty(kPlainForm, 0, 8, -1, Ptr("普通"));
}

TEST_F(Properties, CursorValuesKeepTheirTableIndex) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  auto cursorOf = [&](const std::vector<uint8_t>& value) {
    uint8_t* set = ts::MakeByteSet(value.data(), static_cast<uint32_t>(value.size()));
    SetUnitProperty(kPlainForm, c1, 7, -1, Ptr(set));
    ts::Free(set);
    auto* back = reinterpret_cast<uint8_t*>(static_cast<uintptr_t>(GetUnitProperty(kPlainForm, c1, 7, -1)));
    std::vector<uint8_t> out(ts::ByteSetData(back), ts::ByteSetData(back) + ts::ByteSetLength(back));
    ts::Free(back);
    return out;
  };
  EXPECT_EQ(cursorOf({3, 0, 0, 0}), (std::vector<uint8_t>{3, 0, 0, 0}));
  // A platform cursor id (IDC_IBEAM, 32513) reads back as its table index.
  EXPECT_EQ(cursorOf({0x01, 0x7F, 0, 0}), (std::vector<uint8_t>{3, 0, 0, 0}));
  POINT inside{5, 5};
  ::ClientToScreen(ControlHandle(kPlainForm, 1), &inside);
  EXPECT_EQ(::SendMessageA(ControlHandle(kPlainForm, 1), WM_SETCURSOR,
                           reinterpret_cast<WPARAM>(ControlHandle(kPlainForm, 1)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_TRUE(cursorOf({}).empty());
}

TEST_F(Properties, AControlThatAsksIsRecreatedInPlace) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  SetUnitProperty(kPlainForm, c1, 8, -1, Ptr("保留"));
  HWND before = ControlHandle(kPlainForm, 1);
  ::SetFocus(before);
  RECT r0;
  ::GetWindowRect(before, &r0);
  Log().clear();
  SetUnitProperty(kPlainForm, c1, 9, -1, 1);
  HWND after = ControlHandle(kPlainForm, 1);
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_FALSE(::IsWindow(before));
  EXPECT_EQ(::GetDlgCtrlID(after), 100);
  RECT r1;
  ::GetWindowRect(after, &r1);
  EXPECT_TRUE(::EqualRect(&r0, &r1));
  EXPECT_TRUE(::IsWindowVisible(after));
  EXPECT_EQ(::GetFocus(), after);
  EXPECT_EQ(ReadText(kPlainForm, c1, 8), "保留");
  EXPECT_EQ(LogOf({"U*", "S*"}), (std::vector<std::string>{"U1", "S1"}));
  EXPECT_TRUE(LogOf({"C1:-7", "C1:-8"}).empty());  // no events while recreating
}

TEST_F(Properties, FontFaceNamesOf1To31BytesAreKeptOthersBecomeSongTi) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  const std::string face31(31, 'a'), face32(32, 'b');
  SetUnitProperty(kPlainForm, c1, 10, 6, Ptr(face31.c_str()));
  EXPECT_EQ(ReadText(kPlainForm, c1, 10, 6), face31);
  SetUnitProperty(kPlainForm, c1, 10, 6, Ptr(face32.c_str()));
  EXPECT_EQ(ReadText(kPlainForm, c1, 10, 6), "宋体");
  SetUnitProperty(kPlainForm, c1, 10, 6, Ptr(""));
  EXPECT_EQ(ReadText(kPlainForm, c1, 10, 6), "宋体");

  ts::forms::FontDescription d{450, 1, 0, 1, 0, 12, face31.c_str()};
  SetUnitProperty(kPlainForm, c1, 10, -1, Ptr(&d));
  EXPECT_EQ(ReadText(kPlainForm, c1, 10, 6), face31);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 1), 1u);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 3), 1u);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 0), 450u);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 5), 12u);
  d.face = face32.c_str();
  d.size = -3;
  SetUnitProperty(kPlainForm, c1, 10, -1, Ptr(&d));
  EXPECT_EQ(ReadText(kPlainForm, c1, 10, 6), "宋体");
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 5), 0u);
  // Sub-item writes change one part and keep the rest.
  SetUnitProperty(kPlainForm, c1, 10, 0, 3700);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 0), 100u);
  EXPECT_EQ(GetUnitProperty(kPlainForm, c1, 10, 1), 1u);
}

TEST_F(Properties, AWorkerThreadsReadsAndWritesRunWholeOnTheWindowThread) {
  ASSERT_TRUE(ts::forms::LoadWindow(kPlainForm, nullptr, false));
  const DWORD mainThread = ::GetCurrentThreadId();
  std::atomic<bool> done{false};
  std::atomic<DWORD> writeThread{0}, readThread{0};
  std::string caption;
  int32_t width = 0;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) {
      std::string text = "第" + std::to_string(i) + "行";
      SetUnitProperty(kPlainForm, c1, 8, -1, Ptr(text.c_str()));
      writeThread = LastOperationThread();
      SetUnitProperty(kPlainForm, c1, 2, -1, static_cast<uint32_t>(60 + i));
    }
    caption = ReadText(kPlainForm, c1, 8);
    readThread = LastOperationThread();
    width = ReadInt(kPlainForm, c1, 2);
    done = true;
  });
  EXPECT_TRUE(PumpUntil([&] { return done.load(); }, 20000));
  worker.join();
  EXPECT_EQ(writeThread.load(), mainThread);
  EXPECT_EQ(readThread.load(), mainThread);
  EXPECT_EQ(caption, "第49行");
  EXPECT_EQ(width, 109);
  SetUnitProperty(kPlainForm, c1, 2, -1, 80);
}

}  // namespace
}  // namespace engtest
