#include "platform/rtl/Currency.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "platform/rtl/FloatText.h"
#include "platform/rtl/Strings.h"
#include "platform/rtl/System.h"

namespace {

// Largest magnitude a currency holds, as a double of ten-thousandths.
constexpr double kLimit = 9223372036854775807.0;

// a / b rounded half away from zero.
int64_t DivideRounded(__int128 a, __int128 b) {
  if (b == 0) throw EConvertError("Division by zero");
  __int128 q = a / b;
  __int128 r = a % b;
  if (r != 0) {
    __int128 twice = (r < 0 ? -r : r) * 2;
    __int128 absB = b < 0 ? -b : b;
    if (twice >= absB) q += ((a < 0) != (b < 0)) ? -1 : 1;
  }
  if (q > INT64_MAX || q < INT64_MIN) throw EConvertError("Currency value out of range");
  return static_cast<int64_t>(q);
}

}  // namespace

Currency Currency::FromDouble(double value) {
  double scaled = value * 10000.0;
  if (!std::isfinite(scaled) || std::fabs(scaled) >= kLimit) throw EConvertError("Currency value out of range");
  // The product carries binary noise (2.00005 * 10000 = 20000.499999...): round at the
  // 15th significant digit first so that decimal halves round as written.
  // Exponent forms (very large or very small values) carry no such fraction.
  static const TFormatSettings kPlain = rtl::LocaleFormatSettings("C");
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  Currency exact;
  if (std::string(buf).find('e') == std::string::npos && TryStrToCurr(buf, exact, kPlain)) return exact;
  return Currency{std::llround(scaled)};
}

Currency operator*(Currency a, Currency b) { return Currency{DivideRounded(static_cast<__int128>(a.Value) * b.Value, 10000)}; }

Currency operator*(Currency a, int64_t n) { return Currency{DivideRounded(static_cast<__int128>(a.Value) * n, 1)}; }

Currency operator/(Currency a, int64_t n) { return Currency{DivideRounded(a.Value, n)}; }

Currency operator/(Currency a, Currency b) { return Currency{DivideRounded(static_cast<__int128>(a.Value) * 10000, b.Value)}; }

std::string CurrToStr(Currency value, const TFormatSettings& settings) {
  uint64_t magnitude = value.Value < 0 ? 0 - static_cast<uint64_t>(value.Value) : static_cast<uint64_t>(value.Value);
  std::string out = value.Value < 0 ? "-" : "";
  out += std::to_string(magnitude / 10000);
  uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::string digits = std::to_string(fraction);
    digits.insert(0, 4 - digits.size(), '0');
    while (digits.back() == '0') digits.pop_back();
    out += settings.DecimalSeparator;
    out += digits;
  }
  return out;
}

std::string CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }

std::string FormatCurr(std::string_view format, Currency value) { return FormatCurr(format, value, FormatSettings()); }
std::string FormatCurr(std::string_view format, Currency value, const TFormatSettings& settings) {
  return FormatFloat(format, value.ToDouble(), settings);
}

bool TryStrToCurr(const std::string& text, Currency& value, const TFormatSettings& settings) {
  std::string s = Trim(text);
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  __int128 units = 0;
  int decimals = 0;      // digits kept after the separator (at most 4)
  int roundDigit = -1;   // the fifth decimal, which decides the rounding
  bool point = false, digits = false;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (!point) {
        units = units * 10 + (c - '0');
        if (units > static_cast<__int128>(INT64_MAX) / 10000 + 1) return false;
      } else if (decimals < 4) {
        units = units * 10 + (c - '0');
        ++decimals;
      } else if (roundDigit < 0) {
        roundDigit = c - '0';
      }
    } else if (!point && !settings.DecimalSeparator.empty() &&
               s.compare(i, settings.DecimalSeparator.size(), settings.DecimalSeparator) == 0) {
      point = true;
      i += settings.DecimalSeparator.size() - 1;
    } else if (c == 'e' || c == 'E') {
      // Exponent notation goes through the float reading.
      double d;
      if (!rtl::TextToFloat(text, d, settings)) return false;
      try {
        value = Currency::FromDouble(d);
      } catch (const EConvertError&) {
        return false;
      }
      return true;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  for (; decimals < 4; ++decimals) units *= 10;
  if (roundDigit >= 5) units += 1;
  if (negative) units = -units;
  if (units > INT64_MAX || units < INT64_MIN) return false;
  value = Currency{static_cast<int64_t>(units)};
  return true;
}

bool TryStrToCurr(const std::string& s, Currency& value) { return TryStrToCurr(s, value, FormatSettings()); }

Currency StrToCurr(const std::string& s, const TFormatSettings& settings) {
  Currency value;
  if (!TryStrToCurr(s, value, settings)) throw EConvertError("'" + s + "' is not a valid floating point value");
  return value;
}

Currency StrToCurr(const std::string& s) { return StrToCurr(s, FormatSettings()); }

Currency StrToCurrDef(const std::string& s, Currency def) {
  TryStrToCurr(s, def);
  return def;
}

std::ostream& operator<<(std::ostream& out, Currency value) {
  static const TFormatSettings kPlain = rtl::LocaleFormatSettings("C");
  return out << CurrToStr(value, kPlain);
}
