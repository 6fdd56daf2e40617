// The frame painters and glyph painters pixel by pixel, the frame controller's pushes, the
// shared blink timer, the legacy property readers and the small common services.
#include "controls/base/FcCommon.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "platform/classes/Filer.h"
#include "platform/os/Kernel.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/Pixels.h"
#include "tests/support/Snapshot.h"

namespace {

// A surface with a canvas on it; the background is blue so that white highlight lines show.
struct TPaint {
  TPaint(int W, int H, COLORREF Fill = RGB(0, 0, 255)) : Px(W, H, Fill) { Canvas.SetHandle(Px.DC); }
  ~TPaint() { Canvas.SetHandle(nullptr); }
  std::string Picture(std::map<COLORREF, char> Legend = {}) const { return Px.Picture(Legend); }
  TPixels Px;
  TCanvas Canvas;
};

// The system colours of the frame tables, one letter each ('-' is the untouched background).
std::map<COLORREF, char> SystemLegend() {
  return {{RGB(0, 0, 255), '-'},
          {ColorToRGB(cl3DDkShadow), 'D'},
          {ColorToRGB(clBtnShadow), 'S'},
          {ColorToRGB(clBtnHighlight), 'H'},
          {ColorToRGB(cl3DLight), 'L'},
          {ColorToRGB(clBtnText), 'T'}};
}

// The width a painted style takes: the rounded style paints as fsFlat.
int PaintedWidth(TFrameStyleEx Style) { return FrameWidth(Style == fsFlatRounded ? fsFlat : Style); }

TRect Shrink(TRect R, TSides Sides, int By) {
  if (Sides.Contains(sdLeft)) R.Left += By;
  if (Sides.Contains(sdTop)) R.Top += By;
  if (Sides.Contains(sdRight)) R.Right -= By;
  if (Sides.Contains(sdBottom)) R.Bottom -= By;
  return R;
}

const TSides kTop{sdTop};
const TSides kLeftTop{sdLeft, sdTop};
const TSides kRightBottom{sdRight, sdBottom};

TEST(FcCommonFrames, EveryStyleOnAllSides) {
  struct Case {
    TFrameStyleEx Style;
    std::string Picture;
  };
  const std::string ring = TPixels::Rows({"DDDDDD", "D----D", "D----D", "D----D", "D----D", "DDDDDD"});
  const Case cases[] = {
      {fsNone, TPixels::Rows({"------", "------", "------", "------", "------", "------"})},
      {fsFlat, ring},
      // fsFlatRounded has no colours of its own: drawn as fsFlat.
      {fsFlatRounded, ring},
      {fsGroove, TPixels::Rows({"SSSSSH", "SHHHSH", "SH--SH", "SH--SH", "SSSSSH", "HHHHHH"})},
      {fsBump, TPixels::Rows({"HHHHHS", "HSSSHS", "HS--HS", "HS--HS", "HHHHHS", "SSSSSS"})},
      {fsLowered, TPixels::Rows({"SSSSSH", "SDDDLH", "SD--LH", "SD--LH", "SLLLLH", "HHHHHH"})},
      {fsButtonDown, TPixels::Rows({"TTTTTT", "TSSSST", "TS--ST", "TS--ST", "TSSSST", "TTTTTT"})},
      {fsRaised, TPixels::Rows({"LLLLLD", "LHHHSD", "LH--SD", "LH--SD", "LSSSSD", "DDDDDD"})},
      {fsButtonUp, TPixels::Rows({"HHHHHD", "HLLLSD", "HL--SD", "HL--SD", "HSSSSD", "DDDDDD"})},
      {fsStatus, TPixels::Rows({"SSSSSH", "S----H", "S----H", "S----H", "S----H", "HHHHHH"})},
      {fsPopup, TPixels::Rows({"HHHHHS", "H----S", "H----S", "H----S", "H----S", "SSSSSS"})},
      {fsFlatBold, TPixels::Rows({"SSSSSS", "SSSSSS", "SS--SS", "SS--SS", "SSSSSS", "SSSSSS"})},
  };
  for (const Case& c : cases) {
    TPaint p(6, 6);
    const TRect inside = PaintFrameStyle(&p.Canvas, {0, 0, 6, 6}, c.Style);
    EXPECT_EQ(p.Picture(SystemLegend()), c.Picture) << GetEnumName(EnumInfo(fsNone), c.Style);
    EXPECT_EQ(inside, Shrink({0, 0, 6, 6}, AllSides, PaintedWidth(c.Style))) << c.Style;
  }
}

TEST(FcCommonFrames, SideSetsDrawOnlyTheirSides) {
  struct Case {
    TFrameStyleEx Style;
    TSides Sides;
    std::string Picture;
  };
  const Case cases[] = {
      // The groove's corner pixels close the lines where a chosen side meets one that is not.
      {fsGroove, kTop, TPixels::Rows({"SSSSSS", "HHHHHH", "------", "------", "------", "------"})},
      {fsGroove, kLeftTop, TPixels::Rows({"SSSSSS", "SHHHHH", "SH----", "SH----", "SH----", "SH----"})},
      {fsGroove, kRightBottom, TPixels::Rows({"----SH", "----SH", "----SH", "----SH", "SSSSSH", "HHHHHH"})},
      {fsBump, TSides{sdLeft}, TPixels::Rows({"HS----", "HS----", "HS----", "HS----", "HS----", "HS----"})},
      {fsStatus, kTop, TPixels::Rows({"SSSSSS", "------", "------", "------", "------", "------"})},
      {fsStatus, kRightBottom, TPixels::Rows({"-----H", "-----H", "-----H", "-----H", "-----H", "HHHHHH"})},
      {fsRaised, kLeftTop, TPixels::Rows({"LLLLLL", "LHHHHH", "LH----", "LH----", "LH----", "LH----"})},
      {fsButtonUp, kRightBottom, TPixels::Rows({"----SD", "----SD", "----SD", "----SD", "SSSSSD", "DDDDDD"})},
      {fsFlatBold, TSides{sdBottom}, TPixels::Rows({"------", "------", "------", "------", "SSSSSS", "SSSSSS"})},
      {fsFlat, TSides{}, TPixels::Rows({"------", "------", "------", "------", "------", "------"})},
  };
  for (const Case& c : cases) {
    TPaint p(6, 6);
    const TRect inside = PaintFrameStyleSides(&p.Canvas, {0, 0, 6, 6}, c.Style, c.Sides);
    EXPECT_EQ(p.Picture(SystemLegend()), c.Picture) << c.Style << " sides " << c.Sides.Bits();
    EXPECT_EQ(inside, Shrink({0, 0, 6, 6}, c.Sides, PaintedWidth(c.Style))) << c.Style << " " << c.Sides.Bits();
  }
  // Every style and side set shrinks by the style's width on the chosen sides only.
  for (int style = fsNone; style <= fsFlatRounded; ++style)
    for (uint64_t bits = 0; bits < 16; ++bits) {
      TPaint p(8, 8);
      const TSides sides = TSides::FromBits(bits);
      const auto s = static_cast<TFrameStyleEx>(style);
      EXPECT_EQ(PaintFrameStyleSides(&p.Canvas, {0, 0, 8, 8}, s, sides), Shrink({0, 0, 8, 8}, sides, PaintedWidth(s)))
          << style << " " << bits;
      EXPECT_EQ(PaintColorFrameStyleSides(&p.Canvas, {0, 0, 8, 8}, RGB(40, 120, 200), sides, s),
                Shrink({0, 0, 8, 8}, sides, PaintedWidth(s)))
          << style << " " << bits;
    }
}

TEST(FcCommonFrames, SideLinesSkipAColourOfNone) {
  TPaint p(5, 4);
  PaintSideLines(&p.Canvas, {0, 0, 5, 4}, clNone, AllSides, clBtnShadow);
  EXPECT_EQ(p.Picture(SystemLegend()), TPixels::Rows({"----S", "----S", "----S", "SSSSS"}));
  // Rings that run out of room draw nothing outside the rectangle.
  TPaint tiny(4, 4);
  PaintControlFrame(&tiny.Canvas, 1, 1, false, AllSides, clBtnShadow, clWindow, fsFlatBold);
  EXPECT_EQ(tiny.Picture(SystemLegend()), TPixels::Rows({"S---", "----", "----", "----"}));
  // BevelWidth 3 of fsStatus in the panel border: three rings.
  TPaint q(8, 8);
  TRect r{0, 0, 8, 8};
  PaintInnerOuterBorders(&q.Canvas, r, fsStatus, false, clBtnFace, clBtnFace, 0, clBtnShadow, clBtnShadow,
                         clBtnHighlight, clBtnFace, 3, AllSides, 0, fsNone);
  EXPECT_EQ(q.Picture(SystemLegend()),
            TPixels::Rows({"SSSSSSSH", "SSSSSSHH", "SSSSSHHH", "SSS--HHH", "SSS--HHH", "SSHHHHHH", "SHHHHHHH",
                           "HHHHHHHH"}));
  EXPECT_EQ(r, TRect(3, 3, 5, 5));
}

TEST(FcCommonFrames, ColourStylesUseShadesOfTheBaseColour) {
  const TColor x = RGB(200, 100, 50);
  const COLORREF d50 = DarkenColor(x, 50), d100 = DarkenColor(x, 100), b50 = BrightenColor(x, 50),
                 b100 = BrightenColor(x, 100), b40 = BrightenColor(x, 40);
  const std::map<COLORREF, char> legend{{RGB(0, 0, 255), '-'}, {d50, 'd'}, {d100, 'D'},
                                        {b50, 'b'},            {b100, 'B'}, {b40, '4'}};
  struct Case {
    TFrameStyleEx Style;
    std::string Picture;
  };
  const Case cases[] = {
      {fsLowered, TPixels::Rows({"dddddB", "dDDDbB", "dD--bB", "dD--bB", "dbbbbB", "BBBBBB"})},
      {fsRaised, TPixels::Rows({"bbbbbD", "bBBBdD", "bB--dD", "bB--dD", "bddddD", "DDDDDD"})},
      {fsButtonUp, TPixels::Rows({"BBBBBD", "B444dD", "B4--dD", "B4--dD", "BddddD", "DDDDDD"})},
      {fsButtonDown, TPixels::Rows({"DDDDDD", "DddddD", "Dd--dD", "Dd--dD", "DddddD", "DDDDDD"})},
      {fsGroove, TPixels::Rows({"dddddB", "dBBBdB", "dB--dB", "dB--dB", "dddddB", "BBBBBB"})},
      {fsStatus, TPixels::Rows({"dddddB", "d----B", "d----B", "d----B", "d----B", "BBBBBB"})},
      {fsFlatBold, TPixels::Rows({"dddddd", "dddddd", "dd--dd", "dd--dd", "dddddd", "dddddd"})},
  };
  for (const Case& c : cases) {
    TPaint p(6, 6);
    PaintColorFrameStyle(&p.Canvas, {0, 0, 6, 6}, x, c.Style);
    EXPECT_EQ(p.Picture(legend), c.Picture) << c.Style;
  }
}

TEST(FcCommonFrames, ControlFrameWipesTheRingThenDrawsTheStyle) {
  const std::map<COLORREF, char> legend{{RGB(0, 0, 255), '-'}, {ColorToRGB(clWindow), 'W'}, {RGB(255, 0, 0), 'F'},
                                        {ColorToRGB(clBtnShadow), 'S'}, {ColorToRGB(cl3DDkShadow), 'D'},
                                        {ColorToRGB(cl3DLight), 'L'}};
  {
    TPaint p(6, 6);
    PaintControlFrame(&p.Canvas, 6, 6, false, kTop, RGB(255, 0, 0), clWindow, fsFlat);
    EXPECT_EQ(p.Picture(legend), TPixels::Rows({"FFFFFF", "WWWWWW", "WW--WW", "WW--WW", "WWWWWW", "WWWWWW"}));
  }
  {
    // KeepInterior leaves what lies under the frame.
    TPaint p(6, 6);
    PaintControlFrame(&p.Canvas, 6, 6, true, AllSides, RGB(255, 0, 0), clWindow, fsFlatBold);
    EXPECT_EQ(p.Picture(legend), TPixels::Rows({"FFFFFF", "FFFFFF", "FF--FF", "FF--FF", "FFFFFF", "FFFFFF"}));
  }
  {
    // The window colour takes the system-colour table...
    TPaint p(6, 6);
    PaintControlFrame(&p.Canvas, 6, 6, false, AllSides, RGB(255, 0, 0), clWindow, fsLowered);
    EXPECT_EQ(p.Picture(legend), TPixels::Rows({"SSSSSW", "SDDDLW", "SD--LW", "SD--LW", "SLLLLW", "WWWWWW"}));
  }
  {
    // ...any other colour the shades of that colour.
    const TColor x = RGB(200, 100, 50);
    TPaint p(6, 6);
    PaintControlFrame(&p.Canvas, 6, 6, false, AllSides, RGB(255, 0, 0), x, fsLowered);
    EXPECT_EQ(p.Px.At(0, 0), COLORREF(DarkenColor(x, 50)));
    EXPECT_EQ(p.Px.At(1, 1), COLORREF(DarkenColor(x, 100)));
    EXPECT_EQ(p.Px.At(5, 5), COLORREF(BrightenColor(x, 100)));
    EXPECT_EQ(p.Px.At(4, 4), COLORREF(BrightenColor(x, 50)));
  }
}

TEST(FcCommonFrames, InnerOuterBorders) {
  const COLORREF flat = RGB(255, 0, 0), border = RGB(0, 255, 0), parent = RGB(255, 255, 0), color = RGB(0, 255, 255);
  const std::map<COLORREF, char> legend{{RGB(0, 0, 255), '-'}, {flat, 'F'}, {border, 'B'}, {parent, 'P'},
                                        {color, 'C'}};
  struct Case {
    const char* Name;
    TFrameStyleEx Outer;
    bool Transparent;
    int BorderWidth;
    TFrameStyleEx Inner;
    std::string Picture;
    TRect Inside;
  };
  const Case cases[] = {
      {"flat, border, flat bold", fsFlat, false, 1, fsFlatBold,
       TPixels::Rows({"FFFFFFFFFF", "FBBBBBBBBF", "FBFFFFFFBF", "FBFFFFFFBF", "FBFF--FFBF", "FBFF--FFBF",
                      "FBFFFFFFBF", "FBFFFFFFBF", "FBBBBBBBBF", "FFFFFFFFFF"}),
       {4, 4, 6, 6}},
      {"rounded, opaque", fsFlatRounded, false, 0, fsNone,
       TPixels::Rows({"PPFFFFFFPP", "PFCCCCCCFP", "FC------CF", "FC------CF", "FC------CF", "FC------CF",
                      "FC------CF", "FC------CF", "PFCCCCCCFP", "PPFFFFFFPP"}),
       {2, 2, 8, 8}},
      {"rounded, opaque, with a border", fsFlatRounded, false, 1, fsNone,
       TPixels::Rows({"PPFFFFFFPP", "PFBBBBBBFP", "FBBBBBBBBF", "FBB----BBF", "FBB----BBF", "FBB----BBF",
                      "FBB----BBF", "FBBBBBBBBF", "PFBBBBBBFP", "PPFFFFFFPP"}),
       {3, 3, 7, 7}},
      {"rounded, transparent", fsFlatRounded, true, 0, fsNone,
       TPixels::Rows({"--FFFFFF--", "-F------F-", "F--------F", "F--------F", "F--------F", "F--------F",
                      "F--------F", "F--------F", "-F------F-", "--FFFFFF--"}),
       {2, 2, 8, 8}},
      {"inner rounded, opaque", fsNone, false, 0, fsFlatRounded,
       TPixels::Rows({"BBFFFFFFBB", "BFCCCCCCFB", "FC------CF", "FC------CF", "FC------CF", "FC------CF",
                      "FC------CF", "FC------CF", "BFCCCCCCFB", "BBFFFFFFBB"}),
       {2, 2, 8, 8}},
  };
  for (const Case& c : cases) {
    TPaint p(10, 10);
    TRect r{0, 0, 10, 10};
    PaintInnerOuterBorders(&p.Canvas, r, c.Outer, c.Transparent, parent, color, 0, flat, clBtnShadow, clBtnHighlight,
                           border, 1, AllSides, c.BorderWidth, c.Inner);
    EXPECT_EQ(p.Picture(legend), c.Picture) << c.Name;
    EXPECT_EQ(r, c.Inside) << c.Name;
  }
  // The flat colour is adjusted: -50 darkens it.
  TPaint p(4, 4);
  TRect r{0, 0, 4, 4};
  PaintInnerOuterBorders(&p.Canvas, r, fsFlat, false, parent, color, -50, RGB(200, 100, 50), clBtnShadow,
                         clBtnHighlight, border, 1, AllSides, 0, fsNone);
  EXPECT_EQ(p.Px.At(0, 0), COLORREF(DarkenColor(RGB(200, 100, 50), 50)));
}

TEST(FcCommonFrames, RoundedFlatFrameOnSomeSides) {
  TPaint p(6, 6);
  const TRect inside = PaintRoundedFlatFrame(&p.Canvas, {0, 0, 6, 6}, RGB(0, 0, 0), kLeftTop);
  EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}}),
            TPixels::Rows({"--####", "-#----", "#-----", "#-----", "#-----", "#-----"}));
  EXPECT_EQ(inside, TRect(2, 2, 6, 6));
}

