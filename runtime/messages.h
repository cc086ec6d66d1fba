// Texts of the run-time errors raised outside the numbered error codes.
// One table so every part of the runtime reports the same words.
#pragma once

namespace ts::msg {

constexpr const char* FormBlockBad = "载入窗口模板数据段出错!";
constexpr const char* StartupWindowFailed = "载入启动窗口失败";
constexpr const char* EventWindowMissing = "未找到引发事件的窗口";
constexpr const char* EventUnitMissing = "未找到引发事件的窗口组件";
constexpr const char* EventUnitInvalid = "引发事件的窗口组件无效";
constexpr const char* PropertyWindowNotLoaded = "未载入欲访问窗口组件所在的窗口";
constexpr const char* WindowNotLoaded = "指定窗口尚未载入";
constexpr const char* UnitControlMissing = "指定窗口或窗口组件不存在或尚未载入";
constexpr const char* NotNumeric = "欲转换数据类型不是数值";
constexpr const char* AllocFailed = "分配 %d 字节内存失败!";                          // %d: bytes
constexpr const char* DllExportMissing = "无法找到指定DLL库文件中的输出命令“%s”";         // export
constexpr const char* DllFileExportMissing = "无法找到指定DLL库文件“%s”中的输出命令“%s”";  // file, export

}  // namespace ts::msg
