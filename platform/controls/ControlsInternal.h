#pragma once
// What the files of TControl, TWinControl and dragging share inside platform/controls (not
// for other folders).
#include <string>

#include "platform/controls/Controls.h"

namespace controls {

// "Control 'X' has no parent window" for Control.
std::string ParentRequiredMessage(const TControl* Control);
// The graphic control holding the mouse capture through its parent's window, or nullptr.
extern TControl* CaptureControl;
// A control that goes away while it takes part in the drag in progress.
void ForgetDragged(TControl* Control);
// A drag is in progress (keys go to it, not to the controls).
bool DragInProgress();

}  // namespace controls
