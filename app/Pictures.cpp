#include "app/Pictures.h"

#include <memory>
#include <vector>

#include "platform/gdi/Colors.h"

namespace app {

namespace {

constexpr TColor kKey = clFuchsia;  // the background that buttons leave out
constexpr TColor kNavy = RGB(0, 0, 128);
constexpr TColor kGreen = RGB(0, 128, 0);
constexpr TColor kRed = RGB(176, 0, 0);
constexpr TColor kShadow = RGB(128, 128, 128);

void Fill(TCanvas* Canvas, const TRect& R, TColor Colour) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Colour);
  Canvas->FillRect(R);
}

// A triangle pointing right, six pixels deep and twelve high.
void Triangle(TCanvas* Canvas, TColor Colour) {
  for (int y = 2; y < 14; ++y) {
    const int depth = y < 8 ? y - 2 : 13 - y;
    Fill(Canvas, {5, y, 6 + depth, y + 1}, Colour);
  }
}

void Clock(TCanvas* Canvas) {
  Canvas->Pen()->SetColor(kNavy);
  Canvas->Pen()->SetWidth(1);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(clWhite);
  Canvas->Ellipse(1, 1, 15, 15);
  Canvas->MoveTo(7, 3);
  Canvas->LineTo(7, 8);
  Canvas->LineTo(11, 8);
}

// A cross of two lines two pixels wide.
void Cross(TCanvas* Canvas, TColor Colour) {
  for (int i = 0; i < 8; ++i) {
    for (int dx = 0; dx < 2; ++dx) {
      Canvas->SetPixels(4 + i + dx, 4 + i, Colour);
      Canvas->SetPixels(11 - i + dx, 4 + i, Colour);
    }
  }
}

void DrawShape(TCanvas* Canvas, TGlyphKind Kind) {
  switch (Kind) {
    case TGlyphKind::Play: Triangle(Canvas, kGreen); break;
    case TGlyphKind::Pause:
      Fill(Canvas, {4, 3, 7, 13}, kNavy);
      Fill(Canvas, {9, 3, 12, 13}, kNavy);
      break;
    case TGlyphKind::Stop: Fill(Canvas, {4, 4, 12, 12}, kRed); break;
    case TGlyphKind::AutoStart:
      Clock(Canvas);
      break;
    case TGlyphKind::AutoStop:
      Clock(Canvas);
      Fill(Canvas, {8, 8, 16, 16}, clWhite);
      Fill(Canvas, {9, 9, 15, 15}, kRed);
      break;
    case TGlyphKind::Hide: Fill(Canvas, {3, 10, 13, 13}, kNavy); break;
    case TGlyphKind::Close: Cross(Canvas, kRed); break;
  }
}

}  // namespace

void DrawGlyph(TBitmap* Glyph, TGlyphKind Kind) {
  Glyph->SetSize(2 * kGlyphSize, kGlyphSize);
  TCanvas* canvas = Glyph->Canvas();
  Fill(canvas, {0, 0, 2 * kGlyphSize, kGlyphSize}, kKey);
  DrawShape(canvas, Kind);
  // The disabled cell: the shape in grey over a white copy one pixel down and right.
  std::vector<TPoint> shape;
  for (int y = 0; y < kGlyphSize; ++y)
    for (int x = 0; x < kGlyphSize; ++x)
      if (canvas->Pixels(x, y) != kKey) shape.push_back({x, y});
  for (TPoint p : shape)
    if (p.X + 1 < kGlyphSize && p.Y + 1 < kGlyphSize) canvas->SetPixels(kGlyphSize + p.X + 1, p.Y + 1, clWhite);
  for (TPoint p : shape) canvas->SetPixels(kGlyphSize + p.X, p.Y, kShadow);
  // The bottom-left pixel names the background.
  canvas->SetPixels(0, kGlyphSize - 1, kKey);
}

void SetButtonGlyph(TFcRapidFireButton* Button, TGlyphKind Kind) {
  auto glyph = std::make_unique<TBitmap>();
  DrawGlyph(glyph.get(), Kind);
  Button->SetGlyph(glyph.get());
  Button->SetNumGlyphs(2);
}

void SetTitlePicture(TImage* Image, TColor Colour) {
  // Columns: a gradient over the first three quarters, then Colour, where the strip's buttons sit.
  constexpr int kWidth = 32, kGradient = 24;
  const TColor end = ColorToRGB(Colour);
  auto mix = [](int From, int To, int Column) { return From + (To - From) * Column / kGradient; };
  auto picture = std::make_unique<TBitmap>();
  picture->SetSize(kWidth, 1);
  TCanvas* canvas = picture->Canvas();
  for (int x = 0; x < kWidth; ++x) {
    const int k = x < kGradient ? x : kGradient;
    canvas->SetPixels(x, 0, RGB(mix(255, GetRValue(end), k), mix(255, GetGValue(end), k), mix(255, GetBValue(end), k)));
  }
  Image->Picture()->SetBitmap(picture.get());
}

}  // namespace app
