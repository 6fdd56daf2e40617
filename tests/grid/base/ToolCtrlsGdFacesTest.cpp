// The faces of the edit buttons (drop-down, ellipsis, up/down, plus, minus) in the classic and
// flat looks, the tree-line glyphs, and the comparison of values.
#include <gtest/gtest.h>

#include <algorithm>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/gdi/Colors.h"
#include "platform/graphics/Canvas.h"
#include "tests/support/Pixels.h"
#include "tests/support/Snapshot.h"

namespace {

// s shadow, d dark shadow, f face, '.' white (highlight), '#' black (text); m the surrounding
// Color given to the painter, B the surface around the rectangle.
const std::map<COLORREF, char> Legend = {{RGB(128, 128, 128), 's'}, {RGB(64, 64, 64), 'd'},
                                         {RGB(212, 208, 200), 'f'}, {RGB(255, 0, 255), 'm'},
                                         {RGB(0, 0, 255), 'B'}};
constexpr COLORREF Around = RGB(255, 0, 255);

std::string Face(int W, int H, TEditButtonPainterKind Kind, bool Flat, bool Active, int PressedPart,
                 bool Enabled = true) {
  TPixels p(W, H, RGB(0, 0, 255));
  PaintEditButtonImage(p.DC, TRect{0, 0, W, H}, Around, 0, Enabled, Active, Flat, PressedPart, Kind);
  return p.Picture(Legend);
}

// The outer ring of a picture.
std::string Ring(const std::string& Picture) {
  std::vector<std::string> rows;
  size_t at = 0;
  while (at < Picture.size()) {
    size_t end = Picture.find('\n', at);
    rows.push_back(Picture.substr(at, end - at));
    at = end + 1;
  }
  std::string ring = rows.front() + rows.back();
  for (const std::string& r : rows) ring += std::string{r.front(), r.back()};
  return ring;
}

class ButtonFacesTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override { UseButtonBitmapCache = GetParam(); }
  void TearDown() override { UseButtonBitmapCache = true; }
};

TEST_P(ButtonFacesTest, AFlatButtonThatIsNotHotShowsOnlyTheSurroundingColourAtItsEdge) {
  for (TEditButtonPainterKind kind : {bpkDropDown, bpkEllipsis, bpkUpDown, bpkPlus, bpkMinus}) {
    for (int pressed : {0, 1, 2}) {
      SCOPED_TRACE(testing::Message() << "kind " << kind << " pressed " << pressed);
      const std::string cold = Face(17, 21, kind, true, false, pressed);
      EXPECT_EQ(Ring(cold), std::string(2 * 17 + 2 * 21, 'm'));
      const std::string hot = Face(17, 21, kind, true, true, pressed);
      const std::string ring = Ring(hot);
      // Only the seam between up/down halves reaches the edge.
      EXPECT_EQ(std::count(ring.begin(), ring.end(), 'm'), kind == bpkUpDown ? 2 : 0)
          << "a hot flat button has an edge of its own";
    }
  }
}

TEST_P(ButtonFacesTest, UpDownHalvesMeetAtASeamOfTheSurroundingColour) {
  struct TCase { int Height; bool Flat; std::vector<int> SeamRows; };
  const TCase cases[] = {
      {21, false, {10}},
      {20, false, {}},
      {21, true, {9, 10, 11}},  // the frame takes row 0 and 20; halves 1..8 and 12..19
      {22, true, {10, 11}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Height << (c.Flat ? " flat" : " 3D"));
    TPixels p(15, c.Height, RGB(0, 0, 255));
    PaintEditButtonImage(p.DC, TRect{0, 0, 15, c.Height}, Around, 0, true, false, c.Flat, 0, bpkUpDown);
    std::vector<int> seam;
    for (int y = 1; y < c.Height - 1; ++y) {
      bool whole = true;
      for (int x = 1; x < 14; ++x) whole = whole && p.At(x, y) == Around;
      if (whole) seam.push_back(y);
    }
    EXPECT_EQ(seam, c.SeamRows);
  }
}

TEST_P(ButtonFacesTest, ThePressedHalfOfAnUpDownButtonIsSunken) {
  // A raised face has a highlight at its top-left corner, a pushed one a shadow.
  TPixels p(15, 21, RGB(0, 0, 255));
  PaintEditButtonImage(p.DC, TRect{0, 0, 15, 21}, Around, 0, true, false, false, 2, bpkUpDown);
  EXPECT_NE(p.At(0, 0), RGB(128, 128, 128));
  EXPECT_EQ(p.At(0, 11), RGB(128, 128, 128));
  PaintEditButtonImage(p.DC, TRect{0, 0, 15, 21}, Around, 0, true, false, false, 1, bpkUpDown);
  EXPECT_EQ(p.At(0, 0), RGB(128, 128, 128));
  EXPECT_NE(p.At(0, 11), RGB(128, 128, 128));
}

