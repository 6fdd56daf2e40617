#include "platform/controls/Buttons.h"
#include "platform/gdi/Gdi.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

const COLORREF kFace = GetSysColor(COLOR_BTNFACE);
const COLORREF kLight = GetSysColor(COLOR_BTNHIGHLIGHT);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 255, 0);

// A strip of square cells of Size pixels in the given colours, the bottom row white: the
// transparent colour (the bottom-left pixel's).
std::unique_ptr<TBitmap> Strip(int Size, std::vector<COLORREF> Cells) {
  auto b = std::make_unique<TBitmap>(Size * static_cast<int>(Cells.size()), Size);
  for (size_t i = 0; i < Cells.size(); ++i) {
    b->Canvas()->Brush()->SetColor(Cells[i]);
    b->Canvas()->FillRect(Bounds(static_cast<int>(i) * Size, 0, Size, Size));
  }
  b->Canvas()->Brush()->SetColor(RGB(255, 255, 255));
  b->Canvas()->FillRect({0, Size - 1, b->Width(), Size});
  return b;
}

class SpeedButtonTest : public StaticControlTest {
 protected:
  TSpeedButton* MakeButton(const std::string& Name, TRect Bounds) {
    auto* b = Make<TSpeedButton>(Form, Name, Bounds);
    b->OnClick = [this, b](TObject*) { Clicks.push_back(b->Name()); };
    return b;
  }
  void ClickOn(TControl* C) {
    Input.Click(test::TInputDriver::ScreenPoint(Form->Handle(), {C->Left() + 5, C->Top() + 5}));
    Pump();
  }
  std::vector<std::string> Clicks;
};

TEST_F(SpeedButtonTest, AGroupKeepsOneButtonDown) {
  auto* a = MakeButton("A", Bounds(10, 10, 40, 22));
  auto* b = MakeButton("B", Bounds(60, 10, 40, 22));
  auto* other = MakeButton("Other", Bounds(110, 10, 40, 22));
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);
  ShowForm();
  ClickOn(a);
  EXPECT_TRUE(a->Down());
  ClickOn(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down()) << "pressing B raised A";
  EXPECT_EQ(a->State(), bsUp);
  EXPECT_TRUE(other->Down()) << "another group is left alone";
  // A down button without AllowAllUp stays down, whether clicked or set.
  ClickOn(b);
  EXPECT_TRUE(b->Down());
  b->SetDown(false);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(Clicks, (std::vector<std::string>{"A", "B", "B"}));
  // AllowAllUp spreads to the group: now B comes up when clicked.
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
  ClickOn(b);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(a->Down());
  // Down only sticks in a group.
  auto* plain = MakeButton("Plain", Bounds(10, 50, 40, 22));
  plain->SetDown(true);
  EXPECT_FALSE(plain->Down());
}

TEST_F(SpeedButtonTest, ReleasingOutsideNeitherClicksNorChangesTheButton) {
  auto* b = MakeButton("B", Bounds(10, 10, 40, 22));
  b->SetGroupIndex(1);
  b->SetAllowAllUp(true);
  ShowForm();
  const TPoint inside = test::TInputDriver::ScreenPoint(Form->Handle(), {20, 20});
  const TPoint outside = test::TInputDriver::ScreenPoint(Form->Handle(), {120, 120});
  Input.MoveTo(inside);
  Input.Press();
  Pump();
  EXPECT_EQ(b->State(), bsDown);
  Input.MoveTo(outside);
  Pump();
  EXPECT_EQ(b->State(), bsUp);
  Input.MoveTo(inside);
  Pump();
  EXPECT_EQ(b->State(), bsDown) << "back over the button it shows pressed again";
  Input.MoveTo(outside);
  Input.Release();
  Pump();
  EXPECT_TRUE(Clicks.empty());
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(b->State(), bsUp);
}

