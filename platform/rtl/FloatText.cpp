#include "platform/rtl/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/rtl/Strings.h"

namespace rtl {

std::string FloatToText(double value, const TFormatSettings& settings, int precision) {
  if (precision < 15 && std::isfinite(value)) {
    // Fewer digits (a single-precision value): round through their decimal text so that
    // 0.1f shows as "0.1", not as the binary neighbour of 0.1.
    char buf[40];
    int n = std::snprintf(buf, sizeof buf, "%.*g", precision, value);
    double rounded;
    if (n > 0 && std::from_chars(buf, buf + n, rounded).ec == std::errc()) value = rounded;
  }
  std::string text = FloatToStr(value);
  if (settings.DecimalSeparator == ".") return text;
  auto point = text.find('.');
  if (point != std::string::npos) text.replace(point, 1, settings.DecimalSeparator);
  return text;
}

bool TextToFloat(const std::string& text, double& value, const TFormatSettings& settings) {
  if (settings.DecimalSeparator.empty() || settings.DecimalSeparator == ".") return TryStrToFloat(text, value);
  if (text.find('.') != std::string::npos) return false;
  std::string plain = text;
  auto separator = plain.find(settings.DecimalSeparator);
  if (separator != std::string::npos) plain.replace(separator, settings.DecimalSeparator.size(), ".");
  return TryStrToFloat(plain, value);
}

}  // namespace rtl
