// The selected rows (bookmarks in dataset order) and the grid's one multi-selection.
#include <vector>

#include "grid/DBGridGd.h"
#include "platform/os/Painting.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

class SelectionTest : public GridTest {
 protected:
  SelectionTest() { Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect}); }
  TBookmarkListGd* Rows() { return Grid->SelectedRows(); }
  TDBGridGdSelection* Selection() { return Grid->Selection(); }
  void SelectRecord(int Id, bool Value = true) {
    Table.Locate("id", Variant(Id), {});
    Rows()->SetCurrentRowSelected(Value);
  }
  std::vector<int> SelectedIds() {
    std::vector<int> ids;
    const TBookmark current = Table.Bookmark();
    for (int i = 0; i < Rows()->GetCount(); ++i) {
      Table.GotoBookmark(Rows()->GetItem(i));
      ids.push_back(Table.FieldByName("id")->AsInteger());
    }
    Table.GotoBookmark(current);
    return ids;
  }
};

TEST(BookmarkList, AGridWithoutAnOpenDatasetHasNoneAndRefusesTheCurrentRow) {
  test::THeadlessApp app;
  TDBGridGd grid(nullptr);
  EXPECT_EQ(grid.SelectedRows()->GetCount(), 0);
  grid.SelectedRows()->SelectAll();
  EXPECT_EQ(grid.SelectedRows()->GetCount(), 0);
  try {
    grid.SelectedRows()->SetCurrentRowSelected(true);
    FAIL() << "no error";
  } catch (const EInvalidGridOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot perform this operation on a closed dataset");
  }
  EXPECT_EQ(grid.SelectedRows()->GetCount(), 0);
}

TEST_F(SelectionTest, RowsStayInDatasetOrderOnceEachAndSelectionEventsFireOnChange) {
  int changes = 0;
  Grid->OnSelectionChanged = [&](TObject*) { ++changes; };
  for (int id : {7, 3, 12, 3}) SelectRecord(id);
  EXPECT_EQ(SelectedIds(), (std::vector<int>{3, 7, 12}));
  EXPECT_EQ(changes, 3);
  SelectRecord(5, false);  // not listed: nothing happens
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(Selection()->SelectionType(), gstRecordBookmarks);
  for (int id : {3, 7, 12}) SelectRecord(id, false);
  EXPECT_EQ(Rows()->GetCount(), 0);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
  EXPECT_THROW(Rows()->GetItem(0), EListError);
}

TEST_F(SelectionTest, ALookupOfTheSameBookmarkIsCachedUntilTheListChanges) {
  SelectRecord(4);
  SelectRecord(9);
  const TBookmark b = Table.Bookmark();
  int index = -1;
  EXPECT_TRUE(Rows()->FindBookmark(b, index));
  const int compared = Rows()->ComparisonCount();
  EXPECT_TRUE(Rows()->FindBookmark(b, index));
  EXPECT_EQ(Rows()->ComparisonCount(), compared);
  EXPECT_EQ(index, 1);
  SelectRecord(2);  // an insert clears the cache
  Table.GotoBookmark(b);
  const int before = Rows()->ComparisonCount();
  EXPECT_TRUE(Rows()->FindBookmark(b, index));
  EXPECT_GT(Rows()->ComparisonCount(), before);
  EXPECT_EQ(index, 2);
}

TEST_F(SelectionTest, SelectAllListsEveryRecordAndDeleteEmptiesTheDataset) {
  SelectRecord(15);
  Table.Locate("id", Variant(6), {});
  Rows()->SelectAll();
  EXPECT_EQ(Rows()->GetCount(), 20);
  EXPECT_EQ(Table.FieldByName("id")->AsInteger(), 6);  // back on its record
  Table.GotoBookmark(Rows()->GetItem(0));
  EXPECT_EQ(Table.FieldByName("id")->AsInteger(), 1);
  Table.GotoBookmark(Rows()->GetItem(19));
  EXPECT_EQ(Table.FieldByName("id")->AsInteger(), 20);
  Rows()->Delete();
  EXPECT_EQ(Table.RecordCount(), 0);
  EXPECT_EQ(Rows()->GetCount(), 0);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
  EXPECT_FALSE(Table.ControlsDisabled());
}

TEST_F(SelectionTest, ADeleteThatFailsMidwayKeepsTheRestAndEnablesControls) {
  for (int id : {2, 5, 8, 11}) SelectRecord(id);
  Table.BeforeDelete = [](TDataSet* DataSet) {
    if (DataSet->FieldByName("id")->AsInteger() == 5) throw Exception("cannot delete");
  };
  EXPECT_THROW(Rows()->Delete(), Exception);
  EXPECT_EQ(SelectedIds(), (std::vector<int>{2, 5}));  // 11 and 8 went first
  EXPECT_EQ(Table.RecordCount(), 18);
  EXPECT_FALSE(Table.ControlsDisabled());
  Table.BeforeDelete = nullptr;
  // An empty list deletes nothing and leaves the selection as it was.
  Rows()->Clear();
  Selection()->Rect()->MarkSelected(0, Table.Bookmark(), false);
  Table.Next();
  Selection()->Rect()->MarkSelected(1, Table.Bookmark(), true);
  Rows()->Delete();
  EXPECT_EQ(Table.RecordCount(), 18);
  EXPECT_EQ(Selection()->SelectionType(), gstRectangle);
}

