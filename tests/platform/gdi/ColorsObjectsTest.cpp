#include <gtest/gtest.h>

#include "platform/gdi/DCState.h"
#include "platform/gdi/Gdi.h"

TEST(Colors, SystemColoursResolveThroughTheClassicTable) {
  struct TCase {
    TColor Color;
    COLORREF Rgb;
  };
  const TCase cases[] = {
      {clBtnFace, RGB(212, 208, 200)},      {clBtnShadow, RGB(128, 128, 128)}, {clBtnHighlight, RGB(255, 255, 255)},
      {cl3DDkShadow, RGB(64, 64, 64)},      {cl3DLight, RGB(212, 208, 200)},   {clWindow, RGB(255, 255, 255)},
      {clWindowText, RGB(0, 0, 0)},         {clHighlight, RGB(10, 36, 106)},   {clHighlightText, RGB(255, 255, 255)},
      {clGrayText, RGB(128, 128, 128)},     {clInfoBk, RGB(255, 255, 225)},    {clInfoText, RGB(0, 0, 0)},
      {clActiveCaption, RGB(10, 36, 106)},  {clGradientActiveCaption, RGB(166, 202, 240)},
      {clHotLight, RGB(0, 0, 128)},         {clMenu, RGB(212, 208, 200)},      {clMenuText, RGB(0, 0, 0)},
      {clRed, RGB(255, 0, 0)},              {clSilver, RGB(192, 192, 192)},
  };
  for (const auto& c : cases) EXPECT_EQ(ColorToRGB(c.Color), c.Rgb) << std::hex << c.Color;
  // The older encoding of system colours names the same entries.
  EXPECT_EQ(ColorToRGB(static_cast<TColor>(0x8000000Fu)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(clBtnFace, static_cast<TColor>(0xFF00000Fu));
  // clNone and clDefault are no colours: they come back as they are.
  EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
  EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(COLOR_COUNT), 0u);
  EXPECT_EQ(GetRValue(RGB(1, 2, 3)), 1);
  EXPECT_EQ(GetGValue(RGB(1, 2, 3)), 2);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(Colors, SysColorBrushesFollowAChangedTable) {
  const COLORREF old = GetSysColor(COLOR_INFOBK);
  HBRUSH brush = GetSysColorBrush(COLOR_INFOBK);
  const int index = COLOR_INFOBK;
  const COLORREF pink = RGB(255, 200, 200);
  ASSERT_TRUE(SetSysColors(1, &index, &pink));
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, pink);
  EXPECT_EQ(ColorToRGB(clInfoBk), pink);
  SetSysColors(1, &index, &old);
  const int bad = 99;
  EXPECT_FALSE(SetSysColors(1, &bad, &pink));
  EXPECT_TRUE(DeleteObject(brush));  // a system brush survives deletion
  EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(Objects, GetObjectDescribesWhatWasMade) {
  HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
  LOGPEN lp;
  ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
  DeleteObject(pen);

  // A styled pen wider than one pixel is solid.
  pen = CreatePen(PS_DOT, 3, 0);
  GetObject(pen, sizeof lp, &lp);
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_SOLID));
  EXPECT_EQ(lp.lopnWidth.X, 3);
  DeleteObject(pen);

  HBITMAP bm = CreateBitmap(10, 3, 1, 1, nullptr);
  BITMAP info;
  ASSERT_EQ(GetObject(bm, sizeof info, &info), static_cast<int>(sizeof info));
  EXPECT_EQ(info.bmWidth, 10);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmWidthBytes, 2);
  EXPECT_EQ(GetObject(bm, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  DeleteObject(bm);

  LOGFONT lf;
  ASSERT_GT(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), 0);
  EXPECT_FALSE(lf.lfFaceName.empty());
  EXPECT_EQ(GetObjectType(GetStockObject(DEFAULT_GUI_FONT)), static_cast<DWORD>(OBJ_FONT));
}

TEST(Objects, InvalidArgumentsMakeNoObject) {
  EXPECT_EQ(CreateHatchBrush(17, 0), nullptr);
  LOGBRUSH lb{BS_SOLID, 0, 0};
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);  // cosmetic pens are 1 wide
  EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_USERSTYLE, 3, &lb, 0, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-1, 2, 1, 32, nullptr), nullptr);
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(99), nullptr);
  EXPECT_FALSE(DeleteObject(nullptr));
  EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(0x1234)));
  EXPECT_EQ(GetObject(reinterpret_cast<HGDIOBJ>(0x1234), 0, nullptr), 0);
}

