#include "platform/os/NonClient.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using WindowPosTest = WmTest;
using TSeq = std::vector<std::pair<HWND, UINT>>;

TEST_F(WindowPosTest, CreatingShowingMovingAndDestroyingSendTheirMessagesInOrder) {
  const std::vector<UINT> watched = {WM_NCCREATE,    WM_NCCALCSIZE, WM_CREATE,      WM_SIZE,        WM_MOVE,
                                     WM_SHOWWINDOW,  WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_ACTIVATEAPP,
                                     WM_NCACTIVATE,  WM_ACTIVATE,   WM_SETFOCUS,    WM_KILLFOCUS,   WM_PARENTNOTIFY,
                                     WM_DESTROY,     WM_NCDESTROY};
  HWND top = Top(WS_OVERLAPPEDWINDOW, Bounds(100, 100, 300, 200));
  EXPECT_EQ(Sequence(watched), (TSeq{{top, WM_NCCREATE}, {top, WM_NCCALCSIZE}, {top, WM_CREATE}, {top, WM_SIZE}, {top, WM_MOVE}}));
  Log.clear();
  ShowWindow(top, SW_SHOW);
  EXPECT_EQ(Sequence(watched), (TSeq{{top, WM_SHOWWINDOW}, {top, WM_WINDOWPOSCHANGING}, {top, WM_WINDOWPOSCHANGED},
                                     {top, WM_ACTIVATEAPP}, {top, WM_NCACTIVATE}, {top, WM_ACTIVATE}, {top, WM_SETFOCUS}}));
  Log.clear();
  HWND child = Child(top, WS_VISIBLE, Bounds(5, 6, 50, 40));
  EXPECT_EQ(Sequence(watched),
            (TSeq{{child, WM_NCCREATE}, {child, WM_NCCALCSIZE}, {child, WM_CREATE}, {child, WM_SIZE}, {child, WM_MOVE},
                  {top, WM_PARENTNOTIFY}, {child, WM_SHOWWINDOW}, {child, WM_WINDOWPOSCHANGING},
                  {child, WM_WINDOWPOSCHANGED}}));
  EXPECT_EQ(LOWORD(Last(top, WM_PARENTNOTIFY)->WParam), WM_CREATE);

  Log.clear();
  SetWindowPos(child, nullptr, 10, 12, 60, 30, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Sequence(watched), (TSeq{{child, WM_WINDOWPOSCHANGING}, {child, WM_NCCALCSIZE}, {child, WM_WINDOWPOSCHANGED},
                                     {child, WM_MOVE}, {child, WM_SIZE}}));
  EXPECT_EQ(LParamToPoint(Last(child, WM_MOVE)->LParam), TPoint(10, 12));
  EXPECT_EQ(Last(child, WM_SIZE)->LParam, MAKELPARAM(60, 30));
  Log.clear();
  MoveWindow(child, 10, 12, 60, 30, TRUE);
  EXPECT_EQ(Sequence(watched), (TSeq{{child, WM_WINDOWPOSCHANGING}})) << "nothing changed: no WM_WINDOWPOSCHANGED";

  Log.clear();
  DestroyWindow(top);
  EXPECT_EQ(Sequence(watched),
            (TSeq{{top, WM_WINDOWPOSCHANGING}, {top, WM_WINDOWPOSCHANGED}, {top, WM_NCACTIVATE}, {top, WM_ACTIVATE},
                  {top, WM_ACTIVATEAPP}, {top, WM_KILLFOCUS}, {top, WM_DESTROY}, {child, WM_DESTROY},
                  {child, WM_NCDESTROY}, {top, WM_NCDESTROY}}));
  EXPECT_EQ(GetActiveWindow(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(WindowPosTest, ChildRectanglesAreRelativeToTheParentsClientArea) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 50, 400, 300));
  os::TFrameLayout frame = os::FrameLayoutOf(top);
  HWND child = Child(top, WS_VISIBLE | WS_BORDER, Bounds(20, 30, 100, 60));
  TRect r;
  GetWindowRect(child, &r);
  const TPoint client(100 + frame.Client.Left, 50 + frame.Client.Top);
  EXPECT_EQ(r, Bounds(client.X + 20, client.Y + 30, 100, 60));
  GetClientRect(child, &r);
  EXPECT_EQ(r, TRect(0, 0, 98, 58)) << "a one-pixel border on each side";
  TPoint p(0, 0);
  ClientToScreen(child, &p);
  EXPECT_EQ(p, TPoint(client.X + 21, client.Y + 31));
  ScreenToClient(top, &p);
  EXPECT_EQ(p, TPoint(21, 31));
  TPoint pts[2] = {{0, 0}, {5, 5}};
  int offset = MapWindowPoints(child, top, pts, 2);
  EXPECT_EQ(pts[1], TPoint(26, 36));
  EXPECT_EQ(static_cast<int16_t>(LOWORD(offset)), 21);
  EXPECT_EQ(static_cast<int16_t>(HIWORD(offset)), 31);
  TRect mapped(0, 0, 10, 10);
  MapWindowPoints(child, nullptr, &mapped);
  EXPECT_EQ(mapped.TopLeft(), TPoint(client.X + 21, client.Y + 31));
}

