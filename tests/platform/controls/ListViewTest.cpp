#include "platform/controls/ListView.h"

#include "platform/controls/StdCtrls.h"
#include "platform/rtl/System.h"

#include "platform/os/Focus.h"
#include "platform/os/Input.h"
#include "platform/os/ScrollBars.h"
#include "platform/rtl/Strings.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

class ListViewTest : public ControlTest {
 protected:
  ListViewTest() {
    List = Make<TListView>(Form, "List", Bounds(10, 10, 260, 160));
    List->SetViewStyle(vsReport);
    for (auto [caption, width] : {std::pair{"Name", 100}, {"Size", 60}, {"Type", 80}}) {
      TListColumn* c = List->Columns()->Add();
      c->SetCaption(caption);
      c->SetWidth(width);
    }
    List->Column(1)->SetAlignment(taRightJustify);
    const char* rows[][3] = {{"beta.mp3", "300", "Audio"}, {"alpha.wav", "1200", "Wave"}, {"gamma.txt", "5", "Text"}};
    for (auto& r : rows) {
      TListItem* item = List->Items()->Add();
      item->SetCaption(r[0]);
      item->SubItems()->Add(r[1]);
      item->SubItems()->Add(r[2]);
    }
    List->OnSelectItem = [this](TObject*, TListItem* Item, bool Selected) {
      Events.push_back((Selected ? "select " : "unselect ") + Item->Caption());
    };
  }
  void Show() {
    ShowForm();
    List->SetFocus();
    Pump();
    Events.clear();
  }
  TPoint CentreOf(int Index, TDisplayCode Code = drLabel) {
    TRect r = List->Items()->Item(Index)->DisplayRect(Code);
    return {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2};
  }
  void ClickItem(int Index, std::initializer_list<UINT> Held = {}) {
    for (UINT k : Held) Input.KeyDown(k);
    Input.Click(List->Handle(), CentreOf(Index));
    for (UINT k : Held) Input.KeyUp(k);
    Pump();
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> r;
    for (int i = 0; i < List->Items()->Count(); ++i) r.push_back(List->Items()->Item(i)->Caption());
    return r;
  }
  std::vector<int> SelectedIndexes() {
    std::vector<int> r;
    for (TListItem* i = List->GetNextItem(nullptr, TSearchDirection::sdAll, {isSelected}); i; i = List->GetNextItem(i, TSearchDirection::sdAll, {isSelected}))
      r.push_back(i->Index());
    return r;
  }
  int HeaderFormat(int Column) {
    HDITEM h;
    h.mask = HDI_FORMAT;
    SendMessage(List->HeaderHandle(), HDM_GETITEM, static_cast<WPARAM>(Column), reinterpret_cast<LPARAM>(&h));
    return h.fmt;
  }

  TListView* List = nullptr;
  std::vector<std::string> Events;
};

TEST_F(ListViewTest, ClicksAndKeysSelectOneItem) {
  Show();
  ClickItem(1);
  EXPECT_EQ(List->Selected()->Caption(), "alpha.wav");
  EXPECT_EQ(List->ItemFocused(), List->Selected());
  ClickItem(2);
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{2}));
  Input.Key(VK_UP);
  Input.Key(VK_HOME);
  Pump();
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{0}));
  EXPECT_EQ(Events, (std::vector<std::string>{"select alpha.wav", "unselect alpha.wav", "select gamma.txt",
                                               "unselect gamma.txt", "select alpha.wav", "unselect alpha.wav",
                                               "select beta.mp3"}));
  Input.Type("g");
  Pump();
  EXPECT_EQ(List->Selected()->Caption(), "gamma.txt") << "typing finds by the start of the caption";
  // A click on empty space clears the selection.
  Input.Click(List->Handle(), {200, 140});
  Pump();
  EXPECT_EQ(List->Selected(), nullptr);
  EXPECT_EQ(List->SelCount(), 0);
}

