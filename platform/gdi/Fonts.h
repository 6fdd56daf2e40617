#pragma once
// Fonts: the logical font description, font objects and the metrics of the font selected into
// a DC. (The font engine behind them lives in its own units; DCState.h holds the object kind.)
#include <string>

#include "platform/gdi/DC.h"

enum : int {
  FW_DONTCARE = 0,
  FW_THIN = 100,
  FW_EXTRALIGHT = 200,
  FW_LIGHT = 300,
  FW_NORMAL = 400,
  FW_REGULAR = 400,
  FW_MEDIUM = 500,
  FW_SEMIBOLD = 600,
  FW_BOLD = 700,
  FW_EXTRABOLD = 800,
  FW_HEAVY = 900,
};
enum : BYTE {
  ANSI_CHARSET = 0,
  DEFAULT_CHARSET = 1,
  SYMBOL_CHARSET = 2,
  SHIFTJIS_CHARSET = 128,
  HANGEUL_CHARSET = 129,
  GB2312_CHARSET = 134,
  CHINESEBIG5_CHARSET = 136,
  OEM_CHARSET = 255,
  RUSSIAN_CHARSET = 204,
  EASTEUROPE_CHARSET = 238,
  GREEK_CHARSET = 161,
  TURKISH_CHARSET = 162,
  BALTIC_CHARSET = 186,
  HEBREW_CHARSET = 177,
  ARABIC_CHARSET = 178,
  THAI_CHARSET = 222,
  VIETNAMESE_CHARSET = 163,
  MAC_CHARSET = 77,
  JOHAB_CHARSET = 130,
};
enum : BYTE {
  OUT_DEFAULT_PRECIS = 0,
  OUT_STRING_PRECIS = 1,
  OUT_CHARACTER_PRECIS = 2,
  OUT_STROKE_PRECIS = 3,
  OUT_TT_PRECIS = 4,
  OUT_DEVICE_PRECIS = 5,
  OUT_RASTER_PRECIS = 6,
  OUT_TT_ONLY_PRECIS = 7,
  OUT_OUTLINE_PRECIS = 8,
};
enum : BYTE { CLIP_DEFAULT_PRECIS = 0, CLIP_CHARACTER_PRECIS = 1, CLIP_STROKE_PRECIS = 2 };
enum : BYTE {
  DEFAULT_QUALITY = 0,
  DRAFT_QUALITY = 1,
  PROOF_QUALITY = 2,
  NONANTIALIASED_QUALITY = 3,
  ANTIALIASED_QUALITY = 4,
  CLEARTYPE_QUALITY = 5,
};
// Pitch (low bits) and family (high bits) of lfPitchAndFamily.
enum : BYTE {
  DEFAULT_PITCH = 0,
  FIXED_PITCH = 1,
  VARIABLE_PITCH = 2,
  FF_DONTCARE = 0x00,
  FF_ROMAN = 0x10,
  FF_SWISS = 0x20,
  FF_MODERN = 0x30,
  FF_SCRIPT = 0x40,
  FF_DECORATIVE = 0x50,
};
// TEXTMETRIC.tmPitchAndFamily bits.
enum : BYTE { TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04, TMPF_DEVICE = 0x08 };

// A logical font. lfHeight < 0 is the character height in pixels, > 0 the cell height, 0 a
// default size; lfEscapement is the angle of the base line in tenths of a degree.
struct LOGFONT {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = FW_NORMAL;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = DEFAULT_CHARSET;
  BYTE lfOutPrecision = OUT_DEFAULT_PRECIS;
  BYTE lfClipPrecision = CLIP_DEFAULT_PRECIS;
  BYTE lfQuality = DEFAULT_QUALITY;
  BYTE lfPitchAndFamily = DEFAULT_PITCH;
  std::string lfFaceName;  // UTF-8
  bool operator==(const LOGFONT&) const = default;
};
using TLogFont = LOGFONT;

struct TEXTMETRIC {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 96;
  LONG tmDigitizedAspectY = 96;
  char32_t tmFirstChar = 0;
  char32_t tmLastChar = 0;
  char32_t tmDefaultChar = 0;
  char32_t tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TTextMetric = TEXTMETRIC;

struct PANOSE {
  BYTE bFamilyType = 0, bSerifStyle = 0, bWeight = 0, bProportion = 0, bContrast = 0;
  BYTE bStrokeVariation = 0, bArmStyle = 0, bLetterform = 0, bMidline = 0, bXHeight = 0;
};
struct OUTLINETEXTMETRIC {
  UINT otmSize = sizeof(OUTLINETEXTMETRIC);
  TEXTMETRIC otmTextMetrics;
  BYTE otmFiller = 0;
  PANOSE otmPanoseNumber;
  UINT otmfsSelection = 0;
  UINT otmfsType = 0;
  int otmsCharSlopeRise = 1;
  int otmsCharSlopeRun = 0;
  int otmItalicAngle = 0;
  UINT otmEMSquare = 0;
  int otmAscent = 0;
  int otmDescent = 0;
  UINT otmLineGap = 0;
  UINT otmsCapEmHeight = 0;
  UINT otmsXHeight = 0;
  TRect otmrcFontBox;
  int otmMacAscent = 0;
  int otmMacDescent = 0;
  UINT otmMacLineGap = 0;
  UINT otmusMinimumPPEM = 0;
  TPoint otmptSubscriptSize;
  TPoint otmptSubscriptOffset;
  TPoint otmptSuperscriptSize;
  TPoint otmptSuperscriptOffset;
  UINT otmsStrikeoutSize = 0;
  int otmsStrikeoutPosition = 0;
  int otmsUnderscoreSize = 0;
  int otmsUnderscorePosition = 0;
  std::string otmpFamilyName;
  std::string otmpFaceName;
  std::string otmpStyleName;
  std::string otmpFullName;
};

struct ABC {
  int abcA = 0;
  UINT abcB = 0;
  int abcC = 0;
};

HFONT CreateFontIndirect(const LOGFONT* Font);
HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                 DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                 DWORD PitchAndFamily, const std::string& FaceName);
BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metrics);
// Answers the size of the record filled in (0 on error).
UINT GetOutlineTextMetrics(HDC DC, UINT Size, OUTLINETEXTMETRIC* Metrics);
// Widths of the characters First .. Last (code points).
BOOL GetCharWidth(HDC DC, UINT First, UINT Last, int* Widths);
BOOL GetCharWidth32(HDC DC, UINT First, UINT Last, int* Widths);
BOOL GetCharABCWidths(HDC DC, UINT First, UINT Last, ABC* Widths);
// The face name of the selected font; answers its length in bytes.
int GetTextFace(HDC DC, std::string* Name);
