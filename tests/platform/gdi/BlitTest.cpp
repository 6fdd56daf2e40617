#include <gtest/gtest.h>

#include <cstring>

#include "tests/support/Pixels.h"

namespace {

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF Green = RGB(0, 255, 0);
const std::map<COLORREF, char> RGBL{{Red, 'r'}, {Blue, 'b'}, {Green, 'g'}};

// A memory DC holding a bitmap (a 32-bit DIB section unless Mono) for the test's length.
class TBitmapDC {
 public:
  TBitmapDC(int Width, int Height, bool Mono = false) {
    DC = CreateCompatibleDC(nullptr);
    if (Mono) {
      Bitmap = CreateBitmap(Width, Height, 1, 1, nullptr);
    } else {
      BITMAPINFO bi{};
      bi.bmiHeader.biWidth = Width;
      bi.bmiHeader.biHeight = -Height;
      bi.bmiHeader.biBitCount = 32;
      Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
    }
    Old = SelectObject(DC, Bitmap);
  }
  ~TBitmapDC() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
  TBitmapDC(const TBitmapDC&) = delete;
  TBitmapDC& operator=(const TBitmapDC&) = delete;
  void Row(int Y, std::initializer_list<COLORREF> Colors) {
    int x = 0;
    for (COLORREF c : Colors) SetPixel(DC, x++, Y, c);
  }
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  uint32_t* Bits = nullptr;
};

}  // namespace

TEST(Blit, TernaryRasterOperationsOnKnownBits) {
  const COLORREF P = RGB(0xF0, 0xF0, 0x0F), S = RGB(0xCC, 0x0C, 0xC3), D = RGB(0xAA, 0x5A, 0xA5);
  auto m = [](uint32_t v) { return static_cast<COLORREF>(v & 0xFFFFFF); };
  struct TCase {
    DWORD Rop;
    COLORREF Want;
  };
  const TCase cases[] = {
      {SRCCOPY, S},           {SRCPAINT, S | D},          {SRCAND, S & D},        {SRCINVERT, S ^ D},
      {SRCERASE, m(S & ~D)},  {NOTSRCCOPY, m(~S)},        {NOTSRCERASE, m(~(S | D))},
      {MERGECOPY, P & S},     {MERGEPAINT, m(~S | D)},    {PATCOPY, P},           {PATPAINT, m(P | ~S | D)},
      {PATINVERT, P ^ D},     {DSTINVERT, m(~D)},         {BLACKNESS, 0},         {WHITENESS, 0xFFFFFF},
      {0x00B8074A, m(((D ^ P) & S) ^ P)},                 {0x00E20746, m(((P ^ D) & S) ^ D)},
      {0x00990066, m(~(S ^ D))},  // a code without a shortcut: the truth table
  };
  TBitmapDC src(1, 1);
  SetPixel(src.DC, 0, 0, S);
  for (const auto& c : cases) {
    TPixels dst(1, 1, D);
    TSelected brush(dst.DC, CreateSolidBrush(P));
    EXPECT_TRUE(BitBlt(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, c.Rop));
    EXPECT_EQ(dst.At(0, 0), c.Want) << std::hex << c.Rop;
  }
}

TEST(Blit, MonochromeSourcesTakeTheDestinationsTextAndBackgroundColours) {
  TBitmapDC mono(4, 1, true);
  mono.Row(0, {0, 0xFFFFFF, 0, 0xFFFFFF});
  TPixels dst(4, 1);
  SetTextColor(dst.DC, Red);  // 0 bits
  SetBkColor(dst.DC, Blue);   // 1 bits
  BitBlt(dst.DC, 0, 0, 4, 1, mono.DC, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"rbrb"}));
}

TEST(Blit, ColourToMonochromeMakesTheSourceBackgroundWhite) {
  TBitmapDC color(4, 1);
  color.Row(0, {Green, Red, Green, 0});
  SetBkColor(color.DC, Green);
  TBitmapDC mono(4, 1, true);
  BitBlt(mono.DC, 0, 0, 4, 1, color.DC, 0, 0, SRCCOPY);
  TPixels out(4, 1);
  BitBlt(out.DC, 0, 0, 4, 1, mono.DC, 0, 0, SRCCOPY);
  EXPECT_EQ(out.Picture(), TPixels::Rows({".#.#"}));
}

