#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/ListCtrls.h"
#include "platform/os/ScrollBars.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace ctltest {
namespace {

class ListBoxTest : public ControlTest {
 protected:
  TListBox* MakeList(std::vector<std::string> Texts, TRect Bounds = {10, 10, 160, 110}) {
    auto* list = Make<TListBox>(Form, "List" + std::to_string(++Made), Bounds);
    for (const auto& t : Texts) list->Items()->Add(t);
    list->OnClick = [this](TObject*) { ++Clicks; };
    list->OnDblClick = [this](TObject*) { ++DblClicks; };
    return list;
  }
  // The client point in the middle of row Row (as the list shows it now).
  TPoint RowPoint(TListBox* List, int Row) {
    TRect r = List->ItemRect(Row);
    return {r.Left + 20, (r.Top + r.Bottom) / 2};
  }
  void ClickRow(TListBox* List, int Row) {
    Input.Click(List->Handle(), RowPoint(List, Row));
    Pump();
  }
  std::vector<int> SelectedRows(TListBox* List) {
    std::vector<int> rows;
    for (int i = 0; i < List->Items()->Count(); ++i)
      if (List->Selected(i)) rows.push_back(i);
    return rows;
  }
  static std::vector<std::string> Numbered(int Count) {
    std::vector<std::string> v;
    for (int i = 0; i < Count; ++i) v.push_back("Item " + std::to_string(i));
    return v;
  }
  int Clicks = 0;
  int DblClicks = 0;
  int Made = 0;
};

TEST_F(ListBoxTest, AClickSelectsAndReportsOnlyChangesByTheUser) {
  TListBox* list = MakeList({"Apple", "Banana", "Cherry"});
  ShowForm();
  list->SetItemIndex(0);
  EXPECT_EQ(Clicks, 0);  // set by the program: no OnClick

  ClickRow(list, 2);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_TRUE(list->Focused());
  EXPECT_EQ(Clicks, 1);
  ClickRow(list, 2);  // the same item again: no change, no report
  EXPECT_EQ(Clicks, 1);

  Input.DoubleClick(list->Handle(), RowPoint(list, 1));
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(DblClicks, 1);

  // A click below the last item changes nothing.
  Input.Click(list->Handle(), {20, list->ClientHeight() - 3});
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(ListBoxTest, KeysMoveTheSelectionAndTypeAheadFindsItems) {
  TListBox* list = MakeList({"Apple", "Avocado", "Banana", "Blueberry", "Cherry", "Date"});
  ShowForm();
  list->SetFocus();
  struct TStep {
    UINT Key;
    int Expected;
  };
  for (TStep step : std::vector<TStep>{{VK_DOWN, 0}, {VK_DOWN, 1}, {VK_END, 5}, {VK_DOWN, 5}, {VK_HOME, 0},
                                       {VK_UP, 0}, {VK_NEXT, 5}, {VK_PRIOR, 0}}) {
    Input.Key(step.Key);
    Pump();
    EXPECT_EQ(list->ItemIndex(), step.Expected) << "key " << step.Key;
  }
  const int clicks = Clicks;
  EXPECT_GT(clicks, 0);

  Input.Type("b");  // the first item beginning with b
  Pump();
  EXPECT_EQ(list->ItemIndex(), 2);
  Input.Type("l");  // typed at once: the prefix "bl"
  Pump();
  EXPECT_EQ(list->ItemIndex(), 3);
  App.RunFor(1500);
  Input.Type("a");  // after a pause a new search; the same letter again moves on
  Pump();
  EXPECT_EQ(list->ItemIndex(), 0);
  Input.Type("a");
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
  Input.Type("x");  // nothing begins with "aax" or x: stays
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);

  // A key handler that swallows the key keeps the list's own navigation out.
  list->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
    if (Key == VK_DOWN) Key = 0;
  };
  Input.Key(VK_DOWN);
  Pump();
  EXPECT_EQ(list->ItemIndex(), 1);
}

