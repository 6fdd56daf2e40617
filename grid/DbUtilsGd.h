#pragma once
// The drawing routines every painted grid cell passes through: text in a rectangle (alignment,
// layout, word wrap, end ellipsis, right-to-left reading), rotated text for titles, an image
// of an image list or a graphic clipped to a cell, an edit button or check box inside a cell,
// the incremental-search highlight, and a few rectangle and message helpers. They work on any
// canvas; the only state is one off-screen bitmap that all grids share, used where the
// display cannot show the brush colour exactly (a palette display dithers it).
#include <string>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/Alignment.h"
#include "platform/controls/Grids.h"
#include "platform/controls/StdLabels.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/ImgList.h"

// ---- the shared off-screen bitmap ----
// Made by the first grid that acquires it, freed when the last one releases it; its size only
// grows. Nullptr while no grid holds it.
TBitmap* SharedDrawBitmap();
void AcquireDrawBitmap();
void ReleaseDrawBitmap();
// How many grids hold it.
int SharedDrawBitmapUsers();

// ---- text-drawing flags ----
// Left, right or centre (indexed by TAlignment), each with tab expansion and no prefix.
inline constexpr UINT DrawTextAlignFlags[] = {DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX,
                                              DT_RIGHT | DT_EXPANDTABS | DT_NOPREFIX,
                                              DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX};
// Right-to-left reading, indexed by a Boolean.
inline constexpr UINT DrawTextRtlFlags[] = {0, DT_RTLREADING};
// As DrawTextAlignFlags, with word break: rotated text.
inline constexpr UINT DrawTextVertAlignFlags[] = {DT_LEFT | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK,
                                                  DT_RIGHT | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK,
                                                  DT_CENTER | DT_EXPANDTABS | DT_NOPREFIX | DT_WORDBREAK};

// ---- text ----
// Text in Rect with the canvas's font and brush. FillRect fills Rect with the brush, else the
// text is drawn on what is there. DX, DY: insets from the left (left and centre alignment) and
// top (top layout, or a text too high for its layout). A single line of right-aligned text
// ends 3 pixels inside Rect whatever DX is. Margins and right-to-left reading count for word
// wrap and for the off-screen path only.
void WriteCellText(TCanvas* Canvas, const TRect& Rect, bool FillRect, int DX, int DY, const std::string& Text,
                   TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool EndEllipsis, int LeftMargin,
                   int RightMargin, bool RightToLeftReading);
// Text through DrawTextEx in Rect shrunk by DX and DY, placed by Layout.
void DrawWrappedText(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                     TTextLayout Layout, bool WordWrap, bool EndEllipsis, int LeftMargin, int RightMargin,
                     bool RightToLeftReading);
// Text, or as many of its first characters followed by "..." as fit in MaxWidth ("..." alone
// when none do). Characters are code points.
std::string ShortenTextWithEllipsis(const std::string& Text, TCanvas* Canvas, int MaxWidth);
// Text rotated by 90 degrees (running upwards) in Rect; Layout 0 top, 1 centre, 2 bottom.
// Answers the text's extent along its baseline; MeasureOnly draws nothing. EndEllipsis is not
// used.
int WriteCellTextVertical(TCanvas* Canvas, const TRect& Rect, bool FillRect, bool MeasureOnly, bool EndEllipsis,
                          int Layout, TAlignment Alignment, const std::string& Text, int DY, int DX);
// A new font like Font, rotated by 90 degrees; the caller frees it. "Default" becomes
// "MS Sans Serif".
HFONT MakeVerticalFont(TFont* Font);
// The width of Text with the font's overhang (GetTextExtentPoint32).
int MeasureTextWidth(TCanvas* Canvas, const std::string& Text);
// Measures Text (DT_CALCRECT | DT_NOPREFIX | Flags, with word break when WordWrap) in a
// rectangle as wide as Rect less ReservedWidth less 2 (at least 1) into TextWidth and
// TextHeight; true when the text is wider than that or higher than Rect's height less
// ReservedHeight plus 1.
bool TextOverflowsRect(UINT Flags, TCanvas* Canvas, int ReservedWidth, int& TextWidth, int& TextHeight, bool WordWrap,
                       const TRect& Rect, const std::string& Text, int ReservedHeight);

// ---- images and buttons ----
// Picture ImageIndex of ImageList, or Graphic (one of them), placed by Alignment and DX and
// centred vertically in Rect; clipped to Rect only when it does not fit (the clip region is
// restored afterwards).
void DrawImageClipped(TCustomImageList* ImageList, TGraphic* Graphic, TCanvas* Canvas, TAlignment Alignment, int DX,
                      int ImageIndex, const TRect& Rect);
// An edit button of Style in ButtonRect of a cell (CellRect). Color is the cell's background
// (the flat frame); Active draws it enabled; RightToLeft mirrors it (a right-to-left column).
// Glyph is the picture of the glyph style (may be nullptr).
void DrawEditButtonInCell(TCanvas* Canvas, TBitmap* Glyph, TColor Color, bool Active, bool Flat, const TRect& CellRect,
                          const TRect& ButtonRect, TEditButtonStyleGd Style, bool RightToLeft);
// The typed text of an incremental search drawn again, yellow on black, over the start of the
// cell text where it stands in the full text. Cell is shrunk by DX and DY; Typed is how many
// characters (code points) of CellText were typed. A right-to-left column swaps left and
// right; WordWrap when the column wraps its text.
void DrawIncSearchHighlight(TCanvas* Canvas, const TRect& Cell, int DX, int DY, const std::string& CellText, int Typed,
                            TAlignment Alignment, bool RightToLeft, bool WordWrap);

// ---- rectangles, grids and messages ----
// Right := Left + the old height, Bottom := Top + the old width.
void TransposeRect(TRect& Rect);
// Left <= Col <= Right and Top <= Row <= Bottom.
bool CellInGridRect(int Col, int Row, const TGridRect& Rect);
// Point in Rect, the right and bottom edges included.
bool PointInRectInclusive(TPoint Point, const TRect& Rect);
// Invalidates every cell of grid row Row (nothing when the grid has no window).
void InvalidateGridRow(TCustomGrid* Grid, int Row);
[[noreturn]] void RaiseGridOperationError(const std::string& Message);
// Removes every Message posted to Wnd that waits in the queue.
void DiscardPendingMessage(HWND Wnd, UINT Message);
