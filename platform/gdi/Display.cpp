#include "platform/gdi/Display.h"

#include <atomic>

namespace gdi {

namespace {
std::atomic<bool> gPaletteDisplay{false};
}  // namespace

void SetPaletteDisplay(bool On) { gPaletteDisplay = On; }

bool IsPaletteDisplay() { return gPaletteDisplay; }

COLORREF NearestStaticColor(COLORREF Color) {
  static constexpr COLORREF kStatic[20] = {
      RGB(0, 0, 0),       RGB(128, 0, 0),     RGB(0, 128, 0),     RGB(128, 128, 0),   RGB(0, 0, 128),
      RGB(128, 0, 128),   RGB(0, 128, 128),   RGB(192, 192, 192), RGB(192, 220, 192), RGB(166, 202, 240),
      RGB(255, 251, 240), RGB(160, 160, 164), RGB(128, 128, 128), RGB(255, 0, 0),     RGB(0, 255, 0),
      RGB(255, 255, 0),   RGB(0, 0, 255),     RGB(255, 0, 255),   RGB(0, 255, 255),   RGB(255, 255, 255)};
  COLORREF best = kStatic[0];
  long bestDistance = -1;
  for (COLORREF c : kStatic) {
    const long dr = static_cast<long>(GetRValue(c)) - GetRValue(Color);
    const long dg = static_cast<long>(GetGValue(c)) - GetGValue(Color);
    const long db = static_cast<long>(GetBValue(c)) - GetBValue(Color);
    const long distance = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = c;
    }
  }
  return best;
}

}  // namespace gdi
