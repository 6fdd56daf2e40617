#include "platform/gdi/Icon.h"

#include <gtest/gtest.h>

#include "platform/gdi/Png.h"
#include "tests/platform/gdi/ImageBuilder.h"

using namespace gdi;

namespace {

// A 16 x 16 four-bit entry, red with a masked black corner pixel and a masked white one; a
// 32 x 32 entry with alpha; a 48 x 48 PNG entry.
test::TIconPart FourBitPart() {
  test::TBmpSpec s;
  s.Width = 16, s.Height = 16, s.Bpp = 4;
  s.Palette = {0x000000, 0xFF0000, 0xFFFFFF};
  s.Values.assign(256, 1);
  std::vector<uint8_t> mask(256, 0);
  s.Values[0] = 0, mask[0] = 1;    // transparent
  s.Values[15] = 2, mask[15] = 1;  // inverts the screen
  return {16, 16, 4, 0, 0, test::MakeDib(s, &mask)};
}

test::TIconPart AlphaPart(int Size) {
  test::TBmpSpec s;
  s.Width = Size, s.Height = Size, s.Bpp = 32;
  s.Values.assign(Size * Size, 0xFF0000FF);
  s.Values[0] = 0x400000FF;
  std::vector<uint8_t> mask(Size * Size, 0);
  return {Size, Size, 32, 0, 0, test::MakeDib(s, &mask)};
}

test::TIconPart PngPart() {
  TSurface surface(48, 48, 0xFF00FF00);
  return {48, 48, 32, 0, 0, EncodePng(surface)};
}

std::vector<uint8_t> ThreeSizeIcon() { return test::MakeIconFile({FourBitPart(), AlphaPart(32), PngPart()}, false); }

}  // namespace

TEST(Icon, TheEntryNearestTheAskedSizeIsDrawn) {
  const std::vector<uint8_t> file = ThreeSizeIcon();
  const struct { int Asked, Got; } cases[] = {{16, 16}, {32, 32}, {24, 32}, {20, 16}, {48, 48}, {256, 48}, {1, 16}};
  for (auto c : cases) {
    SCOPED_TRACE(c.Asked);
    EXPECT_EQ(DecodeIcon(file.data(), file.size(), c.Asked, c.Asked).Width, c.Got);
  }
  // At equal size the entry with more colours wins.
  const std::vector<uint8_t> two = test::MakeIconFile({FourBitPart(), AlphaPart(16)}, false);
  EXPECT_EQ(DecodeIcon(two.data(), two.size(), 16, 16).BitDepth, 32);
}

TEST(Icon, MasksAlphaAndPngEntries) {
  const std::vector<uint8_t> file = ThreeSizeIcon();
  const TImage four = DecodeIcon(file.data(), file.size(), 16, 16);
  EXPECT_TRUE(four.HasAlpha);
  EXPECT_EQ(four.At(0, 0), 0u) << "masked black shows the screen";
  EXPECT_EQ(four.At(15, 0), 0xFFFFFFFFu) << "masked white keeps its colour for inversion";
  EXPECT_EQ(four.Mask[15], 1);
  EXPECT_EQ(four.At(5, 5), 0xFFFF0000u);
  EXPECT_EQ(four.Mask[5 * 16 + 5], 0);

  const TImage alpha = DecodeIcon(file.data(), file.size(), 32, 32);
  EXPECT_EQ(alpha.At(0, 0), 0x400000FFu);
  EXPECT_EQ(alpha.At(1, 0), 0xFF0000FFu);

  const TImage png = DecodeIcon(file.data(), file.size(), 48, 48);
  EXPECT_EQ(png.At(10, 10), 0xFF00FF00u);
}

TEST(Icon, CursorsCarryTheirHotSpot) {
  test::TIconPart part = FourBitPart();
  part.HotX = 3, part.HotY = 12;
  const std::vector<uint8_t> file = test::MakeIconFile({part}, true);
  const TImage cur = DecodeImage(file);
  EXPECT_EQ(cur.HotSpot, TPoint(3, 12));
  EXPECT_TRUE(ReadIconDirectory(file.data(), file.size()).IsCursor);
}

TEST(Icon, DamagedFilesRaiseErrors) {
  const std::vector<uint8_t> file = ThreeSizeIcon();
  // Cut inside the directory, inside the bitmap entries and inside the PNG entry.
  for (size_t cut = 0; cut < file.size(); cut += cut < 200 ? 1 : 97) {
    SCOPED_TRACE(cut);
    EXPECT_THROW(DecodeIcon(file.data(), cut, 48, 48), EInvalidGraphic);
    EXPECT_THROW(DecodeIcon(file.data(), cut, 16, 16), EInvalidGraphic);
  }
  std::vector<uint8_t> bad = file;
  bad[2] = 3;  // type
  EXPECT_THROW(DecodeIcon(bad.data(), bad.size()), EInvalidGraphic);
  bad = file;
  bad[4] = 0;  // no entries
  bad[5] = 0;
  EXPECT_THROW(DecodeIcon(bad.data(), bad.size()), EInvalidGraphic);
  EXPECT_THROW(DecodeIconEntry(file.data(), file.size(), 3), EInvalidGraphic);
}
