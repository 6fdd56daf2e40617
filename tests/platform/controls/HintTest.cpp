#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

// A shape whose CM_HINTSHOW rewrites the hint, or refuses it.
class THintedShape : public TTestShape {
 public:
  using TTestShape::TTestShape;
  bool Refuse = false;
  std::string Replace;
  THintWindowClass Kind = nullptr;

 protected:
  void CMHintShow(TMessage& M) override {
    auto* info = reinterpret_cast<THintInfo*>(M.LParam);
    if (!Replace.empty()) {
      info->HintStr = Replace + " at " + std::to_string(info->CursorPos.X) + "," + std::to_string(info->CursorPos.Y);
      info->HintPos = {info->HintPos.X + 100, info->HintPos.Y};
    }
    info->HintWindowClass = Kind;
    M.Result = Refuse ? 1 : 0;
  }
};

// A hint window of its own kind, as a control may ask for one.
class TOwnHintWindow : public THintWindow {
 public:
  using THintWindow::THintWindow;
  static THintWindow* Make(TComponent* Owner) { return new TOwnHintWindow(Owner); }
};

class HintTest : public ControlTest {
 protected:
  HintTest() {
    shape = Make<THintedShape>(Form, "Shape", Bounds(10, 10, 60, 40));
    shape->SetHint("Short text|Long text for the status bar");
    shape->SetShowHint(true);
    plain = Make<TTestShape>(Form, "Plain", Bounds(100, 10, 40, 40));
    Application->OnHint = [this](TObject*) { Hints.push_back(Application->Hint()); };
  }
  bool HintShown() {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }
  void MoveTo(TPoint Client) {
    Input.MoveTo(Form->Handle(), Client);
    Pump();
  }

  THintedShape* shape;
  TTestShape* plain;
  std::vector<std::string> Hints;
};

TEST_F(HintTest, AHintShowsAfterThePauseAndHidesAfterTheHidePause) {
  ShowForm();
  MoveTo(Point(20, 20));
  App.RunFor(Application->HintPause() - 100);
  EXPECT_FALSE(HintShown());
  App.RunFor(150);
  ASSERT_TRUE(HintShown());
  THintWindow* w = Application->HintWindow();
  EXPECT_EQ(w->Caption(), "Short text");
  TRect r;
  GetWindowRect(w->Handle(), &r);
  EXPECT_EQ(r.TopLeft(), Point(120, 120 + 20)) << "below the pointer";
  EXPECT_EQ(Hints, std::vector<std::string>{"Long text for the status bar"}) << "OnHint carries the long part";
  App.RunFor(Application->HintHidePause() - 100);
  EXPECT_TRUE(HintShown());
  App.RunFor(200);
  EXPECT_FALSE(HintShown());
  // Resting on the same control does not bring it back.
  MoveTo(Point(22, 22));
  App.RunFor(2 * Application->HintPause());
  EXPECT_FALSE(HintShown());
}

TEST_F(HintTest, MovingAwayOrPressingAKeyHidesTheHint) {
  ShowForm();
  MoveTo(Point(20, 20));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  MoveTo(Point(110, 20));
  EXPECT_FALSE(HintShown()) << "the plain shape shows no hint";
  EXPECT_EQ(Hints.back(), "") << "nor a status text";
  MoveTo(Point(20, 20));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  Input.Key('X');
  Pump();
  EXPECT_FALSE(HintShown());
}

TEST_F(HintTest, TheControlMayRewriteOrRefuseItsHint) {
  shape->Replace = "Rewritten";
  ShowForm();
  MoveTo(Point(20, 30));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application->HintWindow()->Caption(), "Rewritten at 10,20");
  TRect r;
  GetWindowRect(Application->HintWindow()->Handle(), &r);
  EXPECT_EQ(r.Left, 220);
  Application->CancelHint();
  shape->Refuse = true;
  MoveTo(Point(100, 100));
  MoveTo(Point(20, 30));
  App.RunFor(Application->HintPause() + 50);
  EXPECT_FALSE(HintShown());
}

TEST_F(HintTest, ChildrenFollowTheirParentsShowHintAndTheApplicationCanTurnHintsOff) {
  plain->SetHint("From the parent's setting");
  Form->SetShowHint(true);
  EXPECT_TRUE(plain->ShowHint());
  EXPECT_TRUE(plain->ParentShowHint());
  ShowForm();
  MoveTo(Point(110, 20));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(Application->HintWindow()->Caption(), "From the parent's setting");
  Application->SetShowHint(false);
  EXPECT_FALSE(HintShown());
  MoveTo(Point(20, 20));
  App.RunFor(Application->HintPause() + 50);
  EXPECT_FALSE(HintShown());
}

