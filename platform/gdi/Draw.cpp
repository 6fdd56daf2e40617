#include "platform/gdi/Draw.h"

#include <algorithm>
#include <cmath>
#include <numbers>

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

// The selected pen as drawing needs it.
struct TPenUse {
  bool Null = false;
  int Width = 1;
  bool Thin = true;   // one pixel: drawn pixel by pixel, with styles
  DWORD Cap = PS_ENDCAP_ROUND;
  DWORD Join = PS_JOIN_ROUND;
  bool InsideFrame = false;
  std::vector<double> Dashes;  // on and off lengths by turns; empty for a solid line
  TPaint Pen;
  TPaint Gap;  // the gaps of a styled line: the background colour when it is opaque
  int Op = R2_COPYPEN;
};

TPenUse PenOf(const TDC& DC) {
  TPenUse u;
  const TPenObject* pen = DC.A.PenObject.get();
  if (!pen || pen->Kind() == PS_NULL) {
    u.Null = true;
    return u;
  }
  u.Op = DC.A.Rop2;
  u.Pen = ColorPaint(DC, pen->DCPen ? DC.A.DCPenColor : pen->Color);
  u.Gap = DC.A.BkMode == OPAQUE ? ColorPaint(DC, DC.A.BkColor) : NoPaint();
  u.Width = std::max(1, pen->Width);
  u.Thin = u.Width <= 1;
  u.InsideFrame = pen->Kind() == PS_INSIDEFRAME;
  if (pen->Geometric()) {
    u.Cap = pen->Style & PS_ENDCAP_MASK;
    u.Join = pen->Style & PS_JOIN_MASK;
  }
  // Cosmetic styles in pixels; geometric ones in multiples of the width.
  const double unit = u.Thin ? 1 : u.Width;
  switch (pen->Kind()) {
    case PS_DASH: u.Dashes = u.Thin ? std::vector<double>{18, 6} : std::vector<double>{3 * unit, unit}; break;
    case PS_DOT: u.Dashes = u.Thin ? std::vector<double>{3, 3} : std::vector<double>{unit, unit}; break;
    case PS_DASHDOT:
      u.Dashes = u.Thin ? std::vector<double>{9, 6, 3, 6} : std::vector<double>{3 * unit, unit, unit, unit};
      break;
    case PS_DASHDOTDOT:
      u.Dashes = u.Thin ? std::vector<double>{9, 3, 3, 3, 3, 3}
                        : std::vector<double>{3 * unit, unit, unit, unit, unit, unit};
      break;
    case PS_ALTERNATE: u.Dashes = {1, 1}; break;
    case PS_USERSTYLE:
      for (DWORD d : pen->Dashes) u.Dashes.push_back(std::max<double>(1, d));
      if (u.Dashes.size() % 2) u.Dashes.push_back(u.Dashes.back());
      break;
    default: break;
  }
  return u;
}

// Paints one-pixel lines: pixel runs of one row and one kind (pen or gap) are painted as a
// span; the style position runs on across the segments of one call.
class TThinLine {
 public:
  TThinLine(TDC& DC, const TPenUse& Pen) : FDC(DC), FPen(Pen) {}
  ~TThinLine() { Flush(); }

  // From A to B, B left out.
  void Segment(TPoint A, TPoint B) {
    const int dx = B.X - A.X, dy = B.Y - A.Y;
    const int steps = std::max(std::abs(dx), std::abs(dy));
    if (steps == 0) return;
    if (FPen.Dashes.empty() && (dx == 0 || dy == 0)) {
      Flush();
      const TRect r = dx == 0 ? TRect{A.X, std::min(A.Y, B.Y + 1), A.X + 1, std::max(A.Y, B.Y - 1) + 1}
                              : TRect{std::min(A.X, B.X + 1), A.Y, std::max(A.X, B.X - 1) + 1, A.Y + 1};
      PaintDeviceRect(FDC, r, FPen.Pen, FPen.Op);
      return;
    }
    const bool xMajor = std::abs(dx) >= std::abs(dy);
    for (int i = 0; i < steps; ++i) {
      int x, y;
      if (xMajor) {
        x = A.X + (dx > 0 ? i : -i);
        y = A.Y + RoundDiv(static_cast<int64_t>(i) * dy, steps);
      } else {
        y = A.Y + (dy > 0 ? i : -i);
        x = A.X + RoundDiv(static_cast<int64_t>(i) * dx, steps);
      }
      Pixel(x, y, StyleOn());
    }
  }

