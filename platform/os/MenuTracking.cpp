#include "platform/os/MenuTracking.h"

#include <algorithm>
#include <optional>

#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/Menu.h"
#include "platform/os/MenuBar.h"
#include "platform/os/MenuPaint.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Strings.h"

namespace {

using os::TMenuItemRecord;
using os::TMenuRecord;

const char* const kMenuClass = "#32768";
// The timer that opens the submenu of the item the pointer rests on.
constexpr UINT_PTR kOpenTimer = 0xFFF1;
// A submenu overlaps its parent's frame by this much.
constexpr int kSubmenuOverlap = 3;

// One open menu level: a pop-up window showing a menu.
struct TLevel {
  HMENU Menu = nullptr;
  HWND Window = nullptr;
  os::TPopupLayout Layout;
  TRect Screen;  // the window on the screen
};

// Where a screen point lies: in a menu level (Item -1 on its frame), on a bar item, or nowhere.
struct THit {
  int Level = -1;
  int Item = -1;
  int BarItem = -1;
};

class TTracker;
TTracker* gTracker = nullptr;

LRESULT MenuWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

void EnsureMenuClass() {
  WNDCLASS existing;
  if (GetClassInfo(nullptr, kMenuClass, &existing)) return;
  WNDCLASS wc;
  wc.style = CS_SAVEBITS;
  wc.lpfnWndProc = MakeWndProc(MenuWindowProc);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = kMenuClass;
  RegisterClass(wc);
}

TMenuItemRecord* ItemOf(HMENU menu, int item) {
  TMenuRecord* r = os::FindMenu(menu);
  if (!r || item < 0 || item >= static_cast<int>(r->Items.size())) return nullptr;
  return &r->Items[static_cast<size_t>(item)];
}

bool Selectable(const TMenuItemRecord* item) { return item && !item->Separator() && !item->Disabled(); }

bool OpensSubmenu(const TMenuItemRecord* item) {
  return Selectable(item) && item->SubMenu && GetMenuItemCount(item->SubMenu) > 0;
}

class TTracker {
 public:
  TTracker(HWND owner, UINT flags) : FOwner(owner), FFlags(flags) { gTracker = this; }
  ~TTracker() {
    KillTimer(FCapture, kOpenTimer);
    CloseFrom(0);
    if (FBarWindow) os::SetMenuBarPushed(FBarWindow, -1);
    if (FCapture && GetCapture() == FCapture) ReleaseCapture();
    gTracker = nullptr;
    if (FNotify && IsWindow(FOwner)) {
      SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
      SendMessage(FOwner, WM_EXITMENULOOP, FBarWindow ? FALSE : TRUE, 0);
    }
  }
  TTracker(const TTracker&) = delete;
  TTracker& operator=(const TTracker&) = delete;

  // A pop-up menu at a point; false when it has nothing to show.
  bool StartPopup(HMENU menu, TPoint point) {
    Begin(TRUE);
    if (!OpenLevel(menu, [&](TSize size) { return os::PlacePopupMenu(point, size, FFlags); })) return false;
    FCapture = FLevels[0].Window;
    return true;
  }

  // The menu bar of a window, from a press on one of its items.
  bool StartBar(HWND wnd, TPoint point) {
    FBarWindow = wnd;
    FBarMenu = GetMenu(wnd);
    FBarItems = os::MenuBarItems(wnd);
    const int item = BarItemAt(point);
    if (item < 0) return false;
    Begin(FALSE);
    if (FNotify) SendMessage(FOwner, WM_INITMENU, reinterpret_cast<WPARAM>(FBarMenu), 0);
    FCapture = wnd;
    OpenBarItem(item, false);
    return true;
  }

