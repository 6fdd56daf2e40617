#include "platform/controls/ExtCtrls.h"
#include "platform/os/Input.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

// A form of 300 × 200: a panel on the left (100 wide), the splitter after it, a panel filling
// the rest; or the same along the bottom.
TPoint Middle(const TRect& R) { return {(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2}; }

class SplitterTest : public StaticControlTest {
 protected:
  void Build(TAlign Side) {
    Side_ = Side;
    Aligned = Make<TTestPanel>(Form, "Aligned", Side == alLeft ? Bounds(0, 0, 100, 200) : Bounds(0, 100, 300, 100));
    Aligned->SetAlign(Side);
    Splitter = Make<TSplitter>(Form, "Splitter", Bounds(0, 0, 3, 3));
    Splitter->SetAlign(Side);
    Splitter->SetBoundsRect(Side == alLeft ? Bounds(100, 0, 3, 200) : Bounds(0, 97, 300, 3));
    Rest = Make<TTestPanel>(Form, "Rest", Bounds(0, 0, 10, 10));
    Rest->SetAlign(alClient);
    Rest->SetColor(RGB(255, 0, 0));
    Splitter->OnMoved = [this](TObject*) { ++Moves; };
    ShowForm();
  }
  // Drags the bar by Delta along its axis from its middle, in four moves that are each
  // handled before the next.
  void DragBy(int Delta) {
    const TPoint from = test::TInputDriver::ScreenPoint(Form->Handle(), Middle(Splitter->BoundsRect()));
    Input.MoveTo(from);
    Input.Press();
    Pump();
    for (int i = 1; i <= 4; ++i) {
      const int d = Delta * i / 4;
      Input.MoveTo(Side_ == alLeft ? TPoint(from.X + d, from.Y) : TPoint(from.X, from.Y + d));
      Pump();
    }
    Input.Release();
    Pump();
  }
  int Size() const { return Side_ == alLeft ? Aligned->Width() : Aligned->Height(); }

  TAlign Side_ = alLeft;
  TTestPanel* Aligned = nullptr;
  TSplitter* Splitter = nullptr;
  TTestPanel* Rest = nullptr;
  int Moves = 0;
};

TEST_F(SplitterTest, DraggingTheBarResizesTheControlBesideIt) {
  for (TResizeStyle style : {rsPattern, rsLine, rsUpdate}) {
    Build(alLeft);
    Splitter->SetResizeStyle(style);
    EXPECT_EQ(Splitter->FindControl(), Aligned);
    EXPECT_EQ(Splitter->Cursor(), crHSplit);
    DragBy(50);
    EXPECT_EQ(Aligned->Width(), 150) << style;
    EXPECT_EQ(Splitter->Left(), 150) << "the bar follows";
    EXPECT_EQ(Rest->BoundsRect(), Bounds(153, 0, 147, 200));
    EXPECT_EQ(Moves, style == rsUpdate ? 4 : 1) << "after each resize: live, or once at the end";
    const TRect rest = Rest->BoundsRect();
    EXPECT_EQ(CountOf(rest, RGB(255, 0, 0)), rest.Width() * rest.Height()) << "no ghost line is left";
    DragBy(-20);
    EXPECT_EQ(Aligned->Width(), 130);
    delete Form;
    Form = new TForm(Application);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 300, 200);
    Moves = 0;
  }
}

TEST_F(SplitterTest, ABottomBarGrowsItsControlUpwards) {
  Build(alBottom);
  EXPECT_EQ(Aligned->BoundsRect(), Bounds(0, 100, 300, 100));
  EXPECT_EQ(Splitter->BoundsRect(), Bounds(0, 97, 300, 3));
  EXPECT_EQ(Splitter->Cursor(), crVSplit);
  DragBy(-40);
  EXPECT_EQ(Aligned->BoundsRect(), Bounds(0, 60, 300, 140));
  EXPECT_EQ(Splitter->Top(), 57);
  EXPECT_EQ(Rest->Height(), 57);
}

TEST_F(SplitterTest, TheSizeStaysBetweenMinSizeAndWhatTheOtherControlsLeave) {
  Build(alLeft);
  // The client panel keeps MinSize (30): 300 - 30 - 3 = 267 at most.
  DragBy(250);
  EXPECT_EQ(Aligned->Width(), 267);
  // Below MinSize the control snaps shut; without AutoSnap it stops at MinSize.
  DragBy(-250);
  EXPECT_EQ(Aligned->Width(), 0);
  EXPECT_EQ(Splitter->FindControl(), Aligned) << "a closed control is still found";
  DragBy(60);
  EXPECT_EQ(Aligned->Width(), 60);
  Splitter->SetAutoSnap(false);
  DragBy(-50);
  EXPECT_EQ(Aligned->Width(), 30);
}

TEST_F(SplitterTest, OnCanResizeAdjustsOrRefusesTheSize) {
  Build(alLeft);
  Splitter->SetResizeStyle(rsUpdate);
  Splitter->OnCanResize = [](TObject*, int& NewSize, bool& Accept) {
    if (NewSize > 200) Accept = false;
    else NewSize = NewSize / 10 * 10;
  };
  DragBy(47);
  EXPECT_EQ(Aligned->Width(), 140) << "rounded down to tens";
  DragBy(120);
  EXPECT_EQ(Aligned->Width(), 200) << "the moves past 200 are refused";
}

TEST_F(SplitterTest, EscapeEndsADragWithoutResizing) {
  Build(alLeft);
  auto* edit = Make<TTestButton>(Rest, "Edit", Bounds(10, 10, 60, 20));
  WORD seen = 0;
  edit->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { seen = Key; };
  ShowForm();
  edit->SetFocus();
  const TPoint bar = test::TInputDriver::ScreenPoint(Form->Handle(), Middle(Splitter->BoundsRect()));
  Input.MoveTo(bar);
  Input.Press();
  Input.MoveTo({bar.X + 40, bar.Y});
  Pump();
  const TRect ghost = Bounds(140, 50, 3, 100);
  EXPECT_GT(CountOf(ghost, RGB(0, 255, 255)), 100) << "the ghost bar inverts the red panel (a checker pattern)";
  EXPECT_GT(CountOf(ghost, RGB(255, 0, 0)), 100);
  Input.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(CountOf(ghost, RGB(255, 0, 0)), 300) << "and is gone after Escape";
  Input.Release();
  Pump();
  EXPECT_EQ(Aligned->Width(), 100);
  EXPECT_EQ(Moves, 0);
  EXPECT_EQ(seen, 0) << "the Escape ended the drag";
  Input.Key('A');
  Pump();
  EXPECT_EQ(seen, 'A') << "the focused control's own key handler is back";
}

}  // namespace
