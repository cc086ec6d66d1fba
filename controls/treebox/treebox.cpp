#include "controls/treebox/treebox.h"

#include <windowsx.h>

#include <cstring>

#include "controls/common/control_ops.h"
#include "controls/treebox/state_images.h"
#include "runtime/values.h"

namespace ts::controls {

using forms::TreeBoxProps;

namespace {

// Property indexes after the common eight.
enum TreeProperty : int32_t {
  kBorderStyle = 0,
  kTextColor,
  kBackColor,
  kHasButtons,
  kHasLines,
  kLinesAtRoot,
  kEditLabels,
  kShowSelectionAlways,
  kCurrentItem,
  kItemHeight,
  kFont,
  kImages,
  kInitialItems,
  kEditedText,
  kCheckBoxes,
  kStateImages,
  kStateImageCount,
};

enum TreeEvent : int32_t {
  kSelectionChanged = 0, kDoubleClick = 1, kEditStarting = 2, kEditEnding = 3, kExpanding = 4, kCollapsing = 5,
  kRightButtonDown = 6, kCheckChanged = 7,
};

// The style bit behind each boolean property.
DWORD StyleBitOf(int32_t index) {
  switch (index) {
    case kHasButtons: return TVS_HASBUTTONS;
    case kHasLines: return TVS_HASLINES;
    case kLinesAtRoot: return TVS_LINESATROOT;
    case kEditLabels: return TVS_EDITLABELS;
    case kShowSelectionAlways: return TVS_SHOWSELALWAYS;
    case kCheckBoxes: return TVS_CHECKBOXES;
    default: return 0;
  }
}

uint32_t* BoolField(TreeBoxProps& p, int32_t index) {
  switch (index) {
    case kHasButtons: return &p.hasButtons;
    case kHasLines: return &p.hasLines;
    case kLinesAtRoot: return &p.linesAtRoot;
    case kEditLabels: return &p.editLabels;
    case kShowSelectionAlways: return &p.showSelectionAlways;
    case kCheckBoxes: return &p.checkBoxes;
    default: return nullptr;
  }
}

}  // namespace

TreeBox::TreeBox(const forms::CreateArgs& args, TreeBoxProps props)
    : UnitObject(args.formId, args.unitId, kTypeId), props_(std::move(props)) {}

TreeBox::~TreeBox() = default;

forms::UnitObject* TreeBox::CreateUnit(const forms::CreateArgs& args) {
  TreeBoxProps props;
  if (!forms::ReadRecord(args.data, args.size, &props)) return nullptr;
  EnsureCommonControls();
  auto* box = new TreeBox(args, std::move(props));
  if (!box->Build(args)) {
    delete box;
    return nullptr;
  }
  return box;
}

DWORD TreeBox::StyleFromProps() const {
  DWORD style = 0;
  if (props_.hasButtons) style |= TVS_HASBUTTONS;
  if (props_.hasLines) style |= TVS_HASLINES;
  if (props_.linesAtRoot) style |= TVS_LINESATROOT;
  if (props_.editLabels) style |= TVS_EDITLABELS;
  if (props_.showSelectionAlways) style |= TVS_SHOWSELALWAYS;
  if (props_.checkBoxes) style |= TVS_CHECKBOXES;
  return style;
}

bool TreeBox::Build(const forms::CreateArgs& args) {
  const DWORD style = ChildStyle(args.style) | StyleFromProps();
  if (!CreateNative(0, WC_TREEVIEWA, "", style, args.left, args.top, args.width, args.height, args.parent,
                    args.menuOrId)) {
    return false;
  }
  nav_.tree = this;
  ApplyFont();
  ApplyImages();
  ApplyColours();
  ApplyBorder(hwnd_, props_.borderStyle);
  BuildStateImages();
  InsertStoredItems();
  ApplyItemHeight();
  SelectIndex(props_.currentItem);
  return true;
}

void TreeBox::ApplyColours() {
  Send(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ResolveButtonFace(props_.textColor)));
  Send(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ResolveButtonFace(props_.backColor)));
}

void TreeBox::ApplyFont() {
  font_ = FontFromValue(props_.font);
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
}

void TreeBox::ApplyImages() {
  win::OwnedImageList list = DecodeImageList(props_.images);
  Send(TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list.get()));
  images_ = std::move(list);
}

