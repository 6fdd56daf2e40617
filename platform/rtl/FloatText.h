#pragma once
// Numbers as text with the format settings' decimal separator, shared by the date,
// currency and variant conversions.
#include <string>

#include "platform/rtl/FormatSettings.h"

namespace rtl {

// Shortest general form with up to 15 significant digits: "0.1", "-2.5", "1E15", "1E-5",
// "NAN", "INF", "-INF".
std::string FloatToText(double value, const TFormatSettings& settings, int precision = 15);
// A decimal number with optional sign, fraction (the settings' decimal separator) and
// exponent; blanks around it are allowed. False for anything else.
bool TextToFloat(const std::string& text, double& value, const TFormatSettings& settings);
// The text without leading and trailing blanks and control characters.
std::string TrimBlanks(const std::string& text);

}  // namespace rtl
