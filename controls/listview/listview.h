// The super list box: a unit over the platform list view.
//
// The box keeps its rows itself (RowStore) and runs the platform control in
// owner-data mode: the control holds only the number of rows, the
// selection and the focus, and asks for texts, images, indent and state
// images when it needs them. What the platform control did with rows it
// kept (sorted insertion, moving selection and focus along on insertion,
// toggling check boxes, storing an edited label, finding) the box does.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "controls/common/control_support.h"
#include "controls/listview/row_store.h"
#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "win/handles.h"

namespace ts::controls {

// What a cell accessor reads or writes.
enum class CellKind : int32_t { Text = 0, Image = 1, Check = 2, Indent = 3, ItemData = 4 };

struct ListRowSpec {
  int32_t position = -1;  // negative: after the last row
  std::string text;
  int32_t image = -1;
  bool hasCheck = false;
  int32_t checkState = 0;
  int32_t indent = 0;
  int32_t itemData = 0;
};

class ListView : public forms::UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::ListView;

  ListView(const forms::CreateArgs& args, forms::ListViewProps props);
  ~ListView() override;

  // The unit operations (see ControlOps).
  static forms::UnitObject* CreateUnit(const forms::CreateArgs& args);
  int32_t SetProperty(int32_t index, const forms::PropertyValue& value);
  bool GetProperty(int32_t index, forms::PropertyValue* out);
  Bytes SaveRecord();

  // --- rows ------------------------------------------------------------
  int32_t RowCount() const;
  int32_t InsertRow(const ListRowSpec& desc);
  void DeleteRow(int32_t row);
  void DeleteAllRows();
  // The whole text of a cell; empty when the cell does not exist.
  std::string CellText(int32_t row, int32_t column) const;
  void SetCellText(int32_t row, int32_t column, const std::string& text);
  // Numeric cell accessors (image, check state, indent, item data).
  int32_t CellValue(int32_t row, int32_t column, CellKind kind) const;
  void SetCellValue(int32_t row, int32_t column, CellKind kind, int32_t value);
  // argc counts the command's arguments (column rules need five or more).
  int32_t Find(const std::string& text, int32_t start, bool exact, bool columnGiven, int32_t column);
  int32_t ColumnCount() const;
  bool ReportView() const;
  // Turns drawing off while many rows change, and on again (the whole list
  // is then repainted once).
  void SetDrawing(bool on);

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  static constexpr UINT kCheckToggled = WM_USER + 1;

  bool Build(const forms::CreateArgs& args);
  DWORD StyleFromProps() const;
  DWORD ExStyleFromProps() const;
  void ApplyColours();
  void ApplyFont();
  void ApplyImages();
  void ApplyStateImages();
  void ApplyHeaderImages();
  void InsertColumns();
  void BuildRows();
  void ApplyCurrentRow();
  int32_t CurrentRow() const;
  LRESULT OnNotify(const NMHDR* header);
  // The row whose state icon is at the point, or -1.
  int32_t StateIconAt(LPARAM point);
  // Toggles a check box as the platform control does: unchecked and
  // checked swap, other states stay.
  void ToggleCheck(int32_t row);

  // Places a new row (sorted when the box sorts) and tells the control.
  int32_t PlaceRow(int32_t position, ListRow row);
  // Moves selection, focus and selection mark of rows from `first` on one
  // row down, after a row was inserted before them.
  void ShiftStatesDown(int32_t first);
  void SetNativeState(int32_t row, UINT state, UINT mask);
  // Icon views: places every row on the grid again.
  void ArrangeIcons();
  void RedrawRow(int32_t row);
  bool CellStored(int32_t column) const { return column == 0 || (column > 0 && column < columns_); }
  void FillDisplayInfo(LVITEMA& item, bool wide);
  int32_t FindForControl(const LVFINDINFOA& find, int32_t start, bool wide);

  forms::ListViewProps props_;
  win::OwnedImageList images_, stateImages_, headerImages_;
  win::OwnedFont font_;
  std::string editedText_;
  std::vector<std::string> tips_;  // tip of each row of InitialRows, by row
  RowStore rows_;
  int32_t columns_ = 0;     // the control's columns; cells right of them are not kept
  bool quiet_ = false;      // selection moved by the box itself: no focus event
  bool drawingOff_ = false; // WM_SETREDRAW FALSE is in force
  int32_t hotRow_ = -1;     // the row under the mouse while hot tracking, -1 none
};

void* ListViewInterface(int32_t operation);

}  // namespace ts::controls
