// Title and footer drawing: which cells are raised, the pressed title sunken, and a kept
// picture of two grids with sort markers, multi-line titles, a frozen column and footers of
// each kind above their gap row (3D on the left, flat on the right).
#include <cstdlib>
#include <string>

#include "grid/DBGridGd.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/Colors.h"
#include "tests/grid/GridFixture.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

using gridtest::GridTest;

// The grid with its cell look open to the test.
class TLookGrid : public TDBGridGd {
 public:
  using TDBGridGd::TDBGridGd;
  using TCustomDBGridGd::IsCell3D;
};

class TitlePaintTest : public GridTest {
 protected:
  TitlePaintTest() : GridTest(4, 460, 150) {
    Grid->SetBounds(0, 0, 228, 150);
    Right = new TLookGrid(Form.get());
    Right->SetParent(Form.get());
    Right->SetBounds(232, 0, 228, 150);
    Right->SetFlat(true);
    Right->SetDataSource(Source);
    for (TDBGridGd* grid : {Grid, static_cast<TDBGridGd*>(Right)}) {
      grid->SetOptionsGd(grid->OptionsGd() + TDBGridGdOptions{dghMultiSortMarking});
      grid->SumList()->SetActive(true);
      grid->SetFooterRowCount(1);
      struct Col {
        const char* Field;
        const char* Caption;
        TFooterValueType Footer;
        int Width;
      };
      for (const Col& c : {Col{"id", "编号", fvtSum, 44}, Col{"price", "价格|单价", fvtAvg, 52},
                           Col{"name", "价格|名称", fvtCount, 52}, Col{"use", "备注", fvtStaticText, 50}}) {
        TColumnGd* column = grid->Columns()->Add();
        column->SetFieldName(c.Field);
        column->SetWidth(c.Width);
        column->Title()->SetCaption(c.Caption);
        column->Title()->SetTitleButton(true);
        column->Footer()->SetValueType(c.Footer);
        column->Footer()->SetValue("合计");
      }
      grid->Columns()->Items(0)->Title()->SetSortMarker(smDownGd);
      grid->Columns()->Items(1)->Title()->SetSortMarker(smUpGd);
    }
    Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghFooter3D, dghFrozen3D});
    Grid->SetFrozenCols(1);
    Grid->SetUseMultiTitle(true);
    App.ProcessMessages();
  }
  COLORREF Pixel(TDBGridGd* On, int X, int Y) { return PixelOf(App.Presenter().Snapshot(Form->Handle()), On, X, Y); }
  COLORREF PixelOf(const gdi::TSurface& Shot, TDBGridGd* On, int X, int Y) {
    const TPoint at = On->ClientToScreen({X, Y});
    const TPoint form = Form->ClientToScreen({0, 0});
    return gdi::ColorOfPixel(Shot.Get(at.X - form.X, at.Y - form.Y));
  }
  TLookGrid* Right = nullptr;
};

TEST_F(TitlePaintTest, RaisedCellsFollowTheThreeDOptions) {
  // Rows: title, 4 records, gap, footer. Columns: indicator, frozen id, three more.
  struct Case {
    TDBGridGdOptions Options;
    int Col, Row;
    bool Raised;
  };
  const TDBGridGdOptions fixed{dghFixed3D};
  const Case cases[] = {
      {fixed, 0, 0, true},  {fixed, 2, 0, true},   {fixed, 0, 1, true},  {fixed, 2, 1, false},
      {fixed, 0, 5, false},  // the gap row's indicator stays flat
      {fixed, 2, 6, false}, {fixed + TDBGridGdOptions{dghFooter3D}, 2, 6, true},
      {fixed + TDBGridGdOptions{dghFooter3D}, 0, 6, true}, {fixed + TDBGridGdOptions{dghData3D}, 0, 5, true},
      {fixed + TDBGridGdOptions{dghData3D}, 2, 1, true},   {fixed + TDBGridGdOptions{dghFrozen3D}, 1, 1, true},
      {fixed, 1, 1, false},
  };
  Right->SetFrozenCols(1);
  for (const Case& c : cases) {
    Right->SetFlat(false);
    Right->SetOptionsGd(c.Options);
    TGridDrawState state;
    if (c.Col < Right->FixedCols() || c.Row < Right->FixedRows()) state.Include(gdFixed);
    EXPECT_EQ(Right->IsCell3D(c.Col, c.Row, state), c.Raised) << c.Col << "," << c.Row;
    // A flat grid keeps its fixed cells flat.
    Right->SetFlat(true);
    if (c.Row == 0) {
      EXPECT_FALSE(Right->IsCell3D(c.Col, c.Row, state));
    }
  }
}

