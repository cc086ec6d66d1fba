// Combo box: event 0 after a choice (mouse-free: keyboard in the dropped
// and the closed list), Content at that moment, keys it keeps from the
// window, the stored items with their data, and index clamping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "controls/simple/simple_controls.h"
#include "tests/support/stage.h"

using namespace ts::test;

namespace {

constexpr int32_t kContent = 1, kSelStart = 3, kSelLength = 4, kSelectedText = 5, kCurrentIndex = 11, kItems = 12,
                  kItemData = 13;
constexpr uint32_t kCombo = 0x16030011;

const std::vector<std::string> kTypes = {"所有文件(*.*)", "办公文档(*.doc;*.xls;*.ppt;*.pdf)",
                                         "音频文件(*.wma;*.mp3;*.wav;*.mid)", "视频文件(*.wmv;*.mp4)"};

Bytes ComboRecord(int32_t style, int32_t current, const std::vector<int32_t>& data = {}) {
  ts::forms::ComboBoxProps p;
  p.comboStyle = style;
  p.currentIndex = current;
  p.items = kTypes;
  for (int32_t d : data) {
    uint8_t b[4];
    std::memcpy(b, &d, 4);
    p.itemData.insert(p.itemData.end(), b, b + 4);
  }
  return ts::forms::WriteRecord(p);
}

void Key(HWND hwnd, UINT vk) {
  ::PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
  ::PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

// The Content each choice event saw.
struct ChoiceWatch {
  std::vector<std::string> contents;
  ChoiceWatch(Stage& stage, const Control& c) {
    stage.Probe([this, c](const Event& e) {
      if (e.unit == kCombo && e.event == 0) contents.push_back(c.GetText(kContent));
      return 0;
    });
  }
};

}  // namespace

TEST(ComboBox, KeyboardChoiceInClosedListRaisesEvent0OnceWithTheChosenText) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(2, 0), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  EXPECT_EQ(combo.GetText(kContent), kTypes[0]);
  ChoiceWatch watch(stage, combo);
  ::SetFocus(combo.hwnd());
  Key(combo.hwnd(), VK_DOWN);
  ASSERT_TRUE(PumpUntil([&] { return !watch.contents.empty(); }));
  ASSERT_TRUE(Flush());  // no second event follows
  ASSERT_EQ(watch.contents.size(), 1u);
  EXPECT_EQ(watch.contents[0], kTypes[1]);
  EXPECT_EQ(combo.GetInt(kCurrentIndex), 1);
}

TEST(ComboBox, ChoiceFromTheDroppedListRaisesEvent0AfterTheControlShowsIt) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(2, 0), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  ChoiceWatch watch(stage, combo);
  ::SetFocus(combo.hwnd());
  ::SendMessageA(combo.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_EQ(stage.Count(kCombo, 2), 1u);  // dropped down
  Key(combo.hwnd(), VK_DOWN);
  Key(combo.hwnd(), VK_DOWN);
  ASSERT_TRUE(Flush());
  EXPECT_TRUE(watch.contents.empty()) << "browsing the open list is not a choice";
  Key(combo.hwnd(), VK_RETURN);
  ASSERT_TRUE(PumpUntil([&] { return !watch.contents.empty(); }));
  ASSERT_TRUE(Flush());  // no second event follows
  ASSERT_EQ(watch.contents.size(), 1u);
  EXPECT_EQ(watch.contents[0], kTypes[2]);
  EXPECT_EQ(stage.Count(kCombo, 3), 1u);  // closed up
}

TEST(ComboBox, WantsEscAndEnterOnlyWhileTheListIsDropped) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(2, 0), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  ASSERT_NE(combo.ops.wantsKey, nullptr);
  EXPECT_EQ(combo.ops.wantsKey(combo.unit, VK_ESCAPE), 0);
  ::SetFocus(combo.hwnd());
  ::SendMessageA(combo.hwnd(), CB_SHOWDROPDOWN, TRUE, 0);
  EXPECT_EQ(combo.ops.wantsKey(combo.unit, VK_ESCAPE), 1);
  EXPECT_EQ(combo.ops.wantsKey(combo.unit, VK_RETURN), 1);
  EXPECT_EQ(combo.ops.wantsKey(combo.unit, VK_TAB), 0);
  Key(combo.hwnd(), VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return ::SendMessageA(combo.hwnd(), CB_GETDROPPEDSTATE, 0, 0) == 0; }));
  ASSERT_TRUE(Flush());
  EXPECT_TRUE(::IsWindow(stage.host()));
  EXPECT_EQ(stage.Count(kCombo, 0), 0u) << "Esc is not a choice";
}

