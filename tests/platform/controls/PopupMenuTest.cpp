#include <gtest/gtest.h>

#include <memory>

#include "platform/os/SystemMetrics.h"
#include "tests/platform/controls/MenuFixture.h"
#include "tests/platform/controls/MenuForm.h"
#include "platform/gdi/Surface.h"
#include "tests/support/Snapshot.h"

namespace menutest {
namespace {

// The menu of the definition, shown at (100, 100). Positions in its menu handle: 0 新增,
// 1 separator, 2 修改(&M), 3 删除 (disabled), 4 播放方式 (submenu: 顺序播放, 随机播放),
// 5 启用时段播放 (checked), 6 退出(&X).
class PopupMenuTest : public MenuTest {
 protected:
  static constexpr TPoint kAt{100, 100};

  // Pops the menu up and answers what the form logged after "popup".
  std::vector<std::string> Run(TPoint At = kAt) {
    Form->Log.clear();
    Form->PopupMenu1->Popup(At.X, At.Y);
    EXPECT_TRUE(os::MenuWindows().empty()) << "the menu is gone when Popup returns";
    std::vector<std::string> log = Form->Log;
    if (!log.empty() && log.front() == "popup") log.erase(log.begin());
    return log;
  }

  HMENU Root() { return Form->PopupMenu1->Handle(); }
  HMENU Sub() { return Form->N5->Handle(); }
  TPoint Item(int Position) { return ItemPoint(Root(), Position, kAt); }
  // An item of the submenu, which opens beside the parent's item.
  TPoint SubItem(int Position) {
    os::TPopupLayout root = os::MeasurePopupMenu(Root());
    const TPoint origin(kAt.X + root.Size.cx - 3, kAt.Y + root.Items[4].Top - 3);
    return ItemPoint(Sub(), Position, origin);
  }

  std::unique_ptr<TMenuTestForm> Form{LoadMenuForm()};
};

struct TKeyCase {
  const char* Name;
  std::vector<UINT> Keys;
  std::vector<std::string> Clicked;
};

TEST_F(PopupMenuTest, KeysMoveOverSeparatorsAndDisabledItemsAndIntoSubmenus) {
  const TKeyCase cases[] = {
      {"first item", {VK_DOWN, VK_RETURN}, {"click N1"}},
      {"Down skips the separator and the disabled item", {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN},
       {"click N8"}},
      {"Up from nothing is the last item", {VK_UP, VK_RETURN}, {"click N9"}},
      {"Up wraps round", {VK_DOWN, VK_UP, VK_UP, VK_RETURN}, {"click N8"}},
      {"End and Home", {VK_END, VK_HOME, VK_RETURN}, {"click N1"}},
      {"Right opens the submenu on its first item", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN},
       {"click N7"}},
      {"Enter opens it too", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}, {"click N6"}},
      {"Left goes back", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, {"click N8"}},
      {"Esc closes one level", {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_UP, VK_RETURN}, {"click N2"}},
      {"Right on an item without submenu does nothing", {VK_DOWN, VK_RIGHT, VK_RETURN}, {"click N1"}},
      {"an access key chooses its item", {'M'}, {"click N2"}},
      {"in either case", {'X'}, {"click N9"}},
      {"Esc closes the menu", {VK_DOWN, VK_ESCAPE}, {}},
      {"so does Alt", {VK_DOWN, VK_MENU}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    for (UINT key : c.Keys) Input.Key(key);
    EXPECT_EQ(Run(), c.Clicked);
  }
  EXPECT_TRUE(Form->N7->Checked() || Form->N6->Checked());
  EXPECT_EQ(App.Presenter().Beeps().size(), 0u);
}

TEST_F(PopupMenuTest, WhatTheKeysShowOnTheWay) {
  std::vector<std::string> seen;
  auto look = [&] {
    std::string s = std::to_string(os::MenuWindows().size()) + " open, " + std::to_string(Selected(Root()));
    if (os::MenuWindows().size() > 1) s += "/" + std::to_string(Selected(Sub()));
    seen.push_back(s);
  };
  At(50, look);
  Input.Wait(100);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  At(150, look);
  Input.Wait(100);
  Input.Key(VK_RIGHT);
  At(250, look);
  Input.Wait(100);
  Input.Key(VK_LEFT);
  At(350, look);
  Input.Wait(100);
  Input.Key('Q');  // no item has it: a beep
  Input.Key(VK_ESCAPE);
  EXPECT_TRUE(Run().empty());
  EXPECT_EQ(seen, (std::vector<std::string>{"1 open, -1", "1 open, 4", "2 open, 4/0", "1 open, 4"}));
  EXPECT_EQ(App.Presenter().Beeps().size(), 1u);
}

TEST_F(PopupMenuTest, AnItemIsClickedWhenItsSubmenuOpensAndMayUpdateIt) {
  Form->N5->OnClick = [&](TObject*) {
    Form->Log.push_back("open N5");
    Form->N6->SetEnabled(false);
    Form->N7->SetCaption("随机播放全部");
  };
  std::string caption;
  for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT}) Input.Key(key);
  At(50, [&] {
    MENUITEMINFO info;
    info.fMask = MIIM_STRING;
    GetMenuItemInfo(Sub(), static_cast<UINT>(Selected(Sub())), TRUE, &info);
    caption = info.dwTypeData;
  });
  Input.Wait(100);
  Input.Key(VK_RETURN);
  EXPECT_EQ(Run(), (std::vector<std::string>{"open N5", "click N7"}));
  EXPECT_EQ(caption, "随机播放全部") << "the open submenu shows the update, its first enabled item selected";
}

