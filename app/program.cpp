// The program header, the seven support libraries and the twelve DLL
// commands of this program, and its constant block.
#include "app/program.h"

#include <cstring>
#include <iterator>

#include "controls/listview/listview_commands.h"
#include "controls/treebox/treebox_commands.h"
#include "forms/engine/window_commands.h"
#include "libs/digest/digest_library.h"
#include "libs/shell/shell_library.h"
#include "libs/thread/thread_library.h"
#include "forms/unit_types.h"
#include "runtime/commands/commands.h"

extern "C" const unsigned char ts_app_handlers[];
extern "C" const unsigned char ts_form_block[];
extern "C" const unsigned ts_form_block_size;

namespace ts::app {
namespace {

// The constant block: the empty byte set {1, 0} and the empty text, padded
// to the block's fixed size.
constexpr uint32_t kConstSize = 702;
struct alignas(4) ConstBlock {
  uint32_t emptyByteSet[2];
  char emptyText[kConstSize - 8];
};
static_assert(sizeof(ConstBlock) == kConstSize + 2);  // alignment tail, not counted
const ConstBlock kConst = {{1, 0}, {0}};

constexpr size_t kDllCount = static_cast<size_t>(DllCommand::Count);
const char* const kDllFiles[] = {"Shell32.dll", "Kernel32.dll", "user32",     "user32.dll",
                                   "",            "",             "gdi32.dll",  "",
                                   "",            "gdi32.dll",    "user32.dll", "user32"};
// Files are recycled and deleted by their exact paths: the wide forms.
const char* const kDllNames[] = {"SHFileOperationW", "DeleteFileW", "GetForegroundWindow", "GetDC",
                                   "CreateFontIndirectA", "SelectObject", "SetBkMode", "SetTextColor",
                                   "TextOutA", "DeleteObject", "ReleaseDC", "GetInputState"};
static_assert(std::size(kDllFiles) == kDllCount && std::size(kDllNames) == kDllCount,
              "the DLL-command table and DllCommand list the same commands");

struct LibraryInfo {
  const char* identifier;
  const char* name;
  uint32_t major, minor, build;
  uint32_t flags;
  uint32_t unitTypes;
  uint32_t commands;
};

const LibraryInfo kLibraries[7] = {
    {"d09f2340818511d396f6aaf844c7e325", "系统核心支持库", 5, 3, 64, 0xC0000001, 51, 22},
    {"27bb20fdd3e145e4bee3db39ddd6e64c", "扩展界面支持库一", 2, 0, 3, 0, 5, 17},
    {"52F260023059454187AF826A3C07AF2A", "操作系统界面功能支持库", 3, 0, 0, 0, 0, 2},
    {"A512548E76954B6E92C21055517615B0", "特殊功能支持库", 3, 1, 0, 0xC0000000, 0, 0},
    {"5F99C1642A2F4e03850721B4F5D7C3F8", "多线程支持库", 2, 0, 3, 0xC0000000, 0, 2},
    {"4BB4003860154917BC7D8230BF4FA58A", "数据操作支持库一", 2, 0, 50, 0xC0000000, 0, 1},
    {"AF6AD80AA4244A59AFB3D83ECF5173CC", "扩展界面支持库二", 2, 0, 2, 0, 9, 0},
};

// A command function as it stands in a library's command table.
template <ts::CommandFn F>
constexpr const void* Command() {
  return reinterpret_cast<const void*>(F);
}
#define Cmd(name) Command<&ts::name>()

// The command functions of the core library and of the first interface
// library, in the order the application first uses them; the interface
// library's last three read the item data that rows and items keep and
// turn a list's drawing off and on.
const void* const kCoreCommands[22] = {
    Cmd(ShowMessage),    Cmd(TextReplace),
    Cmd(TextFind),       Cmd(TextLength),
    Cmd(TextMiddle),     Cmd(CurrentTime),
    Cmd(TextRight),      Cmd(TextSplit),
    Cmd(ProcessEvents),  Cmd(TextLeft),
    Cmd(forms::CmdRepaint),     Cmd(ToText),
    Cmd(FloorToInteger), Cmd(ReadWholeFile),
    Cmd(ToInteger),      Cmd(TimeDifference),
    Cmd(ToLongInteger),  Cmd(RunProgram),
    Cmd(forms::CmdLoadWindow),  Cmd(forms::CmdDestroyUnit),
    Cmd(BitAnd),         Cmd(ToBytes),
};
const void* const kInterfaceCommands[17] = {
    Cmd(controls::ListFindItem),       Cmd(controls::ListInsertItem),
    Cmd(controls::ListSetItemText),    Cmd(controls::ListDeleteItem),
    Cmd(controls::ListGetItemCount),   Cmd(controls::ListDeleteAllItems),
    Cmd(controls::ListGetItemText),    Cmd(controls::TreeDeleteAllItems),
    Cmd(controls::TreeInsertItem),     Cmd(controls::TreeGetItemCount),
    Cmd(controls::TreeGetParent),      Cmd(controls::TreeSetCheckState),
    Cmd(controls::TreeGetCheckState),  Cmd(controls::TreeGetItemText),
    Cmd(controls::ListGetCellValue),   Cmd(controls::TreeGetItemData),
    Cmd(controls::ListSetDrawing),
};
// The libraries whose record this program builds; the thread, shell and
// digest libraries bring their own.
const void* const* const kCommandTables[7] = {kCoreCommands, kInterfaceCommands, nullptr, nullptr,
                                              nullptr,       nullptr,            nullptr};

ts::LibraryRecord MakeRecord(const LibraryInfo& info) {
  ts::LibraryRecord r{};
  r.formatStamp = 20000101;
  r.identifier = info.identifier;
  r.major = info.major;
  r.minor = info.minor;
  r.build = info.build;
  r.version2Major = r.version3Major = 3;
  r.version2Minor = r.version3Minor = 7;
  r.name = info.name;
  r.one = 1;
  r.flags = info.flags;
  r.unitTypeCount = info.unitTypes;
  // The unit-type tables of the libraries that have unit types.
  if (info.unitTypes > 0) {
    uint32_t library = static_cast<uint32_t>(&info - kLibraries) + 1;
    r.unitTypes = ts::forms::LibraryUnitTypes(library).entries;
  }
  r.commandCount = info.commands;
  const size_t index = static_cast<size_t>(&info - kLibraries);
  r.commands = kCommandTables[index];
  return r;
}

struct Tables {
  ts::LibraryRecord records[7];
  const ts::LibraryRecord* pointers[7];
  ts::ProgramHeader header;

  Tables() {
    for (int i = 0; i < 7; ++i) {
      records[i] = MakeRecord(kLibraries[i]);
      pointers[i] = &records[i];
    }
    pointers[2] = &ts::ShellLibraryRecord();
    pointers[4] = &ts::ThreadLibraryRecord();
    pointers[5] = &ts::DigestLibraryRecord();
    header.mode = 3;
    header.reserved = 0;
    header.build = 186146;
    header.codeBase = ts_app_handlers;
    header.constBlock = &kConst;
    header.constSize = kConstSize;
    header.formBlock = ts_form_block;
    header.formSize = ts_form_block_size;
    header.libraryCount = 7;
    header.libraries = pointers;
    header.dllCount = kDllCount;
    header.dllFiles = kDllFiles;
    header.dllNames = kDllNames;
  }
};

}  // namespace

const ts::ProgramHeader& Program() {
  static const Tables tables;
  return tables.header;
}

const char* ConstEmptyText() { return kConst.emptyText; }
const void* ConstEmptyByteSet() { return kConst.emptyByteSet; }

}  // namespace ts::app
