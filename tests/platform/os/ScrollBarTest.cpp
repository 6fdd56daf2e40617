#include "platform/os/NonClient.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

// A 200 x 100 child that scrolls a list of 100 lines, 10 to a page, the way a list does: it
// moves its position by the codes it gets and records them.
class ScrollBarTest : public WmTest {
 protected:
  void SetUp() override {
    top = Top(WS_POPUP | WS_VISIBLE, Bounds(0, 0, 400, 300));
    list = Child(top, WS_VISIBLE, Bounds(0, 0, 200, 100));
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    si.nMin = 0;
    si.nMax = 99;
    si.nPage = 10;
    si.nPos = 0;
    SetScrollInfo(list, SB_VERT, &si, TRUE);
    Handlers[list] = [this](UINT m, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
      if (m != WM_VSCROLL && m != WM_HSCROLL) return std::nullopt;
      const int bar = m == WM_VSCROLL ? SB_VERT : SB_HORZ;
      const WORD code = LOWORD(wp);
      Codes.push_back(code);
      int pos = GetScrollPos(list, bar);
      switch (code) {
        case SB_LINEUP: pos -= 1; break;
        case SB_LINEDOWN: pos += 1; break;
        case SB_PAGEUP: pos -= 10; break;
        case SB_PAGEDOWN: pos += 10; break;
        case SB_THUMBTRACK: {
          SCROLLINFO info;
          info.fMask = SIF_TRACKPOS;
          GetScrollInfo(list, bar, &info);
          TrackPositions.push_back(info.nTrackPos);
          return 0;
        }
        case SB_THUMBPOSITION: pos = HIWORD(wp); break;
        default: return 0;
      }
      SetScrollPos(list, bar, pos, TRUE);
      return 0;
    };
    PumpAll();
  }
  // A point of the list's vertical bar, y from its top (the list's corner is the screen's).
  TPoint OnBar(int y) const { return TPoint(191, y); }
  int Count(WORD code) const { return static_cast<int>(std::count(Codes.begin(), Codes.end(), code)); }

  HWND top = nullptr;
  HWND list = nullptr;
  std::vector<WORD> Codes;
  std::vector<int> TrackPositions;
};

TEST_F(ScrollBarTest, TheBarShowsWhileTheRangeScrollsAndKeepsThePositionInIt) {
  TRect client;
  GetClientRect(list, &client);
  EXPECT_EQ(client.Width(), 200 - GetSystemMetrics(SM_CXVSCROLL)) << "the bar took its place from the client area";
  EXPECT_EQ(Last(list, WM_SIZE)->LParam, MAKELPARAM(183, 100));
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = 500;
  EXPECT_EQ(SetScrollInfo(list, SB_VERT, &si, TRUE), 90) << "at most Max - Page + 1";
  si.nPos = -5;
  EXPECT_EQ(SetScrollInfo(list, SB_VERT, &si, TRUE), 0);
  si.fMask = SIF_PAGE;
  si.nPage = 500;
  SetScrollInfo(list, SB_VERT, &si, TRUE);
  si.fMask = SIF_ALL;
  GetScrollInfo(list, SB_VERT, &si);
  EXPECT_EQ(si.nPage, 100u) << "a page is at most the whole range";
  EXPECT_FALSE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL) << "nothing to scroll: the bar goes";
  GetClientRect(list, &client);
  EXPECT_EQ(client.Width(), 200);
  si.fMask = SIF_PAGE | SIF_DISABLENOSCROLL;
  si.nPage = 200;
  SetScrollInfo(list, SB_VERT, &si, TRUE);
  EXPECT_TRUE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL) << "kept, disabled";
  Codes.clear();
  Input.Click(OnBar(90));
  PumpAll();
  EXPECT_TRUE(Codes.empty()) << "a disabled bar does not scroll";
  ShowScrollBar(list, SB_VERT, FALSE);
  EXPECT_FALSE(GetWindowLongPtr(list, GWL_STYLE) & WS_VSCROLL);
}

