#include "platform/controls/ScrollBar.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

class ScrollBarTest : public StaticControlTest {
 protected:
  ScrollBarTest() {
    Bar = Make<TScrollBar>(Form, "Bar", Bounds(10, 10, 200, GetSystemMetrics(SM_CYHSCROLL)));
    Bar->OnScroll = [this](TObject*, TScrollCode Code, int& Pos) {
      Codes.push_back(Code);
      if (Adjust) Adjust(Code, Pos);
    };
    Bar->OnChange = [this](TObject*) { ++Changes; };
  }
  // A point of the bar (its client coordinates) on the screen.
  TPoint At(int X, int Y = 8) { return test::TInputDriver::ScreenPoint(Bar->Handle(), {X, Y}); }

  TScrollBar* Bar = nullptr;
  std::vector<TScrollCode> Codes;
  std::function<void(TScrollCode, int&)> Adjust;
  int Changes = 0;
};

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAfterADelay) {
  ShowForm();
  const TPoint right = At(195);
  Input.MoveTo(right);
  Input.Press();
  Input.Wait(975);
  Input.Release();
  App.RunFor(1100);
  // The press, then 200 ms later and every 50 ms after: at 200, 250, ..., 950 (16 repeats).
  EXPECT_EQ(Bar->Position(), 17);
  EXPECT_EQ(Changes, 17);
  ASSERT_FALSE(Codes.empty());
  EXPECT_EQ(Codes.front(), scLineDown);
  EXPECT_EQ(Codes.back(), scEndScroll);
  // The left arrow, once.
  Codes.clear();
  Input.Click(At(5));
  App.RunFor(100);
  EXPECT_EQ(Bar->Position(), 16);
  EXPECT_EQ(Codes, (std::vector<TScrollCode>{scLineUp, scEndScroll}));
}

TEST_F(ScrollBarTest, TheShaftPagesAndOnScrollMayChangeTheStep) {
  Bar->SetLargeChange(10);
  ShowForm();
  Input.Click(At(150));
  App.RunFor(100);
  EXPECT_EQ(Bar->Position(), 10);
  // Held, the paging stops once the thumb reaches the pointer.
  Input.MoveTo(At(60));
  Input.Press();
  Input.Wait(2000);
  Input.Release();
  App.RunFor(2100);
  const int stopped = Bar->Position();
  EXPECT_GT(stopped, 10);
  EXPECT_LT(stopped, 60) << "the thumb stopped under the pointer, well before the end";
  Adjust = [](TScrollCode Code, int& Pos) {
    if (Code == scPageUp) Pos = 3;
  };
  Input.Click(At(20));
  App.RunFor(100);
  EXPECT_EQ(Bar->Position(), 3);
}

TEST_F(ScrollBarTest, DraggingTheThumbTracksAndEndsWithItsPosition) {
  Bar->SetPageSize(20);
  ShowForm();
  EXPECT_EQ(Bar->MaxPosition(), 81);
  const int arrow = GetSystemMetrics(SM_CXHSCROLL);
  Input.Drag(At(arrow + 5), At(400));
  App.RunFor(100);
  EXPECT_EQ(Bar->Position(), 81) << "dragged past the end: the last page";
  ASSERT_GE(Codes.size(), 3u);
  EXPECT_EQ(Codes[0], scTrack);
  EXPECT_EQ(Codes[Codes.size() - 2], scPosition);
  EXPECT_EQ(Codes.back(), scEndScroll);
}

TEST_F(ScrollBarTest, KeysScrollTheFocusedBar) {
  Bar->SetLargeChange(25);
  ShowForm();
  Bar->SetFocus();
  const std::pair<UINT, int> steps[] = {{VK_RIGHT, 1}, {VK_NEXT, 26}, {VK_DOWN, 27}, {VK_END, 100},
                                        {VK_LEFT, 99}, {VK_PRIOR, 74}, {VK_HOME, 0},  {VK_UP, 0}};
  for (auto [key, position] : steps) {
    Input.Key(key);
    Pump();
    EXPECT_EQ(Bar->Position(), position) << key;
  }
}

TEST_F(ScrollBarTest, ParametersAreCheckedAndThePositionKeptInRange) {
  EXPECT_THROW(Bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(Bar->Max(), 100) << "unchanged by the refused call";
  Bar->SetPosition(500);
  EXPECT_EQ(Bar->Position(), 100);
  Bar->SetPageSize(10);
  EXPECT_EQ(Bar->Position(), 91) << "the last page starts at Max - PageSize + 1";
  Bar->SetPageSize(1000);
  EXPECT_EQ(Bar->PageSize(), 101);
  Bar->SetParams(5, 10, 20);
  EXPECT_EQ(Bar->Position(), 10);
  Changes = 0;
  Bar->SetPosition(10);
  EXPECT_EQ(Changes, 0) << "no change, no event";
  // Turning the bar swaps its sides.
  Bar->SetKind(sbVertical);
  EXPECT_EQ(Bar->Width(), GetSystemMetrics(SM_CYHSCROLL));
  EXPECT_EQ(Bar->Height(), 200);
}

}  // namespace
