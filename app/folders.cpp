#include "app/folders.h"

#include "app/calls.h"
#include "app/item_paths.h"
#include "app/ui.h"
#include "libs/shell/shell_library.h"
#include "runtime/commands/commands.h"

namespace ts::app {
namespace {

std::string ReplaceQuoteEscape(const std::string& delimiter) {
  Args a;
  a.Text(delimiter).Text("#引号").Text("\"").Omit().Omit().Bool(true);
  return TakeText(CallCore(ts::TextReplace, a));
}

int32_t Find(const std::string& text, const std::string& sub, int32_t start, bool caseSensitive) {
  Args a;
  a.Text(text).Text(sub);
  if (start > 0) {
    a.Int(start);
  } else {
    a.Omit();
  }
  a.Bool(!caseSensitive);  // the command's flag asks for case-insensitive search
  return CallCore(ts::TextFind, a).v.i32;
}

}  // namespace

std::string TextBetween(const std::string& text, const std::string& leftIn, const std::string& rightIn, int start,
                        bool caseSensitive) {
  const std::string left = ReplaceQuoteEscape(leftIn);
  const std::string right = ReplaceQuoteEscape(rightIn);
  int32_t p = Find(text, left, start, caseSensitive);
  if (p != -1) p += static_cast<int32_t>(left.size());
  int32_t q = Find(text, right, p != -1 ? p : 0, caseSensitive);
  if (p == -1 || q == -1) return std::string();
  Args a;
  a.Text(text).Int(p).Int(q - p);
  return TakeText(CallCore(ts::TextMiddle, a));
}

void AddFolder() {
  // The dialog answers with the exact folder; the row shows its text.
  const std::wstring folder = ts::BrowseForFolderExact("请选择文件夹", false);
  if (folder.empty()) return;
  if (FolderListed(folder)) {
    ShowMessage("当前所选目录已存在，请不要重复添加，谢谢使用！", 0, text::AppCaption);
    return;
  }
  AddFolderRow(folder);
}

void RemoveFolder() {
  int32_t row = GetIntProperty(ui::FolderList, prop::CurrentRow);
  if (row < 0) return;
  ListDeleteRow(ui::FolderList, row);
}

void ChooseFileType() {
  std::string choice = GetTextProperty(ui::FileTypes, prop::ComboContent);
  SetTextProperty(ui::Patterns, prop::EditContent, TextBetween(choice, "(", ")"));
}

}  // namespace ts::app
