#pragma once
// Scratch drawing surfaces for the graphics classes: a memory DC with a bitmap of its own,
// freed with the object, and the pixel access the classes need on bitmap handles.
#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace graphics {

// A memory DC holding a new Width × Height bitmap: 32-bit colour whose pixels (0xAARRGGBB,
// rows from the top) are reachable through Bits, or monochrome.
class TMemoryDC {
 public:
  TMemoryDC(int Width, int Height, bool Mono = false);
  ~TMemoryDC();
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;

  HDC DC() const { return FDC; }
  HBITMAP Bitmap() const { return FBitmap; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Colour DCs only (null for monochrome ones).
  uint32_t* Bits() const { return FBits; }
  uint32_t* Row(int Y) const { return FBits + static_cast<size_t>(Y) * FWidth; }
  // Gives the bitmap away (the caller frees it); the DC is still freed with this object.
  HBITMAP Release();

 private:
  HDC FDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOld = nullptr;
  uint32_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

// A memory DC that has Bitmap selected for its lifetime (the bitmap is not freed).
class TSelectedBitmap {
 public:
  explicit TSelectedBitmap(HBITMAP Bitmap);
  ~TSelectedBitmap();
  TSelectedBitmap(const TSelectedBitmap&) = delete;
  TSelectedBitmap& operator=(const TSelectedBitmap&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

// A new 32-bit bitmap (a DIB section, rows from the top) and its pixels.
HBITMAP CreateColorBitmap(int Width, int Height, uint32_t** Bits = nullptr);
// The size of a bitmap ((0, 0) for a handle that is none), and whether it is monochrome.
TSize BitmapSize(HBITMAP Bitmap);
bool IsMonochrome(HBITMAP Bitmap);
// The pixels of a bitmap as 0xAARRGGBB words, rows from the top (monochrome: black and white).
std::vector<uint32_t> ReadPixels(HBITMAP Bitmap);
// Writes pixels (as ReadPixels gives them) into a bitmap of the same size.
void WritePixels(HBITMAP Bitmap, const std::vector<uint32_t>& Pixels);
// A new monochrome bitmap from one byte a pixel (non-zero: white), rows from the top.
HBITMAP CreateMaskBitmap(int Width, int Height, const std::vector<uint8_t>& Bits);

}  // namespace graphics
