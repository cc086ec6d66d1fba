// The hyperlink: a window of its own class that shows a caption in link,
// hover or visited colour and opens its target through the shell, falling
// back to the browser registered for ".htm" pages.
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "controls/common/control_ops.h"
#include "controls/common/control_support.h"
#include "controls/simple/link_logic.h"
#include "controls/simple/simple_controls.h"
#include "forms/records/records.h"
#include "runtime/hand_cursor.h"
#include "win/handles.h"

namespace ts::controls {
namespace {

const char kLinkClass[] = "_QX_HyperLink";

enum LinkProp : int32_t {
  kCaption = 0, kLinkKind, kMailAddress, kWebAddress, kLinkColour, kVisitedColour, kHoverColour, kBackColour,
  kBorderStyle, kFont,
};

using OwnedKey = win::OwnedHandle<HKEY, ::RegCloseKey>;

// The default value of a key below HKEY_CLASSES_ROOT, or empty.
std::string ClassesDefault(const std::string& subKey) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return {};
  const OwnedKey key(opened);
  DWORD type = 0, size = 0;
  std::string value;
  if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<char> buffer(size + 1, '\0');
    if (::RegQueryValueExA(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) ==
        ERROR_SUCCESS)
      value = buffer.data();
    if (type == REG_EXPAND_SZ && !value.empty()) {
      char expanded[MAX_PATH * 2] = {};
      DWORD n = ::ExpandEnvironmentStringsA(value.c_str(), expanded, sizeof expanded);
      if (n > 0 && n <= sizeof expanded) value = expanded;
    }
  }
  return value;
}

// The browser's open command: the ".htm" class, then its shell\open\command.
std::string BrowserOpenCommand() {
  std::string htmClass = ClassesDefault(".htm");
  if (htmClass.empty()) return {};
  return ClassesDefault(htmClass + "\\shell\\open\\command");
}

bool StartCommandLine(const std::string& line) {
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  const win::OwnedKernelHandle thread(pi.hThread), process(pi.hProcess);  // nothing waits for the browser
  return true;
}

// Opens a target with the shell's "open" verb; when the shell fails, with
// the registered browser command. True when either started.
bool OpenTarget(HWND owner, const std::string& target) {
  auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return true;
  std::string line = BrowserCommandLine(BrowserOpenCommand(), target);
  return !line.empty() && StartCommandLine(line);
}

class Hyperlink : public UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::Hyperlink;

  static Hyperlink* CreateUnit(const CreateArgs& a) {
    forms::HyperlinkProps props;
    if (!forms::ReadRecord(a.data, a.size, &props)) return nullptr;
    if (!forms::RegisterUnitClass(kLinkClass, CS_HREDRAW | CS_VREDRAW, RuntimeHandCursor(), nullptr)) return nullptr;
    auto* link = new Hyperlink(a, std::move(props));
    const BorderBits border = BorderStyleBits(link->props_.borderStyle);
    const DWORD style = ChildStyle(a.style) | border.style;
    if (!link->CreateNative(border.exStyle, kLinkClass, link->props_.caption.c_str(), style, a.left, a.top, a.width,
                            a.height, a.parent, a.menuOrId)) {
      delete link;
      return nullptr;
    }
    return link;
  }

  int32_t SetProperty(int32_t index, const PropertyValue& v);
  bool GetProperty(int32_t index, PropertyValue* out);
  Bytes SaveRecord() {
    forms::HyperlinkProps p = props_;
    if (alive()) p.caption = WindowText(hwnd_);
    return forms::WriteRecord(p);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  Hyperlink(const CreateArgs& a, forms::HyperlinkProps props)
      : UnitObject(a.formId, a.unitId, kTypeId), props_(std::move(props)) {
    props_.linkKind = Clamp(props_.linkKind, kMailLink, kWebLink);
    props_.borderStyle = Clamp(props_.borderStyle, 0, 5);
    font_ = FontFromValue(props_.font);
  }

  std::string Target() const { return LinkTarget(props_.linkKind, props_.mailAddress, props_.webAddress); }
  bool Inside(LPARAM l) const {
    RECT r;
    ::GetClientRect(hwnd_, &r);
    POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
    return ::PtInRect(&r, p) != FALSE;
  }
  void Refresh() {
    if (alive()) ::InvalidateRect(hwnd_, nullptr, FALSE);
  }
  void Paint(HDC dc);
  void MouseMoved(LPARAM l);
  void Clicked(LPARAM l);

  forms::HyperlinkProps props_;
  win::OwnedFont font_;
  bool hot_ = false;
  bool visited_ = false;
  std::string readText_;
};

