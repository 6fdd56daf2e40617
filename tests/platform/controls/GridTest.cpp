#include "platform/controls/Grids.h"

#include "platform/os/Cursors.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

// A string grid whose protected hooks the tests reach.
class TTestGrid : public TStringGrid {
 public:
  using TStringGrid::TStringGrid;
  using TCustomGrid::DeleteColumn;
  using TCustomGrid::FGridState;
  using TCustomGrid::MoveColRow;
  std::vector<std::pair<int, int>> Moves;
  int TopLeftChanges = 0;

 protected:
  void ColumnMoved(int FromIndex, int ToIndex) override {
    Moves.push_back({FromIndex, ToIndex});
    TStringGrid::ColumnMoved(FromIndex, ToIndex);
  }
  void TopLeftChanged() override {
    ++TopLeftChanges;
    TStringGrid::TopLeftChanged();
  }
};

class GridTest : public ControlTest {
 protected:
  GridTest() {
    Form->SetBounds(100, 100, 400, 300);
    Grid = Make<TTestGrid>(Form, "Grid", Bounds(10, 10, 340, 160));
    Grid->SetBorderStyle(bsNone);
    for (int c = 0; c < Grid->ColCount(); ++c)
      for (int r = 0; r < Grid->RowCount(); ++r) Grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
  }
  // The middle of a cell, in the grid's client area.
  TPoint Mid(int Col, int Row) {
    TRect r = Grid->CellRect(Col, Row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickCell(int Col, int Row) {
    Input.Click(Grid->Handle(), Mid(Col, Row));
    Pump();
  }
  void Press(UINT Key, bool Shift = false, bool Ctrl = false) {
    if (Shift) Input.KeyDown(VK_SHIFT);
    if (Ctrl) Input.KeyDown(VK_CONTROL);
    Input.Key(Key);
    if (Ctrl) Input.KeyUp(VK_CONTROL);
    if (Shift) Input.KeyUp(VK_SHIFT);
    Pump();
  }
  TGridCoord Current() const { return {Grid->Col(), Grid->Row()}; }
  TPoint ScreenAt(TPoint Client) { return test::TInputDriver::ScreenPoint(Grid->Handle(), Client); }

  TTestGrid* Grid;
};

TEST_F(GridTest, LaysOutCellsWithLinesAndMapsPointsBack) {
  ShowForm();
  // Default 64 × 24 cells with one-pixel lines.
  EXPECT_EQ(Grid->CellRect(0, 0), Rect(0, 0, 64, 24));
  EXPECT_EQ(Grid->CellRect(2, 1), Rect(130, 25, 194, 49));
  EXPECT_EQ(Grid->MouseCoord(130, 25), (TGridCoord{2, 1}));
  EXPECT_EQ(Grid->MouseCoord(129, 24), (TGridCoord{1, 0})) << "a line belongs to the cell before it";
  EXPECT_EQ(Grid->MouseCoord(339, 100), (TGridCoord{-1, -1})) << "right of the last column";
  // Column 4 is cut by the client edge: shown, but not whole.
  EXPECT_EQ(Grid->VisibleColCount(), 4);
  EXPECT_EQ(Grid->CellRect(4, 0).Right, 324);
}

TEST_F(GridTest, ClickingAndKeysMoveTheCurrentCell) {
  ShowForm();
  ClickCell(3, 2);
  EXPECT_EQ(Current(), (TGridCoord{3, 2}));
  EXPECT_EQ(Grid->Selection(), (TGridRect{3, 2, 3, 2}));
  struct TCase {
    UINT Key;
    bool Ctrl;
    TGridCoord Expected;
  };
  const TCase cases[] = {
      {VK_LEFT, false, {2, 2}},  {VK_UP, false, {2, 1}},    {VK_UP, false, {2, 1}},  // stays below the fixed row
      {VK_END, false, {4, 1}},   {VK_HOME, false, {1, 1}},  {VK_LEFT, false, {1, 1}},
      {VK_END, true, {4, 4}},    {VK_HOME, true, {1, 1}},   {VK_DOWN, false, {1, 2}},
  };
  for (const TCase& c : cases) {
    Press(c.Key, false, c.Ctrl);
    EXPECT_EQ(Current(), c.Expected) << "key " << c.Key << (c.Ctrl ? " with Ctrl" : "");
  }
  // A click on a fixed cell does not move it; OnSelectCell can refuse a cell.
  ClickCell(0, 3);
  EXPECT_EQ(Current(), (TGridCoord{1, 2}));
  Grid->OnSelectCell = [](TObject*, int ACol, int, bool& Can) { Can = ACol != 3; };
  ClickCell(3, 3);
  EXPECT_EQ(Current(), (TGridCoord{1, 2}));
  Press(VK_RIGHT);
  Press(VK_RIGHT);
  EXPECT_EQ(Current(), (TGridCoord{2, 2})) << "the refused column stops the move";
}

TEST_F(GridTest, TabWalksTheTabStopsOnlyWithGoTabs) {
  ShowForm();
  ClickCell(3, 1);
  Press(VK_TAB);
  EXPECT_EQ(Current(), (TGridCoord{3, 1})) << "without goTabs Tab leaves the grid alone";
  Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
  Grid->SetTabStops(4, false);
  Press(VK_TAB);
  EXPECT_EQ(Current(), (TGridCoord{1, 2})) << "past the last tab stop to the next row's first column";
  Press(VK_TAB, true);
  EXPECT_EQ(Current(), (TGridCoord{3, 1})) << "Shift+Tab goes back without selecting";
  EXPECT_EQ(Grid->Selection(), (TGridRect{3, 1, 3, 1}));
  Grid->SetRow(4);
  Grid->SetCol(3);
  Press(VK_TAB);
  EXPECT_EQ(Current(), (TGridCoord{1, 1})) << "from the last cell round to the first";
}

TEST_F(GridTest, RangeSelectionByDragAndShift) {
  ShowForm();
  Input.Drag(ScreenAt(Mid(1, 1)), ScreenAt(Mid(3, 2)));
  Pump();
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 1, 3, 2}));
  EXPECT_EQ(Current(), (TGridCoord{1, 1})) << "the pressed cell stays current";
  EXPECT_EQ(Grid->FGridState, gsNormal);
  ClickCell(2, 3);
  Press(VK_RIGHT, true);
  Press(VK_UP, true);
  EXPECT_EQ(Grid->Selection(), (TGridRect{2, 2, 3, 3})) << "Shift+arrows extend from the clicked cell";
  EXPECT_EQ(Current(), (TGridCoord{3, 2}));
  Press(VK_RIGHT);
  EXPECT_EQ(Grid->Selection(), (TGridRect{4, 2, 4, 2})) << "a plain move collapses it";
  // Without goRangeSelect a drag only moves the current cell.
  Grid->SetOptions(Grid->Options() - TGridOptions{goRangeSelect});
  Input.Wait(1000);  // not a double click
  Input.Drag(ScreenAt(Mid(1, 1)), ScreenAt(Mid(3, 2)));
  App.RunFor(1100);
  EXPECT_EQ(Grid->Selection(), (TGridRect{3, 2, 3, 2}));
  // Row select spans the scrolling columns.
  Grid->SetOptions(Grid->Options() + TGridOptions{goRowSelect});
  ClickCell(2, 3);
  EXPECT_EQ(Grid->Selection(), (TGridRect{1, 3, 4, 3}));
}

