#include "platform/gdi/Raster.h"

#include <algorithm>

namespace gdi {

namespace {

int Mod(int A, int B) {
  const int m = A % B;
  return m < 0 ? m + B : m;
}

// The 8 × 8 hatch patterns: true where the hatch line is.
bool HatchBit(int Hatch, int X, int Y) {
  switch (Hatch) {
    case HS_HORIZONTAL: return Y == 0;
    case HS_VERTICAL: return X == 0;
    case HS_FDIAGONAL: return X == Y;
    case HS_BDIAGONAL: return X + Y == 7;
    case HS_CROSS: return X == 0 || Y == 0;
    case HS_DIAGCROSS: return X == Y || X + Y == 7;
    default: return false;
  }
}

}  // namespace

const TBrushObject* ResolveBrush(HBRUSH Brush) {
  const auto value = reinterpret_cast<uintptr_t>(Brush);
  if (value >= 1 && value <= COLOR_COUNT) {
    return FindAs<TBrushObject>(GetSysColorBrush(static_cast<int>(value - 1)), OBJ_BRUSH);
  }
  return FindAs<TBrushObject>(Brush, OBJ_BRUSH);
}

COLORREF BrushColor(const TDC& DC, const TBrushObject& Brush) {
  if (Brush.DCBrush) return DC.A.DCBrushColor;
  if (Brush.SysIndex >= 0) return GetSysColor(Brush.SysIndex);
  if (Brush.Pattern && Brush.Pattern->Width() > 0) return ColorOfPixel(Brush.Pattern->Get(0, 0));
  return Brush.Color;
}

TPaint ColorPaint(const TDC& DC, COLORREF Color) {
  TPaint p;
  p.Pixel = DC.PixelFor(Color);
  return p;
}

TPaint BrushPaint(const TDC& DC, const TBrushObject* Brush) {
  TPaint p;
  if (!Brush || Brush->Style == BS_NULL) {
    p.None = true;
    return p;
  }
  p.Org = {DC.Origin.X + DC.A.BrushOrg.X, DC.Origin.Y + DC.A.BrushOrg.Y};
  if (Brush->Style == BS_HATCHED) {
    auto pattern = std::make_shared<TSurface>(8, 8);
    const uint32_t line = DC.PixelFor(Brush->Color);
    const uint32_t gap = DC.A.BkMode == OPAQUE ? DC.PixelFor(DC.A.BkColor) : 0u;
    for (int y = 0; y < 8; ++y)
      for (int x = 0; x < 8; ++x) pattern->Set(x, y, HatchBit(Brush->Hatch, x, y) ? line : gap);
    p.Pattern = pattern;
    return p;
  }
  if (Brush->Pattern && Brush->Pattern->Width() > 0 && Brush->Pattern->Height() > 0) {
    const TSurface& src = *Brush->Pattern;
    auto pattern = std::make_shared<TSurface>(src.Width(), src.Height());
    const uint32_t fore = DC.PixelFor(DC.A.TextColor), back = DC.PixelFor(DC.A.BkColor);
    for (int y = 0; y < src.Height(); ++y) {
      const uint32_t* in = src.Row(y);
      uint32_t* out = pattern->Row(y);
      for (int x = 0; x < src.Width(); ++x) {
        if (Brush->Mono) out[x] = IsLightPixel(in[x]) ? back : fore;
        else out[x] = DC.Mono ? (IsLightPixel(in[x]) ? kWhite : kBlack) : (in[x] | 0xFF000000u);
      }
    }
    p.Pattern = pattern;
    return p;
  }
  p.Pixel = DC.PixelFor(BrushColor(DC, *Brush));
  return p;
}

void PaintRow(TSurface& S, int Y, int X0, int X1, const TPaint& Paint, int Op) {
  if (Paint.None || X1 <= X0 || Op == R2_NOP) return;
  uint32_t* row = S.Row(Y);
  if (!Paint.Pattern) {
    const uint32_t P = Paint.Pixel;
    switch (Op) {
      case R2_COPYPEN: std::fill(row + X0, row + X1, P); return;
      case R2_XORPEN:
        for (int x = X0; x < X1; ++x) row[x] = (row[x] ^ P) | 0xFF000000u;
        return;
      case R2_NOT:
        for (int x = X0; x < X1; ++x) row[x] = ~row[x] | 0xFF000000u;
        return;
      default:
        for (int x = X0; x < X1; ++x) row[x] = Rop2(Op, P, row[x]);
        return;
    }
  }
  const TSurface& pat = *Paint.Pattern;
  const uint32_t* prow = pat.Row(Mod(Y - Paint.Org.Y, pat.Height()));
  const int w = pat.Width();
  int px = Mod(X0 - Paint.Org.X, w);
  for (int x = X0; x < X1; ++x) {
    const uint32_t P = prow[px];
    if (++px == w) px = 0;
    if ((P >> 24) == 0) continue;
    row[x] = Op == R2_COPYPEN ? P : Rop2(Op, P, row[x]);
  }
}

void PaintDeviceRect(TDC& DC, const TRect& R, const TPaint& Paint, int Op) {
  if (Paint.None || !DC.Surface) return;
  TRect s = R;
  OffsetRect(&s, DC.Origin.X, DC.Origin.Y);
  TSurface& surface = *DC.Surface;
  ForEachSpan(DC.Clip(), s, [&](int y, int x0, int x1) { PaintRow(surface, y, x0, x1, Paint, Op); });
}

void PaintDeviceRegion(TDC& DC, TRegion Shape, const TPaint& Paint, int Op) {
  if (Paint.None || !DC.Surface || Shape.IsEmpty()) return;
  Shape.Offset(DC.Origin.X, DC.Origin.Y);
  TSurface& surface = *DC.Surface;
  ForEachSpan(DC.Clip(), Shape, [&](int y, int x0, int x1) { PaintRow(surface, y, x0, x1, Paint, Op); });
}

}  // namespace gdi