TEST(Blit, MaskAndInvertLeaveTheTransparentColourUntouched) {
  // The classic transparent copy: a mask from the picture's transparent colour, then
  // picture XOR, mask AND, picture XOR.
  TBitmapDC pic(4, 1);
  pic.Row(0, {Green, Red, Red, Green});
  SetBkColor(pic.DC, Green);
  TBitmapDC mask(4, 1, true);
  BitBlt(mask.DC, 0, 0, 4, 1, pic.DC, 0, 0, SRCCOPY);
  TPixels dst(4, 1, Blue);
  SetBkColor(dst.DC, RGB(255, 255, 255));
  SetTextColor(dst.DC, 0);
  BitBlt(dst.DC, 0, 0, 4, 1, pic.DC, 0, 0, SRCINVERT);
  BitBlt(dst.DC, 0, 0, 4, 1, mask.DC, 0, 0, SRCAND);
  BitBlt(dst.DC, 0, 0, 4, 1, pic.DC, 0, 0, SRCINVERT);
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"brrb"}));
}

TEST(Blit, TransparentBltSkipsTheKeyColourAndStretches) {
  TBitmapDC pic(2, 1);
  pic.Row(0, {Green, Red});
  TPixels dst(4, 2, Blue);
  EXPECT_TRUE(TransparentBlt(dst.DC, 0, 0, 4, 2, pic.DC, 0, 0, 2, 1, Green));
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"bbrr", "bbrr"}));
  EXPECT_FALSE(TransparentBlt(dst.DC, 0, 0, -4, 2, pic.DC, 0, 0, 2, 1, Green));
}

TEST(Blit, StretchBltScalesAndMirrorsWithNegativeExtents) {
  TBitmapDC pic(3, 1);
  pic.Row(0, {Red, Green, Blue});
  TPixels dst(6, 2);
  StretchBlt(dst.DC, 0, 0, 6, 1, pic.DC, 0, 0, 3, 1, SRCCOPY);
  StretchBlt(dst.DC, 5, 1, -3, 1, pic.DC, 0, 0, 3, 1, SRCCOPY);  // from column 5 leftwards
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"rrggbb", "...bgr"}));
  // Shrinking picks pixels.
  TPixels small(1, 1);
  StretchBlt(small.DC, 0, 0, 1, 1, pic.DC, 0, 0, 3, 1, SRCCOPY);
  EXPECT_EQ(small.At(0, 0), Red);
}

TEST(Blit, OverlappingCopiesWithinOneSurfaceAndClipping) {
  TPixels p(5, 1);
  for (int x = 0; x < 5; ++x) SetPixel(p.DC, x, 0, RGB(x, 0, 0));
  BitBlt(p.DC, 1, 0, 4, 1, p.DC, 0, 0, SRCCOPY);
  for (int x = 1; x < 5; ++x) EXPECT_EQ(p.At(x, 0), RGB(x - 1, 0, 0)) << x;
  // The destination's clip limits the copy; a source part outside the source is left out.
  TBitmapDC pic(2, 1);
  pic.Row(0, {Red, Red});
  TPixels d(5, 1);
  ExcludeClipRect(d.DC, 0, 0, 1, 1);
  BitBlt(d.DC, 0, 0, 5, 1, pic.DC, 0, 0, SRCCOPY);
  EXPECT_EQ(d.Picture(RGBL), TPixels::Rows({".r..."}));
}

TEST(Blit, MaskBltChoosesTheOperationByMaskBit) {
  TBitmapDC pic(4, 1);
  pic.Row(0, {Red, Red, Red, Red});
  TBitmapDC mask(4, 1, true);
  mask.Row(0, {0xFFFFFF, 0, 0, 0xFFFFFF});
  TPixels dst(4, 1, Blue);
  // Foreground (1 bits) copies the source, background (0 bits) keeps the destination.
  MaskBlt(dst.DC, 0, 0, 4, 1, pic.DC, 0, 0, mask.Bitmap, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"rbbr"}));
  EXPECT_FALSE(MaskBlt(dst.DC, 0, 0, 4, 1, pic.DC, 0, 0, pic.Bitmap, 0, 0, SRCCOPY));  // not monochrome
}

