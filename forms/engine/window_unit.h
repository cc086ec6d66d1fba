// The window unit "窗口": a top-level native window built from the window
// unit's stored record, with its properties 8..31, its events, closing,
// modal state, activation, docked-bar layout and first show.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "runtime/program.h"
#include "win/handles.h"

namespace ts::forms {

// The window unit's events. Event 7, idle, is raised by the runtime's
// message loop.
enum WindowEvent : int32_t {
  kWindowLoaded = 0,      // every unit exists; the window is not shown yet
  kCloseQuery = 1,        // a close request, after kCloseRequested; false refuses
  kWindowDestroyed = 2,
  kWindowMoved = 3,
  kWindowResized = 4,
  kWindowActivated = 5,
  kWindowDeactivated = 6,
  kFirstActivation = 8,   // before the first kWindowActivated
  kTrayIconClicked = 9,   // 1 left button up, 2 left double click, 3 right button up or context menu
  kWindowShown = 10,
  kWindowHidden = 11,
  kCloseRequested = 12,   // first on a close request; false refuses
};

// The window unit's type entry (32 properties, state flags 0x800000D0).
const UnitTypeEntry& WindowUnitType();

class FormWindow : public UnitObject {
 public:
  FormWindow(uint32_t formId, uint32_t unitId, WindowProps props)
      : UnitObject(formId, unitId, unittype::Window), props_(std::move(props)) {}

  static FormWindow* Of(uint32_t formId);  // the live window of a form, or null

  const WindowProps& props() const { return props_; }
  bool owned() const { return ownedByCaller_; }

  // Loading state.
  bool closing() const { return closing_; }
  void markClosing() { closing_ = true; }
  bool waitingFirstShow() const { return waitingFirstShow_; }
  void setWaitingFirstShow(bool on) { waitingFirstShow_ = on; }
  bool modal() const { return modal_; }
  // The window's accelerator table (from its menu items), or null.
  HACCEL accelerators() const { return accel_.get(); }

  // Shows the window as a load does: maximised, minimised or normal by
  // StartPosition when the header's mode word is non-zero.
  void ShowAsLoaded();
  // The first show after loading: clears the waiting mark, makes a modal
  // window topmost under a topmost owner and runs its modal loop until the
  // window is gone. `this` may be deleted when it returns.
  void FirstShow();
  // Disables every other live parentless window of the runtime, remembering
  // its state.
  void BeginModal();
  // Restores the windows disabled by BeginModal and ends the modal loop.
  void LeaveModal();
  // A close request: events 12 and 1 may refuse it; otherwise CloseNow.
  void RequestClose();
  // Leaves modal state and destroys the window.
  void CloseNow();
  // Lays out docked bars along the top and bottom edges.
  void LayoutBars();
  // Moves the focus to the first control of the tab order.
  void FocusFirstControl();
  // F1: with F1OpensHelp on and the help file there, opens it in the
  // platform help viewer (which this window tells to quit when it is
  // destroyed). false when F1 is not taken, so the key goes on.
  bool OpenHelp();

  // Unit operations of the type.
  static UnitObject* CreateOp(const CreateArgs& args);
  static int32_t SetPropertyOp(UnitObject* unit, int32_t index, const PropertyValue& value);
  static int32_t GetPropertyOp(UnitObject* unit, int32_t index, PropertyValue* out);
  static uint8_t* GetAllDataOp(UnitObject* unit, uint32_t* size);

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  bool CreateWindowFor(const CreateArgs& args);
  DWORD FrameStyle() const;
  DWORD FrameExStyle() const;
  void ApplyFrame();
  void ApplyIcons();
  void ApplyShape();
  void ApplyTopmost();
  void ApplyMovable();
  void ApplyTaskbarOwner();
  // false when the activation was passed on or the window went away.
  bool OnActivate(WPARAM w);
  void OnDestroy();
  void OnSize(WPARAM kind, LPARAM l);
  void OnMove();
  void RememberPlace();
  bool OnEraseBackground(HDC dc);
  bool OnKeepTitleActive(WPARAM w, LRESULT* result);
  void OnTrayNotify(LPARAM l);
  bool Refused(int32_t event) const;

  WindowProps props_;
  bool ownedByCaller_ = false;
  bool modal_ = false;
  bool modalLoopRunning_ = false;
  bool closing_ = false;
  bool waitingFirstShow_ = false;
  bool activatedOnce_ = false;
  bool inActivationEvent_ = false;
  bool helpOpened_ = false;
  bool closeInProgress_ = false;
  HWND savedFocus_ = nullptr;
  // Where the window was when events 3 and 4 last had reason to run: the
  // platform repeats WM_MOVE and WM_SIZE on the first show without a change.
  POINT lastPos_{};
  SIZE lastSize_{};
  std::vector<std::pair<HWND, bool>> disabled_;  // windows disabled while modal, with their old state
  win::OwnedAccel accel_;
  win::OwnedIcon bigIcon_, smallIcon_;
  win::OwnedBrush backBrush_;
  std::string readText_;  // storage behind texts handed out by GetPropertyOp

};

}  // namespace ts::forms
