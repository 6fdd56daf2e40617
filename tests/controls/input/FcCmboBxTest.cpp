// The framed combo boxes: incremental search, auto-complete, the wheel, read-only, values,
// the drop-down width, the events, and the image combo's drawing, heights and item ownership.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/input/FcCmboBx.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Kernel.h"
#include "platform/os/SystemMetrics.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

const std::vector<std::string> kWords{"Apple", "Banana", "Berry", "Blue", "Cherry"};

class FcComboTest : public test::HeadlessTest {
 protected:
  FcComboTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 320, 240);
    Other = new TFcComboBox(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(8, 200, 100, 21);
    os::ResetClipboard();
  }
  ~FcComboTest() override { os::ResetClipboard(); }

  TFcComboBox* Make(TComboBoxStyle Style, const std::vector<std::string>& Texts = kWords) {
    auto* combo = new TFcComboBox(Form.get());
    combo->SetParent(Form.get());
    combo->SetBounds(8, 8, 120, 21);
    combo->SetStyle(Style);
    for (const auto& t : Texts) combo->Items()->Add(t);
    combo->OnChange = [this](TObject*) { ++Changes; };
    Form->Show();
    App.ProcessMessages();
    return combo;
  }
  TFcComboBox* Focused(TComboBoxStyle Style, const std::vector<std::string>& Texts = kWords) {
    TFcComboBox* combo = Make(Style, Texts);
    combo->SetFocus();
    App.RunFor(50);
    Changes = 0;
    return combo;
  }
  void Type(const std::string& Text) {
    Input.Type(Text);
    App.RunFor(50);
  }
  void Key(UINT K) {
    Input.Key(K);
    App.RunFor(50);
  }
  void Wheel(TFcCustomComboBox* Combo, int Notches) {
    Combo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(Notches * WHEEL_DELTA)), 0);
    App.RunFor(20);
  }

  std::unique_ptr<TForm> Form;
  TFcComboBox* Other = nullptr;
  test::TInputDriver Input;
  int Changes = 0;
};

TEST_F(FcComboTest, ConstructorDefaults) {
  TFcComboBox combo(nullptr);
  EXPECT_TRUE(combo.AutoComplete());
  EXPECT_FALSE(combo.TCustomComboBox::AutoComplete());  // the platform's own completion is off
  EXPECT_TRUE(combo.AllowEdit());
  EXPECT_TRUE(combo.BeepOnInvalidKey());
  EXPECT_TRUE(combo.ShowFocus());
  EXPECT_FALSE(combo.KeepSearchCase());
  EXPECT_EQ(combo.DropDownWidth(), 0);
  EXPECT_EQ(combo.Style(), csDropDown);
  EXPECT_FALSE(combo.ControlStyle().Contains(csSetCaption));
  EXPECT_EQ(combo.FrameStyle(), fsFlat);
  EXPECT_EQ(combo.FrameHotStyle(), fsFlatBold);
  EXPECT_EQ(combo.ReadOnlyColor(), clInfoBk);
  EXPECT_EQ(combo.FocusColor(), clWindow);
}

TEST_F(FcComboTest, ListStyleSearchJoinsLettersWithinTheDelayAndBeepsOnNoMatch) {
  TFcComboBox* combo = Focused(csDropDownList);
  Type("b");
  EXPECT_EQ(combo->ItemIndex(), 1);  // Banana
  App.RunFor(300);
  Type("l");
  EXPECT_EQ(combo->ItemIndex(), 3);  // "bl": Blue
  EXPECT_EQ(Changes, 2);
  App.RunFor(kFcSearchDelay + 100);
  Type("c");
  EXPECT_EQ(combo->ItemIndex(), 4);  // searched alone: Cherry
  const int beeps = os::BeepCount();
  Type("z");
  EXPECT_EQ(os::BeepCount(), beeps + 1);
  EXPECT_EQ(combo->ItemIndex(), 4);
  combo->SetBeepOnInvalidKey(false);
  Type("q");
  EXPECT_EQ(os::BeepCount(), beeps + 1);
  // Backspace takes the last letter back: "c" alone is left, then nothing selects item 0.
  Type("h");
  EXPECT_EQ(combo->ItemIndex(), 4);
  Key(VK_BACK);
  EXPECT_EQ(combo->ItemIndex(), 4);
  Key(VK_BACK);
  EXPECT_EQ(combo->ItemIndex(), 0);
}

