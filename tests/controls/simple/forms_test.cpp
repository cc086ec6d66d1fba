// Both windows of the program loaded whole through the form engine from
// the compiled form block, with every control type registered: unit counts,
// the simple controls' stored state, the combo box choice reaching its
// handler, and Esc with the combo list dropped leaving the window open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "controls/button/super_button.h"
#include "controls/listview/listview.h"
#include "controls/picturebox/picture_box.h"
#include "controls/simple/simple_controls.h"
#include "controls/treebox/treebox.h"
#include "forms/byte_reader.h"
#include "forms/engine/engine.h"
#include "forms/engine/unit.h"
#include "forms/form_block_data.h"
#include "forms/records/records.h"
#include "forms/registry.h"
#include "forms/unit_types.h"
#include "runtime/app.h"
#include "runtime/forms_link.h"
#include "runtime/values.h"
#include "tests/support/pump.h"

extern "C" const unsigned char simple_forms_handlers[];
std::vector<std::string>& CalledHandlers();

using ts::test::Flush;
using ts::test::PumpUntil;

namespace {

constexpr uint32_t kMain = 0x52010001, kAbout = 0x52011986;
constexpr uint32_t kCombo = 0x16010011, kEdit = 0x16010010, kProgress = 0x1601197B, kSubfolders = 0x1601000D,
                   kRecycle = 0x1601000E, kWelcome = 0x1601AB77, kGroup = 0x16010002;
constexpr uint32_t kLink1 = 0x16028B93, kLink2 = 0x16028B94;

ts::LibraryRecord g_libs[7]{};
const ts::LibraryRecord* g_libraryTable[7] = {};
ts::ProgramHeader g_header{};

class FormsEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    for (uint32_t lib : {1u, 2u, 7u}) {
      ts::forms::UnitTypeTable t = ts::forms::LibraryUnitTypes(lib);
      g_libs[lib - 1].formatStamp = 20000101;
      g_libs[lib - 1].unitTypeCount = t.count;
      g_libs[lib - 1].unitTypes = t.entries;
      g_libraryTable[lib - 1] = &g_libs[lib - 1];
    }
    g_header.mode = 3;
    g_header.codeBase = simple_forms_handlers;
    g_header.formBlock = ts_form_block;
    g_header.formSize = ts_form_block_size;
    g_header.libraryCount = 7;
    g_header.libraries = g_libraryTable;
    static ts::RuntimeApp app(g_header, nullptr);
    ts::forms::RegisterRegistryHooks();
    ts::forms::RegisterEngineHooks();
    ts::controls::RegisterSimpleControls();
    ts::controls::RegisterSuperButton();
    ts::controls::RegisterPictureBox();
    ts::forms::RegisterUnitOperations(ts::forms::unittype::ListView, &ts::controls::ListViewInterface);
    ts::forms::RegisterUnitOperations(ts::forms::unittype::TreeBox, &ts::controls::TreeBoxInterface);
    ts::StartRuntime();
  }
};
[[maybe_unused]] ::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new FormsEnvironment);

HWND Native(uint32_t form, uint32_t unit) {
  auto object = ts::Forms().unitControl(form, unit);
  return object ? reinterpret_cast<ts::forms::UnitObject*>(object)->handle() : nullptr;
}

// Units whose native window exists, counted through the registry.
size_t LiveUnits(uint32_t form) {
  ts::forms::WindowRecord* w = ts::forms::Registry().FindForm(form);
  if (!w) return 0;
  size_t live = 0;
  for (size_t k = 0; k < w->unitCount; ++k) {
    auto unit = ts::forms::WindowRegistry::UnitAt(*w, k);
    if (unit && Native(form, unit->unitId) != nullptr) ++live;
  }
  return live;
}

std::string TextProperty(uint32_t form, uint32_t unit, int32_t index) {
  auto* text = reinterpret_cast<char*>(static_cast<uintptr_t>(ts::forms::GetUnitProperty(form, unit, index, -1)));
  std::string out = text ? text : "";
  if (text) ts::Free(text);
  return out;
}
int32_t IntProperty(uint32_t form, uint32_t unit, int32_t index) {
  return static_cast<int32_t>(ts::forms::GetUnitProperty(form, unit, index, -1));
}

// Dark pixels that the screen shows inside a window's rectangle.
int ScreenInk(HWND hwnd) {
  RECT r;
  ::GetWindowRect(hwnd, &r);
  HDC screen = ::GetDC(nullptr);
  int ink = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      COLORREF c = ::GetPixel(screen, x, y);
      if (c != CLR_INVALID && GetRValue(c) < 0x80 && GetGValue(c) < 0x80 && GetBValue(c) < 0x80) ++ink;
    }
  ::ReleaseDC(nullptr, screen);
  return ink;
}

void Key(HWND hwnd, UINT vk) {
  ::PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
  ::PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

}  // namespace

