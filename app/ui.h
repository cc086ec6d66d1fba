// The windows and controls the application works with: form ids, unit ids
// and unit types as the form descriptions give them, and the property
// indexes it reads and writes.
#pragma once

#include <cstdint>

#include "forms/unit_type_ids.h"

namespace ts::app {

struct UnitRef {
  uint32_t form;
  uint32_t unit;
  uint32_t type;
};

// Unit type ids, as the form engine defines them.
namespace unittype = ts::forms::unittype;

constexpr uint32_t kMainForm = 0x52010001;
constexpr uint32_t kAboutForm = 0x52011986;

namespace ui {
constexpr UnitRef MainWindow{kMainForm, 0x06010000, unittype::Window};
constexpr UnitRef AboutWindow{kAboutForm, 0x06011985, unittype::Window};

constexpr UnitRef FolderList{kMainForm, 0x16010005, unittype::ListView};   // 超级列表框1
constexpr UnitRef DigestList{kMainForm, 0x16011994, unittype::ListView};   // 超级列表框2
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

constexpr UnitRef AddButton{kMainForm, 0x1601C4EE, unittype::SuperButton};       // 按钮_添加
constexpr UnitRef RemoveButton{kMainForm, 0x1601C4EF, unittype::SuperButton};    // 按钮_删除
constexpr UnitRef ScanButton{kMainForm, 0x1601738D, unittype::SuperButton};      // 按钮_扫描
constexpr UnitRef StopButton{kMainForm, 0x16017390, unittype::SuperButton};      // 按钮_停止
constexpr UnitRef HelpButton{kMainForm, 0x1601AB72, unittype::SuperButton};      // 按钮_帮助
constexpr UnitRef ExitButton{kMainForm, 0x1601AB73, unittype::SuperButton};      // 按钮_退出
constexpr UnitRef AutoSelectButton{kMainForm, 0x16021B6A, unittype::SuperButton};  // 按钮_自动选择
constexpr UnitRef CancelSelectionButton{kMainForm, 0x16021B6B, unittype::SuperButton};  // 按钮_取消选择
constexpr UnitRef CleanButton{kMainForm, 0x16021B6C, unittype::SuperButton};     // 按钮_清理文件
constexpr UnitRef OpenButton{kMainForm, 0x16021B6D, unittype::SuperButton};      // 按钮_打开文件
constexpr UnitRef LocateButton{kMainForm, 0x16021B6E, unittype::SuperButton};    // 按钮_定位文件

constexpr UnitRef AboutOkButton{kAboutForm, 0x16028BBB, unittype::SuperButton};  // 确定 of the about window
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

}  // namespace ts::app
