// The form block as the executable carries it, read on the target through
// the registry hooks the runtime calls.
#include <gtest/gtest.h>

#include "forms/form_block_data.h"
#include "forms/records/records.h"
#include "forms/registry.h"
#include "forms/unit_types.h"
#include "runtime/forms_link.h"


using namespace ts::forms;

namespace {
constexpr uintptr_t kCodeBase = 0x00500000;
}

TEST(EmbeddedBlock, TablesHaveTheirTargetLayout) {
  static_assert(sizeof(ts::UnitTypeEntry) == 56);
  static_assert(sizeof(ts::PropertyEntry) == 20);
  UnitTypeTable core = LibraryUnitTypes(1);
  ASSERT_EQ(core.count, 51u);
  EXPECT_STREQ(core.entries[0].name, "窗口");
  EXPECT_EQ(core.entries[0].stateFlags, 0x800000D0u);
  EXPECT_EQ(LibraryUnitTypes(7).entries[0].properties[34].typeCode, propcode::Enumeration);
}

TEST(EmbeddedBlock, LoadsThroughTheRuntimeHooksAndRelocatesHandlers) {
  ASSERT_EQ(ts_form_block_size, 140096u);
  RegisterRegistryHooks();
  const ts::FormsHooks& hooks = ts::Forms();
  ASSERT_TRUE(hooks.loadFormBlock && hooks.findHandler && hooks.freeRegistry);
  ASSERT_TRUE(hooks.loadFormBlock(ts_form_block, ts_form_block_size, kCodeBase));
  ASSERT_EQ(Registry().WindowCount(), 2u);
  EXPECT_EQ(Registry().FindForm(0x52010001)->unitCount, 28u);
  EXPECT_EQ(Registry().FindForm(0x52011986)->unitCount, 12u);

  ts::HandlerTarget t{};
  ASSERT_EQ(hooks.findHandler(0x52010001, 0x1601C4EE, 0, &t), ts::HandlerLookup::Found);
  EXPECT_EQ(t.handler, kCodeBase);  // offset 0: the routine at the code base
  EXPECT_EQ(t.unitType, 0x00070001u);
  ASSERT_EQ(hooks.findHandler(0x52010001, 0x1601C4EE, -7, &t), ts::HandlerLookup::Found);
  EXPECT_EQ(t.handler, 0u);
  ASSERT_EQ(hooks.findHandler(0x52010001, 0, 2, &t), ts::HandlerLookup::Found);
  EXPECT_GT(t.handler, kCodeBase);
  EXPECT_EQ(t.sourceUnitId, 0x06010000u);
  EXPECT_EQ(hooks.findHandler(0x52010002, 0, 0, &t), ts::HandlerLookup::NoWindow);
  EXPECT_EQ(hooks.findHandler(0x52010001, 0x16000001, 0, &t), ts::HandlerLookup::NoUnit);

  hooks.freeRegistry();
  EXPECT_EQ(Registry().WindowCount(), 0u);
}

TEST(EmbeddedBlock, EveryUnitRecordReadsWithItsType) {
  ASSERT_TRUE(Registry().Load(ts_form_block, ts_form_block_size, kCodeBase));
  for (size_t i = 0; i < Registry().WindowCount(); ++i) {
    WindowRecord& w = *Registry().WindowAt(i);
    for (size_t k = 0; k < w.unitCount; ++k) {
      auto unit = WindowRegistry::UnitAt(w, k);
      ASSERT_TRUE(unit);
      PropertyData pd = WindowRegistry::PropertiesOf(*unit);
      ASSERT_GT(pd.length, 0);
      size_t consumed = 0;
      UnitLayout l;
      ASSERT_TRUE(WalkUnitRecord(unit->record, unit->size, &l));
      EXPECT_TRUE(ReadProps(l.type, pd.data, size_t(pd.length), &consumed));
      EXPECT_EQ(consumed, size_t(pd.length));
      EXPECT_EQ(LoadU32(unit->objectSlot), 0u);
    }
  }
  Registry().Clear();
}
