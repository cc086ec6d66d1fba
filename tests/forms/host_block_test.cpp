// This program's two windows as compiled from forms/data.
#include <gtest/gtest.h>

#include <algorithm>

#include "forms/registry.h"
#include "forms/unit_types.h"
#include "tools/formc/compile.h"

using namespace ts::forms;

namespace {

const std::string kData = std::string(TS_SOURCE_DIR) + "/forms/data/";

const std::vector<std::string>& Handlers() {
  static const auto h = formc::ReadHandlerNames(kData + "handlers.txt");
  return h;
}

const Bytes& Block() {
  static const Bytes block = formc::CompileBlock(
      {formc::ParseFormSource(kData + "main.form"), formc::ParseFormSource(kData + "about.form")}, Handlers());
  return block;
}

struct Unit {
  UnitRecordData rec;
  AnyProps props;
};

Unit UnitNamed(const WindowRecord& w, const std::string& gbkName) {
  for (size_t k = 0; k < w.unitCount; ++k) {
    uint32_t size = 0;
    const uint8_t* r = UnitRecordAt(w, k, &size);
    auto rec = ParseUnitRecord(r, size);
    if (rec && rec->name == gbkName)
      return {*rec, *ReadProps(rec->type, rec->properties.data(), rec->properties.size())};
  }
  ADD_FAILURE() << "no unit " << gbkName;
  return {};
}

int32_t OffsetOf(const std::string& handler) {
  auto it = std::find(Handlers().begin(), Handlers().end(), handler);
  return static_cast<int32_t>((it - Handlers().begin()) * 16);
}

std::vector<WindowRecord> Windows() { return *ParseFormBlock(Block().data(), Block().size()); }

}  // namespace

TEST(FormBlock, IsExactly140096BytesWith28And12Units) {
  ASSERT_EQ(Block().size(), 140096u);
  auto w = Windows();
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(w[0].formId, 0x52010001u);
  EXPECT_EQ(w[1].formId, 0x52011986u);
  EXPECT_EQ(w[0].unitCount, 28u);
  EXPECT_EQ(w[1].unitCount, 12u);
  EXPECT_EQ(w[0].reservedA, 0xC4u);
  EXPECT_EQ(w[1].reservedB, 0x19028BB9u);
  EXPECT_EQ(UnitIdAt(w[0], 0), 0x06010000u);
  EXPECT_EQ(UnitIdAt(w[1], 0), 0x06011985u);
  EXPECT_EQ(formc::CheckBlock(Block()), "");
}

TEST(FormBlock, EveryRecordIsReadToItsLastByteAndWritesBackTheSameBytes) {
  for (const WindowRecord& w : Windows()) {
    for (size_t k = 0; k < w.unitCount; ++k) {
      uint32_t size = 0;
      UnitRecordAt(w, k, &size);
      auto rec = ParseUnitAt(w, k);
      ASSERT_TRUE(rec);
      EXPECT_EQ(k == 0, rec->name.empty()) << k;
      size_t consumed = 0;
      auto props = ReadProps(rec->type, rec->properties.data(), rec->properties.size(), &consumed);
      ASSERT_TRUE(props) << k;
      EXPECT_EQ(consumed, rec->properties.size()) << k;
      EXPECT_EQ(WriteProps(*props), rec->properties) << k;
      EXPECT_EQ(BuildUnitRecord(*rec), Bytes(UnitRecordAt(w, k, nullptr), UnitRecordAt(w, k, nullptr) + size));
    }
  }
}

