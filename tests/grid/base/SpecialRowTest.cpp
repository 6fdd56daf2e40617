// The special row of lookup lists and the multi-field routines.
#include <gtest/gtest.h>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/data/DBError.h"
#include "platform/data/MemoryDataSet.h"
#include "tests/support/HeadlessApp.h"

namespace {

std::vector<std::string> Cells(const std::string& Text) {
  TStringList list;
  SplitCellsText(Text, &list);
  std::vector<std::string> out;
  for (int i = 0; i < list.Count(); ++i) out.push_back(list.Strings(i));
  return out;
}

TEST(SplitCellsTextTest, ItemsQuotesAndControlCharacters) {
  using V = std::vector<std::string>;
  struct TCase { const char* Text; V Expected; };
  const TCase cases[] = {
      {"", {}},
      {"a;b", {"a", "b"}},
      {"a;;b", {"a", "", "b"}},
      {"a;", {"a"}},
      {"\"x;y\";z", {"x;y", "z"}},
      {"\"say \"\"hi\"\"\";b", {"say \"hi\"", "b"}},
      {"\r\n  a ;b", {"  a ", "b"}},
      {"a\r\nb", {"a", "b"}},
      {"\"open", {"open"}},
      {"(无);全部", {"(无)", "全部"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(Cells(c.Text), c.Expected);
  }
}

TEST(SpecialRowTest, CellsFollowTheTextAndOutOfRangeCellsAreEmpty) {
  TSpecRowGd row(nullptr);
  int changes = 0;
  row.OnChanged = [&](TObject*) { ++changes; };
  row.SetCellsText("(none);nobody");
  EXPECT_EQ(row.CellTextAt(0), "(none)");
  EXPECT_EQ(row.CellTextAt(1), "nobody");
  EXPECT_EQ(row.CellTextAt(2), "");
  EXPECT_EQ(row.CellTextAt(-1), "");
  EXPECT_EQ(changes, 1);
  row.BeginUpdate();
  row.SetVisible(true);
  row.SetShortCut(0);
  EXPECT_EQ(changes, 1) << "no report while updating";
  row.EndUpdate();
  EXPECT_EQ(changes, 2);
}

TEST(SpecialRowTest, ColourAndFontAreTheOwnersUntilAssignedAndOnlyThenStored) {
  test::THeadlessApp app;
  TPanel owner(nullptr);
  owner.SetColor(clYellow);
  owner.Font()->SetName("Arial");
  TSpecRowGd row(&owner);
  const classes::TClassInfo* info = classes::ClassInfoOf(&row);
  EXPECT_EQ(row.Color(), clYellow);
  EXPECT_FALSE(info->FindProperty("Color")->Stored(&row));
  EXPECT_FALSE(info->FindProperty("Font")->Stored(&row));
  owner.SetColor(clAqua);
  owner.Font()->SetName("Courier New");
  EXPECT_EQ(row.Color(), clAqua);
  EXPECT_EQ(row.Font()->Name(), "Courier New") << "follows the owner's font changes";
  EXPECT_FALSE(info->FindProperty("Font")->Stored(&row)) << "following is no assignment";
  row.Font()->SetSize(14);
  owner.Font()->SetName("Arial");
  EXPECT_EQ(row.Font()->Name(), "Courier New") << "a font set once is kept";
  EXPECT_TRUE(info->FindProperty("Font")->Stored(&row));
  row.SetColor(clRed);
  owner.SetColor(clLime);
  EXPECT_EQ(row.Color(), clRed);
  EXPECT_TRUE(info->FindProperty("Color")->Stored(&row));
}

TEST(SpecialRowTest, DefaultsAndANullValueAreNotStored) {
  TSpecRowGd row(nullptr);
  const classes::TClassInfo* info = classes::ClassInfoOf(&row);
  EXPECT_EQ(row.ShortCut(), 32814);
  EXPECT_EQ(info->FindProperty("ShortCut")->Default, 32814);
  EXPECT_TRUE(row.ShowIfNotInKeyList());
  EXPECT_TRUE(VarIsNull(row.Value()));
  EXPECT_FALSE(info->FindProperty("Value")->Stored(&row));
  row.SetValue(0);
  EXPECT_TRUE(info->FindProperty("Value")->Stored(&row));
  row.SetValue(Variant::Null());
  EXPECT_FALSE(info->FindProperty("Value")->Stored(&row));

  TSpecRowGd copy(nullptr);
  row.SetCellsText("a;b");
  row.SetValue("x");
  row.SetColor(clRed);
  copy.Assign(&row);
  EXPECT_EQ(copy.CellsText(), "a;b");
  EXPECT_EQ(copy.Value(), Variant("x"));
  EXPECT_EQ(copy.Color(), clRed);
  EXPECT_TRUE(copy.IsColorStored());
  EXPECT_FALSE(copy.IsFontStored()) << "an unassigned font is not copied";
}

class FieldRoutinesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Owner.SetName("LookupGrid");
    Data.FieldDefs()->Add("id", ftInteger);
    Data.FieldDefs()->Add("name", ftWideString, 20);
    Data.Open();
    Data.Append();
    Data.FieldByName("id")->SetAsInteger(7);
    Data.FieldByName("name")->SetAsString("seven");
  }
  TComponent Owner{nullptr};
  TMemoryDataSet Data{nullptr};
};

TEST_F(FieldRoutinesTest, FieldNamesBecomeFieldsAndAMissingOneNamesTheComponent) {
  std::vector<TField*> fields;
  FieldNamesToArray(&Data, &Owner, "name; id", fields);
  EXPECT_EQ(fields, (std::vector<TField*>{Data.FieldByName("name"), Data.FieldByName("id")}));
  std::vector<TField*> kept = fields;
  try {
    FieldNamesToArray(&Data, &Owner, "id;code", fields);
    FAIL() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_STREQ(e.what(), "LookupGrid: Field 'code' not found");
  }
  EXPECT_EQ(fields, kept) << "no array is produced";
}

TEST_F(FieldRoutinesTest, AssignFieldValuesSetsSeveralFieldsOrClearsThem) {
  AssignFieldValues(&Data, "id;name", VarArrayOf({8, "eight"}));
  EXPECT_EQ(Data.FieldByName("id")->AsInteger(), 8);
  EXPECT_EQ(Data.FieldByName("name")->AsString(), "eight");
  AssignFieldValues(&Data, "name", "nine");
  EXPECT_EQ(Data.FieldByName("name")->AsString(), "nine");
  AssignFieldValues(&Data, "id;name", Variant::Null());
  EXPECT_TRUE(Data.FieldByName("id")->IsNull());
  EXPECT_TRUE(Data.FieldByName("name")->IsNull());
  EXPECT_THROW(AssignFieldValues(&Data, "id;name", VarArrayOf({1})), EDatabaseError);
}

}  // namespace