void TreeBox::ApplyItemHeight() {
  // Only the low 16 bits count; -1 asks for the platform default.
  Send(TVM_SETITEMHEIGHT, static_cast<WPARAM>(static_cast<int16_t>(props_.itemHeight & 0xFFFF)));
}

void TreeBox::BuildStateImages() {
  Send(TVM_SETIMAGELIST, TVSIL_STATE, 0);
  stateImages_.reset();
  if (!props_.checkBoxes) return;
  stateImages_ = BuildCheckImages(props_.stateImages, props_.stateImageCount);
  Send(TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(stateImages_.get()));
}

HTREEITEM TreeBox::InsertNative(HTREEITEM parent, const TreeItemSpec& desc) {
  TVINSERTSTRUCTA ins{};
  ins.hParent = parent ? parent : TVI_ROOT;
  ins.hInsertAfter = TVI_LAST;
  TVITEMA& it = ins.item;
  it.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  it.pszText = const_cast<char*>(desc.text.c_str());
  it.iImage = desc.image;
  it.iSelectedImage = desc.selectedImage;
  it.lParam = static_cast<LPARAM>(desc.itemData);
  if (desc.setBoldAndCheck) {
    it.mask |= TVIF_STATE;
    it.stateMask = TVIS_BOLD;
    if (desc.bold) it.state |= TVIS_BOLD;
    if (desc.hasCheck) {
      it.stateMask |= TVIS_STATEIMAGEMASK;
      it.state |= INDEXTOSTATEIMAGEMASK(Clamp(desc.checkState + 1, 0, 15));
    }
  }
  SuspendRedraw();
  // Sent past OnMessage: the caller keeps the item order up to date.
  auto item = reinterpret_cast<HTREEITEM>(Native(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  // The platform may give new items its own first state image when check
  // boxes are on; a check state the caller asked for wins.
  if (item && desc.setBoldAndCheck && desc.hasCheck) SetStateImage(item, Clamp(desc.checkState + 1, 0, 15));
  return item;
}

void TreeBox::SetStateImage(HTREEITEM item, int32_t image) {
  TVITEMA it{};
  it.mask = TVIF_STATE;
  it.hItem = item;
  it.state = INDEXTOSTATEIMAGEMASK(image & 0xF);
  it.stateMask = TVIS_STATEIMAGEMASK;
  Native(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it));
}

void TreeBox::InsertStoredItems() {
  auto records = forms::DecodeTreeItems(props_.initialItems);
  if (!records || records->empty()) return;
  constexpr int32_t kUnset = INT32_MIN;
  struct Level {
    HTREEITEM parent;
    int32_t depth;
    HTREEITEM last;
  };
  // Runs of equal depth share a parent; a deeper record opens a run under
  // the item just inserted, a shallower one closes runs. Kept on an
  // explicit stack so that deep nesting cannot exhaust the call stack.
  std::vector<Level> runs{{nullptr, kUnset, nullptr}};
  std::vector<HTREEITEM> expand;
  for (const forms::TreeItemRecord& rec : *records) {
    for (;;) {
      Level& top = runs.back();
      if (top.depth == kUnset) top.depth = rec.depth;
      if (rec.depth == top.depth || top.last == nullptr) {
        TreeItemSpec desc;
        desc.text = rec.text;
        desc.image = rec.image;
        desc.selectedImage = rec.selectedImage;
        desc.itemData = rec.itemData;
        desc.setBoldAndCheck = true;
        desc.bold = (rec.flags & 1) != 0;
        HTREEITEM item = InsertNative(top.parent, desc);
        if (item) {
          int32_t stateImage = static_cast<int32_t>(rec.flags >> 28);
          SetStateImage(item, stateImage);
          pending_.push_back({item, stateImage});
          if (rec.flags & 2) expand.push_back(item);
          runs.back().last = item;
        }
        break;
      }
      if (rec.depth > top.depth) {
        runs.push_back({top.last, kUnset, nullptr});
        continue;
      }
      if (runs.size() > 1) {
        runs.pop_back();
      } else {
        top.depth = kUnset;  // shallower than the first run: a new top-level run
      }
    }
  }
  for (HTREEITEM item : expand) Send(TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item));
  // The native control finishes its own check-box images after creation;
  // the marks are applied once more shortly afterwards.
  if (!pending_.empty()) ::SetTimer(hwnd_, kReapplyTimer, 30, nullptr);
  ForgetPositions();
}

