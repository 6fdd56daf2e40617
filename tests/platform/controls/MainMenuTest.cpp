#include <gtest/gtest.h>

#include "platform/os/MenuBar.h"
#include "platform/os/NonClient.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/controls/MenuFixture.h"
#include "tests/support/Snapshot.h"

namespace menutest {
namespace {

// A main menu "&File" (&Open Ctrl+O, separator, E&xit), "&Edit" (&Copy), "&Help" (a command
// of the bar itself) on the owner window.
class MainMenuTest : public MenuTest {
 protected:
  MainMenuTest() {
    File = AddItem(Menu.Items(), "&File");
    Open = AddItem(File, "&Open");
    Open->SetShortCut('O' | scCtrl);
    AddItem(File, "-");
    AddItem(File, "E&xit");
    Edit = AddItem(Menu.Items(), "&Edit");
    Copy = AddItem(Edit, "&Copy");
    Help = AddItem(Menu.Items(), "&Help");
  }

  TMenuItem* AddItem(TMenuItem* Parent, const std::string& Caption) {
    auto* item = new TMenuItem(&Menu);
    item->SetCaption(Caption);
    item->OnClick = [this](TObject* sender) { Clicked.push_back(static_cast<TMenuItem*>(sender)->Caption()); };
    Parent->Add(item);
    return item;
  }

  TRect BarItem(int Position) {
    TRect r;
    EXPECT_TRUE(GetMenuItemRect(Owner, Menu.Handle(), static_cast<UINT>(Position), &r));
    return r;
  }
  static TPoint Centre(const TRect& r) { return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; }
  TRect Client() {
    TRect r;
    GetClientRect(Owner, &r);
    return r;
  }

  TMainMenu Menu{nullptr};
  TMenuItem* File = nullptr;
  TMenuItem* Open = nullptr;
  TMenuItem* Edit = nullptr;
  TMenuItem* Copy = nullptr;
  TMenuItem* Help = nullptr;
  std::vector<std::string> Clicked;
};

TEST_F(MainMenuTest, TheBarTakesALineOfTheFrame) {
  const int height = Client().Height();
  Menu.SetWindowHandle(Owner);
  EXPECT_EQ(GetMenu(Owner), Menu.Handle());
  EXPECT_EQ(Client().Height(), height - GetSystemMetrics(SM_CYMENU));
  const TRect file = BarItem(0), edit = BarItem(1);
  EXPECT_EQ(file.Height(), GetSystemMetrics(SM_CYMENU));
  EXPECT_EQ(edit.Left, file.Right);
  EXPECT_EQ(SendMessage(Owner, WM_NCHITTEST, 0, PointToLParam(Centre(file))), HTMENU);

  TRect frame(0, 0, 300, 100);
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, TRUE);
  TRect plain(0, 0, 300, 100);
  AdjustWindowRect(&plain, WS_OVERLAPPEDWINDOW, FALSE);
  EXPECT_EQ(frame.Height() - plain.Height(), GetSystemMetrics(SM_CYMENU));

