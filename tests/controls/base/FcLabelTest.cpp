// The framed label: its angle and rotation rules, the auto-size sums with frames, margins,
// shadow and rotation, the reference points, the text styles' copies and the ellipsis by their
// pixels, blinking on the shared timer and the fly-by colour.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <vector>

#include "controls/base/FcLabel.h"
#include "platform/gdi/Text.h"
#include "platform/os/WindowDC.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Pixels.h"
#include "tests/support/Snapshot.h"

namespace {

class LabelTest : public test::HeadlessTest {
 protected:
  LabelTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 320, 200);
    Form->SetColor(clWhite);
    Label = new TFcLabel(Form.get());
    Label->SetLeft(10);
    Label->SetTop(10);
    Label->SetParent(Form.get());
    Label->SetCaption("Label");
    Form->Show();
    App.ProcessMessages();
  }
  // The size of the caption in the label's font, as the label measures it.
  TSize TextSize(const std::string& Text) {
    HDC dc = GetDC(nullptr);
    TCanvas measure;
    measure.SetHandle(dc);
    measure.Font()->Assign(Label->Font());
    TRect r{0, 0, 0x7FFF, 0};
    DrawText(measure.Handle(), Text, &r, DT_CALCRECT | DT_EXPANDTABS);
    measure.SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    return {r.Width(), r.Height()};
  }
  gdi::TSurface Shot() {
    Label->Invalidate();
    App.ProcessMessages();
    return App.Presenter().Snapshot(Form->Handle());
  }
  // The box around the pixels of exactly Colour inside the label.
  TRect InkOf(const gdi::TSurface& S, TColor Colour) {
    TRect box{10000, 10000, -1, -1};
    const COLORREF c = ColorToRGB(Colour);
    for (int y = Label->Top(); y < Label->Top() + Label->Height(); ++y)
      for (int x = Label->Left(); x < Label->Left() + Label->Width(); ++x)
        if (gdi::ColorOfPixel(S.Get(x, y)) == c) {
          box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  }
  // The box around every pixel of the label that is not its background.
  TRect AllInk(const gdi::TSurface& S, TColor Background) {
    TRect box{10000, 10000, -1, -1};
    const COLORREF c = ColorToRGB(Background);
    for (int y = Label->Top(); y < Label->Top() + Label->Height(); ++y)
      for (int x = Label->Left(); x < Label->Left() + Label->Width(); ++x)
        if (gdi::ColorOfPixel(S.Get(x, y)) != c) {
          box.Left = std::min(box.Left, x), box.Top = std::min(box.Top, y);
          box.Right = std::max(box.Right, x + 1), box.Bottom = std::max(box.Bottom, y + 1);
        }
    return box;
  }
  std::unique_ptr<TForm> Form;
  TFcLabel* Label = nullptr;
  test::TInputDriver Input;
};

TEST_F(LabelTest, TheAngleIsKeptInOneTurnAndSwitchesTheRotationOn) {
  for (auto [given, kept] : std::map<int, int>{{-90, 270}, {450, 90}, {-450, 270}, {360, 0}, {-720, 0}, {45, 45}}) {
    Label->SetAngle(given);
    EXPECT_EQ(Label->Angle(), kept) << given;
  }
  EXPECT_EQ(Label->Rotation(), roFlat) << "a non-zero angle turns the text";
  Label->SetRotation(roCurve);
  Label->SetCenterPoint(cpLowerLeft);
  Label->SetAngle(30);
  Label->SetRotation(roFlat);
  EXPECT_EQ(Label->Angle(), 0);
  EXPECT_EQ(Label->CenterPoint(), cpCenter);
  Label->SetAngle(90);
  Label->SetRotation(roNone);
  EXPECT_EQ(Label->Angle(), 0);
}