void TreeBox::ReapplyPending() {
  std::vector<Pending> items;
  items.swap(pending_);
  for (const Pending& p : items) {
    int32_t image = p.stateImage;
    if (image == 0 && props_.checkBoxes) image = 1;
    SetStateImage(p.item, image);
  }
}

void TreeBox::ForgetPositions() { order_.Invalidate(); }

ItemOrder<HTREEITEM>& TreeBox::Order() {
  if (order_.valid()) return order_;
  const NativeTreeNav& nav = nav_;
  order_.Rebuild([&](auto add) {
    std::vector<int32_t> outer;  // parent indexes of the levels above
    int32_t parent = -1;         // parent index of `at`
    int32_t next = 0;
    for (HTREEITEM at = nav.root(); at;) {
      add(at, parent);
      const int32_t self = next++;
      if (HTREEITEM child = nav.child(at)) {
        outer.push_back(parent);
        parent = self;
        at = child;
        continue;
      }
      for (;;) {
        if (HTREEITEM sibling = nav.next(at)) {
          at = sibling;
          break;
        }
        at = nav.parent(at);
        if (at == nullptr || outer.empty()) {
          at = nullptr;
          break;
        }
        parent = outer.back();
        outer.pop_back();
      }
    }
  });
  return order_;
}

int32_t TreeBox::Count() { return Order().size(); }

void TreeBox::SuspendRedraw() {
  if (redrawSuspended_) return;
  Native(WM_SETREDRAW, FALSE);
  redrawSuspended_ = true;
  ::SetTimer(hwnd_, kRedrawTimer, redrawDelayMs_, nullptr);
}

void TreeBox::ResumeRedraw() {
  ::KillTimer(hwnd_, kRedrawTimer);
  if (!redrawSuspended_) return;
  redrawSuspended_ = false;
  Native(WM_SETREDRAW, TRUE);
  ::InvalidateRect(hwnd_, nullptr, TRUE);
  // Repainting a large tree costs time of its own: keep it to a tenth or
  // less of the time while insertions keep arriving.
  redrawDelayMs_ = Clamp(static_cast<UINT>(paintMs_ * 10), kMinRedrawDelayMs, kMaxRedrawDelayMs);
}

bool TreeBox::NeedsLayout(UINT message, WPARAM w) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) return true;
  if (message >= WM_KEYFIRST && message <= WM_KEYLAST) return true;
  switch (message) {
    case WM_PAINT:
    case WM_PRINTCLIENT:
    case WM_SIZE:
    case WM_VSCROLL:
    case WM_HSCROLL:
    case WM_SETFOCUS:
    case TVM_HITTEST:
    case TVM_GETITEMRECT:
    case TVM_ENSUREVISIBLE:
    case TVM_SELECTITEM:
    case TVM_EXPAND:
    case TVM_EDITLABELA:
    case TVM_EDITLABELW:
    case TVM_GETVISIBLECOUNT:
      return true;
    case TVM_GETNEXTITEM:
      // Structure walks do not depend on the layout; visibility walks do.
      return w != TVGN_ROOT && w != TVGN_CHILD && w != TVGN_NEXT && w != TVGN_PREVIOUS && w != TVGN_PARENT &&
             w != TVGN_CARET && w != TVGN_DROPHILITE;
    default:
      return false;
  }
}

HTREEITEM TreeBox::ItemAt(int32_t index) { return Order().At(index); }

int32_t TreeBox::Insert(int32_t parentIndex, const TreeItemSpec& desc) {
  ItemOrder<HTREEITEM>& order = Order();
  HTREEITEM parent = parentIndex >= 0 ? order.At(parentIndex) : nullptr;
  if (parent == nullptr) parentIndex = -1;
  HTREEITEM item = InsertNative(parent, desc);
  if (item == nullptr) return -1;
  return order.AddLastChild(parentIndex, item);
}

