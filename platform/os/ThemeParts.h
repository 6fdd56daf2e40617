#pragma once
// The parts of the visual style controls draw themselves with while visual styles are on: a
// theme handle for a window class ("BUTTON", "TOOLBAR", "SCROLLBAR", "SPIN", "COMBOBOX"), and
// DrawThemeBackground painting one part in one state. The look is this platform's own: a
// rounded one-pixel border and a vertical gradient, their colours by state, and the arrow of
// the spin and drop-down parts.
#include "platform/rtl/Types.h"

struct TThemeClass;
using HTHEME = const TThemeClass*;

// Push button (class "BUTTON").
constexpr int BP_PUSHBUTTON = 1;
constexpr int PBS_NORMAL = 1, PBS_HOT = 2, PBS_PRESSED = 3, PBS_DISABLED = 4, PBS_DEFAULTED = 5;
// Tool-bar buttons (class "TOOLBAR"): a normal tool-bar button shows nothing of its own.
constexpr int TP_BUTTON = 1, TP_SPLITBUTTON = 3, TP_SPLITBUTTONDROPDOWN = 4;
constexpr int TS_NORMAL = 1, TS_HOT = 2, TS_PRESSED = 3, TS_DISABLED = 4, TS_CHECKED = 5, TS_HOTCHECKED = 6;
// Scroll-bar thumb (class "SCROLLBAR").
constexpr int SBP_THUMBBTNHORZ = 2;
constexpr int SCRBS_NORMAL = 1, SCRBS_HOT = 2, SCRBS_PRESSED = 3, SCRBS_DISABLED = 4;
// Spin buttons (class "SPIN").
constexpr int SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4;
constexpr int UPS_NORMAL = 1, UPS_HOT = 2, UPS_PRESSED = 3, UPS_DISABLED = 4;
// Combo-box drop-down button (class "COMBOBOX").
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;

// The theme of the first known class of ClassList (names separated by ";"), or nullptr when
// visual styles are off or no class is known.
HTHEME OpenThemeData(HWND Window, const char* ClassList);
// Theme handles are static: closing one does nothing.
void CloseThemeData(HTHEME Theme);
// Paints the part in Rect (clipped to Clip when given); false for a part the class lacks.
bool DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const TRect* Rect, const TRect* Clip);
