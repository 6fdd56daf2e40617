// The glyph painters of FcCommon.h: drop-down and direction arrows, the close cross, the check
// and radio glyphs, the highlight ring, corner marks and the dotted focus frame.
#include "controls/base/FcCommon.h"

#include <utility>

#include "platform/gdi/DC.h"
#include "platform/os/Themes.h"

namespace {

// Restores the pen style and brush colour (and style) a painter changes.
class TPenBrushKeeper {
 public:
  explicit TPenBrushKeeper(TCanvas* Canvas)
      : FCanvas(Canvas),
        FPenStyle(Canvas->Pen()->Style()),
        FBrushColor(Canvas->Brush()->Color()),
        FBrushStyle(Canvas->Brush()->Style()) {}
  ~TPenBrushKeeper() {
    FCanvas->Pen()->SetStyle(FPenStyle);
    FCanvas->Brush()->SetColor(FBrushColor);
    FCanvas->Brush()->SetStyle(FBrushStyle);
  }
  TPenBrushKeeper(const TPenBrushKeeper&) = delete;
  TPenBrushKeeper& operator=(const TPenBrushKeeper&) = delete;

 private:
  TCanvas* FCanvas;
  TPenStyle FPenStyle;
  TColor FBrushColor;
  TBrushStyle FBrushStyle;
};

// The centre of a glyph rectangle: on an even height the upper of the two middle rows.
TPoint GlyphCentre(const TRect& R) {
  const int h = R.Bottom - R.Top;
  int y = R.Top + h / 2;
  if (h % 2 == 0) --y;
  return {R.Left + (R.Right - R.Left) / 2, y};
}

void FillPolygon(TCanvas* Canvas, TColor Color, const std::vector<TPoint>& Points) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->Pen()->SetStyle(psClear);
  Canvas->Polygon(Points);
}

// A horizontal run of 2 * Half + 1 pixels centred on X, or a vertical one centred on Y.
void Row(TCanvas* Canvas, int X, int Y, int Half) { Canvas->FillRect({X - Half, Y, X + Half + 1, Y + 1}); }
void Column(TCanvas* Canvas, int X, int Y, int Half) { Canvas->FillRect({X, Y - Half, X + 1, Y + Half + 1}); }

bool XPLook(int Style) { return Style == GlyphStyleXP; }

}  // namespace

TColor ArrowColor(TCanvas* Canvas, int Style, bool Enabled) {
  if (!Enabled) return clBtnShadow;
  if (XPLook(Style)) {
    // The themed drop-down button would be sampled at (8, 10) of a 17 x 21 bitmap; this
    // platform draws no themed parts, so the bitmap stays blank white, which reads as the
    // window colour.
    const TColor sample = clWhite;
    return ColorsAreClose(sample, clWindow) ? cl3DDkShadow : sample;
  }
  return ColorsAreClose(Canvas->Brush()->Color(), clBlack) ? cl3DDkShadow : clBlack;
}

void PaintDropDownArrow(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled) {
  // From Vista on the classic triangle is drawn even when the XP look is asked for.
  if (IsOSVersionOrLater(7)) Style = 0;
  const TColor color = ArrowColor(Canvas, Style, Enabled);
  TPenBrushKeeper keep(Canvas);
  TPoint c = GlyphCentre(Rect);
  if (XPLook(Style)) {
    const int x = c.X, y = c.Y + 4;
    FillPolygon(Canvas, color, {{x, y}, {x - 4, y - 5}, {x - 3, y - 7}, {x, y - 3}, {x + 3, y - 7}, {x + 5, y - 5}});
    return;
  }
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(color);
  const int x = c.X, y = c.Y + 2;
  for (int i = 0; i < 4; ++i) Row(Canvas, x, y - i, i);
}