  // A longer caption widens its item; taking the menu away gives the line back.
  File->SetCaption("&File and more");
  EXPECT_GT(BarItem(0).Width(), file.Width());
  Menu.SetWindowHandle(nullptr);
  EXPECT_EQ(GetMenu(Owner), nullptr);
  EXPECT_EQ(Client().Height(), height);
  EXPECT_THROW(Menu.SetWindowHandle(CreateWindowEx(0, "MenuTestOwner", "", WS_CHILD, 0, 0, 10, 10, Owner, nullptr,
                                                   nullptr, nullptr)),
               EMenuError)
      << "only a top-level window has a menu bar";
}

TEST_F(MainMenuTest, ClicksOnTheBarDropTheMenusDown) {
  Menu.SetWindowHandle(Owner);
  const TRect file = BarItem(0);
  // Open the File menu and choose Open in it.
  Input.Click(Centre(file));
  Input.Click(ItemPoint(File->Handle(), 0, TPoint(file.Left, file.Bottom)));
  App.RunFor(100);
  EXPECT_EQ(Clicked, (std::vector<std::string>{"&File", "&Open"})) << "an item is clicked when its menu opens";

  // The pointer moves to Edit: its menu replaces File's; Right goes on to Help, a command of
  // the bar; Left comes back to Edit, Enter chooses its first item.
  std::vector<std::string> seen;
  Input.Click(Centre(file));
  Input.MoveTo(Centre(BarItem(1)));
  At(150, [&] {
    const std::vector<HWND> open = os::MenuWindows();
    seen.push_back(std::to_string(open.size()) + (open.size() == 1 && WindowRect(open[0]).Left == BarItem(1).Left
                                                      ? " under Edit"
                                                      : ""));
  });
  Input.Wait(200);
  Input.Key(VK_RIGHT);
  At(250, [&] { seen.push_back(std::to_string(os::MenuWindows().size())); });
  Input.Wait(100);
  Input.Key(VK_LEFT);
  Input.Key(VK_RETURN);
  Clicked.clear();
  App.RunFor(500);
  EXPECT_EQ(seen, (std::vector<std::string>{"1 under Edit", "0"}));
  EXPECT_EQ(Clicked, (std::vector<std::string>{"&File", "&Edit", "&Edit", "&Copy"}));

  // A click on a command of the bar chooses it; a second click on an open item closes it.
  Clicked.clear();
  Input.Click(Centre(BarItem(2)));
  Input.Wait(100);
  Input.Click(Centre(file));
  Input.Click(Centre(file));
  App.RunFor(500);
  EXPECT_EQ(Clicked, (std::vector<std::string>{"&Help", "&File"}));
  EXPECT_TRUE(os::MenuWindows().empty());
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(MainMenuTest, ShortCutsAndTheWindowGoingAway) {
  Menu.SetWindowHandle(Owner);
  TMessage key;
  key.Msg = WM_KEYDOWN;
  key.WParam = 'O';
  Input.KeyDown(VK_CONTROL);
  App.ProcessMessages();
  EXPECT_TRUE(Menu.IsShortCut(key));
  Input.KeyUp(VK_CONTROL);
  App.ProcessMessages();
  EXPECT_EQ(Clicked, (std::vector<std::string>{"&File", "&Open"})) << "the parent first, as when its menu opens";

  // Commands of other senders pass on to the window.
  SendMessage(Owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Copy->Command()), 1), 0);
  EXPECT_EQ(Clicked.size(), 2u);
  SendMessage(Owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(Copy->Command()), 0), 0);
  EXPECT_EQ(Clicked.size(), 3u);

  DestroyWindow(Owner);
  EXPECT_EQ(Menu.WindowHandle(), nullptr);
  Copy->SetCaption("&Copy all");  // nothing to show it on, nothing breaks
}

TEST_F(MainMenuTest, AWindowWithAMenuBarLooksClassic) {
  Menu.SetWindowHandle(Owner);
  gdi::TSurface screen;
  const TRect file = BarItem(0);
  Input.Click(Centre(file));
  Input.Key(VK_DOWN);
  At(50, [&] { screen = App.Presenter().ScreenSnapshot(); });
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  App.RunFor(200);
  test::SavePng(screen, "main-menu.png");
  // The open item is drawn pushed: a shadow line at its top-left, highlight at bottom-right.
  EXPECT_EQ(gdi::ColorOfPixel(screen.Get(file.Left + 3, file.Top)), GetSysColor(COLOR_3DSHADOW));
  EXPECT_EQ(gdi::ColorOfPixel(screen.Get(file.Left + 3, file.Bottom - 1)), GetSysColor(COLOR_3DHILIGHT));
  EXPECT_EQ(gdi::ColorOfPixel(screen.Get(BarItem(2).Right + 5, file.Top + 3)), GetSysColor(COLOR_MENU));
}

}  // namespace
}  // namespace menutest
