// The grid's keys and mouse over the numbered rows: navigation, appending and cancelling,
// Tab across records, the row-select multi-select keys, deleting with a confirmation, check
// cells, the order of the application's events and title presses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/grid/GridFixture.h"
#include "tests/support/InputDriver.h"
#include "tests/support/ScriptedAnswers.h"

namespace {

using gridtest::GridTest;

class InputTest : public GridTest {
 protected:
  InputTest() { Grid->SetFocus(); }
  // A key with modifiers, handled at once.
  void Press(UINT Key, TShiftState Shift = {}) { gridtest::PressKey(App, Input, Key, Shift); }
  TPoint CellPoint(int DataCol, int DataRow) {
    const TRect r = Grid->CellRect(DataCol + Grid->IndicatorOffset(), DataRow + Grid->TitleOffset());
    return {r.Left + 5, r.Top + 3};
  }
  void ClickCell(int DataCol, int DataRow, TShiftState Shift = {}) {
    if (Shift.Contains(ssCtrl)) Input.KeyDown(VK_CONTROL);
    if (Shift.Contains(ssShift)) Input.KeyDown(VK_SHIFT);
    Input.Click(Grid->Handle(), CellPoint(DataCol, DataRow));
    if (Shift.Contains(ssShift)) Input.KeyUp(VK_SHIFT);
    if (Shift.Contains(ssCtrl)) Input.KeyUp(VK_CONTROL);
    App.RunFor(100);
  }
  void RowSelectMulti() {
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgRowSelect, dgMultiSelect});
    App.ProcessMessages();
  }
  std::vector<int> SelectedIds() {
    // Read without disturbing the records on screen.
    std::vector<int> ids;
    const TCustomDBGridGd::TScreenPositionGd position = Grid->SaveScreenPosition();
    Table.DisableControls();
    for (int i = 0; i < Grid->SelectedRows()->GetCount(); ++i) {
      Table.GotoBookmark(Grid->SelectedRows()->GetItem(i));
      ids.push_back(Table.FieldByName("id")->AsInteger());
    }
    Grid->RestoreScreenPosition(position);
    Table.EnableControls();
    return ids;
  }
  static std::vector<int> Range(int From, int To) {
    std::vector<int> ids;
    for (int i = From; i <= To; ++i) ids.push_back(i);
    return ids;
  }
  test::TInputDriver Input;
};

TEST_F(InputTest, DownAtTheEndAppendsOnceAndUpCancelsTheUntouchedRecord) {
  Table.Last();
  App.ProcessMessages();
  Press(VK_DOWN);
  EXPECT_EQ(Table.State(), dsInsert);
  EXPECT_TRUE(Table.InsertingAtEnd());
  Press(VK_DOWN);  // the new record is untouched: nothing more
  EXPECT_EQ(Table.State(), dsInsert);
  Press(VK_UP);
  EXPECT_EQ(Table.State(), dsBrowse);
  EXPECT_EQ(Table.RecordCount(), 20);
  EXPECT_EQ(CurrentName(), "row20");
  // Read-only, Down at the end stays there.
  Grid->SetReadOnly(true);
  Press(VK_DOWN);
  EXPECT_EQ(Table.State(), dsBrowse);
}

TEST_F(InputTest, TabWrapsToTheNextRecordsFirstColumnAndShiftTabBack) {
  const int last = Grid->ColCount() - Grid->IndicatorOffset() - 1;
  Grid->SelectDataColumn(last, 0, false);
  Press(VK_TAB);
  EXPECT_EQ(CurrentName(), "row2");
  EXPECT_EQ(Grid->SelectedIndex(), 0);
  Press(VK_TAB, {ssShift});
  EXPECT_EQ(CurrentName(), "row1");
  EXPECT_EQ(Grid->SelectedIndex(), last);
}

