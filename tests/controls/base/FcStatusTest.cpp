// The status panes: the shared polling timer, the clock pane's text and how often it repaints,
// the fill colour's link to the pane's colour, auto width, and the frame on a gradient bar.
#include <gtest/gtest.h>

#include <memory>

#include "controls/base/FcPanel.h"
#include "controls/base/FcStatus.h"
#include "platform/rtl/DateTime.h"
#include "tests/support/HeadlessApp.h"

namespace {

// A clock pane that counts its paints.
class TCountedClock : public TFcClockStatus {
 public:
  using TFcClockStatus::TFcClockStatus;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TFcClockStatus::Paint();
  }
};

class StatusPaneTest : public test::HeadlessTest {
 protected:
  StatusPaneTest() {
    Form.SetBorderStyle(bsNone);
    Form.SetBounds(0, 0, 300, 60);
    Bar.SetParent(&Form);
    Form.Show();
    App.ProcessMessages();
  }
  TForm Form{nullptr};
  TFcStatusBar Bar{&Form};
};

TEST_F(StatusPaneTest, TheClockRepaintsOnlyWhenItsTextChanges) {
  struct TCase {
    const char* Format;
    int64_t Run;
    int Paints;
  } const cases[] = {
      {"hh:nn:ss", 10 * test::kSecond, 10},
      {"hh:nn", 3 * 60 * test::kSecond, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Format);
    TCountedClock clock(&Form);
    clock.SetParent(&Bar);
    clock.SetFormat(c.Format);
    App.ProcessMessages();
    clock.Paints = 0;
    int ticks = 0;
    clock.OnTimerExpired = [&ticks](TObject*) { ++ticks; };
    App.RunFor(c.Run);
    EXPECT_EQ(clock.Paints, c.Paints);
    EXPECT_EQ(ticks, c.Run / 500) << "the timer itself fires every 500 ms";
    EXPECT_EQ(clock.Caption(), FormatDateTime(c.Format, Now()));
  }
}

TEST_F(StatusPaneTest, TheClockShowsTheTimeTheHandlerGives) {
  TFcClockStatus clock(&Form);
  clock.SetParent(&Bar);
  const TDateTime fixed = EncodeDate(2026, 3, 4) + EncodeTime(5, 6, 7, 0);
  clock.OnGetDateTime = [fixed](TObject*, TDateTime& At) { At = fixed; };
  clock.SetFormat("yyyy-mm-dd hh:nn:ss");
  EXPECT_EQ(clock.Caption(), "2026-03-04 05:06:07");
  clock.SetFormat("");
  EXPECT_EQ(clock.Caption(), DateTimeToStr(fixed));
}

TEST_F(StatusPaneTest, AllPollingPanesShareOneTimerThatSkipsInvisiblePanes) {
  TFcPollingStatus shown(&Form), hidden(&Form);
  for (TFcPollingStatus* p : {&shown, &hidden}) p->SetParent(&Bar);
  hidden.SetVisible(false);
  int shownTicks = 0, hiddenTicks = 0;
  shown.OnTimerExpired = [&](TObject*) { ++shownTicks; };
  hidden.OnTimerExpired = [&](TObject*) { ++hiddenTicks; };
  App.RunFor(2 * test::kSecond);
  EXPECT_EQ(shownTicks, 4);
  EXPECT_EQ(hiddenTicks, 0);
  ASSERT_NE(PollingList(), nullptr);
  EXPECT_EQ(PollingList()->Count(), 2);
  // Switching one pane's timer off stops them all; its interval is theirs too.
  hidden.SetActive(false);
  EXPECT_FALSE(shown.Active());
  App.RunFor(2 * test::kSecond);
  EXPECT_EQ(shownTicks, 4);
  shown.SetInterval(250);
  shown.SetActive(true);
  EXPECT_EQ(hidden.Interval(), 250);
  App.RunFor(1 * test::kSecond);
  EXPECT_EQ(shownTicks, 8);
}

TEST_F(StatusPaneTest, ThePollingListLastsAsLongAsItsPanes) {
  EXPECT_EQ(PollingList(), nullptr);
  auto pane = std::make_unique<TFcPollingStatus>(&Form);
  EXPECT_NE(PollingList(), nullptr);
  pane.reset();
  EXPECT_EQ(PollingList(), nullptr);
}

