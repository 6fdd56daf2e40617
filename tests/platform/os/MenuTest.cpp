#include "platform/os/Menu.h"

#include "platform/os/MenuBar.h"
#include "platform/os/MenuPaint.h"
#include "platform/os/MenuTracking.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/os/WindowFixture.h"

namespace {

using MenuTest = WmTest;

TEST_F(MenuTest, MenusHoldItemsWithStatesAndSubmenus) {
  HMENU menu = CreatePopupMenu();
  HMENU sub = CreatePopupMenu();
  ASSERT_TRUE(AppendMenu(sub, MF_STRING | MF_CHECKED, 20, "&Inner"));
  ASSERT_TRUE(AppendMenu(menu, MF_STRING, 10, "&Open\tCtrl+O"));
  ASSERT_TRUE(AppendMenu(menu, MF_SEPARATOR, 0, ""));
  ASSERT_TRUE(AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More"));
  ASSERT_TRUE(AppendMenu(menu, MF_STRING | MF_GRAYED, 11, "Gone"));
  EXPECT_EQ(GetMenuItemCount(menu), 4);
  EXPECT_EQ(GetMenuItemID(menu, 0), 10u);
  EXPECT_EQ(GetMenuItemID(menu, 2), 0xFFFFFFFFu) << "an item with a submenu has no command";
  EXPECT_EQ(GetSubMenu(menu, 2), sub);
  EXPECT_EQ(GetMenuState(menu, 2, MF_BYPOSITION), MF_POPUP | (1u << 8));
  EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(GetMenuState(menu, 11, MF_BYCOMMAND), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, 20, MF_BYCOMMAND), MF_CHECKED) << "by command the submenus are searched";
  EXPECT_EQ(GetMenuState(menu, 99, MF_BYCOMMAND), 0xFFFFFFFFu);

  EXPECT_EQ(CheckMenuItem(menu, 20, MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(EnableMenuItem(menu, 11, MF_ENABLED), MF_GRAYED);
  EXPECT_EQ(GetMenuState(menu, 20, MF_BYCOMMAND) | GetMenuState(menu, 11, MF_BYCOMMAND), 0u);

  MENUITEMINFO info;
  info.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
  info.dwTypeData = "&New";
  info.wID = 12;
  info.fState = MFS_DEFAULT;
  ASSERT_TRUE(InsertMenuItem(menu, 0, TRUE, &info));
  MENUITEMINFO read;
  read.fMask = MIIM_STRING | MIIM_ID | MIIM_STATE;
  ASSERT_TRUE(GetMenuItemInfo(menu, 12, FALSE, &read));
  EXPECT_EQ(read.dwTypeData, "&New");
  EXPECT_EQ(read.fState, MFS_DEFAULT);
  EXPECT_EQ(os::AccessKeyOf("E&xit"), U'X');
  EXPECT_EQ(os::AccessKeyOf("Save && &quit"), U'Q');
  EXPECT_EQ(os::AccessKeyOf("&&None"), 0u);

  // Removing keeps the submenu; deleting or destroying the parent destroys it.
  ASSERT_TRUE(RemoveMenu(menu, 3, MF_BYPOSITION));
  EXPECT_TRUE(IsMenu(sub));
  AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
  ASSERT_TRUE(DestroyMenu(menu));
  EXPECT_FALSE(IsMenu(menu));
  EXPECT_FALSE(IsMenu(sub));
  EXPECT_EQ(GetMenuItemCount(menu), -1);
  EXPECT_FALSE(AppendMenu(menu, MF_STRING, 1, "x"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_MENU_HANDLE);
}

struct TPlaceCase {
  const char* Name;
  TPoint Point;
  UINT Flags;
  TPoint Expected;
};

TEST_F(MenuTest, PopupMenusArePlacedInsideTheWorkArea) {
  const TRect work = os::WorkAreaAt(TPoint(0, 0));  // 1280 x 994 on the headless screen
  const TSize size(100, 200);
  const TPlaceCase cases[] = {
      {"room everywhere", {300, 300}, 0, {300, 300}},
      {"right-aligned", {300, 300}, TPM_RIGHTALIGN, {200, 300}},
      {"centred both ways", {300, 300}, TPM_CENTERALIGN | TPM_VCENTERALIGN, {250, 200}},
      {"bottom-aligned", {300, 300}, TPM_BOTTOMALIGN, {300, 100}},
      {"at the right edge it opens leftwards", {work.Right - 10, 300}, 0, {work.Right - 110, 300}},
      {"at the bottom it opens upwards", {300, work.Bottom - 10}, 0, {300, work.Bottom - 210}},
      {"in the corner both", {work.Right - 1, work.Bottom - 1}, 0, {work.Right - 101, work.Bottom - 201}},
      {"right-aligned at the left edge opens rightwards", {20, 300}, TPM_RIGHTALIGN, {20, 300}},
      {"bottom-aligned at the top opens downwards", {300, 50}, TPM_BOTTOMALIGN, {300, 50}},
      {"outside the screen it is pulled in", {-50, -50}, 0, {0, 0}},
      {"centred near the left edge", {10, 300}, TPM_CENTERALIGN, {0, 300}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(os::PlacePopupMenu(c.Point, size, c.Flags), c.Expected);
  }
  // Taller than the work area: it starts at the top.
  EXPECT_EQ(os::PlacePopupMenu(TPoint(300, 500), TSize(100, 2000), 0).Y, work.Top);
}

class TrackPopupMenuTest : public MenuTest {
 protected:
  TrackPopupMenuTest() {
    Owner = Top(WS_OVERLAPPEDWINDOW | WS_VISIBLE, Bounds(10, 10, 300, 200));
    AppendMenu(Menu, MF_STRING, 101, "&First");
    AppendMenu(Menu, MF_STRING | MF_GRAYED, 102, "&Second");
    AppendMenu(Menu, MF_STRING, 103, "&Third");
    PumpAll();
  }
  ~TrackPopupMenuTest() override { DestroyMenu(Menu); }

  HWND Owner = nullptr;
  HMENU Menu = CreatePopupMenu();
};

TEST_F(TrackPopupMenuTest, TheChosenCommandIsReturnedOrPosted) {
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Input.Key(VK_RETURN);
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 50, 50, 0, Owner, nullptr), 103);
  EXPECT_EQ(Count(Owner, WM_COMMAND), 0);

  Input.Key(VK_DOWN);
  Input.Key(VK_RETURN);
  Log.clear();
  EXPECT_EQ(TrackPopupMenu(Menu, 0, 50, 50, 0, Owner, nullptr), TRUE);
  // The notifications in order; the command comes once the menu is gone.
  EXPECT_EQ(MessagesOf(Owner, {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP, WM_COMMAND}),
            (std::vector<UINT>{WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_MENUSELECT, WM_MENUSELECT, WM_EXITMENULOOP}));
  EXPECT_EQ(HIWORD(Last(Owner, WM_MENUSELECT)->WParam), 0xFFFF) << "the last one tells the menu closed";
  PumpAll();
  ASSERT_EQ(Count(Owner, WM_COMMAND), 1);
  EXPECT_EQ(Last(Owner, WM_COMMAND)->WParam, 101u);

  // Dismissed: nothing; TPM_NONOTIFY: no notifications either.
  Input.Key(VK_ESCAPE);
  Log.clear();
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_NONOTIFY, 50, 50, 0, Owner, nullptr), 0);
  PumpAll();
  EXPECT_TRUE(MessagesOf(Owner, {WM_ENTERMENULOOP, WM_INITMENUPOPUP, WM_MENUSELECT, WM_EXITMENULOOP, WM_COMMAND}).empty());
}

TEST_F(TrackPopupMenuTest, TheIdleLoopCanLookAndEndTheMenu) {
  std::vector<std::string> seen;
  Handlers[Owner] = [&](UINT m, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    if (m != WM_ENTERIDLE) return std::nullopt;
    EXPECT_EQ(wp, MSGF_MENU);
    const std::vector<HWND> windows = os::MenuWindows();
    EXPECT_EQ(reinterpret_cast<HWND>(lp), windows.back());
    TRect item;
    EXPECT_TRUE(GetMenuItemRect(Owner, Menu, 2, &item));
    seen.push_back(GetClassName(windows[0]) + " " + std::to_string(item.Top > 50));
    EXPECT_FALSE(TrackPopupMenu(Menu, 0, 0, 0, 0, Owner, nullptr)) << "one menu at a time";
    EXPECT_EQ(GetCapture(), windows[0]);
    EXPECT_EQ(GetActiveWindow(), Owner);
    EndMenu();
    return 0;
  };
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 50, 50, 0, Owner, nullptr), 0);
  EXPECT_EQ(seen, std::vector<std::string>{"#32768 1"});
  EXPECT_TRUE(os::MenuWindows().empty());
  EXPECT_EQ(GetCapture(), nullptr);
  TRect item;
  EXPECT_FALSE(GetMenuItemRect(Owner, Menu, 2, &item)) << "not shown any more";
  EXPECT_FALSE(TrackPopupMenu(CreatePopupMenu(), 0, 0, 0, 0, Owner, nullptr)) << "an empty menu is not shown";
}

