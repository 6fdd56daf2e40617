// The grid's structure and options, its field map, and the column model: defaults that follow
// the grid, the field or ColumnDefValues, cell kinds, display texts, check states and stepping.
#include "grid/DBGridGd.h"
#include "platform/classes/Filer.h"
#include "platform/controls/Menus.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

TEST(DBGridGdStructure, AFreshGridHasTwoRowsTwoColumnsAnIndicatorAndATitleRow) {
  test::THeadlessApp app;
  TDBGridGd grid(nullptr);
  EXPECT_EQ(grid.RowCount(), 2);
  EXPECT_EQ(grid.ColCount(), 2);
  EXPECT_EQ(grid.IndicatorOffset(), 1);
  EXPECT_EQ(grid.TitleOffset(), 1);
  EXPECT_TRUE(grid.DefaultDrawing());
  EXPECT_FALSE(grid.TCustomGrid::DefaultDrawing());
  EXPECT_EQ(grid.ScrollBars(), ssHorizontal);
}

TEST_F(GridTest, OptionsDropEditingWithRowSelectAndRelayoutOnlyForLayoutOptions) {
  Grid->SetOptions(TDBGridOptions{dgEditing, dgAlwaysShowEditor, dgRowSelect, dgTitles});
  EXPECT_EQ(Grid->Options(), (TDBGridOptions{dgRowSelect, dgTitles}));
  EXPECT_TRUE(Grid->TCustomGrid::Options().Contains(goRowSelect));
  const int passes = Grid->LayoutCount();
  Grid->SetOptions(Grid->Options());
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgConfirmDelete, dgCancelOnExit, dgMultiSelect});
  EXPECT_EQ(Grid->LayoutCount(), passes);
  Grid->SetOptions(Grid->Options() + TDBGridOptions{dgIndicator});
  EXPECT_EQ(Grid->LayoutCount(), passes + 1);
  Grid->SetFooterRowCount(2);
  Grid->SetFooterRowCount(-1);
  EXPECT_EQ(Grid->FooterRowCount(), 2);
}

TEST_F(GridTest, DefaultColumnsComeFromTheVisibleFieldsAndAreNotStored) {
  Table.FieldByName("price")->SetVisible(false);
  ASSERT_EQ(Grid->Columns()->Count(), 4);
  EXPECT_EQ(Grid->Columns()->State(), cstDefaultColumns);
  EXPECT_FALSE(Grid->IsColumnsStored());
  EXPECT_EQ(Grid->ColCount(), 5);
  EXPECT_EQ(Grid->GetFields(2), Table.FieldByName("use"));
  EXPECT_EQ(Grid->GetFields(3), Table.FieldByName("when"));
  EXPECT_EQ(Grid->GetFields(-1), nullptr);
  EXPECT_EQ(Grid->GetFields(4), nullptr);
  EXPECT_TRUE(Grid->Columns()->Items(2)->Checkboxes());
  EXPECT_EQ(Grid->Columns()->Items(2)->CellKind(), ckCheckbox);
}

TEST_F(GridTest, StoredColumnsMapOneEntryEachHiddenAndMissingOnesIncluded) {
  TDBGridColumnGd* name = Grid->Columns()->Add();
  name->SetFieldName("name");
  TDBGridColumnGd* hidden = Grid->Columns()->Add();
  hidden->SetFieldName("price");
  hidden->SetVisible(false);
  Grid->Columns()->Add()->SetFieldName("nosuchfield");
  Grid->Columns()->Add()->SetFieldName("id");
  ASSERT_EQ(Grid->FieldCount(), 4);
  EXPECT_EQ(Grid->GetFields(0), Table.FieldByName("name"));
  EXPECT_EQ(Grid->GetFields(1), Table.FieldByName("price"));
  EXPECT_EQ(Grid->GetFields(2), nullptr);
  EXPECT_EQ(Grid->GetFields(3), Table.FieldByName("id"));
  EXPECT_EQ(Grid->VisibleColumns().size(), 3u);
  EXPECT_EQ(Grid->ColWidths(1 + Grid->IndicatorOffset()), -1);  // hidden, with column lines
  EXPECT_TRUE(Grid->IsColumnsStored());
}

