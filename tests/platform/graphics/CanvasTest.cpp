#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "GraphicsTest.h"

using namespace graphicstest;

namespace {

// A 6 x 6 white bitmap whose canvas has a black pen and a red brush.
std::unique_ptr<TBitmap> Board() {
  auto b = Filled(6, 6);
  b->Canvas()->Brush()->SetColor(Red);
  return b;
}

}  // namespace

TEST(Canvas, EachDrawingCallPaintsItsPixels) {
  struct TCase {
    const char* Name;
    std::function<void(TCanvas&)> Draw;
    std::string Expected;
  };
  const TCase cases[] = {
      {"Rectangle", [](TCanvas& c) { c.Rectangle(1, 1, 5, 5); },
       Rows({"......", ".####.", ".#rr#.", ".#rr#.", ".####.", "......"})},
      {"Polygon", [](TCanvas& c) { c.Polygon({{1, 1}, {4, 1}, {4, 4}, {1, 4}}); },
       Rows({"......", ".####.", ".#rr#.", ".#rr#.", ".####.", "......"})},
      {"FillRect", [](TCanvas& c) { c.FillRect(Rect(1, 1, 4, 3)); },
       Rows({"......", ".rrr..", ".rrr..", "......", "......", "......"})},
      {"FrameRect", [](TCanvas& c) { c.FrameRect(Rect(0, 0, 4, 4)); },
       Rows({"rrrr..", "r..r..", "r..r..", "rrrr..", "......", "......"})},
      {"LineTo", [](TCanvas& c) { c.MoveTo(0, 1); c.LineTo(5, 1); },
       Rows({"......", "#####.", "......", "......", "......", "......"})},
      {"Polyline", [](TCanvas& c) { c.Polyline({{0, 0}, {3, 0}, {3, 3}}); },
       Rows({"####..", "...#..", "...#..", "......", "......", "......"})},
      {"Pixels", [](TCanvas& c) { c.SetPixels(2, 3, Blue); },
       Rows({"......", "......", "......", "..b...", "......", "......"})},
  };
  for (const TCase& c : cases) {
    auto b = Board();
    c.Draw(*b->Canvas());
    EXPECT_EQ(Picture(*b), c.Expected) << c.Name;
  }
}

TEST(Canvas, CurvedFiguresAreOutlinedAndFilled) {
  // Figures in a 9 x 9 box: outline pixels on the box's edge midpoints, the brush at the centre,
  // the corners untouched; Arc draws no fill, Chord and Pie fill only their own part.
  struct TCase {
    const char* Name;
    std::function<void(TCanvas&)> Draw;
    TColor Centre;
  };
  const TCase cases[] = {
      {"Ellipse", [](TCanvas& c) { c.Ellipse(0, 0, 9, 9); }, Red},
      {"RoundRect", [](TCanvas& c) { c.RoundRect(0, 0, 9, 9, 4, 4); }, Red},
      {"Arc", [](TCanvas& c) { c.Arc(0, 0, 9, 9, 9, 4, 9, 5); }, clWhite},
      {"Pie", [](TCanvas& c) { c.Pie(0, 0, 9, 9, 9, 0, 0, 0); }, clBlack},  // upper half: the centre is on its edge
  };
  for (const TCase& c : cases) {
    auto b = Filled(9, 9);
    b->Canvas()->Brush()->SetColor(Red);
    c.Draw(*b->Canvas());
    TCanvas* cv = b->Canvas();
    EXPECT_EQ(cv->Pixels(4, 0), clBlack) << c.Name;
    EXPECT_EQ(cv->Pixels(0, 0), clWhite) << c.Name;
    EXPECT_EQ(cv->Pixels(4, 4), c.Centre) << c.Name;
  }
  auto b = Filled(9, 9);
  b->Canvas()->Brush()->SetColor(Red);
  b->Canvas()->Pie(0, 0, 9, 9, 9, 0, 0, 0);
  EXPECT_EQ(b->Canvas()->Pixels(4, 2), Red);
  EXPECT_EQ(b->Canvas()->Pixels(4, 6), clWhite) << "the lower half is not part of the pie";
}

