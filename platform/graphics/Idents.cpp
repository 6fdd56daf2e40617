#include "platform/graphics/Idents.h"

#include "platform/gdi/Fonts.h"
#include "platform/rtl/Strings.h"

const classes::TIdentMap& ColorIdents() {
  static const classes::TIdentMap map{
      "TColor",
      {
          {clBlack, "clBlack"},
          {clMaroon, "clMaroon"},
          {clGreen, "clGreen"},
          {clOlive, "clOlive"},
          {clNavy, "clNavy"},
          {clPurple, "clPurple"},
          {clTeal, "clTeal"},
          {clGray, "clGray"},
          {clSilver, "clSilver"},
          {clRed, "clRed"},
          {clLime, "clLime"},
          {clYellow, "clYellow"},
          {clBlue, "clBlue"},
          {clFuchsia, "clFuchsia"},
          {clAqua, "clAqua"},
          {clWhite, "clWhite"},
          {clMoneyGreen, "clMoneyGreen"},
          {clSkyBlue, "clSkyBlue"},
          {clCream, "clCream"},
          {clMedGray, "clMedGray"},
          {clActiveBorder, "clActiveBorder"},
          {clActiveCaption, "clActiveCaption"},
          {clAppWorkSpace, "clAppWorkSpace"},
          {clBackground, "clBackground"},
          {clBtnFace, "clBtnFace"},
          {clBtnHighlight, "clBtnHighlight"},
          {clBtnShadow, "clBtnShadow"},
          {clBtnText, "clBtnText"},
          {clCaptionText, "clCaptionText"},
          {clDefault, "clDefault"},
          {clGradientActiveCaption, "clGradientActiveCaption"},
          {clGradientInactiveCaption, "clGradientInactiveCaption"},
          {clGrayText, "clGrayText"},
          {clHighlight, "clHighlight"},
          {clHighlightText, "clHighlightText"},
          {clHotLight, "clHotLight"},
          {clInactiveBorder, "clInactiveBorder"},
          {clInactiveCaption, "clInactiveCaption"},
          {clInactiveCaptionText, "clInactiveCaptionText"},
          {clInfoBk, "clInfoBk"},
          {clInfoText, "clInfoText"},
          {clMenu, "clMenu"},
          {clMenuBar, "clMenuBar"},
          {clMenuHighlight, "clMenuHighlight"},
          {clMenuText, "clMenuText"},
          {clNone, "clNone"},
          {clScrollBar, "clScrollBar"},
          {cl3DDkShadow, "cl3DDkShadow"},
          {cl3DLight, "cl3DLight"},
          {clWindow, "clWindow"},
          {clWindowFrame, "clWindowFrame"},
          {clWindowText, "clWindowText"},
          // Second names of the same values: read, never written.
          {clLtGray, "clLtGray"},
          {clDkGray, "clDkGray"},
      }};
  return map;
}

const classes::TIdentMap& CharsetIdents() {
  static const classes::TIdentMap map{"TFontCharset",
                                      {
                                          {ANSI_CHARSET, "ANSI_CHARSET"},
                                          {DEFAULT_CHARSET, "DEFAULT_CHARSET"},
                                          {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
                                          {MAC_CHARSET, "MAC_CHARSET"},
                                          {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"},
                                          {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
                                          {JOHAB_CHARSET, "JOHAB_CHARSET"},
                                          {GB2312_CHARSET, "GB2312_CHARSET"},
                                          {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
                                          {GREEK_CHARSET, "GREEK_CHARSET"},
                                          {TURKISH_CHARSET, "TURKISH_CHARSET"},
                                          {VIETNAMESE_CHARSET, "VIETNAMESE_CHARSET"},
                                          {HEBREW_CHARSET, "HEBREW_CHARSET"},
                                          {ARABIC_CHARSET, "ARABIC_CHARSET"},
                                          {BALTIC_CHARSET, "BALTIC_CHARSET"},
                                          {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
                                          {THAI_CHARSET, "THAI_CHARSET"},
                                          {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"},
                                          {OEM_CHARSET, "OEM_CHARSET"},
                                      }};
  return map;
}

const classes::TIdentMap& CursorIdents() {
  static const classes::TIdentMap map{"TCursor",
                                      {
                                          {crDefault, "crDefault"},
                                          {crNone, "crNone"},
                                          {crArrow, "crArrow"},
                                          {crCross, "crCross"},
                                          {crIBeam, "crIBeam"},
                                          {crSizeNESW, "crSizeNESW"},
                                          {crSizeNS, "crSizeNS"},
                                          {crSizeNWSE, "crSizeNWSE"},
                                          {crSizeWE, "crSizeWE"},
                                          {crUpArrow, "crUpArrow"},
                                          {crHourGlass, "crHourGlass"},
                                          {crDrag, "crDrag"},
                                          {crNoDrop, "crNoDrop"},
                                          {crHSplit, "crHSplit"},
                                          {crVSplit, "crVSplit"},
                                          {crMultiDrag, "crMultiDrag"},
                                          {crSQLWait, "crSQLWait"},
                                          {crNo, "crNo"},
                                          {crAppStart, "crAppStart"},
                                          {crHelp, "crHelp"},
                                          {crHandPoint, "crHandPoint"},
                                          {crSizeAll, "crSizeAll"},
                                          {crSize, "crSize"},
                                      }};
  return map;
}

namespace {

template <class V>
bool ToIdent(const classes::TIdentMap& Map, V Value, std::string& Ident) {
  return Map.IntToIdent(static_cast<int64_t>(Value), Ident);
}

template <class V>
bool FromIdent(const classes::TIdentMap& Map, const std::string& Ident, V& Value) {
  int64_t v = 0;
  if (!Map.IdentToInt(Ident, v)) return false;
  Value = static_cast<V>(v);
  return true;
}

}  // namespace

bool ColorToIdent(TColor Color, std::string& Ident) { return ToIdent(ColorIdents(), Color, Ident); }
bool IdentToColor(const std::string& Ident, TColor& Color) { return FromIdent(ColorIdents(), Ident, Color); }
bool CharsetToIdent(int Charset, std::string& Ident) { return ToIdent(CharsetIdents(), Charset, Ident); }
bool IdentToCharset(const std::string& Ident, int& Charset) { return FromIdent(CharsetIdents(), Ident, Charset); }
bool CursorToIdent(int Cursor, std::string& Ident) { return ToIdent(CursorIdents(), Cursor, Ident); }
bool IdentToCursor(const std::string& Ident, int& Cursor) { return FromIdent(CursorIdents(), Ident, Cursor); }

std::string ColorToString(TColor Color) {
  std::string ident;
  if (ColorToIdent(Color, ident)) return ident;
  return "$" + IntToHex(static_cast<uint32_t>(Color), 8);
}

TColor StringToColor(const std::string& Text) {
  TColor color = clBlack;
  if (IdentToColor(Text, color)) return color;
  return StrToInt(Text);
}
