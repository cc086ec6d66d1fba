#include "controls/simple/simple_controls.h"

#include "forms/records/records.h"
#include "forms/unit_types.h"

namespace ts::controls {

void RegisterSimpleControls() {
  using namespace forms::unittype;
  forms::RegisterUnitOperations(Label, &LabelInterface);
  forms::RegisterUnitOperations(CheckBox, &CheckBoxInterface);
  forms::RegisterUnitOperations(ComboBox, &ComboBoxInterface);
  forms::RegisterUnitOperations(EditBox, &EditBoxInterface);
  forms::RegisterUnitOperations(ProgressBar, &ProgressBarInterface);
  forms::RegisterUnitOperations(GroupBox, &GroupBoxInterface);
  forms::RegisterUnitOperations(Hyperlink, &HyperlinkInterface);
}

}  // namespace ts::controls