// ---- glyphs ----

TEST(FcCommonGlyphs, DropDownArrowIsClassicFromVistaOn) {
  const std::string triangle =
      TPixels::Rows({"---------", "---------", "-#######-", "--#####--", "---###---", "----#----", "---------"});
  for (int style : {0, GlyphStyleXP}) {
    TPaint p(9, 7);
    p.Canvas.Brush()->SetColor(clWhite);
    PaintDropDownArrow(&p.Canvas, {0, 0, 9, 7}, style, true);
    EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}}), triangle) << style;
    // The painter gives back the brush colour it found.
    EXPECT_EQ(p.Canvas.Brush()->Color(), clWhite);
  }
  // On XP the XP look is a chevron, in the dark shadow colour since no themed part is drawn.
  os::SetPlatformVersion(VER_PLATFORM_WIN32_NT, 5, 1);
  TPaint xp(13, 13);
  PaintDropDownArrow(&xp.Canvas, {0, 0, 13, 13}, GlyphStyleXP, true);
  os::SetPlatformVersion(VER_PLATFORM_WIN32_NT, 6, 1);
  EXPECT_NE(xp.Picture(SystemLegend()).find('D'), std::string::npos);
  EXPECT_EQ(xp.Picture(SystemLegend()).find('#'), std::string::npos);
  // Disabled: the button shadow; on a black brush the classic arrow turns dark grey.
  TPaint off(9, 7);
  PaintDropDownArrow(&off.Canvas, {0, 0, 9, 7}, 0, false);
  EXPECT_EQ(off.Px.At(4, 5), ColorToRGB(clBtnShadow));
  TPaint dark(9, 7);
  dark.Canvas.Brush()->SetColor(clBlack);
  PaintDropDownArrow(&dark.Canvas, {0, 0, 9, 7}, 0, true);
  EXPECT_EQ(dark.Px.At(4, 5), ColorToRGB(cl3DDkShadow));
}

