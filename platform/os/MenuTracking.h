#pragma once
// Showing and running menus. TrackPopupMenu shows a pop-up menu at a screen point and runs a
// nested message loop, as the platform's menu loop does, until the user chooses an item or
// dismisses the menu: the mouse is captured and every mouse and keyboard message is looked at
// before anything is dispatched; everything else (painting, timers, posted messages) is
// dispatched as usual. Each open menu level is a WS_POPUP top-level window of the class
// "#32768", topmost and shown without activation, so the owner keeps the focus.
//
// Mouse: the pointer highlights the item under it; resting on an item with a submenu opens the
// submenu beside it after the menu show delay (at once on a press); a release on an enabled
// item chooses it (the right button too with TPM_RIGHTBUTTON); a press outside every menu
// closes them all and is not passed on. Keyboard: Up and Down move through the items, skipping
// separators and disabled items; Home and End; Right or Enter opens a submenu; Enter chooses
// an item; Left and Esc close one level (Esc on the first level closes the menu); Alt and F10
// close everything; a letter chooses the item whose access key it is (with several such items
// it moves among them). Menus are placed inside the work area of the screen.
//
// Notifications to the owner window (none with TPM_NONOTIFY): WM_ENTERMENULOOP first,
// WM_INITMENUPOPUP before a menu level is shown, WM_MENUSELECT when an item is highlighted,
// WM_ENTERIDLE (MSGF_MENU) whenever the loop finds its queue empty, WM_EXITMENULOOP at the end.
#include <vector>

#include "platform/rtl/Types.h"

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;

// WM_ENTERIDLE: the loop that is idle (wParam).
constexpr WPARAM MSGF_DIALOGBOX = 0;
constexpr WPARAM MSGF_MENU = 2;

// Shows Menu with its corner at (X, Y) (TPM_*ALIGN choose which corner) and runs it. With
// TPM_RETURNCMD the chosen item's identifier is returned (0 when the menu was dismissed);
// otherwise WM_COMMAND is posted to Wnd for a chosen item and the answer is TRUE. FALSE when
// the menu is invalid or empty, or another menu is being run.
BOOL TrackPopupMenu(HMENU Menu, UINT Flags, int X, int Y, int Reserved, HWND Wnd, const TRect* Rect);
// Closes the menu being run, as if it had been dismissed.
BOOL EndMenu();
// The screen rectangle of an item of a menu that is shown (a pop-up menu level, or the menu
// bar of Wnd); FALSE when it is not shown.
BOOL GetMenuItemRect(HWND Wnd, HMENU Menu, UINT Item, TRect* Rect);

namespace os {

// Runs the menu bar of Wnd from a press at a screen point on it (WM_SYSCOMMAND SC_MOUSEMENU):
// the item's menu drops down below it; the pointer moves from item to item; a chosen command
// is posted to Wnd as WM_COMMAND.
void TrackMenuBar(HWND Wnd, TPoint Screen);
// The pop-up menu windows open now, the first level first.
std::vector<HWND> MenuWindows();
// Where a pop-up menu of the given size goes for the point and the TPM_ alignment flags: it
// opens towards the other side of the point where it would leave the work area, and never
// leaves it.
TPoint PlacePopupMenu(TPoint Point, TSize Size, UINT Flags);

}  // namespace os
