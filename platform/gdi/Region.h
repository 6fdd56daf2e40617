#pragma once
// The geometry of a region: a set of pixels kept as horizontal bands, each band a sorted list
// of disjoint spans [Left, Right). Bands never overlap, are sorted top to bottom, and two
// neighbouring bands with the same spans are merged, so two regions covering the same pixels
// are equal. The window manager keeps update and visible regions in this form; HRGN objects
// wrap one.
#include <utility>
#include <vector>

#include "platform/rtl/Types.h"

namespace gdi {

class TRegion {
 public:
  enum TOp { opAnd, opOr, opXor, opDiff };

  struct TSpan {
    int Left = 0;
    int Right = 0;
    bool operator==(const TSpan&) const = default;
  };
  struct TBand {
    int Top = 0;
    int Bottom = 0;
    std::vector<TSpan> Spans;
    bool operator==(const TBand&) const = default;
  };

  TRegion() = default;
  explicit TRegion(const TRect& R);
  // A region from rectangles that may overlap (their union).
  static TRegion FromRects(const std::vector<TRect>& Rects);
  // A region from one span list per row, starting at row Top (rows may be empty): how
  // ellipses, rounded rectangles and polygons are rasterised into regions.
  static TRegion FromRows(int Top, const std::vector<std::vector<TSpan>>& Rows);

  bool IsEmpty() const { return FBands.empty(); }
  // The smallest rectangle around the region ((0,0,0,0) when empty).
  TRect Box() const;
  bool Contains(TPoint P) const;
  bool Contains(int X, int Y) const { return Contains(TPoint{X, Y}); }
  // True when some pixel of R lies in the region.
  bool Intersects(const TRect& R) const;
  // The region as disjoint rectangles, top to bottom, left to right.
  std::vector<TRect> Rects() const;
  const std::vector<TBand>& Bands() const { return FBands; }
  // One rectangle exactly.
  bool IsRect() const { return FBands.size() == 1 && FBands[0].Spans.size() == 1; }

  void Offset(int Dx, int Dy);
  static TRegion Combine(const TRegion& A, const TRegion& B, TOp Op);
  TRegion& operator|=(const TRegion& B) { return *this = Combine(*this, B, opOr); }
  TRegion& operator&=(const TRegion& B) { return *this = Combine(*this, B, opAnd); }
  TRegion& operator-=(const TRegion& B) { return *this = Combine(*this, B, opDiff); }
  TRegion& operator^=(const TRegion& B) { return *this = Combine(*this, B, opXor); }
  TRegion& operator|=(const TRect& R) { return *this |= TRegion(R); }
  TRegion& operator&=(const TRect& R) { return *this &= TRegion(R); }
  TRegion& operator-=(const TRect& R) { return *this -= TRegion(R); }
  bool operator==(const TRegion&) const = default;

 private:
  std::vector<TBand> FBands;
};

}  // namespace gdi
