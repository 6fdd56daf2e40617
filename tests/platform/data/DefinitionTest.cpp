// Data components read from a window definition: the connection, datasets with their
// persistent fields, and data sources, wired to the form's fields and handlers.
#include <gtest/gtest.h>

#include "platform/classes/Filer.h"
#include "platform/data/DataLink.h"
#include "tests/platform/data/AdoFixture.h"

namespace {

class TDataForm : public TComponent {
 public:
  explicit TDataForm(TComponent* AOwner) : TComponent(AOwner) {}
  // The owned components go first while the fields that point at them still exist.
  ~TDataForm() override { DestroyComponents(); }

  TADOConnection* ADOConnection1 = nullptr;
  TADOTable* ADOTable1 = nullptr;
  TAutoIncField* ADOTable1id = nullptr;
  TWideStringField* ADOTable1name = nullptr;
  TIntegerField* ADOTable1noer = nullptr;
  TADOQuery* ADOQuery1 = nullptr;
  TDataSource* DataSource1 = nullptr;

  void ADOTable1CalcFields(TDataSet* DataSet) { ADOTable1noer->SetAsInteger(DataSet->RecNo()); }
  void DataSource1DataChange(TObject*, TField*) { ++DataChanges; }
  int DataChanges = 0;
};

const classes::TPublished<TDataForm, TComponent> DataFormInfo([](auto& p) {
  p.Field("ADOConnection1", &TDataForm::ADOConnection1);
  p.Field("ADOTable1", &TDataForm::ADOTable1);
  p.Field("ADOTable1id", &TDataForm::ADOTable1id);
  p.Field("ADOTable1name", &TDataForm::ADOTable1name);
  p.Field("ADOTable1noer", &TDataForm::ADOTable1noer);
  p.Field("ADOQuery1", &TDataForm::ADOQuery1);
  p.Field("DataSource1", &TDataForm::DataSource1);
  p.Method("ADOTable1CalcFields", &TDataForm::ADOTable1CalcFields);
  p.Method("DataSource1DataChange", &TDataForm::DataSource1DataChange);
});

class DefinitionTest : public datatest::DbTest {
 protected:
  // The definition, with the connection string naming the test's database. The query is
  // opened by the definition (Active comes before its text, as definitions write it).
  std::string Definition() const {
    return "object DataForm: TDataForm\n"
           "  object ADOConnection1: TADOConnection\n"
           "    ConnectionString = 'Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + DbPath + "'\n"
           "    KeepConnection = False\n"
           "    LoginPrompt = False\n"
           "    Mode = cmShareDenyNone\n"
           "  end\n"
           "  object ADOTable1: TADOTable\n"
           "    Connection = ADOConnection1\n"
           "    CursorType = ctStatic\n"
           "    OnCalcFields = ADOTable1CalcFields\n"
           "    TableName = 'music'\n"
           "    object ADOTable1noer: TIntegerField\n"
           "      FieldKind = fkCalculated\n"
           "      FieldName = 'noer'\n"
           "      Calculated = True\n"
           "    end\n"
           "    object ADOTable1id: TAutoIncField\n"
           "      FieldName = 'id'\n"
           "      ReadOnly = True\n"
           "    end\n"
           "    object ADOTable1name: TWideStringField\n"
           "      DisplayLabel = '歌曲'\n"
           "      FieldName = 'name'\n"
           "      Size = 200\n"
           "    end\n"
           "  end\n"
           "  object ADOQuery1: TADOQuery\n"
           "    Active = True\n"
           "    Connection = ADOConnection1\n"
           "    CursorType = ctStatic\n"
           "    LockType = ltBatchOptimistic\n"
           "    SQL.Strings = (\n"
           "      'select * from musictype'\n"
           "      'where id = 1')\n"
           "  end\n"
           "  object DataSource1: TDataSource\n"
           "    DataSet = ADOTable1\n"
           "    OnDataChange = DataSource1DataChange\n"
           "  end\n"
           "end\n";
  }
};

TEST_F(DefinitionTest, DataComponentsLoadWiredAndWork) {
  TDataForm form(nullptr);
  ReadComponentText(&form, Definition(), "DataForm.txt");
  ASSERT_NE(form.ADOTable1, nullptr);
  ASSERT_NE(form.ADOTable1noer, nullptr);
  EXPECT_FALSE(form.ADOConnection1->LoginPrompt());
  EXPECT_FALSE(form.ADOConnection1->KeepConnection());
  EXPECT_EQ(form.ADOConnection1->Mode(), cmShareDenyNone);
  EXPECT_EQ(form.ADOTable1->Connection(), form.ADOConnection1);
  EXPECT_EQ(form.ADOQuery1->LockType(), ltBatchOptimistic);
  EXPECT_EQ(form.DataSource1->DataSet(), form.ADOTable1);

  // The query opened once everything was read.
  ASSERT_TRUE(form.ADOQuery1->Active());
  EXPECT_EQ(form.ADOQuery1->FieldByName("name")->AsString(), "所有音乐");

  // The persistent fields belong to their dataset, in the order written.
  EXPECT_EQ(form.ADOTable1noer->DataSet(), form.ADOTable1);
  EXPECT_EQ(form.ADOTable1noer->FieldKind(), fkCalculated);
  EXPECT_EQ(form.ADOTable1name->DisplayLabel(), "歌曲");
  form.ADOTable1->Open();
  EXPECT_FALSE(form.ADOTable1->DefaultFields());
  EXPECT_EQ(form.ADOTable1->FieldCount(), 3);
  EXPECT_EQ(form.ADOTable1->FindField("namepath"), nullptr);
  for (const char* name : {"a", "b"}) {
    form.ADOTable1->Append();
    form.ADOTable1name->SetAsString(name);
    form.ADOTable1->Post();
  }
  EXPECT_EQ(form.ADOTable1noer->AsInteger(), 2);
  EXPECT_EQ(form.ADOTable1id->AsInteger(), 2);
  EXPECT_GT(form.DataChanges, 0);

  // Written back, the definition keeps the fields inside their dataset and only what differs
  // from the defaults.
  std::string text = WriteComponentText(&form);
  size_t table = text.find("object ADOTable1: TADOTable");
  size_t field = text.find("object ADOTable1name: TWideStringField");
  size_t query = text.find("object ADOQuery1: TADOQuery");
  ASSERT_NE(field, std::string::npos) << text;
  EXPECT_LT(table, field);
  EXPECT_LT(field, query);
  EXPECT_EQ(text.find("DisplayLabel = 'id'"), std::string::npos) << text;
  EXPECT_EQ(text.find("AutoEdit"), std::string::npos) << text;
}

}  // namespace
