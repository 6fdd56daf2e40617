// The framed edits, spin controls, button edit, combo box and data-aware controls read from a
// window definition, and their plain behaviour.
#include <gtest/gtest.h>

#include <memory>

#include "controls/input/FcBtnEdt.h"
#include "controls/input/FcCmboBx.h"
#include "controls/input/FcDBBnEd.h"
#include "controls/input/FcDBChk.h"
#include "controls/input/FcDBCmbo.h"
#include "controls/input/FcDBEdit.h"
#include "controls/input/FcDBLbl.h"
#include "controls/input/FcEdit.h"
#include "controls/input/FcSpnEdt.h"
#include "platform/classes/Filer.h"
#include "platform/data/MemoryDataSet.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

class TInputForm : public TForm {
 public:
  using TForm::TForm;
  TFcSpinEdit* FcSpinEdit1 = nullptr;
  TFcSpinner* FcSpinner1 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit1 = nullptr;
  TFcButtonEdit* FcButtonEdit1 = nullptr;
  TFcRapidFireButton* FcRapidFireButton1 = nullptr;
  TFcEdit* FcEdit1 = nullptr;
  TFcComboBox* FcComboBox1 = nullptr;
  int Changes = 0;
  int ButtonClicks = 0;
  void FcSpinEdit1Change(TObject*) { ++Changes; }
  void FcButtonEdit1ButtonClick(TObject*) { ++ButtonClicks; }
};

const classes::TPublished<TInputForm, TForm> InputFormInfo([](auto& p) {
  p.Field("FcSpinEdit1", &TInputForm::FcSpinEdit1);
  p.Field("FcSpinner1", &TInputForm::FcSpinner1);
  p.Field("FcDateTimeEdit1", &TInputForm::FcDateTimeEdit1);
  p.Field("FcButtonEdit1", &TInputForm::FcButtonEdit1);
  p.Field("FcRapidFireButton1", &TInputForm::FcRapidFireButton1);
  p.Field("FcEdit1", &TInputForm::FcEdit1);
  p.Field("FcComboBox1", &TInputForm::FcComboBox1);
  p.Method("FcSpinEdit1Change", &TInputForm::FcSpinEdit1Change);
  p.Method("FcButtonEdit1ButtonClick", &TInputForm::FcButtonEdit1ButtonClick);
});

const char* const kDefinition = R"(object InputForm: TInputForm
  BorderStyle = bsNone
  ClientHeight = 200
  ClientWidth = 260
  object FcSpinEdit1: TFcSpinEdit
    Left = 8
    Top = 8
    Width = 60
    Height = 21
    Value = 3
    OnChange = FcSpinEdit1Change
  end
  object FcSpinner1: TFcSpinner
    Left = 80
    Top = 8
    Width = 80
    Height = 21
    Max = 100
    Value = 1
    Hint = #21069#22863#38899#37327
  end
  object FcDateTimeEdit1: TFcDateTimeEdit
    Left = 8
    Top = 36
    Width = 80
    Height = 21
    EditType = etTime
    Format = 'hh:nn:ss'
    Time = 0.958333333333333300
    CaptionAM = #19978#21320
    CaptionPM = #19979#21320
    CaptionSet = #20445#23384
  end
  object FcButtonEdit1: TFcButtonEdit
    Left = 8
    Top = 64
    Width = 200
    Height = 21
    AllowKeyEdit = False
    ButtonHint = #28857#20987#36873#25321#21069#22863#38899#20048
    OnButtonClick = FcButtonEdit1ButtonClick
  end
  object FcRapidFireButton1: TFcRapidFireButton
    Left = 212
    Top = 64
    Width = 23
    Height = 22
    Flat = True
    NumGlyphs = 2
  end
  object FcEdit1: TFcEdit
    Left = 8
    Top = 92
    Width = 120
    Height = 21
    Text = 'ab'
  end
  object FcComboBox1: TFcComboBox
    Left = 8
    Top = 120
    Width = 120
    Height = 21
    Style = csDropDownList
    Items.Strings = (
      '0'
      '1'
      '2')
    Text = '1'
  end
end
)";

class InputControlsTest : public test::HeadlessTest {
 protected:
  InputControlsTest() : Form(std::make_unique<TInputForm>(nullptr)) {
    ReadComponentText(Form.get(), kDefinition);
    Form->Show();
    App.ProcessMessages();
  }
  TPoint At(TControl* Control, TPoint P) { return Form->ScreenToClient(Control->ClientToScreen(P)); }
  // Focuses a control as the user does: a click inside it, away from its buttons.
  void Focus(TWinControl* Control) {
    Input.Click(Form->Handle(), At(Control, {Control->Width() / 2 - 8, Control->Height() / 2}));
    App.RunFor(100);
  }
  void Key(UINT K) {
    Input.Key(K);
    App.RunFor(50);
  }
  std::unique_ptr<TInputForm> Form;
  test::TInputDriver Input;
};

