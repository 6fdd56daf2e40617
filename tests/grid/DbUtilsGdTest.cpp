// The cell drawing routines on a small surface: where text lands for each alignment and layout,
// the end ellipsis, rotated text, clipped images, edit buttons, the search highlight, and the
// off-screen path a palette display takes.
#include "grid/DbUtilsGd.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/gdi/Display.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Painting.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/Pixels.h"

namespace {

constexpr COLORREF Blue = RGB(0, 0, 255);

// A canvas drawing on a surface of its own.
struct TPainted {
  TPixels Pixels;
  TCanvas Canvas;
  TPainted(int Width, int Height, COLORREF Fill = RGB(255, 255, 255)) : Pixels(Width, Height, Fill) {
    Canvas.SetHandle(Pixels.DC);
  }
  ~TPainted() { Canvas.SetHandle(nullptr); }

  // The smallest rectangle around the pixels for which Wanted holds (empty when there are none).
  template <class F>
  TRect BoundsWhere(F Wanted) const {
    std::optional<TRect> r;
    for (int y = 0; y < Pixels.Surface->Height(); ++y)
      for (int x = 0; x < Pixels.Surface->Width(); ++x)
        if (Wanted(Pixels.At(x, y))) {
          if (!r) r = TRect{x, y, x + 1, y + 1};
          r->Left = std::min(r->Left, x);
          r->Top = std::min(r->Top, y);
          r->Right = std::max(r->Right, x + 1);
          r->Bottom = std::max(r->Bottom, y + 1);
        }
    return r.value_or(TRect{});
  }
  // Around the pixels of Colour.
  TRect Bounds(COLORREF Colour) const {
    return BoundsWhere([Colour](COLORREF c) { return c == Colour; });
  }
  // Around every pixel that is not the background (text ink, smoothed or not).
  TRect InkBounds(COLORREF Background) const {
    return BoundsWhere([Background](COLORREF c) { return c != Background; });
  }
};

// The ink of Text written by TextOut at (X, Y) on a white surface: where the routines should
// have put it.
TRect ReferenceInk(const std::string& Text, int X, int Y) {
  TPainted ref(200, 60);
  ref.Canvas.Brush()->SetStyle(bsClear);
  ref.Canvas.TextOut(X, Y, Text);
  return ref.InkBounds(RGB(255, 255, 255));
}

TEST(DbUtilsGdTest, SingleLinesLandByAlignmentLayoutAndInsets) {
  const TRect cell{10, 5, 150, 45};  // 140 x 40
  const std::string text = "Wg 12";
  TPainted probe(1, 1);
  const int w = probe.Canvas.TextWidth(text), h = probe.Canvas.TextHeight(text);
  struct TCase { TAlignment Alignment; TTextLayout Layout; int DX, DY; int X, Y; };
  const TCase cases[] = {
      {taLeftJustify, tlTop, 2, 1, 12, 6},
      // Right-aligned text ends 3 pixels inside whatever the inset.
      {taRightJustify, tlTop, 2, 1, 150 - w - 3, 6},
      {taRightJustify, tlTop, 9, 1, 150 - w - 3, 6},
      {taCenter, tlTop, 2, 0, 10 + 70 - w / 2, 5},
      {taLeftJustify, tlCenter, 2, 1, 12, (5 + 45 - h) / 2},
      {taLeftJustify, tlBottom, 2, 1, 12, 45 - h},
      // A text too high for its layout starts at the top inset.
      {taLeftJustify, tlBottom, 2, 40 - h, 12, 5 + 40 - h},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Alignment << " " << c.Layout << " " << c.DX << " " << c.DY);
    TPainted p(200, 60);
    WriteCellText(&p.Canvas, cell, false, c.DX, c.DY, text, c.Alignment, c.Layout, false, false, 0, 0, false);
    EXPECT_EQ(p.InkBounds(RGB(255, 255, 255)), ReferenceInk(text, c.X, c.Y));
  }
}

