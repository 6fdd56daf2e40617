#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls/ListCtrls.h"
#include "platform/os/Focus.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace ctltest {
namespace {

class ComboBoxTest : public ControlTest {
 protected:
  // A combo that logs its notifications (the CN_COMMAND codes) and events.
  TComboBox* MakeCombo(TComboBoxStyle Style, std::vector<std::string> Texts, TRect Bounds = {10, 10, 150, 31}) {
    auto* combo = Make<TComboBox>(Form, "Combo" + std::to_string(++Made), Bounds);
    combo->SetStyle(Style);
    for (const auto& t : Texts) combo->Items()->Add(t);
    TWndMethod old = combo->WindowProc;
    combo->WindowProc = [this, old](TMessage& M) {
      if (M.Msg == CN_COMMAND) Codes.push_back(HIWORD(M.WParam));
      old(M);
    };
    combo->OnChange = [this](TObject*) { Events.push_back("change"); };
    combo->OnDropDown = [this](TObject*) { Events.push_back("dropdown"); };
    combo->OnCloseUp = [this](TObject*) { Events.push_back("closeup"); };
    return combo;
  }
  // The notifications that say something (focus notices left out), and forgets them.
  std::vector<WORD> TakeCodes() {
    std::vector<WORD> codes;
    for (WORD c : Codes)
      if (c != CBN_SETFOCUS && c != CBN_KILLFOCUS) codes.push_back(c);
    Codes.clear();
    return codes;
  }
  std::vector<std::string> TakeEvents() {
    auto e = Events;
    Events.clear();
    return e;
  }
  HWND ListWnd(TComboBox* Combo) { return Combo->ListBox()->Handle(); }
  bool ListShown(TComboBox* Combo) {
    return Combo->ListBox()->HandleAllocated() && App.Presenter().IsShown(Combo->ListBox()->Handle());
  }
  // The screen point of a row of the dropped-down list.
  TPoint ListRow(TComboBox* Combo, int Row) {
    TRect r = Combo->ListBox()->ItemRect(Row);
    return test::TInputDriver::ScreenPoint(ListWnd(Combo), {r.Left + 10, (r.Top + r.Bottom) / 2});
  }
  void Open(TComboBox* Combo) {
    Input.Click(Combo->Handle());
    Pump();
    ASSERT_TRUE(Combo->DroppedDown());
  }

  std::vector<WORD> Codes;
  std::vector<std::string> Events;
  int Made = 0;
};

const std::vector<std::string> Fruits{"Apple", "Banana", "Cherry", "Date", "Elderberry"};

TEST_F(ComboBoxTest, AClickDropsTheListBelowAndAClickOnAnItemChoosesIt) {
  TComboBox* combo = MakeCombo(csDropDownList, Fruits);
  ShowForm();
  EXPECT_EQ(combo->Height(), combo->ItemHeight() + 8);  // the height follows the font
  Open(combo);
  EXPECT_TRUE(ListShown(combo));
  EXPECT_EQ(GetActiveWindow(), Form->Handle());  // the pop-up never activates
  EXPECT_TRUE(combo->Focused());
  TRect list;
  GetWindowRect(ListWnd(combo), &list);
  const TPoint below = combo->ClientToScreen(TPoint{0, combo->Height()});
  EXPECT_EQ(list.Left, below.X);
  EXPECT_EQ(list.Top, below.Y);
  EXPECT_EQ(list.Width(), combo->Width());
  EXPECT_EQ(list.Height(), 5 * combo->ItemHeight() + 2);
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"dropdown"}));
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_DROPDOWN}));

  Input.Click(ListRow(combo, 2));
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(ListShown(combo));
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), "Cherry");
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
  // Without OnSelect the choice is reported as a change.
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"closeup", "change"}));

  // Choosing the item that is already chosen closes the list without a change.
  Open(combo);
  Input.Click(ListRow(combo, 2));
  Pump();
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, PressingDraggingAndReleasingOnAnItemChoosesIt) {
  TComboBox* combo = MakeCombo(csDropDownList, Fruits);
  ShowForm();
  Input.MoveTo(combo->Handle());
  Input.Press();
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  Input.MoveTo(ListRow(combo, 0));
  Input.MoveTo(ListRow(combo, 3));
  Pump();
  EXPECT_EQ(combo->ListBox()->ItemIndex(), 3);  // the row under the pointer is highlighted
  EXPECT_EQ(combo->ItemIndex(), -1);            // but not chosen yet
  Input.Release();
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 3);

  // A release over the combo itself leaves the list open.
  Input.MoveTo(combo->Handle());
  Input.Press();
  Input.Release();
  Pump();
  EXPECT_TRUE(combo->DroppedDown());
}

