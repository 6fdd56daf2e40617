// The framed buttons under synthetic input on the virtual clock: the control button's repeated
// clicks and faces, the tool button's groups, styles and drop-down menu, the push button's
// groups, keys and modal result, and the bitmap button's kinds, glyph strips and layout.
#include "controls/base/FcButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/classes/Filer.h"
#include "platform/controls/Forms.h"
#include "platform/controls/Menus.h"
#include "platform/controls/StdCtrls.h"
#include "platform/gdi/Colors.h"
#include "platform/os/Themes.h"
#include "platform/rtl/Clock.h"
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

// ---- tool button ----

// A menu that notes where and when it was shown instead of running its loop, as if it closed
// at once.
class TRecordingMenu : public TPopupMenu {
 public:
  explicit TRecordingMenu(TComponent* AOwner) : TPopupMenu(AOwner) {
    auto* item = new TMenuItem(this);
    item->SetCaption("&Item");
    Items()->Add(item);
  }
  void Popup(int X, int Y) override {
    Shown.push_back(rtl::CurrentClock().MonotonicMs());
    At = {X, Y};
  }
  std::vector<int64_t> Shown;
  TPoint At;
};

class ToolButtonTest : public ButtonTest {
 protected:
  ToolButtonTest() {
    for (int i = 0; i < 2; ++i) {
      Tools[i] = new TFcToolButton(Form.get());
      Tools[i]->SetParent(Form.get());
      Tools[i]->SetBounds(10 + 60 * i, 10, 25, 25);
    }
    Menu = new TRecordingMenu(Form.get());
    ShowForm();
  }
  void ClickAt(TControl* Control, TPoint Client) {
    Input.Click(Form->Handle(), At(Control, Client));
    App.RunFor(10);
  }
  TFcToolButton* Tools[2] = {};
  TRecordingMenu* Menu = nullptr;
};

TEST_F(ToolButtonTest, StartsAtItsSizeAndStyle) {
  TFcToolButton plain(nullptr);
  EXPECT_EQ(plain.Width(), 25);
  EXPECT_EQ(plain.Height(), 25);
  EXPECT_TRUE(plain.Flat());
  EXPECT_TRUE(plain.Transparent());
  EXPECT_EQ(plain.VisualStyle(), vsWinXP);
  EXPECT_TRUE(plain.UseToolbarButtonSize());
}

TEST_F(ToolButtonTest, SwitchingToolStyleChangesTheWidthByTheArrowStripAndDropsTheGroup) {
  TFcToolButton* t = Tools[0];
  t->SetGroupIndex(3);
  t->SetToolStyle(tsDropDown);
  EXPECT_EQ(t->Width(), 25 + 14);
  EXPECT_EQ(t->GroupIndex(), 0);
  EXPECT_TRUE(t->UseToolbarButtonSize());
  t->SetGroupIndex(3);
  EXPECT_EQ(t->GroupIndex(), 0);
  t->SetToolStyle(tsButton);
  EXPECT_EQ(t->Width(), 25);
  // A width of the program's own stops following the tool bar.
  t->SetWidthValue(30);
  EXPECT_FALSE(t->UseToolbarButtonSize());
}

TEST_F(ToolButtonTest, TheMenuIsNotReopenedWithin100MsOfClosing) {
  TFcToolButton* t = Tools[0];
  t->SetToolStyle(tsDropDown);
  t->SetDropDownMenu(Menu);
  TObject* dropped = nullptr;
  t->OnDropDown = [&dropped](TObject* Sender) { dropped = Sender; };
  const TPoint centre = Centre(t);
  // The first drop-down happens at the clock's origin: a time of 0 is a time like any other.
  ASSERT_EQ(Now(), 0);
  Input.Click(Form->Handle(), centre);
  Input.Wait(50);
  Input.Click(Form->Handle(), centre);
  Input.Wait(200);
  Input.Click(Form->Handle(), centre);
  App.RunFor(400);
  EXPECT_EQ(Menu->Shown, (std::vector<int64_t>{0, 250}));
  EXPECT_EQ(dropped, Menu);
  EXPECT_EQ(Menu->PopupComponent(), t);
}