TEST(FcCommonGlyphs, DirectionalArrowsClassic) {
  struct Case {
    int Direction;
    std::string Picture;
  };
  const Case cases[] = {
      {ArrowUp, TPixels::Rows({"---------", "---------", "----#----", "---###---", "--#####--", "-#######-",
                               "---------", "---------", "---------"})},
      {ArrowDown, TPixels::Rows({"---------", "---------", "-#######-", "--#####--", "---###---", "----#----",
                                 "---------", "---------", "---------"})},
      {ArrowLeft, TPixels::Rows({"---------", "-----#---", "----##---", "---###---", "--####---", "---###---",
                                 "----##---", "-----#---", "---------"})},
      {ArrowRight, TPixels::Rows({"---------", "--#------", "--##-----", "--###----", "--####---", "--###----",
                                  "--##-----", "--#------", "---------"})},
  };
  for (const Case& c : cases) {
    TPaint p(9, 9);
    PaintDirectionalArrow(&p.Canvas, {0, 0, 9, 9}, 0, true, c.Direction);
    EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}}), c.Picture) << c.Direction;
  }
}

TEST(FcCommonGlyphs, CloseCrossSmallUpToTenPixelsHigh) {
  auto cross = [](int W, int H) {
    TPaint p(W, H);
    PaintCloseCross(&p.Canvas, {0, 0, W, H}, clBlack);
    return p.Picture({{RGB(0, 0, 255), '-'}});
  };
  const std::string small = TPixels::Rows({"----------", "----------", "--##--##--", "---####---", "----##----",
                                           "---####---", "--##--##--", "----------", "----------", "----------"});
  EXPECT_EQ(cross(10, 10), small);
  EXPECT_EQ(cross(9, 11), TPixels::Rows({"---------", "---------", "###---###", "-###-###-", "--#####--", "---###---",
                                         "--#####--", "-###-###-", "###---###", "---------", "---------"}));
  // Narrower than 9 pixels keeps the small shape at any height.
  EXPECT_EQ(cross(8, 11), TPixels::Rows({"--------", "--------", "--------", "-##--##-", "--####--", "---##---",
                                         "--####--", "-##--##-", "--------", "--------", "--------"}));
}