void PaintDirectionalArrow(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled, int Direction) {
  const TColor color = ArrowColor(Canvas, Style, Enabled);
  TPenBrushKeeper keep(Canvas);
  TPoint c = GlyphCentre(Rect);
  if (XPLook(Style)) {
    int x = c.X, y = c.Y;
    std::vector<TPoint> points;
    switch (Direction) {
      case ArrowUp:
        y += 4;
        points = {{x, y - 5}, {x + 4, y}, {x + 1, y}, {x, y - 2}, {x - 1, y}, {x - 4, y}};
        break;
      case ArrowDown:
        y += 2;
        points = {{x, y}, {x - 3, y - 4}, {x, y - 4}, {x, y - 3}, {x + 1, y - 4}, {x + 4, y - 4}};
        break;
      case ArrowLeft:
        x -= 1;
        points = {{x, y}, {x + 4, y - 4}, {x + 4, y - 1}, {x + 3, y}, {x + 4, y + 1}, {x + 4, y + 4}};
        break;
      case ArrowRight:
        x -= 3;
        points = {{x + 4, y}, {x, y + 4}, {x, y + 1}, {x + 1, y}, {x, y - 1}, {x, y - 4}};
        break;
      default: return;
    }
    FillPolygon(Canvas, color, points);
    return;
  }
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(color);
  int x = c.X, y = c.Y;
  switch (Direction) {
    case ArrowUp:
      ++y;
      for (int i = 0; i < 4; ++i) Row(Canvas, x, y - 3 + i, i);
      break;
    case ArrowDown:
      ++y;
      for (int i = 0; i < 4; ++i) Row(Canvas, x, y - i, i);
      break;
    case ArrowLeft:
      x -= 2;
      for (int i = 0; i < 4; ++i) Column(Canvas, x + i, y, i);
      break;
    case ArrowRight:
      x -= 2;
      for (int i = 0; i < 4; ++i) Column(Canvas, x + 3 - i, y, i);
      break;
    default: break;
  }
}

void PaintCloseCross(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  TPenBrushKeeper keep(Canvas);
  const TPoint c = GlyphCentre(Rect);
  const int x = c.X, y = c.Y;
  if (Rect.Height() <= 10 || Rect.Width() < 9) {
    FillPolygon(Canvas, Color,
                {{x, y - 1}, {x + 1, y - 2}, {x + 3, y - 2}, {x + 1, y}, {x + 3, y + 3}, {x + 1, y + 2}, {x, y + 1},
                 {x - 3, y + 3}, {x - 3, y + 2}, {x - 1, y}, {x - 3, y - 2}, {x - 1, y - 2}, {x - 1, y - 1}});
    return;
  }
  FillPolygon(Canvas, Color,
              {{x, y - 1}, {x + 2, y - 3}, {x + 5, y - 3}, {x + 2, y}, {x + 5, y + 4}, {x + 2, y + 3}, {x, y + 1},
               {x - 2, y + 4}, {x - 4, y + 3}, {x - 1, y}, {x - 4, y - 3}, {x - 1, y - 3}});
}

void PaintThemedCloseCross(TCanvas* Canvas, const TRect& Rect, int Style, bool Enabled) {
  PaintCloseCross(Canvas, Rect, ArrowColor(Canvas, Style, Enabled));
}

namespace {
// The inside colour of the check and radio glyphs.
TColor GlyphFill(int DrawState, bool Focused, bool ReadOnly, bool ReadOnlyColorOnFocus, TColor ReadOnlyColor,
                 TColor FocusColor, TColor FillColor, TColor DisabledColor) {
  switch (DrawState) {
    case GlyphPressed: return DarkenColor(FocusColor, 20);
    case GlyphDisabled: return DisabledColor;
    default:
      if (!Focused) return ReadOnly ? ReadOnlyColor : FillColor;
      return ReadOnly && ReadOnlyColorOnFocus ? ReadOnlyColor : FocusColor;
  }
}
}  // namespace

