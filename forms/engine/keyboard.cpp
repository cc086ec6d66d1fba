// Keyboard handling of a window before a key reaches the focused control:
// accelerators, key filters, Tab order, Enter and default buttons, Esc,
// F1 help, Alt mnemonics and arrow keys among option buttons.
#include <algorithm>
#include <cctype>
#include <string>

#include "forms/engine/internal.h"
#include "forms/engine/unit.h"
#include "forms/engine/unit_record.h"
#include "forms/engine/window_unit.h"
#include "forms/registry.h"
#include "runtime/values.h"

namespace ts::forms {

namespace {

struct Candidate {
  UnitObject* unit;
  size_t position;
  int32_t focusOrder;
  uint32_t typeFlags;
};

// A control lying wholly outside its parent's client area cannot be seen,
// so it never takes the focus.
bool InsideParentClient(HWND control) {
  HWND parent = ::GetParent(control);
  if (parent == nullptr) return true;
  RECT client, r, overlap;
  ::GetClientRect(parent, &client);
  ::GetWindowRect(control, &r);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return ::IntersectRect(&overlap, &client, &r) != FALSE;
}

// Live controls of a window in unit order that pass `keep`.
template <class Keep>
std::vector<Candidate> Controls(uint32_t formId, Keep keep) {
  std::vector<Candidate> out;
  WindowRecord* w = Registry().FindForm(formId);
  if (w == nullptr) return out;
  for (size_t pos = 1; pos < w->unitCount; ++pos) {
    auto f = UnitFields::At(*w, pos);
    if (!f || f->menuItem()) continue;
    UnitObject* unit = f->object();
    if (unit == nullptr || !unit->alive()) continue;
    Candidate c{unit, pos, f->focusOrder(), UnitTypeFlags(f->type())};
    if (keep(c, *f)) out.push_back(c);
  }
  return out;
}

// Focus order ascending, equal values in reverse unit order.
void SortTabOrder(std::vector<Candidate>& list) {
  std::stable_sort(list.begin(), list.end(), [](const Candidate& a, const Candidate& b) {
    if (a.focusOrder != b.focusOrder) return a.focusOrder < b.focusOrder;
    return a.position > b.position;
  });
}

bool Usable(const UnitObject* unit) { return unit->visible() && unit->enabled(); }

std::vector<Candidate> TabCandidates(uint32_t formId) {
  auto list = Controls(formId, [](const Candidate& c, const UnitFields& f) {
    return (f.stateFlags() & unitstate::TabStop) && !(c.typeFlags & (unitflag::NeverShown | unitflag::NeverFirstFocus)) &&
           Usable(c.unit) && InsideParentClient(c.unit->handle());
  });
  SortTabOrder(list);
  return list;
}

// The unit of a window whose native window is `focus` or contains it.
UnitObject* UnitHolding(HWND window, HWND focus) {
  for (HWND h = focus; h != nullptr && h != window; h = ::GetParent(h)) {
    if (UnitObject* unit = UnitObject::FromHandle(h)) return unit;
  }
  return nullptr;
}

bool WantsKey(UnitObject* unit, uint32_t vk) {
  if (unit == nullptr) return false;
  const UnitTypeEntry* type = LookupUnitType(unit->typeId());
  UnitOps ops = UnitOps::From(type ? type->interfaceFn : nullptr);
  return ops.wantsKey != nullptr && ops.wantsKey(unit, vk) != 0;
}

bool IsDefaultButton(UnitObject* unit) {
  const UnitTypeEntry* type = LookupUnitType(unit->typeId());
  UnitOps ops = UnitOps::From(type ? type->interfaceFn : nullptr);
  return ops.isDefaultButton != nullptr && ops.isDefaultButton(unit) != 0;
}

class KeyHandler {
 public:
  KeyHandler(FormWindow* window, MSG* msg) : window_(window), msg_(msg) {
    focused_ = UnitHolding(window->handle(), ::GetFocus());
  }
  bool Handle();

 private:
  bool Filter();
  bool MoveFocus(bool forward);
  bool Enter();
  bool Escape();
  bool Help();
  bool Mnemonic(char key);
  bool Arrow(bool forward);
  void Act(UnitObject* unit, uint32_t flags);

  FormWindow* window_;
  MSG* msg_;
  UnitObject* focused_;
};

bool KeyHandler::Filter() {
  for (const Candidate& c : Controls(window_->formId(), [](const Candidate& c, const UnitFields&) {
         return (c.typeFlags & unitflag::FiltersKeys) != 0;
       })) {
    const UnitTypeEntry* type = LookupUnitType(c.unit->typeId());
    UnitOps ops = UnitOps::From(type ? type->interfaceFn : nullptr);
    if (ops.filterMessage != nullptr && ops.filterMessage(c.unit, msg_) != 0) return true;
  }
  return false;
}

bool KeyHandler::MoveFocus(bool forward) {
  auto order = TabCandidates(window_->formId());
  if (order.empty()) return false;
  auto at = std::find_if(order.begin(), order.end(), [&](const Candidate& c) { return c.unit == focused_; });
  size_t next;
  if (at == order.end()) {
    next = forward ? 0 : order.size() - 1;
  } else {
    size_t i = static_cast<size_t>(at - order.begin());
    next = forward ? (i + 1) % order.size() : (i + order.size() - 1) % order.size();
  }
  ::SetFocus(order[next].unit->handle());
  return true;
}

bool KeyHandler::Enter() {
  if (focused_ != nullptr && (UnitTypeFlags(focused_->typeId()) & unitflag::PushButton) && focused_->enabled() &&
      IsDefaultButton(focused_)) {
    focused_->Raise(0);
    return true;
  }
  if (window_->props().enterMovesFocus) return MoveFocus(true);
  auto buttons = Controls(window_->formId(), [](const Candidate& c, const UnitFields&) {
    return (c.typeFlags & unitflag::PushButton) && c.unit->enabled() && IsDefaultButton(c.unit);
  });
  if (buttons.empty()) return false;
  buttons.front().unit->Raise(0);
  return true;
}

bool KeyHandler::Escape() {
  if (!window_->props().escCloses) return false;
  window_->RequestClose();
  return true;
}

bool KeyHandler::Help() { return window_->OpenHelp(); }

// Whether any "&" of a caption is followed by the key (either case); "&&"
// is a literal ampersand.
bool HasMnemonic(const std::string& caption, char key) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(caption[i]);
    if (IsLeadByte(c)) {
      ++i;
      continue;
    }
    if (c != '&') continue;
    const unsigned char next = static_cast<unsigned char>(caption[++i]);
    if (IsLeadByte(next)) {
      ++i;  // "&" before a double-byte character
      continue;
    }
    if (next != '&' && std::toupper(next) == std::toupper(static_cast<unsigned char>(key))) return true;
  }
  return false;
}

