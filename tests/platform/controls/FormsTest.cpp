#include <algorithm>
#include <mutex>

#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace ctltest {
const classes::TResourceTable& TestResources();

// A form whose definition (resources/forms/TCoreTestForm.txt) holds a panel with a shape and
// two buttons, and binds handlers.
class TCoreTestForm : public TForm {
 public:
  using TForm::TForm;
  TTestPanel* Panel1 = nullptr;
  TTestShape* Shape1 = nullptr;
  TTestPushButton* Button1 = nullptr;
  TTestPushButton* Button2 = nullptr;
  std::vector<std::string> Calls;
  TCloseAction CloseAction = caHide;

  void FormCreate(TObject*) { Calls.push_back(Button1 && Panel1 ? "create, fields set" : "create, fields missing"); }
  void FormClose(TObject*, TCloseAction& Action) {
    Calls.push_back("close");
    Action = CloseAction;
  }
  void Button1Click(TObject* Sender) { Calls.push_back(Sender == Button1 ? "Button1Click" : "click from elsewhere"); }
};

// A registered form class that has no definition.
class TNoDefinitionForm : public TForm {
 public:
  using TForm::TForm;
};

}  // namespace ctltest

static const classes::TPublished<ctltest::TCoreTestForm, TForm> CoreTestFormInfo(
    [](classes::TPublisher<ctltest::TCoreTestForm>& p) {
      using ctltest::TCoreTestForm;
      p.Field("Panel1", &TCoreTestForm::Panel1);
      p.Field("Shape1", &TCoreTestForm::Shape1);
      p.Field("Button1", &TCoreTestForm::Button1);
      p.Field("Button2", &TCoreTestForm::Button2);
      p.Method("FormCreate", &TCoreTestForm::FormCreate);
      p.Method("FormClose", &TCoreTestForm::FormClose);
      p.Method("Button1Click", &TCoreTestForm::Button1Click);
    });
static const classes::TPublished<ctltest::TNoDefinitionForm, TForm> NoDefinitionFormInfo;

namespace {

using namespace ctltest;

const bool ResourcesRegistered = (classes::RegisterResources(TestResources()), true);

class FormTest : public ::testing::Test {
 protected:
  ~FormTest() override { os::ResetInput(); }
  void Pump() { App.ProcessMessages(); }

  test::THeadlessApp App;
  test::TInputDriver Input;
};

// ---- definitions and CreateForm ----

TEST_F(FormTest, CreateFormReadsTheDefinitionIntoLiveControlsThenRunsOnCreate) {
  ASSERT_TRUE(ResourcesRegistered);
  TCoreTestForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_NE(form, nullptr);
  EXPECT_EQ(Application->MainForm(), form);
  EXPECT_EQ(form->Calls, std::vector<std::string>{"create, fields set"});
  ASSERT_NE(form->Shape1, nullptr);
  EXPECT_EQ(form->Shape1->Parent(), form->Panel1);
  EXPECT_EQ(form->Panel1->Parent(), form);
  EXPECT_EQ(form->Button1->Parent(), form);
  EXPECT_EQ(form->Caption(), "Core test");
  EXPECT_EQ(form->Button2->Caption(), "Cancel");
  EXPECT_EQ(form->ClientWidth(), 240);
  EXPECT_EQ(form->ClientHeight(), 120);
  EXPECT_EQ(form->BorderStyle(), bsDialog);
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_FALSE(form->Visible());
  EXPECT_EQ(form->Panel1->BoundsRect(), Rect(0, 0, 240, 41)) << "aligned to the top of the client area";
  EXPECT_EQ(form->Shape1->Color(), clNavy);
  EXPECT_TRUE(form->Shape1->ShowHint());
  EXPECT_EQ(form->Button1->Font()->Name(), "MS Sans Serif") << "the children follow the form's font";
  EXPECT_TRUE(form->Button1->ParentFont());
  EXPECT_EQ(form->Button1->TabOrder(), 0);
  EXPECT_EQ(form->Button2->TabOrder(), 1);
  EXPECT_EQ(form->Panel1->TabOrder(), 2);
  ASSERT_TRUE(static_cast<bool>(form->Button1->OnClick));
  form->Button1->Click();
  EXPECT_EQ(form->Calls.back(), "Button1Click");
  // Anchors keep Button2 at the bottom-right corner as the form grows.
  form->SetClientWidth(340);
  form->SetClientHeight(220);
  EXPECT_EQ(form->Button2->BoundsRect(), Bounds(257, 188, 75, 25));
  EXPECT_EQ(form->Panel1->Width(), 340);
}

TEST_F(FormTest, TheDefinitionsControlsWorkOnceShown) {
  TCoreTestForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  Pump();
  EXPECT_TRUE(IsWindowVisible(form->Button1->Handle()));
  EXPECT_EQ(form->ActiveControl(), form->Button1) << "the first control in tab order takes the focus";
  EXPECT_TRUE(form->Button1->Focused());
  EXPECT_EQ(Screen->ActiveForm(), form);
  EXPECT_EQ(Screen->ActiveControl(), form->Button1);
  Input.Click(form->Button1->Handle());
  Pump();
  EXPECT_EQ(form->Calls.back(), "Button1Click");
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(form->Handle()), "controls-core-form", 24, 150));
  // Written back, the definition names the handler and the nested controls.
  std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("OnClick = Button1Click"), std::string::npos) << text;
  EXPECT_NE(text.find("object Shape1: TTestShape"), std::string::npos) << text;
  EXPECT_EQ(text.find("ClientWidth"), std::string::npos) << "the client size is not written";
}

