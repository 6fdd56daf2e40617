#include "platform/rtl/Strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

namespace {

// The number routines follow FormatSettings(); these tests pin it to the US-English
// conventions and put back what the process had.
class Strings : public ::testing::Test {
 protected:
  void SetUp() override {
    FSaved = FormatSettings();
    FormatSettings() = rtl::LocaleFormatSettings("en_US");
  }
  void TearDown() override { FormatSettings() = FSaved; }

 private:
  TFormatSettings FSaved;
};

TEST_F(Strings, TrimRemovesBlanksAndControlCharactersAtTheEndsOnly) {
  EXPECT_EQ(Trim(" \t a  b \r\n"), "a  b");
  EXPECT_EQ(TrimLeft("  a "), "a ");
  EXPECT_EQ(TrimRight("  a \x01"), "  a");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(" 中文 "), "中文");
}

TEST_F(Strings, CaseMappingAsciiVersusUnicode) {
  EXPECT_EQ(LowerCase("ÄBC"), "Äbc");
  EXPECT_EQ(UpperCase("äbc"), "äBC");
  EXPECT_EQ(AnsiLowerCase("ÄÖÜ ΣΩ ДЖ Ÿ Ａ 中"), "äöü σω дж ÿ ａ 中");
  EXPECT_EQ(AnsiUpperCase("äöü σω дж ÿ ａ 中"), "ÄÖÜ ΣΩ ДЖ Ÿ Ａ 中");
  // Bytes that are not UTF-8 pass through.
  EXPECT_EQ(AnsiUpperCase("a\xC4z"), "A\xC4Z");
}

TEST_F(Strings, Comparisons) {
  EXPECT_EQ(CompareText("abc", "ABC"), 0);
  EXPECT_LT(CompareText("abc", "abd"), 0);
  EXPECT_GT(CompareText("abcd", "ABC"), 0);
  EXPECT_NE(CompareText("ä", "Ä"), 0);  // ASCII only
  EXPECT_TRUE(SameText("Set", "SET"));
  EXPECT_EQ(AnsiCompareText("Äpfel", "äPFEL"), 0);
  EXPECT_TRUE(AnsiSameText("ΣΟΦΙΑ", "σοφια"));
  EXPECT_LT(AnsiCompareStr("A", "a"), 0);
  EXPECT_GT(AnsiCompareStr("b", "a"), 0);
}

TEST_F(Strings, PosCopyLengthCountCodePoints) {
  const std::string s = "背景音乐.mp3";
  EXPECT_EQ(Length(s), 8);
  EXPECT_EQ(Pos("音乐", s), 3);
  EXPECT_EQ(Pos(".mp3", s), 5);
  EXPECT_EQ(Pos("x", s), 0);
  EXPECT_EQ(Pos("", s), 0);
  EXPECT_EQ(Copy(s, 3, 2), "音乐");
  EXPECT_EQ(Copy(s, 5, 100), ".mp3");
  EXPECT_EQ(Copy(s, 0, 2), "背景");  // an index below 1 starts at the first character
  EXPECT_EQ(Copy(s, 9, 1), "");
  EXPECT_EQ(Copy(s, 2, -1), "");
  EXPECT_EQ(Copy("hh:nn:ss", 4, 2), "nn");
  // An invalid byte counts as one character and is kept.
  EXPECT_EQ(Length("a\xFF" "b"), 3);
  EXPECT_EQ(Copy("a\xFF" "b", 2, 1), "\xFF");
}