TEST(DbUtilsGdTest, FillingPaintsTheWholeCellAndNotFillingKeepsWhatIsThere) {
  for (bool wrap : {false, true}) {
    SCOPED_TRACE(wrap);
    TPainted p(40, 20, Blue);
    p.Canvas.Brush()->SetColor(clRed);
    WriteCellText(&p.Canvas, TRect{0, 0, 40, 10}, false, 2, 1, "x", taLeftJustify, tlTop, wrap, false, 0, 0, false);
    EXPECT_TRUE(p.Bounds(RGB(255, 0, 0)).IsEmpty());
    EXPECT_EQ(p.Canvas.Brush()->Style(), bsSolid) << "the brush comes back";
    WriteCellText(&p.Canvas, TRect{0, 0, 40, 10}, true, 2, 1, "x", taLeftJustify, tlTop, wrap, false, 0, 0, false);
    EXPECT_EQ(p.Bounds(RGB(255, 0, 0)), TRect(0, 0, 40, 10));
    EXPECT_EQ(p.Bounds(Blue), TRect(0, 10, 40, 20));
  }
}

TEST(DbUtilsGdTest, TextTooWideLosesCharactersUntilItFitsWithItsEllipsis) {
  TPainted p(1, 1);
  const auto width = [&](const std::string& s) { return p.Canvas.TextWidth(s); };
  ASSERT_GT(width("abcdWW"), width("abcdW...")) << "a W is wider than an ellipsis in this font";
  struct TCase { std::string Text; int MaxWidth; std::string Shortened; };
  const TCase cases[] = {
      {"abcdef", width("abcdef"), "abcdef"},
      // Two characters go first (the ellipsis takes their room), then one at a time.
      {"abcdef", width("abcdef") - 1, "abcd..."},
      {"abcdWW", width("abcdW..."), "abcd..."},
      {"abcdef", width("abc..."), "abc..."},
      {"abcdef", 0, "..."},
      // Characters, not bytes.
      {"äöüßéè", width("äö..."), "äö..."},
      {"", 0, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text + " " + std::to_string(c.MaxWidth));
    EXPECT_EQ(ShortenTextWithEllipsis(c.Text, &p.Canvas, c.MaxWidth), c.Shortened);
  }
  // The single-line writer shortens by the width less the inset.
  TPainted cell(200, 30);
  const int room = width("abc...") + 4;
  WriteCellText(&cell.Canvas, TRect{0, 0, room, 20}, false, 4, 0, "abcdef", taLeftJustify, tlTop, false, true, 0, 0,
                false);
  EXPECT_EQ(cell.InkBounds(RGB(255, 255, 255)), ReferenceInk("abc...", 4, 0));
}

TEST(DbUtilsGdTest, APaletteDisplayDrawsDitheredCellsOffScreenAndCopiesThemIn) {
  struct TCase { TAlignment Alignment; bool WordWrap; };
  for (const TCase& c : {TCase{taLeftJustify, false}, TCase{taCenter, true}, TCase{taRightJustify, true}}) {
    SCOPED_TRACE(testing::Message() << c.Alignment << " " << c.WordWrap);
    const TRect cell{5, 3, 95, 33};
    const auto draw = [&](TPainted& p, TColor Brush) {
      p.Canvas.Brush()->SetColor(Brush);
      p.Canvas.Font()->SetColor(clNavy);
      WriteCellText(&p.Canvas, cell, true, 2, 1, "Wrapped text here", c.Alignment, tlTop, c.WordWrap, false, 0, 0,
                    false);
    };
    TPainted direct(100, 40, Blue);
    draw(direct, TColor{0xE6F0FA});
    ASSERT_EQ(SharedDrawBitmapUsers(), 0);
    gdi::SetPaletteDisplay(true);
    TPainted dithered(100, 40, Blue);
    AcquireDrawBitmap();  // as a grid holds it
    draw(dithered, TColor{0xE6F0FA});
    EXPECT_GE(SharedDrawBitmap()->Width(), cell.Width()) << "drawn through the shared bitmap";
    EXPECT_GE(SharedDrawBitmap()->Height(), cell.Height());
    EXPECT_EQ(dithered.Pixels.Picture(), direct.Pixels.Picture()) << "the same cell, copied in whole";
    // A colour the palette holds is drawn directly.
    ReleaseDrawBitmap();
    AcquireDrawBitmap();
    TPainted exact(100, 40, Blue);
    draw(exact, clSilver);
    EXPECT_EQ(SharedDrawBitmap()->Width(), 0);
    ReleaseDrawBitmap();
    gdi::SetPaletteDisplay(false);
    EXPECT_EQ(SharedDrawBitmap(), nullptr);
  }
}

