// The layout pass and the data link: rows that fit, row and title heights, the locks and the
// deferred layout message, scrolling the window by the dataset's moves, and the vertical bar.
#include "grid/DBGridGd.h"
#include "platform/gdi/Objects.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Painting.h"
#include "platform/os/ScrollBars.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

int TextHeight(TDBGridGd* Grid, TFont* Font) {
  Grid->Canvas()->SetFont(Font);
  return Grid->Canvas()->TextHeight("Wg");
}

bool DeferredLayoutQueued(TDBGridGd* Grid) {
  MSG msg;
  return PeekMessage(&msg, Grid->Handle(), WM_DEFERREDLAYOUTGD, WM_DEFERREDLAYOUTGD, PM_NOREMOVE);
}

// Handles the one queued deferred layout message.
void DispatchDeferredLayout(TDBGridGd* Grid) {
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, Grid->Handle(), WM_DEFERREDLAYOUTGD, WM_DEFERREDLAYOUTGD, PM_REMOVE));
  DispatchMessage(&msg);
}

TEST_F(GridTest, RowsAreTheWholeRowsThatFitWithTheirHeightsFromTheFont) {
  const int h = TextHeight(Grid, Grid->Font());
  const int line = Grid->GridLineWidth();
  EXPECT_EQ(Grid->DefaultRowHeight(), h + 3 + line);
  EXPECT_EQ(Grid->RowHeights(0), TextHeight(Grid, Grid->TitleFont()) + 4);
  const int pitch = Grid->DefaultRowHeight() + line;
  const int rows = (Grid->ClientHeight() - Grid->RowHeights(0) - line) / pitch;
  EXPECT_EQ(Grid->DataLink()->BufferCount(), rows);
  EXPECT_EQ(Grid->RowCount(), rows + 1);
  EXPECT_EQ(Grid->VisibleDataRowCount(), rows);
  Grid->SetFlat(true);
  EXPECT_EQ(Grid->DefaultRowHeight(), h + 1 + line);
  EXPECT_EQ(Grid->RowHeights(0), TextHeight(Grid, Grid->TitleFont()) + 2);
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgRowLines});
  EXPECT_EQ(Grid->DefaultRowHeight(), h + 1);
}

TEST_F(GridTest, FittingTheRowHeightToTheTextRoundsToWholeLines) {
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgRowLines});
  const int h = TextHeight(Grid, Grid->Font());
  const int extra = 3;
  struct Case {
    int RowHeight, Expected, Lines;
  };
  // A remainder up to half a line is dropped, a larger one makes a line more.
  const Case cases[] = {
      {extra + h + h / 2 - 1, h + extra, 1}, {extra + h + h / 2 + 1, 2 * h + extra, 2}, {extra + 2, h + extra, 1}};
  for (const Case& c : cases) {
    Grid->SetOptionsGd(Grid->OptionsGd() - TDBGridGdOptions{dghFitRowHeightToText});
    Grid->SetRowLines(0);
    Grid->SetRowHeight(c.RowHeight);
    Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghFitRowHeightToText});
    EXPECT_EQ(Grid->DefaultRowHeight(), c.Expected) << c.RowHeight;
    EXPECT_EQ(Grid->RowLines(), c.Lines) << c.RowHeight;
    EXPECT_EQ(Grid->RowHeight(), extra) << c.RowHeight;
  }
}

TEST_F(GridTest, AnEmptyDatasetShowsOneEmptyRowAndFootersKeepTheirPlace) {
  Table.EmptyDataSet();
  EXPECT_EQ(Grid->RowCount(), Grid->TitleOffset() + 1);
  Grid->SetFooterRowCount(1);
  EXPECT_EQ(Grid->RowCount(), Grid->TitleOffset() + 3);
  EXPECT_GE(Grid->RowHeights(Grid->TitleOffset() + 1), 0);
  // With records, the spacer row under them takes what is left, never a negative height.
  AddRows(3);
  const int spacer = Grid->RowCount() - Grid->FooterRowCount() - 1;
  EXPECT_EQ(spacer, Grid->TitleOffset() + 3);
  EXPECT_GT(Grid->RowHeights(spacer), 0);
  Grid->SetBounds(0, 0, 300, 40);
  App.ProcessMessages();
  for (int r = 0; r < Grid->RowCount(); ++r) EXPECT_GE(Grid->RowHeights(r), 0) << r;
}

