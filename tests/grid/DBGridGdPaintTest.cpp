// Cell painting: the owner-draw events on the painted row's record, the row colours, the
// default drawing switch, the 3D insets, and a kept picture of the grid's looks.
#include <map>
#include <set>

#include "grid/DBGridGd.h"
#include "platform/graphics/Bitmap.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/Snapshot.h"

namespace {

using gridtest::GridTest;

class PaintTest : public GridTest {
 protected:
  // The colour at a client point of the grid, as the form shows it.
  COLORREF GridPixel(int X, int Y) {
    const TPoint grid = Grid->ClientToScreen({X, Y});
    const TPoint form = Form->ClientToScreen({0, 0});
    return gdi::ColorOfPixel(App.Presenter().Snapshot(Form->Handle()).Get(grid.X - form.X, grid.Y - form.Y));
  }
  // The grid row of a cell rectangle.
  int RowOf(const TRect& R) { return Grid->MouseCoord(R.Left + 1, R.Top + 1).Y; }
};

TEST_F(PaintTest, EveryVisibleCellIsDrawnOnceWithItsRowsRecordActive) {
  Table.MoveBy(3);
  std::map<std::pair<int, int>, int> drawn;  // (grid row, data column) -> times
  int wrongRecord = 0;
  Grid->OnDrawColumnCell = [&](TObject*, const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState) {
    const int row = RowOf(Rect);
    ++drawn[{row, DataCol}];
    if (Table.FieldByName("id")->AsInteger() != row - Grid->TitleOffset() + 1) ++wrongRecord;
    EXPECT_EQ(Column, Grid->Columns()->Items(DataCol));
  };
  Paint();
  EXPECT_EQ(wrongRecord, 0);
  const int rows = Grid->DataLink()->RecordCount();
  std::set<int> columns;
  for (const auto& [key, times] : drawn) {
    EXPECT_EQ(times, 1) << key.first << "," << key.second;
    columns.insert(key.second);
  }
  EXPECT_EQ(drawn.size(), static_cast<size_t>(rows) * columns.size());
  EXPECT_GE(columns.size(), 2u);
  EXPECT_EQ(CurrentName(), "row4");  // painting leaves the current record where it was
}

TEST_F(PaintTest, AThrowingHandlerLeavesTheActiveRecordAsItWas) {
  Table.MoveBy(2);
  const int active = Grid->DataLink()->ActiveRecord();
  int calls = 0;
  Grid->OnDrawColumnCell = [&](TObject*, const TRect&, int, TColumnGd*, TGridDrawState) {
    if (++calls == 3) throw Exception("drawing failed");
  };
  Grid->Invalidate();
  Grid->Repaint();  // the failure goes to the application's handler
  EXPECT_GE(calls, 3);
  EXPECT_EQ(Grid->DataLink()->ActiveRecord(), active);
  EXPECT_EQ(CurrentName(), "row3");
  Grid->OnDrawColumnCell = nullptr;
}

TEST_F(PaintTest, WithoutDefaultDrawingTheEventsStillFireForEveryRecordCell) {
  Grid->SetDefaultDrawing(false);
  int cells = 0;
  std::set<int> rows;
  Grid->OnDrawColumnCell = [&](TObject*, const TRect& Rect, int, TColumnGd*, TGridDrawState) {
    ++cells;
    rows.insert(RowOf(Rect));
  };
  Paint();
  EXPECT_EQ(static_cast<int>(rows.size()), Grid->DataLink()->RecordCount());
  EXPECT_GE(cells, 2 * Grid->DataLink()->RecordCount());
}

TEST_F(PaintTest, OddAndEvenRowsTakeTheirColoursWhereTheColumnKeepsTheGridsColour) {
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgEditing});
  Grid->SetOddRowColor(clYellow);
  Grid->SetEvenRowColor(clAqua);
  Grid->Columns()->Items(1)->SetColor(clLime);  // a default column's own colour
  Table.Last();                                 // the current row is out of the way
  Table.First();
  Table.MoveBy(5);
  Paint();
  auto sample = [&](int DataCol, int Row) {
    const TRect r = Grid->CellRect(DataCol + Grid->IndicatorOffset(), Row + Grid->TitleOffset());
    return GridPixel(r.Right - 2, r.Bottom - 2);
  };
  EXPECT_EQ(sample(0, 0), clYellow);  // the first record is odd
  EXPECT_EQ(sample(0, 1), clAqua);
  EXPECT_EQ(sample(0, 2), clYellow);
  EXPECT_EQ(sample(1, 0), clLime);
  EXPECT_EQ(sample(1, 1), clLime);
}