TEST_F(ListBoxTest, ExtendedSelectionWithShiftAndCtrl) {
  TListBox* list = MakeList(Numbered(6));
  list->SetMultiSelect(true);
  ShowForm();

  ClickRow(list, 1);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1}));
  Input.KeyDown(VK_SHIFT);
  ClickRow(list, 3);
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1, 2, 3}));
  Input.KeyDown(VK_CONTROL);
  ClickRow(list, 2);  // toggles one item off
  ClickRow(list, 5);  // and one on
  Input.KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1, 3, 5}));
  EXPECT_EQ(list->SelCount(), 3);
  EXPECT_EQ(list->Perform(LB_GETSELCOUNT, 0, 0), 3);

  // Shift with the arrows extends from the anchor (the last Ctrl-click); a plain click starts again.
  Input.KeyDown(VK_SHIFT);
  Input.Key(VK_UP);
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{4, 5}));
  ClickRow(list, 0);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0}));

  // Dragging with the button held selects the rows passed over.
  Input.Drag(test::TInputDriver::ScreenPoint(list->Handle(), RowPoint(list, 1)),
             test::TInputDriver::ScreenPoint(list->Handle(), RowPoint(list, 4)));
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(ListBoxTest, SimpleMultiSelectTogglesEveryClickedItem) {
  TListBox* list = MakeList(Numbered(4));
  list->SetMultiSelect(true);
  list->SetExtendedSelect(false);
  ShowForm();
  ClickRow(list, 0);
  ClickRow(list, 2);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{0, 2}));
  ClickRow(list, 0);
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{2}));
  Input.Key(VK_DOWN);  // the arrows move the focus only
  Input.Key(VK_SPACE);  // space toggles the focused item
  Pump();
  EXPECT_EQ(SelectedRows(list), (std::vector<int>{1, 2}));
}

TEST_F(ListBoxTest, ScrollingByWheelKeysAndScrollBar) {
  TListBox* list = MakeList(Numbered(40));
  ShowForm();
  const int rows = list->VisibleRows();
  ASSERT_GT(rows, 2);
  ASSERT_LT(rows, 40);
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  GetScrollInfo(list->Handle(), SB_VERT, &si);
  EXPECT_EQ(si.nMax, 39);
  EXPECT_EQ(static_cast<int>(si.nPage), rows);

  list->SetFocus();
  Input.MoveTo(list->Handle());
  Input.Wheel(-1);
  Pump();
  EXPECT_EQ(list->TopIndex(), 3);
  Input.Wheel(5);  // never above the first item
  Pump();
  EXPECT_EQ(list->TopIndex(), 0);

  Input.Key(VK_END);  // the selection is scrolled into view
  Pump();
  EXPECT_EQ(list->ItemIndex(), 39);
  EXPECT_EQ(list->TopIndex(), 40 - rows);
  EXPECT_EQ(GetScrollPos(list->Handle(), SB_VERT), 40 - rows);
  list->SetTopIndex(1000);  // kept so the last page is full
  EXPECT_EQ(list->TopIndex(), 40 - rows);

  // The arrow of the non-client scroll bar.
  list->SetTopIndex(0);
  TRect window;
  GetWindowRect(list->Handle(), &window);
  Input.Click({window.Right - 8, window.Bottom - 8});
  Pump();
  EXPECT_EQ(list->TopIndex(), 1);

  // Rows shown after scrolling: the row under the pointer is the right item.
  list->SetTopIndex(10);
  ClickRow(list, 12);
  EXPECT_EQ(list->ItemIndex(), 12);
  EXPECT_EQ(list->ItemAtPos(RowPoint(list, 10), true), 10);
  EXPECT_TRUE(list->ItemRect(9).Bottom <= 0);
}

