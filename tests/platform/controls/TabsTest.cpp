#include "platform/controls/Tabs.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

class TabsTest : public StaticControlTest {
 protected:
  // Presses the middle of a tab.
  void ClickTab(TCustomTabControl* Tabs, int Index) {
    TRect r = Tabs->TabRect(Index);
    Input.Click(test::TInputDriver::ScreenPoint(Tabs->Handle(), {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}));
    Pump();
  }
};

TEST_F(TabsTest, ClickingATabSelectsItUnlessOnChangingRefuses) {
  auto* tabs = Make<TTabControl>(Form, "Tabs", Bounds(10, 10, 280, 150));
  tabs->Tabs()->Add("First");
  tabs->Tabs()->Add("Second");
  tabs->Tabs()->Add("Third");
  tabs->SetTabIndex(0);
  std::vector<std::string> events;
  bool allow = true;
  tabs->OnChanging = [&](TObject*, bool& Allow) {
    events.push_back("changing " + std::to_string(tabs->TabIndex()));
    Allow = allow;
  };
  tabs->OnChange = [&](TObject*) { events.push_back("change " + std::to_string(tabs->TabIndex())); };
  ShowForm();
  EXPECT_LT(tabs->TabRect(0).Right, tabs->TabRect(1).Left + 1) << "side by side";
  ClickTab(tabs, 2);
  EXPECT_EQ(tabs->TabIndex(), 2);
  EXPECT_TRUE(tabs->Focused());
  allow = false;
  ClickTab(tabs, 1);
  EXPECT_EQ(tabs->TabIndex(), 2) << "refused";
  allow = true;
  Input.Key(VK_LEFT);
  Pump();
  EXPECT_EQ(tabs->TabIndex(), 1) << "Left selects the tab before";
  EXPECT_EQ(events, (std::vector<std::string>{"changing 0", "change 2", "changing 2", "changing 2", "change 1"}));
  // Removing tabs keeps the index in range.
  tabs->Tabs()->Clear();
  EXPECT_EQ(tabs->TabIndex(), -1);
}

TEST_F(TabsTest, APageControlShowsTheSheetOfTheSelectedTab) {
  auto* pages = Make<TPageControl>(Form, "Pages", Bounds(10, 10, 280, 180));
  TTabSheet* sheets[3];
  const char* captions[] = {"Announcements", "Tasks", "Music"};
  for (int i = 0; i < 3; ++i) {
    sheets[i] = new TTabSheet(Form);
    sheets[i]->SetName(std::string("Sheet") + std::to_string(i));
    sheets[i]->SetCaption(captions[i]);
    sheets[i]->SetPageControl(pages);
  }
  std::vector<std::string> shown;
  sheets[1]->OnShow = [&](TObject*) { shown.push_back("show 1"); };
  sheets[0]->OnHide = [&](TObject*) { shown.push_back("hide 0"); };
  ShowForm();
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->ActivePage(), sheets[0]) << "the first page shows until another is chosen";
  EXPECT_TRUE(sheets[0]->Showing());
  EXPECT_FALSE(sheets[1]->Showing());
  EXPECT_EQ(sheets[0]->BoundsRect(), pages->DisplayRect()) << "a sheet fills the page area";
  ClickTab(pages, 1);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_TRUE(sheets[1]->Showing());
  EXPECT_FALSE(sheets[0]->Showing());
  EXPECT_EQ(shown, (std::vector<std::string>{"show 1", "hide 0"}));
  // A hidden tab drops out of the row; its page cannot be active.
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(pages->TabIndex(), 1);
  pages->SetActivePageIndex(0);
  EXPECT_EQ(pages->TabIndex(), 0);
  // A page that goes away leaves the control.
  delete sheets[0];
  EXPECT_EQ(pages->PageCount(), 2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
}

TEST_F(TabsTest, TheSelectedTabStandsOutAndJoinsThePage) {
  auto* tabs = Make<TTabControl>(Form, "Tabs", Bounds(10, 10, 200, 100));
  tabs->Tabs()->Add("One");
  tabs->Tabs()->Add("Two");
  tabs->SetTabIndex(1);
  ShowForm();
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const TRect one = tabs->TabRect(0), two = tabs->TabRect(1);
  const int frameTop = 10 + one.Bottom;
  // The unselected tab's top edge, the selected tab's two pixels higher.
  EXPECT_EQ(Pixel(10 + (one.Left + one.Right) / 2, 10 + one.Top), light);
  EXPECT_EQ(Pixel(10 + (two.Left + two.Right) / 2, 10 + two.Top - 2), light);
  // Under the unselected tab the page frame runs on; under the selected one it is open.
  EXPECT_NE(Pixel(10 + (one.Left + one.Right) / 2, frameTop + 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Pixel(10 + (two.Left + two.Right) / 2, frameTop + 1), GetSysColor(COLOR_BTNFACE));
}

}  // namespace

TEST_F(TabsTest, ShowingAControlOnAHiddenPageBringsThatPageForward) {
  auto* pages = Make<TPageControl>(Form, "Pages", Bounds(10, 10, 280, 180));
  TTabSheet* sheets[2];
  for (int i = 0; i < 2; ++i) {
    sheets[i] = new TTabSheet(Form);
    sheets[i]->SetName(std::string("Sheet") + std::to_string(i));
    sheets[i]->SetPageControl(pages);
  }
  auto* box = Make<TTestPanel>(sheets[1], "Box", Bounds(10, 10, 50, 50));
  auto* inner = Make<TTestPanel>(box, "Inner", Bounds(5, 5, 20, 20));
  inner->SetVisible(false);
  ShowForm();
  ASSERT_EQ(pages->ActivePage(), sheets[0]);
  // SetVisible only sets the flag; Show asks every parent on the way up.
  inner->SetVisible(true);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  inner->Hide();
  inner->Show();
  EXPECT_TRUE(inner->Visible());
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_TRUE(inner->Showing());
}
