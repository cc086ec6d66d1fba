// The window registry over small hand-built form blocks: relocation, unit
// look-ups, event handler search and the in-place unit list edits.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "forms/registry.h"
#include "forms/unit_types.h"

namespace ts {
// The registry reports fatal errors here; the tests turn them into throws.
[[noreturn]] void ReportRuntimeError(const char* message, int32_t) { throw std::runtime_error(message); }
}  // namespace ts

using namespace ts::forms;

namespace {

constexpr uint32_t kForm = 0x52010001, kWindowId = 0x06010000;
constexpr uint32_t kButtonType = 0x00070001, kLabelType = 0x0001000A;
constexpr uintptr_t kCodeBase = 0x00401000;

UnitRecordData Unit(uint32_t type, const std::string& name,
                    std::vector<std::pair<int32_t, int32_t>> bindings, uint32_t eventSource = 0) {
  UnitRecordData u;
  u.type = type;
  u.name = name;
  u.eventSource = eventSource;
  u.bindings = std::move(bindings);
  u.properties = {1, 0, 0, 0, 9, 9};  // contents do not matter to the registry
  return u;
}

// Window unit + three controls: two buttons and a label.
Bytes SmallBlock(uint32_t secondButtonSource = 0, uint32_t labelSource = 0) {
  std::vector<uint32_t> ids = {kWindowId, 0x16000001, 0x16000002, 0x16000003};
  std::vector<Bytes> recs = {
      BuildUnitRecord(Unit(0x00010001, "", {{2, 32}, {0, 16}})),
      BuildUnitRecord(Unit(kButtonType, "b1", {{0, 0}, {-7, kNoHandlerOffset}})),
      BuildUnitRecord(Unit(kButtonType, "b2", {{0, 48}}, secondButtonSource)),
      BuildUnitRecord(Unit(kLabelType, "l", {{0, 64}}, labelSource)),
  };
  WindowRecord w;
  w.formId = kForm;
  w.unitCount = 4;
  w.units = BuildUnitList(ids, recs);
  return WriteFormBlock({w});
}

uintptr_t Handler(WindowRegistry& reg, uint32_t unit, int32_t event) {
  EventTarget t;
  EXPECT_EQ(reg.FindEvent(kForm, unit, event, &t), EventLookup::Found);
  return t.handler;
}

}  // namespace

TEST(Registry, OffsetZeroIsTheCodeBaseAndMinusOneIsNoHandler) {
  Bytes block = SmallBlock();
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  EXPECT_EQ(Handler(reg, 0x16000001, 0), kCodeBase);
  EXPECT_EQ(Handler(reg, 0x16000001, -7), 0u);
  EXPECT_EQ(Handler(reg, 0x16000001, 5), 0u);  // not bound
  EXPECT_EQ(Handler(reg, 0, 2), kCodeBase + 32);  // unit 0: the window
  EXPECT_EQ(Handler(reg, 0, 0), kCodeBase + 16);
}

TEST(Registry, RecordOffsetsCountFromTheEndOfTheTwoTables) {
  Bytes block = SmallBlock();
  auto windows = ParseFormBlock(block.data(), block.size());
  ASSERT_TRUE(windows);
  WindowRecord& w = (*windows)[0];
  EXPECT_EQ(LoadU32(w.units.data() + 4 * 4), 0u);  // unit 0 right after the tables
  // Offsets counted from the body start instead must not be accepted.
  for (size_t k = 0; k < 4; ++k) {
    uint8_t* off = w.units.data() + 16 + 4 * k;
    StoreU32(off, LoadU32(off) + 32);
  }
  EXPECT_FALSE(UnitListIsSound(w));
  Bytes shifted = WriteFormBlock(*windows);
  WindowRegistry reg;
  EXPECT_FALSE(reg.Load(shifted.data(), shifted.size(), kCodeBase));
  EXPECT_EQ(reg.WindowCount(), 0u);
}

TEST(Registry, ABlockWithBytesLeftOverIsRefused) {
  Bytes block = SmallBlock();
  block.push_back(0);
  WindowRegistry reg;
  EXPECT_FALSE(reg.Load(block.data(), block.size(), kCodeBase));
  EXPECT_TRUE(reg.Load(block.data(), 0, kCodeBase));  // size 0: no windows
  EXPECT_EQ(reg.WindowCount(), 0u);
}

