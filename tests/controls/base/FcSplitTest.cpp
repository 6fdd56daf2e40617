// The splitter: where its bar goes for a position, a percentage and margins, how the panes are
// laid out (a hidden pane gives its room to the other), dragging the bar in real time or as a
// ghost bar (Esc gives up), the hot spot collapsing and restoring a pane, resizing with a fixed
// pane, and its settings read from and written to a window definition.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "controls/base/FcSplit.h"
#include "platform/classes/Filer.h"
#include "platform/os/Input.h"
#include "platform/os/Presenter.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

std::string Rows(std::initializer_list<const char*> Lines) {
  std::string out;
  for (const char* l : Lines) (out += l) += '\n';
  return out;
}

class TSplitForm : public TForm {
 public:
  using TForm::TForm;
  TFcSplitter* FcSplitter1 = nullptr;
  TFcPanel* FcPanel1 = nullptr;
  TFcPanel* FcPanel2 = nullptr;
  int Changes = 0;
  void FcSplitter1Change(TObject*) { ++Changes; }
};

const classes::TPublished<TSplitForm, TForm> SplitFormInfo([](auto& p) {
  p.Field("FcSplitter1", &TSplitForm::FcSplitter1);
  p.Field("FcPanel1", &TSplitForm::FcPanel1);
  p.Field("FcPanel2", &TSplitForm::FcPanel2);
  p.Method("FcSplitter1Change", &TSplitForm::FcSplitter1Change);
});

// A splitter as a window definition stores it: the panes' controls as its own children, named
// in the pane lists, and the bar's rectangle; an old definition's PositionMin is dropped.
const char* const kDefinition = R"(object SplitForm: TSplitForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientHeight = 200
  ClientWidth = 300
  object FcSplitter1: TFcSplitter
    Left = 10
    Top = 20
    Width = 280
    Height = 150
    Orientation = orVertical
    Position = 60
    SplitterStyle = ssGroove
    SplitterWidth = 6
    MarginMin = 20
    HotSpotVisible = True
    HotSpotDirection = hsdBoth
    UpperLeft.Color = clYellow
    LowerRight.BorderOuter = fsFlat
    OnChange = FcSplitter1Change
    BarSize = (
      0
      60
      280
      66)
    PositionMin = 10
    UpperLeftControls = (
      'FcPanel1')
    LowerRightControls = (
      'FcPanel2')
    object FcPanel1: TFcPanel
      Left = 4
      Top = 4
      Width = 50
      Height = 30
      Caption = 'One'
    end
    object FcPanel2: TFcPanel
      Left = 8
      Top = 8
      Width = 60
      Height = 30
      Caption = 'Two'
    end
  end
end
)";

class FcSplitTest : public test::HeadlessTest {
 protected:
  FcSplitTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 300, 200);
    Split = new TFcSplitter(Form.get());
    Split->SetName("Split");
    Split->SetParent(Form.get());
    Split->SetBounds(0, 0, 200, 100);
  }
  ~FcSplitTest() override { os::ResetInput(); }

  void Show() {
    Form->Show();
    App.ProcessMessages();
  }
  // A point of the splitter's client area as a point of the form's.
  TPoint OnForm(TPoint P) { return Form->ScreenToClient(Split->ClientToScreen(P)); }
  void MoveTo(TPoint P) {
    Input.MoveTo(Form->Handle(), OnForm(P));
    App.ProcessMessages();
  }
  void Press(TPoint P) {
    MoveTo(P);
    Input.Press();
    App.ProcessMessages();
  }
  void Release() {
    Input.Release();
    App.ProcessMessages();
  }
  void ClickAt(TPoint P) {
    Press(P);
    Release();
  }
  // The middle of the bar.
  TPoint BarCentre() {
    const TRect b = Split->BarBounds();
    return {b.Left + b.Width() / 2, b.Top + b.Height() / 2};
  }
  gdi::TSurface Picture() { return App.Presenter().Snapshot(Form->Handle()); }

  std::unique_ptr<TForm> Form;
  TFcSplitter* Split = nullptr;
  test::TInputDriver Input;
};

