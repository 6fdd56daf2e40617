#include "platform/backends/PopupBalloons.h"

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "platform/gdi/Colors.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/Timers.h"
#include "platform/os/Window.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"

namespace backends {

namespace {

constexpr const char* kClass = "TrayBalloonPopup";
constexpr int kWidth = 280;
constexpr int kPadding = 8;
constexpr UINT kDefaultTimeoutMs = 10000;
constexpr UINT_PTR kTimer = 1;
constexpr int kGap = 4;
// The icon of kind 4 (the tray icon's own image) stands at the left of the title and text.
constexpr int kIconSize = 32;

constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;

}  // namespace

struct TPopupBalloons::TShown {
  TPopupBalloons* Owner = nullptr;
  TKey Key;
  UINT Message = 0;
  shell::TrayBalloon Balloon;
  HWND Window = nullptr;
  // A copy of the tray icon's picture for a balloon of kind 4 (the icon may change meanwhile).
  HICON Icon = nullptr;
  ~TShown() {
    if (Icon) DestroyIcon(Icon);
  }
};

namespace {

// The title's and the text's rectangles inside a balloon of the given width, right of the
// icon when it has one; the height of the balloon's content.
int Layout(HDC dc, const shell::TrayBalloon& b, bool icon, int width, TRect* title, TRect* text) {
  const int left = kPadding + (icon ? kIconSize + kPadding : 0);
  *title = TRect(left, kPadding, width - kPadding, kPadding);
  if (!b.title.empty()) DrawText(dc, b.title, title, kTextFormat | DT_CALCRECT);
  title->Right = width - kPadding;
  *text = TRect(left, title->Bottom + (b.title.empty() ? 0 : kGap), width - kPadding, 0);
  text->Bottom = text->Top;
  DrawText(dc, b.text, text, kTextFormat | DT_CALCRECT);
  text->Right = width - kPadding;
  return std::max(text->Bottom, icon ? kPadding + kIconSize : 0);
}

LRESULT BalloonProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace

HWND CreateTrayPopup(const char* className, TWndProcFunc proc, const std::string& title) {
  static std::set<std::string> registered;
  if (registered.insert(className).second) {
    WNDCLASS c;
    c.lpszClassName = className;
    c.lpfnWndProc = MakeWndProc(std::move(proc));
    c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_INFOBK + 1));
    RegisterClass(c);
  }
  return CreateWindowEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, className, title, WS_POPUP | WS_BORDER, 0,
                        0, 1, 1, nullptr, nullptr, nullptr, nullptr);
}

TPopupBalloons::TPopupBalloons(shell::TrayHost& inner, TIconRect iconRect) : FInner(inner), FIconRect(std::move(iconRect)) {}

TPopupBalloons::~TPopupBalloons() {
  for (auto& [key, shown] : FShown) {
    SetWindowLongPtr(shown->Window, GWLP_USERDATA, 0);
    DestroyWindow(shown->Window);
  }
}

void TPopupBalloons::IconChanged(const shell::TrayIcon& icon) { FInner.IconChanged(icon); }

void TPopupBalloons::IconRemoved(const shell::TrayIcon& icon) {
  FInner.IconRemoved(icon);
  Close({icon.wnd, icon.id}, NIN_BALLOONHIDE);
}

void TPopupBalloons::BalloonHidden(const shell::TrayIcon& icon) {
  FInner.BalloonHidden(icon);
  Close({icon.wnd, icon.id}, NIN_BALLOONHIDE);
}

