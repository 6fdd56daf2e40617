#include <gtest/gtest.h>

#include "platform/gdi/Display.h"
#include "tests/support/Pixels.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

}  // namespace

TEST(DC, FillRectCoversLeftTopAndLeavesRightBottomOut) {
  TPixels p(5, 4);
  HBRUSH red = CreateSolidBrush(Red);
  TRect r{1, 1, 4, 3};
  FillRect(p.DC, &r, red);
  r = {3, 3, 1, 1};  // an inverted rectangle is empty
  FillRect(p.DC, &r, red);
  EXPECT_EQ(p.Picture({{Red, 'r'}}), TPixels::Rows({".....", ".rrr.", ".rrr.", "....."}));
  DeleteObject(red);
}

TEST(DC, FillRectTakesSystemColourIndexPlusOne) {
  TPixels p(2, 1);
  TRect r{0, 0, 1, 1};
  FillRect(p.DC, &r, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  EXPECT_EQ(p.At(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_FALSE(FillRect(p.DC, &r, nullptr));
}

TEST(DC, OriginsMoveDrawingAndClipRegionsStayInDeviceUnits) {
  TPixels p(6, 3);
  HBRUSH red = CreateSolidBrush(Red);
  SetViewportOrgEx(p.DC, 2, 0, nullptr);
  SetWindowOrgEx(p.DC, 1, 0, nullptr);  // device = logical − 1 + 2
  TRect r{0, 0, 1, 1};
  FillRect(p.DC, &r, red);
  EXPECT_EQ(p.At(1, 0), Red);
  TPoint pt{0, 0};
  LPtoDP(p.DC, &pt, 1);
  EXPECT_EQ(pt, (TPoint{1, 0}));
  DPtoLP(p.DC, &pt, 1);
  EXPECT_EQ(pt, (TPoint{0, 0}));
  TPoint old;
  OffsetViewportOrgEx(p.DC, 1, 1, &old);
  EXPECT_EQ(old, (TPoint{2, 0}));
  // The clip rectangle is given in logical units and kept in device ones.
  IntersectClipRect(p.DC, 0, 0, 2, 2);  // device (2, 1) .. (4, 3)
  SetViewportOrgEx(p.DC, 0, 0, nullptr);
  SetWindowOrgEx(p.DC, 0, 0, nullptr);
  r = {0, 0, 6, 3};
  FillRect(p.DC, &r, red);
  EXPECT_EQ(p.Picture({{Red, 'r'}}), TPixels::Rows({".r....", "..rr..", "..rr.."}));
  DeleteObject(red);
}

TEST(DC, ClipRegionsCombineByMode) {
  TPixels p(6, 1);
  HBRUSH red = CreateSolidBrush(Red);
  HRGN left = CreateRectRgn(0, 0, 3, 1);
  HRGN mid = CreateRectRgn(2, 0, 5, 1);
  const TRect all{0, 0, 6, 1};
  struct TCase {
    int Mode;
    const char* Picture;
  };
  const TCase cases[] = {
      {RGN_AND, "..r..."}, {RGN_OR, "rrrrr."}, {RGN_XOR, "rr.rr."}, {RGN_DIFF, "rr...."}, {RGN_COPY, "..rrr."}};
  for (const auto& c : cases) {
    p.Surface->Fill(p.Surface->Bounds(), gdi::PixelOf(RGB(255, 255, 255)));
    SelectClipRgn(p.DC, left);
    ExtSelectClipRgn(p.DC, mid, c.Mode);
    FillRect(p.DC, &all, red);
    EXPECT_EQ(p.Picture({{Red, 'r'}}), TPixels::Rows({c.Picture})) << c.Mode;
  }
  // No clip region: RGN_DIFF takes the whole DC less the region.
  SelectClipRgn(p.DC, nullptr);
  EXPECT_EQ(ExtSelectClipRgn(p.DC, mid, RGN_DIFF), COMPLEXREGION);
  EXPECT_EQ(ExtSelectClipRgn(p.DC, nullptr, RGN_AND), ERROR);
  // The DC keeps its own copy: changing the region later changes nothing.
  SelectClipRgn(p.DC, left);
  OffsetRgn(left, 3, 0);
  HRGN got = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(p.DC, got), 1);
  EXPECT_TRUE(PtInRegion(got, 0, 0));
  SelectClipRgn(p.DC, nullptr);
  EXPECT_EQ(GetClipRgn(p.DC, got), 0);
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(red), static_cast<HGDIOBJ>(left), static_cast<HGDIOBJ>(mid),
                    static_cast<HGDIOBJ>(got)})
    DeleteObject(h);
}

