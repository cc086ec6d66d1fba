#include "controls/picturebox/picture_box.h"
#include "forms/unit_types.h"

namespace ts::controls {

void RegisterPictureBox() { forms::RegisterUnitOperations(forms::unittype::PicBox, &PictureBoxInterface); }

}  // namespace ts::controls