TEST_F(ToolButtonTest, ASplitButtonClicksWithItsBodyAndOpensFromItsArrowStrip) {
  TFcToolButton* t = Tools[0];
  int clicks = 0;
  t->OnClick = [&clicks](TObject*) { ++clicks; };
  t->SetToolStyle(tsDropDown);
  t->SetDropDownMenu(Menu);
  ASSERT_TRUE(t->IsSplit());
  ClickAt(t, {5, 12});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Menu->Shown.empty());
  ClickAt(t, {t->Width() - 5, 12});
  EXPECT_EQ(Menu->Shown.size(), 1u);
  EXPECT_EQ(clicks, 1);
  App.RunFor(200);
  // The press after the menu only switches the body back to clicking.
  ClickAt(t, {5, 12});
  ClickAt(t, {5, 12});
  EXPECT_EQ(clicks, 2);
}

TEST_F(ToolButtonTest, TheMenuOpensBelowTheButtonInsideTheWorkArea) {
  TFcToolButton* t = Tools[0];
  t->SetToolStyle(tsDropDown);
  t->SetDropDownMenu(Menu);
  ClickAt(t, {5, 5});
  EXPECT_EQ(Menu->At, t->ClientToScreen({0, t->Height()}));
  App.RunFor(200);
  // Near the right edge a left-aligned menu moves to the edge (the menu keeps itself inside).
  const TRect work = GetMonitorWorkRect(FindMonitorAtPoint(t->ClientToScreen({0, 0})));
  Form->SetLeft(work.Right - 60);
  App.RunFor(10);
  ClickAt(t, {5, 5});
  EXPECT_EQ(Menu->At.X, work.Right);
  App.RunFor(200);
  // Near the left edge a right-aligned one moves to that edge.
  Menu->SetAlignment(paRight);
  Form->SetLeft(work.Left);
  App.RunFor(10);
  ClickAt(t, {5, 5});
  EXPECT_EQ(Menu->At.X, work.Left);
}

TEST_F(ToolButtonTest, AGroupKeepsOneButtonDownAndDownStaysFalseWithoutOne) {
  Tools[0]->SetDown(true);
  EXPECT_FALSE(Tools[0]->Down());
  for (TFcToolButton* t : Tools) t->SetGroupIndex(2);
  int clicks = 0;
  Tools[0]->OnClick = [&clicks](TObject*) { ++clicks; };
  ClickOn(Tools[0]);
  EXPECT_TRUE(Tools[0]->Down());
  EXPECT_EQ(Tools[0]->State(), TFcToolButton::tbsExclusive);
  // A second click on a down button without AllowAllUp changes nothing and does not click.
  ClickOn(Tools[0]);
  EXPECT_TRUE(Tools[0]->Down());
  EXPECT_EQ(clicks, 1);
  Tools[1]->SetAllowAllUp(true);
  ClickOn(Tools[1]);
  EXPECT_TRUE(Tools[1]->Down());
  EXPECT_FALSE(Tools[0]->Down());
  EXPECT_TRUE(Tools[0]->AllowAllUp());
}

TEST_F(ToolButtonTest, TheFacesFollowTheStyleAndTheMouse) {
  TFcToolButton* t = Tools[0];
  t->SetVisualStyle(vsClassic);
  // Flat and away from the mouse: nothing of its own.
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(t, 0, 0)), ColorToRGB(Form->Color()));
  Input.MoveTo(Form->Handle(), Centre(t));
  App.RunFor(10);
  ASSERT_TRUE(t->MouseInControl());
  EXPECT_EQ(ColorToRGB(PixelAt(t, 0, 0)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(PixelAt(t, 24, 24)), ColorToRGB(clBtnShadow));
  // Not flat: the raised edge always; down in a group the two-colour pattern.
  Input.MoveTo(Form->Handle(), {300, 150});
  t->SetFlat(false);
  t->SetGroupIndex(1);
  t->SetDown(true);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(t, 0, 0)), ColorToRGB(clBtnShadow));
  EXPECT_NE(ColorToRGB(PixelAt(t, 10, 10)), ColorToRGB(PixelAt(t, 11, 10)));
  // Gradient under the mouse: an outline in the selection frame colour.
  TFcToolButton* g = Tools[1];
  g->SetVisualStyle(vsGradient);
  g->SetGradientColorStyle(gcsCustom);
  g->SetSelectionFrameColor(clRed);
  Input.MoveTo(Form->Handle(), Centre(g));
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(g, 0, 0)), clRed);
  EXPECT_EQ(ColorToRGB(PixelAt(g, 24, 12)), clRed);
}

