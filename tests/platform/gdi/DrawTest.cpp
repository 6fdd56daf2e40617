#include <gtest/gtest.h>

#include "tests/support/Pixels.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
const std::map<COLORREF, char> RB{{Red, 'r'}, {Blue, 'b'}};

HPEN Geometric(DWORD Style, int Width, COLORREF Color) {
  LOGBRUSH lb{BS_SOLID, Color, 0};
  return ExtCreatePen(PS_GEOMETRIC | Style, static_cast<DWORD>(Width), &lb, 0, nullptr);
}

}  // namespace

TEST(Lines, LineToLeavesOutItsEndPointInEveryDirection) {
  TPixels p(5, 5);
  MoveToEx(p.DC, 0, 0, nullptr);
  LineTo(p.DC, 4, 0);  // right
  LineTo(p.DC, 4, 4);  // down
  LineTo(p.DC, 0, 4);  // left
  LineTo(p.DC, 0, 0);  // up: the corner (0, 0) is its end, drawn by the first line
  MoveToEx(p.DC, 1, 1, nullptr);
  LineTo(p.DC, 3, 3);  // diagonal: (3, 3) left out
  TPoint pos;
  GetCurrentPositionEx(p.DC, &pos);
  EXPECT_EQ(pos, (TPoint{3, 3}));
  EXPECT_EQ(p.Picture(), TPixels::Rows({"#####", "##..#", "#.#.#", "#...#", "#####"}));
}

TEST(Lines, ShallowLinesStepOnceARun) {
  TPixels p(7, 3);
  MoveToEx(p.DC, 0, 0, nullptr);
  LineTo(p.DC, 6, 2);
  EXPECT_EQ(p.Picture(), TPixels::Rows({"##.....", "..###..", ".....#."}));
}

TEST(Lines, CosmeticStylesRepeatTheirDashesAndFillGapsWhenOpaque) {
  struct TCase {
    int Style;
    int Mode;
    const char* Row;
  };
  // Dots are 3 on, 3 off; dashes 18 on, 6 off; the alternate style every other pixel.
  const TCase cases[] = {
      {PS_DOT, TRANSPARENT, "###...###...###...###...###..."},
      {PS_DOT, OPAQUE, "###bbb###bbb###bbb###bbb###bbb"},
      {PS_DASH, TRANSPARENT, "##################......######"},
      {PS_DASHDOT, TRANSPARENT, "#########......###......######"},
      {PS_DASHDOTDOT, TRANSPARENT, "#########...###...###...######"},
      {PS_SOLID, OPAQUE, "##############################"},
      {PS_NULL, OPAQUE, ".............................."},
  };
  for (const auto& c : cases) {
    TPixels p(30, 1);
    TSelected pen(p.DC, CreatePen(c.Style, 1, 0));
    SetBkMode(p.DC, c.Mode);
    SetBkColor(p.DC, Blue);
    MoveToEx(p.DC, 0, 0, nullptr);
    LineTo(p.DC, 30, 0);
    EXPECT_EQ(p.Picture(RB), TPixels::Rows({c.Row})) << c.Style;
  }
  TPixels p(8, 1);
  LOGBRUSH lb{BS_SOLID, 0, 0};
  TSelected alt(p.DC, ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr));
  SetBkMode(p.DC, TRANSPARENT);
  MoveToEx(p.DC, 0, 0, nullptr);
  LineTo(p.DC, 8, 0);
  EXPECT_EQ(p.Picture(), TPixels::Rows({"#.#.#.#."}));
}

TEST(Lines, TheStyleRunsOnAcrossThePointsOfAPolyline) {
  TPixels p(4, 4);
  TSelected pen(p.DC, CreatePen(PS_DOT, 1, 0));
  SetBkMode(p.DC, TRANSPARENT);
  const TPoint pts[] = {{0, 0}, {2, 0}, {2, 3}};
  Polyline(p.DC, pts, 3);
  // (0,0) (1,0) on, then (2,0) on, (2,1) (2,2) off.
  EXPECT_EQ(p.Picture(), TPixels::Rows({"###.", "....", "....", "...."}));
}

