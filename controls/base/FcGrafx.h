#pragma once
// The control library's colour arithmetic (an HSL model on a 0..240 scale), the three XP colour
// schemes and the look-ups of gradient colours in them, the two-colour gradient painter, and the
// bitmap and text routines the framed controls paint with.
#include <cstdint>
#include <string>

#include "platform/controls/Controls.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

// The directions of PaintGradientRect (fixed ordinals: window definitions store them).
enum TGradientDirection {
  gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox, gdVerticalEnd,
  gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
const classes::TEnumInfo& EnumInfo(TGradientDirection);

enum TFcGradientColorStyle { gcsSystem, gcsMSOffice, gcsCustom };
const classes::TEnumInfo& EnumInfo(TFcGradientColorStyle);

// An HSL triple, each part on 0..240.
struct THsl {
  uint8_t H = 0, S = 0, L = 0;
  bool operator==(const THsl&) const = default;
};

THsl ColorToHsl(TColor Color);
uint8_t HueOfColor(TColor Color);
// Hue is divided by 239, so hue 239 is the same colour as hue 0.
TColor HslToColor(int H, int S, int L);
// The luminance moved by Amount (not below 0; at or above 240 white); hue and saturation kept.
TColor DarkenColor(TColor Color, int Amount);
TColor BrightenColor(TColor Color, int Amount);
// Amount < 0 darkens by -Amount, > 0 brightens; a magnitude past 255 counts as 255.
TColor AdjustColorLuminance(TColor Color, int Amount);
// Each channel round(w * A + (1 - w) * B), w = Weight / 255.
TColor MixColors(TColor A, TColor B, uint8_t Weight);
TColor XorColors(TColor A, TColor B);
// True when hue differs by less than 20 and luminance by less than 60.
bool ColorsAreClose(TColor Fore, TColor Back);
// The hue turned by 120, full saturation, the given luminance.
TColor ComplementColor(TColor Color, int Luminance);

// Whether the screen reports no palette (read once when the library starts).
bool FullColorDisplay();
bool HasFullColorDisplay();
// Tests switch the palette case with it.
void SetFullColorDisplay(bool Value);
// The active XP colour scheme: 0 blue, 1 olive green, 2 silver.
uint8_t XPColorSchemeIndex();
void SetXPColorSchemeIndex(uint8_t Value);
// Reads the scheme from the theme manager's "ColorName" in the registry.
uint8_t ReadXPColorScheme();
// The colour of role 0..7 in a scheme's block.
TColor XPSchemeColor(uint8_t Scheme, int Role);
// A colour of the active visual style: clBtnFace while visual styles are off, white for an
// index outside 0..6.
TColor GetXPThemeColor(int Index);

void GetSelectionGradientColors(TFcGradientColorStyle Style, TColor& Frame, TColor& Start, TColor& Stop);
void GetPanelGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop);
TColor GetPanelFrameColor(TFcGradientColorStyle Style);
void GetStatusBarGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop, TColor& Divider);
void GetGroupBarGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop);

// A two-colour gradient in R. In the linear directions ColorC lies at the top or left edge; the
// box directions run from ColorB outside to ColorC at the centre; gdDiagonalUp from ColorC at the
// bottom-left corner to ColorB at the top-right, gdDiagonalDown from the top-left to the
// bottom-right. Steps is the smallest band in rows (over 8: 255 div Steps + 1).
void PaintGradientRect(TCanvas* Canvas, const TRect& R, TGradientDirection Direction, uint8_t Steps, TColor ColorB,
                       TColor ColorC);
// Copies the painted strip at (X, Y) of StripWidth x StripHeight across FullWidth x FullHeight by
// doubling copies, first along the rows, then down.
void ReplicateStrip(HDC DC, int X, int Y, DWORD Rop, int StripHeight, int StripWidth, int FullHeight, int FullWidth);
// Mirrors the top-left quadrant of Width x Height at (X, Y) onto the other three.
void MirrorQuadrant(HDC DC, int X, int Y, DWORD Rop, int Height, int Width);
// Stretches SourceRect of Bitmap onto DestRect, leaving the pixels of TransparentColor unpainted.
void PaintStretchedTransparent(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect, TColor TransparentColor,
                               const TRect& SourceRect);
// Paints the parent's background (erase, then its client) into DC under Control.
void PaintParentBackground(TControl* Control, HDC DC, bool InvalidateParent);
void PaintParentBackground(TControl* Control, TCanvas* Canvas, bool InvalidateParent);

int DrawCanvasText(TCanvas* Canvas, const std::string& Text, TRect& R, UINT Flags);
void DrawCanvasTextCentered(TCanvas* Canvas, const std::string& Text, const TRect& R);
// A font like Font turned by AngleDegrees; the caller owns the handle.
HFONT CreateRotatedFont(TFont* Font, int AngleDegrees);
bool IsTrueTypeFontFace(TFont* Font);
int MinHeightForFont(TFont* Font);
