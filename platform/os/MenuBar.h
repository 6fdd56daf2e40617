#pragma once
// Menu bars: a menu given to a top-level window lies in its non-client area, under the
// caption. DefWindowProc reserves its line in WM_NCCALCSIZE, paints it in WM_NCPAINT, answers
// HTMENU over it and, on a click there, runs the menu through WM_SYSCOMMAND SC_MOUSEMENU (the
// chosen command arrives as WM_COMMAND). The window does not own the menu.
#include <vector>

#include "platform/rtl/Types.h"

// FALSE for a child window or an invalid menu; nullptr removes the bar.
BOOL SetMenu(HWND Wnd, HMENU Menu);
HMENU GetMenu(HWND Wnd);
// Shows the bar again after its menu changed.
BOOL DrawMenuBar(HWND Wnd);

namespace os {

// The height of the window's menu bar (0 without one).
int MenuBarHeight(HWND Wnd);
// Paints the bar (Bar in window coordinates) into a DC of the whole window.
void PaintWindowMenuBar(HWND Wnd, HDC WindowDC, const TRect& Bar);
// The bar's items on the screen, in menu order.
std::vector<TRect> MenuBarItems(HWND Wnd);
// The item drawn pushed while its menu is open (-1: none); repaints the bar.
void SetMenuBarPushed(HWND Wnd, int Item);

}  // namespace os
