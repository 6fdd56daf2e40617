#include "platform/os/NonClient.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using NonClientTest = WmTest;

struct TFrameCase {
  const char* Name;
  bool TopLevel;
  DWORD Style;
  DWORD ExStyle;
  TRect Client;  // of a 200 x 100 window, in window coordinates
};

TEST_F(NonClientTest, TheClientAreaIsWhatTheStylesFrameLeaves) {
  const TFrameCase cases[] = {
      {"plain child", false, 0, 0, TRect(0, 0, 200, 100)},
      {"border", false, WS_BORDER, 0, TRect(1, 1, 199, 99)},
      {"client edge", false, 0, WS_EX_CLIENTEDGE, TRect(2, 2, 198, 98)},
      {"border and client edge", false, WS_BORDER, WS_EX_CLIENTEDGE, TRect(3, 3, 197, 97)},
      {"a child's caption style is a dialog frame", false, WS_CAPTION, 0, TRect(3, 3, 197, 97)},
      {"sizing border", false, WS_THICKFRAME, 0, TRect(4, 4, 196, 96)},
      {"static edge", false, 0, WS_EX_STATICEDGE, TRect(1, 1, 199, 99)},
      {"vertical bar", false, WS_VSCROLL, 0, TRect(0, 0, 183, 100)},
      {"horizontal bar", false, WS_HSCROLL, 0, TRect(0, 0, 200, 83)},
      {"both bars in a client edge", false, WS_VSCROLL | WS_HSCROLL, WS_EX_CLIENTEDGE, TRect(2, 2, 181, 81)},
      {"bar on the left", false, WS_VSCROLL, WS_EX_LEFTSCROLLBAR, TRect(17, 0, 200, 100)},
      {"captioned top-level", true, WS_CAPTION, 0, TRect(3, 22, 197, 97)},
      {"overlapped top-level", true, WS_OVERLAPPEDWINDOW, 0, TRect(4, 23, 196, 96)},
      {"tool window", true, WS_CAPTION, WS_EX_TOOLWINDOW, TRect(3, 19, 197, 97)},
  };
  HWND parent = Top(WS_POPUP, Bounds(0, 0, 400, 300));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    HWND w = c.TopLevel ? Top(c.Style, Bounds(50, 60, 200, 100), c.ExStyle) : Child(parent, c.Style, Bounds(50, 60, 200, 100), c.ExStyle);
    TRect client;
    GetClientRect(w, &client);
    EXPECT_EQ(client, TRect(0, 0, c.Client.Width(), c.Client.Height()));
    TPoint origin(0, 0);
    ClientToScreen(w, &origin);
    TRect window;
    GetWindowRect(w, &window);
    EXPECT_EQ(TPoint(origin.X - window.Left, origin.Y - window.Top), c.Client.TopLeft());
    if (!(c.Style & (WS_VSCROLL | WS_HSCROLL))) {
      TRect adjusted = Bounds(0, 0, c.Client.Width(), c.Client.Height());
      AdjustWindowRectEx(&adjusted, c.Style | (c.TopLevel ? 0 : WS_CHILD), FALSE, c.ExStyle);
      EXPECT_EQ(adjusted.Width(), 200);
      EXPECT_EQ(adjusted.Height(), 100);
    }
    if (!c.TopLevel) DestroyWindow(w);
  }
}

