#include "controls/picturebox/picture_box.h"

#include <new>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/picturebox/picture_layout.h"
#include "win/handles.h"

namespace ts::controls {

PictureBox::PictureBox(uint32_t formId, uint32_t unitId, const forms::PicBoxProps& props)
    : UnitObject(formId, unitId, kTypeId), props_(props) {
  props_.borderStyle = Clamp(props_.borderStyle, 0, 5);
  props_.displayMode = Clamp(props_.displayMode, 0, 2);
}

PictureBox::~PictureBox() { StopAnimation(); }

forms::UnitObject* PictureBox::CreateUnit(const forms::CreateArgs& args) {
  forms::PicBoxProps props;
  if (!forms::ReadRecord(args.data, args.size, &props)) return nullptr;
  auto box = std::make_unique<PictureBox>(args.formId, args.unitId, props);
  if (!box->Create(args)) return nullptr;
  return box.release();
}

bool PictureBox::Create(const forms::CreateArgs& args) {
  if (!forms::RegisterUnitClass(kPictureBoxClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                LoadCursorA(nullptr, IDC_ARROW), nullptr)) {
    return false;
  }
  const BorderBits border = BorderStyleBits(props_.borderStyle);
  const DWORD style = ChildStyle(args.style) | border.style;
  if (!CreateNative(border.exStyle, kPictureBoxClass, "", style, args.left, args.top, args.width, args.height,
                    args.parent, args.menuOrId)) {
    return false;
  }
  LoadPicture();
  return true;
}

COLORREF PictureBox::backColour() const { return ResolveColour(props_.backColor); }

SIZE PictureBox::pictureSize() const {
  if (animation_) return animation_->size();
  if (!picture_) return SIZE{0, 0};
  return SIZE{static_cast<LONG>(picture_->width), static_cast<LONG>(picture_->height)};
}

void PictureBox::StopAnimation() {
  if (animation_) animation_->Stop();
}

void PictureBox::LoadPicture() {
  StopAnimation();
  animation_.reset();
  image_ = ts::images::DeviceImage{};
  picture_.reset();
  const uint8_t* data = props_.picture.data();
  const size_t size = props_.picture.size();
  if (size == 0) return;
  if (props_.animate && ts::images::Recognise(data, size) == ts::images::kGif) {
    animation_ = GifAnimation::Load(data, size, backColour());
    if (animation_) return;
  }
  try {
    picture_ = ts::images::Decode(data, size);
    if (picture_) image_ = ts::images::ToBitmap(*picture_, nullptr, backColour());
  } catch (const std::bad_alloc&) {
    // A picture that does not fit in memory leaves the box empty, as one
    // that does not decode.
    image_ = ts::images::DeviceImage{};
    picture_.reset();
  }
}

void PictureBox::Redraw() {
  if (hwnd_ != nullptr) InvalidateRect(hwnd_, nullptr, FALSE);
}

void PictureBox::Paint(HDC dc, const RECT& clip) {
  win::OwnedBrush back(CreateSolidBrush(backColour()));
  if (back) FillRect(dc, &clip, back.get());
  RECT client;
  GetClientRect(hwnd_, &client);
  const RECT target = PlacePicture(props_.displayMode, client, pictureSize());
  if (animation_) {
    animation_->setDisplayMode(props_.displayMode);
    animation_->Present(dc, target);
    return;
  }
  if (image_) {
    ts::images::Draw(image_.handle(), dc, target.left, target.top, target.right - target.left,
                 target.bottom - target.top, SRCCOPY);
  }
}

LRESULT PictureBox::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_PAINT: {
      {
        win::PaintDC paint(hwnd_);
        if (paint.get() != nullptr) Paint(paint.get(), paint.area());
      }
      // The thread draws through a device context of its own: it starts
      // once this paint is over, so that its first frame is not painted
      // over or clipped away by the paint that started it.
      if (animation_ && animation_->state() == GifAnimation::State::kStopped) {
        animation_->Start(hwnd_, props_.displayMode);
      }
      return 0;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(hwnd_, &client);
      Paint(reinterpret_cast<HDC>(w), client);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the paint fills the background itself
    case WM_DESTROY:
      StopAnimation();
      return CallDefault(message, w, l);
    default:
      return CallDefault(message, w, l);
  }
}

// --- properties -------------------------------------------------------------

int32_t PictureBox::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case pbprop::BorderStyle:
      props_.borderStyle = Clamp(v.i32, 0, 5);
      ApplyBorder(hwnd_, props_.borderStyle);
      break;
    case pbprop::BackColor:
      props_.backColor = v.u32;
      // PNG transparency is blended onto the back colour, and an
      // animation's canvas starts from it: both are made again.
      LoadPicture();
      break;
    case pbprop::Picture:
      props_.picture = BlockOf(v);
      LoadPicture();
      break;
    case pbprop::DisplayMode: props_.displayMode = Clamp(v.i32, 0, 2); break;
    case pbprop::Animate:
      props_.animate = BoolOf(v) ? 1 : 0;
      LoadPicture();
      break;
    case pbprop::DataSource: props_.dataSource = TextOf(v); return 0;
    case pbprop::DataField: props_.dataField = TextOf(v); return 0;
    default: return 0;
  }
  Redraw();
  return 0;
}

bool PictureBox::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case pbprop::BorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
    case pbprop::BackColor: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case pbprop::Picture: *out = BlockValue(props_.picture); return true;
    case pbprop::DisplayMode: *out = PropertyValue::Int(props_.displayMode); return true;
    case pbprop::Animate: *out = PropertyValue::Int(static_cast<int32_t>(props_.animate)); return true;
    case pbprop::DataSource: *out = PropertyValue::Text(props_.dataSource.c_str()); return true;
    case pbprop::DataField: *out = PropertyValue::Text(props_.dataField.c_str()); return true;
    default: return false;
  }
}

// --- the operation table ----------------------------------------------------

void* PictureBoxInterface(int32_t operation) { return ControlOps<PictureBox>::Lookup(operation); }

}  // namespace ts::controls
