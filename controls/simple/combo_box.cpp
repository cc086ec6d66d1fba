// The combo box: the platform combo box in its three styles, with items,
// item data, the edit part's content and selection, and events 0 to 4.
#include <cstring>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"

namespace ts::controls {
namespace {

enum ComboProp : int32_t {
  kComboStyle = 0, kContent, kMaxLength, kSelStart, kSelLength, kSelectedText, kSorted, kExtraItemHeight,
  kTextColour, kBackColour, kFont, kCurrentIndex, kItems, kItemData, kDataSource, kDataField, kFlag,
};

enum ComboEvent : int32_t { kChosen = 0, kEditChanged = 1, kDroppedDown = 2, kClosedUp = 3, kDoubleClick = 4 };

constexpr int32_t kSimple = 0, kDropDown = 1, kDropDownList = 2;
constexpr int kMinDropHeight = 160;  // room for the list of the drop-down kinds

Bytes ItemListBlock(const std::vector<std::string>& items) {
  forms::ByteWriter w;
  w.textList(items);
  return w.take();
}

class ComboBox : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::ComboBox;

  static ComboBox* CreateUnit(const CreateArgs& a) {
    forms::ComboBoxProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    auto* box = new ComboBox(a, std::move(props));
    static const DWORD kKinds[] = {CBS_SIMPLE, CBS_DROPDOWN, CBS_DROPDOWNLIST};
    DWORD style = ChildStyle(a.style) | WS_VSCROLL | CBS_AUTOHSCROLL |
                  kKinds[box->props_.comboStyle];
    if (box->props_.sorted) style |= CBS_SORT;
    int height = box->props_.comboStyle == kSimple ? a.height : std::max(a.height, kMinDropHeight);
    if (!box->CreateNative(0, "COMBOBOX", "", style, a.left, a.top, a.width, height, a.parent, a.menuOrId)) {
      delete box;
      return nullptr;
    }
    box->Fill();
    return box;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v);
  bool GetProperty(int32_t index, PropertyValue* out);
  Bytes SaveRecord() {
    forms::ComboBoxProps p = props_;
    if (alive()) {
      p.content = WindowText(hwnd_);
      p.currentIndex = static_cast<int32_t>(Send(CB_GETCURSEL));
      p.items = Items();
      p.itemData = ItemData();
      EditSelection(&p.selStart, &p.selLength);
    }
    return forms::WriteRecord(p);
  }
  // While the list is dropped down, Enter and Esc close it; the window
  // must not act on them too (Esc would close the window).
  bool WantsKey(uint32_t key) const {
    return (key == VK_ESCAPE || key == VK_RETURN) && alive() && Send(CB_GETDROPPEDSTATE) != 0;
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  ComboBox(const CreateArgs& a, forms::ComboBoxProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    props_.comboStyle = Clamp(props_.comboStyle, kSimple, kDropDownList);
    font_ = FontFromValue(props_.font);
  }

  bool HasEdit() const { return props_.comboStyle != kDropDownList; }
  int32_t Count() const { return static_cast<int32_t>(Send(CB_GETCOUNT)); }

  void Fill() {
    Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), FALSE);
    if (props_.extraItemHeight != 0) {
      auto h = static_cast<int32_t>(Send(CB_GETITEMHEIGHT, 0));
      Send(CB_SETITEMHEIGHT, 0, std::max(1, h + props_.extraItemHeight));
    }
    Send(CB_LIMITTEXT, static_cast<WPARAM>(std::max(props_.maxLength, 0)));
    AddItems();
    SelectIndex(props_.currentIndex);
    if (HasEdit()) {
      ::SetWindowTextA(hwnd_, props_.content.c_str());
      SetEditSelection();
    }
  }
  // Items in stored order; an item with a stored data value gets it (with
  // sorting on, the data follows its item to wherever it was inserted).
  void AddItems() {
    Send(CB_RESETCONTENT);
    size_t stored = props_.itemData.size() / 4;
    for (size_t i = 0; i < props_.items.size(); ++i) {
      LRESULT at = Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(props_.items[i].c_str()));
      if (at < 0 || i >= stored) continue;
      int32_t data;
      std::memcpy(&data, props_.itemData.data() + 4 * i, 4);
      Send(CB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(data));
    }
  }
  void SelectIndex(int32_t index) {
    props_.currentIndex = Clamp(index, -1, Count() - 1);
    Send(CB_SETCURSEL, static_cast<WPARAM>(props_.currentIndex));
  }
  void SetEditSelection() {
    int32_t start = std::max(props_.selStart, 0);
    int32_t end = props_.selLength < 0 ? -1 : start + props_.selLength;
    Send(CB_SETEDITSEL, 0, MAKELPARAM(start, end));
  }
  void EditSelection(int32_t* start, int32_t* length) const {
    DWORD from = 0, to = 0;
    if (HasEdit()) Send(CB_GETEDITSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    *start = static_cast<int32_t>(from);
    *length = static_cast<int32_t>(to - from);
  }
  std::vector<std::string> Items() const {
    std::vector<std::string> items;
    for (int32_t i = 0, n = Count(); i < n; ++i) {
      auto len = static_cast<int32_t>(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(i)));
      std::string text(static_cast<size_t>(std::max(len, 0)) + 1, '\0');
      if (len > 0) Send(CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      text.resize(std::strlen(text.c_str()));
      items.push_back(std::move(text));
    }
    return items;
  }
  Bytes ItemData() const {
    Bytes out;
    for (int32_t i = 0, n = Count(); i < n; ++i) {
      auto data = static_cast<uint32_t>(Send(CB_GETITEMDATA, static_cast<WPARAM>(i)));
      for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(data >> (8 * b)));
    }
    return out;
  }
  // Event 0 runs from a posted message so that the control already shows
  // the choice; one pending post covers notifications that come in pairs.
  void ChoiceMade() {
    if (choicePending_) return;
    choicePending_ = Post(kComboChoiceMade);
  }
  LRESULT Colour(WPARAM dc) {
    return AnswerCtlColour(reinterpret_cast<HDC>(dc), ResolveColour(props_.textColor),
                           ResolveColour(props_.backColor), brush_);
  }

  forms::ComboBoxProps props_;
  win::OwnedFont font_;
  ColourBrush brush_;
  bool choicePending_ = false;
  std::string readText_;
  Bytes readBlock_;
};