  // Runs the loop; the chosen item's identifier, or nothing.
  std::optional<UINT> Run() {
    SetCapture(FCapture);
    while (!FDone) {
      if (GetCapture() != FCapture || (FOwner && !IsWindow(FOwner))) break;
      MSG msg;
      if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (FNotify && FOwner && !FLevels.empty())
          SendMessage(FOwner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(FLevels.back().Window));
        if (!FDone && !PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) WaitMessage();
        continue;
      }
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if ((msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
          (msg.message >= WM_NCMOUSEMOVE && msg.message <= WM_NCMBUTTONDBLCLK)) {
        Mouse(msg);
      } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        Key(msg);
      } else if (msg.message == WM_TIMER && msg.hwnd == FCapture && msg.wParam == kOpenTimer) {
        KillTimer(FCapture, kOpenTimer);
        OpenPending();
      } else {
        TranslateMessage(&msg);
        DispatchMessage(&msg);
      }
    }
    return FChosen;
  }

  void Cancel() {
    FDone = true;
    if (FCapture) PostMessage(FCapture, WM_NULL, 0, 0);
  }

  const TLevel* LevelOf(HWND wnd) const {
    for (const TLevel& l : FLevels)
      if (l.Window == wnd) return &l;
    return nullptr;
  }
  const TLevel* LevelShowing(HMENU menu) const {
    for (const TLevel& l : FLevels)
      if (l.Menu == menu) return &l;
    return nullptr;
  }
  std::vector<HWND> Windows() const {
    std::vector<HWND> windows;
    for (const TLevel& l : FLevels) windows.push_back(l.Window);
    return windows;
  }

 private:
  void Begin(BOOL popup) {
    FNotify = !(FFlags & TPM_NONOTIFY) && FOwner;
    if (FNotify) SendMessage(FOwner, WM_ENTERMENULOOP, popup, 0);
  }

  // ---- levels ----

  template <class F>
  bool OpenLevel(HMENU menu, F place) {
    TMenuRecord* record = os::FindMenu(menu);
    if (!record) return false;
    if (FNotify) {
      const int index = FLevels.empty() ? FBarItem : Selected(static_cast<int>(FLevels.size()) - 1);
      SendMessage(FOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(std::max(index, 0), FALSE));
      record = os::FindMenu(menu);
      if (!record) return false;
    }
    if (record->Items.empty()) return false;
    record->Selected = -1;
    TLevel level;
    level.Menu = menu;
    level.Layout = os::MeasurePopupMenu(menu);
    const TPoint at = place(level.Layout.Size);
    level.Screen = Bounds(at.X, at.Y, level.Layout.Size.cx, level.Layout.Size.cy);
    EnsureMenuClass();
    level.Window = CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kMenuClass, "", WS_POPUP, at.X, at.Y,
                                  level.Layout.Size.cx, level.Layout.Size.cy, FOwner, nullptr, nullptr, nullptr);
    if (!level.Window) return false;
    FLevels.push_back(level);
    SetWindowPos(level.Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return true;
  }

  // Closes the levels from Level on (the deeper ones first).
  void CloseFrom(int level) {
    while (static_cast<int>(FLevels.size()) > std::max(level, 0)) {
      TLevel l = FLevels.back();
      FLevels.pop_back();
      if (TMenuRecord* r = os::FindMenu(l.Menu)) r->Selected = -1;
      DestroyWindow(l.Window);
    }
    if (FPendingLevel >= static_cast<int>(FLevels.size())) FPendingLevel = -1;
  }

  int Selected(int level) const {
    TMenuRecord* r = os::FindMenu(FLevels[static_cast<size_t>(level)].Menu);
    return r ? r->Selected : -1;
  }

  TRect ItemOnScreen(int level, int item) const {
    const TLevel& l = FLevels[static_cast<size_t>(level)];
    TRect r = l.Layout.Items[static_cast<size_t>(item)];
    OffsetRect(&r, l.Screen.Left, l.Screen.Top);
    return r;
  }

