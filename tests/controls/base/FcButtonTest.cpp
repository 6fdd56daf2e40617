// The framed buttons under synthetic input on the virtual clock: the control button's repeated
// clicks and faces, the tool button's groups, styles and drop-down menu, the push button's
// groups, keys and modal result, and the bitmap button's kinds, glyph strips and layout.
#include "controls/base/FcButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Colors.h"
#include "platform/os/Themes.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

class ButtonTest : public test::HeadlessTest {
 protected:
  ButtonTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 320, 200);
    Form->SetColor(clBtnFace);
  }
  void ShowForm() {
    Form->Show();
    App.ProcessMessages();
  }
  // The form-client point of a control's client point.
  TPoint At(TControl* Control, TPoint Client) { return Form->ScreenToClient(Control->ClientToScreen(Client)); }
  TPoint Centre(TControl* Control) { return At(Control, {Control->Width() / 2, Control->Height() / 2}); }
  void ClickOn(TControl* Control) {
    Input.Click(Form->Handle(), Centre(Control));
    App.RunFor(50);
  }
  TColor PixelAt(TControl* Control, int X, int Y) {
    const TPoint p = At(Control, {X, Y});
    return gdi::ColorOfPixel(App.Presenter().Snapshot(Form->Handle()).Get(p.X, p.Y));
  }
  int64_t Now() { return App.Clock().MonotonicMs(); }

  std::unique_ptr<TForm> Form;
  test::TInputDriver Input;
};

// ---- control button ----

class ControlButtonTest : public ButtonTest {
 protected:
  ControlButtonTest() {
    Button = new TFcControlButton(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(10, 10, 17, 21);
    Button->OnClick = [this](TObject*) { Clicks.push_back(Now() - Pressed); };
    ShowForm();
  }
  void Hold(int64_t Ms, bool ReleaseInside = true) {
    Input.MoveTo(Form->Handle(), Centre(Button));
    Pressed = Now();
    Input.Press();
    Input.Wait(Ms);
    if (!ReleaseInside) Input.MoveTo(Form->Handle(), {200, 150});
    Input.Release();
    App.RunFor(Ms + 1000);
  }
  TFcControlButton* Button = nullptr;
  std::vector<int64_t> Clicks;
  int64_t Pressed = 0;
};

TEST_F(ControlButtonTest, StartsAtItsSizeAndStyle) {
  TFcControlButton plain(nullptr);
  EXPECT_EQ(plain.Width(), 17);
  EXPECT_EQ(plain.Height(), 21);
  EXPECT_EQ(plain.Style(), cbsNone);
  EXPECT_EQ(plain.InitialDelay(), 400);
  EXPECT_EQ(plain.Delay(), 100);
  EXPECT_EQ(plain.Color(), clBtnFace);
}

TEST_F(ControlButtonTest, HeldDownItRepeatsAfter400ThenEvery100UntilReleased) {
  Button->SetRepeatClicks(true);
  Hold(950);
  // The repeats, then the click of the release inside; nothing after the release.
  EXPECT_EQ(Clicks, (std::vector<int64_t>{400, 500, 600, 700, 800, 900, 950}));
  EXPECT_FALSE(Button->IsDown());
  // A second hold waits the full first delay again.
  Clicks.clear();
  Hold(450);
  EXPECT_EQ(Clicks, (std::vector<int64_t>{400, 450}));
}

TEST_F(ControlButtonTest, WithoutRepeatsItClicksOnceOnARelease) {
  Hold(950);
  EXPECT_EQ(Clicks, (std::vector<int64_t>{950}));
}

TEST_F(ControlButtonTest, AReleaseOutsideDoesNotClickAndStopsTheRepeats) {
  Button->SetRepeatClicks(true);
  Hold(450, false);
  EXPECT_EQ(Clicks, (std::vector<int64_t>{400}));
}

TEST_F(ControlButtonTest, AGlyphStripIsCutByItsWidth) {
  struct TCase {
    int Width, Height, Cells;
  } cases[] = {{64, 16, 4}, {48, 16, 3}, {16, 16, 1}, {80, 16, 1}, {0, 16, 1}};
  for (const TCase& c : cases) {
    TBitmap glyph(c.Width, c.Height);
    Button->SetNumGlyphs(2);
    Button->SetGlyph(&glyph);
    EXPECT_EQ(Button->NumGlyphs(), c.Cells) << c.Width << " x " << c.Height;
  }
  // A width that is no whole multiple of the height leaves the count.
  Button->SetNumGlyphs(2);
  TBitmap odd(50, 16);
  Button->SetGlyph(&odd);
  EXPECT_EQ(Button->NumGlyphs(), 2);
}

TEST_F(ControlButtonTest, EachStyleDrawsItsFace) {
  // Classic raised face: white top-left, dark bottom-right, the arrow in the middle.
  Button->SetStyle(cbsUp);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 0, 0)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 16, 20)), ColorToRGB(cl3DDkShadow));
  bool arrow = false;
  for (int y = 6; y < 15; ++y)
    for (int x = 4; x < 13; ++x) arrow = arrow || ColorToRGB(PixelAt(Button, x, y)) == ColorToRGB(clBtnText);
  EXPECT_TRUE(arrow);
  // Pressed: a shadow outline.
  Input.MoveTo(Form->Handle(), Centre(Button));
  Input.Press();
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 0, 0)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 1, 1)), ColorToRGB(clBtnFace));
  Input.Release();
  App.RunFor(10);
  // Flat and not under the mouse: only the colour.
  Button->SetFlat(true);
  Button->SetColor(clWhite);
  Input.MoveTo(Form->Handle(), {200, 150});
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 0, 0)), ColorToRGB(clWhite));
}

