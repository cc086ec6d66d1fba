// The window unit "窗口".
#include "forms/engine/window_unit.h"

#include <algorithm>
#include <cstring>

#include "forms/engine/internal.h"
#include "forms/engine/unit_record.h"
#include "forms/registry.h"
#include "forms/records/record_io.h"
#include "runtime/forms_link.h"
#include "runtime/values.h"

namespace ts::forms {

namespace {

const char kDefaultClass[] = "ZRWindow";

// Specific property indices (property index − 8).
enum WindowProp : int32_t {
  kCaption = 0, kBorderStyle, kBackColor, kBackPicture, kBackPictureMode, kBackMusic, kPlayCount,
  kControlBox, kMaxButton, kMinButton, kStartPosition, kMovable, kIcon, kEnterMovesFocus, kEscCloses,
  kF1OpensHelp, kHelpFile, kHelpContext, kShowInTaskbar, kDragAnywhere, kShape, kAlwaysOnTop,
  kKeepTitleActive, kClassName, kWindowPropCount
};

const PropertyEntry kProperties[32] = {
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // Left
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // Top
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // Width
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // Height
    {nullptr, nullptr, nullptr, 1005, 0, nullptr},  // Tag
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // Visible
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // Disabled
    {nullptr, nullptr, nullptr, 1011, 0, nullptr},  // Cursor
    {nullptr, nullptr, nullptr, 1005, 0, nullptr},  // Caption
    {nullptr, nullptr, nullptr, 1006, 0, nullptr},  // BorderStyle
    {nullptr, nullptr, nullptr, 1017, 0, nullptr},  // BackColor
    {nullptr, nullptr, nullptr, 1009, 0, nullptr},  // BackPicture
    {nullptr, nullptr, nullptr, 1006, 0, nullptr},  // BackPictureMode
    {nullptr, nullptr, nullptr, 1012, 0, nullptr},  // BackMusic
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // PlayCount
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // ControlBox
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // MaxButton
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // MinButton
    {nullptr, nullptr, nullptr, 1006, 0, nullptr},  // StartPosition
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // Movable
    {nullptr, nullptr, nullptr, 1010, 0, nullptr},  // Icon
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // EnterMovesFocus
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // EscCloses
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // F1OpensHelp
    {nullptr, nullptr, nullptr, 1016, 0, nullptr},  // HelpFile
    {nullptr, nullptr, nullptr, 1001, 0, nullptr},  // HelpContext
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // ShowInTaskbar
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // DragAnywhere
    {nullptr, nullptr, nullptr, 1006, 0, nullptr},  // Shape
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // AlwaysOnTop
    {nullptr, nullptr, nullptr, 1003, 0, nullptr},  // KeepTitleActive
    {nullptr, nullptr, nullptr, 1005, 0, nullptr},  // ClassName
};

void* WindowInterface(int32_t operation) {
  static const UnitOps ops = [] {
    UnitOps o;
    o.create = &FormWindow::CreateOp;
    o.setProperty = &FormWindow::SetPropertyOp;
    o.getAllData = &FormWindow::GetAllDataOp;
    o.getProperty = &FormWindow::GetPropertyOp;
    return o;
  }();
  return ops.Lookup(operation);
}

const UnitTypeEntry kWindowType = {
    "窗口", "window", nullptr, 0, nullptr, 0x800000D0, 0, 0, nullptr, 32, kProperties, &WindowInterface,
    0, nullptr};

uint32_t Bool(int32_t v) { return v != 0 ? 1 : 0; }

}  // namespace

const UnitTypeEntry& WindowUnitType() { return kWindowType; }

FormWindow* FormWindow::Of(uint32_t formId) {
  return dynamic_cast<FormWindow*>(UnitObjectOf(formId, 0));
}

// --- creation -------------------------------------------------------------

DWORD FormWindow::FrameStyle() const {
  DWORD style = WS_CLIPCHILDREN;
  if (props_.borderStyle != 0) {
    if (!props_.caption.empty() || props_.controlBox) style |= WS_CAPTION;
    if (props_.controlBox) style |= WS_SYSMENU;
    style |= WS_DLGFRAME;
    if (props_.borderStyle == 1 || props_.borderStyle == 3 || props_.borderStyle == 5) style |= WS_THICKFRAME;
  }
  if (props_.maxButton) style |= WS_MAXIMIZEBOX;
  if (props_.minButton) style |= WS_MINIMIZEBOX;
  return style;
}

DWORD FormWindow::FrameExStyle() const {
  DWORD ex = 0;
  if (props_.borderStyle == 3 || props_.borderStyle == 4) ex |= WS_EX_TOOLWINDOW;
  if (props_.borderStyle == 5 || props_.borderStyle == 6) ex |= WS_EX_CLIENTEDGE;
  return ex;
}

UnitObject* FormWindow::CreateOp(const CreateArgs& args) {
  WindowProps props;
  if (!ReadRecord(args.data, args.size, &props)) return nullptr;
  auto* window = new FormWindow(args.formId, args.unitId, std::move(props));
  if (!window->CreateWindowFor(args)) {
    delete window;
    return nullptr;
  }
  return window;
}

bool FormWindow::CreateWindowFor(const CreateArgs& args) {
  DWORD style = FrameStyle() | (args.style & WS_DISABLED);
  DWORD ex = FrameExStyle();
  int left = args.left, top = args.top;
  if (props_.startPosition == 1) {
    left = (::GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
    top = (::GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
  } else if (props_.startPosition == 2) {
    style |= WS_MINIMIZE;
  } else if (props_.startPosition == 3 && (style & WS_THICKFRAME)) {
    style |= WS_MAXIMIZE;
  }
  HWND owner = args.parent;
  if (owner != nullptr) {
    style |= WS_POPUP;
    ownedByCaller_ = true;
  } else if ((args.modal || !props_.showInTaskbar) && ProgramMode() != 0) {
    owner = HiddenOwnerWindow();
  }
  modal_ = false;
  const char* cls = props_.className.empty() ? kDefaultClass : props_.className.c_str();
  if (!RegisterUnitClass(cls, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW), nullptr)) {
    return false;
  }
  if (!CreateNative(ex, cls, props_.caption.c_str(), style, left, top, args.width, args.height, owner,
                    args.menuOrId)) {
    return false;
  }
  ApplyFrame();
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  if (r.right - r.left != args.width || r.bottom - r.top != args.height) {
    ::SetWindowPos(hwnd_, nullptr, 0, 0, args.width, args.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ApplyIcons();
  ApplyShape();
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), 0);
  ApplyTopmost();
  ApplyMovable();
  RememberPlace();
  return true;
}

void FormWindow::RememberPlace() {
  RECT r, client;
  ::GetWindowRect(hwnd_, &r);
  ::GetClientRect(hwnd_, &client);
  lastPos_ = {r.left, r.top};
  lastSize_ = {client.right, client.bottom};
}

// Brings the caption and frame bits in line with the properties: the
// platform adds a caption to every overlapped window, whatever was asked.
void FormWindow::ApplyFrame() {
  const DWORD frameBits = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_DLGFRAME | WS_BORDER |
                          WS_MAXIMIZEBOX | WS_MINIMIZEBOX;
  DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_STYLE));
  DWORD wanted = (style & ~frameBits) | (FrameStyle() & frameBits);
  DWORD ex = static_cast<DWORD>(::GetWindowLongA(hwnd_, GWL_EXSTYLE));
  DWORD wantedEx = (ex & ~(WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE)) | FrameExStyle();
  if (wanted == style && wantedEx == ex) return;
  ::SetWindowLongA(hwnd_, GWL_STYLE, static_cast<LONG>(wanted));
  ::SetWindowLongA(hwnd_, GWL_EXSTYLE, static_cast<LONG>(wantedEx));
  ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void FormWindow::ApplyIcons() {
  const uint8_t* data = props_.icon.data();
  size_t size = props_.icon.size();
  bigIcon_.reset(size ? LoadIconFile(data, size, ::GetSystemMetrics(SM_CXICON)) : nullptr);
  smallIcon_.reset(size ? LoadIconFile(data, size, ::GetSystemMetrics(SM_CXSMICON)) : nullptr);
  HICON fallback = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
  if (fallback == nullptr) fallback = ::LoadIconA(nullptr, IDI_APPLICATION);
  HICON big = bigIcon_ ? bigIcon_.get() : fallback;
  HICON small = smallIcon_ ? smallIcon_.get() : big;
  Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void FormWindow::ApplyShape() {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  win::OwnedRegion region;
  switch (props_.shape) {
    case 1:
      region.reset(::CreateEllipticRgn(0, 0, w, h));
      break;
    case 2: {
      int corner = std::min(w, h) / 5;
      region.reset(::CreateRoundRectRgn(0, 0, w + 1, h + 1, corner, corner));
      break;
    }
    case 3: {
      region.reset(::CreateEllipticRgn(0, 0, w, h));
      win::OwnedRegion inner(::CreateEllipticRgn(w / 4, h / 4, w - w / 4, h - h / 4));
      if (region && inner) ::CombineRgn(region.get(), region.get(), inner.get(), RGN_DIFF);
      break;
    }
    default:
      break;  // rectangle; the polygon outlines of 4 and up are not drawn
  }
  // The system owns a region once it is set.
  ::SetWindowRgn(hwnd_, region.release(), TRUE);
}

void FormWindow::ApplyTopmost() {
  ::SetWindowPos(hwnd_, props_.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void FormWindow::ApplyMovable() {
  if (props_.movable) {
    ::GetSystemMenu(hwnd_, TRUE);  // back to the standard menu
  } else if (HMENU menu = ::GetSystemMenu(hwnd_, FALSE)) {
    ::DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
  }
}

void FormWindow::ApplyTaskbarOwner() {
  if (ownedByCaller_ || ProgramMode() == 0) return;
  HWND owner = (!props_.showInTaskbar || modal_) ? HiddenOwnerWindow() : nullptr;
  ::SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
}

// --- showing, modal state, closing -------------------------------------------

void FormWindow::ShowAsLoaded() {
  int show = SW_SHOWNORMAL;
  if (ProgramMode() != 0) {
    if (props_.startPosition == 3) show = SW_SHOWMAXIMIZED;
    else if (props_.startPosition == 2) show = SW_SHOWMINIMIZED;
  }
  ::ShowWindow(hwnd_, show);
  HWND focus = ::GetFocus();
  if (focus == nullptr || (focus != hwnd_ && !::IsChild(hwnd_, focus))) {
    if (::GetActiveWindow() == hwnd_) FocusFirstControl();
  }
}

void FormWindow::FocusFirstControl() {
  for (UnitObject* unit : TabOrder(formId())) {
    if (UnitTypeFlags(unit->typeId()) & unitflag::NeverFirstFocus) continue;
    ::SetFocus(unit->handle());
    return;
  }
}

bool FormWindow::OpenHelp() {
  if (!props_.f1OpensHelp) return false;
  std::string file = props_.helpFile;
  if (file.empty()) {
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    file.assign(path, n);
    size_t dot = file.find_last_of(".\\");
    if (dot != std::string::npos && file[dot] == '.') file.resize(dot);
    file += ".hlp";
  }
  if (::GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
  const UINT command = props_.helpContext != 0 ? HELP_CONTEXT : HELP_CONTENTS;
  if (::WinHelpA(hwnd_, file.c_str(), command, props_.helpContext)) helpOpened_ = true;
  return true;
}

void FormWindow::BeginModal() {
  modal_ = true;
  disabled_.clear();
  for (FormWindow* other : LiveWindows()) {
    if (other == this || !other->alive() || other->owned()) continue;
    HWND h = other->handle();
    disabled_.emplace_back(h, ::IsWindowEnabled(h) != FALSE);
    ::EnableWindow(h, FALSE);
  }
}

void FormWindow::LeaveModal() {
  if (!modal_) return;
  modal_ = false;
  auto restore = std::move(disabled_);
  disabled_.clear();
  for (const auto& [h, wasEnabled] : restore) {
    if (::IsWindow(h)) ::EnableWindow(h, wasEnabled ? TRUE : FALSE);
  }
  if (modalLoopRunning_) EndModalLoop();
}

void FormWindow::FirstShow() {
  waitingFirstShow_ = false;
  if (!modal_) return;
  HWND owner = ::GetWindow(hwnd_, GW_OWNER);
  if (owner != nullptr && (::GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOPMOST)) {
    ::SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  // The loop ends when this window leaves modal state; a nested modal
  // window that ends the shared loop early sends us round again.
  const HWND self = hwnd_;
  modalLoopRunning_ = true;
  while (::IsWindow(self) && UnitObject::FromHandle(self) == this && modal_) {
    RunModalLoop();
    MSG quit;
    if (::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
  }
  if (::IsWindow(self) && UnitObject::FromHandle(self) == this) modalLoopRunning_ = false;
}

bool FormWindow::Refused(int32_t event) const {
  EventResult r = Raise(event);
  return r.returned && r.value == 0;
}

void FormWindow::RequestClose() {
  if (closeInProgress_) return;
  closeInProgress_ = true;
  const HWND self = hwnd_;
  bool refused = Refused(kCloseRequested) ||
                 (::IsWindow(self) && UnitObject::FromHandle(self) == this && Refused(kCloseQuery));
  if (!::IsWindow(self) || UnitObject::FromHandle(self) != this) return;  // a handler destroyed it
  closeInProgress_ = false;
  if (!refused) CloseNow();
}

void FormWindow::CloseNow() {
  closing_ = true;
  LeaveModal();
  ::DestroyWindow(hwnd_);
}

// --- docked bars --------------------------------------------------------------

void FormWindow::LayoutBars() {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  int top = client.top, bottom = client.bottom;
  WindowRecord* w = Registry().FindForm(formId());
  if (w == nullptr) return;
  for (size_t pos = 1; pos < w->unitCount; ++pos) {
    auto f = UnitFields::At(*w, pos);
    if (!f || f->menuItem() || !(UnitTypeFlags(f->type()) & unitflag::DockedBar)) continue;
    UnitObject* bar = f->object();
    // The stored flag decides: at load time the bars are laid out before
    // anything is shown.
    if (bar == nullptr || !bar->alive() || !(f->stateFlags() & unitstate::Visible)) continue;
    LRESULT side = bar->Send(msg::RecalcBar);
    RECT r;
    ::GetWindowRect(bar->handle(), &r);
    int h = r.bottom - r.top;
    if (side == 1) {
      ::SetWindowPos(bar->handle(), nullptr, 0, top, client.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
      top += h;
    } else if (side == 2) {
      bottom -= h;
      ::SetWindowPos(bar->handle(), nullptr, 0, bottom, client.right, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
}

// --- messages -----------------------------------------------------------------

bool FormWindow::OnActivate(WPARAM w) {
  const bool active = LOWORD(w) != WA_INACTIVE;
  if (active && activatedOnce_ && !enabled() && ProgramMode() != 0 && !ownedByCaller_) {
    for (FormWindow* other : LiveWindows()) {
      if (other != this && other->modal() && !other->owned() && other->visible() && other->enabled()) {
        ::SetActiveWindow(other->handle());
        return false;
      }
    }
  }
  if (!active) {
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(hwnd_, focus)) savedFocus_ = focus;
  }
  if (!inActivationEvent_) {
    inActivationEvent_ = true;
    const HWND self = hwnd_;
    if (active && !activatedOnce_) {
      activatedOnce_ = true;
      Raise(kFirstActivation);
    }
    if (::IsWindow(self) && UnitObject::FromHandle(self) == this) {
      Raise(active ? kWindowActivated : kWindowDeactivated);
      if (!::IsWindow(self) || UnitObject::FromHandle(self) != this) return false;
      inActivationEvent_ = false;
    } else {
      return false;
    }
  }
  return true;
}

void FormWindow::OnDestroy() {
  LeaveModal();
  const HWND self = hwnd_;
  Raise(kWindowDestroyed);
  if (!::IsWindow(self)) return;
  if (helpOpened_) {
    ::WinHelpA(self, nullptr, HELP_QUIT, 0);
    helpOpened_ = false;
  }
  if (HMENU menu = ::GetMenu(self)) {
    ::SetMenu(self, nullptr);
    ::DestroyMenu(menu);
  }
}

void FormWindow::OnSize(WPARAM kind, LPARAM l) {
  // Minimising takes the client area away and restoring brings it back:
  // both are size changes. The platform's repeats without a change are not.
  const SIZE now = kind == SIZE_MINIMIZED ? SIZE{0, 0} : SIZE{LOWORD(l), HIWORD(l)};
  if (now.cx == lastSize_.cx && now.cy == lastSize_.cy) return;
  lastSize_ = now;
  if (kind != SIZE_MINIMIZED) LayoutBars();
  Raise(kWindowResized);
}

void FormWindow::OnMove() {
  RECT r;
  ::GetWindowRect(hwnd_, &r);
  if (r.left == lastPos_.x && r.top == lastPos_.y) return;
  lastPos_ = {r.left, r.top};
  Raise(kWindowMoved);
}

bool FormWindow::OnEraseBackground(HDC dc) {
  RECT r;
  ::GetClientRect(hwnd_, &r);
  if (props_.backColor == kButtonFace) {
    ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
  } else {
    if (!backBrush_) backBrush_.reset(::CreateSolidBrush(props_.backColor & 0xFFFFFF));
    ::FillRect(dc, &r, backBrush_.get());
  }
  return true;
}

void FormWindow::OnTrayNotify(LPARAM l) {
  uint32_t kind = 0;
  switch (l) {
    case WM_LBUTTONUP: kind = 1; break;
    case WM_LBUTTONDBLCLK: kind = 2; break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: kind = 3; break;
    default: return;
  }
  Raise(kTrayIconClicked, {kind});
}

LRESULT FormWindow::OnMessage(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_CLOSE:
      RequestClose();
      return 0;
    case msg::CloseWindow:
      CloseNow();
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_ACTIVATE:
      if (!OnActivate(w)) return 0;
      if (LOWORD(w) != WA_INACTIVE) {
        if (savedFocus_ != nullptr && ::IsWindow(savedFocus_) && ::IsChild(hwnd_, savedFocus_)) {
          ::SetFocus(savedFocus_);
          return 0;
        }
        if (!TabOrder(formId()).empty()) {
          FocusFirstControl();
          return 0;
        }
      }
      break;
    case WM_NCACTIVATE:
      if (props_.keepTitleActive && w == FALSE) return CallDefault(message, TRUE, l);
      break;
    case WM_SIZE:
      OnSize(w, l);
      return 0;
    case WM_MOVE:
      if (!::IsIconic(hwnd_)) OnMove();
      return 0;
    case WM_SHOWWINDOW:
      Raise(w ? kWindowShown : kWindowHidden);
      break;
    case WM_ERASEBKGND:
      return OnEraseBackground(reinterpret_cast<HDC>(w)) ? 1 : 0;
    case WM_LBUTTONDOWN:
      if (props_.dragAnywhere) {
        ::ReleaseCapture();
        Send(WM_NCLBUTTONDOWN, HTCAPTION, 0);
        return 0;
      }
      break;
    case msg::LayoutBars:
      LayoutBars();
      return 0;
    case msg::TrayCallback:
      OnTrayNotify(l);
      return 0;
    default:
      break;
  }
  return CallDefault(message, w, l);
}

// --- properties -------------------------------------------------------------------

int32_t FormWindow::GetPropertyOp(UnitObject* unit, int32_t index, PropertyValue* out) {
  auto* self = dynamic_cast<FormWindow*>(unit);
  if (self == nullptr || index < 0 || index >= kWindowPropCount) return 0;
  WindowProps& p = self->props_;
  auto text = [&](const std::string& s) { *out = PropertyValue::Text(s.c_str()); };
  auto block = [&](const Bytes& b) { *out = PropertyValue::Block(b.data(), static_cast<uint32_t>(b.size())); };
  auto word = [&](uint32_t v) { *out = PropertyValue::Int(static_cast<int32_t>(v)); };
  switch (index) {
    case kCaption: {
      char buf[1024];
      int n = self->alive() ? ::GetWindowTextA(self->hwnd_, buf, sizeof buf) : -1;
      if (n >= 0) p.caption.assign(buf, static_cast<size_t>(n));
      text(p.caption);
      break;
    }
    case kBorderStyle: word(p.borderStyle); break;
    case kBackColor: word(p.backColor); break;
    case kBackPicture: block(p.backPicture); break;
    case kBackPictureMode: word(p.backPictureMode); break;
    case kBackMusic: block(p.backMusic); break;
    case kPlayCount: word(p.playCount); break;
    case kControlBox: word(p.controlBox); break;
    case kMaxButton: word(p.maxButton); break;
    case kMinButton: word(p.minButton); break;
    case kStartPosition:
      word(::IsIconic(self->hwnd_) ? 2 : ::IsZoomed(self->hwnd_) ? 3 : 0);
      break;
    case kMovable: word(p.movable); break;
    case kIcon: block(p.icon); break;
    case kEnterMovesFocus: word(p.enterMovesFocus); break;
    case kEscCloses: word(p.escCloses); break;
    case kF1OpensHelp: word(p.f1OpensHelp); break;
    case kHelpFile: text(p.helpFile); break;
    case kHelpContext: word(p.helpContext); break;
    case kShowInTaskbar: word(p.showInTaskbar); break;
    case kDragAnywhere: word(p.dragAnywhere); break;
    case kShape: word(p.shape); break;
    case kAlwaysOnTop: word(p.alwaysOnTop); break;
    case kKeepTitleActive: word(p.keepTitleActive); break;
    case kClassName: text(p.className); break;
    default: return 0;
  }
  return 1;
}

int32_t FormWindow::SetPropertyOp(UnitObject* unit, int32_t index, const PropertyValue& v) {
  auto* self = dynamic_cast<FormWindow*>(unit);
  if (self == nullptr) return 0;
  WindowProps& p = self->props_;
  const HWND h = self->hwnd_;
  auto bytes = [&] {
    const auto* d = static_cast<const uint8_t*>(v.data);
    return d ? Bytes(d, d + v.size) : Bytes();
  };
  switch (index) {
    case kCaption:
      p.caption = v.text ? v.text : "";
      ::SetWindowTextA(h, p.caption.c_str());
      self->ApplyFrame();
      break;
    case kBorderStyle: p.borderStyle = v.u32; self->ApplyFrame(); break;
    case kBackColor:
      p.backColor = v.u32;
      self->backBrush_.reset();
      ::InvalidateRect(h, nullptr, TRUE);
      break;
    case kBackPicture: p.backPicture = bytes(); ::InvalidateRect(h, nullptr, TRUE); break;
    case kBackPictureMode: p.backPictureMode = v.u32; ::InvalidateRect(h, nullptr, TRUE); break;
    case kBackMusic: p.backMusic = bytes(); break;
    case kPlayCount: p.playCount = v.u32; break;
    case kControlBox: p.controlBox = Bool(v.i32); self->ApplyFrame(); break;
    case kMaxButton: p.maxButton = Bool(v.i32); self->ApplyFrame(); break;
    case kMinButton: p.minButton = Bool(v.i32); self->ApplyFrame(); break;
    case kStartPosition:
      p.startPosition = v.u32;
      if (v.i32 == 2) ::ShowWindow(h, SW_MINIMIZE);
      else if (v.i32 == 3) ::ShowWindow(h, SW_MAXIMIZE);
      else if (::IsIconic(h) || ::IsZoomed(h)) ::ShowWindow(h, SW_RESTORE);
      break;
    case kMovable: p.movable = Bool(v.i32); self->ApplyMovable(); break;
    case kIcon: p.icon = bytes(); self->ApplyIcons(); break;
    case kEnterMovesFocus: p.enterMovesFocus = Bool(v.i32); break;
    case kEscCloses: p.escCloses = Bool(v.i32); break;
    case kF1OpensHelp: p.f1OpensHelp = Bool(v.i32); break;
    case kHelpFile: p.helpFile = v.text ? v.text : ""; break;
    case kHelpContext: p.helpContext = v.u32; break;
    case kShowInTaskbar: p.showInTaskbar = Bool(v.i32); self->ApplyTaskbarOwner(); break;
    case kDragAnywhere: p.dragAnywhere = Bool(v.i32); break;
    case kShape: p.shape = v.u32; self->ApplyShape(); break;
    case kAlwaysOnTop: p.alwaysOnTop = Bool(v.i32); self->ApplyTopmost(); break;
    case kKeepTitleActive:
      p.keepTitleActive = Bool(v.i32);
      ::SendMessageA(h, WM_NCACTIVATE, ::GetActiveWindow() == h || p.keepTitleActive, 0);
      break;
    case kClassName: p.className = v.text ? v.text : ""; break;  // takes effect at the next load
    default: break;
  }
  return 0;  // a window is never recreated
}

uint8_t* FormWindow::GetAllDataOp(UnitObject* unit, uint32_t* size) {
  auto* self = dynamic_cast<FormWindow*>(unit);
  *size = 0;
  if (self == nullptr) return nullptr;
  PropertyValue caption;
  GetPropertyOp(self, kCaption, &caption);  // refreshes the caption from the window
  Bytes record = WriteRecord(self->props_);
  auto* out = static_cast<uint8_t*>(Alloc(static_cast<uint32_t>(record.size())));
  std::memcpy(out, record.data(), record.size());
  *size = static_cast<uint32_t>(record.size());
  return out;
}

}  // namespace ts::forms