TEST_F(FormTest, ARegisteredFormClassWithoutDefinitionCannotBeMade) {
  try {
    MakeForm<TNoDefinitionForm>(Application);
    FAIL() << "expected EResNotFound";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource TNoDefinitionForm not found");
  }
  EXPECT_EQ(Screen->FormCount(), 0) << "the half-made form is freed";
  // A plain TForm needs none; the first TForm made by CreateForm is the main form.
  TForm* plain = nullptr;
  Application->CreateForm(plain);
  EXPECT_EQ(Application->MainForm(), plain);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), plain);
}

TEST_F(FormTest, RunShowsTheMainForm) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  Application->Terminate();
  Application->Run();
  EXPECT_TRUE(main->Visible());
  EXPECT_TRUE(IsWindowVisible(main->Handle()));
}

TEST_F(FormTest, WithoutShowMainFormTheMainFormStaysHiddenAtRun) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  Application->SetShowMainForm(false);
  Application->Terminate();
  Application->Run();
  EXPECT_FALSE(main->Visible());
  EXPECT_FALSE(IsWindowVisible(main->Handle()));
}

// ---- showing ----

TEST_F(FormTest, ShowAndHideRaiseOnShowAndOnHideAndActivateTheForm) {
  TForm* form = MakeForm<TForm>(Application);
  std::vector<std::string> calls;
  form->OnShow = [&](TObject*) { calls.push_back(std::string("show ") + (IsWindowVisible(form->Handle()) ? "visible" : "hidden")); };
  form->OnHide = [&](TObject*) { calls.push_back("hide"); };
  form->OnActivate = [&](TObject*) { calls.push_back("activate"); };
  form->OnDeactivate = [&](TObject*) { calls.push_back("deactivate"); };
  form->Show();
  Pump();
  EXPECT_TRUE(form->Active());
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  TForm* other = MakeForm<TForm>(Application);
  other->Show();
  Pump();
  EXPECT_FALSE(form->Active());
  other->Hide();
  form->Hide();
  Pump();
  EXPECT_EQ(calls, (std::vector<std::string>{"show hidden", "activate", "deactivate", "activate", "hide"}));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
}

struct TPositionCase {
  TPosition Position;
  TRect Expected;
};

TEST_F(FormTest, PositionPlacesTheFormWhenItFirstShows) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(100, 100, 400, 300);
  TForm* owner = MakeForm<TForm>(Application);
  owner->SetBounds(600, 500, 200, 200);
  const TPositionCase cases[] = {
      {poDesigned, Bounds(10, 20, 100, 80)},
      {poScreenCenter, Bounds((1280 - 100) / 2, (1024 - 80) / 2, 100, 80)},
      {poMainFormCenter, Bounds(250, 210, 100, 80)},
      {poOwnerFormCenter, Bounds(650, 560, 100, 80)},
  };
  for (const auto& c : cases) {
    TForm* form = MakeForm<TForm>(owner);
    form->SetBounds(10, 20, 100, 80);
    form->SetPosition(c.Position);
    form->Show();
    EXPECT_EQ(form->BoundsRect(), c.Expected) << EnumInfo(TPosition{}).Names[c.Position];
    TRect r;
    GetWindowRect(form->Handle(), &r);
    EXPECT_EQ(r, c.Expected);
    EXPECT_EQ(form->Position(), poDesigned) << "placed once";
    delete form;
  }
}