TEST_F(ListBoxTest, ItemChangesKeepTheSelectionOnItsItem) {
  TListBox* list = MakeList({"a", "b", "c", "d"});
  list->SetItemIndex(2);
  list->Items()->Insert(0, "first");
  EXPECT_EQ(list->ItemIndex(), 3);
  list->Items()->Delete(0);
  EXPECT_EQ(list->ItemIndex(), 2);
  list->Items()->Delete(2);  // the selected item goes: no selection
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items()->Clear();
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_THROW(list->Selected(0), EListError);

  // Sorted: Add puts items in place, letter case ignored; turning it on sorts what is there.
  TListBox* sorted = MakeList({"pear", "Apple", "fig"});
  sorted->SetItemIndex(0);  // pear
  sorted->SetSorted(true);
  EXPECT_EQ(sorted->Items()->CommaText(), "Apple,fig,pear");
  EXPECT_EQ(sorted->ItemIndex(), 2);
  EXPECT_EQ(sorted->Items()->Add("banana"), 1);
  EXPECT_EQ(sorted->ItemIndex(), 3);

  TListBox* multi = MakeList({"a", "b", "c", "d"});
  multi->SetMultiSelect(true);
  multi->SetSelected(1, true);
  multi->SetSelected(3, true);
  multi->DeleteSelected();
  EXPECT_EQ(multi->Items()->CommaText(), "a,c");
  EXPECT_EQ(multi->SelCount(), 0);
}

TEST_F(ListBoxTest, ListMessages) {
  TListBox* list = MakeList({"Red", "Green", "Blue", "green tea"});
  ShowForm();
  HWND wnd = list->Handle();
  EXPECT_EQ(SendMessage(wnd, LB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessage(wnd, LB_GETCURSEL, 0, 0), LB_ERR);
  EXPECT_EQ(SendMessage(wnd, LB_SETCURSEL, 2, 0), 2);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(SendMessage(wnd, LB_SETCURSEL, 9, 0), LB_ERR);
  EXPECT_EQ(list->ItemIndex(), -1);
  char text[32];
  EXPECT_EQ(SendMessage(wnd, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_STREQ(text, "Green");
  EXPECT_EQ(SendMessage(wnd, LB_GETTEXTLEN, 3, 0), 9);
  EXPECT_EQ(SendMessage(wnd, LB_GETTEXT, 7, reinterpret_cast<LPARAM>(text)), LB_ERR);

  // Finding: a prefix, letter case ignored, after the start item and round again.
  auto find = [&](UINT Msg, int Start, const char* S) { return SendMessage(wnd, Msg, Start, reinterpret_cast<LPARAM>(S)); };
  EXPECT_EQ(find(LB_FINDSTRING, -1, "GREEN"), 1);
  EXPECT_EQ(find(LB_FINDSTRING, 1, "green"), 3);
  EXPECT_EQ(find(LB_FINDSTRING, 3, "green"), 1);
  EXPECT_EQ(find(LB_FINDSTRINGEXACT, 1, "GREEN"), 1);
  EXPECT_EQ(find(LB_FINDSTRING, -1, "yellow"), LB_ERR);
  EXPECT_EQ(find(LB_SELECTSTRING, -1, "bl"), 2);
  EXPECT_EQ(list->ItemIndex(), 2);
  EXPECT_EQ(Clicks, 0);

  EXPECT_EQ(SendMessage(wnd, LB_GETITEMHEIGHT, 0, 0), list->ItemHeight());
  TRect r;
  EXPECT_EQ(SendMessage(wnd, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)), 1);
  EXPECT_EQ(r, list->ItemRect(1));
  EXPECT_EQ(r.Top, list->ItemHeight());
  const LRESULT hit = SendMessage(wnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, r.Top + 1));
  EXPECT_EQ(LOWORD(hit), 1);
  EXPECT_EQ(HIWORD(hit), 0);
  EXPECT_EQ(HIWORD(SendMessage(wnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, list->ClientHeight() - 1))), 1);
  EXPECT_EQ(SendMessage(wnd, LB_SETTOPINDEX, 2, 0), LB_OKAY);
  EXPECT_EQ(SendMessage(wnd, LB_GETTOPINDEX, 0, 0), 0);  // four rows fit: nothing to scroll
  EXPECT_EQ(SendMessage(wnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("White")), 4);
  EXPECT_EQ(SendMessage(wnd, LB_DELETESTRING, 0, 0), 4);
  EXPECT_EQ(list->Items()->Strings(0), "Green");
}