TEST_F(FcComboTest, EditPartCompletesRefusesOrKeepsTheTypedCase) {
  struct TCase {
    const char* Name;
    bool AllowEdit;
    bool KeepSearchCase;
    const char* Typed;
    const char* Text;
    int SelStart, SelLength;
    int Beeps;
  };
  const TCase cases[] = {
      {"completes", true, false, "be", "BERRY", 2, 3, 0},
      {"keeps the typed case", true, true, "be", "beRRY", 2, 3, 0},
      {"inserts as typed", true, false, "q", "q", 1, 0, 0},
      {"refuses without AllowEdit", false, false, "bq", "Banana", 1, 5, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFcComboBox* combo = Focused(csDropDown, {"Banana", "BERRY"});
    combo->SetAllowEdit(c.AllowEdit);
    combo->SetKeepSearchCase(c.KeepSearchCase);
    const int beeps = os::BeepCount();
    Type(c.Typed);
    EXPECT_EQ(combo->Text(), c.Text);
    EXPECT_EQ(combo->SelStart(), c.SelStart);
    EXPECT_EQ(combo->SelLength(), c.SelLength);
    EXPECT_EQ(os::BeepCount() - beeps, c.Beeps);
    delete combo;
  }
}

TEST_F(FcComboTest, KeepSearchCaseShowsTheTypedPrefixWithTheItemsTailSelected) {
  TFcComboBox* combo = Focused(csDropDown, {"ABCD", "XY"});
  combo->SetKeepSearchCase(true);
  int matches = 0;
  combo->OnMatch = [&matches](TObject*) { ++matches; };
  Type("ab");
  EXPECT_EQ(combo->Text(), "abCD");
  EXPECT_EQ(combo->SelText(), "CD");
  EXPECT_EQ(matches, 1);  // the second letter keeps the same item
  Key(VK_BACK);  // the completed tail goes with the last typed letter
  EXPECT_EQ(combo->Text(), "aBCD");
  Key(VK_BACK);
  EXPECT_EQ(combo->Text(), "");
  EXPECT_EQ(combo->ItemIndex(), -1);
}

TEST_F(FcComboTest, LeavingWithATextNotInTheListFiresNotInList) {
  TFcComboBox* combo = Focused(csDropDown);
  int fired = 0;
  combo->OnNotInList = [&fired](TObject*) { ++fired; };
  for (const char* text : {"", "Apple", "Durian"}) {
    combo->SetFocus();
    App.RunFor(20);
    combo->SetText(text);
    Other->SetFocus();
    App.RunFor(20);
  }
  EXPECT_EQ(fired, 1);
}

TEST_F(FcComboTest, TheWheelStepsTheChoiceAndStopsAtBothEnds) {
  struct TCase {
    int From, Notches, To, Changes;
  };
  const TCase cases[] = {
      {1, -1, 2, 1},   // down: the next item
      {2, 1, 1, 1},    // up: the previous one
      {4, -1, 4, 0},   // the last item stays without events
      {0, 1, 0, 0},    // up at the first item
      {-1, 1, 0, 0},   // up with none chosen selects the first, silently
  };
  TFcComboBox* combo = Focused(csDropDownList);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.From);
    combo->SetItemIndex(c.From);
    Changes = 0;
    Wheel(combo, c.Notches);
    EXPECT_EQ(combo->ItemIndex(), c.To);
    EXPECT_EQ(Changes, c.Changes);
  }
}

