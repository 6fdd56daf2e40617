#include "platform/gdi/FontEngine.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace gdi;

namespace {

std::shared_ptr<TRealFont> Font(const std::string& Family, int Height, int Weight = 400, bool Italic = false,
                                int Escapement = 0) {
  TFontRequest r;
  r.Family = Family, r.Height = Height, r.Weight = Weight, r.Italic = Italic, r.Escapement = Escapement;
  return TRealFont::Realize(r);
}

struct TLaidOut {
  TCoverage Coverage;
  int Width = 0;
};

TLaidOut Lay(TRealFont& F, const std::string& Text, bool Lines = false) {
  const std::u32string cps = CodePoints(Text);
  std::vector<int> pen;
  int x = 0;
  for (char32_t c : cps) pen.push_back(x), x += F.Advance(c);
  return {F.Render(cps, pen, Lines ? x : 0), x};
}

// Ink of the coverage inside the columns [From, To) of the unrotated layout.
int InkIn(const TCoverage& C, int From, int To) {
  int ink = 0;
  for (int y = C.Box.Top; y < C.Box.Bottom; ++y)
    for (int x = std::max(From, C.Box.Left); x < std::min(To, C.Box.Right); ++x) ink += C.At(x, y);
  return ink;
}

}  // namespace

TEST(FontEngine, HeightsAreEmOrCellHeightsAt96Dpi) {
  for (int h : {-8, -11, -13, -16, -24, -40}) {
    const TFontMetrics& m = Font("Tahoma", h)->Metrics();
    SCOPED_TRACE(h);
    EXPECT_EQ(m.EmHeight, -h);
    EXPECT_EQ(m.Height, m.Ascent + m.Descent);
    EXPECT_EQ(m.InternalLeading, m.Height - m.EmHeight);
    EXPECT_GT(m.AveCharWidth, 0);
    EXPECT_GE(m.MaxCharWidth, m.AveCharWidth);
  }
  for (int h : {10, 13, 20, 33}) EXPECT_EQ(Font("Arial", h)->Metrics().Height, h) << h;
  EXPECT_EQ(Font("MS Sans Serif", 0)->Metrics().EmHeight, 11);
  EXPECT_EQ(Font("", 0).get(), Font("", 0).get()) << "the same request is realised once";
}

TEST(FontEngine, MissingFamiliesMapToFacesWithTheGlyphs) {
  for (const char* family : {"MS Sans Serif", "Tahoma", "宋体", "Arial", "Default", "Courier New", "System",
                             "Verdana", "No Such Family 123"}) {
    SCOPED_TRACE(family);
    auto f = Font(family, -12);
    const TLaidOut t = Lay(*f, "Ab你好");
    const int a = f->Advance(U'A') + f->Advance(U'b');
    // Every character has ink, the Chinese ones from a fallback face where needed.
    EXPECT_GT(InkIn(t.Coverage, 0, f->Advance(U'A')), 0);
    EXPECT_GT(InkIn(t.Coverage, a, a + f->Advance(U'你')), 1000);
    EXPECT_GT(InkIn(t.Coverage, a + f->Advance(U'你'), t.Width), 1000);
    EXPECT_TRUE(f->HasGlyph(U'好'));
  }
  EXPECT_EQ(Font("Courier New", -12)->Advance(U'i'), Font("Courier New", -12)->Advance(U'W'));
  EXPECT_TRUE(Font("Courier New", -12)->Metrics().FixedPitch);
  EXPECT_EQ(Font("宋体", -12)->Metrics().CharSet, 134);
  EXPECT_EQ(Font("Tahoma", -12)->Metrics().CharSet, 0);
  const std::vector<std::string> families = FontFamilies();
  EXPECT_TRUE(std::binary_search(families.begin(), families.end(), "宋体"));
  EXPECT_TRUE(std::binary_search(families.begin(), families.end(), "Liberation Sans"));
}

// Windows are laid out for the widths of the faces they name: the Song face draws Latin
// letters and digits at half the width of a Chinese character (6 and 12 pixels at 12), so
// "00:00/00:00" takes 66 pixels; the Ya Hei face keeps proportional Latin letters.
TEST(FontEngine, ChineseFacesKeepTheWidthsOfTheFacesTheyStandFor) {
  for (const char* family : {"宋体", "新宋体", "黑体", "SimSun"}) {
    SCOPED_TRACE(family);
    auto f = Font(family, -12);
    EXPECT_EQ(f->Advance(U'0'), 6);
    EXPECT_EQ(f->Advance(U'i'), 6);
    EXPECT_EQ(f->Advance(U'W'), 6);
    EXPECT_EQ(f->Advance(U'音'), 12);
    EXPECT_EQ(Lay(*f, "00:00/00:00").Width, 66);
    EXPECT_EQ(Lay(*f, "音乐音量").Width, 48);
  }
  auto yahei = Font("微软雅黑", -12);
  EXPECT_NE(yahei->Advance(U'i'), yahei->Advance(U'W'));
}

TEST(FontEngine, SameTextGivesTheSamePixels) {
  const TLaidOut a = Lay(*Font("Tahoma", -13), "Determinism 确定 123");
  TFontRequest other;
  other.Family = "Tahoma", other.Height = -13, other.CharSet = 0;  // another request, same looks
  const TLaidOut b = Lay(*TRealFont::Realize(other), "Determinism 确定 123");
  EXPECT_EQ(a.Coverage.Box, b.Coverage.Box);
  EXPECT_EQ(a.Coverage.Alpha, b.Coverage.Alpha);
}

