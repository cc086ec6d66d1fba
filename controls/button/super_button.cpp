#include "controls/button/super_button.h"

#include <commctrl.h>
#include <windowsx.h>
#include <mmsystem.h>

#include <memory>

#include "controls/button/button_look.h"
#include "controls/button/click_sound.h"
#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"

namespace ts::controls {

namespace {

constexpr int kToolTipWidth = 400;
constexpr size_t kFontValueSize = sizeof(LOGFONTA);
static_assert(sizeof(LOGFONTA) == 60);

}  // namespace

SuperButton::SuperButton(uint32_t formId, uint32_t unitId, const forms::SuperButtonProps& props)
    : UnitObject(formId, unitId, kTypeId), props_(props) {
  props_.buttonStyle = Clamp(props_.buttonStyle, 0, 2);
  props_.imagePosition = Clamp(props_.imagePosition, 0, 3);
  props_.pressEffect = Clamp(props_.pressEffect, 0, 1);
}

SuperButton::~SuperButton() {
  // A sound of ours may still be playing from our blocks.
  if (!props_.clickSound.empty() || !props_.hoverSound.empty()) PlaySoundA(nullptr, nullptr, 0);
}

forms::UnitObject* SuperButton::CreateUnit(const forms::CreateArgs& args) {
  forms::SuperButtonProps props;
  if (!forms::ReadRecord(args.data, args.size, &props)) return nullptr;
  auto button = std::make_unique<SuperButton>(args.formId, args.unitId, props);
  if (!button->Create(args)) return nullptr;
  return button.release();
}

bool SuperButton::Create(const forms::CreateArgs& args) {
  EnsureCommonControls();
  // The engine's low word holds no button style: the button draws itself.
  const DWORD style = ChildStyle(args.style & ~0xFFFFu) | BS_OWNERDRAW;
  if (!CreateNative(0, "BUTTON", props_.caption.c_str(), style, args.left, args.top, args.width, args.height,
                    args.parent, args.menuOrId)) {
    return false;
  }
  ApplyFont();
  for (Slot s : {Slot::kHot, Slot::kNormal, Slot::kDisabled}) RebuildSlot(s);
  UpdateToolTip();
  return true;
}

// --- state and resources --------------------------------------------------

void SuperButton::ApplyFont() {
  font_ = FontFromValue(props_.font);
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontOrDefault(font_)), TRUE);
}

void SuperButton::RebuildSlot(Slot which) {
  const forms::Bytes* data = nullptr;
  uint32_t key = kKeyFromCorner;
  switch (which) {
    case Slot::kHot: data = &props_.hotImage; key = props_.hotImageKey; break;
    case Slot::kNormal: data = &props_.normalImage; key = props_.normalImageKey; break;
    case Slot::kDisabled: data = &props_.disabledImage; key = props_.disabledImageKey; break;
    case Slot::kNone: return;
  }
  slots_[static_cast<int>(which)].Build(data->data(), data->size(), key);
}