 private:
  static int RoundDiv(int64_t N, int64_t D) {
    const int64_t n = 2 * N + D, d = 2 * D;
    return static_cast<int>(n >= 0 ? n / d : -((-n + d - 1) / d));
  }
  bool StyleOn() {
    if (FPen.Dashes.empty()) return true;
    const bool on = FDash % 2 == 0;
    if (++FInDash >= FPen.Dashes[FDash]) {
      FInDash = 0;
      FDash = (FDash + 1) % FPen.Dashes.size();
    }
    return on;
  }
  void Pixel(int X, int Y, bool On) {
    if (FRun && Y == FY && On == FOn && (X == FX1 || X == FX0 - 1)) {
      FX0 = std::min(FX0, X);
      FX1 = std::max(FX1, X + 1);
      return;
    }
    Flush();
    FRun = true;
    FY = Y;
    FX0 = X;
    FX1 = X + 1;
    FOn = On;
  }
  void Flush() {
    if (!FRun) return;
    FRun = false;
    PaintDeviceRect(FDC, {FX0, FY, FX1, FY + 1}, FOn ? FPen.Pen : FPen.Gap, FPen.Op);
  }

  TDC& FDC;
  const TPenUse& FPen;
  size_t FDash = 0;
  double FInDash = 0;
  bool FRun = false, FOn = true;
  int FY = 0, FX0 = 0, FX1 = 0;
};

TPointF F(TPoint P) { return {static_cast<double>(P.X), static_cast<double>(P.Y)}; }

// What a wide pen covers along a path: a band of the pen's width around each segment, its
// ends capped, its corners joined.
void StrokeWide(const std::vector<TPointF>& Path, bool Closed, const TPenUse& Pen, TSpanBuilder& Out) {
  const double h = Pen.Width / 2.0;
  const size_t n = Path.size();
  if (n == 0) return;
  auto unit = [](TPointF a, TPointF b) {
    const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
    return len > 0 ? TPointF{dx / len, dy / len} : TPointF{0, 0};
  };
  const size_t segments = Closed ? n : n - 1;
  bool any = false;
  for (size_t i = 0; i < segments; ++i) {
    const TPointF a = Path[i], b = Path[(i + 1) % n];
    const TPointF u = unit(a, b);
    if (u.X == 0 && u.Y == 0) continue;
    any = true;
    const TPointF nn{-u.Y * h, u.X * h};
    const bool square = Pen.Cap == PS_ENDCAP_SQUARE && !Closed;
    const double e0 = square && i == 0 ? h : 0, e1 = square && i + 1 == segments ? h : 0;
    const TPointF a2{a.X - u.X * e0, a.Y - u.Y * e0}, b2{b.X + u.X * e1, b.Y + u.Y * e1};
    ScanPolygons({{{a2.X + nn.X, a2.Y + nn.Y}, {b2.X + nn.X, b2.Y + nn.Y}, {b2.X - nn.X, b2.Y - nn.Y},
                   {a2.X - nn.X, a2.Y - nn.Y}}},
                 false, Out);
  }
  if (!any) {
    // A path of one point: a round pen leaves a dot, a square one a square.
    if (Pen.Cap == PS_ENDCAP_ROUND) ScanDisc(Path[0].X, Path[0].Y, h, Out);
    else if (Pen.Cap == PS_ENDCAP_SQUARE)
      ScanPolygons({{{Path[0].X - h, Path[0].Y - h}, {Path[0].X + h, Path[0].Y - h}, {Path[0].X + h, Path[0].Y + h},
                     {Path[0].X - h, Path[0].Y + h}}},
                   false, Out);
    return;
  }
  if (!Closed && Pen.Cap == PS_ENDCAP_ROUND) {
    ScanDisc(Path.front().X, Path.front().Y, h, Out);
    ScanDisc(Path.back().X, Path.back().Y, h, Out);
  }
  // Joins at the inner vertices (all of them on a closed path).
  for (size_t i = Closed ? 0 : 1; i < (Closed ? n : n - 1); ++i) {
    const TPointF v = Path[i], prev = Path[(i + n - 1) % n], next = Path[(i + 1) % n];
    const TPointF u1 = unit(prev, v), u2 = unit(v, next);
    if ((u1.X == 0 && u1.Y == 0) || (u2.X == 0 && u2.Y == 0)) continue;
    if (Pen.Join == PS_JOIN_ROUND) {
      ScanDisc(v.X, v.Y, h, Out);
      continue;
    }
    for (double side : {1.0, -1.0}) {
      const TPointF p1{v.X - u1.Y * h * side, v.Y + u1.X * h * side};
      const TPointF p2{v.X - u2.Y * h * side, v.Y + u2.X * h * side};
      const double cross = u1.X * u2.Y - u1.Y * u2.X;
      if (Pen.Join == PS_JOIN_MITER && std::abs(cross) > 1e-9) {
        // Where the two offset edges meet.
        const double t = ((p2.X - p1.X) * u2.Y - (p2.Y - p1.Y) * u2.X) / cross;
        const TPointF m{p1.X + u1.X * t, p1.Y + u1.Y * t};
        if (std::hypot(m.X - v.X, m.Y - v.Y) <= 10 * h) {
          ScanPolygons({{v, p1, m, p2}}, false, Out);
          continue;
        }
      }
      ScanPolygons({{v, p1, p2}}, false, Out);
    }
  }
}

