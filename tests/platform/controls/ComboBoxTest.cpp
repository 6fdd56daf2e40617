#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/ListCtrls.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Focus.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowPos.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/ClipboardText.h"
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

// ---- the edit part ----

class ComboEditTest : public ComboBoxTest {
 protected:
  ComboEditTest() { os::ResetClipboard(); }
  ~ComboEditTest() override { os::ResetClipboard(); }
  // A focused editable combo of the fruits, its text emptied.
  TComboBox* Focused(TComboBoxStyle Style = csDropDown, bool AutoComplete = true) {
    TComboBox* combo = MakeCombo(Style, Fruits, Style == csSimple ? TRect{10, 10, 150, 150} : TRect{10, 10, 150, 31});
    combo->SetAutoComplete(AutoComplete);
    combo->SetText("");
    ShowForm();
    combo->SetFocus();
    Pump();
    TakeCodes();
    TakeEvents();
    return combo;
  }
  void Keys(std::initializer_list<UINT> Keys) {
    for (UINT k : Keys) Input.Key(k);
    Pump();
  }
  void WithKey(UINT Modifier, std::initializer_list<UINT> Keys) {
    Input.KeyDown(Modifier);
    for (UINT k : Keys) Input.Key(k);
    Input.KeyUp(Modifier);
    Pump();
  }
  void Type(const std::string& Text) {
    Input.Type(Text);
    Pump();
  }
  std::pair<int, int> Sel(TComboBox* Combo) { return {Combo->SelStart(), Combo->SelLength()}; }
};

TEST_F(ComboEditTest, TheEditPartTakesTheFocusAndTheTypingAndReportsTheUsersChanges) {
  TComboBox* combo = Focused(csDropDown, false);
  ASSERT_NE(combo->EditHandle(), nullptr);
  EXPECT_EQ(GetParent(combo->EditHandle()), combo->Handle());
  EXPECT_EQ(GetFocus(), combo->EditHandle());
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(Screen->ActiveControl(), combo);

  Type("kiwi");
  EXPECT_EQ(combo->Text(), "kiwi");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(TakeEvents(), std::vector<std::string>(4, "change"));
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE,
                                             CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
  // The caret keys are the edit's; Backspace deletes before the caret.
  Keys({VK_LEFT, VK_LEFT, VK_BACK});
  EXPECT_EQ(combo->Text(), "kwi");
  EXPECT_EQ(Sel(combo), std::make_pair(1, 0));
  WithKey(VK_SHIFT, {VK_END});
  EXPECT_EQ(combo->SelText(), "wi");
  // A text that is an item's (in any case) chooses it.
  combo->SetText("");
  Type("date");
  EXPECT_EQ(combo->ItemIndex(), 3);
  TakeEvents();
  TakeCodes();

  // The program's changes are not reported.
  combo->SetText("Fig");
  combo->SetItemIndex(1);
  EXPECT_EQ(combo->Text(), "Banana");
  EXPECT_EQ(Sel(combo), std::make_pair(0, 6));
  EXPECT_TRUE(TakeEvents().empty());
  EXPECT_TRUE(TakeCodes().empty());
  // The arrows step the choice; the item's text comes selected.
  Keys({VK_DOWN});
  EXPECT_EQ(combo->Text(), "Cherry");
  EXPECT_EQ(Sel(combo), std::make_pair(0, 6));
  EXPECT_EQ(TakeCodes(), (std::vector<WORD>{CBN_SELCHANGE}));
}

TEST_F(ComboEditTest, TheFocusComesAndGoesOnceForTheComboAndItsEditPart) {
  auto* before = Make<TEdit>(Form, "Before", {10, 60, 150, 81});
  TComboBox* combo = MakeCombo(csDropDown, Fruits);
  before->SetTabOrder(0);
  combo->SetText("Banana split");
  int enters = 0, exits = 0;
  combo->OnEnter = [&](TObject*) { ++enters; };
  combo->OnExit = [&](TObject*) { ++exits; };
  ShowForm();
  before->SetFocus();
  Pump();
  Codes.clear();

  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), combo->EditHandle());
  EXPECT_EQ(Sel(combo), std::make_pair(0, 12));  // entered: the whole text selected
  // A click in the edit part of a focused combo places the caret and keeps the focus there.
  Input.Click(combo->EditHandle(), {1, 5});
  Pump();
  EXPECT_EQ(Sel(combo), std::make_pair(0, 0));
  Keys({VK_TAB});
  EXPECT_EQ(GetFocus(), before->Handle());
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
  EXPECT_EQ(Codes, (std::vector<WORD>{CBN_SETFOCUS, CBN_KILLFOCUS}));

  // Focused by a click on the edit part from elsewhere, and re-created while focused.
  Input.Click(combo->EditHandle());
  Pump();
  EXPECT_EQ(Screen->ActiveControl(), combo);
  EXPECT_EQ(enters, 2);
  combo->SetStyle(csSimple);
  EXPECT_TRUE(combo->Focused());
  EXPECT_EQ(combo->Text(), "Banana split");
  combo->SetStyle(csDropDownList);
  EXPECT_EQ(combo->EditHandle(), nullptr);
  EXPECT_TRUE(combo->Focused());
}

