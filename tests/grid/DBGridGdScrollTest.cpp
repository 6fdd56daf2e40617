// Scrolling the numbered rows: the bars' visibility, an external scroll bar, the thumb with and
// without tracking, the wheel, and the auto-scroll of a drag below the data area.
#include <gtest/gtest.h>

#include "platform/controls/ScrollBar.h"
#include "platform/os/ScrollBars.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/InputDriver.h"

namespace {

using gridtest::GridTest;

class ScrollTest : public GridTest {
 protected:
  ScrollTest() { Grid->SetFocus(); }
  TScrollBar* AddBar(const std::string& Name) {
    auto* bar = new TScrollBar(Form.get());
    bar->SetName(Name);
    bar->SetKind(sbVertical);
    bar->SetParent(Form.get());
    bar->SetBounds(280, 0, 17, 200);
    App.ProcessMessages();
    return bar;
  }
  bool OwnBarShown(int Style) { return (GetWindowLong(Grid->Handle(), GWL_STYLE) & Style) != 0; }
  void Thumb(TScrollBar* Bar, int Code, int Pos) {
    SendMessage(Grid->Handle(), WM_VSCROLL, MAKEWPARAM(Code, Pos), reinterpret_cast<LPARAM>(Bar->Handle()));
  }
  int LastShown() {
    return Table.RecNo() - Grid->DataLink()->ActiveRecord() + Grid->DataLink()->RecordCount() - 1;
  }
  test::TInputDriver Input;
};

TEST_F(ScrollTest, VisibleModeNeverHidesTheVerticalBarAndVisibleHidesTheHorizontalOne) {
  EXPECT_TRUE(Grid->VertScrollBar()->ScrollBarShown());
  Grid->VertScrollBar()->SetVisibleMode(sbNeverShowGd);
  App.ProcessMessages();
  EXPECT_FALSE(Grid->VertScrollBar()->ScrollBarShown());
  EXPECT_FALSE(OwnBarShown(WS_VSCROLL));
  EXPECT_FALSE(Grid->VertScrollBar()->Visible());
  for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetWidth(120);
  App.ProcessMessages();
  EXPECT_TRUE(Grid->HorzScrollBar()->ScrollBarShown());
  Grid->HorzScrollBar()->SetVisible(false);
  App.ProcessMessages();
  EXPECT_FALSE(OwnBarShown(WS_HSCROLL));
}

TEST_F(ScrollTest, AnExternalBarScrollsTheGridAndASecondAttachRaises) {
  TScrollBar* bar = AddBar("ScrollBar1");
  Grid->VertScrollBar()->SetExtScrollBar(bar);
  App.ProcessMessages();
  EXPECT_FALSE(OwnBarShown(WS_VSCROLL));
  EXPECT_EQ(bar->Position(), 1);
  EXPECT_EQ(bar->PageSize(), Grid->VisibleDataRowCount());
  // The bottom arrow: a line down, to the record below the last one shown.
  const int below = LastShown() + 1;
  Input.Click(bar->Handle(), TPoint{8, 200 - 4});
  App.RunFor(50);
  EXPECT_EQ(Table.RecNo(), below);
  EXPECT_EQ(bar->Position(), below);

  auto* other = new TDBGridGd(Form.get());
  other->SetParent(Form.get());
  other->SetDataSource(Source);
  try {
    other->VertScrollBar()->SetExtScrollBar(bar);
    ADD_FAILURE() << "a second attach must raise";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Possible ScrollBar1 already attached to the other control.");
  }
  EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), nullptr);
  EXPECT_EQ(Grid->VertScrollBar()->ExtScrollBar(), bar);
  Thumb(bar, SB_THUMBPOSITION, 3);
  EXPECT_EQ(Table.RecNo(), 3);

  // Released, the bar scrolls only itself; another grid may take it now.
  Grid->VertScrollBar()->SetExtScrollBar(nullptr);
  App.ProcessMessages();
  EXPECT_TRUE(OwnBarShown(WS_VSCROLL));
  Input.Click(bar->Handle(), TPoint{8, 200 - 4});
  App.RunFor(50);
  EXPECT_EQ(Table.RecNo(), 3);
  other->VertScrollBar()->SetExtScrollBar(bar);
  delete bar;  // the grid forgets a bar that goes
  EXPECT_EQ(other->VertScrollBar()->ExtScrollBar(), nullptr);
}

TEST_F(ScrollTest, TheThumbMovesWhileDraggedOnlyWithTracking) {
  TScrollBar* bar = AddBar("ScrollBar1");
  Grid->VertScrollBar()->SetExtScrollBar(bar);
  struct TCase {
    bool Tracking;
    int Code;
    int Pos;
    int RecNo;
  };
  const TCase cases[] = {
      {false, SB_THUMBTRACK, 12, 1},      // nothing until released
      {false, SB_THUMBPOSITION, 12, 12},  // the release sets the record number
      {false, SB_THUMBPOSITION, 1, 1},    // 0 and 1 go to the first record
      {false, SB_THUMBPOSITION, 20, 20},  // at the record count and beyond: the last
      {true, SB_THUMBTRACK, 15, 15},      // tracking moves at once
      {true, SB_THUMBPOSITION, 3, 15},    // and ignores the release that follows
      {true, SB_THUMBPOSITION, 3, 3},
  };
  Table.First();
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Code) + " " + std::to_string(c.Pos));
    Grid->VertScrollBar()->SetTracking(c.Tracking);
    Thumb(bar, c.Code, c.Pos);
    EXPECT_EQ(Table.RecNo(), c.RecNo);
  }
}

TEST_F(ScrollTest, LinePageAndWheelSteps) {
  Table.MoveBy(9);
  App.ProcessMessages();
  const int firstShown = Table.RecNo() - Grid->DataLink()->ActiveRecord();
  SendMessage(Grid->Handle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Table.RecNo(), firstShown - 1);
  SendMessage(Grid->Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Table.RecNo(), firstShown - 1 + Grid->VisibleDataRowCount());
  SendMessage(Grid->Handle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(Table.RecNo(), 1);
  Input.MoveTo(Grid->Handle());
  Input.Wheel(-1);
  App.ProcessMessages();
  EXPECT_EQ(Table.RecNo(), 2);
  Input.Wheel(1);
  App.ProcessMessages();
  EXPECT_EQ(Table.RecNo(), 1);
}

TEST_F(ScrollTest, ARectangleDragFarBelowTheDataMovesEightRecordsAtOnce) {
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
  const TRect first = Grid->CellRect(1, 1);
  Input.MoveTo(Grid->Handle(), {first.Left + 5, first.Top + 3});
  Input.Press();
  App.ProcessMessages();
  ASSERT_EQ(Grid->MouseTrackMode(), 3);
  const int records = Grid->DataLink()->RecordCount();
  const TRect last = Grid->CellRect(1, records);
  Input.MoveTo(Grid->Handle(), {first.Left + 5, last.Bottom + 60});
  App.ProcessMessages();
  const int start = Table.RecNo();
  App.RunFor(10);  // one tick (no pause: 200 - 15 x 60 is below 0)
  EXPECT_EQ(Table.RecNo(), start + 8);
  EXPECT_EQ(Grid->Selection()->SelectionType(), gstRectangle);
  Input.Release();
  App.RunFor(100);
  const int after = Table.RecNo();
  App.RunFor(100);
  EXPECT_EQ(Table.RecNo(), after);  // the release stopped it
}

}  // namespace
