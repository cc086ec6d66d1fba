// The windows and controls the application works with: form ids, unit ids
// and unit types as the form descriptions give them, and the property
// indexes it reads and writes.
#pragma once

#include <cstdint>

namespace twinseek {

struct UnitRef {
  uint32_t form;
  uint32_t unit;
  uint32_t type;
};

namespace unittype {
constexpr uint32_t Window = 0x00010001;
constexpr uint32_t EditBox = 0x00010005;
constexpr uint32_t Label = 0x0001000A;
constexpr uint32_t CheckBox = 0x0001000C;
constexpr uint32_t ComboBox = 0x0001000E;
constexpr uint32_t ProgressBar = 0x00010013;
constexpr uint32_t TreeBox = 0x00020001;
constexpr uint32_t ListBox = 0x00020004;
constexpr uint32_t SuperButton = 0x00070001;
}  // namespace unittype

constexpr uint32_t kMainForm = 0x52010001;
constexpr uint32_t kAboutForm = 0x52011986;

namespace ui {
constexpr UnitRef MainWindow{kMainForm, 0x06010000, unittype::Window};
constexpr UnitRef AboutWindow{kAboutForm, 0x06011985, unittype::Window};

constexpr UnitRef FolderList{kMainForm, 0x16010005, unittype::ListBox};   // 超级列表框1
constexpr UnitRef DigestList{kMainForm, 0x16011994, unittype::ListBox};   // 超级列表框2
constexpr UnitRef ResultTree{kMainForm, 0x16011978, unittype::TreeBox};   // 树型框1
constexpr UnitRef Progress{kMainForm, 0x1601197B, unittype::ProgressBar}; // 进度条1
constexpr UnitRef ProgressLabel{kMainForm, 0x1601197C, unittype::Label};  // 标签_进度
constexpr UnitRef CurrentFile{kMainForm, 0x1601AB78, unittype::Label};    // 标签_当前文件
constexpr UnitRef Elapsed{kMainForm, 0x16028B3A, unittype::Label};        // 标签_使用时间
constexpr UnitRef Totals{kMainForm, 0x16028B38, unittype::Label};         // 标签_统计
constexpr UnitRef FileTypes{kMainForm, 0x16010011, unittype::ComboBox};   // 组合框_文件类型
constexpr UnitRef Patterns{kMainForm, 0x16010010, unittype::EditBox};     // 编辑框_文件类型
constexpr UnitRef Recycle{kMainForm, 0x1601000E, unittype::CheckBox};     // 选择框_清理文件时放入回收站
constexpr UnitRef Subfolders{kMainForm, 0x1601000D, unittype::CheckBox};  // 选择框_包含子目录

constexpr UnitRef AddButton{kMainForm, 0x1601C4EE, unittype::SuperButton};
constexpr UnitRef RemoveButton{kMainForm, 0x1601C4EF, unittype::SuperButton};
constexpr UnitRef ScanButton{kMainForm, 0x1601738D, unittype::SuperButton};
constexpr UnitRef StopButton{kMainForm, 0x16017390, unittype::SuperButton};
}  // namespace ui

namespace prop {
constexpr int32_t Disabled = 6;
constexpr int32_t LabelCaption = 8;
constexpr int32_t EditContent = 8;
constexpr int32_t ComboContent = 9;
constexpr int32_t Checked = 18;
constexpr int32_t Minimum = 11;
constexpr int32_t Maximum = 12;
constexpr int32_t Position = 13;
constexpr int32_t CurrentItem = 16;
constexpr int32_t CurrentRow = 35;
}  // namespace prop

// Message box captions and texts of the application.
namespace text {
constexpr const char* BlogCaption = "Kestrow’s Blog";
constexpr const char* AppCaption = "孪影 V1.00";
}  // namespace text

}  // namespace twinseek