TEST_F(ComboBoxTest, AnOutsideClickEscAndTheLossOfTheFocusCloseWithoutAChoice) {
  TComboBox* combo = MakeCombo(csDropDownList, Fruits);
  auto* other = Make<TTestButton>(Form, "Other", {10, 150, 100, 180});
  other->SetTabStop(true);
  combo->SetItemIndex(1);
  ShowForm();

  Open(combo);
  Input.MoveTo(ListRow(combo, 4));  // only highlighted
  Log().clear();
  Input.Click(other->Handle());
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_TRUE(MessagesOf("Other", {WM_LBUTTONDOWN}).empty());  // the press goes no further
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));

  // A click on the combo while its list is down closes it (and does not open it again).
  Open(combo);
  Input.Click(combo->Handle());
  Pump();
  EXPECT_FALSE(combo->DroppedDown());

  Open(combo);
  Input.MoveTo(ListRow(combo, 3));
  Input.Key(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_TRUE(Form->Visible());  // Esc stayed with the combo

  Open(combo);
  TakeCodes();
  other->SetFocus();
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(ListShown(combo));
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, KeysChooseItemsAndOpenTheList) {
  TComboBox* combo = MakeCombo(csDropDownList, Fruits);
  std::vector<std::string> selects;
  combo->OnSelect = [&](TObject*) { selects.push_back(combo->Text()); };
  ShowForm();
  combo->SetFocus();
  Pump();

  // Closed: the arrows change the choice at once.
  for (UINT key : {VK_DOWN, VK_DOWN, VK_UP, VK_END, VK_DOWN, VK_HOME}) Input.Key(key);
  Pump();
  EXPECT_EQ(selects, (std::vector<std::string>{"Apple", "Banana", "Apple", "Elderberry", "Apple"}));
  EXPECT_EQ(TakeEvents(), std::vector<std::string>{});  // OnSelect takes the place of OnChange

  // Alt+Down and F4 open the list; in it the arrows move the choice and Enter closes it.
  Input.KeyDown(VK_MENU);
  Input.Key(VK_DOWN);
  Input.KeyUp(VK_MENU);
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  selects.clear();
  Input.Key(VK_DOWN);
  Input.Key(VK_DOWN);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->ListBox()->ItemIndex(), 2);
  Input.Key(VK_RETURN);
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(selects, (std::vector<std::string>{"Banana", "Cherry"}));
  Input.Key(VK_F4);
  Pump();
  EXPECT_TRUE(combo->DroppedDown());
  Input.Key(VK_F4);
  Pump();
  EXPECT_FALSE(combo->DroppedDown());

  // Type-ahead: the first item beginning with the letters typed.
  Input.Type("e");
  Pump();
  EXPECT_EQ(combo->Text(), "Elderberry");
  App.RunFor(1500);
  Input.Type("b");
  Pump();
  EXPECT_EQ(combo->Text(), "Banana");

  // The extended keyboard interface opens the list with a plain Down.
  combo->Perform(CB_SETEXTENDEDUI, 1, 0);
  Input.Key(VK_DOWN);
  Pump();
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 1);
}

