#include "platform/os/NonClient.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/MenuBar.h"
#include "platform/os/MenuTracking.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Painting.h"
#include "platform/os/Presenter.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"

using os::Manager;
using os::TFrameLayout;
using os::TWindow;

namespace {

TRect Deflated(TRect r, int dx, int dy) {
  InflateRect(&r, -dx, -dy);
  if (r.Right < r.Left) r.Right = r.Left;
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  return r;
}

struct TWindowFacts {
  DWORD Style = 0;
  DWORD ExStyle = 0;
  bool TopLevel = false;
  bool Active = false;
  int Width = 0;
  int Height = 0;
  TRect Client;
  TPoint ScreenOrigin;
  std::string Text;
  int MenuBar = 0;  // the menu bar's height
};

bool LockedFacts(HWND wnd, TWindowFacts& f) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return false;
  f.Style = w->Style;
  f.ExStyle = w->ExStyle;
  f.TopLevel = !w->Parent;
  f.Active = w->NcActive;
  f.Width = w->WindowRect.Width();
  f.Height = w->WindowRect.Height();
  f.Client = w->Client;
  f.ScreenOrigin = m.ScreenOrigin(w);
  f.Text = w->Text;
  return true;
}

bool Facts(HWND wnd, TWindowFacts& f) {
  if (!LockedFacts(wnd, f)) return false;
  f.MenuBar = f.TopLevel ? os::MenuBarHeight(wnd) : 0;
  return true;
}

// The caption button being held down (drawn pushed while the pointer is over it).
struct TPressedButton {
  HWND Wnd = nullptr;
  LRESULT Hit = HTNOWHERE;
} gPressed;

}  // namespace

namespace os {

TFrameLayout FrameLayout(DWORD style, DWORD exStyle, bool topLevel, int width, int height, int menuBarHeight) {
  TFrameLayout f;
  f.Window = TRect(0, 0, std::max(width, 0), std::max(height, 0));
  if (style & WS_THICKFRAME) {
    f.Border = GetSystemMetrics(SM_CXFRAME);
    f.Sizable = true;
  } else if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
    f.Border = GetSystemMetrics(SM_CXDLGFRAME);
  } else if (style & WS_BORDER) {
    f.Border = GetSystemMetrics(SM_CXBORDER);
  }
  TRect r = Deflated(f.Window, f.Border, f.Border);
  if (exStyle & WS_EX_STATICEDGE) r = Deflated(r, 1, 1);
  f.Outer = r;
  if (topLevel && (style & WS_CAPTION) == WS_CAPTION) {
    const bool tool = exStyle & WS_EX_TOOLWINDOW;
    const int h = GetSystemMetrics(tool ? SM_CYSMCAPTION : SM_CYCAPTION);
    f.Caption = TRect(r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + h - 1));
    r.Top = std::min(r.Bottom, r.Top + h);
    // Caption buttons: close at the right, then maximize and minimize side by side.
    const int bw = GetSystemMetrics(tool ? SM_CXSMSIZE : SM_CXSIZE) - 2;
    const int bh = f.Caption.Height() - 4;
    int right = f.Caption.Right - 2;
    const int top = f.Caption.Top + 2;
    if (style & WS_SYSMENU) {
      f.CloseButton = TRect(right - bw, top, right, top + bh);
      right -= bw + 2;
      if (!tool && (style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) {
        f.MaxButton = TRect(right - bw, top, right, top + bh);
        f.MinButton = TRect(right - 2 * bw, top, right - bw, top + bh);
      }
      if (!tool) {
        const int icon = GetSystemMetrics(SM_CXSMICON);
        f.SysMenu = TRect(f.Caption.Left + 1, f.Caption.Top + 1, f.Caption.Left + 1 + icon,
                          std::min(f.Caption.Bottom, f.Caption.Top + 1 + icon));
      }
    }
  }
  if (topLevel && menuBarHeight > 0) {
    f.MenuBar = TRect(r.Left, r.Top, r.Right, std::min(r.Bottom, r.Top + menuBarHeight));
    r.Top = f.MenuBar.Bottom;
  }
  if (exStyle & WS_EX_CLIENTEDGE) {
    f.ClientEdge = r;
    const int e = GetSystemMetrics(SM_CXEDGE);
    r = Deflated(r, e, e);
  }
  const bool v = style & WS_VSCROLL, h = style & WS_HSCROLL;
  const bool left = exStyle & WS_EX_LEFTSCROLLBAR;
  const int cx = std::min(GetSystemMetrics(SM_CXVSCROLL), r.Width());
  const int cy = std::min(GetSystemMetrics(SM_CYHSCROLL), r.Height());
  if (h) {
    f.HScroll = TRect(r.Left, r.Bottom - cy, r.Right, r.Bottom);
    r.Bottom -= cy;
  }
  if (v) {
    if (left) {
      f.VScroll = TRect(r.Left, r.Top, r.Left + cx, r.Bottom);
      r.Left += cx;
    } else {
      f.VScroll = TRect(r.Right - cx, r.Top, r.Right, r.Bottom);
      r.Right -= cx;
    }
  }
  if (v && h) {
    f.Corner = left ? TRect(f.HScroll.Left, f.HScroll.Top, f.HScroll.Left + cx, f.HScroll.Bottom)
                    : TRect(f.HScroll.Right - cx, f.HScroll.Top, f.HScroll.Right, f.HScroll.Bottom);
    if (left) f.HScroll.Left += cx;
    else f.HScroll.Right -= cx;
  }
  f.Client = r;
  return f;
}

