// The colour arithmetic, the scheme look-ups and the gradient painter, pixel by pixel.
#include "controls/base/FcGrafx.h"

#include <gtest/gtest.h>

#include "platform/shell/Registry.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/Pixels.h"

namespace {

TEST(FcGrafxColour, HslRoundTripTable) {
  struct Case {
    TColor Colour;
    THsl Hsl;
  };
  const Case cases[] = {
      {RGB(0, 0, 0), {0, 0, 0}},         {RGB(255, 255, 255), {0, 0, 240}}, {RGB(255, 0, 0), {0, 240, 120}},
      {RGB(0, 255, 0), {80, 240, 120}},  {RGB(0, 0, 255), {160, 240, 120}}, {RGB(128, 128, 128), {0, 0, 120}},
      {RGB(255, 255, 0), {40, 240, 120}}, {RGB(0, 128, 128), {120, 240, 60}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColorToHsl(c.Colour), c.Hsl) << std::hex << c.Colour;
    // The way back divides hue by 239, so a hue may come back one higher.
    THsl back = ColorToHsl(HslToColor(c.Hsl.H, c.Hsl.S, c.Hsl.L));
    EXPECT_NEAR(back.H, c.Hsl.H, 1) << std::hex << c.Colour;
    EXPECT_EQ(back.S, c.Hsl.S) << std::hex << c.Colour;
    EXPECT_EQ(back.L, c.Hsl.L) << std::hex << c.Colour;
  }
  // A system colour is resolved first.
  EXPECT_EQ(ColorToHsl(clBtnFace), ColorToHsl(ColorToRGB(clBtnFace)));
  // Hue is divided by 239: hue 239 is hue 0.
  for (int s : {240, 120, 60})
    for (int l : {60, 120, 200}) EXPECT_EQ(HslToColor(239, s, l), HslToColor(0, s, l)) << s << " " << l;
  EXPECT_EQ(HslToColor(0, 240, 0), TColor(0));
}

TEST(FcGrafxColour, LuminanceSteps) {
  const TColor white = RGB(255, 255, 255);
  EXPECT_EQ(BrightenColor(white, 1), white);
  EXPECT_EQ(BrightenColor(RGB(10, 20, 30), 240), white);
  EXPECT_EQ(DarkenColor(RGB(200, 100, 50), 240), TColor(0));
  EXPECT_EQ(AdjustColorLuminance(RGB(90, 60, 30), 0), TColor(RGB(90, 60, 30)));
  EXPECT_EQ(AdjustColorLuminance(RGB(90, 60, 30), -20), DarkenColor(RGB(90, 60, 30), 20));
  // A magnitude past a byte saturates rather than wrapping round (256 would be no change).
  EXPECT_EQ(AdjustColorLuminance(RGB(90, 60, 30), 256), white);
  EXPECT_EQ(AdjustColorLuminance(RGB(90, 60, 30), -300), TColor(0));
}

TEST(FcGrafxColour, MixXorCloseComplement) {
  EXPECT_EQ(MixColors(RGB(255, 0, 100), RGB(0, 255, 100), 255), TColor(RGB(255, 0, 100)));
  EXPECT_EQ(MixColors(RGB(255, 0, 100), RGB(0, 255, 100), 0), TColor(RGB(0, 255, 100)));
  EXPECT_EQ(MixColors(RGB(255, 0, 0), RGB(0, 0, 0), 128), TColor(RGB(128, 0, 0)));
  EXPECT_EQ(XorColors(RGB(0xF0, 0x0F, 0xFF), RGB(0xFF, 0xFF, 0x0F)), TColor(RGB(0x0F, 0xF0, 0xF0)));
  EXPECT_TRUE(ColorsAreClose(RGB(200, 0, 0), RGB(180, 0, 0)));
  EXPECT_FALSE(ColorsAreClose(RGB(255, 0, 0), RGB(0, 0, 255)));
  EXPECT_FALSE(ColorsAreClose(RGB(40, 0, 0), RGB(255, 200, 200)));
  EXPECT_EQ(ComplementColor(RGB(255, 0, 0), 120), HslToColor(120, 240, 120));
  EXPECT_EQ(ComplementColor(RGB(0, 0, 255), 120), HslToColor(40, 240, 120));
}

TEST(FcGrafxColour, SchemeLookUps) {
  TColor frame, start, stop;
  // With visual styles off the scheme is not used, whatever the style asks.
  GetSelectionGradientColors(gcsMSOffice, frame, start, stop);
  EXPECT_EQ(frame, clHighlight);
  EXPECT_EQ(stop, MixColors(clHighlight, clWindow, 77));
  EXPECT_EQ(start, BrightenColor(stop, 20));
  SetFullColorDisplay(false);
  GetSelectionGradientColors(gcsSystem, frame, start, stop);
  SetFullColorDisplay(true);
  EXPECT_EQ(start, stop);
  EXPECT_EQ(XPSchemeColor(1, 5), TColor(0x77A17F));
  EXPECT_EQ(XPSchemeColor(2, 7), TColor(0xC8B3B1));
  EXPECT_EQ(GetXPThemeColor(7), TColor(RGB(255, 255, 255)));
  EXPECT_EQ(GetXPThemeColor(3), clBtnFace);
}

class FcGrafxScheme : public test::HeadlessTest {};

TEST_F(FcGrafxScheme, ColorNameSelectsTheScheme) {
  const std::pair<const char*, int> cases[] = {{"HomeStead", 1}, {"METALLIC", 2}, {"NormalColor", 0}, {"", 0}};
  for (auto [name, index] : cases) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", true));
    reg.WriteString("ColorName", name);
    EXPECT_EQ(ReadXPColorScheme(), index) << name;
  }
}