TEST_F(ListViewTest, MultiSelectWithShiftAndCtrl) {
  List->SetMultiSelect(true);
  for (int i = 0; i < 3; ++i) List->Items()->Add()->SetCaption("extra " + std::to_string(i));
  Show();
  ClickItem(1);
  ClickItem(3, {VK_SHIFT});
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1, 2, 3}));
  ClickItem(5, {VK_CONTROL});
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1, 2, 3, 5}));
  ClickItem(2, {VK_CONTROL});
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{1, 3, 5})) << "Ctrl toggles";
  EXPECT_EQ(List->SelCount(), 3);
  Input.KeyDown(VK_SHIFT);
  Input.Key(VK_DOWN);
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{2, 3})) << "Shift+arrow spans from the anchor";
  ClickItem(3);
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{3})) << "a plain click selects one";
  List->SelectAll();
  EXPECT_EQ(List->SelCount(), 6);
  List->SetMultiSelect(false);
  EXPECT_EQ(SelectedIndexes(), (std::vector<int>{3})) << "the focused item stays selected";
}

TEST_F(ListViewTest, ARefusedChangeKeepsTheSelection) {
  Show();
  ClickItem(0);
  List->OnChanging = [](TObject*, TListItem* Item, TItemChange, bool& Allow) { Allow = Item->Caption() != "gamma.txt"; };
  ClickItem(2);
  EXPECT_FALSE(List->Items()->Item(2)->Selected());
}

TEST_F(ListViewTest, AHeaderClickSortsAndTheArrowFollows) {
  // The usual handler: sort by the clicked column, flip the direction on a second click and
  // show the arrow in the header.
  int sortColumn = -1;
  bool descending = false;
  List->OnColumnClick = [&](TObject*, TListColumn* Column) {
    const int c = Column->Index();
    descending = c == sortColumn ? !descending : false;
    sortColumn = c;
    List->CustomSort(
        [&](TListItem* a, TListItem* b, LPARAM) {
          int r = c == 0 ? AnsiCompareText(a->Caption(), b->Caption())
                : c == 1 ? StrToInt(a->SubItems()->Strings(0)) - StrToInt(b->SubItems()->Strings(0))
                         : AnsiCompareText(a->SubItems()->Strings(1), b->SubItems()->Strings(1));
          return descending ? -r : r;
        },
        0);
    for (int i = 0; i < List->Columns()->Count(); ++i) {
      HDITEM h;
      h.mask = HDI_FORMAT;
      SendMessage(List->HeaderHandle(), HDM_GETITEM, i, reinterpret_cast<LPARAM>(&h));
      h.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
      if (i == c) h.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
      SendMessage(List->HeaderHandle(), HDM_SETITEM, i, reinterpret_cast<LPARAM>(&h));
    }
  };
  Show();
  ASSERT_NE(List->HeaderHandle(), nullptr);
  EXPECT_EQ(SendMessage(List->HeaderHandle(), HDM_GETITEMCOUNT, 0, 0), 3);
  TRect size;
  SendMessage(List->HeaderHandle(), HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&size));
  const TPoint sizeTitle{(size.Left + size.Right) / 2, size.Height() / 2};
  Input.Click(List->HeaderHandle(), sizeTitle);
  Pump();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"gamma.txt", "beta.mp3", "alpha.wav"}));
  EXPECT_EQ(HeaderFormat(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTUP);
  EXPECT_EQ(HeaderFormat(1) & HDF_JUSTIFYMASK, HDF_RIGHT);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-list-view-report", 24, 100));
  Input.Click(List->HeaderHandle(), sizeTitle);
  Pump();
  EXPECT_EQ(Captions(), (std::vector<std::string>{"alpha.wav", "beta.mp3", "gamma.txt"}));
  EXPECT_EQ(HeaderFormat(1) & (HDF_SORTUP | HDF_SORTDOWN), HDF_SORTDOWN);
  // A change of the column keeps the arrow the handler set.
  List->Column(1)->SetCaption("Bytes");
  EXPECT_EQ(HeaderFormat(1) & HDF_SORTDOWN, HDF_SORTDOWN);
  // Without ColumnClick, clicks do nothing.
  List->SetColumnClick(false);
  Input.Click(List->HeaderHandle(), {10, 5});
  Pump();
  EXPECT_EQ(sortColumn, 1);
}

