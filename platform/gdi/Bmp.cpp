#include "platform/gdi/Bmp.h"

#include <bit>
#include <cstdlib>

namespace gdi {
namespace {

enum : uint32_t { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6 };

struct TDibHeader {
  int64_t Width = 0;
  int64_t Height = 0;
  bool TopDown = false;
  int Bpp = 0;
  uint32_t Compression = BI_RGB;
  uint32_t ColorsUsed = 0;
  uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool HasMasks = false;
  int PaletteEntrySize = 4;
};

// One channel of a masked pixel, scaled to 0..255.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Max = 0;
  explicit TChannel(uint32_t M) : Mask(M) {
    if (!M) return;
    Shift = std::countr_zero(M);
    const int bits = std::popcount(M >> Shift);
    Max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
  }
  uint32_t Of(uint32_t Px) const {
    if (!Mask) return 0;
    const uint64_t v = (Px & Mask) >> Shift;
    return static_cast<uint32_t>((v * 255 + Max / 2) / Max);
  }
};

TDibHeader ReadHeader(TByteReader& R, bool IconImage) {
  const size_t start = R.Pos();
  TDibHeader h;
  const uint32_t size = R.U32();
  if (size == 12) {
    h.Width = R.U16();
    h.Height = static_cast<int16_t>(R.U16());
    R.U16();  // planes
    h.Bpp = R.U16();
    h.PaletteEntrySize = 3;
  } else if (size >= 40 && size <= 4096) {
    h.Width = R.I32();
    h.Height = R.I32();
    R.U16();  // planes
    h.Bpp = R.U16();
    h.Compression = R.U32();
    R.Skip(12);  // image size, resolution
    h.ColorsUsed = R.U32();
    R.U32();  // important colours
    if (size >= 52) {
      for (int i = 0; i < 3; ++i) h.Masks[i] = R.U32();
      h.HasMasks = true;
    }
    if (size >= 56) h.Masks[3] = R.U32();
  } else {
    R.Fail("unsupported header size " + std::to_string(size));
  }
  R.Seek(start + size);
  if (size == 40 && (h.Compression == BI_BITFIELDS || h.Compression == BI_ALPHABITFIELDS)) {
    for (int i = 0; i < 3; ++i) h.Masks[i] = R.U32();
    if (h.Compression == BI_ALPHABITFIELDS) h.Masks[3] = R.U32();
    h.HasMasks = true;
  }
  if (h.Height < 0) {
    h.TopDown = true;
    h.Height = -h.Height;
  }
  if (IconImage) h.Height /= 2;
  if (h.Width < 0) R.Fail("negative width");
  CheckImageSize(h.Width, h.Height, "Bitmap");

  const int bpp = h.Bpp;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    R.Fail("unsupported bit depth " + std::to_string(bpp));
  const uint32_t c = h.Compression;
  const bool ok = c == BI_RGB || (c == BI_RLE8 && bpp == 8) || (c == BI_RLE4 && bpp == 4) ||
                  ((c == BI_BITFIELDS || c == BI_ALPHABITFIELDS) && (bpp == 16 || bpp == 32));
  if (!ok) R.Fail("unsupported compression " + std::to_string(c) + " at " + std::to_string(bpp) + " bits");
  if (c == BI_RGB) {
    // Uncompressed pixels use the fixed layouts whatever masks a long header carries.
    h.HasMasks = false;
    if (bpp == 16) h.Masks[0] = 0x7C00, h.Masks[1] = 0x03E0, h.Masks[2] = 0x001F, h.Masks[3] = 0;
    if (bpp == 32) h.Masks[0] = 0xFF0000, h.Masks[1] = 0xFF00, h.Masks[2] = 0xFF, h.Masks[3] = 0xFF000000u;
  }
  return h;
}

std::vector<uint32_t> ReadPalette(TByteReader& R, const TDibHeader& H) {
  std::vector<uint32_t> palette;
  uint32_t count = H.ColorsUsed;
  if (H.Bpp <= 8) {
    const uint32_t full = 1u << H.Bpp;
    if (count == 0 || count > full) count = full;
  } else {
    // A colour table beside true-colour pixels is only a hint for palette displays.
    R.Skip(static_cast<size_t>(std::min<uint32_t>(count, 65536)) * H.PaletteEntrySize);
    return palette;
  }
  palette.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* e = R.Bytes(H.PaletteEntrySize);
    palette.push_back(0xFF000000u | (uint32_t(e[2]) << 16) | (uint32_t(e[1]) << 8) | e[0]);
  }
  return palette;
}

// Decodes run-length encoded indices (bottom-up rows) into Index, row 0 first in file order.
void DecodeRle(TByteReader& R, const TDibHeader& H, std::vector<uint8_t>& Index) {
  const int w = static_cast<int>(H.Width), h = static_cast<int>(H.Height);
  const bool four = H.Compression == BI_RLE4;
  int x = 0, y = 0;
  auto put = [&](uint8_t v) {
    if (x < w && y < h) Index[static_cast<size_t>(y) * w + x] = v;
    ++x;
  };
  while (y < h) {
    const uint8_t n = R.U8();
    const uint8_t c = R.U8();
    if (n > 0) {
      for (int i = 0; i < n; ++i) put(four ? ((i & 1) ? (c & 0x0F) : (c >> 4)) : c);
    } else if (c == 0) {
      x = 0;
      ++y;
    } else if (c == 1) {
      break;
    } else if (c == 2) {
      x += R.U8();
      y += R.U8();
    } else {
      const size_t bytes = four ? (c + 1u) / 2 : c;
      const uint8_t* p = R.Bytes(bytes);
      for (int i = 0; i < c; ++i) put(four ? ((i & 1) ? (p[i / 2] & 0x0F) : (p[i / 2] >> 4)) : p[i]);
      if (bytes & 1) R.Skip(1);
    }
  }
}