void PaintCheckGlyph(TCanvas* Canvas, const TRect& Rect, int State, TColor ReadOnlyColor, bool ReadOnlyColorOnFocus,
                     bool ReadOnly, TColor HotColor, TColor HotColor2, TColor DisabledColor, TColor FocusColor,
                     TColor FillColor, TColor CheckColor, TColor FrameColor, TFcButtonHotTrackStyle HotTrackStyle,
                     bool Focused, int DrawState) {
  TPenBrushKeeper keep(Canvas);
  const bool hot = DrawState == GlyphHot;
  const TColor frame = hot && HotTrackStyle == htsFrame ? HotColor : FrameColor;
  const TRect inside = PaintBoxOutline(Canvas, Rect, frame);
  const TColor fill =
      GlyphFill(DrawState, Focused, ReadOnly, ReadOnlyColorOnFocus, ReadOnlyColor, FocusColor, FillColor, DisabledColor);
  const TColor check = DrawState == GlyphDisabled ? clBtnShadow : CheckColor;
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(fill);
  Canvas->FillRect(inside);
  if (State == CheckChecked) {
    const int X = inside.Left, Y = inside.Top;
    auto set = [&](int x, int y) { Canvas->SetPixels(x, y, check); };
    set(X + 2, Y + 4);
    set(X + 2, Y + 5);
    set(X + 2, Y + 6);
    set(X + 3, Y + 5);
    set(X + 3, Y + 6);
    set(X + 3, Y + 7);
    set(X + 4, Y + 6);
    for (int i = 0; i <= 3; ++i) {
      set(X + 4 + i, Y + 7 - i);
      set(X + 4 + i, Y + 8 - i);
      set(X + 5 + i, Y + 5 - i);
    }
    set(X + 8, Y + 3);
    set(X + 8, Y + 4);
  } else if (State == CheckGrayed) {
    Canvas->Brush()->SetColor(check);
    Canvas->FillRect({inside.Left + 2, inside.Top + 2, inside.Right - 2, inside.Bottom - 2});
  }
  if (hot) {
    if (HotTrackStyle == htsInterior)
      PaintHighlightRing(Canvas, inside, gdDiagonalDown, HotColor, HotColor2);
    else
      PaintBoxOutline(Canvas, Rect, HotColor);
  }
}

namespace {

constexpr int kRadioSize = 13;

// One pixel of the top-left quadrant, set in all four quadrants.
void SetMirrored(TCanvas* Canvas, int X, int Y, TColor Color) {
  const int far = kRadioSize - 1;
  Canvas->SetPixels(X, Y, Color);
  Canvas->SetPixels(far - X, Y, Color);
  Canvas->SetPixels(X, far - Y, Color);
  Canvas->SetPixels(far - X, far - Y, Color);
}

// The circle of radius 6: the outline pixels of the top-left quadrant (mirrored for the rest).
const std::pair<int, int> kOutline[] = {{3, 0}, {4, 0}, {5, 0}, {6, 0}, {2, 1}, {1, 2},
                                        {0, 3}, {0, 4}, {0, 5}, {0, 6}};
// The pixels outside the circle: three in the corner row, two in the next, one in the third.
const std::pair<int, int> kOutside[] = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}};
// The ring one pixel inside the circle.
const std::pair<int, int> kInnerRing[] = {{4, 1}, {5, 1}, {6, 1}, {3, 2}, {2, 3}, {1, 4}, {1, 5}, {1, 6}};

}  // namespace