std::string TreeBox::ItemText(HTREEITEM item) {
  if (item == nullptr) return std::string();
  // Read whole: grow while the text may have been cut, wherever its last
  // double-byte character falls.
  std::vector<char> buffer(1024);
  for (;;) {
    TVITEMA it{};
    it.mask = TVIF_TEXT;
    it.hItem = item;
    buffer.assign(buffer.size(), 0);
    it.pszText = buffer.data();
    it.cchTextMax = static_cast<int>(buffer.size());
    if (!Native(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return std::string();
    const char* text = it.pszText ? it.pszText : buffer.data();
    size_t length = strnlen(text, buffer.size());
    if (text != buffer.data() || length + 2 < buffer.size() || buffer.size() >= (1u << 24)) {
      return std::string(text, length);
    }
    buffer.resize(buffer.size() * 2);
  }
}

void TreeBox::DeleteAll() { Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }

int32_t TreeBox::CheckState(HTREEITEM item) {
  if (item == nullptr) return -1;
  LRESULT state = Native(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_STATEIMAGEMASK);
  return static_cast<int32_t>((state & TVIS_STATEIMAGEMASK) >> 12) - 1;
}

int32_t TreeBox::ItemData(HTREEITEM item) {
  if (item == nullptr) return 0;
  TVITEMA it{};
  it.mask = TVIF_PARAM;
  it.hItem = item;
  if (!Native(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return 0;
  return static_cast<int32_t>(it.lParam);
}

void TreeBox::SetCheckState(int32_t index, int32_t state, bool recursive) {
  int32_t image = Clamp(state + 1, 0, 15);
  ItemOrder<HTREEITEM>& order = Order();
  if (index == -1 && recursive) {
    for (int32_t i = 0; i < order.size(); ++i) SetStateImage(order.At(i), image);
    return;
  }
  HTREEITEM item = order.At(index);
  if (item == nullptr) return;
  if (!recursive) {
    SetStateImage(item, image);
    return;
  }
  const int32_t end = order.SubtreeEnd(index);
  for (int32_t i = index; i < end; ++i) SetStateImage(order.At(i), image);
}

Bytes TreeBox::LiveItems() {
  std::vector<forms::TreeItemRecord> records;
  const NativeTreeNav& nav = nav_;
  int32_t depth = 1;
  for (HTREEITEM at = nav.root(); at;) {
    TVITEMA it{};
    it.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
    it.hItem = at;
    it.stateMask = TVIS_BOLD | TVIS_EXPANDED | TVIS_STATEIMAGEMASK;
    Native(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it));
    forms::TreeItemRecord rec;
    rec.text = ItemText(at);
    rec.image = it.iImage;
    rec.selectedImage = it.iSelectedImage;
    rec.itemData = static_cast<int32_t>(it.lParam);
    rec.flags = ((it.state & TVIS_BOLD) ? 1u : 0u) | ((it.state & TVIS_EXPANDED) ? 2u : 0u) |
                (((it.state & TVIS_STATEIMAGEMASK) >> 12) << 28);
    rec.depth = depth;
    records.push_back(std::move(rec));
    if (HTREEITEM child = nav.child(at)) {
      at = child;
      ++depth;
      continue;
    }
    while (at && !nav.next(at)) {
      at = nav.parent(at);
      --depth;
    }
    if (at) at = nav.next(at);
  }
  return forms::EncodeTreeItems(records);
}

void TreeBox::SelectIndex(int32_t index) {
  HTREEITEM item = index >= 0 ? ItemAt(index) : nullptr;
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// --- properties ---------------------------------------------------------------

int32_t TreeBox::SetProperty(int32_t index, const PropertyValue& value) {
  switch (index) {
    case kBorderStyle:
      props_.borderStyle = Clamp(value.i32, 0, 5);
      ApplyBorder(hwnd_, props_.borderStyle);
      return 0;
    case kTextColor:
      props_.textColor = value.u32;
      ApplyColours();
      return 0;
    case kBackColor:
      props_.backColor = value.u32;
      ApplyColours();
      return 0;
    case kHasButtons:
    case kHasLines:
    case kLinesAtRoot:
    case kEditLabels:
    case kShowSelectionAlways:
      *BoolField(props_, index) = value.i32 != 0;
      SetStyleBits(hwnd_, StyleBitOf(index), value.i32 != 0);
      return 0;
    case kCurrentItem:
      props_.currentItem = value.i32;
      SelectIndex(value.i32);
      return 0;
    case kItemHeight:
      props_.itemHeight = value.i32;
      ApplyItemHeight();
      return 0;
    case kFont:
      props_.font = BlockOf(value);
      ApplyFont();
      return 0;
    case kImages:
      props_.images = BlockOf(value);
      ApplyImages();
      return 0;
    case kInitialItems:
      props_.initialItems = BlockOf(value);
      itemsReplaced_ = true;
      return 1;
    case kCheckBoxes: {
      bool on = value.i32 != 0;
      bool was = props_.checkBoxes != 0;
      props_.checkBoxes = on;
      if (!on) return was ? 1 : 0;
      SetStyleBits(hwnd_, TVS_CHECKBOXES, true);
      BuildStateImages();
      return 0;
    }
    case kStateImages:
      props_.stateImages = BlockOf(value);
      BuildStateImages();
      return 0;
    case kStateImageCount:
      props_.stateImageCount = value.i32;
      BuildStateImages();
      return 0;
    default:
      return 0;  // EditedText is read-only; unknown indexes change nothing
  }
}

bool TreeBox::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kBorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
    case kTextColor: {
      auto c = static_cast<COLORREF>(Send(TVM_GETTEXTCOLOR));
      *out = PropertyValue::Int(static_cast<int32_t>(c == CLR_NONE ? props_.textColor : c));
      return true;
    }
    case kBackColor: {
      auto c = static_cast<COLORREF>(Send(TVM_GETBKCOLOR));
      *out = PropertyValue::Int(static_cast<int32_t>(c == CLR_NONE ? props_.backColor : c));
      return true;
    }
    case kHasButtons:
    case kHasLines:
    case kLinesAtRoot:
    case kEditLabels:
    case kShowSelectionAlways:
    case kCheckBoxes:
      *out = PropertyValue::Int((::GetWindowLongA(hwnd_, GWL_STYLE) & StyleBitOf(index)) ? 1 : 0);
      return true;
    case kCurrentItem: {
      auto item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
      *out = PropertyValue::Int(item ? IndexOf(item) : -1);
      return true;
    }
    case kItemHeight: *out = PropertyValue::Int(static_cast<int32_t>(Send(TVM_GETITEMHEIGHT))); return true;
    case kFont: *out = BlockValue(props_.font); return true;
    case kImages: *out = BlockValue(props_.images); return true;
    case kInitialItems:
      liveItems_ = LiveItems();
      *out = BlockValue(liveItems_);
      return true;
    case kEditedText: *out = PropertyValue::Text(editedText_.c_str()); return true;
    case kStateImages: *out = BlockValue(props_.stateImages); return true;
    case kStateImageCount: *out = PropertyValue::Int(props_.stateImageCount); return true;
    default: return false;
  }
}

Bytes TreeBox::SaveRecord() {
  TreeBoxProps now = props_;
  PropertyValue v;
  if (GetProperty(kTextColor, &v)) now.textColor = v.u32;
  if (GetProperty(kBackColor, &v)) now.backColor = v.u32;
  if (GetProperty(kCurrentItem, &v)) now.currentItem = v.i32;
  // Items live in the native control: a recreation keeps them, unless new
  // stored items were just written.
  if (!itemsReplaced_) now.initialItems = LiveItems();
  now.version = TreeBoxProps::kWriteVersion;
  now.extensionMarker = 1;
  return forms::WriteRecord(now);
}

// --- messages -----------------------------------------------------------------

LRESULT TreeBox::OnMessage(UINT message, WPARAM w, LPARAM l) {
  if (redrawSuspended_ && NeedsLayout(message, w)) ResumeRedraw();
  switch (message) {
    case forms::msg::Reflect + WM_NOTIFY:
      return OnNotify(reinterpret_cast<const NMHDR*>(l));
    case WM_LBUTTONDOWN: {
      TVHITTESTINFO hit{};
      hit.pt = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
      if (hit.hItem && (hit.flags & TVHT_ONITEMSTATEICON)) {
        toggled_ = hit.hItem;
        Post(kCheckToggled);
      }
      break;
    }
    case WM_RBUTTONDOWN:
      OnRightButtonDown(l);
      break;
    case WM_KEYDOWN:
      if (w == VK_SPACE && props_.checkBoxes) {
        if (auto item = reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0))) {
          toggled_ = item;
          Post(kCheckToggled);
        }
      }
      break;
    case kCheckToggled:
      if (HTREEITEM item = std::exchange(toggled_, nullptr)) OnCheckToggled(item);
      return 0;
    case WM_TIMER:
      if (w == kReapplyTimer) {
        ::KillTimer(hwnd_, kReapplyTimer);
        ReapplyPending();
        return 0;
      }
      if (w == kRedrawTimer) {
        ResumeRedraw();
        return 0;
      }
      break;
    case TVM_INSERTITEMA:
    case TVM_INSERTITEMW:
    case TVM_SORTCHILDREN:
    case TVM_SORTCHILDRENCB:
      ForgetPositions();
      break;
    case TVM_DELETEITEM:
      // Handles of deleted items must not be touched again.
      ForgetPositions();
      pending_.clear();
      toggled_ = nullptr;
      break;
    case WM_PAINT: {
      // Timed for the redraw cadence above; the frame (scroll bars) is
      // painted inside, when the update reaches it.
      LARGE_INTEGER frequency, start, end;
      ::QueryPerformanceFrequency(&frequency);
      ::QueryPerformanceCounter(&start);
      LRESULT r = CallDefault(message, w, l);
      ::QueryPerformanceCounter(&end);
      const double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
      paintMs_ = ms;
      return r;
    }
    default:
      break;
  }
  return CallDefault(message, w, l);
}

