#include "controls/button/super_button.h"
#include "forms/unit_types.h"

namespace ts::controls {

void RegisterSuperButton() { forms::RegisterUnitOperations(forms::unittype::SuperButton, &SuperButtonInterface); }

}  // namespace ts::controls
