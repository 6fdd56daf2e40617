#pragma once
// GDI objects: pens, brushes, bitmaps, regions, palettes, icons and the stock objects, with
// the calls that make, inspect and free them. Handles are opaque values looked up in one
// table: a stale or foreign handle is not found, and the calls answer as for a null handle.
// Objects are used from the GUI thread.
#include <string>
#include <vector>

#include "platform/gdi/Colors.h"
#include "platform/rtl/Types.h"

// Object types (GetObjectType).
enum : DWORD {
  OBJ_PEN = 1,
  OBJ_BRUSH = 2,
  OBJ_DC = 3,
  OBJ_METADC = 4,
  OBJ_PAL = 5,
  OBJ_FONT = 6,
  OBJ_BITMAP = 7,
  OBJ_REGION = 8,
  OBJ_METAFILE = 9,
  OBJ_MEMDC = 10,
  OBJ_EXTPEN = 11,
  OBJ_ENHMETADC = 12,
  OBJ_ENHMETAFILE = 13,
  OBJ_COLORSPACE = 14,
};

// Stock objects (GetStockObject).
enum : int {
  WHITE_BRUSH = 0,
  LTGRAY_BRUSH = 1,
  GRAY_BRUSH = 2,
  DKGRAY_BRUSH = 3,
  BLACK_BRUSH = 4,
  NULL_BRUSH = 5,
  HOLLOW_BRUSH = 5,
  WHITE_PEN = 6,
  BLACK_PEN = 7,
  NULL_PEN = 8,
  OEM_FIXED_FONT = 10,
  ANSI_FIXED_FONT = 11,
  ANSI_VAR_FONT = 12,
  SYSTEM_FONT = 13,
  DEVICE_DEFAULT_FONT = 14,
  DEFAULT_PALETTE = 15,
  SYSTEM_FIXED_FONT = 16,
  DEFAULT_GUI_FONT = 17,
  DC_BRUSH = 18,
  DC_PEN = 19,
};

// Pen styles, end caps, joins and type (CreatePen, ExtCreatePen).
enum : DWORD {
  PS_SOLID = 0,
  PS_DASH = 1,
  PS_DOT = 2,
  PS_DASHDOT = 3,
  PS_DASHDOTDOT = 4,
  PS_NULL = 5,
  PS_INSIDEFRAME = 6,
  PS_USERSTYLE = 7,
  PS_ALTERNATE = 8,
  PS_STYLE_MASK = 0x0000000F,
  PS_ENDCAP_ROUND = 0x00000000,
  PS_ENDCAP_SQUARE = 0x00000100,
  PS_ENDCAP_FLAT = 0x00000200,
  PS_ENDCAP_MASK = 0x00000F00,
  PS_JOIN_ROUND = 0x00000000,
  PS_JOIN_BEVEL = 0x00001000,
  PS_JOIN_MITER = 0x00002000,
  PS_JOIN_MASK = 0x0000F000,
  PS_COSMETIC = 0x00000000,
  PS_GEOMETRIC = 0x00010000,
  PS_TYPE_MASK = 0x000F0000,
};

// Brush styles and hatches (LOGBRUSH, CreateHatchBrush).
enum : UINT {
  BS_SOLID = 0,
  BS_NULL = 1,
  BS_HOLLOW = 1,
  BS_HATCHED = 2,
  BS_PATTERN = 3,
  BS_INDEXED = 4,
  BS_DIBPATTERN = 5,
  BS_DIBPATTERNPT = 6,
  BS_PATTERN8X8 = 7,
  BS_DIBPATTERN8X8 = 8,
};
enum : int {
  HS_HORIZONTAL = 0,  // -----
  HS_VERTICAL = 1,    // |||||
  HS_FDIAGONAL = 2,   // \\\\\ (top left to bottom right)
  HS_BDIAGONAL = 3,   // ///// (bottom left to top right)
  HS_CROSS = 4,       // +++++
  HS_DIAGCROSS = 5,   // xxxxx
};
enum : UINT { DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1 };

struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  TPoint lopnWidth;  // only X is used
  COLORREF lopnColor = 0;
};
struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  uintptr_t lbHatch = 0;  // the hatch style, or the pattern bitmap (HBITMAP) for BS_PATTERN
};
struct EXTLOGPEN {
  DWORD elpPenStyle = 0;
  DWORD elpWidth = 0;
  UINT elpBrushStyle = BS_SOLID;
  COLORREF elpColor = 0;
  uintptr_t elpHatch = 0;
  DWORD elpNumEntries = 0;
  DWORD elpStyleEntry[1] = {0};
};

// Bitmaps.
struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;
};
enum : DWORD { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;  // positive: rows bottom-up; negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};
// A header followed by its colour table (up to 256 entries for palettised formats).
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
};
struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

// Palettes: the display is true colour; a palette only keeps its entries.
struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};
struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[256];
};

