#pragma once
// What the display reports about its colours. It is a 32-bit true-colour display; tests can make
// it report itself as a palette display (8 bits a pixel, a palette of 256 entries of which the
// 20 static colours are fixed), so code that takes another path on such a display can be tried.
// Then GetDeviceCaps answers BITSPIXEL 8, NUMCOLORS 20 and RC_PALETTE among the RASTERCAPS, and
// GetNearestColor on a window's DC answers the nearest static colour (memory DCs keep showing
// every colour). The raster itself still draws in true colour.
#include "platform/gdi/Colors.h"

namespace gdi {

void SetPaletteDisplay(bool On);
bool IsPaletteDisplay();
// The nearest of the static colours of a palette display.
COLORREF NearestStaticColor(COLORREF Color);

}  // namespace gdi
