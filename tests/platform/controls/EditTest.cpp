#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/controls/StdCtrls.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Focus.h"
#include "platform/os/SystemMetrics.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

void SetClipboardText(const std::string& text) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

class EditTest : public ControlTest {
 protected:
  EditTest() {
    Edit = Make<TEdit>(Form, "Edit1", Bounds(10, 10, 150, 21));
    Edit->OnChange = [this](TObject*) { ++Changes; };
    Other = Make<TEdit>(Form, "Edit2", Bounds(10, 50, 150, 21));
    os::ResetClipboard();
  }
  ~EditTest() override { os::ResetClipboard(); }
  // Shows the form with the first edit focused.
  void Focus() {
    ShowForm();
    Edit->SetFocus();
    Pump();
  }
  void Keys(std::initializer_list<UINT> keys) {
    for (UINT k : keys) Input.Key(k);
    Pump();
  }
  void WithKey(UINT modifier, std::initializer_list<UINT> keys) {
    Input.KeyDown(modifier);
    for (UINT k : keys) Input.Key(k);
    Input.KeyUp(modifier);
    Pump();
  }
  std::pair<int, int> Sel() { return {Edit->SelStart(), Edit->SelLength()}; }
  // The client point of a character's left edge in the first edit.
  TPoint CharPoint(int index) {
    LRESULT p = SendMessage(Edit->Handle(), EM_POSFROMCHAR, static_cast<WPARAM>(index), 0);
    return LParamToPoint(p);
  }

  TEdit* Edit;
  TEdit* Other;
  int Changes = 0;
};

TEST_F(EditTest, TypingInsertsAtTheCaretAndTellsOfEachChange) {
  Focus();
  Input.Type("hello");
  Pump();
  EXPECT_EQ(Edit->Text(), "hello");
  EXPECT_EQ(Changes, 5);
  EXPECT_TRUE(Edit->Modified());
  Keys({VK_LEFT, VK_LEFT});
  Input.Type("XY");
  Pump();
  EXPECT_EQ(Edit->Text(), "helXYlo");
  EXPECT_EQ(Sel(), std::make_pair(5, 0));
  Keys({VK_BACK, VK_DELETE});
  EXPECT_EQ(Edit->Text(), "helXo");
  // Setting the text is a change too, but not a modification by the user.
  Edit->SetText("new");
  EXPECT_FALSE(Edit->Modified());
  EXPECT_EQ(Changes, 10);
}

TEST_F(EditTest, ChangeNotificationReachesTheParentAsEnChange) {
  std::vector<WORD> codes;
  Form->WindowProc = [this, &codes, old = Form->WindowProc](TMessage& M) {
    if (M.Msg == WM_COMMAND && reinterpret_cast<HWND>(M.LParam) == Edit->Handle()) codes.push_back(HIWORD(M.WParam));
    old(M);
  };
  Focus();
  Input.Type("a");
  Pump();
  EXPECT_NE(std::find(codes.begin(), codes.end(), EN_CHANGE), codes.end());
  EXPECT_EQ(Changes, 1);
}

TEST_F(EditTest, AHandlerMayFreeTheEditItIsToldAbout) {
  Focus();
  Edit->OnChange = [this](TObject*) {
    TEdit* doomed = Edit;
    Edit = nullptr;
    delete doomed;
  };
  Input.Type("ab");
  Pump();
  EXPECT_EQ(Edit, nullptr);
  EXPECT_EQ(Other->Text(), "Edit2");
}

TEST_F(EditTest, KeyboardSelectionWithShiftAndCtrl) {
  Edit->SetText("one two three");
  Focus();
  Edit->SetSelStart(0);
  WithKey(VK_SHIFT, {VK_RIGHT, VK_RIGHT});
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
  EXPECT_EQ(Edit->SelText(), "on");
  Keys({VK_RIGHT});  // collapses to the end of the selection
  EXPECT_EQ(Sel(), std::make_pair(2, 0));
  WithKey(VK_CONTROL, {VK_RIGHT});
  EXPECT_EQ(Sel(), std::make_pair(4, 0));
  Input.KeyDown(VK_CONTROL);
  Input.KeyDown(VK_SHIFT);
  Input.Key(VK_RIGHT);
  Input.KeyUp(VK_SHIFT);
  Input.KeyUp(VK_CONTROL);
  Pump();
  EXPECT_EQ(Edit->SelText(), "two ");
  WithKey(VK_SHIFT, {VK_END});
  EXPECT_EQ(Edit->SelText(), "two three");
  Keys({VK_HOME});
  EXPECT_EQ(Sel(), std::make_pair(0, 0));
  WithKey(VK_CONTROL, {'A'});
  EXPECT_EQ(Sel(), std::make_pair(0, 13));
}