TEST_F(Strings, Utf8Decoding) {
  // Overlong forms, surrogates, truncated sequences and stray continuation bytes are invalid.
  EXPECT_EQ(rtl::ToValidUtf8("ok 中\xF0\x9F\x8E\xB5"), "ok 中\xF0\x9F\x8E\xB5");
  EXPECT_EQ(rtl::ToValidUtf8("a\xC0\xAF" "b"), "a\uFFFD\uFFFD" "b");
  EXPECT_EQ(rtl::ToValidUtf8("\xED\xA0\x80"), "\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(rtl::ToValidUtf8("x\xE4\xB8"), "x\uFFFD\uFFFD");
  EXPECT_EQ(rtl::ToValidUtf8("\x80z"), "\uFFFDz");
  EXPECT_EQ(Length("\xF0\x9F\x8E\xB5"), 1);
}

TEST_F(Strings, StringReplace) {
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", {}), "a+b-c");
  EXPECT_EQ(StringReplace("a-b-c", "-", "+", rfReplaceAll), "a+b+c");
  EXPECT_EQ(StringReplace("Abc abc ABC", "abc", "x", {rfReplaceAll, rfIgnoreCase}), "x x x");
  EXPECT_EQ(StringReplace("Abc abc", "abc", "x", {rfReplaceAll}), "Abc x");
  EXPECT_EQ(StringReplace("ÄÖ äö", "äö", "ae", {rfReplaceAll, rfIgnoreCase}), "ae ae");
  EXPECT_EQ(StringReplace("aaa", "a", "aa", rfReplaceAll), "aaaaaa");  // no re-scan of the replacement
  EXPECT_EQ(StringReplace("abc", "", "x", rfReplaceAll), "abc");
  EXPECT_EQ(StringReplace("a\\b\\c", "\\", "/", rfReplaceAll), "a/b/c");
}

TEST_F(Strings, Quoting) {
  EXPECT_EQ(QuotedStr("It's"), "'It''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(AnsiDequotedStr("'It''s'", '\''), "It's");
  EXPECT_EQ(AnsiDequotedStr("plain", '\''), "plain");
  EXPECT_EQ(AnsiDequotedStr("'a'b'", '\''), "'a'b'");
}

TEST_F(Strings, IntToStrAndHex) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-42), "-42");
  EXPECT_EQ(IntToStr(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(-1, 2), "FFFFFFFF");
  EXPECT_EQ(IntToHex(int64_t{-1}, 2), "FFFFFFFFFFFFFFFF");
}

struct IntCase {
  const char* text;
  bool valid;
  int64_t value;
};

