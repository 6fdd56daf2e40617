#include "platform/gdi/Png.h"

#include <gtest/gtest.h>

using namespace gdi;

TEST(Png, SurfacesRoundTripAsOpaqueRgb) {
  TSurface s(7, 3, 0xFF102030);
  s.Set(2, 1, 0x00FF8000);  // alpha is not kept: the screen shows no alpha
  const std::vector<uint8_t> png = EncodePng(s);
  const TImage img = DecodePng(png.data(), png.size());
  ASSERT_EQ(img.Width, 7);
  ASSERT_EQ(img.Height, 3);
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(img.At(0, 0), 0xFF102030u);
  EXPECT_EQ(img.At(2, 1), 0xFFFF8000u);
  EXPECT_EQ(DecodeImage(png).Width, 7);
}

TEST(Png, DamagedStreamsAndUnknownDataRaiseErrors) {
  TSurface s(20, 20, 0xFF336699);
  for (int i = 0; i < 20; ++i) s.Set(i, i, 0xFFFFFFFF);
  const std::vector<uint8_t> png = EncodePng(s);
  for (size_t cut : {size_t(0), size_t(8), size_t(20), size_t(33), png.size() / 2, png.size() - 13}) {
    SCOPED_TRACE(cut);
    EXPECT_THROW(DecodePng(png.data(), cut), EInvalidGraphic);
  }
  std::vector<uint8_t> flipped = png;
  flipped[png.size() / 2] ^= 0x55;  // the compressed data's checksum no longer holds
  EXPECT_THROW(DecodePng(flipped.data(), flipped.size()), EInvalidGraphic);
  EXPECT_THROW(DecodeImage(std::vector<uint8_t>{'G', 'I', 'F', '8'}), EInvalidGraphic);
  EXPECT_THROW(EncodePng(TSurface()), EInvalidGraphic);
  EXPECT_THROW(LoadImageFile("/nonexistent/picture.png"), EInvalidGraphic);
}