TEST(FcCommonGlyphs, CheckGlyphStates) {
  const COLORREF fill = RGB(255, 255, 255), frame = RGB(0, 0, 255), check = RGB(0, 0, 0);
  auto glyph = [&](int State, int DrawState, bool Focused = false, bool ReadOnly = false) {
    TPaint p(13, 13, RGB(0, 255, 0));
    PaintCheckGlyph(&p.Canvas, {0, 0, 13, 13}, State, RGB(255, 255, 0), false, ReadOnly, RGB(255, 0, 0),
                    RGB(128, 0, 0), RGB(192, 192, 192), RGB(0, 255, 255), fill, check, frame, htsFrame, Focused,
                    DrawState);
    return p.Picture({{frame, 'F'}, {RGB(255, 0, 0), 'R'}, {RGB(0, 255, 255), 'c'}, {RGB(255, 255, 0), 'y'},
                      {RGB(192, 192, 192), 'g'}, {ColorToRGB(clBtnShadow), 'S'},
                      {ColorToRGB(DarkenColor(RGB(0, 255, 255), 20)), 'p'}});
  };
  EXPECT_EQ(glyph(CheckChecked, GlyphNormal),
            TPixels::Rows({"FFFFFFFFFFFFF", "F...........F", "F...........F", "F........#..F", "F.......##..F",
                           "F..#...###..F", "F..##.###...F", "F..#####....F", "F...###.....F", "F....#......F",
                           "F...........F", "F...........F", "FFFFFFFFFFFFF"}));
  // Grayed: a filled square, no check mark.
  EXPECT_EQ(glyph(CheckGrayed, GlyphNormal),
            TPixels::Rows({"FFFFFFFFFFFFF", "F...........F", "F...........F", "F..#######..F", "F..#######..F",
                           "F..#######..F", "F..#######..F", "F..#######..F", "F..#######..F", "F..#######..F",
                           "F...........F", "F...........F", "FFFFFFFFFFFFF"}));
  // Hot with the frame style: the frame in the hot colour; disabled: disabled fill, shadow check.
  const std::string hot = glyph(CheckUnchecked, GlyphHot);
  EXPECT_EQ(hot.substr(0, 14), "RRRRRRRRRRRRR\n");
  const std::string disabled = glyph(CheckChecked, GlyphDisabled);
  EXPECT_EQ(disabled.substr(14, 14), "FgggggggggggF\n");
  EXPECT_NE(disabled.find('S'), std::string::npos);
  // The inside: pressed darkens the focus colour; focused shows it; read-only shows its colour.
  EXPECT_EQ(glyph(CheckUnchecked, GlyphPressed)[15], 'p');
  EXPECT_EQ(glyph(CheckUnchecked, GlyphNormal, true)[15], 'c');
  EXPECT_EQ(glyph(CheckUnchecked, GlyphNormal, false, true)[15], 'y');
  EXPECT_EQ(glyph(CheckUnchecked, GlyphNormal, true, true)[15], 'c');
}

