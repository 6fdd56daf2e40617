#pragma once
// The control library's shared enumerations (frame styles, sides, text styles, orientation,
// visual style...) with the names window definitions use, and the plain painting routines the
// library's controls draw with for now: a frame of a style, a face, a caption.
#include <string>

#include "controls/base/FcGrafx.h"
#include "platform/classes/Alignment.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/rtl/Sets.h"

enum TFrameStyleEx {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold,
  fsFlatRounded
};
// The styles up to fsFlatBold (no rounded frame).
using TFrameStyle = TFrameStyleEx;
enum TSide { sdLeft, sdTop, sdRight, sdBottom };
using TSides = TSet<TSide>;
inline constexpr TSides AllSides{sdLeft, sdTop, sdRight, sdBottom};
enum TTextStyle { tsNormal, tsRaised, tsRecessed, tsShadow };
enum TAlignmentVertical { avTop, avCenter, avBottom };
enum TOrientation { orHorizontal, orVertical };
enum TFcVisualStyle { vsClassic, vsWinXP, vsGradient };
enum TFramingPreference { fpCustomFraming, fpXPThemes };
enum TFcHotTrackColorType { htctComplement, htctActual };
enum TFcButtonHotTrackStyle { htsInterior, htsFrame };
enum TFcScrollStyle { scsNone, scsLeft, scsUp, scsRight, scsDown };

const classes::TEnumInfo& EnumInfo(TFrameStyleEx);
const classes::TEnumInfo& EnumInfo(TSide);
const classes::TEnumInfo& EnumInfo(TTextStyle);
const classes::TEnumInfo& EnumInfo(TAlignmentVertical);
const classes::TEnumInfo& EnumInfo(TOrientation);
const classes::TEnumInfo& EnumInfo(TFcVisualStyle);
const classes::TEnumInfo& EnumInfo(TFramingPreference);
const classes::TEnumInfo& EnumInfo(TFcHotTrackColorType);
const classes::TEnumInfo& EnumInfo(TFcButtonHotTrackStyle);
const classes::TEnumInfo& EnumInfo(TFcScrollStyle);

namespace fc {

// Width in pixels of a frame style's border (fsStatus and fsPopup: BevelWidth).
// Fills R with a solid brush of the colour (the background of an opaque control).
void FillSolid(TCanvas* Canvas, const TRect& R, TColor Colour);
int FrameWidth(TFrameStyleEx Style, int BevelWidth = 1);
// Draws a frame of Style on the chosen sides of R and shrinks R to what lies inside.
// Colour is the ring colour of the flat styles (clNone: the style's system colour).
void DrawFrame(TCanvas* Canvas, TRect& R, TFrameStyleEx Style, TSides Sides = AllSides, TColor Colour = clNone);
// Draws Text in R on the canvas's font, aligned both ways; WordWrap breaks long lines.
// The canvas brush is left clear afterwards.
void DrawCaption(TCanvas* Canvas, TRect R, const std::string& Text, TAlignment Alignment = taLeftJustify,
                 TAlignmentVertical Vertical = avCenter, bool WordWrap = false);
// The same text drawn raised or recessed: once offset in the highlight or shadow colour, then
// in the font's colour.
void DrawStyledCaption(TCanvas* Canvas, TRect R, const std::string& Text, TTextStyle Style, TColor Highlight,
                       TColor Shadow, TAlignment Alignment, TAlignmentVertical Vertical, bool WordWrap);
// A button face: filled with Face, raised (or sunken when Down), optionally flat.
void DrawButtonFace(TCanvas* Canvas, TRect& R, TColor Face, bool Down, bool Flat);

// Draws cell Index of a glyph strip of NumGlyphs cells at (X, Y); the strip's transparent
// colour (its bottom-left pixel) shows Background.
void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, TColor Background);
// A glyph (when it has one) and a caption side by side, centred as a group in R.
void DrawGlyphAndCaption(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, int GlyphIndex,
                         const std::string& Caption, TColor Background, int Spacing = 4);

}  // namespace fc
