#include "platform/controls/MaskUtils.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

namespace {

constexpr const char* kDateMask = "!99/99/0000;1;_";
constexpr const char* kTimeMask = "!90:00:00;1;_";
constexpr const char* kPhoneMask = "!\\(999\\)000-0000;1;_";

// The ':' and '/' of a mask follow the format settings; the tests pin them.
class MaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    FSaved = FormatSettings();
    FormatSettings().DateSeparator = "/";
    FormatSettings().TimeSeparator = ":";
  }
  void TearDown() override { FormatSettings() = FSaved; }

 private:
  TFormatSettings FSaved;
};

// Types `keys` one by one, starting at the first input position, as the edit control does.
struct TTyped {
  std::string EditText;
  int Caret = 0;
  std::string Refused;  // the keys that were refused
};

TTyped TypeKeys(TMaskEditModel& model, const std::u32string& keys, int caret = -1) {
  TTyped typed;
  typed.Caret = caret < 0 ? model.CaretHome() : caret;
  for (char32_t key : keys) {
    const TMaskInputResult result = model.InputChar(typed.Caret, key);
    if (result.Accepted) {
      typed.Caret = result.Caret;
    } else {
      EXPECT_EQ(result.Caret, typed.Caret);
      std::string refused;
      rtl::AppendUtf8(refused, key);
      typed.Refused += refused;
    }
  }
  typed.EditText = model.EditText();
  return typed;
}

// Checks the result of one key and the text it leaves.
void ExpectInput(const TMaskEditModel& model, const TMaskInputResult& result, bool accepted, int caret,
                 const char* editText) {
  EXPECT_EQ(result.Accepted, accepted);
  EXPECT_EQ(result.Caret, caret);
  EXPECT_EQ(model.EditText(), editText);
}

TEST_F(MaskTest, FieldsOfTheMask) {
  struct Case {
    const char* Mask;
    int Separator;
    bool Save;
    char32_t Blank;
  };
  const Case cases[] = {
      {kDateMask, 12, true, U'_'},
      {"000;0;*", 4, false, U'*'},
      {"\\;00;0; ", 5, false, U' '},    // an escaped ';' is a literal
      {"999", -1, true, U'_'},
      {"999;1", 4, true, U'_'},
      {"999;;#", 4, true, U'#'},
      {"999;0;", 4, false, U'_'},       // an empty blank field keeps the default
      {"000;0;;", 4, false, U';'},
      {"中0;0;＿", 3, false, U'＿'},     // positions count code points
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Mask);
    EXPECT_EQ(MaskGetFldSeparator(c.Mask), c.Separator);
    EXPECT_EQ(MaskGetMaskSave(c.Mask), c.Save);
    EXPECT_EQ(MaskGetMaskBlank(c.Mask), c.Blank);
  }
}

TEST_F(MaskTest, SeparatorsComeFromTheFormatSettings) {
  EXPECT_EQ(MaskIntlLiteralToChar(U'/'), U'/');
  FormatSettings().DateSeparator = "-";
  FormatSettings().TimeSeparator = "时";
  EXPECT_EQ(MaskIntlLiteralToChar(U'/'), U'-');
  EXPECT_EQ(MaskIntlLiteralToChar(U':'), U'时');
  EXPECT_EQ(MaskIntlLiteralToChar(U'x'), U'x');
  // An escaped separator stays as written.
  EXPECT_EQ(TMaskEditModel("99/99:99\\/9;1;_").EditText(), "__-__时__/_");
  EXPECT_EQ(FormatMaskText("!99/99/0000;1;_", "1-2-2024"), " 1- 2-2024");
}