TEST_F(NonClientTest, HitTestingAFramedChild) {
  HWND parent = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 400, 300));
  // 1 border + 2 client edge, then a vertical bar at x 180..196 and a horizontal bar at y 80..96.
  HWND w = Child(parent, WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL, Bounds(10, 10, 200, 100), WS_EX_CLIENTEDGE);
  auto hit = [&](int x, int y) { return SendMessage(w, WM_NCHITTEST, 0, MAKELPARAM(10 + x, 10 + y)); };
  EXPECT_EQ(hit(0, 50), HTBORDER);
  EXPECT_EQ(hit(2, 50), HTBORDER) << "the client edge";
  EXPECT_EQ(hit(3, 3), HTCLIENT);
  EXPECT_EQ(hit(179, 79), HTCLIENT);
  EXPECT_EQ(hit(185, 10), HTVSCROLL);
  EXPECT_EQ(hit(50, 85), HTHSCROLL);
  EXPECT_EQ(hit(185, 85), HTNOWHERE) << "the corner between the bars of a fixed window";
  EXPECT_EQ(hit(-1, 50), HTNOWHERE);

  // A window that takes a strip of its own from the client area (a drop button) finds that
  // strip answered HTNOWHERE, which it can turn into its own part.
  HWND edit = Child(parent, WS_VISIBLE, Bounds(10, 150, 100, 20), WS_EX_CLIENTEDGE);
  Handlers[edit] = [&](UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_NCCALCSIZE) return std::nullopt;
    DefWindowProc(edit, m, wp, lp);
    TRect* r = wp ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lp)->rgrc[0] : reinterpret_cast<TRect*>(lp);
    r->Right -= GetSystemMetrics(SM_CXVSCROLL);
    return 0;
  };
  SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  TRect client;
  GetClientRect(edit, &client);
  EXPECT_EQ(client.Width(), 100 - 4 - 17);
  EXPECT_EQ(SendMessage(edit, WM_NCHITTEST, 0, MAKELPARAM(10 + 90, 150 + 10)), HTNOWHERE);
  EXPECT_EQ(SendMessage(edit, WM_NCHITTEST, 0, MAKELPARAM(10 + 20, 150 + 10)), HTCLIENT);
}

TEST_F(NonClientTest, HitTestingATopLevelFrame) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  os::TFrameLayout l = os::FrameLayoutOf(top);
  auto hit = [&](TPoint p) { return SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(100 + p.X, 100 + p.Y)); };
  auto centre = [](const TRect& r) { return TPoint((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2); };
  EXPECT_EQ(hit(TPoint(150, 12)), HTCAPTION);
  EXPECT_EQ(hit(centre(l.CloseButton)), HTCLOSE);
  EXPECT_EQ(hit(centre(l.MaxButton)), HTMAXBUTTON);
  EXPECT_EQ(hit(centre(l.MinButton)), HTMINBUTTON);
  EXPECT_EQ(hit(centre(l.SysMenu)), HTSYSMENU);
  EXPECT_EQ(hit(TPoint(1, 100)), HTLEFT);
  EXPECT_EQ(hit(TPoint(298, 100)), HTRIGHT);
  EXPECT_EQ(hit(TPoint(150, 1)), HTTOP);
  EXPECT_EQ(hit(TPoint(150, 198)), HTBOTTOM);
  EXPECT_EQ(hit(TPoint(1, 1)), HTTOPLEFT);
  EXPECT_EQ(hit(TPoint(298, 198)), HTBOTTOMRIGHT);
  EXPECT_EQ(hit(TPoint(150, 100)), HTCLIENT);
}

