#include "platform/gdi/Surface.h"

#include <algorithm>
#include <cstring>

namespace gdi {

TSurface::TSurface(int Width, int Height, uint32_t Fill) { Resize(Width, Height, Fill); }

void TSurface::Resize(int Width, int Height, uint32_t Fill) {
  Width = std::max(0, Width);
  Height = std::max(0, Height);
  if (Width == FWidth && Height == FHeight) return;
  std::vector<uint32_t> pixels(static_cast<size_t>(Width) * Height, Fill);
  const int keepW = std::min(Width, FWidth);
  const int keepH = std::min(Height, FHeight);
  for (int y = 0; y < keepH; ++y) {
    const int to = FBottomUp ? Height - 1 - y : y;
    std::memcpy(pixels.data() + static_cast<size_t>(to) * Width, Row(y), keepW * sizeof(uint32_t));
  }
  FPixels.swap(pixels);
  FWidth = Width;
  FHeight = Height;
}

void TSurface::SetBottomUp(bool Value) {
  if (Value == FBottomUp) return;
  for (int y = 0; y < FHeight / 2; ++y)
    std::swap_ranges(Row(y), Row(y) + FWidth, Row(FHeight - 1 - y));
  FBottomUp = Value;
}

uint32_t TSurface::Get(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  return Row(Y)[X];
}

void TSurface::Set(int X, int Y, uint32_t Pixel) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  Row(Y)[X] = Pixel;
}

void TSurface::Fill(const TRect& R, uint32_t Pixel) {
  const int l = std::max(0, R.Left), r = std::min(FWidth, R.Right);
  const int t = std::max(0, R.Top), b = std::min(FHeight, R.Bottom);
  if (l >= r) return;
  for (int y = t; y < b; ++y) std::fill(Row(y) + l, Row(y) + r, Pixel);
}

void TSurface::Scroll(const TRect& Source, int Dx, int Dy) {
  TRect src;
  const TRect all = Bounds();
  if (!IntersectRect(&src, &Source, &all)) return;
  TRect dst = src;
  OffsetRect(&dst, Dx, Dy);
  TRect clipped;
  if (!IntersectRect(&clipped, &dst, &all)) return;
  // Copy the part of the source that lands inside the surface, in an order that never reads
  // a pixel already overwritten.
  const int w = clipped.Width();
  auto copyRow = [&](int y) {
    std::memmove(Row(y) + clipped.Left, Row(y - Dy) + (clipped.Left - Dx), w * sizeof(uint32_t));
  };
  if (Dy > 0)
    for (int y = clipped.Bottom - 1; y >= clipped.Top; --y) copyRow(y);
  else
    for (int y = clipped.Top; y < clipped.Bottom; ++y) copyRow(y);
}

void TSurface::AddDamage(const TRect& R) {
  TRect clipped;
  const TRect all = Bounds();
  if (IntersectRect(&clipped, &R, &all)) UnionRect(&FDamage, &FDamage, &clipped);
}

TRect TSurface::TakeDamage() {
  TRect d = FDamage;
  FDamage = {};
  return d;
}

}  // namespace gdi