// Auto-size: the caption plus what lies around it, the same widths painting takes.
TEST_F(LabelTest, AutoSizeAddsFramesBandMarginAndShadowToTheCaption) {
  const TSize t = TextSize("Label");
  struct TCase {
    TFrameStyleEx Outer, Inner;
    int BorderWidth, Margin;
    TSides Sides;
    TTextStyle Style;
    int ExtraW, ExtraH;
  };
  const TSides leftTop{sdLeft, sdTop};
  for (const TCase& c : {
           TCase{fsNone, fsNone, 0, 0, AllSides, tsNormal, 0, 0},
           TCase{fsFlat, fsNone, 0, 0, AllSides, tsNormal, 2, 2},
           TCase{fsLowered, fsRaised, 0, 0, AllSides, tsNormal, 8, 8},
           TCase{fsFlatBold, fsNone, 0, 0, AllSides, tsNormal, 4, 4},
           TCase{fsFlatRounded, fsFlatBold, 0, 0, AllSides, tsNormal, 8, 8},
           TCase{fsNone, fsNone, 3, 2, AllSides, tsNormal, 10, 10},
           TCase{fsFlat, fsNone, 3, 0, leftTop, tsNormal, 7, 7},
           TCase{fsNone, fsNone, 0, 0, AllSides, tsShadow, 2, 2},
           TCase{fsNone, fsNone, 0, 0, AllSides, tsRaised, 0, 0},
       }) {
    SCOPED_TRACE(testing::Message() << c.Outer << " " << c.Inner << " " << c.BorderWidth << " " << c.Margin);
    Label->SetBorderOuter(c.Outer);
    Label->SetBorderInner(c.Inner);
    Label->SetBorderWidth(c.BorderWidth);
    Label->SetTextMargin(c.Margin);
    Label->SetBorderSides(c.Sides);
    Label->SetTextStyle(c.Style);
    EXPECT_EQ(Label->Width(), t.cx + c.ExtraW);
    EXPECT_EQ(Label->Height(), t.cy + c.ExtraH);
    // What is left for the text is the caption's size.
    TRect inside = Label->ClientRect();
    Label->ShrinkRectByBorders(inside, true);
    EXPECT_EQ(inside.Width() - 2 * c.Margin, t.cx + (c.Style == tsShadow ? 2 : 0));
  }
}

TEST_F(LabelTest, ARotatedLabelTakesTheBoxOfItsTurnedText) {
  const TSize t = TextSize("Label");
  Label->SetAngle(90);
  EXPECT_EQ(Label->Width(), t.cy);
  EXPECT_EQ(Label->Height(), t.cx);
  Label->SetAngle(180);
  EXPECT_EQ(Label->Width(), t.cx);
  EXPECT_EQ(Label->Height(), t.cy);
  Label->SetAngle(80);
  const TSize at80{Label->Width(), Label->Height()};
  EXPECT_GT(at80.cy, at80.cx);
  // A text turned past the vertical has the box of its mirror image.
  for (int angle : {100, 260, 280}) {
    Label->SetAngle(angle);
    EXPECT_EQ(Label->Width(), at80.cx) << angle;
    EXPECT_EQ(Label->Height(), at80.cy) << angle;
  }
}

TEST_F(LabelTest, ACondensedCaptionNeverAutoSizesAndEndsInAnEllipsis) {
  Label->SetCaption("A caption far too long for its label");
  const int full = Label->Width();
  Label->SetCondenseCaption(ccAtEnd);
  EXPECT_FALSE(Label->AutoSize());
  Label->SetWidth(80);
  Label->SetCaption("Another caption far too long for its label");
  EXPECT_EQ(Label->Width(), 80);
  EXPECT_GT(full, 80);
  // The label draws what DrawText draws with the ellipsis flag.
  auto expected = [&](UINT Flag) {
    TPixels p(80, Label->Height(), ColorToRGB(Label->Color()));
    SetBkMode(p.DC, TRANSPARENT);
    const LOGFONT lf = Label->Font()->LogFont();
    TSelected font(p.DC, CreateFontIndirect(&lf));
    TRect r{0, 0, 80, Label->Height()};
    DrawText(p.DC, Label->Caption(), &r, DT_EXPANDTABS | Flag);
    return *p.Surface;
  };
  auto drawn = [&] {
    gdi::TSurface shot = Shot();
    gdi::TSurface part(80, Label->Height());
    for (int y = 0; y < Label->Height(); ++y)
      for (int x = 0; x < 80; ++x) part.Set(x, y, shot.Get(Label->Left() + x, Label->Top() + y));
    return part;
  };
  EXPECT_EQ(test::CompareSurfaces(expected(DT_END_ELLIPSIS), drawn()).Pixels, 0);
  Label->SetCondenseCaption(ccWithinPath);
  Label->SetCaption("C:/music/morning/announcement.mp3");
  EXPECT_EQ(test::CompareSurfaces(expected(DT_PATH_ELLIPSIS), drawn()).Pixels, 0);
  EXPECT_GT(test::CompareSurfaces(expected(DT_END_ELLIPSIS), drawn()).Pixels, 0);
}