// The on-pieces of a path cut by a dash pattern (lengths along the path).
std::vector<std::vector<TPointF>> Dash(const std::vector<TPointF>& Path, bool Closed, const std::vector<double>& Dashes) {
  std::vector<std::vector<TPointF>> pieces;
  std::vector<TPointF> pts = Path;
  if (Closed && !pts.empty()) pts.push_back(pts.front());
  size_t dash = 0;
  double left = Dashes[0];
  std::vector<TPointF> current;
  bool on = true;
  if (!pts.empty()) current.push_back(pts[0]);
  for (size_t i = 0; i + 1 < pts.size(); ++i) {
    TPointF a = pts[i];
    const TPointF b = pts[i + 1];
    double len = std::hypot(b.X - a.X, b.Y - a.Y);
    while (len > 0) {
      const double step = std::min(left, len);
      const double t = step / len;
      const TPointF m{a.X + (b.X - a.X) * t, a.Y + (b.Y - a.Y) * t};
      if (on) current.push_back(m);
      a = m;
      len -= step;
      left -= step;
      if (left <= 1e-9) {
        if (on && current.size() > 1) pieces.push_back(current);
        current.clear();
        on = !on;
        dash = (dash + 1) % Dashes.size();
        left = Dashes[dash];
        if (on) current.push_back(a);
      }
    }
  }
  if (on && current.size() > 1) pieces.push_back(current);
  return pieces;
}

// Draws a path of device points with the DC's pen.
void StrokePath(TDC& DC, const TPenUse& Pen, const std::vector<TPoint>& Path, bool Closed) {
  if (Pen.Null || Path.empty()) return;
  if (Pen.Thin) {
    TThinLine line(DC, Pen);
    for (size_t i = 0; i + 1 < Path.size(); ++i) line.Segment(Path[i], Path[i + 1]);
    if (Closed && Path.size() > 1) line.Segment(Path.back(), Path.front());
    return;
  }
  std::vector<TPointF> path;
  for (TPoint p : Path) path.push_back(F(p));
  TSpanBuilder covered;
  if (Pen.Dashes.empty()) {
    StrokeWide(path, Closed, Pen, covered);
  } else {
    for (const auto& piece : Dash(path, Closed, Pen.Dashes)) StrokeWide(piece, false, Pen, covered);
  }
  PaintDeviceRegion(DC, covered.Build(), Pen.Pen, Pen.Op);
}

std::vector<TPoint> ToDevicePoints(const TDC& DC, const TPoint* Points, size_t Count) {
  std::vector<TPoint> out;
  out.reserve(Count);
  for (size_t i = 0; i < Count; ++i) out.push_back(DC.ToDevice(Points[i]));
  return out;
}

// Fills polygons (device points) with the brush by the DC's fill mode.
void FillPolygons(TDC& DC, const std::vector<std::vector<TPoint>>& Polygons) {
  std::vector<std::vector<TPointF>> polys;
  for (const auto& poly : Polygons) {
    std::vector<TPointF> p;
    for (TPoint q : poly) p.push_back(F(q));
    polys.push_back(std::move(p));
  }
  PaintDeviceRegion(DC, PolygonRegion(polys, DC.A.PolyFillMode == WINDING),
                    BrushPaint(DC, DC.A.BrushObject.get()), DC.A.Rop2);
}

