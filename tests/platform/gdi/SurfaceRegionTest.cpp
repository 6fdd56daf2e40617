#include <gtest/gtest.h>

#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"

using gdi::TRegion;
using gdi::TSurface;

TEST(Surface, ResizeKeepsTheSharedPartAndFillsTheRest) {
  TSurface s(2, 2, 1);
  s.Set(1, 1, 7);
  s.Resize(3, 1, 9);
  EXPECT_EQ(s.Get(0, 0), 1u);
  EXPECT_EQ(s.Get(2, 0), 9u);
  s.Resize(3, 2, 5);
  EXPECT_EQ(s.Get(1, 1), 5u);
  EXPECT_EQ(s.Get(5, 5), 0u);  // outside
  s.Set(-1, 0, 3);             // ignored
}

TEST(Surface, BottomUpSurfaceKeepsItsPictureAndStoresTheLastRowFirst) {
  TSurface s(2, 3, 0);
  for (int y = 0; y < 3; ++y) s.Set(0, y, static_cast<uint32_t>(y + 1));
  s.SetBottomUp(true);
  EXPECT_EQ(s.Get(0, 0), 1u);
  EXPECT_EQ(s.Data()[0], 3u);  // memory starts with the bottom row
  s.Resize(2, 4, 8);
  EXPECT_EQ(s.Get(0, 2), 3u);
  EXPECT_EQ(s.Get(0, 3), 8u);
  EXPECT_EQ(s.Data()[0], 8u);
}

TEST(Surface, FillClipsAndScrollCopiesWithoutSmearing) {
  TSurface s(4, 4, 0);
  s.Fill({-2, -2, 2, 1}, 1);
  EXPECT_EQ(s.Get(1, 0), 1u);
  EXPECT_EQ(s.Get(2, 0), 0u);
  EXPECT_EQ(s.Get(0, 1), 0u);
  for (int y = 0; y < 4; ++y) s.Set(0, y, 10 + static_cast<uint32_t>(y));
  s.Scroll({0, 0, 1, 4}, 0, 1);  // down by one: rows 1..3 get the old 0..2
  EXPECT_EQ(s.Get(0, 1), 10u);
  EXPECT_EQ(s.Get(0, 3), 12u);
  EXPECT_EQ(s.Get(0, 0), 10u);  // uncovered: keeps its old value
}

TEST(Surface, DamageCollectsTheUnionInsideTheSurface) {
  TSurface s(10, 10);
  s.AddDamage({-5, -5, 2, 2});
  s.AddDamage({8, 8, 20, 20});
  EXPECT_EQ(s.TakeDamage(), (TRect{0, 0, 10, 10}));
  EXPECT_TRUE(s.TakeDamage().IsEmpty());
}

TEST(Region, SetOperationsOnOverlappingRectangles) {
  const TRegion a(TRect{0, 0, 4, 4}), b(TRect{2, 2, 6, 6});
  struct TCase {
    TRegion::TOp Op;
    std::vector<TPoint> In, Out;
  };
  const TCase cases[] = {
      {TRegion::opAnd, {{2, 2}, {3, 3}}, {{1, 1}, {4, 4}}},
      {TRegion::opOr, {{0, 0}, {5, 5}, {3, 1}}, {{5, 0}, {0, 5}}},
      {TRegion::opXor, {{0, 0}, {5, 5}}, {{2, 2}, {3, 3}}},
      {TRegion::opDiff, {{0, 0}, {3, 1}}, {{2, 2}, {5, 5}}},
  };
  for (const auto& c : cases) {
    const TRegion r = TRegion::Combine(a, b, c.Op);
    for (auto p : c.In) EXPECT_TRUE(r.Contains(p)) << c.Op << " " << p.X << "," << p.Y;
    for (auto p : c.Out) EXPECT_FALSE(r.Contains(p)) << c.Op << " " << p.X << "," << p.Y;
  }
  EXPECT_EQ(TRegion::Combine(a, b, TRegion::opOr).Box(), (TRect{0, 0, 6, 6}));
  EXPECT_TRUE(TRegion::Combine(a, a, TRegion::opDiff).IsEmpty());
}

TEST(Region, SamePixelsMakeEqualRegionsWhateverTheirHistory) {
  TRegion pieces = TRegion::FromRects({{0, 0, 2, 4}, {2, 0, 4, 2}, {2, 2, 4, 4}});
  EXPECT_EQ(pieces, TRegion(TRect{0, 0, 4, 4}));
  EXPECT_TRUE(pieces.IsRect());
  TRegion holed(TRect{0, 0, 3, 3});
  holed -= TRect{1, 1, 2, 2};
  EXPECT_EQ(holed.Rects().size(), 4u);
  holed |= TRect{1, 1, 2, 2};
  EXPECT_EQ(holed, TRegion(TRect{0, 0, 3, 3}));
}

TEST(Region, EdgesAreInclusiveExclusiveAndOffsetMoves) {
  TRegion r(TRect{1, 1, 3, 3});
  EXPECT_TRUE(r.Contains(1, 1));
  EXPECT_FALSE(r.Contains(3, 1));
  EXPECT_FALSE(r.Intersects({3, 0, 5, 5}));
  EXPECT_TRUE(r.Intersects({2, 2, 5, 5}));
  EXPECT_TRUE(TRegion(TRect{2, 2, 2, 5}).IsEmpty());
  r.Offset(-1, 2);
  EXPECT_EQ(r.Box(), (TRect{0, 3, 2, 5}));
  const TRegion rows = TRegion::FromRows(5, {{{0, 2}}, {}, {{1, 3}, {2, 4}}});
  EXPECT_TRUE(rows.Contains(3, 7));
  EXPECT_FALSE(rows.Contains(0, 6));
  EXPECT_EQ(rows.Box(), (TRect{0, 5, 4, 8}));
}