// The box around the pixels of Color.
TRect BoxOf(const TPixels& P, COLORREF Color) {
  TRect box{1000, 1000, -1, -1};
  for (int y = 0; y < P.Surface->Height(); ++y)
    for (int x = 0; x < P.Surface->Width(); ++x)
      if (P.At(x, y) == Color) box = TRect{std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1),
                                           std::max(box.Bottom, y + 1)};
  return box;
}

TEST_P(ButtonFacesTest, DotsAndSignsAreSizedAndPlacedByTheFacesInnerSide) {
  struct TCase { int W, H; TEditButtonPainterKind Kind; bool Flat; int Pressed; TRect Sign; };
  const TCase cases[] = {
      // Ellipsis: dots of 2 with gaps of 2, of 2 with gaps of 1 below an inner width of 12, of 1
      // at an inner width of 7; a pressed face moves them by one pixel.
      {17, 21, bpkEllipsis, false, 0, {3, 9, 13, 11}},
      {17, 21, bpkEllipsis, false, 1, {4, 10, 14, 12}},
      {13, 13, bpkEllipsis, false, 0, {2, 5, 10, 7}},
      {11, 11, bpkEllipsis, false, 0, {3, 5, 8, 6}},
      // Plus: 7 of 13 is odd like 13 but the bars of 2 are even: the bar shrinks to 6 (13 >= 12).
      {17, 21, bpkPlus, false, 0, {5, 7, 11, 13}},
      {17, 21, bpkPlus, false, 1, {6, 8, 12, 14}},
      // Flat and not hot: the face spans the frame, 17 x 21: bars of 9 x 3.
      {17, 21, bpkPlus, true, 0, {4, 6, 13, 15}},
      {13, 13, bpkPlus, false, 0, {4, 4, 9, 9}},
      // 5 of 10 goes to 6 (3D: up to the even side), then to 7 for the bars of 1 (10 < 12).
      {14, 14, bpkPlus, false, 0, {3, 3, 10, 10}},
      {13, 13, bpkMinus, false, 0, {4, 6, 9, 7}},
      {14, 14, bpkMinus, false, 0, {4, 6, 10, 7}},
      {14, 14, bpkMinus, true, 0, {3, 6, 11, 8}},
      // Flat: 8 of 15 goes down to 7.
      {15, 15, bpkMinus, true, 0, {4, 6, 11, 8}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.W << "x" << c.H << " kind " << c.Kind << (c.Flat ? " flat" : " 3D")
                                    << " pressed " << c.Pressed);
    TPixels p(c.W, c.H, RGB(0, 0, 255));
    PaintEditButtonImage(p.DC, TRect{0, 0, c.W, c.H}, Around, 0, true, false, c.Flat, c.Pressed, c.Kind);
    EXPECT_EQ(BoxOf(p, RGB(0, 0, 0)), c.Sign);
  }
}

TEST_P(ButtonFacesTest, ADisabledSignIsEmbossed) {
  TPixels p(13, 13, RGB(0, 0, 255));
  PaintEditButtonImage(p.DC, TRect{0, 0, 13, 13}, Around, 0, false, false, false, 0, bpkMinus);
  EXPECT_EQ(BoxOf(p, RGB(0, 0, 0)).Right, -1) << "no sign in the text colour";
  for (int x = 4; x < 9; ++x) EXPECT_EQ(p.At(x, 6), RGB(128, 128, 128));
  EXPECT_EQ(p.At(9, 7), RGB(255, 255, 255)) << "the highlight copy one pixel right and down";
}

INSTANTIATE_TEST_SUITE_P(CachedAndDirect, ButtonFacesTest, ::testing::Bool());

// Every face in every look and state at two sizes, the check boxes in their three states, and
// the tree-line glyphs, on one picture: rows of kinds, columns of 3D, flat and flat hot, each
// up, pressed and disabled.
gdi::TSurface FacesGallery() {
  const int sizes[][2] = {{17, 21}, {13, 13}};
  const TEditButtonPainterKind kinds[] = {bpkDropDown, bpkEllipsis, bpkUpDown, bpkPlus, bpkMinus, bpkCheckBox};
  TPixels p(9 * 22 + 4, 2 * 6 * 25 + 25 + 2 * 22 + 8, RGB(236, 233, 216));
  int y = 4;
  for (const auto& size : sizes) {
    for (TEditButtonPainterKind kind : kinds) {
      int x = 4;
      for (int look = 0; look < 3; ++look) {
        for (int state = 0; state < 3; ++state) {
          const TRect r{x, y, x + size[0], y + size[1]};
          const int pressed = state == 1 ? (kind == bpkUpDown ? 2 : 1) : 0;
          PaintEditButtonImage(p.DC, r, RGB(236, 233, 216), CheckStateChecked, state != 2, look == 2, look > 0, pressed,
                               kind);
          x += 22;
        }
      }
      y += 25;
    }
  }
  int x = 4;
  for (bool flat : {false, true})
    for (int check : {CheckStateUnchecked, CheckStateChecked, CheckStateGrayed}) {
      PaintEditButtonImage(p.DC, TRect{x, y, x + 13, y + 13}, RGB(236, 233, 216), check, true, false, flat, 0,
                           bpkCheckBox);
      x += 22;
    }
  y += 25;
  TCanvas canvas;
  canvas.SetHandle(p.DC);
  for (int parity : {0, 1}) {
    x = 4;
    for (int code = 0; code <= 9; ++code) {
      DrawTreeLineGlyph(&canvas, TRect{x, y, x + 18, y + 20}, code, 1, 1, parity);
      x += 19;
    }
    y += 22;
  }
  canvas.SetHandle(nullptr);
  return *p.Surface;
}

