// The check box: the platform's automatic check box. Event 0 follows the
// platform's clicked notification, so the box already shows its new state.
#include <optional>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"
#include "images/picture_gdi.h"

namespace ts::controls {
namespace {

enum CheckBoxProp : int32_t {
  kPicture = 0, kPushLike, kFlat, kCaption, kTextOnLeft, kHAlign, kVAlign, kTextColour, kBackColour,
  kFont, kChecked, kDataSource, kDataField,
};

class CheckBox : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::CheckBox;

  static CheckBox* CreateUnit(const CreateArgs& a) {
    forms::CheckBoxProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    auto* box = new CheckBox(a, std::move(props));
    DWORD style = ChildStyle(a.style) | box->ButtonStyle();
    if (!box->CreateNative(0, "BUTTON", box->props_.caption.c_str(), style, a.left, a.top, a.width, a.height,
                           a.parent, a.menuOrId)) {
      delete box;
      return nullptr;
    }
    box->Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(box->font_)), FALSE);
    box->Send(BM_SETCHECK, box->props_.checked ? BST_CHECKED : BST_UNCHECKED);
    box->ShowPicture();
    return box;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v);
  bool GetProperty(int32_t index, PropertyValue* out);
  Bytes SaveRecord() {
    forms::CheckBoxProps p = props_;
    if (alive()) {
      p.caption = WindowText(hwnd_);
      p.checked = Send(BM_GETCHECK) == BST_CHECKED ? 1 : 0;
    }
    return forms::WriteRecord(p);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case forms::msg::Reflect + WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && designFlag_ == 0) Raise(0);
        return 1;
      case forms::msg::Reflect + WM_CTLCOLORSTATIC:
      case forms::msg::Reflect + WM_CTLCOLORBTN:
        return AnswerCtlColour(reinterpret_cast<HDC>(w), ResolveColour(props_.textColor),
                               ResolveColour(props_.backColor), brush_);
      default:
        return CallDefault(message, w, l);
    }
  }

 private:
  CheckBox(const CreateArgs& a, forms::CheckBoxProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)),
        designFlag_(a.designFlag) {
    props_.hAlign = Clamp(props_.hAlign, 0, 2);
    props_.vAlign = Clamp(props_.vAlign, 0, 2);
    font_ = FontFromValue(props_.font);
    LoadPicture();
  }

  DWORD ButtonStyle() const {
    static const DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    static const DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    DWORD s = BS_AUTOCHECKBOX | BS_MULTILINE | kHorizontal[props_.hAlign] | kVertical[props_.vAlign];
    if (props_.pushLike) s |= BS_PUSHLIKE;
    if (props_.flat) s |= BS_FLAT;
    if (props_.textOnLeft) s |= BS_LEFTTEXT;
    if (image_) s |= image_.icon ? BS_ICON : BS_BITMAP;
    return s;
  }
  // The picture is decoded against the back colour once; a picture that
  // does not decode leaves a plain text check box.
  void LoadPicture() {
    image_ = ts::images::DeviceImage();
    picture_.reset();
    if (props_.picture.empty()) return;
    picture_ = ts::images::Decode(props_.picture.data(), props_.picture.size());
    if (picture_) image_ = ts::images::ToBitmap(*picture_, nullptr, ResolveColour(props_.backColor));
    if (!image_) picture_.reset();
  }
  void ShowPicture() {
    if (!image_) return;
    Send(BM_SETIMAGE, image_.icon ? IMAGE_ICON : IMAGE_BITMAP, reinterpret_cast<LPARAM>(image_.handle()));
  }
  // Style changes that a button takes without being rebuilt.
  void Restyle() {
    if (alive()) RestyleButton(hwnd_, ButtonStyle());
  }

  forms::CheckBoxProps props_;
  uint32_t designFlag_;
  win::OwnedFont font_;
  std::optional<ts::images::Picture> picture_;
  ts::images::DeviceImage image_;
  ColourBrush brush_;
  std::string readText_;
};

int32_t CheckBox::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case kPicture:
      props_.picture = BlockOf(v);
      return 1;  // the button is rebuilt with or without its picture
    case kPushLike: props_.pushLike = BoolOf(v); Restyle(); return 0;
    case kFlat: props_.flat = BoolOf(v); Restyle(); return 0;
    case kCaption:
      props_.caption = TextOf(v);
      if (alive()) ::SetWindowTextA(hwnd_, props_.caption.c_str());
      return 0;
    case kTextOnLeft: props_.textOnLeft = BoolOf(v); Restyle(); return 0;
    case kHAlign: props_.hAlign = Clamp(v.i32, 0, 2); Restyle(); return 0;
    case kVAlign: props_.vAlign = Clamp(v.i32, 0, 2); Restyle(); return 0;
    case kTextColour: props_.textColor = v.u32; break;
    case kBackColour:
      props_.backColor = v.u32;
      if (picture_ && alive()) {
        // The picture was blended onto the old colour: make it again, and
        // let the old bitmap go only after the button holds the new one.
        ts::images::DeviceImage old = std::move(image_);
        std::optional<ts::images::Picture> oldPicture = std::move(picture_);
        LoadPicture();
        ShowPicture();
      }
      break;
    case kFont:
      props_.font = BlockOf(v);
      font_ = FontFromValue(props_.font);
      if (alive()) Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
      return 0;
    case kChecked:
      props_.checked = BoolOf(v);
      if (alive()) Send(BM_SETCHECK, props_.checked ? BST_CHECKED : BST_UNCHECKED);
      return 0;
    case kDataSource: props_.dataSource = TextOf(v); return 0;
    case kDataField: props_.dataField = TextOf(v); return 0;
    default: return 0;
  }
  if (alive()) ::InvalidateRect(hwnd_, nullptr, TRUE);
  return 0;
}

bool CheckBox::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kPicture: *out = BlockValue(props_.picture); return true;
    case kPushLike: *out = PropertyValue::Int(props_.pushLike ? 1 : 0); return true;
    case kFlat: *out = PropertyValue::Int(props_.flat ? 1 : 0); return true;
    case kCaption:
      readText_ = alive() ? WindowText(hwnd_) : props_.caption;
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    case kTextOnLeft: *out = PropertyValue::Int(props_.textOnLeft ? 1 : 0); return true;
    case kHAlign: *out = PropertyValue::Int(props_.hAlign); return true;
    case kVAlign: *out = PropertyValue::Int(props_.vAlign); return true;
    case kTextColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.textColor)); return true;
    case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case kFont: *out = BlockValue(props_.font); return true;
    case kChecked: {
      // The platform control holds the state the user last gave it.
      bool checked = alive() ? Send(BM_GETCHECK) == BST_CHECKED : props_.checked != 0;
      *out = PropertyValue::Int(checked ? 1 : 0);
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

void* CheckBoxInterface(int32_t operation) { return ControlOps<ts::controls::CheckBox>::Lookup(operation); }

}  // namespace ts::controls