TEST(Lines, WidePensCentreOnTheLineWithTheirEndCaps) {
  struct TCase {
    HPEN Pen;
    std::vector<const char*> Rows;
  };
  // A line from (2, 2) to (6, 2), three pixels wide: a flat end stops at the end point, a
  // square one goes on by half the width at both ends.
  const TCase cases[] = {
      {Geometric(PS_SOLID | PS_ENDCAP_FLAT, 3, 0), {".........", "..####...", "..####...", "..####...", "........."}},
      {Geometric(PS_SOLID | PS_ENDCAP_SQUARE, 3, 0), {".........", ".#######.", ".#######.", ".#######.", "........."}},
  };
  for (const auto& c : cases) {
    TPixels p(9, 5);
    TSelected pen(p.DC, c.Pen);
    MoveToEx(p.DC, 2, 2, nullptr);
    LineTo(p.DC, 6, 2);
    std::string want;
    for (const char* r : c.Rows) (want += r) += '\n';
    EXPECT_EQ(p.Picture(), want);
  }
  // A plain wide pen has round ends: the corners of the square end stay free.
  for (bool round : {true, false}) {
    TPixels p(15, 9);
    TSelected pen(p.DC, round ? CreatePen(PS_SOLID, 5, 0) : Geometric(PS_SOLID | PS_ENDCAP_SQUARE, 5, 0));
    MoveToEx(p.DC, 4, 4, nullptr);
    LineTo(p.DC, 10, 4);
    EXPECT_EQ(p.At(2, 2), round ? RGB(255, 255, 255) : RGB(0, 0, 0));
    EXPECT_EQ(p.At(2, 4), RGB(0, 0, 0));
    EXPECT_EQ(p.At(1, 4), RGB(255, 255, 255));
  }
  // An even width puts the extra row above the line.
  TPixels p(6, 5);
  TSelected pen(p.DC, Geometric(PS_SOLID | PS_ENDCAP_FLAT, 2, 0));
  MoveToEx(p.DC, 1, 2, nullptr);
  LineTo(p.DC, 4, 2);
  EXPECT_EQ(p.Picture(), TPixels::Rows({"......", ".###..", ".###..", "......", "......"}));
}

TEST(Lines, WideDashedGeometricPensCutTheirBand) {
  TPixels p(16, 3);
  TSelected pen(p.DC, Geometric(PS_DASH | PS_ENDCAP_FLAT, 2, 0));
  MoveToEx(p.DC, 0, 1, nullptr);
  LineTo(p.DC, 16, 1);
  // Dashes of three widths, gaps of one.
  EXPECT_EQ(p.Picture(), TPixels::Rows({"######..######..", "######..######..", "................"}));
}

TEST(Lines, XorLinesCancelWhenDrawnTwiceAndPolylineJointsAreDrawnOnce) {
  TPixels p(6, 6, RGB(10, 20, 30));
  const std::string before = p.Picture({{RGB(10, 20, 30), 'o'}});
  TSelected pen(p.DC, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
  SetROP2(p.DC, R2_XORPEN);
  const TPoint pts[] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}, {0, 0}};
  Polyline(p.DC, pts, 5);
  // Every pixel of the frame is inverted once: a double-drawn joint would show the background.
  for (auto [x, y] : {std::pair{0, 0}, {5, 0}, {5, 5}, {0, 5}, {2, 0}})
    EXPECT_EQ(p.At(x, y), RGB(245, 235, 225)) << x << "," << y;
  Polyline(p.DC, pts, 5);
  EXPECT_EQ(p.Picture({{RGB(10, 20, 30), 'o'}}), before);
}