TImage DecodeDibAt(TByteReader& R, size_t PixelOffset, bool IconImage) {
  const TDibHeader h = ReadHeader(R, IconImage);
  TImage img;
  img.Width = static_cast<int>(h.Width);
  img.Height = static_cast<int>(h.Height);
  img.BitDepth = h.Bpp;
  img.Palette = ReadPalette(R, h);
  // A file's pixel offset is used when it points past the headers; some writers leave it
  // wrong, and the pixels then follow the colour table.
  if (PixelOffset >= R.Pos() && PixelOffset < R.Size()) R.Seek(PixelOffset);

  const int w = img.Width, hgt = img.Height;
  const size_t stride = ((static_cast<size_t>(w) * h.Bpp + 31) / 32) * 4;
  const bool rle = h.Compression == BI_RLE4 || h.Compression == BI_RLE8;
  // Uncompressed pixels must all be there before anything is allocated for them.
  if (!rle && !R.Has(stride * hgt)) R.Truncated();
  img.Pixels.assign(static_cast<size_t>(w) * hgt, 0xFF000000u);
  auto rowOf = [&](int FileRow) { return h.TopDown ? FileRow : hgt - 1 - FileRow; };
  auto colour = [&](uint32_t I) { return I < img.Palette.size() ? img.Palette[I] : 0xFF000000u; };

  if (rle) {
    std::vector<uint8_t> index(static_cast<size_t>(w) * hgt, 0);
    DecodeRle(R, h, index);
    for (int fy = 0; fy < hgt; ++fy)
      for (int x = 0; x < w; ++x) img.At(x, rowOf(fy)) = colour(index[static_cast<size_t>(fy) * w + x]);
    return img;
  }

  const TChannel red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]), alpha(h.Masks[3]);
  bool anyAlpha = false;
  for (int fy = 0; fy < hgt; ++fy) {
    const uint8_t* src = R.Bytes(stride);
    uint32_t* dst = &img.At(0, rowOf(fy));
    for (int x = 0; x < w; ++x) {
      switch (h.Bpp) {
        case 1: dst[x] = colour((src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 4: dst[x] = colour((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)); break;
        case 8: dst[x] = colour(src[x]); break;
        case 24: {
          const uint8_t* p = src + x * 3;
          dst[x] = 0xFF000000u | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
          break;
        }
        default: {
          uint32_t px;
          if (h.Bpp == 16) {
            px = uint32_t(src[x * 2]) | (uint32_t(src[x * 2 + 1]) << 8);
          } else {
            const uint8_t* p = src + x * 4;
            px = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
          }
          const uint32_t a = alpha.Of(px);
          anyAlpha |= a != 0;
          dst[x] = (a << 24) | (red.Of(px) << 16) | (green.Of(px) << 8) | blue.Of(px);
        }
      }
    }
  }
  if (h.Bpp == 16 || h.Bpp == 32) {
    // Alpha counts only when some pixel has it; otherwise the byte was padding.
    img.HasAlpha = anyAlpha;
    if (!anyAlpha)
      for (uint32_t& p : img.Pixels) p |= 0xFF000000u;
  }

  if (IconImage) {
    const size_t maskStride = ((static_cast<size_t>(w) + 31) / 32) * 4;
    img.Mask.assign(img.Pixels.size(), 0);
    // Some alpha icons leave the mask out; their alpha says everything.
    if (!R.Has(maskStride * hgt)) {
      if (img.HasAlpha) {
        img.Mask.clear();
        return img;
      }
      R.Truncated();
    }
    for (int fy = 0; fy < hgt; ++fy) {
      const uint8_t* src = R.Bytes(maskStride);
      const int y = rowOf(fy);
      for (int x = 0; x < w; ++x) img.Mask[static_cast<size_t>(y) * w + x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
    }
    if (!img.HasAlpha) {
      // Masked black pixels are transparent; masked coloured ones invert the screen, which a
      // picture cannot hold: they stay in Mask for whoever draws with it.
      for (size_t i = 0; i < img.Pixels.size(); ++i)
        if (img.Mask[i] && (img.Pixels[i] & 0xFFFFFF) == 0) img.Pixels[i] = 0;
      img.HasAlpha = true;
    }
  }
  return img;
}

}  // namespace

TImage DecodeBmp(const uint8_t* Data, size_t Size) {
  TByteReader r(Data, Size, "Bitmap");
  if (r.U16() != 0x4D42) r.Fail("not a bitmap file");
  r.Skip(8);  // file size, reserved
  const uint32_t offset = r.U32();
  return DecodeDibAt(r, offset, false);
}

TImage DecodeDib(const uint8_t* Data, size_t Size, bool IconImage) {
  TByteReader r(Data, Size, IconImage ? "Icon" : "Bitmap");
  return DecodeDibAt(r, 0, IconImage);
}

}  // namespace gdi
