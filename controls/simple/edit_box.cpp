// The edit box: the platform edit control with its styles, text limit,
// password and letter-case modes.
#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"

namespace ts::controls {
namespace {

enum EditProp : int32_t {
  kContent = 0, kBorderStyle, kTextColour, kBackColour, kFont, kHideSelection, kMaxLength, kMultiline,
  kScrollBars, kTextAlign, kInputMode, kPasswordChar, kLetterCase, kSpinMode, kSpinMin, kSpinMax,
  kSelStart, kSelLength, kSelectedText, kDataSource, kDataField,
};

constexpr int32_t kReadOnly = 1, kPassword = 2;

class EditBox : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::EditBox;

  static EditBox* CreateUnit(const CreateArgs& a) {
    forms::EditBoxProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    auto* box = new EditBox(a, std::move(props));
    const BorderBits border = BorderStyleBits(box->props_.borderStyle);
    const DWORD style = ChildStyle(a.style) | box->EditStyle() | border.style;
    if (!box->CreateNative(border.exStyle, "EDIT", box->props_.content.c_str(), style, a.left, a.top, a.width, a.height,
                           a.parent, a.menuOrId)) {
      delete box;
      return nullptr;
    }
    box->Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(box->font_)), FALSE);
    box->Send(EM_LIMITTEXT, static_cast<WPARAM>(std::max(box->props_.maxLength, 0)));
    if (box->props_.inputMode == kPassword) box->Send(EM_SETPASSWORDCHAR, box->props_.passwordChar);
    box->SetSelection();
    return box;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v);
  bool GetProperty(int32_t index, PropertyValue* out);
  Bytes SaveRecord() {
    forms::EditBoxProps p = props_;
    if (alive()) {
      p.content = WindowText(hwnd_);
      Selection(&p.selStart, &p.selLength);
    }
    return forms::WriteRecord(p);
  }
  // A multi-line box takes Enter as a new line.
  bool WantsKey(uint32_t key) const { return key == VK_RETURN && props_.multiline; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case forms::msg::Reflect + WM_CTLCOLOREDIT:
      case forms::msg::Reflect + WM_CTLCOLORSTATIC:  // read-only boxes ask with this one
        return AnswerCtlColour(reinterpret_cast<HDC>(w), ResolveColour(props_.textColor),
                               ResolveColour(props_.backColor), brush_);
      default:
        return CallDefault(message, w, l);
    }
  }

 private:
  EditBox(const CreateArgs& a, forms::EditBoxProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    Normalise();
    font_ = FontFromValue(props_.font);
  }

  void Normalise() {
    props_.borderStyle = Clamp(props_.borderStyle, 0, 5);
    props_.scrollBars = Clamp(props_.scrollBars, 0, 3);
    props_.textAlign = Clamp(props_.textAlign, 0, 2);
    props_.inputMode = Clamp(props_.inputMode, 0, 11);
    props_.letterCase = Clamp(props_.letterCase, 0, 2);
    props_.maxLength = std::max(props_.maxLength, 0);
  }

  DWORD EditStyle() const {
    static const DWORD kAlign[] = {ES_LEFT, ES_CENTER, ES_RIGHT};
    DWORD s = kAlign[props_.textAlign];
    if (props_.multiline) {
      s |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
      if (props_.scrollBars & 1) s |= WS_HSCROLL | ES_AUTOHSCROLL;
      if (props_.scrollBars & 2) s |= WS_VSCROLL;
    } else {
      s |= ES_AUTOHSCROLL;
    }
    if (props_.inputMode == kReadOnly) s |= ES_READONLY;
    if (props_.inputMode == kPassword) s |= ES_PASSWORD;
    if (props_.letterCase == 1) s |= ES_LOWERCASE;
    if (props_.letterCase == 2) s |= ES_UPPERCASE;
    if (!props_.hideSelection) s |= ES_NOHIDESEL;
    return s;
  }
  void SetSelection() {
    int32_t start = std::max(props_.selStart, 0);
    int32_t end = props_.selLength < 0 ? -1 : start + props_.selLength;
    Send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
  }
  void Selection(int32_t* start, int32_t* length) const {
    DWORD from = 0, to = 0;
    Send(EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    *start = static_cast<int32_t>(from);
    *length = static_cast<int32_t>(to - from);
  }

  forms::EditBoxProps props_;
  win::OwnedFont font_;
  ColourBrush brush_;
  std::string readText_;
};

