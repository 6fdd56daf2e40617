#pragma once
// Invalid regions and the synthesis of WM_PAINT. Each window keeps the part of it that needs
// repainting (its update region, frame included) and whether the background is to be erased.
// When a thread's queue holds no posted or input messages, the message loop makes WM_PAINT
// for the first visible window with something to repaint, parents before children; WM_PAINT
// stays in the queue until the update region is validated (BeginPaint does that). An area
// invalidated in a window without WS_CLIPCHILDREN also invalidates the children over it (they
// are painted over by the parent and must paint again); RDW_ALLCHILDREN / RDW_NOCHILDREN
// choose explicitly. Hidden windows accumulate nothing: showing a window invalidates it whole.
#include <optional>

#include "platform/gdi/Region.h"
#include "platform/rtl/Types.h"

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// Rect / Region in client coordinates; nullptr means the whole client area (the whole window
// with RDW_FRAME). An invalidation with RDW_FRAME has the frame painted (WM_NCPAINT) even when
// its area lies in the client area only.
BOOL InvalidateRect(HWND Wnd, const TRect* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Wnd, HRGN Region, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const TRect* Rect);
BOOL ValidateRgn(HWND Wnd, HRGN Region);
// Invalidates or validates, then with RDW_ERASENOW sends the pending WM_NCPAINT and
// WM_ERASEBKGND at once, with RDW_UPDATENOW also WM_PAINT (children too with RDW_ALLCHILDREN).
BOOL RedrawWindow(HWND Wnd, const TRect* Rect, HRGN Region, UINT Flags);
// Sends WM_PAINT at once when the window has something to paint.
BOOL UpdateWindow(HWND Wnd);
// The box of the client part of the update region (client coordinates); FALSE when empty.
// Erase sends the pending WM_NCPAINT and WM_ERASEBKGND first.
BOOL GetUpdateRect(HWND Wnd, TRect* Rect, BOOL Erase);
// Copies the client part of the update region into Region; the region's kind (NULLREGION...).
int GetUpdateRgn(HWND Wnd, HRGN Region, BOOL Erase);

namespace os {

// Adds to or removes from the update regions (Area in Wnd's window coordinates; nullopt: the
// whole client area, or the whole window with RDW_FRAME). The RDW_ flags as RedrawWindow takes
// them, without the immediate painting.
void ChangeUpdateRegion(HWND Wnd, const std::optional<gdi::TRegion>& Area, UINT Flags);
// Invalidates the part of Parent's client area (client coordinates) that a child uncovered,
// the siblings showing there included (Parent nullptr: nothing, top-level windows have their
// own surfaces).
void InvalidateUncovered(HWND Parent, const gdi::TRegion& AreaInClient);
// Finds the window to paint for a PeekMessage (WM_PAINT in the filter), when there is one.
bool PeekPaintMessage(MSG* Msg, HWND FilterWnd, UINT FilterMin, UINT FilterMax);
// Called by DispatchMessage around WM_PAINT: a handler that neither validated nor invalidated
// anything has its window validated, so a window that never paints cannot make the loop spin.
uint64_t PaintCookie(HWND Wnd);
void AfterPaint(HWND Wnd, uint64_t Cookie);
// Takes the frame part off the update region; true when there was one (then WM_NCPAINT is
// due). Erase tells whether the background was to be erased.
bool TakeFrameUpdate(HWND Wnd);
// The client part of the update region (client coordinates) and the erase flag; Validate
// clears them (what BeginPaint does).
gdi::TRegion ClientUpdate(HWND Wnd, bool Validate, bool* Erase);
// The erase flag after WM_ERASEBKGND (kept when the handler did not erase).
void SetErasePending(HWND Wnd, bool Pending);

struct TThreadQueue;
class TWindowManager;
// Does the queue's thread have a window to paint (only Wnd, when given)? Forgets windows with
// nothing left (Lock held).
bool PaintPendingLocked(TWindowManager& M, TThreadQueue& Queue, HWND Wnd = nullptr);

}  // namespace os