TEST_F(EditTest, TabbingInSelectsAllButClickingPlacesTheCaret) {
  Edit->SetText("abc");
  Other->SetText("defgh");
  Focus();
  Input.Key(VK_TAB);
  Pump();
  EXPECT_EQ(FindControl(GetFocus()), Other);
  EXPECT_EQ(Other->SelLength(), 5);
  Input.Click(Edit->Handle(), TPoint(CharPoint(1).X + 1, 8));
  Pump();
  EXPECT_EQ(FindControl(GetFocus()), Edit);
  EXPECT_EQ(Sel(), std::make_pair(1, 0));
  Other->SetAutoSelect(false);
  Other->SetSelStart(0);
  Input.Key(VK_TAB);
  Pump();
  EXPECT_EQ(Other->SelLength(), 0);
}

TEST_F(EditTest, MouseDragSelectsAndDoubleClickSelectsAWord) {
  Edit->SetText("alpha beta gamma");
  Focus();
  HWND h = Edit->Handle();
  Input.Drag(Input.ScreenPoint(h, TPoint(CharPoint(6).X, 8)), Input.ScreenPoint(h, TPoint(CharPoint(10).X, 8)));
  Pump();
  EXPECT_EQ(Edit->SelText(), "beta");
  Input.DoubleClick(h, TPoint(CharPoint(12).X + 1, 8));
  App.RunFor(100);
  EXPECT_EQ(Edit->SelText(), "gamma");
  // Shift+click extends from the anchor.
  Edit->SetSelStart(0);
  Input.KeyDown(VK_SHIFT);
  Input.Click(h, TPoint(CharPoint(5).X, 8));
  Input.KeyUp(VK_SHIFT);
  Pump();
  EXPECT_EQ(Edit->SelText(), "alpha");
}