TEST_F(ControlButtonTest, UnderVisualStylesTheFaceIsTheThemesPart) {
  os::SetThemeActive(true);
  Button->SetStyle(cbsNone);
  Button->Invalidate();
  App.RunFor(10);
  const TColor themed = PixelAt(Button, 8, 10);
  os::SetThemeActive(false);
  Button->Invalidate();
  App.RunFor(10);
  EXPECT_NE(ColorToRGB(themed), ColorToRGB(PixelAt(Button, 8, 10)));
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 8, 10)), ColorToRGB(clBtnFace));
}

// ---- push button ----

class PushButtonTest : public ButtonTest {
 protected:
  PushButtonTest() {
    for (int i = 0; i < 2; ++i) {
      Buttons[i] = new TFcButton(Form.get());
      Buttons[i]->SetParent(Form.get());
      Buttons[i]->SetBounds(10 + 90 * i, 10, 75, 25);
      Buttons[i]->SetCaption(i == 0 ? "One" : "Two");
      Buttons[i]->OnClick = [this, i](TObject*) { ++Clicks[i]; };
    }
    Edit = new TEdit(Form.get());
    Edit->SetParent(Form.get());
    Edit->SetBounds(10, 60, 100, 21);
    ShowForm();
  }
  TFcButton* Buttons[2] = {};
  int Clicks[2] = {};
  TEdit* Edit = nullptr;
};

TEST_F(PushButtonTest, StartsAtItsSizeAndDefaults) {
  TFcButton plain(nullptr);
  EXPECT_EQ(plain.Width(), 75);
  EXPECT_EQ(plain.Height(), 25);
  EXPECT_EQ(plain.Color(), clBtnFace);
  EXPECT_TRUE(plain.TabStop());
  EXPECT_EQ(plain.TextShadowDepth(), 2);
  EXPECT_TRUE(plain.ShowDownPattern());
}

TEST_F(PushButtonTest, DownStaysFalseWithoutAGroup) {
  Buttons[0]->SetDown(true);
  EXPECT_FALSE(Buttons[0]->Down());
  ClickOn(Buttons[0]);
  EXPECT_FALSE(Buttons[0]->Down());
  EXPECT_EQ(Clicks[0], 1);
}

