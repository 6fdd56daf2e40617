#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

// A button that reacts to its accelerator ("&Save": Alt+S) and, as the default button, to Enter.
class TAccelButton : public TTestButton {
 public:
  using TTestButton::TTestButton;
  bool Default = false;
  bool WantsReturn = false;
  int Pressed = 0;

 protected:
  void Dispatch(TMessage& M) override {
    switch (M.Msg) {
      case CM_DIALOGCHAR:
        if (IsAccel(static_cast<UINT>(M.WParam), Caption()) && CanFocus()) {
          ++Pressed;
          M.Result = 1;
        }
        return;
      case CM_DIALOGKEY:
        if (Default && M.WParam == VK_RETURN) {
          ++Pressed;
          M.Result = 1;
        }
        return;
      case CM_WANTSPECIALKEY:
        M.Result = WantsReturn && M.WParam == VK_RETURN;
        return;
    }
    TTestButton::Dispatch(M);
  }
};

class FocusTest : public ControlTest {
 protected:
  FocusTest() {
    panel = Make<TTestPanel>(Form, "Panel", Bounds(10, 60, 200, 100));
    a = Make<TTestButton>(Form, "A", Bounds(10, 10, 40, 20));
    b = Make<TTestButton>(Form, "B", Bounds(60, 10, 40, 20));
    inner1 = Make<TTestButton>(panel, "Inner1", Bounds(10, 10, 40, 20));
    inner2 = Make<TTestButton>(panel, "Inner2", Bounds(60, 10, 40, 20));
    // Tab order: A, Panel (Inner1, Inner2), B.
    panel->SetTabOrder(1);
    for (TTestButton* c : {a, b, inner1, inner2}) {
      c->OnEnter = [this, c](TObject*) { Events.push_back(c->Name() + " enter"); };
      c->OnExit = [this, c](TObject*) { Events.push_back(c->Name() + " exit"); };
    }
    panel->OnEnter = [this](TObject*) { Events.push_back("Panel enter"); };
    panel->OnExit = [this](TObject*) { Events.push_back("Panel exit"); };
  }
  TWinControl* Focused() { return FindControl(GetFocus()); }
  void Tab(bool Back = false) {
    if (Back) Input.KeyDown(VK_SHIFT);
    Input.Key(VK_TAB);
    if (Back) Input.KeyUp(VK_SHIFT);
    Pump();
  }

  TTestPanel* panel;
  TTestButton *a, *b, *inner1, *inner2;
  std::vector<std::string> Events;
};

TEST_F(FocusTest, TabAndShiftTabWalkTheTabOrderThroughNestedControls) {
  ShowForm();
  EXPECT_EQ(Focused(), a) << "the form focuses its first control when activated";
  std::vector<std::string> order;
  for (int i = 0; i < 4; ++i) {
    Tab();
    order.push_back(Focused()->Name());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"Inner1", "Inner2", "B", "A"}));
  order.clear();
  for (int i = 0; i < 2; ++i) {
    Tab(true);
    order.push_back(Focused()->Name());
  }
  EXPECT_EQ(order, (std::vector<std::string>{"B", "Inner2"}));
  EXPECT_EQ(Form->ActiveControl(), inner2);
  EXPECT_EQ(Screen->ActiveControl(), inner2);
}

TEST_F(FocusTest, HiddenDisabledAndNonTabStopControlsAreSkipped) {
  ShowForm();
  inner1->SetVisible(false);
  inner2->SetTabStop(false);
  panel->SetEnabled(true);
  b->SetEnabled(false);
  EXPECT_FALSE(inner1->CanFocus());
  EXPECT_FALSE(b->CanFocus());
  EXPECT_TRUE(inner2->CanFocus()) << "TabStop only matters to Tab";
  Tab();
  EXPECT_EQ(Focused(), a) << "nothing else to go to";
  panel->SetEnabled(false);
  EXPECT_FALSE(inner2->CanFocus()) << "a disabled parent disables its children's focus";
  try {
    inner2->SetFocus();
    FAIL() << "expected EInvalidOperation";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Cannot focus a disabled or invisible window");
  }
  EXPECT_EQ(Focused(), a);
}