  // Highlights an item of a level (-1: none); the deeper levels opened from another item close,
  // and resting on an item with a submenu starts the timer that opens it.
  void Select(int level, int item) {
    TMenuRecord* r = os::FindMenu(FLevels[static_cast<size_t>(level)].Menu);
    if (!r) return;
    if (r->Selected == item) return;
    KillTimer(FCapture, kOpenTimer);
    FPendingLevel = -1;
    CloseFrom(level + 1);
    r->Selected = item;
    InvalidateRect(FLevels[static_cast<size_t>(level)].Window, nullptr, FALSE);
    const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(level)].Menu, item);
    if (!it) return;
    if (FNotify) {
      UINT flags = MF_HILITE | (it->State & (MFS_GRAYED | MFS_CHECKED));
      if (it->SubMenu) flags |= MF_POPUP;
      SendMessage(FOwner, WM_MENUSELECT, MAKEWPARAM(static_cast<WORD>(it->SubMenu ? item : it->Id), static_cast<WORD>(flags)),
                  reinterpret_cast<LPARAM>(FLevels[static_cast<size_t>(level)].Menu));
    }
    if (OpensSubmenu(it)) {
      UINT delay = 400;
      SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
      FPendingLevel = level;
      SetTimer(FCapture, kOpenTimer, std::max<UINT>(delay, 1), nullptr);
    }
  }

  void OpenPending() {
    const int level = FPendingLevel;
    FPendingLevel = -1;
    if (level >= 0 && level < static_cast<int>(FLevels.size())) OpenSubmenu(level, false);
  }

  // Opens the submenu of the selected item of a level beside it.
  void OpenSubmenu(int level, bool selectFirst) {
    KillTimer(FCapture, kOpenTimer);
    FPendingLevel = -1;
    const int item = Selected(level);
    const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(level)].Menu, item);
    if (!OpensSubmenu(it)) return;
    if (static_cast<int>(FLevels.size()) > level + 1 && FLevels[static_cast<size_t>(level) + 1].Menu == it->SubMenu) {
      if (selectFirst && Selected(level + 1) < 0) Move(level + 1, +1);
      return;
    }
    CloseFrom(level + 1);
    const TRect parent = FLevels[static_cast<size_t>(level)].Screen;
    const TRect row = ItemOnScreen(level, item);
    bool opened = OpenLevel(it->SubMenu, [&](TSize size) {
      const TRect work = os::WorkAreaAt(row.TopLeft());
      int x = parent.Right - kSubmenuOverlap;
      if (x + size.cx > work.Right) x = parent.Left - size.cx + kSubmenuOverlap;
      int y = row.Top - kSubmenuOverlap;
      if (y + size.cy > work.Bottom) y = work.Bottom - size.cy;
      return TPoint(std::clamp(x, work.Left, std::max(work.Left, work.Right - size.cx)), std::max(y, work.Top));
    });
    if (opened && selectFirst) Move(level + 1, +1);
  }

  // Moves the highlight of a level to the next (Step +1) or previous (-1) item that can be
  // chosen, wrapping round; from no highlight, Down starts at the first and Up at the last.
  void Move(int level, int step) {
    TMenuRecord* r = os::FindMenu(FLevels[static_cast<size_t>(level)].Menu);
    if (!r || r->Items.empty()) return;
    const int count = static_cast<int>(r->Items.size());
    int at = r->Selected < 0 ? (step > 0 ? -1 : count) : r->Selected;
    for (int i = 0; i < count; ++i) {
      at = ((at + step) % count + count) % count;
      if (Selectable(&r->Items[static_cast<size_t>(at)])) {
        Select(level, at);
        KillTimer(FCapture, kOpenTimer);  // the keyboard opens submenus itself
        FPendingLevel = -1;
        return;
      }
    }
  }

  void MoveTo(int level, bool last) {
    TMenuRecord* r = os::FindMenu(FLevels[static_cast<size_t>(level)].Menu);
    if (!r) return;
    Select(level, -1);
    Move(level, last ? -1 : +1);
  }

  void Choose(const TMenuItemRecord* item) {
    FChosen = item->Id;
    FDone = true;
  }

  // Acts on an item as Enter does: opens its submenu or chooses it.
  void Activate(int level, int item) {
    const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(level)].Menu, item);
    if (!Selectable(it)) return;
    if (it->SubMenu) OpenSubmenu(level, true);
    else Choose(it);
  }

  // ---- the menu bar ----

  int BarItemAt(TPoint p) const {
    for (size_t i = 0; i < FBarItems.size(); ++i)
      if (FBarItems[i].Contains(p)) return static_cast<int>(i);
    return -1;
  }

  void OpenBarItem(int item, bool selectFirst) {
    KillTimer(FCapture, kOpenTimer);
    CloseFrom(0);
    FBarItem = item;
    os::SetMenuBarPushed(FBarWindow, item);
    const TMenuItemRecord* it = ItemOf(FBarMenu, item);
    if (!OpensSubmenu(it)) return;
    const TRect cell = FBarItems[static_cast<size_t>(item)];
    bool opened = OpenLevel(it->SubMenu, [&](TSize size) {
      const TRect work = os::WorkAreaAt(cell.TopLeft());
      int y = cell.Bottom;
      if (y + size.cy > work.Bottom) y = std::max(work.Top, cell.Top - size.cy);
      return TPoint(std::clamp(cell.Left, work.Left, std::max(work.Left, work.Right - size.cx)), y);
    });
    if (opened && selectFirst) Move(0, +1);
  }

  void StepBar(int step) {
    const int count = static_cast<int>(FBarItems.size());
    int at = FBarItem;
    for (int i = 0; i < count; ++i) {
      at = ((at + step) % count + count) % count;
      if (Selectable(ItemOf(FBarMenu, at))) {
        OpenBarItem(at, true);
        return;
      }
    }
  }

  // ---- input ----

  THit HitTest(TPoint p) const {
    THit hit;
    for (int level = static_cast<int>(FLevels.size()) - 1; level >= 0; --level) {
      const TLevel& l = FLevels[static_cast<size_t>(level)];
      if (!l.Screen.Contains(p)) continue;
      hit.Level = level;
      for (size_t i = 0; i < l.Layout.Items.size(); ++i)
        if (ItemOnScreen(level, static_cast<int>(i)).Contains(p)) hit.Item = static_cast<int>(i);
      return hit;
    }
    if (FBarWindow) hit.BarItem = BarItemAt(p);
    return hit;
  }

  void Mouse(const MSG& msg) {
    const THit hit = HitTest(msg.pt);
    const UINT m = msg.message >= WM_MOUSEFIRST ? msg.message : msg.message - WM_NCMOUSEMOVE + WM_MOUSEMOVE;
    const bool down = m == WM_LBUTTONDOWN || m == WM_RBUTTONDOWN || m == WM_MBUTTONDOWN || m == WM_LBUTTONDBLCLK ||
                      m == WM_RBUTTONDBLCLK || m == WM_MBUTTONDBLCLK;
    const bool up = m == WM_LBUTTONUP || (m == WM_RBUTTONUP && (FFlags & TPM_RIGHTBUTTON));
    if (m == WM_MOUSEMOVE) {
      if (hit.Level >= 0) {
        const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(hit.Level)].Menu, hit.Item);
        if (it && !it->Separator()) Select(hit.Level, hit.Item);
        else if (hit.Level + 1 == static_cast<int>(FLevels.size())) Select(hit.Level, -1);
      } else if (hit.BarItem >= 0 && hit.BarItem != FBarItem) {
        OpenBarItem(hit.BarItem, false);
      } else if (hit.BarItem < 0 && !FLevels.empty()) {
        // Off the menus: the deepest level keeps no highlight.
        Select(static_cast<int>(FLevels.size()) - 1, -1);
      }
      return;
    }
    if (down) {
      if (hit.Level >= 0) {
        const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(hit.Level)].Menu, hit.Item);
        if (it && !it->Separator()) {
          Select(hit.Level, hit.Item);
          if (OpensSubmenu(it)) OpenSubmenu(hit.Level, false);
        }
      } else if (hit.BarItem >= 0) {
        if (hit.BarItem == FBarItem && !FLevels.empty()) FDone = true;
        else OpenBarItem(hit.BarItem, false);
      } else {
        FDone = true;  // a press outside every menu dismisses them
      }
      return;
    }
    if (up) {
      if (hit.Level >= 0) {
        const TMenuItemRecord* it = ItemOf(FLevels[static_cast<size_t>(hit.Level)].Menu, hit.Item);
        if (Selectable(it) && !it->SubMenu) Choose(it);
      } else if (hit.BarItem >= 0 && hit.BarItem == FBarItem) {
        const TMenuItemRecord* it = ItemOf(FBarMenu, hit.BarItem);
        if (Selectable(it) && !it->SubMenu) Choose(it);
      }
    }
  }

  void Key(MSG& msg) {
    if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
      AccessKey(static_cast<char32_t>(msg.wParam));
      return;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return;
    const int deepest = static_cast<int>(FLevels.size()) - 1;
    switch (msg.wParam) {
      case VK_MENU:
      case VK_LMENU:
      case VK_RMENU:
      case VK_F10:
        FDone = true;
        return;
      case VK_ESCAPE:
        if (deepest > 0) CloseFrom(deepest);
        else FDone = true;
        return;
      case VK_UP:
      case VK_DOWN:
        if (deepest >= 0) Move(deepest, msg.wParam == VK_DOWN ? +1 : -1);
        return;
      case VK_HOME:
      case VK_END:
        if (deepest >= 0) MoveTo(deepest, msg.wParam == VK_END);
        return;
      case VK_RIGHT:
        if (deepest >= 0 && OpensSubmenu(ItemOf(FLevels[static_cast<size_t>(deepest)].Menu, Selected(deepest))))
          OpenSubmenu(deepest, true);
        else if (FBarWindow)
          StepBar(+1);
        return;
      case VK_LEFT:
        if (deepest > 0) CloseFrom(deepest);
        else if (FBarWindow) StepBar(-1);
        return;
      case VK_RETURN:
        if (deepest >= 0) {
          Activate(deepest, Selected(deepest));
        } else if (FBarWindow) {
          const TMenuItemRecord* it = ItemOf(FBarMenu, FBarItem);
          if (Selectable(it) && !it->SubMenu) Choose(it);
        }
        return;
      default:
        TranslateMessage(&msg);  // letters come back as WM_CHAR
        return;
    }
  }

  // Chooses (or, with several, moves among) the items of the deepest level whose access key
  // is Key; beeps when none has it.
  void AccessKey(char32_t key) {
    if (FLevels.empty() || key < 0x20) return;
    const int level = static_cast<int>(FLevels.size()) - 1;
    TMenuRecord* r = os::FindMenu(FLevels[static_cast<size_t>(level)].Menu);
    if (!r) return;
    key = rtl::UpperCodePoint(key);
    std::vector<int> matches;
    for (size_t i = 0; i < r->Items.size(); ++i)
      if (!r->Items[i].Separator() && os::AccessKeyOf(r->Items[i].Caption()) == key)
        matches.push_back(static_cast<int>(i));
    if (matches.empty()) {
      MessageBeep(0);
      return;
    }
    if (matches.size() == 1) {
      Select(level, matches[0]);
      Activate(level, matches[0]);
      return;
    }
    auto next = std::upper_bound(matches.begin(), matches.end(), r->Selected);
    Select(level, next == matches.end() ? matches.front() : *next);
  }

  HWND FOwner;
  UINT FFlags;
  bool FNotify = false;
  HWND FCapture = nullptr;
  std::vector<TLevel> FLevels;
  int FPendingLevel = -1;
  bool FDone = false;
  std::optional<UINT> FChosen;
  // The menu bar being run, if any.
  HWND FBarWindow = nullptr;
  HMENU FBarMenu = nullptr;
  std::vector<TRect> FBarItems;
  int FBarItem = -1;
};

