// The picture box ("图片框", PicBox): one picture from the form data in one
// of three display modes over its back colour; animated GIF pictures play
// on a thread of their own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>

#include "controls/picturebox/gif_animation.h"
#include "forms/engine/unit.h"
#include "forms/records/records.h"
#include "images/picture_gdi.h"

namespace ts::controls {

// Specific property indexes (property index − 8).
namespace pbprop {
enum : int32_t { BorderStyle = 0, BackColor, Picture, DisplayMode, Animate, DataSource, DataField, Count };
}  // namespace pbprop

// The window class of picture boxes.
inline constexpr char kPictureBoxClass[] = "_QX_PictureBox";

class PictureBox : public forms::UnitObject {
 public:
  static constexpr uint32_t kTypeId = forms::unittype::PicBox;

  PictureBox(uint32_t formId, uint32_t unitId, const forms::PicBoxProps& props);
  ~PictureBox() override;

  // The unit operations (see ControlOps).
  static forms::UnitObject* CreateUnit(const forms::CreateArgs& args);
  bool Create(const forms::CreateArgs& args);

  int32_t SetProperty(int32_t index, const forms::PropertyValue& value);
  bool GetProperty(int32_t index, forms::PropertyValue* out);
  forms::Bytes SaveRecord() const { return forms::WriteRecord(props_); }

  // Fills `clip` with the back colour and draws the picture (or the
  // animation's canvas) placed by the display mode. The first WM_PAINT of
  // an animated picture starts its thread once the paint has ended.
  void Paint(HDC dc, const RECT& clip);

  GifAnimation* animation() const { return animation_.get(); }
  bool hasStill() const { return static_cast<bool>(image_); }
  COLORREF backColour() const;

 protected:
  LRESULT OnMessage(UINT message, WPARAM w, LPARAM l) override;

 private:
  void LoadPicture();
  void StopAnimation();
  void Redraw();
  SIZE pictureSize() const;

  forms::PicBoxProps props_;
  std::optional<ts::images::Picture> picture_;
  ts::images::DeviceImage image_;  // the still picture, PNG blended onto the back colour
  std::unique_ptr<GifAnimation> animation_;
};

// The unit type's interface function, and its entry in the program's
// unit-type table.
void* PictureBoxInterface(int32_t operation);
void RegisterPictureBox();

}  // namespace ts::controls