TEST_F(LabelTest, TheReferencePointIsTheCentreOrTheChosenPointInsideTheBand) {
  Label->SetAutoSize(false);
  Label->SetBounds(10, 10, 101, 51);
  Label->SetBorderWidth(4);
  Label->SetRotation(roCurve);
  const std::map<TCenterPoint, TPoint> expected{
      {cpUpperLeft, {4, 4}},   {cpUpperCenter, {50, 4}},  {cpUpperRight, {97, 4}},
      {cpLeftCenter, {4, 25}}, {cpCenter, {50, 25}},      {cpRightCenter, {97, 25}},
      {cpLowerLeft, {4, 47}},  {cpLowerCenter, {50, 47}}, {cpLowerRight, {97, 47}}};
  for (auto [point, at] : expected) {
    Label->SetCenterPoint(point);
    EXPECT_EQ(Label->ReferencePoint(), at) << point;
  }
  Label->SetRotation(roFlat);
  EXPECT_EQ(Label->ReferencePoint(), (TPoint{50, 25})) << "turned text always turns around the centre";
}

// The copies of each text style, told apart by colour: highlight red, shadow blue, text black.
TEST_F(LabelTest, TheTextStylesDrawTheirCopiesAtTheirOffsets) {
  Label->Font()->SetName("Arial");
  Label->Font()->SetHeight(-28);
  Label->Font()->SetStyle({fsBold});
  Label->Font()->SetColor(clBlack);
  Label->SetCaption("I");
  Label->SetColor(clWhite);
  Label->SetHighlightColor(clRed);
  Label->SetShadowColor(clBlue);
  struct TCase {
    TTextStyle Style;
    bool Light;
    int RedDx, BlueDx;  // offset of the copy's right edge from the text's; 99: no copy
  };
  for (const TCase& c : {TCase{tsRaised, false, -1, 1}, TCase{tsRaised, true, -1, 99}, TCase{tsRecessed, false, 1, -1},
                         TCase{tsRecessed, true, 1, 99}, TCase{tsShadow, false, 99, 2}, TCase{tsNormal, false, 99, 99}}) {
    SCOPED_TRACE(testing::Message() << c.Style << " light " << c.Light);
    Label->SetTextStyle(c.Style);
    Label->SetLightTextStyle(c.Light);
    const gdi::TSurface s = Shot();
    const TRect text = InkOf(s, clBlack);
    ASSERT_GT(text.Right, 0);
    // A copy moved by (d, d) shows beyond the text on the side it moved to.
    auto expectCopy = [&](TColor Colour, int D) {
      const TRect copy = InkOf(s, Colour);
      if (D == 99) {
        EXPECT_EQ(copy.Right, -1) << Colour;
      } else if (D > 0) {
        EXPECT_EQ(copy.Right, text.Right + D) << Colour;
        EXPECT_EQ(copy.Bottom, text.Bottom + D) << Colour;
      } else {
        EXPECT_EQ(copy.Left, text.Left + D) << Colour;
        EXPECT_EQ(copy.Top, text.Top + D) << Colour;
      }
    };
    expectCopy(clRed, c.RedDx);
    expectCopy(clBlue, c.BlueDx);
  }
  // Disabled: the grey caption alone, whatever the style.
  Label->SetTextStyle(tsRecessed);
  Label->SetEnabled(false);
  const gdi::TSurface s = Shot();
  EXPECT_GT(InkOf(s, clGrayText).Right, 0);
  EXPECT_EQ(InkOf(s, clRed).Right, -1);
  EXPECT_EQ(InkOf(s, clBlue).Right, -1);
  EXPECT_EQ(InkOf(s, clBlack).Right, -1);
}

