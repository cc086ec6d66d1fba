#include "controls/listview/listview.h"

#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "controls/common/control_ops.h"
#include "runtime/values.h"

namespace ts::controls {

using forms::ListViewProps;

namespace {

enum ListProperty : int32_t {
  kBorderStyle = 0, kTextColor, kTextBackColor, kBackColor, kFont, kViewType, kAlignment,
  kAutoArrange, kWrapLabels, kColumns, kHideHeader, kHeaderImages, kClickableHeader,
  kFullRowSelect, kGridLines, kHeaderDragDrop, kImages, kStateImages, kHotTracking, kHandCursor,
  kUnderlineHot, kUnderlineCold, kEditLabels, kSortOrder, kCheckBoxes, kFlatScrollBars,
  kSingleSelection, kCurrentRow, kShowSelectionAlways, kInitialRows, kEditedText,
};

enum ListEvent : int32_t {
  kRowFocused = 0, kRowActivated = 1, kHeaderClicked = 2, kHotRowChanged = 3, kLeftClick = 4, kRightClick = 5,
  kEditStarting = 6, kEditEnding = 7, kCheckChanged = 8,
};

// Boolean properties and their record fields.
uint32_t* BoolField(ListViewProps& p, int32_t index) {
  switch (index) {
    case kAutoArrange: return &p.autoArrange;
    case kWrapLabels: return &p.wrapLabels;
    case kHideHeader: return &p.hideHeader;
    case kClickableHeader: return &p.clickableHeader;
    case kFullRowSelect: return &p.fullRowSelect;
    case kGridLines: return &p.gridLines;
    case kHeaderDragDrop: return &p.headerDragDrop;
    case kHotTracking: return &p.hotTracking;
    case kHandCursor: return &p.handCursor;
    case kUnderlineHot: return &p.underlineHot;
    case kUnderlineCold: return &p.underlineCold;
    case kEditLabels: return &p.editLabels;
    case kCheckBoxes: return &p.checkBoxes;
    case kFlatScrollBars: return &p.flatScrollBars;
    case kSingleSelection: return &p.singleSelection;
    case kShowSelectionAlways: return &p.showSelectionAlways;
    default: return nullptr;
  }
}

bool IconView(const ListViewProps& p) { return p.viewType == 0 || p.viewType == 1; }

}  // namespace

ListView::ListView(const forms::CreateArgs& args, ListViewProps props)
    : UnitObject(args.formId, args.unitId, kTypeId), props_(std::move(props)) {}

ListView::~ListView() = default;

forms::UnitObject* ListView::CreateUnit(const forms::CreateArgs& args) {
  ListViewProps props;
  if (!forms::ReadRecord(args.data, args.size, &props)) return nullptr;
  EnsureCommonControls();
  auto* box = new ListView(args, std::move(props));
  if (!box->Build(args)) {
    delete box;
    return nullptr;
  }
  return box;
}

DWORD ListView::StyleFromProps() const {
  static const DWORD kViews[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  const ListViewProps& p = props_;
  // The image lists belong to this object, not to the platform control; the
  // rows too.
  DWORD style = kViews[Clamp(p.viewType, 0, 3)] | LVS_SHAREIMAGELISTS | LVS_OWNERDATA;
  if (IconView(p)) {
    if (p.alignment == 1) style |= LVS_ALIGNLEFT;
    if (p.autoArrange) style |= LVS_AUTOARRANGE;
    if (!p.wrapLabels) style |= LVS_NOLABELWRAP;
  }
  if (p.viewType == 3) {
    if (p.hideHeader) {
      style |= LVS_NOCOLUMNHEADER;
    } else if (!p.clickableHeader) {
      style |= LVS_NOSORTHEADER;
    }
  }
  if (p.editLabels) style |= LVS_EDITLABELS;
  // Sorting is the box's own (PlaceRow): an owner-data control does not sort.
  if (p.singleSelection) style |= LVS_SINGLESEL;
  if (p.showSelectionAlways) style |= LVS_SHOWSELALWAYS;
  return style;
}

DWORD ListView::ExStyleFromProps() const {
  const ListViewProps& p = props_;
  DWORD ex = LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
  if (p.viewType == 3) {
    if (p.headerDragDrop && !p.hideHeader) ex |= LVS_EX_HEADERDRAGDROP;
    if (p.fullRowSelect) ex |= LVS_EX_FULLROWSELECT;
    if (p.gridLines) ex |= LVS_EX_GRIDLINES;
  }
  if (p.hotTracking) {
    ex |= LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE;
    if (p.underlineHot) ex |= LVS_EX_UNDERLINEHOT;
    if (p.underlineCold) ex |= LVS_EX_UNDERLINECOLD;
  }
  if (p.checkBoxes) ex |= LVS_EX_CHECKBOXES;
  if (p.flatScrollBars) ex |= LVS_EX_FLATSB;
  return ex;
}

bool ListView::Build(const forms::CreateArgs& args) {
  const DWORD style = ChildStyle(args.style) | WS_CLIPCHILDREN | StyleFromProps();
  if (!CreateNative(0, WC_LISTVIEWA, "", style, args.left, args.top, args.width, args.height, args.parent,
                    args.menuOrId)) {
    return false;
  }
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyleFromProps()));
  // State images come from the rows; the control keeps none and asks.
  Send(LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK);
  ApplyFont();
  ApplyImages();
  ApplyStateImages();
  if (props_.viewType == 3) ApplyHeaderImages();
  ApplyColours();
  ApplyBorder(hwnd_, props_.borderStyle);
  if (props_.hotTracking) {
    HCURSOR hand = props_.handCursor ? ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND)) : nullptr;
    if (hand == nullptr) hand = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Send(LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(hand));
  }
  if (props_.viewType == 3) InsertColumns();
  columns_ = ColumnCount();
  BuildRows();
  ApplyCurrentRow();
  return true;
}

