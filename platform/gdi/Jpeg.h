#pragma once
// JPEG pictures (baseline and progressive; grey, colour and CMYK) through libjpeg's
// decompression interface.
#include <cstddef>
#include <cstdint>

#include "platform/gdi/Image.h"

namespace gdi {

// Damaged or truncated data raises EInvalidGraphic with libjpeg's message.
TImage DecodeJpeg(const uint8_t* Data, size_t Size);

}  // namespace gdi