TEST_F(LabelTest, RotatedTextLiesAcrossTheLabelAroundItsCentre) {
  Label->Font()->SetName("Arial");
  Label->Font()->SetHeight(-20);
  Label->SetCaption("Rotated");
  Label->SetColor(clWhite);
  for (int angle : {0, 90, 180, 270, 45}) {
    SCOPED_TRACE(angle);
    Label->SetAngle(angle);
    const gdi::TSurface s = Shot();
    const TRect ink = AllInk(s, clWhite);
    ASSERT_GT(ink.Right, 0);
    const TPoint centre{Label->Left() + Label->Width() / 2, Label->Top() + Label->Height() / 2};
    EXPECT_NEAR((ink.Left + ink.Right) / 2, centre.X, 4);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2, centre.Y, 4);
    if (angle == 90 || angle == 270) {
      EXPECT_GT(ink.Height(), 2 * ink.Width());
    } else if (angle == 0 || angle == 180) {
      EXPECT_GT(ink.Width(), 2 * ink.Height());
    } else {
      EXPECT_NEAR(ink.Width(), ink.Height(), 6);
    }
  }
}

TEST_F(LabelTest, CurvedTextLaysOneCharacterAfterAnotherAlongTheArc) {
  Label->SetAutoSize(false);
  Label->SetBounds(10, 10, 160, 160);
  Label->Font()->SetName("Arial");
  Label->Font()->SetHeight(-16);
  Label->SetColor(clWhite);
  Label->SetCaption("ABCDEFGHIJKLMNOPQR");
  Label->SetRotation(roCurve);
  Label->SetAngle(90);
  const gdi::TSurface s = Shot();
  // Starting at the left of the centre, the text runs over the top to the right.
  const TRect ink = AllInk(s, clWhite);
  ASSERT_GT(ink.Right, 0);
  EXPECT_LT(ink.Left, Label->Left() + 40);
  EXPECT_GT(ink.Right, Label->Left() + 120);
  EXPECT_LT(ink.Top, Label->Top() + 40);
  EXPECT_GT(ink.Bottom, Label->Top() + 60) << "the first characters stand at the side, not on one line";
  // A label too small for its arc still paints.
  Label->SetBounds(10, 10, 4, 4);
  Shot();
}

TEST_F(LabelTest, BlinkingAlternatesOnTheSharedTimerAndReturnsToTheFontColour) {
  Label->Font()->SetColor(clGreen);
  Label->SetBlinkColor(clRed);
  Label->SetBlinking(true);
  TFcLabel other(Form.get());
  other.SetBlinkIntervalOn(300);
  EXPECT_EQ(Label->GetBlinkIntervalOn(), 300) << "one interval for all";
  std::set<TColor> seen;
  for (int i = 0; i < 15; ++i) {
    App.RunFor(100);
    seen.insert(Label->CurrentTextColor());
  }
  EXPECT_EQ(seen, (std::set<TColor>{clGreen, clRed}));
  EXPECT_EQ(other.CurrentTextColor(), other.Font()->Color()) << "a label that does not blink stays";
  // A font change while blinking keeps the colour to return to.
  Label->Font()->SetColor(clBlue);
  Label->SetBlinking(false);
  EXPECT_EQ(Label->CurrentTextColor(), clGreen);
  EXPECT_FALSE(Label->BlinkPhaseOn());
}

TEST_F(LabelTest, FlyByShowsItsColourOnlyWhileTheMouseIsOver) {
  Label->Font()->SetColor(clGreen);
  Label->SetFlyByEnabled(true);
  Label->SetFlyByColor(clRed);
  Input.MoveTo(Form->Handle(), {Label->Left() + 2, Label->Top() + 2});
  App.RunFor(50);
  EXPECT_EQ(Label->Font()->Color(), clRed);
  EXPECT_EQ(Label->CurrentTextColor(), clRed);
  Input.MoveTo(Form->Handle(), {300, 190});
  App.RunFor(50);
  EXPECT_EQ(Label->Font()->Color(), clGreen);
  // Switched on while the mouse is over, leaving keeps the font's own colour.
  Label->SetFlyByEnabled(false);
  Label->Font()->SetColor(clBlue);
  Input.MoveTo(Form->Handle(), {Label->Left() + 2, Label->Top() + 2});
  App.RunFor(50);
  Label->SetFlyByEnabled(true);
  Input.MoveTo(Form->Handle(), {300, 190});
  App.RunFor(50);
  EXPECT_EQ(Label->Font()->Color(), clBlue);
}

