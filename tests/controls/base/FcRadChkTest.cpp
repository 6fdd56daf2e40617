// The check box under synthetic input: its state cycle, one click per change, read-only
// boxes, the answer to BM_GETCHECK, auto-size, and the glyph it draws from a custom strip, an
// image list, the flat painter or the platform's classic drawing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "controls/base/FcRadChk.h"
#include "platform/gdi/Text.h"
#include "platform/graphics/ImgList.h"
#include "platform/os/WindowDC.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"
#include "tests/support/Snapshot.h"

namespace {

constexpr TColor kFormColor = 0xE0F0F0;

class CheckBoxTest : public test::HeadlessTest {
 protected:
  CheckBoxTest() : Form(std::make_unique<TForm>(nullptr)) {
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(0, 0, 240, 120);
    Form->SetColor(kFormColor);
    Box = AddBox("&Auto", 10, 10);
    Other = AddBox("Other", 10, 60);
    Box->OnClick = [this](TObject*) { ++Clicks; };
    Form->Show();
    App.ProcessMessages();
  }
  TFcCheckBox* AddBox(const std::string& Caption, int X, int Y) {
    auto* box = new TFcCheckBox(Form.get());
    box->SetBounds(X, Y, 100, 17);
    box->SetCaption(Caption);
    box->SetParent(Form.get());
    return box;
  }
  void ClickOn(TControl* Control) {
    Input.Click(Form->Handle(), Form->ScreenToClient(Control->ClientToScreen({3, 5})));
    App.RunFor(100);
  }
  void Key(UINT Key) {
    Input.Key(Key);
    App.RunFor(50);
  }
  LRESULT GetCheck() { return SendMessage(Box->Handle(), BM_GETCHECK, 0, 0); }
  // The colour drawn at a point of the box.
  COLORREF PixelOf(TControl* Control, int X, int Y) {
    App.ProcessMessages();
    gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
    return gdi::ColorOfPixel(shot.Get(Control->Left() + X, Control->Top() + Y));
  }
  std::unique_ptr<TForm> Form;
  TFcCheckBox* Box = nullptr;
  TFcCheckBox* Other = nullptr;
  test::TInputDriver Input;
  int Clicks = 0;
};

TEST_F(CheckBoxTest, ClicksCycleThroughTheStatesWithOneClickEachAndBmGetCheckFollows) {
  struct TCase {
    bool AllowGrayed;
    std::vector<TCheckBoxState> States;
  };
  for (const TCase& c : {TCase{false, {cbChecked, cbUnchecked, cbChecked}},
                         TCase{true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}}}) {
    SCOPED_TRACE(c.AllowGrayed);
    Box->SetState(cbUnchecked);
    Box->SetAllowGrayed(c.AllowGrayed);
    Clicks = 0;
    int expectedClicks = 0;
    for (TCheckBoxState state : c.States) {
      ClickOn(Box);
      EXPECT_EQ(Box->State(), state);
      EXPECT_EQ(Box->Checked(), state == cbChecked);
      EXPECT_EQ(Clicks, ++expectedClicks);
      EXPECT_EQ(GetCheck(), static_cast<LRESULT>(state)) << "BM_GETCHECK answers 0, 1 or 2";
    }
  }
}

TEST_F(CheckBoxTest, SpaceChangesTheStateOncePerPressAndEscapeCancelsIt) {
  ClickOn(Box);
  ASSERT_TRUE(Box->Focused());
  Clicks = 0;
  Key(VK_SPACE);
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
  Input.KeyDown(VK_SPACE);
  App.RunFor(50);
  EXPECT_TRUE(Box->ShownDown());
  EXPECT_FALSE(Box->Checked()) << "the change comes with the release";
  Input.KeyDown(VK_ESCAPE);
  Input.KeyUp(VK_ESCAPE);
  Input.KeyUp(VK_SPACE);
  App.RunFor(50);
  EXPECT_FALSE(Box->ShownDown());
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBoxTest, AReleaseOutsideChangesNothingAndMovingBackShowsItPressed) {
  const TPoint inside = Form->ScreenToClient(Box->ClientToScreen({3, 5}));
  Input.MoveTo(Form->Handle(), inside);
  Input.Press();
  Input.MoveTo(Form->Handle(), {inside.X, 100});
  App.RunFor(50);
  EXPECT_FALSE(Box->ShownDown());
  Input.MoveTo(Form->Handle(), inside);
  App.RunFor(50);
  EXPECT_TRUE(Box->ShownDown());
  Input.MoveTo(Form->Handle(), {inside.X, 100});
  Input.Release();
  App.RunFor(50);
  EXPECT_FALSE(Box->Checked());
  EXPECT_EQ(Clicks, 0);
}

