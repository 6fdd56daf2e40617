#include "platform/os/ScrollBars.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/NonClient.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/SysUtils.h"

using os::Manager;
using os::TScrollBarState;
using os::TScrollGeometry;
using os::TWindow;

namespace {

constexpr int kMinThumb = 8;
constexpr UINT kFirstRepeat = 200;
constexpr UINT kRepeat = 50;
// The timer of a scroll bar's repeat, on the window being scrolled.
constexpr UINT_PTR kScrollTimer = 0xFFFE0001;

bool ValidBar(int bar) { return bar == SB_HORZ || bar == SB_VERT; }

DWORD StyleOf(int bar) { return bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

int MaxPos(const TScrollBarState& s) {
  return s.Max - std::max(static_cast<int>(std::min<UINT>(s.Page, 0x7FFFFFFF)) - 1, 0);
}

// A range the thumb can move in: more values than one page holds.
bool Scrollable(const TScrollBarState& s) {
  if (s.Max <= s.Min) return false;
  return s.Page == 0 || static_cast<long long>(s.Page) <= static_cast<long long>(s.Max) - s.Min;
}

void Normalise(TScrollBarState& s) {
  if (s.Max < s.Min) s.Max = s.Min;
  long long range = static_cast<long long>(s.Max) - s.Min + 1;
  if (static_cast<long long>(s.Page) > range) s.Page = static_cast<UINT>(range);
  s.Pos = std::clamp(s.Pos, s.Min, std::max(s.Min, MaxPos(s)));
}

// The bar's rectangle in window coordinates (empty while it is not shown).
TRect BarRect(HWND wnd, int bar) {
  os::TFrameLayout l = os::FrameLayoutOf(wnd);
  return bar == SB_VERT ? l.VScroll : l.HScroll;
}

void RedrawBar(HWND wnd, int bar) {
  TRect r = BarRect(wnd, bar);
  if (!r.IsEmpty()) os::ChangeUpdateRegion(wnd, gdi::TRegion(r), RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

void FrameChanged(HWND wnd) {
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Shows or hides bars by their styles; true when a style changed.
bool SetShown(HWND wnd, DWORD styles, bool show) {
  bool changed = false;
  os::WithWindow(wnd, [&](TWindow& w) {
    DWORD before = w.Style;
    if (show) w.Style |= styles;
    else w.Style &= ~styles;
    changed = before != w.Style;
  });
  return changed;
}

}  // namespace

int SetScrollInfo(HWND wnd, int bar, const SCROLLINFO* info, BOOL redraw) {
  if (!info || !ValidBar(bar)) return 0;
  int pos = 0;
  bool scrollable = false, shown = false;
  if (!os::WithWindow(wnd, [&](TWindow& w) {
        TScrollBarState& s = w.Scroll[bar];
        if (info->fMask & SIF_RANGE) {
          s.Min = info->nMin;
          s.Max = info->nMax;
        }
        if (info->fMask & SIF_PAGE) s.Page = info->nPage;
        if (info->fMask & SIF_POS) s.Pos = info->nPos;
        Normalise(s);
        pos = s.Pos;
        scrollable = Scrollable(s);
        shown = (w.Style & StyleOf(bar)) != 0;
        if (scrollable && s.Disabled == ESB_DISABLE_BOTH && (info->fMask & SIF_DISABLENOSCROLL)) s.Disabled = 0;
        if (!scrollable && (info->fMask & SIF_DISABLENOSCROLL)) s.Disabled = ESB_DISABLE_BOTH;
      }))
    return 0;
  if (!(info->fMask & (SIF_RANGE | SIF_PAGE))) {
    if (redraw) RedrawBar(wnd, bar);
    return pos;
  }
  const bool show = scrollable || (info->fMask & SIF_DISABLENOSCROLL);
  if (show != shown && SetShown(wnd, StyleOf(bar), show)) FrameChanged(wnd);
  else if (redraw) RedrawBar(wnd, bar);
  return pos;
}

BOOL GetScrollInfo(HWND wnd, int bar, SCROLLINFO* info) {
  if (!info || !ValidBar(bar)) return FALSE;
  return os::WithWindow(wnd, [&](TWindow& w) {
           const TScrollBarState& s = w.Scroll[bar];
           if (info->fMask & SIF_RANGE) {
             info->nMin = s.Min;
             info->nMax = s.Max;
           }
           if (info->fMask & SIF_PAGE) info->nPage = s.Page;
           if (info->fMask & SIF_POS) info->nPos = s.Pos;
           if (info->fMask & SIF_TRACKPOS) info->nTrackPos = s.PressedPart == os::spThumb ? s.TrackPos : s.Pos;
         })
             ? TRUE
             : FALSE;
}

int SetScrollPos(HWND wnd, int bar, int pos, BOOL redraw) {
  int old = GetScrollPos(wnd, bar);
  SCROLLINFO info;
  info.fMask = SIF_POS;
  info.nPos = pos;
  SetScrollInfo(wnd, bar, &info, redraw);
  return old;
}

int GetScrollPos(HWND wnd, int bar) {
  SCROLLINFO info;
  info.fMask = SIF_POS;
  return GetScrollInfo(wnd, bar, &info) ? info.nPos : 0;
}

BOOL SetScrollRange(HWND wnd, int bar, int min, int max, BOOL redraw) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  info.nMin = min;
  info.nMax = max;
  if (!ValidBar(bar) || !IsWindow(wnd)) return FALSE;
  SetScrollInfo(wnd, bar, &info, redraw);
  return TRUE;
}

BOOL GetScrollRange(HWND wnd, int bar, int* min, int* max) {
  SCROLLINFO info;
  info.fMask = SIF_RANGE;
  if (!GetScrollInfo(wnd, bar, &info)) return FALSE;
  if (min) *min = info.nMin;
  if (max) *max = info.nMax;
  return TRUE;
}

BOOL ShowScrollBar(HWND wnd, int bar, BOOL show) {
  DWORD styles = bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : ValidBar(bar) ? StyleOf(bar) : 0;
  if (!styles || !IsWindow(wnd)) return FALSE;
  if (SetShown(wnd, styles, show)) FrameChanged(wnd);
  return TRUE;
}

BOOL EnableScrollBar(HWND wnd, UINT bar, UINT arrows) {
  bool changed = false;
  std::vector<int> bars;
  if (bar == SB_BOTH) bars = {SB_HORZ, SB_VERT};
  else if (ValidBar(static_cast<int>(bar))) bars = {static_cast<int>(bar)};
  else return FALSE;
  os::WithWindow(wnd, [&](TWindow& w) {
    for (int b : bars) {
      changed |= w.Scroll[b].Disabled != (arrows & ESB_DISABLE_BOTH);
      w.Scroll[b].Disabled = arrows & ESB_DISABLE_BOTH;
    }
  });
  for (int b : bars) RedrawBar(wnd, b);
  return changed ? TRUE : FALSE;
}

namespace os {

TScrollGeometry ScrollGeometry(const TRect& bar, bool vertical, const TScrollBarState& s, int pos) {
  TScrollGeometry g;
  g.Vertical = vertical;
  g.Bar = bar;
  const int length = vertical ? bar.Height() : bar.Width();
  int arrow = GetSystemMetrics(vertical ? SM_CYVSCROLL : SM_CXHSCROLL);
  if (length < 2 * arrow) arrow = length / 2;
  const int shaft = length - 2 * arrow;
  // A rectangle along the bar, from offset a to offset b.
  auto along = [&](int a, int b) {
    return vertical ? TRect(bar.Left, bar.Top + a, bar.Right, bar.Top + b) : TRect(bar.Left + a, bar.Top, bar.Left + b, bar.Bottom);
  };
  g.ArrowUp = along(0, arrow);
  g.ArrowDown = along(length - arrow, length);
  const long long range = static_cast<long long>(s.Max) - s.Min + 1;
  int thumb = s.Page ? std::max(static_cast<int>(static_cast<long long>(shaft) * s.Page / range), kMinThumb)
                     : GetSystemMetrics(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
  if (!Scrollable(s) || (s.Disabled & ESB_DISABLE_BOTH) == ESB_DISABLE_BOTH || shaft < thumb) {
    g.PageUp = along(arrow, length - arrow);
    return g;
  }
  g.ThumbRoom = shaft - thumb;
  const int posRange = MaxPos(s) - s.Min;
  const int offset = arrow + (posRange > 0 ? MulDiv(g.ThumbRoom, std::clamp(pos, s.Min, MaxPos(s)) - s.Min, posRange) : 0);
  g.PageUp = along(arrow, offset);
  g.Thumb = along(offset, offset + thumb);
  g.PageDown = along(offset + thumb, length - arrow);
  return g;
}

TScrollPart ScrollPartAt(const TScrollGeometry& g, TPoint p) {
  if (!g.Bar.Contains(p)) return spNone;
  if (g.ArrowUp.Contains(p)) return spArrowUp;
  if (g.ArrowDown.Contains(p)) return spArrowDown;
  if (g.Thumb.Contains(p)) return spThumb;
  if (g.PageUp.Contains(p)) return spPageUp;
  if (g.PageDown.Contains(p)) return spPageDown;
  return spNone;
}

int ScrollPosAt(const TScrollGeometry& g, const TScrollBarState& s, int offset) {
  const int arrow = g.Vertical ? g.ArrowUp.Height() : g.ArrowUp.Width();
  if (g.ThumbRoom <= 0) return s.Min;
  const int travelled = std::clamp(offset - arrow, 0, g.ThumbRoom);
  return s.Min + MulDiv(travelled, MaxPos(s) - s.Min, g.ThumbRoom);
}

void PaintScrollBar(HDC dc, HWND wnd, int bar, const TRect& rect) {
  TScrollBarState s;
  bool enabled = true;
  if (!WithWindow(wnd, [&](TWindow& w) {
        s = w.Scroll[bar];
        enabled = !(w.Style & WS_DISABLED);
      }))
    return;
  const bool vertical = bar == SB_VERT;
  const int pos = s.PressedPart == spThumb ? s.TrackPos : s.Pos;
  TScrollGeometry g = ScrollGeometry(rect, vertical, s, pos);
  const bool canScroll = enabled && Scrollable(s);
  auto arrow = [&](TRect r, UINT kind, TScrollPart part, UINT disabledBit) {
    if (r.IsEmpty()) return;
    UINT state = kind;
    if (!canScroll || (s.Disabled & disabledBit)) state |= DFCS_INACTIVE;
    if (s.PressedPart == part) state |= DFCS_PUSHED | DFCS_FLAT;
    DrawFrameControl(dc, &r, DFC_SCROLL, state);
  };
  arrow(g.ArrowUp, vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT, spArrowUp, ESB_DISABLE_LTUP);
  arrow(g.ArrowDown, vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT, spArrowDown, ESB_DISABLE_RTDN);
  // The shaft: in the scroll-bar colour, or, when that is the face colour, as the platform
  // draws it then: a checkerboard of highlight and face.
  const bool dithered = GetSysColor(COLOR_SCROLLBAR) == GetSysColor(COLOR_BTNFACE);
  HBRUSH checker = nullptr;
  if (dithered) {
    // Eight rows of alternating pixels, each row padded to 16 bits.
    static const uint8_t kRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows);
    checker = CreatePatternBrush(pattern);
    DeleteObject(pattern);
  }
  COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_3DHIGHLIGHT));
  COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  auto shaft = [&](const TRect& r, TScrollPart part) {
    if (r.IsEmpty()) return;
    if (s.PressedPart == part) FillRect(dc, &r, GetSysColorBrush(COLOR_3DDKSHADOW));
    else FillRect(dc, &r, checker ? checker : GetSysColorBrush(COLOR_SCROLLBAR));
  };
  shaft(g.PageUp, spPageUp);
  shaft(g.PageDown, spPageDown);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
  if (checker) DeleteObject(checker);
  if (!g.Thumb.IsEmpty()) {
    TRect thumb = g.Thumb;
    DrawEdge(dc, &thumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
  }
}

void TrackScrollBar(HWND wnd, int bar, TPoint screen) {
  TRect barRect = BarRect(wnd, bar);
  TPoint origin;
  TScrollBarState s;
  if (barRect.IsEmpty() || !WithWindow(wnd, [&](TWindow& w) {
        s = w.Scroll[bar];
        origin = Manager().ScreenOrigin(&w);
      }))
    return;
  const bool vertical = bar == SB_VERT;
  auto local = [&](TPoint p) { return TPoint(p.X - origin.X, p.Y - origin.Y); };
  TScrollGeometry g = ScrollGeometry(barRect, vertical, s, s.Pos);
  const TScrollPart part = ScrollPartAt(g, local(screen));
  if (part == spNone) return;
  if (part == spArrowUp && (s.Disabled & ESB_DISABLE_LTUP)) return;
  if (part == spArrowDown && (s.Disabled & ESB_DISABLE_RTDN)) return;
  if (!Scrollable(s)) return;
  const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
  const WORD code = part == spArrowUp ? SB_LINEUP : part == spPageUp ? SB_PAGEUP : part == spPageDown ? SB_PAGEDOWN : SB_LINEDOWN;
  auto along = [&](TPoint p) { return vertical ? p.Y - barRect.Top : p.X - barRect.Left; };
  const int grab = along(local(screen)) - (vertical ? g.Thumb.Top - barRect.Top : g.Thumb.Left - barRect.Left);
  auto setPressed = [&](TScrollPart pressed, int trackPos) {
    WithWindow(wnd, [&](TWindow& w) {
      w.Scroll[bar].PressedPart = pressed;
      w.Scroll[bar].TrackPos = trackPos;
    });
    RedrawBar(wnd, bar);
  };
  // Is the pointer still where the held part repeats (over the arrow, or beside the thumb on
  // the side being paged)?
  auto over = [&](TPoint screenPoint) {
    TScrollBarState now;
    WithWindow(wnd, [&](TWindow& w) { now = w.Scroll[bar]; });
    return ScrollPartAt(ScrollGeometry(barRect, vertical, now, now.Pos), local(screenPoint)) == part;
  };
  int trackPos = s.Pos;
  if (part == spThumb) {
    setPressed(spThumb, trackPos);
  } else {
    setPressed(part, s.Pos);
    SendMessage(wnd, message, code, 0);
    SetTimer(wnd, kScrollTimer, kFirstRepeat, nullptr);
  }
  bool pressedShown = true;
  TrackWithCapture(wnd, [&](const MSG& msg) {
    if (msg.message == WM_TIMER) {
      if (msg.wParam != kScrollTimer) return true;
      SetTimer(wnd, kScrollTimer, kRepeat, nullptr);
      TPoint p;
      GetCursorPos(&p);
      if (over(p)) SendMessage(wnd, message, code, 0);
      return true;
    }
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      if (part == spThumb) {
        TScrollBarState now;
        WithWindow(wnd, [&](TWindow& w) { now = w.Scroll[bar]; });
        TScrollGeometry live = ScrollGeometry(barRect, vertical, now, now.Pos);
        int pos = ScrollPosAt(live, now, along(local(msg.pt)) - grab);
        if (pos != trackPos) {
          trackPos = pos;
          setPressed(spThumb, trackPos);
          SendMessage(wnd, message, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(trackPos)), 0);
        }
        if (msg.message == WM_LBUTTONUP)
          SendMessage(wnd, message, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(trackPos)), 0);
      } else {
        bool now = over(msg.pt);
        if (now != pressedShown) {
          pressedShown = now;
          setPressed(now ? part : spNone, trackPos);
        }
      }
    }
    return msg.message != WM_LBUTTONUP;
  });
  if (!IsWindow(wnd)) return;
  KillTimer(wnd, kScrollTimer);
  setPressed(spNone, 0);
  SendMessage(wnd, message, SB_ENDSCROLL, 0);
}

}  // namespace os