TEST_F(GridTest, DividerOfAFixedRowSizesTheColumnWithTheSplitCursor) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing, goRowSizing});
  ShowForm();
  // The divider after column 1 is at x = 129 (its line).
  Input.MoveTo(Grid->Handle(), Point(130, 10));
  Pump();
  EXPECT_EQ(App.Presenter().Cursor(), Screen->Cursors(crHSplit));
  Input.MoveTo(Grid->Handle(), Point(130, 40));
  Pump();
  EXPECT_NE(App.Presenter().Cursor(), Screen->Cursors(crHSplit)) << "only over the fixed row";
  Input.Drag(ScreenAt(Point(129, 10)), ScreenAt(Point(159, 10)));
  Pump();
  EXPECT_EQ(Grid->ColWidths(1), 94);
  EXPECT_EQ(Grid->ColWidths(2), 64);
  EXPECT_EQ(Grid->CellRect(2, 0).Left, 160);
  // Rows are sized on the fixed column's dividers; a drag to almost nothing is refused.
  Input.Drag(ScreenAt(Point(30, 49)), ScreenAt(Point(30, 60)));
  Pump();
  EXPECT_EQ(Grid->RowHeights(1), 35);
  Input.Drag(ScreenAt(Point(30, 24)), ScreenAt(Point(30, 0)));
  Pump();
  EXPECT_EQ(Grid->RowHeights(0), 24);
  // Without the options nothing is sized.
  Grid->SetOptions(Grid->Options() - TGridOptions{goColSizing});
  Input.Drag(ScreenAt(Point(224, 10)), ScreenAt(Point(250, 10)));
  Pump();
  EXPECT_EQ(Grid->ColWidths(2), 64);
}

