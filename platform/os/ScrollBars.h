#pragma once
// The standard scroll bars of a window's non-client area (WS_VSCROLL, WS_HSCROLL). A bar shows
// while its range allows scrolling (Max - Min >= Page) and hides otherwise, unless
// SIF_DISABLENOSCROLL keeps it, disabled. Showing or hiding one changes the window's frame
// (WM_NCCALCSIZE, WM_SIZE). A press on a bar runs a tracking loop that sends the owner
// WM_VSCROLL / WM_HSCROLL: SB_LINEUP / SB_LINEDOWN on the arrows, SB_PAGEUP / SB_PAGEDOWN
// beside the thumb (both repeating while held: after 200 ms, then every 50 ms), SB_THUMBTRACK
// while the thumb is dragged and SB_THUMBPOSITION where it is let go, then SB_ENDSCROLL.
// lParam is 0 for a window's own bars.
#include "platform/rtl/Types.h"

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr UINT ESB_DISABLE_LEFT = 0x0001;
constexpr UINT ESB_DISABLE_RIGHT = 0x0002;
constexpr UINT ESB_DISABLE_UP = 0x0001;
constexpr UINT ESB_DISABLE_DOWN = 0x0002;
constexpr UINT ESB_DISABLE_LTUP = ESB_DISABLE_LEFT;
constexpr UINT ESB_DISABLE_RTDN = ESB_DISABLE_RIGHT;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};

// Sets what fMask names; the page is kept within the range and the position within
// [Min, Max - max(Page - 1, 0)]. Returns the new position.
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
int GetScrollPos(HWND Wnd, int Bar);
BOOL SetScrollRange(HWND Wnd, int Bar, int Min, int Max, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* Min, int* Max);
// Shows or hides a bar regardless of its range (SB_BOTH for both).
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);
// Disables (ESB_DISABLE_*) or enables the arrows of a bar; FALSE when nothing changed.
BOOL EnableScrollBar(HWND Wnd, UINT Bar, UINT Arrows);

namespace os {

// The parts of a scroll bar, in the coordinates of its rectangle's space.
enum TScrollPart { spNone, spArrowUp, spPageUp, spThumb, spPageDown, spArrowDown };
struct TScrollGeometry {
  bool Vertical = true;
  TRect Bar;
  TRect ArrowUp;    // left arrow for a horizontal bar
  TRect ArrowDown;  // right arrow
  TRect PageUp;
  TRect PageDown;
  TRect Thumb;      // empty when the bar cannot scroll or is too short for a thumb
  int ThumbRoom = 0;  // the pixels the thumb can travel
};
struct TScrollBarState;
TScrollGeometry ScrollGeometry(const TRect& Bar, bool Vertical, const TScrollBarState& State, int Pos);
TScrollPart ScrollPartAt(const TScrollGeometry& Geometry, TPoint Point);
// The position a thumb whose leading edge is at Offset (pixels from the bar's start) stands
// for.
int ScrollPosAt(const TScrollGeometry& Geometry, const TScrollBarState& State, int Offset);
// Paints a window's bar into its window DC (window coordinates).
void PaintScrollBar(HDC DC, HWND Wnd, int Bar, const TRect& Rect);
// WM_SYSCOMMAND SC_VSCROLL / SC_HSCROLL: the tracking loop for a press at a screen point.
void TrackScrollBar(HWND Wnd, int Bar, TPoint Screen);

}  // namespace os
