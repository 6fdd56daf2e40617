#include "platform/os/SystemMetrics.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>

#include "platform/gdi/Fonts.h"
#include "platform/os/Input.h"
#include "platform/os/Kernel.h"
#include "platform/os/Presenter.h"
#include "platform/os/WindowPos.h"

namespace {

std::atomic<int> gBeeps{0};

const os::TMonitorArea kHeadlessMonitor{TRect(0, 0, 1280, 1024), TRect(0, 0, 1280, 994)};

HMONITOR MonitorHandle(size_t index) { return reinterpret_cast<HMONITOR>(static_cast<uintptr_t>(index + 1)); }

// The monitor of a handle, when it names one.
std::optional<os::TMonitorArea> MonitorOf(HMONITOR monitor) {
  auto all = os::Monitors();
  uintptr_t n = reinterpret_cast<uintptr_t>(monitor);
  if (n == 0 || n > all.size()) return std::nullopt;
  return all[n - 1];
}

// How far a point lies from a rectangle (0 inside), for "nearest".
long long DistanceSquared(const TRect& r, TPoint p) {
  long long dx = p.X < r.Left ? r.Left - p.X : p.X >= r.Right ? p.X - r.Right + 1 : 0;
  long long dy = p.Y < r.Top ? r.Top - p.Y : p.Y >= r.Bottom ? p.Y - r.Bottom + 1 : 0;
  return dx * dx + dy * dy;
}

// The monitor sharing most area with a rectangle, else the nearest one to its centre.
HMONITOR Pick(const TRect& rect, DWORD flags) {
  auto all = os::Monitors();
  long long bestArea = 0;
  size_t best = 0;
  bool found = false;
  for (size_t i = 0; i < all.size(); ++i) {
    TRect common;
    TRect probe = rect.IsEmpty() ? TRect(rect.Left, rect.Top, rect.Left + 1, rect.Top + 1) : rect;
    if (IntersectRect(&common, &probe, &all[i].Bounds)) {
      long long area = static_cast<long long>(common.Width()) * common.Height();
      if (!found || area > bestArea) {
        bestArea = area;
        best = i;
        found = true;
      }
    }
  }
  if (found) return MonitorHandle(best);
  if (flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (flags == MONITOR_DEFAULTTOPRIMARY) return MonitorHandle(0);
  TPoint centre{(rect.Left + rect.Right) / 2, (rect.Top + rect.Bottom) / 2};
  long long bestDistance = LLONG_MAX;
  for (size_t i = 0; i < all.size(); ++i) {
    long long d = DistanceSquared(all[i].Bounds, centre);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return MonitorHandle(best);
}

LOGFONT UiFont(int weight = 400) {
  LOGFONT f;
  f.lfHeight = -11;
  f.lfWeight = weight;
  f.lfCharSet = 1;  // DEFAULT_CHARSET
  f.lfFaceName = "Tahoma";
  return f;
}

template <class T>
BOOL Put(void* target, const T& value) {
  *static_cast<T*>(target) = value;
  return TRUE;
}

}  // namespace

namespace os {

std::vector<TMonitorArea> Monitors() {
  if (TPresenter* presenter = CurrentPresenter()) {
    auto real = presenter->Monitors();
    if (!real.empty()) return real;
  }
  return {kHeadlessMonitor};
}

TRect ScreenBounds() { return Monitors().front().Bounds; }

TRect WorkAreaAt(TPoint point) {
  MONITORINFO info;
  GetMonitorInfo(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

int BeepCount() { return gBeeps.load(); }

}  // namespace os

int GetSystemMetrics(int index) {
  // Only the screen's own metrics ask the presenter.
  auto screen = [] { return os::ScreenBounds(); };
  auto work = [] { return os::Monitors().front().WorkArea; };
  switch (index) {
    case SM_CXSCREEN: return screen().Width();
    case SM_CYSCREEN: return screen().Height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER:
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYMENU: return 19;
    case SM_CXSIZE:
    case SM_CYSIZE:
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_CYSMCAPTION: return 16;
    case SM_CXSMSIZE:
    case SM_CYSMSIZE: return 15;
    case SM_CXFULLSCREEN: return work().Width();
    case SM_CYFULLSCREEN: return work().Height() - 19;
    case SM_MOUSEPRESENT:
    case SM_MOUSEWHEELPRESENT:
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_CXMIN:
    case SM_CXMINTRACK: return 112;
    case SM_CYMIN:
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMAXTRACK: return screen().Width() + 12;
    case SM_CYMAXTRACK: return screen().Height() + 12;
    case SM_CXMAXIMIZED: return work().Width() + 8;
    case SM_CYMAXIMIZED: return work().Height() + 8;
    case SM_CMONITORS: return static_cast<int>(os::Monitors().size());
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CYVIRTUALSCREEN: {
      TRect all;
      for (const auto& mon : os::Monitors()) UnionRect(&all, &all, &mon.Bounds);
      return index == SM_XVIRTUALSCREEN ? all.Left
             : index == SM_YVIRTUALSCREEN ? all.Top
             : index == SM_CXVIRTUALSCREEN ? all.Width()
                                           : all.Height();
    }
    default: return 0;
  }
}

BOOL SystemParametersInfo(UINT action, UINT, void* pv, UINT) {
  if (!pv) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  switch (action) {
    case SPI_GETWORKAREA: return Put(pv, os::Monitors().front().WorkArea);
    case SPI_GETKEYBOARDSPEED: return Put<UINT>(pv, 31);
    case SPI_GETKEYBOARDDELAY: return Put<int>(pv, 1);
    case SPI_GETMENUDROPALIGNMENT:
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETKEYBOARDCUES:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETFLATMENU: return Put<BOOL>(pv, FALSE);
    case SPI_GETDRAGFULLWINDOWS:
    case SPI_GETGRADIENTCAPTIONS:
    case SPI_GETHOTTRACKING:
    case SPI_GETUIEFFECTS: return Put<BOOL>(pv, TRUE);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return Put<UINT>(pv, 4);
    case SPI_GETMOUSEHOVERTIME: return Put<UINT>(pv, 400);
    case SPI_GETMENUSHOWDELAY: return Put<UINT>(pv, 400);
    case SPI_GETWHEELSCROLLLINES: return Put<UINT>(pv, 3);
    case SPI_GETICONTITLELOGFONT: return Put(pv, UiFont());
    case SPI_GETNONCLIENTMETRICS: {
      NONCLIENTMETRICS m;
      m.iBorderWidth = 1;
      m.iScrollWidth = m.iScrollHeight = GetSystemMetrics(SM_CXVSCROLL);
      m.iCaptionWidth = m.iCaptionHeight = GetSystemMetrics(SM_CYCAPTION) - 1;
      m.lfCaptionFont = UiFont(700);
      m.iSmCaptionWidth = GetSystemMetrics(SM_CXSMSIZE);
      m.iSmCaptionHeight = GetSystemMetrics(SM_CYSMCAPTION) - 1;
      m.lfSmCaptionFont = UiFont(700);
      m.iMenuWidth = m.iMenuHeight = GetSystemMetrics(SM_CYMENU) - 1;
      m.lfMenuFont = m.lfStatusFont = m.lfMessageFont = UiFont();
      return Put(pv, m);
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
  }
}

HMONITOR MonitorFromPoint(TPoint point, DWORD flags) {
  return Pick(TRect(point.X, point.Y, point.X + 1, point.Y + 1), flags);
}

HMONITOR MonitorFromRect(const TRect* rect, DWORD flags) {
  return rect ? Pick(*rect, flags) : (flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0));
}

HMONITOR MonitorFromWindow(HWND wnd, DWORD flags) {
  TRect r;
  if (!GetWindowRect(wnd, &r)) return flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorHandle(0);
  return Pick(r, flags);
}

BOOL GetMonitorInfo(HMONITOR monitor, MONITORINFO* info) {
  auto area = MonitorOf(monitor);
  if (!info || !area) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  info->rcMonitor = area->Bounds;
  info->rcWork = area->WorkArea;
  info->dwFlags = reinterpret_cast<uintptr_t>(monitor) == 1 ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC dc, const TRect* clip, MONITORENUMPROC proc, LPARAM data) {
  if (!proc) return FALSE;
  auto all = os::Monitors();
  for (size_t i = 0; i < all.size(); ++i) {
    TRect r = all[i].Bounds;
    if (clip && !IntersectRect(&r, &r, clip)) continue;
    if (!proc(MonitorHandle(i), dc, &r, data)) break;
  }
  return TRUE;
}

BOOL MessageBeep(UINT type) {
  ++gBeeps;
  if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->Beep(type);
  return TRUE;
}