TEST_F(MaskTest, FormatMaskTextMergesAStoredValue) {
  struct Case {
    const char* Mask;
    const char* Value;
    const char* Expected;
  };
  const Case cases[] = {
      {"!\\(999\\)000-0000;0;_", "5551234567", "(555)123-4567"},
      {"!\\(999\\)000-0000;0;_", "1234567", "(   )123-4567"},  // filled from the end
      {"000-0000;0;_", "12", "12 -    "},                       // filled from the start
      {kDateMask, "1/2/2024", " 1/ 2/2024"},                    // each group right-aligned
      {"99/99/0000;1;_", "1/2/2024", "1 /2 /2024"},
      {kDateMask, "12/05/2024", "12/05/2024"},
      {kTimeMask, "9:05:00", " 9:05:00"},
      {kPhoneMask, "5551234567", "(555)123-4567"},              // literals missing from the value
      {">LL<ll;0;_", "abCD", "ABcd"},
      {"000;0;_", "abc", "abc"},                                // shown even where it does not fit
      {"", "as it is", "as it is"},
      {";1;_", "no mask", "no mask"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Value);
    EXPECT_EQ(FormatMaskText(c.Mask, c.Value), c.Expected);
  }
}

TEST_F(MaskTest, TextPutIntoTheMaskAndReadBack) {
  struct Case {
    const char* Mask;
    const char* Value;
    const char* EditText;
    const char* Text;
  };
  const Case cases[] = {
      {kDateMask, "", "__/__/____", "  /  /    "},
      {kDateMask, "1/2/2024", "_1/_2/2024", " 1/ 2/2024"},
      {kTimeMask, "9:05:00", "_9:05:00", " 9:05:00"},
      {kPhoneMask, "(555)123-4567", "(555)123-4567", "(555)123-4567"},
      {"!\\(999\\)000-0000;0;_", "1234567", "(___)123-4567", "1234567"},
      {"999;0;_", "12", "12_", "12"},           // trailing blanks trimmed
      {"!999;0;_", "12", "_12", "12"},          // leading blanks trimmed
      {"999;0;_", "1 3", "1_3", "1 3"},
      {"000;0;_", "1a3", "1_3", "1 3"},         // a letter does not go into a digit position
      {">LL<ll;1;_", "abcd", "ABcd", "ABcd"},
      {"LL;1;*", "", "**", "  "},
      {"CC;1;_", "中文", "中文", "中文"},
      {"\\L0;1;_", "L5", "L5", "L5"},
      {"000_000;1;_", "12 345", "12_ 345", "12  345"},
      {"", "plain text", "plain text", "plain text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " <- " + c.Value);
    TMaskEditModel model(c.Mask);
    model.SetText(c.Value);
    EXPECT_EQ(model.EditText(), c.EditText);
    EXPECT_EQ(model.Text(), c.Text);
  }
}

TEST_F(MaskTest, TextRoundTripsThroughSetText) {
  struct Case {
    const char* Mask;
    const char* EditText;
  };
  const Case cases[] = {
      {kDateMask, "_1/__/2024"}, {kDateMask, "__/__/____"}, {kTimeMask, "1_:_5:00"},
      {"!999;0;_", "_1_"},       {"999;0;_", "1_3"},        {"000_000;1;_", "__1 234"},
      {"000_000;0;_", "__1 2_4"}, {kPhoneMask, "(___)1_3-4567"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " " + c.EditText);
    TMaskEditModel model(c.Mask);
    model.SetEditText(c.EditText);
    ASSERT_EQ(model.EditText(), c.EditText);
    model.SetText(model.Text());
    EXPECT_EQ(model.EditText(), c.EditText);
  }
}

TEST_F(MaskTest, SetEditTextKeepsLiteralsAndEmptiesWhatDoesNotFit) {
  TMaskEditModel model(kDateMask);
  model.SetEditText("1a-05 2024");
  EXPECT_EQ(model.EditText(), "1_/05/2024");
  model.SetEditText("12");
  EXPECT_EQ(model.EditText(), "12/__/____");
  model.SetEditText("12/05/2024 and more");
  EXPECT_EQ(model.EditText(), "12/05/2024");
}

TEST_F(MaskTest, TypingFillsInputPositionsAndStepsOverLiterals) {
  struct Case {
    const char* Mask;
    std::u32string Keys;
    const char* EditText;
    int Caret;
    const char* Refused;
  };
  const Case cases[] = {
      {kDateMask, U"12052024", "12/05/2024", 10, ""},
      {kDateMask, U"12/05/2024", "12/05/2024", 10, ""},     // typed literals step over
      {kDateMask, U"1/2/2024", "1_/2_/2024", 10, ""},       // an early separator ends the group
      {kDateMask, U"1a2", "12/__/____", 3, "a"},            // a letter in a digit position
      {kTimeMask, U"235959", "23:59:59", 8, ""},
      {kPhoneMask, U"5551234567x", "(555)123-4567", 13, "x"},  // nothing after the last position
      {">LL<ll;1;_", U"abCD", "ABcd", 4, ""},
      {">LL<ll;1;_", U"a1b", "AB__", 2, "1"},
      {">L<>L;1;_", U"ab", "Ab", 2, ""},
      {"#99;1;_", U"-4 ", "-4_", 3, ""},                    // a space empties an optional position
      {"0;1;_", U" x１5", "5", 1, " x１"},                   // only ASCII digits in digit positions
      {"CCC;1;_", U"中文字", "中文字", 3, ""},
      {"LA;1;_", U"，中文", "中文", 2, "，"},                 // ideographs are letters, punctuation is not
      {"c-c;1;_", U"-x", "--x", 3, ""},                     // any character, the literal's own too
      {"!\\(999\\) 000;1;_", U"123) 4", "(123) 4__", 7, ""}
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Mask);
    TMaskEditModel model(c.Mask);
    const TTyped typed = TypeKeys(model, c.Keys);
    EXPECT_EQ(typed.EditText, c.EditText);
    EXPECT_EQ(typed.Caret, c.Caret);
    EXPECT_EQ(typed.Refused, c.Refused);
  }
}

