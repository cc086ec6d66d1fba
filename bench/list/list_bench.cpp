// List box cost per row: the working set and the time of appending rows of
// ~90-byte paths with a 32-character second cell to a hidden report-view
// list with three columns and drawing off, as the scan fills its digest list.
// Arguments: [rows] (60,000 by default).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/clock.h"
#include "controls/listview/listview.h"

namespace {

using ts::controls::ListView;
using ts::controls::ListRowSpec;

void Memory(SIZE_T* workingSet, SIZE_T* privateBytes) {
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
  *workingSet = pmc.WorkingSetSize;
  *privateBytes = pmc.PagefileUsage;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 60000;
  HWND host = ::CreateWindowExA(0, "STATIC", "bench", WS_OVERLAPPED, 0, 0, 640, 480, nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
  ts::forms::ListViewProps props;
  props.viewType = 3;
  std::vector<ts::forms::ListColumn> columns(3);
  columns[0].title = "path";
  columns[1].title = "md5";
  columns[2].title = "group";
  props.columns = ts::forms::EncodeColumns(columns);
  ts::forms::Bytes record = ts::forms::WriteRecord(props);
  ts::forms::CreateArgs args;
  args.data = record.data();
  args.size = static_cast<uint32_t>(record.size());
  args.parent = host;
  args.menuOrId = 100;
  args.width = 600;
  args.height = 400;
  args.formId = 1;
  args.unitId = 1;
  auto* list = static_cast<ListView*>(ListView::CreateUnit(args));
  if (list == nullptr) {
    std::printf("list box could not be created\n");
    return 1;
  }
  list->Send(WM_SETREDRAW, FALSE);

  // Paths and digests made beforehand, so that only the list's own work is
  // timed and counted.
  std::vector<std::string> paths(static_cast<size_t>(rows)), digests(static_cast<size_t>(rows));
  char buffer[160];
  for (int r = 0; r < rows; ++r) {
    std::snprintf(buffer, sizeof buffer, "C:\\Users\\someone\\Documents\\Archive\\2019-holiday-photos\\folder%03d\\IMG_%06d_copy_final.jpg",
                  r % 500, r);
    paths[static_cast<size_t>(r)] = buffer;
    std::snprintf(buffer, sizeof buffer, "%08x%08x%08x%08x", r * 2654435761u, r ^ 0x5bd1e995u, r * 40503u, ~r);
    digests[static_cast<size_t>(r)] = buffer;
  }
  SIZE_T ws0, pb0, ws1, pb1;
  Memory(&ws0, &pb0);
  const double t0 = bench::Now();
  double t3 = t0;
  double insertSeconds = 0, cellSeconds = 0;
  ListRowSpec desc;
  for (int r = 0; r < rows; ++r) {
    desc.text = paths[static_cast<size_t>(r)];
    const double t1 = bench::Now();
    int32_t row = list->InsertRow(desc);
    const double t2 = bench::Now();
    list->SetCellText(row, 1, digests[static_cast<size_t>(r)]);
    t3 = bench::Now();
    insertSeconds += t2 - t1;
    cellSeconds += t3 - t2;
    if (row != r) {
      std::printf("wrong index %d at row %d\n", row, r);
      return 1;
    }
  }
  Memory(&ws1, &pb1);
  const double all = t3 - t0;
  if (list->RowCount() != rows || list->CellText(rows - 1, 1) != digests.back()) {
    std::printf("rows do not read back\n");
    return 1;
  }
  std::printf("rows: %d (path %zu bytes, second cell %zu)\n", rows, paths[0].size(), digests[0].size());
  std::printf("working set: +%.1f MB, %.0f bytes per row\n", (ws1 - ws0) / 1048576.0,
              static_cast<double>(ws1 - ws0) / rows);
  std::printf("private bytes: +%.1f MB, %.0f bytes per row\n", (pb1 - pb0) / 1048576.0,
              static_cast<double>(pb1 - pb0) / rows);
  std::printf("append: %.2f us per row (insert %.2f, second cell %.2f), %.3f s in all\n", all * 1e6 / rows,
              insertSeconds * 1e6 / rows, cellSeconds * 1e6 / rows, all);
  ::DestroyWindow(host);
  return 0;
}
