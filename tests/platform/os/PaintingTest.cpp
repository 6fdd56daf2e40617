#include "platform/os/Timers.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using PaintingTest = WmTest;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// Fills a rectangle of a window's client area through GetDC.
void FillThrough(HWND w, TRect r, COLORREF color) {
  HDC dc = GetDC(w);
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(w, dc);
}

TEST_F(PaintingTest, PaintComesWhenTheQueueIsEmptyParentsFirstAndBeforeTimers) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 200, 200));
  HWND child = Child(top, WS_VISIBLE, Bounds(10, 10, 50, 50));
  PumpAll();
  InvalidateRect(child, nullptr, FALSE);
  InvalidateRect(top, nullptr, FALSE);
  PostMessage(top, WM_USER, 0, 0);
  SetTimer(top, 1, 10, nullptr);
  Clock.Advance(20);
  std::vector<std::pair<HWND, UINT>> seen;
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    seen.push_back({msg.hwnd, msg.message});
    DispatchMessage(&msg);
    if (msg.message == WM_TIMER) KillTimer(top, 1);
  }
  EXPECT_EQ(seen, (std::vector<std::pair<HWND, UINT>>{{top, WM_USER}, {top, WM_PAINT}, {child, WM_PAINT}, {top, WM_TIMER}}));
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
}

TEST_F(PaintingTest, AChildPaintsOnlyItsOwnArea) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 100, 100));
  HWND child = Child(top, WS_VISIBLE, Bounds(20, 20, 30, 30));
  PaintWith(top, kRed);
  PumpAll();
  FillThrough(child, TRect(-50, -50, 200, 200), kGreen);
  EXPECT_EQ(Pixel(top, 20, 20), Rgb(kGreen));
  EXPECT_EQ(Pixel(top, 49, 49), Rgb(kGreen));
  EXPECT_EQ(Pixel(top, 19, 30), Rgb(kRed));
  EXPECT_EQ(Pixel(top, 50, 30), Rgb(kRed));
  // A parent with WS_CLIPCHILDREN paints around its children.
  FillThrough(top, TRect(0, 0, 100, 100), kBlue);
  EXPECT_EQ(Pixel(top, 30, 30), Rgb(kGreen));
  EXPECT_EQ(Pixel(top, 10, 10), Rgb(kBlue));
}

TEST_F(PaintingTest, AParentWithoutClipChildrenMakesItsChildrenRepaint) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  HWND inside = Child(top, WS_VISIBLE, Bounds(20, 20, 30, 30));
  HWND elsewhere = Child(top, WS_VISIBLE, Bounds(60, 60, 30, 30));
  PaintWith(top, kRed);
  PaintWith(inside, kGreen);
  PumpAll();
  EXPECT_EQ(Pixel(top, 30, 30), Rgb(kGreen)) << "the child painted after its parent";
  Log.clear();
  TRect r(0, 0, 55, 55);
  InvalidateRect(top, &r, TRUE);
  PumpAll();
  EXPECT_EQ(Count(inside, WM_PAINT), 1);
  EXPECT_EQ(Count(elsewhere, WM_PAINT), 0) << "outside the invalid area";
  EXPECT_EQ(Pixel(top, 30, 30), Rgb(kGreen));
}

TEST_F(PaintingTest, OverlappingSiblingsClipEachOtherAndRepaintWhatIsUncovered) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 100, 100));
  HWND below = Child(top, WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(10, 10, 50, 50));
  HWND above = Child(top, WS_VISIBLE | WS_CLIPSIBLINGS, Bounds(40, 40, 50, 50));
  PaintWith(below, kRed);
  PaintWith(above, kGreen);
  PumpAll();
  Log.clear();
  InvalidateRect(below, nullptr, TRUE);
  PumpAll();
  EXPECT_EQ(Count(above, WM_PAINT), 0);
  EXPECT_EQ(Pixel(top, 45, 45), Rgb(kGreen)) << "the sibling above keeps its pixels";
  EXPECT_EQ(Pixel(top, 30, 30), Rgb(kRed));
  Log.clear();
  ShowWindow(above, SW_HIDE);
  PumpAll();
  EXPECT_EQ(Count(below, WM_PAINT), 1);
  EXPECT_EQ(Pixel(top, 45, 45), Rgb(kRed)) << "the uncovered part repainted";
  EXPECT_EQ(Pixel(top, 70, 70), Sys(COLOR_WINDOW)) << "and the parent where nothing is";
}