TEST(ButtonFacesGalleryTest, EveryFaceLookAndStateIsPaintedAsKept) {
  EXPECT_TRUE(test::MatchesSnapshot(FacesGallery(), "edit-button-faces"));
}


}  // namespace

namespace {

TEST(ButtonFaceCacheTest, FacesPaintedInOldSystemColoursAreDropped) {
  FlushButtonBitmapCache();
  TPixels p(17, 21);
  PaintEditButtonImage(p.DC, TRect{0, 0, 17, 21}, clWindow, 0, true, false, false, 0, bpkEllipsis);
  PaintEditButtonImage(p.DC, TRect{0, 0, 17, 21}, clWindow, 0, true, false, false, 0, bpkEllipsis);
  EXPECT_EQ(ButtonBitmapCache().Count(), 1);
  const int index = COLOR_BTNFACE;
  const COLORREF old = GetSysColor(index), face = RGB(10, 120, 30);
  SetSysColors(1, &index, &face);
  PaintEditButtonImage(p.DC, TRect{0, 0, 17, 21}, clWindow, 0, true, false, false, 0, bpkEllipsis);
  EXPECT_EQ(ButtonBitmapCache().Count(), 1);
  EXPECT_EQ(p.At(8, 4), face);
  SetSysColors(1, &index, &old);
  FlushButtonBitmapCache();
}

TEST(DottedLineTest, DotsLineUpByTheParityOfTheirStart) {
  struct TCase { int X1, Y1, X2, Y2, Width, Parity; const char* Row; };
  const TCase cases[] = {
      {0, 0, 10, 0, 1, 0, "#.#.#.#.#."}, {0, 0, 10, 0, 1, 1, ".#.#.#.#.#"}, {1, 0, 10, 0, 1, 0, "..#.#.#.#."},
      {1, 0, 10, 0, 1, 1, ".#.#.#.#.#"}, {0, 0, 10, 0, 2, 0, "##..##..##"}, {0, 0, 9, 0, 2, 0, "##..##..#."},
      // A vertical line, read top to bottom.
      {0, 0, 0, 10, 1, 1, ".#.#.#.#.#"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X1 << "," << c.Y1 << " width " << c.Width << " parity " << c.Parity);
    TPixels p(10, 10);
    DrawDottedLine(p.DC, c.X1, c.Y1, c.X2, c.Y2, clBlack, c.Width, c.Parity);
    std::string row;
    for (int i = 0; i < 10; ++i) row += p.At(c.X2 == c.X1 ? 0 : i, c.X2 == c.X1 ? i : 0) == RGB(0, 0, 0) ? '#' : '.';
    EXPECT_EQ(row, c.Row);
  }
}

TEST(VariantsEqualTest, ValuesArraysAndIncomparablePairs) {
  Variant low0 = VarArrayCreate({0, 2}, varVariant), low1 = VarArrayCreate({1, 3}, varVariant);
  Variant same = VarArrayCreate({0, 2}, varVariant), other = VarArrayCreate({0, 2}, varVariant);
  for (int i = 0; i < 3; ++i) {
    low0[i] = same[i] = other[i] = i + 1;
    low1[i + 1] = i + 1;
  }
  other[2] = 9;
  Variant mixed = VarArrayOf({1, "abc"}), numbers = VarArrayOf({1, 5});
  struct TCase { const char* Name; Variant A, B; bool Equal; };
  const TCase cases[] = {
      {"unassigned and null", Variant(), Variant::Null(), false},
      {"null and null", Variant::Null(), Variant::Null(), true},
      {"unassigned and unassigned", Variant(), Variant(), true},
      {"unassigned and zero", Variant(), 0, false},
      {"equal numbers", 5, 5.0, true},
      {"a number and its text", 5, "5", true},
      {"different texts", "a", "b", false},
      {"text that is no number", "abc", 5, false},
      {"equal arrays", low0, same, true},
      {"other low bounds", low0, low1, false},
      {"an unequal element", low0, other, false},
      {"an incomparable element", mixed, numbers, false},
      {"array and scalar", low0, 1, false},
      {"empty ranges", VarArrayCreate({0, -1}, varVariant), VarArrayCreate({0, -1}, varVariant), true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(VariantsEqual(c.A, c.B), c.Equal);
    EXPECT_EQ(VariantsEqual(c.B, c.A), c.Equal);
  }
}

}  // namespace
