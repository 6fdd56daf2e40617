#pragma once
// Writing pictures in the platform's file formats: bitmap files (1, 24 or 32 bits a pixel)
// and icon files (one 32-bit picture with its AND mask).
#include <cstdint>
#include <vector>

namespace graphics {

// Pixels are 0xAARRGGBB words, rows from the top. One bit a pixel writes white pixels as 1
// and every other as 0; 24 bits drops the alpha.
std::vector<uint8_t> EncodeBmp(const std::vector<uint32_t>& Pixels, int Width, int Height, int BitCount);
// Mask has one byte a pixel, non-zero where the background shows through.
std::vector<uint8_t> EncodeIcon(const std::vector<uint32_t>& Pixels, const std::vector<uint8_t>& Mask, int Width,
                                int Height);

}  // namespace graphics
