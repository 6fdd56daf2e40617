#pragma once
// The standard non-client area: the frame a window's styles give it, computed (WM_NCCALCSIZE),
// hit-tested (WM_NCHITTEST), painted (WM_NCPAINT, WM_NCACTIVATE) and used (WM_NCLBUTTONDOWN on
// the caption, the sizing border, the caption buttons and the scroll bars, through
// WM_SYSCOMMAND), as DefWindowProc does it.
//
// The frame from outside in: a sizing border (WS_THICKFRAME, 4 pixels), else a dialog frame
// (WS_DLGFRAME or WS_EX_DLGMODALFRAME, 3), else a thin border (WS_BORDER, 1); a static edge
// (WS_EX_STATICEDGE, 1); the caption of a top-level window with WS_CAPTION (19 pixels, 16 for a
// tool window); the menu bar of a top-level window that has one (SetMenu); the client edge (WS_EX_CLIENTEDGE, 2); the scroll bars (WS_VSCROLL on the right
// or, with WS_EX_LEFTSCROLLBAR, on the left; WS_HSCROLL at the bottom).
#include <functional>

#include "platform/rtl/Types.h"

namespace os {

// The parts of a window's standard frame, in window coordinates (empty rectangles for parts
// the window does not have).
struct TFrameLayout {
  TRect Window;
  int Border = 0;        // thickness of the outer border
  bool Sizable = false;  // the border sizes the window
  TRect Outer;           // inside the outer border and the static edge
  TRect Caption;         // the caption bar (the line below it not included)
  TRect SysMenu;
  TRect CloseButton;
  TRect MaxButton;
  TRect MinButton;
  TRect MenuBar;         // below the caption (MenuBar.h)
  TRect ClientEdge;      // the rectangle the client edge is drawn on
  TRect VScroll;
  TRect HScroll;
  TRect Corner;          // between the two scroll bars
  TRect Client;          // what is left: the standard client area
};
// MenuBarHeight: the height of the window's menu bar, 0 for none.
TFrameLayout FrameLayout(DWORD Style, DWORD ExStyle, bool TopLevel, int Width, int Height, int MenuBarHeight = 0);
// The layout for a window as it is now (its menu bar included).
TFrameLayout FrameLayoutOf(HWND Wnd);

// The default processing of the non-client messages (see DefWindowProc).
LRESULT DefNcCalcSize(HWND Wnd, WPARAM CalcValidRects, LPARAM Param);
LRESULT DefNcHitTest(HWND Wnd, TPoint Screen);
void DefNcPaint(HWND Wnd, HRGN Region);
LRESULT DefNcActivate(HWND Wnd, bool Active);
LRESULT DefNcLButtonDown(HWND Wnd, UINT Msg, WPARAM HitCode, LPARAM ScreenPoint);
LRESULT DefSysCommand(HWND Wnd, WPARAM Command, LPARAM ScreenPoint);
// Repaints the frame only (the non-client part of the window).
void InvalidateFrame(HWND Wnd);

// Runs a nested loop while Wnd holds the mouse capture (it is taken first): Handle sees every
// mouse and keyboard message and Wnd's WM_TIMER, and answers false to end the loop; all other
// messages are dispatched as usual. The loop also ends when the capture goes elsewhere, and on
// WM_QUIT (posted again for the outer loop). The capture is released at the end.
void TrackWithCapture(HWND Wnd, const std::function<bool(const MSG&)>& Handle);

}  // namespace os

// The window rectangle a client rectangle needs with the given styles (and a one-line menu bar
// when Menu is TRUE).
BOOL AdjustWindowRectEx(TRect* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);
inline BOOL AdjustWindowRect(TRect* Rect, DWORD Style, BOOL Menu) { return AdjustWindowRectEx(Rect, Style, Menu, 0); }