TEST_F(WindowPosTest, FindingTheWindowAtAPoint) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND below = Child(top, WS_VISIBLE, Bounds(10, 10, 100, 100));
  HWND above = Child(top, WS_VISIBLE, Bounds(50, 50, 100, 100));  // created later: on top
  HWND hidden = Child(top, 0, Bounds(150, 150, 40, 40));
  HWND disabled = Child(top, WS_VISIBLE | WS_DISABLED, Bounds(150, 10, 40, 40));
  EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), above);
  EXPECT_EQ(WindowFromPoint(TPoint(20, 20)), below);
  EXPECT_EQ(WindowFromPoint(TPoint(160, 160)), top) << "hidden windows are not found";
  EXPECT_EQ(WindowFromPoint(TPoint(160, 20)), top) << "a disabled child lets the point through to its parent";
  EXPECT_EQ(WindowFromPoint(TPoint(500, 500)), nullptr);
  // A window answering HTTRANSPARENT lets the point through to the sibling below it.
  Handlers[above] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_NCHITTEST) return HTTRANSPARENT;
    return std::nullopt;
  };
  EXPECT_EQ(WindowFromPoint(TPoint(60, 60)), below);
  EXPECT_EQ(WindowFromPoint(TPoint(140, 140)), top);

  EXPECT_EQ(ChildWindowFromPoint(top, TPoint(160, 160)), hidden) << "includes hidden children";
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(160, 160), CWP_SKIPINVISIBLE), top);
  EXPECT_EQ(ChildWindowFromPointEx(top, TPoint(160, 20), CWP_SKIPDISABLED), top);
  EXPECT_EQ(ChildWindowFromPoint(top, TPoint(160, 20)), disabled);
  EXPECT_EQ(ChildWindowFromPoint(top, TPoint(300, 20)), nullptr) << "outside the client area";
}