TEST_F(PaintingTest, EraseAndValidation) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpAll();
  Log.clear();
  TRect part(10, 10, 20, 20);
  InvalidateRect(top, &part, FALSE);
  TRect update;
  EXPECT_TRUE(GetUpdateRect(top, &update, FALSE));
  EXPECT_EQ(update, part);
  PumpAll();
  EXPECT_EQ(Count(top, WM_ERASEBKGND), 0) << "invalidated without erasing";
  InvalidateRect(top, &part, TRUE);
  ValidateRect(top, nullptr);
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE));
  PumpAll();
  EXPECT_EQ(Count(top, WM_PAINT), 1);

  // A window that does not erase learns so from BeginPaint.
  BOOL erase = FALSE;
  TRect paint;
  Handlers[top] = [&](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_ERASEBKGND) return 0;
    if (m != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    BeginPaint(top, &ps);
    erase = ps.fErase;
    paint = ps.rcPaint;
    EndPaint(top, &ps);
    return 0;
  };
  InvalidateRect(top, &part, TRUE);
  PumpAll();
  EXPECT_TRUE(erase);
  EXPECT_EQ(paint, part);
}

TEST_F(PaintingTest, HiddenWindowsPaintNothingAndAWindowThatNeverValidatesCannotHangTheLoop) {
  HWND hidden = Top(WS_POPUP, Bounds(0, 0, 50, 50));
  InvalidateRect(hidden, nullptr, TRUE);
  EXPECT_EQ(PumpAll(), 0);
  HDC dc = GetDC(hidden);
  TRect box;
  EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
  ReleaseDC(hidden, dc);
  ShowWindow(hidden, SW_SHOWNA);
  Handlers[hidden] = [](UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (m == WM_PAINT) return 0;  // never calls BeginPaint
    return std::nullopt;
  };
  EXPECT_EQ(PumpAll(), 1);
  EXPECT_EQ(Count(hidden, WM_PAINT), 1);
}

TEST_F(PaintingTest, RedrawWindowCanPaintAtOnce) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 100, 100));
  HWND child = Child(top, WS_VISIBLE, Bounds(10, 10, 20, 20));
  PaintWith(child, kGreen);
  PumpAll();
  Log.clear();
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(Sequence({WM_PAINT, WM_ERASEBKGND}),
            (std::vector<std::pair<HWND, UINT>>{{top, WM_PAINT}, {top, WM_ERASEBKGND}, {child, WM_PAINT}, {child, WM_ERASEBKGND}}));
  EXPECT_EQ(PumpAll(), 0) << "nothing left to paint";
  Log.clear();
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(MessagesOf(child, {WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_ERASEBKGND}));
  PumpAll();
  EXPECT_EQ(MessagesOf(child, {WM_PAINT, WM_ERASEBKGND}), (std::vector<UINT>{WM_ERASEBKGND, WM_PAINT}));
}