TEST_F(PaintTest, ARequiredFieldLeftEmptyWhileEditingIsUnderlinedInRed) {
  TColumnGd* name = Grid->Columns()->Items(1);
  name->SetHighlightRequired(true);
  Table.FieldByName("name")->SetRequired(true);
  const TRect cell = Grid->CellRect(1 + Grid->IndicatorOffset(), Grid->TitleOffset());
  Paint();
  EXPECT_NE(GridPixel(cell.Left + 2, cell.Bottom - 1), clRed);
  Table.Edit();
  Table.FieldByName("name")->Clear();
  Paint();
  EXPECT_EQ(GridPixel(cell.Left + 2, cell.Bottom - 1), clRed);
  const TRect below = Grid->CellRect(1 + Grid->IndicatorOffset(), Grid->TitleOffset() + 1);
  EXPECT_NE(GridPixel(below.Left + 2, below.Bottom - 1), clRed);  // only the record being edited
  Table.Cancel();
}

TEST_F(PaintTest, DataCellsIn3DGetARectOnePixelInside) {
  Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghData3D});
  int checked = 0;
  Grid->OnDrawColumnCell = [&](TObject*, const TRect& Rect, int DataCol, TColumnGd*, TGridDrawState) {
    TRect cell = Grid->CellRect(DataCol + Grid->IndicatorOffset(), RowOf(Rect));
    if (cell.Right >= Grid->ClientWidth()) return;  // cut off at the client edge
    EXPECT_EQ(Rect, (TRect{cell.Left + 1, cell.Top + 1, cell.Right - 1, cell.Bottom - 1}));
    ++checked;
  };
  Paint();
  EXPECT_GT(checked, 0);
}

}  // namespace

namespace {

// Two grids over six records: 3D and focused on the left, flat and without focus on the
// right, with the indicator, odd and even row colours, a check-box, an image, a right-aligned
// and a centred column, two selected records and the current one.
class LooksTest : public test::HeadlessTest {
 protected:
  LooksTest() : Table(nullptr), Images(nullptr, 8, 8) {
    Table.FieldDefs()->Add("id", ftInteger);
    Table.FieldDefs()->Add("name", ftString, 10);
    Table.FieldDefs()->Add("use", ftBoolean);
    Table.CreateDataSet();
    for (int i = 1; i <= 6; ++i) {
      Table.Append();
      Table.FieldByName("id")->SetAsInteger(i);
      Table.FieldByName("name")->SetAsString("n" + std::to_string(i));
      Table.FieldByName("use")->SetAsBoolean(i % 3 != 0);
      Table.Post();
    }
    for (TColor color : {clRed, clBlue}) {
      TBitmap image;
      image.SetSize(8, 8);
      image.Canvas()->Brush()->SetColor(clWhite);
      image.Canvas()->FillRect({0, 0, 8, 8});
      image.Canvas()->Brush()->SetColor(color);
      image.Canvas()->FillRect({1, 1, 7, 7});
      Images.AddMasked(&image, clWhite);
    }
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 420, 140);
    Source = new TDataSource(Form.get());
    Source->SetDataSet(&Table);
    Left = MakeGrid(0, false);
    Right = MakeGrid(210, true);
    Form->Show();
    App.ProcessMessages();
  }
  TDBGridGd* MakeGrid(int X, bool Flat) {
    auto* grid = new TDBGridGd(Form.get());
    grid->SetParent(Form.get());
    grid->SetBounds(X, 0, 208, 140);
    grid->SetFlat(Flat);
    grid->SetOptions(grid->Options() + TDBGridOptions{dgMultiSelect, dgAlwaysShowSelection} -
                     TDBGridOptions{dgEditing});
    grid->SetOddRowColor(RGB(255, 255, 224));
    grid->SetEvenRowColor(RGB(224, 240, 255));
    TDBGridColumnGd* id = grid->Columns()->Add();
    id->SetFieldName("id");
    id->SetWidth(30);
    TDBGridColumnGd* name = grid->Columns()->Add();
    name->SetFieldName("name");
    name->SetAlignment(taCenter);
    name->SetWidth(50);
    TDBGridColumnGd* use = grid->Columns()->Add();
    use->SetFieldName("use");
    use->SetWidth(30);
    TDBGridColumnGd* image = grid->Columns()->Add();
    image->SetFieldName("id");
    image->SetWidth(30);
    image->KeyList()->Add("1");
    image->KeyList()->Add("2");
    image->SetNotInKeyListIndex(1);
    image->SetImageList(&Images);
    image->Title()->SetCaption("img");
    grid->SetDataSource(Source);
    return grid;
  }
  TMemoryDataSet Table;
  TCustomImageList Images;
  std::unique_ptr<TForm> Form;
  TDataSource* Source = nullptr;
  TDBGridGd* Left = nullptr;
  TDBGridGd* Right = nullptr;
};

TEST_F(LooksTest, GridsShowTheirIndicatorRowColoursSelectionAndLines) {
  for (int id : {2, 5}) {
    Table.Locate("id", Variant(id), {});
    Left->SelectedRows()->SetCurrentRowSelected(true);
    Right->SelectedRows()->SetCurrentRowSelected(true);
  }
  Table.Locate("id", Variant(3), {});
  Left->SetFocus();
  App.ProcessMessages();
  EXPECT_EQ(Left->SelectedRows()->GetCount(), 2);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "db-grid-looks", 24, 200));
}

}  // namespace
