#include "platform/rtl/Currency.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Strings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

const TFormatSettings kEn = rtl::LocaleFormatSettings("en_US");

TEST(Currency, FromDoubleRoundsHalvesAwayFromZero) {
  const std::vector<std::pair<double, int64_t>> cases = {
      {2.00005, 20001},  {-2.00005, -20001}, {0.00025, 3},  {-0.00025, -3},       {0.00005, 1},
      {1.23454, 12345},  {1.000049, 10000},  {0.1, 1000},   {1e14, 1000000000000000000}, {-0.00004, 0},
      {19.99, 199900},   {0.0, 0},
  };
  for (auto [value, expected] : cases) EXPECT_EQ(Currency::FromDouble(value).Value, expected) << value;
  EXPECT_THROW(Currency::FromDouble(1e16), EConvertError);
  EXPECT_THROW(Currency::FromDouble(std::nan("")), EConvertError);
  EXPECT_THROW(Currency::FromDouble(-std::numeric_limits<double>::infinity()), EConvertError);
  EXPECT_DOUBLE_EQ(Currency{-12345}.ToDouble(), -1.2345);
}

TEST(Currency, TextBothWays) {
  struct Case {
    const char* Text;
    bool Valid;
    int64_t Value;
  };
  const std::vector<Case> cases = {
      {"12.5", true, 125000},  {"-0.0001", true, -1},         {" 3 ", true, 30000},
      {"+7", true, 70000},     {"1.00005", true, 10001},      {"-1.00005", true, -10001},
      {"1.000049", true, 10000}, {"1e3", true, 10000000},     {".5", true, 5000},
      {"922337203685477.5807", true, INT64_MAX},
      {"922337203685477.5808", false, 0}, {"", false, 0},   {"abc", false, 0},
      {"1.2.3", false, 0},     {"1,5", false, 0},              {"-", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    Currency value;
    ASSERT_EQ(TryStrToCurr(c.Text, value, kEn), c.Valid);
    if (c.Valid) {
      EXPECT_EQ(value.Value, c.Value);
    }
  }
  try {
    StrToCurr("abc", kEn);
    ADD_FAILURE();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
  TFormatSettings comma = kEn;
  comma.DecimalSeparator = ",";
  EXPECT_EQ(StrToCurr("1,5", comma).Value, 15000);
  EXPECT_EQ(CurrToStr(Currency{15000}, comma), "1,5");

  EXPECT_EQ(CurrToStr(Currency{125000}, kEn), "12.5");
  EXPECT_EQ(CurrToStr(Currency{-1}, kEn), "-0.0001");
  EXPECT_EQ(CurrToStr(Currency{1000000}, kEn), "100");
  EXPECT_EQ(CurrToStr(Currency{INT64_MIN}, kEn), "-922337203685477.5808");
}

TEST(Currency, ArithmeticStaysExactAndRoundsProducts) {
  Currency a = StrToCurr("1.5", kEn), b = StrToCurr("2.25", kEn);
  EXPECT_EQ((a + b).Value, 37500);
  EXPECT_EQ((a - b).Value, -7500);
  EXPECT_EQ((a * b).Value, 33750);
  EXPECT_EQ((Currency{1} * Currency{5000}).Value, 1);  // 0.00005 rounds away from zero
  EXPECT_EQ((Currency::FromInt64(1) / 3).Value, 3333);
  EXPECT_EQ((Currency::FromInt64(2) / 3).Value, 6667);
  EXPECT_EQ((Currency::FromInt64(-2) / 3).Value, -6667);
  EXPECT_EQ((Currency::FromInt64(1) / Currency::FromInt64(8)).Value, 1250);
  EXPECT_EQ((a * int64_t{3}).Value, 45000);
  EXPECT_THROW(a / int64_t{0}, EConvertError);
  EXPECT_THROW(Currency{INT64_MAX} * Currency::FromInt64(2), EConvertError);
  // Ten cents added ten times is exactly one, unlike in binary floating point.
  Currency sum;
  for (int i = 0; i < 10; ++i) sum += Currency::FromDouble(0.1);
  EXPECT_EQ(sum, Currency::FromInt64(1));
  EXPECT_LT(a, b);
  EXPECT_EQ(-a, Currency{-15000});
}

TEST(Currency, FormatCurrUsesThePicturesOfFormatFloat) {
  EXPECT_EQ(FormatCurr("#,##0.00", Currency{12345678900}, kEn), "1,234,567.89");
  EXPECT_EQ(FormatCurr("0.0000", Currency{-1}, kEn), "-0.0001");
  EXPECT_EQ(FormatCurr("0;(0);zero", Currency{0}, kEn), "zero");
}

}  // namespace