TEST_F(SelectionTest, ClosingAndReopeningTheDatasetEmptiesTheList) {
  SelectRecord(3);
  Table.Close();
  Table.Open();
  EXPECT_EQ(Rows()->GetCount(), 0);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
}

TEST_F(SelectionTest, ARectangleOfOneCellIsNoSelection) {
  TDBGridGdSelectionRect* rect = Selection()->Rect();
  Table.Locate("id", Variant(3), {});
  const TBookmark a = Table.Bookmark();
  rect->MarkSelected(1, a, false);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
  Table.Locate("id", Variant(5), {});
  const TBookmark b = Table.Bookmark();
  rect->MarkSelected(2, b, true);
  EXPECT_EQ(Selection()->SelectionType(), gstRectangle);
  EXPECT_TRUE(Selection()->DataCellSelected(1, a));
  EXPECT_TRUE(Selection()->DataCellSelected(2, b));
  EXPECT_FALSE(Selection()->DataCellSelected(3, b));
  Table.Locate("id", Variant(6), {});
  EXPECT_FALSE(Selection()->DataCellSelected(1, Table.Bookmark()));
  rect->MarkSelected(1, a, false);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
  // Rows replace a rectangle; the last row gone leaves no selection.
  rect->MarkSelected(2, b, true);
  SelectRecord(4);
  EXPECT_EQ(Selection()->SelectionType(), gstRecordBookmarks);
  SelectRecord(4, false);
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
}

TEST_F(SelectionTest, ExtendingARectangleRepaintsOnlyTheCellsThatChanged) {
  TDBGridGdSelectionRect* rect = Selection()->Rect();
  Table.First();
  const TBookmark first = Table.Bookmark();
  rect->MarkSelected(0, first, false);
  Table.MoveBy(2);
  rect->MarkSelected(1, Table.Bookmark(), true);
  Table.MoveBy(1);
  App.ProcessMessages();
  rect->MarkSelected(1, Table.Bookmark(), true);  // one row more
  TRect update{};
  ASSERT_TRUE(GetUpdateRect(Grid->Handle(), &update, FALSE));
  const TRect added = Grid->CellRect(1 + Grid->IndicatorOffset(), Grid->TitleOffset() + 3);
  const TRect kept = Grid->CellRect(1 + Grid->IndicatorOffset(), Grid->TitleOffset() + 1);
  EXPECT_TRUE(update.Top <= added.Top && update.Bottom >= added.Bottom);
  EXPECT_GT(update.Top, kept.Top);
}

TEST_F(SelectionTest, ColumnExtensionsUndoOnlyTheirOwnChanges) {
  TDBGridGdSelectionCols* cols = Selection()->Columns();
  TDBGridColumnsGd* c = Grid->Columns();
  auto listed = [&] {
    std::vector<int> out;
    for (TColumnGd* col : cols->Items()) out.push_back(col->Index());
    return out;
  };
  cols->MarkSelected(c->Items(2), false);
  cols->InvertSelect(c->Items(0));  // picked with Ctrl
  cols->SelectShift(c->Items(1));   // from the anchor 0 to 1
  EXPECT_EQ(listed(), (std::vector<int>{0, 1, 2}));
  cols->MarkSelected(c->Items(2), false);
  cols->InvertSelect(c->Items(4));
  cols->SelectShift(c->Items(3));  // left of the anchor 4: adds 3
  EXPECT_EQ(listed(), (std::vector<int>{2, 3, 4}));
  c->Items(0)->SetVisible(false);
  cols->SelectShift(c->Items(0));  // further left: adds 2 (listed), 1; the hidden 0 never
  EXPECT_EQ(listed(), (std::vector<int>{1, 2, 3, 4}));
  cols->SelectShift(c->Items(4));  // back to the anchor: the extension's own columns go
  EXPECT_EQ(listed(), (std::vector<int>{2, 4}));
  // Ctrl on the only selected column leaves nothing selected.
  cols->MarkSelected(c->Items(3), false);
  cols->InvertSelect(c->Items(3));
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
}

TEST_F(SelectionTest, AllowedSelectionsDropOnlyAKindInUse) {
  Selection()->SelectAll();
  EXPECT_TRUE(Selection()->DataCellSelected(3, Table.Bookmark()));
  Grid->SetAllowedSelections(TDBGridGdAllowedSelections{gstAll, gstRectangle});
  EXPECT_EQ(Selection()->SelectionType(), gstAll);
  Grid->SetAllowedSelections(TDBGridGdAllowedSelections{gstRectangle});
  EXPECT_EQ(Selection()->SelectionType(), gstNon);
}

}  // namespace
