#include "platform/backends/IconPixels.h"

#include <gtest/gtest.h>

#include "platform/controls/Forms.h"
#include "tests/support/HeadlessApp.h"

namespace {

// The program's own icon (the loudspeaker of MAINICON, 32 x 32 with alpha) read as pixels:
// the corners are clear, the cone's light fill and the waves' orange are opaque.
TEST(IconPixels, ReadsThePictureWithItsAlpha) {
  test::THeadlessApp app;
  const HICON icon = Application->Icon()->Handle();
  ASSERT_NE(icon, nullptr) << "the program has an icon";
  std::optional<shell::TrayImage> image = backends::IconPixels(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 32);
  EXPECT_EQ(image->height, 32);
  auto at = [&](int x, int y) { return image->argb[static_cast<size_t>(y) * 32 + x]; };
  EXPECT_EQ(at(0, 0) >> 24, 0u);
  EXPECT_EQ(at(31, 31) >> 24, 0u);
  EXPECT_EQ(at(13, 16), 0xFFDCE6F0u) << "the cone";
  int orange = 0;
  for (uint32_t p : image->argb) orange += p == 0xFFF58200u;
  EXPECT_GT(orange, 20) << "the waves";
  EXPECT_FALSE(backends::IconPixels(nullptr));
}

// An icon without alpha shows through where its mask says.
TEST(IconPixels, AnIconWithoutAlphaIsClearWhereItsMaskIs) {
  test::THeadlessApp app;
  gdi::TImage picture;
  picture.Width = picture.Height = 2;
  picture.Pixels = {0xFF112233u, 0xFF445566u, 0xFF778899u, 0xFFAABBCCu};
  picture.Mask = {0, 1, 1, 0};
  HICON icon = graphics::CreateIconFromImage(picture, true);
  std::optional<shell::TrayImage> image = backends::IconPixels(icon);
  DestroyIcon(icon);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->argb, (std::vector<uint32_t>{0xFF112233u, 0, 0, 0xFFAABBCCu}));
}

}  // namespace
