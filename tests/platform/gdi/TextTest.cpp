#include <gtest/gtest.h>

#include "platform/gdi/Gdi.h"
#include "tests/support/Pixels.h"

namespace {

HFONT Font(int Height, const std::string& Face = "Tahoma", int Weight = FW_NORMAL, int Escapement = 0,
           bool Italic = false, bool Underline = false) {
  return CreateFont(Height, 0, Escapement, Escapement, Weight, Italic, Underline, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                    Face);
}

// The smallest rectangle around the pixels that are not the background colour.
TRect Ink(const TPixels& P, COLORREF Background = RGB(255, 255, 255)) {
  TRect r;
  bool any = false;
  for (int y = 0; y < P.Surface->Height(); ++y)
    for (int x = 0; x < P.Surface->Width(); ++x)
      if (P.At(x, y) != Background) {
        r = any ? TRect(std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x + 1), std::max(r.Bottom, y + 1))
                : TRect(x, y, x + 1, y + 1);
        any = true;
      }
  return r;
}

bool Contains(const TRect& Outer, const TRect& Inner) {
  return Inner.Left >= Outer.Left && Inner.Top >= Outer.Top && Inner.Right <= Outer.Right &&
         Inner.Bottom <= Outer.Bottom;
}

}  // namespace

TEST(Text, ExtentsHoldExactlyWhatIsDrawn) {
  const struct { int Height; const char* Face; int Weight; const char* Text; } cases[] = {
      {-11, "MS Sans Serif", FW_NORMAL, "Hello, World"},
      {-13, "宋体", FW_NORMAL, "播放列表 Playlist"},
      {-16, "Arial", FW_BOLD, "MWgjpq|"},
      {-12, "Courier New", FW_NORMAL, "fixed 123"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    TPixels p(300, 60);
    TSelected font(p.DC, Font(c.Height, c.Face, c.Weight));
    SetBkMode(p.DC, TRANSPARENT);
    TSize size;
    ASSERT_TRUE(GetTextExtentPoint32(p.DC, c.Text, &size));
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(p.DC, &tm));
    EXPECT_EQ(size.cy, tm.tmHeight);
    TextOut(p.DC, 10, 10, c.Text);
    const TRect ink = Ink(p);
    EXPECT_TRUE(Contains(Bounds(10, 10, size.cx, size.cy), ink)) << ink.Left << "," << ink.Top << "," << ink.Right
                                                                 << "," << ink.Bottom << " in " << size.cx;
    EXPECT_GE(ink.Right, 10 + size.cx - 3) << "the extent is not wider than the ink";
    EXPECT_LE(ink.Left, 12);
    // Measuring character by character agrees with the whole.
    std::vector<int> dx(64);
    int fit = 0;
    ASSERT_TRUE(GetTextExtentExPoint(p.DC, c.Text, size.cx / 2, &fit, dx.data(), nullptr));
    EXPECT_LE(dx[fit - 1], size.cx / 2);
    EXPECT_GT(dx[fit], size.cx / 2);
  }
}

TEST(Text, OpaqueBackgroundsAlignmentAndCurrentPosition) {
  TPixels p(200, 60);
  TSelected font(p.DC, Font(-12));
  TSize size;
  GetTextExtentPoint32(p.DC, "Cell", &size);
  SetBkColor(p.DC, RGB(255, 0, 0));
  SetBkMode(p.DC, OPAQUE);
  TextOut(p.DC, 20, 5, "Cell");
  EXPECT_EQ(Ink(p), Bounds(20, 5, size.cx, size.cy)) << "the opaque cell is the extent";
  EXPECT_EQ(p.At(20, 5), RGB(255, 0, 0));

  // Right and baseline alignment put the reference point at the end and on the baseline.
  TPixels q(200, 60);
  TSelected qf(q.DC, Font(-12));
  SetBkMode(q.DC, TRANSPARENT);
  SetTextAlign(q.DC, TA_RIGHT | TA_BASELINE);
  TEXTMETRIC tm;
  GetTextMetrics(q.DC, &tm);
  TextOut(q.DC, 150, 40, "Cell");
  const TRect ink = Ink(q);
  EXPECT_LE(ink.Right, 150);
  EXPECT_GE(ink.Right, 148);
  EXPECT_LE(ink.Bottom, 40 + 1);
  EXPECT_GE(ink.Top, 40 - tm.tmAscent);

  // The current position moves along the text, and the given point is not used.
  SetTextAlign(q.DC, TA_UPDATECP);
  TextOut(q.DC, 50, 50, "Cell");
  TextOut(q.DC, 50, 50, "Cell");
  TPoint cp;
  GetCurrentPositionEx(q.DC, &cp);
  EXPECT_EQ(cp, TPoint(2 * size.cx, 0));
}