TEST_F(PushButtonTest, AGroupKeepsOneButtonDown) {
  for (TFcButton* b : Buttons) b->SetGroupIndex(1);
  ClickOn(Buttons[0]);
  EXPECT_TRUE(Buttons[0]->Down());
  // Without AllowAllUp neither the program nor a second click raises it.
  Buttons[0]->SetDown(false);
  EXPECT_TRUE(Buttons[0]->Down());
  ClickOn(Buttons[0]);
  EXPECT_TRUE(Buttons[0]->Down());
  EXPECT_EQ(Clicks[0], 2);
  // Pressing the other releases it; the released one takes the presser's AllowAllUp.
  Buttons[1]->SetAllowAllUp(true);
  ClickOn(Buttons[1]);
  EXPECT_TRUE(Buttons[1]->Down());
  EXPECT_FALSE(Buttons[0]->Down());
  EXPECT_TRUE(Buttons[0]->AllowAllUp());
  // With AllowAllUp a click raises the down button.
  ClickOn(Buttons[1]);
  EXPECT_FALSE(Buttons[1]->Down());
}

TEST_F(PushButtonTest, AReleaseOutsideDoesNothingAndComingBackPressesAgain) {
  for (TFcButton* b : Buttons) b->SetGroupIndex(1);
  Input.MoveTo(Form->Handle(), Centre(Buttons[0]));
  Input.Press();
  App.RunFor(10);
  EXPECT_TRUE(Buttons[0]->Pressed());
  Input.MoveTo(Form->Handle(), {300, 150});
  App.RunFor(10);
  EXPECT_FALSE(Buttons[0]->Pressed());
  Input.Release();
  App.RunFor(10);
  EXPECT_EQ(Clicks[0], 0);
  EXPECT_FALSE(Buttons[0]->Down());
  // Dragged out and back in, the release counts.
  Input.MoveTo(Form->Handle(), Centre(Buttons[0]));
  Input.Press();
  Input.MoveTo(Form->Handle(), {300, 150});
  Input.MoveTo(Form->Handle(), Centre(Buttons[0]));
  App.RunFor(10);
  EXPECT_TRUE(Buttons[0]->Pressed());
  Input.Release();
  App.RunFor(10);
  EXPECT_EQ(Clicks[0], 1);
  EXPECT_TRUE(Buttons[0]->Down());
}

TEST_F(PushButtonTest, SpaceEnterAndEscapeClickAndTheModalResultGoesToTheForm) {
  Buttons[0]->SetModalResult(mrYes);
  Buttons[0]->SetFocus();
  Input.KeyDown(VK_SPACE);
  App.RunFor(10);
  EXPECT_TRUE(Buttons[0]->Pressed());
  EXPECT_EQ(Clicks[0], 0);
  Input.KeyUp(VK_SPACE);
  App.RunFor(10);
  EXPECT_EQ(Clicks[0], 1);
  EXPECT_EQ(Form->ModalResult(), mrYes);
  // Enter presses the default button while the focus is on something else than a button.
  Buttons[1]->SetDefault(true);
  Buttons[1]->SetModalResult(mrOk);
  Edit->SetFocus();
  App.RunFor(10);
  EXPECT_TRUE(Buttons[1]->Active());
  EXPECT_FALSE(Buttons[0]->Active());
  Input.Key(VK_RETURN);
  App.RunFor(10);
  EXPECT_EQ(Clicks[1], 1);
  EXPECT_EQ(Form->ModalResult(), mrOk);
  // A focused button takes Enter from the default one.
  Buttons[0]->SetFocus();
  App.RunFor(10);
  EXPECT_TRUE(Buttons[0]->Active());
  EXPECT_FALSE(Buttons[1]->Active());
  Input.Key(VK_RETURN);
  App.RunFor(10);
  EXPECT_EQ(Clicks[0], 2);
  EXPECT_EQ(Clicks[1], 1);
  // Escape presses the cancel button.
  Buttons[1]->SetCancel(true);
  Input.Key(VK_ESCAPE);
  App.RunFor(10);
  EXPECT_EQ(Clicks[1], 2);
}