TEST_F(ListViewTest, DraggingADividerSizesTheColumn) {
  Show();
  const int x = List->Column(0)->Width();
  Input.Drag(test::TInputDriver::ScreenPoint(List->HeaderHandle(), {x - 1, 5}),
             test::TInputDriver::ScreenPoint(List->HeaderHandle(), {x + 39, 5}));
  Pump();
  EXPECT_EQ(List->Column(0)->Width(), 140);
  EXPECT_EQ(List->Items()->Item(0)->DisplayRect(drLabel).Right, 140);
}

TEST_F(ListViewTest, SortTypeAndAlphaSort) {
  List->SetSortType(stText);
  EXPECT_EQ(Captions(), (std::vector<std::string>{"alpha.wav", "beta.mp3", "gamma.txt"}));
  List->Items()->Item(0)->SetCaption("zeta.ogg");
  EXPECT_EQ(Captions().back(), "zeta.ogg") << "a renamed item moves to its place";
  List->OnCompare = [](TObject*, TListItem* a, TListItem* b, int, int& c) { c = -AnsiCompareText(a->Caption(), b->Caption()); };
  List->AlphaSort();
  EXPECT_EQ(Captions().front(), "zeta.ogg");
}

TEST_F(ListViewTest, OwnerDataAsksForEachItemShown) {
  List->SetOwnerData(true);
  int asked = 0;
  List->OnData = [&](TObject*, TListItem* Item) {
    ++asked;
    Item->SetCaption("Row " + std::to_string(Item->Index()));
    Item->SubItems()->Add(std::to_string(Item->Index() * 10));
  };
  List->Items()->SetCount(20000);
  Show();
  EXPECT_EQ(List->Items()->Count(), 20000);
  EXPECT_LT(asked, 200) << "only the rows shown are fetched";
  EXPECT_EQ(List->Items()->Item(4242)->Caption(), "Row 4242");
  EXPECT_EQ(List->Items()->Item(4242)->SubItems()->Strings(0), "42420");
  ClickItem(1);
  Input.KeyDown(VK_SHIFT);
  Input.Key(VK_NEXT);
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(List->SelCount(), 1) << "single selection";
  List->SetMultiSelect(true);
  ClickItem(1);
  Input.KeyDown(VK_SHIFT);
  Input.Key(VK_END);
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(List->SelCount(), 19999);
  EXPECT_EQ(List->TopItem()->Caption(), "Row " + std::to_string(20000 - List->VisibleRowCount()));
}