TEST_F(FcComboTest, TheWheelScrollsADroppedListByTheScrollLines) {
  std::vector<std::string> many;
  for (int i = 0; i < 30; ++i) many.push_back("item " + std::to_string(i));
  TFcComboBox* combo = Focused(csDropDownList, many);
  combo->SetDroppedDown(true);
  App.RunFor(20);
  ASSERT_TRUE(combo->DroppedDown());
  Wheel(combo, -2);
  EXPECT_EQ(combo->ListBox()->TopIndex(), 6);
  Wheel(combo, 5);
  EXPECT_EQ(combo->ListBox()->TopIndex(), 0);  // never above the first row
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(Changes, 0);
}

TEST_F(FcComboTest, AReadOnlyComboIgnoresKeysClicksAndTheWheelButCopies) {
  TFcComboBox* list = Focused(csDropDownList);
  list->SetItemIndex(1);
  list->SetReadOnly(true);
  EXPECT_EQ(list->Color(), clWindow);  // the focus colour while focused
  Key(VK_DOWN);
  Type("c");
  Wheel(list, -1);
  Input.Click(list->Handle());
  App.RunFor(50);
  EXPECT_FALSE(list->DroppedDown());
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(Changes, 0);

  TFcComboBox* edit = Focused(csDropDown);
  EXPECT_EQ(list->Color(), clInfoBk);
  edit->SetText("Cherry");
  edit->SetReadOnly(true);
  edit->SelectAll();
  Type("x");
  Key(VK_BACK);
  Key(VK_DOWN);
  EXPECT_EQ(edit->Text(), "Cherry");
  Input.KeyDown(VK_CONTROL);
  Input.Key('C');
  Input.KeyUp(VK_CONTROL);
  App.RunFor(50);
  EXPECT_EQ(test::ClipboardText(), "Cherry");
}

TEST_F(FcComboTest, ValuesStandBesideTheItems) {
  TFcComboBox* combo = Make(csDropDownList, {"One", "Two", "Three"});
  combo->Values()->SetCommaText("1,\"\",3");
  struct TCase {
    int Index;
    const char* Value;
  };
  for (const TCase& c : {TCase{0, "1"}, TCase{1, "Two"}, TCase{2, "3"}}) {
    combo->SetItemIndex(c.Index);
    EXPECT_EQ(combo->Value(), c.Value);
  }
  combo->SetValue("Two");
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetValue("3");
  EXPECT_EQ(combo->ItemIndex(), 2);
  combo->SetValue("three");  // values are compared case-sensitively
  EXPECT_EQ(combo->ItemIndex(), -1);
  // A new Values list sets the value of the chosen item again.
  combo->SetValue("1");
  combo->Values()->SetCommaText("x,y,z");
  EXPECT_EQ(combo->ItemIndex(), 0);
  EXPECT_EQ(combo->Value(), "x");
}

TEST_F(FcComboTest, TheDroppedListIsAsWideAsItsWidestItem) {
  TFcComboBox* combo = Make(csDropDownList, {"a", "b", "c"});
  auto opened = [&] {
    combo->SetDroppedDown(true);
    App.RunFor(20);
    const int w = combo->ActualDropDownWidth();
    combo->SetDroppedDown(false);
    App.RunFor(20);
    return w;
  };
  EXPECT_EQ(opened(), combo->Width());
  const std::string longest = "a much longer item than the combo is wide";
  combo->Items()->Add(longest);
  combo->Canvas()->SetFont(combo->Font());
  const int widest = combo->Canvas()->TextWidth(longest);
  ASSERT_GT(widest + 8, combo->Width());
  EXPECT_EQ(opened(), widest + 8);
  for (int i = 0; i < 5; ++i) combo->Items()->Add("more");
  EXPECT_EQ(opened(), widest + GetSystemMetrics(SM_CXVSCROLL) + 8);  // nine items, eight rows
  combo->SetDropDownWidth(50);
  EXPECT_EQ(opened(), 50);
}

