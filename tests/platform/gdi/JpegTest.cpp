#include "platform/gdi/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

using namespace gdi;

namespace {

// Compresses a picture with libjpeg for the decoder to read: Width x Height, the left half
// red and the right half blue (or grey levels for a one-component picture).
std::vector<uint8_t> MakeJpeg(int Width, int Height, int Components, bool Progressive = false) {
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = Width;
  info.image_height = Height;
  info.input_components = Components;
  info.in_color_space = Components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  if (Progressive) jpeg_simple_progression(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(Width * Components);
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < Width; ++x) {
      const bool left = x < Width / 2;
      if (Components == 1) {
        row[x] = left ? 40 : 200;
      } else {
        row[x * 3] = left ? 220 : 0, row[x * 3 + 1] = 0, row[x * 3 + 2] = left ? 0 : 220;
      }
    }
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::vector<uint8_t> out(buffer, buffer + size);
  std::free(buffer);
  return out;
}

void ExpectNear(uint32_t Pixel, uint32_t Colour, int Tolerance) {
  for (int shift : {0, 8, 16})
    EXPECT_NEAR(int((Pixel >> shift) & 0xFF), int((Colour >> shift) & 0xFF), Tolerance)
        << std::hex << Pixel << " vs " << Colour;
  EXPECT_EQ(Pixel >> 24, 0xFFu);
}

}  // namespace

TEST(Jpeg, DecodesToTheRightSizeAndColours) {
  for (bool progressive : {false, true}) {
    SCOPED_TRACE(progressive ? "progressive" : "baseline");
    const std::vector<uint8_t> file = MakeJpeg(40, 24, 3, progressive);
    const TImage img = DecodeImage(file);
    ASSERT_EQ(img.Width, 40);
    ASSERT_EQ(img.Height, 24);
    EXPECT_EQ(img.BitDepth, 24);
    ExpectNear(img.At(5, 12), 0xDC0000, 12);
    ExpectNear(img.At(34, 3), 0x0000DC, 12);
  }
  const std::vector<uint8_t> grey = MakeJpeg(16, 16, 1);
  const TImage g = DecodeJpeg(grey.data(), grey.size());
  EXPECT_EQ(g.BitDepth, 8);
  ExpectNear(g.At(2, 2), 0x282828, 4);
  ExpectNear(g.At(13, 13), 0xC8C8C8, 4);
}

TEST(Jpeg, TruncatedAndDamagedDataRaiseErrors) {
  const std::vector<uint8_t> file = MakeJpeg(40, 24, 3);
  for (size_t cut : {size_t(1), size_t(2), size_t(20), size_t(150), file.size() / 2, file.size() - 3}) {
    SCOPED_TRACE(cut);
    EXPECT_THROW(DecodeJpeg(file.data(), cut), EInvalidGraphic);
  }
  std::vector<uint8_t> junk = {0xFF, 0xD8, 0x12, 0x34, 0x56};
  try {
    DecodeJpeg(junk.data(), junk.size());
    ADD_FAILURE();
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(std::string(e.what()).rfind("JPEG: ", 0), 0u) << e.what();
    EXPECT_GT(std::string(e.what()).size(), 8u);
  }
}
