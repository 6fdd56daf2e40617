// Geometry: the area of each grid row, the frozen columns, auto-fit of the column widths and
// the optimal width of a column.
#include <vector>

#include "grid/DBGridGd.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

class GeometryTest : public GridTest {
 protected:
  GeometryTest() : GridTest(3, 400, 200) {
    for (const char* name : {"id", "name", "use", "price", "when"}) Grid->Columns()->Add()->SetFieldName(name);
  }
  struct Area {
    int Code, DataRow;
    friend bool operator==(const Area&, const Area&) = default;
  };
  Area AreaOf(int Row) {
    int code = -1, dataCol = -1, dataRow = -1;
    bool isData = false;
    Grid->GetCellType(1, Row, code, isData, dataCol, dataRow);
    return {code, dataRow};
  }
  std::vector<int> Widths() {
    std::vector<int> out;
    for (int i = 0; i < Grid->Columns()->Count(); ++i) out.push_back(Grid->Columns()->Items(i)->Width());
    return out;
  }
};

TEST_F(GeometryTest, EachRowIsTitleDataGapOrFooter) {
  Grid->SetFooterRowCount(2);
  ASSERT_EQ(Grid->RowCount(), 1 + 3 + 1 + 2);
  const std::vector<Area> expected = {{0, 0}, {2, 0}, {2, 1}, {2, 2}, {3, 0}, {4, 0}, {4, 1}};
  for (int row = 0; row < Grid->RowCount(); ++row) EXPECT_EQ(AreaOf(row), expected[row]) << row;
  int code = 0, dataCol = 0, dataRow = 0;
  bool isData = true;
  Grid->GetCellType(0, 1, code, isData, dataCol, dataRow);
  EXPECT_FALSE(isData);
  EXPECT_EQ(dataCol, -1);
  // Without titles and footers every row is a data row.
  Grid->SetFooterRowCount(0);
  Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTitles});
  EXPECT_EQ(AreaOf(0), (Area{2, 0}));
  EXPECT_EQ(AreaOf(Grid->RowCount() - 1), (Area{2, Grid->RowCount() - 1}));
}

TEST_F(GeometryTest, PagingLeavesOutTheFootersAndTheGap) {
  const int plain = Grid->VisibleDataRowCount();
  Grid->SetFooterRowCount(1);
  EXPECT_EQ(Grid->VisibleDataRowCount(), std::max(1, Grid->VisibleRowCount() - 2));
  EXPECT_LE(Grid->VisibleDataRowCount(), plain);
}

TEST_F(GeometryTest, FrozenColumnsAreFixedAndOneVisibleColumnAlwaysScrolls) {
  const int visible = static_cast<int>(Grid->VisibleColumns().size());
  struct Case {
    int Frozen, FixedCols;
  };
  const Case cases[] = {{0, 1}, {2, 3}, {visible, visible}, {visible + 5, visible}, {-3, 1}};
  for (const Case& c : cases) {
    Grid->SetFrozenCols(c.Frozen);
    EXPECT_EQ(Grid->FixedCols(), c.FixedCols) << c.Frozen;
    EXPECT_LT(Grid->FixedCols(), Grid->ColCount());
  }
  // A hidden column among the frozen ones does not count.
  Grid->Columns()->Items(0)->SetVisible(false);
  Grid->SetFrozenCols(1);
  EXPECT_EQ(Grid->FixedCols(), 1 + 2);
  // With the last column hidden, the last visible one still scrolls.
  Grid->Columns()->Items(0)->SetVisible(true);
  Grid->Columns()->Items(4)->SetVisible(false);
  Grid->SetFrozenCols(10);
  EXPECT_EQ(Grid->FixedCols(), 1 + 3);
}

TEST_F(GeometryTest, AutoFitSpreadsTheClientWidthAndSwitchingOffRestoresTheWidths) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetWidth(30 + 10 * i);
  const std::vector<int> before = Widths();
  Grid->SetAutoFitColWidths(true);
  int sum = 0;
  for (int w : Widths()) sum += w;
  const int count = Grid->Columns()->Count();
  EXPECT_EQ(sum, Grid->ClientWidth() - IndicatorWidthGd - count - 1);
  EXPECT_GT(Widths()[4], Widths()[0]);  // in proportion to the widths it started from
  Grid->SetMinAutoFitWidth(1000);
  sum = 0;
  for (int w : Widths()) sum += w;
  EXPECT_EQ(sum, 1000 - IndicatorWidthGd - count - 1);
  Grid->SetAutoFitColWidths(false);
  EXPECT_EQ(Widths(), before);
}

TEST_F(GeometryTest, AColumnAtItsMaximumLeavesTheRestToTheOthers) {
  Grid->Columns()->Items(0)->SetMaxWidth(20);
  Grid->SetAutoFitColWidths(true);
  EXPECT_EQ(Widths()[0], 20);
  int sum = 0;
  for (int w : Widths()) sum += w;
  EXPECT_EQ(sum, Grid->ClientWidth() - IndicatorWidthGd - Grid->Columns()->Count() - 1);
}

TEST_F(GeometryTest, OptimalWidthMeasuresEveryRecordTitlesAndFooters) {
  TColumnGd* name = Grid->Columns()->Items(1);
  name->SetWidth(5);
  Table.Append();
  Table.FieldByName("name")->SetAsString("a much longer name than the others");
  Table.Post();
  Table.First();
  Grid->OptimizeColWidth(name);
  Grid->Canvas()->SetFont(name->Font());
  EXPECT_EQ(name->Width(), Grid->Canvas()->TextWidth("a much longer name than the others") + 4);
  EXPECT_EQ(Table.RecNo(), 1);  // the current record stays

  // An empty open set: the title alone.
  while (!Table.IsEmpty()) Table.Delete();
  name->SetWidth(5);
  Grid->OptimizeColWidth(name);
  Grid->Canvas()->SetFont(name->Title()->Font());
  EXPECT_EQ(name->Width(), Grid->Canvas()->TextWidth("name") + 4);

  // An inactive set changes nothing.
  Table.Close();
  name->SetWidth(5);
  Grid->OptimizeColWidth(name);
  EXPECT_EQ(name->Width(), 5);
}

TEST_F(GeometryTest, NegativeRowHeightAndLinesAreZero) {
  Grid->SetRowHeight(-5);
  Grid->SetRowLines(-1);
  EXPECT_EQ(Grid->RowHeight(), 0);
  EXPECT_EQ(Grid->RowLines(), 0);
}

}  // namespace