TEST_F(PushButtonTest, AButtonDownInAGroupShowsTheDownPattern) {
  TFcButton* b = Buttons[0];
  b->SetGroupIndex(1);
  b->SetDown(true);
  App.RunFor(10);
  // Pixels whose column and row have the same parity are silver, the others the face colour.
  const TColor even = PixelAt(b, 10, 10), odd = PixelAt(b, 11, 10);
  EXPECT_EQ(ColorToRGB(even), clSilver);
  EXPECT_EQ(ColorToRGB(odd), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(PixelAt(b, 11, 11)), clSilver);
  b->SetShowDownPattern(false);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(b, 10, 10)), ColorToRGB(clBtnFace));
}

TEST_F(PushButtonTest, TheHotFaceRingsTheButtonInTheHotColour) {
  TFcButton* b = Buttons[0];
  b->SetHotTrack(true);
  EXPECT_TRUE(b->Transparent());
  b->SetHotTrackColor(0x0000FF);
  App.RunFor(10);
  const TColor cold = PixelAt(b, 37, 22);
  Input.MoveTo(Form->Handle(), Centre(b));
  App.RunFor(10);
  ASSERT_TRUE(b->MouseInControl());
  // The ring's lowest row is the hot colour itself, the frame inside the outer ring FrameColor.
  EXPECT_EQ(ColorToRGB(PixelAt(b, 37, 22)), 0x0000FFu);
  EXPECT_NE(ColorToRGB(cold), 0x0000FFu);
  EXPECT_EQ(ColorToRGB(PixelAt(b, 37, 1)), ColorToRGB(cl3DDkShadow));
  // The corners show the parent.
  EXPECT_EQ(ColorToRGB(PixelAt(b, 0, 0)), ColorToRGB(Form->Color()));
}

TEST_F(PushButtonTest, ARightAlignedCaptionEndsTheShadowDepthLeftOfItsRectangle) {
  TFcButton* b = Buttons[0];
  b->SetCaption("I");
  b->SetAlignment(taRightJustify);
  auto rightmostInk = [&] {
    App.RunFor(10);
    const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
    int found = -1;
    // Inside the caption rectangle (the edge and the focus frame are dark too).
    for (int x = 5; x < b->Width() - 5; ++x)
      for (int y = 5; y < b->Height() - 5; ++y) {
        const TPoint p = At(b, {x, y});
        if (gdi::ColorOfPixel(shot.Get(p.X, p.Y)) == ColorToRGB(clBtnText)) found = x;
      }
    return found;
  };
  b->SetTextShadowDepth(0);
  const int flush = rightmostInk();
  b->SetTextShadowDepth(5);
  EXPECT_EQ(rightmostInk(), flush - 5);
  EXPECT_LT(flush, b->Width() - 5);
}

// ---- bitmap button ----

class BitBtnTest : public ButtonTest {
 protected:
  BitBtnTest() {
    Button = new TFcBitBtn(Form.get());
    Button->SetParent(Form.get());
    Button->SetBounds(10, 10, 90, 30);
    ShowForm();
  }
  TFcBitBtn* Button = nullptr;
};