TEST_F(PopupMenuTest, OnPopupComesFirstAndMayChangeTheItems) {
  Form->PopupMenu1->OnPopup = [&](TObject* sender) {
    EXPECT_EQ(sender, Form->PopupMenu1);
    EXPECT_TRUE(os::MenuWindows().empty()) << "before the menu shows";
    Form->Log.push_back("popup");
    Form->N1->SetEnabled(false);
  };
  Input.Key(VK_DOWN);
  Input.Key(VK_RETURN);
  Form->PopupMenu1->SetPopupComponent(Form->N1);
  EXPECT_EQ(Run(), std::vector<std::string>{"click N2"});
  EXPECT_EQ(Form->PopupMenu1->PopupPoint(), kAt);
  EXPECT_EQ(Form->PopupMenu1->PopupComponent(), Form->N1);
  delete Form->N1;
  Form->N1 = nullptr;
  EXPECT_EQ(Form->PopupMenu1->PopupComponent(), nullptr) << "a freed pop-up component is forgotten";
}

TEST_F(PopupMenuTest, TheMouseHighlightsOpensAndClicks) {
  // A click on an enabled item.
  Input.Click(Item(5));
  EXPECT_EQ(Run(), std::vector<std::string>{"click N8"});
  EXPECT_TRUE(Form->N8->Checked()) << "without AutoCheck its handler decides, not the menu";

  // Pressing the right button and letting go over an item chooses it too.
  Input.MoveTo(Item(0));
  Input.Press(test::TInputDriver::TButton::Right);
  Input.Release(test::TInputDriver::TButton::Right);
  EXPECT_EQ(Run(), std::vector<std::string>{"click N1"});

  // Disabled items, separators and the frame take no click; resting on the submenu's item
  // opens it after a while, and its item is clicked.
  std::vector<size_t> open;
  Input.Click(Item(3));
  Input.Click(Item(1));
  Input.Click(TPoint(kAt.X + 1, kAt.Y + 1));
  Input.MoveTo(Item(4));
  At(100, [&] { open.push_back(os::MenuWindows().size()); });
  At(1000, [&] { open.push_back(os::MenuWindows().size()); });
  Input.Wait(1100);
  Input.MoveTo(SubItem(1));
  At(1200, [&] { open.push_back(static_cast<size_t>(Selected(Sub()))); });
  Input.Wait(200);
  Input.Click(SubItem(1));
  EXPECT_EQ(Run(), std::vector<std::string>{"click N7"});
  EXPECT_EQ(open, (std::vector<size_t>{1, 2, 1}));
  EXPECT_TRUE(Form->N7->Checked());
  EXPECT_FALSE(Form->N6->Checked());
}

TEST_F(PopupMenuTest, APressOutsideClosesEverythingAndGoesNowhere) {
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_RIGHT);
  Input.Click(test::TInputDriver::ScreenPoint(Owner, TPoint(5, 5)));
  OwnerMessages.clear();
  EXPECT_TRUE(Run().empty());
  App.ProcessMessages();
  EXPECT_EQ(std::count(OwnerMessages.begin(), OwnerMessages.end(), WM_LBUTTONDOWN), 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetActiveWindow(), Owner) << "the owner kept the activation throughout";
}