TEST(Objects, ADeletedHandleIsNotFoundAgain) {
  HBRUSH b = CreateSolidBrush(0);
  EXPECT_TRUE(DeleteObject(b));
  EXPECT_FALSE(DeleteObject(b));
  EXPECT_EQ(GetObjectType(b), 0u);
  EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN)));  // stock objects stay
  EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
}

TEST(Regions, ShapesCombineAndAnswerQueries) {
  HRGN a = CreateRectRgn(0, 0, 10, 10);
  HRGN b = CreateRectRgn(5, 5, 15, 15);
  HRGN d = CreateRectRgn(0, 0, 0, 0);
  struct TCase {
    int Mode;
    int Kind;
    TRect Box;
  };
  const TCase cases[] = {
      {RGN_AND, SIMPLEREGION, {5, 5, 10, 10}},
      {RGN_OR, COMPLEXREGION, {0, 0, 15, 15}},
      {RGN_XOR, COMPLEXREGION, {0, 0, 15, 15}},
      {RGN_DIFF, COMPLEXREGION, {0, 0, 10, 10}},
      {RGN_COPY, SIMPLEREGION, {0, 0, 10, 10}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CombineRgn(d, a, b, c.Mode), c.Kind) << c.Mode;
    TRect box;
    GetRgnBox(d, &box);
    EXPECT_EQ(box, c.Box) << c.Mode;
  }
  EXPECT_EQ(CombineRgn(d, a, nullptr, RGN_AND), ERROR);
  EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
  // The destination may be a source.
  EXPECT_EQ(CombineRgn(a, a, b, RGN_AND), SIMPLEREGION);
  EXPECT_TRUE(PtInRegion(a, 5, 5));
  EXPECT_FALSE(PtInRegion(a, 10, 10));
  TRect r{9, 9, 20, 20};
  EXPECT_TRUE(RectInRegion(a, &r));
  r = {10, 0, 20, 20};
  EXPECT_FALSE(RectInRegion(a, &r));
  EXPECT_EQ(OffsetRgn(a, -5, -5), SIMPLEREGION);
  HRGN same = CreateRectRgn(5, 5, 0, 0);  // corners in any order
  EXPECT_TRUE(EqualRgn(a, same));
  for (HRGN h : {a, b, d, same}) DeleteObject(h);
  EXPECT_FALSE(PtInRegion(a, 1, 1));
}

TEST(Regions, EllipsesAndRoundRectanglesAreOnePixelShortOfTheirBox) {
  // As the figures drawn with a null pen: Left/Top inside, Right − 1 and Bottom − 1 outside.
  HRGN e = CreateEllipticRgn(0, 0, 11, 11);
  TRect box;
  EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
  EXPECT_EQ(box, (TRect{0, 0, 10, 10}));
  EXPECT_TRUE(PtInRegion(e, 5, 0));
  EXPECT_TRUE(PtInRegion(e, 0, 5));
  EXPECT_FALSE(PtInRegion(e, 0, 0));
  EXPECT_FALSE(PtInRegion(e, 9, 9));
  HRGN rr = CreateRoundRectRgn(0, 0, 21, 11, 6, 6);
  GetRgnBox(rr, &box);
  EXPECT_EQ(box, (TRect{0, 0, 20, 10}));
  EXPECT_TRUE(PtInRegion(rr, 10, 0));
  EXPECT_FALSE(PtInRegion(rr, 0, 0));
  EXPECT_TRUE(PtInRegion(rr, 1, 2));
  DeleteObject(e);
  DeleteObject(rr);
}

TEST(Regions, PolygonFillRulesDifferOnOverlaps) {
  // A five-pointed star: the middle is inside by winding, outside by alternate filling.
  const TPoint star[] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  HRGN alt = CreatePolygonRgn(star, 5, ALTERNATE);
  HRGN wind = CreatePolygonRgn(star, 5, WINDING);
  EXPECT_FALSE(PtInRegion(alt, 10, 10));
  EXPECT_TRUE(PtInRegion(wind, 10, 10));
  EXPECT_TRUE(PtInRegion(alt, 10, 3));
  // A right triangle: its slanted edge and the edge vertices follow the top-left rule.
  const TPoint tri[] = {{0, 0}, {4, 0}, {0, 4}};
  HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
  EXPECT_TRUE(PtInRegion(t, 0, 0));
  EXPECT_TRUE(PtInRegion(t, 3, 0));
  EXPECT_FALSE(PtInRegion(t, 4, 0));
  EXPECT_FALSE(PtInRegion(t, 0, 4));
  EXPECT_FALSE(PtInRegion(t, 2, 2));  // on the slanted (right) edge
  EXPECT_TRUE(PtInRegion(t, 1, 2));
  for (HRGN h : {alt, wind, t}) DeleteObject(h);
}
