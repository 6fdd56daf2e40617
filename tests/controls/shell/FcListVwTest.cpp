// The framed list view: the header's sort arrow, the stretching last column, the disabled
// colour, check-box events and the context menus.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/shell/FcListVw.h"
#include "platform/backends/HeadlessPresenter.h"
#include "platform/gdi/Surface.h"
#include "platform/os/SystemMetrics.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace {

class TTestList : public TFcCustomListView {
 public:
  using TFcCustomListView::TFcCustomListView;
};

class FcListViewTest : public test::HeadlessTest {
 protected:
  FcListViewTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 360, 240);
    List = new TTestList(Form.get());
    List->SetParent(Form.get());
    List->SetBounds(8, 8, 300, 160);
    List->SetViewStyle(vsReport);
  }
  TListColumn* AddColumn(const std::string& Caption, int Width, TAlignment Alignment = taLeftJustify) {
    TListColumn* c = List->Columns()->Add();
    c->SetCaption(Caption);
    c->SetWidth(Width);
    c->SetAlignment(Alignment);
    return c;
  }
  void AddItems(std::initializer_list<const char*> Captions) {
    for (const char* c : Captions) List->Items()->Add()->SetCaption(c);
  }
  void Show() {
    Form->Show();
    App.RunFor(50);
  }
  gdi::TSurface Header() { return App.Presenter().Snapshot(List->HeaderHandle()); }
  // The columns of header section Index that hold the arrow colour.
  std::vector<int> ArrowColumns(int Index) {
    TRect r;
    SendMessage(List->HeaderHandle(), HDM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
    const gdi::TSurface s = Header();
    std::vector<int> xs;
    // Inside the section's edges, which the header draws in the same colour.
    for (int x = r.Left + 3; x < r.Right - 3; ++x)
      for (int y = r.Top + 3; y < r.Bottom - 3; ++y)
        if (gdi::ColorOfPixel(s.Get(x, y)) == ColorToRGB(clBtnShadow)) {
          xs.push_back(x);
          break;
        }
    return xs;
  }

  std::unique_ptr<TForm> Form;
  TTestList* List = nullptr;
  test::TInputDriver Input;
};

TEST_F(FcListViewTest, TheSortedColumnShowsItsArrowRightOfTheText) {
  AddColumn("Name", 120);
  AddColumn("Size", 80, taRightJustify);
  Show();
  List->SetSortedColumn(0);
  App.RunFor(20);
  const std::vector<int> arrow = ArrowColumns(0);
  ASSERT_FALSE(arrow.empty());
  EXPECT_GT(arrow.front(), 30);    // right of "Name", not at the section's start
  EXPECT_LT(arrow.back(), 90);     // beside the text, not at the section's end
  EXPECT_TRUE(ArrowColumns(1).empty());

  // Right-aligned: the arrow sits 5 pixels inside the right edge.
  List->SetSortedColumn(1);
  App.RunFor(20);
  EXPECT_TRUE(ArrowColumns(0).empty());
  const std::vector<int> right = ArrowColumns(1);
  ASSERT_FALSE(right.empty());
  EXPECT_GT(right.back(), 120 + 80 - 20);
}