TEST(FcCommonGlyphs, RadioGlyph) {
  TPaint p(15, 15, RGB(0, 255, 0));
  PaintRadioGlyph(&p.Canvas, {1, 1, 14, 14}, true, RGB(255, 255, 0), false, false, RGB(255, 0, 0), RGB(128, 0, 0),
                  RGB(192, 192, 192), RGB(0, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 255),
                  RGB(255, 0, 255), RGB(0, 255, 0), htsFrame, false, GlyphNormal);
  const std::string picture = p.Picture({{RGB(0, 255, 0), '-'}, {RGB(0, 0, 255), 'F'}, {RGB(255, 0, 255), 'b'}});
  // '?' marks the outline's blends into the background and the interior, and the dot's soft edge.
  EXPECT_EQ(picture, TPixels::Rows({"---------------", "-bb?FFFFFFF?bb-", "-b?F??...??F?b-", "-?F??.....??F?-",
                                    "-F??.......??F-", "-F?...?#?...?F-", "-F...?###?...F-", "-F...#####...F-",
                                    "-F...?###?...F-", "-F?...?#?...?F-", "-F??.......??F-", "-?F??.....??F?-",
                                    "-b?F??...??F?b-", "-bb?FFFFFFF?bb-", "---------------"}));
}

TEST(FcCommonGlyphs, RingCornersAndFocusFrame) {
  {
    TPaint p(8, 6);
    EXPECT_EQ(PaintDottedFocusFrame(&p.Canvas, {0, 0, 8, 6}), TRect(1, 1, 7, 5));
    EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}}),
              TPixels::Rows({"-#-#-#-#", "#------#", "--------", "#------#", "--------", "##-#-#-#"}));
  }
  {
    TPaint p(8, 8);
    EXPECT_EQ(PaintBoxCorners(&p.Canvas, {0, 0, 8, 8}, clBlack, 3), TRect(1, 1, 7, 7));
    EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}}),
              TPixels::Rows({"###--###", "#------#", "#------#", "--------", "--------", "#------#", "#------#",
                             "###--###"}));
  }
  {
    // The ring is two pixels wide; on a palette display it is not drawn.
    TPaint p(8, 8);
    PaintHighlightRing(&p.Canvas, {0, 0, 8, 8}, gdHorizontalEnd, RGB(255, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(p.Picture({{RGB(0, 0, 255), '-'}, {RGB(255, 0, 0), 'R'}}),
              TPixels::Rows({"RRRRRRRR", "RRRRRRRR", "RR----RR", "RR----RR", "RR----RR", "RR----RR", "RRRRRRRR",
                             "RRRRRRRR"}));
    SetFullColorDisplay(false);
    TPaint q(8, 8);
    PaintHighlightRing(&q.Canvas, {0, 0, 8, 8}, gdHorizontalEnd, RGB(255, 0, 0), RGB(255, 0, 0));
    SetFullColorDisplay(true);
    EXPECT_EQ(q.Picture({{RGB(0, 0, 255), '-'}}).find_first_not_of("-\n"), std::string::npos);
  }
}

}  // namespace

// ---- frame controller ----

namespace {

// A control that publishes some of the settings and logs each write by name.
class TFramedProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> Writes;

  TColor ProbeColor() const { return FColor; }
  void SetProbeColor(TColor V) { FColor = V, Writes.push_back("Color"); }
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor V) { FFocusColor = V, Writes.push_back("FocusColor"); }
  bool ProbeParentColor() const { return FParentColor; }
  void SetProbeParentColor(bool V) { FParentColor = V, Writes.push_back("ParentColor"); }
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle V) { FFrameStyle = V, Writes.push_back("FrameStyle"); }
  TSides FrameSides() const { return FFrameSides; }
  void SetFrameSides(TSides V) { FFrameSides = V, Writes.push_back("FrameSides"); }
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool V) { FFrameVisible = V, Writes.push_back("FrameVisible"); }
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FMask; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications V) { FMask = V; }

  TColor FColor = clBtnFace;
  TColor FFocusColor = clBtnFace;
  bool FParentColor = false;
  TFrameStyle FFrameStyle = fsNone;
  TSides FFrameSides{};
  bool FFrameVisible = false;
  TFcFrameControllerNotifications FMask = AllFrameControllerNotifications;
};

const classes::TPublished<TFramedProbe, TGraphicControl> FramedProbeInfo([](auto& p) {
  using P = TFramedProbe;
  p.Int("Color", &P::ProbeColor, &P::SetProbeColor);
  p.Int("FocusColor", &P::FocusColor, &P::SetFocusColor);
  p.Bool("ParentColor", &P::ProbeParentColor, &P::SetProbeParentColor);
  p.Enum("FrameStyle", &P::FrameStyle, &P::SetFrameStyle);
  p.template Set<TSide>("FrameSides", &P::FrameSides, &P::SetFrameSides);
  p.Bool("FrameVisible", &P::FrameVisible, &P::SetFrameVisible);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &P::FrameControllerNotifications,
                                             &P::SetFrameControllerNotifications);
});

// A control that takes the settings itself.
class TClientProbe : public TGraphicControl, public IFrameControllerClient {
 public:
  using TGraphicControl::TGraphicControl;
  bool QueryInterface(const TGUID& IID, void** Obj) override {
    return classes::QueryInterfaces<IFrameControllerClient>(this, IID, Obj);
  }
  void ApplyFrameController() override { ++Applied; }
  int Applied = 0;
};

class FcFrameControllerTest : public test::HeadlessTest {};

TEST_F(FcFrameControllerTest, FullPushWritesTheSettingsInOrderOnce) {
  TFcFrameController controller(nullptr);
  TFramedProbe probe(nullptr);
  controller.RegisterControl(&probe);
  controller.RegisterControl(&probe);
  EXPECT_EQ(controller.RegisteredCount(), 1);
  // ParentColor before Color; only the properties the control publishes; FrameSides as a set.
  EXPECT_EQ(probe.Writes, (std::vector<std::string>{"ParentColor", "Color", "FocusColor", "FrameSides",
                                                    "FrameStyle", "FrameVisible"}));
  EXPECT_EQ(probe.FColor, clWindow);
  EXPECT_EQ(probe.FFrameStyle, fsFlat);
  EXPECT_EQ(probe.FFrameSides, AllSides);

  // With ParentColor on, a full push sets it and leaves Color alone.
  controller.SetParentColor(true);
  probe.Writes.clear();
  controller.UpdateControls();
  EXPECT_TRUE(probe.FParentColor);
  EXPECT_EQ(std::count(probe.Writes.begin(), probe.Writes.end(), "Color"), 0);

  controller.UnregisterControl(&probe);
  controller.UnregisterControl(&probe);
  EXPECT_EQ(controller.RegisteredCount(), 0);
  probe.Writes.clear();
  controller.SetFrameStyle(fsGroove);
  EXPECT_TRUE(probe.Writes.empty());
}