TEST_F(FcSplitTest, ThePanesAndTheBarFollowThePosition) {
  EXPECT_EQ(Split->Position(), 100);
  EXPECT_EQ(Split->UpperLeftPane()->BoundsRect(), Bounds(0, 0, 100, 100));
  EXPECT_EQ(Split->BarBounds(), Bounds(100, 0, 4, 100));
  EXPECT_EQ(Split->LowerRightPane()->BoundsRect(), Bounds(104, 0, 96, 100));

  // 200 pixels at 50 % with a 4-pixel bar: [0.5 × 198] = 99.
  Split->SetUsePercent(true);
  Split->SetWidth(150);
  EXPECT_EQ(Split->Position(), 74);  // [0.5 × 148]
  Split->SetWidth(200);
  EXPECT_EQ(Split->Position(), 99);
  EXPECT_EQ(Split->BarBounds(), Bounds(99, 0, 4, 100));
  EXPECT_EQ(Split->LowerRightPane()->BoundsRect(), Bounds(103, 0, 97, 100));

  Split->SetOrientation(orVertical);
  EXPECT_EQ(Split->Position(), 49);  // [0.5 × 98]
  EXPECT_EQ(Split->UpperLeftPane()->BoundsRect(), Bounds(0, 0, 200, 49));
  EXPECT_EQ(Split->BarBounds(), Bounds(0, 49, 200, 4));
  EXPECT_EQ(Split->LowerRightPane()->BoundsRect(), Bounds(0, 53, 200, 47));
}

TEST_F(FcSplitTest, ThePositionStaysWithinTheMarginsAndTheControl) {
  struct TCase {
    int Width, MarginMin, MarginMax, Asked, Expected;
  };
  const TCase cases[] = {
      {100, 50, 48, 0, 48},     // the high limit (100 − 48 − 4) wins over the low one
      {100, 50, 48, 100, 48},
      {100, 10, 20, 5, 10},
      {100, 10, 20, 90, 76},
      {200, 0, 0, 500, 196},
      {3, 0, 0, 2, 0},          // too small for the bar: at the edge, never below 0
      {3, 0, 0, -5, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Width << " px, margins " << c.MarginMin << "/" << c.MarginMax << ", "
                                    << c.Asked);
    Split->SetMarginMin(0);
    Split->SetMarginMax(0);
    Split->SetWidth(c.Width);
    Split->SetMarginMin(c.MarginMin);
    Split->SetMarginMax(c.MarginMax);
    Split->SetPosition(c.Asked == Split->Position() ? c.Asked + 1 : c.Asked);
    Split->SetPosition(c.Asked);
    EXPECT_EQ(Split->Position(), c.Expected);
    EXPECT_GE(Split->LowerRightPane()->Width(), 0);
  }
  // A frame narrows the room: the bar stops where the lower-right pane has none left.
  Split->SetWidth(100);
  Split->SetBorderOuter(fsRaised);
  Split->SetPosition(500);
  EXPECT_EQ(Split->Position(), 92);
  EXPECT_EQ(Split->LowerRightPane()->BoundsRect(), Bounds(98, 2, 0, 96));
  Split->SetBorderOuter(fsNone);
  // Margins never go below 0, nor past what the other margin leaves.
  Split->SetWidth(100);
  Split->SetMarginMin(-5);
  EXPECT_EQ(Split->MarginMin(), 0);
  Split->SetMarginMax(70);
  Split->SetMarginMin(50);
  EXPECT_EQ(Split->MarginMin(), 30);
  Split->SetWidth(20);
  Split->SetMarginMax(0);
  Split->SetMarginMin(0);
  Split->SetMarginMin(30);
  Split->SetMarginMax(10);
  EXPECT_EQ(Split->MarginMin(), 20);
  EXPECT_EQ(Split->MarginMax(), 0);
}

TEST_F(FcSplitTest, OnChangingCanRefuseAPosition) {
  std::vector<int> asked;
  int changes = 0;
  Split->OnChanging = [&](TObject*, int NewPos, bool& Allow) {
    asked.push_back(NewPos);
    Allow = NewPos < 150;
  };
  Split->OnChange = [&](TObject*) { ++changes; };
  Split->SetPosition(120);
  Split->SetPosition(160);
  EXPECT_EQ(Split->Position(), 120);
  EXPECT_EQ(asked, (std::vector<int>{120, 160}));
  EXPECT_EQ(changes, 1);
}