TEST(Lines, BinaryRasterOperationsCombinePenAndPixel) {
  const COLORREF pen = RGB(0xF0, 0x0F, 0x55), dst = RGB(0xCC, 0x33, 0xAA);
  struct TCase {
    int Op;
    COLORREF Want;
  };
  auto rgb = [](uint32_t v) { return static_cast<COLORREF>(v & 0xFFFFFF); };
  const TCase cases[] = {
      {R2_BLACK, 0},           {R2_WHITE, 0xFFFFFF},          {R2_COPYPEN, pen},
      {R2_NOTCOPYPEN, rgb(~pen)}, {R2_NOT, rgb(~dst)},       {R2_NOP, dst},
      {R2_XORPEN, pen ^ dst},  {R2_NOTXORPEN, rgb(~(pen ^ dst))}, {R2_MASKPEN, pen & dst},
      {R2_MERGEPEN, pen | dst}, {R2_NOTMASKPEN, rgb(~(pen & dst))}, {R2_NOTMERGEPEN, rgb(~(pen | dst))},
      {R2_MASKNOTPEN, rgb(~pen & dst)}, {R2_MASKPENNOT, rgb(pen & ~dst)}, {R2_MERGENOTPEN, rgb(~pen | dst)},
      {R2_MERGEPENNOT, rgb(pen | ~dst)},
  };
  for (const auto& c : cases) {
    TPixels p(2, 1, dst);
    TSelected sel(p.DC, CreatePen(PS_SOLID, 1, pen));
    SetROP2(p.DC, c.Op);
    MoveToEx(p.DC, 0, 0, nullptr);
    LineTo(p.DC, 1, 0);
    EXPECT_EQ(p.At(0, 0), c.Want) << c.Op;
    EXPECT_EQ(p.At(1, 0), dst);
  }
}

TEST(Figures, RectangleOutlinesItsBoxAndFillsInside) {
  TPixels p(6, 5);
  TSelected brush(p.DC, CreateSolidBrush(Red));
  Rectangle(p.DC, 1, 0, 5, 4);
  EXPECT_EQ(p.Picture(RB), TPixels::Rows({".####.", ".#rr#.", ".#rr#.", ".####.", "......"}));
}

TEST(Figures, WithANullPenAFigureIsOnePixelSmaller) {
  TPixels p(5, 4);
  TSelected brush(p.DC, CreateSolidBrush(Red));
  SelectObject(p.DC, GetStockObject(NULL_PEN));
  Rectangle(p.DC, 0, 0, 4, 3);
  EXPECT_EQ(p.Picture(RB), TPixels::Rows({"rrr..", "rrr..", ".....", "....."}));
}

TEST(Figures, WidePensStraddleTheOutlineUnlessInsideTheFrame) {
  TPixels p(9, 9);
  {
    TSelected pen(p.DC, CreatePen(PS_SOLID, 3, 0));
    SelectObject(p.DC, GetStockObject(NULL_BRUSH));
    Rectangle(p.DC, 2, 2, 7, 7);
  }
  // Outline pixels x = 2 .. 6 on the path, one more outside on each side.
  EXPECT_EQ(p.At(1, 1), RGB(0, 0, 0));
  EXPECT_EQ(p.At(7, 7), RGB(0, 0, 0));
  EXPECT_EQ(p.At(8, 8), RGB(255, 255, 255));
  EXPECT_EQ(p.At(4, 4), RGB(255, 255, 255));
  EXPECT_EQ(p.At(3, 4), RGB(0, 0, 0));

  TPixels q(7, 7);
  TSelected pen(q.DC, CreatePen(PS_INSIDEFRAME, 2, 0));
  TSelected brush(q.DC, CreateSolidBrush(Red));
  Rectangle(q.DC, 1, 1, 6, 6);
  EXPECT_EQ(q.Picture(RB), TPixels::Rows({".......", ".#####.", ".#####.", ".##r##.", ".#####.", ".#####.", "......."}));
}

TEST(Figures, StyledPensDrawDottedFrames) {
  TPixels p(7, 4);
  TSelected pen(p.DC, CreatePen(PS_DOT, 1, 0));
  SelectObject(p.DC, GetStockObject(NULL_BRUSH));
  SetBkMode(p.DC, TRANSPARENT);
  Rectangle(p.DC, 0, 0, 7, 4);
  // The style runs on around the corners: top, right side, bottom leftwards, left side upwards.
  EXPECT_EQ(p.Picture(), TPixels::Rows({"###...#", "......#", "......#", ".###..."}));
}