// Paints a gradient on a white surface through a canvas bound to the surface's DC.
class TGradientPixels : public TPixels {
 public:
  using TPixels::TPixels;
  void Paint(const TRect& R, TGradientDirection D, TColor B, TColor C, uint8_t Steps = 1) {
    TCanvas canvas;
    canvas.SetHandle(DC);
    PaintGradientRect(&canvas, R, D, Steps, B, C);
    canvas.SetHandle(nullptr);
  }
};

constexpr COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255);

TEST(FcGrafxGradient, ZeroSizeAndEqualColours) {
  for (int d = gdDiagonalUp; d <= gdBigSquareBox; ++d) {
    TGradientPixels p(6, 6);
    p.Paint({1, 1, 1, 5}, TGradientDirection(d), kRed, kBlue);
    p.Paint({1, 1, 5, 1}, TGradientDirection(d), kRed, kBlue);
    EXPECT_EQ(p.Picture(), TPixels::Rows({"......", "......", "......", "......", "......", "......"})) << d;
    p.Paint({1, 1, 5, 5}, TGradientDirection(d), kRed, kRed);
    EXPECT_EQ(p.Picture({{kRed, 'r'}}),
              TPixels::Rows({"......", ".rrrr.", ".rrrr.", ".rrrr.", ".rrrr.", "......"}))
        << d;
  }
}

TEST(FcGrafxGradient, LinearDirectionsStartAtTopOrLeft) {
  {
    TGradientPixels p(20, 6);
    p.Paint({0, 0, 20, 6}, gdHorizontalEnd, kRed, kBlue);
    // The far edge has the stop colour; the walk reaches the start colour to within a step.
    EXPECT_EQ(p.At(0, 5), kRed);
    EXPECT_LT(p.At(0, 0) & 0xFF, 50u);
    for (int x = 0; x < 20; ++x)
      for (int y = 0; y < 6; ++y) ASSERT_EQ(p.At(x, y), p.At(0, y)) << x << "," << y;
    // Red falls, blue rises downwards.
    for (int y = 1; y < 6; ++y) EXPECT_GE(p.At(0, y) & 0xFF, p.At(0, y - 1) & 0xFF);
  }
  {
    TGradientPixels p(6, 20);
    p.Paint({0, 0, 6, 20}, gdVerticalEnd, kRed, kBlue);
    EXPECT_EQ(p.At(5, 0), kRed);
    EXPECT_LT(p.At(0, 0) & 0xFF, 50u);
    for (int x = 0; x < 6; ++x)
      for (int y = 0; y < 20; ++y) ASSERT_EQ(p.At(x, y), p.At(x, 0)) << x << "," << y;
    for (int x = 1; x < 6; ++x) EXPECT_GE(p.At(x, 0) & 0xFF, p.At(x - 1, 0) & 0xFF);
  }
  {
    TGradientPixels p(4, 11);
    p.Paint({0, 0, 4, 11}, gdHorizontalCenter, kRed, kBlue);
    EXPECT_LT(p.At(0, 0) & 0xFF, 80u);
    EXPECT_LT(p.At(0, 10) & 0xFF, 80u);
    EXPECT_EQ(p.At(0, 4), kRed);
  }
  {
    TGradientPixels p(11, 4);
    p.Paint({0, 0, 11, 4}, gdVerticalCenter, kRed, kBlue);
    EXPECT_LT(p.At(0, 0) & 0xFF, 80u);
    EXPECT_LT(p.At(10, 0) & 0xFF, 80u);
    EXPECT_EQ(p.At(4, 0), kRed);
  }
}

TEST(FcGrafxGradient, BoxesAreMirroredWithTheStartColourAtTheCentre) {
  for (TGradientDirection d : {gdHorizontalBox, gdVerticalBox, gdSquareBox, gdBigSquareBox}) {
    TGradientPixels p(21, 15);
    p.Paint({0, 0, 21, 15}, d, kRed, kBlue);
    for (int x = 0; x < 21; ++x)
      for (int y = 0; y < 15; ++y) {
        ASSERT_EQ(p.At(x, y), p.At(20 - x, y)) << d << ": " << x << "," << y;
        ASSERT_EQ(p.At(x, y), p.At(x, 14 - y)) << d << ": " << x << "," << y;
      }
    // Red falls towards the centre.
    EXPECT_LT(p.At(10, 7) & 0xFF, p.At(0, 0) & 0xFF) << d;
    EXPECT_LE(p.At(10, 7) & 0xFF, p.At(5, 3) & 0xFF) << d;
  }
}

TEST(FcGrafxGradient, DiagonalsRunCornerToCorner) {
  {
    TGradientPixels p(16, 12);
    p.Paint({0, 0, 16, 12}, gdDiagonalUp, kRed, kBlue);
    EXPECT_LT(p.At(0, 11) & 0xFF, 40u) << std::hex << p.At(0, 11);    // blue at the bottom left
    EXPECT_GT(p.At(15, 0) & 0xFF, 200u) << std::hex << p.At(15, 0);    // red at the top right
  }
  {
    TGradientPixels p(16, 12);
    p.Paint({0, 0, 16, 12}, gdDiagonalDown, kRed, kBlue);
    EXPECT_LT(p.At(0, 0) & 0xFF, 40u) << std::hex << p.At(0, 0);
    EXPECT_GT(p.At(15, 11) & 0xFF, 200u) << std::hex << p.At(15, 11);
    // No pixel left unpainted.
    for (int x = 0; x < 16; ++x)
      for (int y = 0; y < 12; ++y) ASSERT_NE(p.At(x, y), RGB(255, 255, 255)) << x << "," << y;
  }
}

}  // namespace
