#pragma once
// A 32-bit pixel surface: what a top-level window, a bitmap or the screen draws into.
// Pixels are 0xAARRGGBB words (the byte order of a 32-bit device-independent bitmap in
// memory: blue, green, red, alpha), rows from the top. Presenters show these words as they
// are; COLORREF values (0x00BBGGRR) are converted where they are drawn.
#include <cstdint>
#include <vector>

#include "platform/rtl/Types.h"

namespace gdi {

// A COLORREF (0x00BBGGRR) as a surface pixel (opaque).
constexpr uint32_t PixelOf(COLORREF Color) {
  return 0xFF000000u | ((Color & 0xFFu) << 16) | (Color & 0xFF00u) | ((Color >> 16) & 0xFFu);
}
// A surface pixel as a COLORREF (alpha dropped).
constexpr COLORREF ColorOfPixel(uint32_t Pixel) {
  return ((Pixel >> 16) & 0xFFu) | (Pixel & 0xFF00u) | ((Pixel & 0xFFu) << 16);
}

class TSurface {
 public:
  TSurface() = default;
  TSurface(int Width, int Height, uint32_t Fill = 0xFFFFFFFFu);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  TRect Bounds() const { return {0, 0, FWidth, FHeight}; }

  // Changes the size; the part both sizes share keeps its pixels, new ones get Fill.
  void Resize(int Width, int Height, uint32_t Fill = 0xFFFFFFFFu);

  // Rows are Width words each, without padding. A bottom-up surface (a device-independent
  // bitmap whose header asks for it) keeps its last row first in memory; Row still counts
  // from the top.
  uint32_t* Row(int Y) { return FPixels.data() + static_cast<size_t>(FBottomUp ? FHeight - 1 - Y : Y) * FWidth; }
  const uint32_t* Row(int Y) const {
    return FPixels.data() + static_cast<size_t>(FBottomUp ? FHeight - 1 - Y : Y) * FWidth;
  }
  // The pixels in memory order.
  uint32_t* Data() { return FPixels.data(); }
  const uint32_t* Data() const { return FPixels.data(); }
  bool BottomUp() const { return FBottomUp; }
  // Reorders the rows in memory; the picture stays as it is.
  void SetBottomUp(bool Value);

  // Pixel access; outside the surface Get answers 0 and Set does nothing.
  uint32_t Get(int X, int Y) const;
  void Set(int X, int Y, uint32_t Pixel);
  // Fills the part of R inside the surface.
  void Fill(const TRect& R, uint32_t Pixel);
  // Moves the pixels of Source (clipped to the surface) by (Dx, Dy), as a scroll does; the
  // pixels it uncovers keep their old values.
  void Scroll(const TRect& Source, int Dx, int Dy);

  // The part changed since the presenter last took it: whoever finishes drawing (EndPaint,
  // ReleaseDC, a scroll) adds what it may have touched, and the presenter shows that part.
  void AddDamage(const TRect& R);
  TRect TakeDamage();

 private:
  TRect FDamage;
  int FWidth = 0;
  int FHeight = 0;
  bool FBottomUp = false;
  std::vector<uint32_t> FPixels;
};

}  // namespace gdi