TEST_F(ToolButtonTest, ADropDownButtonDrawsItsArrowAndSplitLine) {
  TFcToolButton* t = Tools[0];
  t->SetVisualStyle(vsClassic);
  t->SetFlat(false);
  t->OnClick = [](TObject*) {};
  t->SetToolStyle(tsDropDown);
  App.RunFor(10);
  const int w = t->Width();
  EXPECT_EQ(ColorToRGB(PixelAt(t, w - 8, 12 + 2)), ColorToRGB(clWindowText));
  EXPECT_EQ(ColorToRGB(PixelAt(t, w - 14, 10)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(ColorToRGB(PixelAt(t, w - 15, 10)), ColorToRGB(clBtnShadow));
}

TEST_F(ToolButtonTest, ItsImageComesFromTheListByStateAndTheButtonGrowsToIt) {
  // Three 32 x 32 pictures: red, green (hot), blue (down).
  auto* images = new TImageList(Form.get());
  images->SetSize(32, 32);
  for (TColor c : {TColor{clRed}, TColor{clLime}, TColor{clBlue}}) {
    TBitmap picture(32, 32);
    picture.Canvas()->Brush()->SetColor(c);
    picture.Canvas()->FillRect({0, 0, 32, 32});
    images->Add(&picture, nullptr);
  }
  TFcToolButton* t = Tools[0];
  t->SetVisualStyle(vsClassic);
  t->SetImages(images);
  t->SetImageIndex(0);
  t->SetHotIndex(1);
  t->SetDownIndex(2);
  EXPECT_EQ(t->Width(), 32);
  EXPECT_EQ(t->Height(), 32);
  t->SetBounds(10, 10, 40, 40);
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(t, 20, 20)), clRed);
  Input.MoveTo(Form->Handle(), Centre(t));
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(t, 20, 20)), clLime);
  Input.Press();
  App.RunFor(10);
  EXPECT_EQ(ColorToRGB(PixelAt(t, 20, 20)), clBlue);
  Input.Release();
  App.RunFor(10);
  // A freed list is forgotten.
  delete images;
  EXPECT_EQ(t->Images(), nullptr);
  App.RunFor(10);
}

TEST_F(BitBtnTest, AnImageListGlyphReplacesTheBitmapOfACustomButton) {
  auto* images = new TImageList(Form.get());
  images->SetSize(10, 10);
  TBitmap picture(10, 10);
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect({0, 0, 10, 10});
  images->Add(&picture, nullptr);
  Button->SetCaption("");
  Button->SetImages(images);
  Button->SetImageIndex(0);
  App.RunFor(10);
  // Margin 2 in the caption rectangle, centred vertically.
  EXPECT_EQ(ColorToRGB(PixelAt(Button, 7, 15)), clRed);
  EXPECT_NE(ColorToRGB(PixelAt(Button, 6, 15)), clRed);
  delete images;
  EXPECT_EQ(Button->Images(), nullptr);
}

// ---- definitions ----

TEST_F(ButtonTest, DefinitionsOfOlderVersionsAreReadIntoTheCurrentProperties) {
  const char* definition = R"(object Form: TForm
  object B: TFcButton
    Caption = 'Go'
    FrameFlat = True
  end
  object K: TFcBitBtn
    Kind = bkOK
    Caption = 'Fine'
  end
  object T: TFcToolButton
    Width = 40
    UseGradients = True
    GradientColorStart = clRed
    GradientColorStop = 255
    ThemeAware = False
  end
  object C: TFcControlButton
    Style = cbsDropDown
    RepeatClicks = True
  end
end
)";
  ReadComponentText(Form.get(), definition);
  auto* b = dynamic_cast<TFcButton*>(Form->FindComponent("B"));
  auto* k = dynamic_cast<TFcBitBtn*>(Form->FindComponent("K"));
  auto* t = dynamic_cast<TFcToolButton*>(Form->FindComponent("T"));
  auto* c = dynamic_cast<TFcControlButton*>(Form->FindComponent("C"));
  ASSERT_TRUE(b && k && t && c);
  EXPECT_TRUE(b->HotTrack());
  EXPECT_TRUE(b->Transparent());
  // A caption read with the kind stays the definition's.
  EXPECT_EQ(k->Caption(), "Fine");
  EXPECT_EQ(k->Kind(), bkOK);
  EXPECT_EQ(t->VisualStyle(), vsGradient);
  EXPECT_EQ(t->SelectionColorStart(), clRed);
  EXPECT_EQ(t->SelectionColorStop(), 255);
  // Loaded at its width: the size was the definition's, not a program's change.
  EXPECT_EQ(t->Width(), 40);
  EXPECT_TRUE(t->UseToolbarButtonSize());
  EXPECT_EQ(c->Style(), cbsDropDown);
  EXPECT_TRUE(c->RepeatClicks());
}

}  // namespace
