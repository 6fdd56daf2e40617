#include "platform/backends/HeadlessPresenter.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Painting.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

// Windows that paint their client area in the colour given as their creation parameter.
class HeadlessPresenterTest : public test::HeadlessTest {
 protected:
  static void SetUpTestSuite() {
    WNDCLASS wc;
    wc.lpszClassName = "HeadlessColour";
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_CREATE) SetWindowLongPtr(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCT*>(lp)->lpCreateParams));
      if (m == WM_ERASEBKGND) return 1;
      if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtr(w, GWLP_USERDATA)));
        TRect r;
        GetClientRect(w, &r);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(w, &ps);
        return 0;
      }
      return DefWindowProc(w, m, wp, lp);
    });
    RegisterClass(wc);
  }
  HWND Make(HWND parent, DWORD style, TRect r, COLORREF color, DWORD ex = 0) {
    return CreateWindowEx(ex, "HeadlessColour", "w", style, r.Left, r.Top, r.Width(), r.Height(), parent, nullptr,
                          nullptr, reinterpret_cast<void*>(static_cast<uintptr_t>(color)));
  }
};

TEST_F(HeadlessPresenterTest, KeepsWhatTheScreenShows) {
  auto& p = App.Presenter();
  HWND w = Make(nullptr, WS_POPUP, Bounds(10, 20, 100, 50), RGB(255, 0, 0));
  EXPECT_FALSE(p.IsShown(w));
  ShowWindow(w, SW_SHOW);
  EXPECT_TRUE(p.IsShown(w));
  App.ProcessMessages();
  EXPECT_GE(p.PresentCount(w), 1) << "painted pixels were shown";
  MoveWindow(w, 30, 40, 100, 50, TRUE);
  EXPECT_EQ(p.PlaceOf(w), Bounds(30, 40, 100, 50));
  test::TInputDriver input;
  input.MoveTo(w);
  App.ProcessMessages();
  EXPECT_EQ(os::StandardCursorId(p.Cursor()), 32649);
  SetCapture(w);
  EXPECT_EQ(p.Capture(), w);
  ReleaseCapture();
  MessageBeep(MB_ICONHAND);
  EXPECT_EQ(p.Beeps(), std::vector<UINT>{MB_ICONHAND});
  ShowWindow(w, SW_HIDE);
  EXPECT_FALSE(p.IsShown(w));
  DestroyWindow(w);
}

TEST_F(HeadlessPresenterTest, SnapshotsPaintWhatIsDueAndCutChildrenFromTheirWindow) {
  auto& p = App.Presenter();
  HWND top = Make(nullptr, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 60, 40), RGB(0, 0, 255));
  HWND child = Make(top, WS_CHILD | WS_VISIBLE | WS_BORDER, Bounds(10, 10, 20, 10), RGB(0, 255, 0));
  // Nothing pumped: the snapshot paints first.
  gdi::TSurface shot = p.Snapshot(child);
  ASSERT_EQ(shot.Width(), 20);
  ASSERT_EQ(shot.Height(), 10);
  EXPECT_EQ(shot.Get(0, 0), gdi::PixelOf(GetSysColor(COLOR_WINDOWFRAME))) << "the frame is part of it";
  EXPECT_EQ(shot.Get(5, 5), gdi::PixelOf(RGB(0, 255, 0)));
  std::vector<uint8_t> png = p.SnapshotPng(top);
  gdi::TImage decoded = gdi::DecodePng(png.data(), png.size());
  ASSERT_EQ(decoded.Width, 60);
  auto at = [&](int x, int y) { return decoded.Pixels[static_cast<size_t>(y) * decoded.Width + x]; };
  EXPECT_EQ(at(2, 2), gdi::PixelOf(RGB(0, 0, 255)));
  EXPECT_EQ(at(15, 15), gdi::PixelOf(RGB(0, 255, 0)));
  DestroyWindow(top);
  EXPECT_EQ(p.Snapshot(child).Width(), 0);
}

TEST_F(HeadlessPresenterTest, TheScreenSnapshotStacksTheShownWindows) {
  auto& p = App.Presenter();
  HWND low = Make(nullptr, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50), RGB(255, 0, 0));
  HWND high = Make(nullptr, WS_POPUP | WS_VISIBLE, Bounds(25, 25, 50, 50), RGB(0, 255, 0));
  HWND hidden = Make(nullptr, WS_POPUP, Bounds(0, 0, 100, 100), RGB(0, 0, 0));
  gdi::TSurface screen = p.ScreenSnapshot();
  EXPECT_EQ(screen.Width(), 1280);
  EXPECT_EQ(screen.Get(10, 10), gdi::PixelOf(RGB(255, 0, 0)));
  EXPECT_EQ(screen.Get(30, 30), gdi::PixelOf(RGB(0, 255, 0)));
  EXPECT_EQ(screen.Get(90, 90), gdi::PixelOf(GetSysColor(COLOR_DESKTOP)));
  SetActiveWindow(low);
  EXPECT_EQ(p.ScreenSnapshot().Get(30, 30), gdi::PixelOf(RGB(255, 0, 0))) << "activation raised it";
  DestroyWindow(low);
  DestroyWindow(high);
  DestroyWindow(hidden);
}

TEST_F(HeadlessPresenterTest, ScriptedInputPlaysOutOnTheVirtualClock) {
  HWND w = Make(nullptr, WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100), RGB(0, 0, 0));
  std::vector<std::pair<UINT, int64_t>> seen;
  WNDPROC previous = GetWindowProc(w);
  SetWindowProc(w, MakeWndProc([&](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONUP) seen.push_back({m, App.ElapsedMs()});
    return CallWindowProc(previous, h, m, wp, lp);
  }));
  test::TInputDriver input;
  input.MoveTo(w);
  input.Press();
  input.Wait(700);
  input.Release();
  App.RunFor(1000);
  EXPECT_EQ(seen, (std::vector<std::pair<UINT, int64_t>>{{WM_LBUTTONDOWN, 0}, {WM_LBUTTONUP, 700}}));
  EXPECT_EQ(App.ElapsedMs(), 1000);
  SetWindowProc(w, previous);
  DestroyWindow(w);
}

}  // namespace
