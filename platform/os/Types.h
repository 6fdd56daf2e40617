#pragma once
// The platform's basic value types: handles, message parameters, rectangles, points and
// the message records (MSG for the queue, TMessage for window methods).
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

struct TPoint {
  LONG x = 0;
  LONG y = 0;
  constexpr TPoint() = default;
  constexpr TPoint(LONG ax, LONG ay) : x(ax), y(ay) {}
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};
using POINT = TPoint;

// A rectangle, inclusive on the top-left and exclusive on the bottom-right.
struct TRect {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
  constexpr TRect() = default;
  constexpr TRect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
  constexpr LONG Width() const { return right - left; }
  constexpr LONG Height() const { return bottom - top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};
using RECT = TRect;

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
