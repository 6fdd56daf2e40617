#pragma once
// Helpers of the tests of the plain controls: where a colour shows on the form.

#include "tests/platform/controls/ControlFixtures.h"

namespace ctltest {

class StaticControlTest : public ControlTest {
 protected:
  // The box around the pixels in Area (form client coordinates) that are not Background
  // (an empty rectangle when there are none).
  TRect InkBox(const TRect& Area, COLORREF Background) const;
  // The number of pixels of Color in Area.
  int CountOf(const TRect& Area, COLORREF Color) const;
};

}  // namespace ctltest