TEST_F(CheckBoxTest, AReadOnlyBoxTakesChangesFromCodeOnly) {
  Box->SetReadOnly(true);
  ClickOn(Box);
  Key(VK_SPACE);
  Input.KeyDown(VK_MENU);
  Key('A');
  Input.KeyUp(VK_MENU);
  App.RunFor(50);
  EXPECT_EQ(Box->State(), cbUnchecked);
  EXPECT_EQ(Clicks, 0);
  Box->SetChecked(true);
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1) << "a change from code clicks";
  Box->SetState(cbGrayed);
  EXPECT_EQ(GetCheck(), 2);
  EXPECT_EQ(Clicks, 2);
  Box->SetState(cbGrayed);
  EXPECT_EQ(Clicks, 2) << "no change, no click";
}

TEST_F(CheckBoxTest, TheAcceleratorFocusesAndChangesTheBox) {
  ClickOn(Other);
  ASSERT_TRUE(Other->Focused());
  Input.KeyDown(VK_MENU);
  Key('A');
  Input.KeyUp(VK_MENU);
  App.RunFor(50);
  EXPECT_TRUE(Box->Focused());
  EXPECT_TRUE(Box->Checked());
  EXPECT_EQ(Clicks, 1);
}

TEST_F(CheckBoxTest, EnterMovesTheFocusOnWithTabOnEnter) {
  ClickOn(Box);
  Key(VK_RETURN);
  EXPECT_TRUE(Box->Focused());
  Box->SetTabOnEnter(true);
  Key(VK_RETURN);
  EXPECT_TRUE(Other->Focused());
  EXPECT_TRUE(Box->Checked()) << "only the click changed the box";
}