// Icons and cursors: a colour bitmap drawn through a monochrome mask (AND mask, then the
// colour XORed in), or a 32-bit colour bitmap with alpha.
struct ICONINFO {
  BOOL fIcon = TRUE;
  DWORD xHotspot = 0;
  DWORD yHotspot = 0;
  HBITMAP hbmMask = nullptr;
  HBITMAP hbmColor = nullptr;
};

// Region results and combine modes.
enum : int { ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3, RGN_ERROR = 0 };
enum : int { RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5 };
// Polygon fill modes.
enum : int { ALTERNATE = 1, WINDING = 2 };

// Pens.
HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* Pen);
// A cosmetic pen (width 1, any style) or a geometric one (any width, end caps and joins).
// PS_USERSTYLE takes StyleCount dash and gap lengths from Style.
HPEN ExtCreatePen(DWORD PenStyle, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* Style);

// Brushes.
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
// A brush repeating a bitmap (a monochrome one takes the text and background colours of the
// DC it paints on). The brush keeps its own copy of the pixels.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush);
// A brush of a system colour; it is not freed by DeleteObject.
HBRUSH GetSysColorBrush(int Index);

// Bitmaps. Planes × BitsPerPixel 1 makes a monochrome bitmap; anything else a 32-bit one.
// Bits, when given, are rows of the given depth, each padded to 16 bits (the device-dependent
// layout).
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits);
HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap);
// A bitmap in the format of the bitmap selected into DC (a DC's first bitmap is a monochrome
// 1 × 1 one; a window's or the screen's DC gives 32-bit colour).
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
// A device-independent bitmap whose pixels the program reaches through *Bits (32 bits per
// pixel; 1 bit per pixel for masks). Rows follow the header's height sign.
HBITMAP CreateDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section, DWORD Offset);
// Reads rows StartScan .. StartScan + Lines - 1 (counted from the bottom for a bottom-up
// header) into Bits in the header's format (1, 4, 8, 24 or 32 bits per pixel). With Bits
// null, fills in the header from the bitmap. Returns the number of rows copied (0 on error).
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits);
LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits);
BOOL GetBitmapDimensionEx(HBITMAP Bitmap, TSize* Size);

// Regions. Rectangles are inclusive-exclusive; an ellipse or rounded rectangle fills its
// bounding box the way Ellipse and RoundRect fill with a null pen.
HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const TRect* R);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const TRect* R);
HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const TPoint* Points, const int* Counts, int PolygonCount, int FillMode);
// Dest = Src1 op Src2 (Src2 unused by RGN_COPY); Dest may be one of the sources.
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
int OffsetRgn(HRGN Region, int Dx, int Dy);
BOOL PtInRegion(HRGN Region, int X, int Y);
BOOL RectInRegion(HRGN Region, const TRect* R);
BOOL EqualRgn(HRGN A, HRGN B);
int GetRgnBox(HRGN Region, TRect* Box);
BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom);

// Palettes.
HPALETTE CreatePalette(const LOGPALETTE* Palette);
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);

// Icons. The icon keeps its own copies of the bitmaps; GetIconInfo hands out new copies,
// which the caller frees.
HICON CreateIconIndirect(const ICONINFO* Info);
BOOL GetIconInfo(HICON Icon, ICONINFO* Info);
BOOL DestroyIcon(HICON Icon);
BOOL DestroyCursor(HCURSOR Cursor);
HICON CopyIcon(HICON Icon);
enum : UINT { IMAGE_BITMAP = 0, IMAGE_ICON = 1, IMAGE_CURSOR = 2 };
enum : UINT {
  LR_DEFAULTCOLOR = 0x0000,
  LR_MONOCHROME = 0x0001,
  LR_COPYRETURNORG = 0x0004,
  LR_COPYDELETEORG = 0x0008,
  LR_CREATEDIBSECTION = 0x2000,
  LR_COPYFROMRESOURCE = 0x4000,
};
// A copy of a bitmap or icon, resized to Width × Height when they are not 0 (stretched).
// Image is an HBITMAP or HICON (any handle converts); the answer is of the same kind.
HGDIOBJ CopyImage(HGDIOBJ Image, UINT Type, int Width, int Height, UINT Flags);

// Any object.
HGDIOBJ GetStockObject(int Index);
// Frees an object. An object still selected into a DC stays usable by that DC until it is
// deselected; stock objects are never freed. Answers FALSE for an unknown handle and for DCs.
BOOL DeleteObject(HGDIOBJ Object);
// Copies the object's description (LOGPEN/EXTLOGPEN, LOGBRUSH, BITMAP/DIBSECTION, LOGFONT,
// a palette's entry count as a WORD) into Buffer; with Buffer null answers the size needed.
int GetObject(HGDIOBJ Object, int Size, void* Buffer);
DWORD GetObjectType(HGDIOBJ Object);
