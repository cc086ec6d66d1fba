// Stored property records: defaults, version rules and the lists inside
// byte blocks.
#include <gtest/gtest.h>

#include "forms/records/records.h"

using namespace ts::forms;

TEST(PropertyRecords, AnEmptyRecordLeavesEveryDefault) {
  for (uint32_t type : {unittype::Window, unittype::EditBox, unittype::PicBox, unittype::GroupBox,
                        unittype::Label, unittype::CheckBox, unittype::ComboBox, unittype::ProgressBar,
                        unittype::Hyperlink, unittype::TreeBox, unittype::ListView, unittype::SuperButton}) {
    auto props = ReadProps(type, nullptr, 0);
    ASSERT_TRUE(props) << std::hex << type;
    EXPECT_EQ(WriteProps(*props), WriteProps(*DefaultProps(type))) << std::hex << type;
  }
  auto label = std::get<LabelProps>(*ReadProps(unittype::Label, nullptr, 0));
  EXPECT_EQ(label.caption, "标签");
  EXPECT_EQ(label.frameWidth, 8);
  EXPECT_EQ(label.vAlign, 1);
  EXPECT_EQ(label.backColor, kButtonFace);
}

TEST(PropertyRecords, AVersionAboveTheMaximumIsRefused) {
  ByteWriter w;
  w.u32(3);  // labels read versions up to 2
  EXPECT_FALSE(ReadProps(unittype::Label, w.bytes().data(), w.size()));
  ByteWriter tree;
  tree.u32(2);
  EXPECT_FALSE(ReadProps(unittype::TreeBox, tree.bytes().data(), tree.size()));
}

TEST(PropertyRecords, WindowVersionOneSkipsTheLaterFieldsButReadsTheBlocksAndTexts) {
  ByteWriter w;
  w.u32(1);
  for (uint32_t v = 0; v < 13; ++v) w.u32(v == 12 ? 77 : 0);  // HelpContext = 77
  w.block({});
  w.block({1, 2, 3});  // Icon
  w.block({});
  w.countedText("caption");
  w.countedText("help.hlp");
  size_t consumed = 0;
  auto props = ReadProps(unittype::Window, w.bytes().data(), w.size(), &consumed);
  ASSERT_TRUE(props);
  EXPECT_EQ(consumed, w.size());
  auto& win = std::get<WindowProps>(*props);
  EXPECT_EQ(win.helpContext, 77u);
  EXPECT_EQ(win.showInTaskbar, 1u);  // version 2 field keeps its default
  EXPECT_EQ(win.icon, (Bytes{1, 2, 3}));
  EXPECT_EQ(win.caption, "caption");
  EXPECT_EQ(win.helpFile, "help.hlp");
}

TEST(PropertyRecords, ATruncatedRecordFails) {
  Bytes full = WriteProps(*DefaultProps(unittype::SuperButton));
  for (size_t cut : {size_t(4), full.size() / 2, full.size() - 1})
    EXPECT_FALSE(ReadProps(unittype::SuperButton, full.data(), cut)) << cut;
}

TEST(TreeBoxRecord, VersionZeroMarkerZeroEndsBeforeTheCheckBoxFields) {
  TreeBoxProps t;
  t.checkBoxes = 1;
  Bytes written = WriteRecord(t);  // version 0 with marker 1 and all fields
  // Cut the record right after the marker's position and write a 0 there.
  Bytes cut(written.begin(), written.end() - 12 - 4);
  ByteWriter tail;
  tail.u32(0);
  cut.insert(cut.end(), tail.bytes().begin(), tail.bytes().end());
  size_t consumed = 0;
  auto props = ReadProps(unittype::TreeBox, cut.data(), cut.size(), &consumed);
  ASSERT_TRUE(props);
  EXPECT_EQ(consumed, cut.size());
  EXPECT_EQ(std::get<TreeBoxProps>(*props).checkBoxes, 0u);
  EXPECT_EQ(std::get<TreeBoxProps>(*props).stateImageCount, 2);
}

