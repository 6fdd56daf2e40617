#pragma once
// The platform bitmap format: 1, 4, 8, 16, 24 and 32 bits a pixel, uncompressed, run-length
// encoded (4 and 8 bits) or with colour masks, stored bottom-up or top-down, with any of the
// header versions (the 12-byte core header, the 40-byte info header and its 52, 56, 108 and
// 124-byte extensions).
#include <cstddef>
#include <cstdint>

#include "platform/gdi/Image.h"

namespace gdi {

// A bitmap file: file header, bitmap header, colour table, pixels.
TImage DecodeBmp(const uint8_t* Data, size_t Size);

// A bitmap without the file header, as icons, cursors and resources store it: the pixels
// follow the colour table. With IconImage the header's height counts the colour image and
// the AND mask below it, and the mask is read into TImage::Mask.
TImage DecodeDib(const uint8_t* Data, size_t Size, bool IconImage = false);

}  // namespace gdi