TEST_F(GridTest, ADeferredLayoutReleasesOnlyTheLevelItsCallerTook) {
  for (bool outer : {false, true}) {
    if (outer) Grid->LockUpdate();
    {
      TGridLayoutScope scope(*Grid);
      EXPECT_EQ(Grid->LayoutLock(), 1);
      scope.Defer();
    }
    EXPECT_EQ(Grid->LayoutLock(), 0) << outer;
    EXPECT_EQ(Grid->UpdateLock(), outer ? 1 : 0) << outer;
    EXPECT_TRUE(DeferredLayoutQueued(Grid));
    // While a lock is held the message only comes back.
    const int passes = Grid->LayoutCount();
    if (outer) {
      DispatchDeferredLayout(Grid);
      EXPECT_EQ(Grid->LayoutCount(), passes);
      EXPECT_TRUE(DeferredLayoutQueued(Grid));
      Grid->UnlockUpdate();
    }
    DispatchDeferredLayout(Grid);
    EXPECT_EQ(Grid->LayoutCount(), passes + 1) << outer;
    EXPECT_FALSE(DeferredLayoutQueued(Grid));
  }
  Grid->UnlockUpdate();  // never below zero
  EXPECT_EQ(Grid->UpdateLock(), 0);
}

TEST_F(GridTest, TwoLayoutRequestsDuringOneLockedStretchRunThePassOnce) {
  const int passes = Grid->LayoutCount();
  Grid->BeginLayout();
  Grid->LayoutChanged();
  Grid->SetRowHeight(30);
  Grid->RequestDeferredLayout();
  Grid->RequestDeferredLayout();
  Grid->EndLayout();
  EXPECT_EQ(Grid->LayoutCount(), passes + 1);
  EXPECT_EQ(Grid->DefaultRowHeight(), 30);
  App.ProcessMessages();  // the queued message finds the pass done once more at most
  EXPECT_LE(Grid->LayoutCount(), passes + 2);
  EXPECT_FALSE(DeferredLayoutQueued(Grid));
}

TEST_F(GridTest, TheFieldMapRefusesToGrowPastItsLimit) {
  Grid->DataLink()->SetMapLimitForTest(3);
  EXPECT_THROW(Grid->LayoutChanged(), EInvalidGridOperation);
  EXPECT_EQ(Grid->LayoutLock(), 0);
  EXPECT_EQ(Grid->UpdateLock(), 0);
  EXPECT_FALSE(Grid->InLayout());
  Grid->DataLink()->SetMapLimitForTest(TGridDataLinkGd::MaxMapSize);
  Grid->LayoutChanged();
  EXPECT_EQ(Grid->FieldCount(), 5);
  EXPECT_GE(Grid->DataLink()->FieldMapCapacity(), 5);
}

