#pragma once
// PNG pictures through libpng: decoding any PNG into a TImage, and encoding a surface (what
// snapshots of windows are written as).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdi/Image.h"
#include "platform/gdi/Surface.h"

namespace gdi {

TImage DecodePng(const uint8_t* Data, size_t Size);
// The surface as an opaque RGB PNG (what the screen shows; alpha is not kept).
std::vector<uint8_t> EncodePng(const TSurface& Surface);
// Writes EncodePng(Surface) to Path; raises EInOutError when the file cannot be written.
void SavePngFile(const TSurface& Surface, const std::string& Path);

}  // namespace gdi