TEST_F(BitBtnTest, EachKindTakesItsCaptionResultDefaultsAndPictureFromThePlatformsTable) {
  for (int k = bkOK; k <= bkAll; ++k) {
    const auto kind = static_cast<TBitBtnKind>(k);
    const TBitBtnKindInfo& info = BitBtnKindInfo(kind);
    TFcBitBtn b(nullptr);
    b.SetKind(kind);
    EXPECT_EQ(b.Kind(), kind);
    EXPECT_EQ(b.Caption(), info.Caption);
    EXPECT_EQ(b.ModalResult(), info.Result) << info.Caption;
    EXPECT_EQ(b.Default(), info.Default) << info.Caption;
    EXPECT_EQ(b.Cancel(), info.Cancel) << info.Caption;
    EXPECT_EQ(b.NumGlyphs(), 2);
    EXPECT_EQ(b.Glyph()->Width(), 2 * b.Glyph()->Height());
    // The caption of a kind is not written to a definition; another one is.
    EXPECT_FALSE(b.IsCaptionStored());
    b.SetCaption("Other");
    EXPECT_TRUE(b.IsCaptionStored());
  }
}

TEST_F(BitBtnTest, AChangedPropertyOfAKindMakesItCustom) {
  Button->SetKind(bkOK);
  Button->SetModalResult(mrCancel);
  EXPECT_EQ(Button->Kind(), bkCustom);
  EXPECT_EQ(Button->Caption(), "OK");
  Button->SetKind(bkOK);
  EXPECT_EQ(Button->Kind(), bkOK);
  Button->SetDefault(false);
  EXPECT_EQ(Button->Kind(), bkCustom);
  Button->SetKind(bkOK);
  TBitmap glyph(16, 16);
  Button->SetGlyph(&glyph);
  EXPECT_EQ(Button->Kind(), bkCustom);
}

TEST_F(BitBtnTest, AGlyphStripIsCutIntoOneToFourCells) {
  struct TCase {
    int Width, Height, Cells;
  } cases[] = {{64, 16, 4}, {32, 16, 2}, {16, 16, 1}, {80, 16, 1}, {50, 16, 3}};
  for (const TCase& c : cases) {
    Button->SetNumGlyphs(3);
    TBitmap glyph(c.Width, c.Height);
    Button->SetGlyph(&glyph);
    EXPECT_EQ(Button->NumGlyphs(), c.Cells) << c.Width << " x " << c.Height;
  }
}

TEST_F(BitBtnTest, MarginIsTwoAndRefusesValuesBelowMinusOne) {
  EXPECT_EQ(Button->Margin(), 2);
  EXPECT_EQ(Button->Spacing(), 4);
  Button->SetMargin(-2);
  EXPECT_EQ(Button->Margin(), 2);
  Button->SetMargin(-1);
  EXPECT_EQ(Button->Margin(), -1);
  Button->SetMargin(0);
  EXPECT_EQ(Button->Margin(), 0);
}

TEST_F(BitBtnTest, TheGlyphSitsByLayoutAndMarginAndShowsItsStateCell) {
  // A two-cell strip: red when enabled, blue when disabled; olive is left out.
  TBitmap glyph(16, 8);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect({0, 0, 8, 8});
  glyph.Canvas()->Brush()->SetColor(clBlue);
  glyph.Canvas()->FillRect({8, 0, 16, 8});
  glyph.Canvas()->Brush()->SetColor(clOlive);
  glyph.Canvas()->FillRect({0, 7, 16, 8});
  Button->SetGlyph(&glyph);
  ASSERT_EQ(Button->NumGlyphs(), 2);
  Button->SetCaption("");
  App.RunFor(10);
  // Left layout, margin 2: the glyph starts 2 pixels into the caption rectangle (5 + 2).
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 7, 12)), clRed);
  EXPECT_NE(ColorToRGB(PixelAt(Button, 6, 12)), clRed);
  Button->SetLayout(blGlyphRight);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 90 - 5 - 2 - 1, 12)), clRed);
  EXPECT_NE(ColorToRGB(PixelAt(Button, 90 - 5 - 2, 12)), clRed);
  // The bottom row of the glyph is its transparent colour: the face shows there.
  EXPECT_NE(ColorToRGB(PixelAt(Button, 80, 18)), clOlive);
  Button->SetEnabled(false);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 80, 12)), clBlue);
}

}  // namespace