TEST(Figures, StyledOutlinesOfRoundedFiguresKeepTheirShape) {
  // A dotted outline lies on the solid one.
  for (bool ellipse : {false, true}) {
    TPixels solid(16, 10), dotted(16, 10);
    SelectObject(solid.DC, GetStockObject(NULL_BRUSH));
    SelectObject(dotted.DC, GetStockObject(NULL_BRUSH));
    TSelected pen(dotted.DC, CreatePen(PS_DOT, 1, 0));
    SetBkMode(dotted.DC, TRANSPARENT);
    for (HDC dc : {solid.DC, dotted.DC}) {
      if (ellipse) Ellipse(dc, 0, 0, 16, 10);
      else RoundRect(dc, 0, 0, 16, 10, 6, 6);
    }
    int on = 0, off = 0;
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 16; ++x)
        if (dotted.At(x, y) == RGB(0, 0, 0)) (solid.At(x, y) == RGB(0, 0, 0) ? on : off)++;
    EXPECT_GT(on, 10) << ellipse;
    EXPECT_LE(off, on / 4) << ellipse;  // flattening may step a pixel aside here and there
  }
}

TEST(Figures, EllipseTouchesItsBoxInclusiveExclusiveAndIsSymmetric) {
  TPixels p(12, 9);
  TSelected brush(p.DC, CreateSolidBrush(Red));
  Ellipse(p.DC, 1, 1, 11, 8);
  const std::string pic = p.Picture(RB);
  EXPECT_EQ(pic, TPixels::Rows({"............", "...######...", "..##rrrr##..", ".#rrrrrrrr#.", ".#rrrrrrrr#.",
                                 ".#rrrrrrrr#.", "..##rrrr##..", "...######...", "............"}));
}

TEST(Figures, RoundRectRoundsOnlyItsCorners) {
  TPixels p(10, 6);
  SelectObject(p.DC, GetStockObject(NULL_BRUSH));
  RoundRect(p.DC, 0, 0, 10, 6, 4, 4);
  // Each corner is a quarter of a 4 × 4 ellipse.
  EXPECT_EQ(p.Picture(), TPixels::Rows({".########.", "#........#", "#........#", "#........#", "#........#",
                                        ".########."}));
}

TEST(Figures, PolygonFillModesAndOutline) {
  const TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  for (int mode : {ALTERNATE, WINDING}) {
    TPixels p(21, 21);
    SelectObject(p.DC, GetStockObject(NULL_PEN));
    TSelected brush(p.DC, CreateSolidBrush(Red));
    SetPolyFillMode(p.DC, mode);
    Polygon(p.DC, star, 5);
    EXPECT_EQ(p.At(10, 10), mode == WINDING ? Red : RGB(255, 255, 255)) << mode;
    EXPECT_EQ(p.At(10, 3), Red);
  }
  // The outline includes the closing edge and every vertex.
  TPixels p(5, 5);
  SelectObject(p.DC, GetStockObject(NULL_BRUSH));
  const TPoint square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
  Polygon(p.DC, square, 4);
  EXPECT_EQ(p.Picture(), TPixels::Rows({"#####", "#...#", "#...#", "#...#", "#####"}));
}

TEST(Figures, PieFillsItsSectorAndArcDrawsOnlyTheCurve) {
  TPixels p(11, 11);
  TSelected brush(p.DC, CreateSolidBrush(Red));
  // The quarter from the right (3 o'clock) counter-clockwise to the top.
  Pie(p.DC, 0, 0, 11, 11, 10, 5, 5, 0);
  EXPECT_EQ(p.At(7, 3), Red);           // inside, upper right
  EXPECT_EQ(p.At(3, 3), RGB(255, 255, 255));  // upper left: outside the sector
  EXPECT_EQ(p.At(7, 7), RGB(255, 255, 255));
  EXPECT_EQ(p.At(10, 5), RGB(0, 0, 0));  // on the curve
  EXPECT_EQ(p.At(5, 0), RGB(0, 0, 0));
  EXPECT_EQ(p.At(7, 5), RGB(0, 0, 0));   // the radius to the start
  TPixels q(11, 11);
  Arc(q.DC, 0, 0, 11, 11, 10, 5, 5, 0);
  EXPECT_EQ(q.At(10, 5), RGB(0, 0, 0));
  EXPECT_EQ(q.At(0, 5), RGB(255, 255, 255));
  EXPECT_EQ(q.At(7, 5), RGB(255, 255, 255));
  SetArcDirection(q.DC, AD_CLOCKWISE);
  Arc(q.DC, 0, 0, 11, 11, 10, 5, 5, 0);  // now the other three quarters
  EXPECT_EQ(q.At(0, 5), RGB(0, 0, 0));
}

