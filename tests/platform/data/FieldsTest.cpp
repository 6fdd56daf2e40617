#include <gtest/gtest.h>

#include "platform/rtl/DateTime.h"
#include "tests/platform/data/MemFixture.h"

namespace {

// One row with a column of each kind.
class FieldsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Ds.FieldDefs()->Add("i", ftInteger);
    Ds.FieldDefs()->Add("s", ftSmallint);
    Ds.FieldDefs()->Add("f", ftFloat);
    Ds.FieldDefs()->Add("c", ftCurrency);
    Ds.FieldDefs()->Add("b", ftBoolean);
    Ds.FieldDefs()->Add("t", ftTime);
    Ds.FieldDefs()->Add("d", ftDate);
    Ds.FieldDefs()->Add("dt", ftDateTime);
    Ds.FieldDefs()->Add("w", ftWideString, 10);
    Ds.FieldDefs()->Add("m", ftMemo);
    Ds.Open();
    Ds.Append();
  }
  TField* F(const char* Name) { return Ds.FieldByName(Name); }
  TMemoryDataSet Ds{nullptr};
};

TEST_F(FieldsTest, ClassesFollowTheDefinitions) {
  EXPECT_NE(dynamic_cast<TIntegerField*>(F("i")), nullptr);
  EXPECT_NE(dynamic_cast<TSmallintField*>(F("s")), nullptr);
  EXPECT_NE(dynamic_cast<TCurrencyField*>(F("c")), nullptr);
  EXPECT_NE(dynamic_cast<TTimeField*>(F("t")), nullptr);
  EXPECT_NE(dynamic_cast<TDateField*>(F("d")), nullptr);
  EXPECT_NE(dynamic_cast<TWideStringField*>(F("w")), nullptr);
  EXPECT_NE(dynamic_cast<TMemoField*>(F("m")), nullptr);
  for (const char* n : {"i", "s", "f", "c"}) EXPECT_NE(dynamic_cast<TNumericField*>(F(n)), nullptr) << n;
  EXPECT_EQ(F("w")->Size(), 10);
  EXPECT_EQ(F("i")->Alignment(), taRightJustify);
  EXPECT_EQ(F("w")->Alignment(), taLeftJustify);
  EXPECT_TRUE(F("m")->IsBlob());
  EXPECT_FALSE(F("w")->IsBlob());
  EXPECT_EQ(F("w")->DisplayWidth(), 10);
  F("w")->SetDisplayLabel("名称");
  EXPECT_EQ(F("w")->DisplayName(), "名称");
  EXPECT_EQ(F("i")->DisplayName(), "i");
  EXPECT_TRUE(F("i")->IsValidChar(U'7'));
  EXPECT_FALSE(F("i")->IsValidChar(U'x'));
  EXPECT_TRUE(F("f")->IsValidChar(U'.'));
  EXPECT_TRUE(F("w")->IsValidChar(U'好'));
}

