#include "platform/controls/ButtonCtrls.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/Presenter.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class ButtonTest : public ControlTest {
 protected:
  ButtonTest() {
    Form->SetColor(clBtnFace);
    ok = Make<TButton>(Form, "Ok", Bounds(10, 10, 75, 25));
    ok->SetCaption("&Save");
    cancel = Make<TButton>(Form, "Cancel", Bounds(100, 10, 75, 25));
    cancel->SetCaption("Cancel");
    ok->OnClick = [this](TObject*) { Clicks.push_back("ok"); };
    cancel->OnClick = [this](TObject*) { Clicks.push_back("cancel"); };
  }
  TWinControl* Focused() { return FindControl(GetFocus()); }
  COLORREF PixelOf(TWinControl* C, int X, int Y) const { return Pixel(C->Left() + X, C->Top() + Y); }

  TButton* ok;
  TButton* cancel;
  std::vector<std::string> Clicks;
};

TEST_F(ButtonTest, AClickNeedsPressAndReleaseInsideAndShowsThePushedLookMeanwhile) {
  ShowForm();
  Input.MoveTo(ok->Handle());
  Input.Press();
  Pump();
  EXPECT_TRUE(ok->Pushed());
  EXPECT_EQ(Focused(), ok) << "a press focuses the button";
  EXPECT_EQ(PixelOf(ok, 1, 1), ColorToRGB(clBtnShadow)) << "the pushed face is framed in shadow";
  Input.MoveTo(ok->Handle(), {-20, 5});
  Pump();
  EXPECT_FALSE(ok->Pushed()) << "the pointer left the button while held";
  Input.Release();
  Pump();
  EXPECT_TRUE(Clicks.empty()) << "released outside: no click";
  Input.MoveTo(ok->Handle(), {-20, 5});
  Input.Press();
  Input.MoveTo(ok->Handle());
  Input.Release();
  Pump();
  EXPECT_TRUE(Clicks.empty()) << "a press that began elsewhere is not the button's";
  Input.Click(ok->Handle());
  Pump();
  EXPECT_EQ(Clicks, (std::vector<std::string>{"ok"}));
  EXPECT_FALSE(ok->Pushed());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(ButtonTest, SpaceEnterEscapeAndTheAcceleratorClick) {
  ok->SetDefault(true);
  cancel->SetCancel(true);
  auto* other = Make<TTestButton>(Form, "Other", Bounds(10, 50, 40, 20));
  ShowForm();
  other->SetFocus();
  Pump();
  ASSERT_EQ(Focused(), other);
  EXPECT_TRUE(ok->Active());

  Input.Key(VK_RETURN);
  Pump();
  Input.Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Clicks, (std::vector<std::string>{"ok", "cancel"})) << "Enter: the default button; Esc: the cancel one";

  Clicks.clear();
  cancel->SetFocus();
  Pump();
  EXPECT_FALSE(ok->Active()) << "a focused button takes Enter from the default one";
  EXPECT_TRUE(cancel->Active());
  Input.Key(VK_RETURN);
  Input.KeyDown(VK_SPACE);
  Pump();
  EXPECT_TRUE(cancel->Pushed()) << "Space held shows the button pushed";
  Input.KeyUp(VK_SPACE);
  Pump();
  EXPECT_EQ(Clicks, (std::vector<std::string>{"cancel", "cancel"}));

  Clicks.clear();
  Input.KeyDown(VK_MENU);
  Input.Key('S');
  Input.KeyUp(VK_MENU);
  Pump();
  Input.Key('S');  // a button takes no characters: the letter alone is the accelerator
  Pump();
  EXPECT_EQ(Clicks, (std::vector<std::string>{"ok", "ok"}));

  Clicks.clear();
  ok->SetEnabled(false);
  other->SetFocus();
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_TRUE(Clicks.empty()) << "a disabled default button does not click";
}

TEST_F(ButtonTest, DefaultAndCancelButtonsEndAModalFormWithTheirModalResult) {
  TForm* dialog = new TForm(Application);
  dialog->SetBounds(50, 50, 200, 100);
  auto* yes = new TButton(dialog);
  yes->SetParent(dialog);
  yes->SetBounds(10, 10, 75, 25);
  yes->SetDefault(true);
  yes->SetModalResult(mrYes);
  auto* no = new TButton(dialog);
  no->SetParent(dialog);
  no->SetBounds(100, 10, 75, 25);
  no->SetCancel(true);
  no->SetModalResult(mrNo);
  struct TCase {
    std::function<void()> Act;
    int Expected;
  };
  const std::vector<TCase> cases = {
      {[&] { Input.Key(VK_RETURN); }, mrYes},
      {[&] { Input.Key(VK_ESCAPE); }, mrNo},
      {[&] { Input.Click(no->Handle()); }, mrNo},
      {[&] { Input.Click(yes->Handle()); }, mrYes},
  };
  for (const TCase& c : cases) {
    TTimer timer(nullptr);
    timer.SetInterval(50);
    timer.OnTimer = [&](TObject*) {
      timer.SetEnabled(false);
      c.Act();
    };
    EXPECT_EQ(dialog->ShowModal(), c.Expected);
  }
  delete dialog;
}

