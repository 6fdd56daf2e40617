#include <gtest/gtest.h>

#include "tests/support/Pixels.h"
#include "platform/gdi/DCState.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
COLORREF Sys(int Index) { return GetSysColor(Index); }

}  // namespace

TEST(DrawEdge, RingColoursOfEveryEdgeKind) {
  // Outer ring upper-left / lower-right, inner ring upper-left / lower-right.
  struct TCase {
    UINT Edge, Flags;
    int OuterTL, OuterBR, InnerTL, InnerBR;
  };
  const TCase cases[] = {
      {EDGE_RAISED, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {EDGE_SUNKEN, 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {EDGE_ETCHED, 0, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {EDGE_BUMP, 0, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {EDGE_RAISED, BF_SOFT, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT, COLOR_BTNSHADOW},
      {EDGE_SUNKEN, BF_SOFT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DLIGHT},
      {EDGE_RAISED, BF_FLAT, COLOR_BTNSHADOW, COLOR_BTNSHADOW, COLOR_BTNFACE, COLOR_BTNFACE},
      {EDGE_SUNKEN, BF_MONO, COLOR_WINDOWFRAME, COLOR_WINDOWFRAME, COLOR_WINDOW, COLOR_WINDOW},
  };
  // Distinct colours for every entry the edges use, so that each ring's colour is told apart.
  const int indices[] = {COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW,
                         COLOR_BTNFACE, COLOR_WINDOWFRAME, COLOR_WINDOW};
  COLORREF saved[7], distinct[7];
  for (int i = 0; i < 7; ++i) {
    saved[i] = GetSysColor(indices[i]);
    distinct[i] = RGB(10 * i + 1, 20 * i + 2, 30 * i + 3);
  }
  SetSysColors(7, indices, distinct);
  for (const auto& c : cases) {
    TPixels p(6, 6, Red);
    TRect r{0, 0, 6, 6};
    DrawEdge(p.DC, &r, c.Edge, c.Flags | BF_RECT);
    const std::string what = std::to_string(c.Edge) + "/" + std::to_string(c.Flags);
    EXPECT_EQ(p.At(0, 2), Sys(c.OuterTL)) << what;
    EXPECT_EQ(p.At(2, 0), Sys(c.OuterTL)) << what;
    EXPECT_EQ(p.At(5, 2), Sys(c.OuterBR)) << what;
    EXPECT_EQ(p.At(2, 5), Sys(c.OuterBR)) << what;
    EXPECT_EQ(p.At(5, 0), Sys(c.OuterBR)) << what;  // the lower-right colour takes the corners
    EXPECT_EQ(p.At(0, 5), Sys(c.OuterBR)) << what;
    EXPECT_EQ(p.At(1, 2), Sys(c.InnerTL)) << what;
    EXPECT_EQ(p.At(4, 2), Sys(c.InnerBR)) << what;
    EXPECT_EQ(p.At(2, 2), Red) << what;  // no middle asked for
  }
  SetSysColors(7, indices, saved);
}

TEST(DrawEdge, SidesMiddleAndAdjust) {
  TPixels p(6, 6, Red);
  TRect r{0, 0, 6, 6};
  DrawEdge(p.DC, &r, BDR_RAISEDOUTER, BF_LEFT | BF_TOP | BF_MIDDLE | BF_ADJUST);
  EXPECT_EQ(r, (TRect{1, 1, 6, 6}));  // one ring, on the chosen sides only
  EXPECT_EQ(p.At(0, 3), Sys(COLOR_3DLIGHT));
  EXPECT_EQ(p.At(5, 3), Sys(COLOR_BTNFACE));  // no right side: the middle reaches the edge
  TPixels q(6, 6, Red);
  r = {0, 0, 6, 6};
  DrawEdge(q.DC, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST | BF_MIDDLE | BF_MONO);
  EXPECT_EQ(r, (TRect{2, 2, 4, 4}));
  EXPECT_EQ(q.At(3, 3), Sys(COLOR_WINDOW));
}

TEST(DrawEdge, DiagonalsRunCornerToCorner) {
  TPixels p(5, 5);
  TRect r{0, 0, 5, 5};
  DrawEdge(p.DC, &r, BDR_SUNKENOUTER, BF_DIAGONAL_ENDTOPRIGHT);
  const std::map<COLORREF, char> legend{{Sys(COLOR_BTNSHADOW), 's'}};
  EXPECT_EQ(p.Picture(legend), TPixels::Rows({"....s", "...s.", "..s..", ".s...", "s...."}));
}

TEST(FocusRect, AlternateDotsFromTheCornerCancelWhenDrawnTwice) {
  TPixels p(6, 4, RGB(40, 80, 120));
  const std::map<COLORREF, char> legend{{RGB(40, 80, 120), 'o'}, {RGB(215, 175, 135), 'x'}};
  const std::string before = p.Picture(legend);
  TRect r{0, 0, 6, 4};
  DrawFocusRect(p.DC, &r);
  EXPECT_EQ(p.Picture(legend), TPixels::Rows({"xoxoxo", "ooooox", "xooooo", "oxoxox"}));
  DrawFocusRect(p.DC, &r);
  EXPECT_EQ(p.Picture(legend), before);
}

TEST(FrameControl, PushButtonsAreSoftRaisedOrSunkenWhenPushed) {
  TPixels a(8, 8), b(8, 8);
  TRect r{0, 0, 8, 8};
  DrawFrameControl(a.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
  TRect e = r;
  DrawEdge(b.DC, &e, EDGE_RAISED, BF_RECT | BF_SOFT | BF_MIDDLE);
  EXPECT_EQ(a.Picture(), b.Picture());
  DrawFrameControl(a.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  EXPECT_EQ(a.At(0, 3), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(a.At(4, 4), Sys(COLOR_BTNFACE));
  DrawFrameControl(a.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT);
  EXPECT_EQ(r, (TRect{2, 2, 6, 6}));
}

TEST(FrameControl, CheckBoxesShowTheirStates) {
  auto ink = [](UINT State) {
    TPixels p(13, 13, Red);
    TRect r{0, 0, 13, 13};
    DrawFrameControl(p.DC, &r, DFC_BUTTON, DFCS_BUTTONCHECK | State);
    int marks = 0;
    for (int y = 2; y < 11; ++y)
      for (int x = 2; x < 11; ++x) marks += p.At(x, y) == Sys(COLOR_WINDOWTEXT) || p.At(x, y) == Sys(COLOR_BTNSHADOW);
    return std::pair{marks, p.At(2, 2)};
  };
  EXPECT_EQ(ink(0), (std::pair{0, Sys(COLOR_WINDOW)}));
  EXPECT_GT(ink(DFCS_CHECKED).first, 10);
  EXPECT_EQ(ink(DFCS_CHECKED | DFCS_INACTIVE).second, Sys(COLOR_BTNFACE));
  EXPECT_EQ(ink(DFCS_PUSHED).second, Sys(COLOR_BTNFACE));
  TPixels p(13, 13);
  TRect r{0, 0, 13, 13};
  DrawFrameControl(p.DC, &r, DFC_BUTTON, DFCS_BUTTONCHECK);
  EXPECT_EQ(p.At(0, 5), Sys(COLOR_BTNSHADOW));  // a sunken edge around the box
  EXPECT_EQ(p.At(1, 5), Sys(COLOR_3DDKSHADOW));
}

TEST(FrameControl, RadioButtonsAndTheirDot) {
  TPixels p(12, 12, Red);
  TRect r{0, 0, 12, 12};
  DrawFrameControl(p.DC, &r, DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED);
  EXPECT_EQ(p.At(5, 5), Sys(COLOR_WINDOWTEXT));   // the dot
  EXPECT_EQ(p.At(3, 5), Sys(COLOR_WINDOW));       // interior
  EXPECT_EQ(p.At(0, 5), Sys(COLOR_BTNSHADOW));    // outer ring, upper-left half
  EXPECT_EQ(p.At(11, 6), Sys(COLOR_BTNHIGHLIGHT));  // outer ring, lower-right half
  EXPECT_EQ(p.At(0, 0), Red);                     // outside the circle: untouched
  TPixels m(12, 12, Red);
  DrawFrameControl(m.DC, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK);
  EXPECT_EQ(m.At(0, 0), White);
  EXPECT_EQ(m.At(5, 5), RGB(0, 0, 0));
}

TEST(FrameControl, ScrollArrowsPointTheirWayAndEmbossWhenInactive) {
  auto picture = [](UINT State) {
    TPixels p(16, 16);
    TRect r{0, 0, 16, 16};
    DrawFrameControl(p.DC, &r, DFC_SCROLL, State);
    return std::pair{p.Picture({{Sys(COLOR_BTNTEXT), 'a'}, {Sys(COLOR_BTNFACE), ' '}, {Sys(COLOR_BTNSHADOW), 's'},
                                {Sys(COLOR_3DDKSHADOW), 'd'}, {Sys(COLOR_BTNHIGHLIGHT), 'h'}}),
                     p.At(8, 7)};
  };
  const auto up = picture(DFCS_SCROLLUP).first, down = picture(DFCS_SCROLLDOWN).first;
  // The widest row of the arrow is below the point when it points up.
  // The row where the arrow is widest: below its point when it points up.
  auto widest = [](const std::string& pic) {
    size_t best = 0, row = 0, y = 0;
    for (size_t start = 0; start < pic.size(); start = pic.find('\n', start) + 1, ++y) {
      const auto n = static_cast<size_t>(std::count(pic.begin() + start, pic.begin() + pic.find('\n', start), 'a'));
      if (n > best) best = n, row = y;
    }
    return row;
  };
  EXPECT_GT(widest(up), widest(down));
  EXPECT_EQ(picture(DFCS_SCROLLDOWN).second, Sys(COLOR_BTNTEXT));
  const auto inactive = picture(DFCS_SCROLLDOWN | DFCS_INACTIVE).first;
  EXPECT_EQ(inactive.find('a'), std::string::npos);
  EXPECT_NE(inactive.find('s'), std::string::npos);
  const auto combo = picture(DFCS_SCROLLCOMBOBOX).first;
  EXPECT_EQ(combo, down);
}

TEST(FrameControl, CaptionButtonsDrawTheirGlyphs) {
  TPixels p(16, 14);
  TRect r{0, 0, 16, 14};
  EXPECT_TRUE(DrawFrameControl(p.DC, &r, DFC_CAPTION, DFCS_CAPTIONCLOSE));
  EXPECT_EQ(p.At(4, 3), Sys(COLOR_BTNTEXT));   // the cross's top-left arm
  EXPECT_EQ(p.At(8, 3), Sys(COLOR_BTNFACE));
  EXPECT_FALSE(DrawFrameControl(p.DC, &r, 99, 0));
}

namespace {

// A 2 × 2 icon: mask 1 (keep) on the left column, colour red on the right one.
HICON MakeIcon(bool Alpha) {
  const uint8_t maskBits[4] = {0x80, 0, 0x80, 0};
  HBITMAP mask = CreateBitmap(2, 2, 1, 1, maskBits);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = -2;
  bi.bmiHeader.biBitCount = 32;
  uint32_t* bits = nullptr;
  HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  for (int y = 0; y < 2; ++y) {
    bits[y * 2] = Alpha ? 0x000000FFu : 0;  // left: blue when alpha counts, fully transparent
    bits[y * 2 + 1] = Alpha ? 0x80FF0000u : 0x00FF0000u;
  }
  ICONINFO ii{TRUE, 0, 0, mask, color};
  HICON icon = CreateIconIndirect(&ii);
  DeleteObject(mask);
  DeleteObject(color);
  return icon;
}

}  // namespace

TEST(Icons, MaskKeepsTheBackgroundAndAlphaBlends) {
  HICON icon = MakeIcon(false);
  ASSERT_NE(icon, nullptr);
  TPixels p(4, 2, Blue);
  DrawIcon(p.DC, 0, 0, icon);
  EXPECT_EQ(p.At(0, 0), Blue);
  EXPECT_EQ(p.At(1, 0), Red);
  DrawIconEx(p.DC, 2, 0, icon, 4, 4, 0, nullptr, DI_MASK);  // stretched, clipped by the surface
  EXPECT_EQ(p.At(3, 1), Blue);
  EXPECT_EQ(p.At(3, 0), Blue);
  ICONINFO ii;
  ASSERT_TRUE(GetIconInfo(icon, &ii));
  BITMAP bm;
  GetObject(ii.hbmColor, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 2);
  DeleteObject(ii.hbmMask);
  DeleteObject(ii.hbmColor);
  HICON big = static_cast<HICON>(CopyImage(icon, IMAGE_ICON, 8, 8, LR_COPYDELETEORG));
  EXPECT_FALSE(DestroyIcon(icon));  // the copy deleted the original
  TPixels q(8, 8, Blue);
  DrawIcon(q.DC, 0, 0, big);
  EXPECT_EQ(q.At(7, 7), Red);
  EXPECT_EQ(q.At(0, 7), Blue);
  EXPECT_TRUE(DestroyIcon(big));

  HICON alpha = MakeIcon(true);
  TPixels a(2, 1, Blue);
  DrawIcon(a.DC, 0, 0, alpha);
  EXPECT_EQ(a.At(0, 0), Blue);                  // alpha 0
  EXPECT_EQ(a.At(1, 0), RGB(128, 0, 127));      // red at half over blue
  DestroyIcon(alpha);
}

TEST(DrawStateTest, DisabledPicturesAreEmbossedAndMonoOnesTakeTheBrush) {
  // A 3 × 3 bitmap with one black pixel in the middle.
  TPixels src(1, 1);
  HBITMAP bm = CreateCompatibleBitmap(src.DC, 3, 3);
  HDC mem = CreateCompatibleDC(src.DC);
  HGDIOBJ old = SelectObject(mem, bm);
  TRect all{0, 0, 3, 3};
  FillRect(mem, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetPixel(mem, 1, 1, 0);
  SelectObject(mem, old);
  DeleteDC(mem);

  TPixels p(5, 5, Red);
  EXPECT_TRUE(DrawState(p.DC, nullptr, nullptr, reinterpret_cast<LPARAM>(bm), 0, 1, 1, 0, 0, DST_BITMAP | DSS_DISABLED));
  EXPECT_EQ(p.At(2, 2), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(p.At(3, 3), Sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(p.At(1, 1), Red);  // the white background is not drawn

  TPixels m(5, 5, Red);
  HBRUSH blue = CreateSolidBrush(Blue);
  DrawState(m.DC, blue, nullptr, reinterpret_cast<LPARAM>(bm), 0, 0, 0, 0, 0, DST_BITMAP | DSS_MONO);
  EXPECT_EQ(m.At(1, 1), Blue);
  EXPECT_EQ(m.At(0, 0), Red);
  DeleteObject(blue);

  // A complex picture draws through the callback, at (0, 0) of the size given.
  TPixels c(4, 4);
  auto draw = [](HDC DC, LPARAM, WPARAM, int W, int H) {
    TRect r{0, 0, W, H};
    return FillRect(DC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  };
  EXPECT_TRUE(DrawState(c.DC, nullptr, draw, 0, 0, 1, 1, 2, 2, DST_COMPLEX));
  EXPECT_EQ(c.Picture(), TPixels::Rows({"....", ".##.", ".##.", "...."}));
  EXPECT_FALSE(DrawState(c.DC, nullptr, draw, 0, 0, 1, 1, 0, 0, DST_COMPLEX));  // no size
  // Text needs the text unit's output routine.
  auto keep = gdi::StateTextOutput;
  gdi::StateTextOutput = nullptr;
  EXPECT_FALSE(DrawState(c.DC, nullptr, nullptr, reinterpret_cast<LPARAM>("x"), 0, 0, 0, 4, 4, DST_TEXT));
  gdi::StateTextOutput = keep;
  DeleteObject(bm);
}