TEST_F(FocusTest, FocusMovesExitThenEnterAlongTheParentChain) {
  ShowForm();
  Events.clear();
  inner2->SetFocus();
  a->SetFocus();
  EXPECT_EQ(Events, (std::vector<std::string>{"A exit", "Panel enter", "Inner2 enter", "Inner2 exit", "Panel exit",
                                              "A enter"}));
  // Hiding the focused control leaves the form without an active control.
  inner1->SetFocus();
  panel->SetVisible(false);
  EXPECT_EQ(Form->ActiveControl(), nullptr);
}

TEST_F(FocusTest, ArrowKeysMoveAmongTheSiblingsOfTheFocusedControl) {
  ShowForm();
  inner1->SetFocus();
  Input.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(Focused(), inner2);
  Input.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(Focused(), inner1) << "arrows stay within the parent";
  // A control that wants arrows keeps them.
  inner1->DlgCode = DLGC_WANTARROWS;
  WORD got = 0;
  inner1->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { got = key; };
  Input.Key(VK_RIGHT);
  Pump();
  EXPECT_EQ(Focused(), inner1);
  EXPECT_EQ(got, VK_RIGHT);
}

TEST_F(FocusTest, DialogCharsAndKeysReachTheControlsThatTakeThem) {
  auto* save = Make<TAccelButton>(Form, "Save", Bounds(120, 10, 60, 20));
  save->SetCaption("&Save");
  auto* ok = Make<TAccelButton>(Form, "Ok", Bounds(190, 10, 60, 20));
  ok->SetCaption("OK");
  ok->Default = true;
  ShowForm();
  Input.KeyDown(VK_MENU);
  Input.Key('S');
  Input.KeyUp(VK_MENU);
  Pump();
  EXPECT_EQ(save->Pressed, 1) << "Alt+S";
  Input.Key('S');
  Pump();
  EXPECT_EQ(save->Pressed, 2) << "a plain letter goes to the form as a dialog character too";
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(ok->Pressed, 1) << "Enter is a dialog key for the default button";
  // The focused control that wants Enter gets it as a key instead.
  save->WantsReturn = true;
  save->SetFocus();
  WORD got = 0;
  save->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { got = key; };
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(ok->Pressed, 1);
  EXPECT_EQ(got, VK_RETURN);
}

TEST_F(FocusTest, AParentSeesItsChildrensKeysFirstThroughChildKey) {
  ShowForm();
  inner1->SetFocus();
  std::vector<WPARAM> childKeys;
  panel->WindowProc = [this, &childKeys, old = panel->WindowProc](TMessage& M) {
    if (M.Msg == CM_CHILDKEY) {
      childKeys.push_back(M.WParam);
      M.Result = M.WParam == VK_F2;  // the panel takes F2
      return;
    }
    old(M);
  };
  std::vector<WORD> got;
  inner1->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { got.push_back(key); };
  Input.Key(VK_F2);
  Input.Key(VK_F3);
  Pump();
  EXPECT_EQ(childKeys, (std::vector<WPARAM>{VK_F2, VK_F3}));
  EXPECT_EQ(got, std::vector<WORD>{VK_F3});
}

TEST_F(FocusTest, FocusChangesAreBroadcastAndTheClickedControlCancelsModes) {
  ShowForm();
  std::vector<std::string> seen;
  auto spy = [&](TControl* c) {
    c->WindowProc = [c, &seen, old = c->WindowProc](TMessage& M) {
      if (M.Msg == CM_FOCUSCHANGED)
        seen.push_back(c->Name() + " focus " + reinterpret_cast<TControl*>(M.LParam)->Name());
      if (M.Msg == CM_CANCELMODE) seen.push_back(c->Name() + " cancel " + reinterpret_cast<TControl*>(M.LParam)->Name());
      old(M);
    };
  };
  spy(a);
  spy(inner1);
  b->SetFocus();
  // To every control, in the order of the children (the panel came first).
  EXPECT_EQ(seen, (std::vector<std::string>{"Inner1 focus B", "A focus B"}));
  a->SetFocus();
  seen.clear();
  Input.Click(inner1->Handle());
  Pump();
  EXPECT_EQ(seen.front(), "A cancel Inner1") << "the active control is told of the click elsewhere";
}

}  // namespace
