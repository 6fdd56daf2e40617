#pragma once
// The raster: painting spans of a surface with a colour or a brush pattern through a binary
// raster operation, and the clipped loops that feed it. Everything works on whole rows.
#include <cstdint>
#include <memory>

#include "platform/gdi/DCState.h"

namespace gdi {

// What a span is painted with: nothing, one pixel value, or a pattern repeated from Org
// (surface coordinates). Pattern pixels with alpha 0 are left out (the gaps of a hatch on a
// transparent background).
struct TPaint {
  bool None = false;
  uint32_t Pixel = 0xFF000000u;
  std::shared_ptr<const TSurface> Pattern;
  TPoint Org;
  bool Solid() const { return !None && !Pattern; }
};

inline TPaint NoPaint() {
  TPaint p;
  p.None = true;
  return p;
}
// A solid paint of Color on DC (black or white on a monochrome DC).
TPaint ColorPaint(const TDC& DC, COLORREF Color);
// The paint of a brush object on DC: its colour or its pattern, a hatch's gaps in the DC's
// background colour (left out with the transparent background mode), a monochrome pattern
// in the DC's text colour (bit 0) and background colour (bit 1), aligned to the brush origin.
TPaint BrushPaint(const TDC& DC, const TBrushObject* Brush);
// The colour a brush paints (system colour and DC brushes resolved); patterns give their
// first pixel.
COLORREF BrushColor(const TDC& DC, const TBrushObject& Brush);
// The brush behind an HBRUSH, or the system colour brush that (index + 1) stands for.
const TBrushObject* ResolveBrush(HBRUSH Brush);

// A binary raster operation (R2_*) on pen pixel P and destination D; the result is opaque.
inline uint32_t Rop2(int Op, uint32_t P, uint32_t D) {
  uint32_t r;
  switch (Op) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(P | D); break;
    case R2_MASKNOTPEN: r = ~P & D; break;
    case R2_NOTCOPYPEN: r = ~P; break;
    case R2_MASKPENNOT: r = P & ~D; break;
    case R2_NOT: r = ~D; break;
    case R2_XORPEN: r = P ^ D; break;
    case R2_NOTMASKPEN: r = ~(P & D); break;
    case R2_MASKPEN: r = P & D; break;
    case R2_NOTXORPEN: r = ~(P ^ D); break;
    case R2_NOP: return D;
    case R2_MERGENOTPEN: r = ~P | D; break;
    case R2_MERGEPENNOT: r = P | ~D; break;
    case R2_MERGEPEN: r = P | D; break;
    case R2_WHITE: r = 0xFFFFFFu; break;
    default: r = P; break;  // R2_COPYPEN
  }
  return r | 0xFF000000u;
}

// Paints [X0, X1) of surface row Y.
void PaintRow(TSurface& S, int Y, int X0, int X1, const TPaint& Paint, int Op);

// Calls F(Y, X0, X1) for every row piece of R (surface coordinates) inside Clip.
template <class F>
void ForEachSpan(const TRegion& Clip, const TRect& R, F&& Fn) {
  if (R.IsEmpty()) return;
  for (const auto& b : Clip.Bands()) {
    if (b.Bottom <= R.Top) continue;
    if (b.Top >= R.Bottom) break;
    const int y0 = std::max(b.Top, R.Top), y1 = std::min(b.Bottom, R.Bottom);
    for (const auto& s : b.Spans) {
      if (s.Right <= R.Left) continue;
      if (s.Left >= R.Right) break;
      const int x0 = std::max(s.Left, R.Left), x1 = std::min(s.Right, R.Right);
      for (int y = y0; y < y1; ++y) Fn(y, x0, x1);
    }
  }
}
// Calls F(Y, X0, X1) for every row piece of a region (surface coordinates) inside Clip.
template <class F>
void ForEachSpan(const TRegion& Clip, const TRegion& Shape, F&& Fn) {
  if (Shape.IsRect()) return ForEachSpan(Clip, Shape.Box(), Fn);
  const TRegion in = TRegion::Combine(Shape, Clip, TRegion::opAnd);
  for (const auto& b : in.Bands())
    for (const auto& s : b.Spans)
      for (int y = b.Top; y < b.Bottom; ++y) Fn(y, s.Left, s.Right);
}

// Paints a device rectangle (already mirrored) or a device region through DC's clip.
void PaintDeviceRect(TDC& DC, const TRect& R, const TPaint& Paint, int Op);
void PaintDeviceRegion(TDC& DC, TRegion Shape, const TPaint& Paint, int Op);

// Monochrome conversions of surface pixels.
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
inline bool IsLightPixel(uint32_t P) { return IsLight(ColorOfPixel(P)); }

}  // namespace gdi