TEST_F(StatusPaneTest, AFillColorOfItsOwnNoLongerFollowsThePanesColour) {
  TFcCustomStatusPane pane(&Form);
  pane.SetParent(&Bar);
  pane.SetColor(clYellow);
  EXPECT_EQ(pane.FillColor(), clYellow);
  pane.SetFillColor(clLime);
  EXPECT_FALSE(pane.ParentFillColor());
  pane.SetColor(clRed);
  EXPECT_EQ(pane.FillColor(), clLime);
  pane.SetParentFillColor(true);
  EXPECT_EQ(pane.FillColor(), clRed);
}

TEST_F(StatusPaneTest, AutoWidthFitsTheCaptionOrTakesTheDefaultWidth) {
  TFcCustomStatusPane pane(&Form);
  pane.SetParent(&Bar);
  pane.SetDefaultWidth(33);
  pane.SetAutoSize(true);
  EXPECT_EQ(pane.Width(), 33);
  pane.SetCaption("Ready");
  TBitmap measure;
  measure.Canvas()->Font()->Assign(pane.Font());
  EXPECT_EQ(pane.Width(), 2 * 1 + measure.Canvas()->TextWidth("Ready") + 2 + 6);
  pane.SetCaptionOffset(10);
  EXPECT_EQ(pane.Width(), 2 * 1 + measure.Canvas()->TextWidth("Ready") + 10 + 6);
}

TEST_F(StatusPaneTest, OnAGradientBarPanesShowOnlyADividerAndTheFirstNone) {
  Bar.SetVisualStyle(vsGradient);
  TFcCustomStatusPane first(&Form), second(&Form);
  first.SetParent(&Bar);
  first.SetBounds(0, 0, 100, 19);
  second.SetParent(&Bar);
  second.SetBounds(100, 0, 100, 19);
  Form.Repaint();
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(Form.Handle());
  TColor start, stop, divider;
  GetStatusBarGradientColors(gcsSystem, start, stop, divider);
  auto at = [&](TControl* Pane, int X, int Y) {
    const TPoint p = Form.ScreenToClient(Pane->ClientToScreen({X, Y}));
    return gdi::ColorOfPixel(shot.Get(p.X, p.Y));
  };
  EXPECT_EQ(at(&second, 1, 9), ColorToRGB(divider));
  EXPECT_NE(at(&first, 1, 9), ColorToRGB(divider));
  EXPECT_NE(at(&second, 50, 1), ColorToRGB(divider)) << "no top line";
}

}  // namespace

namespace {

TEST_F(StatusPaneTest, ABlinkingPaneAlternatesItsTextColourOnTheSharedTimer) {
  TFcCustomStatusPane blinking(&Form), steady(&Form);
  for (TFcCustomStatusPane* p : {&blinking, &steady}) {
    p->SetParent(&Bar);
    p->Font()->SetColor(clNavy);
  }
  blinking.SetBlinkColor(clRed);
  blinking.SetBlinking(true);
  App.RunFor(500);  // the first tick shows the normal colour, the next the blink colour
  EXPECT_EQ(blinking.CurrentTextColor(), clNavy);
  App.RunFor(500);
  EXPECT_EQ(blinking.CurrentTextColor(), clRed);
  EXPECT_EQ(steady.CurrentTextColor(), clNavy);
  blinking.SetBlinking(false);
  EXPECT_EQ(blinking.CurrentTextColor(), clNavy) << "back to the normal colour at once";
  // The intervals are every blinking control's.
  blinking.SetBlinkIntervalOn(200);
  EXPECT_EQ(steady.GetBlinkIntervalOn(), 200);
}

TEST_F(StatusPaneTest, AFrameControllerGivesThePaneItsFrameAndFill) {
  TFcFrameController controller(&Form);
  controller.SetFrameVisible(true);
  controller.SetFrameStyle(fsLowered);
  controller.SetFrameColor(clRed);
  controller.SetColor(clYellow);
  TFcCustomStatusPane pane(&Form);
  pane.SetParent(&Bar);
  pane.SetFrameController(&controller);
  EXPECT_EQ(pane.FrameStyle(), fsLowered);
  EXPECT_EQ(pane.FlatColor(), clRed);
  EXPECT_EQ(pane.FlatColorAdjustment(), 0);
  EXPECT_EQ(pane.FillColor(), clYellow);
  EXPECT_FALSE(pane.ParentFillColor());
}

}  // namespace