TEST_F(EditTest, DraggingPastTheEdgeScrollsWideText) {
  std::string wide;
  for (int i = 0; i < 12; ++i) wide += "word" + std::to_string(i) + " ";
  Edit->SetText(wide);
  Focus();
  HWND h = Edit->Handle();
  Edit->SetSelStart(0);
  Pump();
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  // Held beyond the right edge: the selection grows while time passes.
  Input.MoveTo(h, TPoint(CharPoint(1).X, 8));
  Input.Press();
  Input.MoveTo(h, TPoint(Edit->ClientWidth() + 20, 8));
  Input.Wait(1000);
  Input.Release();
  App.RunFor(1200);
  EXPECT_EQ(Edit->SelStart(), 1);
  EXPECT_GT(Edit->SelLength(), 30);
  EXPECT_GT(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the text scrolled";
  // The caret at the end keeps the end in view; Home scrolls back.
  Keys({VK_END});
  EXPECT_GT(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 10);
  Keys({VK_HOME});
  EXPECT_EQ(SendMessage(h, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
}

TEST_F(EditTest, ClipboardThroughKeysAndMethods) {
  Edit->SetText("copy me");
  Focus();
  Edit->SelectAll();
  WithKey(VK_CONTROL, {'C'});
  EXPECT_EQ(test::ClipboardText(), "copy me");
  Edit->SetSelStart(4);
  Edit->SetSelLength(3);
  WithKey(VK_CONTROL, {'X'});
  EXPECT_EQ(Edit->Text(), "copy");
  EXPECT_EQ(test::ClipboardText(), " me");
  Keys({VK_HOME});
  WithKey(VK_CONTROL, {'V'});
  EXPECT_EQ(Edit->Text(), " mecopy");
  // Shift+Insert pastes, Ctrl+Insert copies, Shift+Delete cuts.
  SetClipboardText("X");
  WithKey(VK_SHIFT, {VK_INSERT});
  EXPECT_EQ(Edit->Text(), " meXcopy");
  Edit->SelectAll();
  WithKey(VK_CONTROL, {VK_INSERT});
  EXPECT_EQ(test::ClipboardText(), " meXcopy");
  WithKey(VK_SHIFT, {VK_DELETE});
  EXPECT_EQ(Edit->Text(), "");
  // The methods.
  SetClipboardText("line one\r\nline two");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "line one") << "one line: a paste stops at the line break";
  Edit->SelectAll();
  Edit->CutToClipboard();
  EXPECT_EQ(test::ClipboardText(), "line one");
  Edit->SetText("abc");
  Edit->SelectAll();
  Edit->CopyToClipboard();
  EXPECT_EQ(test::ClipboardText(), "abc");
}

TEST_F(EditTest, UndoTakesBackTheLastChangeAndUndoAgainRedoesIt) {
  Edit->SetText("base");
  Focus();
  EXPECT_FALSE(Edit->CanUndo()) << "setting the text leaves nothing to undo";
  Keys({VK_END});
  Input.Type("123");
  Pump();
  EXPECT_TRUE(Edit->CanUndo());
  WithKey(VK_CONTROL, {'Z'});
  EXPECT_EQ(Edit->Text(), "base") << "a run of typing is one change";
  Edit->Undo();
  EXPECT_EQ(Edit->Text(), "base123");
  Edit->SelectAll();
  Keys({VK_DELETE});
  EXPECT_EQ(Edit->Text(), "");
  EXPECT_EQ(SendMessage(Edit->Handle(), EM_UNDO, 0, 0), TRUE);
  EXPECT_EQ(Edit->Text(), "base123");
  Edit->ClearUndo();
  EXPECT_FALSE(Edit->CanUndo());
}

TEST_F(EditTest, MaxLengthStopsTypingAndPastingButNotTheProgram) {
  Edit->SetMaxLength(5);
  Focus();
  const int beeps = os::BeepCount();
  Input.Type("abcdefg");
  Pump();
  EXPECT_EQ(Edit->Text(), "abcde");
  EXPECT_GT(os::BeepCount(), beeps);
  Edit->SetSelStart(1);
  Edit->SetSelLength(1);
  SetClipboardText("XYZ");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "aXcde") << "the paste is cut to the room left";
  Edit->SetText("longer than five");
  EXPECT_EQ(Edit->Text(), "longer than five");
  EXPECT_EQ(SendMessage(Edit->Handle(), EM_GETLIMITTEXT, 0, 0), 5);
}

TEST_F(EditTest, PasswordHidesTheTextAndRefusesCopying) {
  Edit->SetPasswordChar(U'*');
  Edit->SetText("secret");
  SetClipboardText("before");
  Focus();
  Edit->SelectAll();
  Edit->CopyToClipboard();
  WithKey(VK_CONTROL, {'X'});
  EXPECT_EQ(test::ClipboardText(), "before");
  EXPECT_EQ(Edit->Text(), "secret");
  EXPECT_EQ(SendMessage(Edit->Handle(), EM_GETPASSWORDCHAR, 0, 0), U'*');
  EXPECT_NE(GetWindowLongPtr(Edit->Handle(), GWL_STYLE) & ES_PASSWORD, 0);
}

TEST_F(EditTest, ReadOnlyRefusesChangesButAllowsSelectingAndCopying) {
  Edit->SetText("fixed");
  Edit->SetReadOnly(true);
  Focus();
  const int beeps = os::BeepCount();
  Keys({VK_END});
  Input.Type("x");
  Keys({VK_BACK});
  Edit->SelectAll();
  Edit->CutToClipboard();
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->Text(), "fixed");
  EXPECT_GT(os::BeepCount(), beeps);
  Edit->CopyToClipboard();
  EXPECT_EQ(test::ClipboardText(), "fixed");
  // EM_SETREADONLY is what the property sends.
  SendMessage(Edit->Handle(), EM_SETREADONLY, 0, 0);
  Keys({VK_END});
  Input.Type("x");
  Pump();
  EXPECT_EQ(Edit->Text(), "fixedx");
}

