// The grid style: the blend of selected cells, the colours of selected, current and fixed cells
// on true-colour and palette displays, the grids it serves, the column defaults' partial copy
// and the quoted value list.
#include "grid/DBGridGd.h"
#include "platform/gdi/Display.h"
#include "platform/os/Window.h"
#include "platform/rtl/Variant.h"
#include "tests/grid/GridFixture.h"

namespace {

using gridtest::GridTest;

TEST(GridStyleBlend, MixesEachChannelOnItsOwnAndStaysInAByte) {
  struct Case {
    COLORREF C, Glass;
    bool Ungray;
    COLORREF Expected;
  };
  const Case cases[] = {
      {RGB(255, 255, 255), RGB(0, 0, 0), false, RGB(186, 186, 186)},
      {RGB(255, 255, 255), RGB(0, 0, 0), true, RGB(202, 202, 202)},
      {RGB(0, 0, 0), RGB(0, 0, 0), false, RGB(135, 135, 135)},
      {RGB(0, 0, 0), RGB(0, 0, 0), true, RGB(138, 138, 138)},         // 138.25
      {RGB(255, 255, 255), RGB(255, 255, 255), true, RGB(255, 255, 255)},  // 265.75 clamped
      {RGB(200, 0, 0), RGB(0, 0, 100), false, RGB(175, 135, 155)},     // each channel in its byte
      {RGB(4, 0, 0), RGB(0, 0, 0), true, RGB(139, 138, 138)},          // 139.25
  };
  for (const Case& c : cases)
    EXPECT_EQ(ColorToRGB(TDBGridGdStyle::BlendSelectionColor(static_cast<TColor>(c.C), static_cast<TColor>(c.Glass),
                                                             c.Ungray)),
              c.Expected)
        << std::hex << c.C << " " << c.Glass << " " << c.Ungray;
  // White under the system highlight lands near 225 or above in every channel.
  const COLORREF white = ColorToRGB(TDBGridGdStyle::BlendSelectionColor(clWhite, clHighlight, true));
  for (BYTE channel : {GetRValue(white), GetGValue(white), GetBValue(white)}) EXPECT_GE(channel, 170);
}

class GridStyleTest : public GridTest {
 protected:
  GridStyleTest() : GridTest(10, 300, 200) {
    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgMultiSelect});
    for (int id : {2, 5}) {
      Table.Locate("id", Variant(id), {});
      Grid->SelectedRows()->SetCurrentRowSelected(true);
    }
    Table.Locate("id", Variant(3), {});
  }
  ~GridStyleTest() override { gdi::SetPaletteDisplay(false); }
  // The colour in the middle of the "name" cell of a data row, as the form shows it.
  COLORREF CellPixel(int DataRow) {
    Grid->Invalidate();
    App.ProcessMessages();
    const TRect cell = Grid->CellRect(1 + Grid->IndicatorOffset(), DataRow + Grid->TitleOffset());
    const TPoint at = Grid->ClientToScreen({cell.Left + 3, cell.Bottom - 3});
    const TPoint form = Form->ClientToScreen({0, 0});
    return gdi::ColorOfPixel(App.Presenter().Snapshot(Form->Handle()).Get(at.X - form.X, at.Y - form.Y));
  }
  static COLORREF Blend(TColor Glass, bool Ungray) {
    return ColorToRGB(TDBGridGdStyle::BlendSelectionColor(clWindow, Glass, Ungray));
  }
};

TEST_F(GridStyleTest, EveryGridJoinsTheDefaultStyleAndLeavesItWhenFreed) {
  ASSERT_NE(DefaultGridStyle(), nullptr);
  EXPECT_EQ(Grid->Style(), DefaultGridStyle());
  EXPECT_TRUE(DefaultGridStyle()->HasGrid(Grid));
  auto* other = new TDBGridGd(Form.get());
  EXPECT_TRUE(DefaultGridStyle()->HasGrid(other));
  delete other;
  EXPECT_FALSE(DefaultGridStyle()->HasGrid(other));
}

TEST_F(GridStyleTest, AFreedStyleHandsItsGridsBackToTheDefault) {
  auto own = std::make_unique<TDBGridGdStyle>();
  Grid->SetStyle(own.get());
  EXPECT_FALSE(DefaultGridStyle()->HasGrid(Grid));
  EXPECT_TRUE(own->HasGrid(Grid));
  own.reset();
  EXPECT_EQ(Grid->Style(), DefaultGridStyle());
  EXPECT_TRUE(DefaultGridStyle()->HasGrid(Grid));
}

TEST_F(GridStyleTest, SelectedRowsOfAFocusedGridAreALightBlendOfTheHighlight) {
  Grid->SetFocus();
  EXPECT_EQ(CellPixel(1), Blend(clHighlight, true));
  EXPECT_EQ(CellPixel(4), Blend(clHighlight, true));
  EXPECT_EQ(CellPixel(0), ColorToRGB(clWindow));  // not selected
}

TEST_F(GridStyleTest, OnAPaletteDisplayTheSelectionIsPlainHighlightOnceTheColoursAreReRead) {
  Grid->SetFocus();
  gdi::SetPaletteDisplay(true);
  // The count is read again when the system colours change, not on every cell; until then the
  // blend still shows, as the nearest colour the display has.
  EXPECT_EQ(CellPixel(1), gdi::NearestStaticColor(Blend(clHighlight, true)));
  os::SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(DefaultGridStyle()->ScreenNumColors(), 20);
  EXPECT_EQ(CellPixel(1), ColorToRGB(clHighlight));
  gdi::SetPaletteDisplay(false);
  os::SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_TRUE(DefaultGridStyle()->TrueColorDisplay());
}

TEST_F(GridStyleTest, SelectedRowsOfAnUnfocusedGridBlendWithTheButtonShadow) {
  Form->SetActiveControl(nullptr);
  EXPECT_EQ(CellPixel(1), Blend(clBtnShadow, false));
  gdi::SetPaletteDisplay(true);
  os::SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(CellPixel(1), ColorToRGB(clBtnFace));
  gdi::SetPaletteDisplay(false);
  os::SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
}

TEST_F(GridStyleTest, FixedCellsTakeTheDarkColourForTheirAreaCodesAndTheBlendOtherwise) {
  struct Case {
    int Code;
    bool Dark;
  };
  const Case cases[] = {{0x0000, true}, {0x0100, true}, {0x0200, true}, {0x0300, false}, {0x0001, true},
                        {0x0101, true}, {0x0201, false}, {0x0002, false}, {0x0004, false}};
  Form->SetActiveControl(nullptr);
  TFont font;
  for (const Case& c : cases) {
    TColor background = clBtnFace;
    font.SetColor(clWindowText);
    EXPECT_TRUE(Grid->Style()->FixedCellHighlight(Grid, &font, background, true, c.Code));
    if (c.Dark) {
      EXPECT_EQ(background, RGB(64, 64, 64)) << c.Code;
      EXPECT_EQ(font.Color(), clWhite) << c.Code;
    } else {
      EXPECT_EQ(ColorToRGB(background), ColorToRGB(TDBGridGdStyle::BlendSelectionColor(clBtnFace, clBtnShadow, false)))
          << c.Code;
      EXPECT_EQ(font.Color(), clWindowText) << c.Code;
    }
  }
  TColor untouched = clBtnFace;
  EXPECT_FALSE(Grid->Style()->FixedCellHighlight(Grid, &font, untouched, false, 0));
  EXPECT_EQ(untouched, clBtnFace);
}

TEST_F(GridStyleTest, CopiedColumnDefaultsKeepLayoutHighlightRequiredAndFooterTips) {
  auto* other = new TDBGridGd(Form.get());
  TDBGridGdColumnDefValuesGd* from = other->ColumnDefValues();
  from->SetLayout(tlBottom);
  from->SetHighlightRequired(true);
  from->Footer()->SetToolTips(true);
  from->SetToolTips(true);
  from->SetEndEllipsis(true);
  from->Title()->SetColor(clRed);
  Grid->ColumnDefValues()->Assign(from);
  EXPECT_EQ(Grid->ColumnDefValues()->Layout(), tlTop);
  EXPECT_FALSE(Grid->ColumnDefValues()->HighlightRequired());
  EXPECT_FALSE(Grid->ColumnDefValues()->Footer()->ToolTips());
  EXPECT_TRUE(Grid->ColumnDefValues()->ToolTips());
  EXPECT_TRUE(Grid->ColumnDefValues()->EndEllipsis());
  EXPECT_EQ(Grid->ColumnDefValues()->Title()->Color(), clRed);
}

TEST(VariantToQuotedList, QuotesEachElementOfAnArrayAndDoublesItsQuotes) {
  EXPECT_EQ(VariantToQuotedList(Variant("it's")), "it's");
  EXPECT_EQ(VariantToQuotedList(Variant(5)), "5");
  EXPECT_EQ(VariantToQuotedList(Variant::Null()), "");
  EXPECT_EQ(VariantToQuotedList(VarArrayOf({Variant(1), Variant("a'b"), Variant("c")})), "'1','a''b','c'");
  Variant shifted = VarArrayCreate({2, 3}, varVariant);
  shifted[2] = Variant("x");
  shifted[3] = Variant("y");
  EXPECT_EQ(VariantToQuotedList(shifted), "'x','y'");
}

}  // namespace
