// The label: a window of its own class that paints a frame, a background
// (picture, gradient or colour) and its caption with alignment and effects.
#include <optional>
#include <vector>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"
#include "images/picture_gdi.h"
#include "win/handles.h"

namespace ts::controls {
namespace {

const char kLabelClass[] = "_QX_Label";

enum LabelProp : int32_t {
  kCaption = 0, kEffect, kBorderStyle, kFrameWidth, kFrameColour1, kFrameColour2, kFrameColour3,
  kFont, kTextColour, kBackColour, kBackPicture, kPictureMode, kGradientMode,
  kGradientColour1, kGradientColour2, kGradientColour3, kHAlign, kWordWrap, kVAlign,
  kDataSource, kDataField,
};

constexpr int32_t kDrawnFrame = 6;  // border style painted by the label itself
constexpr int32_t kMinFrameWidth = 5;

// The colours of a three-colour set that are usable (not the button-face
// marker), in order.
std::vector<COLORREF> UsableColours(const uint32_t (&colours)[3]) {
  std::vector<COLORREF> out;
  for (uint32_t c : colours)
    if (c != forms::kButtonFace) out.push_back(ResolveColour(c));
  return out;
}

// Piecewise linear blend through the colours, t in 0..1.
COLORREF Blend(const std::vector<COLORREF>& colours, double t) {
  if (colours.size() == 1 || t <= 0) return colours.front();
  if (t >= 1) return colours.back();
  double scaled = t * static_cast<double>(colours.size() - 1);
  auto i = static_cast<size_t>(scaled);
  double f = scaled - static_cast<double>(i);
  COLORREF a = colours[i], b = colours[i + 1];
  auto mix = [f](int x, int y) { return static_cast<BYTE>(x + (y - x) * f + 0.5); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

// The gradient frame: rings from the outer edge inwards, blending through
// the frame colours.
void PaintGradientFrame(HDC dc, RECT* area, int32_t width, const std::vector<COLORREF>& colours) {
  for (int32_t i = 0; i < width && area->right - area->left > 1 && area->bottom - area->top > 1; ++i) {
    double t = width > 1 ? static_cast<double>(i) / (width - 1) : 0.0;
    COLORREF c = Blend(colours, t);
    RECT r = *area;
    FillSolid(dc, {r.left, r.top, r.right, r.top + 1}, c);
    FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, c);
    FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom}, c);
    FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, c);
    ::InflateRect(area, -1, -1);
  }
}

// Gradient modes: 1 left to right, 2 right to left, 3 top to bottom,
// 4 bottom to top, 5 edges to the vertical centre line, 6 edges to the
// horizontal centre line, 7 top-left to bottom-right, 8 top-right to
// bottom-left.
void PaintGradient(HDC dc, const RECT& r, int32_t mode, const std::vector<COLORREF>& colours) {
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  auto along = [](int i, int n) { return n > 1 ? static_cast<double>(i) / (n - 1) : 0.0; };
  auto mirrored = [&](int i, int n) { double t = along(i, n) * 2 - 1; return 1.0 - (t < 0 ? -t : t); };
  if (mode <= 2 || mode == 5) {
    for (int x = 0; x < w; ++x) {
      double t = mode == 1 ? along(x, w) : mode == 2 ? 1 - along(x, w) : mirrored(x, w);
      FillSolid(dc, {r.left + x, r.top, r.left + x + 1, r.bottom}, Blend(colours, t));
    }
    return;
  }
  if (mode <= 4 || mode == 6) {
    for (int y = 0; y < h; ++y) {
      double t = mode == 3 ? along(y, h) : mode == 4 ? 1 - along(y, h) : mirrored(y, h);
      FillSolid(dc, {r.left, r.top + y, r.right, r.top + y + 1}, Blend(colours, t));
    }
    return;
  }
  // Diagonals: one 45-degree line per step, clipped to the area.
  int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  int steps = w + h - 1;
  for (int k = 0; k < steps; ++k) {
    win::OwnedPen pen(::CreatePen(PS_SOLID, 1, Blend(colours, along(k, steps))));
    win::SelectGuard use(dc, pen.get());
    if (mode == 7) {
      ::MoveToEx(dc, r.left + k, r.top - 1, nullptr);
      ::LineTo(dc, r.left + k - h - 1, r.top + h);
    } else {
      ::MoveToEx(dc, r.right - 1 - k, r.top - 1, nullptr);
      ::LineTo(dc, r.right - 1 - k + h + 1, r.top + h);
    }
  }
  ::RestoreDC(dc, saved);
}

