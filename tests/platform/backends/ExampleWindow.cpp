#include "ExampleWindow.h"

#include "platform/gdi/Colors.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Objects.h"
#include "platform/gdi/Text.h"
#include "platform/os/Focus.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/Window.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"

namespace test {

namespace {

constexpr const char* kFormClass = "ExampleForm";
constexpr const char* kPartClass = "ExamplePart";

TExampleWindow* OwnerOf(HWND wnd) {
  HWND form = GetAncestor(wnd, GA_ROOT);
  return reinterpret_cast<TExampleWindow*>(GetWindowLongPtr(form, GWLP_USERDATA));
}

// A part paints its colour (kept in its user data) and its caption text.
LRESULT PartProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TExampleWindow* owner = OwnerOf(wnd);
  if (owner && wnd == owner->Button &&
      (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_KEYDOWN || msg == WM_CHAR || msg == WM_MOUSEWHEEL))
    owner->ButtonMessages.push_back({msg, wParam});
  if (msg == WM_LBUTTONDOWN && owner && wnd == owner->Button) SetFocus(wnd);
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    TRect r;
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(wnd, GWLP_USERDATA)));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SetBkMode(dc, TRANSPARENT);
    std::string text = GetWindowText(wnd);
    InflateRect(&r, -4, -2);
    DrawText(dc, text, &r, DT_LEFT | DT_TOP | DT_SINGLELINE);
    EndPaint(wnd, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;
  return DefWindowProc(wnd, msg, wParam, lParam);
}

LRESULT FormProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SETTINGCHANGE)
    if (TExampleWindow* owner = OwnerOf(wnd)) owner->SettingChanges.push_back(wParam);
  if (msg == WM_CLOSE) {
    if (TExampleWindow* owner = OwnerOf(wnd)) ++owner->CloseRequests;
    return 0;  // the test decides when the form goes
  }
  return DefWindowProc(wnd, msg, wParam, lParam);
}

void RegisterClasses() {
  static const bool done = [] {
    WNDCLASS form;
    form.lpszClassName = kFormClass;
    form.lpfnWndProc = MakeWndProc(FormProc);
    form.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BTNFACE + 1));
    RegisterClass(form);
    WNDCLASS part;
    part.lpszClassName = kPartClass;
    part.lpfnWndProc = MakeWndProc(PartProc);
    RegisterClass(part);
    return true;
  }();
  (void)done;
}

HWND Part(HWND parent, const std::string& text, COLORREF color, DWORD style, DWORD ex, TRect r) {
  HWND wnd = CreateWindowEx(ex, kPartClass, text, WS_CHILD | WS_VISIBLE | style, r.Left, r.Top, r.Width(), r.Height(),
                            parent, nullptr, nullptr, nullptr);
  SetWindowLongPtr(wnd, GWLP_USERDATA, static_cast<LONG_PTR>(color));
  return wnd;
}

}  // namespace

TExampleWindow::TExampleWindow(int x, int y) {
  RegisterClasses();
  Form = CreateWindowEx(0, kFormClass, "Example — пример", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, x, y, 320, 240, nullptr,
                        nullptr, nullptr, nullptr);
  SetWindowLongPtr(Form, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  TRect client;
  GetClientRect(Form, &client);
  Menu = Part(Form, "File   Edit   Help", RGB(240, 240, 240), 0, 0, TRect(0, 0, client.Right, 20));
  const int middle = client.Right / 2;
  LeftPanel = Part(Form, "Tasks", RGB(200, 220, 255), WS_CLIPCHILDREN, WS_EX_CLIENTEDGE, TRect(4, 24, middle - 2, client.Bottom - 4));
  RightPanel = Part(Form, "Music", RGB(255, 230, 200), WS_CLIPCHILDREN | WS_BORDER, 0,
                    TRect(middle + 2, 24, client.Right - 4, client.Bottom - 4));
  Button = Part(LeftPanel, "Play", RGB(40, 160, 60), WS_BORDER, 0, TRect(10, 30, 90, 60));
  List = Part(RightPanel, "Track 1", RGB(255, 255, 255), WS_VSCROLL, WS_EX_CLIENTEDGE, TRect(6, 24, 140, 150));
  SCROLLINFO info;
  info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  info.nMax = 99;
  info.nPage = 20;
  info.nPos = 30;
  SetScrollInfo(List, SB_VERT, &info, TRUE);
}

TExampleWindow::~TExampleWindow() { DestroyWindow(Form); }

std::vector<WPARAM> TExampleWindow::Received(UINT msg) const {
  std::vector<WPARAM> r;
  for (const TReceived& m : ButtonMessages)
    if (m.Msg == msg) r.push_back(m.WParam);
  return r;
}

}  // namespace test