TEST_F(Strings, StrToIntTable) {
  const IntCase cases[] = {
      {"0", true, 0},           {"123", true, 123},      {"-123", true, -123},   {"+7", true, 7},
      {"  42", true, 42},       {"$1F", true, 31},       {"0x1f", true, 31},     {"0X10", true, 16},
      {"-$10", true, -16},      {"$FFFFFFFF", true, -1}, {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483648LL},              {"2147483648", false, 0}, {"$100000000", false, 0},
      {"", false, 0},           {" ", false, 0},         {"12 ", false, 0},      {"1.5", false, 0},
      {"abc", false, 0},        {"-", false, 0},         {"$", false, 0},        {"0x", false, 0},
      {"１２", false, 0},
  };
  for (const IntCase& c : cases) {
    SCOPED_TRACE(c.text);
    int v = 0;
    EXPECT_EQ(TryStrToInt(c.text, v), c.valid);
    EXPECT_EQ(StrToIntDef(c.text, -99), c.valid ? c.value : -99);
    if (c.valid) {
      EXPECT_EQ(StrToInt(c.text), c.value);
    } else {
      try {
        StrToInt(c.text);
        ADD_FAILURE() << "no exception";
      } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), std::string("'") + c.text + "' is not a valid integer value");
      }
    }
  }
  EXPECT_EQ(StrToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(StrToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(StrToInt64("4294967296"), 4294967296LL);
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST_F(Strings, StrToFloat) {
  EXPECT_DOUBLE_EQ(StrToFloat("1.5"), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat(" -2.5e3 "), -2500.0);
  EXPECT_DOUBLE_EQ(StrToFloat(".5"), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat("7"), 7.0);
  EXPECT_DOUBLE_EQ(StrToFloatDef("x", 3.0), 3.0);
  double v = 0;
  for (const char* bad : {"", "abc", "1,5", "1e", "nan", "inf", "0x10", "1e999", "--1"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(TryStrToFloat(bad, v));
  }
  try {
    StrToFloat("abc");
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
}

TEST_F(Strings, FloatToStr) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0"},
      {1.0, "1"},
      {-1.5, "-1.5"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {1e20, "1E20"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-1.25e-10, "-1.25E-10"},
      {100.0, "100"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<double>::infinity(), "-INF"},
      {std::nan(""), "NAN"},
  };
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatToStr(value), text) << value;
}

struct FormatFloatCase {
  const char* format;
  double value;
  const char* expected;
};

TEST_F(Strings, FloatToStrFInEachLayout) {
  TFormatSettings zh = rtl::LocaleFormatSettings("zh_CN");
  zh.CurrencyString = "¥";
  zh.CurrencyFormat = 0;
  zh.NegCurrFormat = 2;
  struct Case {
    double Value;
    TFloatFormat Format;
    int Precision, Digits;
    const char* Expected;
  };
  const Case cases[] = {
      {1234.5678, ffGeneral, 15, 0, "1234.5678"}, {1234.5678, ffGeneral, 6, 0, "1234.57"},
      {0.1, ffGeneral, 7, 0, "0.1"},              {1234.5678, ffFixed, 15, 2, "1234.57"},
      {-0.001, ffFixed, 15, 2, "0.00"},           {1234567.5, ffNumber, 15, 1, "1,234,567.5"},
      {1234.5, ffCurrency, 15, 2, "¥1,234.50"},  {-1234.5, ffCurrency, 15, 2, "¥-1,234.50"},
      {12345, ffExponent, 3, 2, "1.23E+04"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, zh), c.Expected) << c.Expected;
}

TEST_F(Strings, FormatFloatTable) {
  const FormatFloatCase cases[] = {
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 0.5, "0.50"},
      {"#,##0.00", -1234.5, "-1,234.50"},
      {"#,##0.00", 999.999, "1,000.00"},
      {"0.00", 2.675, "2.68"},  // the decimal the user wrote, rounded half away from zero
      {"0.00", 1.005, "1.01"},
      {"0.00", -0.125, "-0.13"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0", 0.4, "0"},
      {"0.0", -0.01, "0.0"},  // no negative zero
      {"000", 7, "007"},
      {"#", 0, ""},
      {"#.##", 1, "1"},
      {"#.##", 1.5, "1.5"},
      {"0.0#", 1.5, "1.5"},
      {"0.00#", 1.5, "1.50"},
      {"0.0#", 2, "2.0"},
      {"0.0#", 1.555, "1.56"},
      {"#0", 12345, "12345"},
      {"0.###", 3.14159, "3.142"},
      {"00-00", 1234, "12-34"},
      {"00-00", 123456, "1234-56"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E+00", 0.000123, "1.23E-04"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00e-0", 0.5, "5.00e-1"},
      {"00.0E+0", 1234.5, "12.3E+2"},
      {"0.0E+00", 9.99, "1.0E+01"},
      {"0.0E+00", 0, "0.0E+00"},
      {"0.00 'kg'", 2, "2.00 kg"},
      {"\"#\"0", 5, "#5"},
      {"0%", 50, "50%"},
      {"0.00;(0.00)", -5, "(5.00)"},
      {"0.00;(0.00)", 5, "5.00"},
      {"0.00;(0.00);'zero'", 0, "zero"},
      {"0.00;(0.00);'zero'", 0.001, "zero"},
      {"0.00;(0.00);'zero'", -0.001, "zero"},
      {"0.00;;'zero'", -5, "-5.00"},
      {"0.00;-0.00", 0, "0.00"},
      {"'a;b' 0", 1, "a;b 1"},
      {"", 1.5, "1.5"},
      {"0", 1e20, "100000000000000000000"},
  };
  for (const FormatFloatCase& c : cases) {
    SCOPED_TRACE(std::string(c.format) + " / " + std::to_string(c.value));
    EXPECT_EQ(FormatFloat(c.format, c.value), c.expected);
  }
}

TEST_F(Strings, FormatTable) {
  int value = 42;
  EXPECT_EQ(Format("%d", {42}), "42");
  EXPECT_EQ(Format("%d", {-42}), "-42");
  EXPECT_EQ(Format("%5d|", {42}), "   42|");
  EXPECT_EQ(Format("%-5d|", {42}), "42   |");
  EXPECT_EQ(Format("%.4d", {-42}), "-0042");
  EXPECT_EQ(Format("%d", {int64_t{1} << 40}), "1099511627776");
  EXPECT_EQ(Format("%u", {-1}), "4294967295");
  EXPECT_EQ(Format("%x", {255}), "FF");
  EXPECT_EQ(Format("%.4x", {255}), "00FF");
  EXPECT_EQ(Format("%x", {-1}), "FFFFFFFF");
  EXPECT_EQ(Format("%s", {"abc"}), "abc");
  EXPECT_EQ(Format("%s", {std::string("音乐")}), "音乐");
  EXPECT_EQ(Format("%4s|", {"音乐"}), "  音乐|");  // width counts characters
  EXPECT_EQ(Format("%-4s|", {"ab"}), "ab  |");
  EXPECT_EQ(Format("%.2s", {"音乐文件"}), "音乐");
  EXPECT_EQ(Format("%f", {1.0}), "1.00");
  EXPECT_EQ(Format("%.0f", {2.5}), "3");
  EXPECT_EQ(Format("%.3f", {-1.2345}), "-1.235");
  EXPECT_EQ(Format("%.1f", {-0.01}), "0.0");
  EXPECT_EQ(Format("%8.2f|", {3.14159}), "    3.14|");
  EXPECT_EQ(Format("%g", {0.5}), "0.5");
  EXPECT_EQ(Format("%g", {1e20}), "1E20");
  EXPECT_EQ(Format("%.3g", {1234.5}), "1.23E3");
  EXPECT_EQ(Format("%e", {1234.5}), "1.23450000000000E+003");
  EXPECT_EQ(Format("%.3e", {-0.00012}), "-1.20E-004");
  EXPECT_EQ(Format("%n", {1234567.5}), "1,234,567.50");
  EXPECT_EQ(Format("%.0n", {-1234.5}), "-1,235");
  EXPECT_EQ(Format("%*d", {4, 7}), "   7");
  EXPECT_EQ(Format("%-*d|", {4, 7}), "7   |");
  EXPECT_EQ(Format("%.*f", {1, 2.25}), "2.3");
  EXPECT_EQ(Format("%1:s %0:s %s", {"a", "b"}), "b a b");
  EXPECT_EQ(Format("%0:s-%0:s", {"x"}), "x-x");
  EXPECT_EQ(Format("100%%", {}), "100%");
  EXPECT_EQ(Format("%s=%d", {"歌曲", 3}), "歌曲=3");
  EXPECT_EQ(Format("%D %S", {1, "x"}), "1 x");
  EXPECT_EQ(Format("%p", {static_cast<const void*>(nullptr)}), "0000000000000000");
  EXPECT_EQ(Format("%s", {'c'}), "c");
  EXPECT_EQ(Format("%d", {static_cast<short>(-3)}), "-3");
  EXPECT_EQ(Format("%d", {value}), "42");
}

TEST_F(Strings, NumbersFollowTheFormatSettings) {
  const TFormatSettings china = rtl::LocaleFormatSettings("zh_CN");
  EXPECT_EQ(Format("%m", {1234.5}, china), "¥1,234.50");
  EXPECT_EQ(Format("%m", {-1234.5}, china), "¥-1,234.50");
  EXPECT_EQ(Format("%.0m", {-0.4}, china), "¥0");
  EXPECT_EQ(Format("%m", {-2.0}), "($2.00)");
  EXPECT_EQ(Format("%m", {2.0}), "$2.00");

  TFormatSettings comma = rtl::LocaleFormatSettings("en_US");
  comma.DecimalSeparator = ",";
  comma.ThousandSeparator = ".";
  comma.CurrencyString = "EUR";
  comma.CurrencyFormat = 3;
  comma.NegCurrFormat = 8;
  comma.CurrencyDecimals = 1;
  EXPECT_EQ(FormatFloat("#,##0.00", 1234567.891, comma), "1.234.567,89");
  EXPECT_EQ(FormatFloat("0.00E+00", 1234.5, comma), "1,23E+03");
  EXPECT_EQ(FloatToStr(1.5, comma), "1,5");
  EXPECT_DOUBLE_EQ(StrToFloat("1,5", comma), 1.5);
  EXPECT_THROW(StrToFloat("1.5", comma), EConvertError);
  EXPECT_EQ(Format("%.2f|%n|%e|%m|%m", {1.5, 1234.5, 1.5, 1234.56, -1.0}, comma),
            "1,50|1.234,50|1,50000000000000E+000|1.234,6 EUR|-1,0 EUR");

  // The process's settings are used when none are given.
  FormatSettings() = comma;
  EXPECT_EQ(FormatFloat("0.0", 2.25), "2,3");
  EXPECT_EQ(Format("%.1f", {2.25}), "2,3");
  EXPECT_EQ(FloatToStr(0.5), "0,5");
}

TEST_F(Strings, FormatRejectsMismatchesAndMissingArguments) {
  const auto expectInvalid = [](const std::string& format, const std::function<std::string()>& run) {
    SCOPED_TRACE(format);
    try {
      run();
      ADD_FAILURE() << "no exception";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "Format '" + format + "' invalid or incompatible with argument");
    }
  };
  expectInvalid("%d", [] { return Format("%d", {"x"}); });
  expectInvalid("%d", [] { return Format("%d", {1.5}); });
  expectInvalid("%f", [] { return Format("%f", {1}); });
  expectInvalid("%s", [] { return Format("%s", {1}); });
  expectInvalid("%d", [] { return Format("%d", {true}); });
  expectInvalid("%x", [] { return Format("%x", {2.0}); });
  expectInvalid("%q", [] { return Format("%q", {1}); });
  expectInvalid("%", [] { return Format("%", {1}); });
  expectInvalid("%5", [] { return Format("%5", {1}); });
  expectInvalid("%*d", [] { return Format("%*d", {"a", 1}); });
  expectInvalid("%p", [] { return Format("%p", {1}); });
  expectInvalid("%*d", [] { return Format("%*d", {int64_t{1} << 40, 1}); });
  try {
    Format("%s and %s", {"one"});
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "No argument for format '%s and %s'");
  }
  EXPECT_THROW(Format("%5:s", {"a"}), EConvertError);
}

}  // namespace
