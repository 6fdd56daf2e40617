#include "platform/os/Focus.h"

#include "platform/os/Presenter.h"
#include "platform/os/WindowManager.h"

using os::Manager;
using os::TWindow;

namespace {

bool Minimized(HWND wnd) {
  bool r = false;
  os::WithWindow(wnd, [&](TWindow& w) { r = (w.Style & WS_MINIMIZE) != 0; });
  return r;
}

}  // namespace

namespace os {

HWND ChangeFocus(HWND wnd) {
  auto& m = Manager();
  HWND old = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    old = m.Live(m.Focus);
    if (old == wnd) return old;
    m.Focus = wnd;
  }
  if (old) SendMessage(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(wnd), 0);
  if (wnd && GetFocus() == wnd) SendMessage(wnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
  return old;
}

bool ActivateWindow(HWND wnd, WORD how) {
  auto& m = Manager();
  HWND old = nullptr;
  bool appWasActive = false;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    if (wnd) {
      TWindow* w = m.Find(wnd);
      if (!w || w->MessageOnly) return false;
      w = m.Root(w);
      if (w->Style & WS_DISABLED) return false;
      wnd = w->Handle;
    }
    old = m.Live(m.Active);
    if (old == wnd) return true;
    appWasActive = m.AppActive;
    m.Active = wnd;
    m.AppActive = wnd != nullptr;
    if (wnd) {
      // Raise it (and what it owns) to the top of its band.
      auto& z = m.TopLevels;
      std::erase(z, wnd);
      TWindow* w = m.Find(wnd);
      auto at = z.begin();
      if (!(w->ExStyle & WS_EX_TOPMOST))
        while (at != z.end() && m.Find(*at) && (m.Find(*at)->ExStyle & WS_EX_TOPMOST)) ++at;
      z.insert(at, wnd);
    }
  }
  if (old) {
    SendMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(wnd));
    SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, Minimized(old)), reinterpret_cast<LPARAM>(wnd));
  }
  const bool appActive = wnd != nullptr;
  if (appActive != appWasActive) SendToTopLevelWindows(WM_ACTIVATEAPP, appActive ? TRUE : FALSE, 0);
  if (wnd && IsWindow(wnd)) {
    if (TPresenter* presenter = CurrentPresenter()) presenter->WindowActivated(wnd);
    SendMessage(wnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    SendMessage(wnd, WM_ACTIVATE, MAKEWPARAM(how, Minimized(wnd)), reinterpret_cast<LPARAM>(old));
  }
  // The focus follows into the new active window (unless it is there already or the window
  // handed it elsewhere in its WM_ACTIVATE), or goes when nothing of ours is active.
  if (!wnd) {
    ChangeFocus(nullptr);
  } else if (GetActiveWindow() == wnd && !Minimized(wnd)) {
    HWND focus = GetFocus();
    if (!focus || GetAncestor(focus, GA_ROOT) != wnd) ChangeFocus(wnd);
  }
  return true;
}

void ActivateOtherWindow(HWND wnd) {
  auto& m = Manager();
  HWND next = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.Find(wnd);
    auto usable = [&](TWindow* t) {
      return t && t->Handle != wnd && !t->Destroying && (t->Style & WS_VISIBLE) && !(t->Style & WS_DISABLED) &&
             !(t->Style & WS_MINIMIZE) && t->ThreadId == GetCurrentThreadId();
    };
    if (w && usable(m.Find(w->Owner))) next = w->Owner;
    for (size_t i = 0; !next && i < m.TopLevels.size(); ++i) {
      TWindow* t = m.Find(m.TopLevels[i]);
      if (usable(t) && !(t->ExStyle & WS_EX_TOOLWINDOW)) next = t->Handle;
    }
  }
  ActivateWindow(next, WA_ACTIVE);
}

}  // namespace os

HWND SetFocus(HWND wnd) {
  auto& m = Manager();
  if (!wnd) return os::ChangeFocus(nullptr);
  HWND top = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w || w->MessageOnly) return nullptr;
    for (TWindow* t = w; t; t = m.Find(t->Parent)) {
      if (t->Style & (WS_DISABLED | WS_MINIMIZE)) return nullptr;
      top = t->Handle;
    }
  }
  if (top != GetActiveWindow()) {
    if (!os::ActivateWindow(top, WA_ACTIVE) || !IsWindow(wnd) || GetActiveWindow() != top) return nullptr;
  }
  return os::ChangeFocus(wnd);
}

HWND GetFocus() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Live(m.Focus);
}

HWND SetActiveWindow(HWND wnd) {
  HWND old = GetActiveWindow();
  if (wnd && !IsWindow(wnd)) return nullptr;
  if (!os::ActivateWindow(wnd, WA_ACTIVE)) return nullptr;
  return old;
}

HWND GetActiveWindow() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Live(m.Active);
}

BOOL SetForegroundWindow(HWND wnd) {
  if (!wnd || !IsWindow(wnd)) return FALSE;
  if (!os::ActivateWindow(wnd, WA_ACTIVE)) return FALSE;
  if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->WindowRaised(GetAncestor(wnd, GA_ROOT));
  return TRUE;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }
