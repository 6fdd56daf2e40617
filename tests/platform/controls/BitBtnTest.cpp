#include "platform/controls/Buttons.h"
#include "platform/gdi/Gdi.h"
#include "tests/platform/controls/StaticFixtures.h"

namespace {

using namespace ctltest;

using BitBtnTest = StaticControlTest;

TEST_F(BitBtnTest, AKindSetsItsCaptionGlyphAndResults) {
  struct TCase {
    TBitBtnKind Kind;
    const char* Caption;
    TModalResult Result;
    bool Default, Cancel;
  };
  const TCase cases[] = {
      {bkOK, "OK", mrOk, true, false},          {bkCancel, "Cancel", mrCancel, false, true},
      {bkHelp, "&Help", mrNone, false, false},  {bkYes, "&Yes", mrYes, true, false},
      {bkNo, "&No", mrNo, false, true},         {bkClose, "&Close", mrNone, false, false},
      {bkAbort, "Abort", mrAbort, false, false}, {bkRetry, "&Retry", mrRetry, false, false},
      {bkIgnore, "&Ignore", mrIgnore, false, false}, {bkAll, "&All", mrAll, false, false},
  };
  TBitBtn button(nullptr);
  for (const TCase& c : cases) {
    button.SetKind(c.Kind);
    EXPECT_EQ(button.Kind(), c.Kind);
    EXPECT_EQ(button.Caption(), c.Caption);
    EXPECT_EQ(button.ModalResult(), c.Result) << c.Caption;
    EXPECT_EQ(button.Default(), c.Default) << c.Caption;
    EXPECT_EQ(button.Cancel(), c.Cancel) << c.Caption;
    EXPECT_EQ(button.NumGlyphs(), 2) << "an enabled and a disabled picture";
    EXPECT_FALSE(button.Glyph()->Empty());
  }
}

TEST_F(BitBtnTest, ChangingWhatAKindSetMakesItCustom) {
  TBitBtn button(nullptr);
  button.SetKind(bkOK);
  button.SetModalResult(mrCancel);
  EXPECT_EQ(button.Kind(), bkCustom);
  button.SetKind(bkOK);
  EXPECT_EQ(button.Kind(), bkOK);
  TBitmap glyph(16, 16);
  button.SetGlyph(&glyph);
  EXPECT_EQ(button.Kind(), bkCustom) << "a glyph of one's own";
  button.SetKind(bkYes);
  button.SetCaption("Sure");
  EXPECT_EQ(button.Kind(), bkYes) << "a caption of one's own keeps the kind";
  EXPECT_TRUE(button.IsCustomCaption());
  button.SetMargin(-2);
  EXPECT_EQ(button.Margin(), -1);
}

TEST_F(BitBtnTest, ClicksSetTheFormsResultOrCloseIt) {
  auto* ok = Make<TBitBtn>(Form, "Ok", Bounds(10, 10, 75, 25));
  ok->SetKind(bkOK);
  auto* close = Make<TBitBtn>(Form, "Close", Bounds(100, 10, 75, 25));
  close->SetKind(bkClose);
  ShowForm();
  const TRect r = ok->BoundsRect();
  EXPECT_GT(CountOf(r, RGB(0, 128, 0)), 5) << "the green check is drawn";
  EXPECT_GT(CountOf(r, RGB(0, 0, 0)), 5) << "and the caption";
  Input.Click(ok->Handle());
  Pump();
  EXPECT_EQ(Form->ModalResult(), mrOk);
  Form->SetModalResult(mrNone);
  Input.Click(close->Handle());
  Pump();
  EXPECT_FALSE(Form->Visible()) << "the Close button closed the form";
}

TEST_F(BitBtnTest, TheKindTableAndPicturesArePublic) {
  TBitBtn button(nullptr);
  button.SetKind(bkNo);
  const TBitBtnKindInfo& no = BitBtnKindInfo(bkNo);
  EXPECT_EQ(button.Caption(), no.Caption);
  EXPECT_EQ(button.ModalResult(), no.Result);
  EXPECT_EQ(button.Cancel(), no.Cancel);
  const auto glyph = BitBtnKindGlyph(bkNo);
  EXPECT_EQ(glyph->Width(), 36);
  EXPECT_EQ(glyph->Height(), 18);
  EXPECT_EQ(glyph->TransparentColor(), clOlive);
  EXPECT_TRUE(BitBtnKindGlyph(bkCustom)->Empty());
}

}  // namespace