LRESULT MenuWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      if (const TLevel* level = gTracker ? gTracker->LevelOf(wnd) : nullptr)
        os::PaintPopupMenu(dc, level->Menu, level->Layout);
      EndPaint(wnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND wnd, const TRect*) {
  if (gTracker || GetMenuItemCount(menu) <= 0) return FALSE;
  std::optional<BOOL> result;
  {
    TTracker tracker(wnd, flags);
    if (tracker.StartPopup(menu, TPoint(x, y))) {
      std::optional<UINT> chosen = tracker.Run();
      result = (flags & TPM_RETURNCMD) ? (chosen ? static_cast<BOOL>(*chosen) : 0) : TRUE;
      if (chosen && wnd && !(flags & TPM_RETURNCMD)) {
        // Posted once the menu is gone, as the platform does.
        PostMessage(wnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(*chosen), 0), 0);
      }
    }
  }
  return result.value_or(FALSE);
}

BOOL EndMenu() {
  if (!gTracker) return FALSE;
  gTracker->Cancel();
  return TRUE;
}

BOOL GetMenuItemRect(HWND wnd, HMENU menu, UINT item, TRect* rect) {
  if (!rect) return FALSE;
  if (const TLevel* level = gTracker ? gTracker->LevelShowing(menu) : nullptr) {
    if (item >= level->Layout.Items.size()) return FALSE;
    *rect = level->Layout.Items[item];
    OffsetRect(rect, level->Screen.Left, level->Screen.Top);
    return TRUE;
  }
  if (wnd && GetMenu(wnd) == menu) {
    std::vector<TRect> items = os::MenuBarItems(wnd);
    if (item >= items.size()) return FALSE;
    *rect = items[item];
    return TRUE;
  }
  return FALSE;
}