TEST(Text, ExtTextOutClipsFillsAndSpacesCharacters) {
  TPixels p(200, 40);
  TSelected font(p.DC, Font(-16));
  SetBkMode(p.DC, TRANSPARENT);
  SetBkColor(p.DC, RGB(0, 0, 255));
  const TRect r(10, 5, 30, 30);
  ExtTextOut(p.DC, 10, 5, ETO_CLIPPED | ETO_OPAQUE, &r, "Clipped text", nullptr);
  EXPECT_EQ(Ink(p), r);
  EXPECT_EQ(p.At(29, 29), RGB(0, 0, 255));

  // Advances given per character place each one where asked.
  TPixels a(200, 40), b(200, 40);
  TSelected fa(a.DC, Font(-16)), fb(b.DC, Font(-16));
  const int dx[] = {30, 30, 30};
  ExtTextOut(a.DC, 5, 5, 0, nullptr, "A你C", dx);
  TextOut(b.DC, 5, 5, "A");
  TextOut(b.DC, 35, 5, "你");
  TextOut(b.DC, 65, 5, "C");
  EXPECT_EQ(a.Picture(), b.Picture());
}

TEST(Text, DrawTextEndEllipsisCutsToTheRectangle) {
  TPixels p(200, 40), q(200, 40);
  TSelected fp(p.DC, Font(-12)), fq(q.DC, Font(-12));
  std::string text = "Morning announcement with music";
  TRect r(5, 5, 90, 25);
  DRAWTEXTPARAMS params;
  DrawTextEx(p.DC, &text, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_NOPREFIX, &params);
  ASSERT_GE(text.size(), 3u);
  EXPECT_EQ(text.substr(text.size() - 3), "...");
  EXPECT_TRUE(Contains(r, Ink(p)));
  // What is drawn is the shortened string, drawn plainly.
  TRect r2 = r;
  DrawText(q.DC, text, &r2, DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_EQ(p.Picture(), q.Picture());
  TSize size;
  GetTextExtentPoint32(p.DC, text, &size);
  EXPECT_LE(size.cx, r.Width());
}

TEST(Text, DrawTextMeasuresAndPlacesWhatItDraws) {
  TPixels p(200, 100);
  TSelected font(p.DC, Font(-13, "宋体"));
  SetBkMode(p.DC, TRANSPARENT);
  const std::string text = "每天早上八点 播放开店音乐 and background music";
  TRect calc(10, 10, 110, 10);
  const int height = DrawText(p.DC, text, &calc, DT_WORDBREAK | DT_CALCRECT);
  EXPECT_EQ(height, calc.Height());
  EXPECT_LE(calc.Right, 110);
  EXPECT_EQ(Ink(p), TRect()) << "measuring draws nothing";
  TRect draw(10, 10, 110, 100);
  EXPECT_EQ(DrawText(p.DC, text, &draw, DT_WORDBREAK), height);
  EXPECT_TRUE(Contains(calc, Ink(p)));
  EXPECT_GT(Ink(p).Bottom, calc.Bottom - 13);

  // Margins of DrawTextEx and a tab length riding in the format's second byte.
  TPixels m(300, 30), t(300, 30);
  TSelected mf(m.DC, Font(-13)), tf(t.DC, Font(-13));
  std::string word = "Margin";
  TRect mr(0, 0, 300, 30);
  DRAWTEXTPARAMS params;
  params.iLeftMargin = 40;
  DrawTextEx(m.DC, &word, &mr, DT_SINGLELINE, &params);
  TRect plain(40, 0, 300, 30);
  TPixels reference(300, 30);
  TSelected rf(reference.DC, Font(-13));
  DrawText(reference.DC, word, &plain, DT_SINGLELINE);
  EXPECT_EQ(m.Picture(), reference.Picture());
  TEXTMETRIC tm;
  GetTextMetrics(t.DC, &tm);
  TRect tr(0, 0, 300, 30);
  DrawText(t.DC, "\tI", &tr, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (3 << 8));
  EXPECT_NEAR(Ink(t).Left, 3 * tm.tmAveCharWidth, 2);

  // Centred in both directions.
  TPixels c(200, 100);
  TSelected cf(c.DC, Font(-13));
  TRect box(0, 0, 200, 100);
  TSize size;
  GetTextExtentPoint32(c.DC, "Centre", &size);
  DrawText(c.DC, "Centre", &box, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  const TRect ink = Ink(c);
  EXPECT_NEAR((ink.Left + ink.Right) / 2, 100, 3);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2, 50, 4);
}

TEST(Text, AccessKeysAreUnderlined) {
  auto draw = [](const std::string& Text, UINT Flags) {
    auto p = std::make_unique<TPixels>(100, 30);
    TSelected f(p->DC, Font(-12), true);
    TRect r(2, 2, 100, 30);
    DrawText(p->DC, Text, &r, Flags);
    DeleteObject(SelectObject(p->DC, GetStockObject(SYSTEM_FONT)));
    return p;
  };
  const auto plain = draw("File", 0), prefixed = draw("&File", 0), hidden = draw("&File", DT_HIDEPREFIX),
             only = draw("&File", DT_PREFIXONLY), literal = draw("&File", DT_NOPREFIX);
  EXPECT_EQ(hidden->Picture(), plain->Picture());
  EXPECT_NE(prefixed->Picture(), plain->Picture());
  EXPECT_NE(literal->Picture(), plain->Picture());
  // The underline is the only difference, under the "F", and is all that DT_PREFIXONLY draws.
  const TRect onlyInk = Ink(*only);
  EXPECT_EQ(onlyInk.Height(), 1);
  EXPECT_EQ(onlyInk.Left, 2) << "from the pen position of the F";
  EXPECT_GE(onlyInk.Right, Ink(*plain).Left + 3);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x)
      if (prefixed->At(x, y) != plain->At(x, y)) {
        EXPECT_TRUE(onlyInk.Contains({x, y})) << x << "," << y;
      }
}