TEST_F(GridTest, AFreedPopupMenuOrImageListLeavesNoReferenceInAColumn) {
  auto* menu = new TPopupMenu(Form.get());
  auto* images = new TCustomImageList(Form.get());
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("name");
  column->SetPopupMenu(menu);
  column->SetImageList(images);
  delete menu;
  delete images;
  EXPECT_EQ(column->PopupMenu(), nullptr);
  EXPECT_EQ(column->ImageList(), nullptr);
  delete Source;
  Source = nullptr;
  EXPECT_EQ(Grid->DataSource(), nullptr);
}

TEST_F(GridTest, ColumnsFollowTheGridAndTheirFieldUntilAssigned) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("price");
  Grid->SetColor(clInfoBk);
  Grid->Font()->SetHeight(-15);
  EXPECT_EQ(column->Color(), clInfoBk);
  EXPECT_EQ(column->Font()->Height(), -15);
  EXPECT_EQ(column->Alignment(), taRightJustify);  // the float field's
  EXPECT_FALSE(column->IsColorStored());
  column->SetColor(clYellow);
  Grid->SetColor(clWindow);
  EXPECT_EQ(column->Color(), clYellow);
  EXPECT_TRUE(column->IsColorStored());
  EXPECT_EQ(column->Title()->Caption(), "price");
  EXPECT_FALSE(column->Title()->IsCaptionStored());
  EXPECT_EQ(column->Title()->Color(), Grid->FixedColor());
  Grid->ColumnDefValues()->SetEndEllipsis(true);
  EXPECT_TRUE(column->EndEllipsis());
  column->SetEndEllipsis(false);
  EXPECT_FALSE(column->EndEllipsis());
  EXPECT_TRUE(column->IsEndEllipsisStored());
}

TEST_F(GridTest, TitlesFollowTheParentsFontUntilTheTitleFontIsSetItself) {
  ASSERT_TRUE(Grid->ParentFont());
  const int before = Grid->RowHeights(0);
  Form->Font()->SetHeight(-20);
  EXPECT_EQ(Grid->TitleFont()->Height(), -20);
  EXPECT_TRUE(Grid->ParentFont());
  EXPECT_GT(Grid->RowHeights(0), before);
  Grid->TitleFont()->SetHeight(-9);
  EXPECT_FALSE(Grid->ParentFont());
  Form->Font()->SetHeight(-14);
  EXPECT_EQ(Grid->TitleFont()->Height(), -9);
}

TEST_F(GridTest, TheDefaultWidthComesFromTheFieldsDisplayWidth) {
  TColumnGd* name = Grid->Columns()->Items(1);
  Grid->Canvas()->SetFont(name->Font());
  const int zero = Grid->Canvas()->TextWidth("0");
  ASSERT_GT(zero, 0);
  EXPECT_EQ(name->Width(), zero * 20 + 4);
  Table.FieldByName("name")->SetDisplayWidth(5);
  EXPECT_EQ(name->Width(), zero * 5 + 4);
  // A default column's width goes to its field, not into the column.
  name->SetWidth(zero * 8 + 4);
  EXPECT_EQ(Table.FieldByName("name")->DisplayWidth(), 8);
  EXPECT_FALSE(name->IsWidthStored());
}

TEST_F(GridTest, AWidthBelowMinWidthRisesToItEvenWhenMaxWidthIsSmaller) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("name");
  column->SetMinWidth(50);
  column->SetMaxWidth(30);
  EXPECT_EQ(column->ClampWidth(10), 50);
  EXPECT_EQ(column->ClampWidth(40), 50);
  column->SetMinWidth(0);
  EXPECT_EQ(column->ClampWidth(40), 30);
  EXPECT_EQ(column->ClampWidth(20), 20);
}