TEST(DbUtilsGdTest, TheSharedBitmapLivesWhileAGridHoldsItAndOnlyGrows) {
  AcquireDrawBitmap();
  AcquireDrawBitmap();
  TBitmap* shared = SharedDrawBitmap();
  ASSERT_NE(shared, nullptr);
  gdi::SetPaletteDisplay(true);
  TPainted p(100, 40);
  p.Canvas.Brush()->SetColor(TColor{0xE6F0FA});
  WriteCellText(&p.Canvas, TRect{0, 0, 60, 30}, true, 2, 1, "x", taLeftJustify, tlTop, false, false, 0, 0, false);
  WriteCellText(&p.Canvas, TRect{0, 0, 20, 10}, true, 2, 1, "x", taLeftJustify, tlTop, false, false, 0, 0, false);
  gdi::SetPaletteDisplay(false);
  EXPECT_EQ(SharedDrawBitmap(), shared);
  EXPECT_EQ(shared->Width(), 60);
  EXPECT_EQ(shared->Height(), 30);
  ReleaseDrawBitmap();
  EXPECT_EQ(SharedDrawBitmap(), shared);
  ReleaseDrawBitmap();
  EXPECT_EQ(SharedDrawBitmap(), nullptr);
  ReleaseDrawBitmap();  // one release too many does nothing
  EXPECT_EQ(SharedDrawBitmapUsers(), 0);
}

TEST(DbUtilsGdTest, RotatedTextRunsUpwardsInItsCell) {
  TPainted probe(1, 1);
  const std::string text = "Title text";
  const int width = probe.Canvas.TextWidth(text);
  HFONT before = static_cast<HFONT>(GetCurrentObject(probe.Canvas.Handle(), OBJ_FONT));
  EXPECT_EQ(WriteCellTextVertical(&probe.Canvas, TRect{0, 0, 1, 1}, false, true, false, 2, taCenter, text, 0, 0), width);
  EXPECT_EQ(GetCurrentObject(probe.Canvas.Handle(), OBJ_FONT), before) << "the canvas font comes back";
  for (int layout : {0, 2}) {
    SCOPED_TRACE(layout);
    TPainted p(40, 120);
    const TRect cell{5, 5, 35, 115};
    WriteCellTextVertical(&p.Canvas, cell, false, false, false, layout, taLeftJustify, text, 3, 2);
    const TRect ink = p.InkBounds(RGB(255, 255, 255));
    EXPECT_GT(ink.Height(), ink.Width() * 2) << "the text stands upright";
    EXPECT_GE(ink.Left, 7);
    EXPECT_NEAR(ink.Height(), width, 3);
    EXPECT_NEAR(layout == 0 ? ink.Top : ink.Bottom, layout == 0 ? 5 : 115 - 3, 3);
  }
}

TEST(DbUtilsGdTest, VerticalFontsKeepTheStyleAndReplaceTheDefaultName) {
  struct TCase { std::string Name; TFontStyles Style; std::string Face; LONG Weight; BYTE Italic; };
  for (const TCase& c : {TCase{"Default", {}, "MS Sans Serif", FW_NORMAL, 0},
                         TCase{"Arial", TFontStyles{fsBold, fsItalic}, "Arial", FW_BOLD, 1}}) {
    SCOPED_TRACE(c.Name);
    TFont font;
    font.SetName(c.Name);
    font.SetStyle(c.Style);
    font.SetHeight(-13);
    HFONT vertical = MakeVerticalFont(&font);
    LOGFONT lf;
    ASSERT_TRUE(GetObject(vertical, sizeof(lf), &lf));
    EXPECT_EQ(lf.lfFaceName, c.Face);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(lf.lfOrientation, 900);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfWeight, c.Weight);
    EXPECT_EQ(lf.lfItalic, c.Italic);
    EXPECT_EQ(lf.lfOutPrecision, OUT_TT_ONLY_PRECIS);
    DeleteObject(vertical);
  }
}