void TPopupBalloons::BalloonShown(const shell::TrayIcon& icon, const shell::TrayBalloon& balloon) {
  FInner.BalloonShown(icon, balloon);
  const TKey key{icon.wnd, icon.id};
  Close(key, 0);
  auto shown = std::make_unique<TShown>();
  shown->Owner = this;
  shown->Key = key;
  shown->Message = icon.callbackMessage;
  shown->Balloon = balloon;
  if ((balloon.infoFlags & 0x0F) == NIIF_USER && icon.icon) shown->Icon = CopyIcon(icon.icon);
  HWND wnd = CreateTrayPopup(kClass, BalloonProc, balloon.title);
  if (!wnd) return;
  shown->Window = wnd;
  SetWindowLongPtr(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shown.get()));
  // Tall enough for the wrapped title and text.
  TRect title, text;
  HDC dc = GetDC(wnd);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  const int content = Layout(dc, balloon, shown->Icon != nullptr, kWidth - 2, &title, &text);
  SelectObject(dc, old);
  ReleaseDC(wnd, dc);
  const int height = content + kPadding + 2;
  TRect at = PopupPlacement(FIconRect ? FIconRect(key.first, key.second) : std::nullopt, kWidth, height);
  SetWindowPos(wnd, HWND_TOPMOST, at.Left, at.Top, kWidth, height, SWP_NOACTIVATE);
  SetTimer(wnd, kTimer, balloon.timeoutMs ? balloon.timeoutMs : kDefaultTimeoutMs, nullptr);
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  FShown[key] = std::move(shown);
  if (icon.callbackMessage) PostMessage(icon.wnd, icon.callbackMessage, icon.id, static_cast<LPARAM>(NIN_BALLOONSHOW));
}

HWND TPopupBalloons::BalloonWindow(HWND wnd, UINT_PTR id) const {
  auto it = FShown.find({wnd, id});
  return it == FShown.end() ? nullptr : it->second->Window;
}

void TPopupBalloons::Close(const TKey& key, UINT notice) {
  auto it = FShown.find(key);
  if (it == FShown.end()) return;
  std::unique_ptr<TShown> shown = std::move(it->second);
  FShown.erase(it);
  SetWindowLongPtr(shown->Window, GWLP_USERDATA, 0);
  DestroyWindow(shown->Window);
  if (notice && shown->Message) PostMessage(key.first, shown->Message, key.second, static_cast<LPARAM>(notice));
}

TRect PopupPlacement(const std::optional<TRect>& icon, int width, int height) {
  TPoint anchor = icon ? TPoint((icon->Left + icon->Right) / 2, icon->Top) : TPoint(0, 0);
  TRect work = os::WorkAreaAt(icon ? anchor : TPoint(0, 0));
  TPoint at(work.Right - width - kGap, work.Bottom - height - kGap);
  if (icon) {
    at.X = anchor.X - width / 2;
    const bool lower = icon->Top > (work.Top + work.Bottom) / 2;
    at.Y = lower ? icon->Top - height - kGap : icon->Bottom + kGap;
  }
  at.X = std::clamp(at.X, work.Left, std::max(work.Left, work.Right - width));
  at.Y = std::clamp(at.Y, work.Top, std::max(work.Top, work.Bottom - height));
  return TRect(at.X, at.Y, at.X + width, at.Y + height);
}

namespace {

LRESULT BalloonProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* shown = reinterpret_cast<TPopupBalloons::TShown*>(GetWindowLongPtr(wnd, GWLP_USERDATA));
  if (!shown) return DefWindowProc(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONUP:
      shown->Owner->Close(shown->Key, NIN_BALLOONUSERCLICK);
      return 0;
    case WM_TIMER:
      if (wParam == kTimer) shown->Owner->Close(shown->Key, NIN_BALLOONTIMEOUT);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      TRect client;
      GetClientRect(wnd, &client);
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
      TRect title, text;
      Layout(dc, shown->Balloon, shown->Icon != nullptr, client.Right, &title, &text);
      if (shown->Icon) DrawIconEx(dc, kPadding, kPadding, shown->Icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
      if (!shown->Balloon.title.empty()) {
        DrawText(dc, shown->Balloon.title, &title, kTextFormat);
        // The title stands out by a second pass one pixel to the right.
        OffsetRect(&title, 1, 0);
        DrawText(dc, shown->Balloon.title, &title, kTextFormat);
      }
      DrawText(dc, shown->Balloon.text, &text, kTextFormat);
      SelectObject(dc, old);
      EndPaint(wnd, &ps);
      return 0;
    }
    default:
      return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

}  // namespace backends
