// Hyperlink: what a click opens (observed through a recorder program that
// the test registers as mail handler and as ".htm" browser), the empty
// target, hover capture and the colours of each state.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>

#include "runtime/hand_cursor.h"
#include "controls/simple/simple_controls.h"
#include "tests/support/stage.h"
#include "tests/support/wait.h"

using namespace ts::test;

namespace {

constexpr uint32_t kLinkColour = 0xC06000, kVisitedColour = 0x800080, kHoverColour = 0x0000FF, kBack = 0xFFFFFF;

std::string TestDirectory() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of('\\') + 1);
}

// Sets the default value of a key below HKEY_CLASSES_ROOT for the test's
// lifetime and puts the old value (or no key) back afterwards.
class ClassesValue {
 public:
  ClassesValue(std::string key, const std::string& value, const char* name = nullptr)
      : key_(std::move(key)), name_(name ? name : "") {
    HKEY k = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, KEY_QUERY_VALUE, &k) == ERROR_SUCCESS) {
      char old[1024] = {};
      DWORD size = sizeof old - 1, type = 0;
      if (::RegQueryValueExA(k, name ? name : nullptr, nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
          ERROR_SUCCESS)
        old_ = std::string(old);
      existed_ = true;
      ::RegCloseKey(k);
    }
    Write(value);
  }
  ~ClassesValue() {
    if (old_) {
      Write(*old_);
    } else if (!existed_) {
      ::RegDeleteTreeA(HKEY_CLASSES_ROOT, key_.c_str());
    } else {
      HKEY k = nullptr;
      if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
        ::RegDeleteValueA(k, name_.empty() ? nullptr : name_.c_str());
        ::RegCloseKey(k);
      }
    }
  }
  ClassesValue(const ClassesValue&) = delete;
  ClassesValue& operator=(const ClassesValue&) = delete;

 private:
  void Write(const std::string& value) {
    HKEY k = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(k, name_.empty() ? nullptr : name_.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(k);
  }
  std::string key_, name_;
  std::optional<std::string> old_;
  bool existed_ = false;
};

class HyperlinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    record_ = TestDirectory() + "simple_link_record.txt";
    std::remove(record_.c_str());
    ::SetEnvironmentVariableA("TS_LINK_RECORD", record_.c_str());
    recorder_ = TestDirectory();
    recorder_.insert(recorder_.begin(), '"');
    recorder_.append("simple_link_recorder.exe\"");
  }
  void TearDown() override {
    // A recorder ends some time after it wrote its line; the next test must
    // not see it running.
    EXPECT_TRUE(WaitFor([] { return !ChildRunning("simple_link_recorder.exe"); }, 10000));
    std::remove(record_.c_str());
  }

  std::string Recorded() const {
    std::ifstream in(record_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Waits for the recorder's line.
  std::string WaitForRecord() const {
    PumpUntil([&] { return Recorded().find('\n') != std::string::npos; }, 15000);
    return Recorded();
  }

  Control MakeLink(Stage& stage, int32_t kind, const char* mail, const char* web, const char* caption = "联系作者") {
    ts::forms::HyperlinkProps p;
    p.linkKind = kind;
    p.mailAddress = mail;
    p.webAddress = web;
    p.caption = caption;
    p.linkColor = kLinkColour;
    p.visitedColor = kVisitedColour;
    p.hoverColor = kHoverColour;
    p.backColor = kBack;
    return stage.Create(ts::controls::HyperlinkInterface, 3, ts::forms::WriteRecord(p), {20, 20, 180, 41});
  }
  static void Click(HWND link) {
    ::PostMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 10));
    ::PostMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(40, 10));
  }
  static bool Shows(const Pixels& px, uint32_t colour) { return px.Shows(PixelOf(colour)); }
  // Whether a program the click started can be seen: once the click has
  // been handled, it runs or it has written its line.
  bool LaunchSeen() const { return ChildRunning("simple_link_recorder.exe") || !Recorded().empty(); }

  std::string record_, recorder_;
};

}  // namespace

