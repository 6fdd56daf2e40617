#pragma once
// Block transfers: patterns, copies between DCs with ternary raster operations, stretching,
// transparent and masked copies, alpha blending and gradients. Between a monochrome and a
// colour DC pixels convert as the platform does: a monochrome source paints its 0 bits in
// the destination's text colour and its 1 bits in the destination's background colour; a
// colour source gives 1 where a pixel equals the source's background colour, else 0.
#include "platform/gdi/DC.h"

// Ternary raster operations: the result from the brush pattern (P = 0xF0), the source
// (S = 0xCC) and the destination (D = 0xAA), as a truth table in bits 16..23.
enum : DWORD {
  SRCCOPY = 0x00CC0020,      // S
  SRCPAINT = 0x00EE0086,     // S | D
  SRCAND = 0x008800C6,       // S & D
  SRCINVERT = 0x00660046,    // S ^ D
  SRCERASE = 0x00440328,     // S & ~D
  NOTSRCCOPY = 0x00330008,   // ~S
  NOTSRCERASE = 0x001100A6,  // ~(S | D)
  MERGECOPY = 0x00C000CA,    // P & S
  MERGEPAINT = 0x00BB0226,   // ~S | D
  PATCOPY = 0x00F00021,      // P
  PATPAINT = 0x00FB0A09,     // P | ~S | D
  PATINVERT = 0x005A0049,    // P ^ D
  DSTINVERT = 0x00550009,    // ~D
  BLACKNESS = 0x00000042,    // 0
  WHITENESS = 0x00FF0062,    // 1
  NOMIRRORBITMAP = 0x80000000,
  CAPTUREBLT = 0x40000000,
};
// MaskBlt's operation from two ternary ones: Fore where the mask is 1, Back where it is 0.
constexpr DWORD MAKEROP4(DWORD Fore, DWORD Back) { return ((Back << 8) & 0xFF000000u) | Fore; }

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop);
// A negative width or height on one side (not both) mirrors the picture.
BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, DWORD Rop);
// Pixels of Src equal to Transparent are left out; the rest are copied (stretched).
BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                    int HeightSrc, UINT Transparent);
// BitBlt through a monochrome mask: Rop's foreground operation where the mask bit is 1,
// its background one where it is 0. Without a mask, the foreground operation everywhere.
BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, HBITMAP Mask, int XMask,
             int YMask, DWORD Rop);

// Alpha blending.
enum : BYTE { AC_SRC_OVER = 0x00, AC_SRC_ALPHA = 0x01 };
struct BLENDFUNCTION {
  BYTE BlendOp = AC_SRC_OVER;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;  // AC_SRC_ALPHA: the source has premultiplied alpha per pixel
};
BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, BLENDFUNCTION Blend);

// Gradients: colour channels are 16-bit (0xFF00 is full intensity).
struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0;
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
  ULONG UpperLeft = 0;
  ULONG LowerRight = 0;
};
struct GRADIENT_TRIANGLE {
  ULONG Vertex1 = 0;
  ULONG Vertex2 = 0;
  ULONG Vertex3 = 0;
};
enum : ULONG { GRADIENT_FILL_RECT_H = 0, GRADIENT_FILL_RECT_V = 1, GRADIENT_FILL_TRIANGLE = 2 };
// Rectangles run from the upper-left vertex's colour at their first column (or row) to the
// lower-right vertex's colour at their last one.
BOOL GradientFill(HDC DC, const TRIVERTEX* Vertices, ULONG VertexCount, const void* Mesh, ULONG MeshCount, ULONG Mode);

// Bitmap bits straight to a DC.
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop);
int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
