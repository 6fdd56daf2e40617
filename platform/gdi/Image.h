#pragma once
// Decoded pictures: what the bitmap, icon, cursor, JPEG and PNG readers produce and what the
// graphics classes (TBitmap, TIcon, TJPEGImage, TPicture) are built from.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/Types.h"

// A picture that cannot be read: unknown format, damaged or truncated data. The message
// says what is wrong ("Bitmap data truncated", "Unsupported icon entry").
class EInvalidGraphic : public Exception { public: using Exception::Exception; };

namespace gdi {

struct TImage {
  int Width = 0;
  int Height = 0;
  // 0xAARRGGBB, rows from the top, Width words a row. Pictures without alpha are opaque.
  std::vector<uint32_t> Pixels;
  // True when the alpha of Pixels came from the picture (32-bit bitmaps and icons, PNG).
  bool HasAlpha = false;
  // The AND mask of an icon or cursor, one byte a pixel in the order of Pixels: 1 where the
  // screen shows through (or is inverted, where the colour is not black). Empty otherwise.
  std::vector<uint8_t> Mask;
  // The hot spot of a cursor (0, 0 for everything else).
  TPoint HotSpot;
  // Bits per pixel the picture was stored with (1, 4, 8, 16, 24, 32), and its colour table
  // (0xFFRRGGBB entries) when it had one.
  int BitDepth = 32;
  std::vector<uint32_t> Palette;

  uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * Width + X]; }
  uint32_t& At(int X, int Y) { return Pixels[static_cast<size_t>(Y) * Width + X]; }
};

// Pictures larger than this in either direction, or than kMaxImagePixels in all (128 MiB of
// pixels), are refused as damaged rather than allocated.
constexpr int kMaxImageSide = 32768;
constexpr int64_t kMaxImagePixels = int64_t(1) << 25;
// Checks the size of a picture about to be decoded; raises EInvalidGraphic naming Kind.
void CheckImageSize(int64_t Width, int64_t Height, const char* Kind);

// Reads any of the supported formats, told apart by their first bytes (bitmap file, icon,
// cursor, JPEG, PNG). For icons and cursors the entry nearest 32 x 32 is taken.
TImage DecodeImage(const uint8_t* Data, size_t Size);
TImage DecodeImage(const std::vector<uint8_t>& Data);
TImage LoadImageFile(const std::string& Path);

// Little-endian reading of a byte buffer that raises EInvalidGraphic("<Kind> data
// truncated") instead of reading past the end.
class TByteReader {
 public:
  TByteReader(const uint8_t* Data, size_t Size, const char* Kind) : FData(Data), FSize(Size), FKind(Kind) {}
  size_t Size() const { return FSize; }
  size_t Pos() const { return FPos; }
  void Seek(size_t Pos);
  void Skip(size_t Count) { Seek(FPos + Count); }
  bool Has(size_t Count) const { return Count <= FSize - FPos; }
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // Count bytes at the current position (checked), advancing past them.
  const uint8_t* Bytes(size_t Count);
  [[noreturn]] void Truncated() const;
  [[noreturn]] void Fail(const std::string& What) const;

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
  const char* FKind;
};

}  // namespace gdi
