#include "forms/unit_types.h"
#include "forms/unit_type_ids.h"

#include <array>
#include <cstddef>
#include <utility>
#include <initializer_list>

namespace ts::forms {

namespace {

using namespace propcode;

// Up to 39 properties per type: a fixed-size table of type codes that
// becomes the property entries.
template <std::size_t N>
struct PropertyTable {
  std::array<PropertyEntry, N> entries{};
  constexpr PropertyTable(std::initializer_list<int16_t> specific) {
    const int16_t common[8] = {Integer, Integer, Integer, Integer, Text, Boolean, Boolean, Cursor};
    size_t k = 0;
    for (int16_t c : common) entries[k++] = PropertyEntry{nullptr, nullptr, nullptr, c, 0, nullptr};
    for (int16_t c : specific) entries[k++] = PropertyEntry{nullptr, nullptr, nullptr, c, 0, nullptr};
  }
};

// Index 8 onwards of each type, in property index order.
const PropertyTable<32> kWindowProps{
    Text, Enumeration, BackColour, Picture, Enumeration, Sound, Integer, Boolean,  // 8..15
    Boolean, Boolean, Enumeration, Boolean, Icon, Boolean, Boolean, Boolean,      // 16..23
    FileName, Integer, Boolean, Boolean, Enumeration, Boolean, Boolean, Text};    // 24..31
const PropertyTable<29> kEditBoxProps{
    Text, Enumeration, TextColour, BackColour, Font, Boolean, Integer, Boolean,  // 8..15
    Enumeration, Enumeration, Enumeration, Integer, Enumeration,                 // 16..20
    Enumeration, Integer, Integer, Integer, Integer, ReadOnlyText,               // 21..26
    BindingText, BindingText};                                                    // 27..28
const PropertyTable<15> kPicBoxProps{Enumeration, BackColour,  Picture,    Enumeration,
                                     Boolean,     BindingText, BindingText};
const PropertyTable<13> kGroupBoxProps{Text, Enumeration, TextColour, BackColour, Font};
const PropertyTable<29> kLabelProps{
    Text, Enumeration, Enumeration, Integer, Colour, Colour, Colour, Font,           // 8..15
    TextColour, BackColour, Picture, Enumeration, Enumeration, Colour, Colour, Colour,  // 16..23
    Enumeration, Boolean, Enumeration, BindingText, BindingText};                       // 24..28
const PropertyTable<21> kCheckBoxProps{
    Picture, Boolean, Boolean, Text, Boolean, Enumeration, Enumeration, TextColour,  // 8..15
    BackColour, Font, Boolean, BindingText, BindingText};                            // 16..20
const PropertyTable<25> kComboBoxProps{
    Enumeration, Text, Integer, Integer, Integer, ReadOnlyText, Boolean, Integer,  // 8..15
    TextColour, BackColour, Font, Integer, CustomBlock, CustomBlock,               // 16..21
    BindingText, BindingText, Integer};                                            // 22..24
const PropertyTable<14> kProgressBarProps{Enumeration, Boolean, Boolean, Integer, Integer, Integer};
const PropertyTable<18> kHyperlinkProps{Text,   Enumeration, Text,       Text,        Colour,
                                        Colour, Colour,      BackColour, Enumeration, Font};
const PropertyTable<25> kTreeBoxProps{
    Enumeration, TextColour, BackColour, Boolean, Boolean, Boolean, Boolean, Boolean,  // 8..15
    Integer, Integer, Font, ImageList, CustomBlock, ReadOnlyText, Boolean, ImageList,  // 16..23
    Integer};                                                                          // 24
const PropertyTable<39> kListViewProps{
    Enumeration, TextColour, BackColour, BackColour, Font, Enumeration, Enumeration, Boolean,  // 8..15
    Boolean, CustomBlock, Boolean, ImageList, Boolean, Boolean, Boolean, Boolean,              // 16..23
    ImageList, ImageList, Boolean, Boolean, Boolean, Boolean, Boolean, Enumeration,            // 24..31
    Boolean, Boolean, Boolean, Integer, Boolean, CustomBlock, ReadOnlyText};                   // 32..38
const PropertyTable<35> kSuperButtonProps{
    Enumeration, Boolean, Boolean, Enumeration, Enumeration, Boolean, Boolean, Picture,  // 8..15
    Colour, Picture, Colour, Picture, Colour, Font, Text, Boolean,                       // 16..23
    TextColour, BackColour, TextColour, BackColour, TextColour, BackColour,              // 24..29
    Boolean, Sound, Sound, Text, Enumeration};                                           // 30..34

struct TypeInfo {
  uint32_t typeId;
  const char* name;
  const char* englishName;
  uint32_t stateFlags;
  int32_t maxVersion;
  uint32_t propertyCount;
  const PropertyEntry* properties;
};

const TypeInfo kTypes[] = {
    {unittype::Window, "窗口", "window", 0x800000D0, 6, 32, kWindowProps.entries.data()},
    {unittype::EditBox, "编辑框", "EditBox", 0x80000040, 2, 29, kEditBoxProps.entries.data()},
    {unittype::PicBox, "图片框", "PicBox", 0x840100C0, 2, 15, kPicBoxProps.entries.data()},
    {unittype::GroupBox, "分组框", "GroupBox", 0x840140C0, 1, 13, kGroupBoxProps.entries.data()},
    {unittype::Label, "标签", "Label", 0x84012040, 2, 29, kLabelProps.entries.data()},
    {unittype::CheckBox, "选择框", "CheckBox", 0x80001040, 2, 21, kCheckBoxProps.entries.data()},
    {unittype::ComboBox, "组合框", "ComboBox", 0x80000240, 3, 25, kComboBoxProps.entries.data()},
    {unittype::ProgressBar, "进度条", "ProcessBar", 0x84010040, 1, 14, kProgressBarProps.entries.data()},
    {unittype::Hyperlink, "超级链接框", "HyperLinker", 0x80010040, 1, 18, kHyperlinkProps.entries.data()},
    {unittype::TreeBox, "树型框", "TreeBox", 0x00000040, 1, 25, kTreeBoxProps.entries.data()},
    {unittype::ListView, "超级列表框", "ListView", 0x00000040, 1, 39, kListViewProps.entries.data()},
    {unittype::SuperButton, "超级按钮", "SuperBtn", 0x00000840, 2, 35, kSuperButtonProps.entries.data()},
};

constexpr std::size_t kTypeCount = sizeof(kTypes) / sizeof(kTypes[0]);
UnitInterfaceFn g_sources[kTypeCount] = {};

template <std::size_t I>
void* InterfaceOf(int32_t operation) {
  UnitInterfaceFn source = g_sources[I];
  return source ? source(operation) : nullptr;
}

template <std::size_t... I>
constexpr std::array<UnitInterfaceFn, kTypeCount> MakeInterfaces(std::index_sequence<I...>) {
  return {&InterfaceOf<I>...};
}
const std::array<UnitInterfaceFn, kTypeCount> kInterfaces =
    MakeInterfaces(std::make_index_sequence<kTypeCount>{});

template <std::size_t N>
struct Library {
  std::array<UnitTypeEntry, N> entries{};
  Library(uint32_t library) {
    for (size_t i = 0; i < kTypeCount; ++i) {
      const TypeInfo& t = kTypes[i];
      if (t.typeId >> 16 != library) continue;
      UnitTypeEntry& e = entries[(t.typeId & 0xFFFF) - 1];
      e.name = t.name;
      e.englishName = t.englishName;
      e.stateFlags = t.stateFlags;
      e.propertyCount = t.propertyCount;
      e.properties = t.properties;
      e.interfaceFn = kInterfaces[i];
    }
  }
};

const Library<51>& Library1() {
  static const Library<51> lib(1);
  return lib;
}
const Library<5>& Library2() {
  static const Library<5> lib(2);
  return lib;
}
const Library<9>& Library7() {
  static const Library<9> lib(7);
  return lib;
}

const TypeInfo* InfoOf(uint32_t typeId) {
  for (const TypeInfo& t : kTypes)
    if (t.typeId == typeId) return &t;
  return nullptr;
}

}  // namespace

UnitTypeTable LibraryUnitTypes(uint32_t library) {
  switch (library) {
    case 1: return {51, Library1().entries.data()};
    case 2: return {5, Library2().entries.data()};
    case 7: return {9, Library7().entries.data()};
    default: return {0, nullptr};
  }
}

const UnitTypeEntry* FindUnitType(uint32_t typeId) {
  if (!InfoOf(typeId)) return nullptr;
  UnitTypeTable table = LibraryUnitTypes(typeId >> 16);
  return &table.entries[(typeId & 0xFFFF) - 1];
}

uint32_t UnitTypeStateFlags(uint32_t typeId) {
  const TypeInfo* t = InfoOf(typeId);
  return t ? t->stateFlags : 0;
}

int32_t MaxRecordVersion(uint32_t typeId) {
  const TypeInfo* t = InfoOf(typeId);
  return t ? t->maxVersion : -1;
}

void RegisterUnitOperations(uint32_t typeId, UnitInterfaceFn source) {
  for (size_t i = 0; i < kTypeCount; ++i)
    if (kTypes[i].typeId == typeId) g_sources[i] = source;
}

}  // namespace ts::forms
