#include "platform/gdi/Scan.h"

#include <algorithm>
#include <cmath>

namespace gdi {

void TSpanBuilder::Add(int Y, int X0, int X1) {
  if (X1 <= X0) return;
  if (FRows.empty()) FTop = Y;
  if (Y < FTop) {
    FRows.insert(FRows.begin(), static_cast<size_t>(FTop - Y), {});
    FTop = Y;
  }
  const size_t i = static_cast<size_t>(Y - FTop);
  if (i >= FRows.size()) FRows.resize(i + 1);
  FRows[i].push_back({X0, X1});
}

TRegion TSpanBuilder::Build() const { return TRegion::FromRows(FTop, FRows); }

namespace {

// The first pixel at or after a boundary X.
int FirstIn(double X) { return static_cast<int>(std::ceil(X - 1e-9)); }

}  // namespace

void ScanPolygons(const std::vector<std::vector<TPointF>>& Polygons, bool Winding, TSpanBuilder& Out) {
  struct TEdge {
    double X0, Y0, X1, Y1;
    int Dir;
  };
  std::vector<TEdge> edges;
  double top = 1e300, bottom = -1e300;
  for (const auto& poly : Polygons) {
    for (size_t i = 0; i < poly.size(); ++i) {
      const TPointF a = poly[i], b = poly[(i + 1) % poly.size()];
      if (a.Y == b.Y) continue;
      edges.push_back(a.Y < b.Y ? TEdge{a.X, a.Y, b.X, b.Y, 1} : TEdge{b.X, b.Y, a.X, a.Y, -1});
      top = std::min(top, std::min(a.Y, b.Y));
      bottom = std::max(bottom, std::max(a.Y, b.Y));
    }
  }
  if (edges.empty()) return;
  std::vector<std::pair<double, int>> xs;
  for (int y = FirstIn(top); y < bottom; ++y) {
    xs.clear();
    for (const auto& e : edges)
      if (e.Y0 <= y && y < e.Y1) xs.push_back({e.X0 + (e.X1 - e.X0) * (y - e.Y0) / (e.Y1 - e.Y0), e.Dir});
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (size_t i = 0; i + 1 < xs.size(); ++i) {
      wind += Winding ? xs[i].second : 1;
      const bool in = Winding ? wind != 0 : (wind & 1) != 0;
      if (in) Out.Add(y, FirstIn(xs[i].first), FirstIn(xs[i + 1].first));
    }
  }
}

TRegion PolygonRegion(const std::vector<std::vector<TPointF>>& Polygons, bool Winding) {
  TSpanBuilder b;
  ScanPolygons(Polygons, Winding, b);
  return b.Build();
}

void ScanRoundRect(double L, double T, double R, double B, double Rx, double Ry, TSpanBuilder& Out) {
  if (R <= L || B <= T) return;
  Rx = std::clamp(Rx, 0.0, (R - L) / 2);
  Ry = std::clamp(Ry, 0.0, (B - T) / 2);
  for (int y = FirstIn(T); y < B; ++y) {
    double inset = 0;
    double dy = 0;
    if (y < T + Ry) dy = T + Ry - y;
    else if (y > B - Ry) dy = y - (B - Ry);
    if (dy > 0) {
      const double q = dy / Ry;
      if (q >= 1) continue;
      inset = Rx - Rx * std::sqrt(1 - q * q);
    }
    Out.Add(y, FirstIn(L + inset), FirstIn(R - inset));
  }
}

TRegion RoundRectRegion(double L, double T, double R, double B, double Rx, double Ry) {
  TSpanBuilder b;
  ScanRoundRect(L, T, R, B, Rx, Ry, b);
  return b.Build();
}

void ScanDisc(double Cx, double Cy, double Radius, TSpanBuilder& Out) {
  ScanRoundRect(Cx - Radius, Cy - Radius, Cx + Radius, Cy + Radius, Radius, Radius, Out);
}

TRegion FilterRegion(const TRegion& Shape, const std::function<bool(int X, int Y)>& Keep) {
  TSpanBuilder b;
  for (const auto& band : Shape.Bands())
    for (int y = band.Top; y < band.Bottom; ++y)
      for (const auto& s : band.Spans) {
        int start = s.Left;
        for (int x = s.Left; x < s.Right; ++x)
          if (!Keep(x, y)) {
            b.Add(y, start, x);
            start = x + 1;
          }
        b.Add(y, start, s.Right);
      }
  return b.Build();
}

TFigure FigureOf(int L, int T, int R, int B, double Rx, double Ry, int W, bool InsideFrame) {
  if (R < L) std::swap(L, R);
  if (B < T) std::swap(T, B);
  const bool ellipse = Rx < 0;
  auto shape = [&](double l, double t, double r, double b, double grow) {
    const double rx = ellipse ? (r - l) / 2 : std::max(0.0, Rx + grow);
    const double ry = ellipse ? (b - t) / 2 : std::max(0.0, Ry + grow);
    return RoundRectRegion(l, t, r, b, rx, ry);
  };
  TFigure f;
  if (W <= 0) {
    // No pen: the path's inside, one pixel less to the right and at the bottom.
    f.Inside = shape(L - 0.5, T - 0.5, R - 1.5, B - 1.5, 0);
    return f;
  }
  // The outer and inner boundaries of the pen around the path [L, R − 1] × [T, B − 1].
  double half = W / 2.0;
  double ol = L - half, ot = T - half, orr = R - 1 + half, ob = B - 1 + half;
  if (InsideFrame) {
    ol = L - 0.5;
    ot = T - 0.5;
    orr = R - 0.5;
    ob = B - 0.5;
  }
  const TRegion outer = shape(ol, ot, orr, ob, half);
  f.Inside = shape(ol + W, ot + W, orr - W, ob - W, -half);
  f.Ring = TRegion::Combine(outer, f.Inside, TRegion::opDiff);
  return f;
}

}  // namespace gdi