TEST_F(ListViewTest, ReportScrollsByRowsAndKeepsTheFocusedItemInView) {
  for (int i = 0; i < 30; ++i) List->Items()->Add()->SetCaption("more " + std::to_string(i));
  Show();
  EXPECT_TRUE(GetWindowLongPtr(List->Handle(), GWL_STYLE) & WS_VSCROLL);
  const int rows = List->VisibleRowCount();
  EXPECT_GT(rows, 3);
  EXPECT_EQ(List->TopItem()->Index(), 0);
  Input.MoveTo(List->Handle());
  Input.Wheel(-1);
  Pump();
  EXPECT_EQ(List->TopItem()->Index(), 3);
  SendMessage(List->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(List->TopItem()->Index(), 4);
  EXPECT_EQ(GetScrollPos(List->Handle(), SB_VERT), 4);
  List->Items()->Item(30)->MakeVisible();
  EXPECT_EQ(List->TopItem()->Index(), 31 - rows);
  List->Scroll(0, -1000);
  EXPECT_EQ(List->TopItem()->Index(), 0);
  EXPECT_EQ(List->GetItemAt(CentreOf(2).X, CentreOf(2).Y), List->Items()->Item(2));
}

TEST_F(ListViewTest, ViewStylesLayTheItemsOut) {
  Show();
  // List: top to bottom, then the next column; icons: left to right, then the next row.
  List->SetViewStyle(vsList);
  TRect a = List->Items()->Item(0)->DisplayRect(drBounds), b = List->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(a.Left, b.Left);
  EXPECT_EQ(a.Bottom, b.Top);
  EXPECT_FALSE(IsWindowVisible(List->HeaderHandle()));
  List->SetViewStyle(vsIcon);
  a = List->Items()->Item(0)->DisplayRect(drBounds);
  b = List->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(a.Top, b.Top);
  EXPECT_EQ(a.Right, b.Left);
  Input.Key(VK_RIGHT);
  Pump();
  List->Items()->Item(2)->SetPosition({5, 70});
  EXPECT_EQ(List->Items()->Item(2)->Position(), (TPoint{5, 70}));
  List->Arrange();
  EXPECT_EQ(List->Items()->Item(2)->Position().Y, 0);
  List->SetViewStyle(vsReport);
  EXPECT_TRUE(IsWindowVisible(List->HeaderHandle()));
}

TEST_F(ListViewTest, IconViewSnapshot) {
  auto* large = new TCustomImageList(Form, 32, 32);
  auto* bmp = new TBitmap;
  bmp->SetWidth(32);
  bmp->SetHeight(32);
  bmp->Canvas()->Brush()->SetColor(clFuchsia);
  bmp->Canvas()->FillRect({0, 0, 32, 32});
  bmp->Canvas()->Brush()->SetColor(clTeal);
  bmp->Canvas()->Ellipse(4, 4, 28, 28);
  large->AddMasked(bmp, clFuchsia);
  delete bmp;
  List->SetLargeImages(large);
  for (int i = 0; i < List->Items()->Count(); ++i) List->Items()->Item(i)->SetImageIndex(0);
  List->SetViewStyle(vsIcon);
  Show();
  ClickItem(1);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-list-view-icons", 24, 100));
}

// ---- caption editing ----

HWND ListEditWindow(TListView* List) {
  return reinterpret_cast<HWND>(SendMessage(List->Handle(), LVM_GETEDITCONTROL, 0, 0));
}

TEST_F(ListViewTest, TypingANewCaptionAcceptsCancelsOrIsRefused) {
  struct TCase {
    const char* Typed;
    UINT EndKey;
    std::function<void(std::string&)> OnEdited;
    const char* Caption;
  };
  const TCase cases[] = {
      {"delta.mp3", VK_RETURN, nullptr, "delta.mp3"},
      {"delta.mp3", VK_ESCAPE, nullptr, "beta.mp3"},
      {"delta", VK_RETURN, [](std::string& S) { S += ".mp3"; }, "delta.mp3"},
      {"delta", VK_RETURN, [](std::string&) { Abort(); }, "beta.mp3"},
  };
  Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Typed) + (c.EndKey == VK_ESCAPE ? " Esc" : " Enter"));
    List->Items()->Item(0)->SetCaption("beta.mp3");
    int told = 0;
    List->OnEdited = [&](TObject*, TListItem*, std::string& S) {
      ++told;
      if (c.OnEdited) c.OnEdited(S);
    };
    ClickItem(0);
    Input.Key(VK_F2);
    Pump();
    ASSERT_TRUE(List->IsEditing());
    ASSERT_NE(List->EditControl(), nullptr);
    EXPECT_EQ(ListEditWindow(List), List->EditControl()->Handle());
    EXPECT_EQ(GetFocus(), ListEditWindow(List));
    EXPECT_EQ(List->EditControl()->Text(), "beta.mp3");
    Input.Type(c.Typed);
    Input.Key(c.EndKey);
    Pump();
    EXPECT_FALSE(List->IsEditing());
    EXPECT_EQ(ListEditWindow(List), nullptr);
    EXPECT_EQ(List->Items()->Item(0)->Caption(), c.Caption);
    EXPECT_EQ(told, c.EndKey == VK_ESCAPE ? 0 : 1);
    EXPECT_EQ(GetFocus(), List->Handle());
  }
}