TEST_F(FieldsTest, TextAndConversions) {
  // Text into a time field in the form the system writes converts to a time of day.
  F("t")->SetText("08:30:15");
  EXPECT_DOUBLE_EQ(F("t")->AsDateTime().Value, EncodeTime(8, 30, 15, 0).Value);
  EXPECT_EQ(F("t")->Text(), "08:30:15");
  EXPECT_THROW(F("t")->SetText("25:00:00"), EConvertError);
  // A time field keeps only the time of day and a date field only the day, however they
  // are given a full date and time.
  TDateTime moment = EncodeDate(2026, 12, 10) + EncodeTime(23, 50, 0, 0);
  auto timeOfDay = [&] { return F("t")->AsDateTime().Value >= 0 && F("t")->AsDateTime().Value < 1; };
  F("t")->SetAsDateTime(moment);
  EXPECT_TRUE(timeOfDay());
  EXPECT_EQ(F("t")->Text(), "23:50:00");
  F("t")->SetAsDateTime(F("t")->AsDateTime() + EncodeTime(0, 20, 0, 0));  // past midnight
  EXPECT_TRUE(timeOfDay());
  EXPECT_EQ(F("t")->Text(), "00:10:00");
  F("t")->SetAsString("2026-12-10 08:30:15");
  EXPECT_TRUE(timeOfDay());
  EXPECT_EQ(F("t")->Text(), "08:30:15");
  F("d")->SetAsDateTime(moment);
  EXPECT_EQ(F("d")->AsDateTime().Value, EncodeDate(2026, 12, 10).Value);
  F("dt")->SetAsDateTime(moment);
  EXPECT_EQ(F("dt")->AsDateTime().Value, moment.Value);
  F("d")->SetAsString("2026-12-10");
  EXPECT_EQ(F("d")->DisplayText(), "2026-12-10");
  F("dt")->SetAsDateTime(EncodeDate(2026, 12, 10) + EncodeTime(7, 5, 0, 0));
  EXPECT_EQ(F("dt")->AsString(), "2026-12-10 07:05:00");
  static_cast<TDateTimeField*>(F("dt"))->SetDisplayFormat("hh:nn");
  EXPECT_EQ(F("dt")->DisplayText(), "07:05");
  EXPECT_EQ(F("dt")->Text(), "2026-12-10 07:05:00");
  EXPECT_EQ(VarType(F("dt")->AsVariant()), varDate);

  F("i")->SetAsString(" 42 ");
  EXPECT_EQ(F("i")->AsInteger(), 42);
  EXPECT_EQ(F("i")->AsString(), "42");
  EXPECT_DOUBLE_EQ(F("i")->AsFloat(), 42.0);
  EXPECT_THROW(F("i")->SetAsString("4x"), EConvertError);
  EXPECT_EQ(F("i")->AsInteger(), 42);
  F("i")->SetAsString("");
  EXPECT_TRUE(F("i")->IsNull());
  EXPECT_EQ(F("i")->AsInteger(), 0);
  EXPECT_THROW(F("s")->SetAsInteger(40000), EDatabaseError);  // outside a small integer
  static_cast<TIntegerField*>(F("i"))->SetDisplayFormat("#,##0");
  F("i")->SetAsInteger(1234567);
  EXPECT_EQ(F("i")->DisplayText(), "1,234,567");
  EXPECT_EQ(F("i")->Text(), "1,234,567");
  static_cast<TIntegerField*>(F("i"))->SetEditFormat("0");
  EXPECT_EQ(F("i")->Text(), "1234567");

  F("f")->SetAsFloat(2.5);
  EXPECT_EQ(F("f")->AsString(), "2.5");
  static_cast<TFloatField*>(F("f"))->SetDisplayFormat("0.00");
  EXPECT_EQ(F("f")->DisplayText(), "2.50");
  EXPECT_EQ(F("f")->AsInteger(), 2);  // halves to even, as the platform rounds
  F("c")->SetAsFloat(1234.5);
  EXPECT_EQ(F("c")->Text(), "1234.50");
  EXPECT_NE(F("c")->DisplayText().find("1,234.50"), std::string::npos);

  F("b")->SetAsBoolean(true);
  EXPECT_EQ(F("b")->DisplayText(), "True");
  static_cast<TBooleanField*>(F("b"))->SetDisplayValues("是;否");
  EXPECT_EQ(F("b")->DisplayText(), "是");
  F("b")->SetAsString("否");
  EXPECT_FALSE(F("b")->AsBoolean());
  EXPECT_FALSE(F("b")->IsNull());
  EXPECT_THROW(F("b")->SetAsString("maybe"), EConvertError);
  EXPECT_THROW(F("b")->AsDateTime(), EDatabaseError);

  F("m")->SetAsString("long text");
  EXPECT_EQ(F("m")->DisplayText(), "(MEMO)");
  EXPECT_EQ(F("m")->AsString(), "long text");
  F("w")->SetAsInteger(7);
  EXPECT_EQ(F("w")->AsString(), "7");
  EXPECT_EQ(F("w")->AsInteger(), 7);

  // Text events.
  F("w")->OnGetText = [](TField* Sender, std::string& Text, bool Display) {
    if (Display) Text = "<" + Sender->AsString() + ">";
  };
  F("w")->OnSetText = [](TField* Sender, const std::string& Text) { Sender->SetAsString(Text + "!"); };
  F("w")->SetText("hi");
  EXPECT_EQ(F("w")->AsString(), "hi!");
  EXPECT_EQ(F("w")->DisplayText(), "<hi!>");
  EXPECT_EQ(F("w")->Text(), "hi!");
  // Nulls read as empty text for every kind.
  for (const char* n : {"t", "d", "f", "c", "m"}) {
    F(n)->Clear();
    EXPECT_EQ(F(n)->DisplayText(), "") << n;
    EXPECT_TRUE(VarIsNull(F(n)->Value())) << n;
  }
}