TEST(ComboBox, DropDownKindsLeaveRoomForTheList) {
  Stage stage;
  ts::forms::ComboBoxProps p;
  p.comboStyle = 2;
  for (int i = 0; i < 30; ++i) p.items.push_back("item " + std::to_string(i));
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ts::forms::WriteRecord(p), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  RECT dropped{};
  ::SendMessageA(combo.hwnd(), CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
  RECT field{};
  ::GetWindowRect(combo.hwnd(), &field);
  // From the top of the selection field to the bottom of the list: the
  // platform trims the list to whole items, but a control made only as
  // tall as its field would leave room for one item at most.
  EXPECT_GE(dropped.bottom - field.top, 120);
}

TEST(ComboBox, CurrentIndexIsClampedToTheItems) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(2, 10), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  EXPECT_EQ(combo.GetInt(kCurrentIndex), 3);
  combo.SetInt(kCurrentIndex, -7);
  EXPECT_EQ(combo.GetInt(kCurrentIndex), -1);
  EXPECT_EQ(combo.GetText(kContent), "");
  combo.SetText(kContent, kTypes[2].c_str());  // a drop-down list selects the matching item
  EXPECT_EQ(combo.GetInt(kCurrentIndex), 2);
  ASSERT_TRUE(Flush());
  EXPECT_EQ(stage.Count(kCombo, 0), 0u) << "writes are not choices";
}

TEST(ComboBox, ItemsCarryTheirStoredData) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(1, -1, {-5, 77}), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  EXPECT_EQ(static_cast<int32_t>(::SendMessageA(combo.hwnd(), CB_GETITEMDATA, 0, 0)), -5);
  EXPECT_EQ(static_cast<int32_t>(::SendMessageA(combo.hwnd(), CB_GETITEMDATA, 1, 0)), 77);
  EXPECT_EQ(static_cast<int32_t>(::SendMessageA(combo.hwnd(), CB_GETITEMDATA, 2, 0)), 0);
  PropertyValue items;
  ASSERT_EQ(combo.ops.getProperty(combo.unit, kItems, &items), 1);
  ts::forms::ByteReader r(static_cast<const uint8_t*>(items.data), items.size);
  EXPECT_EQ(r.textList(), kTypes);
  PropertyValue data;
  ASSERT_EQ(combo.ops.getProperty(combo.unit, kItemData, &data), 1);
  EXPECT_EQ(data.size, 16u);
  auto rec = combo.Record<ts::forms::ComboBoxProps>();
  EXPECT_EQ(rec.items, kTypes);
  EXPECT_EQ(rec.itemData.size(), 16u);
}

TEST(ComboBox, DropDownContentAndSelectionOfTheEditPart) {
  Stage stage;
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ComboRecord(1, -1), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  combo.SetText(kContent, "*.doc;*.xls");
  EXPECT_EQ(combo.GetText(kContent), "*.doc;*.xls");
  combo.SetInt(kSelStart, 2);
  combo.SetInt(kSelLength, 3);
  EXPECT_EQ(combo.GetInt(kSelStart), 2);
  EXPECT_EQ(combo.GetInt(kSelLength), 3);
  EXPECT_EQ(combo.GetText(kSelectedText), "doc");
}

TEST(ComboBox, SortedItemsKeepTheirOwnData) {
  Stage stage;
  ts::forms::ComboBoxProps p;
  p.sorted = 1;
  p.items = {"视频", "办公", "音频"};
  for (int32_t d : {30, 10, 20}) {
    uint8_t b[4];
    std::memcpy(b, &d, 4);
    p.itemData.insert(p.itemData.end(), b, b + 4);
  }
  Control combo = stage.Create(ts::controls::ComboBoxInterface, kCombo, ts::forms::WriteRecord(p), {10, 10, 200, 30});
  ASSERT_NE(combo.unit, nullptr);
  for (int i = 0; i < 3; ++i) {
    char text[32] = {};
    ::SendMessageA(combo.hwnd(), CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    int32_t data = static_cast<int32_t>(::SendMessageA(combo.hwnd(), CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
    size_t stored = static_cast<size_t>(std::find(p.items.begin(), p.items.end(), std::string(text)) - p.items.begin());
    ASSERT_LT(stored, 3u) << text;
    EXPECT_EQ(data, (stored == 0 ? 30 : stored == 1 ? 10 : 20)) << text;
  }
}