int32_t EditBox::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case kContent:
      props_.content = TextOf(v);
      if (alive()) ::SetWindowTextA(hwnd_, props_.content.c_str());
      return 0;
    case kBorderStyle:
      props_.borderStyle = Clamp(v.i32, 0, 5);
      if (alive()) ApplyBorder(hwnd_, props_.borderStyle);
      return 0;
    case kTextColour: props_.textColor = v.u32; break;
    case kBackColour: props_.backColor = v.u32; break;
    case kFont:
      props_.font = BlockOf(v);
      font_ = FontFromValue(props_.font);
      if (alive()) Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
      return 0;
    case kMaxLength:
      props_.maxLength = std::max(v.i32, 0);
      if (alive()) Send(EM_LIMITTEXT, static_cast<WPARAM>(props_.maxLength));
      return 0;
    case kPasswordChar:
      props_.passwordChar = static_cast<uint16_t>(v.u32);
      if (alive() && props_.inputMode == kPassword) Send(EM_SETPASSWORDCHAR, props_.passwordChar);
      break;
    // Styles the platform edit control fixes at creation: rebuild.
    case kHideSelection: props_.hideSelection = BoolOf(v); return 1;
    case kMultiline: props_.multiline = BoolOf(v); return 1;
    case kScrollBars: props_.scrollBars = Clamp(v.i32, 0, 3); return 1;
    case kTextAlign: props_.textAlign = Clamp(v.i32, 0, 2); return 1;
    case kInputMode: props_.inputMode = Clamp(v.i32, 0, 11); return 1;
    case kLetterCase: props_.letterCase = Clamp(v.i32, 0, 2); return 1;
    case kSpinMode: props_.spinMode = v.i32; return 0;
    case kSpinMin: props_.spinMin = v.i32; return 0;
    case kSpinMax: props_.spinMax = v.i32; return 0;
    case kSelStart:
    case kSelLength:
      if (alive()) Selection(&props_.selStart, &props_.selLength);
      (index == kSelStart ? props_.selStart : props_.selLength) = v.i32;
      if (alive()) SetSelection();
      return 0;
    case kDataSource: props_.dataSource = TextOf(v); return 0;
    case kDataField: props_.dataField = TextOf(v); return 0;
    default: return 0;
  }
  if (alive()) ::InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

bool EditBox::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kContent:
      readText_ = alive() ? WindowText(hwnd_) : props_.content;
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    case kBorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
    case kTextColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.textColor)); return true;
    case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case kFont: *out = BlockValue(props_.font); return true;
    case kHideSelection: *out = PropertyValue::Int(props_.hideSelection ? 1 : 0); return true;
    case kMaxLength: *out = PropertyValue::Int(props_.maxLength); return true;
    case kMultiline: *out = PropertyValue::Int(props_.multiline ? 1 : 0); return true;
    case kScrollBars: *out = PropertyValue::Int(props_.scrollBars); return true;
    case kTextAlign: *out = PropertyValue::Int(props_.textAlign); return true;
    case kInputMode: *out = PropertyValue::Int(props_.inputMode); return true;
    case kPasswordChar: *out = PropertyValue::Int(props_.passwordChar); return true;
    case kLetterCase: *out = PropertyValue::Int(props_.letterCase); return true;
    case kSpinMode: *out = PropertyValue::Int(props_.spinMode); return true;
    case kSpinMin: *out = PropertyValue::Int(props_.spinMin); return true;
    case kSpinMax: *out = PropertyValue::Int(props_.spinMax); return true;
    case kSelStart:
    case kSelLength: {
      int32_t start = props_.selStart, length = props_.selLength;
      if (alive()) Selection(&start, &length);
      *out = PropertyValue::Int(index == kSelStart ? start : length);
      return true;
    }
    case kSelectedText: {
      readText_.clear();
      if (alive()) {
        int32_t start = 0, length = 0;
        Selection(&start, &length);
        std::string text = WindowText(hwnd_);
        if (start >= 0 && static_cast<size_t>(start) < text.size() && length > 0)
          readText_ = text.substr(static_cast<size_t>(start), static_cast<size_t>(length));
      }
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    }
    case kDataSource: *out = PropertyValue::Text(props_.dataSource.c_str()); return true;
    case kDataField: *out = PropertyValue::Text(props_.dataField.c_str()); return true;
    default: return false;
  }
}

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* EditBoxInterface(int32_t operation) { return ControlOps<ts::controls::EditBox>::Lookup(operation); }

}  // namespace ts::controls