TEST(Canvas, PenBrushAndFontChangesTakeEffectAtTheNextDrawingCall) {
  auto b = Filled(6, 4);
  TCanvas* c = b->Canvas();
  c->MoveTo(0, 0);
  c->LineTo(6, 0);
  c->Pen()->SetColor(Blue);  // the pen selected into the DC is replaced before the next line
  c->MoveTo(0, 1);
  c->LineTo(6, 1);
  c->Pen()->SetMode(pmNot);  // inverts what it draws over
  c->MoveTo(0, 1);
  c->LineTo(3, 1);
  c->Pen()->SetMode(pmCopy);
  c->Pen()->SetStyle(psClear);
  c->Brush()->SetColor(Lime);
  c->Rectangle(0, 2, 4, 5);  // no outline: the fill covers one pixel less to the right and bottom
  EXPECT_EQ(Picture(*b), Rows({"######", "???bbb", "ggg...", "ggg..."}));
  EXPECT_EQ(c->Pixels(0, 1), static_cast<TColor>(RGB(255, 255, 0))) << "blue inverted";

  // A brush bitmap is repeated; its pixels are taken when the brush is made.
  auto pattern = FromRows({"rb"});
  c->Brush()->SetBitmap(pattern.get());
  c->FillRect(Rect(0, 3, 6, 4));
  pattern->Canvas()->SetPixels(0, 0, clBlack);
  EXPECT_EQ(Picture(*b), Rows({"######", "???bbb", "ggg...", "rbrbrb"}));
  c->Brush()->SetBitmap(nullptr);

  c->Brush()->SetStyle(bsClear);
  c->Pen()->SetStyle(psSolid);
  c->Rectangle(3, 0, 6, 4);
  EXPECT_EQ(c->Pixels(4, 2), clWhite) << "a clear brush leaves the inside";
  EXPECT_EQ(c->Pixels(3, 2), Blue) << "the pen kept its colour";
}

TEST(Canvas, TextIsWrittenInTheFontOnTheBrushAndMovesThePen) {
  auto b = Filled(60, 30);
  TCanvas* c = b->Canvas();
  c->Font()->SetColor(Red);
  c->Brush()->SetStyle(bsClear);
  const TSize size = c->TextExtent("Hi");
  ASSERT_GT(size.cx, 4);
  ASSERT_GT(size.cy, 6);
  EXPECT_EQ(c->TextWidth("Hi"), size.cx);
  EXPECT_EQ(c->TextHeight("Hi"), size.cy);
  c->TextOut(2, 3, "Hi");
  EXPECT_EQ(c->PenPos(), (TPoint{2 + size.cx, 3}));
  int red = 0, outside = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor p = c->Pixels(x, y);
      const bool in = x >= 2 && x < 2 + size.cx && y >= 3 && y < 3 + size.cy;
      if (p == Red) ++red;
      if (!in && p != clWhite) ++outside;
    }
  EXPECT_GT(red, 4);
  EXPECT_EQ(outside, 0);

  // A solid brush fills the text's cell; a bigger font gives a bigger cell.
  c->Brush()->SetColor(Blue);
  c->TextOut(30, 3, "Hi");
  EXPECT_EQ(c->Pixels(30, 3), Blue);
  c->Font()->SetSize(16);
  EXPECT_GT(c->TextHeight("Hi"), size.cy);
}

TEST(Canvas, TextRectClipsFormatsAndMeasures) {
  auto b = Filled(40, 20);
  TCanvas* c = b->Canvas();
  c->Brush()->SetColor(Blue);
  c->TextRect(Rect(0, 0, 10, 20), 0, 0, "Wide text here");
  EXPECT_EQ(c->Pixels(11, 5), clWhite) << "nothing right of the rectangle";
  EXPECT_EQ(c->Pixels(9, 19), Blue) << "the rectangle is filled";

  TRect r(0, 0, 100, 0);
  std::string text = "Hello";
  c->TextRect(r, text, {tfCalcRect, tfSingleLine});
  EXPECT_EQ(r.Width(), c->TextWidth("Hello"));
  EXPECT_EQ(r.Height(), c->TextHeight("Hello"));

  TRect narrow(0, 0, c->TextWidth("Hello") / 2, 20);
  c->TextRect(narrow, text, {tfSingleLine, tfEndEllipsis, tfModifyString});
  EXPECT_NE(text, "Hello");
  EXPECT_NE(text.find("..."), std::string::npos);
  EXPECT_EQ(TextFormatFlags({tfCenter, tfVerticalCenter, tfWordBreak}),
            static_cast<UINT>(DT_CENTER | DT_VCENTER | DT_WORDBREAK));
}

TEST(Canvas, FloodFillFillsASurfaceOrUpToABorder) {
  const auto ring = [] {
    return FromRows({".......", ".#####.", ".#...#.", ".#...#.", ".#####.", "......."});
  };
  auto inside = ring();
  inside->Canvas()->Brush()->SetColor(Red);
  inside->Canvas()->FloodFill(3, 2, clBlack, fsBorder);
  EXPECT_EQ(Picture(*inside), Rows({".......", ".#####.", ".#rrr#.", ".#rrr#.", ".#####.", "......."}));

  auto outside = ring();
  outside->Canvas()->Brush()->SetColor(Blue);
  outside->Canvas()->FloodFill(0, 0, clWhite, fsSurface);
  EXPECT_EQ(Picture(*outside), Rows({"bbbbbbb", "b#####b", "b#...#b", "b#...#b", "b#####b", "bbbbbbb"}));

  auto none = ring();
  none->Canvas()->FloodFill(1, 1, clWhite, fsSurface);  // the seed is not of the colour
  EXPECT_EQ(Picture(*none), Picture(*ring()));
}

