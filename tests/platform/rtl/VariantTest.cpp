#include "platform/rtl/DateTime.h"
#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/Variant.h"

#include "tests/platform/rtl/UsEnglishSettings.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

class VariantTest : public ::testing::Test {
 protected:
  UsEnglishSettings FSettings;
};

// Expects EVariantError with exactly this message.
void ExpectVariantError(const std::function<void()>& action, const std::string& message) {
  try {
    action();
    ADD_FAILURE() << "no error, expected: " << message;
  } catch (const EVariantError& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

const TDateTime kDay = EncodeDate(2026, 3, 5);

TEST_F(VariantTest, ConstructorsPickTheKind) {
  EXPECT_EQ(Variant().VType(), varEmpty);
  EXPECT_EQ(Variant::Null().VType(), varNull);
  EXPECT_EQ(Variant(5).VType(), varInteger);
  EXPECT_EQ(Variant(int64_t{5}).VType(), varInt64);
  EXPECT_EQ(Variant(5u).VType(), varInt64);
  EXPECT_EQ(Variant(2.5f).VType(), varDouble);
  EXPECT_EQ(Variant(true).VType(), varBoolean);
  EXPECT_EQ(Variant("s").VType(), varString);
  EXPECT_EQ(Variant(std::string("s")).VType(), varString);
  EXPECT_EQ(Variant(kDay).VType(), varDate);
  EXPECT_EQ(Variant(Currency{1}).VType(), varCurrency);
  EXPECT_EQ(Variant::Error(-1).VType(), varError);
  EXPECT_EQ(Variant::Error(-1).ErrorCode(), -1);
  ExpectVariantError([] { Variant::Error(-1).AsDouble(); }, "Could not convert variant of type (Error) into type (Double)");
  EXPECT_TRUE(VarIsNumeric(Variant(true)));
  EXPECT_TRUE(VarIsNumeric(Variant(Currency{1})));
  EXPECT_FALSE(VarIsNumeric(Variant(kDay)));
  EXPECT_FALSE(VarIsNumeric(Variant("1")));
  EXPECT_TRUE(VarIsStr(Variant("1")));
  EXPECT_TRUE(VarIsClear(Variant()));
  EXPECT_FALSE(VarIsEmpty(Variant::Null()));
}

TEST_F(VariantTest, ConvertsToText) {
  const std::vector<std::pair<Variant, std::string>> cases = {
      {Variant(), ""},
      {Variant(42), "42"},
      {Variant(int64_t{1} << 40), "1099511627776"},
      {Variant(-2.5), "-2.5"},
      {Variant(0.1), "0.1"},
      {Variant(1e15), "1E15"},
      {Variant(1e-5), "1E-5"},
      {Variant(123456.789), "123456.789"},
      {Variant(true), "True"},
      {Variant(false), "False"},
      {Variant(Currency{125000}), "12.5"},
      {Variant(kDay), "3/5/2026"},
      {Variant(EncodeTime(10, 0, 0, 0)), "10:00:00 AM"},
      {Variant(ComposeDateTime(kDay, EncodeTime(14, 7, 9, 0))), "3/5/2026 2:07:09 PM"},
      {VarAsType(Variant(0.1), varSingle), "0.1"},
      {Variant("text"), "text"},
  };
  for (const auto& [v, text] : cases) EXPECT_EQ(v.AsString(), text) << text;
  FormatSettings().DecimalSeparator = ",";
  EXPECT_EQ(Variant(2.5).AsString(), "2,5");
  EXPECT_EQ(Variant("2,5").AsDouble(), 2.5);
  ExpectVariantError([] { Variant::Null().AsString(); }, "Could not convert variant of type (Null) into type (String)");
  EXPECT_EQ(VarToStr(Variant::Null()), "");
  EXPECT_EQ(VarToStrDef(Variant::Null(), "-"), "-");
  EXPECT_EQ(VarToStrDef(Variant(), "-"), "");
  EXPECT_EQ(VarToStrDef(Variant(3), "-"), "3");
}

TEST_F(VariantTest, ConvertsToNumbersRoundingHalvesToEven) {
  const std::vector<std::pair<Variant, int>> integers = {
      {Variant(), 0},       {Variant("42"), 42},    {Variant(" 7 "), 7},   {Variant("2.5"), 2},
      {Variant(3.5), 4},    {Variant(-2.5), -2},    {Variant(true), -1},   {Variant(Currency{25000}), 2},
      {Variant(Currency{35000}), 4}, {Variant(Currency{-35000}), -4}, {Variant(Currency{-25001}), -3},
      {Variant(kDay), 46086}, {Variant(int64_t{INT_MIN}), INT_MIN},
  };
  for (const auto& [v, expected] : integers) EXPECT_EQ(v.AsInteger(), expected) << v.AsString();
  ExpectVariantError([] { Variant::Null().AsInteger(); }, "Could not convert variant of type (Null) into type (Integer)");
  ExpectVariantError([] { Variant("abc").AsInteger(); }, "Could not convert variant of type (String) into type (Integer)");
  ExpectVariantError([] { Variant(3e9).AsInteger(); }, "Overflow while converting variant of type (Double) into type (Integer)");
  ExpectVariantError([] { Variant(int64_t{1} << 40).AsInteger(); },
                     "Overflow while converting variant of type (Int64) into type (Integer)");
  EXPECT_EQ(Variant(int64_t{1} << 40).AsInt64(), int64_t{1} << 40);
  ExpectVariantError([] { Variant(1e300).AsInt64(); }, "Overflow while converting variant of type (Double) into type (Int64)");

  EXPECT_EQ(Variant("2.5").AsDouble(), 2.5);
  EXPECT_EQ(Variant(true).AsDouble(), -1.0);
  EXPECT_EQ(Variant(Currency{12345}).AsDouble(), 1.2345);
  ExpectVariantError([] { Variant::Null().AsDouble(); }, "Could not convert variant of type (Null) into type (Double)");
  ExpectVariantError([] { Variant("1,5").AsDouble(); }, "Could not convert variant of type (String) into type (Double)");

  EXPECT_EQ(Variant(2.00005).AsCurrency().Value, 20001);
  EXPECT_EQ(Variant("1.5").AsCurrency().Value, 15000);
  EXPECT_EQ(Variant(7).AsCurrency().Value, 70000);
  ExpectVariantError([] { Variant("x").AsCurrency(); }, "Could not convert variant of type (String) into type (Currency)");
}

TEST_F(VariantTest, ConvertsToBooleansAndDates) {
  EXPECT_TRUE(Variant("True").AsBoolean());
  EXPECT_FALSE(Variant("false").AsBoolean());
  EXPECT_FALSE(Variant("0").AsBoolean());
  EXPECT_TRUE(Variant("-1").AsBoolean());
  EXPECT_TRUE(Variant(0.5).AsBoolean());
  EXPECT_FALSE(Variant().AsBoolean());
  ExpectVariantError([] { Variant("yes").AsBoolean(); }, "Could not convert variant of type (String) into type (Boolean)");
  ExpectVariantError([] { Variant::Null().AsBoolean(); }, "Could not convert variant of type (Null) into type (Boolean)");

  EXPECT_EQ(Variant("3/5/2026").AsDateTime().Value, kDay.Value);
  EXPECT_EQ(Variant("3/5/2026 12:00").AsDateTime().Value, kDay.Value + 0.5);
  EXPECT_EQ(Variant(46086.5).AsDateTime().Value, 46086.5);
  ExpectVariantError([] { Variant("x").AsDateTime(); }, "Could not convert variant of type (String) into type (Date)");
  ExpectVariantError([] { Variant::Null().AsDateTime(); }, "Could not convert variant of type (Null) into type (Date)");

  Variant small = VarAsType(Variant("42"), varSmallint);
  EXPECT_EQ(small.VType(), varSmallint);
  EXPECT_EQ(small.AsInteger(), 42);
  EXPECT_EQ(VarAsType(Variant(7), varString).AsString(), "7");
  ExpectVariantError([] { VarAsType(Variant(70000), varSmallint); },
                     "Overflow while converting variant of type (Integer) into type (Smallint)");
  ExpectVariantError([] { VarAsType(Variant::Null(), varString); }, "Could not convert variant of type (Null) into type (String)");
}

TEST_F(VariantTest, NullAndUnassignedCompareAsThePlatformDoes) {
  const Variant null = Variant::Null(), empty;
  EXPECT_TRUE(null == Variant::Null());
  EXPECT_FALSE(null == Variant(0));
  EXPECT_TRUE(null != Variant(0));
  EXPECT_FALSE(null == empty);
  EXPECT_FALSE(null == Variant(""));
  EXPECT_TRUE(empty == Variant());
  EXPECT_TRUE(empty == Variant(0));
  EXPECT_TRUE(empty == Variant(""));
  EXPECT_TRUE(null < Variant(-100));
  EXPECT_FALSE(Variant(-100) < null);
  EXPECT_FALSE(null < null);
  EXPECT_TRUE(null <= null);
  EXPECT_TRUE(empty < Variant(1));
  EXPECT_EQ(VarCompareValue(null, Variant(1)), vrNotEqual);
  EXPECT_EQ(VarCompareValue(null, null), vrEqual);
  EXPECT_EQ(VarCompareValue(Variant(1), Variant(2)), vrLessThan);
  EXPECT_EQ(VarCompareValue(Variant("b"), Variant("a")), vrGreaterThan);
  EXPECT_FALSE(VarSameValue(empty, Variant(0)));
  EXPECT_TRUE(VarSameValue(empty, empty));
  EXPECT_TRUE(VarSameValue(null, null));
  EXPECT_FALSE(VarSameValue(null, empty));
  EXPECT_FALSE(VarSameValue(Variant("abc"), Variant(1)));
  EXPECT_TRUE(VarSameValue(Variant(1), Variant(1.0)));
}

TEST_F(VariantTest, ValuesCompareAcrossKinds) {
  EXPECT_TRUE(Variant(1) == Variant(1.0));
  EXPECT_TRUE(Variant(1) < Variant(1.5));
  EXPECT_TRUE(Variant(int64_t{1} << 40) > Variant(INT_MAX));
  EXPECT_TRUE(Variant("10") == Variant(10));
  EXPECT_TRUE(Variant("9") < Variant(10));  // as numbers, not as text
  EXPECT_TRUE(Variant("9") > Variant("10"));
  EXPECT_TRUE(Variant("abc") < Variant("abd"));
  EXPECT_FALSE(Variant("a") == Variant("A"));
  EXPECT_TRUE(Variant(true) == Variant("True"));
  EXPECT_TRUE(Variant(false) < Variant(true));
  EXPECT_TRUE(Variant(Currency{15000}) == Variant(1.5));
  EXPECT_TRUE(Variant(Currency{15000}) > Variant(1));
  EXPECT_TRUE(Variant(kDay) == Variant("3/5/2026"));
  EXPECT_TRUE(Variant(kDay) == Variant(46086));
  ExpectVariantError([] { (void)(Variant("abc") == Variant(1)); },
                     "Could not convert variant of type (String) into type (Double)");
  ExpectVariantError([] { (void)(VarArrayOf({1}) == VarArrayOf({1})); }, "Invalid variant operation");
}

TEST_F(VariantTest, Arithmetic) {
  Variant sum = Variant(2) + Variant(3);
  EXPECT_EQ(sum.VType(), varInteger);
  EXPECT_EQ(sum.AsInteger(), 5);
  Variant wide = Variant(INT_MAX) + Variant(1);
  EXPECT_EQ(wide.VType(), varInt64);
  EXPECT_EQ(wide.AsInt64(), int64_t{INT_MAX} + 1);
  Variant huge = Variant(int64_t{INT64_MAX}) * Variant(2);
  EXPECT_EQ(huge.VType(), varDouble);
  EXPECT_DOUBLE_EQ(huge.AsDouble(), 2.0 * 9223372036854775807.0);
  EXPECT_EQ((Variant("a") + Variant("b")).AsString(), "ab");
  EXPECT_EQ((Variant("x") + Variant()).AsString(), "x");
  Variant mixed = Variant("1.5") + Variant(2);
  EXPECT_EQ(mixed.VType(), varDouble);
  EXPECT_EQ(mixed.AsDouble(), 3.5);
  ExpectVariantError([] { Variant("abc") + Variant(1); }, "Could not convert variant of type (String) into type (Double)");
  EXPECT_TRUE(VarIsNull(Variant::Null() + Variant(1)));
  EXPECT_TRUE(VarIsNull(Variant("a") + Variant::Null()));
  EXPECT_EQ((Variant() + Variant(1)).AsInteger(), 1);
  EXPECT_EQ((Variant(Variant::Null()) - Variant(2)).VType(), varNull);
  Variant half = Variant(7) / Variant(2);
  EXPECT_EQ(half.VType(), varDouble);
  EXPECT_EQ(half.AsDouble(), 3.5);
  ExpectVariantError([] { Variant(1) / Variant(0); }, "Division by zero");
  Variant money = Variant(Currency{15000}) * Variant(3);
  EXPECT_EQ(money.VType(), varCurrency);
  EXPECT_EQ(money.AsCurrency().Value, 45000);
  EXPECT_EQ((Variant(Currency{10000}) / Variant(3)).AsCurrency().Value, 3333);
  Variant tomorrow = Variant(kDay) + Variant(1);
  EXPECT_EQ(tomorrow.VType(), varDate);
  EXPECT_EQ(tomorrow.AsDateTime().Value, kDay.Value + 1);
  Variant span = Variant(kDay) - Variant(EncodeDate(2026, 3, 1));
  EXPECT_EQ(span.VType(), varDouble);
  EXPECT_EQ(span.AsDouble(), 4.0);
  EXPECT_EQ((-Variant(5)).AsInteger(), -5);
  EXPECT_EQ((-Variant(Currency{5})).AsCurrency().Value, -5);
  Variant counter = 1;
  counter += 2;
  EXPECT_EQ(counter.AsInteger(), 3);
  ExpectVariantError([] { VarArrayOf({1}) + Variant(1); }, "Invalid variant operation");
}

TEST_F(VariantTest, ArraysHoldValuesBetweenTheirBounds) {
  Variant list = VarArrayOf({1, "a", Variant::Null()});
  EXPECT_EQ(list.VType(), varArray | varVariant);
  EXPECT_TRUE(VarIsArray(list));
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(VarArrayDimCount(list), 1);
  EXPECT_EQ(VarArrayLowBound(list, 1), 0);
  EXPECT_EQ(VarArrayHighBound(list, 1), 2);
  EXPECT_EQ(list[0].AsInteger(), 1);
  EXPECT_EQ(list[1].AsString(), "a");
  EXPECT_TRUE(VarIsNull(list[2]));
  ExpectVariantError([&] { (void)list[3]; }, "Variant or safe array index out of bounds");
  ExpectVariantError([&] { (void)list[-1]; }, "Variant or safe array index out of bounds");
  ExpectVariantError([&] { list.AsString(); }, "Could not convert variant of type (Array Variant) into type (String)");
  ExpectVariantError([] { (void)Variant(1)[0]; }, "Variant is not an array");

  Variant copy = list;
  copy[1] = "b";
  EXPECT_EQ(list[1].AsString(), "a");  // arrays are values: the copy is independent

  Variant created = VarArrayCreate({1, 3}, varVariant);
  EXPECT_EQ(created.Count(), 3);
  EXPECT_EQ(VarArrayLowBound(created, 1), 1);
  EXPECT_EQ(VarArrayHighBound(created, 1), 3);
  EXPECT_TRUE(VarIsEmpty(created[1]));
  ExpectVariantError([&] { (void)created[0]; }, "Variant or safe array index out of bounds");
  created[3] = 2.5;
  VarArrayRedim(created, 4);
  EXPECT_EQ(created.Count(), 4);
  EXPECT_EQ(created[3].AsDouble(), 2.5);
  EXPECT_TRUE(VarIsEmpty(created[4]));

  Variant ints = VarArrayCreate({0, 1}, varInteger);
  EXPECT_EQ(ints.VType(), varArray | varInteger);
  EXPECT_EQ(ints[1].VType(), varInteger);
  EXPECT_EQ(VarTypeAsText(ints.VType()), "Array Integer");
  EXPECT_EQ(VarArrayOf({}).Count(), 0);

  std::ostringstream shown;
  shown << VarArrayOf({1, "a", Variant::Null()}) << "; " << Variant(2.5) << "; " << Variant() << "; " << Currency{15000};
  EXPECT_EQ(shown.str(), "Array Variant [1, \"a\", Null]; Double 2.5; Empty; 1.5");
}

}  // namespace