void ListView::ApplyColours() {
  Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ResolveButtonFace(props_.textColor)));
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ResolveButtonFace(props_.textBackColor)));
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ResolveButtonFace(props_.backColor)));
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListView::ApplyFont() {
  font_ = FontFromValue(props_.font);
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
}

void ListView::ApplyImages() {
  win::OwnedImageList list = DecodeImageList(props_.images);
  Send(LVM_SETIMAGELIST, props_.viewType == 0 ? LVSIL_NORMAL : LVSIL_SMALL, reinterpret_cast<LPARAM>(list.get()));
  images_ = std::move(list);
}

void ListView::ApplyStateImages() {
  win::OwnedImageList list = DecodeImageList(props_.stateImages);
  if (list) {
    Send(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(list.get()));
    stateImages_ = std::move(list);
  }
}

void ListView::ApplyHeaderImages() {
  win::OwnedImageList list = DecodeImageList(props_.headerImages);
  if (list) ::ImageList_SetBkColor(list.get(), ::GetSysColor(COLOR_BTNFACE));
  if (HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER))) {
    ::SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
  }
  headerImages_ = std::move(list);
}

void ListView::InsertColumns() {
  auto columns = forms::DecodeColumns(props_.columns);
  if (!columns) return;
  int i = 0;
  for (const forms::ListColumn& c : *columns) {
    LVCOLUMNA col{};
    col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    col.fmt = c.alignment == 1 ? LVCFMT_CENTER : c.alignment == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT;
    if (c.imageOnRight) col.fmt |= LVCFMT_BITMAP_ON_RIGHT;
    if (c.image != -1) {
      col.mask |= LVCF_IMAGE;
      col.fmt |= LVCFMT_IMAGE;
      col.iImage = c.image;
    }
    col.cx = c.width;
    col.pszText = const_cast<char*>(c.title.c_str());
    col.iSubItem = i;
    Send(LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&col));
    ++i;
  }
}

