#include "platform/rtl/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace rtl {

std::string FloatToText(double value, const TFormatSettings& settings, int precision) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.*G", precision, value);
  const std::string raw = buf;
  std::string out;
  const size_t e = raw.find('E');
  for (char c : raw.substr(0, e)) {
    if (c == '.') out += settings.DecimalSeparator;
    else out += c;
  }
  if (e != std::string::npos) {
    // "E+05" -> "E5", "E-05" -> "E-5".
    out += 'E';
    size_t k = e + 1;
    if (raw[k] == '-') out += '-';
    if (raw[k] == '+' || raw[k] == '-') ++k;
    while (k + 1 < raw.size() && raw[k] == '0') ++k;
    out += raw.substr(k);
  }
  return out;
}

bool TextToFloat(const std::string& text, double& value, const TFormatSettings& settings) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  const std::string s = text.substr(begin, end - begin);
  // Rewrite into the plain C form that from_chars reads (it takes no '+' and no locale).
  std::string plain;
  bool digits = false, point = false, exponent = false;
  size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    if (s[i] == '-') plain += '-';
    ++i;
  }
  while (i < s.size()) {
    const char c = s[i];
    if (c >= '0' && c <= '9') {
      digits = true;
      plain += c;
      ++i;
    } else if (!point && !exponent && !settings.DecimalSeparator.empty() &&
               s.compare(i, settings.DecimalSeparator.size(), settings.DecimalSeparator) == 0) {
      point = true;
      plain += '.';
      i += settings.DecimalSeparator.size();
    } else if ((c == 'e' || c == 'E') && digits && !exponent) {
      exponent = true;
      plain += 'e';
      ++i;
      if (i < s.size() && (s[i] == '+' || s[i] == '-')) plain += s[i++];
      if (i >= s.size() || s[i] < '0' || s[i] > '9') return false;
    } else {
      return false;
    }
  }
  if (!digits) return false;
  double result = 0;
  const auto [stop, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (ec != std::errc() || stop != plain.data() + plain.size()) return false;
  value = result;
  return true;
}

}  // namespace rtl