TEST_F(ListBoxTest, OwnerDrawnItemsAndVariableHeights) {
  TListBox* list = MakeList({"one", "two", "three"});
  list->SetStyle(lbOwnerDrawVariable);
  list->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + 10 * Index; };
  struct TDrawn {
    int Index;
    TRect Rect;
    bool Selected;
    bool Focused;
  };
  std::vector<TDrawn> drawn;
  list->OnDrawItem = [&](TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State) {
    drawn.push_back({Index, Rect, State.Contains(odSelected), State.Contains(odFocused)});
    auto* canvas = static_cast<TListBox*>(Control)->Canvas();
    canvas->FillRect(Rect);
  };
  ShowForm();
  EXPECT_EQ(list->ItemRect(1), (TRect{0, 10, list->ClientWidth(), 30}));
  EXPECT_EQ(list->ItemRect(2).Bottom, 60);
  EXPECT_EQ(list->ItemAtPos({5, 35}, true), 2);
  EXPECT_EQ(list->ItemAtPos({5, 65}, true), -1);
  EXPECT_EQ(list->ItemAtPos({5, 65}, false), 3);

  ClickRow(list, 1);
  drawn.clear();
  list->Invalidate();
  Pump();
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[1].Index, 1);
  EXPECT_EQ(drawn[1].Rect, list->ItemRect(1));
  EXPECT_TRUE(drawn[1].Selected);
  EXPECT_TRUE(drawn[1].Focused);
  EXPECT_FALSE(drawn[0].Selected);
  // The selection colour is on the canvas before the handler draws: the selected row shows it.
  const TPoint origin = {list->Left() + 2, list->Top() + 2};
  EXPECT_EQ(Pixel(origin.X + 30, origin.Y + 20), static_cast<COLORREF>(ColorToRGB(clHighlight)));
  EXPECT_EQ(Pixel(origin.X + 30, origin.Y + 5), static_cast<COLORREF>(ColorToRGB(clWindow)));
}

TEST_F(ListBoxTest, VirtualListTakesItsTextsFromOnData) {
  TListBox* list = MakeList({});
  list->SetStyle(lbVirtual);
  list->OnData = [](TWinControl*, int Index, std::string& Data) { Data = "row " + std::to_string(Index); };
  list->SetCount(1000);
  EXPECT_EQ(list->Items()->Count(), 1000);
  EXPECT_EQ(list->Items()->Strings(999), "row 999");
  EXPECT_EQ(list->Items()->Add("ignored"), -1);
  ShowForm();
  list->SetFocus();
  Input.Key(VK_END);
  Pump();
  EXPECT_EQ(list->ItemIndex(), 999);
}

TEST_F(ListBoxTest, Snapshot) {
  Form->SetColor(clBtnFace);
  TListBox* list = MakeList(Numbered(12), {10, 10, 150, 120});
  TListBox* multi = MakeList({"Monday", "Tuesday", "Wednesday", "Thursday"}, {160, 10, 290, 120});
  multi->SetMultiSelect(true);
  ShowForm();
  list->SetItemIndex(3);
  list->SetFocus();
  multi->SetSelected(0, true);
  multi->SetSelected(2, true);
  Pump();
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-list-box", 24, 150));
}

// A list box whose window is made without WS_VSCROLL, as one that shows a scroll bar of its own.
class TListWithoutScrollBar : public TListBox {
 public:
  using TListBox::TListBox;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TListBox::CreateParams(Params);
    Params.Style &= ~WS_VSCROLL;
  }
};

TEST_F(ListBoxTest, AListMadeWithoutAScrollBarGetsNoneWhenItOverflows) {
  auto* plain = MakeList(Numbered(40));
  auto* own = Make<TListWithoutScrollBar>(Form, "Own", {170, 10, 290, 110});
  for (const std::string& t : Numbered(40)) own->Items()->Add(t);
  ShowForm();
  EXPECT_NE(GetWindowLong(plain->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(GetWindowLong(own->Handle(), GWL_STYLE) & WS_VSCROLL, 0);
  EXPECT_EQ(own->ClientWidth(), 120 - 4) << "the client edge only";
  own->SetTopIndex(5);
  EXPECT_EQ(own->TopIndex(), 5) << "the list still scrolls";
}

}  // namespace
}  // namespace ctltest