TEST_F(MaskTest, TypingOnALiteralGoesToTheNextInputPosition) {
  TMaskEditModel model(kPhoneMask);
  model.SetText("(555)123-4567");
  // The caret before ')' : a digit overwrites the first digit after it.
  EXPECT_EQ(TypeKeys(model, U"9", 4).EditText, "(555)923-4567");
  // The caret before '-': typing '-' only moves the caret.
  ExpectInput(model, model.InputChar(8, U'-'), true, 9, "(555)923-4567");
}

TEST_F(MaskTest, TypingOverASelectionEmptiesItOnlyWhenAccepted) {
  TMaskEditModel model(kDateMask);
  model.SetText("12/05/2024");
  ExpectInput(model, model.InputChar(0, 5, U'x'), false, 0, "12/05/2024");
  ExpectInput(model, model.InputChar(0, 5, U'3'), true, 1, "3_/__/2024");
}

TEST_F(MaskTest, DeletingEmptiesPositionsAndKeepsLiterals) {
  TMaskEditModel model(kPhoneMask);
  model.SetText("(555)123-4567");
  EXPECT_EQ(model.DeleteSelection(2, 5), 2);
  EXPECT_EQ(model.EditText(), "(5__)__3-4567");
  EXPECT_EQ(model.DeleteSelection(13, -4), 9);  // a selection made leftwards
  EXPECT_EQ(model.EditText(), "(5__)__3-____");
  // Out-of-range positions are clamped, never overflow.
  EXPECT_EQ(model.DeleteSelection(INT_MAX, INT_MAX), 13);
  EXPECT_EQ(model.DeleteSelection(INT_MIN, INT_MIN), 0);
  EXPECT_EQ(model.EditText(), "(5__)__3-____");
  EXPECT_EQ(model.CaretRight(INT_MAX), 13);
  EXPECT_EQ(model.CaretLeft(INT_MIN), 1);
  EXPECT_EQ(model.PrevInputPos(INT_MIN), -1);

  model.SetText("(555)123-4567");
  // After ')': the digit before it.
  ExpectInput(model, model.Backspace(5), true, 3, "(55_)123-4567");
  // Nothing to the left but '('.
  ExpectInput(model, model.Backspace(1), false, 1, "(55_)123-4567");
  // On '-': the digit after it.
  ExpectInput(model, model.Delete(8), true, 9, "(55_)123-_567");
  ExpectInput(model, model.Delete(13), false, 13, "(55_)123-_567");
}