TEST_F(HintTest, TheHintWindowHasTheClassicLook) {
  THintWindow hint(nullptr);
  TRect oneLine = hint.CalcHintRect(400, "A hint", nullptr);
  TRect wrapped = hint.CalcHintRect(60, "A much longer hint that wraps", nullptr);
  EXPECT_GT(oneLine.Width(), 6);
  EXPECT_LE(wrapped.Width(), 60 + 6);
  EXPECT_GT(wrapped.Height(), oneLine.Height()) << "wrapped at the maximum width";
  OffsetRect(&oneLine, 300, 300);
  hint.ActivateHint(oneLine, "A hint");
  Pump();
  ASSERT_TRUE(IsWindowVisible(hint.Handle()));
  EXPECT_NE(GetWindowLongPtr(hint.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_NE(GetActiveWindow(), hint.Handle()) << "a hint never takes the activation";
  auto surface = os::SurfaceOf(hint.Handle());
  auto at = [&](int x, int y) { return gdi::ColorOfPixel(surface->Get(x, y)); };
  EXPECT_EQ(at(0, 0), RGB(0, 0, 0));
  EXPECT_EQ(at(hint.Width() - 1, hint.Height() - 1), RGB(0, 0, 0));
  EXPECT_EQ(at(1, 1), ColorToRGB(clInfoBk));
  bool text = false;
  for (int x = 1; x < hint.Width() - 1 && !text; ++x)
    for (int y = 1; y < hint.Height() - 1 && !text; ++y) text = at(x, y) == ColorToRGB(clInfoText);
  EXPECT_TRUE(text);
  // It moves to stay on the screen.
  hint.ActivateHint(Bounds(1250, 1010, 100, 20), "Edge");
  TRect r;
  GetWindowRect(hint.Handle(), &r);
  EXPECT_EQ(r.BottomRight(), Point(1280, 1024));
  hint.ReleaseHandle();
  EXPECT_FALSE(hint.HandleAllocated());
}

// ---- the screen and the application ----

TEST_F(ControlTest, TheScreenKnowsItsSizeFormsMonitorsCursorsAndFonts) {
  EXPECT_EQ(Screen->Width(), 1280);
  EXPECT_EQ(Screen->Height(), 1024);
  EXPECT_EQ(Screen->WorkAreaRect(), Rect(0, 0, 1280, 994));
  EXPECT_EQ(Screen->FormCount(), 1);
  EXPECT_EQ(Screen->Forms(0), Form);
  TForm* other = MakeForm<TForm>(Application);
  EXPECT_EQ(Screen->FormCount(), 2);
  ShowForm();
  EXPECT_EQ(Screen->ActiveForm(), Form);
  other->Show();
  Pump();
  EXPECT_EQ(Screen->ActiveForm(), other);
  EXPECT_EQ(Screen->Forms(0), other) << "the most recently active first";
  delete other;
  EXPECT_EQ(Screen->FormCount(), 1);
  EXPECT_NE(Screen->ActiveForm(), other);
  TMonitor* monitor = Screen->MonitorFromWindow(Form->Handle());
  ASSERT_NE(monitor, nullptr);
  EXPECT_TRUE(monitor->Primary());
  EXPECT_EQ(monitor->WorkareaRect(), Rect(0, 0, 1280, 994));
  EXPECT_EQ(Screen->MonitorCount(), 1);
  EXPECT_EQ(Screen->Cursors(crDefault), LoadCursor(nullptr, IDC_ARROW));
  EXPECT_EQ(Screen->Cursors(crHandPoint), LoadCursor(nullptr, IDC_HAND));
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT));
  Screen->SetCursor(crDefault);
  TStrings* fonts = Screen->Fonts();
  ASSERT_GT(fonts->Count(), 0);
}

TEST_F(ControlTest, AControlsCursorShowsOverIt) {
  auto* shape = Make<TTestShape>(Form, "Shape", Bounds(10, 10, 40, 40));
  shape->SetCursor(crHandPoint);
  Form->SetCursor(crCross);
  ShowForm();
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_HAND));
  Input.MoveTo(Form->Handle(), Point(100, 100));
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_CROSS));
  Screen->SetCursor(crHourGlass);
  Input.MoveTo(Form->Handle(), Point(20, 20));
  Pump();
  EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_WAIT)) << "the screen's cursor wins";
  Screen->SetCursor(crDefault);
}

TEST_F(ControlTest, MinimizingTheMainFormMinimizesTheApplication) {
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  Pump();
  std::vector<std::string> events;
  Application->OnMinimize = [&](TObject*) { events.push_back("minimize"); };
  Application->OnRestore = [&](TObject*) { events.push_back("restore"); };
  SendMessage(main->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(Application->Minimized());
  EXPECT_TRUE(IsIconic(main->Handle()));
  SendMessage(main->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  EXPECT_FALSE(IsIconic(main->Handle()));
  EXPECT_EQ(events, (std::vector<std::string>{"minimize", "restore"}));
}

TEST_F(ControlTest, HooksSeeTheApplicationWindowsMessagesFirst) {
  std::vector<UINT> seen;
  int id = Application->HookMainWindow([&](TMessage& M) {
    seen.push_back(M.Msg);
    return M.Msg == WM_USER + 1;
  });
  SendMessage(Application->Handle(), WM_USER, 0, 0);
  SendMessage(Application->Handle(), WM_USER + 1, 0, 0);
  Application->UnhookMainWindow(id);
  SendMessage(Application->Handle(), WM_USER + 2, 0, 0);
  EXPECT_EQ(seen, (std::vector<UINT>{WM_USER, WM_USER + 1}));
}

}  // namespace

TEST_F(HintTest, AHintMayAskForItsOwnKindOfWindowAndTheNextOneGetsThePlainKindBack) {
  shape->Kind = &TOwnHintWindow::Make;
  ShowForm();
  MoveTo(Point(20, 20));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  EXPECT_NE(dynamic_cast<TOwnHintWindow*>(Application->HintWindow()), nullptr);
  MoveTo(Point(110, 20));
  plain->SetHint("Plain");
  plain->SetShowHint(true);
  MoveTo(Point(120, 20));
  App.RunFor(Application->HintPause() + 50);
  ASSERT_TRUE(HintShown());
  EXPECT_EQ(dynamic_cast<TOwnHintWindow*>(Application->HintWindow()), nullptr);
  EXPECT_EQ(Application->HintWindow()->Caption(), "Plain");
}
