#include "platform/backends/TrayTips.h"

#include <algorithm>

#include "platform/backends/PopupBalloons.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
#include "platform/os/Painting.h"
#include "platform/os/Timers.h"
#include "platform/os/Window.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"

namespace backends {

namespace {

constexpr const char* kClass = "TrayTipPopup";
constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kHideTimer = 2;
constexpr int kPaddingX = 4;
constexpr int kPaddingY = 2;
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX;

LRESULT TipProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace

struct TTrayTips::TState {
  HWND Window = nullptr;
  std::string Tip;
  std::optional<TRect> IconRect;
  bool Showing = false;

  void Show() {
    KillTimer(Window, kShowTimer);
    // One line of text in the padding, with the one-pixel border around it.
    TRect text(0, 0, 0, 0);
    HDC dc = GetDC(Window);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawText(dc, Tip, &text, kTextFormat | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(Window, dc);
    const int width = text.Width() + 2 * kPaddingX + 2, height = text.Height() + 2 * kPaddingY + 2;
    const TRect at = PopupPlacement(IconRect, width, height);
    SetWindowPos(Window, HWND_TOPMOST, at.Left, at.Top, width, height, SWP_NOACTIVATE);
    InvalidateRect(Window, nullptr, TRUE);
    ShowWindow(Window, SW_SHOWNOACTIVATE);
    Showing = true;
    SetTimer(Window, kHideTimer, kShowForMs, nullptr);
  }

  void Hide() {
    KillTimer(Window, kShowTimer);
    KillTimer(Window, kHideTimer);
    if (Showing) ShowWindow(Window, SW_HIDE);
    Showing = false;
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Window, &ps);
    TRect client;
    GetClientRect(Window, &client);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    TRect text(client.Left + kPaddingX, client.Top + kPaddingY, client.Right - kPaddingX, client.Bottom - kPaddingY);
    DrawText(dc, Tip, &text, kTextFormat);
    SelectObject(dc, old);
    EndPaint(Window, &ps);
  }
};

namespace {

LRESULT TipProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<TTrayTips::TState*>(GetWindowLongPtr(wnd, GWLP_USERDATA));
  if (!state) return DefWindowProc(wnd, msg, wParam, lParam);
  switch (msg) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      state->Hide();
      return 0;
    case WM_TIMER:
      if (wParam == kShowTimer) state->Show();
      else if (wParam == kHideTimer) state->Hide();
      return 0;
    case WM_PAINT:
      state->Paint();
      return 0;
    default:
      return DefWindowProc(wnd, msg, wParam, lParam);
  }
}

}  // namespace

TTrayTips::TTrayTips() : FState(std::make_unique<TState>()) {
  FState->Window = CreateTrayPopup(kClass, TipProc, "");
  if (FState->Window) SetWindowLongPtr(FState->Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FState.get()));
}

TTrayTips::~TTrayTips() {
  if (FState->Window) {
    SetWindowLongPtr(FState->Window, GWLP_USERDATA, 0);
    DestroyWindow(FState->Window);
  }
}

void TTrayTips::Enter(const std::string& tip, const std::optional<TRect>& iconRect) {
  if (!FState->Window) return;
  FState->Hide();
  FState->Tip = tip;
  FState->IconRect = iconRect;
  if (!tip.empty()) SetTimer(FState->Window, kShowTimer, kShowDelayMs, nullptr);
}

void TTrayTips::Leave() {
  if (FState->Window) FState->Hide();
}

HWND TTrayTips::Window() const { return FState->Showing ? FState->Window : nullptr; }

}  // namespace backends