TEST_F(TitlePaintTest, APressedTitleButtonIsDrawnSunken) {
  const TRect cell = Grid->CellRect(4, 0);
  const int y = (cell.Top + cell.Bottom) / 2;
  const COLORREF raised = Pixel(Grid, cell.Left, y);
  test::TInputDriver input;
  input.MoveTo(Grid->Handle(), {cell.Left + 10, cell.Top + 5});
  input.Press();
  App.ProcessMessages();
  Grid->Invalidate();
  App.ProcessMessages();
  if (const char* dir = std::getenv("OSTROVEL_GRID_PNGS"))
    test::SavePng(App.Presenter().Snapshot(Form->Handle()), std::string(dir) + "/pressed-title.png");
  EXPECT_EQ(Pixel(Grid, cell.Left, y), static_cast<COLORREF>(GetSysColor(COLOR_3DDKSHADOW)));
  EXPECT_EQ(Pixel(Grid, cell.Right - 1, y), static_cast<COLORREF>(GetSysColor(COLOR_3DLIGHT)));
  input.Release();
  App.ProcessMessages();
  Grid->Invalidate();
  App.ProcessMessages();
  EXPECT_EQ(Pixel(Grid, cell.Left, y), raised);
  EXPECT_NE(raised, static_cast<COLORREF>(GetSysColor(COLOR_3DDKSHADOW)));
}

// The left grid: a group cell over two leaves, sort markers with their indexes 1 and 2, a
// frozen column and raised footers of each kind.
TEST_F(TitlePaintTest, AGroupCellSpansItsLeavesAndMarkersShowTheirIndexes) {
  const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
  if (const char* dir = std::getenv("OSTROVEL_GRID_PNGS")) test::SavePng(shot, std::string(dir) + "/titles-footers.png");
  const TRect price = Grid->CellRect(2, 0);
  THeadTreeNode* group = Grid->LeafOfColumn(1)->Host;
  ASSERT_EQ(group->Text, "价格");
  ASSERT_EQ(Grid->LeafOfColumn(2)->Host, group);
  // The line between the two leaves runs below the group cell only.
  const COLORREF face = static_cast<COLORREF>(GetSysColor(COLOR_BTNFACE));
  const int between = price.Right;
  EXPECT_EQ(Pixel(Grid, between, price.Top + 2), face);
  EXPECT_EQ(Pixel(Grid, between, price.Bottom - 3), static_cast<COLORREF>(RGB(0, 0, 0)));
  // Right of each marked title: its marker, and left of it the index of several marks.
  for (int col : {1, 2}) {
    const TRect cell = Grid->CellRect(col, 0);
    TColumnTitleGd* title = Grid->Columns()->Items(col - 1)->Title();
    const int area = title->SortMarkerAreaWidth();
    ASSERT_GT(area, 16) << col;
    int marks = 0, digits = 0;
    for (int y = cell.Bottom - Grid->LeafOfColumn(col - 1)->Height + 2; y < cell.Bottom - 2; ++y)
      for (int x = cell.Right - area; x < cell.Right - 2; ++x)
        if (PixelOf(shot, Grid, x, y) != face) (x < cell.Right - 16 ? digits : marks)++;
    EXPECT_GT(marks, 3) << col;
    EXPECT_GT(digits, 3) << col;
  }
  EXPECT_EQ(Grid->FooterValueText(0, Grid->Columns()->Items(0)), "10");
  EXPECT_EQ(Grid->FooterValueText(0, Grid->Columns()->Items(1)), "3.75");
  EXPECT_EQ(Grid->FooterValueText(0, Grid->Columns()->Items(2)), "4");
  EXPECT_EQ(Grid->FooterValueText(0, Grid->Columns()->Items(3)), "合计");
}

}  // namespace
