// TSpeedButton as the library's auto-repeat button derives from it: a glyph strip drawn by the
// button (its transparent colour left out), and a press that goes on clicking while the button
// is held down and pressed: first after 400 ms, then every 100 ms, paused while the pointer is
// off the button.
#include <memory>

#include "platform/controls/Buttons.h"
#include "platform/controls/ExtCtrls.h"
#include "tests/platform/controls/ControlFixtures.h"

namespace {

using namespace ctltest;

constexpr COLORREF kGlyph = RGB(0, 160, 0);
constexpr COLORREF kGlyphDisabled = RGB(128, 128, 128);
constexpr COLORREF kTransparent = RGB(255, 0, 255);

class TRepeatButton : public TSpeedButton {
 public:
  explicit TRepeatButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

 protected:
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (!FTimer) {
      FTimer = new TTimer(this);
      FTimer->OnTimer = [this](TObject*) {
        FTimer->SetInterval(100);
        if (FState == bsDown && MouseCapture()) Click();
      };
    }
    FTimer->SetEnabled(false);
    FTimer->SetInterval(400);
    FTimer->SetEnabled(true);
  }
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FTimer) FTimer->SetEnabled(false);
  }

 private:
  TTimer* FTimer = nullptr;  // owned by the button
};

// Two 8 × 8 cells (up, disabled) whose top-left quarter is the transparent colour.
std::unique_ptr<TBitmap> Glyph() {
  auto b = std::make_unique<TBitmap>(16, 8);
  b->Canvas()->Brush()->SetColor(kGlyph);
  b->Canvas()->FillRect({0, 0, 8, 8});
  b->Canvas()->Brush()->SetColor(kGlyphDisabled);
  b->Canvas()->FillRect({8, 0, 16, 8});
  b->Canvas()->Brush()->SetColor(kTransparent);
  b->Canvas()->FillRect({0, 4, 4, 8});
  b->Canvas()->FillRect({8, 4, 12, 8});
  return b;
}

class SpeedButtonAsBaseTest : public ControlTest {
 protected:
  SpeedButtonAsBaseTest() {
    Button = Make<TRepeatButton>(Form, "Repeat", Bounds(10, 10, 24, 24));
    auto glyph = Glyph();
    Button->SetGlyph(glyph.get());
    Button->SetNumGlyphs(2);
    Button->OnClick = [this](TObject*) { ++Clicks; };
    ShowForm();
  }
  TRepeatButton* Button;
  int Clicks = 0;
};

TEST_F(SpeedButtonAsBaseTest, TheGlyphIsDrawnWithoutItsTransparentColour) {
  // The 8 × 8 glyph centred in the 24 × 24 button: at (18, 18) of the form.
  EXPECT_EQ(Pixel(18 + 6, 18 + 1), kGlyph);
  EXPECT_EQ(Pixel(18 + 1, 18 + 6), GetSysColor(COLOR_BTNFACE)) << "the transparent corner shows the face";
  Button->SetEnabled(false);
  Pump();
  EXPECT_EQ(Pixel(18 + 6, 18 + 1), kGlyphDisabled) << "the disabled cell";
}

TEST_F(SpeedButtonAsBaseTest, HoldingItDownRepeatsTheClickAndLeavingItPausesTheRepeats) {
  const TPoint on = test::TInputDriver::ScreenPoint(Form->Handle(), {20, 20});
  const TPoint off = test::TInputDriver::ScreenPoint(Form->Handle(), {120, 120});
  Input.MoveTo(on);
  Input.Press();
  App.RunFor(650);
  EXPECT_EQ(Clicks, 3) << "at 400, 500 and 600 ms";
  Input.MoveTo(off);
  App.RunFor(300);
  EXPECT_EQ(Clicks, 3) << "off the button it is not pressed";
  Input.MoveTo(on);
  App.RunFor(230);
  EXPECT_EQ(Clicks, 5) << "back on it, at the rhythm of the repeats (1000 and 1100 ms)";
  Input.Release();
  App.RunFor(500);
  EXPECT_EQ(Clicks, 6) << "the release over the button is the last click";
}

}  // namespace
