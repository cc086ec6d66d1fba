// The run-time error report.
#include "runtime/error.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "runtime/app.h"
#include "runtime/state.h"
#endif

namespace ts {

namespace {
const char* const kCodeMessages[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};

#ifdef _WIN32
// The installed hook, unless it is already running; true when it asked to
// suppress the box.
bool HookHandled(int32_t code, const char* message) {
  RuntimeState& s = State();
  if (!s.errorHook || s.errorHookRunning) return false;
  s.errorHookRunning = true;
  bool handled = s.errorHook(code, message ? message : "") != 0;
  s.errorHookRunning = false;
  return handled;
}
#endif
}  // namespace

const char* ErrorCodeMessage(int32_t code) {
  if (code < 1 || code > 11) return nullptr;
  return kCodeMessages[code - 1];
}

std::string ComposeErrorText(const char* message, int32_t code) {
  std::string text = "运行时出错!\r\n\r\n";
  if (code != 0) text += "错误代码：" + std::to_string(code) + "\r\n\r\n";
  if (message && *message) text += std::string("错误信息：") + message + "\r\n";
  return text;
}

void ReportErrorCode(int32_t code) { ReportRuntimeError(ErrorCodeMessage(code), code); }

void ReportRuntimeError(const char* message, int32_t code) {
#ifdef _WIN32
  ++State().suppress;
  if (!HookHandled(code, message)) {
    MessageBoxA(nullptr, ComposeErrorText(message, code).c_str(), "错误", MB_ICONERROR);
  }
  State().exitList.clear();
  EndProgram(-1);
#else
  std::fputs(ComposeErrorText(message, code).c_str(), stderr);
  std::exit(-1);
#endif
}

}  // namespace ts