TEST_F(ListViewTest, ASlowSecondClickEditsUnlessRefusedAndScrollingEndsTheEdit) {
  for (int i = 0; i < 30; ++i) List->Items()->Add()->SetCaption("item " + std::to_string(i));
  bool allow = false;
  List->OnEditing = [&](TObject*, TListItem*, bool& AllowEdit) {
    EXPECT_NE(ListEditWindow(List), nullptr) << "the editor exists while the list asks";
    AllowEdit = allow;
  };
  Show();
  ClickItem(1);
  // A click on the current item edits once no double click follows.
  auto clickAgain = [&] {
    Input.Wait(GetDoubleClickTime() + 10);
    Input.Click(List->Handle(), CentreOf(1));
    App.RunFor(2 * GetDoubleClickTime() + 50);
  };
  clickAgain();
  EXPECT_FALSE(List->IsEditing()) << "OnEditing refused";
  allow = true;
  clickAgain();
  ASSERT_TRUE(List->IsEditing());
  Input.Type("renamed");
  Pump();
  SendMessage(List->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_FALSE(List->IsEditing());
  EXPECT_EQ(List->Items()->Item(1)->Caption(), "renamed");
  EXPECT_FALSE(IsWindowVisible(List->EditControl() ? List->EditControl()->Handle() : nullptr));
  // Deleting the item being edited cancels; an edit of a later item follows it to its new place.
  EXPECT_TRUE(List->Items()->Item(3)->EditCaption());
  List->Items()->Delete(3);
  EXPECT_FALSE(List->IsEditing());
  TListItem* fifth = List->Items()->Item(4);
  EXPECT_TRUE(fifth->EditCaption());
  List->Items()->Delete(0);
  ASSERT_TRUE(List->IsEditing());
  Input.Type("fifth");
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_EQ(fifth->Caption(), "fifth");
}

TEST_F(ListViewTest, TheIconViewsEditorIsCentredUnderTheIconAndGrowsToBothSides) {
  List->SetViewStyle(vsIcon);
  Show();
  ClickItem(1);
  Input.Key(VK_F2);
  Pump();
  TCustomEdit* edit = List->EditControl();
  ASSERT_NE(edit, nullptr);
  const TRect label = List->Items()->Item(1)->DisplayRect(drLabel);
  auto centre = [&] { return edit->Left() + edit->Width() / 2; };
  EXPECT_NEAR(centre(), (label.Left + label.Right) / 2, 1);
  const int left = edit->Left(), right = edit->Left() + edit->Width();
  Input.Type("a much longer caption");
  Pump();
  EXPECT_LT(edit->Left(), left);
  EXPECT_GT(edit->Left() + edit->Width(), right);
  EXPECT_NEAR(centre(), (label.Left + label.Right) / 2, 1);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-list-view-editing", 24, 100));
}

TEST_F(ListViewTest, NotificationsOfDescendants) {
  struct TProbe : TListView {
    using TListView::TListView;
    std::vector<std::string>* Log = nullptr;
    bool RefuseSelect = false;
    void CNNotify(TMessage& M) override {
      auto* h = reinterpret_cast<NMHDR*>(M.LParam);
      if (h->code == NM_RCLICK) {
        Log->push_back("right click");
        M.Result = 1;  // handled: no context menu
        return;
      }
      if (h->code == LVN_ITEMCHANGING && RefuseSelect) {
        M.Result = 1;
        return;
      }
      TListView::CNNotify(M);
    }
  };
  auto* probe = Make<TProbe>(Form, "Probe", Bounds(10, 10, 200, 100));
  probe->Log = &Events;
  probe->Items()->Add()->SetCaption("one");
  List->SetVisible(false);
  ShowForm();
  probe->SetFocus();
  Pump();
  probe->RefuseSelect = true;
  TRect r = probe->Items()->Item(0)->DisplayRect(drLabel);
  Input.Click(probe->Handle(), {r.Left + 3, r.Top + 3});
  Pump();
  EXPECT_EQ(probe->SelCount(), 0) << "LVN_ITEMCHANGING refused";
  probe->RefuseSelect = false;
  Input.Click(probe->Handle(), {r.Left + 3, r.Top + 3}, test::TInputDriver::TButton::Right);
  Pump();
  EXPECT_EQ(Events, (std::vector<std::string>{"right click"}));
  EXPECT_EQ(probe->SelCount(), 1) << "a right click selects";
}

// A list whose texts come from its handler (LPSTR_TEXTCALLBACK).
class TCallbackList : public TListView {
 public:
  using TListView::TListView;
  int Asked = 0;

 protected:
  void CNNotify(TMessage& Message) override {
    auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
    if (hdr->code == LVN_GETDISPINFO) {
      auto* info = reinterpret_cast<NMLVDISPINFO*>(hdr);
      ++Asked;
      const std::string name = *static_cast<std::string*>(reinterpret_cast<void*>(info->item.lParam));
      info->item.pszText = info->item.iSubItem == 0 ? name : name + " size";
      return;
    }
    TListView::CNNotify(Message);
  }
};

TEST_F(ListViewTest, CallbackTextsAreAskedWhenShownSortedAndEdited) {
  auto* list = Make<TCallbackList>(Form, "Callback", Bounds(10, 180, 260, 100));
  list->SetViewStyle(vsReport);
  list->Columns()->Add()->SetWidth(100);
  list->Columns()->Add()->SetWidth(100);
  static std::string names[] = {"zeta", "alpha", "mid"};
  for (std::string& n : names) {
    TListItem* item = list->Items()->Add();
    item->SetData(&n);
    item->SetCaption(LPSTR_TEXTCALLBACK);
    item->SubItems()->Add(LPSTR_TEXTCALLBACK);
  }
  ShowForm();
  EXPECT_GT(list->Asked, 0);  // painting asked
  EXPECT_EQ(list->ItemText(0, 0), "zeta");
  EXPECT_EQ(list->ItemText(0, 1), "zeta size");
  list->AlphaSort();
  EXPECT_EQ(list->ItemText(0, 0), "alpha");
  EXPECT_EQ(list->ItemText(2, 0), "zeta");
  list->Items()->Item(0)->EditCaption();
  Pump();
  ASSERT_NE(list->EditControl(), nullptr);
  EXPECT_EQ(list->EditControl()->Text(), "alpha");
  // A stored text is its own answer.
  list->Items()->Item(1)->SetCaption("plain");
  EXPECT_EQ(list->ItemText(1, 0), "plain");
}

TEST_F(ListViewTest, CheckBoxesToggleByClickAndSpaceThroughTheStateImage) {
  List->SetCheckboxes(true);
  std::vector<UINT> images;
  auto* probe = List;
  (void)probe;
  Show();
  const TRect bounds = List->Items()->Item(1)->DisplayRect(drBounds);
  Input.Click(List->Handle(), {bounds.Left + 8, (bounds.Top + bounds.Bottom) / 2});
  Pump();
  EXPECT_TRUE(List->Items()->Item(1)->Checked());
  EXPECT_FALSE(List->Items()->Item(0)->Checked());
  Input.Key(VK_SPACE);
  Pump();
  EXPECT_FALSE(List->Items()->Item(1)->Checked());
  // The icon and label make room for the box.
  List->SetCheckboxes(false);
  const int without = List->Items()->Item(1)->DisplayRect(drLabel).Left;
  List->SetCheckboxes(true);
  EXPECT_GT(List->Items()->Item(1)->DisplayRect(drLabel).Left, without);
}

TEST_F(ListViewTest, IconsArrangedLeftRunDownInColumns) {
  List->SetViewStyle(vsIcon);
  Show();
  const TRect first = List->Items()->Item(0)->DisplayRect(drBounds);
  EXPECT_EQ(List->Items()->Item(1)->DisplayRect(drBounds).Top, first.Top);
  List->IconOptions()->SetArrangement(iaLeft);
  const TRect second = List->Items()->Item(1)->DisplayRect(drBounds);
  EXPECT_EQ(second.Left, first.Left);
  EXPECT_GT(second.Top, first.Top);
  // Arranging automatically drops positions set by hand when the items change.
  List->Items()->Item(0)->SetPosition({150, 5});
  List->IconOptions()->SetAutoArrange(true);
  EXPECT_EQ(List->Items()->Item(0)->DisplayRect(drBounds).Left, first.Left);
}

}  // namespace