TEST_F(FcComboTest, ListEventsAndDeletedObjects) {
  TFcComboBox* combo = Focused(csDropDownList);
  int ok = 0, cancel = 0;
  combo->OnSelEndOk = [&ok](TObject*) { ++ok; };
  combo->OnSelEndCancel = [&cancel](TObject*) { ++cancel; };
  Key(VK_F4);
  Key(VK_DOWN);
  Key(VK_RETURN);
  EXPECT_EQ(ok, 1);
  Key(VK_F4);
  Key(VK_ESCAPE);
  EXPECT_EQ(cancel, 1);

  TObject tag;
  std::vector<TObject*> deleted;
  combo->OnDeleteItem = [&deleted](TObject*, TObject* Item) { deleted.push_back(Item); };
  combo->Items()->AddObject("tagged", &tag);
  combo->Items()->Delete(0);  // an entry without an object
  combo->Items()->Delete(combo->Items()->Count() - 1);
  EXPECT_EQ(deleted, std::vector<TObject*>{&tag});
}

TEST_F(FcComboTest, SetTextSilentlyKeepsAutoCompleteAsItWas) {
  TFcComboBox* combo = Make(csDropDown);
  combo->SetAutoComplete(false);
  combo->SetTextSilently("Ba");
  EXPECT_EQ(combo->Text(), "Ba");
  EXPECT_FALSE(combo->AutoComplete());
  combo->SetAutoComplete(true);
  combo->SetTextSilently("Ch");
  EXPECT_EQ(combo->Text(), "Ch");  // not completed
  EXPECT_TRUE(combo->AutoComplete());
}

TEST_F(FcComboTest, TheDropButtonIsHiddenWhileReadOnlyAndFlatOnlyBeforeVista) {
  TFcComboBox* combo = Make(csDropDownList);
  const TRect button = combo->ButtonRect();
  auto face = [&] {
    combo->Invalidate();
    App.ProcessMessages();
    return gdi::ColorOfPixel(App.Presenter().Snapshot(combo->Handle()).Get(button.Left + 2, button.Top + 2));
  };
  EXPECT_EQ(face(), ColorToRGB(clBtnFace));
  combo->SetFlatButtons(true);
  EXPECT_EQ(face(), ColorToRGB(clBtnFace));  // the reported 6.1 keeps the default button
  os::SetPlatformVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  EXPECT_EQ(face(), ColorToRGB(clWindow));  // flat and cold: the combo's colour and an arrow
  os::SetPlatformVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  combo->SetFlatButtons(false);
  combo->SetReadOnly(true);
  EXPECT_EQ(face(), ColorToRGB(clInfoBk));
}

// ---- the image combo ----

class FcImageComboTest : public FcComboTest {
 protected:
  FcImageComboTest() : Images(std::make_unique<TImageList>(nullptr)) {
    Images->SetSize(16, 16);
    AddImage(clRed);
    AddImage(clBlue);
    Images->Overlay(1, 0);
    Combo = new TFcImageComboBox(Form.get());
    Combo->SetParent(Form.get());
    Combo->SetBounds(8, 8, 160, 21);
  }
  void AddImage(TColor Color) {
    TBitmap bitmap;
    bitmap.SetSize(16, 16);
    bitmap.Canvas()->Brush()->SetColor(clWhite);
    bitmap.Canvas()->FillRect({0, 0, 16, 16});
    bitmap.Canvas()->Brush()->SetColor(Color);
    bitmap.Canvas()->FillRect(Color == clBlue ? TRect{10, 10, 16, 16} : TRect{0, 0, 16, 16});
    Images->AddMasked(&bitmap, clWhite);
  }
  // The first column of Surface's row Y in Colour (-1: none).
  static int FirstX(const gdi::TSurface& Surface, int Y, TColor Colour) {
    for (int x = 0; x < Surface.Width(); ++x)
      if (gdi::ColorOfPixel(Surface.Get(x, Y)) == ColorToRGB(Colour)) return x;
    return -1;
  }
  std::unique_ptr<TImageList> Images;
  TFcImageComboBox* Combo = nullptr;
};

