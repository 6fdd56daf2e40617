#include "platform/os/MenuBar.h"

#include "platform/os/Menu.h"
#include "platform/os/MenuPaint.h"
#include "platform/os/NonClient.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"

namespace {

// The bar item shown pushed while its menu is open.
struct TPushed {
  HWND Wnd = nullptr;
  int Item = -1;
} gPushed;

HMENU LiveMenu(HWND wnd) {
  HMENU menu = nullptr;
  os::WithWindow(wnd, [&](os::TWindow& w) { menu = w.Parent ? nullptr : w.Menu; });
  return IsMenu(menu) ? menu : nullptr;
}

void FrameChanged(HWND wnd) {
  SetWindowPos(wnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

BOOL SetMenu(HWND wnd, HMENU menu) {
  if (menu && !IsMenu(menu)) return FALSE;
  bool ok = false;
  HMENU old = nullptr;
  os::WithWindow(wnd, [&](os::TWindow& w) {
    if (w.Parent || (w.Style & WS_CHILD)) return;
    old = w.Menu;
    w.Menu = menu;
    ok = true;
  });
  if (!ok) return FALSE;
  if (os::TMenuRecord* r = old ? os::FindMenu(old) : nullptr) r->BarWindow = nullptr;
  if (os::TMenuRecord* r = menu ? os::FindMenu(menu) : nullptr) r->BarWindow = wnd;
  FrameChanged(wnd);
  return TRUE;
}

HMENU GetMenu(HWND wnd) { return LiveMenu(wnd); }

BOOL DrawMenuBar(HWND wnd) {
  if (!IsWindow(wnd)) return FALSE;
  FrameChanged(wnd);
  return TRUE;
}

namespace os {

int MenuBarHeight(HWND wnd) { return LiveMenu(wnd) ? GetSystemMetrics(SM_CYMENU) : 0; }

void PaintWindowMenuBar(HWND wnd, HDC dc, const TRect& bar) {
  PaintMenuBar(dc, LiveMenu(wnd), bar, gPushed.Wnd == wnd ? gPushed.Item : -1);
}

std::vector<TRect> MenuBarItems(HWND wnd) {
  HMENU menu = LiveMenu(wnd);
  if (!menu) return {};
  TRect window;
  GetWindowRect(wnd, &window);
  std::vector<TRect> items = MeasureMenuBar(menu, FrameLayoutOf(wnd).MenuBar);
  for (TRect& r : items) OffsetRect(&r, window.Left, window.Top);
  return items;
}

void SetMenuBarPushed(HWND wnd, int item) {
  gPushed = {item >= 0 ? wnd : nullptr, item};
  TFrameLayout layout = FrameLayoutOf(wnd);
  if (layout.MenuBar.IsEmpty() || !IsWindowVisible(wnd)) return;
  HDC dc = GetWindowDC(wnd);
  PaintWindowMenuBar(wnd, dc, layout.MenuBar);
  ReleaseDC(wnd, dc);
}

}  // namespace os