TEST_F(PopupMenuTest, TheMenuStaysOnTheScreen) {
  const TRect work = os::WorkAreaAt(TPoint(0, 0));
  std::vector<TRect> places;
  auto record = [&] {
    for (HWND w : os::MenuWindows()) places.push_back(WindowRect(w));
  };
  // Near the bottom-right corner: the menu opens up and to the left of the point, its
  // submenu on the left of it.
  const TPoint corner(work.Right - 5, work.Bottom - 5);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_RIGHT);
  At(50, record);
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  Input.Key(VK_ESCAPE);
  Run(corner);
  ASSERT_EQ(places.size(), 2u);
  EXPECT_EQ(places[0].Right, corner.X);
  EXPECT_EQ(places[0].Bottom, corner.Y);
  EXPECT_LE(places[1].Right, places[0].Left + 3);
  for (const TRect& r : places) {
    EXPECT_GE(r.Left, work.Left);
    EXPECT_GE(r.Top, work.Top);
    EXPECT_LE(r.Right, work.Right);
    EXPECT_LE(r.Bottom, work.Bottom);
  }

  // Alignment places the point at the menu's right edge or centre.
  struct TCase {
    TPopupAlignment Alignment;
    int Left;  // relative to the point
  };
  const int width = os::MeasurePopupMenu(Root()).Size.cx;
  for (const TCase& c : {TCase{paRight, -width}, TCase{paCenter, -width / 2}, TCase{paLeft, 0}}) {
    places.clear();
    Form->PopupMenu1->SetAlignment(c.Alignment);
    At(50, record);
    Input.Wait(100);
    Input.Key(VK_ESCAPE);
    Run(TPoint(500, 300));
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].Left, 500 + c.Left);
    EXPECT_EQ(places[0].Top, 300);
  }
}

TEST_F(PopupMenuTest, AnOpenMenuLooksLikeTheClassicDesktopMenu) {
  gdi::TSurface screen;
  TRect rootRect, subRect;
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_RIGHT);
  Input.Key(VK_DOWN);
  At(50, [&] {
    screen = App.Presenter().ScreenSnapshot();
    rootRect = WindowRect(os::MenuWindows().at(0));
    subRect = WindowRect(os::MenuWindows().at(1));
  });
  Input.Wait(100);
  Input.Key(VK_ESCAPE);
  Input.Key(VK_ESCAPE);
  Run();
  test::SavePng(screen, "popup-menu.png");

  auto at = [&](int x, int y) { return gdi::ColorOfPixel(screen.Get(x, y)); };
  auto sys = [](int index) { return static_cast<COLORREF>(GetSysColor(index)); };
  // The raised frame: light outer top-left, dark outer bottom-right; the menu colour inside.
  EXPECT_EQ(at(rootRect.Left, rootRect.Top + 10), sys(COLOR_3DLIGHT));
  EXPECT_EQ(at(rootRect.Right - 1, rootRect.Top + 10), sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(at(rootRect.Left + 2, rootRect.Top + 10), sys(COLOR_MENU));
  // The item whose submenu is open keeps its highlight; the submenu's second item is
  // highlighted (full width, left part of the check column included).
  os::TPopupLayout root = os::MeasurePopupMenu(Root());
  const TRect parentRow = root.Items[4];
  EXPECT_EQ(at(rootRect.Left + parentRow.Left + 1, rootRect.Top + parentRow.Top + 1), sys(COLOR_HIGHLIGHT));
  os::TPopupLayout sub = os::MeasurePopupMenu(Sub());
  const TRect row = sub.Items[1];
  EXPECT_EQ(at(subRect.Left + row.Left + 1, subRect.Top + row.Top + 1), sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(at(subRect.Left + row.Right - 2, subRect.Top + row.Bottom - 2), sys(COLOR_HIGHLIGHT));
  // The separator is etched: a shadow line over a highlight line.
  const TRect line = root.Items[1];
  const int y = rootRect.Top + line.Top + line.Height() / 2 - 1;
  EXPECT_EQ(at(rootRect.Left + 20, y), sys(COLOR_3DSHADOW));
  EXPECT_EQ(at(rootRect.Left + 20, y + 1), sys(COLOR_3DHILIGHT));
  // Text is drawn in the menu text colour, the disabled item in grey with its light shadow
  // (smoothed glyphs: pixels near those colours are counted).
  auto near = [](COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) < 40 && std::abs(GetGValue(a) - GetGValue(b)) < 40 &&
           std::abs(GetBValue(a) - GetBValue(b)) < 40;
  };
  auto count = [&](const TRect& r, COLORREF color) {
    int n = 0;
    for (int yy = r.Top; yy < r.Bottom; ++yy)
      for (int xx = r.Left; xx < r.Right; ++xx) n += near(at(xx, yy), color);
    return n;
  };
  auto onScreen = [&](TRect r) {
    OffsetRect(&r, rootRect.Left, rootRect.Top);
    return r;
  };
  EXPECT_GT(count(onScreen(root.Items[0]), sys(COLOR_MENUTEXT)), 10);
  EXPECT_GT(count(onScreen(root.Items[3]), sys(COLOR_GRAYTEXT)), 10);
  EXPECT_GT(count(onScreen(root.Items[3]), sys(COLOR_3DHILIGHT)), 10);
  EXPECT_EQ(count(onScreen(root.Items[3]), sys(COLOR_MENUTEXT)), 0);
  // The check mark of the checked item sits in the check column.
  TRect checkColumn = onScreen(root.Items[5]);
  checkColumn.Right = checkColumn.Left + root.CheckWidth;
  EXPECT_GT(count(checkColumn, sys(COLOR_MENUTEXT)), 5);
}

}  // namespace
}  // namespace menutest
