// Unit type ids of this program: (library number << 16) + type number, as
// the form descriptions and the libraries' unit-type tables give them.
#pragma once

#include <cstdint>

namespace ts::forms::unittype {
constexpr uint32_t Window = 0x00010001;
constexpr uint32_t EditBox = 0x00010005;
constexpr uint32_t PicBox = 0x00010006;
constexpr uint32_t GroupBox = 0x00010009;
constexpr uint32_t Label = 0x0001000A;
constexpr uint32_t CheckBox = 0x0001000C;
constexpr uint32_t ComboBox = 0x0001000E;
constexpr uint32_t ProgressBar = 0x00010013;
constexpr uint32_t Hyperlink = 0x0001001D;
constexpr uint32_t TreeBox = 0x00020001;
constexpr uint32_t ListView = 0x00020004;
constexpr uint32_t SuperButton = 0x00070001;
}  // namespace ts::forms::unittype
