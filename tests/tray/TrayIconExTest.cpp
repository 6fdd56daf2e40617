#include "tray/TrayIconEx.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/classes/Resources.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/gdi/Surface.h"
#include "platform/controls/Forms.h"
#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/MenuTracking.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"
#include "tests/support/SystemServices.h"

namespace tray_test {
const classes::TResourceTable& TestResources();

// Whether the next form's OnStartup keeps the main window in the tray.
bool StartHidden = false;

// A main window with its tray icon and tray menu, read from resources/forms/TTrayTestForm.txt.
class TTrayTestForm : public TForm {
 public:
  using TForm::TForm;
  TTrayIconEx* TrayIconEx1 = nullptr;
  TPopupMenu* PopupMenu3 = nullptr;
  TMenuItem* N9 = nullptr;
  std::vector<std::string> Log;

  void TrayIconEx1DblClick(TObject*) {
    Log.push_back("dblclick");
    TrayIconEx1->ShowMainForm();
  }
  void TrayIconEx1Startup(TObject*, bool& ShowMainForm) { ShowMainForm = !StartHidden; }
  void N9Click(TObject*) { Log.push_back("N9"); }
};

}  // namespace tray_test

static const classes::TPublished<tray_test::TTrayTestForm, TForm> TrayTestFormInfo(
    [](classes::TPublisher<tray_test::TTrayTestForm>& p) {
      using tray_test::TTrayTestForm;
      p.Field("TrayIconEx1", &TTrayTestForm::TrayIconEx1);
      p.Field("PopupMenu3", &TTrayTestForm::PopupMenu3);
      p.Field("N9", &TTrayTestForm::N9);
      p.Method("TrayIconEx1DblClick", &TTrayTestForm::TrayIconEx1DblClick);
      p.Method("TrayIconEx1Startup", &TTrayTestForm::TrayIconEx1Startup);
      p.Method("N9Click", &TTrayTestForm::N9Click);
    });

namespace {

using namespace tray_test;

const bool ResourcesRegistered = (classes::RegisterResources(TestResources()), true);

class TrayIconExTest : public ::testing::Test {
 protected:
  ~TrayIconExTest() override {
    os::ResetInput();
    StartHidden = false;
  }

  // What the shell sends when the user acts on Icon.
  static bool Send(TTrayIconEx* Icon, UINT Event) {
    return shell::SendTrayCallback(TrayIconHandler()->WindowHandle(), reinterpret_cast<UINT_PTR>(Icon), Event);
  }
  // The icon as the notification area holds it (none when it is not there).
  static std::optional<shell::TrayIcon> Shown(TTrayIconEx* Icon) {
    return shell::FindTrayIcon(TrayIconHandler()->WindowHandle(), reinterpret_cast<UINT_PTR>(Icon));
  }

  TTrayTestForm* MakeMainForm() {
    EXPECT_TRUE(ResourcesRegistered);
    TTrayTestForm* form = nullptr;
    Application->CreateForm(form);
    return form;
  }