TEST(Blit, PatBltInvertsTwiceToNothingAndPaintsTheBrush) {
  TPixels p(3, 1, RGB(10, 20, 30));
  TSelected brush(p.DC, CreateSolidBrush(Red));
  PatBlt(p.DC, 0, 0, 2, 1, PATINVERT);
  EXPECT_EQ(p.At(0, 0), RGB(245, 20, 30));
  PatBlt(p.DC, 0, 0, 2, 1, PATINVERT);
  EXPECT_EQ(p.At(0, 0), RGB(10, 20, 30));
  PatBlt(p.DC, 3, 0, -2, 1, PATCOPY);  // a negative width counts leftwards
  EXPECT_EQ(p.At(1, 0), Red);
  EXPECT_EQ(p.At(0, 0), RGB(10, 20, 30));
  EXPECT_FALSE(PatBlt(p.DC, 0, 0, 1, 1, SRCCOPY));
}

TEST(Blit, AlphaBlendWithConstantAndPerPixelAlpha) {
  TBitmapDC src(2, 1);
  src.Bits[0] = 0xFFFF0000u;  // opaque red
  src.Bits[1] = 0x80400000u;  // half transparent, premultiplied (red 0x80 · 0x80 / 0xFF)
  TPixels dst(2, 1, RGB(0, 0, 255));
  BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
  AlphaBlend(dst.DC, 0, 0, 1, 1, src.DC, 0, 0, 1, 1, half);
  EXPECT_EQ(dst.At(0, 0), RGB(128, 0, 127));
  BLENDFUNCTION perPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  AlphaBlend(dst.DC, 1, 0, 1, 1, src.DC, 1, 0, 1, 1, perPixel);
  EXPECT_EQ(dst.At(1, 0), RGB(0x40, 0, 127));
  EXPECT_FALSE(AlphaBlend(dst.DC, 0, 0, 1, 1, src.DC, 1, 0, 2, 1, half));  // outside the source
}

TEST(Blit, GradientsHitTheirEndColoursExactly) {
  TRIVERTEX v[2];
  v[0] = {0, 0, 0xFF00, 0, 0, 0};
  v[1] = {10, 4, 0, 0, 0xFF00, 0};
  GRADIENT_RECT r{0, 1};
  TPixels h(11, 4);
  ASSERT_TRUE(GradientFill(h.DC, v, 2, &r, 1, GRADIENT_FILL_RECT_H));
  EXPECT_EQ(h.At(0, 0), Red);
  EXPECT_EQ(h.At(9, 3), Blue);
  EXPECT_EQ(h.At(10, 0), RGB(255, 255, 255));  // the right edge is outside
  const COLORREF mid = h.At(5, 1);
  EXPECT_GT(GetBValue(mid), 100);
  EXPECT_GT(GetRValue(mid), 100);
  TPixels vert(3, 4);
  v[1].x = 3;
  GradientFill(vert.DC, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
  EXPECT_EQ(vert.At(2, 0), Red);
  EXPECT_EQ(vert.At(0, 3), Blue);
  // Vertices in the other order: the colour stays with its side.
  std::swap(v[0], v[1]);
  TPixels swapped(3, 4);
  GradientFill(swapped.DC, v, 2, &r, 1, GRADIENT_FILL_RECT_V);
  EXPECT_EQ(swapped.At(0, 0), Red);
  EXPECT_FALSE(GradientFill(h.DC, v, 1, &r, 1, GRADIENT_FILL_RECT_H));  // vertex out of range

  TRIVERTEX t[3] = {{0, 0, 0xFF00, 0, 0, 0}, {20, 0, 0, 0xFF00, 0, 0}, {0, 20, 0, 0, 0xFF00, 0}};
  GRADIENT_TRIANGLE tri{0, 1, 2};
  TPixels tp(20, 20);
  GradientFill(tp.DC, t, 3, &tri, 1, GRADIENT_FILL_TRIANGLE);
  EXPECT_EQ(tp.At(0, 0), Red);
  EXPECT_EQ(tp.At(19, 19), RGB(255, 255, 255));  // outside the triangle
  EXPECT_GT(GetGValue(tp.At(15, 1)), 150);
}

TEST(Bitmaps, DibSectionBitsAreThePixelsInTheHeadersRowOrder) {
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 2;
  bi.bmiHeader.biHeight = 2;  // bottom-up
  bi.bmiHeader.biBitCount = 32;
  uint32_t* bits = nullptr;
  HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
  ASSERT_NE(bits, nullptr);
  bits[0] = 0xFF0000FFu;  // the bottom-left pixel, blue
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  EXPECT_EQ(GetPixel(dc, 0, 1), Blue);
  SetPixel(dc, 1, 0, Red);
  EXPECT_EQ(bits[3] & 0xFFFFFF, 0xFF0000u);
  DIBSECTION ds;
  EXPECT_EQ(GetObject(bm, sizeof ds, &ds), static_cast<int>(sizeof ds));
  EXPECT_EQ(ds.dsBm.bmBits, bits);
  EXPECT_EQ(ds.dsBmih.biHeight, 2);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);
  bi.bmiHeader.biBitCount = 16;
  EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
}