TEST_F(ComboBoxTest, TheWheelStepsTheChoiceOrScrollsTheOpenList) {
  std::vector<std::string> many;
  for (int i = 0; i < 30; ++i) many.push_back("Row " + std::to_string(i));
  TComboBox* combo = MakeCombo(csDropDownList, many);
  ShowForm();
  combo->SetFocus();
  Input.MoveTo(combo->Handle());
  Input.Wheel(-2);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 1);  // from none: the first, then the next
  Input.Wheel(5);
  Pump();
  EXPECT_EQ(combo->ItemIndex(), 0);

  Open(combo);
  EXPECT_EQ(combo->ListBox()->VisibleRows(), 8);
  Input.Wheel(-1);
  Pump();
  EXPECT_EQ(combo->ListBox()->TopIndex(), 3);
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(ComboBoxTest, ComboMessages) {
  TComboBox* combo = MakeCombo(csDropDownList, {"Red", "Green", "Blue", "green tea"});
  ShowForm();
  HWND wnd = combo->Handle();
  auto send = [&](UINT Msg, WPARAM W, const char* S) { return SendMessage(wnd, Msg, W, reinterpret_cast<LPARAM>(S)); };
  EXPECT_EQ(SendMessage(wnd, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessage(wnd, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(wnd, CB_SETCURSEL, 1, 0), 1);
  EXPECT_EQ(combo->Text(), "Green");
  EXPECT_EQ(send(CB_FINDSTRING, static_cast<WPARAM>(-1), "GREEN"), 1);
  EXPECT_EQ(send(CB_FINDSTRING, 1, "green"), 3);
  EXPECT_EQ(send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "green"), 1);
  EXPECT_EQ(send(CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "gree"), CB_ERR);
  EXPECT_EQ(send(CB_SELECTSTRING, static_cast<WPARAM>(-1), "bl"), 2);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(send(CB_SELECTSTRING, static_cast<WPARAM>(-1), "purple"), CB_ERR);
  EXPECT_EQ(combo->ItemIndex(), 2);
  char text[16];
  EXPECT_EQ(SendMessage(wnd, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text)), 9);
  EXPECT_STREQ(text, "green tea");
  EXPECT_EQ(SendMessage(wnd, CB_GETITEMHEIGHT, 0, 0), combo->ItemHeight());
  EXPECT_EQ(SendMessage(wnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), combo->Height() - 6);
  EXPECT_TRUE(TakeCodes().empty());  // the program's changes are not reported

  // Text set to an item's text chooses it; an unknown text changes nothing.
  combo->SetText("RED");
  EXPECT_EQ(combo->ItemIndex(), 0);
  combo->SetText("purple");
  EXPECT_EQ(combo->ItemIndex(), 0);

  EXPECT_EQ(SendMessage(wnd, CB_SETDROPPEDWIDTH, 260, 0), 260);
  EXPECT_EQ(SendMessage(wnd, CB_GETDROPPEDSTATE, 0, 0), FALSE);
  SendMessage(wnd, CB_SHOWDROPDOWN, TRUE, 0);
  Pump();
  EXPECT_EQ(SendMessage(wnd, CB_GETDROPPEDSTATE, 0, 0), TRUE);
  EXPECT_TRUE(ListShown(combo));
  TRect list;
  GetWindowRect(ListWnd(combo), &list);
  EXPECT_EQ(list.Width(), 260);
  EXPECT_EQ(list.Height(), 4 * combo->ItemHeight() + 2);
  SendMessage(wnd, CB_SHOWDROPDOWN, FALSE, 0);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_DROPDOWN, CBN_SELENDCANCEL, CBN_CLOSEUP}));
}

TEST_F(ComboBoxTest, TheListOpensAboveWhenThereIsNoRoomBelowAndFollowsChangesOfItsItems) {
  TRect work;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
  Form->SetBounds(100, work.Bottom - 60, 300, 60);
  TComboBox* combo = MakeCombo(csDropDownList, Fruits);
  combo->OnDropDown = [combo](TObject*) { combo->Items()->Add("Fig"); };  // filled as it opens
  ShowForm();
  Open(combo);
  TRect list;
  GetWindowRect(ListWnd(combo), &list);
  EXPECT_EQ(list.Bottom, combo->ClientToScreen(TPoint{0, 0}).Y);
  EXPECT_EQ(list.Height(), 6 * combo->ItemHeight() + 2);
  Input.Click(ListRow(combo, 5));
  Pump();
  EXPECT_EQ(combo->Text(), "Fig");

  combo->Items()->Insert(0, "Apricot");
  EXPECT_EQ(combo->ItemIndex(), 6);
  combo->Items()->Delete(6);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboBoxTest, OwnerDrawnItemsAndTheSelectionField) {
  TComboBox* combo = MakeCombo(csOwnerDrawFixed, Fruits);
  combo->SetItemHeight(20);
  EXPECT_EQ(combo->Height(), 26);
  struct TDrawn {
    int Index;
    bool Edit;
    bool Selected;
  };
  std::vector<TDrawn> drawn;
  combo->OnDrawItem = [&](TWinControl*, int Index, TRect Rect, TOwnerDrawState State) {
    drawn.push_back({Index, State.Contains(odComboBoxEdit), State.Contains(odSelected)});
    combo->Canvas()->FillRect(Rect);
    combo->Canvas()->TextOut(Rect.Left + 2, Rect.Top + 2, "*" + combo->Items()->Strings(Index));
  };
  combo->SetItemIndex(1);
  ShowForm();
  combo->SetFocus();
  drawn.clear();
  combo->Invalidate();
  Pump();
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].Index, 1);
  EXPECT_TRUE(drawn[0].Edit);
  EXPECT_TRUE(drawn[0].Selected);  // the focused selection field shows the highlight

  drawn.clear();
  Open(combo);
  EXPECT_EQ(combo->ListBox()->ItemHeight(), 20);
  ASSERT_EQ(drawn.size(), 6u);  // the field (no longer highlighted) and the five rows
  int selected = -1;
  for (const auto& d : drawn)
    if (!d.Edit && d.Selected) selected = d.Index;
  EXPECT_EQ(selected, 1);
}