TEST_F(LabelTest, AVisibleFrameControllerGivesTheLabelItsFrame) {
  TFcFrameController controller(nullptr);
  controller.SetFrameVisible(true);
  controller.SetFrameStyle(fsFlatBold);
  controller.SetFrameColor(clRed);
  const int width = Label->Width();
  Label->SetFrameController(&controller);
  EXPECT_EQ(Label->BorderOuter(), fsFlatBold);
  EXPECT_EQ(Label->FlatColor(), clRed);
  EXPECT_EQ(Label->FlatColorAdjustment(), 0);
  EXPECT_EQ(Label->Width(), width + 4);
  Label->SetFrameController(nullptr);
}

}  // namespace

// One of each kind of label side by side: every one shows its caption (set
// OSTROVEL_WINDOW_PNGS=DIR to keep the picture as DIR/framed-labels.png).
TEST_F(LabelTest, EveryKindOfLabelShowsItsCaption) {
  Form->SetBounds(0, 0, 420, 300);
  Form->SetColor(clBtnFace);
  Label->SetCaption("Plain");
  std::vector<TFcLabel*> labels{Label};
  auto add = [&](int X, int Y, const std::string& Caption) {
    auto* l = new TFcLabel(Form.get());
    l->SetLeft(X);
    l->SetTop(Y);
    l->Font()->SetName("Arial");
    l->Font()->SetHeight(-14);
    l->SetParent(Form.get());
    l->SetCaption(Caption);
    labels.push_back(l);
    return l;
  };
  for (auto [angle, x, y] : {std::tuple{0, 10, 40}, {90, 90, 30}, {180, 120, 40}, {270, 190, 30}, {45, 220, 20}})
    add(x, y, "Angle " + std::to_string(angle))->SetAngle(angle);
  TFcLabel* arc = add(290, 10, "Curved along the arc");
  arc->SetAutoSize(false);
  arc->SetBounds(290, 10, 120, 120);
  arc->SetRotation(roCurve);
  arc->SetAngle(90);
  arc->SetBorderOuter(fsFlat);
  TFcLabel* lower = add(290, 140, "Lower centre");
  lower->SetAutoSize(false);
  lower->SetBounds(290, 140, 120, 60);
  lower->SetRotation(roCurve);
  lower->SetCenterPoint(cpLowerCenter);
  lower->SetAngle(60);
  int y = 130;
  for (TTextStyle style : {tsRaised, tsRecessed, tsShadow}) {
    TFcLabel* l = add(10, y, style == tsRaised ? "Raised" : style == tsRecessed ? "Recessed" : "Shadow");
    l->Font()->SetHeight(-20);
    l->Font()->SetStyle({fsBold});
    l->Font()->SetColor(clNavy);
    l->SetTextStyle(style);
    l->SetHighlightColor(clWhite);
    y += 30;
  }
  TFcLabel* framed = add(130, 130, "Lowered, band, raised");
  framed->SetBorderOuter(fsLowered);
  framed->SetBorderWidth(3);
  framed->SetBorderColor(clYellow);
  framed->SetBorderInner(fsRaised);
  framed->SetTextMargin(2);
  add(130, 165, "Flat bold")->SetBorderOuter(fsFlatBold);
  TFcLabel* rounded = add(130, 195, "Rounded");
  rounded->SetBorderOuter(fsFlatRounded);
  rounded->SetFlatColor(clRed);
  TFcLabel* end = add(10, 230, "An end ellipsis on a long caption");
  end->SetCondenseCaption(ccAtEnd);
  end->SetWidth(120);
  TFcLabel* path = add(140, 230, "C:/music/morning/announcement.mp3");
  path->SetCondenseCaption(ccWithinPath);
  path->SetWidth(140);
  add(10, 260, "Disabled raised")->SetEnabled(false);
  labels.back()->SetTextStyle(tsRaised);
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
  if (const char* dir = getenv("OSTROVEL_WINDOW_PNGS")) test::SavePng(shot, std::string(dir) + "/framed-labels.png");
  for (TFcLabel* l : labels) {
    Label = l;
    const TRect ink = AllInk(shot, l->Color());
    EXPECT_GT(ink.Right, 0) << l->Caption();
    EXPECT_LE(ink.Right, l->Left() + l->Width()) << l->Caption();
  }
  for (TFcLabel* condensed : {end, path}) {
    Label = condensed;
    EXPECT_LT(AllInk(shot, condensed->Color()).Right, condensed->Left() + condensed->Width() - 2)
        << "the ellipsis ends the text inside " << condensed->Caption();
  }
}