TEST_F(GridTest, DraggingATitleMovesTheColumnWithItsCells) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goColMoving});
  ShowForm();
  Grid->SetColWidths(1, 40);
  Grid->SetCol(1);
  Input.Drag(ScreenAt(Mid(1, 0)), ScreenAt(Mid(3, 0)));
  Pump();
  ASSERT_EQ(Grid->Moves.size(), 1u);
  EXPECT_EQ(Grid->Moves[0], std::make_pair(1, 3));
  EXPECT_EQ(Grid->Cells(3, 2), "1:2");
  EXPECT_EQ(Grid->Cells(1, 2), "2:2");
  EXPECT_EQ(Grid->ColWidths(3), 40) << "the width goes with the column";
  EXPECT_EQ(Grid->Col(), 3) << "and so does the current cell";
  // A drag that ends where it started moves nothing.
  Input.Drag(ScreenAt(Mid(2, 0)), ScreenAt({Mid(2, 0).X + 3, Mid(2, 0).Y}));
  Pump();
  EXPECT_EQ(Grid->Moves.size(), 1u);
}

TEST_F(GridTest, ScrollingKeepsTheCurrentCellInViewAndFollowsTheBar) {
  Grid->SetRowCount(50);
  Grid->SetColCount(12);
  ShowForm();
  HWND h = Grid->Handle();
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  ASSERT_TRUE(GetScrollInfo(h, SB_VERT, &si));
  // The client is 160 high less the horizontal bar: 5 rows of 25 fit whole.
  int visible = Grid->VisibleRowCount();
  EXPECT_EQ(si.nMax, 48);
  EXPECT_EQ(static_cast<int>(si.nPage), visible);
  ClickCell(1, 1);
  Press(VK_NEXT);
  EXPECT_EQ(Grid->Row(), 1 + visible - 1);
  EXPECT_EQ(Grid->TopRow(), 1 + visible - 1);
  Press(VK_END, false, true);
  EXPECT_EQ(Grid->Row(), 49);
  EXPECT_EQ(Grid->TopRow(), 50 - visible) << "the last row ends the view";
  EXPECT_EQ(GetScrollPos(h, SB_VERT), 50 - visible - 1);
  Press(VK_HOME, false, true);
  EXPECT_EQ(Grid->TopRow(), 1);
  // The bar's messages move the top row, not the current cell.
  SendMessage(h, WM_VSCROLL, SB_LINEDOWN, 0);
  SendMessage(h, WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Grid->TopRow(), 2 + visible - 1);
  EXPECT_EQ(Grid->Row(), 1);
  SendMessage(h, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(Grid->TopRow(), 50 - visible);
  SendMessage(h, WM_HSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Grid->LeftCol(), 2);
  // Thumb tracking scrolls only with goThumbTracking; the release always does.
  SendMessage(h, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 10), 0);
  EXPECT_EQ(Grid->TopRow(), 50 - visible);
  Grid->SetOptions(Grid->Options() + TGridOptions{goThumbTracking});
  Grid->SetTopRow(1);
  EXPECT_EQ(Grid->TopRow(), 1);
  Grid->SetTopRow(500);
  EXPECT_EQ(Grid->TopRow(), 50 - visible) << "set beyond the end, it stops at the last full view";
}

TEST_F(GridTest, WheelMovesTheCurrentRow) {
  Grid->SetRowCount(30);
  ShowForm();
  ClickCell(2, 2);
  Input.Wheel(-3);
  Pump();
  EXPECT_EQ(Grid->Row(), 5);
  Input.Wheel(10);
  Pump();
  EXPECT_EQ(Grid->Row(), 1);
}

TEST_F(GridTest, HoldingTheMouseBelowTheCellsScrollsTheSelection) {
  Grid->SetRowCount(40);
  ShowForm();
  int top = Grid->TopRow();
  Input.MoveTo(Grid->Handle(), Mid(2, 2));
  Input.Press();
  Input.MoveTo(Grid->Handle(), Point(150, 200));  // below the grid, in the form
  Pump();
  App.RunFor(600);
  EXPECT_GT(Grid->TopRow(), top + 3);
  int scrolled = Grid->TopRow();
  Input.Release();
  Pump();
  App.RunFor(300);
  EXPECT_EQ(Grid->TopRow(), scrolled) << "the release stops the timer";
  TGridRect sel = Grid->Selection();
  EXPECT_EQ(sel.Top, 2);
  EXPECT_GT(sel.Bottom, 2 + 3);
}

