#include <gtest/gtest.h>

#include "tests/support/Pixels.h"
#include "platform/gdi/DCState.h"

TEST(TextSupport, CoverageBlendsThroughOriginClipAndRasterOperation) {
  TPixels p(4, 2, RGB(0, 0, 0));
  SetViewportOrgEx(p.DC, 1, 0, nullptr);  // the mask's point is a device one: origins do not apply
  const uint8_t mask[2 * 3] = {255, 128, 0, 255, 255, 255};
  ExcludeClipRect(p.DC, 1, 1, 2, 2);  // logical (1, 1) = device (2, 1)
  gdi::WriteCoverage(p.DC, 0, 0, mask, 3, 2, 3, RGB(200, 100, 50));
  EXPECT_EQ(p.At(0, 0), RGB(200, 100, 50));
  EXPECT_EQ(p.At(1, 0), RGB(100, 50, 25));  // half coverage: half way
  EXPECT_EQ(p.At(2, 0), RGB(0, 0, 0));
  EXPECT_EQ(p.At(1, 1), RGB(200, 100, 50));
  EXPECT_EQ(p.At(2, 1), RGB(0, 0, 0));  // clipped
  SetROP2(p.DC, R2_XORPEN);
  gdi::WriteCoverage(p.DC, 0, 0, mask, 1, 1, 3, RGB(200, 100, 50));
  EXPECT_EQ(p.At(0, 0), RGB(0, 0, 0));
}

TEST(TextSupport, SolidSpansAndTheTextState) {
  TPixels p(4, 2);
  gdi::FillDeviceSpan(p.DC, 1, 1, 3, RGB(255, 0, 0));
  const TRect only{0, 0, 2, 2};
  gdi::FillDeviceRect(p.DC, {0, 0, 4, 1}, RGB(0, 0, 255), &only);
  EXPECT_EQ(p.Picture({{RGB(255, 0, 0), 'r'}, {RGB(0, 0, 255), 'b'}}), TPixels::Rows({"bb..", ".rr."}));
  // The state text drawing reads, and the font a DC starts with.
  gdi::TDC* dc = gdi::DCOf(p.DC);
  ASSERT_NE(dc, nullptr);
  SetTextColor(p.DC, RGB(1, 2, 3));
  SetTextAlign(p.DC, TA_BASELINE);
  MoveToEx(p.DC, 3, 4, nullptr);
  EXPECT_EQ(dc->A.TextColor, RGB(1, 2, 3));
  EXPECT_EQ(dc->A.TextAlign, static_cast<UINT>(TA_BASELINE));
  EXPECT_EQ(dc->A.CurrentPos, (TPoint{3, 4}));
  ASSERT_NE(dc->A.FontObject, nullptr);
  EXPECT_EQ(dc->A.Font, GetStockObject(SYSTEM_FONT));
  LOGFONT lf;
  lf.lfHeight = -12;
  lf.lfFaceName = "Sans";
  HFONT font = gdi::NewFontHandle(lf);
  SelectObject(p.DC, font);
  EXPECT_EQ(gdi::FontObjectOf(font)->Log, lf);
  EXPECT_EQ(dc->A.FontObject->Log.lfFaceName, "Sans");
  SelectObject(p.DC, GetStockObject(SYSTEM_FONT));
  DeleteObject(font);
  EXPECT_EQ(gdi::FontObjectOf(font), nullptr);
}