TEST_F(GridTest, CellKindsFirstMatchWins) {
  struct Case {
    const char* Field;
    bool Picks, Keys, Images, ImageAndText, Checkboxes;
    TColumnCellKind Kind;
  };
  TCustomImageList images(nullptr);
  const Case cases[] = {
      {"name", false, false, false, false, false, ckPlain},     {"name", true, false, false, false, false, ckPickList},
      {"name", true, true, false, false, false, ckKeyPickList}, {"name", true, true, true, false, false, ckImage},
      {"name", false, false, true, true, false, ckPlain},       {"name", true, true, true, false, true, ckCheckbox},
      {"use", false, false, false, false, false, ckCheckbox},
  };
  for (const Case& c : cases) {
    TDBGridColumnGd* column = Grid->Columns()->Add();
    column->SetFieldName(c.Field);
    if (c.Picks) column->PickList()->Add("a");
    if (c.Keys) column->KeyList()->Add("1");
    if (c.Images) column->SetImageList(&images);
    column->SetShowImageAndText(c.ImageAndText);
    if (c.Checkboxes) column->SetCheckboxes(true);
    EXPECT_EQ(column->CellKind(), c.Kind) << c.Field << c.Picks << c.Keys << c.Images << c.Checkboxes;
    column->SetImageList(nullptr);
  }
}

TEST_F(GridTest, DisplayTextsFollowTheFormatKeyListAndNulls) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  struct Case {
    const char* Field;
    const char* Format;
    std::string Text;
  };
  const Case cases[] = {{"name", "", "row1"},
                        {"name", "0.00", ""},
                        {"price", "0.00", "1.50"},
                        {"when", "hh:nn:ss", "08:00:00"},
                        {"id", "000", "001"}};
  for (const Case& c : cases) {
    column->SetFieldName(c.Field);
    column->SetDisplayFormat(c.Format);
    EXPECT_EQ(column->CellDisplayText(), c.Text) << c.Field << " " << c.Format;
  }
  Table.Edit();
  Table.FieldByName("price")->Clear();
  Table.Post();
  column->SetFieldName("price");
  EXPECT_EQ(column->CellDisplayText(), "");
  // Keys pick the shown text; a value that is not a key shows nothing (or the NotInKeyListIndex text).
  column->SetFieldName("id");
  column->SetDisplayFormat("");
  column->KeyList()->Add("1");
  column->PickList()->Add("one");
  column->PickList()->Add("other");
  EXPECT_EQ(column->CellDisplayText(), "one");
  Table.Next();
  EXPECT_EQ(column->CellDisplayText(), "");
  column->SetNotInKeyListIndex(1);
  EXPECT_EQ(column->CellDisplayText(), "other");
}

TEST_F(GridTest, CheckStatesReadBooleansNullsAndKeyListItems) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("name");
  column->KeyList()->Add("1;Y");
  column->KeyList()->Add("0;N");
  struct Case {
    const char* Text;
    TCheckBoxState State;
  };
  for (const Case& c : {Case{"1", cbChecked}, Case{"Y", cbChecked}, Case{"y", cbChecked}, Case{"n", cbUnchecked},
                        Case{"maybe", cbGrayed}}) {
    Table.Edit();
    Table.FieldByName("name")->SetAsString(c.Text);
    Table.Post();
    EXPECT_EQ(column->ReadCheckState(), c.State) << c.Text;
  }
  Table.Edit();
  Table.FieldByName("name")->Clear();
  Table.Post();
  EXPECT_EQ(column->ReadCheckState(), cbGrayed);
  column->SetFieldName("use");  // a Boolean field ignores the keys
  EXPECT_EQ(column->ReadCheckState(), cbChecked);
}