namespace os {

void TrackMenuBar(HWND wnd, TPoint screen) {
  if (gTracker || !GetMenu(wnd)) return;
  std::optional<UINT> chosen;
  {
    TTracker tracker(wnd, 0);
    if (!tracker.StartBar(wnd, screen)) return;
    chosen = tracker.Run();
  }
  if (chosen) PostMessage(wnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(*chosen), 0), 0);
}

std::vector<HWND> MenuWindows() { return gTracker ? gTracker->Windows() : std::vector<HWND>{}; }

TPoint PlacePopupMenu(TPoint point, TSize size, UINT flags) {
  const TRect work = WorkAreaAt(point);
  int x = point.X, y = point.Y;
  if (flags & TPM_CENTERALIGN) x -= size.cx / 2;
  else if (flags & TPM_RIGHTALIGN) x -= size.cx;
  if (flags & TPM_VCENTERALIGN) y -= size.cy / 2;
  else if (flags & TPM_BOTTOMALIGN) y -= size.cy;
  // Past an edge the menu opens towards the other side of the point, then is pushed inside.
  if (x + size.cx > work.Right) x = point.X - size.cx;
  if (x < work.Left) x = (flags & TPM_RIGHTALIGN) ? point.X : work.Left;
  if (y + size.cy > work.Bottom) y = point.Y - size.cy;
  if (y < work.Top) y = (flags & TPM_BOTTOMALIGN) ? point.Y : work.Top;
  x = std::clamp(x, work.Left, std::max(work.Left, work.Right - size.cx));
  y = std::clamp(y, work.Top, std::max(work.Top, work.Bottom - size.cy));
  return {x, y};
}

}  // namespace os