TEST_F(ComboEditTest, AutoCompleteCompletesTypingAtTheEndToTheFirstItemWithTheTailSelected) {
  struct TCase {
    const char* Typed;
    std::vector<UINT> Before;  // keys before the typing
    int MaxLength;
    const char* Text;
    std::pair<int, int> Selection;
    int Index;
  };
  const TCase cases[] = {
      {"b", {}, 0, "Banana", {1, 5}, 1},
      {"ba", {}, 0, "Banana", {2, 4}, 1},        // the typed letter replaces the selected tail
      {"E", {}, 0, "Elderberry", {1, 9}, 4},
      {"bx", {}, 0, "Bx", {2, 0}, -1},           // no item: the letter as typed
      {"e", {}, 5, "e", {1, 0}, -1},             // the item would not fit MaxLength
      {"ch", {VK_BACK}, 0, "Cherry", {2, 4}, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    TComboBox* combo = Focused();
    combo->SetMaxLength(c.MaxLength);
    for (UINT k : c.Before) Input.Key(k);
    Type(c.Typed);
    EXPECT_EQ(combo->Text(), c.Text);
    EXPECT_EQ(Sel(combo), c.Selection);
    EXPECT_EQ(combo->ItemIndex(), c.Index);
    // One change for each typed character, the completion included.
    EXPECT_EQ(TakeEvents().size(), std::strlen(c.Typed));
    combo->SetParent(nullptr);
    delete combo;
  }

  TComboBox* combo = Focused();
  Type("c");
  EXPECT_EQ(combo->Text(), "Cherry");
  // Deleting completes nothing.
  Keys({VK_BACK});
  EXPECT_EQ(combo->Text(), "C");
  Keys({VK_BACK});
  EXPECT_EQ(combo->Text(), "");
  // Typing inside the text completes nothing.
  combo->SetText("Dte");
  Keys({VK_HOME, VK_RIGHT});
  Type("a");
  EXPECT_EQ(combo->Text(), "Date");
  EXPECT_EQ(combo->ItemIndex(), 3);
  // A key-press handler sees the character first and may refuse it.
  combo->OnKeyPress = [](TObject*, char32_t& Key) {
    if (Key == U'x') Key = 0;
  };
  combo->SetText("");
  Type("xa");
  EXPECT_EQ(combo->Text(), "Apple");
}

TEST_F(ComboEditTest, SelectionLimitAndLetterCaseOfTheEditPart) {
  TComboBox* combo = Focused(csDropDown, false);
  combo->SetText("hello world");
  HWND wnd = combo->Handle();
  EXPECT_EQ(SendMessage(wnd, CB_SETEDITSEL, 0, MAKELPARAM(6, 11)), TRUE);
  DWORD start = 0, end = 0;
  SendMessage(wnd, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 6u);
  EXPECT_EQ(end, 11u);
  EXPECT_EQ(combo->SelText(), "world");
  combo->SetSelText("there");
  EXPECT_EQ(combo->Text(), "hello there");
  EXPECT_EQ(TakeEvents(), (std::vector<std::string>{"change"}));
  combo->SetSelStart(2);
  combo->SetSelLength(3);
  EXPECT_EQ(combo->SelText(), "llo");
  SendMessage(wnd, CB_SETEDITSEL, 0, MAKELPARAM(0xFFFF, 0));  // start -1: no selection
  EXPECT_EQ(combo->SelLength(), 0);
  combo->SelectAll();
  EXPECT_EQ(combo->SelText(), "hello there");

  // The limit stops typing, not the program's text.
  combo->SetText("");
  EXPECT_EQ(SendMessage(wnd, CB_LIMITTEXT, 3, 0), TRUE);
  EXPECT_EQ(combo->MaxLength(), 3);
  Type("abcd");
  EXPECT_EQ(combo->Text(), "abc");
  combo->SetText("longer");
  EXPECT_EQ(combo->Text(), "longer");

  combo->SetMaxLength(0);
  combo->SetCharCase(ecUpperCase);
  EXPECT_EQ(combo->Text(), "LONGER");
  combo->SetText("");
  Type("ab");
  EXPECT_EQ(combo->Text(), "AB");

  // The cue banner is the edit part's, and stays through a new window.
  SendMessage(wnd, CB_SETCUEBANNER, 0, reinterpret_cast<LPARAM>("Pick a fruit"));
  combo->SetStyle(csSimple);
  std::string cue;
  SendMessage(combo->EditHandle(), EM_GETCUEBANNER, 0, reinterpret_cast<LPARAM>(&cue));
  EXPECT_EQ(cue, "Pick a fruit");

  // The list styles have no edit part.
  TComboBox* list = MakeCombo(csDropDownList, Fruits, {10, 60, 150, 81});
  EXPECT_EQ(list->EditHandle(), nullptr);
  EXPECT_EQ(SendMessage(list->Handle(), CB_GETEDITSEL, 0, 0), CB_ERR);
  EXPECT_EQ(SendMessage(list->Handle(), CB_SETEDITSEL, 0, 0), CB_ERR);
}

TEST_F(ComboEditTest, ClipboardKeysAndMessagesWorkOnTheEditPart) {
  TComboBox* combo = Focused(csDropDown, false);
  combo->SetText("copy me");
  combo->SetSelStart(5);
  combo->SetSelLength(2);
  WithKey(VK_CONTROL, {'C'});
  EXPECT_EQ(test::ClipboardText(), "me");
  WithKey(VK_CONTROL, {'X'});
  EXPECT_EQ(combo->Text(), "copy ");
  WithKey(VK_CONTROL, {'V', 'V'});
  EXPECT_EQ(combo->Text(), "copy meme");
  EXPECT_EQ(TakeEvents().size(), 3u);
  combo->SelectAll();
  SendMessage(combo->Handle(), WM_CUT, 0, 0);  // sent to the combo, done by its edit part
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(test::ClipboardText(), "copy meme");
  SendMessage(combo->Handle(), WM_PASTE, 0, 0);
  EXPECT_EQ(combo->Text(), "copy meme");
  WithKey(VK_CONTROL, {'Z'});
  EXPECT_EQ(combo->Text(), "");
}

TEST_F(ComboEditTest, TypingWithTheListDownHighlightsTheMatchAndEnterOrEscKeepTheText) {
  TComboBox* combo = Focused(csDropDown, false);
  Keys({VK_F4});
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(GetFocus(), combo->EditHandle());  // the caret stays in the edit part
  Type("ch");
  EXPECT_EQ(combo->ListBox()->ItemIndex(), 2);  // highlighted
  EXPECT_EQ(combo->ItemIndex(), -1);            // not chosen: the text is no item's
  Keys({VK_RETURN});
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), "Cherry");
  EXPECT_EQ(combo->ItemIndex(), 2);

  // Text that no item begins with stays as typed, whether the list closes by Enter or Esc.
  for (UINT key : {VK_RETURN, VK_ESCAPE}) {
    combo->SetText("");
    Keys({VK_F4});
    Type("kiwi");
    EXPECT_EQ(combo->ListBox()->ItemIndex(), -1);
    Keys({key});
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(combo->Text(), "kiwi");
  }

  // A simple combo's list follows the typing.
  TComboBox* simple = MakeCombo(csSimple, Fruits, {160, 10, 290, 150});
  simple->SetText("");
  simple->SetFocus();
  Type("el");
  EXPECT_EQ(simple->ListBox()->ItemIndex(), 4);
}