TEST_F(FcFrameControllerTest, ColourChangesAndTheirMask) {
  TFcFrameController controller(nullptr);
  TFramedProbe plain(nullptr), masked(nullptr);
  masked.FMask = AllFrameControllerNotifications - TFcFrameControllerNotifications{fcpColor};
  controller.RegisterControl(&plain);
  controller.RegisterControl(&masked);
  // The full push at registration already skips what the mask lacks.
  EXPECT_EQ(masked.FColor, clBtnFace);
  EXPECT_EQ(masked.FFocusColor, clWindow);
  plain.Writes.clear();

  // The focus colour equal to the colour follows it, and reaches the controls at once too.
  controller.SetColor(clYellow);
  EXPECT_EQ(controller.FocusColor(), clYellow);
  EXPECT_EQ(plain.FColor, clYellow);
  EXPECT_EQ(plain.FFocusColor, clYellow);
  EXPECT_EQ(plain.Writes, (std::vector<std::string>{"Color", "FocusColor"}));
  // A mask without Color keeps the control's colour.
  EXPECT_EQ(masked.FColor, clBtnFace);
  EXPECT_EQ(masked.FFocusColor, clYellow);

  // A focus colour of its own stays when the colour changes.
  controller.SetFocusColor(clAqua);
  controller.SetColor(clRed);
  EXPECT_EQ(controller.FocusColor(), clAqua);
  EXPECT_EQ(plain.FFocusColor, clAqua);
}

TEST_F(FcFrameControllerTest, ChangesInsideAnUpdateArriveAsOnePush) {
  TFcFrameController controller(nullptr);
  TClientProbe client(nullptr);
  controller.RegisterControl(&client);
  controller.RegisterControl(&client);
  EXPECT_EQ(client.Applied, 1);

  controller.BeginUpdate();
  controller.BeginUpdate();
  controller.SetColor(clRed);
  controller.SetFrameStyle(fsLowered);
  controller.SetFrameColor(clGreen);
  controller.SetFlatButtons(false);
  controller.SetFrameSides(TSides{sdTop});
  controller.EndUpdate();
  EXPECT_EQ(client.Applied, 1);
  controller.EndUpdate();
  EXPECT_EQ(client.Applied, 2);

  // Outside an update each change is a push of its own; an unchanged value none.
  controller.SetFrameStyle(fsRaised);
  controller.SetFrameStyle(fsRaised);
  EXPECT_EQ(client.Applied, 3);
  // A component that is not a control is ignored.
  TComponent plain(nullptr);
  controller.RegisterControl(&plain);
  controller.SetFrameStyle(fsGroove);
  EXPECT_EQ(client.Applied, 4);
  controller.UnregisterControl(&plain);
  controller.UnregisterControl(&client);
}

TEST_F(FcFrameControllerTest, HotTrackingShowsTheFrameOnAllSides) {
  TFcFrameController controller(nullptr);
  controller.SetFrameSides(TSides{sdLeft});
  controller.SetFrameHotTrack(true);
  EXPECT_TRUE(controller.FrameVisible());
  EXPECT_EQ(controller.FrameSides(), AllSides);

  TFcFrameController copy(nullptr);
  TClientProbe client(nullptr);
  copy.RegisterControl(&client);
  copy.Assign(&controller);
  EXPECT_EQ(client.Applied, 2);
  EXPECT_TRUE(copy.FrameHotTrack());
  EXPECT_TRUE(copy.FrameVisible());
  copy.UnregisterControl(&client);
  TFcRegIniFile other(nullptr);
  EXPECT_THROW(copy.Assign(&other), Exception);
}

TEST_F(FcFrameControllerTest, LegacyPropertiesAreReadAndDropped) {
  TFcFrameController controller(nullptr);
  ReadComponentText(&controller, R"(object FcFrameController1: TFcFrameController
  FrameFlat = True
  FrameFlatStyle = fsBump
  Color = clInfoBk
end
)");
  EXPECT_TRUE(controller.FrameHotTrack());
  EXPECT_EQ(controller.FrameStyle(), fsStatus);
  EXPECT_EQ(controller.FrameHotStyle(), fsLowered);
  EXPECT_EQ(controller.Color(), clInfoBk);

  TFcFrameController focus(nullptr);
  ReadComponentText(&focus, R"(object FcFrameController2: TFcFrameController
  FrameFocusStyle = fsGroove
end
)");
  EXPECT_EQ(focus.FrameHotStyle(), fsGroove);
  EXPECT_FALSE(focus.FrameHotTrack());
}

// ---- blinking ----

class TBlinkProbe : public TGraphicControl {
 public:
  TBlinkProbe(TComponent* Owner, bool Blinking) : TGraphicControl(Owner), FBlinking(Blinking) {}
  std::vector<WPARAM> States;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == FCM_BLINKQUERY) {
      Message.Result = FBlinking ? 1 : 0;
      return;
    }
    if (Message.Msg == FCM_BLINK) {
      States.push_back(Message.WParam);
      return;
    }
    TGraphicControl::WndProc(Message);
  }

 private:
  bool FBlinking;
};

class FcBlinkTest : public test::HeadlessTest {};

TEST_F(FcBlinkTest, OnlyTheBlinkingControlGetsTheBlinkState) {
  TBlinkProbe blinking(nullptr, true), steady(nullptr, false), stranger(nullptr, true);
  TFcBlinkingControlsList* list = EnsureBlinkingControlsList();
  EXPECT_EQ(EnsureBlinkingControlsList(), list);
  list->Add(&blinking);
  list->Add(&steady);
  // Removing a control that was never added changes nothing.
  list->Remove(&stranger);
  EXPECT_EQ(list->RegisteredCount(), 2);

  // Off phase 500 ms, on phase shortened to 200 ms: ticks at 500, 1000, 1200 and 1700.
  list->SetIntervalOn(200);
  App.RunFor(1300);
  EXPECT_EQ(blinking.States, (std::vector<WPARAM>{0, 1, 0}));
  EXPECT_TRUE(steady.States.empty());
  EXPECT_TRUE(stranger.States.empty());

  ReleaseBlinkingListIfEmpty();
  EXPECT_EQ(BlinkingControlsList(), list);
  list->Remove(&blinking);
  list->Remove(&steady);
  ReleaseBlinkingListIfEmpty();
  EXPECT_EQ(BlinkingControlsList(), nullptr);
}

