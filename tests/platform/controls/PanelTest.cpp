// Panels, bevels, shapes, images and paint boxes.
#include "platform/controls/ExtCtrls.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);
const COLORREF kLight = GetSysColor(COLOR_BTNHIGHLIGHT);
const COLORREF kDark = GetSysColor(COLOR_BTNSHADOW);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

using PanelTest = StaticControlTest;

TEST_F(PanelTest, BevelsFrameThePanelAndItsChildrenAlignInsideThem) {
  auto* panel = Make<TPanel>(Form, "Panel", Bounds(10, 10, 120, 80));
  panel->SetCaption("");
  panel->SetBevelInner(bvLowered);
  panel->SetBevelWidth(2);
  auto* child = Make<TTestPanel>(panel, "Child", Bounds(0, 0, 10, 10));
  child->SetAlign(alClient);
  child->SetColor(kRed);
  ShowForm();
  EXPECT_EQ(child->BoundsRect(), Bounds(4, 4, 112, 72)) << "two bevels of 2 pixels";
  // Raised outside: light on the upper left, dark on the lower right; lowered inside.
  EXPECT_EQ(Pixel(10, 10), kLight);
  EXPECT_EQ(Pixel(11, 50), kLight);
  EXPECT_EQ(Pixel(129, 89), kDark);
  EXPECT_EQ(Pixel(128, 50), kDark);
  EXPECT_EQ(Pixel(12, 50), kDark);
  EXPECT_EQ(Pixel(127, 50), kLight);
  EXPECT_EQ(Pixel(14, 14), kRed);

  panel->SetBevelInner(bvNone);
  panel->SetBevelOuter(bvNone);
  Pump();
  EXPECT_EQ(child->BoundsRect(), Bounds(0, 0, 120, 80)) << "changing the bevels realigns the children";
}

TEST_F(PanelTest, TheCaptionFollowsTheAlignment) {
  const TAlignment alignments[] = {taLeftJustify, taCenter, taRightJustify};
  TRect ink[3];
  for (int i = 0; i < 3; ++i) {
    auto* p = Make<TPanel>(Form, "P" + std::to_string(i), Bounds(10, 10 + 50 * i, 200, 40));
    p->SetCaption("Caption");
    p->SetAlignment(alignments[i]);
  }
  ShowForm();
  for (int i = 0; i < 3; ++i) {
    ink[i] = InkBox(Bounds(12, 12 + 50 * i, 196, 36), kFace);
    ASSERT_FALSE(ink[i].IsEmpty()) << i;
    EXPECT_NEAR((ink[i].Top + ink[i].Bottom) / 2, 10 + 50 * i + 20, 2) << "vertically centred";
  }
  EXPECT_LT(ink[0].Left, 16);
  EXPECT_NEAR((ink[1].Left + ink[1].Right) / 2, 110, 2);
  EXPECT_GT(ink[2].Right, 204);
}

TEST_F(PanelTest, BevelShapesAndStyles) {
  struct TCase {
    TBevelShape Shape;
    TBevelStyle Style;
    // Points of a 20 × 20 bevel and the colour each must have (face: untouched).
    std::vector<std::pair<TPoint, COLORREF>> Expected;
  };
  const std::vector<TCase> cases = {
      {bsBox, bsLowered, {{{0, 0}, kDark}, {{19, 0}, kLight}, {{19, 19}, kLight}, {{0, 19}, kDark}, {{10, 10}, kFace}}},
      {bsBox, bsRaised, {{{0, 0}, kLight}, {{0, 18}, kLight}, {{19, 19}, kDark}, {{10, 10}, kFace}}},
      {bsFrame, bsLowered, {{{0, 0}, kDark}, {{1, 1}, kLight}, {{18, 18}, kDark}, {{19, 19}, kLight}}},
      {bsTopLine, bsLowered, {{{5, 0}, kDark}, {{5, 1}, kLight}, {{5, 2}, kFace}, {{5, 19}, kFace}}},
      {bsBottomLine, bsRaised, {{{5, 18}, kLight}, {{5, 19}, kDark}, {{5, 0}, kFace}}},
      {bsLeftLine, bsLowered, {{{0, 5}, kDark}, {{1, 5}, kLight}, {{19, 5}, kFace}}},
      {bsRightLine, bsLowered, {{{18, 5}, kDark}, {{19, 5}, kLight}, {{0, 5}, kFace}}},
      {bsSpacer, bsLowered, {{{0, 0}, kFace}, {{19, 19}, kFace}}},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    auto* b = Make<TBevel>(Form, "Bevel" + std::to_string(i), Bounds(10 + 25 * static_cast<int>(i), 10, 20, 20));
    b->SetShape(cases[i].Shape);
    b->SetStyle(cases[i].Style);
  }
  ShowForm();
  for (size_t i = 0; i < cases.size(); ++i)
    for (const auto& [p, color] : cases[i].Expected)
      EXPECT_EQ(Pixel(10 + 25 * static_cast<int>(i) + p.X, 10 + p.Y), color) << "case " << i << " at " << p.X << "," << p.Y;
}