// Alt with a letter or a digit key: the virtual keys '0'..'9' and 'A'..'Z'
// (function and numpad keys have codes that read as letters too).
bool IsMnemonicKey(uint32_t vk) { return (vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z'); }

std::string CaptionOf(UnitObject* unit) {
  char buf[512];
  int n = ::GetWindowTextA(unit->handle(), buf, sizeof buf);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

void KeyHandler::Act(UnitObject* unit, uint32_t flags) {
  if (flags & (unitflag::CheckBox | unitflag::OptionButton)) {
    unit->Send(BM_CLICK);
  } else if (flags & unitflag::PushButton) {
    unit->Raise(0);
  } else if (flags & unitflag::GroupKind) {
    ::SetFocus(unit->handle());
  } else if (flags & unitflag::LabelKind) {
    // The focus goes on to the control that follows the label in tab order.
    WindowRecord* w = Registry().FindForm(window_->formId());
    auto self = w ? UnitFields::Find(*w, unit->unitId()) : std::nullopt;
    if (!self) return;
    Candidate label{unit, self->position(), self->focusOrder(), flags};
    for (const Candidate& c : TabCandidates(window_->formId())) {
      bool after = c.focusOrder != label.focusOrder ? c.focusOrder > label.focusOrder : c.position < label.position;
      if (after) {
        ::SetFocus(c.unit->handle());
        return;
      }
    }
  }
}

bool KeyHandler::Mnemonic(char key) {
  for (const Candidate& c : Controls(window_->formId(), [](const Candidate& c, const UnitFields&) {
         return !(c.typeFlags & unitflag::NeverShown) && Usable(c.unit);
       })) {
    if (!HasMnemonic(CaptionOf(c.unit), key)) continue;
    Act(c.unit, c.typeFlags);
    return true;
  }
  return false;
}

bool KeyHandler::Arrow(bool forward) {
  if (focused_ == nullptr || !(UnitTypeFlags(focused_->typeId()) & unitflag::OptionButton)) return false;
  HWND parent = ::GetParent(focused_->handle());
  auto group = Controls(window_->formId(), [&](const Candidate& c, const UnitFields&) {
    return (c.typeFlags & unitflag::OptionButton) && Usable(c.unit) && ::GetParent(c.unit->handle()) == parent;
  });
  SortTabOrder(group);
  auto at = std::find_if(group.begin(), group.end(), [&](const Candidate& c) { return c.unit == focused_; });
  if (at == group.end() || group.size() < 2) return false;
  size_t i = static_cast<size_t>(at - group.begin());
  UnitObject* next = group[forward ? (i + 1) % group.size() : (i + group.size() - 1) % group.size()].unit;
  ::SetFocus(next->handle());
  next->Send(BM_CLICK);
  return true;
}

bool KeyHandler::Handle() {
  if (Filter()) return true;
  const UINT message = msg_->message;
  const uint32_t vk = static_cast<uint32_t>(msg_->wParam);
  if (message == WM_SYSKEYDOWN && IsMnemonicKey(vk)) return Mnemonic(static_cast<char>(vk));
  if (message != WM_KEYDOWN) return false;
  const bool shift = ::GetKeyState(VK_SHIFT) < 0;
  switch (vk) {
    case VK_TAB:
      return !WantsKey(focused_, vk) && (::GetKeyState(VK_CONTROL) >= 0) && MoveFocus(!shift);
    case VK_RETURN:
      return !WantsKey(focused_, vk) && Enter();
    case VK_ESCAPE:
      return !WantsKey(focused_, vk) && Escape();
    case VK_F1:
      return Help();
    case VK_LEFT:
    case VK_UP:
      return !WantsKey(focused_, vk) && Arrow(false);
    case VK_RIGHT:
    case VK_DOWN:
      return !WantsKey(focused_, vk) && Arrow(true);
    default:
      return false;
  }
}

}  // namespace

std::vector<UnitObject*> TabOrder(uint32_t formId) {
  std::vector<UnitObject*> out;
  for (const Candidate& c : TabCandidates(formId)) out.push_back(c.unit);
  return out;
}

bool PreTranslateWindowMessage(MSG* msg) {
  if (msg == nullptr || msg->hwnd == nullptr || msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) {
    return false;
  }
  if (!::IsWindowEnabled(msg->hwnd)) return false;
  HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
  auto* window = dynamic_cast<FormWindow*>(UnitObject::FromHandle(root));
  if (window == nullptr) return false;
  if (HACCEL accel = window->accelerators(); accel != nullptr && ::TranslateAcceleratorA(root, accel, msg)) {
    return true;
  }
  return KeyHandler(window, msg).Handle();
}

}  // namespace ts::forms
