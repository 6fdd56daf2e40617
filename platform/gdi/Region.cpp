#include "platform/gdi/Region.h"

#include <algorithm>
#include <climits>

namespace gdi {

namespace {

using TSpans = std::vector<TRegion::TSpan>;

// Spans of a band sorted and with overlapping or touching spans joined.
TSpans Normalise(TSpans Spans) {
  std::sort(Spans.begin(), Spans.end(), [](const auto& a, const auto& b) { return a.Left < b.Left; });
  TSpans out;
  for (const auto& s : Spans) {
    if (s.Right <= s.Left) continue;
    if (!out.empty() && s.Left <= out.back().Right)
      out.back().Right = std::max(out.back().Right, s.Right);
    else
      out.push_back(s);
  }
  return out;
}

bool Inside(const TSpans& Spans, int X) {
  for (const auto& s : Spans) {
    if (X < s.Left) return false;
    if (X < s.Right) return true;
  }
  return false;
}

// The spans of one band combined with another's, by the set operation.
TSpans CombineSpans(const TSpans& A, const TSpans& B, TRegion::TOp Op) {
  std::vector<int> edges;
  for (const auto& s : A) { edges.push_back(s.Left); edges.push_back(s.Right); }
  for (const auto& s : B) { edges.push_back(s.Left); edges.push_back(s.Right); }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  TSpans out;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    const int x = edges[i];
    const bool a = Inside(A, x), b = Inside(B, x);
    bool in = false;
    switch (Op) {
      case TRegion::opAnd: in = a && b; break;
      case TRegion::opOr: in = a || b; break;
      case TRegion::opXor: in = a != b; break;
      case TRegion::opDiff: in = a && !b; break;
    }
    if (!in) continue;
    if (!out.empty() && out.back().Right == x) out.back().Right = edges[i + 1];
    else out.push_back({x, edges[i + 1]});
  }
  return out;
}

// The spans of the band of Bands covering row Y (none when no band does).
const TSpans* SpansAt(const std::vector<TRegion::TBand>& Bands, int Y) {
  for (const auto& b : Bands) {
    if (Y < b.Top) return nullptr;
    if (Y < b.Bottom) return &b.Spans;
  }
  return nullptr;
}

// Appends a band, merging it with the previous one when they touch and have the same spans.
void PushBand(std::vector<TRegion::TBand>& Bands, int Top, int Bottom, TSpans Spans) {
  if (Spans.empty() || Bottom <= Top) return;
  if (!Bands.empty() && Bands.back().Bottom == Top && Bands.back().Spans == Spans) {
    Bands.back().Bottom = Bottom;
    return;
  }
  Bands.push_back({Top, Bottom, std::move(Spans)});
}

}  // namespace

TRegion::TRegion(const TRect& R) {
  if (!R.IsEmpty()) FBands.push_back({R.Top, R.Bottom, {{R.Left, R.Right}}});
}

TRegion TRegion::FromRects(const std::vector<TRect>& Rects) {
  std::vector<int> ys;
  for (const auto& r : Rects)
    if (!r.IsEmpty()) { ys.push_back(r.Top); ys.push_back(r.Bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  TRegion out;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    TSpans spans;
    for (const auto& r : Rects)
      if (!r.IsEmpty() && r.Top <= ys[i] && ys[i] < r.Bottom) spans.push_back({r.Left, r.Right});
    PushBand(out.FBands, ys[i], ys[i + 1], Normalise(std::move(spans)));
  }
  return out;
}

TRegion TRegion::FromRows(int Top, const std::vector<std::vector<TSpan>>& Rows) {
  TRegion out;
  for (size_t i = 0; i < Rows.size(); ++i) {
    const int y = Top + static_cast<int>(i);
    PushBand(out.FBands, y, y + 1, Normalise(Rows[i]));
  }
  return out;
}

TRect TRegion::Box() const {
  if (FBands.empty()) return {};
  int l = INT_MAX, r = INT_MIN;
  for (const auto& b : FBands) {
    l = std::min(l, b.Spans.front().Left);
    r = std::max(r, b.Spans.back().Right);
  }
  return {l, FBands.front().Top, r, FBands.back().Bottom};
}

bool TRegion::Contains(TPoint P) const {
  const TSpans* spans = SpansAt(FBands, P.Y);
  return spans && Inside(*spans, P.X);
}

bool TRegion::Intersects(const TRect& R) const {
  if (R.IsEmpty()) return false;
  for (const auto& b : FBands) {
    if (b.Bottom <= R.Top) continue;
    if (b.Top >= R.Bottom) break;
    for (const auto& s : b.Spans)
      if (s.Left < R.Right && s.Right > R.Left) return true;
  }
  return false;
}

std::vector<TRect> TRegion::Rects() const {
  std::vector<TRect> out;
  for (const auto& b : FBands)
    for (const auto& s : b.Spans) out.push_back({s.Left, b.Top, s.Right, b.Bottom});
  return out;
}

void TRegion::Offset(int Dx, int Dy) {
  for (auto& b : FBands) {
    b.Top += Dy;
    b.Bottom += Dy;
    for (auto& s : b.Spans) { s.Left += Dx; s.Right += Dx; }
  }
}

TRegion TRegion::Combine(const TRegion& A, const TRegion& B, TOp Op) {
  std::vector<int> ys;
  for (const auto& b : A.FBands) { ys.push_back(b.Top); ys.push_back(b.Bottom); }
  for (const auto& b : B.FBands) { ys.push_back(b.Top); ys.push_back(b.Bottom); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  static const TSpans none;
  TRegion out;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    const TSpans* a = SpansAt(A.FBands, ys[i]);
    const TSpans* b = SpansAt(B.FBands, ys[i]);
    PushBand(out.FBands, ys[i], ys[i + 1], CombineSpans(a ? *a : none, b ? *b : none, Op));
  }
  return out;
}

}  // namespace gdi