TEST_F(GridTest, AMoveOfUpToTheVisibleRowsScrollsAndOneMoreRepaintsAll) {
  const int visible = Grid->VisibleDataRowCount();
  ASSERT_GE(visible, 4);
  // Which rows are left to repaint: the title, the first data row, the row the old current row
  // moved to, and the first row scrolled in.
  struct Case {
    int Shift;
    bool Title, Upper, OldCurrent, FirstNew;
  };
  const Case cases[] = {
      {2, false, false, true, true}, {visible, false, true, false, true}, {visible + 1, true, true, false, true}};
  for (const Case& c : cases) {
    Table.First();
    Table.MoveBy(visible - 1);  // the last visible row: a move by n shifts the window by n
    App.ProcessMessages();
    ASSERT_EQ(Grid->DataLink()->ActiveRecord(), visible - 1);
    Grid->LockUpdate();  // keeps the grid from painting at once
    Table.MoveBy(c.Shift);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(Grid->Handle(), rgn, FALSE);
    const int dataCol = Grid->IndicatorOffset() + 1;
    const int top = Grid->TitleOffset();
    auto in = [&](int Row) {
      const TRect r = Grid->CellRect(dataCol, Row);
      return PtInRegion(rgn, r.Left + 2, r.Top + 2) != FALSE;
    };
    EXPECT_EQ(in(0), c.Title) << c.Shift;
    EXPECT_EQ(in(top + 1), c.Upper) << c.Shift;
    if (c.Shift < visible) {
      EXPECT_EQ(in(top + visible - 1 - c.Shift), c.OldCurrent) << c.Shift;
    }
    EXPECT_EQ(in(top + std::max(0, visible - c.Shift)), c.FirstNew) << c.Shift;
    if (c.Shift < visible) {
      // Every row scrolled in is repainted whole, down to the last row's line.
      const TRect last = Grid->CellRect(dataCol, top + visible - 1);
      const TRect firstNew = Grid->CellRect(dataCol, top + visible - c.Shift);
      EXPECT_TRUE(PtInRegion(rgn, firstNew.Left + 2, firstNew.Top));
      EXPECT_TRUE(PtInRegion(rgn, last.Left + 2, last.Bottom - 1));
    }
    DeleteObject(rgn);
    Grid->UnlockUpdate();
    App.ProcessMessages();
    EXPECT_EQ(Grid->Row(), top + visible - 1) << c.Shift;
  }
}

TEST_F(GridTest, TheVerticalBarRunsOverTheRecordsWithAPageOfTheVisibleRows) {
  Table.MoveBy(5);
  App.ProcessMessages();
  SCROLLINFO si{};
  si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  GetScrollInfo(Grid->Handle(), SB_VERT, &si);
  const int page = Grid->VisibleDataRowCount();
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(static_cast<int>(si.nPage), page);
  EXPECT_EQ(si.nMax, Table.RecordCount() + page - 1);
  EXPECT_EQ(si.nPos, 6);
  // The bar moves the dataset: a line down goes to the record below the last one shown.
  const int lastShown = Table.RecNo() - Grid->DataLink()->ActiveRecord() + Grid->DataLink()->RecordCount() - 1;
  SendMessage(Grid->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Table.RecNo(), lastShown + 1);
  SendMessage(Grid->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_TRUE(Table.Eof());
}

TEST_F(GridTest, TheCurrentRowFollowsTheActiveRecord) {
  Table.Last();
  App.ProcessMessages();
  EXPECT_EQ(Grid->Row(), Grid->TitleOffset() + Grid->DataLink()->ActiveRecord());
  EXPECT_EQ(Grid->Row(), Grid->RowCount() - 1);
  Table.First();
  EXPECT_EQ(Grid->Row(), Grid->TitleOffset());
}

TEST_F(GridTest, AutoFitSpreadsTheClientWidthAndSkipsColumnsThatAllStartAtZero) {
  TDBGridColumnGd* a = Grid->Columns()->Add();
  a->SetFieldName("id");
  a->SetWidth(40);
  TDBGridColumnGd* b = Grid->Columns()->Add();
  b->SetFieldName("name");
  b->SetWidth(120);
  Grid->SetAutoFitColWidths(true);
  const int avail = Grid->ClientWidth() - IndicatorWidthGd - 2 - 1;
  EXPECT_EQ(a->Width() + b->Width(), avail);
  EXPECT_NEAR(b->Width(), 3 * a->Width(), 2);
  // Columns whose widths start at 0 give no proportions: the widths stay as they are.
  Grid->SetAutoFitColWidths(false);
  a->SetWidth(0);
  b->SetWidth(0);
  Grid->SetAutoFitColWidths(true);
  EXPECT_NO_THROW(Grid->LayoutChanged());
  EXPECT_EQ(a->Width(), 0);
  EXPECT_EQ(b->Width(), 0);
}

}  // namespace
