#include <cstring>
#include <string>

#include "platform/controls/Mask.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Focus.h"
#include "platform/os/SystemMetrics.h"
#include "platform/rtl/FormatSettings.h"
#include "tests/platform/controls/ControlFixtures.h"
#include "tests/support/Snapshot.h"

namespace {

using namespace ctltest;

constexpr const char* kTimeMask = "!90:00:00;1;_";
constexpr const char* kPhoneMask = "000-0000;0;_";

class MaskEditTest : public ControlTest {
 protected:
  MaskEditTest() {
    FSaved = FormatSettings();
    FormatSettings().TimeSeparator = ":";
    Edit = Make<TMaskEdit>(Form, "Mask1", Bounds(10, 10, 150, 21));
    Edit->SetText("");
    Next = Make<TEdit>(Form, "Next", Bounds(10, 50, 150, 21));
    Edit->OnChange = [this](TObject*) { ++Changes; };
    os::ResetClipboard();
  }
  ~MaskEditTest() override {
    FormatSettings() = FSaved;
    os::ResetClipboard();
  }
  void Focus() {
    ShowForm();
    Edit->SetFocus();
    Pump();
  }
  void Keys(std::initializer_list<UINT> keys) {
    for (UINT k : keys) Input.Key(k);
    Pump();
  }
  void Type(const std::string& text) {
    Input.Type(text);
    Pump();
  }
  int Caret() { return Edit->SelStart(); }

