#pragma once
// Where windows are and whether they show: placement, z-order, showing and hiding, enabling,
// window regions, coordinate mapping and finding the window at a point.
//
// Rules as the platform has them: a child's window rectangle is relative to its parent's
// client area, a top-level window's is on the screen; the client area comes from
// WM_NCCALCSIZE. A move or resize sends WM_WINDOWPOSCHANGING (the procedure may change the
// WINDOWPOS), WM_NCCALCSIZE when the size or frame changes, then WM_WINDOWPOSCHANGED, whose
// default processing sends WM_MOVE and WM_SIZE. The uncovered parts are invalidated: a moved
// or shown child repaints, the parent repaints where it was; a resized window repaints its
// frame and what is new of its client area (all of it with CS_HREDRAW / CS_VREDRAW).
#include "platform/os/Messages.h"
#include "platform/rtl/Types.h"

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};

// WM_NCCALCSIZE with wParam TRUE: rgrc[0] holds the new window rectangle and receives the new
// client rectangle (both in the parent's client coordinates); rgrc[1] and rgrc[2] hold the old
// window and client rectangles.
struct NCCALCSIZE_PARAMS {
  TRect rgrc[3];
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  TPoint ptReserved;
  TPoint ptMaxSize;
  TPoint ptMaxPosition;
  TPoint ptMinTrackSize;
  TPoint ptMaxTrackSize;
};

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;

inline HWND const HWND_TOP = nullptr;
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<intptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<intptr_t>(-2));

// Moves, sizes, restacks, shows or hides a window. Without SWP_NOACTIVATE a top-level window
// that is visible afterwards is activated.
BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL BringWindowToTop(HWND Wnd);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
// Shows, hides, minimizes, maximizes or restores; WM_SHOWWINDOW when the visibility changes.
// SW_SHOWNA and SW_SHOWNOACTIVATE show without activating. Returns the previous visibility.
BOOL ShowWindow(HWND Wnd, int CmdShow);
// Visible when the window and all its ancestors carry WS_VISIBLE.
BOOL IsWindowVisible(HWND Wnd);
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);

// Enables or disables input to a window (WM_CANCELMODE and the loss of focus and capture when
// disabled, then WM_ENABLE); returns TRUE when it was disabled before.
BOOL EnableWindow(HWND Wnd, BOOL Enable);
BOOL IsWindowEnabled(HWND Wnd);

// The window's rectangle on the screen; the client area from (0, 0).
BOOL GetWindowRect(HWND Wnd, TRect* Rect);
BOOL GetClientRect(HWND Wnd, TRect* Rect);

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  TPoint ptMinPosition;
  TPoint ptMaxPosition;
  TRect rcNormalPosition;
};
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
// Sets the normal (restored) rectangle: a minimised or maximised window keeps its state and
// returns to the rectangle when restored; any other window moves there. Then shows the window
// as showCmd says (0 leaves it as it is).
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);

// Coordinates between a window's client area and the screen (nullptr or the desktop: the
// screen).
BOOL ClientToScreen(HWND Wnd, TPoint* Point);
BOOL ScreenToClient(HWND Wnd, TPoint* Point);
int MapWindowPoints(HWND From, HWND To, TPoint* Points, UINT Count);
int MapWindowPoints(HWND From, HWND To, TRect* Rect);

// The deepest visible window at a screen point (disabled children let the point through to
// their parent, HTTRANSPARENT windows to what lies below).
HWND WindowFromPoint(TPoint Point);
// The child of Parent whose rectangle holds the point (client coordinates of Parent), hidden
// and disabled ones included; Parent itself when none does; nullptr outside its client area.
HWND ChildWindowFromPoint(HWND Parent, TPoint Point);
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;
HWND ChildWindowFromPointEx(HWND Parent, TPoint Point, UINT Flags);

// The window's region (window coordinates): only its pixels are drawn, hit and shown. The
// window takes the region object over (the caller must not use or delete it afterwards);
// nullptr restores the full rectangle.
int SetWindowRgn(HWND Wnd, HRGN Region, BOOL Redraw);
// Copies the window region into Region; ERROR when the window has none.
int GetWindowRgn(HWND Wnd, HRGN Region);

namespace os {
// WM_WINDOWPOSCHANGED's default processing: WM_MOVE and WM_SIZE for what changed.
void DefWindowPosChanged(HWND Wnd, const WINDOWPOS* Pos);
// The window at a screen point, as input finds it (WM_NCHITTEST asked; HTTRANSPARENT passes
// the point on); the hit-test code goes to HitCode.
HWND WindowAt(TPoint Screen, LRESULT* HitCode);
}  // namespace os