TEST(Forms, MainWindowLoadsWholeWithTheStoredStateOfItsSimpleControls) {
  ASSERT_TRUE(ts::forms::LoadWindow(kMain, nullptr, false));
  HWND main = Native(kMain, 0);
  ASSERT_NE(main, nullptr);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(LiveUnits(kMain), 28u);
  EXPECT_EQ(TextProperty(kMain, kCombo, 9), "所有文件(*.*)");
  EXPECT_EQ(IntProperty(kMain, kCombo, 19), 0);
  EXPECT_EQ(TextProperty(kMain, kEdit, 8), "*.*");
  EXPECT_EQ(IntProperty(kMain, kSubfolders, 18), 1);
  EXPECT_EQ(IntProperty(kMain, kRecycle, 18), 0);
  EXPECT_EQ(TextProperty(kMain, kWelcome, 8), "欢迎使用孪影");
  EXPECT_EQ(IntProperty(kMain, kProgress, 12), 100);
  // Controls inside the group box have it as their native parent.
  EXPECT_EQ(::GetParent(Native(kMain, kCombo)), Native(kMain, kGroup));
}

TEST(Forms, ComboChoiceRunsItsHandlerWithTheChosenTextReadable) {
  HWND combo = Native(kMain, kCombo);
  ASSERT_NE(combo, nullptr);
  CalledHandlers().clear();
  ::SetFocus(combo);
  Key(combo, VK_DOWN);
  ASSERT_TRUE(PumpUntil([] { return !CalledHandlers().empty(); }));
  EXPECT_EQ(CalledHandlers().front(), "OnFileTypeSelected");
  EXPECT_EQ(TextProperty(kMain, kCombo, 9), "办公文档(*.doc;*.xls;*.ppt;*.pdf)");
}

TEST(Forms, PropertyWritesThroughTheEngineReachTheControls) {
  ts::forms::SetUnitProperty(kMain, kProgress, 13, -1, 150);
  EXPECT_EQ(IntProperty(kMain, kProgress, 13), 150);
  EXPECT_EQ(::SendMessageA(Native(kMain, kProgress), PBM_GETPOS, 0, 0), 100);
  // A write that needs a new native control: the engine rebuilds the edit
  // box from the record of its present state.
  HWND before = Native(kMain, kEdit);
  const char* patterns = "*.mp3;*.wav";
  ts::forms::SetUnitProperty(kMain, kEdit, 8, -1, reinterpret_cast<uintptr_t>(patterns));
  ts::forms::SetUnitProperty(kMain, kEdit, 15, -1, 1);  // Multiline
  HWND after = Native(kMain, kEdit);
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_TRUE(::GetWindowLongA(after, GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(TextProperty(kMain, kEdit, 8), patterns);
  EXPECT_EQ(::GetParent(after), Native(kMain, kGroup));
}

TEST(Forms, EscWithTheComboListDroppedClosesOnlyTheList) {
  HWND main = Native(kMain, 0);
  HWND combo = Native(kMain, kCombo);
  ASSERT_NE(combo, nullptr);
  ::SetForegroundWindow(main);
  ::SetFocus(combo);
  ::SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  ASSERT_NE(::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
  Key(::GetFocus(), VK_ESCAPE);
  PumpUntil([&] { return ::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) == 0; });
  ASSERT_TRUE(Flush());  // everything the key set off has run
  EXPECT_EQ(::SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0), 0);
  EXPECT_TRUE(::IsWindow(main)) << "Esc closed the window instead of the list";
}

TEST(Forms, AboutWindowLoadsWholeWithItsLinks) {
  ASSERT_TRUE(ts::forms::LoadWindow(kAbout, nullptr, false));
  HWND about = Native(kAbout, 0);
  ASSERT_NE(about, nullptr);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(LiveUnits(kAbout), 12u);
  for (uint32_t link : {kLink1, kLink2}) {
    EXPECT_EQ(IntProperty(kAbout, link, 9), 1) << "web link";
    EXPECT_FALSE(TextProperty(kAbout, link, 11).empty()) << "web address";
  }
  // The version line belongs to the window but lies over the group box,
  // above it in the stacking order: the group box must not paint over it.
  HWND version = Native(kAbout, 0x16028B85);
  ::RedrawWindow(about, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ASSERT_TRUE(Flush());
  EXPECT_GT(ScreenInk(version), 40);
  ::DestroyWindow(about);
}

TEST(Forms, EscWithTheListClosedClosesTheMainWindow) {
  HWND main = Native(kMain, 0);
  HWND combo = Native(kMain, kCombo);
  ASSERT_NE(combo, nullptr);
  CalledHandlers().clear();
  ::SetForegroundWindow(main);
  ::SetFocus(combo);
  Key(combo, VK_ESCAPE);
  EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(main); }));
  EXPECT_NE(std::find(CalledHandlers().begin(), CalledHandlers().end(), "OnMainDestroy"), CalledHandlers().end());
}
