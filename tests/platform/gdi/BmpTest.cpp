#include "platform/gdi/Bmp.h"

#include <gtest/gtest.h>

#include "tests/platform/gdi/ImageBuilder.h"

using namespace gdi;
using test::MakeBmp;
using test::TBmpSpec;
using test::THeader;

namespace {

// Colours whose channels are 0 or 255 survive every depth exactly.
const std::vector<uint32_t> kColours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF,
                                        0xFFFFFF};

// A 5 x 3 picture (odd width, so rows are padded) of the given depth; Expected gets its
// pixels as the decoder should answer them.
TBmpSpec Picture(int Bpp, THeader Header, bool TopDown, std::vector<uint32_t>& Expected) {
  TBmpSpec s;
  s.Width = 5, s.Height = 3, s.Bpp = Bpp, s.Header = Header, s.TopDown = TopDown;
  const uint32_t colours = Bpp <= 8 ? std::min<uint32_t>(1u << Bpp, 8) : 8;
  if (Bpp <= 8) s.Palette.assign(kColours.begin(), kColours.begin() + colours);
  // The core header has no colour count: its table is always full.
  if (Bpp <= 8 && Header == THeader::Core) s.Palette.resize(1u << Bpp, 0);
  Expected.clear();
  for (int i = 0; i < 15; ++i) {
    const uint32_t index = (i * 3 + 1) % colours;
    s.Values.push_back(Bpp <= 8 ? index : kColours[index]);
    Expected.push_back(0xFF000000u | kColours[index]);
  }
  return s;
}

std::vector<uint8_t> Rle8Bitmap() {
  // 6 x 3, bottom row first: a run, absolute mode with padding, a delta, end of bitmap.
  TBmpSpec s;
  s.Width = 6, s.Height = 3, s.Bpp = 8, s.Compression = 1;
  s.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  s.Rle = {4, 1, 0, 0,           // row 0 (bottom): 1 1 1 1 then end of line
           0, 3, 2, 3, 2, 0,     // row 1: absolute 2 3 2 (padded to a word)
           0, 2, 1, 1,           // delta: one right, one up, to row 2 column 4
           2, 3, 0, 1};          // 3 3, end of bitmap
  return MakeBmp(s);
}

}  // namespace

TEST(Bmp, EveryDepthHeaderAndOrientationDecodesExactly) {
  for (int bpp : {1, 4, 8, 16, 24, 32})
    for (THeader header : {THeader::Core, THeader::Info, THeader::V5})
      for (bool topDown : {false, true}) {
        if (header == THeader::Core && (bpp > 24 || bpp == 16 || topDown)) continue;
        SCOPED_TRACE("bpp " + std::to_string(bpp) + " header " + std::to_string(int(header)) +
                     (topDown ? " top-down" : " bottom-up"));
        std::vector<uint32_t> expected;
        const TBmpSpec spec = Picture(bpp, header, topDown, expected);
        const std::vector<uint8_t> file = MakeBmp(spec);
        const TImage img = DecodeBmp(file.data(), file.size());
        ASSERT_EQ(img.Width, 5);
        ASSERT_EQ(img.Height, 3);
        EXPECT_EQ(img.BitDepth, bpp);
        EXPECT_EQ(img.Pixels, expected);
        EXPECT_FALSE(img.HasAlpha);
        EXPECT_EQ(img.Palette.size(), spec.Palette.size());
      }
}

TEST(Bmp, RunLengthEncodingWithAbsoluteRunsAndDeltas) {
  const std::vector<uint8_t> file = Rle8Bitmap();
  const TImage img = DecodeBmp(file.data(), file.size());
  const uint32_t k = 0xFF000000, r = 0xFFFF0000, g = 0xFF00FF00, b = 0xFF0000FF;
  const std::vector<uint32_t> expected = {k, k, k, k, b, b,   // top row (file row 2)
                                          g, b, g, k, k, k,   // file row 1
                                          r, r, r, r, k, k};  // bottom row
  EXPECT_EQ(img.Pixels, expected);

  // Four bits: runs alternate the two nibbles of their colour byte.
  TBmpSpec s;
  s.Width = 5, s.Height = 1, s.Bpp = 4, s.Compression = 2;
  s.Palette = {0x000000, 0xFF0000, 0x0000FF};
  s.Rle = {5, 0x12, 0, 1};
  const std::vector<uint8_t> four = MakeBmp(s);
  EXPECT_EQ(DecodeBmp(four.data(), four.size()).Pixels, (std::vector<uint32_t>{r, 0xFF0000FF, r, b, r}));
}