TEST_F(ComboEditTest, AChangeHandlerMayFreeTheCombo) {
  TComboBox* combo = Focused();
  auto* other = Make<TEdit>(Form, "Other", {10, 60, 150, 81});
  combo->OnChange = [&](TObject*) {
    TComboBox* doomed = combo;
    combo = nullptr;
    delete doomed;
  };
  Type("ab");  // auto-complete reports the first letter
  EXPECT_EQ(combo, nullptr);
  other->SetFocus();
  Type("z");
  EXPECT_EQ(other->Text(), "z");
}

TEST_F(ComboEditTest, Snapshot) {
  Form->SetColor(clBtnFace);
  TComboBox* combo = MakeCombo(csDropDown, Fruits, {10, 10, 150, 31});
  TComboBox* simple = MakeCombo(csSimple, Fruits, {160, 10, 290, 120});
  TComboBox* off = MakeCombo(csDropDown, Fruits, {10, 50, 150, 71});
  off->SetItemIndex(3);
  off->SetEnabled(false);
  simple->SetItemIndex(1);
  ShowForm();
  combo->SetFocus();
  Type("ch");
  App.RunFor(controls::CaretBlinkTime + 10);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-combo-edit", 24, 150));
}

TEST_F(ComboEditTest, WithoutAutoCompleteTypingNeitherCompletesNorSearches) {
  TComboBox* edit = Focused(csDropDown, false);
  Type("b");
  EXPECT_EQ(edit->Text(), "b");
  EXPECT_EQ(edit->ItemIndex(), -1);
  TComboBox* list = MakeCombo(csDropDownList, Fruits, {10, 40, 150, 61});
  list->SetAutoComplete(false);
  list->SetItemIndex(0);
  list->SetFocus();
  Pump();
  Type("c");
  EXPECT_EQ(list->ItemIndex(), 0);
  list->SetAutoComplete(true);
  Type("c");
  EXPECT_EQ(list->ItemIndex(), 2);
}

TEST_F(ComboEditTest, AutoDropDownOpensTheListOnATypedKeyAndTabClosesIt) {
  TComboBox* combo = Focused();
  Type("x");
  EXPECT_FALSE(combo->DroppedDown());  // off by default
  combo->SetAutoDropDown(true);
  Keys({VK_BACK});
  EXPECT_FALSE(combo->DroppedDown());  // Backspace and Esc open nothing
  Keys({VK_ESCAPE});
  EXPECT_FALSE(combo->DroppedDown());
  Type("c");
  EXPECT_TRUE(combo->DroppedDown());
  char32_t tab = VK_TAB;
  combo->Perform(WM_CHAR, tab, 0);
  EXPECT_FALSE(combo->DroppedDown());
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
