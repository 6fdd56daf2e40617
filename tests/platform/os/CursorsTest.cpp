// Cursors built into the program from .cur files: found by name, decoded once, drawn with
// their masks and hot spots.
#include <gtest/gtest.h>

#include "platform/classes/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/MemoryDC.h"
#include "platform/os/Cursors.h"
#include "platform/os/Kernel.h"

namespace ostest {
const classes::TResourceTable& TestResources();
}

namespace {

const bool Registered = (classes::RegisterResources(ostest::TestResources()), true);

// The cursor drawn at (0, 0) over a background of Background (0xRRGGBB), as 0xRRGGBB pixels.
struct TDrawn {
  std::vector<uint32_t> Pixels;
  uint32_t At(int X, int Y) const { return Pixels[static_cast<size_t>(Y) * 32 + X] & 0xFFFFFFu; }
};
TDrawn Draw(HCURSOR Cursor, uint32_t Background) {
  graphics::TMemoryDC dc(32, 32);
  std::fill(dc.Bits(), dc.Bits() + 32 * 32, 0xFF000000u | Background);
  EXPECT_TRUE(DrawIconEx(dc.DC(), 0, 0, Cursor, 0, 0, 0, nullptr, DI_NORMAL));
  return {{dc.Bits(), dc.Bits() + 32 * 32}};
}

TEST(CursorsTest, MonochromeCursorFilesDrawBlackWhiteTransparentAndInverted) {
  ASSERT_TRUE(Registered);
  HCURSOR cursor = LoadCursor(nullptr, "TestMono");
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(LoadCursor(nullptr, "TESTMONO"), cursor) << "loaded once, then shared";
  EXPECT_EQ(os::StandardCursorId(cursor), 0);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 5u);
  EXPECT_EQ(info.yHotspot, 7u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);

  // Quadrants: black, white / screen, inverted screen.
  struct TCase { uint32_t Background; uint32_t TopLeft, TopRight, BottomLeft, BottomRight; };
  for (const TCase& c : {TCase{0x336699, 0x000000, 0xFFFFFF, 0x336699, 0xCC9966},
                         TCase{0x000000, 0x000000, 0xFFFFFF, 0x000000, 0xFFFFFF}}) {
    SCOPED_TRACE(c.Background);
    const TDrawn d = Draw(cursor, c.Background);
    EXPECT_EQ(d.At(2, 2), c.TopLeft);
    EXPECT_EQ(d.At(29, 2), c.TopRight);
    EXPECT_EQ(d.At(2, 29), c.BottomLeft);
    EXPECT_EQ(d.At(29, 29), c.BottomRight);
  }
}

TEST(CursorsTest, TrueColourCursorFilesBlendTheirAlpha) {
  HCURSOR cursor = LoadCursor(nullptr, "TestAlpha");
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_EQ(info.xHotspot, 16u);
  EXPECT_EQ(info.yHotspot, 16u);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  const TDrawn d = Draw(cursor, 0xFFFFFF);
  EXPECT_EQ(d.At(3, 10), 0xFF0000u) << "opaque red";
  EXPECT_EQ(d.At(25, 10), 0xFFFFFFu) << "transparent";
  const uint32_t half = d.At(3, 0);  // half-transparent blue over white
  EXPECT_NEAR(static_cast<int>(half >> 16), 0x7F, 2);
  EXPECT_EQ(half & 0xFF, 0xFFu);
}

TEST(CursorsTest, MissingCursorFilesAnswerNothing) {
  EXPECT_EQ(LoadCursor(nullptr, "NoSuchCursorFile"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
  EXPECT_EQ(LoadCursor(nullptr, MAKEINTRESOURCE(4711)), nullptr);
}

}  // namespace
