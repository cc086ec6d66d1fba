// The super button ("超级按钮", SuperBtn): an owner-drawn push button with
// hot, normal and disabled images, a caption, colours per state, a flat
// look with hover tracking, a toggle behaviour, a tooltip and sounds.
#pragma once

#include <windows.h>

#include <cstdint>

#include "controls/button/button_images.h"
#include "controls/button/button_look.h"
#include "controls/button/button_paint.h"
#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "win/handles.h"

namespace ts::controls {

// Specific property indexes (property index − 8).
namespace sbprop {
enum : int32_t {
  ButtonStyle = 0, Toggle, Down, ImagePosition, PressEffect, FlatBorder, FlatFocusRect,
  NormalImage, NormalImageKey, HotImage, HotImageKey, DisabledImage, DisabledImageKey,
  Font, Caption, SystemColors,
  TextColor, BackColor, HotTextColor, HotBackColor, DownTextColor, DownBackColor,
  BuiltInSound, HoverSound, ClickSound, ToolTip, DefaultButton,
  Count
};
}  // namespace sbprop

class SuperButton : public forms::UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::SuperButton;

  SuperButton(uint32_t formId, uint32_t unitId, const forms::SuperButtonProps& props);
  ~SuperButton() override;

  // The unit operations (see ControlOps). Operation 1 reads the stored
  // record and creates the native button.
  static forms::UnitObject* CreateUnit(const forms::CreateArgs& args);
  // Creates the native button for an object made by the caller. false
  // when the window could not be created.
  bool Create(const forms::CreateArgs& args);

  int32_t SetProperty(int32_t index, const forms::PropertyValue& value);
  bool GetProperty(int32_t index, forms::PropertyValue* out);
  forms::Bytes SaveRecord();
  bool isDefault() const { return props_.defaultButton != 0; }

  bool hot() const { return hot_; }
  bool down() const { return props_.down != 0; }
  const ImageSlot& slot(Slot which) const { return slots_[static_cast<int>(which)]; }

  // Paints the whole button into dc as an owner-draw request with the
  // given platform states would.
  void Render(HDC dc, const RECT& bounds, bool selected, bool focused);

 protected:
  // Event 0, raised after the toggle state flipped and the sound started.
  virtual void OnClicked() { Raise(0); }
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  bool flat() const { return props_.buttonStyle != kStyle3D; }
  void ApplyFont();
  void RebuildSlot(Slot which);
  void UpdateToolTip();
  void SetHot(bool hot);
  void Repaint();
  void TrackHover(WPARAM keys, LPARAM point);
  void HandleClicked();
  void HandleDisabled();
  void Play(const forms::Bytes& block);
  ButtonLook Look();
  bool SetColour(int32_t index, uint32_t value);
  int32_t SetBlock(int32_t index, const forms::PropertyValue& value);

  forms::SuperButtonProps props_;
  ImageSlot slots_[3];  // hot, normal, disabled
  win::OwnedFont font_;
  HWND tooltip_ = nullptr;  // destroyed with the button
  bool hot_ = false;
  mutable std::string captionRead_;
};

// The unit type's interface function: the routine for an operation number.
void* SuperButtonInterface(int32_t operation);
// Makes the program's unit-type table answer with SuperButtonInterface.
void RegisterSuperButton();

}  // namespace ts::controls