  TMaskEdit* Edit;
  TEdit* Next;
  int Changes = 0;
  TFormatSettings FSaved;
};

TEST_F(MaskEditTest, TypingFillsPositionsAndStepsOverLiterals) {
  Edit->SetEditMask(kPhoneMask);
  EXPECT_EQ(Edit->EditText(), "___-____");
  EXPECT_EQ(Edit->MaxLength(), 8) << "the mask sets the length";
  Focus();
  Changes = 0;
  Keys({VK_HOME});
  Type("555");
  EXPECT_EQ(Edit->EditText(), "555-____");
  Type("12");
  EXPECT_EQ(Edit->EditText(), "555-12__");
  EXPECT_EQ(Edit->Text(), "55512") << "the value without literals, trailing blanks trimmed";
  EXPECT_EQ(Caret(), 6);
  EXPECT_EQ(Changes, 5);
  const int beeps = os::BeepCount();
  Type("x");
  EXPECT_EQ(Edit->EditText(), "555-12__") << "a letter does not fit a digit";
  EXPECT_GT(os::BeepCount(), beeps);
  // Backspace empties the position before the caret, crossing the literal.
  Keys({VK_BACK, VK_BACK, VK_BACK});
  EXPECT_EQ(Edit->EditText(), "55_-____");
  EXPECT_EQ(Caret(), 2);
  // Delete empties the position at the caret; arrows skip literals.
  Keys({VK_HOME, VK_DELETE});
  EXPECT_EQ(Edit->EditText(), "_5_-____");
  Keys({VK_END, VK_LEFT});
  EXPECT_EQ(Caret(), 7);
  Edit->SetSelStart(3);
  Keys({VK_RIGHT});
  EXPECT_EQ(Caret(), 4) << "Right from before the literal lands past it";
}

TEST_F(MaskEditTest, TextAndEditTextFollowTheSaveLiteralsField) {
  Edit->SetEditMask(kTimeMask);
  Edit->SetText("8:30:15");
  EXPECT_EQ(Edit->EditText(), "_8:30:15") << "empty positions show the blank";
  EXPECT_EQ(Edit->Text(), " 8:30:15");
  Edit->SetText("");
  Edit->SetEditMask("00:00;0;*");
  EXPECT_EQ(Edit->EditText(), "**:**");
  Edit->SetText("1234");
  EXPECT_EQ(Edit->EditText(), "12:34");
  EXPECT_EQ(Edit->Text(), "1234");
  ShowForm();
  char buffer[16];
  SendMessage(Edit->Handle(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  EXPECT_STREQ(buffer, "12:34") << "the window holds the edit text";
  // Without a mask it is a plain edit again, keeping the value and its own MaxLength.
  Edit->SetMaxLength(3);
  EXPECT_EQ(Edit->MaxLength(), 5);
  Edit->SetEditMask("");
  EXPECT_FALSE(Edit->IsMasked());
  EXPECT_EQ(Edit->Text(), "1234");
  EXPECT_EQ(Edit->MaxLength(), 3);
  Edit->SetFocus();
  Edit->SetText("");
  Type("abcdef");
  EXPECT_EQ(Edit->Text(), "abc");
}

TEST_F(MaskEditTest, EscapeRestoresTheTextOfEntry) {
  Edit->SetEditMask(kPhoneMask);
  Edit->SetText("1234567");
  Focus();
  Keys({VK_HOME});
  Type("99");
  EXPECT_EQ(Edit->EditText(), "993-4567");
  EXPECT_TRUE(Edit->Modified());
  Keys({VK_ESCAPE});
  EXPECT_EQ(Edit->EditText(), "123-4567");
  EXPECT_FALSE(Edit->Modified());
}

TEST_F(MaskEditTest, LeavingWithARequiredPositionEmptyRaisesTheMaskError) {
  Edit->SetEditMask(kPhoneMask);
  Focus();
  Keys({VK_HOME});
  Type("12");
  EXPECT_THROW(Edit->ValidateEdit(), EDBEditError);
  EXPECT_EQ(Caret(), 2) << "the caret goes to the first empty required position";
  try {
    Edit->ValidateEdit();
  } catch (const EDBEditError& e) {
    EXPECT_STREQ(e.what(), SMaskEditErr);
  }
  Type("34567");
  EXPECT_NO_THROW(Edit->ValidateEdit());
  // An unchanged edit is not checked.
  Edit->SetText("");
  EXPECT_NO_THROW(Edit->ValidateEdit());
}

TEST_F(MaskEditTest, ClipboardAndUndoKeepTheMask) {
  Edit->SetEditMask(kPhoneMask);
  Focus();
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 8);
  std::memcpy(GlobalLock(mem), "12a4567", 8);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
  Keys({VK_HOME});
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->EditText(), "12_-____") << "the paste stops at the first character that does not fit";
  Edit->SelectAll();
  Edit->CutToClipboard();
  EXPECT_EQ(Edit->EditText(), "___-____");
  EXPECT_EQ(controls::ClipboardText(nullptr), "12_-____");
  Edit->Undo();
  EXPECT_EQ(Edit->EditText(), "12_-____");
  EXPECT_EQ(Edit->Text(), "12");
  Edit->SetReadOnly(true);
  Edit->SelectAll();
  Edit->ClearSelection();
  Type("9");
  EXPECT_EQ(Edit->EditText(), "12_-____");
}

TEST_F(MaskEditTest, ChineseInAnyCharacterPositions) {
  Edit->SetEditMask("cccc;1;_");
  Focus();
  Keys({VK_HOME});
  Type("中文");
  EXPECT_EQ(Edit->EditText(), "中文__");
  EXPECT_EQ(Caret(), 2);
  Keys({VK_BACK});
  EXPECT_EQ(Edit->EditText(), "中___");
}

TEST_F(MaskEditTest, TabbingAwayFromAnIncompleteTextKeepsTheFocus) {
  Edit->SetEditMask(kPhoneMask);
  std::string error;
  Application->OnException = [&](TObject*, const Exception& E) { error = E.what(); };
  Focus();
  Keys({VK_HOME});
  Type("12");
  Keys({VK_TAB});
  EXPECT_EQ(error, SMaskEditErr);
  EXPECT_EQ(FindControl(GetFocus()), Edit);
  EXPECT_EQ(Form->ActiveControl(), Edit);
  Type("34567");
  Keys({VK_TAB});
  EXPECT_EQ(FindControl(GetFocus()), Next);
}

TEST_F(MaskEditTest, Snapshot) {
  Form->SetColor(clBtnFace);
  Edit->SetEditMask(kTimeMask);
  Edit->SetText("9:05:");
  TMaskEdit* phone = Make<TMaskEdit>(Form, "Mask2", Bounds(170, 10, 110, 21));
  phone->SetText("");
  phone->SetEditMask("!\\(999\\)000-0000;1;_");
  Form->SetHeight(41);
  ShowForm();
  Edit->SetFocus();
  App.RunFor(controls::CaretBlinkTime + 10);
  EXPECT_TRUE(test::MatchesSnapshot(App.Presenter().Snapshot(Form->Handle()), "controls-mask-edits", 24, 100));
}

}  // namespace