// The flattened outline of a rounded rectangle through the pixels of a device box's edges,
// counter-clockwise from the right (for styled outlines; Rx < 0 makes an ellipse).
std::vector<TPoint> RoundRectPath(const TRect& Box, double Rx, double Ry) {
  const double l = Box.Left, t = Box.Top, r = Box.Right - 1, b = Box.Bottom - 1;
  const double rx = Rx < 0 ? (r - l) / 2 : std::min(Rx, (r - l) / 2), ry = Ry < 0 ? (b - t) / 2 : std::min(Ry, (b - t) / 2);
  const TPointF centres[4] = {{r - rx, t + ry}, {l + rx, t + ry}, {l + rx, b - ry}, {r - rx, b - ry}};
  const int n = std::clamp(static_cast<int>((rx + ry) / 2), 2, 180);
  std::vector<TPoint> pts;
  for (int q = 0; q < 4; ++q)
    for (int i = 0; i <= n; ++i) {
      const double a = std::numbers::pi / 2 * (q + static_cast<double>(i) / n);
      const TPoint p{static_cast<int>(std::lround(centres[q].X + rx * std::cos(a))),
                     static_cast<int>(std::lround(centres[q].Y - ry * std::sin(a)))};
      if (pts.empty() || !(pts.back() == p)) pts.push_back(p);
    }
  if (pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
  return pts;
}

// Rectangle, RoundRect and Ellipse: the brush inside, the pen's ring around.
BOOL Figure(HDC Handle, int Left, int Top, int Right, int Bottom, double Rx, double Ry) {
  TDC* dc = DCOf(Handle);
  if (!dc) return FALSE;
  const TRect box = dc->ToDevice(TRect{Left, Top, Right, Bottom});
  const TPenUse pen = PenOf(*dc);
  const TPaint brush = BrushPaint(*dc, dc->A.BrushObject.get());
  const bool styled = !pen.Null && !pen.Dashes.empty();
  const int width = pen.Null ? 0 : styled ? 1 : pen.Width;
  const TFigure f = FigureOf(box.Left, box.Top, box.Right, box.Bottom, Rx, Ry, width, pen.InsideFrame);
  PaintDeviceRegion(*dc, f.Inside, brush, dc->A.Rop2);
  if (pen.Null) return TRUE;
  if (!styled) {
    PaintDeviceRegion(*dc, f.Ring, pen.Pen, pen.Op);
    return TRUE;
  }
  if (Rx == 0 && Ry == 0) {
    StrokePath(*dc, pen,
               {{box.Left, box.Top}, {box.Right - 1, box.Top}, {box.Right - 1, box.Bottom - 1},
                {box.Left, box.Bottom - 1}},
               true);
  } else {
    StrokePath(*dc, pen, RoundRectPath(box, Rx, Ry), true);
  }
  return TRUE;
}

// The angle of a device point around a centre, counter-clockwise on the screen, in [0, 2π).
double AngleOf(double X, double Y, double Cx, double Cy) {
  double a = std::atan2(-(Y - Cy), X - Cx);
  return a < 0 ? a + 2 * std::numbers::pi : a;
}

enum class TArcKind { Arc, Pie, Chord };

BOOL ArcFigure(HDC Handle, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd,
               TArcKind Kind) {
  TDC* dc = DCOf(Handle);
  if (!dc) return FALSE;
  const TRect box = dc->ToDevice(TRect{Left, Top, Right, Bottom});
  TPoint s = dc->ToDevice({XStart, YStart}), e = dc->ToDevice({XEnd, YEnd});
  if (box.Width() < 1 || box.Height() < 1) return TRUE;
  // Counter-clockwise from start to end; clockwise swaps them (mirroring turns it round).
  if ((dc->A.ArcDirection == AD_CLOCKWISE) != dc->Mirrored()) std::swap(s, e);
  const double cx = (box.Left + box.Right - 1) / 2.0, cy = (box.Top + box.Bottom - 1) / 2.0;
  const double a0 = AngleOf(s.X, s.Y, cx, cy), a1 = AngleOf(e.X, e.Y, cx, cy);
  double sweep = a1 - a0;
  if (sweep <= 0) sweep += 2 * std::numbers::pi;
  auto inSweep = [&](int x, int y) {
    if (x == cx && y == cy) return true;
    double d = AngleOf(x, y, cx, cy) - a0;
    if (d < 0) d += 2 * std::numbers::pi;
    return d <= sweep + 1e-9;
  };
  // Where the rays meet the path.
  const double ra = (box.Width() - 1) / 2.0, rb = (box.Height() - 1) / 2.0;
  auto onPath = [&](double angle) {
    const double dx = std::cos(angle), dy = -std::sin(angle);
    const double t = 1 / std::sqrt((ra > 0 ? dx * dx / (ra * ra) : 1e18 * dx * dx) +
                                   (rb > 0 ? dy * dy / (rb * rb) : 1e18 * dy * dy));
    return TPoint{static_cast<int>(std::lround(cx + dx * t)), static_cast<int>(std::lround(cy + dy * t))};
  };
  const TPoint p0 = onPath(a0), p1 = onPath(a1);
  const TPenUse pen = PenOf(*dc);
  const int width = pen.Null ? 0 : pen.Thin ? 1 : pen.Width;
  const TFigure f = FigureOf(box.Left, box.Top, box.Right, box.Bottom, -1, -1, width, pen.InsideFrame);
  if (Kind != TArcKind::Arc) {
    // The part of the inside on the arc's side of the chord, or within the pie's angle.
    const double chx = p1.X - p0.X, chy = p1.Y - p0.Y;
    const bool big = sweep > std::numbers::pi;
    auto keep = [&](int x, int y) {
      if (Kind == TArcKind::Pie) return inSweep(x, y);
      const double side = chx * (y - p0.Y) - chy * (x - p0.X);
      return big ? side <= 0 || inSweep(x, y) : side < 0 && inSweep(x, y);
    };
    PaintDeviceRegion(*dc, FilterRegion(f.Inside, keep), BrushPaint(*dc, dc->A.BrushObject.get()), dc->A.Rop2);
  }
  if (pen.Null) return TRUE;
  PaintDeviceRegion(*dc, FilterRegion(f.Ring, inSweep), pen.Pen, pen.Op);
  if (Kind == TArcKind::Pie) StrokePath(*dc, pen, {p1, {static_cast<int>(cx), static_cast<int>(cy)}, p0}, false);
  if (Kind == TArcKind::Chord) StrokePath(*dc, pen, {p1, p0}, false);
  return TRUE;
}

// The points of cubic Bézier curves (start, then three points a curve), flattened.
std::vector<TPoint> FlattenBeziers(const TPoint* Points, size_t Count) {
  std::vector<TPoint> out{Points[0]};
  for (size_t i = 1; i + 2 < Count; i += 3) {
    const TPointF p0 = F(Points[i - 1]), p1 = F(Points[i]), p2 = F(Points[i + 1]), p3 = F(Points[i + 2]);
    const double len = std::hypot(p1.X - p0.X, p1.Y - p0.Y) + std::hypot(p2.X - p1.X, p2.Y - p1.Y) +
                       std::hypot(p3.X - p2.X, p3.Y - p2.Y);
    const int n = std::clamp(static_cast<int>(len / 2), 2, 512);
    for (int k = 1; k <= n; ++k) {
      const double t = static_cast<double>(k) / n, u = 1 - t;
      const double x = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
      const double y = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
      const TPoint p{static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))};
      if (!(out.back() == p)) out.push_back(p);
    }
  }
  return out;
}

}  // namespace