TEST(Text, FontObjectsAndMetrics) {
  LOGFONT lf;
  lf.lfHeight = -15;
  lf.lfWeight = FW_BOLD;
  lf.lfItalic = 1;
  lf.lfFaceName = "宋体";
  HFONT f = CreateFontIndirect(&lf);
  LOGFONT back;
  ASSERT_EQ(GetObject(f, sizeof(LOGFONT), &back), int(sizeof(LOGFONT)));
  EXPECT_EQ(back, lf);

  TPixels p(10, 10);
  TSelected sel(p.DC, f);
  TEXTMETRIC tm;
  ASSERT_TRUE(GetTextMetrics(p.DC, &tm));
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 15);
  EXPECT_EQ(tm.tmWeight, FW_BOLD);
  EXPECT_TRUE(tm.tmItalic);
  EXPECT_EQ(tm.tmCharSet, GB2312_CHARSET);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);
  EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "set for a variable-pitch font";
  std::string face;
  const int faceLength = GetTextFace(p.DC, &face);
  EXPECT_EQ(faceLength, int(face.size()));
  EXPECT_EQ(face, "宋体");
  OUTLINETEXTMETRIC otm;
  ASSERT_EQ(GetOutlineTextMetrics(p.DC, sizeof otm, &otm), sizeof otm);
  EXPECT_GT(otm.otmsCharSlopeRun, 0);
  EXPECT_LT(otm.otmItalicAngle, 0);

  int widths[3];
  ASSERT_TRUE(GetCharWidth32(p.DC, 'a', 'c', widths));
  TSize a;
  GetTextExtentPoint32(p.DC, "a", &a);
  EXPECT_EQ(widths[0], a.cx);
  EXPECT_FALSE(GetCharWidth32(p.DC, 'c', 'a', widths));
  // Character spacing widens every character.
  TSize plain, spaced;
  GetTextExtentPoint32(p.DC, "abc", &plain);
  SetTextCharacterExtra(p.DC, 2);
  GetTextExtentPoint32(p.DC, "abc", &spaced);
  EXPECT_EQ(spaced.cx, plain.cx + 6);

  for (int stock : {DEFAULT_GUI_FONT, SYSTEM_FONT, ANSI_VAR_FONT}) {
    TSelected s(p.DC, GetStockObject(stock), true);
    ASSERT_TRUE(GetTextMetrics(p.DC, &tm));
    EXPECT_GT(tm.tmHeight, 10) << stock;
  }
  SelectObject(p.DC, GetStockObject(DEFAULT_GUI_FONT));
  GetTextMetrics(p.DC, &tm);
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 11);
  EXPECT_FALSE(GetTextMetrics(nullptr, &tm));
}