TEST_F(PaintingTest, ScrollWindowExMovesPixelsAndInvalidatesWhatIsUncovered) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 100, 100));
  HWND child = Child(top, WS_VISIBLE, Bounds(10, 60, 20, 20));
  PumpAll();
  // Ten bands of ten rows, band i in grey level 20 * i.
  for (int i = 0; i < 10; ++i) FillThrough(top, TRect(0, i * 10, 100, i * 10 + 10), RGB(20 * i, 20 * i, 20 * i));
  TRect update;
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  int kind = ScrollWindowEx(top, 0, -30, nullptr, nullptr, region, &update, SW_INVALIDATE | SW_SCROLLCHILDREN);
  EXPECT_EQ(Pixel(top, 50, 5), Rgb(RGB(60, 60, 60))) << "band 3 moved up to the top";
  EXPECT_EQ(Pixel(top, 50, 65), Rgb(RGB(180, 180, 180))) << "band 9 moved to band 6's place";
  EXPECT_EQ(update, TRect(0, 30, 100, 100)) << "the uncovered strip and where the child was";
  EXPECT_EQ(kind, COMPLEXREGION);
  RECT childRect;
  GetWindowRect(child, &childRect);
  EXPECT_EQ(childRect.TopLeft(), TPoint(10, 30)) << "the child moved with the pixels";
  EXPECT_TRUE(PtInRegion(region, 50, 85));
  EXPECT_TRUE(PtInRegion(region, 15, 65)) << "the child's old place had no pixels of the parent";
  EXPECT_FALSE(PtInRegion(region, 50, 65));
  DeleteObject(region);
  TRect pending;
  GetUpdateRect(top, &pending, FALSE);
  EXPECT_EQ(pending.Bottom, 100);

  // A clip rectangle keeps the pixels outside it; the update is cut to it too.
  DestroyWindow(child);
  PumpAll();
  for (int i = 0; i < 10; ++i) FillThrough(top, TRect(0, i * 10, 100, i * 10 + 10), RGB(20 * i, 20 * i, 20 * i));
  TRect clip(0, 0, 100, 50);
  ScrollWindowEx(top, 0, 20, nullptr, &clip, nullptr, &update, 0);
  EXPECT_EQ(Pixel(top, 50, 25), Rgb(RGB(0, 0, 0)));
  EXPECT_EQ(Pixel(top, 50, 55), Rgb(RGB(100, 100, 100))) << "outside the clip rectangle nothing moves";
  EXPECT_EQ(update, TRect(0, 0, 100, 20));
  EXPECT_FALSE(GetUpdateRect(top, nullptr, FALSE)) << "without SW_INVALIDATE nothing is invalidated";
}

TEST_F(PaintingTest, AnInvalidAreaMovesWithTheScrolledPixels) {
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpAll();
  TRect invalid(0, 60, 100, 70);
  InvalidateRect(top, &invalid, FALSE);
  ScrollWindowEx(top, 0, -20, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(top, region, FALSE);
  EXPECT_TRUE(PtInRegion(region, 50, 45)) << "the invalid band moved up with the content";
  EXPECT_FALSE(PtInRegion(region, 50, 65));
  EXPECT_TRUE(PtInRegion(region, 50, 90)) << "the uncovered strip";
  DeleteObject(region);
}

TEST_F(PaintingTest, AWindowRegionLimitsPaintingAndHitting) {
  HWND top = Top(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, Bounds(0, 0, 100, 100));
  HWND child = Child(top, WS_VISIBLE, Bounds(0, 0, 40, 40));
  PaintWith(top, kRed);
  PumpAll();
  // The lower-left triangle of the child's square.
  TPoint triangle[3] = {{0, 0}, {0, 40}, {40, 40}};
  SetWindowRgn(child, CreatePolygonRgn(triangle, 3, WINDING), TRUE);
  PaintWith(child, kGreen);
  PumpAll();
  EXPECT_EQ(Pixel(top, 2, 35), Rgb(kGreen));
  EXPECT_EQ(Pixel(top, 35, 2), Rgb(kRed)) << "outside the region the parent shows";
  EXPECT_EQ(WindowFromPoint(TPoint(35, 2)), top);
  EXPECT_EQ(WindowFromPoint(TPoint(2, 35)), child);
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(child, copy), COMPLEXREGION);
  DeleteObject(copy);
}

// Records what a presenter is shown.
class TRecordingPresenter : public os::TPresenter {
 public:
  void Present(HWND Wnd, gdi::TSurface& Surface) override { Shown.push_back({Wnd, Surface.TakeDamage()}); }
  std::vector<std::pair<HWND, TRect>> Shown;
};

TEST_F(PaintingTest, ThePresenterIsShownWhatWasPaintedWhenTheLoopRunsDry) {
  TRecordingPresenter presenter;
  os::SetPresenter(&presenter);
  HWND top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 100, 100));
  PumpAll();
  ASSERT_FALSE(presenter.Shown.empty());
  EXPECT_EQ(presenter.Shown.back(), std::make_pair(top, TRect(0, 0, 100, 100)));
  presenter.Shown.clear();
  TRect r(10, 10, 20, 30);
  InvalidateRect(top, &r, TRUE);
  PumpAll();
  EXPECT_EQ(presenter.Shown, (std::vector<std::pair<HWND, TRect>>{{top, r}}));
  os::SetPresenter(nullptr);
}

}  // namespace