TEST_F(FcSplitTest, AHiddenPaneGivesTheWholeAreaToTheOther) {
  Split->SetBorderOuter(fsRaised);  // the client area lies inside the frame
  const TRect client = Split->UpperLeftPane()->BoundsRect().Left == 2 ? Bounds(2, 2, 196, 96) : TRect{};
  ASSERT_EQ(Split->UpperLeftPane()->BoundsRect().TopLeft(), TPoint(2, 2));
  Split->UpperLeft()->SetVisible(false);
  EXPECT_FALSE(Split->UpperLeft()->GetVisible());
  EXPECT_EQ(Split->LowerRightPane()->BoundsRect(), client);
  EXPECT_TRUE(Split->BarBounds().IsEmpty());
  // Showing the pane again (also as the platform asks a container to) brings the bar back.
  Split->UpperLeftPane()->Show();
  EXPECT_TRUE(Split->UpperLeft()->GetVisible());
  EXPECT_EQ(Split->BarBounds(), Bounds(102, 2, 4, 96));

  Split->LowerRight()->SetVisible(false);
  EXPECT_EQ(Split->UpperLeftPane()->BoundsRect(), client);
  EXPECT_TRUE(Split->BarBounds().IsEmpty());
}

TEST_F(FcSplitTest, DraggingTheBarMovesItInRealTimeOrAtTheEnd) {
  Split->SetBorderOuter(fsRaised);  // the panes and the bar lie inside a 2-pixel frame
  for (bool realTime : {false, true}) {
    SCOPED_TRACE(realTime ? "real time" : "ghost bar");
    Split->SetRealTimeDrag(realTime);
    Split->SetPosition(100);
    Show();
    const gdi::TSurface before = Picture();
    Press(BarCentre());
    MoveTo({134, 50});  // 30 pixels to the right of where it was taken
    MoveTo({144, 50});
    EXPECT_TRUE(Split->Dragging());
    if (realTime) {
      EXPECT_EQ(Split->Position(), 140);
      EXPECT_EQ(Split->UpperLeftPane()->Width(), 140);
    } else {
      EXPECT_EQ(Split->Position(), 100) << "the panes wait for the release";
      // The ghost bar: every other pixel of a bar-sized strip where the bar will go is
      // inverted, nothing else changed (the one drawn on the way was erased again).
      const gdi::TSurface during = Picture();
      int inverted = 0, elsewhere = 0;
      for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
          const bool changed = before.Get(x, y) != during.Get(x, y);
          const bool inGhost = x >= 142 && x < 146 && y >= 2 && y < 98;
          if (changed && inGhost) {
            ++inverted;
            EXPECT_EQ(gdi::ColorOfPixel(during.Get(x, y)), gdi::ColorOfPixel(before.Get(x, y)) ^ 0xFFFFFFu)
                << x << "," << y;
          }
          if (changed && !inGhost) ++elsewhere;
        }
      EXPECT_EQ(inverted, 4 * 96 / 2);
      EXPECT_EQ(elsewhere, 0);
    }
    Release();
    EXPECT_FALSE(Split->Dragging());
    EXPECT_EQ(Split->Position(), 140);
    EXPECT_EQ(Split->BarBounds(), Bounds(142, 2, 4, 96));
    App.ProcessMessages();
  }
}

TEST_F(FcSplitTest, EscapeDuringADragGivesItUp) {
  Show();
  // Ghost bar: the position stays where it was and the ghost is gone.
  const gdi::TSurface before = Picture();
  Press(BarCentre());
  MoveTo({60, 50});
  Input.Key(VK_ESCAPE);
  App.ProcessMessages();
  EXPECT_FALSE(Split->Dragging());
  EXPECT_EQ(Split->Position(), 100);
  EXPECT_FALSE(Split->MouseCapture());
  App.ProcessMessages();
  const gdi::TSurface after = Picture();
  for (int x = 55; x < 70; ++x) EXPECT_EQ(after.Get(x, 50), before.Get(x, 50)) << x;
  Release();
  EXPECT_EQ(Split->Position(), 100) << "the release after Esc moves nothing";

  // Real time: the panes stay where the drag left them.
  Split->SetRealTimeDrag(true);
  Press(BarCentre());
  MoveTo({72, 50});
  Split->SetFocus();
  Input.Key(VK_ESCAPE);
  App.ProcessMessages();
  EXPECT_FALSE(Split->Dragging());
  EXPECT_EQ(Split->Position(), 70);
  Release();
  EXPECT_EQ(Split->Position(), 70);
}

