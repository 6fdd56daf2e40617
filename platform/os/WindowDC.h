#pragma once
// Device contexts of windows, and scrolling a window's pixels. A window draws into its
// top-level window's surface through a DC whose origin is the window's client (or window)
// corner and whose visible region is what of the window shows: its area (and window region),
// within its ancestors' client areas, less the siblings above it when it has WS_CLIPSIBLINGS
// (for an ancestor with the style, the ancestor's siblings), less its children when it has
// WS_CLIPCHILDREN. A hidden window's DC draws nothing. Releasing a DC (ReleaseDC, EndPaint)
// adds what it could have drawn to the surface's damage, for the presenter.
#include "platform/gdi/Region.h"
#include "platform/rtl/Types.h"

constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_NORESETATTRS = 0x00000004;
constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
constexpr DWORD DCX_PARENTCLIP = 0x00000020;
constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
constexpr DWORD DCX_EXCLUDEUPDATE = 0x00000100;
constexpr DWORD DCX_INTERSECTUPDATE = 0x00000200;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
constexpr DWORD DCX_VALIDATE = 0x00200000;

// The client area's DC (nullptr: the screen's).
HDC GetDC(HWND Wnd);
// The whole window's DC, frame included (origin at the window's top-left corner).
HDC GetWindowDC(HWND Wnd);
// Region (screen coordinates; DCX_INTERSECTRGN / DCX_EXCLUDERGN) is taken over by the call; 0
// and 1 mean none, as WM_NCPAINT's "whole frame" value.
HDC GetDCEx(HWND Wnd, HRGN Region, DWORD Flags);
// 1 when released, 0 for a DC that did not come from GetDC / GetWindowDC / GetDCEx.
int ReleaseDC(HWND Wnd, HDC DC);

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  TRect rcPaint;
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32] = {};
};
// Sends WM_NCPAINT when the frame needs it, validates the client's update region and gives a
// DC clipped to it; WM_ERASEBKGND is sent first when the background was to be erased
// (fErase tells the window whether it still has to erase).
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);

constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;
constexpr UINT SW_SMOOTHSCROLL = 0x0010;
// Moves the visible pixels of the client area (within Scroll, cut by Clip; both client
// coordinates, nullptr for the whole client area) by (Dx, Dy). What the move leaves without
// valid pixels (uncovered strips, and parts that were hidden or invalid) is the update area:
// returned in Update / UpdateRect and, with SW_INVALIDATE, invalidated (SW_ERASE: to be
// erased). The part of the update region inside Scroll moves along. SW_SCROLLCHILDREN moves
// the children in Scroll (all children when Scroll is nullptr) by the same amount. Answers the
// update area's kind (NULLREGION, SIMPLEREGION, COMPLEXREGION), ERROR for a bad window.
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const TRect* Scroll, const TRect* Clip, HRGN Update, TRect* UpdateRect,
                   UINT Flags);
// ScrollWindowEx with SW_INVALIDATE | SW_ERASE, moving the children when Rect is nullptr.
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const TRect* Rect, const TRect* Clip);

namespace os {

// The visible region of a window (surface coordinates of its top-level window).
gdi::TRegion VisibleRegion(HWND Wnd, bool WholeWindow, bool ClipChildren, bool ClipSiblings);
// WM_ERASEBKGND / WM_PAINT default processing.
LRESULT DefEraseBackground(HWND Wnd, HDC DC);
void DefPaint(HWND Wnd);
// Sends the pending WM_NCPAINT and WM_ERASEBKGND without painting (RDW_ERASENOW).
void SendPendingErase(HWND Wnd);

}  // namespace os