TEST_F(InputTest, RowSelectKeysWithShiftAndCtrlMoveAndSelect) {
  RowSelectMulti();
  const int page = Grid->VisibleDataRowCount();
  struct TCase {
    const char* Name;
    int Start;
    UINT Key;
    TShiftState Shift;
    int Current;
    std::vector<int> Selected;
  };
  const std::vector<TCase> cases = {
      {"Home goes to the first record", 5, VK_HOME, {}, 1, {}},
      {"End goes to the last record", 5, VK_END, {}, 20, {}},
      {"Shift+End selects to the last", 5, VK_END, {ssShift}, 20, Range(5, 20)},
      {"Shift+Home selects to the first", 5, VK_HOME, {ssShift}, 1, Range(1, 5)},
      {"Ctrl+Shift+End selects to the last", 5, VK_END, {ssCtrl, ssShift}, 20, Range(5, 20)},
      {"Ctrl+Home goes to the first", 5, VK_HOME, {ssCtrl}, 1, {}},
      {"Shift+Page Down selects a page", 1, VK_NEXT, {ssShift}, 1 + page, Range(1, 1 + page)},
      {"Page Down moves a page", 1, VK_NEXT, {}, 1 + page, {}},
      {"Shift+Down selects two", 3, VK_DOWN, {ssShift}, 4, Range(3, 4)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Grid->SelectedRows()->Clear();
    Grid->ClearSelectionIfAllowed();
    Table.First();
    Table.MoveBy(c.Start - 1);
    App.ProcessMessages();
    Press(c.Key, c.Shift);
    EXPECT_EQ(Table.RecNo(), c.Current);
    EXPECT_EQ(SelectedIds(), c.Selected);
  }
  // Ctrl+Page Down: the last record shown; Shift+Up then steps back towards the anchor.
  Table.First();
  App.ProcessMessages();
  Press(VK_NEXT, {ssCtrl});
  EXPECT_EQ(Table.RecNo(), Grid->DataLink()->RecordCount());
  Press(VK_DOWN, {ssShift});
  Press(VK_DOWN, {ssShift});
  Press(VK_UP, {ssShift});
  const int anchor = Grid->DataLink()->RecordCount();
  EXPECT_EQ(SelectedIds(), Range(anchor, anchor + 1));
}

TEST_F(InputTest, LeftAndRightScrollAColumnWithRowSelect) {
  for (int i = 0; i < Grid->Columns()->Count(); ++i) Grid->Columns()->Items(i)->SetWidth(120);
  RowSelectMulti();
  const int left = Grid->LeftCol();
  Press(VK_RIGHT);
  EXPECT_EQ(Grid->LeftCol(), left + 1);
  EXPECT_EQ(CurrentName(), "row1");
  Press(VK_LEFT);
  Press(VK_LEFT);  // not past the first column
  EXPECT_EQ(Grid->LeftCol(), left);
}

TEST_F(InputTest, CtrlDeleteAsksAndDeletesOnlyWhenConfirmed) {
  test::TScriptedAnswers answers;
  Table.MoveBy(2);
  App.ProcessMessages();
  answers.Answer(mrCancel, "Delete record?");
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(Table.RecordCount(), 20);
  answers.Answer(mrOk, "Delete record?");
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(Table.RecordCount(), 19);
  EXPECT_EQ(CurrentName(), "row4");
  // Several selected records: one question for all of them.
  RowSelectMulti();
  Press(VK_DOWN, {ssShift});
  answers.Answer(mrOk, "Delete all selected records?");
  Press(VK_DELETE, {ssCtrl});
  EXPECT_EQ(Table.RecordCount(), 17);
}

TEST_F(InputTest, SpaceAndDeleteChangeACheckCellAndNeverSelectRows) {
  TColumnGd* use = Grid->Columns()->Items(2);
  use->SetCheckboxes(true);
  ASSERT_EQ(use->CellKind(), ckCheckbox);
  Grid->SelectDataColumn(2, 0, false);
  ASSERT_TRUE(Table.FieldByName("use")->AsBoolean());
  Press(VK_SPACE);
  EXPECT_FALSE(Table.FieldByName("use")->AsBoolean());
  Press(VK_SPACE, {ssShift});
  EXPECT_TRUE(Table.FieldByName("use")->AsBoolean());
  Press(VK_DELETE);
  EXPECT_TRUE(Table.FieldByName("use")->IsNull());
  Table.Cancel();
  // With row select Space neither steps the cell nor selects the row.
  RowSelectMulti();
  Press(VK_SPACE);
  EXPECT_TRUE(Table.FieldByName("use")->AsBoolean());
  EXPECT_EQ(Grid->SelectedRows()->GetCount(), 0);
}

TEST_F(InputTest, OnKeyDownComesFirstAndMayTakeTheKey) {
  std::vector<int> seen;
  Grid->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    seen.push_back(Table.RecNo());
    if (Key == VK_UP) Key = 0;
  };
  Press(VK_DOWN);
  Table.MoveBy(1);
  App.ProcessMessages();
  Press(VK_UP);
  EXPECT_EQ(seen, (std::vector<int>{1, 3}));
  EXPECT_EQ(Table.RecNo(), 3);
}