TEST_F(FormTest, BorderStyleAndFormStyleShapeTheWindow) {
  TForm* form = MakeForm<TForm>(Application);
  form->SetBounds(0, 0, 200, 100);
  form->SetBorderStyle(bsNone);
  form->SetFormStyle(fsStayOnTop);
  form->Show();
  EXPECT_EQ(form->ClientRect(), Rect(0, 0, 200, 100)) << "no frame, no caption";
  EXPECT_TRUE(GetWindowLongPtr(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  form->SetBorderStyle(bsSingle);
  EXPECT_TRUE(GetWindowLongPtr(form->Handle(), GWL_STYLE) & WS_CAPTION);
  EXPECT_LT(form->ClientHeight(), 100);
  form->SetWindowState(wsMinimized);
  EXPECT_TRUE(IsIconic(form->Handle()));
  ShowWindow(form->Handle(), SW_RESTORE);
  EXPECT_EQ(form->WindowState(), wsNormal);
}

// ---- closing ----

TEST_F(FormTest, CloseDoesWhatOnCloseQueryAndOnCloseDecide) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  struct TCase {
    TCloseAction Action;
    bool CanClose;
    bool VisibleAfter;
    bool FreedAfter;
  };
  for (TCase c : {TCase{caNone, true, true, false}, TCase{caHide, true, false, false},
                  TCase{caHide, false, true, false}, TCase{caMinimize, true, true, false},
                  TCase{caFree, true, false, true}}) {
    TCoreTestForm* form = MakeForm<TCoreTestForm>(Application);
    form->CloseAction = c.Action;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = c.CanClose; };
    form->Show();
    Pump();
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->Close();
    const int forms = Screen->FormCount();
    Pump();
    EXPECT_EQ(destroyed, c.FreedAfter) << c.Action;
    EXPECT_EQ(Screen->FormCount(), c.FreedAfter ? forms - 1 : forms) << "freed only once the messages are handled";
    if (!c.FreedAfter) {
      EXPECT_EQ(form->Visible(), c.VisibleAfter) << c.Action;
      EXPECT_EQ(form->WindowState() == wsMinimized, c.Action == caMinimize && c.CanClose);
      EXPECT_EQ(form->Calls.size(), c.CanClose ? 2u : 1u) << "OnClose only when the query agreed";
      delete form;
    }
  }
  EXPECT_FALSE(Application->Terminated());
}

TEST_F(FormTest, ClosingTheMainFormEndsTheApplication) {
  TCoreTestForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  Pump();
  // The user closes the window: WM_SYSCOMMAND SC_CLOSE, WM_CLOSE, Close.
  os::TInputEvent close;
  close.Kind = os::TInputEvent::Close;
  close.Wnd = main->Handle();
  os::PostInput(close);
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(main->Calls.back(), "close");
}

// ---- modal forms ----

TEST_F(FormTest, ShowModalRunsANestedLoopUntilModalResultWithOtherWindowsDisabled) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  Pump();
  TCoreTestForm* dialog = MakeForm<TCoreTestForm>(Application);
  bool mainDisabledMeanwhile = false;
  dialog->Button1->OnClick = [&](TObject*) {
    mainDisabledMeanwhile = !IsWindowEnabled(main->Handle());
    dialog->SetModalResult(mrOk);
  };
  // The user clicks OK a moment after the dialog shows.
  TTimer timer(nullptr);
  timer.SetInterval(100);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    Input.Click(dialog->Button1->Handle());
  };
  const int result = dialog->ShowModal();
  EXPECT_EQ(result, mrOk);
  EXPECT_TRUE(mainDisabledMeanwhile);
  EXPECT_TRUE(IsWindowEnabled(main->Handle()));
  EXPECT_FALSE(dialog->Visible());
  EXPECT_EQ(dialog->Calls.back(), "close") << "closing a modal form asks OnClose too";
  EXPECT_EQ(GetActiveWindow(), main->Handle());
  EXPECT_THROW(main->ShowModal(), EInvalidOperation) << "a visible form cannot become modal";
}

TEST_F(FormTest, AModalFormClosesOnlyWhenCloseQueryAgreesAndCloseMeansCancel) {
  TCoreTestForm* dialog = MakeForm<TCoreTestForm>(Application);
  int asked = 0;
  dialog->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked >= 2; };
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) { dialog->Close(); };
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  // Terminating the application ends the loop with mrCancel too.
  timer.OnTimer = [&](TObject*) { Application->Terminate(); };
  dialog->OnCloseQuery = nullptr;
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
}

}  // namespace

namespace {

using namespace ctltest;

// The modal form is owned by the window that opened it while it is up, so it stays above that
// window when the user clicks there or the program raises it; afterwards it is free again.
TEST_F(FormTest, AModalFormStaysAboveTheWindowThatOpenedIt) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(100, 100, 300, 200);
  main->Show();
  Pump();
  TCoreTestForm* dialog = MakeForm<TCoreTestForm>(Application);
  dialog->SetBounds(150, 150, 120, 80);
  auto above = [&] {
    auto& m = os::Manager();
    std::lock_guard<std::mutex> lock(m.Lock);
    auto d = std::find(m.TopLevels.begin(), m.TopLevels.end(), dialog->Handle());
    auto w = std::find(m.TopLevels.begin(), m.TopLevels.end(), main->Handle());
    return d < w && w != m.TopLevels.end();
  };
  std::vector<std::string> seen;
  TTimer timer(nullptr);
  timer.SetInterval(50);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    seen.push_back(GetWindow(dialog->Handle(), GW_OWNER) == main->Handle() ? "owned by the opener" : "not owned");
    // A click on the main window, where the dialog does not cover it, and the program
    // raising the main window.
    Input.Click(TPoint(380, 280));
    Pump();
    seen.push_back(above() ? "above after a click" : "below after a click");
    BringWindowToTop(main->Handle());
    seen.push_back(above() ? "above after raising" : "below after raising");
    dialog->SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog->ShowModal(), mrOk);
  EXPECT_EQ(seen, (std::vector<std::string>{"owned by the opener", "above after a click", "above after raising"}));
  EXPECT_EQ(GetWindow(dialog->Handle(), GW_OWNER), nullptr) << "owned only while modal";
}

}  // namespace