TEST_F(GridTest, HiddenColumnTakesNoRoomAndIsSkipped) {
  ShowForm();
  Grid->SetColWidths(2, -1);
  EXPECT_TRUE(Grid->CellRect(2, 1).IsEmpty());
  EXPECT_EQ(Grid->CellRect(3, 1).Left, 130) << "column 3 moves into its place";
  EXPECT_EQ(Grid->MouseCoord(140, 30), (TGridCoord{3, 1}));
  ClickCell(1, 1);
  Press(VK_RIGHT);
  EXPECT_EQ(Current(), (TGridCoord{3, 1}));
  Press(VK_LEFT);
  EXPECT_EQ(Current(), (TGridCoord{1, 1}));
  Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
  Press(VK_TAB);
  EXPECT_EQ(Current(), (TGridCoord{3, 1}));
  Grid->SetColWidths(2, 50);
  EXPECT_EQ(Grid->CellRect(3, 1).Left, 181);
}

TEST_F(GridTest, MisuseRaisesInvalidGridOperation) {
  EXPECT_THROW(Grid->SetFixedCols(5), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetFixedRows(-1), EInvalidGridOperation);
  EXPECT_THROW(Grid->Cells(5, 0), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetCells(0, -1, "x"), EInvalidGridOperation);
  EXPECT_THROW(Grid->ColWidths(9), EInvalidGridOperation);
  EXPECT_THROW(Grid->SetRowHeights(5, 10), EInvalidGridOperation);
  EXPECT_THROW(Grid->MoveColRow(7, 1, true, true), EInvalidGridOperation);
  EXPECT_EQ(Grid->FixedCols(), 1) << "a refused value changes nothing";
  // Shrinking below the fixed count takes the fixed count down with it; the cells go too.
  Grid->SetColCount(1);
  EXPECT_EQ(Grid->FixedCols(), 0);
  EXPECT_THROW(Grid->Cells(1, 0), EInvalidGridOperation);
  Grid->SetColCount(3);
  EXPECT_EQ(Grid->Cells(1, 1), "") << "new cells are empty";
  EXPECT_EQ(Grid->Cells(0, 1), "0:1");
}

TEST_F(GridTest, DeletingAColumnShiftsTheOthersLeft) {
  Grid->DeleteColumn(1);
  EXPECT_EQ(Grid->ColCount(), 4);
  EXPECT_EQ(Grid->Cells(1, 3), "2:3");
  EXPECT_EQ(Grid->Cells(3, 3), "4:3");
}

TEST_F(GridTest, PaintsRaisedFixedCellsLinesSelectionAndText) {
  Grid->SetOptions(Grid->Options() + TGridOptions{goRangeSelect});
  ShowForm();
  ClickCell(1, 1);
  Press(VK_RIGHT, true);
  Grid->SetFocus();
  Pump();
  TPoint origin{Grid->ClientOrigin().X - Form->ClientOrigin().X, Grid->ClientOrigin().Y - Form->ClientOrigin().Y};
  auto at = [&](int X, int Y) { return Pixel(origin.X + X, origin.Y + Y); };
  EXPECT_EQ(at(64, 40), ColorToRGB(clBlack)) << "fixed column line";
  EXPECT_EQ(at(100, 49), ColorToRGB(clSilver)) << "data line";
  EXPECT_EQ(at(0, 5), ColorToRGB(clBtnHighlight)) << "raised fixed cell";
  EXPECT_EQ(at(63, 5), ColorToRGB(clBtnShadow));
  EXPECT_EQ(at(100, 40), ColorToRGB(clHighlight)) << "selected cell away from the focus";
  EXPECT_EQ(at(180, 40), ColorToRGB(clWindow)) << "the focused cell is not highlighted";
  EXPECT_EQ(at(130, 25), ColorToRGB(clWindow) ^ 0xFFFFFF) << "its focus frame";
  EXPECT_EQ(at(330, 10), ColorToRGB(clWindow)) << "beyond the last column";
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-string-grid", 24, 200));
}

}  // namespace

namespace {

using namespace ctltest;

TEST_F(GridTest, ScrolledGridWithFrameAndBarsKeepsItsFixedCells) {
  Grid->SetBorderStyle(bsSingle);
  Grid->SetRowCount(30);
  Grid->SetColCount(10);
  Grid->SetCells(0, 12, "row 12");
  Grid->SetCells(7, 0, "col 7");
  ShowForm();
  Grid->SetTopRow(12);
  Grid->SetLeftCol(6);
  Pump();
  EXPECT_EQ(Grid->MouseCoord(5, 5), (TGridCoord{0, 0}));
  EXPECT_EQ(Grid->MouseCoord(70, 30), (TGridCoord{6, 12}));
  EXPECT_TRUE(Grid->CellRect(3, 3).IsEmpty()) << "scrolled out of view";
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-string-grid-scrolled", 24, 200));
}

}  // namespace