void TreeBox::OnRightButtonDown(LPARAM point) {
  // Event 6 is the press on an item, raised before the platform tracks the
  // button (its release may come much later, or over empty space).
  TVHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  Send(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (hit.hItem == nullptr || !(hit.flags & TVHT_ONITEM)) return;
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hit.hItem));
  Raise(kRightButtonDown);
}

void TreeBox::OnCheckToggled(HTREEITEM item) {
  int32_t state = CheckState(item);
  Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  int32_t index = IndexOf(item);
  if (index < 0) return;
  Raise(kCheckChanged, {static_cast<uint32_t>(index), static_cast<uint32_t>(state)});
}

LRESULT TreeBox::OnNotify(const NMHDR* header) {
  if (header == nullptr) return 0;
  switch (header->code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      UINT action = reinterpret_cast<const NMTREEVIEWA*>(header)->action;
      uint32_t cause = action == TVC_BYKEYBOARD ? 0 : action == TVC_BYMOUSE ? 1 : 2;
      Raise(kSelectionChanged, {cause});
      return 0;
    }
    case NM_DBLCLK:
      Raise(kDoubleClick);
      return 0;
    case TVN_BEGINLABELEDITA: {
      auto* info = reinterpret_cast<const NMTVDISPINFOA*>(header);
      auto r = Raise(kEditStarting, {static_cast<uint32_t>(IndexOf(info->item.hItem))});
      return (r.returned && r.value == 0) ? TRUE : 0;
    }
    case TVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<const NMTVDISPINFOA*>(header);
      bool abandoned = info->item.pszText == nullptr;
      editedText_ = abandoned ? ItemText(info->item.hItem) : std::string(info->item.pszText);
      auto r = Raise(kEditEnding, {static_cast<uint32_t>(IndexOf(info->item.hItem))});
      editedText_.clear();
      if (abandoned || (r.returned && r.value == 0)) return 0;
      return TRUE;
    }
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      auto* info = reinterpret_cast<const NMTREEVIEWA*>(header);
      int32_t event = (info->action & TVE_EXPAND) ? kExpanding : (info->action & TVE_COLLAPSE) ? kCollapsing : -1;
      if (event < 0) return 0;
      auto r = Raise(event, {static_cast<uint32_t>(IndexOf(info->itemNew.hItem))});
      return (r.returned && r.value == 0) ? TRUE : 0;
    }
    default:
      return 0;
  }
}

// --- the type's operations ------------------------------------------------------

void* TreeBoxInterface(int32_t operation) { return ControlOps<TreeBox>::Lookup(operation); }

}  // namespace ts::controls