TEST_F(MaskTest, CaretMovesOverLiterals) {
  TMaskEditModel model(kPhoneMask);  // (999)000-0000
  EXPECT_EQ(model.CaretHome(), 1);
  EXPECT_EQ(model.CaretEnd(), 13);
  EXPECT_EQ(model.CaretRight(3), 5);
  EXPECT_EQ(model.CaretRight(12), 13);
  EXPECT_EQ(model.CaretRight(13), 13);
  EXPECT_EQ(model.CaretLeft(5), 3);
  EXPECT_EQ(model.CaretLeft(1), 1);
  EXPECT_EQ(model.SnapCaret(0), 1);
  EXPECT_EQ(model.SnapCaret(8), 9);
  EXPECT_EQ(model.NextInputPos(4), 5);
  EXPECT_EQ(model.PrevInputPos(5), 3);
  EXPECT_EQ(model.PrevInputPos(1), -1);

  TMaskEditModel bracketed("\\(999\\);1;_");
  EXPECT_EQ(bracketed.CaretEnd(), 4);
  EXPECT_EQ(bracketed.SnapCaret(5), 4);  // the closing literal is no caret position
  EXPECT_EQ(bracketed.NextInputPos(4), -1);
}

TEST_F(MaskTest, ValidateFindsTheFirstMissingRequiredCharacter) {
  struct Case {
    const char* Mask;
    const char* EditText;
    int ErrorPos;  // -1: valid
  };
  const Case cases[] = {
      {kDateMask, "12/05/2024", -1},
      {kDateMask, "__/__/2024", -1},  // day and month digits are optional
      {kDateMask, "12/05/20_4", 8},
      {kDateMask, "__/__/____", 6},
      {kTimeMask, "_9:05:00", -1},
      {kTimeMask, "9_:05:00", 1},
      {kPhoneMask, "(___)123-456_", 12},
      {"LLl;1;_", "ab_", -1},
      {"LLl;1;_", "_b_", 0},
      {"CC;1;_", "中_", 1},
      {"", "", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Mask) + " " + c.EditText);
    TMaskEditModel model(c.Mask);
    model.SetEditText(c.EditText);
    int errorPos = 99;
    EXPECT_EQ(model.Validate(errorPos), c.ErrorPos < 0);
    EXPECT_EQ(errorPos, c.ErrorPos);
  }
}

TEST_F(MaskTest, ValidateEditRaisesThePlatformMessage) {
  TMaskEditModel model(kTimeMask);
  model.SetText("9:05");
  try {
    model.ValidateEdit();
    FAIL() << "an incomplete time was accepted";
  } catch (const EDBEditError& e) {
    EXPECT_EQ(e.Message(), "Invalid input value.  Use escape key to abandon changes");
  }
  model.SetText("9:05:00");
  EXPECT_NO_THROW(model.ValidateEdit());
}

TEST_F(MaskTest, ChangingTheMaskKeepsTheValue) {
  TMaskEditModel model(kDateMask);
  EXPECT_TRUE(model.IsMasked());
  EXPECT_TRUE(model.IsBlank());
  model.SetText("12/05/2024");
  EXPECT_FALSE(model.IsBlank());
  model.SetEditMask("!99/99/0000;0;_");
  EXPECT_FALSE(model.SaveLiterals());
  EXPECT_EQ(model.EditText(), "12/05/2024");
  EXPECT_EQ(model.Text(), "12052024");
  model.SetEditMask("");
  EXPECT_FALSE(model.IsMasked());
  EXPECT_EQ(model.EditText(), "12052024");
  model.SetEditMask("99.99.0000;1;*");
  EXPECT_EQ(model.EditText(), "12.05.2024");
  model.Clear();
  EXPECT_EQ(model.EditText(), "**.**.****");
}

TEST_F(MaskTest, UnmaskedModelEditsPlainText) {
  TMaskEditModel model;
  EXPECT_FALSE(model.IsMasked());
  model.SetText("中文");
  ExpectInput(model, model.InputChar(1, U'x'), true, 2, "中x文");
  EXPECT_EQ(model.InputChar(0, 3, U'y').Caret, 1);  // replaces the selection
  EXPECT_EQ(model.Text(), "y");
  EXPECT_EQ(model.Backspace(1).Caret, 0);
  EXPECT_EQ(model.Text(), "");
  EXPECT_FALSE(model.Backspace(0).Accepted);
  EXPECT_FALSE(model.InputChar(0, U'\t').Accepted);
  int errorPos = 0;
  EXPECT_TRUE(model.Validate(errorPos));
}

}  // namespace