TEST_F(GridTest, SteppingCellsWrapsAndANullNumberBecomesZero) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("use");
  column->StepCellValue(1);
  EXPECT_FALSE(Table.FieldByName("use")->AsBoolean());
  column->StepCellValue(1);
  EXPECT_TRUE(Table.FieldByName("use")->AsBoolean());
  Table.Post();
  column->SetFieldName("price");
  for (int delta : {1, -1}) {
    Table.Edit();
    Table.FieldByName("price")->Clear();
    column->StepCellValue(delta);
    EXPECT_EQ(Table.FieldByName("price")->AsFloat(), 0.0) << delta;
    Table.Post();
  }
  column->SetFieldName("name");
  column->KeyList()->Add("a");
  column->KeyList()->Add("b");
  column->PickList()->Add("A");
  column->PickList()->Add("B");
  column->StepCellValue(1);  // not in the keys: to the first
  EXPECT_EQ(CurrentName(), "a");
  column->StepCellValue(-1);  // backward from the first: to the last
  EXPECT_EQ(CurrentName(), "b");
  Table.Post();
  // An image cell without keys has nothing to step to.
  TCustomImageList images(nullptr);
  TDBGridColumnGd* image = Grid->Columns()->Add();
  image->SetFieldName("name");
  image->SetImageList(&images);
  ASSERT_EQ(image->CellKind(), ckImage);
  EXPECT_NO_THROW(image->StepCellValue(1));
  EXPECT_EQ(CurrentName(), "b");
  image->SetImageList(nullptr);
}

TEST_F(GridTest, StoredColumnsWriteOnlyWhatWasAssigned) {
  TDBGridColumnGd* column = Grid->Columns()->Add();
  column->SetFieldName("name");
  column->Title()->SetCaption("Name");
  const std::string all = WriteComponentText(Grid);
  const std::string text = all.substr(all.find("item"), all.find("end>") - all.find("item"));
  EXPECT_NE(text.find("FieldName = 'name'"), std::string::npos) << all;
  EXPECT_NE(text.find("Title.Caption = 'Name'"), std::string::npos) << text;
  EXPECT_EQ(text.find("Width ="), std::string::npos) << text;
  EXPECT_EQ(text.find("Alignment"), std::string::npos) << text;
  delete column;
  EXPECT_EQ(WriteComponentText(Grid).find("Columns"), std::string::npos) << WriteComponentText(Grid);
}

}  // namespace

namespace {

TEST(GridResources, AMissingCursorRaisesBeforeAnythingIsBuiltAndTheProgramsAreComplete) {
  test::THeadlessApp app;
  grid::TGridResourceLoaders loaders = grid::ProgramResourceLoaders();
  std::vector<std::string> read;
  grid::TGridResourceLoaders failing{[&](const std::string& Name) -> HCURSOR {
                                       read.push_back(Name);
                                       return Name == "RIGHTCURGD" ? nullptr : loaders.Cursor(Name);
                                     },
                                     [&](TBitmap* Bitmap, const std::string& Name) {
                                       read.push_back(Name);
                                       loaders.Bitmap(Bitmap, Name);
                                     }};
  try {
    grid::LoadGridResources(failing);
    FAIL() << "no error";
  } catch (const EOutOfResources& e) {
    EXPECT_STREQ(e.what(), "Cannot load cursor resource");
  }
  // Every bitmap was read before the cursors.
  EXPECT_EQ(read.size(), 10u);
  EXPECT_EQ(read.back(), "RIGHTCURGD");
  const std::unique_ptr<grid::TGridResources> loaded = grid::LoadGridResources(loaders);
  EXPECT_EQ(loaded->Indicators->Count(), 7);
  EXPECT_EQ(loaded->SortMarkers->Count(), 2);
  EXPECT_NE(loaded->LeftCursor, nullptr);
  EXPECT_EQ(loaded->SortMarkerFont->Name(), "Arial");
  EXPECT_LT(loaded->SortMarkerFont->Height(), 0);
}

}  // namespace
