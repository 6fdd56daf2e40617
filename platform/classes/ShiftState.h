#pragma once
// The state of the modifier keys and mouse buttons that goes with an input event.
#include "platform/rtl/Sets.h"

enum TShiftStateFlag { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateFlag>;