TEST(Text, RotatedAndGreyText) {
  TPixels p(100, 120);
  TSelected font(p.DC, Font(-14, "Arial", FW_NORMAL, 900));
  SetBkMode(p.DC, TRANSPARENT);
  TSize size;
  GetTextExtentPoint32(p.DC, "Up 上", &size);
  TextOut(p.DC, 30, 110, "Up 上");
  const TRect ink = Ink(p);
  // Upwards from the point, the glyph tops towards the left, within the cell turned on end.
  EXPECT_TRUE(Contains(TRect(30, 110 - size.cx, 30 + size.cy, 111), ink));
  EXPECT_GT(ink.Height(), size.cx - 5);

  // An opaque background fills the text's cell, turned with it.
  TPixels o(100, 120);
  TSelected of(o.DC, Font(-14, "Arial", FW_NORMAL, 900));
  SetBkColor(o.DC, RGB(255, 0, 0));
  TextOut(o.DC, 30, 110, "Up 上");
  EXPECT_EQ(Ink(o), TRect(30, 110 - size.cx, 30 + size.cy, 110));
  EXPECT_EQ(o.At(30 + size.cy - 1, 110 - size.cx), RGB(255, 0, 0));

  // Grey text, given as a string or drawn by an output routine at the area's origin.
  TPixels g(100, 30), h(100, 30);
  TSelected gf(g.DC, Font(-12)), hf(h.DC, Font(-12));
  const char* text = "Disabled";
  GrayString(g.DC, nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, 5, 5, 0, 0);
  bool grey = false;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 100; ++x) {
      EXPECT_NE(g.At(x, y), RGB(0, 0, 0));
      grey |= g.At(x, y) == GetSysColor(COLOR_GRAYTEXT);
    }
  EXPECT_TRUE(grey);
  GrayString(h.DC, nullptr, [](HDC DC, LPARAM, int) { return TextOut(DC, 0, 0, "Disabled"); }, 0, 0, 5, 5, 90, 20);
  EXPECT_EQ(h.Picture(), g.Picture());
  EXPECT_EQ(GetTextColor(h.DC), RGB(0, 0, 0)) << "the DC's colour is given back";

  // Tab stops of the tabbed output: every 40 pixels from the origin.
  TPixels t(200, 30), u(200, 30);
  TSelected tf(t.DC, Font(-12)), uf(u.DC, Font(-12));
  const int stops[] = {40};
  const LONG extent = TabbedTextOut(t.DC, 10, 5, "ab\tcd", 1, stops, 10);
  TextOut(u.DC, 10, 5, "ab");
  TextOut(u.DC, 50, 5, "cd");
  EXPECT_EQ(t.Picture(), u.Picture());
  TSize cd;
  GetTextExtentPoint32(u.DC, "cd", &cd);
  EXPECT_EQ(extent & 0xFFFF, 40 + cd.cx);
}

TEST(Text, MirroredDCsKeepGlyphsReadable) {
  // Right-to-left layout mirrors where text goes, not the glyphs: logical x = 10 is 10 pixels
  // from the right edge, and the text ends there.
  TPixels mirrored(120, 30), plain(120, 30);
  TSelected fm(mirrored.DC, Font(-13)), fp(plain.DC, Font(-13));
  SetLayout(mirrored.DC, LAYOUT_RTL);
  TSize size;
  GetTextExtentPoint32(plain.DC, "Ab 中", &size);
  TextOut(mirrored.DC, 10, 5, "Ab 中");
  TextOut(plain.DC, 120 - 10 - size.cx, 5, "Ab 中");
  EXPECT_EQ(mirrored.Picture(), plain.Picture());
  TRect r(10, 5, 60, 25);
  TPixels m2(120, 30), p2(120, 30);
  TSelected fm2(m2.DC, Font(-13)), fp2(p2.DC, Font(-13));
  SetLayout(m2.DC, LAYOUT_RTL);
  DrawText(m2.DC, "Ab 中", &r, DT_SINGLELINE);
  // Left-aligned formatted text starts at the logical left: the right of the mirrored box.
  TRect r2(120 - 60, 5, 120 - 10, 25);
  DrawText(p2.DC, "Ab 中", &r2, DT_SINGLELINE | DT_RIGHT);
  EXPECT_EQ(m2.Picture(), p2.Picture());
}

TEST(Text, DrawStateDrawsTextThroughTheTextCalls) {
  // Nothing but DrawState draws text here: its text kinds must be hooked in at start-up.
  TPixels p(120, 30), q(120, 30);
  TSelected fp(p.DC, Font(-13)), fq(q.DC, Font(-13));
  const char* text = "&State";
  ASSERT_TRUE(DrawState(p.DC, nullptr, nullptr, reinterpret_cast<LPARAM>(text), 0, 5, 5, 0, 0, DST_PREFIXTEXT));
  TRect r(5, 5, 120, 30);
  SetBkMode(q.DC, TRANSPARENT);
  DrawText(q.DC, text, &r, 0);
  EXPECT_EQ(Ink(p), Ink(q));
}