TEST_F(FcImageComboTest, ItemsAreIndentedByLevelInTheListButNotInTheEditPart) {
  Combo->SetImages(Images.get());
  for (int level = 0; level < 3; ++level) Combo->AddItem("Level " + std::to_string(level), 0, level);
  Combo->SetItemIndex(2);
  Form->Show();
  App.ProcessMessages();
  const gdi::TSurface closed = App.Presenter().Snapshot(Combo->Handle());
  const int editX = FirstX(closed, closed.Height() / 2, clRed);
  EXPECT_EQ(editX, Combo->TextRect().Left + 2);  // the chosen item drawn without its indent

  Combo->SetDroppedDown(true);
  App.RunFor(20);
  const gdi::TSurface list = App.Presenter().Snapshot(Combo->ListBox()->Handle());
  std::vector<int> xs;
  for (int i = 0; i < 3; ++i) {
    const TRect r = Combo->ListBox()->ItemRect(i);
    xs.push_back(FirstX(list, (r.Top + r.Bottom) / 2, clRed));
  }
  ASSERT_GE(xs[0], 0);
  EXPECT_EQ(xs[1] - xs[0], 12);
  EXPECT_EQ(xs[2] - xs[0], 24);
}

TEST_F(FcImageComboTest, AnOverlaySetBackToNoneIsGoneAtTheNextPaint) {
  Combo->SetImages(Images.get());
  TFcImageComboBoxItem* item = Combo->AddItem("Folder", 0, 0);
  Combo->SetItemIndex(0);
  item->SetOverlayIndex(0);
  Form->Show();
  App.ProcessMessages();
  const int y = Combo->Height() / 2 + 4;
  EXPECT_GE(FirstX(App.Presenter().Snapshot(Combo->Handle()), y, clBlue), 0);
  item->SetOverlayIndex(-1);
  App.ProcessMessages();
  EXPECT_EQ(FirstX(App.Presenter().Snapshot(Combo->Handle()), y, clBlue), -1);
}

TEST_F(FcImageComboTest, IndexOfItemComparesCaptionsIgnoringCase) {
  Combo->Items()->Add("plain");  // an entry without an item
  Combo->AddItem("Music", 0, 0);
  Combo->AddItem("Документы", 0, 1);
  EXPECT_EQ(Combo->IndexOfItem("MUSIC"), 1);
  EXPECT_EQ(Combo->IndexOfItem("документы"), 2);
  EXPECT_EQ(Combo->IndexOfItem("plain"), -1);
  EXPECT_EQ(Combo->GetImageItem(0), nullptr);
  EXPECT_EQ(Combo->GetImageItem(1)->Caption(), "Music");
  Combo->GetImageItem(1)->SetCaption("Songs");
  EXPECT_EQ(Combo->Items()->Strings(1), "Music");  // the caption is the item's alone
}

TEST_F(FcImageComboTest, TheItemHeightFollowsTheFontAndTheImages) {
  Combo->Font()->SetHeight(-13);
  Combo->SetImages(Images.get());
  EXPECT_EQ(Combo->ItemHeight(), 17);
  TImageList tall(nullptr);
  tall.SetSize(20, 20);
  Combo->SetImages(&tall);
  EXPECT_EQ(Combo->ItemHeight(), 20);
  Combo->SetImages(nullptr);
  EXPECT_EQ(Combo->ItemHeight(), 17);
}

TEST_F(FcImageComboTest, EachItemIsFreedOnceWithOneDeleteEvent) {
  std::vector<std::string> deleted;
  auto fill = [&](TFcImageComboBox* combo) {
    combo->OnDeleteItem = [&deleted](TObject*, TFcImageComboBoxItem* Item) { deleted.push_back(Item->Caption()); };
    for (const char* c : {"a", "b", "c"}) combo->AddItem(c, 0, 0);
  };
  fill(Combo);
  Combo->ClearItems();
  EXPECT_EQ(deleted, (std::vector<std::string>{"c", "b", "a"}));
  EXPECT_EQ(Combo->Items()->Count(), 0);
  deleted.clear();
  fill(Combo);
  Combo->DeleteItem(1);
  EXPECT_EQ(deleted, std::vector<std::string>{"b"});
  deleted.clear();
  delete Combo;  // the sanitizer sees a leak or a second free
  EXPECT_EQ(deleted, (std::vector<std::string>{"c", "a"}));
}

}  // namespace