TEST_F(FcListViewTest, ANarrowColumnShowsNoArrowAndTheDirectionFlipsIt) {
  AddColumn("Name", 18);
  AddColumn("Size", 80);
  Show();
  List->SetSortedColumn(0);
  App.RunFor(20);
  EXPECT_TRUE(ArrowColumns(0).empty());

  List->SetSortedColumn(1);
  App.RunFor(20);
  TRect r;
  SendMessage(List->HeaderHandle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  auto widestRow = [&]() {
    const gdi::TSurface s = Header();
    int best = -1, bestCount = 0;
    for (int y = r.Top + 3; y < r.Bottom - 3; ++y) {
      int n = 0;
      for (int x = r.Left + 3; x < r.Right - 3; ++x) n += gdi::ColorOfPixel(s.Get(x, y)) == ColorToRGB(clBtnShadow);
      if (n > bestCount) best = y, bestCount = n;
    }
    return best;
  };
  const int up = widestRow();
  List->SetSortedDescending(true);
  App.RunFor(20);
  EXPECT_LT(widestRow(), up);  // ascending is widest at the bottom, descending at the top
}

TEST_F(FcListViewTest, TheLastColumnTakesTheRestLeavingRoomForAScrollBarWhileEmpty) {
  AddColumn("Name", 100);
  AddColumn("Size", 50);
  Show();
  List->SetBounds(8, 8, 300, 160);
  List->SetBounds(8, 8, 320, 160);
  const int client = List->ClientWidth();
  EXPECT_EQ(List->Column(1)->Width(), client - 100 - GetSystemMetrics(SM_CXVSCROLL));
  AddItems({"a"});
  List->SetBounds(8, 8, 300, 160);
  EXPECT_EQ(List->Column(1)->Width(), List->ClientWidth() - 100);

  List->SetStretchLastColumn(false);
  List->SetBounds(8, 8, 340, 160);
  EXPECT_EQ(List->Column(1)->Width(), 300 - 4 - 100);
}

TEST_F(FcListViewTest, ADisabledListPaintsItsItemsOnTheDisabledColour) {
  AddColumn("Name", 120);
  AddItems({"One", "Two"});
  List->SetDisabledColor(RGB(200, 220, 240));
  Show();
  List->SetEnabled(false);
  App.RunFor(20);
  const TRect item = List->Items()->Item(1)->DisplayRect(drBounds);
  const gdi::TSurface s = App.Presenter().Snapshot(List->Handle());
  EXPECT_EQ(gdi::ColorOfPixel(s.Get(item.Left + 2 + 60, item.Top + 2 + 1)), RGB(200, 220, 240));
}

TEST_F(FcListViewTest, CheckBoxChangesAskFirstAndReportAfterwards) {
  AddColumn("Name", 120);
  AddItems({"One", "Two"});
  List->SetCheckboxes(true);
  std::vector<std::string> log;
  bool allow = true;
  List->OnItemChecking = [&](TObject*, TListItem* Item, bool& Allow, bool Checked) {
    log.push_back("checking " + Item->Caption() + (Checked ? " on" : " off"));
    Allow = allow;
  };
  List->OnItemChecked = [&](TObject*, TListItem* Item) { log.push_back("checked " + Item->Caption()); };
  Show();
  List->Items()->Item(1)->SetChecked(true);
  allow = false;
  List->Items()->Item(1)->SetChecked(false);
  EXPECT_TRUE(List->Items()->Item(1)->Checked());
  EXPECT_EQ(log, (std::vector<std::string>{"checking Two on", "checked Two", "checking Two off"}));
}

class FcListMenuTest : public FcListViewTest {
 protected:
  FcListMenuTest() {
    Menu = new TPopupMenu(Form.get());
    auto* item = new TMenuItem(Menu);
    item->SetCaption("Open");
    Menu->Items()->Add(item);
    Menu->OnPopup = [this](TObject*) { Log.push_back("popup"); };
    List->SetPopupMenu(Menu);
    List->OnContextPopup = [this](TObject*, TPoint, bool&) { Log.push_back("context popup"); };
    List->OnItemContextMenu = [this](TObject*, TListItem* Item, TPoint Pos, TPopupMenu*&) {
      Log.push_back("item " + (Item ? Item->Caption() : std::string("none")));
      At = Pos;
    };
    AddColumn("Name", 120);
    AddItems({"One", "Two", "Three"});
    Show();
  }
  void RightClickThenEsc(TPoint Client) {
    Input.Click(List->Handle(), Client, test::TInputDriver::TButton::Right);
    Input.Wait(50);
    Input.Key(VK_ESCAPE);
    App.RunFor(500);
  }
  TPopupMenu* Menu = nullptr;
  std::vector<std::string> Log;
  TPoint At;
};

TEST_F(FcListMenuTest, EmptySpaceWithNoFocusedItemShowsThePopupMenuAfterOnContextPopup) {
  RightClickThenEsc({150, 140});
  EXPECT_EQ(Log, (std::vector<std::string>{"context popup", "popup"}));
}

TEST_F(FcListMenuTest, WithAFocusedSelectedItemTheItemMenuOpensAtItsIcon) {
  TListItem* two = List->Items()->Item(1);
  two->SetSelected(true);
  two->SetFocused(true);
  RightClickThenEsc({150, 140});
  EXPECT_EQ(Log, (std::vector<std::string>{"item Two", "popup"}));
  const TRect icon = two->DisplayRect(drIcon);
  EXPECT_EQ(At, (TPoint{(icon.Left + icon.Right) / 2, (icon.Top + icon.Bottom) / 2}));
}

}  // namespace