// ---- services ----

TEST(FcCommonServices, VersionTable) {
  struct Case {
    int Platform, Major, Minor;
    std::vector<int> Exactly;
    std::vector<int> OrLater;
  };
  const int w9x = VER_PLATFORM_WIN32_WINDOWS, nt = VER_PLATFORM_WIN32_NT;
  const Case cases[] = {
      {w9x, 4, 0, {0}, {0}},
      {w9x, 4, 10, {2}, {0, 2}},
      {w9x, 4, 90, {3}, {0, 2, 3}},
      {nt, 4, 0, {1}, {0, 1}},
      {nt, 5, 0, {4}, {0, 1, 2, 3, 4}},
      {nt, 5, 1, {5}, {0, 1, 2, 3, 4, 5}},
      {nt, 5, 2, {6}, {0, 1, 2, 3, 4, 5, 6}},
      {nt, 6, 0, {7}, {0, 1, 2, 3, 4, 5, 6, 7}},
      // What the platform reports: NT 6.1, no exact match.
      {nt, 6, 1, {}, {0, 1, 2, 3, 4, 5, 6, 7}},
  };
  for (const Case& c : cases) {
    os::SetPlatformVersion(c.Platform, c.Major, c.Minor);
    for (int index = 0; index < 9; ++index) {
      const bool exact = std::count(c.Exactly.begin(), c.Exactly.end(), index) > 0;
      const bool later = std::count(c.OrLater.begin(), c.OrLater.end(), index) > 0;
      EXPECT_EQ(IsOSVersion(index), exact) << c.Major << "." << c.Minor << " #" << index;
      EXPECT_EQ(IsOSVersionOrLater(index), later) << c.Major << "." << c.Minor << " #" << index;
    }
    // The index counts modulo 128.
    EXPECT_EQ(IsOSVersionOrLater(128 + 5), IsOSVersionOrLater(5));
  }
  os::SetPlatformVersion(nt, 6, 1);
}

TEST(FcCommonServices, TextAndGeometry) {
  EXPECT_EQ(StripAccelerators("Save && Exit"), "Save & Exit");
  EXPECT_EQ(StripAccelerators("&Open"), "Open");
  EXPECT_EQ(StripAccelerators("Fish &&"), "Fish &");
  EXPECT_EQ(StripAccelerators("E&xit"), "Exit");

  std::string text = "a-b-c";
  EXPECT_TRUE(RemoveFirstOccurrence(text, '-'));
  EXPECT_EQ(text, "ab-c");
  EXPECT_FALSE(RemoveFirstOccurrence(text, 'z'));

  setenv("FCCOMMON_TEST_DIR", "/srv/music", 1);
  EXPECT_EQ(ExpandEnvironmentText("no marks here"), "no marks here");
  EXPECT_EQ(ExpandEnvironmentText("%FCCOMMON_TEST_DIR%/jingles"), "/srv/music/jingles");
  EXPECT_EQ(ExpandEnvironmentText("%FCCOMMON_NOT_SET%"), "%FCCOMMON_NOT_SET%");
  unsetenv("FCCOMMON_TEST_DIR");

  EXPECT_EQ(CenteredRect({10, 20, 110, 70}, 20, 10), TRect(50, 40, 70, 50));
  EXPECT_EQ(CenteredRect({0, 0, 5, 5}, 2, 2), TRect(1, 1, 3, 3));
}

}  // namespace

// ---- the whole set in one picture ----

namespace {

// Every frame style in system colours and in shades of a colour, the panel borders, and the
// glyphs in their states, side by side on the button face.
TEST(FcCommonPicture, FramesAndGlyphs) {
  SetFullColorDisplay(true);
  TPaint p(300, 150, ColorToRGB(clBtnFace));
  TCanvas* c = &p.Canvas;
  for (int style = fsNone; style <= fsFlatRounded; ++style) {
    const int x = 4 + style * 24;
    const auto s = static_cast<TFrameStyleEx>(style);
    PaintFrameStyle(c, {x, 4, x + 20, 20}, s);
    PaintColorFrameStyle(c, {x, 24, x + 20, 40}, RGB(80, 140, 220), s);
    PaintFrameStyleSides(c, {x, 44, x + 20, 60}, s, TSides{sdTop, sdBottom});
  }
  TRect r{4, 64, 44, 94};
  PaintInnerOuterBorders(c, r, fsFlatRounded, false, clBtnFace, clWindow, 0, clBtnShadow, clBtnShadow,
                         clBtnHighlight, clBtnFace, 1, AllSides, 0, fsNone);
  r = {48, 64, 88, 94};
  PaintInnerOuterBorders(c, r, fsRaised, false, clBtnFace, clBtnFace, 0, clBtnShadow, clBtnShadow, clBtnHighlight,
                         clBtnFace, 1, AllSides, 2, fsLowered);
  r = {92, 64, 132, 94};
  PaintInnerOuterBorders(c, r, fsStatus, false, clBtnFace, clBtnFace, 0, clBtnShadow, clBtnShadow, clBtnHighlight,
                         clBtnFace, 3, AllSides, 0, fsNone);
  PaintControlFrame(c, 0, 0, false, AllSides, clBtnShadow, clWindow, fsFlat);  // an empty frame draws nothing
  PaintGroupBarBackground(c, {136, 64, 176, 94}, vsWinXP, RGB(255, 255, 255), RGB(120, 160, 230), false, gcsCustom);
  PaintGroupBarBackground(c, {180, 64, 220, 94}, vsClassic, RGB(255, 255, 255), RGB(120, 160, 230), false, gcsCustom);
  for (int d = ArrowUp; d <= ArrowRight; ++d) PaintDirectionalArrow(c, {4 + d * 14, 100, 16 + d * 14, 112}, 0, true, d);
  PaintDropDownArrow(c, {60, 100, 76, 112}, GlyphStyleXP, true);
  PaintDropDownArrow(c, {80, 100, 96, 112}, 0, false);
  PaintCloseCross(c, {100, 100, 110, 110}, clBlack);
  PaintCloseCross(c, {114, 100, 128, 114}, RGB(160, 0, 0));
  const TColor hot = RGB(255, 200, 60), hot2 = RGB(240, 120, 0);
  for (int state = CheckUnchecked; state <= CheckGrayed; ++state)
    for (int draw = GlyphNormal; draw <= GlyphDisabled; ++draw) {
      const int x = 4 + (state * 4 + draw) * 16;
      PaintCheckGlyph(c, {x, 118, x + 13, 131}, state, clInfoBk, false, false, hot, hot2, clBtnFace, clWindow,
                      clWindow, clWindowText, RGB(28, 81, 128), htsInterior, false, draw);
      PaintRadioGlyph(c, {x, 134, x + 13, 147}, state == CheckChecked, clInfoBk, false, false, hot, hot2, clBtnFace,
                      clWindow, clWindow, clWindowText, RGB(28, 81, 128), clBtnFace, clBtnFace,
                      draw == GlyphHot && state == CheckGrayed ? htsFrame : htsInterior, false, draw);
    }
  PaintHighlightRing(c, {200, 100, 216, 116}, gdDiagonalDown, hot, hot2);
  PaintBoxCorners(c, {220, 100, 240, 116}, clBlack, 4);
  PaintDottedFocusFrame(c, {244, 100, 270, 116});
  EXPECT_TRUE(test::MatchesSnapshot(*p.Px.Surface, "fccommon-frames-glyphs"));
}

}  // namespace

