#pragma once
// The platform's basic value types (the Types unit of the run-time library): handles, message parameters, rectangles, points and
// the message records (MSG for the queue, TMessage for window methods).
#include <algorithm>
#include <cstdint>

using BOOL = int;
using UINT = uint32_t;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using LONG = int32_t;
using UINT_PTR = uintptr_t;
using LONG_PTR = intptr_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;
using ULONG = uint32_t;
using COLORREF = uint32_t;
using COLOR16 = uint16_t;

// Macros as other C libraries (GLib) define the same two names the same way.
#ifndef FALSE
#define FALSE 0
#endif
#ifndef TRUE
#define TRUE 1
#endif

// A window handle: an opaque, pointer-sized value naming a window record. It never points
// at memory; the window manager looks it up and a stale handle is simply not found.
struct HWND__;
using HWND = HWND__*;
// A kernel object handle (a named mutex, say).
struct HANDLE__;
using HANDLE = HANDLE__*;
using HINSTANCE = HANDLE;
using HMENU = HANDLE;

// GDI object handles. Each kind is its own type, and every one of them converts to HGDIOBJ
// as the drawing calls that take any object expect (SelectObject, DeleteObject, GetObject).
using HGDIOBJ = void*;
struct HDC__;
using HDC = HDC__*;
struct HPEN__;
using HPEN = HPEN__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HPALETTE__;
using HPALETTE = HPALETTE__*;
struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;

// A point in logical or device units.
struct TPoint {
  int X = 0;
  int Y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(int x, int y) : X(x), Y(y) {}
  constexpr bool operator==(const TPoint&) const = default;
};
using POINT = TPoint;

struct TSize {
  int cx = 0;
  int cy = 0;
  constexpr TSize() = default;
  constexpr TSize(int w, int h) : cx(w), cy(h) {}
  constexpr bool operator==(const TSize&) const = default;
};
using SIZE = TSize;

// A rectangle: Left and Top inside, Right and Bottom just outside.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(int l, int t, int r, int b) : Left(l), Top(t), Right(r), Bottom(b) {}
  constexpr TRect(TPoint tl, TPoint br) : Left(tl.X), Top(tl.Y), Right(br.X), Bottom(br.Y) {}
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr TPoint TopLeft() const { return {Left, Top}; }
  constexpr TPoint BottomRight() const { return {Right, Bottom}; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr bool operator==(const TRect&) const = default;
};
using RECT = TRect;

constexpr TRect Rect(int l, int t, int r, int b) { return {l, t, r, b}; }
constexpr TRect Bounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }
constexpr TPoint Point(int x, int y) { return {x, y}; }

inline BOOL SetRect(TRect* r, int l, int t, int rr, int b) { if (!r) return FALSE; *r = {l, t, rr, b}; return TRUE; }
inline BOOL SetRectEmpty(TRect* r) { if (!r) return FALSE; *r = {}; return TRUE; }
inline BOOL IsRectEmpty(const TRect* r) { return !r || r->IsEmpty(); }
inline BOOL EqualRect(const TRect* a, const TRect* b) { return a && b && *a == *b; }
inline BOOL PtInRect(const TRect* r, TPoint p) { return r && r->Contains(p); }
inline BOOL OffsetRect(TRect* r, int dx, int dy) {
  if (!r) return FALSE;
  r->Left += dx; r->Right += dx; r->Top += dy; r->Bottom += dy;
  return TRUE;
}
inline BOOL InflateRect(TRect* r, int dx, int dy) {
  if (!r) return FALSE;
  r->Left -= dx; r->Right += dx; r->Top -= dy; r->Bottom += dy;
  return TRUE;
}
// The common part of a and b; an empty result is (0,0,0,0) and returns FALSE.
inline BOOL IntersectRect(TRect* dst, const TRect* a, const TRect* b) {
  if (!dst || !a || !b) return FALSE;
  TRect r{std::max(a->Left, b->Left), std::max(a->Top, b->Top), std::min(a->Right, b->Right),
          std::min(a->Bottom, b->Bottom)};
  if (r.IsEmpty()) { *dst = {}; return FALSE; }
  *dst = r;
  return TRUE;
}
// The smallest rectangle around a and b; empty inputs are ignored.
inline BOOL UnionRect(TRect* dst, const TRect* a, const TRect* b) {
  if (!dst || !a || !b) return FALSE;
  if (a->IsEmpty()) { *dst = b->IsEmpty() ? TRect{} : *b; return !dst->IsEmpty(); }
  if (b->IsEmpty()) { *dst = *a; return TRUE; }
  *dst = {std::min(a->Left, b->Left), std::min(a->Top, b->Top), std::max(a->Right, b->Right),
          std::max(a->Bottom, b->Bottom)};
  return TRUE;
}
inline BOOL SubtractRect(TRect* dst, const TRect* a, const TRect* b) {
  if (!dst || !a || !b) return FALSE;
  TRect r = *a;
  TRect i;
  if (IntersectRect(&i, a, b)) {
    if (i.Top == r.Top && i.Bottom == r.Bottom) {
      if (i.Left == r.Left) r.Left = std::min(i.Right, r.Right);
      else if (i.Right == r.Right) r.Right = i.Left;
    } else if (i.Left == r.Left && i.Right == r.Right) {
      if (i.Top == r.Top) r.Top = std::min(i.Bottom, r.Bottom);
      else if (i.Bottom == r.Bottom) r.Bottom = i.Top;
    }
  }
  *dst = r;
  return !r.IsEmpty();
}

// A queued message as PeekMessage and GetMessage return it.
struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  TPoint pt;
};
using TMsg = MSG;

// A message as a window method sees it: the parameters and the result to give back.
struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

constexpr WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LONG MAKELONG(WORD lo, WORD hi) { return static_cast<LONG>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