TEST(Bmp, ThirtyTwoBitsKeepAlphaOnlyWhenThePictureHasIt) {
  TBmpSpec s;
  s.Width = 2, s.Height = 1, s.Bpp = 32, s.Header = THeader::V5, s.Compression = 3;
  s.Masks[0] = 0x00FF0000, s.Masks[1] = 0x0000FF00, s.Masks[2] = 0x000000FF, s.Masks[3] = 0xFF000000;
  s.Values = {0x80FF0000, 0x00000000};
  std::vector<uint8_t> file = MakeBmp(s);
  TImage img = DecodeBmp(file.data(), file.size());
  EXPECT_TRUE(img.HasAlpha);
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0x80FF0000, 0x00000000}));

  // Plain 32-bit pixels whose fourth byte is all zero are opaque.
  s.Header = THeader::Info, s.Compression = 0, s.Values = {0x00FF0000, 0x000000FF};
  file = MakeBmp(s);
  img = DecodeBmp(file.data(), file.size());
  EXPECT_FALSE(img.HasAlpha);
  EXPECT_EQ(img.Pixels, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));

  // 16 bits with 5-6-5 masks.
  TBmpSpec m;
  m.Width = 1, m.Height = 1, m.Bpp = 16, m.Compression = 3;
  m.Masks[0] = 0xF800, m.Masks[1] = 0x07E0, m.Masks[2] = 0x001F;
  TBmpSpec plain = m;
  plain.Values = {0};
  file = MakeBmp(plain);
  file[file.size() - 4] = 0xE0, file[file.size() - 3] = 0x07;  // pure green in 5-6-5
  EXPECT_EQ(DecodeBmp(file.data(), file.size()).Pixels[0], 0xFF00FF00u);
}

TEST(Bmp, IndexPastThePaletteIsBlack) {
  TBmpSpec s;
  s.Width = 2, s.Height = 1, s.Bpp = 8, s.Palette = {0xFFFFFF}, s.Values = {0, 200};
  const std::vector<uint8_t> file = MakeBmp(s);
  EXPECT_EQ(DecodeBmp(file.data(), file.size()).Pixels, (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000}));
}

TEST(Bmp, DamagedFilesRaiseReadableErrors) {
  std::vector<uint32_t> expected;
  const std::vector<uint8_t> good = MakeBmp(Picture(8, THeader::Info, false, expected));
  const std::vector<uint8_t> rle = Rle8Bitmap();
  for (const auto* file : {&good, &rle})
    for (size_t cut = 0; cut < file->size(); ++cut) {
      SCOPED_TRACE("cut at " + std::to_string(cut));
      EXPECT_THROW(DecodeBmp(file->data(), cut), EInvalidGraphic);
    }

  auto failsWith = [](std::vector<uint8_t> File, const std::string& Text) {
    try {
      DecodeBmp(File.data(), File.size());
      ADD_FAILURE() << "no error for " << Text;
    } catch (const EInvalidGraphic& e) {
      EXPECT_NE(std::string(e.what()).find(Text), std::string::npos) << e.what();
    }
  };
  std::vector<uint8_t> f = good;
  f[14] = 20;  // header size
  failsWith(f, "header size");
  f = good;
  f[28] = 7;  // bits per pixel
  failsWith(f, "bit depth");
  f = good;
  f[30] = 4;  // compression: embedded JPEG
  failsWith(f, "compression");
  f = good;
  f[18] = 0xFF, f[19] = 0xFF, f[20] = 0xFF, f[21] = 0x7F;  // width 2^31 - 1
  failsWith(f, "too large");
  f[18] = 0, f[19] = 0, f[20] = 0, f[21] = 0;
  failsWith(f, "no pixels");
  failsWith({'B', 'X', 0, 0}, "not a bitmap");
}