TEST(Figures, BezierPassesThroughItsEndPoints) {
  TPixels p(20, 10);
  const TPoint pts[] = {{0, 9}, {5, 0}, {14, 0}, {19, 9}};
  PolyBezier(p.DC, pts, 4);
  EXPECT_EQ(p.At(0, 9), RGB(0, 0, 0));
  EXPECT_NE(p.At(10, 2), RGB(255, 255, 255));  // near the top of the curve
  EXPECT_FALSE(PolyBezier(p.DC, pts, 3));
}

TEST(Fills, BrushKindsOnTheirPatternGrid) {
  TPixels p(8, 2);
  // A hatch shows the background colour in its gaps, or nothing when transparent.
  HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, Red);
  SetBkColor(p.DC, Blue);
  TRect r{0, 0, 8, 1};
  FillRect(p.DC, &r, hatch);
  SetBkMode(p.DC, TRANSPARENT);
  r = {0, 1, 8, 2};
  FillRect(p.DC, &r, hatch);
  EXPECT_EQ(p.Picture(RB), TPixels::Rows({"rbbbbbbb", "r......."}));
  DeleteObject(hatch);

  // The 8 × 8 dither: a monochrome checkerboard, its bits painted in the text (0) and
  // background (1) colours, moved by the brush origin.
  const BYTE bits[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
  HBITMAP check = CreateBitmap(8, 8, 1, 1, bits);
  HBRUSH dither = CreatePatternBrush(check);
  DeleteObject(check);  // the brush keeps its own copy
  TPixels q(4, 2);
  SetTextColor(q.DC, Red);
  SetBkColor(q.DC, Blue);
  r = {0, 0, 4, 2};
  FillRect(q.DC, &r, dither);
  EXPECT_EQ(q.Picture(RB), TPixels::Rows({"rbrb", "brbr"}));
  SetBrushOrgEx(q.DC, 1, 0, nullptr);
  FillRect(q.DC, &r, dither);
  EXPECT_EQ(q.Picture(RB), TPixels::Rows({"brbr", "rbrb"}));
  DeleteObject(dither);
}

TEST(Fills, FrameInvertAndRegionFills) {
  TPixels p(6, 4);
  HBRUSH red = CreateSolidBrush(Red);
  TRect r{0, 0, 6, 4};
  FrameRect(p.DC, &r, red);
  EXPECT_EQ(p.Picture(RB), TPixels::Rows({"rrrrrr", "r....r", "r....r", "rrrrrr"}));
  const std::string framed = p.Picture(RB);
  r = {1, 1, 3, 3};
  InvertRect(p.DC, &r);
  EXPECT_EQ(p.At(1, 1), RGB(0, 0, 0));
  InvertRect(p.DC, &r);
  EXPECT_EQ(p.Picture(RB), framed);

  TPixels q(6, 6);
  HRGN ring = CreateRectRgn(0, 0, 6, 6);
  HRGN hole = CreateRectRgn(2, 2, 4, 4);
  CombineRgn(ring, ring, hole, RGN_DIFF);
  FillRgn(q.DC, ring, red);
  EXPECT_EQ(q.At(2, 2), RGB(255, 255, 255));
  EXPECT_EQ(q.At(1, 1), Red);
  TPixels f(6, 6);
  FrameRgn(f.DC, ring, red, 1, 1);
  // Along the outer edge and around the hole.
  EXPECT_EQ(f.Picture(RB), TPixels::Rows({"rrrrrr", "r.rr.r", "rr..rr", "rr..rr", "r.rr.r", "rrrrrr"}));
  DeleteObject(ring);
  DeleteObject(hole);
  DeleteObject(red);
}