TEST(TreeBoxRecord, VersionOneEndsAfterTheItemList) {
  Bytes v0 = WriteRecord(TreeBoxProps{});
  Bytes v1(v0.begin(), v0.end() - 4 - 12);  // drop the marker and the three fields after it
  v1[0] = 1;
  size_t consumed = 0;
  auto props = ReadProps(unittype::TreeBox, v1.data(), v1.size(), &consumed);
  ASSERT_TRUE(props);
  EXPECT_EQ(consumed, v1.size());
  EXPECT_EQ(std::get<TreeBoxProps>(*props).version, 1u);
}

TEST(TreeBoxRecord, TheWriterAlwaysAnnouncesTheCheckBoxFields) {
  TreeBoxProps t;
  t.extensionMarker = 0;
  t.checkBoxes = 1;
  auto back = ReadProps(unittype::TreeBox, WriteRecord(t).data(), WriteRecord(t).size());
  ASSERT_TRUE(back);
  EXPECT_EQ(std::get<TreeBoxProps>(*back).checkBoxes, 1u);
}

TEST(PropertyRecords, FieldsAreSetByNameOnlyWithAFittingKind) {
  AnyProps p = *DefaultProps(unittype::ComboBox);
  EXPECT_TRUE(SetPropsField(p, "CurrentIndex", int64_t{0}));
  EXPECT_TRUE(SetPropsField(p, "Items", std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(SetPropsField(p, "Items", std::string("a")));
  EXPECT_FALSE(SetPropsField(p, "NoSuchField", int64_t{1}));
  auto& combo = std::get<ComboBoxProps>(p);
  EXPECT_EQ(combo.currentIndex, 0);
  EXPECT_EQ(combo.items.size(), 2u);
  AnyProps tree = *DefaultProps(unittype::TreeBox);
  EXPECT_TRUE(SetPropsField(tree, "StateImageCount", int64_t{5}));  // behind the marker
}

TEST(ByteBlockLists, ColumnsRowsAndTreeItemsRoundTrip) {
  std::vector<ListColumn> cols = {{0, -1, 0, 50, "文件路径"}, {1, 2, 2, 80, ""}};
  auto c = DecodeColumns(EncodeColumns(cols));
  ASSERT_TRUE(c);
  ASSERT_EQ(c->size(), 2u);
  EXPECT_EQ((*c)[0].title, "文件路径");
  EXPECT_EQ((*c)[1].image, 2);
  EXPECT_EQ((*c)[1].imageOnRight, 1);

  std::vector<ListRowRecord> rows = {{0, 1, 0, 0, 42, "row", "tip"}, {1, -1, -1, 0, 0, "cell", ""}};
  auto r = DecodeRows(EncodeRows(rows));
  ASSERT_TRUE(r);
  EXPECT_EQ((*r)[0].itemData, 42);
  EXPECT_EQ((*r)[1].text, "cell");

  std::vector<TreeItemRecord> items = {{"root", 0, 1, 7, 0x20000001, 1}, {"child", 2, 3, 8, 0, 2}};
  auto t = DecodeTreeItems(EncodeTreeItems(items));
  ASSERT_TRUE(t);
  EXPECT_EQ((*t)[0].flags, 0x20000001u);
  EXPECT_EQ((*t)[1].depth, 2);

  Bytes broken = EncodeColumns(cols);
  broken.pop_back();  // title loses its terminator
  EXPECT_FALSE(DecodeColumns(broken));
}

TEST(CursorValue, ShortBlocksAreKeyedByTheirFirstByte) {
  EXPECT_EQ(CursorKey({}), 0);
  EXPECT_EQ(CursorKey({3}), 3);
  EXPECT_EQ(CursorKey({14, 0, 0}), 14);
  EXPECT_EQ(CursorKey({0, 0, 0, 0}), 0);
  EXPECT_EQ(CursorKey({0xFF, 0xFF, 0xFF, 0xFF, 1, 2}), -1);
  EXPECT_EQ(CursorKey({2, 1, 0, 0}), 0x102);
}
