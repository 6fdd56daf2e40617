#include "platform/os/WindowPos.h"

#include <algorithm>

#include "platform/gdi/Objects.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/os/Focus.h"
#include "platform/os/NonClient.h"
#include "platform/os/Painting.h"
#include "platform/os/Presenter.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"

using os::Manager;
using os::TWindow;
using os::TWindowManager;

namespace {

// Flags SetWindowPos adds for WM_WINDOWPOSCHANGED: the client area kept its size / place, so
// the default processing sends no WM_SIZE / WM_MOVE.
constexpr UINT kNoClientSize = 0x0800;
constexpr UINT kNoClientMove = 0x1000;

TPoint Offset(TPoint p, int dx, int dy) { return {p.X + dx, p.Y + dy}; }

TRect OffsetBy(TRect r, TPoint d) {
  OffsetRect(&r, d.X, d.Y);
  return r;
}

// Where the window's z-order list is (its parent's children, or the top-level list).
std::vector<HWND>* Siblings(TWindowManager& m, TWindow* w) {
  if (w->MessageOnly) return nullptr;
  if (TWindow* p = m.Find(w->Parent)) return &p->Children;
  return &m.TopLevels;
}

bool IsTopmost(TWindowManager& m, HWND wnd) {
  TWindow* w = m.Find(wnd);
  return w && !w->Parent && (w->ExStyle & WS_EX_TOPMOST);
}

// The z-order after placing w as InsertAfter asks (Lock held). Top-level windows keep the
// topmost band before the others, and a window's owned windows stay above it.
std::vector<HWND> Restacked(TWindowManager& m, TWindow* w, HWND after, const std::vector<HWND>& z) {
  std::vector<HWND> order = z;
  std::erase(order, w->Handle);
  const bool top = !w->Parent;
  const bool topmost = top && (w->ExStyle & WS_EX_TOPMOST);
  auto bandBegin = [&]() {
    if (!top || topmost) return order.begin();
    return std::find_if(order.begin(), order.end(), [&](HWND h) { return !IsTopmost(m, h); });
  };
  auto bandEnd = [&]() {
    if (!top || !topmost) return order.end();
    return std::find_if(order.begin(), order.end(), [&](HWND h) { return !IsTopmost(m, h); });
  };
  std::vector<HWND>::iterator at;
  if (after == HWND_TOP || after == HWND_TOPMOST || after == HWND_NOTOPMOST) {
    at = bandBegin();
  } else if (after == HWND_BOTTOM) {
    at = bandEnd();
  } else {
    auto it = std::find(order.begin(), order.end(), after);
    at = it == order.end() ? bandBegin() : it + 1;
    at = std::clamp(at, bandBegin(), bandEnd());
  }
  order.insert(at, w->Handle);
  if (top) {
    // Owned windows above their owner: move each one that ended up below it just above it.
    for (size_t i = 0; i < order.size(); ++i) {
      TWindow* o = m.Find(order[i]);
      if (!o || !o->Owner) continue;
      auto ownerPos = std::find(order.begin(), order.end(), o->Owner);
      auto ownedPos = order.begin() + static_cast<std::ptrdiff_t>(i);
      if (ownerPos != order.end() && ownerPos < ownedPos && IsTopmost(m, o->Handle) == IsTopmost(m, o->Owner)) {
        HWND h = *ownedPos;
        order.erase(ownedPos);
        order.insert(std::find(order.begin(), order.end(), o->Owner), h);
      }
    }
  }
  return order;
}

// The client part of the window that is new after a resize, in window coordinates.
gdi::TRegion NewlyExposedClient(const TRect& oldClient, const TRect& newClient, UINT classStyle, bool wider, bool taller) {
  if ((wider && (classStyle & CS_HREDRAW)) || (taller && (classStyle & CS_VREDRAW)) ||
      oldClient.TopLeft() != newClient.TopLeft())
    return gdi::TRegion(newClient);
  gdi::TRegion r(newClient);
  r -= oldClient;
  return r;
}

struct TPosChange {
  bool Found = false;
  bool TopLevel = false;
  bool WasShown = false;  // the window was on the screen (it and its ancestors visible)
  bool IsShownNow = false;
  bool Moved = false;
  bool Sized = false;
  bool Restacked = false;
  bool Showing = false;
  bool Hiding = false;
  HWND Parent = nullptr;
  TRect OldRect;
  TRect NewRect;
  TRect OldClient;
  TRect NewClient;
  UINT ClassStyle = 0;
};

}  // namespace