// The width and height auto-size gives: caption width + glyph width + 6, and the taller of
// the glyph and the caption, each + 2.
TEST_F(CheckBoxTest, AutoSizeAddsTheGlyphToTheCaption) {
  HDC dc = GetDC(nullptr);
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font()->Assign(Box->Font());
  auto textSize = [&](const std::string& Text) {
    TRect r{0, 0, 1000, 1000};
    DrawText(measure.Handle(), Text, &r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    return TSize{r.Width(), r.Height()};
  };
  auto strip = [](int CellWidth, int Height) {
    auto b = std::make_unique<TBitmap>(9 * CellWidth, Height);
    return b;
  };
  struct TCase {
    const char* Caption;
    int CellWidth, CellHeight;  // 0: the built-in 13 x 13 glyph
  };
  for (const TCase& c : {TCase{"Auto", 0, 0}, TCase{"A much longer caption", 0, 0}, TCase{"Big", 20, 30},
                         TCase{"Wide", 16, 10}}) {
    SCOPED_TRACE(c.Caption);
    Box->SetCaption(c.Caption);
    Box->SetBounds(10, 10, 200, 17);
    if (c.CellWidth) Box->SetCustomGlyphs(strip(c.CellWidth, c.CellHeight).get());
    const int gw = c.CellWidth ? c.CellWidth : 13, gh = c.CellWidth ? c.CellHeight : 13;
    EXPECT_EQ(Box->GlyphWidth(), gw);
    const TSize text = textSize(c.Caption);
    EXPECT_EQ(Box->Width(), text.cx + gw + 6);
    EXPECT_EQ(Box->Height(), std::max(gh + 2, text.cy + 2));
    EXPECT_EQ(Box->Left(), 10);
  }
  // An empty strip brings back the built-in glyph, and the size with it.
  TBitmap empty;
  Box->SetCustomGlyphs(&empty);
  EXPECT_FALSE(Box->UseCustomGlyphs());
  EXPECT_EQ(Box->GlyphWidth(), 13);
  EXPECT_EQ(Box->Height(), std::max(15, textSize("Wide").cy + 2));
  // With the glyph on the right the right edge stays.
  Box->SetAlignment(taLeftJustify);
  Box->SetBounds(10, 10, 200, 17);
  EXPECT_EQ(Box->Left() + Box->Width(), 210);
  measure.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
}

// A strip of nine cells, each one colour with an olive corner (the transparent colour) and a
// lime one (shown as clWindow).
std::unique_ptr<TBitmap> NineCellStrip(int Cell, std::initializer_list<TColor> Colours) {
  auto strip = std::make_unique<TBitmap>(9 * Cell, Cell);
  int i = 0;
  for (TColor colour : Colours) {
    TCanvas* c = strip->Canvas();
    c->Brush()->SetColor(colour);
    c->FillRect({i * Cell, 0, (i + 1) * Cell, Cell});
    c->SetPixels(i * Cell, 0, clOlive);
    c->SetPixels(i * Cell + Cell - 1, 0, clLime);
    ++i;
  }
  return strip;
}

TEST_F(CheckBoxTest, TheCustomStripGivesTheCellOfTheStateWithItsMaskColours) {
  const std::initializer_list<TColor> colours{0x000010, 0x000020, 0x000030, 0x000040, 0x000050,
                                              0x000060, 0x000070, 0x000080, 0x000090};
  Box->SetCustomGlyphs(NineCellStrip(12, colours).get());
  EXPECT_TRUE(Box->UseCustomGlyphs());
  Box->SetColor(0x203040);
  const TRect g = Box->GlyphRect();
  auto centre = [&] { return PixelOf(Box, g.Left + 6, g.Top + 6); };
  EXPECT_EQ(centre(), ColorToRGB(0x000010));
  EXPECT_EQ(PixelOf(Box, g.Left, g.Top), ColorToRGB(0x203040)) << "olive shows the box's colour";
  EXPECT_EQ(PixelOf(Box, g.Left + 11, g.Top), ColorToRGB(clWindow)) << "lime shows clWindow";
  Box->SetState(cbChecked);
  EXPECT_EQ(centre(), ColorToRGB(0x000020));
  Box->SetState(cbGrayed);
  EXPECT_EQ(centre(), ColorToRGB(0x000030));
  Box->SetEnabled(false);
  EXPECT_EQ(centre(), ColorToRGB(0x000090));
  Box->SetEnabled(true);
  const TPoint inside = Form->ScreenToClient(Box->ClientToScreen({3, 5}));
  Input.MoveTo(Form->Handle(), inside);
  Input.Press();
  App.RunFor(50);
  EXPECT_EQ(centre(), ColorToRGB(0x000060)) << "pressed grayed";
  Input.Release();
  App.RunFor(50);
}

// An image list of 12 shows the hot cells under the mouse; one of exactly 9 never does.
TEST_F(CheckBoxTest, OnlyAnImageListOfMoreThanNineImagesHasHotCells) {
  for (int count : {9, 12}) {
    SCOPED_TRACE(count);
    TCustomImageList images(nullptr);
    images.SetSize(13, 13);
    for (int i = 0; i < count; ++i) {
      TBitmap cell(13, 13);
      cell.Canvas()->Brush()->SetColor(static_cast<TColor>(0x100000 * (i + 1)));
      cell.Canvas()->FillRect({0, 0, 13, 13});
      images.Add(&cell, nullptr);
    }
    Box->SetHotTrack(true);
    Box->SetCustomGlyphImages(&images);
    EXPECT_TRUE(Box->UseCustomGlyphs());
    const TRect g = Box->GlyphRect();
    Input.MoveTo(Form->Handle(), Form->ScreenToClient(Box->ClientToScreen({g.Left + 6, g.Top + 6})));
    App.RunFor(50);
    const COLORREF hot = PixelOf(Box, g.Left + 6, g.Top + 6);
    EXPECT_EQ(hot, ColorToRGB(static_cast<TColor>(0x100000 * (count > 9 ? 10 : 1))));
    Input.MoveTo(Form->Handle(), {200, 110});
    App.RunFor(50);
    Box->SetCustomGlyphImages(nullptr);
  }
}

TEST_F(CheckBoxTest, AVisibleFrameControllerSwitchesToTheFlatGlyphInItsColours) {
  TFcFrameController controller(nullptr);
  controller.SetFrameVisible(true);
  controller.SetFrameColor(clRed);
  controller.SetColor(clYellow);
  Box->SetFrameController(&controller);
  EXPECT_TRUE(Box->HotTrack());
  EXPECT_EQ(Box->FrameColor(), clRed);
  EXPECT_EQ(Box->FillColor(), clYellow);
  const TRect g = Box->GlyphRect();
  EXPECT_EQ(PixelOf(Box, g.Left, g.Top + 6), ColorToRGB(clRed)) << "the flat glyph's frame";
  EXPECT_EQ(PixelOf(Box, g.Left + 3, g.Top + 3), ColorToRGB(clYellow)) << "its fill";
  Box->SetFrameController(nullptr);
}

TEST_F(CheckBoxTest, TheClassicGlyphShowsTheStateAndTheTransparentBoxItsParent) {
  const TRect g = Box->GlyphRect();
  // The classic box: white inside; checked draws the mark in the middle.
  EXPECT_EQ(PixelOf(Box, g.Left + 3, g.Top + 3), ColorToRGB(clWindow));
  const COLORREF before = PixelOf(Box, g.Left + 6, g.Top + 7);
  Box->SetChecked(true);
  EXPECT_NE(PixelOf(Box, g.Left + 6, g.Top + 7), before);
  // Beside the glyph lies the box's colour, or the form's when transparent.
  Box->SetColor(clRed);
  EXPECT_EQ(PixelOf(Box, Box->Width() - 1, Box->Height() - 1), ColorToRGB(clRed));
  Box->SetTransparent(true);
  EXPECT_EQ(PixelOf(Box, Box->Width() - 1, Box->Height() - 1), ColorToRGB(kFormColor));
}

}  // namespace

