#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/Menus.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace ctltest {
namespace {

// A right click over a control opens the nearest menu up its parent chain that pops up by
// itself; Esc (queued after the click) closes it again without a click.
class ControlPopupMenuTest : public ControlTest {
 protected:
  TPopupMenu* MakeMenu(const std::string& Name) {
    auto* menu = new TPopupMenu(Form);
    menu->SetName(Name);
    auto* item = new TMenuItem(menu);
    item->SetCaption("新增");
    menu->Items()->Add(item);
    menu->OnPopup = [this, menu](TObject*) {
      Opened.push_back(menu->Name() + " for " + static_cast<TComponent*>(menu->PopupComponent())->Name());
    };
    return menu;
  }
  void RightClickThenEsc(TPoint Screen) {
    Input.Click(Screen, test::TInputDriver::TButton::Right);
    Input.Wait(50);
    Input.Key(VK_ESCAPE);
    App.RunFor(500);
  }
  std::vector<std::string> Opened;
};

TEST_F(ControlPopupMenuTest, ARightClickOpensTheMenuOfTheControlOrOfItsParent) {
  auto* panel = Make<TTestPanel>(Form, "Panel", {10, 10, 200, 150});
  auto* inner = Make<TTestButton>(panel, "Inner", {10, 10, 60, 40});
  auto* shape = Make<TTestShape>(panel, "Shape", {100, 10, 150, 40});
  TPopupMenu* panelMenu = MakeMenu("PanelMenu");
  panel->SetPopupMenu(panelMenu);
  ShowForm();

  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {150, 100}));
  RightClickThenEsc(test::TInputDriver::ScreenPoint(inner->Handle()));
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {120, 20}));
  EXPECT_EQ(Opened, (std::vector<std::string>{"PanelMenu for Panel", "PanelMenu for Panel", "PanelMenu for Panel"}));

  Opened.clear();
  shape->SetPopupMenu(MakeMenu("ShapeMenu"));
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {120, 20}));
  EXPECT_EQ(Opened, (std::vector<std::string>{"ShapeMenu for Shape"}));

  Opened.clear();
  panelMenu->SetAutoPopup(false);
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {150, 100}));
  EXPECT_TRUE(Opened.empty());
}

TEST_F(ControlPopupMenuTest, OnContextPopupComesFirstAndMayKeepTheMenuClosed) {
  auto* panel = Make<TTestPanel>(Form, "Panel", {10, 10, 200, 150});
  panel->SetPopupMenu(MakeMenu("PanelMenu"));
  TPoint at{-5, -5};
  bool handled = false;
  panel->OnContextPopup = [&](TObject*, TPoint MousePos, bool& Handled) {
    Opened.push_back("context popup");
    at = MousePos;
    Handled = handled;
  };
  ShowForm();
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {150, 100}));
  EXPECT_EQ(Opened, (std::vector<std::string>{"context popup", "PanelMenu for Panel"}));
  EXPECT_EQ(at, (TPoint{150, 100}));

  Opened.clear();
  handled = true;
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle(), {150, 100}));
  EXPECT_EQ(Opened, (std::vector<std::string>{"context popup"}));
}

TEST_F(ControlPopupMenuTest, AFreedMenuIsForgotten) {
  auto* panel = Make<TTestPanel>(Form, "Panel", {10, 10, 200, 150});
  TPopupMenu* menu = MakeMenu("PanelMenu");
  panel->SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(panel->PopupMenu(), nullptr);
  ShowForm();
  RightClickThenEsc(test::TInputDriver::ScreenPoint(panel->Handle()));
  EXPECT_TRUE(Opened.empty());
}

}  // namespace
}  // namespace ctltest
