#pragma once
// Shapes as pixel sets. A pixel (x, y) is the point (x, y); a shape covers the pixels whose
// points lie inside it, a point on a left or top boundary counting as inside and one on a
// right or bottom boundary as outside (so shapes that share an edge never share a pixel).
#include <functional>
#include <vector>

#include "platform/gdi/Region.h"

namespace gdi {

struct TPointF {
  double X = 0;
  double Y = 0;
};

// Collects spans row by row and makes a region of their union.
class TSpanBuilder {
 public:
  void Add(int Y, int X0, int X1);
  TRegion Build() const;

 private:
  int FTop = 0;
  std::vector<std::vector<TRegion::TSpan>> FRows;
};

// Polygons (closed implicitly), filled by the alternate (even-odd) or winding rule.
void ScanPolygons(const std::vector<std::vector<TPointF>>& Polygons, bool Winding, TSpanBuilder& Out);
TRegion PolygonRegion(const std::vector<std::vector<TPointF>>& Polygons, bool Winding);
// The box [L, R) × [T, B) with corners rounded by quarter ellipses of radii Rx, Ry (an
// ellipse when they are half the box).
void ScanRoundRect(double L, double T, double R, double B, double Rx, double Ry, TSpanBuilder& Out);
TRegion RoundRectRegion(double L, double T, double R, double B, double Rx, double Ry);
// A disc.
void ScanDisc(double Cx, double Cy, double Radius, TSpanBuilder& Out);
// The pixels of Shape for which Keep(x, y) holds.
TRegion FilterRegion(const TRegion& Shape, const std::function<bool(int X, int Y)>& Keep);

// A figure outlined by a pen: Ring is what the pen covers, Inside what the brush fills. The
// path runs through the pixels of the box's edges [L, R − 1] × [T, B − 1]; the pen of width
// W is centred on it (or kept inside the box for PS_INSIDEFRAME); with no pen (W = 0) the
// brush covers [L, R − 1) × [T, B − 1). Rx and Ry round the corners (RoundRect's halves of
// the corner ellipse; negative: an ellipse).
struct TFigure {
  TRegion Ring;
  TRegion Inside;
};
TFigure FigureOf(int L, int T, int R, int B, double Rx, double Ry, int W, bool InsideFrame);

}  // namespace gdi