TEST_F(ScrollBarTest, ClicksOnTheArrowsAndBesideTheThumb) {
  Input.Click(OnBar(90));  // the lower arrow
  PumpAll();
  EXPECT_EQ(Codes, (std::vector<WORD>{SB_LINEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 1);
  Codes.clear();
  Input.Click(OnBar(60));  // below the thumb
  PumpAll();
  EXPECT_EQ(Codes, (std::vector<WORD>{SB_PAGEDOWN, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 11);
  Codes.clear();
  Input.Click(OnBar(5));  // the upper arrow
  Input.Click(OnBar(18));  // above the thumb, which now sits lower
  PumpAll();
  EXPECT_EQ(Codes, (std::vector<WORD>{SB_LINEUP, SB_ENDSCROLL, SB_PAGEUP, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  // A disabled arrow does nothing.
  EnableScrollBar(list, SB_VERT, ESB_DISABLE_DOWN);
  Codes.clear();
  Input.Click(OnBar(90));
  PumpAll();
  EXPECT_TRUE(Codes.empty());
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAndHoldingThePageStopsAtThePointer) {
  Input.MoveTo(OnBar(90));
  Input.Press();
  Input.Wait(1000);
  Input.Release();
  PumpAll();
  // One at the press, then after 200 ms and every 50 ms until the release at 1000 ms.
  EXPECT_EQ(Count(SB_LINEDOWN), 17);
  EXPECT_EQ(Codes.back(), SB_ENDSCROLL);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 17);
  // Paging towards a point stops once the thumb has reached it.
  SetScrollPos(list, SB_VERT, 0, TRUE);
  Codes.clear();
  Input.MoveTo(OnBar(60));
  Input.Press();
  Input.Wait(3000);
  Input.Release();
  PumpAll();
  const int pages = Count(SB_PAGEDOWN);
  EXPECT_GE(pages, 2);
  EXPECT_LT(pages, 9) << "not all the way to the end";
  os::TScrollBarState state;
  state.Min = 0;
  state.Max = 99;
  state.Page = 10;
  os::TScrollGeometry g = os::ScrollGeometry(TRect(183, 0, 200, 100), true, state, GetScrollPos(list, SB_VERT));
  EXPECT_TRUE(g.Thumb.Contains(TPoint(191, 60)) || g.Thumb.Top > 60 - 8) << "the thumb reached the pointer";
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndSetsThePositionWhereItIsLetGo) {
  // The thumb is 8 pixels in a 66-pixel shaft: 58 pixels of travel for positions 0 to 90.
  Input.Drag(OnBar(20), OnBar(20 + 29), 3);
  PumpAll();
  ASSERT_FALSE(TrackPositions.empty());
  EXPECT_TRUE(std::is_sorted(TrackPositions.begin(), TrackPositions.end()));
  EXPECT_EQ(TrackPositions.back(), 45);
  EXPECT_EQ(Codes.back(), SB_ENDSCROLL);
  EXPECT_EQ(Codes[Codes.size() - 2], SB_THUMBPOSITION);
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 45);
  // Dragged far past the end, the thumb stops at the last position.
  Input.Drag(OnBar(50), OnBar(400), 2);
  PumpAll();
  EXPECT_EQ(GetScrollPos(list, SB_VERT), 90);
}

TEST_F(ScrollBarTest, AHorizontalBarScrollsSideways) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = 49;
  si.nPage = 20;
  SetScrollInfo(list, SB_HORZ, &si, TRUE);
  os::TFrameLayout l = os::FrameLayoutOf(list);
  ASSERT_FALSE(l.HScroll.IsEmpty());
  ASSERT_FALSE(l.Corner.IsEmpty());
  Input.Click(TPoint(l.HScroll.Right - 5, l.HScroll.Top + 5));
  PumpAll();
  EXPECT_EQ(Codes, (std::vector<WORD>{SB_LINERIGHT, SB_ENDSCROLL}));
  EXPECT_EQ(GetScrollPos(list, SB_HORZ), 1);
  // Painted: the arrow is a button, the corner between the bars is face-coloured.
  EXPECT_EQ(Pixel(top, l.Corner.Left + 3, l.Corner.Top + 3), Sys(COLOR_BTNFACE));
  EXPECT_EQ(Pixel(top, l.HScroll.Right - 9, l.HScroll.Top), Sys(COLOR_3DHIGHLIGHT));
  EXPECT_EQ(Pixel(top, l.HScroll.Right - 9, l.HScroll.Bottom - 1), Sys(COLOR_3DDKSHADOW));
}

}  // namespace