BOOL MoveToEx(HDC DC, int X, int Y, TPoint* Old) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  if (Old) *Old = dc->A.CurrentPos;
  dc->A.CurrentPos = {X, Y};
  return TRUE;
}

BOOL LineTo(HDC DC, int X, int Y) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  StrokePath(*dc, PenOf(*dc), {dc->ToDevice(dc->A.CurrentPos), dc->ToDevice({X, Y})}, false);
  dc->A.CurrentPos = {X, Y};
  return TRUE;
}

BOOL Polyline(HDC DC, const TPoint* Points, int Count) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || Count < 2) return FALSE;
  StrokePath(*dc, PenOf(*dc), ToDevicePoints(*dc, Points, static_cast<size_t>(Count)), false);
  return TRUE;
}

BOOL PolylineTo(HDC DC, const TPoint* Points, DWORD Count) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || Count == 0) return FALSE;
  std::vector<TPoint> path{dc->ToDevice(dc->A.CurrentPos)};
  for (DWORD i = 0; i < Count; ++i) path.push_back(dc->ToDevice(Points[i]));
  StrokePath(*dc, PenOf(*dc), path, false);
  dc->A.CurrentPos = Points[Count - 1];
  return TRUE;
}

BOOL PolyPolyline(HDC DC, const TPoint* Points, const DWORD* Counts, DWORD PolylineCount) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || !Counts) return FALSE;
  for (DWORD i = 0; i < PolylineCount; ++i)
    if (Counts[i] < 2) return FALSE;
  const TPenUse pen = PenOf(*dc);
  const TPoint* p = Points;
  for (DWORD i = 0; i < PolylineCount; ++i) {
    StrokePath(*dc, pen, ToDevicePoints(*dc, p, Counts[i]), false);
    p += Counts[i];
  }
  return TRUE;
}