TFrameLayout FrameLayoutOf(HWND wnd) {
  TWindowFacts f;
  Facts(wnd, f);
  return FrameLayout(f.Style, f.ExStyle, f.TopLevel, f.Width, f.Height, f.MenuBar);
}

LRESULT DefNcCalcSize(HWND wnd, WPARAM calcValidRects, LPARAM param) {
  TWindowFacts f;
  if (!param || !Facts(wnd, f)) return 0;
  TRect* r = calcValidRects ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(param)->rgrc[0] : reinterpret_cast<TRect*>(param);
  TFrameLayout layout = FrameLayout(f.Style, f.ExStyle, f.TopLevel, r->Width(), r->Height(), f.MenuBar);
  TRect client = layout.Client;
  OffsetRect(&client, r->Left, r->Top);
  *r = client;
  return 0;
}

LRESULT DefNcHitTest(HWND wnd, TPoint screen) {
  TWindowFacts f;
  if (!Facts(wnd, f)) return HTNOWHERE;
  TPoint p(screen.X - f.ScreenOrigin.X, screen.Y - f.ScreenOrigin.Y);
  TFrameLayout l = FrameLayout(f.Style, f.ExStyle, f.TopLevel, f.Width, f.Height, f.MenuBar);
  if (!l.Window.Contains(p)) return HTNOWHERE;
  if (f.Client.Contains(p)) return HTCLIENT;
  TRect inside = Deflated(l.Window, l.Border, l.Border);
  if (!inside.Contains(p)) {
    if (!l.Sizable || (f.Style & (WS_MAXIMIZE | WS_MINIMIZE))) return HTBORDER;
    // Along the sizing border; near a corner it sizes both ways.
    const int corner = GetSystemMetrics(SM_CXSIZE) + l.Border;
    const bool nearLeft = p.X < corner, nearRight = p.X >= l.Window.Right - corner;
    const bool nearTop = p.Y < corner, nearBottom = p.Y >= l.Window.Bottom - corner;
    if (p.Y < inside.Top) return nearLeft ? HTTOPLEFT : nearRight ? HTTOPRIGHT : HTTOP;
    if (p.Y >= inside.Bottom) return nearLeft ? HTBOTTOMLEFT : nearRight ? HTBOTTOMRIGHT : HTBOTTOM;
    if (p.X < inside.Left) return nearTop ? HTTOPLEFT : nearBottom ? HTBOTTOMLEFT : HTLEFT;
    return nearTop ? HTTOPRIGHT : nearBottom ? HTBOTTOMRIGHT : HTRIGHT;
  }
  if (!l.Outer.Contains(p)) return HTBORDER;  // the static edge
  if (!l.Caption.IsEmpty() && p.Y < l.Caption.Bottom + 1) {
    if (l.SysMenu.Contains(p)) return HTSYSMENU;
    if (l.CloseButton.Contains(p)) return HTCLOSE;
    if (l.MaxButton.Contains(p)) return HTMAXBUTTON;
    if (l.MinButton.Contains(p)) return HTMINBUTTON;
    return HTCAPTION;
  }
  if (l.MenuBar.Contains(p)) return HTMENU;
  if (l.VScroll.Contains(p)) return HTVSCROLL;
  if (l.HScroll.Contains(p)) return HTHSCROLL;
  if (l.Corner.Contains(p))
    return l.Sizable && !(f.ExStyle & WS_EX_LEFTSCROLLBAR) && !(f.Style & WS_MAXIMIZE) ? HTBOTTOMRIGHT : HTNOWHERE;
  if (!l.ClientEdge.IsEmpty() && !Deflated(l.ClientEdge, 2, 2).Contains(p)) return HTBORDER;
  // A part the window's own WM_NCCALCSIZE took from the client area.
  return HTNOWHERE;
}