TEST_F(InputTest, CtrlFStartsASearchAndAgainOpensTheFindDialog) {
  Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghIncSearch, dghDialogFind});
  std::vector<bool> opened;
  grid::ShowFindDialogProc = [&](TCustomDBGridGd* G, const std::string& Text, bool Modal) {
    EXPECT_EQ(G, Grid);
    EXPECT_EQ(Text, "");
    opened.push_back(Modal);
  };
  Press('F', {ssCtrl});
  EXPECT_TRUE(Grid->IncSearchActive());
  EXPECT_TRUE(opened.empty());
  Grid->SetFindDialogModal(true);
  Press('F', {ssCtrl});
  EXPECT_FALSE(Grid->IncSearchActive());
  EXPECT_EQ(opened, std::vector<bool>{true});
  grid::ShowFindDialogProc = nullptr;
  Press('F', {ssCtrl});  // nothing to open the dialog with: nothing happens
}

TEST_F(InputTest, CtrlQuoteCopiesTheValueOfTheRecordAbove) {
  Grid->SelectDataColumn(1, 0, false);
  Press(222, {ssCtrl});  // on the first record shown: nothing
  EXPECT_EQ(Table.State(), dsBrowse);
  Table.MoveBy(3);
  App.ProcessMessages();
  Press(222, {ssCtrl});
  EXPECT_EQ(CurrentName(), "row3");
  EXPECT_EQ(Table.State(), dsEdit);
}

// ---- the mouse ----

TEST_F(InputTest, MouseDownComesAfterTheFocusAndTheMoveAndCellClickOnRelease) {
  TButton* other = new TButton(Form.get());
  other->SetParent(Form.get());
  other->SetBounds(0, 0, 10, 10);
  other->SetFocus();
  App.ProcessMessages();
  std::vector<std::string> events;
  Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
    events.push_back(std::string("down ") + (Grid->Focused() ? "focused " : "") + CurrentName());
  };
  Grid->OnCellClick = [&](TColumnGd* Column) { events.push_back("click " + Column->FieldName()); };
  Input.MoveTo(Grid->Handle(), CellPoint(1, 3));
  Input.Press();
  App.ProcessMessages();
  EXPECT_EQ(events, std::vector<std::string>{"down focused row4"});
  Input.Release();
  App.ProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"down focused row4", "click name"}));
}

TEST_F(InputTest, TheMusicListsClicksSelectFromTheAnchorToggleAndSelectOne) {
  RowSelectMulti();
  ClickCell(1, 1);
  EXPECT_EQ(SelectedIds(), std::vector<int>{2});
  ClickCell(1, 4, {ssShift});
  EXPECT_EQ(SelectedIds(), Range(2, 5));
  ClickCell(1, 0, {ssShift});  // from the same anchor, the other way
  EXPECT_EQ(SelectedIds(), Range(1, 2));
  ClickCell(1, 3, {ssCtrl});
  EXPECT_EQ(SelectedIds(), (std::vector<int>{1, 2, 4}));
  ClickCell(1, 1, {ssCtrl});
  EXPECT_EQ(SelectedIds(), (std::vector<int>{1, 4}));
  ClickCell(1, 2);
  EXPECT_EQ(SelectedIds(), std::vector<int>{3});
  int doubles = 0;
  Grid->OnDblClick = [&](TObject*) { ++doubles; };
  Input.DoubleClick(Grid->Handle(), CellPoint(1, 5));
  App.RunFor(100);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(CurrentName(), "row6");
}