LRESULT ComboBox::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case forms::msg::Reflect + WM_COMMAND:
      switch (HIWORD(w)) {
        case CBN_SELENDOK: ChoiceMade(); break;
        case CBN_SELCHANGE:
          // A keyboard change while the list is closed is a choice as well.
          if (Send(CB_GETDROPPEDSTATE) == 0) ChoiceMade();
          break;
        case CBN_EDITCHANGE: Raise(kEditChanged); break;
        case CBN_DROPDOWN: Raise(kDroppedDown); break;
        case CBN_CLOSEUP: Raise(kClosedUp); break;
        case CBN_DBLCLK: Raise(kDoubleClick); break;
        default: break;
      }
      return 1;
    case kComboChoiceMade:
      choicePending_ = false;
      Raise(kChosen);
      return 0;
    // The edit part and the list ask the combo box for their colours; the
    // drop-down list kind asks the parent, which reflects it here.
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case forms::msg::Reflect + WM_CTLCOLOREDIT:
    case forms::msg::Reflect + WM_CTLCOLORLISTBOX:
    case forms::msg::Reflect + WM_CTLCOLORSTATIC:
      return Colour(w);
    default:
      return CallDefault(message, w, l);
  }
}

int32_t ComboBox::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case kComboStyle:
      props_.comboStyle = Clamp(v.i32, kSimple, kDropDownList);
      return 1;  // the platform fixes the style at creation
    case kContent: {
      props_.content = TextOf(v);
      if (!alive()) return 0;
      if (HasEdit()) {
        ::SetWindowTextA(hwnd_, props_.content.c_str());
      } else {
        // A drop-down list shows only its items: select the matching one.
        LRESULT at = Send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(props_.content.c_str()));
        SelectIndex(at == CB_ERR ? -1 : static_cast<int32_t>(at));
      }
      return 0;
    }
    case kMaxLength:
      props_.maxLength = std::max(v.i32, 0);
      if (alive()) Send(CB_LIMITTEXT, static_cast<WPARAM>(props_.maxLength));
      return 0;
    case kSelStart:
    case kSelLength: {
      if (alive()) EditSelection(&props_.selStart, &props_.selLength);
      (index == kSelStart ? props_.selStart : props_.selLength) = v.i32;
      if (alive() && HasEdit()) SetEditSelection();
      return 0;
    }
    case kSorted:
      props_.sorted = BoolOf(v);
      if (alive()) {
        props_.items = Items();
        props_.itemData = ItemData();
      }
      return 1;
    case kExtraItemHeight: {
      int32_t old = props_.extraItemHeight;
      props_.extraItemHeight = v.i32;
      if (alive()) {
        auto h = static_cast<int32_t>(Send(CB_GETITEMHEIGHT, 0));
        Send(CB_SETITEMHEIGHT, 0, std::max(1, h - old + props_.extraItemHeight));
      }
      return 0;
    }
    case kTextColour: props_.textColor = v.u32; break;
    case kBackColour: props_.backColor = v.u32; break;
    case kFont:
      props_.font = BlockOf(v);
      font_ = FontFromValue(props_.font);
      if (alive()) Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
      return 0;
    case kCurrentIndex:
      if (alive()) SelectIndex(v.i32);
      else props_.currentIndex = v.i32;
      return 0;
    case kItems: {
      forms::ByteReader r(static_cast<const uint8_t*>(v.data), v.size);
      std::vector<std::string> items = v.size ? r.textList() : std::vector<std::string>();
      if (!r.ok()) return 0;  // a broken list changes nothing
      props_.items = std::move(items);
      props_.itemData.clear();
      if (alive()) {
        AddItems();
        SelectIndex(-1);
      }
      return 0;
    }
    case kItemData:
      props_.itemData = BlockOf(v);
      if (alive()) {
        int32_t n = std::min(Count(), static_cast<int32_t>(props_.itemData.size() / 4));
        for (int32_t i = 0; i < n; ++i) {
          int32_t data;
          std::memcpy(&data, props_.itemData.data() + 4 * i, 4);
          Send(CB_SETITEMDATA, static_cast<WPARAM>(i), static_cast<LPARAM>(data));
        }
      }
      return 0;
    case kDataSource: props_.dataSource = TextOf(v); return 0;
    case kDataField: props_.dataField = TextOf(v); return 0;
    case kFlag: props_.flag = v.u32; return 0;
    default: return 0;
  }
  if (alive()) ::InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