  // Torn down last: the icons are gone before the recorder is.
  test::TSystemServices Services;
  test::THeadlessApp App;
  test::TInputDriver Input;
};

// ---- the icon and its tooltip ----

TEST_F(TrayIconExTest, TheIconComesAndGoesWithIconVisible) {
  auto icon = std::make_unique<TTrayIconEx>(nullptr);
  EXPECT_FALSE(icon->IconVisible());
  EXPECT_FALSE(Shown(icon.get()));
  icon->SetHint("Ostrovel");
  icon->SetIconVisible(true);
  ASSERT_TRUE(Shown(icon.get()));
  EXPECT_EQ(Shown(icon.get())->callbackMessage, TrayCallbackMessage);
  icon->SetIconVisible(false);
  EXPECT_FALSE(Shown(icon.get()));
  icon->SetIconVisible(true);
  icon.reset();
  EXPECT_TRUE(shell::TrayIcons().empty()) << "a freed icon leaves the notification area";
  EXPECT_EQ(Services.Tray.Events(),
            (std::vector<std::string>{"add Ostrovel", "delete Ostrovel", "add Ostrovel", "delete Ostrovel"}));
  EXPECT_EQ(TrayIconHandler(), nullptr) << "the shared window goes with the last icon";
}

// n copies of a character.
std::string Repeat(const std::string& Char, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += Char;
  return s;
}

TEST_F(TrayIconExTest, TheTooltipIsTheHintCutTo127Characters) {
  TTrayIconEx icon(nullptr);
  icon.SetIconVisible(true);
  struct TCase {
    const char* Name;
    std::string Hint;
    bool ShowHint;
    std::string Tip;
  };
  const TCase cases[] = {
      {"plain", "Ostrovel", true, "Ostrovel"},
      {"200 characters show their first 127", std::string(200, 'a'), true, std::string(127, 'a')},
      {"Chinese characters count as characters, not bytes", Repeat("音", 200), true, Repeat("音", 127)},
      {"mixed widths", "x" + Repeat("音", 100) + Repeat("🔊", 50), true,
       "x" + Repeat("音", 100) + Repeat("🔊", 26)},
      {"ShowHint off shows none", "Ostrovel", false, ""},
      {"an empty hint shows none", "", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    icon.SetShowHint(c.ShowHint);
    icon.SetHint(c.Hint);
    EXPECT_EQ(icon.Hint(), c.Hint);
    EXPECT_EQ(Shown(&icon)->tip, c.Tip);
  }
}

// ---- balloons ----

TEST_F(TrayIconExTest, BalloonsCarryTitleTextIconKindAndTimeOut) {
  TTrayIconEx icon(nullptr);
  icon.SetIconVisible(true);
  Services.Tray.Clear();
  EXPECT_TRUE(icon.ShowBalloonHint("Ostrovel", "数据加载中...", bitCustom, 10));
  ASSERT_TRUE(Shown(&icon)->balloon);
  EXPECT_EQ(*Shown(&icon)->balloon, (shell::TrayBalloon{"Ostrovel", "数据加载中...", 10000, NIIF_USER}));
  // The next one replaces it.
  EXPECT_TRUE(icon.ShowBalloonHint("Ostrovel", "正在后台运行...", bitInfo, 3));
  EXPECT_EQ(Shown(&icon)->balloon->text, "正在后台运行...");
  EXPECT_EQ(Services.Tray.Events(),
            (std::vector<std::string>{"modify ", "modify ", "balloon Ostrovel|数据加载中...|10000|4",
                                      // the balloon showing is cleared first
                                      "modify ", "hide balloon",
                                      "modify ", "balloon Ostrovel|正在后台运行...|3000|1"}));
  icon.ClearBalloonHint();
  EXPECT_FALSE(Shown(&icon)->balloon);
  // Without an icon in the area there is nothing to show it on.
  icon.SetIconVisible(false);
  EXPECT_FALSE(icon.ShowBalloonHint("a", "b", bitNone, 1));
}

TEST_F(TrayIconExTest, BalloonTextsAreCutAndOutOfRangeValuesAreKeptInRange) {
  TTrayIconEx icon(nullptr);
  icon.SetIconVisible(true);
  icon.ShowBalloonHint(std::string(80, 't'), std::string(300, 'x'), bitWarning, 300);
  shell::TrayBalloon b = *Shown(&icon)->balloon;
  EXPECT_EQ(b.title, std::string(63, 't'));
  EXPECT_EQ(b.text, std::string(255, 'x'));
  EXPECT_EQ(b.timeoutMs, 255000u);
  EXPECT_EQ(b.infoFlags, NIIF_WARNING);
  // Chinese texts keep as many characters as any other.
  icon.ShowBalloonHint(Repeat("题", 80), Repeat("音", 300), bitCustom, 10);
  b = *Shown(&icon)->balloon;
  EXPECT_EQ(b.title, Repeat("题", 63));
  EXPECT_EQ(b.text, Repeat("音", 255));
  icon.ShowBalloonHint("t", "x", 9, -5);
  b = *Shown(&icon)->balloon;
  EXPECT_EQ(b.timeoutMs, 0u);
  EXPECT_EQ(b.infoFlags, NIIF_NONE);
}

TEST_F(TrayIconExTest, BalloonNoticesRaiseTheirEventsEvenWhenDisabled) {
  TTrayIconEx icon(nullptr);
  icon.SetIconVisible(true);
  std::vector<std::string> log;
  icon.OnBalloonHintShow = [&](TObject* s) { log.push_back(s == &icon ? "show" : "?"); };
  icon.OnBalloonHintHide = [&](TObject*) { log.push_back("hide"); };
  icon.OnBalloonHintTimeout = [&](TObject*) { log.push_back("timeout"); };
  icon.OnBalloonHintClick = [&](TObject*) { log.push_back("click"); };
  icon.OnClick = [&](TObject*) { log.push_back("icon click"); };
  icon.SetEnabled(false);
  for (UINT e : {NIN_BALLOONSHOW, NIN_BALLOONHIDE, NIN_BALLOONTIMEOUT, NIN_BALLOONUSERCLICK, UINT(WM_LBUTTONDOWN),
                 UINT(WM_LBUTTONUP)})
    EXPECT_TRUE(Send(&icon, e));
  EXPECT_EQ(log, (std::vector<std::string>{"show", "hide", "timeout", "click"}));
}

// ---- clicks ----

class TrayClickTest : public TrayIconExTest {
 protected:
  TrayClickTest() {
    Icon.SetIconVisible(true);
    Icon.OnClick = [this](TObject*) { Log.push_back("click@" + std::to_string(App.ElapsedMs())); };
    Icon.OnMouseDown = [this](TObject*, TMouseButton b, TShiftState s, int, int) {
      Log.push_back("down" + std::to_string(b) + (s.Contains(ssLeft) || s.Contains(ssRight) ? "+" : ""));
    };
    Icon.OnMouseUp = [this](TObject*, TMouseButton b, TShiftState, int, int) {
      Log.push_back("up" + std::to_string(b));
    };
  }
  void WantDoubleClicks() {
    Icon.OnDblClick = [this](TObject*) { Log.push_back("dblclick@" + std::to_string(App.ElapsedMs())); };
  }
  // A click as the shell reports it; Ms later the button goes up.
  void LeftClick(int64_t Ms = 50) {
    Send(&Icon, WM_LBUTTONDOWN);
    App.RunFor(Ms);
    Send(&Icon, WM_LBUTTONUP);
  }
  // The shell's double-click: down, up, double-click, up.
  void LeftDoubleClick() {
    LeftClick();
    App.RunFor(50);
    Send(&Icon, WM_LBUTTONDBLCLK);
    App.RunFor(50);
    Send(&Icon, WM_LBUTTONUP);
  }

  TTrayIconEx Icon{nullptr};
  std::vector<std::string> Log;
};

TEST_F(TrayClickTest, WithoutADoubleClickHandlerTheClickComesAtTheRelease) {
  LeftClick(120);
  EXPECT_EQ(Log, (std::vector<std::string>{"down0+", "click@120", "up0"}));
}

TEST_F(TrayClickTest, WithADoubleClickHandlerTheClickWaitsOneDoubleClickTime) {
  WantDoubleClicks();
  const int64_t wait = GetDoubleClickTime();
  LeftClick();
  App.RunFor(wait * 2);
  EXPECT_EQ(Log, (std::vector<std::string>{"down0+", "up0", "click@" + std::to_string(wait)}));
}

TEST_F(TrayClickTest, ADoubleClickRaisesOnlyOnDblClick) {
  WantDoubleClicks();
  LeftDoubleClick();
  App.RunFor(2000);
  EXPECT_EQ(Log, (std::vector<std::string>{"down0+", "up0", "dblclick@100", "up0"}));
  // The next single click is a click again.
  Log.clear();
  LeftClick();
  App.RunFor(2000);
  ASSERT_EQ(Log.size(), 3u);
  EXPECT_EQ(Log[2].rfind("click@", 0), 0u);
}

TEST_F(TrayClickTest, OtherButtonsAndTheDisabledIcon) {
  Send(&Icon, WM_MBUTTONDOWN);
  Send(&Icon, WM_MBUTTONUP);
  Send(&Icon, WM_RBUTTONDOWN);
  Send(&Icon, WM_RBUTTONUP);
  Send(&Icon, 0x9999);  // an event the icon does not know
  EXPECT_EQ(Log, (std::vector<std::string>{"down2", "up2", "down1+", "up1"}));
  Log.clear();
  Icon.SetEnabled(false);
  LeftClick();
  Send(&Icon, WM_RBUTTONDOWN);
  App.RunFor(1000);
  EXPECT_TRUE(Log.empty());
}

TEST_F(TrayClickTest, MouseEventsCarryTheCursorAndTheModifierKeys) {
  SetCursorPos(700, 590);
  std::vector<std::string> seen;
  Icon.OnMouseMove = [&](TObject*, TShiftState s, int x, int y) {
    seen.push_back(std::to_string(x) + "," + std::to_string(y) + (s.Contains(ssShift) ? " shift" : "") +
                   (s.Contains(ssCtrl) ? " ctrl" : ""));
  };
  Send(&Icon, WM_MOUSEMOVE);
  Input.KeyDown(VK_SHIFT);
  App.ProcessMessages();
  Send(&Icon, WM_MOUSEMOVE);
  Input.KeyUp(VK_SHIFT);
  App.ProcessMessages();
  EXPECT_EQ(seen, (std::vector<std::string>{"700,590", "700,590 shift"}));
}

TEST_F(TrayClickTest, EnterAndExitFollowThePointer) {
  Icon.OnMouseEnter = [this](TObject*) { Log.push_back("enter"); };
  Icon.OnMouseExit = [this](TObject*) { Log.push_back("exit@" + std::to_string(App.ElapsedMs())); };
  SetCursorPos(700, 590);
  Send(&Icon, WM_MOUSEMOVE);
  EXPECT_TRUE(Log.empty()) << "only with WantEnterExitEvents";
  Icon.SetWantEnterExitEvents(true);
  Send(&Icon, WM_MOUSEMOVE);
  Send(&Icon, WM_MOUSEMOVE);
  App.RunFor(100);
  EXPECT_EQ(Log, std::vector<std::string>{"enter"}) << "the pointer stays on the icon";
  App.RunFor(5);
  SetCursorPos(400, 300);
  App.RunFor(100);
  EXPECT_EQ(Log, (std::vector<std::string>{"enter", "exit@120"}));
  Send(&Icon, WM_MOUSEMOVE);
  EXPECT_EQ(Log.back(), "enter");
}

// ---- the menu ----

TEST_F(TrayIconExTest, TheRightButtonOpensTheMenuOnPressAndTheUpStillComes) {
  TTrayTestForm* form = MakeMainForm();
  TTrayIconEx* icon = form->TrayIconEx1;
  std::vector<std::string>& log = form->Log;
  icon->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("up"); };
  form->PopupMenu3->OnPopup = [&](TObject*) {
    log.push_back(form->PopupMenu3->PopupComponent() == icon ? "popup for the icon" : "popup");
  };
  SetCursorPos(700, 590);
  // The user picks the only item once the menu is open.
  Input.Wait(100);
  Input.Key(VK_DOWN);
  Input.Key(VK_RETURN);
  Send(icon, WM_RBUTTONDOWN);
  EXPECT_TRUE(os::MenuWindows().empty());
  EXPECT_EQ(form->PopupMenu3->PopupPoint(), TPoint(700, 590));
  Send(icon, WM_RBUTTONUP);
  EXPECT_EQ(log, (std::vector<std::string>{"popup for the icon", "N9", "up"}));

  // Without automatic pop-up the menu stays shut; LeftPopup opens it with the left button.
  log.clear();
  form->PopupMenu3->SetAutoPopup(false);
  Send(icon, WM_RBUTTONDOWN);
  form->PopupMenu3->SetAutoPopup(true);
  icon->SetLeftPopup(true);
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  Send(icon, WM_LBUTTONDOWN);
  EXPECT_EQ(log, std::vector<std::string>{"popup for the icon"});
}

TEST_F(TrayIconExTest, ADoubleClickClicksTheDefaultItem) {
  TTrayTestForm* form = MakeMainForm();
  form->N9->SetDefault(true);
  form->TrayIconEx1->OnDblClick = nullptr;
  Send(form->TrayIconEx1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(form->Log, std::vector<std::string>{"N9"});
  form->TrayIconEx1->SetLeftPopup(true);
  Send(form->TrayIconEx1, WM_LBUTTONDBLCLK);
  EXPECT_EQ(form->Log.size(), 1u) << "not with LeftPopup";
}

TEST_F(TrayIconExTest, AFreedMenuOrListIsForgotten) {
  TTrayTestForm* form = MakeMainForm();
  auto* list = new TImageList(form);
  form->TrayIconEx1->SetIconList(list);
  delete form->PopupMenu3;
  delete list;
  EXPECT_EQ(form->TrayIconEx1->PopupMenu(), nullptr);
  EXPECT_EQ(form->TrayIconEx1->IconList(), nullptr);
  Send(form->TrayIconEx1, WM_RBUTTONDOWN);
  form->TrayIconEx1->PopupAtPoint(10, 10);
}

TEST_F(TrayIconExTest, TheOpenTrayMenuShowsItsItem) {
  TTrayTestForm* form = MakeMainForm();
  gdi::TSurface menu;
  TTimer look(nullptr);
  look.SetInterval(50);
  look.OnTimer = [&](TObject*) {
    look.SetEnabled(false);
    ASSERT_EQ(os::MenuWindows().size(), 1u);
    menu = App.Presenter().Snapshot(os::MenuWindows()[0]);
  };
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  SetCursorPos(700, 500);
  Send(form->TrayIconEx1, WM_RBUTTONDOWN);
  test::SavePng(menu, "tray-menu.png");
  ASSERT_GT(menu.Width(), 0);
  EXPECT_TRUE(form->Log.empty()) << "dismissed";
  // The menu colour fills it; the item's text is drawn on it in dark strokes.
  EXPECT_EQ(gdi::ColorOfPixel(menu.Get(menu.Width() / 2, 3)), static_cast<COLORREF>(GetSysColor(COLOR_MENU)));
  int dark = 0;
  for (int y = 3; y < menu.Height() - 3; ++y)
    for (int x = 3; x < menu.Width() - 3; ++x) {
      const COLORREF c = gdi::ColorOfPixel(menu.Get(x, y));
      if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 200) ++dark;
    }
  EXPECT_GT(dark, 20);
}

TEST_F(TrayIconExTest, AHandlerMayFreeTheIcon) {
  struct TCase {
    const char* Name;
    std::function<void(TTrayIconEx*, TNotifyEvent)> Arm;
    std::vector<UINT> Events;
  };
  const TCase cases[] = {
      {"on the double-click", [](TTrayIconEx* i, TNotifyEvent f) { i->OnDblClick = f; }, {WM_LBUTTONDBLCLK}},
      {"on the click", [](TTrayIconEx* i, TNotifyEvent f) { i->OnClick = f; }, {WM_LBUTTONDOWN, WM_LBUTTONUP}},
      {"on the press",
       [](TTrayIconEx* i, TNotifyEvent f) {
         i->OnMouseDown = [f](TObject* s, TMouseButton, TShiftState, int, int) { f(s); };
       },
       {WM_RBUTTONDOWN}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TTrayTestForm* form = MakeMainForm();
    TTrayIconEx* icon = form->TrayIconEx1;
    form->N9->SetDefault(true);
    c.Arm(icon, [](TObject* Sender) { delete static_cast<TTrayIconEx*>(Sender); });
    for (UINT e : c.Events) Send(icon, e);
    App.RunFor(1000);  // the click comes one double-click time after the press
    EXPECT_EQ(form->TrayIconEx1, nullptr);
    EXPECT_TRUE(form->Log.empty()) << "nothing more happens for a freed icon";
    form->BeforeDestruction();
    delete form;
  }
}

TEST_F(TrayIconExTest, AnExceptionInAHandlerGoesToTheApplication) {
  TTrayIconEx icon(nullptr);
  icon.SetIconVisible(true);
  icon.OnBalloonHintClick = [](TObject*) { throw Exception("bad handler"); };
  std::vector<std::string> caught;
  Application->OnException = [&](TObject* Sender, const Exception& E) {
    caught.push_back(E.Message() + (Sender == &icon ? " from the icon" : ""));
  };
  EXPECT_TRUE(Send(&icon, NIN_BALLOONUSERCLICK));
  EXPECT_EQ(caught, std::vector<std::string>{"bad handler from the icon"});
}

// ---- the main window ----

TEST_F(TrayIconExTest, ADefinitionGivesTheIconItsValuesAndHandlers) {
  TTrayTestForm* form = MakeMainForm();
  TTrayIconEx* icon = form->TrayIconEx1;
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->Hint(), "Ostrovel");
  EXPECT_TRUE(icon->IconVisible());
  EXPECT_TRUE(icon->MinimizeToTray());
  EXPECT_EQ(icon->PopupMenu(), form->PopupMenu3);
  EXPECT_TRUE(icon->OnDblClick);
  ASSERT_TRUE(Shown(icon));
  EXPECT_EQ(Shown(icon)->tip, "Ostrovel");
  EXPECT_EQ(Services.Tray.Events(), std::vector<std::string>{"add Ostrovel"}) << "added once, after loading";
  EXPECT_TRUE(Application->ShowMainForm());
  // Written back, only what differs from the defaults appears.
  const std::string text = WriteComponentText(form);
  EXPECT_NE(text.find("object TrayIconEx1: TTrayIconEx\n"
                      "    Hint = 'Ostrovel'\n"
                      "    IconVisible = True\n"
                      "    PopupMenu = PopupMenu3\n"
                      "    MinimizeToTray = True\n"
                      "    OnDblClick = TrayIconEx1DblClick\n"
                      "    OnStartup = TrayIconEx1Startup\n"
                      "  end"),
            std::string::npos)
      << text;
}

TEST_F(TrayIconExTest, OnStartupCanKeepTheMainWindowInTheTray) {
  StartHidden = true;
  TTrayTestForm* form = MakeMainForm();
  EXPECT_FALSE(Application->ShowMainForm());
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(Shown(form->TrayIconEx1));
}

TEST_F(TrayIconExTest, SendToTrayAndBackByDoubleClick) {
  TTrayTestForm* form = MakeMainForm();
  form->Show();
  App.ProcessMessages();
  ASSERT_TRUE(IsWindowVisible(form->Handle()));
  form->TrayIconEx1->SendMainFormToTray();
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(form->Visible());
  Send(form->TrayIconEx1, WM_LBUTTONDBLCLK);
  App.ProcessMessages();
  EXPECT_EQ(form->Log, std::vector<std::string>{"dblclick"});
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_EQ(GetActiveWindow(), form->Handle());
}

TEST_F(TrayIconExTest, MinimisingSendsTheMainWindowToTheTray) {
  TTrayTestForm* form = MakeMainForm();
  TTrayIconEx* icon = form->TrayIconEx1;
  form->Show();
  App.ProcessMessages();
  icon->SetIconVisible(false);
  // Without OnMinimizeToTray the window minimises as usual; the minimised size sends it on.
  SendMessage(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(Shown(icon)) << "the icon shows while the window is in the tray";
  icon->ShowMainForm();
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(IsIconic(form->Handle()));
  EXPECT_FALSE(Application->Minimized());

  // With OnMinimizeToTray the command goes to the tray without minimising.
  int told = 0;
  icon->OnMinimizeToTray = [&](TObject*) { ++told; };
  SendMessage(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(told, 1);
  EXPECT_FALSE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(Application->Minimized());
  icon->ShowMainForm();

  // MinimizeToTray off: minimising is only minimising.
  icon->SetMinimizeToTray(false);
  SendMessage(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_TRUE(IsIconic(form->Handle()));
}

TEST_F(TrayIconExTest, AFreedIconGivesTheOwnerWindowItsProcedureBack) {
  TTrayTestForm* form = MakeMainForm();
  form->Show();
  App.ProcessMessages();
  delete form->TrayIconEx1;
  SendMessage(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsWindowVisible(form->Handle())) << "minimised, not sent to the tray";
  EXPECT_TRUE(IsIconic(form->Handle()));
  EXPECT_TRUE(shell::TrayIcons().empty());
}

TEST_F(TrayIconExTest, TheSharedWindowOutlivesCloseAndSessionMessages) {
  TTrayIconEx icon(nullptr);
  HWND wnd = TrayIconHandler()->WindowHandle();
  for (UINT m : {WM_CLOSE, WM_QUERYENDSESSION, WM_ENDSESSION, WM_DESTROY}) {
    SCOPED_TRACE(m);
    EXPECT_EQ(SendMessage(wnd, m, 0, 0), 1);
  }
  EXPECT_TRUE(IsWindow(wnd));
  // A callback naming no live icon is dropped.
  EXPECT_EQ(SendMessage(wnd, TrayCallbackMessage, 12345, WM_LBUTTONDOWN), 0);
}

TEST_F(TrayIconExTest, TheIconComesBackWhenTheTaskbarIsRecreated) {
  TTrayTestForm* form = MakeMainForm();
  TTrayIconEx hidden(nullptr);
  hidden.SetHint("hidden");
  Services.Tray.Clear();
  shell::RecreateTaskbar();
  EXPECT_TRUE(Shown(form->TrayIconEx1));
  EXPECT_FALSE(Shown(&hidden)) << "an icon that was not visible stays away";
  EXPECT_EQ(Services.Tray.Events(), (std::vector<std::string>{"delete Ostrovel", "add Ostrovel"}));
}

TEST_F(TrayIconExTest, TheIconPictureIsShownAndKeptInTheDefinition) {
  TComponent root(nullptr);
  root.SetName("Root");
  auto* icon = new TTrayIconEx(&root);
  icon->SetName("TrayIconEx1");
  icon->SetIconVisible(true);
  // Without a picture of its own it shows the program's (the loudspeaker of MAINICON).
  const HICON program = Application->Icon()->Handle();
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(Shown(icon)->icon, program) << "an empty icon shows the program's picture";
  icon->Icon()->LoadFromResourceName(nullptr, "Square");
  ASSERT_NE(Shown(icon)->icon, nullptr) << "a change of the picture updates the area";
  EXPECT_NE(Shown(icon)->icon, program) << "a picture set by code wins";

  // SetIcon copies: the source may go.
  {
    TIcon copy;
    copy.Assign(icon->Icon());
    icon->SetIcon(nullptr);
    EXPECT_EQ(Shown(icon)->icon, program);
    icon->SetIcon(&copy);
  }
  ASSERT_NE(Shown(icon)->icon, nullptr);
  EXPECT_NE(Shown(icon)->icon, program);

  const std::string text = WriteComponentText(&root);
  EXPECT_NE(text.find("Icon.Data = {"), std::string::npos) << text;
  TComponent again(nullptr);
  icon->SetIconVisible(false);
  ReadComponentText(&again, text);
  auto* read = dynamic_cast<TTrayIconEx*>(again.FindComponent("TrayIconEx1"));
  ASSERT_NE(read, nullptr);
  ASSERT_TRUE(Shown(read));
  EXPECT_EQ(read->Icon()->Width(), 16);
  EXPECT_NE(Shown(read)->icon, nullptr);
  EXPECT_NE(Shown(read)->icon, program) << "a picture of the definition wins";
}

// ---- icon cycling ----

class TrayCycleTest : public TrayIconExTest {
 protected:
  // A list of N icons of 16 × 16, icon i filled with colour i + 1.
  void FillList(int N) {
    for (int i = 0; i < N; ++i) {
      TBitmap bitmap;
      bitmap.SetSize(16, 16);
      bitmap.Canvas()->Brush()->SetColor(static_cast<TColor>(0x010101 * (i + 1)));
      bitmap.Canvas()->FillRect(TRect(0, 0, 16, 16));
      List.Add(&bitmap, nullptr);
    }
  }
  TImageList List{nullptr};
  TTrayIconEx Icon{nullptr};
};

TEST_F(TrayCycleTest, IconIndexStaysInsideTheList) {
  Icon.SetIconIndex(3);
  EXPECT_EQ(Icon.IconIndex(), 0) << "no list, no index";
  FillList(4);
  Icon.SetIconList(&List);
  Icon.SetIconIndex(10);
  EXPECT_EQ(Icon.IconIndex(), 3);
  EXPECT_FALSE(Icon.Icon()->Empty());
  Icon.SetIconIndex(-2);
  EXPECT_EQ(Icon.IconIndex(), 0);
}

TEST_F(TrayCycleTest, CyclingReportsTheNextIndexRoundTheList) {
  FillList(3);
  Icon.SetIconList(&List);
  Icon.SetIconVisible(true);
  std::vector<int> next;
  std::vector<HICON> shown;
  Icon.OnCycle = [&](TObject*, int n) {
    next.push_back(n);
    shown.push_back(Shown(&Icon)->icon);
  };
  Icon.SetCycleInterval(200);
  Icon.SetCycleIcons(true);
  App.RunFor(1000);
  EXPECT_EQ(next, (std::vector<int>{1, 2, 0, 1, 2}));
  EXPECT_NE(shown[0], nullptr);
  Icon.SetCycleIcons(false);
  App.RunFor(1000);
  EXPECT_EQ(next.size(), 5u);
}

TEST_F(TrayCycleTest, AnEmptyListLeavesTheIconAsItIs) {
  TIcon own;
  own.SetHandle(nullptr);
  Icon.SetIconList(&List);
  EXPECT_EQ(Icon.IconIndex(), -1);
  int cycles = 0;
  Icon.OnCycle = [&](TObject*, int n) {
    ++cycles;
    EXPECT_EQ(n, 0);
  };
  Icon.SetCycleInterval(100);
  Icon.SetCycleIcons(true);
  App.RunFor(350);
  EXPECT_EQ(cycles, 3);
}

}  // namespace