TEST(Bitmaps, DIBitsRoundTripIn24And1BitsPerPixel) {
  TPixels screen(1, 1);
  HBITMAP bm = CreateCompatibleBitmap(screen.DC, 3, 2);
  BITMAPINFO bi{};
  bi.bmiHeader.biWidth = 3;
  bi.bmiHeader.biHeight = 2;
  bi.bmiHeader.biBitCount = 24;
  // Rows bottom-up, 12 bytes each (9 padded to 4): bottom row red, top row blue-green-white.
  uint8_t in[24] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 255, 255, 255, 0, 0, 0};
  EXPECT_EQ(SetDIBits(screen.DC, bm, 0, 2, in, &bi, DIB_RGB_COLORS), 2);
  HDC dc = CreateCompatibleDC(screen.DC);
  HGDIOBJ old = SelectObject(dc, bm);
  EXPECT_EQ(GetPixel(dc, 0, 1), Red);
  EXPECT_EQ(GetPixel(dc, 0, 0), Blue);
  EXPECT_EQ(GetPixel(dc, 1, 0), Green);
  SelectObject(dc, old);
  uint8_t out[24] = {};
  EXPECT_EQ(GetDIBits(screen.DC, bm, 0, 2, out, &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(std::memcmp(in, out, 9), 0);
  EXPECT_EQ(std::memcmp(in + 12, out + 12, 9), 0);
  // One bit per pixel: light pixels are 1.
  bi.bmiHeader.biBitCount = 1;
  uint8_t mono[8] = {};
  EXPECT_EQ(GetDIBits(screen.DC, bm, 0, 2, mono, &bi, DIB_RGB_COLORS), 2);
  EXPECT_EQ(mono[4], 0x20);  // top row: blue 0, green 0 (nearer black), white 1
  // Asking without bits fills in the header.
  BITMAPINFO query{};
  EXPECT_EQ(GetDIBits(screen.DC, bm, 0, 0, nullptr, &query, DIB_RGB_COLORS), 2);
  EXPECT_EQ(query.bmiHeader.biBitCount, 32);
  EXPECT_EQ(query.bmiHeader.biSizeImage, 24u);
  DeleteDC(dc);
  DeleteObject(bm);
}

TEST(Bitmaps, CreateBitmapReadsWordAlignedRows) {
  const uint8_t bits[4] = {0xA0, 0x00, 0x40, 0x00};  // 3 × 2 monochrome
  HBITMAP bm = CreateBitmap(3, 2, 1, 1, bits);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bm);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(255, 255, 255));
  uint8_t back[4] = {};
  EXPECT_EQ(GetBitmapBits(bm, 4, back), 4);
  EXPECT_EQ(std::memcmp(bits, back, 4), 0);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bm);
}

TEST(Blit, RightToLeftDCsMirrorPicturesUnlessAskedNotTo) {
  TBitmapDC pic(2, 1);
  pic.Row(0, {Red, Blue});
  TPixels dst(4, 1);
  SetLayout(dst.DC, LAYOUT_RTL);
  BitBlt(dst.DC, 0, 0, 2, 1, pic.DC, 0, 0, SRCCOPY);  // device columns 2 and 3, mirrored
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"..br"}));
  BitBlt(dst.DC, 2, 0, 2, 1, pic.DC, 0, 0, SRCCOPY | NOMIRRORBITMAP);
  EXPECT_EQ(dst.Picture(RGBL), TPixels::Rows({"rbbr"}));
}
