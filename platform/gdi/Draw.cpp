#include "platform/gdi/Draw.h"

#include <algorithm>

#include "platform/gdi/DCState.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Scan.h"

using namespace gdi;

namespace {

// A logical region in device coordinates (origins applied, mirrored for right-to-left).
TRegion RegionToDevice(const TDC& DC, const TRegion& R) {
  TRegion d = R;
  if (DC.Mirrored()) {
    std::vector<TRect> rects = d.Rects();
    for (auto& r : rects) r = DC.ToDevice(r);
    return TRegion::FromRects(rects);
  }
  d.Offset(DC.A.ViewportOrg.X - DC.A.WindowOrg.X, DC.A.ViewportOrg.Y - DC.A.WindowOrg.Y);
  return d;
}

// The pixels along the inside of a region's border, Width columns and Height rows deep: the
// region less the region eroded by that much.
TRegion InnerBorder(const TRegion& R, int Width, int Height) {
  TRegion eroded = R;
  for (int dx = -Width; dx <= Width; ++dx) {
    if (dx == 0) continue;
    TRegion moved = R;
    moved.Offset(dx, 0);
    eroded &= moved;
  }
  for (int dy = -Height; dy <= Height; ++dy) {
    if (dy == 0) continue;
    TRegion moved = R;
    moved.Offset(0, dy);
    eroded &= moved;
  }
  return TRegion::Combine(R, eroded, TRegion::opDiff);
}

}  // namespace

int FillRect(HDC DC, const TRect* R, HBRUSH Brush) {
  TDC* dc = DCOf(DC);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !R || !brush) return FALSE;
  PaintDeviceRect(*dc, dc->ToDevice(*R), BrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

int FrameRect(HDC DC, const TRect* R, HBRUSH Brush) {
  TDC* dc = DCOf(DC);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !R || !brush) return FALSE;
  const TRect d = dc->ToDevice(*R);
  if (d.IsEmpty()) return TRUE;
  TRegion frame(d);
  frame -= TRect{d.Left + 1, d.Top + 1, d.Right - 1, d.Bottom - 1};
  PaintDeviceRegion(*dc, frame, BrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

BOOL InvertRect(HDC DC, const TRect* R) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return FALSE;
  PaintDeviceRect(*dc, dc->ToDevice(*R), TPaint{}, R2_NOT);
  return TRUE;
}

BOOL FillRgn(HDC DC, HRGN Region, HBRUSH Brush) {
  TDC* dc = DCOf(DC);
  const TRegion* r = RegionOf(Region);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !r || !brush) return FALSE;
  PaintDeviceRegion(*dc, RegionToDevice(*dc, *r), BrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

BOOL FrameRgn(HDC DC, HRGN Region, HBRUSH Brush, int Width, int Height) {
  TDC* dc = DCOf(DC);
  const TRegion* r = RegionOf(Region);
  const TBrushObject* brush = ResolveBrush(Brush);
  if (!dc || !r || !brush || Width < 0 || Height < 0) return FALSE;
  PaintDeviceRegion(*dc, InnerBorder(RegionToDevice(*dc, *r), Width, Height), BrushPaint(*dc, brush), R2_COPYPEN);
  return TRUE;
}

BOOL PaintRgn(HDC DC, HRGN Region) {
  TDC* dc = DCOf(DC);
  const TRegion* r = RegionOf(Region);
  if (!dc || !r) return FALSE;
  PaintDeviceRegion(*dc, RegionToDevice(*dc, *r), BrushPaint(*dc, dc->A.BrushObject.get()), dc->A.Rop2);
  return TRUE;
}

BOOL InvertRgn(HDC DC, HRGN Region) {
  TDC* dc = DCOf(DC);
  const TRegion* r = RegionOf(Region);
  if (!dc || !r) return FALSE;
  PaintDeviceRegion(*dc, RegionToDevice(*dc, *r), TPaint{}, R2_NOT);
  return TRUE;
}

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color) {
  TDC* dc = DCOf(DC);
  if (!dc || !dc->Surface) return CLR_INVALID;
  const TPoint d = dc->ToDevice({X, Y});
  const int sx = d.X + dc->Origin.X, sy = d.Y + dc->Origin.Y;
  if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
  const uint32_t p = dc->PixelFor(Color);
  dc->Surface->Set(sx, sy, p);
  return ColorOfPixel(p);
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color) { return SetPixel(DC, X, Y, Color) != CLR_INVALID; }

COLORREF GetPixel(HDC DC, int X, int Y) {
  TDC* dc = DCOf(DC);
  if (!dc || !dc->Surface) return CLR_INVALID;
  const TPoint d = dc->ToDevice({X, Y});
  const int sx = d.X + dc->Origin.X, sy = d.Y + dc->Origin.Y;
  if (!dc->Clip().Contains(sx, sy)) return CLR_INVALID;
  return ColorOfPixel(dc->Surface->Get(sx, sy));
}
