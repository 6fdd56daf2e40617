#pragma once
// Keyboard focus and window activation, as the platform sequences them. Activating a
// top-level window sends the window losing activation WM_NCACTIVATE(FALSE) and
// WM_ACTIVATE(WA_INACTIVE), then WM_ACTIVATEAPP to every top-level window when the program as
// a whole becomes active or inactive, then WM_NCACTIVATE(TRUE) and WM_ACTIVATE to the new one;
// the focus then moves into it unless it is there already (WM_KILLFOCUS to the old focus
// window, WM_SETFOCUS to the new). Focusing a window inside an inactive top-level window
// activates that first.
#include "platform/rtl/Types.h"

// Moves the keyboard focus (nullptr: no window has it); returns the previous focus window, or
// nullptr without a change when the window or an ancestor is disabled or minimized.
HWND SetFocus(HWND Wnd);
HWND GetFocus();
// Activates the top-level window Wnd lives in; returns the previously active window.
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
// As SetActiveWindow, and the presenter raises it.
BOOL SetForegroundWindow(HWND Wnd);
HWND GetForegroundWindow();

namespace os {

// Makes Wnd (a top-level window, or nullptr for none of the program's) the active window,
// How being WA_ACTIVE or WA_CLICKACTIVE; false when Wnd cannot be activated (disabled).
bool ActivateWindow(HWND Wnd, WORD How);
// After Wnd was hidden or is being destroyed while active: activates its owner, else the next
// visible top-level window, else none.
void ActivateOtherWindow(HWND Wnd);
// Gives the focus to Wnd (or none) with WM_KILLFOCUS / WM_SETFOCUS, without activating.
HWND ChangeFocus(HWND Wnd);

}  // namespace os
