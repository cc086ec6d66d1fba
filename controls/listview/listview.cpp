#include "controls/listview/listview.h"

#include <climits>
#include <cstring>

#include "runtime/values.h"

namespace ts::controls {

using forms::ListViewProps;
using forms::PropertyValue;

namespace {

enum ListProperty : int32_t {
  kBorderStyle = 0, kTextColor, kTextBackColor, kBackColor, kFont, kViewType, kAlignment,
  kAutoArrange, kWrapLabels, kColumns, kHideHeader, kHeaderImages, kClickableHeader,
  kFullRowSelect, kGridLines, kHeaderDragDrop, kImages, kStateImages, kHotTracking, kHandCursor,
  kUnderlineHot, kUnderlineCold, kEditLabels, kSortOrder, kCheckBoxes, kFlatScrollBars,
  kSingleSelection, kCurrentRow, kShowSelectionAlways, kInitialRows, kEditedText,
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

Bytes BlockOf(const PropertyValue& v) {
  const auto* p = static_cast<const uint8_t*>(v.data);
  return p && v.size ? Bytes(p, p + v.size) : Bytes();
}

PropertyValue BlockValue(const Bytes& b) { return PropertyValue::Block(b.data(), static_cast<uint32_t>(b.size())); }

void EnsureCommonControls() {
  static const bool done = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    return ::InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)done;
}

bool IconView(const ListViewProps& p) { return p.viewType == 0 || p.viewType == 1; }

}  // namespace

ListBox::ListBox(const forms::CreateArgs& args, ListViewProps props)
    : UnitObject(args.formId, args.unitId, forms::unittype::ListView), props_(std::move(props)) {}

ListBox::~ListBox() = default;

forms::UnitObject* ListBox::Create(const forms::CreateArgs& args) {
  ListViewProps props;
  if (!forms::ReadRecord(args.data, args.size, &props)) return nullptr;
  EnsureCommonControls();
  auto* box = new ListBox(args, std::move(props));
  if (!box->Build(args)) {
    delete box;
    return nullptr;
  }
  return box;
}

DWORD ListBox::StyleFromProps() const {
  static const DWORD kViews[4] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  const ListViewProps& p = props_;
  // The image lists belong to this object, not to the platform control.
  DWORD style = kViews[Clamp(p.viewType, 0, 3)] | LVS_SHAREIMAGELISTS;
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
  if (p.sortOrder == 1) style |= LVS_SORTASCENDING;
  if (p.sortOrder == 2) style |= LVS_SORTDESCENDING;
  if (p.singleSelection) style |= LVS_SINGLESEL;
  if (p.showSelectionAlways) style |= LVS_SHOWSELALWAYS;
  return style;
}

DWORD ListBox::ExStyleFromProps() const {
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

bool ListBox::Build(const forms::CreateArgs& args) {
  DWORD style = (args.style & ~static_cast<DWORD>(WS_VISIBLE)) | 0x46000000 | StyleFromProps();
  if (!CreateNative(0, WC_LISTVIEWA, "", style, args.left, args.top, args.width, args.height, args.parent,
                    args.menuOrId)) {
    return false;
  }
  Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExStyleFromProps()));
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
  BuildRows();
  ApplyCurrentRow();
  return true;
}

void ListBox::ApplyColours() {
  Send(LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ResolveColour(props_.textColor)));
  Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ResolveColour(props_.textBackColor)));
  Send(LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ResolveColour(props_.backColor)));
  ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void ListBox::ApplyFont() {
  font_.reset(FontFromValue(props_.font));
  HFONT f = font_.get() ? font_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(f), TRUE);
}

void ListBox::ApplyImages() {
  OwnedImageList list(DecodeImageList(props_.images));
  Send(LVM_SETIMAGELIST, props_.viewType == 0 ? LVSIL_NORMAL : LVSIL_SMALL, reinterpret_cast<LPARAM>(list.get()));
  images_ = std::move(list);
}

void ListBox::ApplyStateImages() {
  OwnedImageList list(DecodeImageList(props_.stateImages));
  if (list) {
    Send(LVM_SETIMAGELIST, LVSIL_STATE, reinterpret_cast<LPARAM>(list.get()));
    stateImages_ = std::move(list);
  }
}

void ListBox::ApplyHeaderImages() {
  OwnedImageList list(DecodeImageList(props_.headerImages));
  if (list) ::ImageList_SetBkColor(list.get(), ::GetSysColor(COLOR_BTNFACE));
  if (HWND header = reinterpret_cast<HWND>(Send(LVM_GETHEADER))) {
    ::SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list.get()));
  }
  headerImages_ = std::move(list);
}

