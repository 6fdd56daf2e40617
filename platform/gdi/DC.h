#pragma once
// Device contexts: a surface to draw into with its origins, clip region, selected objects
// and modes. Logical coordinates map to device ones as device = logical − window origin +
// viewport origin (the text mapping mode; one logical unit is one pixel); with the
// right-to-left layout x is then mirrored across the DC's width. The clip region a program
// selects is in device coordinates and lies within what the DC may draw at all (a window's
// visible part, a bitmap's bounds).
#include "platform/gdi/Objects.h"

// Background modes.
enum : int { TRANSPARENT = 1, OPAQUE = 2 };

// Binary raster operations (SetROP2): the result from the pen (P) and the pixel (D).
enum : int {
  R2_BLACK = 1,        // 0
  R2_NOTMERGEPEN = 2,  // ~(P | D)
  R2_MASKNOTPEN = 3,   // ~P & D
  R2_NOTCOPYPEN = 4,   // ~P
  R2_MASKPENNOT = 5,   // P & ~D
  R2_NOT = 6,          // ~D
  R2_XORPEN = 7,       // P ^ D
  R2_NOTMASKPEN = 8,   // ~(P & D)
  R2_MASKPEN = 9,      // P & D
  R2_NOTXORPEN = 10,   // ~(P ^ D)
  R2_NOP = 11,         // D
  R2_MERGENOTPEN = 12, // ~P | D
  R2_COPYPEN = 13,     // P
  R2_MERGEPENNOT = 14, // P | ~D
  R2_MERGEPEN = 15,    // P | D
  R2_WHITE = 16,       // 1
};

// Stretch modes.
enum : int {
  BLACKONWHITE = 1,
  WHITEONBLACK = 2,
  COLORONCOLOR = 3,
  HALFTONE = 4,
  STRETCH_ANDSCANS = 1,
  STRETCH_ORSCANS = 2,
  STRETCH_DELETESCANS = 3,
  STRETCH_HALFTONE = 4,
};

// Layout (SetLayout).
enum : DWORD { LAYOUT_RTL = 0x00000001, LAYOUT_BITMAPORIENTATIONPRESERVED = 0x00000008 };
constexpr DWORD GDI_ERROR = 0xFFFFFFFF;

// Mapping modes: only MM_TEXT is supported (one logical unit is one pixel).
enum : int { MM_TEXT = 1 };
// Arc directions.
enum : int { AD_COUNTERCLOCKWISE = 1, AD_CLOCKWISE = 2 };

// Device capabilities (GetDeviceCaps).
enum : int {
  DRIVERVERSION = 0,
  TECHNOLOGY = 2,
  HORZSIZE = 4,
  VERTSIZE = 6,
  HORZRES = 8,
  VERTRES = 10,
  BITSPIXEL = 12,
  PLANES = 14,
  NUMBRUSHES = 16,
  NUMPENS = 18,
  NUMFONTS = 22,
  NUMCOLORS = 24,
  ASPECTX = 40,
  ASPECTY = 42,
  ASPECTXY = 44,
  LOGPIXELSX = 88,
  LOGPIXELSY = 90,
  SIZEPALETTE = 104,
  NUMRESERVED = 106,
  COLORRES = 108,
  RASTERCAPS = 38,
  SHADEBLENDCAPS = 120,
  VREFRESH = 116,
  DESKTOPVERTRES = 117,
  DESKTOPHORZRES = 118,
};
enum : int { DT_RASDISPLAY = 1 };
enum : int {
  RC_BITBLT = 1,
  RC_BITMAP64 = 8,
  RC_DI_BITMAP = 0x0080,
  RC_DIBTODEV = 0x0200,
  RC_STRETCHBLT = 0x0800,
  RC_STRETCHDIB = 0x2000,
  RC_PALETTE = 0x0100,
};

// Region modes of ExtSelectClipRgn (RGN_AND .. RGN_COPY, Objects.h).

// Memory DCs (compatible with the screen's 32-bit colour unless DC holds a monochrome
// bitmap): they start with a 1 × 1 monochrome bitmap selected.
HDC CreateCompatibleDC(HDC DC);
BOOL DeleteDC(HDC DC);
// Saves the DC's state; answers its level (1 for the first save), 0 on error.
int SaveDC(HDC DC);
// Restores a saved state: a positive level that state (later ones are dropped), a negative
// one counts back from the latest (−1 the latest).
BOOL RestoreDC(HDC DC, int SavedDC);

// Selects a pen, brush, font or bitmap and answers the one it replaces; a region becomes the
// clip region (the answer is the region type, as SelectClipRgn's). Null on error.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType);
COLORREF SetDCBrushColor(HDC DC, COLORREF Color);
COLORREF GetDCBrushColor(HDC DC);
COLORREF SetDCPenColor(HDC DC, COLORREF Color);
COLORREF GetDCPenColor(HDC DC);
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL ForceBackground);
UINT RealizePalette(HDC DC);

// Modes and colours.
COLORREF SetBkColor(HDC DC, COLORREF Color);
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
COLORREF SetTextColor(HDC DC, COLORREF Color);
COLORREF GetTextColor(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
int GetTextCharacterExtra(HDC DC);
int SetROP2(HDC DC, int Rop2);
int GetROP2(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);
int GetStretchBltMode(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
int GetPolyFillMode(HDC DC);
int SetArcDirection(HDC DC, int Direction);
int GetArcDirection(HDC DC);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetBrushOrgEx(HDC DC, TPoint* Org);
DWORD SetLayout(HDC DC, DWORD Layout);
DWORD GetLayout(HDC DC);
int SetMapMode(HDC DC, int Mode);
int GetMapMode(HDC DC);

// Origins and coordinates.
BOOL SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetViewportOrgEx(HDC DC, TPoint* Org);
BOOL OffsetViewportOrgEx(HDC DC, int Dx, int Dy, TPoint* Old);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old);
BOOL GetWindowOrgEx(HDC DC, TPoint* Org);
BOOL OffsetWindowOrgEx(HDC DC, int Dx, int Dy, TPoint* Old);
BOOL LPtoDP(HDC DC, TPoint* Points, int Count);
BOOL DPtoLP(HDC DC, TPoint* Points, int Count);
BOOL GetCurrentPositionEx(HDC DC, TPoint* Pos);

// Clipping. The clip region is in device coordinates; none selected means no clipping
// beyond the DC's own bounds.
int SelectClipRgn(HDC DC, HRGN Region);
int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode);
// Logical coordinates.
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int Dx, int Dy);
// The smallest rectangle around what can be drawn (logical coordinates), and its kind.
int GetClipBox(HDC DC, TRect* R);
// Copies the selected clip region into Region: 1 when there is one, 0 when there is none,
// −1 on error.
int GetClipRgn(HDC DC, HRGN Region);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const TRect* R);

// The display: 32-bit true colour at 96 pixels per inch, with no palette.
int GetDeviceCaps(HDC DC, int Index);
COLORREF GetNearestColor(HDC DC, COLORREF Color);
// Nothing is buffered; kept for code that flushes before reading pixels.
BOOL GdiFlush();