TEST_F(EditTest, ChinesePositionsAreCharacters) {
  Edit->SetText("中文输入");
  Focus();
  Edit->SetSelStart(1);
  Edit->SetSelLength(2);
  EXPECT_EQ(Edit->SelText(), "文输");
  Keys({VK_DELETE});
  EXPECT_EQ(Edit->Text(), "中入");
  Input.Type("测试");
  Pump();
  EXPECT_EQ(Edit->Text(), "中测试入");
  EXPECT_EQ(Sel(), std::make_pair(3, 0));
  Keys({VK_BACK});
  EXPECT_EQ(Edit->Text(), "中测入");
  Edit->SetMaxLength(4);
  Input.Type("一二");
  Pump();
  EXPECT_EQ(Edit->Text(), "中测一入") << "the limit counts characters, not bytes";
  // A short buffer never gets half a character.
  char buffer[5];
  EXPECT_EQ(SendMessage(Edit->Handle(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 3);
}

TEST_F(EditTest, InsertKeyTogglesOverwrite) {
  Edit->SetText("abcd");
  Focus();
  Edit->SetSelStart(1);
  Keys({VK_INSERT});
  Input.Type("XY");
  Pump();
  EXPECT_EQ(Edit->Text(), "aXYd");
  Keys({VK_INSERT});
  Input.Type("Z");
  Pump();
  EXPECT_EQ(Edit->Text(), "aXYZd");
}

TEST_F(EditTest, CharCaseConvertsTypedAndSetText) {
  Edit->SetCharCase(ecUpperCase);
  Edit->SetText("mixed");
  Focus();
  EXPECT_EQ(Edit->Text(), "MIXED");
  Keys({VK_END});
  Input.Type("ab");
  Pump();
  EXPECT_EQ(Edit->Text(), "MIXEDAB");
  Edit->SetCharCase(ecLowerCase);
  EXPECT_EQ(Edit->Text(), "mixedab");
}

TEST_F(EditTest, MessagesOfTheEditWindow) {
  Edit->SetText("0123456789");
  ShowForm();
  HWND h = Edit->Handle();
  SendMessage(h, EM_SETSEL, 7, 3);  // the caret at 3, the anchor at 7
  DWORD a = 0, b = 0;
  SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
  EXPECT_EQ(a, 3u);
  EXPECT_EQ(b, 7u);
  SendMessage(h, EM_SETSEL, 2, -1);
  EXPECT_EQ(Edit->SelText(), "23456789");
  SendMessage(h, EM_SETSEL, 50, 60);
  EXPECT_EQ(Sel(), std::make_pair(10, 0));
  EXPECT_EQ(SendMessage(h, EM_LINEFROMCHAR, 5, 0), 0);
  EXPECT_EQ(SendMessage(h, EM_LINEINDEX, 0, 0), 0);
  EXPECT_EQ(SendMessage(h, EM_LINEINDEX, 1, 0), -1);
  EXPECT_EQ(SendMessage(h, EM_GETLINECOUNT, 0, 0), 1);
  // Margins move the formatting rectangle; EM_SETRECT replaces it.
  TRect r;
  SendMessage(h, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(5, 7));
  SendMessage(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  TRect client = Edit->ClientRect();
  EXPECT_EQ(r.Left, 5);
  EXPECT_EQ(r.Right, client.Right - 7);
  TRect set{20, 2, 140, 15};
  SendMessage(h, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&set));
  SendMessage(h, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r, set);
  EXPECT_EQ(LParamToPoint(SendMessage(h, EM_POSFROMCHAR, 0, 0)).X, 20);
  // Clear and cut/paste messages.
  SendMessage(h, EM_SETSEL, 0, 2);
  SendMessage(h, WM_CLEAR, 0, 0);
  EXPECT_EQ(Edit->Text(), "23456789");
  SendMessage(h, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("ab"));
  EXPECT_EQ(Edit->Text(), "ab23456789");
  EXPECT_EQ(SendMessage(h, EM_CANUNDO, 0, 0), TRUE);
  char buffer[64];
  EXPECT_EQ(SendMessage(h, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 10);
  EXPECT_STREQ(buffer, "ab23456789");
}

TEST_F(EditTest, AutoSizeFitsTheFontAndBorderStyleSetsTheEdge) {
  const int first = Edit->Height();
  EXPECT_GT(first, Edit->Font()->Height() < 0 ? -Edit->Font()->Height() : 10);
  Edit->SetHeight(60);
  EXPECT_EQ(Edit->Height(), first) << "the height follows the font";
  Edit->Font()->SetSize(20);
  EXPECT_GT(Edit->Height(), first);
  ShowForm();
  EXPECT_NE(GetWindowLongPtr(Edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  Edit->SetBorderStyle(bsNone);
  EXPECT_EQ(GetWindowLongPtr(Edit->Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  Edit->SetAutoSize(false);
  Edit->SetHeight(60);
  EXPECT_EQ(Edit->Height(), 60);
}

TEST_F(EditTest, CaretBlinksWithTheBlinkTime) {
  Edit->SetText("a");
  Focus();
  HWND h = Edit->Handle();
  Edit->SetSelStart(0);
  Pump();
  const TPoint at = CharPoint(0);
  auto caretPixel = [&] {
    TPoint p = Edit->ClientOrigin();
    TPoint f = Form->ClientOrigin();
    return Pixel(p.X - f.X + at.X, p.Y - f.Y + at.Y + 5);
  };
  const COLORREF on = caretPixel();
  App.RunFor(controls::CaretBlinkTime + 10);
  const COLORREF off = caretPixel();
  EXPECT_NE(on, off);
  App.RunFor(controls::CaretBlinkTime);
  EXPECT_EQ(caretPixel(), on);
  // No caret without the focus.
  Other->SetFocus();
  App.RunFor(controls::CaretBlinkTime * 3);
  EXPECT_EQ(caretPixel(), off);
  (void)h;
}

TEST_F(EditTest, CueBannerShowsInAnEmptyEditOnly) {
  Edit->SetText("");
  ShowForm();
  Other->SetFocus();
  Pump();
  auto Inked = [&](TEdit* e) {
    TPoint p = e->ClientOrigin(), f = Form->ClientOrigin();
    int count = 0;
    for (int y = 0; y < e->ClientHeight(); ++y)
      for (int x = 0; x < e->ClientWidth(); ++x)
        if (Pixel(p.X - f.X + x, p.Y - f.Y + y) != ColorToRGB(clWindow)) ++count;
    return count;
  };
  EXPECT_EQ(Inked(Edit), 0);
  SendMessage(Edit->Handle(), EM_SETCUEBANNER, 0, reinterpret_cast<LPARAM>("请输入"));
  Pump();
  EXPECT_GT(Inked(Edit), 10);
  // Focused: the banner goes unless asked to stay.
  Edit->SetFocus();
  App.RunFor(controls::CaretBlinkTime + 10);  // caret off
  EXPECT_EQ(Inked(Edit), 0);
  SendMessage(Edit->Handle(), EM_SETCUEBANNER, 1, reinterpret_cast<LPARAM>("请输入"));
  Pump();
  EXPECT_GT(Inked(Edit), 10);
}

TEST_F(EditTest, Snapshot) {
  Form->SetColor(clBtnFace);
  Edit->SetText("Hello 你好 world");
  Other->SetText("selected text");
  TEdit* ro = Make<TEdit>(Form, "Edit3", Bounds(10, 90, 150, 21));
  ro->SetText("read only");
  ro->SetReadOnly(true);
  TEdit* off = Make<TEdit>(Form, "Edit4", Bounds(10, 130, 150, 21));
  off->SetText("disabled");
  off->SetEnabled(false);
  TEdit* pw = Make<TEdit>(Form, "Edit5", Bounds(170, 10, 110, 21));
  pw->SetPasswordChar(U'*');
  pw->SetText("secret");
  TEdit* flat = Make<TEdit>(Form, "Edit6", Bounds(170, 50, 110, 21));
  flat->SetBorderStyle(bsNone);
  flat->SetText("no border");
  ShowForm();
  Other->SetFocus();
  Other->SelectAll();
  App.RunFor(controls::CaretBlinkTime + 10);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-edits", 24, 150));
}

}  // namespace