TEST(FormBlock, MainWindowMatchesItsDescription) {
  WindowRecord main = Windows()[0];
  auto win = *ParseUnitAt(main, 0);
  EXPECT_EQ(win.left, 50);
  EXPECT_EQ(win.width, 700);
  EXPECT_EQ(win.height, 486);
  ASSERT_EQ(win.bindings.size(), 2u);  // stored in the order 2, 0
  EXPECT_EQ(win.bindings[0].first, 2);
  EXPECT_EQ(win.bindings[0].second, OffsetOf("OnMainDestroy"));
  EXPECT_EQ(win.bindings[1].first, 0);
  EXPECT_NE(win.bindings[1].second, 0);  // "created" is not the routine at the code base
  EXPECT_EQ(win.children.size(), 20u);    // every unit whose parent is the window
  auto wp = std::get<WindowProps>(*ReadProps(win.type, win.properties.data(), win.properties.size()));
  EXPECT_EQ(wp.caption, "Twinseek 孪影 V1.00 Beta");
  EXPECT_EQ(wp.backColor, kButtonFace);

  Unit stop = UnitNamed(main, "按钮_停止");
  EXPECT_EQ(stop.rec.stateFlags, 7u);
  EXPECT_EQ(stop.rec.bindings[0].second, OffsetOf("OnStopClick"));
  auto& sb = std::get<SuperButtonProps>(stop.props);
  EXPECT_EQ(sb.buttonStyle, 1);
  EXPECT_EQ(sb.builtInSound, 1u);
  EXPECT_EQ(sb.normalImage.size(), 3070u);
  EXPECT_EQ(sb.caption, "停止");

  // The routine at the code base handles a button click.
  EXPECT_EQ(UnitNamed(main, "按钮_添加").rec.bindings[0].second, 0);
  EXPECT_EQ(std::get<SuperButtonProps>(UnitNamed(main, "按钮_添加").props).normalImageKey, 0xFFFFFFu);

  Unit group = UnitNamed(main, "分组框1");
  std::vector<uint32_t> inGroup = {0x1601AB78, 0x16010011, 0x16010010, 0x1601000F,
                                   0x1601000E, 0x1601000D, 0x16010005};
  EXPECT_EQ(group.rec.children, inGroup);
  EXPECT_EQ(UnitNamed(main, "标签_当前文件").rec.parent, 0x16010002u);

  auto combo = std::get<ComboBoxProps>(UnitNamed(main, "组合框_文件类型").props);
  EXPECT_EQ(combo.items.size(), 6u);
  EXPECT_EQ(combo.items[5], "应用程序(*.exe;*.com)");
  EXPECT_EQ(combo.currentIndex, 0);
  EXPECT_EQ(combo.comboStyle, 2);
  EXPECT_EQ(combo.itemData, Bytes(24, 0));
  EXPECT_EQ(std::get<CheckBoxProps>(UnitNamed(main, "选择框_包含子目录").props).checked, 1u);
  EXPECT_EQ(std::get<CheckBoxProps>(UnitNamed(main, "选择框_清理文件时放入回收站").props).checked, 0u);

  auto tree = std::get<TreeBoxProps>(UnitNamed(main, "树型框1").props);
  EXPECT_EQ(tree.version, 0u);
  EXPECT_EQ(tree.checkBoxes, 1u);
  EXPECT_EQ(tree.linesAtRoot, 1u);
  EXPECT_EQ(tree.borderStyle, 5);

  auto index = std::get<ListViewProps>(UnitNamed(main, "超级列表框2").props);
  EXPECT_EQ(index.viewType, 3);
  auto cols = *DecodeColumns(index.columns);
  ASSERT_EQ(cols.size(), 3u);
  EXPECT_EQ(cols[1].title, "MD5");
  EXPECT_EQ(cols[2].width, 50);
  EXPECT_EQ(UnitNamed(main, "超级列表框2").rec.left, 720);
}

TEST(FormBlock, AboutWindowMatchesItsDescription) {
  WindowRecord about = Windows()[1];
  auto win = *ParseUnitAt(about, 0);
  EXPECT_TRUE(win.bindings.empty());
  auto wp = std::get<WindowProps>(*ReadProps(win.type, win.properties.data(), win.properties.size()));
  EXPECT_EQ(wp.backColor, 0xFFFFFFu);
  EXPECT_EQ(wp.caption, "关于 Twinseek");

  auto ok = std::get<SuperButtonProps>(UnitNamed(about, "确定").props);
  EXPECT_EQ(ok.caption, "确 定");
  EXPECT_EQ(ok.hotImageKey, 0xFFFFFFu);
  EXPECT_EQ(ok.disabledImageKey, 0xFFFFFFu);
  EXPECT_EQ(ok.colors[1], 0xFFFFFFu);
  EXPECT_EQ(ok.colors[3], 0xFFFFFFu);
  EXPECT_EQ(ok.colors[5], 0xFFFFFFu);
  EXPECT_EQ(ok.colors[0], 0u);

  auto gif = std::get<PicBoxProps>(UnitNamed(about, "图片框1").props);
  EXPECT_EQ(gif.picture.size(), 41785u);
  EXPECT_EQ(gif.displayMode, 0);
  auto banner = std::get<PicBoxProps>(UnitNamed(about, "图片框2").props);
  EXPECT_EQ(banner.picture.size(), 69401u);
  EXPECT_EQ(banner.borderStyle, 2);

  // The six free texts together take 264 bytes; both links are web links.
  size_t free = 0;
  for (const char* name : {"超级链接框1", "超级链接框2"}) {
    auto link = std::get<HyperlinkProps>(UnitNamed(about, name).props);
    EXPECT_EQ(link.linkKind, 1);
    EXPECT_TRUE(link.mailAddress.empty());
    EXPECT_EQ(link.linkColor, 0xC06000u);
    free += link.caption.size() + link.webAddress.size();
  }
  for (const char* name : {"标签3", "标签5"})
    free += std::get<LabelProps>(UnitNamed(about, name).props).caption.size();
  EXPECT_EQ(free, 264u);
  EXPECT_EQ(UnitNamed(about, "标签2").rec.parent, 0u);  // over the group box, yet the window's
}

