#pragma once
// Floating-point text with the format settings' decimal separator; FloatToStr,
// TryStrToFloat, Format and the currency and variant conversions are built on it.
#include <string>

#include "platform/rtl/FormatSettings.h"

namespace rtl {

// Shortest general form with up to `precision` (at most 15) significant digits:
// "0.1", "-2.5", "1E15", "1E-5", "NAN", "INF", "-INF".
std::string FloatToText(double value, const TFormatSettings& settings, int precision = 15);
// A decimal number with optional sign, fraction (the settings' decimal separator) and
// exponent; blanks around it are allowed. False for anything else.
bool TextToFloat(const std::string& text, double& value, const TFormatSettings& settings);

}  // namespace rtl
