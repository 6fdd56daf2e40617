#pragma once
// Builds picture files byte by byte for the codec tests: bitmap files of every depth and
// header, icons and cursors, so that no picture has to be shipped.
#include <cstdint>
#include <string>
#include <vector>

namespace test {

struct TBytes {
  std::vector<uint8_t> Data;
  TBytes& U8(uint32_t V) { Data.push_back(static_cast<uint8_t>(V)); return *this; }
  TBytes& U16(uint32_t V) { return U8(V).U8(V >> 8); }
  TBytes& U32(uint32_t V) { return U16(V).U16(V >> 16); }
  TBytes& Append(const std::vector<uint8_t>& B) { Data.insert(Data.end(), B.begin(), B.end()); return *this; }
  void Put32(size_t At, uint32_t V) { for (int i = 0; i < 4; ++i) Data[At + i] = static_cast<uint8_t>(V >> (8 * i)); }
  size_t Size() const { return Data.size(); }
};

enum class THeader { Core, Info, V5 };

// A picture in the form the bitmap writer takes: Width x Height, rows from the top. For
// depths up to 8 the values are palette indices, above that 0xAARRGGBB colours.
struct TBmpSpec {
  int Width = 0;
  int Height = 0;
  int Bpp = 24;
  THeader Header = THeader::Info;
  bool TopDown = false;
  std::vector<uint32_t> Values;
  std::vector<uint32_t> Palette;  // 0x00RRGGBB
  uint32_t Compression = 0;       // 0 plain, 3 with masks (16 and 32 bits)
  uint32_t Masks[4] = {0, 0, 0, 0};
  std::vector<uint8_t> Rle;       // the encoded pixels for compression 1 and 2
};

// The header, colour table and pixels without the file header (as icons hold them); with
// IconMask the height is doubled and the mask rows (1 = transparent) follow.
inline std::vector<uint8_t> MakeDib(const TBmpSpec& S, const std::vector<uint8_t>* IconMask = nullptr) {
  TBytes b;
  const int h = IconMask ? S.Height * 2 : S.Height;
  if (S.Header == THeader::Core) {
    b.U32(12).U16(S.Width).U16(h).U16(1).U16(S.Bpp);
  } else {
    b.U32(S.Header == THeader::V5 ? 124 : 40).U32(S.Width).U32(S.TopDown ? -h : h).U16(1).U16(S.Bpp);
    b.U32(S.Compression).U32(0).U32(2835).U32(2835).U32(static_cast<uint32_t>(S.Palette.size())).U32(0);
    if (S.Header == THeader::V5) {
      for (uint32_t m : S.Masks) b.U32(m);
      b.U32(0x73524742);  // colour space
      for (int i = 0; i < 12; ++i) b.U32(0);  // end points, gamma
      b.U32(4).U32(0).U32(0).U32(0);  // intent, profile
    } else if (S.Compression == 3) {
      for (int i = 0; i < 3; ++i) b.U32(S.Masks[i]);
    }
  }
  for (uint32_t c : S.Palette) {
    b.U8(c).U8(c >> 8).U8(c >> 16);
    if (S.Header != THeader::Core) b.U8(0);
  }
  if (!S.Rle.empty()) return b.Append(S.Rle).Data;
  const int stride = ((S.Width * S.Bpp + 31) / 32) * 4;
  for (int fy = 0; fy < S.Height; ++fy) {
    const int y = S.TopDown ? fy : S.Height - 1 - fy;
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < S.Width; ++x) {
      const uint32_t v = S.Values[y * S.Width + x];
      switch (S.Bpp) {
        case 1: row[x / 8] |= (v & 1) << (7 - x % 8); break;
        case 4: row[x / 2] |= (v & 15) << (x % 2 ? 0 : 4); break;
        case 8: row[x] = static_cast<uint8_t>(v); break;
        case 16: {
          const uint32_t p = ((v >> 19) & 0x1F) << 10 | ((v >> 11) & 0x1F) << 5 | ((v >> 3) & 0x1F);
          row[x * 2] = static_cast<uint8_t>(p), row[x * 2 + 1] = static_cast<uint8_t>(p >> 8);
          break;
        }
        case 24: row[x * 3] = v & 0xFF, row[x * 3 + 1] = (v >> 8) & 0xFF, row[x * 3 + 2] = (v >> 16) & 0xFF; break;
        case 32: for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(v >> (8 * i)); break;
      }
    }
    b.Append(row);
  }
  if (IconMask) {
    const int ms = ((S.Width + 31) / 32) * 4;
    for (int fy = 0; fy < S.Height; ++fy) {
      const int y = S.Height - 1 - fy;
      std::vector<uint8_t> row(ms, 0);
      for (int x = 0; x < S.Width; ++x) row[x / 8] |= ((*IconMask)[y * S.Width + x] & 1) << (7 - x % 8);
      b.Append(row);
    }
  }
  return b.Data;
}

inline std::vector<uint8_t> MakeBmp(const TBmpSpec& S) {
  const std::vector<uint8_t> dib = MakeDib(S);
  const int header = S.Header == THeader::Core ? 12 : S.Header == THeader::V5 ? 124 : 40;
  const size_t masks = S.Header == THeader::Info && S.Compression == 3 ? 12 : 0;
  const size_t palette = S.Palette.size() * (S.Header == THeader::Core ? 3 : 4);
  TBytes b;
  b.U8('B').U8('M').U32(static_cast<uint32_t>(14 + dib.size())).U32(0);
  b.U32(static_cast<uint32_t>(14 + header + masks + palette));
  return b.Append(dib).Data;
}

struct TIconPart {
  int Width = 0, Height = 0, Bpp = 0;
  uint16_t HotX = 0, HotY = 0;
  std::vector<uint8_t> Data;  // a DIB with its mask, or a PNG stream
};

inline std::vector<uint8_t> MakeIconFile(const std::vector<TIconPart>& Parts, bool Cursor) {
  TBytes b;
  b.U16(0).U16(Cursor ? 2 : 1).U16(static_cast<uint32_t>(Parts.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(Parts.size());
  for (const TIconPart& p : Parts) {
    b.U8(p.Width & 0xFF).U8(p.Height & 0xFF).U8(0).U8(0);
    if (Cursor) b.U16(p.HotX).U16(p.HotY); else b.U16(1).U16(p.Bpp);
    b.U32(static_cast<uint32_t>(p.Data.size())).U32(offset);
    offset += static_cast<uint32_t>(p.Data.size());
  }
  for (const TIconPart& p : Parts) b.Append(p.Data);
  return b.Data;
}

}  // namespace test