TEST_F(ComboBoxTest, DeletingItemsWithObjectsIsReported) {
  TComboBox* combo = MakeCombo(csDropDownList, {});
  TObject a, b;
  combo->AddItem("a", &a);
  combo->AddItem("plain", nullptr);
  combo->AddItem("b", &b);
  std::vector<TObject*> deleted;
  TWndMethod old = combo->WindowProc;
  combo->WindowProc = [&, old](TMessage& M) {
    if (M.Msg == CN_DELETEITEM) deleted.push_back(reinterpret_cast<TObject*>(reinterpret_cast<DELETEITEMSTRUCT*>(M.LParam)->itemData));
    old(M);
  };
  combo->Items()->Delete(0);
  EXPECT_EQ(deleted, (std::vector<TObject*>{&a}));
  combo->Clear();
  EXPECT_EQ(deleted, (std::vector<TObject*>{&a, &b}));
}

TEST_F(ComboBoxTest, EditableAndSimpleStylesTakeTheChosenItemsText) {
  TComboBox* combo = MakeCombo(csDropDown, Fruits);
  TComboBox* simple = MakeCombo(csSimple, Fruits, {160, 10, 290, 150});
  ShowForm();
  EXPECT_EQ(simple->Height(), 140);  // a simple combo keeps its height
  EXPECT_EQ(combo->Text(), combo->Name());  // a new combo shows its name, as other controls

  // Only the button drops an editable combo's list.
  Input.Click(combo->Handle(), {10, 10});
  Pump();
  EXPECT_FALSE(combo->DroppedDown());
  const TRect button = combo->ButtonRect();
  Input.Click(combo->Handle(), {(button.Left + button.Right) / 2, 10});
  Pump();
  ASSERT_TRUE(combo->DroppedDown());
  Input.Click(ListRow(combo, 1));
  Pump();
  EXPECT_EQ(combo->Text(), "Banana");
  combo->SetText("cherry");  // a text that is an item's chooses it
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetText("Kiwi");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), "Kiwi");

  // The simple combo's list is always there, below the text.
  TakeCodes();
  ASSERT_TRUE(simple->ListBox()->HandleAllocated());
  EXPECT_TRUE(IsWindowVisible(simple->ListBox()->Handle()));
  EXPECT_EQ(GetParent(simple->ListBox()->Handle()), simple->Handle());
  TRect row = simple->ListBox()->ItemRect(3);
  Input.Click(simple->ListBox()->Handle(), {10, (row.Top + row.Bottom) / 2});
  Pump();
  EXPECT_EQ(simple->Text(), "Date");
  EXPECT_TRUE(simple->Focused());
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_SELCHANGE}));
  Input.Key(VK_DOWN);
  Pump();
  EXPECT_EQ(simple->Text(), "Elderberry");
  Input.Key(VK_F4);  // nothing to drop
  Pump();
  EXPECT_FALSE(simple->DroppedDown());
}

TEST_F(ComboBoxTest, SnapshotOfADroppedDownCombo) {
  Form->SetColor(clBtnFace);
  TComboBox* closed = MakeCombo(csDropDownList, Fruits, {10, 10, 140, 31});
  closed->SetItemIndex(0);
  TComboBox* combo = MakeCombo(csDropDownList, Fruits, {150, 10, 280, 31});
  combo->SetItemIndex(1);
  ShowForm();
  Open(combo);
  Input.MoveTo(ListRow(combo, 3));
  Pump();
  const gdi::TSurface screen = App.Presenter().ScreenSnapshot();
  // The part of the screen with the form and the list.
  gdi::TSurface part(300, 160);
  for (int y = 0; y < 160; ++y)
    for (int x = 0; x < 300; ++x) part.Set(x, y, screen.Get(100 + x, 100 + y));
  EXPECT_TRUE(test::MatchesSnapshot(part, "controls-combo-dropped", 24, 150));
}

}  // namespace
}  // namespace ctltest