TEST_F(WindowPosTest, ZOrderOfChildrenAndOfTheTopmostBand) {
  HWND top = Top(WS_POPUP, Bounds(0, 0, 100, 100));
  HWND a = Child(top, 0, Bounds(0, 0, 10, 10));
  HWND b = Child(top, 0, Bounds(0, 0, 10, 10));
  HWND c = Child(top, 0, Bounds(0, 0, 10, 10));
  auto order = [&] {
    std::vector<HWND> r;
    for (HWND h = GetWindow(top, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) r.push_back(h);
    return r;
  };
  EXPECT_EQ(order(), (std::vector<HWND>{c, b, a}));
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{b, a, c}));
  SetWindowPos(b, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(order(), (std::vector<HWND>{a, b, c}));
  BringWindowToTop(c);
  EXPECT_EQ(order(), (std::vector<HWND>{c, a, b}));

  HWND normal = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50));
  HWND pinned = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50), WS_EX_TOPMOST);
  HWND later = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 50, 50));
  EXPECT_EQ(GetTopWindow(nullptr), pinned) << "a topmost window stays above windows shown after it";
  EXPECT_EQ(WindowFromPoint(TPoint(10, 10)), pinned);
  SetWindowPos(pinned, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_FALSE(GetWindowLongPtr(pinned, GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(normal, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  EXPECT_EQ(WindowFromPoint(TPoint(10, 10)), normal);
  (void)later;
}

TEST_F(WindowPosTest, SetParentMovesAWindowBetweenParentsAndOutToTheScreen) {
  HWND first = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND second = Top(WS_POPUP | WS_VISIBLE, Bounds(300, 300, 200, 200));
  HWND w = Child(first, WS_VISIBLE, Bounds(10, 10, 50, 50));
  EXPECT_EQ(SetParent(w, second), first);
  EXPECT_EQ(GetParent(w), second);
  EXPECT_TRUE(IsChild(second, w));
  EXPECT_FALSE(IsChild(first, w));
  TRect r;
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(310, 310, 50, 50)) << "the position numbers stay, in the new parent";
  EXPECT_EQ(os::SurfaceOf(w), os::SurfaceOf(second));
  SetParent(w, nullptr);
  GetWindowRect(w, &r);
  EXPECT_EQ(r, Bounds(10, 10, 50, 50)) << "a top-level window's position is on the screen";
  ASSERT_NE(os::SurfaceOf(w), nullptr);
  EXPECT_NE(os::SurfaceOf(w), os::SurfaceOf(second));
  EXPECT_EQ(os::SurfaceOf(w)->Width(), 50);
  EXPECT_EQ(SetParent(second, w), nullptr) << "a window cannot go into its own child";
  EXPECT_EQ(SetParent(w, w), nullptr);
}

TEST_F(WindowPosTest, MaximizeFillsTheWorkAreaAndRestoreComesBack) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  Log.clear();
  ShowWindow(top, SW_MAXIMIZE);
  EXPECT_TRUE(IsZoomed(top));
  TRect r;
  GetWindowRect(top, &r);
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  InflateRect(&work, 4, 4);
  EXPECT_EQ(r, work) << "the sizing border lies beyond the work area";
  EXPECT_EQ(Last(top, WM_SIZE)->WParam, SIZE_MAXIMIZED);
  ShowWindow(top, SW_RESTORE);
  EXPECT_FALSE(IsZoomed(top));
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
  ShowWindow(top, SW_MINIMIZE);
  EXPECT_TRUE(IsIconic(top));
  EXPECT_EQ(Last(top, WM_SIZE)->WParam, SIZE_MINIMIZED);
  WINDOWPLACEMENT placement;
  GetWindowPlacement(top, &placement);
  EXPECT_EQ(placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
  EXPECT_EQ(placement.rcNormalPosition, Bounds(100, 100, 300, 200));
  ShowWindow(top, SW_RESTORE);
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(100, 100, 300, 200));
}

TEST_F(WindowPosTest, ThePlacementOfAMaximisedWindowSetsTheRectangleItRestoresTo) {
  HWND top = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(100, 100, 300, 200));
  ShowWindow(top, SW_MAXIMIZE);
  TRect maximised;
  GetWindowRect(top, &maximised);
  WINDOWPLACEMENT placement;
  GetWindowPlacement(top, &placement);
  placement.rcNormalPosition = Bounds(40, 50, 200, 120);
  EXPECT_TRUE(SetWindowPlacement(top, &placement));
  EXPECT_TRUE(IsZoomed(top)) << "the window stays maximised";
  TRect r;
  GetWindowRect(top, &r);
  EXPECT_EQ(r, maximised);
  ShowWindow(top, SW_RESTORE);
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(40, 50, 200, 120));
  // A normal window moves at once.
  placement.showCmd = 0;
  placement.rcNormalPosition = Bounds(10, 20, 150, 90);
  EXPECT_TRUE(SetWindowPlacement(top, &placement));
  GetWindowRect(top, &r);
  EXPECT_EQ(r, Bounds(10, 20, 150, 90));
  EXPECT_FALSE(SetWindowPlacement(top, nullptr));
}

TEST_F(WindowPosTest, DisablingCancelsModesAndTakesTheFocus) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND child = Child(top, WS_VISIBLE, Bounds(0, 0, 50, 50));
  SetFocus(child);
  SetCapture(child);
  Log.clear();
  EXPECT_FALSE(EnableWindow(child, FALSE));
  EXPECT_EQ(MessagesOf(child, {WM_CANCELMODE, WM_CAPTURECHANGED, WM_KILLFOCUS, WM_ENABLE}),
            (std::vector<UINT>{WM_CANCELMODE, WM_CAPTURECHANGED, WM_KILLFOCUS, WM_ENABLE}));
  EXPECT_FALSE(IsWindowEnabled(child));
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(SetFocus(child), nullptr) << "a disabled window cannot take the focus";
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_TRUE(EnableWindow(child, TRUE)) << "it was disabled";
  EXPECT_EQ(Last(child, WM_ENABLE)->WParam, static_cast<WPARAM>(TRUE));
}

}  // namespace