BOOL SetWindowPos(HWND wnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags) {
  auto& m = Manager();
  WINDOWPOS pos{wnd, insertAfter, x, y, cx, cy, flags};
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return FALSE;
    if (flags & SWP_NOMOVE) {
      pos.x = w->WindowRect.Left;
      pos.y = w->WindowRect.Top;
    }
    if (flags & SWP_NOSIZE) {
      pos.cx = w->WindowRect.Width();
      pos.cy = w->WindowRect.Height();
    }
  }
  if (!(flags & SWP_NOSENDCHANGING)) SendMessage(wnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  pos.hwnd = wnd;

  TPosChange c;
  bool frameChanged = (pos.flags & SWP_FRAMECHANGED) != 0;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return FALSE;
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
    c.Found = true;
    c.TopLevel = !w->Parent && !w->MessageOnly;
    c.Parent = w->Parent;
    c.OldRect = w->WindowRect;
    c.OldClient = w->Client;
    c.ClassStyle = w->Class->Info.style;
    c.NewRect = Bounds(pos.x, pos.y, pos.cx, pos.cy);
    c.Moved = !(pos.flags & SWP_NOMOVE) && c.NewRect.TopLeft() != c.OldRect.TopLeft();
    c.Sized = !(pos.flags & SWP_NOSIZE) && (c.NewRect.Width() != c.OldRect.Width() || c.NewRect.Height() != c.OldRect.Height());
    if (!c.Moved) pos.flags |= SWP_NOMOVE;
    if (!c.Sized) pos.flags |= SWP_NOSIZE;
    c.Showing = (pos.flags & SWP_SHOWWINDOW) && !(w->Style & WS_VISIBLE);
    c.Hiding = (pos.flags & SWP_HIDEWINDOW) && (w->Style & WS_VISIBLE);
    if (!c.Showing) pos.flags &= ~SWP_SHOWWINDOW;
    if (!c.Hiding) pos.flags &= ~SWP_HIDEWINDOW;
    if (!(pos.flags & SWP_NOZORDER)) {
      std::vector<HWND>* z = Siblings(m, w);
      if (z && !c.TopLevel) {
        c.Restacked = Restacked(m, w, pos.hwndInsertAfter, *z) != *z;
      } else if (z) {
        DWORD ex = w->ExStyle;
        if (pos.hwndInsertAfter == HWND_TOPMOST) w->ExStyle |= WS_EX_TOPMOST;
        if (pos.hwndInsertAfter == HWND_NOTOPMOST) w->ExStyle &= ~WS_EX_TOPMOST;
        c.Restacked = Restacked(m, w, pos.hwndInsertAfter, *z) != *z || ex != w->ExStyle;
        w->ExStyle = ex;
      }
      if (!c.Restacked) pos.flags |= SWP_NOZORDER;
    }
    c.WasShown = m.IsShown(w);
  }

  // The client area for the new size or frame.
  TRect newClient = c.OldClient;
  if (c.Sized || frameChanged) {
    NCCALCSIZE_PARAMS params;
    params.rgrc[0] = c.NewRect;
    params.rgrc[1] = c.OldRect;
    params.rgrc[2] = OffsetBy(c.OldClient, c.OldRect.TopLeft());
    params.lppos = &pos;
    SendMessage(wnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
    newClient = OffsetBy(params.rgrc[0], {-c.NewRect.Left, -c.NewRect.Top});
  }
  c.NewClient = newClient;
  const bool clientSized = newClient.Width() != c.OldClient.Width() || newClient.Height() != c.OldClient.Height();
  const bool clientMoved = Offset(newClient.TopLeft(), c.NewRect.Left, c.NewRect.Top) !=
                           Offset(c.OldClient.TopLeft(), c.OldRect.Left, c.OldRect.Top);
  if (!clientSized) pos.flags |= kNoClientSize;
  if (!clientMoved) pos.flags |= kNoClientMove;

  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.Find(wnd);
    if (!w) return FALSE;
    w->WindowRect = c.NewRect;
    w->Client = newClient;
    if (c.Showing) w->Style |= WS_VISIBLE;
    if (c.Hiding) w->Style &= ~WS_VISIBLE;
    if (c.Restacked) {
      if (pos.hwndInsertAfter == HWND_TOPMOST) w->ExStyle |= WS_EX_TOPMOST;
      if (pos.hwndInsertAfter == HWND_NOTOPMOST) w->ExStyle &= ~WS_EX_TOPMOST;
      if (std::vector<HWND>* z = Siblings(m, w)) *z = Restacked(m, w, pos.hwndInsertAfter, *z);
    }
    if (c.Sized) {
      if (w->Surface) w->Surface->Resize(c.NewRect.Width(), c.NewRect.Height());
      w->Update &= TRect(0, 0, c.NewRect.Width(), c.NewRect.Height());
      if (w->Region) *w->Region &= TRect(0, 0, c.NewRect.Width(), c.NewRect.Height());
    }
    c.IsShownNow = m.IsShown(w);
  }

  const bool somethingChanged = c.Moved || c.Sized || c.Restacked || c.Showing || c.Hiding || frameChanged;
  if (!(pos.flags & SWP_NOREDRAW) && somethingChanged) {
    // The parent repaints where the window was and no longer is.
    if (c.Parent && c.WasShown && (c.Moved || c.Sized || c.Hiding || c.Restacked)) {
      gdi::TRegion exposed(c.OldRect);
      if (c.IsShownNow && !c.Restacked) exposed -= c.NewRect;
      os::InvalidateUncovered(c.Parent, exposed);
    }
    if (c.IsShownNow) {
      if (c.Showing || (c.Parent && (c.Moved || c.Restacked)) || !c.WasShown) {
        os::ChangeUpdateRegion(wnd, std::nullopt, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      } else if (c.Sized || frameChanged) {
        gdi::TRegion area(TRect(0, 0, c.NewRect.Width(), c.NewRect.Height()));
        area -= newClient;  // the frame
        area |= NewlyExposedClient(c.OldClient, newClient, c.ClassStyle,
                                   c.NewRect.Width() != c.OldRect.Width(), c.NewRect.Height() != c.OldRect.Height());
        if (frameChanged && newClient != c.OldClient) area |= newClient;
        os::ChangeUpdateRegion(wnd, area, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      }
    }
  }

  // What hiding takes away: the focus from a child, the activation from a top-level window.
  if (c.Hiding && c.Parent) {
    HWND focus = GetFocus();
    if (focus && (focus == wnd || IsChild(wnd, focus))) SetFocus(c.Parent);
  }

  if (somethingChanged && IsWindow(wnd)) SendMessage(wnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));

  if (c.TopLevel && IsWindow(wnd)) {
    if (os::TPresenter* presenter = os::CurrentPresenter()) {
      if (c.Moved || c.Sized) {
        TRect r;
        GetWindowRect(wnd, &r);
        presenter->WindowMoved(wnd, r);
      }
      if (c.Restacked && GetTopWindow(nullptr) == wnd) presenter->WindowRaised(wnd);
      if (c.Showing) presenter->WindowShown(wnd, !(pos.flags & SWP_NOACTIVATE));
      if (c.Hiding) presenter->WindowHidden(wnd);
    }
    if (c.Hiding && GetActiveWindow() == wnd) os::ActivateOtherWindow(wnd);
    if (!(pos.flags & SWP_NOACTIVATE) && IsWindowVisible(wnd)) os::ActivateWindow(wnd, WA_ACTIVE);
  }
  return TRUE;
}