TEST_F(NonClientTest, TheFrameIsPaintedWhenItIsInvalidOnly) {
  HWND parent = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 300, 200));
  HWND w = Child(parent, WS_VISIBLE | WS_BORDER | WS_VSCROLL, Bounds(10, 10, 120, 80), WS_EX_CLIENTEDGE);
  PaintWith(parent, RGB(0, 0, 255));
  PumpAll();
  EXPECT_EQ(Count(w, WM_NCPAINT), 1) << "a new window paints its frame once";
  // The border, then the sunken client edge (shadow, then dark shadow on the top-left).
  EXPECT_EQ(Pixel(parent, 10, 40), Sys(COLOR_WINDOWFRAME));
  EXPECT_EQ(Pixel(parent, 11, 40), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(Pixel(parent, 12, 40), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(Pixel(parent, 13, 40), Sys(COLOR_WINDOW)) << "the client area, erased with the class brush";
  EXPECT_EQ(Pixel(parent, 128, 40), Sys(COLOR_3DHIGHLIGHT)) << "the client edge's lower-right";
  EXPECT_NE(Pixel(parent, 120, 40), Sys(COLOR_WINDOW)) << "the scroll bar";
  EXPECT_EQ(Pixel(parent, 5, 5), Rgb(RGB(0, 0, 255))) << "the parent around it";

  Log.clear();
  InvalidateRect(w, nullptr, TRUE);
  PumpAll();
  EXPECT_EQ(Count(w, WM_NCPAINT), 0) << "invalidating the client area leaves the frame";
  EXPECT_EQ(Count(w, WM_ERASEBKGND), 1);
  RedrawWindow(w, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  PumpAll();
  EXPECT_EQ(Count(w, WM_NCPAINT), 1);
  EXPECT_EQ(MessagesOf(w, {WM_PAINT, WM_NCPAINT}), (std::vector<UINT>{WM_PAINT, WM_PAINT, WM_NCPAINT}))
      << "the frame is painted from within BeginPaint";
  // A frame-painting request for the client rectangle only still paints the frame (how
  // framed controls ask for their frame again).
  Log.clear();
  TRect client;
  GetClientRect(w, &client);
  RedrawWindow(w, &client, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
  PumpAll();
  EXPECT_EQ(Count(w, WM_NCPAINT), 1);
  EXPECT_EQ(Count(w, WM_ERASEBKGND), 0);
}

TEST_F(NonClientTest, DraggingTheCaptionMovesTheWindowAndTheBorderSizesIt) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  Input.Drag(TPoint(250, 110), TPoint(300, 160));
  PumpAll();
  TRect r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(150, 150, 300, 200));
  EXPECT_EQ(GetCapture(), nullptr);

  Input.Drag(TPoint(150 + 298, 150 + 198), TPoint(150 + 298 + 40, 150 + 198 + 30));
  PumpAll();
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(150, 150, 340, 230));
  // The smallest a window may be sized to.
  Input.Drag(TPoint(150 + 338, 150 + 228), TPoint(0, 0));
  PumpAll();
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(150, 150, GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)));
}

TEST_F(NonClientTest, AMoveCommandFromAPressOnTheClientAreaDragsTheWindow) {
  // The usual way to drag a caption-less window: on a press, release the capture and send
  // WM_SYSCOMMAND SC_MOVE with HTCAPTION.
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(100, 100, 200, 100));
  Handlers[top] = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m != WM_LBUTTONDOWN) return std::nullopt;
    ReleaseCapture();
    SendMessage(top, WM_SYSCOMMAND, 0xF012, 0);
    return 0;
  };
  Input.Drag(TPoint(150, 150), TPoint(130, 170), 2);
  PumpAll();
  TRect r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(80, 120, 200, 100));
}

TEST_F(NonClientTest, CaptionButtonsActWhenReleasedOverThem) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  os::TFrameLayout l = os::FrameLayoutOf(top);
  TPoint close(100 + (l.CloseButton.Left + l.CloseButton.Right) / 2, 100 + (l.CloseButton.Top + l.CloseButton.Bottom) / 2);
  TPoint min(100 + (l.MinButton.Left + l.MinButton.Right) / 2, 100 + (l.MinButton.Top + l.MinButton.Bottom) / 2);
  // Pressed over the close button but released away from it: nothing.
  Input.Drag(close, TPoint(200, 200));
  PumpAll();
  EXPECT_EQ(Count(top, WM_CLOSE), 0);
  Input.Click(min);
  PumpAll();
  EXPECT_TRUE(IsIconic(top));
  ShowWindow(top, SW_RESTORE);
  Input.Click(close);
  PumpAll();
  EXPECT_FALSE(IsWindow(top));
}

}  // namespace
