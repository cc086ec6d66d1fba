// The progress bar: the platform progress control. The range may be given
// in either order; the position shown is clamped into the range while the
// property keeps the value written.
#include <windows.h>
#include <commctrl.h>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/link_logic.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"

namespace ts::controls {
namespace {

enum ProgressProp : int32_t { kBorderStyle = 0, kVertical, kSmooth, kMinimum, kMaximum, kPosition };

class ProgressBar : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::ProgressBar;

  static ProgressBar* CreateUnit(const CreateArgs& a) {
    forms::ProgressBarProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    EnsureCommonControls();
    auto* bar = new ProgressBar(a, std::move(props));
    const BorderBits border = BorderStyleBits(bar->props_.borderStyle);
    DWORD style = ChildStyle(a.style) | border.style;
    if (bar->props_.vertical) style |= PBS_VERTICAL;
    if (bar->props_.smooth) style |= PBS_SMOOTH;
    if (!bar->CreateNative(border.exStyle, PROGRESS_CLASSA, "", style, a.left, a.top, a.width, a.height, a.parent,
                           a.menuOrId)) {
      delete bar;
      return nullptr;
    }
    bar->Show();
    return bar;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v) {
    switch (index) {
      case kBorderStyle:
        props_.borderStyle = Clamp(v.i32, 0, 5);
        if (alive()) ApplyBorder(hwnd_, props_.borderStyle);
        return 0;
      case kVertical: props_.vertical = BoolOf(v); return 1;
      case kSmooth: props_.smooth = BoolOf(v); return 1;
      case kMinimum: props_.minimum = ClampProgressValue(v.i32); break;
      case kMaximum: props_.maximum = ClampProgressValue(v.i32); break;
      case kPosition: props_.position = ClampProgressValue(v.i32); break;
      default: return 0;
    }
    if (alive()) Show();
    return 0;
  }
  bool GetProperty(int32_t index, PropertyValue* out) {
    switch (index) {
      case kBorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
      case kVertical: *out = PropertyValue::Int(props_.vertical ? 1 : 0); return true;
      case kSmooth: *out = PropertyValue::Int(props_.smooth ? 1 : 0); return true;
      case kMinimum: *out = PropertyValue::Int(props_.minimum); return true;
      case kMaximum: *out = PropertyValue::Int(props_.maximum); return true;
      case kPosition: *out = PropertyValue::Int(props_.position); return true;
      default: return false;
    }
  }
  Bytes SaveRecord() { return forms::WriteRecord(props_); }

 private:
  ProgressBar(const CreateArgs& a, forms::ProgressBarProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    props_.borderStyle = Clamp(props_.borderStyle, 0, 5);
    props_.minimum = ClampProgressValue(props_.minimum);
    props_.maximum = ClampProgressValue(props_.maximum);
    props_.position = ClampProgressValue(props_.position);
  }

  // Hands range and position to the platform control.
  void Show() {
    ProgressRange range = OrderedRange(props_.minimum, props_.maximum);
    Send(PBM_SETRANGE32, static_cast<WPARAM>(range.low), static_cast<LPARAM>(range.high));
    Send(PBM_SETPOS, static_cast<WPARAM>(PositionInRange(props_.position, range)));
  }

  forms::ProgressBarProps props_;
};

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* ProgressBarInterface(int32_t operation) { return ControlOps<ts::controls::ProgressBar>::Lookup(operation); }

}  // namespace ts::controls
