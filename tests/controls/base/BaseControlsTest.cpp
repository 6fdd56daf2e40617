// The framed panels, labels, buttons, check boxes, page control and clock pane read from a
// window definition, and their plain behaviour under synthetic input.
#include <gtest/gtest.h>

#include <memory>

#include "controls/base/FcButton.h"
#include "controls/base/FcLabel.h"
#include "controls/base/FcPanel.h"
#include "controls/base/FcRadChk.h"
#include "controls/base/FcStatus.h"
#include "controls/base/FcTabs.h"
#include "platform/classes/Filer.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

class TBaseForm : public TForm {
 public:
  using TForm::TForm;
  TFcPanel* FcPanel1 = nullptr;
  TFcLabel* FcLabel13 = nullptr;
  TFcGroupBox* FcGroupBox1 = nullptr;
  TFcCheckBox* FcCheckBox1 = nullptr;
  TFcCheckBox* FcCheckBox2 = nullptr;
  TFcBitBtn* FcBitBtn1 = nullptr;
  TFcPageControl* FcPageControl1 = nullptr;
  TFcTabSheet* TabSheet1 = nullptr;
  TFcTabSheet* TabSheet2 = nullptr;
  TFcClockStatus* FcClockStatus1 = nullptr;
  int Clicks = 0;
  int Shown2 = 0;
  void FcCheckBox1Click(TObject*) { ++Clicks; }
  void TabSheet2Show(TObject*) { ++Shown2; }
};

const classes::TPublished<TBaseForm, TForm> BaseFormInfo([](auto& p) {
  p.Field("FcPanel1", &TBaseForm::FcPanel1);
  p.Field("FcLabel13", &TBaseForm::FcLabel13);
  p.Field("FcGroupBox1", &TBaseForm::FcGroupBox1);
  p.Field("FcCheckBox1", &TBaseForm::FcCheckBox1);
  p.Field("FcCheckBox2", &TBaseForm::FcCheckBox2);
  p.Field("FcBitBtn1", &TBaseForm::FcBitBtn1);
  p.Field("FcPageControl1", &TBaseForm::FcPageControl1);
  p.Field("TabSheet1", &TBaseForm::TabSheet1);
  p.Field("TabSheet2", &TBaseForm::TabSheet2);
  p.Field("FcClockStatus1", &TBaseForm::FcClockStatus1);
  p.Method("FcCheckBox1Click", &TBaseForm::FcCheckBox1Click);
  p.Method("TabSheet2Show", &TBaseForm::TabSheet2Show);
});

const char* const kDefinition = R"(object BaseForm: TBaseForm
  Left = 0
  Top = 0
  BorderStyle = bsNone
  ClientHeight = 240
  ClientWidth = 300
  Color = 16248801
  object FcPanel1: TFcPanel
    Left = 0
    Top = 0
    Width = 300
    Height = 30
    Align = alTop
    BorderOuter = fsNone
    BorderInner = fsFlatRounded
    BorderColor = clRed
    BorderWidth = 1
    Transparent = True
    object FcLabel13: TFcLabel
      Left = 8
      Top = 6
      Caption = #36873#39033
      Font.Color = clBlue
      TextStyle = tsRecessed
      HighlightColor = clYellow
    end
  end
  object FcGroupBox1: TFcGroupBox
    Left = 8
    Top = 36
    Width = 140
    Height = 80
    Caption = #21442#25968
    object FcCheckBox1: TFcCheckBox
      Left = 8
      Top = 20
      Width = 100
      Height = 17
      Caption = 'Auto'
      Checked = True
      OnClick = FcCheckBox1Click
    end
    object FcCheckBox2: TFcCheckBox
      Left = 8
      Top = 44
      Width = 100
      Height = 17
      Caption = 'Locked'
      ReadOnly = True
    end
  end
  object FcBitBtn1: TFcBitBtn
    Left = 160
    Top = 44
    Width = 75
    Height = 25
    Caption = 'OK'
    ModalResult = 1
    HotTrack = True
    ThemeAware = False
  end
  object FcPageControl1: TFcPageControl
    Left = 8
    Top = 124
    Width = 284
    Height = 90
    ActivePage = TabSheet1
    TabOrientation = toBottom
    object TabSheet1: TFcTabSheet
      PageControl = FcPageControl1
      Caption = 'One'
    end
    object TabSheet2: TFcTabSheet
      PageControl = FcPageControl1
      Caption = 'Two'
      OnShow = TabSheet2Show
    end
  end
  object FcClockStatus1: TFcClockStatus
    Left = 8
    Top = 218
    Width = 200
    Height = 19
    Format = 'hh:nn:ss'
    Color = clBlack
    Font.Color = clAqua
  end
end
)";

