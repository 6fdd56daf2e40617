#pragma once
// Helpers of the tests of the plain controls: where a colour shows on the form, and a
// picture of the form kept in the test's temporary folder for a look.
#include <string>

#include "tests/platform/controls/ControlFixtures.h"

namespace ctltest {

class StaticControlTest : public ControlTest {
 protected:
  // The box around the pixels in Area (form client coordinates) that are not Background
  // (an empty rectangle when there are none).
  TRect InkBox(const TRect& Area, COLORREF Background) const;
  // The number of pixels of Color in Area.
  int CountOf(const TRect& Area, COLORREF Color) const;
  // Writes the form's picture to <the application's folder>/<Name>.png and answers the path.
  std::string SavePicture(const std::string& Name);
};

}  // namespace ctltest
