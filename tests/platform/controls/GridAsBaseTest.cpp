// TCustomGrid as the data grid derives from it: the rows below the title are the records a data
// link buffers from a memory data set (as many as fit), the current row is the data set's
// current record, and the vertical scroll bar counts the data set's records and moves the data
// set, not the rows on screen.
#include <string>

#include "platform/controls/Grids.h"
#include "platform/data/DataLink.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/os/NonClient.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

class TRecordGrid;

class TRecordLink : public TDataLink {
 public:
  explicit TRecordLink(TRecordGrid* Grid) : FGrid(Grid) {}

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;

 private:
  TRecordGrid* FGrid;
};

class TRecordGrid : public TCustomGrid {
 public:
  explicit TRecordGrid(TComponent* AOwner) : TCustomGrid(AOwner), FLink(this) {
    SetFixedCols(0);
    SetColCount(1);
    SetDefaultRowHeight(20);
    // The base keeps the horizontal bar; the vertical one is the grid's own.
    SetScrollBars(ssHorizontal);
  }
  void SetDataSource(TDataSource* Value) { FLink.SetDataSource(Value); }
  TDataLink& Link() { return FLink; }
  // The text painted in each data row, top first (the record each row shows).
  std::vector<std::string> Painted;

  // The link's window follows the rows that fit; the grid shows the window.
  void Sync() {
    if (!HandleAllocated()) return;
    FLink.SetBufferCount(std::max(1, ClientHeight() / (DefaultRowHeight() + GridLineWidth()) - 1));
    SetRowCount(1 + std::max(1, FLink.Active() ? FLink.RecordCount() : 0));
    if (FLink.Active()) SetRow(1 + FLink.ActiveRecord());
    UpdateScrollRange();
    Invalidate();
  }

 protected:
  void DrawCell(int, int ARow, const TRect& ARect, TGridDrawState) override {
    std::string text = "name";
    if (ARow > 0) {
      if (!FLink.Active() || ARow - 1 >= FLink.RecordCount()) return;
      const int saved = FLink.ActiveRecord();
      FLink.SetActiveRecord(ARow - 1);
      text = FLink.DataSet()->FieldByName("name")->AsString();
      FLink.SetActiveRecord(saved);
      if (ARow == 1) Painted.clear();
      Painted.push_back(text);
    }
    Canvas()->TextRect(ARect, ARect.Left + 2, ARect.Top + 2, text);
  }
  void CreateWnd() override {
    TCustomGrid::CreateWnd();
    Sync();
  }
  void WMSize(TMessage& Message) override {
    TCustomGrid::WMSize(Message);
    Sync();
  }
  // A position for each record (1 to the record count) with a page of the records shown, at
  // the current record.
  void UpdateScrollRange() override {
    TCustomGrid::UpdateScrollRange();
    if (!HandleAllocated()) return;
    SCROLLINFO si;
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    const int page = FLink.Active() ? FLink.RecordCount() : 1;
    si.nMin = 1;
    si.nMax = (FLink.Active() ? FLink.DataSet()->RecordCount() : 1) + page - 1;
    si.nPage = static_cast<UINT>(page);
    si.nPos = FLink.Active() ? FLink.DataSet()->RecNo() : 1;
    SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  }
  void UpdateScrollPos() override { UpdateScrollRange(); }
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos) override {
    if (ScrollBar != SB_VERT || !FLink.Active()) {
      TCustomGrid::ModifyScrollBar(ScrollBar, ScrollCode, Pos);
      return;
    }
    TDataSet* ds = FLink.DataSet();
    switch (ScrollCode) {
      case SB_LINEDOWN: ds->MoveBy(FLink.RecordCount() - FLink.ActiveRecord()); break;
      case SB_LINEUP: ds->MoveBy(-FLink.ActiveRecord() - 1); break;
      case SB_THUMBPOSITION: ds->SetRecNo(Pos); break;
      case SB_BOTTOM: ds->Last(); break;
      default: break;
    }
  }

 private:
  TRecordLink FLink;
};