TEST(FormBlock, HandlersAreNamedInTheDataAndTheFirstIsAButtonClick) {
  ASSERT_FALSE(Handlers().empty());
  EXPECT_EQ(Handlers()[0], "OnAddFolderClick");
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(Block().data(), Block().size(), 0x00401000));
  EventTarget t;
  ASSERT_EQ(reg.FindEvent(0x52010001, 0x1601C4EE, 0, &t), EventLookup::Found);
  EXPECT_EQ(t.handler, 0x00401000u);
  ASSERT_EQ(reg.FindEvent(0x52011986, 0x16028BBB, 0, &t), EventLookup::Found);
  EXPECT_EQ(t.handler, 0x00401000u + OffsetOf("OnAboutOkClick"));
  ASSERT_EQ(reg.FindEvent(0x52011986, 0, 0, &t), EventLookup::Found);
  EXPECT_EQ(t.handler, 0u);  // the about window binds nothing
}

TEST(FormCompiler, RejectsUnknownFieldsHandlersAndParents) {
  const std::string dir = ::testing::TempDir();
  // Form sources are UTF-8 files while this test's literals are GBK, so
  // the type names are spelled as UTF-8 bytes.
  const std::string label = "\xe6\xa0\x87\xe7\xad\xbe", window = "\xe7\xaa\x97\xe5\x8f\xa3", button = "\xe6\x8c\x89\xe9\x92\xae";
  auto compile = [&](const std::string& body) {
    std::string path = dir + "/bad.form";
    FILE* f = std::fopen(path.c_str(), "w");
    std::fputs(("form 0x52010001\nunit 0x06010000 " + window + " \"\"\n" + body).c_str(), f);
    std::fclose(f);
    return formc::CompileBlock({formc::ParseFormSource(path)}, {"OnA"});
  };
  EXPECT_NO_THROW(compile("unit 0x16000001 " + label + " x\n  on 0 OnA\n"));
  EXPECT_THROW(compile("unit 0x16000001 " + label + " x\n  set NoSuch 1\n"), std::runtime_error);
  EXPECT_THROW(compile("unit 0x16000001 " + label + " x\n  set Caption 5\n"), std::runtime_error);
  EXPECT_THROW(compile("unit 0x16000001 " + label + " x\n  on 0 OnB\n"), std::runtime_error);
  EXPECT_THROW(compile("unit 0x16000001 " + label + " x\n  parent y\n"), std::runtime_error);
  EXPECT_THROW(compile("unit 0x00000001 " + label + " x\n"), std::runtime_error);
  EXPECT_THROW(compile("unit 0x16000001 " + button + " x\n"), std::runtime_error);
}

TEST(FormBlock, DamagedBlocksAreRefusedOrReadWithoutRunningPastTheirEnd) {
  const Bytes& good = Block();
  // Every truncation fails: the block must be consumed exactly.
  for (size_t cut = 1; cut < good.size(); cut += 97)
    EXPECT_FALSE(ParseFormBlock(good.data(), cut)) << cut;
  // Flipped bytes across the unit lists and records: whatever parses must
  // also walk and read every record within bounds.
  for (size_t at = 0; at < 6000; at += 7) {
    Bytes bad = good;
    bad[at] ^= 0xA5;
    auto windows = ParseFormBlock(bad.data(), bad.size());
    if (!windows) continue;
    for (const WindowRecord& w : *windows)
      for (size_t k = 0; k < w.unitCount; ++k) {
        uint32_t size = 0;
        const uint8_t* rec = UnitRecordAt(w, k, &size);
        UnitLayout l;
        ASSERT_TRUE(WalkUnitRecord(rec, size, &l));
        if (l.propLen > 0) ReadProps(l.type, rec + l.propOff, size_t(l.propLen));
      }
  }
}