TEST_F(ButtonTest, TheDefaultButtonHasADarkFrameAndADisabledCaptionIsGrey) {
  ok->SetDefault(true);
  cancel->SetEnabled(false);
  ShowForm();
  EXPECT_EQ(PixelOf(ok, 0, 0), ColorToRGB(clWindowFrame));
  EXPECT_EQ(PixelOf(cancel, 0, 0), ColorToRGB(clBtnHighlight)) << "a plain button's raised edge";
  EXPECT_EQ(PixelOf(cancel, 74, 24), ColorToRGB(cl3DDkShadow));
  bool grey = false, black = false;
  for (int y = 5; y < 20; ++y)
    for (int x = 5; x < 70; ++x) {
      grey |= PixelOf(cancel, x, y) == ColorToRGB(clBtnShadow);
      black |= PixelOf(cancel, x, y) == ColorToRGB(clBtnText);
    }
  EXPECT_TRUE(grey);
  EXPECT_FALSE(black);
}

class CheckBoxTest : public ButtonTest {};

TEST_F(CheckBoxTest, ClicksAndSpaceToggleThroughTheStates) {
  auto* box = Make<TCheckBox>(Form, "Box", Bounds(10, 50, 120, 17));
  box->SetCaption("&Loop");
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  ShowForm();
  Input.Click(box->Handle());
  Pump();
  EXPECT_EQ(box->State(), cbChecked);
  EXPECT_TRUE(box->Checked());
  Input.Key(VK_SPACE);
  Pump();
  EXPECT_EQ(box->State(), cbUnchecked);
  box->SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 3; ++i) {
    Input.Click(box->Handle());
    Pump();
    seen.push_back(box->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(clicks, 5);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 6) << "setting the state from code clicks too";
  box->SetChecked(true);
  EXPECT_EQ(clicks, 6) << "an unchanged state does not";
  EXPECT_EQ(SendMessage(box->Handle(), BM_GETCHECK, 0, 0), static_cast<LRESULT>(BST_CHECKED));
  ok->SetFocus();
  Input.KeyDown(VK_MENU);
  Input.Key('L');
  Input.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(Focused(), box) << "the accelerator focuses the check box";
  EXPECT_FALSE(box->Checked()) << "and toggles it";
}

TEST_F(CheckBoxTest, CheckingARadioButtonUnchecksItsSiblingsOnly) {
  auto* group = Make<TGroupBox>(Form, "Group", Bounds(10, 45, 150, 80));
  auto* a = Make<TRadioButton>(group, "A", Bounds(8, 20, 100, 17));
  auto* b = Make<TRadioButton>(group, "B", Bounds(8, 40, 100, 17));
  auto* outside = Make<TRadioButton>(Form, "Outside", Bounds(170, 50, 100, 17));
  outside->SetChecked(true);
  a->SetChecked(true);
  ShowForm();
  Input.Click(b->Handle());
  Pump();
  EXPECT_TRUE(b->Checked());
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(outside->Checked()) << "another parent is another group";
  EXPECT_TRUE(b->TabStop());
  EXPECT_FALSE(a->TabStop()) << "only the checked radio button of a group is a tab stop";
  Input.Key(VK_UP);
  Pump();
  EXPECT_EQ(Focused(), a);
  EXPECT_TRUE(a->Checked()) << "an arrow key moves the check with the focus";
  EXPECT_FALSE(b->Checked());
}

TEST_F(CheckBoxTest, AGroupBoxLaysItsChildrenOutInsideItsFrame) {
  auto* group = Make<TGroupBox>(Form, "Group", Bounds(10, 45, 150, 80));
  group->SetCaption("Options");
  auto* inner = Make<TTestPanel>(group, "Inner", Bounds(0, 0, 10, 10));
  inner->SetAlign(alClient);
  ShowForm();
  EXPECT_GT(inner->Top(), 10) << "below the caption";
  EXPECT_GE(inner->Left(), 2);
  EXPECT_LE(inner->Left() + inner->Width(), 148);
  EXPECT_LE(inner->Top() + inner->Height(), 78);
}

TEST_F(CheckBoxTest, Snapshot) {
  ok->SetDefault(true);
  cancel->SetEnabled(false);
  auto* group = Make<TGroupBox>(Form, "Group", Bounds(10, 45, 280, 145));
  group->SetCaption("&Options");
  auto* box = Make<TCheckBox>(group, "Box", Bounds(10, 20, 120, 17));
  box->SetCaption("Loop the &music");
  box->SetChecked(true);
  auto* grey = Make<TCheckBox>(group, "Grey", Bounds(10, 42, 120, 17));
  grey->SetAllowGrayed(true);
  grey->SetState(cbGrayed);
  grey->SetCaption("Grayed");
  auto* off = Make<TCheckBox>(group, "Off", Bounds(10, 64, 120, 17));
  off->SetCaption("Disabled");
  off->SetEnabled(false);
  auto* left = Make<TCheckBox>(group, "Left", Bounds(140, 20, 120, 17));
  left->SetCaption("Text left");
  left->SetAlignment(taLeftJustify);
  auto* r1 = Make<TRadioButton>(group, "R1", Bounds(140, 42, 120, 17));
  r1->SetCaption("自动运行");
  r1->SetChecked(true);
  auto* r2 = Make<TRadioButton>(group, "R2", Bounds(140, 64, 120, 17));
  r2->SetCaption("Manual");
  auto* wrap = Make<TButton>(group, "Wrap", Bounds(10, 90, 120, 40));
  wrap->SetWordWrap(true);
  wrap->SetCaption("A caption that wraps");
  ShowForm();
  box->SetFocus();
  Pump();
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-buttons", 24, 200));
}

}  // namespace