TEST_F(FcSplitTest, TheHotSpotCollapsesAPaneAndRestoresIt) {
  Split->SetHotSpotVisible(true);
  EXPECT_EQ(Split->SplitterWidth(), 7) << "room for the hot spot";
  Split->SetMarginMin(30);
  int clicks = 0;
  Split->OnHotSpotClick = [&](TObject*) { ++clicks; };
  Show();
  // A vertical bar 100 high: the hot spot is 40 % of it round the middle.
  EXPECT_EQ(Split->HotSpotBounds(), (TRect{100, 30, 107, 70}));

  ClickAt({103, 50});
  EXPECT_TRUE(Split->HotSpotClosed());
  EXPECT_TRUE(Split->HotSpotClosedToMin());
  EXPECT_EQ(Split->Position(), 0) << "a collapsed bar passes the margins";
  EXPECT_EQ(Split->HotSpotPosition(), 100);
  EXPECT_EQ(clicks, 1);
  ClickAt({3, 50});
  EXPECT_FALSE(Split->HotSpotClosed());
  EXPECT_EQ(Split->Position(), 100);
  EXPECT_EQ(clicks, 2);

  // Toward the maximum; the bar stops where the lower-right pane has no room left.
  Split->SetHotSpotDirection(hsdMax);
  ClickAt({103, 50});
  EXPECT_TRUE(Split->HotSpotClosedToMax());
  EXPECT_EQ(Split->Position(), 193);
  ClickAt({196, 50});
  EXPECT_EQ(Split->Position(), 100);

  // Pressed on the hot spot but released outside: no click.
  Press({103, 50});
  MoveTo({103, 90});
  Release();
  EXPECT_FALSE(Split->HotSpotClosed());
  EXPECT_EQ(clicks, 4);
}

TEST_F(FcSplitTest, BothWaysTheHalfOfTheHotSpotChoosesTheEdge) {
  Split->SetOrientation(orVertical);  // a horizontal bar: its left half collapses upward
  Split->SetBounds(0, 0, 200, 150);
  Split->SetHotSpotVisible(true);
  Split->SetHotSpotDirection(hsdBoth);
  Split->SetPosition(60);
  Show();
  const TRect hot = Split->HotSpotBounds();
  EXPECT_EQ(hot, (TRect{60, 60, 140, 67}));
  ClickAt({hot.Left + 5, 63});
  EXPECT_TRUE(Split->HotSpotClosedToMin());
  EXPECT_EQ(Split->Position(), 0);
  ClickAt({Split->HotSpotBounds().Left + 5, 3});
  EXPECT_EQ(Split->Position(), 60);
  ClickAt({hot.Right - 5, 63});
  EXPECT_TRUE(Split->HotSpotClosedToMax());
  EXPECT_EQ(Split->Position(), 143);
  // Dragging a collapsed bar opens it again.
  Press({20, 146});
  MoveTo({20, 100});
  Release();
  EXPECT_FALSE(Split->HotSpotClosed());
  EXPECT_EQ(Split->Position(), 97);
}