class Label : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::Label;

  static Label* CreateUnit(const CreateArgs& a) {
    forms::LabelProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    if (!forms::RegisterUnitClass(kLabelClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW),
                           nullptr))
      return nullptr;
    auto* label = new Label(a, std::move(props));
    const BorderBits border = BorderStyleBits(label->PlatformBorder());
    if (!label->CreateNative(border.exStyle, kLabelClass, label->props_.caption.c_str(),
                             ChildStyle(a.style) | border.style, a.left, a.top, a.width, a.height, a.parent,
                             a.menuOrId)) {
      delete label;
      return nullptr;
    }
    return label;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v);
  bool GetProperty(int32_t index, PropertyValue* out);
  Bytes SaveRecord() {
    forms::LabelProps p = props_;
    if (alive()) p.caption = WindowText(hwnd_);
    return forms::WriteRecord(p);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  Label(const CreateArgs& a, forms::LabelProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    Normalise();
    font_ = FontFromValue(props_.font);
    LoadPicture();
  }

  void Normalise() {
    props_.effect = Clamp(props_.effect, 0, 3);
    props_.borderStyle = Clamp(props_.borderStyle, 0, kDrawnFrame);
    props_.frameWidth = std::max(props_.frameWidth, kMinFrameWidth);
    props_.pictureMode = Clamp(props_.pictureMode, 0, 2);
    props_.gradientMode = Clamp(props_.gradientMode, 0, 8);
    props_.hAlign = Clamp(props_.hAlign, 0, 2);
    props_.vAlign = Clamp(props_.vAlign, 0, 2);
  }
  void LoadPicture() {
    image_ = ts::images::DeviceImage();
    picture_.reset();
    if (props_.backPicture.empty()) return;
    picture_ = ts::images::Decode(props_.backPicture.data(), props_.backPicture.size());
    if (picture_) image_ = ts::images::ToBitmap(*picture_, nullptr, ResolveColour(props_.backColor));
    if (!image_) picture_.reset();  // a picture that does not decode is ignored
  }
  void Refresh() {
    if (alive()) ::InvalidateRect(hwnd_, nullptr, FALSE);
  }
  // The border kind the platform draws: the gradient frame is the label's own.
  int32_t PlatformBorder() const { return props_.borderStyle == kDrawnFrame ? 0 : props_.borderStyle; }

  void Paint(HDC dc);
  void PaintBackground(HDC dc, const RECT& area);
  void PaintCaption(HDC dc, const RECT& area);
  void DrawCaption(HDC dc, const std::string& text, RECT area, UINT format, COLORREF colour, int dx, int dy);

  forms::LabelProps props_;
  win::OwnedFont font_;
  std::optional<ts::images::Picture> picture_;
  ts::images::DeviceImage image_;
  std::string readText_;
};

LRESULT Label::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      win::PaintDC paint(hwnd_);
      Paint(paint.get());
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(reinterpret_cast<HDC>(w));
      return 0;
    case WM_SETTEXT: {
      LRESULT r = CallDefault(message, w, l);
      Refresh();
      return r;
    }
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FontOrDefault(font_));
    default:
      return CallDefault(message, w, l);
  }
}