void ListView::BuildRows() {
  DeleteAllRows();
  tips_.clear();
  auto rows = forms::DecodeRows(props_.initialRows);
  if (!rows) return;
  const int imageCount = images_ ? ::ImageList_GetImageCount(images_.get()) : 0;
  const int stateCount = stateImages_ ? ::ImageList_GetImageCount(stateImages_.get()) : 0;
  int32_t row = -1;
  int32_t column = 0;
  for (const forms::ListRowRecord& rec : *rows) {
    int32_t image = (rec.image >= 0 && rec.image < imageCount) ? rec.image : -1;
    if (rec.kind == 0) {
      tips_.push_back(rec.tip);
      ListRow r;
      r.cells = PlatformText(rec.text);
      r.image = image;
      r.itemData = rec.itemData;
      if (rec.stateImage >= 0 && rec.stateImage < stateCount) r.stateImage = static_cast<uint8_t>(rec.stateImage + 1);
      if (props_.viewType == 3) r.indent = rec.indent;
      row = PlaceRow(INT_MAX, std::move(r));
      column = 0;
      continue;
    }
    if (row < 0) continue;
    if (!CellStored(++column)) continue;
    rows_.SetCell(row, column, PlatformText(rec.text));
    rows_.SetCellImage(row, column, image);
  }
}