TEST_F(InputControlsTest, TheDefinitionLoadsWithItsSettings) {
  EXPECT_EQ(Form->FcSpinEdit1->Value(), 3);
  EXPECT_EQ(Form->FcSpinEdit1->Text(), "3");
  EXPECT_EQ(Form->FcSpinner1->Value(), 1);
  EXPECT_EQ(Form->FcDateTimeEdit1->Text(), "23:00:00");
  EXPECT_EQ(Form->FcDateTimeEdit1->CaptionAM(), "上午");
  EXPECT_EQ(Form->FcButtonEdit1->ButtonHint(), "点击选择前奏音乐");
  EXPECT_TRUE(Form->FcRapidFireButton1->Flat());
  EXPECT_EQ(Form->FcComboBox1->ItemIndex(), 1);
  EXPECT_EQ(Form->Changes, 0);  // loading fires no change
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "framed-input-controls", 24, 150));
}

TEST_F(InputControlsTest, ASpinEditStepsInsideItsRangeAndRefusesTyping) {
  TFcSpinEdit* spin = Form->FcSpinEdit1;
  spin->SetMax(10);
  Focus(spin);
  Key(VK_UP);
  EXPECT_EQ(spin->Text(), "4");
  EXPECT_EQ(Form->Changes, 1);
  Key(VK_PRIOR);  // a page of 10 stops at the maximum
  EXPECT_EQ(spin->Value(), 10);
  Key(VK_UP);
  EXPECT_EQ(spin->Value(), 10);
  // The lower spin button.
  Input.Click(Form->Handle(), At(spin, {spin->Width() - 4, spin->Height() - 4}));
  App.RunFor(100);
  EXPECT_EQ(spin->Value(), 9);
  Input.Type("5");  // key editing is off
  App.RunFor(50);
  EXPECT_EQ(spin->Text(), "9");
  spin->SetValue(-3);  // Min is 0
  EXPECT_EQ(spin->Value(), 0);
}

TEST_F(InputControlsTest, ASpinnerStepsWithItsButtonsAndKeys) {
  TFcSpinner* spinner = Form->FcSpinner1;
  int changes = 0;
  spinner->OnChange = [&changes](TObject*) { ++changes; };
  Input.Click(Form->Handle(), At(spinner, {spinner->Width() - 3, 10}));
  App.RunFor(100);
  EXPECT_EQ(spinner->Value(), 2);
  Key(VK_DOWN);
  Key(VK_DOWN);
  Key(VK_DOWN);  // stops at Min
  EXPECT_EQ(spinner->Value(), 0);
  EXPECT_EQ(changes, 3);
  Key(VK_END);
  EXPECT_EQ(spinner->Value(), 100);
}

TEST_F(InputControlsTest, ATimeEditHoldsATimeOfDay) {
  TFcDateTimeEdit* edit = Form->FcDateTimeEdit1;
  std::vector<double> seen;
  edit->OnDateTimeChange = [&seen](TObject*, TDateTime Value) { seen.push_back(Value); };
  edit->SetTime(EncodeTime(7, 50, 0, 0));
  EXPECT_EQ(edit->Text(), "07:50:00");
  Focus(edit);
  Key(VK_UP);
  EXPECT_EQ(edit->Text(), "07:50:01");
  EXPECT_EQ(seen.size(), 2u);
  // A key handler that swallows every character leaves the time alone.
  edit->OnKeyPress = [](TObject*, char32_t& Key) { Key = 0; };
  Input.Type("1");
  App.RunFor(50);
  EXPECT_EQ(edit->Text(), "07:50:01");
}

TEST_F(InputControlsTest, AButtonEditClicksItsButtonAndTypedTextReachesAnEdit) {
  TFcButtonEdit* edit = Form->FcButtonEdit1;
  Input.Click(Form->Handle(), At(edit, {edit->Width() - 5, 10}));
  App.RunFor(100);
  EXPECT_EQ(Form->ButtonClicks, 1);
  Input.Type("x");  // typing is off
  App.RunFor(50);
  EXPECT_EQ(edit->Text(), "");
  edit->SetText("/music/a.mp3");  // the program sets the text
  EXPECT_EQ(edit->Text(), "/music/a.mp3");

  Focus(Form->FcEdit1);
  Input.Type("c 中");
  Key(VK_BACK);
  App.RunFor(50);
  EXPECT_EQ(Form->FcEdit1->Text(), "abc ");
}