TEST_F(TrackPopupMenuTest, AQuitRequestEndsTheMenuAndReachesTheOuterLoop) {
  PostQuitMessage(3);
  EXPECT_EQ(TrackPopupMenu(Menu, TPM_RETURNCMD, 50, 50, 0, Owner, nullptr), 0);
  MSG msg;
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(TrackPopupMenuTest, AMenuBarOnlyForTopLevelWindows) {
  HMENU bar = CreateMenu();
  AppendMenu(bar, MF_STRING, 1, "&Go");
  HWND child = Child(Owner, WS_VISIBLE, Bounds(0, 0, 50, 50));
  EXPECT_FALSE(SetMenu(child, bar));
  EXPECT_FALSE(SetMenu(Owner, reinterpret_cast<HMENU>(static_cast<uintptr_t>(12345))));
  TRect before, after;
  GetClientRect(Owner, &before);
  ASSERT_TRUE(SetMenu(Owner, bar));
  GetClientRect(Owner, &after);
  EXPECT_EQ(before.Height() - after.Height(), GetSystemMetrics(SM_CYMENU));
  // The window does not own its menu: a destroyed menu just leaves the bar empty.
  DestroyMenu(bar);
  DrawMenuBar(Owner);
  GetClientRect(Owner, &after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(GetMenu(Owner), nullptr);
}

}  // namespace
