#pragma once
// Text output and measuring through the font selected into a DC. Text is UTF-8; lengths and
// positions counted in a text are in bytes unless stated otherwise (the platform's counts
// are characters of the text).
#include <functional>
#include <string>

#include "platform/gdi/Fonts.h"

// Text alignment (SetTextAlign).
enum : UINT {
  TA_NOUPDATECP = 0,
  TA_UPDATECP = 1,
  TA_LEFT = 0,
  TA_RIGHT = 2,
  TA_CENTER = 6,
  TA_TOP = 0,
  TA_BOTTOM = 8,
  TA_BASELINE = 24,
  TA_RTLREADING = 256,
};
// ExtTextOut options.
enum : UINT {
  ETO_OPAQUE = 0x0002,
  ETO_CLIPPED = 0x0004,
  ETO_GLYPH_INDEX = 0x0010,
  ETO_RTLREADING = 0x0080,
  ETO_IGNORELANGUAGE = 0x1000,
};
// DrawText formats.
enum : UINT {
  DT_TOP = 0x00000000,
  DT_LEFT = 0x00000000,
  DT_CENTER = 0x00000001,
  DT_RIGHT = 0x00000002,
  DT_VCENTER = 0x00000004,
  DT_BOTTOM = 0x00000008,
  DT_WORDBREAK = 0x00000010,
  DT_SINGLELINE = 0x00000020,
  DT_EXPANDTABS = 0x00000040,
  DT_TABSTOP = 0x00000080,
  DT_NOCLIP = 0x00000100,
  DT_EXTERNALLEADING = 0x00000200,
  DT_CALCRECT = 0x00000400,
  DT_NOPREFIX = 0x00000800,
  DT_INTERNAL = 0x00001000,
  DT_EDITCONTROL = 0x00002000,
  DT_PATH_ELLIPSIS = 0x00004000,
  DT_END_ELLIPSIS = 0x00008000,
  DT_MODIFYSTRING = 0x00010000,
  DT_RTLREADING = 0x00020000,
  DT_WORD_ELLIPSIS = 0x00040000,
  DT_NOFULLWIDTHCHARBREAK = 0x00080000,
  DT_HIDEPREFIX = 0x00100000,
  DT_PREFIXONLY = 0x00200000,
};
struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;
};

BOOL TextOut(HDC DC, int X, int Y, const std::string& Text);
// Dx, when given, holds the advance of each character (code point) of Text.
BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const TRect* R, const std::string& Text, const int* Dx);
// Answers the height of the text drawn; DT_CALCRECT sets R's right and bottom instead of
// drawing. DT_MODIFYSTRING writes the ellipsis-shortened text back into *Text.
int DrawText(HDC DC, const std::string& Text, TRect* R, UINT Format);
int DrawTextEx(HDC DC, std::string* Text, TRect* R, UINT Format, DRAWTEXTPARAMS* Params);
BOOL GetTextExtentPoint32(HDC DC, const std::string& Text, TSize* Size);
// How many characters of Text fit in MaxExtent (Fit), and the extent after each (Dx).
BOOL GetTextExtentExPoint(HDC DC, const std::string& Text, int MaxExtent, int* Fit, int* Dx, TSize* Size);
LONG TabbedTextOut(HDC DC, int X, int Y, const std::string& Text, int TabCount, const int* TabStops, int TabOrigin);

// GrayString: draws text (or what OutputFunc draws) in the disabled grey.
using GRAYSTRINGPROC = std::function<BOOL(HDC DC, LPARAM Data, int Count)>;
BOOL GrayString(HDC DC, HBRUSH Brush, const GRAYSTRINGPROC& OutputFunc, LPARAM Data, int Count, int X, int Y,
                int Width, int Height);