TEST(Registry, FindsUnitsByValidIdsOnly) {
  Bytes block = SmallBlock();
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  size_t pos = 9;
  WindowRecord* w = reg.FindForm(kForm, &pos);
  ASSERT_TRUE(w);
  EXPECT_EQ(pos, 0u);
  EXPECT_FALSE(reg.FindForm(0x52011986));
  auto u = WindowRegistry::FindUnit(*w, 0x16000002);
  ASSERT_TRUE(u);
  EXPECT_EQ(u->position, 2u);
  EXPECT_FALSE(WindowRegistry::FindUnit(*w, 0x00000001));  // bits 24..27 zero: invalid
  EXPECT_FALSE(WindowRegistry::FindUnit(*w, 0x16000000));  // low 24 bits zero: invalid
  EXPECT_FALSE(WindowRegistry::FindUnit(*w, 0x16000009));
  EXPECT_TRUE(IsMenuItemId(0x26000005));
  EXPECT_FALSE(IsMenuItemId(0x16000005));

  PropertyData pd = WindowRegistry::PropertiesOf(*u);
  ASSERT_EQ(pd.length, 6);
  EXPECT_EQ(pd.data[4], 9);
  // The object slot is the word after the names.
  StoreU32(u->objectSlot, 0xABCD);
  EXPECT_EQ(LoadU32(WindowRegistry::UnitAt(*w, 2)->objectSlot), 0xABCDu);
}

TEST(Registry, AnEventSourceOfTheSameTypeLendsItsBindings) {
  Bytes block = SmallBlock(/*b2 uses b1*/ 0x16000001);
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  EventTarget t;
  ASSERT_EQ(reg.FindEvent(kForm, 0x16000002, 0, &t), EventLookup::Found);
  EXPECT_EQ(t.handler, kCodeBase);        // b1's binding
  EXPECT_EQ(t.sourceUnitId, 0x16000002u);  // the unit that raised it
}

TEST(Registry, AnEventSourceOfAnotherTypeKeepsTheUnitsOwnBindings) {
  Bytes block = SmallBlock(0, /*label names a button*/ 0x16000001);
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  EventTarget t;
  ASSERT_EQ(reg.FindEvent(kForm, 0x16000003, 0, &t), EventLookup::Found);
  EXPECT_EQ(t.handler, kCodeBase + 64);
  EXPECT_EQ(t.unitType, kLabelType);
}

TEST(Registry, CyclicEventSourcesEndInsteadOfLooping) {
  // b2 names itself: the chain is followed at most unitCount steps.
  Bytes block = SmallBlock(0x16000002);
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  EXPECT_EQ(Handler(reg, 0x16000002, 0), kCodeBase + 48);
}