TEST(DbUtilsGdTest, ImagesLargerThanTheCellAreClippedAndOthersKeepTheCallersClip) {
  TBitmap red;
  red.SetSize(10, 10);
  red.Canvas()->Brush()->SetColor(clRed);
  red.Canvas()->FillRect(TRect{0, 0, 10, 10});
  struct TCase { TRect Cell; TAlignment Alignment; int DX; TRect Drawn; };
  const TCase cases[] = {
      {{0, 0, 20, 6}, taCenter, 0, {5, 0, 15, 6}},  // too high: clipped to the cell
      {{0, 0, 8, 20}, taLeftJustify, 1, {1, 5, 8, 15}},
      {{0, 0, 30, 20}, taRightJustify, 0, {20, 5, 30, 15}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Alignment);
    TPainted p(40, 30, Blue);
    DrawImageClipped(nullptr, &red, &p.Canvas, c.Alignment, c.DX, 0, c.Cell);
    EXPECT_EQ(p.Bounds(RGB(255, 0, 0)), c.Drawn);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(p.Canvas.Handle(), probe), 0) << "no clip region left behind";
    DeleteObject(probe);
  }
  // An image that fits draws under the caller's own clip region, which stays.
  TPainted p(40, 30, Blue);
  IntersectClipRect(p.Canvas.Handle(), 0, 0, 12, 30);
  DrawImageClipped(nullptr, &red, &p.Canvas, taCenter, 0, 0, TRect{0, 0, 30, 20});
  EXPECT_EQ(p.Bounds(RGB(255, 0, 0)), TRect(10, 5, 12, 15));
  TRect box;
  GetClipBox(p.Canvas.Handle(), &box);
  EXPECT_EQ(box, TRect(0, 0, 12, 30));
}

TEST(DbUtilsGdTest, GlyphButtonsInCellsAreFramedInTheCellColour) {
  TBitmap glyph;
  glyph.SetSize(2, 2);
  glyph.Canvas()->Brush()->SetColor(clRed);
  glyph.Canvas()->FillRect(TRect{0, 0, 2, 2});
  const std::map<COLORREF, char> legend = {{RGB(0, 0, 255), 'B'}, {RGB(255, 0, 0), 'r'}, {RGB(212, 208, 200), 'f'},
                                           {RGB(255, 0, 255), 'm'}};
  TPainted p(12, 8, Blue);
  DrawEditButtonInCell(&p.Canvas, &glyph, TColor{0xFF00FF}, true, true, TRect{0, 0, 12, 8}, TRect{4, 1, 11, 7},
                       ebsGlyphGd, false);
  EXPECT_EQ(p.Pixels.Picture(legend), TPixels::Rows({"BBBBBBBBBBBB", "BBBBmmmmmmmB", "BBBBmmffffmB", "BBBBmmfrrfmB",
                                                     "BBBBmmfrrfmB", "BBBBmmffffmB", "BBBBmmmmmmmB", "BBBBBBBBBBBB"}));
  // The strip at the button's left edge, then its frame, the face and the glyph in the middle;
  // mirrored for a right-to-left column: the strip on the right.
  TPainted rtl(12, 8, Blue);
  DrawEditButtonInCell(&rtl.Canvas, &glyph, TColor{0xFF00FF}, true, true, TRect{0, 0, 12, 8}, TRect{4, 1, 11, 7},
                       ebsGlyphGd, true);
  EXPECT_EQ(rtl.Pixels.Picture(legend), TPixels::Rows({"BBBBBBBBBBBB", "BmmmmmmmBBBB", "BmffffmmBBBB", "BmfrrfmmBBBB",
                                                       "BmfrrfmmBBBB", "BmffffmmBBBB", "BmmmmmmmBBBB", "BBBBBBBBBBBB"}));
}

TEST(DbUtilsGdTest, TheSearchHighlightCoversTheTypedCharactersWhereTheyStand) {
  const std::string text = "Broadcast";
  TPainted probe(1, 1);
  const int typedWidth = probe.Canvas.TextWidth("Bro");
  const int restWidth = probe.Canvas.TextWidth("adcast");
  const TRect cell{10, 2, 190, 22};
  struct TCase { TAlignment Alignment; bool RightToLeft; int Left, Right; };
  const TCase cases[] = {
      {taLeftJustify, false, 12, 12 + typedWidth},
      {taRightJustify, false, 188 - restWidth - typedWidth, 188 - restWidth},
      // A right-to-left column is mirrored when drawn: its left alignment is drawn as right.
      {taLeftJustify, true, 188 - restWidth - typedWidth, 188 - restWidth},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Alignment << " " << c.RightToLeft);
    TPainted p(200, 30);
    p.Canvas.Brush()->SetColor(clWhite);
    p.Canvas.Font()->SetColor(clNavy);
    DrawIncSearchHighlight(&p.Canvas, cell, 2, 1, text, 3, c.Alignment, c.RightToLeft, false);
    const TRect yellow = p.Bounds(RGB(255, 255, 0));
    EXPECT_NEAR(yellow.Left, c.Left, 1);
    EXPECT_NEAR(yellow.Right, c.Right, 1);
    EXPECT_EQ(p.Canvas.Brush()->Color(), clWhite) << "the canvas colours come back";
    EXPECT_EQ(p.Canvas.Font()->Color(), clNavy);
  }
}

