// The group box: the platform group frame with caption, alignment, colours
// and font. It is the native parent of the controls placed inside it, so
// their notifications reach them through it.
#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"

namespace ts::controls {
namespace {

enum GroupProp : int32_t { kCaption = 0, kCaptionAlign, kTextColour, kBackColour, kFont };

class GroupBox : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::GroupBox;

  static GroupBox* CreateUnit(const CreateArgs& a) {
    forms::GroupBoxProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    auto* box = new GroupBox(a, std::move(props));
    DWORD style = ChildStyle(a.style) | WS_CLIPCHILDREN | box->GroupStyle();
    if (!box->CreateNative(0, "BUTTON", box->props_.caption.c_str(), style, a.left, a.top, a.width, a.height,
                           a.parent, a.menuOrId)) {
      delete box;
      return nullptr;
    }
    box->Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(box->font_)), FALSE);
    return box;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v) {
    switch (index) {
      case kCaption:
        props_.caption = TextOf(v);
        if (alive()) ::SetWindowTextA(hwnd_, props_.caption.c_str());
        return 0;
      case kCaptionAlign:
        props_.captionAlign = Clamp(v.i32, 0, 2);
        if (alive()) RestyleButton(hwnd_, GroupStyle());
        break;
      case kTextColour: props_.textColor = v.u32; break;
      case kBackColour: props_.backColor = v.u32; break;
      case kFont:
        props_.font = BlockOf(v);
        font_ = FontFromValue(props_.font);
        if (alive()) Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
        return 0;
      default:
        return 0;
    }
    if (alive()) ::InvalidateRect(hwnd_, nullptr, TRUE);
    return 0;
  }
  bool GetProperty(int32_t index, PropertyValue* out) {
    switch (index) {
      case kCaption:
        readText_ = alive() ? WindowText(hwnd_) : props_.caption;
        *out = PropertyValue::Text(readText_.c_str());
        return true;
      case kCaptionAlign: *out = PropertyValue::Int(props_.captionAlign); return true;
      case kTextColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.textColor)); return true;
      case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
      case kFont: *out = BlockValue(props_.font); return true;
      default: return false;
    }
  }
  Bytes SaveRecord() {
    forms::GroupBoxProps p = props_;
    if (alive()) p.caption = WindowText(hwnd_);
    return forms::WriteRecord(p);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_ERASEBKGND: {
        // The inside takes the back colour (the platform leaves it to the
        // parent's background otherwise).
        RECT r;
        ::GetClientRect(hwnd_, &r);
        ::FillRect(reinterpret_cast<HDC>(w), &r, brush_.get(ResolveColour(props_.backColor)));
        return 1;
      }
      case forms::msg::Reflect + WM_CTLCOLORSTATIC:
      case forms::msg::Reflect + WM_CTLCOLORBTN:
        return AnswerCtlColour(reinterpret_cast<HDC>(w), ResolveColour(props_.textColor),
                               ResolveColour(props_.backColor), brush_);
      default:
        return CallDefault(message, w, l);
    }
  }

 private:
  GroupBox(const CreateArgs& a, forms::GroupBoxProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    props_.captionAlign = Clamp(props_.captionAlign, 0, 2);
    font_ = FontFromValue(props_.font);
  }
  DWORD GroupStyle() const {
    static const DWORD kAlign[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    return BS_GROUPBOX | kAlign[props_.captionAlign];
  }

  forms::GroupBoxProps props_;
  win::OwnedFont font_;
  ColourBrush brush_;
  std::string readText_;
};

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* GroupBoxInterface(int32_t operation) { return ControlOps<ts::controls::GroupBox>::Lookup(operation); }

}  // namespace ts::controls