TEST(FontEngine, WeightItalicUnderlineAndStrikeOut) {
  // Bold is wider and darker, in the Latin face and in the Chinese one (synthesised there).
  for (const char* family : {"Tahoma", "宋体"}) {
    SCOPED_TRACE(family);
    const TLaidOut regular = Lay(*Font(family, -16), "Bold 粗体");
    const TLaidOut bold = Lay(*Font(family, -16, 700), "Bold 粗体");
    EXPECT_GT(bold.Width, regular.Width);
    EXPECT_GT(InkIn(bold.Coverage, -100, 1000), InkIn(regular.Coverage, -100, 1000) * 11 / 10);
  }
  // Italic leans: the top half of an "l" sits further right than its bottom half. The
  // Chinese face has no italic, so it is slanted.
  for (const char* family : {"Arial", "宋体"}) {
    SCOPED_TRACE(family);
    auto f = Font(family, -40, 400, true);
    const TGlyph& g = f->Glyph(U'l');
    auto centre = [&](int From, int To) {
      long sum = 0, weight = 0;
      for (int y = From; y < To; ++y)
        for (int x = 0; x < g.Width; ++x) sum += long(x) * g.Coverage[y * g.Width + x], weight += g.Coverage[y * g.Width + x];
      return double(sum) / weight;
    };
    EXPECT_GT(centre(0, g.Height / 3), centre(2 * g.Height / 3, g.Height) + 2);
    EXPECT_GT(f->Metrics().SlopeRun, 0);
  }
  TFontRequest r;
  r.Family = "Arial", r.Height = -20, r.Underline = true, r.StrikeOut = true;
  auto f = TRealFont::Realize(r);
  const TLaidOut t = Lay(*f, "  ", true);  // blanks: all ink is the lines
  const TFontMetrics& m = f->Metrics();
  for (int x = 0; x < t.Width; ++x) {
    EXPECT_EQ(t.Coverage.At(x, m.UnderlineOffset), 255) << x;
    EXPECT_EQ(t.Coverage.At(x, -m.StrikeOutOffset), 255) << x;
    EXPECT_EQ(t.Coverage.At(x, -m.Ascent + 1), 0) << x;
  }
  EXPECT_LE(m.UnderlineOffset + m.UnderlineSize, m.Descent);
}

TEST(FontEngine, EscapementRotatesTheBaseline) {
  const TLaidOut flat = Lay(*Font("Arial", -14), "Rotated 旋转");
  const TLaidOut up = Lay(*Font("Arial", -14, 400, false, 900), "Rotated 旋转");
  const TLaidOut down = Lay(*Font("Arial", -14, 400, false, 2700), "Rotated 旋转");
  const TLaidOut slanted = Lay(*Font("Arial", -14, 400, false, 450), "Rotated 旋转");
  EXPECT_EQ(up.Width, flat.Width);
  // Upwards from the origin, ink to the left of it (the tops of the glyphs).
  EXPECT_NEAR(-up.Coverage.Box.Top, flat.Width, 3);
  EXPECT_LE(up.Coverage.Box.Right, 5);
  EXPECT_NEAR(up.Coverage.Box.Width(), flat.Coverage.Box.Height(), 2);
  EXPECT_NEAR(down.Coverage.Box.Bottom, flat.Width, 3);
  EXPECT_GE(down.Coverage.Box.Left, -5);
  // 45 degrees: as far right as up.
  EXPECT_NEAR(slanted.Coverage.Box.Right, -slanted.Coverage.Box.Top, 12);
  // Lines under rotated text run along it: up and to the right at 45 degrees.
  const TCoverage band = Font("Arial", -14, 400, false, 450)->Band(0, 100, 0, 2);
  EXPECT_GT(band.At(10, -10), 128);
  EXPECT_GT(band.At(60, -60), 128);
  EXPECT_EQ(band.At(10, -60), 0);
  EXPECT_EQ(band.At(60, -10), 0);
  long inkFlat = InkIn(flat.Coverage, -100, 1000), inkUp = InkIn(up.Coverage, -100, 1000);
  EXPECT_NEAR(double(inkUp) / inkFlat, 1.0, 0.15);
}

TEST(FontEngine, ControlAndUnknownCharactersAreSafe) {
  auto f = Font("Tahoma", -12);
  EXPECT_EQ(f->Advance(U'\t'), 0);
  EXPECT_EQ(f->Advance(U'\n'), 0);
  EXPECT_FALSE(f->HasGlyph(U'\U0010FFFD'));
  EXPECT_GT(f->Advance(U'\U0010FFFD'), 0) << "a character no face has shows the missing-glyph box";
  const TLaidOut t = Lay(*f, std::string("\xff\xfe bad bytes"));
  EXPECT_GT(t.Width, 0);
  EXPECT_TRUE(Lay(*f, "").Coverage.Alpha.empty());
  // Absurd sizes are clamped instead of allocating without bound.
  EXPECT_LE(Font("Tahoma", -1000000)->Metrics().EmHeight, 2048);
}