TEST_F(HyperlinkTest, MailLinkOpensMailtoFollowedByTheAddressAndTurnsVisited) {
  ClassesValue protocol("mailto", "URL:MailTo Protocol");
  ClassesValue marker("mailto", "", "URL Protocol");
  ClassesValue command("mailto\\shell\\open\\command", recorder_ + " \"%1\"");
  Stage stage;
  Control link = MakeLink(stage, 0, "kestrow@example.com", "http://unused.example/");
  ASSERT_NE(link.unit, nullptr);
  Pixels before = Render(link.hwnd());
  EXPECT_TRUE(Shows(before, kLinkColour));
  EXPECT_FALSE(Shows(before, kVisitedColour));
  Click(link.hwnd());
  ASSERT_TRUE(Flush());
  EXPECT_TRUE(LaunchSeen()) << "the start is visible once the click was handled";
  EXPECT_EQ(WaitForRecord(), "mailto:kestrow@example.com\n");
  ::ReleaseCapture();
  EXPECT_TRUE(PumpUntil([&] { return Shows(Render(link.hwnd()), kVisitedColour); }));
}

TEST_F(HyperlinkTest, EmptyAddressMakesAClickDoNothing) {
  ClassesValue protocol("mailto", "URL:MailTo Protocol");
  ClassesValue marker("mailto", "", "URL Protocol");
  ClassesValue command("mailto\\shell\\open\\command", recorder_ + " \"%1\"");
  ClassesValue page(".htm", "TsSimpleTestPage");
  ClassesValue browser("TsSimpleTestPage\\shell\\open\\command", recorder_ + " \"%1\"");
  Stage stage;
  Control mail = MakeLink(stage, 0, "", "http://unused.example/");
  ASSERT_NE(mail.unit, nullptr);
  Click(mail.hwnd());
  ASSERT_TRUE(Flush());
  EXPECT_FALSE(LaunchSeen());
  ::ReleaseCapture();
  Control web = MakeLink(stage, 1, "kestrow@example.com", "");
  ASSERT_NE(web.unit, nullptr);
  Click(web.hwnd());
  ASSERT_TRUE(Flush());
  EXPECT_FALSE(LaunchSeen());
  ::ReleaseCapture();
  EXPECT_FALSE(Shows(Render(web.hwnd()), kVisitedColour));
}

TEST_F(HyperlinkTest, WhenTheShellCannotOpenTheTargetTheHtmBrowserCommandDoes) {
  ClassesValue page(".htm", "TsSimpleTestPage");
  ClassesValue browser("TsSimpleTestPage\\shell\\open\\command", recorder_ + " -page \"%1\" -new");
  Stage stage;
  Control link = MakeLink(stage, 1, "", "tsnoproto:twinseek/home");
  ASSERT_NE(link.unit, nullptr);
  Click(link.hwnd());
  EXPECT_EQ(WaitForRecord(), "-page tsnoproto:twinseek/home\n");
}

TEST_F(HyperlinkTest, HoverCapturesTheMouseUntilItLeaves) {
  Stage stage;
  Control link = MakeLink(stage, 1, "", "", "");  // no caption: shows the address a click would open
  ASSERT_NE(link.unit, nullptr);
  link.SetText(3, "http://example.com/");  // WebAddress
  ::SendMessageA(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(30, 10));
  EXPECT_EQ(::GetCapture(), link.hwnd());
  EXPECT_TRUE(Shows(Render(link.hwnd()), kHoverColour));
  ::SendMessageA(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(-5), 10));
  EXPECT_NE(::GetCapture(), link.hwnd());
  Pixels cold = Render(link.hwnd());
  EXPECT_TRUE(Shows(cold, kLinkColour));
  EXPECT_FALSE(Shows(cold, kHoverColour));
}

TEST_F(HyperlinkTest, ClassCursorIsTheRuntimeHandCursor) {
  Stage stage;
  Control link = MakeLink(stage, 1, "", "http://example.com/");
  ASSERT_NE(link.unit, nullptr);
  HCURSOR hand = ts::RuntimeHandCursor();
  ASSERT_NE(hand, nullptr);
  EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrA(link.hwnd(), GCLP_HCURSOR)), hand);
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(hand, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 0u);
  if (info.hbmMask) ::DeleteObject(info.hbmMask);
  if (info.hbmColor) ::DeleteObject(info.hbmColor);
}
