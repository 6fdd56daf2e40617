#include "platform/controls/Grids.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class InplaceEditTest : public ControlTest {
 protected:
  InplaceEditTest() {
    Form->SetBounds(100, 100, 400, 220);
    Grid = Make<TStringGrid>(Form, "Grid", Bounds(10, 10, 340, 140));
    Grid->SetBorderStyle(bsNone);
    Grid->SetOptions(Grid->Options() + TGridOptions{goEditing});
    Grid->SetCells(1, 1, "alpha");
    Grid->SetCells(2, 1, "beta");
    Grid->OnSetEditText = [this](TObject*, int ACol, int ARow, const std::string& Value) {
      Edits.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + "=" + Value);
    };
  }
  TPoint Mid(int Col, int Row) {
    TRect r = Grid->CellRect(Col, Row);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickCell(int Col, int Row) {
    Input.Click(Grid->Handle(), Mid(Col, Row));
    Pump();
  }
  void Key(UINT K) {
    Input.Key(K);
    Pump();
  }
  TInplaceEdit* Editor() const { return Grid->InplaceEditor(); }
  bool EditorShown() const { return Editor() && Editor()->Visible(); }

  TStringGrid* Grid;
  std::vector<std::string> Edits;
};

TEST_F(InplaceEditTest, TypingOpensTheEditorOverTheCellAndEnterKeepsTheText) {
  ShowForm();
  ClickCell(2, 1);
  EXPECT_FALSE(EditorShown()) << "a click on another cell only moves there";
  Input.Type("xy");
  Pump();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "xy") << "typing replaces the cell's text";
  EXPECT_EQ(GetFocus(), Editor()->Handle());
  EXPECT_TRUE(Editor()->PosEqual(Grid->CellRect(2, 1)));
  EXPECT_EQ(Grid->Cells(2, 1), "xy") << "the cell follows as it is typed";
  EXPECT_TRUE(Grid->EditorMode());
  Key(VK_RETURN);
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(Grid->EditorMode());
  EXPECT_EQ(GetFocus(), Grid->Handle()) << "the grid takes the focus back";
  EXPECT_EQ(Grid->Cells(2, 1), "xy");
  EXPECT_EQ(Edits.back(), "2,1=xy");
  Grid->SetCells(2, 1, "");
  Key(VK_RETURN);
  EXPECT_TRUE(EditorShown()) << "Enter opens it again";
  EXPECT_EQ(Editor()->Text(), "");
}

TEST_F(InplaceEditTest, EscapeGivesTheCellItsTextBackAndClosesTheEditor) {
  ShowForm();
  ClickCell(2, 2);
  ClickCell(1, 1);
  Key(VK_F2);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "alpha");
  EXPECT_EQ(Editor()->SelStart(), 5) << "F2 puts the caret at the end";
  Input.Type("bet");
  Pump();
  EXPECT_EQ(Grid->Cells(1, 1), "alphabet");
  Key(VK_ESCAPE);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Grid->Cells(1, 1), "alpha");
  EXPECT_EQ(GetFocus(), Grid->Handle());
}

TEST_F(InplaceEditTest, MovingKeysLeaveTheCellAndTheEditorFollowsWithAlwaysShowEditor) {
  ShowForm();
  ClickCell(2, 2);
  ClickCell(1, 1);
  Key(VK_F2);
  Input.Type("!");
  Key(VK_DOWN);
  EXPECT_EQ(Grid->Row(), 2) << "Down goes to the grid";
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Grid->Cells(1, 1), "alpha!");
  // With the editor always shown it moves with the current cell, and Right at the end of the
  // text goes on to the next cell.
  Grid->SetOptions(Grid->Options() + TGridOptions{goAlwaysShowEditor});
  Grid->SetRow(1);
  Pump();
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "alpha!");
  Editor()->SetSelStart(3);
  Key(VK_LEFT);
  EXPECT_EQ(Editor()->SelStart(), 2) << "inside the text Left moves the caret";
  Key(VK_END);
  EXPECT_EQ(Grid->Col(), 1);
  Key(VK_RIGHT);
  EXPECT_EQ(Grid->Col(), 2) << "Right at the end goes to the next cell";
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "beta");
  EXPECT_TRUE(Editor()->PosEqual(Grid->CellRect(2, 1)));
}

TEST_F(InplaceEditTest, ClickingTheCurrentCellAgainEditsItAndTheEditorTracksScrolling) {
  Grid->SetRowCount(30);
  ShowForm();
  ClickCell(2, 1);
  Input.Wait(1000);
  Input.Click(Grid->Handle(), Mid(2, 1));
  App.RunFor(1100);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(Editor()->Text(), "beta");
  Grid->SetTopRow(3);
  Pump();
  EXPECT_FALSE(EditorShown()) << "its cell scrolled out of view";
  Grid->SetTopRow(1);
  Pump();
  EXPECT_TRUE(EditorShown());
  EXPECT_TRUE(Editor()->PosEqual(Grid->CellRect(2, 1)));
}

TEST_F(InplaceEditTest, ReadOnlyCellsAndRefusedKeysAreNotChanged) {
  // A limit of -1 makes the cell read-only; CanEditAcceptKey refuses single characters.
  class TGuardedGrid : public TStringGrid {
   public:
    using TStringGrid::TStringGrid;

   protected:
    int GetEditLimit() override { return Col() == 2 ? -1 : 3; }
    bool CanEditAcceptKey(char32_t Key) override { return Key != U'z'; }
  };
  auto* grid = Make<TGuardedGrid>(Form, "Guarded", Bounds(10, 10, 340, 140));
  grid->SetOptions(grid->Options() + TGridOptions{goEditing});
  grid->SetCells(2, 1, "fixed");
  Grid->SetVisible(false);
  ShowForm();
  Input.Click(grid->Handle(), {100, 30});
  Pump();
  Input.Type("azbcd");
  Pump();
  ASSERT_TRUE(grid->InplaceEditor());
  EXPECT_EQ(grid->Cells(1, 1), "abc") << "z refused, d past the limit";
  Key(VK_RETURN);
  Key(VK_RIGHT);
  Key(VK_F2);
  Input.Type("x");
  Key(VK_BACK);
  Pump();
  EXPECT_EQ(grid->Cells(2, 1), "fixed");
}

TEST_F(InplaceEditTest, EditorLooksLikePartOfTheGrid) {
  ShowForm();
  ClickCell(2, 1);
  Key(VK_F2);
  Input.Type("!");
  Pump();
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-grid-inplace-edit", 24, 200));
}

}  // namespace