void ListView::ApplyCurrentRow() {
  if (!props_.singleSelection) return;
  LVITEMA it{};
  it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (props_.currentRow >= 0) {
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    Send(LVM_SETITEMSTATE, static_cast<WPARAM>(props_.currentRow), reinterpret_cast<LPARAM>(&it));
    return;
  }
  int32_t row = CurrentRow();
  if (row >= 0) Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

int32_t ListView::CurrentRow() const {
  return static_cast<int32_t>(::SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// --- rows -----------------------------------------------------------------------

int32_t ListView::RowCount() const { return rows_.size(); }

int32_t ListView::PlaceRow(int32_t position, ListRow row) {
  if (props_.sortOrder == 1 || props_.sortOrder == 2) {
    position = rows_.SortedPosition(row.cells.substr(0, row.cells.find('\0')), props_.sortOrder == 2);
  }
  // A new row with check boxes on starts unchecked, whatever it asked for.
  if (props_.checkBoxes) row.stateImage = 1;
  const int32_t count = rows_.size();
  position = rows_.Insert(position, std::move(row));
  // An appended row is the only one to paint; one inserted before others
  // moves them all.
  const LPARAM flags = position < count ? LVSICF_NOSCROLL : LVSICF_NOSCROLL | LVSICF_NOINVALIDATEALL;
  Send(LVM_SETITEMCOUNT, static_cast<WPARAM>(count + 1), flags);
  if (position < count) ShiftStatesDown(position);
  ArrangeIcons();
  return position;
}

void ListView::ArrangeIcons() {
  if (IconView(props_)) Send(LVM_ARRANGE, LVA_DEFAULT);
}

void ListView::SetNativeState(int32_t row, UINT state, UINT mask) {
  LVITEMA it{};
  it.state = state;
  it.stateMask = mask;
  Send(LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

void ListView::ShiftStatesDown(int32_t first) {
  const bool wasQuiet = std::exchange(quiet_, true);
  std::vector<int32_t> selected;
  for (auto i = static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(first - 1), LVNI_SELECTED)); i >= 0;
       i = static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED))) {
    selected.push_back(i);
  }
  const auto focus = static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  const auto mark = static_cast<int32_t>(Send(LVM_GETSELECTIONMARK));
  for (auto i = selected.rbegin(); i != selected.rend(); ++i) {
    SetNativeState(*i + 1, LVIS_SELECTED, LVIS_SELECTED);
    SetNativeState(*i, 0, LVIS_SELECTED);
  }
  if (focus >= first) SetNativeState(focus + 1, LVIS_FOCUSED, LVIS_FOCUSED);
  if (mark >= first) Send(LVM_SETSELECTIONMARK, 0, mark + 1);
  quiet_ = wasQuiet;
}

void ListView::SetDrawing(bool on) {
  // Through the window's own message, which keeps drawingOff_ and repaints.
  ::SendMessageA(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void ListView::RedrawRow(int32_t row) {
  if (!drawingOff_) Send(LVM_REDRAWITEMS, static_cast<WPARAM>(row), row);
}

int32_t ListView::InsertRow(const ListRowSpec& desc) {
  ListRow row;
  row.cells = PlatformText(desc.text);
  row.image = desc.image < -1 ? -1 : desc.image;
  row.indent = desc.indent < 0 ? 0 : desc.indent;
  row.itemData = desc.itemData;
  if (desc.hasCheck) row.stateImage = static_cast<uint8_t>(Clamp(desc.checkState + 1, 0, 15));
  return PlaceRow(desc.position < 0 ? INT_MAX : desc.position, std::move(row));
}

void ListView::DeleteRow(int32_t row) {
  if (!rows_.Has(row)) return;
  const bool wasQuiet = std::exchange(quiet_, true);
  Send(LVM_DELETEITEM, static_cast<WPARAM>(row));
  quiet_ = wasQuiet;
  rows_.Erase(row);
  ArrangeIcons();
}

void ListView::DeleteAllRows() {
  Send(LVM_DELETEALLITEMS);
  rows_.Clear();
}

std::string ListView::CellText(int32_t row, int32_t column) const {
  if (!rows_.Has(row) || !CellStored(column)) return std::string();
  return std::string(rows_.Cell(row, column));
}

void ListView::SetCellText(int32_t row, int32_t column, const std::string& text) {
  if (!rows_.Has(row) || !CellStored(column)) return;
  rows_.SetCell(row, column, PlatformText(text));
  RedrawRow(row);
}

int32_t ListView::CellValue(int32_t row, int32_t column, CellKind kind) const {
  if (kind == CellKind::Text) return 0;
  if (!rows_.Has(row)) return kind == CellKind::Check ? -1 : 0;
  const ListRow& r = rows_.at(row);
  // Cells other than the first have only an image; they read the row's
  // item data, no check state and no indent.
  switch (kind) {
    case CellKind::Image: return column == 0 ? r.image : rows_.CellImage(row, column);
    case CellKind::Check: return column == 0 ? static_cast<int32_t>(r.stateImage) - 1 : -1;
    case CellKind::Indent: return column == 0 ? r.indent : 0;
    case CellKind::ItemData: return r.itemData;
    default: return 0;
  }
}

void ListView::SetCellValue(int32_t row, int32_t column, CellKind kind, int32_t value) {
  if (!rows_.Has(row)) return;
  ListRow& r = rows_.at(row);
  switch (kind) {
    case CellKind::Image:
      value = value < -1 ? -1 : value;
      if (column == 0) {
        r.image = value;
      } else if (column < columns_) {
        rows_.SetCellImage(row, column, value);
      } else {
        return;
      }
      break;
    case CellKind::Check:
      if (column != 0) return;
      r.stateImage = static_cast<uint8_t>(Clamp(value + 1, 0, 15));
      break;
    case CellKind::Indent:
      if (column != 0) return;
      r.indent = value < 0 ? 0 : value;
      break;
    case CellKind::ItemData:
      if (column != 0) return;
      r.itemData = value;
      return;
    default:
      return;
  }
  RedrawRow(row);
  if (kind == CellKind::Image && value == -1) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool ListView::ReportView() const { return (::GetWindowLongA(hwnd_, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }

int32_t ListView::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(::SendMessageA(hwnd_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int32_t>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int32_t ListView::Find(const std::string& text, int32_t start, bool exact, bool columnGiven, int32_t column) {
  // The first column is searched as the platform's find does (ignoring
  // case); a start below 0 finds nothing there.
  int32_t result = start < 0 ? -1 : rows_.FindFirst(text, start, exact, false);
  if (!columnGiven || !ReportView()) return result;
  const int32_t n = ColumnCount();
  auto matches = [&](const std::string& cell) {
    return exact ? cell == text : cell.compare(0, text.size(), text) == 0;
  };
  const int32_t rows = RowCount();
  const int32_t first = start < 0 ? 0 : start;
  if (column > 0 && column < n) {
    for (int32_t row = first; row < rows; ++row) {
      if (matches(CellText(row, column))) return row;
    }
    return -1;
  }
  if (column == -1 && result < 0) {
    for (int32_t row = first; row < rows; ++row) {
      for (int32_t c = 1; c < n; ++c) {
        if (matches(CellText(row, c))) return row;
      }
    }
  }
  return result;
}

// --- properties -------------------------------------------------------------------

int32_t ListView::SetProperty(int32_t index, const PropertyValue& value) {
  ListViewProps& p = props_;
  const bool report = p.viewType == 3;
  switch (index) {
    case kBorderStyle:
      p.borderStyle = Clamp(value.i32, 0, 5);
      ApplyBorder(hwnd_, p.borderStyle);
      return 0;
    case kTextColor: p.textColor = value.u32; ApplyColours(); return 0;
    case kTextBackColor: p.textBackColor = value.u32; ApplyColours(); return 0;
    case kBackColor: p.backColor = value.u32; ApplyColours(); return 0;
    case kFont: p.font = BlockOf(value); ApplyFont(); return 0;
    case kViewType: p.viewType = Clamp(value.i32, 0, 3); return 1;
    case kAlignment: p.alignment = Clamp(value.i32, 0, 1); return IconView(p) ? 1 : 0;
    case kAutoArrange: p.autoArrange = value.i32 != 0; return IconView(p) ? 1 : 0;
    case kWrapLabels:
      p.wrapLabels = value.i32 != 0;
      if (IconView(p)) SetStyleBits(hwnd_, LVS_NOLABELWRAP, !p.wrapLabels);
      return 0;
    case kColumns: p.columns = BlockOf(value); return report ? 1 : 0;
    case kHideHeader:
      p.hideHeader = value.i32 != 0;
      if (report) SetStyleBits(hwnd_, LVS_NOCOLUMNHEADER, p.hideHeader != 0);
      return 0;
    case kHeaderImages: p.headerImages = BlockOf(value); ApplyHeaderImages(); return 0;
    case kClickableHeader:
    case kFullRowSelect:
    case kGridLines:
    case kHeaderDragDrop:
      *BoolField(p, index) = value.i32 != 0;
      return report ? 1 : 0;
    case kImages: p.images = BlockOf(value); ApplyImages(); return 0;
    case kStateImages:
      p.stateImages = BlockOf(value);
      Send(LVM_SETIMAGELIST, LVSIL_STATE, 0);
      stateImages_.reset();
      ApplyStateImages();
      return 0;
    case kHotTracking: p.hotTracking = value.i32 != 0; return 1;
    case kHandCursor:
    case kUnderlineHot:
    case kUnderlineCold:
      *BoolField(p, index) = value.i32 != 0;
      return p.hotTracking ? 1 : 0;
    case kEditLabels:
    case kCheckBoxes:
    case kFlatScrollBars:
    case kSingleSelection:
    case kShowSelectionAlways:
      *BoolField(p, index) = value.i32 != 0;
      return 1;
    case kSortOrder: p.sortOrder = Clamp(value.i32, 0, 2); return 1;
    case kCurrentRow:
      p.currentRow = value.i32 < -1 ? -1 : value.i32;
      ApplyCurrentRow();
      return 0;
    case kInitialRows:
      p.initialRows = BlockOf(value);
      BuildRows();
      return 0;
    default:
      return 0;
  }
}

bool ListView::GetProperty(int32_t index, PropertyValue* out) {
  ListViewProps& p = props_;
  if (uint32_t* field = BoolField(p, index)) {
    *out = PropertyValue::Int(*field ? 1 : 0);
    return true;
  }
  switch (index) {
    case kBorderStyle: *out = PropertyValue::Int(p.borderStyle); return true;
    case kTextColor: *out = PropertyValue::Int(static_cast<int32_t>(Send(LVM_GETTEXTCOLOR))); return true;
    case kTextBackColor: *out = PropertyValue::Int(static_cast<int32_t>(Send(LVM_GETTEXTBKCOLOR))); return true;
    case kBackColor: *out = PropertyValue::Int(static_cast<int32_t>(Send(LVM_GETBKCOLOR))); return true;
    case kFont: *out = BlockValue(p.font); return true;
    case kViewType: *out = PropertyValue::Int(p.viewType); return true;
    case kAlignment: *out = PropertyValue::Int(p.alignment); return true;
    case kColumns: *out = BlockValue(p.columns); return true;
    case kHeaderImages: *out = BlockValue(p.headerImages); return true;
    case kImages: *out = BlockValue(p.images); return true;
    case kStateImages: *out = BlockValue(p.stateImages); return true;
    case kSortOrder: *out = PropertyValue::Int(p.sortOrder); return true;
    case kCurrentRow: *out = PropertyValue::Int(CurrentRow()); return true;
    case kInitialRows: *out = BlockValue(p.initialRows); return true;
    case kEditedText: *out = PropertyValue::Text(editedText_.c_str()); return true;
    default: return false;
  }
}

Bytes ListView::SaveRecord() {
  ListViewProps now = props_;
  now.textColor = static_cast<uint32_t>(Send(LVM_GETTEXTCOLOR));
  now.textBackColor = static_cast<uint32_t>(Send(LVM_GETTEXTBKCOLOR));
  now.backColor = static_cast<uint32_t>(Send(LVM_GETBKCOLOR));
  now.currentRow = CurrentRow();
  now.version = ListViewProps::kWriteVersion;
  return forms::WriteRecord(now);
}

// --- messages ---------------------------------------------------------------------

int32_t ListView::StateIconAt(LPARAM point) {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  auto row = static_cast<int32_t>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) ? row : -1;
}

void ListView::ToggleCheck(int32_t row) {
  if (!rows_.Has(row)) return;
  uint8_t& state = rows_.at(row).stateImage;
  if (state != 1 && state != 2) return;
  state ^= 3;
  RedrawRow(row);
}

LRESULT ListView::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case forms::msg::Reflect + WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(l));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // Any click on a state icon reports the row's state; a left press
      // toggles a check box first, after the control handled the press.
      int32_t row = StateIconAt(l);
      if (row < 0) break;
      LRESULT result = CallDefault(message, w, l);
      if (message == WM_LBUTTONDOWN && props_.checkBoxes) ToggleCheck(row);
      Post(kCheckToggled, static_cast<WPARAM>(row));
      return result;
    }
    case WM_KEYDOWN:
      if (w == VK_SPACE && props_.checkBoxes) {
        auto row = static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        LRESULT result = CallDefault(message, w, l);
        if (row >= 0) {
          ToggleCheck(row);
          Post(kCheckToggled, static_cast<WPARAM>(row));
        }
        return result;
      }
      break;
    case WM_MOUSELEAVE:
      hotRow_ = -1;  // the row is hot again when the mouse comes back
      break;
    case WM_SETREDRAW: {
      drawingOff_ = w == FALSE;
      LRESULT result = CallDefault(message, w, l);
      // Cells changed while drawing was off were not redrawn one by one.
      if (!drawingOff_) ::InvalidateRect(hwnd_, nullptr, TRUE);
      return result;
    }
    case kCheckToggled: {
      auto row = static_cast<int32_t>(w);
      if (row < RowCount()) {
        Raise(kCheckChanged, {static_cast<uint32_t>(row), static_cast<uint32_t>(CellValue(row, 0, CellKind::Check))});
      }
      return 0;
    }
    default:
      break;
  }
  return CallDefault(message, w, l);
}

void ListView::FillDisplayInfo(LVITEMA& item, bool wide) {
  const int32_t row = item.iItem;
  const int32_t column = item.iSubItem;
  const bool known = rows_.Has(row);
  if ((item.mask & LVIF_TEXT) && item.pszText != nullptr && item.cchTextMax > 0) {
    std::string_view text = known && CellStored(column) ? rows_.Cell(row, column) : std::string_view();
    if (wide) {
      std::wstring w = WideText(text);
      auto* out = reinterpret_cast<wchar_t*>(item.pszText);
      size_t n = std::min(w.size(), static_cast<size_t>(item.cchTextMax - 1));
      std::memcpy(out, w.data(), n * sizeof(wchar_t));
      out[n] = 0;
    } else {
      size_t n = FitLength(text, static_cast<size_t>(item.cchTextMax - 1));
      std::memcpy(item.pszText, text.data(), n);
      item.pszText[n] = 0;
    }
  }
  if (item.mask & LVIF_IMAGE) {
    item.iImage = !known ? -1 : column == 0 ? rows_.at(row).image : rows_.CellImage(row, column);
  }
  if (item.mask & LVIF_INDENT) item.iIndent = known && column == 0 ? rows_.at(row).indent : 0;
  if ((item.mask & LVIF_STATE) && (item.stateMask & LVIS_STATEIMAGEMASK)) {
    item.state &= ~LVIS_STATEIMAGEMASK;
    if (known && column == 0) item.state |= INDEXTOSTATEIMAGEMASK(rows_.at(row).stateImage);
  }
}

int32_t ListView::FindForControl(const LVFINDINFOA& find, int32_t start, bool wide) {
  if (!(find.flags & (LVFI_STRING | LVFI_PARTIAL)) || find.psz == nullptr) return -1;
  std::string text;
  if (wide) {
    const auto* w = reinterpret_cast<const wchar_t*>(find.psz);
    int n = ::WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n > 1) {
      text.resize(static_cast<size_t>(n - 1));
      ::WideCharToMultiByte(CP_ACP, 0, w, -1, text.data(), n, nullptr, nullptr);
    }
  } else {
    text = find.psz;
  }
  return rows_.FindFirst(text, start, !(find.flags & LVFI_PARTIAL), (find.flags & LVFI_WRAP) != 0);
}

LRESULT ListView::OnNotify(const NMHDR* header) {
  if (header == nullptr) return 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<const NMLISTVIEW*>(header);
      if (!quiet_ && (nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_FOCUSED) && !(nm->uOldState & LVIS_FOCUSED)) {
        Raise(kRowFocused);
      }
      return 0;
    }
    case LVN_GETDISPINFOA:
    case LVN_GETDISPINFOW:
      FillDisplayInfo(reinterpret_cast<NMLVDISPINFOA*>(const_cast<NMHDR*>(header))->item,
                      header->code == LVN_GETDISPINFOW);
      return 0;
    case LVN_ODFINDITEMA:
    case LVN_ODFINDITEMW: {
      auto* nm = reinterpret_cast<const NMLVFINDITEMA*>(header);
      return FindForControl(nm->lvfi, nm->iStart, header->code == LVN_ODFINDITEMW);
    }
    case LVN_ITEMACTIVATE: Raise(kRowActivated); return 0;
    case LVN_COLUMNCLICK:
      Raise(kHeaderClicked, {static_cast<uint32_t>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem)});
      return 0;
    case LVN_HOTTRACK: {
      // Sent on every mouse move: event 3 is for a row that becomes hot.
      const int32_t row = reinterpret_cast<const NMLISTVIEW*>(header)->iItem;
      if (!props_.hotTracking || row == hotRow_) return 0;
      hotRow_ = row;
      if (row >= 0) Raise(kHotRowChanged, {static_cast<uint32_t>(row)});
      return 0;
    }
    case NM_CLICK: Raise(kLeftClick); return 0;
    case NM_RCLICK: Raise(kRightClick); return 0;
    case LVN_BEGINLABELEDITA: {
      auto* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
      auto r = Raise(kEditStarting, {static_cast<uint32_t>(info->item.iItem)});
      return (r.returned && r.value == 0) ? TRUE : 0;
    }
    case LVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
      bool abandoned = info->item.pszText == nullptr;
      editedText_ = abandoned ? CellText(info->item.iItem, 0) : std::string(info->item.pszText);
      auto r = Raise(kEditEnding, {static_cast<uint32_t>(info->item.iItem)});
      editedText_.clear();
      if (abandoned || (r.returned && r.value == 0)) return 0;
      // Accepted: the control keeps no text, the row takes it.
      SetCellText(info->item.iItem, 0, info->item.pszText);
      return TRUE;
    }
    case LVN_GETINFOTIPA: {
      auto* tip = reinterpret_cast<NMLVGETINFOTIPA*>(const_cast<NMHDR*>(header));
      if (tip->iItem < 0 || static_cast<size_t>(tip->iItem) >= tips_.size() || tip->pszText == nullptr ||
          tip->cchTextMax <= 0) {
        return 0;
      }
      const std::string& text = tips_[static_cast<size_t>(tip->iItem)];
      size_t n = std::min(text.size(), static_cast<size_t>(tip->cchTextMax - 1));
      std::memcpy(tip->pszText, text.data(), n);
      tip->pszText[n] = 0;
      return 0;
    }
    default:
      return 0;
  }
}

// --- the type's operations ------------------------------------------------------

void* ListViewInterface(int32_t operation) { return ControlOps<ListView>::Lookup(operation); }

}  // namespace ts::controls