TEST(DbUtilsGdTest, OverflowIsMeasuredAgainstTheRoomLeft) {
  TPainted p(1, 1);
  const int w = p.Canvas.TextWidth("abc"), h = p.Canvas.TextHeight("abc");
  struct TCase { TRect Rect; int ReservedWidth, ReservedHeight; bool Overflows; };
  const TCase cases[] = {
      {{0, 0, w + 2, h}, 0, 0, false},
      {{0, 0, w + 1, h}, 0, 0, true},
      {{0, 0, w + 6, h}, 4, 0, false},
      {{0, 0, w + 6, h - 1}, 0, 0, false},  // one pixel of height to spare
      {{0, 0, w + 6, h - 2}, 0, 0, true},
      {{0, 0, w + 6, h}, 0, 2, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Rect.Right << " " << c.Rect.Bottom << " " << c.ReservedWidth);
    int width = 0, height = 0;
    EXPECT_EQ(TextOverflowsRect(0, &p.Canvas, c.ReservedWidth, width, height, false, c.Rect, "abc", c.ReservedHeight),
              c.Overflows);
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
  }
}

TEST(DbUtilsGdTest, RectangleAndGridCellHelpers) {
  TRect r{10, 20, 40, 25};
  TransposeRect(r);
  EXPECT_EQ(r, TRect(10, 20, 15, 50));
  const TGridRect g{2, 3, 4, 5};  // Left, Top, Right, Bottom
  EXPECT_TRUE(CellInGridRect(2, 3, g));
  EXPECT_TRUE(CellInGridRect(4, 5, g));
  EXPECT_FALSE(CellInGridRect(5, 5, g));
  EXPECT_FALSE(CellInGridRect(3, 2, g));
  EXPECT_TRUE(PointInRectInclusive({40, 25}, TRect(10, 20, 40, 25)));
  EXPECT_FALSE(PointInRectInclusive({41, 25}, TRect(10, 20, 40, 25)));
  EXPECT_THROW(RaiseGridOperationError("Grid index out of range"), EInvalidGridOperation);
}

}  // namespace

namespace {

class DbUtilsGdWindowTest : public test::HeadlessTest {};

TEST_F(DbUtilsGdWindowTest, AGridRowIsInvalidatedWholeAndPendingMessagesAreDiscarded) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 200);
  TDrawGrid grid(&form);
  grid.SetParent(&form);
  grid.SetBounds(0, 0, 250, 150);
  grid.SetColCount(3);
  grid.SetRowCount(4);
  form.Show();
  App.ProcessMessages();
  ValidateRect(grid.Handle(), nullptr);
  InvalidateGridRow(&grid, 2);
  TRect update;
  ASSERT_TRUE(GetUpdateRect(grid.Handle(), &update, FALSE));
  EXPECT_EQ(update, TRect(grid.CellRect(0, 2).Left, grid.CellRect(0, 2).Top, grid.CellRect(2, 2).Right,
                          grid.CellRect(0, 2).Bottom));

  constexpr UINT kDeferred = WM_USER + 100;
  PostMessage(grid.Handle(), kDeferred, 1, 0);
  PostMessage(grid.Handle(), WM_USER + 101, 0, 0);
  PostMessage(grid.Handle(), kDeferred, 2, 0);
  PostMessage(form.Handle(), kDeferred, 3, 0);
  DiscardPendingMessage(grid.Handle(), kDeferred);
  MSG msg;
  std::vector<std::pair<UINT, WPARAM>> left;
  while (PeekMessage(&msg, nullptr, WM_USER, WM_USER + 200, PM_REMOVE)) left.emplace_back(msg.message, msg.wParam);
  EXPECT_EQ(left, (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 101, 0}, {kDeferred, 3}}))
      << "only the grid's messages of that number go";
}

}  // namespace