TEST_F(InputTest, OnMouseMoveFiresAfterTheDragHasMovedTheRecord) {
  RowSelectMulti();
  std::vector<std::string> hints;
  Grid->OnMouseMove = [&](TObject*, TShiftState, int, int) {
    Grid->SetHint(Grid->Fields(1)->AsString());
    hints.push_back(Grid->Hint());
  };
  Input.Drag(Input.ScreenPoint(Grid->Handle(), CellPoint(1, 0)), Input.ScreenPoint(Grid->Handle(), CellPoint(1, 3)),
             3);
  App.RunFor(100);
  ASSERT_FALSE(hints.empty());
  EXPECT_EQ(hints.back(), "row4");
  EXPECT_EQ(SelectedIds(), Range(1, 4));
}

TEST_F(InputTest, ATitlePressFollowsThePointerAndClicksOnlyWhenReleasedOverIt) {
  TColumnGd* name = Grid->Columns()->Items(1);
  name->Title()->SetTitleButton(true);
  std::vector<std::string> clicks;
  Grid->OnTitleBtnClick = [&](TObject*, int ACol, TColumnGd* Column) {
    clicks.push_back(std::to_string(ACol) + " " + Column->FieldName());
  };
  const TRect title = Grid->CellRect(2, 0);
  const TPoint on{title.Left + 10, title.Top + 4};
  const TPoint off{title.Left + 10, title.Bottom + 30};
  Input.MoveTo(Grid->Handle(), on);
  Input.Press();
  App.ProcessMessages();
  EXPECT_EQ(Grid->PressedTitleCol(), 2);
  EXPECT_TRUE(Grid->TitlePressed());
  Input.MoveTo(Grid->Handle(), off);
  App.ProcessMessages();
  EXPECT_FALSE(Grid->TitlePressed());
  EXPECT_EQ(CurrentName(), "row1");  // the press moved nothing
  Input.MoveTo(Grid->Handle(), on);
  App.ProcessMessages();
  EXPECT_TRUE(Grid->TitlePressed());
  Input.Release();
  App.ProcessMessages();
  EXPECT_EQ(Grid->PressedTitleCol(), -1);
  EXPECT_EQ(clicks, std::vector<std::string>{"1 name"});
  // Released elsewhere: no click.
  Input.Press();
  Input.MoveTo(Grid->Handle(), off);
  Input.Release();
  App.ProcessMessages();
  EXPECT_EQ(clicks.size(), 1u);
  EXPECT_FALSE(Grid->TitlePressed());
}

TEST_F(InputTest, ACheckCellStepsOnReleaseAndLiveSizingFiresNoMouseMove) {
  TColumnGd* use = Grid->Columns()->Items(2);
  use->SetCheckboxes(true);
  ClickCell(2, 0);
  EXPECT_FALSE(Table.FieldByName("use")->AsBoolean());
  Table.Post();
  Grid->SetOptionsGd(Grid->OptionsGd() + TDBGridGdOptions{dghTraceColSizing});
  int moves = 0;
  Grid->OnMouseMove = [&](TObject*, TShiftState, int, int) { ++moves; };
  const TRect title = Grid->CellRect(1, 0);
  const int width = Grid->Columns()->Items(0)->Width();
  Input.MoveTo(Grid->Handle(), {title.Right, title.Top + 4});
  App.ProcessMessages();
  moves = 0;
  Input.Press();
  Input.MoveTo(Grid->Handle(), {title.Right + 10, title.Top + 4});
  Input.MoveTo(Grid->Handle(), {title.Right + 20, title.Top + 4});
  App.ProcessMessages();
  EXPECT_EQ(moves, 0);
  EXPECT_GT(Grid->ColWidths(1), width + 10);
  Input.Release();
  App.ProcessMessages();
  Input.MoveTo(Grid->Handle(), {title.Right + 40, title.Bottom + 40});
  App.ProcessMessages();
  EXPECT_GT(moves, 0);  // after the sizing the event is back
}

}  // namespace