TEST_F(SpeedButtonTest, AFlatButtonRisesUnderTheMouse) {
  auto* b = MakeButton("B", Bounds(10, 10, 40, 22));
  b->SetFlat(true);
  b->SetCaption("");
  ShowForm();
  EXPECT_EQ(Pixel(10, 10), kFace) << "flat: no edge";
  Input.MoveTo(test::TInputDriver::ScreenPoint(Form->Handle(), {20, 20}));
  Pump();
  EXPECT_TRUE(b->MouseInControl());
  EXPECT_EQ(Pixel(10, 10), kLight) << "raised under the mouse";
  Input.MoveTo(test::TInputDriver::ScreenPoint(Form->Handle(), {200, 150}));
  Pump();
  EXPECT_EQ(Pixel(10, 10), kFace);
  auto* raised = MakeButton("Raised", Bounds(60, 10, 40, 22));
  raised->SetCaption("");
  Pump();
  EXPECT_EQ(Pixel(60, 10), kLight) << "a button that is not flat always has its edge";
}

TEST_F(SpeedButtonTest, TheGlyphStripGivesItsCellsAndTheDisabledLook) {
  TSpeedButton button(nullptr);
  struct TCase {
    int Width, Height, Cells;
  };
  for (TCase c : {TCase{64, 16, 4}, TCase{80, 16, 1}, TCase{32, 16, 2}, TCase{50, 16, 2}}) {
    TBitmap glyph(c.Width, c.Height);
    button.SetGlyph(&glyph);
    EXPECT_EQ(button.NumGlyphs(), c.Cells) << c.Width << " x " << c.Height << " (50 wide: not a strip, unchanged)";
  }
  auto* two = MakeButton("Two", Bounds(10, 10, 30, 30));
  two->SetCaption("");
  two->SetGlyph(Strip(16, {kRed, kBlue}).get());
  auto* one = MakeButton("One", Bounds(50, 10, 30, 30));
  one->SetCaption("");
  one->SetGlyph(Strip(16, {kRed}).get());
  ShowForm();
  EXPECT_EQ(Pixel(25, 20), kRed) << "up: the first cell, centred";
  EXPECT_EQ(Pixel(25, 32), kFace) << "the transparent bottom row shows the face";
  two->SetEnabled(false);
  one->SetEnabled(false);
  Pump();
  EXPECT_EQ(Pixel(25, 20), kBlue) << "disabled: the second cell";
  EXPECT_EQ(CountOf(one->BoundsRect(), kRed), 0) << "one cell: an embossed silhouette instead";
  EXPECT_GT(CountOf(one->BoundsRect(), GetSysColor(COLOR_BTNSHADOW)), 100);
}

TEST_F(SpeedButtonTest, LayoutMarginAndSpacingPlaceTheGlyphAndCaption) {
  struct TCase {
    TButtonLayout Layout;
    int Margin;
    TPoint GlyphAt;  // expected top-left of the glyph in the button
  };
  // A flat 60 × 60 button (its face 58 × 58 inside a 1-pixel edge), a 10 × 11 glyph, no
  // caption: the glyph alone.
  const TCase cases[] = {{blGlyphLeft, 4, {5, 25}},  {blGlyphRight, 4, {45, 25}}, {blGlyphTop, 6, {25, 7}},
                         {blGlyphBottom, 0, {25, 48}}, {blGlyphLeft, -1, {25, 25}}};
  auto* b = MakeButton("B", Bounds(0, 0, 60, 60));
  b->SetFlat(true);
  b->SetCaption("");
  TBitmap glyph(10, 11);
  glyph.Canvas()->Brush()->SetColor(kGreen);
  glyph.Canvas()->FillRect({0, 0, 10, 11});
  glyph.Canvas()->Brush()->SetColor(RGB(255, 255, 255));
  glyph.Canvas()->FillRect({0, 10, 10, 11});  // the transparent row
  b->SetGlyph(&glyph);
  ShowForm();
  for (const TCase& c : cases) {
    b->SetLayout(c.Layout);
    b->SetMargin(c.Margin);
    Pump();
    TRect ink = InkBox(Bounds(1, 1, 58, 58), kFace);
    EXPECT_EQ(TPoint(ink.Left, ink.Top), c.GlyphAt) << c.Layout << " margin " << c.Margin;
  }
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), -1) << "below -1 is refused";
}

}  // namespace