BOOL MoveWindow(HWND wnd, int x, int y, int width, int height, BOOL repaint) {
  return SetWindowPos(wnd, nullptr, x, y, width, height,
                      SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL BringWindowToTop(HWND wnd) { return SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

namespace os {

void DefWindowPosChanged(HWND wnd, const WINDOWPOS* pos) {
  if (!pos) return;
  TRect client;
  TPoint origin;
  WPARAM state = SIZE_RESTORED;
  if (!WithWindow(wnd, [&](TWindow& w) {
        client = w.Client;
        origin = Offset(w.WindowRect.TopLeft(), w.Client.Left, w.Client.Top);
        if (w.Style & WS_MINIMIZE) state = SIZE_MINIMIZED;
        else if (w.Style & WS_MAXIMIZE) state = SIZE_MAXIMIZED;
      }))
    return;
  if (!(pos->flags & kNoClientMove)) SendMessage(wnd, WM_MOVE, 0, PointToLParam(origin));
  if (!(pos->flags & kNoClientSize)) SendMessage(wnd, WM_SIZE, state, MAKELPARAM(client.Width(), client.Height()));
}

}  // namespace os

namespace {

// Minimize / maximize / restore: the new style bits and rectangle (nullopt: leave the place).
struct TStateChange {
  DWORD Set = 0;
  DWORD Clear = 0;
  std::optional<TRect> Rect;
};

TStateChange StateFor(HWND wnd, int cmd) {
  TStateChange change;
  // The work area the window would be maximized into (asked before taking the lock: the
  // presenter may report the monitors).
  TRect current;
  GetWindowRect(wnd, &current);
  TRect work = os::WorkAreaAt(current.TopLeft());
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.Find(wnd);
  if (!w) return change;
  const bool minimized = w->Style & WS_MINIMIZE, maximized = w->Style & WS_MAXIMIZE;
  switch (cmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
      if (minimized) break;
      if (!w->RestoreRect) w->RestoreRect = w->WindowRect;
      change.Set = WS_MINIMIZE;
      change.Clear = WS_MAXIMIZE;
      // Where the platform parks minimized windows: far off the screen, as a small bar.
      change.Rect = Bounds(-32000, -32000, 160, 28);
      break;
    case SW_SHOWMAXIMIZED: {
      if (maximized) break;
      if (!minimized || !w->RestoreRect) w->RestoreRect = w->WindowRect;
      change.Set = WS_MAXIMIZE;
      change.Clear = WS_MINIMIZE;
      // The work area, with the sizing border beyond its edges.
      os::TFrameLayout frame = os::FrameLayout(w->Style, w->ExStyle, true, 100, 100);
      int border = (w->Style & WS_THICKFRAME) ? frame.Outer.Left : 0;
      InflateRect(&work, border, border);
      change.Rect = work;
      break;
    }
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWDEFAULT:
      if (!minimized && !maximized) break;
      change.Clear = WS_MINIMIZE | WS_MAXIMIZE;
      if (w->RestoreRect) change.Rect = *w->RestoreRect;
      w->RestoreRect.reset();
      break;
    default:
      break;
  }
  w->Style = (w->Style | change.Set) & ~change.Clear;
  return change;
}

}  // namespace

BOOL ShowWindow(HWND wnd, int cmd) {
  bool wasVisible = false, child = false;
  if (!os::WithWindow(wnd, [&](TWindow& w) {
        wasVisible = (w.Style & WS_VISIBLE) != 0;
        child = (w.Style & WS_CHILD) && w.Parent;
      }))
    return FALSE;
  UINT flags = 0;
  bool show = true;
  switch (cmd) {
    case SW_HIDE:
      if (!wasVisible) return FALSE;
      show = false;
      flags = SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE:
    case SW_SHOWMINNOACTIVE:
      flags = SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
      break;
    case SW_MINIMIZE:
      flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
      break;
    default:
      flags = SWP_SHOWWINDOW;
      break;
  }
  if (child) flags |= SWP_NOACTIVATE | SWP_NOZORDER;
  if (show != wasVisible) SendMessage(wnd, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  TStateChange state = show ? StateFor(wnd, cmd) : TStateChange{};
  if (state.Rect) {
    const TRect& r = *state.Rect;
    SetWindowPos(wnd, HWND_TOP, r.Left, r.Top, r.Width(), r.Height(), flags | SWP_FRAMECHANGED);
  } else {
    SetWindowPos(wnd, HWND_TOP, 0, 0, 0, 0, flags | SWP_NOMOVE | SWP_NOSIZE);
  }
  if (state.Set || state.Clear) {
    if (cmd == SW_MINIMIZE && GetActiveWindow() == wnd) os::ActivateOtherWindow(wnd);
    if (os::TPresenter* presenter = os::CurrentPresenter(); presenter && !child) presenter->WindowStateChanged(wnd);
  }
  return wasVisible ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND wnd) {
  if (wnd == os::kDesktopWindow) return TRUE;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.IsShown(m.Find(wnd)) ? TRUE : FALSE;
}

BOOL IsIconic(HWND wnd) {
  bool r = false;
  os::WithWindow(wnd, [&](TWindow& w) { r = w.Style & WS_MINIMIZE; });
  return r ? TRUE : FALSE;
}

BOOL IsZoomed(HWND wnd) {
  bool r = false;
  os::WithWindow(wnd, [&](TWindow& w) { r = w.Style & WS_MAXIMIZE; });
  return r ? TRUE : FALSE;
}

BOOL EnableWindow(HWND wnd, BOOL enable) {
  bool wasDisabled = false;
  if (!os::WithWindow(wnd, [&](TWindow& w) { wasDisabled = (w.Style & WS_DISABLED) != 0; })) return FALSE;
  if (wasDisabled == !enable) return wasDisabled ? TRUE : FALSE;
  if (!enable) {
    SendMessage(wnd, WM_CANCELMODE, 0, 0);
    os::WithWindow(wnd, [&](TWindow& w) { w.Style |= WS_DISABLED; });
    // A disabled window cannot keep the focus or the capture.
    HWND focus = GetFocus();
    if (focus && (focus == wnd || IsChild(wnd, focus))) SetFocus(nullptr);
    if (GetCapture() == wnd) ReleaseCapture();
  } else {
    os::WithWindow(wnd, [&](TWindow& w) { w.Style &= ~WS_DISABLED; });
  }
  if (IsWindow(wnd)) SendMessage(wnd, WM_ENABLE, enable ? TRUE : FALSE, 0);
  return wasDisabled ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND wnd) {
  bool enabled = false;
  if (wnd == os::kDesktopWindow) return TRUE;
  os::WithWindow(wnd, [&](TWindow& w) { enabled = !(w.Style & WS_DISABLED); });
  return enabled ? TRUE : FALSE;
}

BOOL GetWindowRect(HWND wnd, TRect* rect) {
  if (!rect) return FALSE;
  if (wnd == os::kDesktopWindow) {
    *rect = os::ScreenBounds();
    return TRUE;
  }
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return FALSE;
  TPoint o = m.ScreenOrigin(w);
  *rect = Bounds(o.X, o.Y, w->WindowRect.Width(), w->WindowRect.Height());
  return TRUE;
}

BOOL GetClientRect(HWND wnd, TRect* rect) {
  if (!rect) return FALSE;
  if (wnd == os::kDesktopWindow) {
    TRect s = os::ScreenBounds();
    *rect = TRect(0, 0, s.Width(), s.Height());
    return TRUE;
  }
  return os::WithWindow(wnd, [&](TWindow& w) { *rect = TRect(0, 0, w.Client.Width(), w.Client.Height()); }) ? TRUE : FALSE;
}

BOOL GetWindowPlacement(HWND wnd, WINDOWPLACEMENT* placement) {
  if (!placement) return FALSE;
  return os::WithWindow(wnd, [&](TWindow& w) {
           placement->flags = 0;
           placement->showCmd = !(w.Style & WS_VISIBLE) ? SW_HIDE
                                : (w.Style & WS_MINIMIZE) ? SW_SHOWMINIMIZED
                                : (w.Style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                                                          : SW_SHOWNORMAL;
           placement->ptMinPosition = TPoint(-1, -1);
           placement->ptMaxPosition = TPoint(-1, -1);
           placement->rcNormalPosition = w.RestoreRect ? *w.RestoreRect : w.WindowRect;
         })
             ? TRUE
             : FALSE;
}

BOOL SetWindowPlacement(HWND wnd, const WINDOWPLACEMENT* placement) {
  if (!placement) return FALSE;
  bool restoredLater = false;
  if (!os::WithWindow(wnd, [&](TWindow& w) {
        restoredLater = (w.Style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
        if (restoredLater) w.RestoreRect = placement->rcNormalPosition;
      }))
    return FALSE;
  const TRect& r = placement->rcNormalPosition;
  if (!restoredLater) SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  if (placement->showCmd != 0) ShowWindow(wnd, static_cast<int>(placement->showCmd));
  return TRUE;
}

namespace {

// The screen position of a window's client origin; the desktop and nullptr give (0, 0).
bool ClientOrigin(HWND wnd, TPoint& origin) {
  origin = {};
  if (!wnd || wnd == os::kDesktopWindow) return true;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return false;
  origin = Offset(m.ScreenOrigin(w), w->Client.Left, w->Client.Top);
  return true;
}

}  // namespace

BOOL ClientToScreen(HWND wnd, TPoint* point) {
  TPoint o;
  if (!point || !wnd || !ClientOrigin(wnd, o)) return FALSE;
  *point = Offset(*point, o.X, o.Y);
  return TRUE;
}

BOOL ScreenToClient(HWND wnd, TPoint* point) {
  TPoint o;
  if (!point || !wnd || !ClientOrigin(wnd, o)) return FALSE;
  *point = Offset(*point, -o.X, -o.Y);
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, TPoint* points, UINT count) {
  TPoint a, b;
  if (!ClientOrigin(from, a) || !ClientOrigin(to, b)) return 0;
  const int dx = a.X - b.X, dy = a.Y - b.Y;
  for (UINT i = 0; points && i < count; ++i) points[i] = Offset(points[i], dx, dy);
  SetLastError(ERROR_SUCCESS);
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

int MapWindowPoints(HWND from, HWND to, TRect* rect) {
  if (!rect) return 0;
  TPoint corners[2] = {rect->TopLeft(), rect->BottomRight()};
  int r = MapWindowPoints(from, to, corners, 2);
  *rect = TRect(corners[0], corners[1]);
  return r;
}

namespace {

// Does the screen point lie in the window (its rectangle and region)? (Lock held.)
bool HoldsPoint(TWindowManager& m, TWindow* w, TPoint screen) {
  TPoint o = m.ScreenOrigin(w);
  TPoint local = Offset(screen, -o.X, -o.Y);
  if (!TRect(0, 0, w->WindowRect.Width(), w->WindowRect.Height()).Contains(local)) return false;
  return !w->Region || w->Region->Contains(local);
}

// The deepest shown window under the point, not inside any of the excluded windows.
HWND DeepestAt(TWindowManager& m, TPoint screen, const std::vector<HWND>& excluded) {
  auto isExcluded = [&](HWND h) { return std::find(excluded.begin(), excluded.end(), h) != excluded.end(); };
  for (HWND top : m.TopLevels) {
    TWindow* w = m.Find(top);
    if (!w || !(w->Style & WS_VISIBLE) || isExcluded(top) || !HoldsPoint(m, w, screen)) continue;
    for (;;) {
      TPoint o = m.ScreenOrigin(w);
      TRect client = OffsetBy(w->Client, o);
      if (!client.Contains(screen)) break;
      TWindow* next = nullptr;
      for (HWND ch : w->Children) {
        TWindow* c = m.Find(ch);
        if (!c || !(c->Style & WS_VISIBLE) || isExcluded(ch)) continue;
        if ((c->Style & WS_DISABLED) && (c->Style & WS_CHILD)) continue;
        if (HoldsPoint(m, c, screen)) {
          next = c;
          break;
        }
      }
      if (!next) break;
      w = next;
    }
    return w->Handle;
  }
  return nullptr;
}

}  // namespace

namespace os {

HWND WindowAt(TPoint screen, LRESULT* hitCode) {
  auto& m = Manager();
  std::vector<HWND> excluded;
  for (;;) {
    HWND found = nullptr;
    bool sameThread = false;
    {
      std::lock_guard<std::mutex> lock(m.Lock);
      found = DeepestAt(m, screen, excluded);
      TWindow* w = m.Find(found);
      sameThread = w && w->ThreadId == GetCurrentThreadId();
    }
    if (!found) {
      if (hitCode) *hitCode = HTNOWHERE;
      return nullptr;
    }
    LRESULT hit = sameThread ? SendMessage(found, WM_NCHITTEST, 0, PointToLParam(screen)) : HTCLIENT;
    if (hit == HTTRANSPARENT && IsWindow(found)) {
      excluded.push_back(found);
      continue;
    }
    if (hitCode) *hitCode = hit;
    return IsWindow(found) ? found : nullptr;
  }
}

}  // namespace os

HWND WindowFromPoint(TPoint point) { return os::WindowAt(point, nullptr); }

HWND ChildWindowFromPoint(HWND parent, TPoint point) { return ChildWindowFromPointEx(parent, point, CWP_ALL); }

HWND ChildWindowFromPointEx(HWND parent, TPoint point, UINT flags) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* p = m.FindOrFail(parent);
  if (!p) return nullptr;
  if (!TRect(0, 0, p->Client.Width(), p->Client.Height()).Contains(point)) return nullptr;
  for (HWND ch : p->Children) {
    TWindow* c = m.Find(ch);
    if (!c) continue;
    if ((flags & CWP_SKIPINVISIBLE) && !(c->Style & WS_VISIBLE)) continue;
    if ((flags & CWP_SKIPDISABLED) && (c->Style & WS_DISABLED)) continue;
    if ((flags & CWP_SKIPTRANSPARENT) && (c->ExStyle & WS_EX_TRANSPARENT)) continue;
    TPoint local = Offset(point, -c->WindowRect.Left, -c->WindowRect.Top);
    if (!TRect(0, 0, c->WindowRect.Width(), c->WindowRect.Height()).Contains(local)) continue;
    if (c->Region && !c->Region->Contains(local)) continue;
    return ch;
  }
  return parent;
}

int SetWindowRgn(HWND wnd, HRGN region, BOOL redraw) {
  std::optional<gdi::TRegion> geometry;
  if (region) {
    const gdi::TRegion* r = gdi::RegionOf(region);
    if (!r) return 0;
    geometry = *r;
  }
  HWND parent = nullptr;
  TRect rect;
  bool shown = false;
  {
    auto& m = Manager();
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return 0;
    w->Region = geometry;
    parent = w->Parent;
    rect = w->WindowRect;
    shown = m.IsShown(w);
  }
  // The window owns the region now; its geometry is kept, the object is not needed.
  if (region) DeleteObject(region);
  if (redraw && shown) {
    if (parent) os::InvalidateUncovered(parent, gdi::TRegion(rect));
    os::ChangeUpdateRegion(wnd, std::nullopt, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  return 1;
}

int GetWindowRgn(HWND wnd, HRGN region) {
  gdi::TRegion* target = gdi::MutableRegionOf(region);
  if (!target) return ERROR;
  std::optional<gdi::TRegion> geometry;
  if (!os::WithWindow(wnd, [&](TWindow& w) { geometry = w.Region; }) || !geometry) return ERROR;
  *target = *geometry;
  if (target->IsEmpty()) return NULLREGION;
  return target->IsRect() ? SIMPLEREGION : COMPLEXREGION;
}