TEST_F(PanelTest, ShapesFitTheirFigureInsideTheControl) {
  auto* circle = Make<TShape>(Form, "Circle", Bounds(10, 10, 60, 40));
  circle->SetShape(stCircle);
  circle->Brush()->SetColor(kRed);
  auto* rect = Make<TShape>(Form, "Rect", Bounds(100, 10, 60, 40));
  rect->Pen()->SetWidth(3);
  rect->Pen()->SetColor(kBlue);
  ShowForm();
  EXPECT_EQ(Pixel(40, 30), kRed);
  EXPECT_EQ(Pixel(13, 30), kFace) << "a circle in a wide control is centred: its sides stay clear";
  EXPECT_EQ(Pixel(66, 30), kFace);
  EXPECT_EQ(Pixel(40, 10), RGB(0, 0, 0)) << "the pen touches the top";
  EXPECT_EQ(Pixel(100, 10), kBlue) << "a wide pen stays inside the control";
  EXPECT_EQ(Pixel(159, 49), kBlue);
  EXPECT_EQ(Pixel(103, 13), RGB(255, 255, 255)) << "the default brush fills the inside";
  // A change of the pen or brush repaints.
  rect->Brush()->SetColor(kRed);
  Pump();
  EXPECT_EQ(Pixel(130, 30), kRed);
}

TEST_F(PanelTest, AnImageDrawsItsPictureAsStretchCenterAndProportionalSay) {
  TBitmap red(40, 20);
  red.Canvas()->Brush()->SetColor(kRed);
  red.Canvas()->FillRect({0, 0, 40, 20});
  auto* image = Make<TImage>(Form, "Image", Bounds(10, 10, 100, 80));
  image->Picture()->SetGraphic(&red);
  struct TCase {
    bool Stretch, Center, Proportional;
    TRect Dest;
  };
  const TCase cases[] = {
      {false, false, false, {0, 0, 40, 20}},  {false, true, false, {30, 30, 70, 50}},
      {true, false, false, {0, 0, 100, 80}},  {true, false, true, {0, 0, 100, 50}},
      {true, true, true, {0, 15, 100, 65}},   {false, false, true, {0, 0, 40, 20}},
  };
  for (const TCase& c : cases) {
    image->SetStretch(c.Stretch);
    image->SetCenter(c.Center);
    image->SetProportional(c.Proportional);
    EXPECT_EQ(image->DestRect(), c.Dest) << c.Stretch << c.Center << c.Proportional;
  }
  image->SetCenter(true);
  ShowForm();
  EXPECT_EQ(Pixel(60, 50), kRed);
  EXPECT_EQ(Pixel(60, 20), kFace) << "above the centred picture";
  // A bigger picture is shrunk by Proportional alone, and AutoSize takes the picture's size.
  TBitmap big(200, 100);
  image->SetStretch(false);
  image->SetCenter(false);
  image->Picture()->SetGraphic(&big);
  EXPECT_EQ(image->DestRect(), TRect(0, 0, 100, 50));
  image->SetAutoSize(true);
  EXPECT_EQ(image->BoundsRect(), Bounds(10, 10, 200, 100));
}

TEST_F(PanelTest, AnImageCanvasIsItsBitmapsAndDrawingShowsOnTheForm) {
  auto* image = Make<TImage>(Form, "Image", Bounds(10, 10, 50, 30));
  ShowForm();
  TCanvas* canvas = image->Canvas();
  ASSERT_NE(image->Picture()->Bitmap(), nullptr);
  EXPECT_EQ(image->Picture()->Width(), 50) << "an empty picture becomes a bitmap of the control's size";
  canvas->Brush()->SetColor(kBlue);
  canvas->FillRect({0, 0, 50, 30});
  Pump();
  EXPECT_EQ(Pixel(30, 20), kBlue);
  image->Picture()->SetGraphic(nullptr);
  TIcon icon;
  image->Picture()->SetIcon(&icon);
  EXPECT_THROW(image->Canvas(), EInvalidOperation);
}

TEST_F(PanelTest, APaintBoxPaintsThroughOnPaint) {
  auto* box = Make<TPaintBox>(Form, "Box", Bounds(10, 10, 40, 40));
  box->SetColor(kRed);
  int paints = 0;
  box->OnPaint = [&](TObject*) {
    ++paints;
    box->Canvas()->FillRect({0, 0, 20, 20});
  };
  ShowForm();
  EXPECT_GE(paints, 1);
  EXPECT_EQ(Pixel(15, 15), kRed) << "the canvas brush takes the box's colour";
  EXPECT_EQ(Pixel(35, 35), kFace);
}

}  // namespace