TEST(DC, ExcludeClipRectAndClipBox) {
  TPixels p(10, 10);
  TRect box;
  EXPECT_EQ(GetClipBox(p.DC, &box), SIMPLEREGION);
  EXPECT_EQ(box, (TRect{0, 0, 10, 10}));
  EXPECT_EQ(ExcludeClipRect(p.DC, 0, 0, 10, 5), SIMPLEREGION);
  SetViewportOrgEx(p.DC, 0, 5, nullptr);
  GetClipBox(p.DC, &box);
  EXPECT_EQ(box, (TRect{0, 0, 10, 5}));  // in logical units
  EXPECT_EQ(ExcludeClipRect(p.DC, 2, 2, 4, 4), COMPLEXREGION);
  EXPECT_FALSE(PtVisible(p.DC, 2, 2));
  EXPECT_TRUE(PtVisible(p.DC, 4, 4));
  EXPECT_EQ(IntersectClipRect(p.DC, 20, 20, 30, 30), NULLREGION);
  EXPECT_EQ(GetClipBox(p.DC, &box), NULLREGION);
  EXPECT_TRUE(box.IsEmpty());
}

TEST(DC, SaveAndRestoreBringBackAttributesObjectsAndClip) {
  TPixels p(4, 1);
  HBRUSH red = CreateSolidBrush(Red);
  const int level = SaveDC(p.DC);
  EXPECT_EQ(level, 1);
  SelectObject(p.DC, red);
  SetTextColor(p.DC, Blue);
  SetBkMode(p.DC, TRANSPARENT);
  SetROP2(p.DC, R2_XORPEN);
  IntersectClipRect(p.DC, 0, 0, 1, 1);
  SetViewportOrgEx(p.DC, 3, 3, nullptr);
  EXPECT_EQ(SaveDC(p.DC), 2);
  SetTextColor(p.DC, Red);
  EXPECT_TRUE(RestoreDC(p.DC, -1));
  EXPECT_EQ(GetTextColor(p.DC), Blue);
  EXPECT_TRUE(RestoreDC(p.DC, level));
  EXPECT_EQ(GetTextColor(p.DC), RGB(0, 0, 0));
  EXPECT_EQ(GetBkMode(p.DC), OPAQUE);
  EXPECT_EQ(GetROP2(p.DC), R2_COPYPEN);
  EXPECT_EQ(GetCurrentObject(p.DC, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  TPoint org;
  GetViewportOrgEx(p.DC, &org);
  EXPECT_EQ(org, (TPoint{0, 0}));
  TRect box;
  GetClipBox(p.DC, &box);
  EXPECT_EQ(box, (TRect{0, 0, 4, 1}));
  EXPECT_FALSE(RestoreDC(p.DC, 1));  // nothing saved any more
  EXPECT_FALSE(RestoreDC(p.DC, 0));
  DeleteObject(red);
}

TEST(DC, AnObjectDeletedWhileSelectedStillPaintsUntilReplaced) {
  TPixels p(1, 1);
  HBRUSH red = CreateSolidBrush(Red);
  HGDIOBJ old = SelectObject(p.DC, red);
  EXPECT_EQ(old, GetStockObject(WHITE_BRUSH));
  EXPECT_TRUE(DeleteObject(red));
  HRGN all = CreateRectRgn(0, 0, 1, 1);
  PaintRgn(p.DC, all);
  EXPECT_EQ(p.At(0, 0), Red);
  SelectObject(p.DC, old);
  DeleteObject(all);
}

TEST(DC, SetAndGetPixelHonourClipAndAnswerInvalidOutside) {
  TPixels p(3, 3);
  EXPECT_EQ(SetPixel(p.DC, 1, 1, Red), Red);
  EXPECT_EQ(GetPixel(p.DC, 1, 1), Red);
  EXPECT_EQ(SetPixel(p.DC, 5, 1, Red), CLR_INVALID);
  EXPECT_EQ(GetPixel(p.DC, -1, 0), CLR_INVALID);
  ExcludeClipRect(p.DC, 0, 0, 1, 1);
  EXPECT_EQ(SetPixel(p.DC, 0, 0, Red), CLR_INVALID);
  EXPECT_EQ(GetPixel(p.DC, 0, 0), CLR_INVALID);
  EXPECT_EQ(p.At(0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
}

TEST(DC, SurfaceDCDrawsOnlyInsideItsVisibleRegionAtItsOrigin) {
  auto surface = std::make_shared<gdi::TSurface>(8, 4, gdi::PixelOf(RGB(255, 255, 255)));
  gdi::TRegion visible(TRect{2, 1, 6, 4});
  visible -= TRect{4, 1, 6, 2};  // a window covering part of it
  HDC dc = gdi::CreateSurfaceDC(surface, {2, 1}, visible);
  EXPECT_EQ(gdi::SurfaceOf(dc), surface);
  EXPECT_EQ(gdi::SurfaceDCOrigin(dc), (TPoint{2, 1}));
  EXPECT_EQ(gdi::SurfaceDCVisible(dc), visible);
  HBRUSH red = CreateSolidBrush(Red);
  TRect r{-10, -10, 10, 10};
  FillRect(dc, &r, red);
  TRect box;
  GetClipBox(dc, &box);
  EXPECT_EQ(box, (TRect{0, 0, 4, 3}));
  auto at = [&](int x, int y) { return gdi::ColorOfPixel(surface->Get(x, y)); };
  EXPECT_EQ(at(2, 1), Red);
  EXPECT_EQ(at(4, 1), RGB(255, 255, 255));
  EXPECT_EQ(at(1, 1), RGB(255, 255, 255));
  // The window moved: the same DC now draws elsewhere.
  gdi::SetSurfaceDCPlacement(dc, {0, 0}, gdi::TRegion(TRect{0, 0, 1, 1}));
  SetPixel(dc, 0, 0, Blue);
  SetPixel(dc, 1, 0, Blue);
  EXPECT_EQ(at(0, 0), Blue);
  EXPECT_EQ(at(1, 0), RGB(255, 255, 255));
  DeleteDC(dc);
  DeleteObject(red);
  EXPECT_EQ(gdi::SurfaceOf(dc), nullptr);
  EXPECT_FALSE(DeleteDC(dc));
}

TEST(DC, ASurfaceThatShrankUnderItsDCIsNotOverrun) {
  auto surface = std::make_shared<gdi::TSurface>(20, 20);
  HDC dc = gdi::CreateSurfaceDC(surface, {0, 0}, gdi::TRegion(TRect{0, 0, 20, 20}));
  TRect all{0, 0, 20, 20};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  surface->Resize(5, 5);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  EXPECT_EQ(gdi::ColorOfPixel(surface->Get(4, 4)), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 10, 10), CLR_INVALID);
  DeleteDC(dc);
}

TEST(DC, MemoryDCStartsMonochromeAndTakesTheFormatOfItsBitmap) {
  HDC mem = CreateCompatibleDC(nullptr);
  ASSERT_NE(mem, nullptr);
  BITMAP bm;
  GetObject(GetCurrentObject(mem, OBJ_BITMAP), sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  // Compatible with its (monochrome) bitmap, as the platform does.
  HBITMAP mono = CreateCompatibleBitmap(mem, 4, 4);
  GetObject(mono, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 1);
  // Colours drawn into a monochrome bitmap become the nearer of black and white.
  HGDIOBJ old = SelectObject(mem, mono);
  EXPECT_EQ(SetPixel(mem, 0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
  EXPECT_EQ(SetPixel(mem, 1, 0, RGB(100, 100, 100)), RGB(0, 0, 0));
  EXPECT_EQ(GetNearestColor(mem, RGB(250, 0, 250)), RGB(255, 255, 255));
  TPixels screen(1, 1);
  HBITMAP color = CreateCompatibleBitmap(screen.DC, 4, 4);
  SelectObject(mem, color);
  EXPECT_EQ(SetPixel(mem, 0, 0, RGB(200, 100, 50)), RGB(200, 100, 50));
  EXPECT_EQ(GetNearestColor(mem, RGB(200, 100, 50)), RGB(200, 100, 50));
  SelectObject(mem, old);
  DeleteObject(mono);
  DeleteObject(color);
  EXPECT_TRUE(DeleteDC(mem));
}

TEST(DC, TheDisplayIsTrueColourAt96Dpi) {
  EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(nullptr, NUMCOLORS), -1);
  EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 96);
  EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(nullptr, SIZEPALETTE), 0);
  EXPECT_NE(GetDeviceCaps(nullptr, RASTERCAPS) & RC_STRETCHBLT, 0);
}

TEST(DC, APaletteDisplayShowsWindowsInItsStaticColoursAndMemoryInAll) {
  struct TPaletteDisplay {
    TPaletteDisplay() { gdi::SetPaletteDisplay(true); }
    ~TPaletteDisplay() { gdi::SetPaletteDisplay(false); }
  } palette;
  EXPECT_EQ(GetDeviceCaps(nullptr, BITSPIXEL), 8);
  EXPECT_EQ(GetDeviceCaps(nullptr, NUMCOLORS), 20);
  EXPECT_EQ(GetDeviceCaps(nullptr, SIZEPALETTE), 256);
  EXPECT_NE(GetDeviceCaps(nullptr, RASTERCAPS) & RC_PALETTE, 0);
  TPixels window(1, 1);
  // Static colours are shown as they are; others become the nearest static one.
  struct TCase { COLORREF Asked, Shown; };
  for (const TCase& c : {TCase{RGB(192, 192, 192), RGB(192, 192, 192)}, TCase{RGB(255, 255, 0), RGB(255, 255, 0)},
                         TCase{RGB(250, 240, 230), RGB(255, 251, 240)}, TCase{RGB(200, 100, 50), RGB(128, 128, 0)},
                         TCase{RGB(10, 0, 140), RGB(0, 0, 128)}}) {
    SCOPED_TRACE(c.Asked);
    EXPECT_EQ(GetNearestColor(window.DC, c.Asked), c.Shown);
  }
  HDC mem = CreateCompatibleDC(window.DC);
  HBITMAP color = CreateCompatibleBitmap(window.DC, 2, 2);
  HGDIOBJ old = SelectObject(mem, color);
  EXPECT_EQ(GetNearestColor(mem, RGB(200, 100, 50)), RGB(200, 100, 50));
  SelectObject(mem, old);
  DeleteObject(color);
  DeleteDC(mem);
}

TEST(DC, ModeSettersRefuseValuesOutOfRange) {
  TPixels p(1, 1);
  EXPECT_EQ(SetROP2(p.DC, 0), 0);
  EXPECT_EQ(SetROP2(p.DC, R2_NOT), R2_COPYPEN);
  EXPECT_EQ(SetBkMode(p.DC, 7), 0);
  EXPECT_EQ(SetPolyFillMode(p.DC, WINDING), ALTERNATE);
  EXPECT_EQ(SetStretchBltMode(p.DC, COLORONCOLOR), BLACKONWHITE);
  EXPECT_EQ(SetTextAlign(p.DC, 24), 0u);
  EXPECT_EQ(SetBkColor(nullptr, 0), CLR_INVALID);
  EXPECT_EQ(SetLayout(p.DC, LAYOUT_RTL), 0u);
  EXPECT_EQ(GetLayout(p.DC), static_cast<DWORD>(LAYOUT_RTL));
}

TEST(DC, RightToLeftLayoutMirrorsRectangles) {
  TPixels p(6, 1);
  SetLayout(p.DC, LAYOUT_RTL);
  HBRUSH red = CreateSolidBrush(Red);
  TRect r{0, 0, 2, 1};
  FillRect(p.DC, &r, red);
  SetPixel(p.DC, 2, 0, Blue);
  EXPECT_EQ(p.Picture({{Red, 'r'}, {Blue, 'b'}}), TPixels::Rows({"...brr"}));
  DeleteObject(red);
}