// ---- legacy readers, non-client frames, the hot-track rule, monitors ----

namespace {

// A component that once had five properties more, one of each kind.
class TLegacyProbe : public TComponent {
 public:
  using TComponent::TComponent;
  int Tag2() const { return FTag2; }
  void SetTag2(int V) { FTag2 = V; }

 protected:
  void DefineProperties(TFiler* Filer) override {
    TComponent::DefineProperties(Filer);
    Filer->DefineProperty("OldFlag", &TFcOldPropReader::ReadOldBooleanProp, nullptr, false);
    Filer->DefineProperty("OldCount", &TFcOldPropReader::ReadOldIntegerProp, nullptr, false);
    Filer->DefineProperty("OldText", &TFcOldPropReader::ReadOldStringProp, nullptr, false);
    Filer->DefineProperty("OldStyle", &TFcOldPropReader::SkipLegacyEnum, nullptr, false);
    Filer->DefineProperty("OldSides", &TFcOldPropReader::ReadOldSetProp, nullptr, false);
  }

 private:
  int FTag2 = 0;
};

const classes::TPublished<TLegacyProbe, TComponent> LegacyProbeInfo([](auto& p) {
  p.Int("Tag2", &TLegacyProbe::Tag2, &TLegacyProbe::SetTag2);
});

TEST(FcCommonServices, LegacyReadersTakeExactlyOneValue) {
  TLegacyProbe probe(nullptr);
  ReadComponentText(&probe, R"(object Probe: TLegacyProbe
  OldFlag = True
  OldCount = 42
  OldText = 'gone'
  OldStyle = fsBump
  OldSides = [sdLeft, sdTop]
  Tag2 = 7
end
)");
  EXPECT_EQ(probe.Tag2(), 7);
  // A value of the wrong kind is an error, not a silent skip.
  TLegacyProbe wrong(nullptr);
  EXPECT_THROW(ReadComponentText(&wrong, "object Probe: TLegacyProbe\n  OldSides = fsBump\nend\n"), Exception);
}

// A control with a 2-pixel frame that counts its frame paintings.
class TFrameCounter : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  int FramePaints = 0;

 protected:
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_NCCALCSIZE) {
      TCustomControl::WndProc(M);
      TRect* r = M.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(M.LParam)->rgrc[0] : reinterpret_cast<TRect*>(M.LParam);
      InflateRect(r, -2, -2);
      return;
    }
    if (M.Msg == WM_NCPAINT) ++FramePaints;
    TCustomControl::WndProc(M);
  }
};

class FcFrameWindowTest : public test::HeadlessTest {};

TEST_F(FcFrameWindowTest, NonClientFrameIsAskedForOnlyWhenTheWindowShows) {
  TForm form(nullptr);
  form.SetBounds(10, 10, 200, 120);
  auto* control = new TFrameCounter(&form);
  control->SetParent(&form);
  control->SetBounds(10, 10, 80, 24);
  EXPECT_FALSE(InvalidateNonClientFrame(control->Handle(), {0, 0, 80, 24}));
  form.Show();
  App.ProcessMessages();
  const int before = control->FramePaints;
  EXPECT_TRUE(InvalidateNonClientFrame(control->Handle(), {0, 0, 80, 24}));
  App.ProcessMessages();
  EXPECT_GT(control->FramePaints, before);

  // The frame is the control's own unless visual styles frame it.
  EXPECT_TRUE(PaintsOwnFrame(true, fpXPThemes));
  EXPECT_FALSE(PaintsOwnFrame(false, fpCustomFraming));
  os::SetThemeActive(true);
  EXPECT_FALSE(PaintsOwnFrame(true, fpXPThemes));
  EXPECT_TRUE(PaintsOwnFrame(true, fpCustomFraming));
  os::SetThemeActive(false);
  EXPECT_TRUE(FrameIsHot(true, false, true));
  EXPECT_TRUE(FrameIsHot(true, true, false));
  EXPECT_FALSE(FrameIsHot(false, true, true));
  EXPECT_FALSE(FrameIsHot(true, false, false));

  // The work area is the nearest monitor's; a point off every monitor finds none.
  const TRect work = GetWindowWorkArea(control);
  EXPECT_FALSE(work.IsEmpty());
  EXPECT_EQ(GetWindowWorkAreaWidth(control), work.Width());
  TMonitor* monitor = FindMonitorAtPoint({work.Left + 1, work.Top + 1});
  ASSERT_NE(monitor, nullptr);
  EXPECT_EQ(GetMonitorWorkRect(monitor), work);
  EXPECT_TRUE(GetMonitorRect(monitor).Contains({work.Left, work.Top}));
  EXPECT_EQ(FindMonitorAtPoint({-100000, -100000}), nullptr);
}

}  // namespace