TEST(Registry, DispatchLookupFailuresAreFatal) {
  Bytes block = SmallBlock();
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(block.data(), block.size(), kCodeBase));
  auto flags = [](uint32_t type) { return type == kLabelType ? 0u : UnitTypeStateFlags(type); };
  auto message = [&](uint32_t form, uint32_t unit) {
    try {
      reg.FindEventHandler(form, unit, 0, false, flags);
    } catch (const std::runtime_error& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_EQ(message(0x52019999, 0), "未找到引发事件的窗口");
  EXPECT_EQ(message(kForm, 0x16000009), "未找到引发事件的窗口组件");
  EXPECT_EQ(message(kForm, 0x16000003), "引发事件的窗口组件无效");
  EXPECT_EQ(reg.FindEventHandler(kForm, 0x16000001, 0, false, flags), kCodeBase);
  // While events are suppressed there is no handler, and nothing is fatal.
  EXPECT_EQ(reg.FindEventHandler(0x52019999, 0, 0, true, flags), 0u);
}

TEST(UnitListEdits, ReplacingBytesKeepsTheSizeWordAndLaterOffsets) {
  Bytes block = SmallBlock();
  auto windows = ParseFormBlock(block.data(), block.size());
  WindowRecord& w = (*windows)[0];
  uint32_t before = 0;
  UnitRecordAt(w, 1, &before);
  // Replace b1's name "b1" (2 bytes at 24) by a longer one, then a shorter.
  ASSERT_TRUE(ReplaceUnitBytes(w, 1, 24, 2, {'l', 'o', 'n', 'g', 'e', 'r'}));
  uint32_t after = 0;
  const uint8_t* rec = UnitRecordAt(w, 1, &after);
  auto b1 = ParseUnitRecord(rec, after);
  ASSERT_TRUE(b1);
  EXPECT_EQ(after, before + 4);
  EXPECT_EQ(b1->name, "longer");
  EXPECT_TRUE(UnitListIsSound(w));
  auto label = ParseUnitAt(w, 3);
  ASSERT_TRUE(label);
  EXPECT_EQ(label->name, "l");
  ASSERT_TRUE(ReplaceUnitBytes(w, 1, 24, 6, {'x'}));
  EXPECT_TRUE(UnitListIsSound(w));
  EXPECT_FALSE(ReplaceUnitBytes(w, 1, 10000, 1, {}));
}

TEST(UnitListEdits, InsertAndRemoveKeepEveryLaterOffsetRight) {
  Bytes block = SmallBlock();
  auto windows = ParseFormBlock(block.data(), block.size());
  WindowRecord& w = (*windows)[0];
  uint32_t id = InsertUnit(w, 2, BuildUnitRecord(Unit(kLabelType, "new", {})));
  EXPECT_EQ(id & 0x0F000000u, 0x06000000u);
  EXPECT_TRUE(IsValidUnitId(id));
  ASSERT_EQ(w.unitCount, 5u);
  EXPECT_TRUE(UnitListIsSound(w));
  EXPECT_EQ(UnitIdAt(w, 2), id);
  EXPECT_EQ(UnitIdAt(w, 3), 0x16000002u);
  uint32_t size = 0;
  const uint8_t* rec = UnitRecordAt(w, 4, &size);
  EXPECT_EQ(ParseUnitRecord(rec, size)->name, "l");
  // A second insert gets another id; inserting at the end works.
  uint32_t id2 = InsertUnit(w, 5, BuildUnitRecord(Unit(kLabelType, "end", {})));
  EXPECT_NE(id2, id);
  EXPECT_EQ(FindUnitPosition(w, id2), 5);

  ASSERT_TRUE(RemoveUnit(w, 1));
  EXPECT_TRUE(UnitListIsSound(w));
  EXPECT_EQ(w.unitCount, 5u);
  EXPECT_EQ(FindUnitPosition(w, 0x16000001), -1);
  rec = UnitRecordAt(w, 3, &size);
  EXPECT_EQ(ParseUnitRecord(rec, size)->name, "l");
  EXPECT_FALSE(RemoveUnit(w, 0));  // the window unit stays
  EXPECT_EQ(InsertUnit(w, 0, {}), 0u);

  // The edited window still loads and relocates as a whole.
  Bytes again = WriteFormBlock(*windows);
  WindowRegistry reg;
  ASSERT_TRUE(reg.Load(again.data(), again.size(), kCodeBase));
  EXPECT_EQ(Handler(reg, 0x16000003, 0), kCodeBase + 64);
}

TEST(UnitTypes, LibrariesHoldTheTypesInTheirSlots) {
  UnitTypeTable core = LibraryUnitTypes(1);
  ASSERT_EQ(core.count, 51u);
  EXPECT_EQ(LibraryUnitTypes(2).count, 5u);
  EXPECT_EQ(LibraryUnitTypes(7).count, 9u);
  EXPECT_EQ(LibraryUnitTypes(3).count, 0u);
  EXPECT_STREQ(core.entries[0].englishName, "window");
  EXPECT_EQ(core.entries[0].propertyCount, 32u);
  EXPECT_EQ(core.entries[1].name, nullptr);  // type 2 is not used: all zero
  EXPECT_EQ(core.entries[1].propertyCount, 0u);
  EXPECT_STREQ(core.entries[0x1D - 1].englishName, "HyperLinker");
  EXPECT_STREQ(LibraryUnitTypes(2).entries[3].englishName, "ListView");
  EXPECT_EQ(LibraryUnitTypes(2).entries[3].propertyCount, 39u);
  EXPECT_STREQ(LibraryUnitTypes(7).entries[0].englishName, "SuperBtn");
  EXPECT_EQ(UnitTypeStateFlags(0x00010009), 0x840140C0u);
  EXPECT_EQ(MaxRecordVersion(0x00020001), 1);
}

TEST(UnitTypes, EveryPropertyHasACodeAndTheFirstEightAreCommon) {
  const int16_t common[8] = {1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011};
  for (uint32_t lib : {1u, 2u, 7u}) {
    UnitTypeTable t = LibraryUnitTypes(lib);
    for (uint32_t k = 0; k < t.count; ++k) {
      const ts::UnitTypeEntry& e = t.entries[k];
      if (!e.name) continue;
      for (uint32_t p = 0; p < e.propertyCount; ++p) {
        EXPECT_GE(e.properties[p].typeCode, 1001) << e.englishName << " " << p;
        EXPECT_LE(e.properties[p].typeCode, 1024) << e.englishName << " " << p;
        if (p < 8) {
          EXPECT_EQ(e.properties[p].typeCode, common[p]) << e.englishName << " " << p;
        }
      }
    }
  }
  // Properties that hold -1 must not be enumerations, which clamp below 0.
  EXPECT_EQ(FindUnitType(0x0001000E)->properties[19].typeCode, 1001);  // CurrentIndex
  EXPECT_EQ(FindUnitType(0x00020004)->properties[35].typeCode, 1001);  // CurrentRow
  EXPECT_EQ(FindUnitType(0x00020001)->properties[16].typeCode, 1001);  // CurrentItem
}

namespace {
void* FakeOperation(int32_t op) { return op == 1 ? reinterpret_cast<void*>(0x1234) : nullptr; }
}  // namespace

TEST(UnitTypes, InterfaceFunctionsAskTheRegisteredOperations) {
  const ts::UnitTypeEntry* label = FindUnitType(0x0001000A);
  ASSERT_TRUE(label && label->interfaceFn);
  EXPECT_EQ(label->interfaceFn(1), nullptr);  // nothing registered yet
  RegisterUnitOperations(0x0001000A, FakeOperation);
  EXPECT_EQ(label->interfaceFn(1), reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(label->interfaceFn(4), nullptr);
  EXPECT_EQ(FindUnitType(0x00010005)->interfaceFn(1), nullptr);  // other types unaffected
  RegisterUnitOperations(0x0001000A, nullptr);
}
