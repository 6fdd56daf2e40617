#include <gtest/gtest.h>

#include <jpeglib.h>

#include "platform/gdi/Image.h"
#include "platform/gdi/Png.h"
#include "tests/platform/gdi/ImageBuilder.h"

using namespace gdi;

namespace {

std::vector<std::vector<uint8_t>> Samples() {
  std::vector<std::vector<uint8_t>> out;
  test::TBmpSpec bmp;
  bmp.Width = 9, bmp.Height = 5, bmp.Bpp = 8;
  bmp.Palette = {0x000000, 0xFF0000, 0x00FF00};
  for (int i = 0; i < 45; ++i) bmp.Values.push_back(i % 3);
  out.push_back(test::MakeBmp(bmp));
  test::TBmpSpec rle = bmp;
  rle.Compression = 1, rle.Rle = {9, 1, 0, 0, 0, 3, 2, 1, 2, 0, 0, 2, 3, 1, 4, 2, 0, 1};
  out.push_back(test::MakeBmp(rle));
  std::vector<uint8_t> mask(16 * 16, 0);
  test::TBmpSpec icon;
  icon.Width = icon.Height = 16, icon.Bpp = 32, icon.Values.assign(256, 0x80FF0000);
  TSurface pngSurface(20, 10, 0xFF112233);
  out.push_back(test::MakeIconFile({{16, 16, 32, 0, 0, test::MakeDib(icon, &mask)}, {20, 10, 32, 0, 0, EncodePng(pngSurface)}},
                                   false));
  out.push_back(EncodePng(pngSurface));
  // A small JPEG.
  jpeg_compress_struct info;
  jpeg_error_mgr err;
  info.err = jpeg_std_error(&err);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = 24, info.image_height = 16, info.input_components = 3, info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(24 * 3, 128);
  while (info.next_scanline < info.image_height) {
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  out.emplace_back(buffer, buffer + size);
  std::free(buffer);
  return out;
}

}  // namespace

// Damaged pictures of every format either decode or raise EInvalidGraphic: never a crash, a
// read past the data (the sanitizers watch) or a huge allocation.
TEST(DamagedPictures, FlippedBytesAndCutsNeverCrash) {
  uint32_t seed = 12345;
  auto next = [&] { return seed ^= seed << 13, seed ^= seed >> 17, seed ^= seed << 5; };
  for (const std::vector<uint8_t>& good : Samples()) {
    ASSERT_NO_THROW(DecodeImage(good));
    for (int round = 0; round < 300; ++round) {
      std::vector<uint8_t> bad = good;
      const int flips = 1 + next() % 4;
      // Headers are where damage hurts: most flips land in the first 64 bytes.
      for (int i = 0; i < flips; ++i) {
        const size_t at = (next() % 4 ? next() % std::min<size_t>(64, bad.size()) : next() % bad.size());
        bad[at] = static_cast<uint8_t>(next());
      }
      if (round % 3 == 0) bad.resize(next() % bad.size());
      try {
        const TImage img = DecodeImage(bad);
        EXPECT_EQ(img.Pixels.size(), size_t(img.Width) * img.Height);
      } catch (const EInvalidGraphic& e) {
        EXPECT_GT(std::string(e.what()).size(), 5u);
      }
    }
  }
}
