// The data grid over an in-memory dataset: columns from a definition, plain painting through
// the cell handler, row selection by clicks and the selected-row list's operations.
#include <gtest/gtest.h>

#include <memory>

#include "grid/DBGridGd.h"
#include "platform/classes/Filer.h"
#include "platform/data/MemoryDataSet.h"
#include "platform/rtl/DateTime.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

class TGridForm : public TForm {
 public:
  using TForm::TForm;
  TMemoryDataSet* Table = nullptr;
  TDataSource* DataSource1 = nullptr;
  TDBGridGd* DBGridGd1 = nullptr;
  std::vector<std::string> Drawn;
  void DBGridGd1DrawColumnCell(TObject*, const TRect& Rect, int DataCol, TColumnGd* Column, TGridDrawState State) {
    if (DataCol == 1) Drawn.push_back(Column->CellDisplayText());
    DBGridGd1->Canvas()->Font()->SetColor(clLime);
    DBGridGd1->DefaultDrawColumnCell(Rect, DataCol, Column, State);
  }
};

const classes::TPublished<TGridForm, TForm> GridFormInfo([](auto& p) {
  p.Field("DataSource1", &TGridForm::DataSource1);
  p.Field("DBGridGd1", &TGridForm::DBGridGd1);
  p.Method("DBGridGd1DrawColumnCell", &TGridForm::DBGridGd1DrawColumnCell);
});

const char* const kDefinition = R"(object GridForm: TGridForm
  BorderStyle = bsNone
  ClientHeight = 140
  ClientWidth = 260
  object DataSource1: TDataSource
  end
  object DBGridGd1: TDBGridGd
    Left = 0
    Top = 0
    Width = 260
    Height = 140
    DataSource = DataSource1
    FooterRowCount = 1
    Options = [dgTitles, dgColLines, dgRowLines, dgRowSelect, dgAlwaysShowSelection, dgMultiSelect]
    SumList.Active = True
    VertScrollBar.VisibleMode = sbNeverShowGd
    OnDrawColumnCell = DBGridGd1DrawColumnCell
    Columns = <
      item
        FieldName = 'use'
        Width = 30
      end
      item
        FieldName = 'name'
        Title.Caption = #27468#21517
        Width = 120
        Footer.ValueType = fvtCount
        Footer.Alignment = taCenter
      end
      item
        FieldName = 'ptime'
        DisplayFormat = 'hh:nn:ss'
        Width = 70
      end>
  end
end
)";

class DBGridGdTest : public test::HeadlessTest {
 protected:
  DBGridGdTest() : Form(std::make_unique<TGridForm>(nullptr)) {
    Table.FieldDefs()->Add("use", ftBoolean);
    Table.FieldDefs()->Add("name", ftWideString, 50);
    Table.FieldDefs()->Add("ptime", ftDateTime);
    Table.CreateDataSet();
    for (int i = 0; i < 4; ++i) {
      Table.Append();
      Table.FieldByName("use")->SetAsBoolean(i % 2 == 0);
      Table.FieldByName("name")->SetAsString("song" + std::to_string(i));
      Table.FieldByName("ptime")->SetAsDateTime(EncodeTime(8 + i, 0, 0, 0));
      Table.Post();
    }
    Table.First();
    ReadComponentText(Form.get(), kDefinition);
    Form->DataSource1->SetDataSet(&Table);
    Form->Show();
    App.ProcessMessages();
  }
  TDBGridGd* Grid() { return Form->DBGridGd1; }
  void ClickRow(int Row, TShiftState Shift = {}) {
    TRect cell = Grid()->CellRect(1 + Grid()->IndicatorOffset(), Row + Grid()->TitleOffset());
    if (Shift.Contains(ssCtrl)) Input.KeyDown(VK_CONTROL);
    if (Shift.Contains(ssShift)) Input.KeyDown(VK_SHIFT);
    Input.Click(Grid()->Handle(), {cell.Left + 5, cell.Top + 3});
    if (Shift.Contains(ssCtrl)) Input.KeyUp(VK_CONTROL);
    if (Shift.Contains(ssShift)) Input.KeyUp(VK_SHIFT);
    App.RunFor(100);
  }
  std::vector<std::string> SelectedNames() {
    std::vector<std::string> names;
    TBookmark current = Table.Bookmark();
    for (int i = 0; i < Grid()->SelectedRows()->GetCount(); ++i) {
      Table.GotoBookmark(Grid()->SelectedRows()->GetItem(i));
      names.push_back(Table.FieldByName("name")->AsString());
    }
    Table.GotoBookmark(current);
    return names;
  }
  TMemoryDataSet Table{nullptr};
  std::unique_ptr<TGridForm> Form;
  test::TInputDriver Input;
};

TEST_F(DBGridGdTest, TheColumnsComeFromTheDefinitionAndCellsPaintThroughTheHandler) {
  ASSERT_EQ(Grid()->Columns()->Count(), 3);
  EXPECT_EQ(Grid()->Columns()->Items(1)->Title()->Caption(), "歌名");
  EXPECT_EQ(Grid()->Columns()->Items(1)->Footer()->ValueType(), fvtCount);
  EXPECT_TRUE(Grid()->SumList()->Active());
  EXPECT_EQ(Grid()->VertScrollBar()->VisibleMode(), sbNeverShowGd);
  EXPECT_EQ(Grid()->GetFields(2), Table.FieldByName("ptime"));
  EXPECT_EQ(Grid()->Columns()->Items(2)->CellDisplayText(), "08:00:00");
  Form->Drawn.clear();
  Grid()->Repaint();
  App.ProcessMessages();
  EXPECT_EQ(Form->Drawn, (std::vector<std::string>{"song0", "song1", "song2", "song3"}));
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "db-grid", 24, 150));
}

TEST_F(DBGridGdTest, ClicksMoveTheDatasetAndChangeTheSelection) {
  ClickRow(2);
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "song2");
  EXPECT_EQ(SelectedNames(), std::vector<std::string>{"song2"});
  ClickRow(0, {ssCtrl});
  EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"song0", "song2"}));
  ClickRow(3, {ssShift});
  EXPECT_EQ(SelectedNames(), (std::vector<std::string>{"song0", "song1", "song2", "song3"}));
  ClickRow(1);
  EXPECT_EQ(SelectedNames(), std::vector<std::string>{"song1"});
  Input.Key(VK_DOWN);
  App.RunFor(50);
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "song2");
}

TEST_F(DBGridGdTest, TheSelectedRowsAreDeletedOrAllSelected) {
  TBookmarkListGd* rows = Grid()->SelectedRows();
  rows->Delete();  // nothing selected: nothing deleted
  EXPECT_EQ(Table.RecordCount(), 4);
  Table.MoveBy(2);
  rows->SelectAll();
  EXPECT_EQ(rows->GetCount(), 4);
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "song2");  // back on its row
  ClickRow(1);
  ClickRow(3, {ssCtrl});
  rows->Delete();
  EXPECT_EQ(rows->GetCount(), 0);
  EXPECT_EQ(Table.RecordCount(), 2);
  Table.First();
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "song0");
  Table.Next();
  EXPECT_EQ(Table.FieldByName("name")->AsString(), "song2");
}

}  // namespace