void ListBox::InsertColumns() {
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

void ListBox::BuildRows() {
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
      LVITEMA it{};
      it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
      it.iItem = INT_MAX;
      it.pszText = const_cast<char*>(rec.text.c_str());
      it.iImage = image;
      it.lParam = rec.itemData;
      if (rec.stateImage >= 0 && rec.stateImage < stateCount) {
        it.mask |= LVIF_STATE;
        it.state = INDEXTOSTATEIMAGEMASK(rec.stateImage + 1);
        it.stateMask = LVIS_STATEIMAGEMASK;
      }
      if (props_.viewType == 3) {
        it.mask |= LVIF_INDENT;
        it.iIndent = rec.indent;
      }
      row = static_cast<int32_t>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
      column = 0;
      continue;
    }
    if (row < 0) continue;
    LVITEMA it{};
    it.mask = LVIF_TEXT | LVIF_IMAGE;
    it.iItem = row;
    it.iSubItem = ++column;
    it.pszText = const_cast<char*>(rec.text.c_str());
    it.iImage = image;
    Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  }
}

void ListBox::ApplyCurrentRow() {
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

int32_t ListBox::CurrentRow() const {
  return static_cast<int32_t>(::SendMessageA(hwnd_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// --- rows -----------------------------------------------------------------------

int32_t ListBox::RowCount() const { return static_cast<int32_t>(::SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

int32_t ListBox::InsertRow(const ListRowSpec& desc) {
  LVITEMA it{};
  it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_INDENT | LVIF_PARAM;
  it.iItem = desc.position < 0 ? INT_MAX : desc.position;
  it.pszText = const_cast<char*>(desc.text.c_str());
  it.iImage = desc.image < -1 ? -1 : desc.image;
  it.iIndent = desc.indent < 0 ? 0 : desc.indent;
  it.lParam = desc.itemData;
  if (desc.hasCheck) {
    it.mask |= LVIF_STATE;
    it.state = INDEXTOSTATEIMAGEMASK(Clamp(desc.checkState + 1, 0, 15));
    it.stateMask = LVIS_STATEIMAGEMASK;
  }
  return static_cast<int32_t>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

void ListBox::DeleteRow(int32_t row) { Send(LVM_DELETEITEM, static_cast<WPARAM>(row)); }

void ListBox::DeleteAllRows() { Send(LVM_DELETEALLITEMS); }

std::string ListBox::CellText(int32_t row, int32_t column) const {
  if (row < 0 || row >= RowCount() || column < 0) return std::string();
  // Read whole: grow while the answer may have been cut (a cut can stop
  // one byte short when it falls inside a double-byte character).
  std::vector<char> buffer(1024);
  for (;;) {
    LVITEMA it{};
    it.iSubItem = column;
    it.pszText = buffer.data();
    it.cchTextMax = static_cast<int>(buffer.size());
    buffer[0] = 0;
    auto length = static_cast<size_t>(
        ::SendMessageA(hwnd_, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it)));
    length = strnlen(buffer.data(), buffer.size());
    if (length + 2 < buffer.size() || buffer.size() >= (1u << 24)) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

void ListBox::SetCellText(int32_t row, int32_t column, const std::string& text) {
  LVITEMA it{};
  it.iSubItem = column;
  it.pszText = const_cast<char*>(text.c_str());
  Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&it));
}

int32_t ListBox::CellValue(int32_t row, int32_t column, CellKind kind) const {
  LVITEMA it{};
  it.iItem = row;
  it.iSubItem = column;
  switch (kind) {
    case CellKind::Image: it.mask = LVIF_IMAGE; break;
    case CellKind::Check: it.mask = LVIF_STATE; it.stateMask = LVIS_STATEIMAGEMASK; break;
    case CellKind::Indent: it.mask = LVIF_INDENT; break;
    case CellKind::ItemData: it.mask = LVIF_PARAM; break;
    default: return 0;
  }
  if (!::SendMessageA(hwnd_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return kind == CellKind::Check ? -1 : 0;
  switch (kind) {
    case CellKind::Image: return it.iImage;
    case CellKind::Check: return static_cast<int32_t>((it.state & LVIS_STATEIMAGEMASK) >> 12) - 1;
    case CellKind::Indent: return it.iIndent;
    default: return static_cast<int32_t>(it.lParam);
  }
}

void ListBox::SetCellValue(int32_t row, int32_t column, CellKind kind, int32_t value) {
  LVITEMA it{};
  it.iItem = row;
  it.iSubItem = column;
  switch (kind) {
    case CellKind::Image:
      it.mask = LVIF_IMAGE;
      it.iImage = value < -1 ? -1 : value;
      break;
    case CellKind::Check:
      it.mask = LVIF_STATE;
      it.stateMask = LVIS_STATEIMAGEMASK;
      it.state = INDEXTOSTATEIMAGEMASK(Clamp(value + 1, 0, 15));
      break;
    case CellKind::Indent:
      it.mask = LVIF_INDENT;
      it.iIndent = value < 0 ? 0 : value;
      break;
    case CellKind::ItemData:
      it.mask = LVIF_PARAM;
      it.lParam = value;
      break;
    default:
      return;
  }
  Send(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
  if (kind == CellKind::Image && value == -1) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

bool ListBox::ReportView() const { return (::GetWindowLongA(hwnd_, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; }

int32_t ListBox::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(::SendMessageA(hwnd_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int32_t>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int32_t ListBox::Find(const std::string& text, int32_t start, bool exact, bool columnGiven, int32_t column) {
  LVFINDINFOA find{};
  find.flags = LVFI_STRING | (exact ? 0 : LVFI_PARTIAL);
  find.psz = text.c_str();
  auto result = static_cast<int32_t>(Send(LVM_FINDITEMA, static_cast<WPARAM>(start - 1), reinterpret_cast<LPARAM>(&find)));
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

int32_t ListBox::SetProperty(int32_t index, const PropertyValue& value) {
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

bool ListBox::GetProperty(int32_t index, PropertyValue* out) {
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

Bytes ListBox::AllData() {
  ListViewProps now = props_;
  now.textColor = static_cast<uint32_t>(Send(LVM_GETTEXTCOLOR));
  now.textBackColor = static_cast<uint32_t>(Send(LVM_GETTEXTBKCOLOR));
  now.backColor = static_cast<uint32_t>(Send(LVM_GETBKCOLOR));
  now.currentRow = CurrentRow();
  now.version = ListViewProps::kWriteVersion;
  return forms::WriteRecord(now);
}

// --- messages ---------------------------------------------------------------------

void ListBox::PostToggleAt(LPARAM point) {
  LVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  int32_t row = static_cast<int32_t>(Send(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON)) Post(kCheckToggled, static_cast<WPARAM>(row));
}

LRESULT ListBox::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case forms::msg::Reflect + WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(l));
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      PostToggleAt(l);
      break;
    case WM_KEYDOWN:
      if (w == VK_SPACE && props_.checkBoxes) {
        auto row = static_cast<int32_t>(Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
        if (row >= 0) Post(kCheckToggled, static_cast<WPARAM>(row));
      }
      break;
    case kCheckToggled: {
      // Arrives after the platform toggled the box.
      auto row = static_cast<int32_t>(w);
      if (row < RowCount()) Raise(8, {static_cast<uint32_t>(row), static_cast<uint32_t>(CellValue(row, 0, CellKind::Check))});
      return 0;
    }
    default:
      break;
  }
  return CallDefault(message, w, l);
}

LRESULT ListBox::OnNotify(const NMHDR* header) {
  if (header == nullptr) return 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      auto* nm = reinterpret_cast<const NMLISTVIEW*>(header);
      if ((nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_FOCUSED) && !(nm->uOldState & LVIS_FOCUSED)) Raise(0);
      return 0;
    }
    case LVN_ITEMACTIVATE: Raise(1); return 0;
    case LVN_COLUMNCLICK:
      Raise(2, {static_cast<uint32_t>(reinterpret_cast<const NMLISTVIEW*>(header)->iSubItem)});
      return 0;
    case LVN_HOTTRACK:
      if (props_.hotTracking) Raise(3, {static_cast<uint32_t>(reinterpret_cast<const NMLISTVIEW*>(header)->iItem)});
      return 0;
    case NM_CLICK: Raise(4); return 0;
    case NM_RCLICK: Raise(5); return 0;
    case LVN_BEGINLABELEDITA: {
      auto* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
      auto r = Raise(6, {static_cast<uint32_t>(info->item.iItem)});
      return (r.returned && r.value == 0) ? TRUE : 0;
    }
    case LVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<const NMLVDISPINFOA*>(header);
      bool abandoned = info->item.pszText == nullptr;
      editedText_ = abandoned ? CellText(info->item.iItem, 0) : std::string(info->item.pszText);
      auto r = Raise(7, {static_cast<uint32_t>(info->item.iItem)});
      editedText_.clear();
      if (abandoned || (r.returned && r.value == 0)) return 0;
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

void* ListViewInterface(int32_t operation) { return RecordOps<ListBox, forms::unittype::ListView>::Lookup(operation); }

}  // namespace ts::controls