TEST(Canvas, PicturesAreCopiedStretchedAndThroughTheBrush) {
  auto source = FromRows({"rb", "gr"});
  auto b = Filled(4, 4);
  b->Canvas()->StretchDraw(Rect(0, 0, 4, 4), source.get());
  EXPECT_EQ(Picture(*b), Rows({"rrbb", "rrbb", "ggrr", "ggrr"}));

  auto copy = Filled(3, 2);
  copy->Canvas()->CopyRect(Rect(1, 0, 3, 1), source->Canvas(), Rect(0, 0, 2, 1));
  copy->Canvas()->SetCopyMode(cmNotSrcCopy);
  copy->Canvas()->CopyRect(Rect(0, 1, 1, 2), b->Canvas(), Rect(0, 0, 1, 1));
  EXPECT_EQ(Picture(*copy, {{Red, 'r'}, {Blue, 'b'}, {static_cast<TColor>(RGB(0, 255, 255)), 'c'}}),
            Rows({".rb", "c.."}));

  // BrushCopy replaces the red of the source by the brush.
  auto brushed = Filled(2, 2);
  brushed->Canvas()->Brush()->SetColor(Blue);
  brushed->Canvas()->BrushCopy(Rect(0, 0, 2, 2), source.get(), Rect(0, 0, 2, 2), Red);
  EXPECT_EQ(Picture(*brushed), Rows({"bb", "gb"}));

  b->Canvas()->Draw(2, 0, source.get());
  EXPECT_EQ(Picture(*b), Rows({"rrrb", "rrgr", "ggrr", "ggrr"}));
}

TEST(Canvas, FocusRectInvertsAndRestores) {
  auto b = Filled(5, 4);
  b->Canvas()->DrawFocusRect(Rect(0, 0, 5, 4));
  const std::string once = Picture(*b);
  EXPECT_NE(once.find('#'), std::string::npos);
  EXPECT_EQ(once.substr(6 + 1, 3), "...") << "the inside is untouched";
  b->Canvas()->DrawFocusRect(Rect(0, 0, 5, 4));
  EXPECT_EQ(Picture(*b), Rows({".....", ".....", ".....", "....."}));
}

TEST(Canvas, EveryDrawingCallIsBracketedByOnChangingAndOnChange) {
  auto b = Filled(4, 4);
  TCanvas* c = b->Canvas();
  std::string events;
  c->OnChanging = [&](TObject* Sender) { events += Sender == c ? '<' : '?'; };
  c->OnChange = [&](TObject* Sender) { events += Sender == c ? '>' : '?'; };
  c->FillRect(Rect(0, 0, 1, 1));
  c->LineTo(2, 2);
  c->TextExtent("x");  // measuring changes nothing
  c->Pixels(0, 0);
  c->MoveTo(0, 0);
  EXPECT_EQ(events, "<><>");
  c->Handle();  // whoever takes the handle may draw with it
  EXPECT_EQ(events, "<><><");
}

TEST(Canvas, HandleIsMadeOnFirstUseOrRefused) {
  TBitmap b(3, 3);
  EXPECT_FALSE(b.Canvas()->HandleAllocated());
  b.Canvas()->FillRect(Rect(0, 0, 1, 1));
  EXPECT_TRUE(b.Canvas()->HandleAllocated());

  TCanvas bare;
  EXPECT_FALSE(bare.HandleAllocated());
  try {
    bare.FillRect(Rect(0, 0, 1, 1));
    FAIL() << "a canvas without a DC drew";
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
  EXPECT_EQ(b.Canvas()->Pixels(-1, 0), -1);
  EXPECT_EQ(b.Canvas()->ClipRect(), Rect(0, 0, 3, 3));
}

TEST(Canvas, ADCHandedInKeepsThePenPositionAcrossHandles) {
  TBitmap a(4, 4), other(4, 4);
  TCanvas c;
  c.SetHandle(a.Canvas()->Handle());
  c.MoveTo(2, 3);
  c.SetHandle(other.Canvas()->Handle());
  EXPECT_EQ(c.PenPos(), (TPoint{2, 3}));
  c.SetHandle(nullptr);
  EXPECT_FALSE(c.HandleAllocated());
}

TEST(Canvas, LockIsCountedAndExcludesOtherThreads) {
  TCanvas c;
  c.Lock();
  c.Lock();
  EXPECT_EQ(c.LockCount(), 2);
  bool other = true;
  std::thread([&] { other = c.TryLock(); }).join();
  EXPECT_FALSE(other);
  c.Unlock();
  c.Unlock();
  EXPECT_EQ(c.LockCount(), 0);
  std::thread([&] {
    other = c.TryLock();
    if (other) c.Unlock();
  }).join();
  EXPECT_TRUE(other);
}