TEST_F(InputControlsTest, AComboBoxChoosesItsItemsWithTheKeys) {
  TFcComboBox* combo = Form->FcComboBox1;
  int changes = 0;
  combo->OnChange = [&changes](TObject*) { ++changes; };
  Focus(combo);
  Key(VK_DOWN);
  Key(VK_DOWN);  // the last item stays
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "2");
  EXPECT_EQ(changes, 1);
}

// ---- data-aware controls on an in-memory dataset ----

class DataControlsTest : public test::HeadlessTest {
 protected:
  // Space pressed and released on a control, as its window receives them.
  static void PressSpace(TWinControl& Control) {
    Control.Perform(WM_KEYDOWN, VK_SPACE, 0);
    Control.Perform(WM_KEYUP, VK_SPACE, 0);
  }
  DataControlsTest() {
    Table.FieldDefs()->Add("use", ftBoolean);
    Table.FieldDefs()->Add("filename", ftWideString, 100);
    Table.FieldDefs()->Add("num", ftInteger);
    Table.FieldDefs()->Add("ptime", ftDateTime);
    Table.CreateDataSet();
    Table.Append();
    Table.FieldByName("use")->SetAsBoolean(true);
    Table.FieldByName("filename")->SetAsString("open");
    Table.FieldByName("num")->SetAsInteger(2);
    Table.FieldByName("ptime")->SetAsDateTime(EncodeTime(8, 0, 0, 0));
    Table.Post();
    Source.SetDataSet(&Table);
    for (TControl* c : std::initializer_list<TControl*>{&Check, &Label, &Combo, &Time, &Button}) c->SetParent(&Form);
    Check.SetDataSource(&Source);
    Check.SetDataField("use");
    Label.SetDataSource(&Source);
    Label.SetDataField("filename");
    Combo.Items()->SetCommaText("0,1,2,3,4,5");
    Combo.SetStyle(csDropDownList);
    Combo.SetDataSource(&Source);
    Combo.SetDataField("num");
    Time.SetEditType(etTime);
    Time.SetFormat("hh:nn:ss");
    Time.SetDataSource(&Source);
    Time.SetDataField("ptime");
    Button.SetDataSource(&Source);
    Button.SetDataField("filename");
  }
  TForm Form{nullptr};
  TMemoryDataSet Table{nullptr};
  TDataSource Source{nullptr};
  TFcDBCheckBox Check{&Form};
  TFcDBLabel Label{&Form};
  TFcDBComboBox Combo{&Form};
  TFcDBDateTimeEdit Time{&Form};
  TFcDBButtonEdit Button{&Form};
};

TEST_F(DataControlsTest, TheControlsShowTheirFields) {
  EXPECT_TRUE(Check.Checked());
  EXPECT_EQ(Label.Field(), Table.FieldByName("filename"));
  EXPECT_EQ(Combo.ItemIndex(), 2);
  EXPECT_EQ(Time.Text(), "08:00:00");
  EXPECT_EQ(Button.Text(), "open");
  Table.Edit();
  Table.FieldByName("use")->SetAsBoolean(false);
  Table.FieldByName("num")->SetAsInteger(5);
  EXPECT_FALSE(Check.Checked());
  EXPECT_EQ(Combo.ItemIndex(), 5);
}

TEST_F(DataControlsTest, AUsersChangeEditsTheRowAndWritesTheField) {
  int clicks = 0;
  Check.OnClick = [&clicks](TObject*) { ++clicks; };
  PressSpace(Check);  // the user's change
  EXPECT_EQ(Table.State(), dsEdit);
  EXPECT_FALSE(Table.FieldByName("use")->AsBoolean());
  EXPECT_FALSE(Check.Checked());
  EXPECT_EQ(clicks, 1);
  Combo.SelectItem(0);
  EXPECT_EQ(Table.FieldByName("num")->AsInteger(), 0);
  Time.SetTime(EncodeTime(9, 30, 0, 0));
  EXPECT_EQ(FormatDateTime("hh:nn:ss", Table.FieldByName("ptime")->AsDateTime()), "09:30:00");
  Table.Post();
  EXPECT_EQ(Table.FieldByName("num")->AsInteger(), 0);
}

TEST_F(DataControlsTest, AReadOnlyLinkRefusesTheChange) {
  Source.SetAutoEdit(false);
  PressSpace(Check);
  EXPECT_TRUE(Table.FieldByName("use")->AsBoolean());
  EXPECT_TRUE(Check.Checked());
}

}  // namespace
