#include "platform/graphics/PictureFiles.h"

#include <algorithm>
#include <cstddef>

namespace graphics {

namespace {

class TWriter {
 public:
  void U8(uint32_t V) { Data.push_back(static_cast<uint8_t>(V)); }
  void U16(uint32_t V) {
    U8(V);
    U8(V >> 8);
  }
  void U32(uint32_t V) {
    U16(V);
    U16(V >> 16);
  }
  std::vector<uint8_t> Data;
};

int Stride(int Width, int BitCount) { return ((Width * BitCount + 31) / 32) * 4; }

// The 40-byte header; Height is the stored height (an icon counts its mask too).
void InfoHeader(TWriter& W, int Width, int Height, int BitCount, uint32_t ImageSize, uint32_t Colors) {
  W.U32(40);
  W.U32(static_cast<uint32_t>(Width));
  W.U32(static_cast<uint32_t>(Height));
  W.U16(1);
  W.U16(static_cast<uint32_t>(BitCount));
  W.U32(0);  // no compression
  W.U32(ImageSize);
  W.U32(3780);  // 96 pixels per inch
  W.U32(3780);
  W.U32(Colors);
  W.U32(0);
}

// Bottom-up rows of Pixels in BitCount bits.
void PixelRows(TWriter& W, const std::vector<uint32_t>& Pixels, int Width, int Height, int BitCount) {
  const int stride = Stride(Width, BitCount);
  for (int y = Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
    const uint32_t* in = Pixels.data() + static_cast<size_t>(y) * Width;
    for (int x = 0; x < Width; ++x) {
      const uint32_t p = in[x];
      if (BitCount == 1) {
        if ((p & 0xFFFFFF) == 0xFFFFFF) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      } else if (BitCount == 24) {
        row[x * 3] = p & 0xFF;
        row[x * 3 + 1] = (p >> 8) & 0xFF;
        row[x * 3 + 2] = (p >> 16) & 0xFF;
      } else {
        for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(p >> (8 * i));
      }
    }
    W.Data.insert(W.Data.end(), row.begin(), row.end());
  }
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const std::vector<uint32_t>& Pixels, int Width, int Height, int BitCount) {
  if (BitCount != 1 && BitCount != 32) BitCount = 24;
  const uint32_t colors = BitCount == 1 ? 2 : 0;
  const uint32_t imageSize = static_cast<uint32_t>(Stride(Width, BitCount) * Height);
  const uint32_t offset = 14 + 40 + colors * 4;
  TWriter w;
  w.U8('B');
  w.U8('M');
  w.U32(offset + imageSize);
  w.U32(0);
  w.U32(offset);
  InfoHeader(w, Width, Height, BitCount, imageSize, colors);
  if (BitCount == 1) {
    w.U32(0x000000);
    w.U32(0xFFFFFF);
  }
  PixelRows(w, Pixels, Width, Height, BitCount);
  return w.Data;
}

std::vector<uint8_t> EncodeIcon(const std::vector<uint32_t>& Pixels, const std::vector<uint8_t>& Mask, int Width,
                                int Height) {
  const uint32_t colorSize = static_cast<uint32_t>(Stride(Width, 32) * Height);
  const uint32_t maskSize = static_cast<uint32_t>(Stride(Width, 1) * Height);
  const uint32_t entrySize = 40 + colorSize + maskSize;
  TWriter w;
  w.U16(0);
  w.U16(1);  // an icon
  w.U16(1);  // one picture
  w.U8(Width >= 256 ? 0 : static_cast<uint32_t>(Width));
  w.U8(Height >= 256 ? 0 : static_cast<uint32_t>(Height));
  w.U8(0);
  w.U8(0);
  w.U16(1);
  w.U16(32);
  w.U32(entrySize);
  w.U32(6 + 16);
  InfoHeader(w, Width, Height * 2, 32, colorSize + maskSize, 0);
  // A picture without alpha takes it from the mask, so that readers that use the alpha of
  // 32-bit icons see the same picture.
  std::vector<uint32_t> colors = Pixels;
  const bool hasAlpha = std::any_of(colors.begin(), colors.end(), [](uint32_t p) { return (p >> 24) != 0; });
  if (!hasAlpha)
    for (size_t i = 0; i < colors.size(); ++i)
      colors[i] |= i < Mask.size() && Mask[i] ? 0 : 0xFF000000u;
  PixelRows(w, colors, Width, Height, 32);
  std::vector<uint32_t> mask(static_cast<size_t>(Width) * Height, 0xFF000000u);
  for (size_t i = 0; i < Mask.size() && i < mask.size(); ++i) mask[i] = Mask[i] ? 0xFFFFFFFFu : 0xFF000000u;
  PixelRows(w, mask, Width, Height, 1);
  return w.Data;
}

}  // namespace graphics