class BaseControlsTest : public test::HeadlessTest {
 protected:
  BaseControlsTest() : Form(std::make_unique<TBaseForm>(nullptr)) {
    ReadComponentText(Form.get(), kDefinition);
    Form->Show();
    App.ProcessMessages();
  }
  // Clicks a windowless or windowed control at its centre.
  void ClickOn(TControl* Control, TPoint At = {-1, -1}) {
    if (At.X < 0) At = {Control->Width() / 2, Control->Height() / 2};
    Input.Click(Form->Handle(), Form->ScreenToClient(Control->ClientToScreen(At)));
    App.RunFor(200);
  }
  std::unique_ptr<TBaseForm> Form;
  test::TInputDriver Input;
};

TEST_F(BaseControlsTest, TheDefinitionLoadsWithItsSettings) {
  EXPECT_EQ(Form->FcPanel1->BorderInner(), fsFlatRounded);
  EXPECT_EQ(Form->FcPanel1->BorderColor(), clRed);
  EXPECT_TRUE(Form->FcPanel1->Transparent());
  EXPECT_EQ(Form->FcLabel13->Caption(), "选项");
  EXPECT_EQ(Form->FcLabel13->TextStyle(), tsRecessed);
  EXPECT_EQ(Form->FcLabel13->Parent(), Form->FcPanel1);
  EXPECT_GT(Form->FcLabel13->Width(), 0);  // auto-sized to its caption
  EXPECT_EQ(Form->FcGroupBox1->Caption(), "参数");
  EXPECT_EQ(Form->FcBitBtn1->ModalResult(), mrOk);
  EXPECT_EQ(Form->FcPageControl1->PageCount(), 2);
  EXPECT_EQ(Form->FcPageControl1->ActivePage(), Form->TabSheet1);
  // Reading Checked from the definition is no click.
  EXPECT_TRUE(Form->FcCheckBox1->Checked());
  EXPECT_EQ(Form->Clicks, 0);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "framed-base-controls", 24, 200));
}

TEST_F(BaseControlsTest, ACheckBoxTogglesOnAClickUnlessReadOnly) {
  ClickOn(Form->FcCheckBox1);
  EXPECT_FALSE(Form->FcCheckBox1->Checked());
  EXPECT_EQ(Form->Clicks, 1);
  Input.Key(VK_SPACE);  // the box has the focus now
  App.RunFor(100);
  EXPECT_TRUE(Form->FcCheckBox1->Checked());
  EXPECT_EQ(Form->Clicks, 2);
  Form->FcCheckBox1->SetChecked(false);  // the program's change clicks too
  EXPECT_EQ(Form->Clicks, 3);
  Form->FcCheckBox1->SetChecked(false);
  EXPECT_EQ(Form->Clicks, 3);

  ClickOn(Form->FcCheckBox2);
  EXPECT_FALSE(Form->FcCheckBox2->Checked());
}

TEST_F(BaseControlsTest, AButtonClickSetsTheFormsModalResult) {
  int clicks = 0;
  Form->FcBitBtn1->OnClick = [&clicks](TObject*) { ++clicks; };
  ClickOn(Form->FcBitBtn1);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Form->ModalResult(), mrOk);
  // Released outside the button: no click.
  Input.MoveTo(Form->Handle(), Form->ScreenToClient(Form->FcBitBtn1->ClientToScreen({5, 5})));
  Input.Press();
  Input.MoveTo(Form->Handle(), {5, 5});
  Input.Release();
  App.RunFor(100);
  EXPECT_EQ(clicks, 1);
}

TEST_F(BaseControlsTest, ThePageControlShowsOnePageAtATime) {
  TFcPageControl* pages = Form->FcPageControl1;
  EXPECT_TRUE(Form->TabSheet1->Visible());
  EXPECT_FALSE(Form->TabSheet2->Visible());
  ClickOn(pages, TPoint{pages->TabRect(1).Left + 4, pages->TabRect(1).Top + 4});
  EXPECT_EQ(pages->ActivePage(), Form->TabSheet2);
  EXPECT_FALSE(Form->TabSheet1->Visible());
  EXPECT_TRUE(Form->TabSheet2->Visible());
  EXPECT_EQ(Form->Shown2, 1);
  // A veto keeps the page.
  pages->OnChanging = [](TObject*, int, bool& Allow) { Allow = false; };
  ClickOn(pages, TPoint{pages->TabRect(0).Left + 4, pages->TabRect(0).Top + 4});
  EXPECT_EQ(pages->ActivePage(), Form->TabSheet2);
  // A hidden tab leaves its page out of the strip.
  pages->OnChanging = nullptr;
  Form->TabSheet1->SetTabVisible(false);
  EXPECT_EQ(pages->TabCount(), 1);
  EXPECT_EQ(Form->TabSheet2->TabIndex(), 0);
}

TEST_F(BaseControlsTest, TheClockPaneShowsTheTimeInItsFormat) {
  EXPECT_EQ(Form->FcClockStatus1->Text(), "08:00:00");
  App.RunFor(61 * test::kSecond);
  EXPECT_EQ(Form->FcClockStatus1->Text(), "08:01:01");
}

}  // namespace