bool ComboBox::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kComboStyle: *out = PropertyValue::Int(props_.comboStyle); return true;
    case kContent:
      // The window text: for a drop-down list, the chosen item.
      readText_ = alive() ? WindowText(hwnd_) : props_.content;
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    case kMaxLength: *out = PropertyValue::Int(props_.maxLength); return true;
    case kSelStart:
    case kSelLength: {
      int32_t start = props_.selStart, length = props_.selLength;
      if (alive()) EditSelection(&start, &length);
      *out = PropertyValue::Int(index == kSelStart ? start : length);
      return true;
    }
    case kSelectedText: {
      int32_t start = 0, length = 0;
      readText_.clear();
      if (alive()) {
        EditSelection(&start, &length);
        std::string text = WindowText(hwnd_);
        if (start >= 0 && static_cast<size_t>(start) < text.size() && length > 0)
          readText_ = text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
      }
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    }
    case kSorted: *out = PropertyValue::Int(props_.sorted ? 1 : 0); return true;
    case kExtraItemHeight: *out = PropertyValue::Int(props_.extraItemHeight); return true;
    case kTextColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.textColor)); return true;
    case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case kFont: *out = BlockValue(props_.font); return true;
    case kCurrentIndex:
      *out = PropertyValue::Int(alive() ? static_cast<int32_t>(Send(CB_GETCURSEL)) : props_.currentIndex);
      return true;
    case kItems:
      readBlock_ = ItemListBlock(alive() ? Items() : props_.items);
      *out = BlockValue(readBlock_);
      return true;
    case kItemData:
      readBlock_ = alive() ? ItemData() : props_.itemData;
      *out = BlockValue(readBlock_);
      return true;
    case kDataSource: *out = PropertyValue::Text(props_.dataSource.c_str()); return true;
    case kDataField: *out = PropertyValue::Text(props_.dataField.c_str()); return true;
    case kFlag: *out = PropertyValue::Int(static_cast<int32_t>(props_.flag)); return true;
    default: return false;
  }
}

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* ComboBoxInterface(int32_t operation) { return ControlOps<ts::controls::ComboBox>::Lookup(operation); }

}  // namespace ts::controls
