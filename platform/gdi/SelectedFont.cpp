#include "platform/gdi/SelectedFont.h"

#include <cstdlib>

#include "platform/gdi/Objects.h"

namespace gdi {

TFontRequest RequestOf(const LOGFONT& Log) {
  TFontRequest r;
  r.Family = Log.lfFaceName;
  r.Height = Log.lfHeight;
  r.Width = std::abs(Log.lfWidth);
  r.Escapement = Log.lfEscapement;
  r.Weight = Log.lfWeight;
  r.Italic = Log.lfItalic != 0;
  r.Underline = Log.lfUnderline != 0;
  r.StrikeOut = Log.lfStrikeOut != 0;
  r.CharSet = Log.lfCharSet;
  return r;
}

TRealFont& RealFontOf(const TFontObject& Font) {
  if (!Font.Engine) Font.Engine = TRealFont::Realize(RequestOf(Font.Log));
  return *std::static_pointer_cast<TRealFont>(Font.Engine);
}

TRealFont& SelectedFont(TDC& DC) {
  if (DC.A.FontObject) return RealFontOf(*DC.A.FontObject);
  const TFontObject* stock = FontObjectOf(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)));
  if (stock) return RealFontOf(*stock);
  static std::shared_ptr<TRealFont> fallback = TRealFont::Realize({});
  return *fallback;
}

std::shared_ptr<TRealFont> UprightFont(TDC& DC) {
  TFontRequest r = SelectedFont(DC).Request();
  r.Escapement = 0;
  return TRealFont::Realize(r);
}

}  // namespace gdi
