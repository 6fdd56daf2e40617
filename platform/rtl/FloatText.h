#pragma once
// Floating-point text with the format settings' decimal separator (FloatToStr and
// TryStrToFloat work with '.'), shared by the currency and variant conversions.
#include <string>

#include "platform/rtl/FormatSettings.h"

namespace rtl {

// As FloatToStr, rounded to `precision` significant digits (at most 15): "0.1", "1E15".
std::string FloatToText(double value, const TFormatSettings& settings, int precision = 15);
// As TryStrToFloat, reading the settings' decimal separator in place of '.'.
bool TextToFloat(const std::string& text, double& value, const TFormatSettings& settings);

}  // namespace rtl