void SuperButton::UpdateToolTip() {
  if (tooltip_ == nullptr) {
    if (props_.toolTip.empty()) return;
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (tooltip_ == nullptr) return;
    SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
  }
  TOOLINFOA ti{};
  ti.cbSize = TTTOOLINFOA_V2_SIZE;
  ti.uFlags = TTF_SUBCLASS;
  ti.hwnd = hwnd_;
  ti.uId = 1;
  GetClientRect(hwnd_, &ti.rect);
  SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  if (!props_.toolTip.empty()) {
    ti.lpszText = const_cast<char*>(props_.toolTip.c_str());
    SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  SendMessageA(tooltip_, TTM_ACTIVATE, props_.toolTip.empty() ? FALSE : TRUE, 0);
}

void SuperButton::Repaint() {
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void SuperButton::SetHot(bool hot) {
  if (hot_ == hot) return;
  hot_ = hot;
  Repaint();
}

void SuperButton::Play(const forms::Bytes& block) {
  if (props_.builtInSound) {
    const auto& wave = BuiltInClickWave();
    PlayWaveData(wave.data(), wave.size());
  } else {
    PlayWaveData(block.data(), block.size());
  }
}

// --- behaviour --------------------------------------------------------------

void SuperButton::TrackHover(WPARAM keys, LPARAM point) {
  if (!flat()) return;
  if ((keys & MK_LBUTTON) != 0 && !hot_) return;
  POINT p{GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  ClientToScreen(hwnd_, &p);
  if (WindowFromPoint(p) != hwnd_) {
    SetHot(false);
    return;
  }
  if (hot_) return;
  SetHot(true);
  Play(props_.hoverSound);
  TRACKMOUSEEVENT tme{sizeof tme, TME_LEAVE, hwnd_, 0};
  TrackMouseEvent(&tme);
}

void SuperButton::HandleClicked() {
  Play(props_.clickSound);
  if (props_.toggle) {
    props_.down = props_.down ? 0 : 1;
    Repaint();
  }
  OnClicked();
}

void SuperButton::HandleDisabled() {
  SetHot(false);
  if (GetFocus() != hwnd_) return;
  HWND parent = GetParent(hwnd_);
  HWND next = parent ? GetNextDlgTabItem(parent, hwnd_, FALSE) : nullptr;
  SetFocus(next != nullptr && next != hwnd_ ? next : parent);
}

ButtonLook SuperButton::Look() {
  ButtonLook look;
  if (props_.systemColors) {
    const ButtonColours sys = SystemButtonColours();
    const COLORREF values[6] = {sys.text, sys.back, sys.hotText, sys.hotBack, sys.downText, sys.downBack};
    for (int i = 0; i < 6; ++i) props_.colors[i] = values[i];
  }
  look.colours = ButtonColours{ResolveColour(props_.colors[0]), ResolveColour(props_.colors[1]),
                               ResolveColour(props_.colors[2]), ResolveColour(props_.colors[3]),
                               ResolveColour(props_.colors[4]), ResolveColour(props_.colors[5])};
  look.style = props_.buttonStyle;
  look.imagePosition = props_.imagePosition;
  look.pressEffect = props_.pressEffect;
  look.flatBorder = props_.flatBorder != 0;
  look.flatFocusRect = props_.flatFocusRect != 0;
  look.toggle = props_.toggle != 0;
  look.isDefault = isDefault();
  for (int i = 0; i < 3; ++i) look.slots[i] = &slots_[i];
  char text[1024] = {};
  GetWindowTextA(hwnd_, text, sizeof text);
  look.caption = text;
  look.font = font_.get();
  return look;
}

void SuperButton::Render(HDC dc, const RECT& bounds, bool selected, bool focused) {
  ButtonState state;
  state.pressed = selected || (props_.toggle && props_.down);
  state.focused = focused;
  state.disabled = !IsWindowEnabled(hwnd_);
  state.hot = hot_ && flat();
  PaintButton(dc, bounds, Look(), state);
}

LRESULT SuperButton::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case forms::msg::Reflect + WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
      Render(item->hDC, item->rcItem, (item->itemState & ODS_SELECTED) != 0, (item->itemState & ODS_FOCUS) != 0);
      return TRUE;
    }
    case forms::msg::Reflect + WM_COMMAND:
      if (HIWORD(w) != BN_CLICKED) return 0;
      HandleClicked();
      return 1;
    case WM_PRINTCLIENT: {
      RECT bounds;
      GetClientRect(hwnd_, &bounds);
      const bool pushed = (CallDefault(BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
      Render(reinterpret_cast<HDC>(w), bounds, pushed, GetFocus() == hwnd_);
      return 0;
    }
    case WM_LBUTTONDBLCLK:
      // Owner-drawn buttons would report a double click instead of a second
      // click; every click of a super button is a click.
      return CallDefault(WM_LBUTTONDOWN, w, l);
    case WM_MOUSEMOVE: {
      const LRESULT result = CallDefault(message, w, l);
      TrackHover(w, l);
      return result;
    }
    case WM_MOUSELEAVE:
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
    case WM_CAPTURECHANGED: {
      const LRESULT result = CallDefault(message, w, l);
      if (message != WM_CAPTURECHANGED) SetHot(false);
      return result;
    }
    case WM_ENABLE: {
      const LRESULT result = CallDefault(message, w, l);
      if (!w) HandleDisabled();
      Repaint();
      return result;
    }
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (isDefault() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
      return CallDefault(message, (w & ~0xFu) | BS_OWNERDRAW, l);
    case WM_SIZE: {
      const LRESULT result = CallDefault(message, w, l);
      if (tooltip_ != nullptr) UpdateToolTip();
      return result;
    }
    case WM_DESTROY:
      if (tooltip_ != nullptr) {
        DestroyWindow(tooltip_);
        tooltip_ = nullptr;
      }
      return CallDefault(message, w, l);
    default:
      return CallDefault(message, w, l);
  }
}

// --- properties -------------------------------------------------------------

bool SuperButton::SetColour(int32_t index, uint32_t value) {
  props_.colors[index - sbprop::TextColor] = ResolveButtonFace(value);
  return !props_.systemColors;
}

int32_t SuperButton::SetBlock(int32_t index, const PropertyValue& value) {
  forms::Bytes block = BlockOf(value);
  switch (index) {
    case sbprop::NormalImage: props_.normalImage = std::move(block); RebuildSlot(Slot::kNormal); break;
    case sbprop::HotImage: props_.hotImage = std::move(block); RebuildSlot(Slot::kHot); break;
    case sbprop::DisabledImage: props_.disabledImage = std::move(block); RebuildSlot(Slot::kDisabled); break;
    case sbprop::Font:
      props_.font = block.size() == kFontValueSize ? std::move(block) : forms::Bytes{};
      ApplyFont();
      break;
    case sbprop::HoverSound:
    case sbprop::ClickSound:
      // The old block may be playing from memory: stop before freeing it.
      PlaySoundA(nullptr, nullptr, 0);
      (index == sbprop::HoverSound ? props_.hoverSound : props_.clickSound) = std::move(block);
      return 0;
    default: return 0;
  }
  Repaint();
  return 0;
}

int32_t SuperButton::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case sbprop::ButtonStyle: props_.buttonStyle = Clamp(v.i32, 0, 2); if (!flat()) SetHot(false); break;
    case sbprop::Toggle: {
      const uint32_t toggle = BoolOf(v) ? 1 : 0;
      if (toggle == props_.toggle) return 0;
      props_.toggle = toggle;
      return 1;
    }
    case sbprop::Down: props_.down = BoolOf(v) ? 1 : 0; break;
    case sbprop::ImagePosition: props_.imagePosition = Clamp(v.i32, 0, 3); break;
    case sbprop::PressEffect: props_.pressEffect = Clamp(v.i32, 0, 1); break;
    case sbprop::FlatBorder: props_.flatBorder = BoolOf(v) ? 1 : 0; break;
    case sbprop::FlatFocusRect: props_.flatFocusRect = BoolOf(v) ? 1 : 0; break;
    case sbprop::NormalImageKey: props_.normalImageKey = v.u32; RebuildSlot(Slot::kNormal); break;
    case sbprop::HotImageKey: props_.hotImageKey = v.u32; RebuildSlot(Slot::kHot); break;
    case sbprop::DisabledImageKey: props_.disabledImageKey = v.u32; RebuildSlot(Slot::kDisabled); break;
    case sbprop::NormalImage:
    case sbprop::HotImage:
    case sbprop::DisabledImage:
    case sbprop::Font:
    case sbprop::HoverSound:
    case sbprop::ClickSound:
      return SetBlock(index, v);
    case sbprop::Caption:
      props_.caption = v.text ? v.text : "";
      SetWindowTextA(hwnd_, props_.caption.c_str());
      break;
    case sbprop::SystemColors: props_.systemColors = BoolOf(v) ? 1 : 0; break;
    case sbprop::TextColor:
    case sbprop::BackColor:
    case sbprop::HotTextColor:
    case sbprop::HotBackColor:
    case sbprop::DownTextColor:
    case sbprop::DownBackColor:
      if (!SetColour(index, v.u32)) return 0;
      break;
    case sbprop::BuiltInSound: props_.builtInSound = BoolOf(v) ? 1 : 0; return 0;
    case sbprop::ToolTip:
      props_.toolTip = v.text ? v.text : "";
      UpdateToolTip();
      return 0;
    case sbprop::DefaultButton: {
      const uint32_t def = Clamp(v.i32, 0, 1);
      if (def == props_.defaultButton) return 0;
      props_.defaultButton = def;
      return 1;
    }
    default: return 0;
  }
  Repaint();
  return 0;
}

bool SuperButton::GetProperty(int32_t index, PropertyValue* out) {
  auto block = [&](const forms::Bytes& b) { *out = BlockValue(b); };
  switch (index) {
    case sbprop::ButtonStyle: *out = PropertyValue::Int(props_.buttonStyle); return true;
    case sbprop::Toggle: *out = PropertyValue::Int(static_cast<int32_t>(props_.toggle)); return true;
    case sbprop::Down: *out = PropertyValue::Int(static_cast<int32_t>(props_.down)); return true;
    case sbprop::ImagePosition: *out = PropertyValue::Int(props_.imagePosition); return true;
    case sbprop::PressEffect: *out = PropertyValue::Int(props_.pressEffect); return true;
    case sbprop::FlatBorder: *out = PropertyValue::Int(static_cast<int32_t>(props_.flatBorder)); return true;
    case sbprop::FlatFocusRect: *out = PropertyValue::Int(static_cast<int32_t>(props_.flatFocusRect)); return true;
    case sbprop::NormalImage: block(props_.normalImage); return true;
    case sbprop::NormalImageKey: *out = PropertyValue::Int(static_cast<int32_t>(props_.normalImageKey)); return true;
    case sbprop::HotImage: block(props_.hotImage); return true;
    case sbprop::HotImageKey: *out = PropertyValue::Int(static_cast<int32_t>(props_.hotImageKey)); return true;
    case sbprop::DisabledImage: block(props_.disabledImage); return true;
    case sbprop::DisabledImageKey:
      *out = PropertyValue::Int(static_cast<int32_t>(props_.disabledImageKey));
      return true;
    case sbprop::Font: block(props_.font); return true;
    case sbprop::Caption: {
      char text[1024] = {};
      GetWindowTextA(hwnd_, text, sizeof text);
      captionRead_ = text;
      *out = PropertyValue::Text(captionRead_.c_str());
      return true;
    }
    case sbprop::SystemColors: *out = PropertyValue::Int(static_cast<int32_t>(props_.systemColors)); return true;
    case sbprop::TextColor:
    case sbprop::BackColor:
    case sbprop::HotTextColor:
    case sbprop::HotBackColor:
    case sbprop::DownTextColor:
    case sbprop::DownBackColor:
      *out = PropertyValue::Int(static_cast<int32_t>(props_.colors[index - sbprop::TextColor]));
      return true;
    case sbprop::BuiltInSound: *out = PropertyValue::Int(static_cast<int32_t>(props_.builtInSound)); return true;
    case sbprop::HoverSound: block(props_.hoverSound); return true;
    case sbprop::ClickSound: block(props_.clickSound); return true;
    case sbprop::ToolTip: *out = PropertyValue::Text(props_.toolTip.c_str()); return true;
    case sbprop::DefaultButton: *out = PropertyValue::Int(static_cast<int32_t>(props_.defaultButton)); return true;
    default: return false;
  }
}

forms::Bytes SuperButton::SaveRecord() {
  if (hwnd_ != nullptr) {
    char text[1024] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    props_.caption = text;
  }
  return forms::WriteRecord(props_);
}

// --- the operation table ----------------------------------------------------

void* SuperButtonInterface(int32_t operation) { return ControlOps<SuperButton>::Lookup(operation); }

}  // namespace ts::controls