void PaintRadioGlyph(TCanvas* Canvas, const TRect& Rect, bool Checked, TColor ReadOnlyColor, bool ReadOnlyColorOnFocus,
                     bool ReadOnly, TColor HotColor, TColor HotColor2, TColor DisabledColor, TColor FocusColor,
                     TColor FillColor, TColor DotColor, TColor FrameColor, TColor BackColor, TColor FocusBackColor,
                     TFcButtonHotTrackStyle HotTrackStyle, bool Focused, int DrawState) {
  TBitmap bitmap;
  bitmap.SetSize(kRadioSize, kRadioSize);
  TCanvas* c = bitmap.Canvas();
  const bool full = FullColorDisplay();
  const bool hot = DrawState == GlyphHot && full;
  const bool hotFrame = hot && HotTrackStyle == htsFrame;
  const TColor interior =
      GlyphFill(DrawState, Focused, ReadOnly, ReadOnlyColorOnFocus, ReadOnlyColor, FocusColor, FillColor, DisabledColor);
  const TColor back = Focused ? FocusBackColor : BackColor;
  const TColor frame = hotFrame ? HotColor : FrameColor;

  // 1. The interior.
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(interior);
  c->FillRect({0, 0, kRadioSize, kRadioSize});

  // 2. The hot look.
  if (hotFrame) {
    const TColor ring = BrightenColor(HotColor, 10);
    for (auto [x, y] : kInnerRing) SetMirrored(c, x, y, ring);
    SetMirrored(c, 3, 2, frame);
  } else if (hot) {
    HDC dc = c->Handle();
    const int saved = SaveDC(dc);
    ExcludeClipRect(dc, 4, 4, 9, 9);
    ExcludeClipRect(dc, 3, 5, 10, 8);
    ExcludeClipRect(dc, 5, 3, 8, 10);
    PaintGradientRect(c, {1, 1, kRadioSize - 1, kRadioSize - 1}, gdDiagonalDown, 1, HotColor, HotColor2);
    RestoreDC(dc, saved);
  }

  // 3. Outside the circle.
  for (auto [x, y] : kOutside) SetMirrored(c, x, y, back);

  // 4. The outline, blended into its neighbours.
  for (auto [x, y] : kOutline) SetMirrored(c, x, y, frame);
  if (full) {
    SetMirrored(c, 2, 0, MixColors(frame, back, 40));
    SetMirrored(c, 0, 2, MixColors(frame, back, 40));
    SetMirrored(c, 1, 1, MixColors(frame, back, 128));
    const uint8_t strong = hotFrame ? 150 : 128, middle = 80, weak = 40;
    const TColor inner = c->Pixels(3, 3);
    SetMirrored(c, 3, 1, MixColors(frame, inner, strong));
    SetMirrored(c, 1, 3, MixColors(frame, inner, strong));
    SetMirrored(c, 2, 2, MixColors(frame, inner, strong));
    if (!hotFrame) {
      SetMirrored(c, 4, 1, MixColors(frame, interior, middle));
      SetMirrored(c, 1, 4, MixColors(frame, interior, middle));
      SetMirrored(c, 3, 2, MixColors(frame, interior, weak));
      SetMirrored(c, 2, 3, MixColors(frame, interior, weak));
    } else {
      SetMirrored(c, 4, 1, MixColors(frame, inner, middle));
      SetMirrored(c, 1, 4, MixColors(frame, inner, middle));
    }
  } else {
    SetMirrored(c, 3, 1, clSilver);
    SetMirrored(c, 1, 3, clSilver);
    SetMirrored(c, 2, 2, clSilver);
  }

  // 5. The dot.
  if (Checked) {
    const TColor dot = DrawState == GlyphDisabled ? clBtnShadow : DotColor;
    c->Brush()->SetColor(dot);
    c->FillRect({5, 5, 8, 8});
    for (auto [x, y] : {std::pair{6, 4}, {4, 6}, {8, 6}, {6, 8}}) c->SetPixels(x, y, dot);
    const TColor soft = full ? MixColors(dot, interior, 153) : dot;
    for (auto [x, y] : {std::pair{5, 4}, {7, 4}, {4, 5}, {8, 5}, {4, 7}, {8, 7}, {5, 8}, {7, 8}})
      c->SetPixels(x, y, soft);
  }
  Canvas->Draw(Rect.Left, Rect.Top, &bitmap);
}

void PaintHighlightRing(TCanvas* Canvas, const TRect& Rect, TGradientDirection Direction, TColor Color1,
                        TColor Color2) {
  if (!FullColorDisplay()) return;
  HDC dc = Canvas->Handle();
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2);
  PaintGradientRect(Canvas, Rect, Direction, 1, Color1, Color2);
  RestoreDC(dc, saved);
}

TRect PaintBoxCorners(TCanvas* Canvas, const TRect& Rect, TColor Color, int Length) {
  const TRect& r = Rect;
  const TColor penColor = Canvas->Pen()->Color();
  Canvas->Pen()->SetColor(Color);
  auto corner = [Canvas](TPoint A, TPoint B, TPoint C) {
    Canvas->MoveTo(A.X, A.Y);
    Canvas->LineTo(B.X, B.Y);
    Canvas->LineTo(C.X, C.Y);
  };
  corner({r.Left, r.Top + Length - 1}, {r.Left, r.Top}, {r.Left + Length, r.Top});
  corner({r.Right - Length, r.Top}, {r.Right - 1, r.Top}, {r.Right - 1, r.Top + Length});
  corner({r.Right - 1, r.Bottom - Length}, {r.Right - 1, r.Bottom - 1}, {r.Right - 1 - Length, r.Bottom - 1});
  corner({r.Left + Length - 1, r.Bottom - 1}, {r.Left, r.Bottom - 1}, {r.Left, r.Bottom - 1 - Length});
  Canvas->Pen()->SetColor(penColor);
  return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}

TRect PaintDottedFocusFrame(TCanvas* Canvas, const TRect& Rect) {
  const TRect& r = Rect;
  for (int y = r.Top + 1; y < r.Bottom; y += 2) {
    Canvas->SetPixels(r.Left, y, clBlack);
    Canvas->SetPixels(r.Right - 1, y, clBlack);
  }
  for (int x = r.Left + 1; x < r.Right; x += 2) {
    Canvas->SetPixels(x, r.Top, clBlack);
    Canvas->SetPixels(x, r.Bottom - 1, clBlack);
  }
  return {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
}