TEST_F(FieldsTest, ChangeAndValidateEventsAndTheOldValue) {
  std::vector<std::string> log;
  F("w")->OnValidate = [&](TField* S) { log.push_back("validate " + S->AsString()); };
  F("w")->OnChange = [&](TField* S) { log.push_back("change " + S->AsString()); };
  F("w")->SetAsString("a");
  EXPECT_EQ(log, (std::vector<std::string>{"validate a", "change a"}));
}

// A control bound to a field: edits start on the first keystroke, the control's text goes
// back into the field when the record is posted.
class FakeEdit {
 public:
  explicit FakeEdit(TDataSource* Source, const std::string& Field) {
    Link.SetDataSource(Source);
    Link.SetFieldName(Field);
    Link.OnDataChange = [this](TObject*) { Text = Link.Field() ? Link.Field()->Text() : ""; };
    Link.OnUpdateData = [this](TObject*) { Link.Field()->SetText(Text); };
    Link.OnEditingChange = [this](TObject*) { ++EditingChanges; };
    Link.OnFocusRequest = [this] { return ++Focused > 0; };
    Text = Link.Field() ? Link.Field()->Text() : "";
  }
  // A key typed into the control.
  bool Type(const std::string& S) {
    if (!Link.Edit()) return false;
    Text += S;
    Link.Modified();
    return true;
  }
  TFieldDataLink Link;
  std::string Text;
  int EditingChanges = 0;
  int Focused = 0;
};

TEST(FieldDataLink, EditsThroughAControl) {
  TMemoryDataSet ds(nullptr);
  datatest::FillRows(ds, 3);
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  FakeEdit edit(&src, "name");
  EXPECT_EQ(edit.Text, "row1");
  EXPECT_TRUE(edit.Link.Active());
  EXPECT_EQ(edit.Link.Field(), ds.FieldByName("name"));

  ds.Next();
  EXPECT_EQ(edit.Text, "row2");
  EXPECT_TRUE(edit.Type("x"));
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_TRUE(edit.Link.Editing());
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "row2");  // not yet written back
  ds.Post();
  EXPECT_EQ(ds.FieldByName("name")->AsString(), "row2x");
  EXPECT_FALSE(edit.Link.Editing());

  // Moving away posts the control's pending text too.
  EXPECT_TRUE(edit.Type("y"));
  ds.Next();
  ds.Prior();
  EXPECT_EQ(edit.Text, "row2xy");

  // Reset drops the control's change.
  EXPECT_TRUE(edit.Type("z"));
  edit.Link.Reset();
  EXPECT_EQ(edit.Text, "row2xy");
  EXPECT_FALSE(edit.Link.IsModified());
  ds.Cancel();

  // Read-only situations refuse to start editing.
  src.SetAutoEdit(false);
  EXPECT_FALSE(edit.Type("n"));
  src.SetAutoEdit(true);
  edit.Link.SetReadOnly(true);
  EXPECT_FALSE(edit.Link.CanModify());
  EXPECT_FALSE(edit.Type("n"));
  edit.Link.SetReadOnly(false);
  ds.FieldByName("name")->SetReadOnly(true);
  EXPECT_FALSE(edit.Type("n"));
  EXPECT_EQ(ds.State(), dsBrowse);
  ds.FieldByName("name")->SetReadOnly(false);

  // The dataset asks the field's control for the focus.
  ds.FieldByName("name")->FocusControl();
  EXPECT_EQ(edit.Focused, 1);
  ds.FieldByName("id")->FocusControl();
  EXPECT_EQ(edit.Focused, 1);

  // Closing unbinds the field; reopening binds the new default field.
  ds.Close();
  EXPECT_EQ(edit.Link.Field(), nullptr);
  EXPECT_FALSE(edit.Link.Active());
  ds.Open();
  EXPECT_EQ(edit.Link.Field(), ds.FieldByName("name"));
  EXPECT_THROW(edit.Link.SetFieldName("nope"), EDatabaseError);
  EXPECT_EQ(edit.Link.Field(), nullptr);
}

}  // namespace