BOOL PolyBezier(HDC DC, const TPoint* Points, DWORD Count) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || Count < 4 || (Count - 1) % 3 != 0) return FALSE;
  const std::vector<TPoint> flat = FlattenBeziers(Points, Count);
  StrokePath(*dc, PenOf(*dc), ToDevicePoints(*dc, flat.data(), flat.size()), false);
  return TRUE;
}

BOOL PolyBezierTo(HDC DC, const TPoint* Points, DWORD Count) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || Count < 3 || Count % 3 != 0) return FALSE;
  std::vector<TPoint> all{dc->A.CurrentPos};
  all.insert(all.end(), Points, Points + Count);
  const std::vector<TPoint> flat = FlattenBeziers(all.data(), all.size());
  StrokePath(*dc, PenOf(*dc), ToDevicePoints(*dc, flat.data(), flat.size()), false);
  dc->A.CurrentPos = Points[Count - 1];
  return TRUE;
}

BOOL PolyPolygon(HDC DC, const TPoint* Points, const int* Counts, int PolygonCount) {
  TDC* dc = DCOf(DC);
  if (!dc || !Points || !Counts || PolygonCount <= 0) return FALSE;
  std::vector<std::vector<TPoint>> polys;
  const TPoint* p = Points;
  for (int i = 0; i < PolygonCount; ++i) {
    if (Counts[i] < 2) return FALSE;
    polys.push_back(ToDevicePoints(*dc, p, static_cast<size_t>(Counts[i])));
    p += Counts[i];
  }
  FillPolygons(*dc, polys);
  const TPenUse pen = PenOf(*dc);
  for (const auto& poly : polys) StrokePath(*dc, pen, poly, true);
  return TRUE;
}

BOOL Polygon(HDC DC, const TPoint* Points, int Count) { return PolyPolygon(DC, Points, &Count, 1); }

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom) { return Figure(DC, Left, Top, Right, Bottom, 0, 0); }

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height) {
  return Figure(DC, Left, Top, Right, Bottom, std::abs(Width) / 2.0, std::abs(Height) / 2.0);
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom) { return Figure(DC, Left, Top, Right, Bottom, -1, -1); }

BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
  return ArcFigure(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Arc);
}

BOOL ArcTo(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  // A line from the current position to the arc's start, the arc, and the end becomes current.
  const double cx = (Left + Right - 1) / 2.0, cy = (Top + Bottom - 1) / 2.0;
  const double a = (Right - Left - 1) / 2.0, b = (Bottom - Top - 1) / 2.0;
  auto onPath = [&](int x, int y) {
    const double dx = x - cx, dy = y - cy;
    const double t = 1 / std::sqrt((a > 0 ? dx * dx / (a * a) : 0) + (b > 0 ? dy * dy / (b * b) : 0) + 1e-18);
    return TPoint{static_cast<int>(std::lround(cx + dx * t)), static_cast<int>(std::lround(cy + dy * t))};
  };
  const TPoint start = onPath(XStart, YStart), end = onPath(XEnd, YEnd);
  LineTo(DC, start.X, start.Y);
  Arc(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd);
  dc->A.CurrentPos = end;
  return TRUE;
}

BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
  return ArcFigure(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Pie);
}

BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd) {
  return ArcFigure(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, TArcKind::Chord);
}

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