void TRecordLink::ActiveChanged() { FGrid->Sync(); }
void TRecordLink::DataSetChanged() { FGrid->Sync(); }
void TRecordLink::DataSetScrolled(int) { FGrid->Sync(); }

class GridAsBaseTest : public ControlTest {
 protected:
  GridAsBaseTest() : Data(Form), Source(Form) {
    Data.FieldDefs()->Add("name", ftWideString, 20);
    Data.Open();
    for (int i = 1; i <= 50; ++i) {
      Data.Append();
      Data.FieldByName("name")->SetAsString("rec" + std::to_string(i));
      Data.Post();
    }
    Data.First();
    Source.SetDataSet(&Data);
    Grid = Make<TRecordGrid>(Form, "Grid", Bounds(0, 0, 200, 130));
    Grid->SetDataSource(&Source);
    ShowForm();
  }
  SCROLLINFO Bar() {
    SCROLLINFO si;
    si.fMask = SIF_ALL;
    GetScrollInfo(Grid->Handle(), SB_VERT, &si);
    return si;
  }
  void Scroll(WORD Code, int Pos = 0) {
    SendMessage(Grid->Handle(), WM_VSCROLL, MAKEWPARAM(Code, Pos), 0);
    Pump();
  }

  TMemoryDataSet Data;
  TDataSource Source;
  TRecordGrid* Grid;
};

TEST_F(GridAsBaseTest, TheRowsAreTheBufferedRecordsAndTheScrollBarCountsTheDataSet) {
  const int shown = Grid->Link().RecordCount();
  ASSERT_GE(shown, 3);
  EXPECT_EQ(Grid->RowCount(), 1 + shown) << "a title row and the records that fit";
  EXPECT_EQ(Grid->Painted.front(), "rec1");
  SCROLLINFO si = Bar();
  EXPECT_EQ(si.nMin, 1);
  EXPECT_EQ(si.nPage, static_cast<UINT>(shown));
  EXPECT_EQ(si.nMax - static_cast<int>(si.nPage) + 1, 50) << "a position for each record, not each row on screen";
  EXPECT_EQ(si.nPos, 1);
}

TEST_F(GridAsBaseTest, ScrollingMovesTheDataSetAndTheBarFollowsTheCurrentRecord) {
  const int shown = Grid->Link().RecordCount();
  Scroll(SB_LINEDOWN);
  EXPECT_EQ(Data.RecNo(), shown + 1) << "the record below the last one shown";
  EXPECT_EQ(Grid->Painted.back(), "rec" + std::to_string(shown + 1));
  EXPECT_EQ(Grid->Row(), shown) << "the current row is the current record's";
  EXPECT_EQ(Bar().nPos, shown + 1);

  Scroll(SB_BOTTOM);
  EXPECT_EQ(Data.RecNo(), 50);
  EXPECT_EQ(Grid->Painted.back(), "rec50");
  EXPECT_EQ(Bar().nPos, 50);

  Data.SetRecNo(20);
  Pump();
  EXPECT_EQ(Bar().nPos, 20) << "moving the data set moves the bar";

  // The thumb dragged from the bottom to the top and let go there: the first record.
  Data.Last();
  Pump();
  TRect window;
  GetWindowRect(Grid->Handle(), &window);
  const TRect bar = os::FrameLayoutOf(Grid->Handle()).VScroll;
  const int x = window.Left + (bar.Left + bar.Right) / 2;
  Input.Drag({x, window.Top + bar.Bottom - bar.Width() - 2}, {x, window.Top + bar.Top});
  Pump();
  EXPECT_EQ(Data.RecNo(), 1);
  EXPECT_EQ(Grid->Painted.front(), "rec1");
}

TEST_F(GridAsBaseTest, TheHorizontalBarStillScrollsTheColumns) {
  Grid->SetColCount(8);
  Pump();
  Grid->Perform(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  EXPECT_EQ(Grid->LeftCol(), 1);
  EXPECT_EQ(Data.RecNo(), 1);
}

}  // namespace