namespace {

// The three states in the classic, the flat and the disabled look: six different enabled
// glyphs; disabled, the platform's classic drawing tells only checked from unchecked, its
// grayed check being the disabled one (set OSTROVEL_WINDOW_PNGS=DIR to keep the picture as DIR/check-boxes.png).
TEST_F(CheckBoxTest, EachStateAndLookHasAGlyphOfItsOwn) {
  Box->SetVisible(false);
  Other->SetVisible(false);
  std::vector<TFcCheckBox*> boxes;
  for (int look = 0; look < 3; ++look) {
    for (TCheckBoxState state : {cbUnchecked, cbChecked, cbGrayed}) {
      TFcCheckBox* b = AddBox(look == 0 ? "Classic" : look == 1 ? "Flat" : "Disabled", 10 + 75 * state, 10 + 25 * look);
      b->SetAllowGrayed(true);
      b->SetState(state);
      b->SetHotTrack(look == 1);
      b->SetEnabled(look != 2);
      boxes.push_back(b);
    }
  }
  App.ProcessMessages();
  const gdi::TSurface shot = App.Presenter().Snapshot(Form->Handle());
  if (const char* dir = getenv("OSTROVEL_WINDOW_PNGS")) test::SavePng(shot, std::string(dir) + "/check-boxes.png");
  auto glyph = [&](TFcCheckBox* B) {
    std::vector<COLORREF> pixels;
    const TRect g = B->GlyphRect();
    for (int y = g.Top; y < g.Bottom; ++y)
      for (int x = g.Left; x < g.Right; ++x) pixels.push_back(gdi::ColorOfPixel(shot.Get(B->Left() + x, B->Top() + y)));
    return pixels;
  };
  for (size_t i = 0; i < 6; ++i)
    for (size_t j = i + 1; j < 6; ++j) EXPECT_NE(glyph(boxes[i]), glyph(boxes[j])) << i << " and " << j;
  EXPECT_NE(glyph(boxes[6]), glyph(boxes[7]));
  EXPECT_EQ(glyph(boxes[7]), glyph(boxes[8]));
}

}  // namespace