namespace {

void FillRing(HDC dc, const TRect& outer, int width, int colorIndex) {
  HBRUSH brush = GetSysColorBrush(colorIndex);
  TRect inner = Deflated(outer, width, width);
  TRect parts[4] = {TRect(outer.Left, outer.Top, outer.Right, inner.Top),
                    TRect(outer.Left, inner.Bottom, outer.Right, outer.Bottom),
                    TRect(outer.Left, inner.Top, inner.Left, inner.Bottom),
                    TRect(inner.Right, inner.Top, outer.Right, inner.Bottom)};
  for (const TRect& r : parts)
    if (!r.IsEmpty()) FillRect(dc, &r, brush);
}

void PaintCaption(HDC dc, HWND wnd, const TWindowFacts& f, const TFrameLayout& l) {
  const bool active = f.Active;
  TRect bar = l.Caption;
  FillRect(dc, &bar, GetSysColorBrush(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  TRect line(bar.Left, bar.Bottom, bar.Right, bar.Bottom + 1);
  FillRect(dc, &line, GetSysColorBrush(COLOR_BTNFACE));
  // The title, bold, after the system-menu icon's place and before the buttons.
  TRect text = bar;
  text.Left = (l.SysMenu.IsEmpty() ? bar.Left : l.SysMenu.Right) + 2;
  TRect firstButton = !l.MinButton.IsEmpty() ? l.MinButton : l.CloseButton;
  if (!firstButton.IsEmpty()) text.Right = firstButton.Left - 2;
  if (!f.Text.empty() && !text.IsEmpty()) {
    NONCLIENTMETRICS metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirect((f.ExStyle & WS_EX_TOOLWINDOW) ? &metrics.lfSmCaptionFont : &metrics.lfCaptionFont);
    HGDIOBJ oldFont = SelectObject(dc, font);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    DrawText(dc, f.Text, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX | DT_END_ELLIPSIS);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
    DeleteObject(font);
  }
  auto button = [&](const TRect& r, UINT kind, LRESULT hit, bool enabled) {
    if (r.IsEmpty()) return;
    TRect b = r;
    UINT state = kind;
    if (gPressed.Wnd == wnd && gPressed.Hit == hit) state |= DFCS_PUSHED;
    if (!enabled) state |= DFCS_INACTIVE;
    DrawFrameControl(dc, &b, DFC_CAPTION, state);
  };
  button(l.CloseButton, DFCS_CAPTIONCLOSE, HTCLOSE, true);
  button(l.MaxButton, (f.Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX, HTMAXBUTTON,
         (f.Style & WS_MAXIMIZEBOX) != 0);
  button(l.MinButton, (f.Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN, HTMINBUTTON,
         (f.Style & WS_MINIMIZEBOX) != 0);
}

}  // namespace

void DefNcPaint(HWND wnd, HRGN region) {
  TWindowFacts f;
  if (!Facts(wnd, f) || !IsWindowVisible(wnd)) return;
  // The region (screen coordinates) limits the painting; 1 means the whole frame.
  const bool limited = reinterpret_cast<uintptr_t>(region) > 1;
  HDC dc = GetDCEx(wnd, limited ? region : nullptr, DCX_WINDOW | DCX_CLIPSIBLINGS | (limited ? DCX_INTERSECTRGN : 0));
  if (!dc) return;
  // Only the frame: what lies in the client area is the window's own.
  ExcludeClipRect(dc, f.Client.Left, f.Client.Top, f.Client.Right, f.Client.Bottom);
  TFrameLayout l = FrameLayout(f.Style, f.ExStyle, f.TopLevel, f.Width, f.Height, f.MenuBar);
  TRect r = l.Window;
  if (l.Border > 0) {
    if ((f.Style & WS_THICKFRAME) || (f.Style & WS_DLGFRAME) || (f.ExStyle & WS_EX_DLGMODALFRAME)) {
      TRect edge = r;
      DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT | BF_ADJUST);
      if (l.Border > 2)
        FillRing(dc, edge, l.Border - 2,
                 (f.Style & WS_THICKFRAME) ? (f.Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER) : COLOR_BTNFACE);
    } else {
      FillRing(dc, r, l.Border, COLOR_WINDOWFRAME);
    }
  }
  if (f.ExStyle & WS_EX_STATICEDGE) {
    TRect edge = Deflated(r, l.Border, l.Border);
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  }
  if (!l.Caption.IsEmpty()) PaintCaption(dc, wnd, f, l);
  if (!l.MenuBar.IsEmpty()) PaintWindowMenuBar(wnd, dc, l.MenuBar);
  if (!l.ClientEdge.IsEmpty()) {
    TRect edge = l.ClientEdge;
    DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT);
  }
  if (!l.VScroll.IsEmpty()) PaintScrollBar(dc, wnd, SB_VERT, l.VScroll);
  if (!l.HScroll.IsEmpty()) PaintScrollBar(dc, wnd, SB_HORZ, l.HScroll);
  if (!l.Corner.IsEmpty()) FillRect(dc, &l.Corner, GetSysColorBrush(COLOR_BTNFACE));
  ReleaseDC(wnd, dc);
}

void InvalidateFrame(HWND wnd) {
  TRect client, all;
  if (!WithWindow(wnd, [&](TWindow& w) {
        client = w.Client;
        all = TRect(0, 0, w.WindowRect.Width(), w.WindowRect.Height());
      }))
    return;
  gdi::TRegion frame(all);
  frame -= client;
  if (!frame.IsEmpty()) ChangeUpdateRegion(wnd, frame, RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

LRESULT DefNcActivate(HWND wnd, bool active) {
  bool caption = false;
  WithWindow(wnd, [&](TWindow& w) {
    w.NcActive = active;
    caption = !w.Parent && (w.Style & (WS_CAPTION | WS_THICKFRAME));
  });
  if (caption) InvalidateFrame(wnd);
  return TRUE;
}

void TrackWithCapture(HWND wnd, const std::function<bool(const MSG&)>& handle) {
  SetCapture(wnd);
  struct TRelease {
    HWND Wnd;
    ~TRelease() {
      if (GetCapture() == Wnd) ReleaseCapture();
    }
  } release{wnd};
  while (GetCapture() == wnd) {
    MSG msg;
    if (!GetMessage(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    const bool mouse = msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST;
    const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    const bool timer = msg.message == WM_TIMER && msg.hwnd == wnd;
    if (mouse || key || timer) {
      if (!handle(msg)) break;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessage(&msg);
  }
}

namespace {

// Follows the pointer while the left button is held, moving (Edge 0) or sizing the window by
// the pointer's travel; Esc puts it back.
void TrackMoveSize(HWND wnd, UINT edge, LPARAM lParam) {
  if (GetKeyState(VK_LBUTTON) >= 0) return;  // no button held: nothing to follow
  TPoint start;
  if (lParam) start = LParamToPoint(lParam);
  else GetCursorPos(&start);
  if (TPresenter* presenter = CurrentPresenter()) {
    HWND root = GetAncestor(wnd, GA_ROOT);
    if (root == wnd && (edge ? presenter->BeginSizeDrag(wnd, edge, start) : presenter->BeginMoveDrag(wnd, start))) return;
  }
  TRect origin;
  bool child = false;
  WithWindow(wnd, [&](TWindow& w) {
    origin = w.WindowRect;
    child = w.Parent != nullptr;
  });
  MINMAXINFO limits;
  limits.ptMinTrackSize = TPoint(child ? 0 : GetSystemMetrics(SM_CXMINTRACK), child ? 0 : GetSystemMetrics(SM_CYMINTRACK));
  limits.ptMaxTrackSize = TPoint(GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK));
  if (edge) SendMessage(wnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  SendMessage(wnd, WM_ENTERSIZEMOVE, 0, 0);
  auto place = [&](const TRect& r) {
    SetWindowPos(wnd, nullptr, r.Left, r.Top, r.Width(), r.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE | (edge ? 0 : SWP_NOSIZE));
  };
  TrackWithCapture(wnd, [&](const MSG& msg) {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
      place(origin);
      return false;
    }
    if (msg.message == WM_LBUTTONUP) return false;
    if (msg.message != WM_MOUSEMOVE) return true;
    const int dx = msg.pt.X - start.X, dy = msg.pt.Y - start.Y;
    TRect r = origin;
    if (!edge) {
      OffsetRect(&r, dx, dy);
    } else {
      const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
      const bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
      const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
      const bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
      auto limit = [](int size, int lo, int hi) { return std::clamp(size, lo, std::max(lo, hi)); };
      if (right) r.Right = r.Left + limit(origin.Width() + dx, limits.ptMinTrackSize.X, limits.ptMaxTrackSize.X);
      if (left) r.Left = r.Right - limit(origin.Width() - dx, limits.ptMinTrackSize.X, limits.ptMaxTrackSize.X);
      if (bottom) r.Bottom = r.Top + limit(origin.Height() + dy, limits.ptMinTrackSize.Y, limits.ptMaxTrackSize.Y);
      if (top) r.Top = r.Bottom - limit(origin.Height() - dy, limits.ptMinTrackSize.Y, limits.ptMaxTrackSize.Y);
    }
    place(r);
    return true;
  });
  if (IsWindow(wnd)) SendMessage(wnd, WM_EXITSIZEMOVE, 0, 0);
}

// Holds a caption button down until the button is let go; true when that happened over it.
bool TrackCaptionButton(HWND wnd, LRESULT hit) {
  gPressed = {wnd, hit};
  InvalidateFrame(wnd);
  bool over = true;
  TrackWithCapture(wnd, [&](const MSG& msg) {
    if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP) {
      bool now = DefNcHitTest(wnd, msg.pt) == hit;
      if (now != over) {
        over = now;
        gPressed = over ? TPressedButton{wnd, hit} : TPressedButton{};
        InvalidateFrame(wnd);
      }
    }
    return msg.message != WM_LBUTTONUP;
  });
  gPressed = {};
  if (IsWindow(wnd)) InvalidateFrame(wnd);
  return over && IsWindow(wnd);
}

}  // namespace

LRESULT DefNcLButtonDown(HWND wnd, UINT msg, WPARAM hitCode, LPARAM point) {
  const LRESULT hit = static_cast<LRESULT>(hitCode);
  const bool doubleClick = msg == WM_NCLBUTTONDBLCLK;
  switch (hit) {
    case HTCAPTION:
      if (doubleClick) {
        DWORD style = static_cast<DWORD>(GetWindowLongPtr(wnd, GWL_STYLE));
        if (style & WS_MAXIMIZEBOX) SendMessage(wnd, WM_SYSCOMMAND, (style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE, point);
      } else {
        SendMessage(wnd, WM_SYSCOMMAND, SC_MOVE + HTCAPTION, point);
      }
      return 0;
    case HTVSCROLL:
      SendMessage(wnd, WM_SYSCOMMAND, SC_VSCROLL + HTVSCROLL, point);
      return 0;
    case HTHSCROLL:
      SendMessage(wnd, WM_SYSCOMMAND, SC_HSCROLL + HTHSCROLL, point);
      return 0;
    case HTMENU:
      SendMessage(wnd, WM_SYSCOMMAND, SC_MOUSEMENU + HTMENU, point);
      return 0;
    case HTSYSMENU:
      if (doubleClick) SendMessage(wnd, WM_SYSCOMMAND, SC_CLOSE, point);
      return 0;
    case HTCLOSE:
    case HTMINBUTTON:
    case HTMAXBUTTON: {
      if (!TrackCaptionButton(wnd, hit)) return 0;
      WPARAM command = hit == HTCLOSE ? SC_CLOSE : hit == HTMINBUTTON ? SC_MINIMIZE : IsZoomed(wnd) ? SC_RESTORE : SC_MAXIMIZE;
      SendMessage(wnd, WM_SYSCOMMAND, command, point);
      return 0;
    }
    default:
      if (hit >= HTLEFT && hit <= HTBOTTOMRIGHT && !doubleClick)
        SendMessage(wnd, WM_SYSCOMMAND, SC_SIZE + static_cast<WPARAM>(hit - HTLEFT + WMSZ_LEFT), point);
      return 0;
  }
}

LRESULT DefSysCommand(HWND wnd, WPARAM command, LPARAM point) {
  switch (command & 0xFFF0) {
    case SC_MOVE:
      TrackMoveSize(wnd, 0, point);
      return 0;
    case SC_SIZE:
      TrackMoveSize(wnd, static_cast<UINT>(command & 0x0F), point);
      return 0;
    case SC_MINIMIZE:
      ShowWindow(wnd, SW_MINIMIZE);
      return 0;
    case SC_MAXIMIZE:
      ShowWindow(wnd, SW_MAXIMIZE);
      return 0;
    case SC_RESTORE:
      ShowWindow(wnd, SW_RESTORE);
      return 0;
    case SC_CLOSE: {
      bool noClose = false;
      WithWindow(wnd, [&](TWindow& w) { noClose = (w.Class->Info.style & CS_NOCLOSE) != 0; });
      if (!noClose) SendMessage(wnd, WM_CLOSE, 0, 0);
      return 0;
    }
    case SC_MOUSEMENU:
      TrackMenuBar(wnd, LParamToPoint(point));
      return 0;
    case SC_VSCROLL:
    case SC_HSCROLL:
      TrackScrollBar(wnd, (command & 0xFFF0) == SC_VSCROLL ? SB_VERT : SB_HORZ, LParamToPoint(point));
      return 0;
    default:
      return 0;
  }
}

}  // namespace os

BOOL AdjustWindowRectEx(TRect* rect, DWORD style, BOOL menu, DWORD exStyle) {
  if (!rect) return FALSE;
  // The frame's thickness on each side, from a layout large enough for every part.
  const int probe = 1000;
  const bool topLevel = !(style & WS_CHILD);
  TFrameLayout l = os::FrameLayout(style & ~(WS_VSCROLL | WS_HSCROLL), exStyle, topLevel, probe, probe,
                                   menu && topLevel ? GetSystemMetrics(SM_CYMENU) : 0);
  rect->Left -= l.Client.Left;
  rect->Top -= l.Client.Top;
  rect->Right += probe - l.Client.Right;
  rect->Bottom += probe - l.Client.Bottom;
  return TRUE;
}
