#include "tests/platform/controls/StaticFixtures.h"

#include <algorithm>

namespace ctltest {

TRect StaticControlTest::InkBox(const TRect& Area, COLORREF Background) const {
  TRect box{Area.Right, Area.Bottom, Area.Left, Area.Top};
  bool any = false;
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x) {
      if (Pixel(x, y) == Background) continue;
      any = true;
      box.Left = std::min(box.Left, x);
      box.Top = std::min(box.Top, y);
      box.Right = std::max(box.Right, x + 1);
      box.Bottom = std::max(box.Bottom, y + 1);
    }
  return any ? box : TRect{};
}

int StaticControlTest::CountOf(const TRect& Area, COLORREF Color) const {
  int n = 0;
  for (int y = Area.Top; y < Area.Bottom; ++y)
    for (int x = Area.Left; x < Area.Right; ++x) n += Pixel(x, y) == Color;
  return n;
}

}  // namespace ctltest
