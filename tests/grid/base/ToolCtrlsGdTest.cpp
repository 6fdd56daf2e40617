// The check-box painter in the classic look, its cache of painted faces, and the placement and
// size rules of check boxes and buttons.
#include "grid/base/ToolCtrlsGd.h"

#include <gtest/gtest.h>

#include "tests/support/HeadlessApp.h"
#include "tests/support/Pixels.h"

namespace {

// s button shadow, d dark shadow, f face, '.' white, '#' the mark; B the surface around the
// rectangle, m the surrounding Color given to the painter.
const std::map<COLORREF, char> Legend = {
    {RGB(128, 128, 128), 's'}, {RGB(64, 64, 64), 'd'}, {RGB(212, 208, 200), 'f'}, {RGB(255, 0, 255), 'm'},
    {RGB(0, 0, 255), 'B'}};

struct TBoxCase {
  const char* Name;
  int CheckState;
  bool Enabled, Active, Flat;
  std::string Picture;
};

// A 15 x 13 rectangle at (1, 1): made square by 1 pixel off the left and 1 off the right.
std::string Painted(const TBoxCase& C) {
  TPixels p(17, 15, RGB(0, 0, 255));
  PaintEditButtonImage(p.DC, TRect{1, 1, 16, 14}, RGB(255, 0, 255), C.CheckState, C.Enabled, C.Active, C.Flat, 0,
                       bpkCheckBox);
  return p.Picture(Legend);
}

TEST(ToolCtrlsGdTest, CheckBoxesPaintTheirStateInTheClassicAndFlatLooks) {
  const std::string checked3D = TPixels::Rows({
      "BBBBBBBBBBBBBBBBB", "BBssssssssssss.BB", "BBsddddddddddf.BB", "BBsd.........f.BB", "BBsd.......#.f.BB",
      "BBsd......##.f.BB", "BBsd.#...###.f.BB", "BBsd.##.###..f.BB", "BBsd.#####...f.BB", "BBsd..###....f.BB",
      "BBsd...#.....f.BB", "BBsd.........f.BB", "BBsfffffffffff.BB", "BB.............BB", "BBBBBBBBBBBBBBBBB"});
  const std::string grayed = TPixels::Rows({
      "BBBBBBBBBBBBBBBBB", "BBssssssssssss.BB", "BBsddddddddddf.BB", "BBsdffffffffff.BB", "BBsdfffffffsff.BB",
      "BBsdffffffssff.BB", "BBsdfsfffsssff.BB", "BBsdfssfsssfff.BB", "BBsdfsssssffff.BB", "BBsdffsssfffff.BB",
      "BBsdfffsffffff.BB", "BBsdffffffffff.BB", "BBsfffffffffff.BB", "BB.............BB", "BBBBBBBBBBBBBBBBB"});
  const TBoxCase cases[] = {
      {"unchecked", 0, true, false, false,
       TPixels::Rows({"BBBBBBBBBBBBBBBBB", "BBssssssssssss.BB", "BBsddddddddddf.BB", "BBsd.........f.BB",
                      "BBsd.........f.BB", "BBsd.........f.BB", "BBsd.........f.BB", "BBsd.........f.BB",
                      "BBsd.........f.BB", "BBsd.........f.BB", "BBsd.........f.BB", "BBsd.........f.BB",
                      "BBsfffffffffff.BB", "BB.............BB", "BBBBBBBBBBBBBBBBB"})},
      {"checked", 1, true, false, false, checked3D},
      {"grayed", 2, true, false, false, grayed},
      {"disabled", 1, false, false, false, grayed},
      // Flat and not hot: no border but the surrounding colour, a one-pixel shadow frame.
      {"flat", 1, true, false, true,
       TPixels::Rows({"BBBBBBBBBBBBBBBBB", "BBmmmmmmmmmmmmmBB", "BBmsssssssssssmBB", "BBms.........smBB",
                      "BBms.......#.smBB", "BBms......##.smBB", "BBms.#...###.smBB", "BBms.##.###..smBB",
                      "BBms.#####...smBB", "BBms..###....smBB", "BBms...#.....smBB", "BBms.........smBB",
                      "BBmsssssssssssmBB", "BBmmmmmmmmmmmmmBB", "BBBBBBBBBBBBBBBBB"})},
      // Flat and hot: a sunken outer edge around a frame of the face colour.
      {"flat active", 1, true, true, true,
       TPixels::Rows({"BBBBBBBBBBBBBBBBB", "BBssssssssssss.BB", "BBsfffffffffff.BB", "BBsf.........f.BB",
                      "BBsf.......#.f.BB", "BBsf......##.f.BB", "BBsf.#...###.f.BB", "BBsf.##.###..f.BB",
                      "BBsf.#####...f.BB", "BBsf..###....f.BB", "BBsf...#.....f.BB", "BBsf.........f.BB",
                      "BBsfffffffffff.BB", "BB.............BB", "BBBBBBBBBBBBBBBBB"})},
  };
  for (bool cached : {true, false}) {
    UseButtonBitmapCache = cached;
    for (const TBoxCase& c : cases) {
      SCOPED_TRACE(std::string(c.Name) + (cached ? " (cached)" : " (direct)"));
      EXPECT_EQ(Painted(c), c.Picture);
    }
  }
  UseButtonBitmapCache = true;
}

TEST(ToolCtrlsGdTest, EqualFacesShareOneCachedBitmapUntilTheCacheIsFlushed) {
  FlushButtonBitmapCache();
  TPixels p(40, 20);
  PaintEditButtonImage(p.DC, TRect{0, 0, 13, 13}, clWindow, 1, true, false, false, 0, bpkCheckBox);
  PaintEditButtonImage(p.DC, TRect{20, 2, 33, 15}, clWindow, 1, true, false, false, 0, bpkCheckBox);
  EXPECT_EQ(ButtonBitmapCache().Count(), 1);
  PaintEditButtonImage(p.DC, TRect{20, 2, 33, 15}, clWindow, 0, true, false, false, 0, bpkCheckBox);
  PaintEditButtonImage(p.DC, TRect{0, 0, 12, 12}, clWindow, 1, true, false, false, 0, bpkCheckBox);
  EXPECT_EQ(ButtonBitmapCache().Count(), 3) << "another state and another size are other faces";
  TButtonBitmapKeyGd key;
  key.Width = 13;
  key.Height = 13;
  key.Kind = bpkCheckBox;
  key.Enabled = true;
  key.CheckState = 1;
  TBitmap* shared = ButtonBitmapCache().GetButtonBitmap(key);
  EXPECT_EQ(ButtonBitmapCache().Count(), 3);
  key.Width = -5;  // kept as 0
  TBitmap* empty = ButtonBitmapCache().GetButtonBitmap(key);
  EXPECT_NE(empty, shared);
  EXPECT_EQ(empty->Width(), 0);
  FlushButtonBitmapCache();
  EXPECT_EQ(ButtonBitmapCache().Count(), 0);
}

TEST(ToolCtrlsGdTest, CheckBoxesArePlacedInTheirCell) {
  EXPECT_EQ(CheckBoxImageWidth(), 13);
  EXPECT_EQ(CheckBoxImageHeight(), 13);
  struct TCase { TRect Cell; TAlignment Alignment; TTextLayout Layout; TRect Box; };
  const TCase cases[] = {
      {{10, 10, 40, 30}, taLeftJustify, tlTop, {10, 10, 23, 23}},
      {{10, 10, 40, 30}, taRightJustify, tlBottom, {27, 17, 40, 30}},
      {{10, 10, 40, 30}, taCenter, tlCenter, {19, 14, 32, 27}},
      {{10, 10, 41, 31}, taCenter, tlCenter, {19, 14, 32, 27}},
      // A cell smaller than the box gives it its own extent in that direction.
      {{0, 0, 8, 30}, taCenter, tlCenter, {0, 9, 8, 22}},
      {{0, 0, 30, 5}, taRightJustify, tlBottom, {17, 0, 30, 5}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Cell.Left << "," << c.Cell.Top << "," << c.Cell.Right << "," << c.Cell.Bottom);
    EXPECT_EQ(PlaceCheckBoxRect(c.Cell, c.Alignment, c.Layout), c.Box);
  }
}

TEST(ToolCtrlsGdTest, ButtonHeightsAndTheFlatWidthRoundHalvesToEven) {
  struct TCase { int Width; bool Flat; int Height; };
  for (const TCase& c : {TCase{10, true, 15}, TCase{11, true, 16}, TCase{13, true, 20}, TCase{12, false, 12}}) {
    SCOPED_TRACE(c.Width);
    EXPECT_EQ(EditButtonHeightFor(c.Width, c.Flat), c.Height);
  }
  const int width = DefaultFlatButtonWidthValue();
  EXPECT_EQ(width % 2, 1);
  EXPECT_GT(width, 0);
  EXPECT_LE(width, 17);
}

}  // namespace

namespace {

class ToolTipsWindowTest : public test::HeadlessTest {};

TEST_F(ToolTipsWindowTest, TheTipTakesTheFontOfItsTextInTheWindowTextColour) {
  TToolTipsWindow tip(nullptr);
  TRect plain = tip.CalcHintRect(400, "A cut-off cell text", nullptr);
  TFont big;
  big.SetSize(20);
  big.SetColor(clRed);
  TRect large = tip.CalcHintRect(400, "A cut-off cell text", &big);
  EXPECT_GT(large.Height(), plain.Height());
  EXPECT_GT(large.Width(), plain.Width());
  EXPECT_EQ(tip.Canvas()->Font()->Size(), 20);
  EXPECT_EQ(tip.Canvas()->Font()->Color(), clWindowText);
}

}  // namespace