// The hot spot of a horizontal bar 7 thick: an outline, two arrows 8 pixels in from the ends
// (pointing at the pane a click collapses) and dots every 3 pixels along the middle.
TEST_F(FcSplitTest, TheHotSpotIsDrawnWithItsArrowsAndDots) {
  Split->SetOrientation(orVertical);
  Split->SetPosition(40);
  Split->SetColor(clRed);
  Split->SetHotSpotVisible(true);
  Split->SetHotSpotColor(clWhite);
  Split->SetHotSpotFrameColor(clBlack);
  Split->SetHotSpotDotColor(clBlue);
  Split->SetHotSpotHighlight(clYellow);
  Split->SetSplitterWidth(9);
  for (TFcSplitterPane* pane : {Split->UpperLeftPane(), Split->LowerRightPane()}) pane->SetColor(clLime);
  Split->SetWidth(120);  // a 48-pixel hot spot from 36 to 84
  Show();
  auto rows = [&](int Top, int Bottom) {
    const gdi::TSurface picture = Picture();
    std::string out;
    for (int y = Top; y < Bottom; ++y) {
      for (int x = 34; x < 86; ++x) {
        const COLORREF c = gdi::ColorOfPixel(picture.Get(x, y));
        out += c == RGB(255, 0, 0) ? 'r' : c == RGB(0, 255, 0) ? 'g' : c == RGB(0, 0, 255) ? 'b'
             : c == RGB(255, 255, 255) ? '.' : c == RGB(0, 0, 0) ? '#' : c == RGB(255, 255, 0) ? 'y' : '?';
      }
      out += '\n';
    }
    return out;
  };
  EXPECT_EQ(rows(39, 50), Rows({
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg",
      "rr################################################rr",
      "rr#..............................................#rr",
      "rr#..............................................#rr",
      "rr#.........b..........................b.........#rr",
      "rr#........bbb...b..b..b..b..b..b.....bbb........#rr",
      "rr#.......bbbbb......................bbbbb.......#rr",
      "rr#..............................................#rr",
      "rr#..............................................#rr",
      "rr################################################rr",
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg"}));
  // Under the pointer it lights up.
  MoveTo({60, 44});
  EXPECT_EQ(rows(39, 50), Rows({
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg",
      "rr################################################rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy#rr",
      "rr#yyyyyyyyybyyyyyyyyyyyyyyyyyyyyyyyyyybyyyyyyyyy#rr",
      "rr#yyyyyyyybbbyyybyybyybyybyybyybyyyyybbbyyyyyyyy#rr",
      "rr#yyyyyyybbbbbyyyyyyyyyyyyyyyyyyyyyybbbbbyyyyyyy#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyyy#rr",
      "rr################################################rr",
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg"}));
  // Both ways: the half under the pointer lights up, a divider parts the halves, and the
  // arrows point away from each other.
  Split->SetHotSpotDirection(hsdBoth);
  MoveTo({45, 44});
  MoveTo({46, 44});
  EXPECT_EQ(rows(39, 50), Rows({
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg",
      "rr################################################rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyy#......................#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyy#......................#rr",
      "rr#yyyyyyyyybyyyyyyyyyyyyy#..........bbbbb.......#rr",
      "rr#yyyyyyyybbbyyybyybyyyyy#.....b.....bbb........#rr",
      "rr#yyyyyyybbbbbyyyyyyyyyyy#............b.........#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyy#......................#rr",
      "rr#yyyyyyyyyyyyyyyyyyyyyyy#......................#rr",
      "rr################################################rr",
      "gggggggggggggggggggggggggggggggggggggggggggggggggggg"}));
}

TEST_F(FcSplitTest, TheBarHasCursorsOfItsOwn) {
  const HCURSOR horz = LoadCursor(nullptr, "FCSPLIT_HORZ"), horzHot = LoadCursor(nullptr, "FCSPLIT_HORZHOTSPOT");
  const HCURSOR vert = LoadCursor(nullptr, "FCSPLIT_VERT"), vertHot = LoadCursor(nullptr, "FCSPLIT_VERTHOTSPOT");
  ASSERT_TRUE(horz && horzHot && vert && vertHot) << "the program carries the four cursors";
  EXPECT_EQ(std::set<HCURSOR>({horz, horzHot, vert, vertHot}).size(), 4u);
  Split->SetHotSpotVisible(true);
  Show();
  MoveTo({103, 10});
  EXPECT_EQ(GetCursor(), horz);
  MoveTo({103, 50});
  EXPECT_EQ(GetCursor(), horzHot);
  MoveTo({50, 50});
  EXPECT_NE(GetCursor(), horz);
  EXPECT_NE(GetCursor(), horzHot);
  Split->SetLockBar(true);
  MoveTo({103, 10});
  EXPECT_NE(GetCursor(), horz) << "a locked bar shows the usual cursor";
  Split->SetLockBar(false);
  Split->SetOrientation(orVertical);
  Split->SetPosition(40);
  MoveTo({10, 43});
  EXPECT_EQ(GetCursor(), vert);
  MoveTo({100, 43});
  EXPECT_EQ(GetCursor(), vertHot);
}

TEST_F(FcSplitTest, ALockedBarStaysButItsHotSpotWorks) {
  Split->SetHotSpotVisible(true);
  Split->SetLockBar(true);
  Show();
  Press({103, 10});
  MoveTo({150, 10});
  Release();
  EXPECT_EQ(Split->Position(), 100);
  ClickAt({103, 50});
  EXPECT_EQ(Split->Position(), 0);
}

TEST_F(FcSplitTest, ResizingKeepsTheFixedPaneOrThePercentage) {
  // The upper-left pane keeps its size; the bar comes back to where the user put it.
  Split->SetPosition(120);
  Split->SetPositionByUser(120);
  Split->SetWidth(100);
  EXPECT_EQ(Split->Position(), 96);
  Split->SetWidth(300);
  EXPECT_EQ(Split->Position(), 120);

  // The lower-right pane keeps its size.
  Split->SetFixedPane(fpLowerRight);
  const int lowerRight = Split->LowerRightPane()->Width();
  Split->SetWidth(400);
  EXPECT_EQ(Split->LowerRightPane()->Width(), lowerRight);
  EXPECT_EQ(Split->Position(), 220);
  // Squeezed to nothing and widened again, it comes back to the size the user gave it.
  Split->SetWidth(100);
  EXPECT_EQ(Split->Position(), 0);
  Split->SetWidth(400);
  EXPECT_EQ(Split->LowerRightPane()->Width(), lowerRight);

  // A percentage: the bar follows it, margins too.
  Split->SetPercentMin(10);
  Split->SetPercent(25);
  EXPECT_EQ(Split->FixedPane(), fpUpperLeft);
  EXPECT_EQ(Split->Position(), 100);  // [0.25 × 398] = 99.5 → 100
  Split->SetWidth(202);
  EXPECT_EQ(Split->Position(), 50);
  EXPECT_EQ(Split->MarginMin(), 20);
}

TEST_F(FcSplitTest, TheBarStylesWidenTheBar) {
  Split->SetSplitterStyle(ssBump);
  EXPECT_EQ(Split->SplitterWidth(), 6);
  Split->SetSplitterWidth(9);
  Split->SetHotSpotVisible(true);
  EXPECT_EQ(Split->SplitterWidth(), 9);
}

// A groove bar: two 3-pixel strips side by side on the bar's middle, each framed sunken (a
// bump bar: raised), on the bar's colour.
TEST_F(FcSplitTest, GrooveAndBumpBarsShowTwoFramedStrips) {
  Split->SetSplitterWidth(8);  // 100..108, the middle at 104
  Split->SetColor(clRed);
  Show();
  const COLORREF shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight), red = RGB(255, 0, 0);
  for (TSplitterStyle style : {ssGroove, ssBump}) {
    SCOPED_TRACE(style == ssGroove ? "groove" : "bump");
    Split->SetSplitterStyle(style);
    App.ProcessMessages();
    const gdi::TSurface picture = Picture();
    std::vector<COLORREF> row;
    for (int x = 100; x < 108; ++x) row.push_back(gdi::ColorOfPixel(picture.Get(x, 50)));
    const COLORREF in = style == ssGroove ? shadow : light, out = style == ssGroove ? light : shadow;
    EXPECT_EQ(row, (std::vector<COLORREF>{red, in, red, out, in, red, out, red}));
  }
}

// A group bar is a gradient from the start colour at the top to the stop colour at the bottom,
// or the other way round; in the classic style it is a plain bar.
TEST_F(FcSplitTest, AGroupBarIsAGradientEitherWay) {
  Split->SetSplitterStyle(ssGroupBar);
  Split->SetGradientColorStyle(gcsCustom);
  Split->SetGradientColorStart(clRed);
  Split->SetGradientColorStop(clBlue);
  Show();
  auto at = [&](int Y) { return gdi::ColorOfPixel(Picture().Get(102, Y)); };
  // 'r' mostly red, 'b' mostly blue (the gradient's steps come near its ends).
  auto kind = [&](int Y) {
    const COLORREF c = at(Y);
    const int red = c & 0xFF, blue = (c >> 16) & 0xFF;
    return red > 240 && blue < 16 ? 'r' : blue > 240 && red < 16 ? 'b' : '?';
  };
  EXPECT_EQ(std::string() + kind(0) + kind(99), "rb");
  Split->SetGradientPath(gpBottomToTop);
  App.ProcessMessages();
  EXPECT_EQ(std::string() + kind(0) + kind(99), "br");
  Split->SetVisualStyle(vsClassic);
  Split->SetColor(clLime);
  App.ProcessMessages();
  EXPECT_EQ(at(0), RGB(0, 255, 0));
  EXPECT_EQ(at(99), RGB(0, 255, 0));
}

TEST_F(FcSplitTest, TheSettingsRoundTripThroughAWindowDefinition) {
  auto form = std::make_unique<TSplitForm>(nullptr);
  ReadComponentText(form.get(), kDefinition);
  TFcSplitter* s = form->FcSplitter1;
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Orientation(), orVertical);
  EXPECT_EQ(s->Position(), 60);
  EXPECT_EQ(s->SplitterStyle(), ssGroove);
  EXPECT_EQ(s->MarginMin(), 20);
  EXPECT_EQ(s->HotSpotDirection(), hsdBoth);
  EXPECT_EQ(s->UpperLeft()->Color(), clYellow);
  EXPECT_EQ(s->LowerRight()->BorderOuter(), fsFlat);
  EXPECT_EQ(form->FcPanel1->Parent(), s->UpperLeftPane());
  EXPECT_EQ(form->FcPanel2->Parent(), s->LowerRightPane());
  EXPECT_EQ(s->UpperLeftPane()->BoundsRect(), Bounds(0, 0, 280, 60));
  EXPECT_EQ(s->HotSpotBounds(), (TRect{84, 60, 196, 67})) << "the hot spot made the bar 7 thick";
  EXPECT_EQ(form->Changes, 0) << "reading is no change";

  // Collapse it, then write and read it back.
  s->SetHotSpotVisible(true);
  s->SetPercentMin(5);
  form->Show();
  App.ProcessMessages();
  Input.Click(form->Handle(), form->ScreenToClient(s->ClientToScreen({90, 63})));
  App.ProcessMessages();
  ASSERT_TRUE(s->HotSpotClosedToMin());
  form->Hide();
  const std::string text = WriteComponentText(form.get());
  EXPECT_NE(text.find("UpperLeftControls = (\n      'FcPanel1')"), std::string::npos) << text;
  EXPECT_EQ(text.find("PositionMin"), std::string::npos);

  auto copy = std::make_unique<TSplitForm>(nullptr);
  ReadComponentText(copy.get(), text);
  TFcSplitter* c = copy->FcSplitter1;
  EXPECT_EQ(c->Position(), 0);
  EXPECT_TRUE(c->HotSpotClosed());
  EXPECT_TRUE(c->HotSpotClosedToMin());
  EXPECT_EQ(c->HotSpotPosition(), 60);
  EXPECT_EQ(c->SplitterWidth(), 7);
  EXPECT_EQ(c->UpperLeft()->Color(), clYellow);
  EXPECT_EQ(c->LowerRight()->BorderOuter(), fsFlat);
  EXPECT_EQ(copy->FcPanel1->Parent(), c->UpperLeftPane());
  EXPECT_EQ(copy->FcPanel2->Parent(), c->LowerRightPane());
  EXPECT_EQ(copy->FcPanel2->Caption(), "Two");
  // Restoring the copy brings back the position the original had.
  form.reset();
  copy->Show();
  App.ProcessMessages();
  Input.Click(copy->Handle(), copy->ScreenToClient(c->ClientToScreen({90, 3})));
  App.ProcessMessages();
  EXPECT_EQ(c->Position(), 60);
  EXPECT_EQ(WriteComponentText(copy.get()).find("HotSpotClosed"), std::string::npos) << "only written while closed";
}

}  // namespace