// Off-screen painting of the whole client area, copied in one step.
void Label::Paint(HDC target) {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  int w = client.right, h = client.bottom;
  if (w <= 0 || h <= 0) return;
  win::OwnedDC mem(::CreateCompatibleDC(target));
  win::OwnedBitmap canvas(::CreateCompatibleBitmap(target, w, h));
  if (!mem || !canvas) return;
  win::SelectGuard keep(mem.get(), canvas.get());
  RECT area = client;
  if (props_.borderStyle == kDrawnFrame) {
    std::vector<COLORREF> frame = UsableColours(props_.frameColors);
    if (frame.size() >= 2) PaintGradientFrame(mem.get(), &area, props_.frameWidth, frame);
  }
  PaintBackground(mem.get(), area);
  PaintCaption(mem.get(), area);
  ::BitBlt(target, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

void Label::PaintBackground(HDC dc, const RECT& area) {
  COLORREF back = ResolveColour(props_.backColor);
  std::vector<COLORREF> gradient = UsableColours(props_.gradientColors);
  if (!image_ && props_.gradientMode != 0 && gradient.size() >= 2) {
    PaintGradient(dc, area, props_.gradientMode, gradient);
    return;
  }
  FillSolid(dc, area, back);
  if (!image_) return;
  int pw = static_cast<int>(picture_->width), ph = static_cast<int>(picture_->height);
  int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  switch (props_.pictureMode) {
    case 0:
      ts::images::Draw(image_.handle(), dc, area.left, area.top, -1, -1, SRCCOPY);
      break;
    case 1:
      for (int y = area.top; pw > 0 && ph > 0 && y < area.bottom; y += ph)
        for (int x = area.left; x < area.right; x += pw) ts::images::Draw(image_.handle(), dc, x, y, -1, -1, SRCCOPY);
      break;
    default:
      ts::images::Draw(image_.handle(), dc, area.left, area.top, area.right - area.left, area.bottom - area.top,
                   SRCCOPY);
      break;
  }
  ::RestoreDC(dc, saved);
}

void Label::DrawCaption(HDC dc, const std::string& text, RECT area, UINT format, COLORREF colour, int dx, int dy) {
  ::OffsetRect(&area, dx, dy);
  ::SetTextColor(dc, colour);
  ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
}

void Label::PaintCaption(HDC dc, const RECT& area) {
  std::string text = WindowText(hwnd_);
  if (text.empty()) return;
  win::SelectGuard font(dc, FontOrDefault(font_));
  ::SetBkMode(dc, TRANSPARENT);
  static const UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  static const UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  UINT format = DT_NOPREFIX | kHorizontal[props_.hAlign];
  RECT place = area;
  if (props_.wordWrap) {
    // Wrapped lines are centred vertically; VAlign does not apply.
    format |= DT_WORDBREAK;
    RECT measure = area;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measure, format | DT_CALCRECT);
    int height = measure.bottom - measure.top;
    place.top = area.top + (area.bottom - area.top - height) / 2;
    place.bottom = place.top + height;
  } else {
    format |= DT_SINGLELINE | kVertical[props_.vAlign];
  }
  switch (props_.effect) {
    case 1:
      DrawCaption(dc, text, place, format, RGB(255, 255, 255), 1, 1);
      break;
    case 2:
      DrawCaption(dc, text, place, format, RGB(255, 255, 255), 0, 0);
      ::OffsetRect(&place, 1, 1);
      break;
    case 3:
      DrawCaption(dc, text, place, format, RGB(0, 0, 0), 2, 2);
      break;
    default:
      break;
  }
  DrawCaption(dc, text, place, format, ResolveColour(props_.textColor), 0, 0);
}

int32_t Label::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case kCaption:
      props_.caption = TextOf(v);
      if (alive()) ::SetWindowTextA(hwnd_, props_.caption.c_str());
      return 0;
    case kEffect: props_.effect = v.i32; break;
    case kBorderStyle: {
      props_.borderStyle = Clamp(v.i32, 0, kDrawnFrame);
      if (alive()) ApplyBorder(hwnd_, PlatformBorder());
      break;
    }
    case kFrameWidth: props_.frameWidth = v.i32; break;
    case kFrameColour1: case kFrameColour2: case kFrameColour3:
      props_.frameColors[index - kFrameColour1] = v.u32;
      break;
    case kFont:
      props_.font = BlockOf(v);
      font_ = FontFromValue(props_.font);
      break;
    case kTextColour: props_.textColor = v.u32; break;
    case kBackColour:
      props_.backColor = v.u32;
      LoadPicture();  // a picture with transparency is blended onto the back colour
      break;
    case kBackPicture:
      props_.backPicture = BlockOf(v);
      LoadPicture();
      break;
    case kPictureMode: props_.pictureMode = v.i32; break;
    case kGradientMode: props_.gradientMode = v.i32; break;
    case kGradientColour1: case kGradientColour2: case kGradientColour3:
      props_.gradientColors[index - kGradientColour1] = v.u32;
      break;
    case kHAlign: props_.hAlign = v.i32; break;
    case kWordWrap: props_.wordWrap = BoolOf(v) ? 1 : 0; break;
    case kVAlign: props_.vAlign = v.i32; break;
    case kDataSource: props_.dataSource = TextOf(v); return 0;
    case kDataField: props_.dataField = TextOf(v); return 0;
    default: return 0;
  }
  Normalise();
  Refresh();
  return 0;
}

bool Label::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kCaption:
      readText_ = alive() ? WindowText(hwnd_) : props_.caption;
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    case kEffect: *out = PropertyValue::Int(props_.effect); return true;
    case kBorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
    case kFrameWidth: *out = PropertyValue::Int(props_.frameWidth); return true;
    case kFrameColour1: case kFrameColour2: case kFrameColour3:
      *out = PropertyValue::Int(static_cast<int32_t>(props_.frameColors[index - kFrameColour1]));
      return true;
    case kFont: *out = BlockValue(props_.font); return true;
    case kTextColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.textColor)); return true;
    case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case kBackPicture: *out = BlockValue(props_.backPicture); return true;
    case kPictureMode: *out = PropertyValue::Int(props_.pictureMode); return true;
    case kGradientMode: *out = PropertyValue::Int(props_.gradientMode); return true;
    case kGradientColour1: case kGradientColour2: case kGradientColour3:
      *out = PropertyValue::Int(static_cast<int32_t>(props_.gradientColors[index - kGradientColour1]));
      return true;
    case kHAlign: *out = PropertyValue::Int(props_.hAlign); return true;
    case kWordWrap: *out = PropertyValue::Int(props_.wordWrap ? 1 : 0); return true;
    case kVAlign: *out = PropertyValue::Int(props_.vAlign); return true;
    case kDataSource: *out = PropertyValue::Text(props_.dataSource.c_str()); return true;
    case kDataField: *out = PropertyValue::Text(props_.dataField.c_str()); return true;
    default: return false;
  }
}

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* LabelInterface(int32_t operation) { return ControlOps<ts::controls::Label>::Lookup(operation); }

}  // namespace ts::controls
