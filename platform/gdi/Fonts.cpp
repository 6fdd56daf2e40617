#include "platform/gdi/Fonts.h"

#include <cmath>
#include <numbers>

#include "platform/gdi/SelectedFont.h"

using namespace gdi;

namespace {

TDC* LiveDC(HDC DC) { return DCOf(DC); }

BYTE PitchAndFamily(const TFontMetrics& M) {
  const BYTE family = M.Kind == 'm' ? FF_MODERN : M.Kind == 'r' ? FF_ROMAN : FF_SWISS;
  // The platform's bit named "fixed pitch" is set for variable-pitch fonts.
  return family | TMPF_TRUETYPE | TMPF_VECTOR | (M.FixedPitch ? 0 : TMPF_FIXED_PITCH);
}

void Fill(const TFontMetrics& M, TEXTMETRIC& T) {
  T = TEXTMETRIC{};
  T.tmHeight = M.Height;
  T.tmAscent = M.Ascent;
  T.tmDescent = M.Descent;
  T.tmInternalLeading = M.InternalLeading;
  T.tmExternalLeading = M.ExternalLeading;
  T.tmAveCharWidth = M.AveCharWidth;
  T.tmMaxCharWidth = M.MaxCharWidth;
  T.tmWeight = M.Weight;
  T.tmOverhang = 0;
  T.tmFirstChar = 0x1E;
  T.tmLastChar = 0xFFFC;
  T.tmDefaultChar = 0x1F;
  T.tmBreakChar = 0x20;
  T.tmItalic = M.Italic;
  T.tmUnderlined = M.Underline;
  T.tmStruckOut = M.StrikeOut;
  T.tmPitchAndFamily = PitchAndFamily(M);
  T.tmCharSet = M.CharSet;
}

}  // namespace

HFONT CreateFontIndirect(const LOGFONT* Font) { return Font ? NewFontHandle(*Font) : nullptr; }

HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                 DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                 DWORD PitchAndFamily, const std::string& FaceName) {
  LOGFONT f;
  f.lfHeight = Height;
  f.lfWidth = Width;
  f.lfEscapement = Escapement;
  f.lfOrientation = Orientation;
  f.lfWeight = Weight;
  f.lfItalic = Italic ? 1 : 0;
  f.lfUnderline = Underline ? 1 : 0;
  f.lfStrikeOut = StrikeOut ? 1 : 0;
  f.lfCharSet = static_cast<BYTE>(CharSet);
  f.lfOutPrecision = static_cast<BYTE>(OutPrecision);
  f.lfClipPrecision = static_cast<BYTE>(ClipPrecision);
  f.lfQuality = static_cast<BYTE>(Quality);
  f.lfPitchAndFamily = static_cast<BYTE>(PitchAndFamily);
  f.lfFaceName = FaceName;
  return CreateFontIndirect(&f);
}

BOOL GetTextMetrics(HDC DC, TEXTMETRIC* Metrics) {
  TDC* dc = LiveDC(DC);
  if (!dc || !Metrics) return FALSE;
  Fill(SelectedFont(*dc).Metrics(), *Metrics);
  return TRUE;
}

UINT GetOutlineTextMetrics(HDC DC, UINT Size, OUTLINETEXTMETRIC* Metrics) {
  TDC* dc = LiveDC(DC);
  if (!dc) return 0;
  if (!Metrics) return sizeof(OUTLINETEXTMETRIC);
  if (Size < sizeof(OUTLINETEXTMETRIC)) return 0;
  TRealFont& f = SelectedFont(*dc);
  const TFontMetrics& m = f.Metrics();
  OUTLINETEXTMETRIC& o = *Metrics;
  o = OUTLINETEXTMETRIC{};
  Fill(m, o.otmTextMetrics);
  o.otmsCharSlopeRise = m.SlopeRise;
  o.otmsCharSlopeRun = m.SlopeRun;
  o.otmItalicAngle = m.SlopeRun ? -static_cast<int>(std::lround(std::atan2(m.SlopeRun, m.SlopeRise) * 1800 /
                                                                std::numbers::pi))
                                : 0;
  o.otmEMSquare = static_cast<UINT>(m.UnitsPerEm);
  o.otmAscent = m.Ascent;
  o.otmDescent = -m.Descent;
  o.otmLineGap = static_cast<UINT>(m.ExternalLeading);
  o.otmMacAscent = m.Ascent;
  o.otmMacDescent = -m.Descent;
  o.otmMacLineGap = o.otmLineGap;
  o.otmrcFontBox = {0, m.Ascent, m.MaxCharWidth, -m.Descent};
  o.otmsStrikeoutSize = static_cast<UINT>(m.StrikeOutSize);
  o.otmsStrikeoutPosition = m.StrikeOutOffset;
  o.otmsUnderscoreSize = m.UnderlineSize;
  o.otmsUnderscorePosition = -m.UnderlineOffset;
  o.otmpFamilyName = m.FaceFamily;
  o.otmpFaceName = f.Request().Family.empty() ? m.FaceFamily : f.Request().Family;
  o.otmpStyleName = m.Weight >= FW_SEMIBOLD ? (m.Italic ? "Bold Italic" : "Bold") : (m.Italic ? "Italic" : "Regular");
  o.otmpFullName = o.otmpFaceName + " " + o.otmpStyleName;
  return sizeof(OUTLINETEXTMETRIC);
}

BOOL GetCharWidth32(HDC DC, UINT First, UINT Last, int* Widths) {
  TDC* dc = LiveDC(DC);
  if (!dc || !Widths || Last < First || Last > 0x10FFFF) return FALSE;
  auto f = UprightFont(*dc);
  for (UINT c = First; c <= Last; ++c) Widths[c - First] = f->Advance(c);
  return TRUE;
}

BOOL GetCharWidth(HDC DC, UINT First, UINT Last, int* Widths) { return GetCharWidth32(DC, First, Last, Widths); }

BOOL GetCharABCWidths(HDC DC, UINT First, UINT Last, ABC* Widths) {
  TDC* dc = LiveDC(DC);
  if (!dc || !Widths || Last < First || Last > 0x10FFFF) return FALSE;
  auto f = UprightFont(*dc);
  for (UINT c = First; c <= Last; ++c) {
    const TGlyph& g = f->Glyph(c);
    ABC& w = Widths[c - First];
    w.abcA = g.Width ? g.Left : 0;
    w.abcB = static_cast<UINT>(g.Width);
    w.abcC = g.Advance - w.abcA - g.Width;
  }
  return TRUE;
}

int GetTextFace(HDC DC, std::string* Name) {
  TDC* dc = LiveDC(DC);
  if (!dc) return 0;
  TRealFont& f = SelectedFont(*dc);
  const std::string face = f.Request().Family.empty() ? f.Metrics().FaceFamily : f.Request().Family;
  if (Name) *Name = face;
  return static_cast<int>(face.size());
}
