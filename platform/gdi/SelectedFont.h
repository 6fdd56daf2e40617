#pragma once
// The realised font behind a font object or a DC's selected font: made by the font engine on
// first use and kept with the font object.
#include "platform/gdi/DCState.h"
#include "platform/gdi/FontEngine.h"

namespace gdi {

TFontRequest RequestOf(const LOGFONT& Log);
TRealFont& RealFontOf(const TFontObject& Font);
// The font selected into DC (the stock system font when the DC has none).
TRealFont& SelectedFont(TDC& DC);
// The same font without its escapement, for measurements along the baseline.
std::shared_ptr<TRealFont> UprightFont(TDC& DC);

}  // namespace gdi
