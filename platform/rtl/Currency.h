#pragma once
// Fixed-point money: a 64-bit count of ten-thousandths (four decimals).
#include <compare>
#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>

#include "platform/rtl/FormatSettings.h"
#include "platform/rtl/System.h"

struct Currency {
  int64_t Value = 0;  // the amount × 10000

  // Rounds to the nearest ten-thousandth, halves away from zero (2.00005 -> 2.0001,
  // -2.00005 -> -2.0001). EConvertError for values outside the range or not a number.
  static Currency FromDouble(double value);
  static constexpr Currency FromInt64(int64_t units) { return Currency{units * 10000}; }
  double ToDouble() const { return static_cast<double>(Value) / 10000.0; }

  friend constexpr Currency operator+(Currency a, Currency b) { return Currency{a.Value + b.Value}; }
  friend constexpr Currency operator-(Currency a, Currency b) { return Currency{a.Value - b.Value}; }
  friend constexpr Currency operator-(Currency a) { return Currency{-a.Value}; }
  // Products and quotients are rounded to four decimals, halves away from zero.
  friend Currency operator*(Currency a, Currency b);
  friend Currency operator*(Currency a, int64_t n);
  friend Currency operator/(Currency a, int64_t n);
  friend Currency operator/(Currency a, Currency b);
  Currency& operator+=(Currency b) { Value += b.Value; return *this; }
  Currency& operator-=(Currency b) { Value -= b.Value; return *this; }
  friend constexpr bool operator==(Currency a, Currency b) = default;
  friend constexpr auto operator<=>(Currency a, Currency b) = default;
};

// Shortest plain text: "12.5", "-0.0001", "100" (the settings' decimal separator).
std::string CurrToStr(Currency value);
std::string CurrToStr(Currency value, const TFormatSettings& settings);
// Exact decimal reading; digits past the fourth decimal round halves away from zero.
// EConvertError "'X' is not a valid floating point value".
Currency StrToCurr(const std::string& s);
Currency StrToCurr(const std::string& s, const TFormatSettings& settings);
bool TryStrToCurr(const std::string& s, Currency& value);
bool TryStrToCurr(const std::string& s, Currency& value, const TFormatSettings& settings);
Currency StrToCurrDef(const std::string& s, Currency def);

// FormatFloat's pictures over a money value (its four decimals are exact in a double's 15
// significant digits up to 10^11).
std::string FormatCurr(std::string_view format, Currency value);
std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& settings);

// The plain text with '.' (for test messages and logs).
std::ostream& operator<<(std::ostream& out, Currency value);