LRESULT Hyperlink::OnMessage(UINT message, WPARAM w, LPARAM l) {
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
    case WM_MOUSEMOVE:
      MouseMoved(l);
      return 0;
    case WM_CAPTURECHANGED:
      if (hot_ && reinterpret_cast<HWND>(l) != hwnd_) {
        hot_ = false;
        Refresh();
      }
      return 0;
    case WM_LBUTTONDOWN:
      Clicked(l);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FontOrDefault(font_));
    default:
      return CallDefault(message, w, l);
  }
}

// Hot while the mouse is over the control: the capture tells us when it
// leaves.
void Hyperlink::MouseMoved(LPARAM l) {
  bool inside = Inside(l);
  if (!hot_ && inside) {
    hot_ = true;
    ::SetCapture(hwnd_);
    Refresh();
  } else if (hot_ && !inside) {
    hot_ = false;
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    Refresh();
  }
}

void Hyperlink::Clicked(LPARAM l) {
  if (!Inside(l)) return;  // a click elsewhere while the mouse was captured
  std::string target = Target();
  if (target.empty()) return;
  if (OpenTarget(hwnd_, target)) {
    visited_ = true;
    Refresh();
  }
}

void Hyperlink::Paint(HDC target) {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  win::OwnedDC mem(::CreateCompatibleDC(target));
  win::OwnedBitmap canvas(::CreateCompatibleBitmap(target, client.right, client.bottom));
  if (!mem || !canvas) return;
  win::SelectGuard keep(mem.get(), canvas.get());
  HDC dc = mem.get();
  ::SetBkColor(dc, ResolveColour(props_.backColor));
  ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &client, nullptr, 0, nullptr);
  std::string text = LinkDisplayText(WindowText(hwnd_), Target());
  if (!text.empty()) {
    win::SelectGuard font(dc, FontOrDefault(font_));
    uint32_t colour = hot_ ? props_.hoverColor : visited_ ? props_.visitedColor : props_.linkColor;
    ::SetTextColor(dc, ResolveColour(colour));
    ::SetBkMode(dc, TRANSPARENT);
    RECT r = client;
    ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
}

int32_t Hyperlink::SetProperty(int32_t index, const PropertyValue& v) {
  switch (index) {
    case kCaption:
      props_.caption = TextOf(v);
      if (alive()) ::SetWindowTextA(hwnd_, props_.caption.c_str());
      return 0;
    case kLinkKind: props_.linkKind = Clamp(v.i32, kMailLink, kWebLink); break;
    case kMailAddress: props_.mailAddress = TextOf(v); break;
    case kWebAddress: props_.webAddress = TextOf(v); break;
    case kLinkColour: props_.linkColor = v.u32; break;
    case kVisitedColour: props_.visitedColor = v.u32; break;
    case kHoverColour: props_.hoverColor = v.u32; break;
    case kBackColour: props_.backColor = v.u32; break;
    case kBorderStyle:
      props_.borderStyle = Clamp(v.i32, 0, 5);
      if (alive()) ApplyBorder(hwnd_, props_.borderStyle);
      break;
    case kFont:
      props_.font = BlockOf(v);
      font_ = FontFromValue(props_.font);
      break;
    default:
      return 0;
  }
  Refresh();
  return 0;
}

bool Hyperlink::GetProperty(int32_t index, PropertyValue* out) {
  switch (index) {
    case kCaption:
      readText_ = alive() ? WindowText(hwnd_) : props_.caption;
      *out = PropertyValue::Text(readText_.c_str());
      return true;
    case kLinkKind: *out = PropertyValue::Int(props_.linkKind); return true;
    case kMailAddress: *out = PropertyValue::Text(props_.mailAddress.c_str()); return true;
    case kWebAddress: *out = PropertyValue::Text(props_.webAddress.c_str()); return true;
    case kLinkColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.linkColor)); return true;
    case kVisitedColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.visitedColor)); return true;
    case kHoverColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.hoverColor)); return true;
    case kBackColour: *out = PropertyValue::Int(static_cast<int32_t>(props_.backColor)); return true;
    case kBorderStyle: *out = PropertyValue::Int(props_.borderStyle); return true;
    case kFont: *out = BlockValue(props_.font); return true;
    default: return false;
  }
}

}  // namespace
}  // namespace ts::controls

namespace ts::controls {

void* HyperlinkInterface(int32_t operation) { return ControlOps<ts::controls::Hyperlink>::Lookup(operation); }

}  // namespace ts::controls
