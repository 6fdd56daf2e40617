// The frame painters of FcCommon.h: side lines and bevel rings, grooves, 3D and button edges,
// the frame styles in system colours and in shades of a colour, the rounded flat frame, the
// panel border and the non-client frame of framed input controls.
#include "controls/base/FcCommon.h"

#include "platform/os/Painting.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowDC.h"

namespace {

TRect Shrunk(TRect R, TSides Sides, int By) {
  if (Sides.Contains(sdLeft)) R.Left += By;
  if (Sides.Contains(sdTop)) R.Top += By;
  if (Sides.Contains(sdRight)) R.Right -= By;
  if (Sides.Contains(sdBottom)) R.Bottom -= By;
  return R;
}

void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2) {
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// The rows of the system-colour and base-colour tables, by style.
struct TRingColors {
  TColor U, W;
};

}  // namespace

int FrameWidth(TFrameStyleEx Style, int BevelWidth) {
  switch (Style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return BevelWidth;
    default: return 2;
  }
}

TRect PaintSideLines(TCanvas* Canvas, const TRect& Rect, TColor U, TSides Sides, TColor W) {
  const TRect& r = Rect;
  // Rings inside a frame too small for them have no room left: nothing to draw.
  if (r.Right <= r.Left || r.Bottom <= r.Top) return Shrunk(Rect, Sides, 1);
  TColor penColor = Canvas->Pen()->Color();
  if (U != clNone) {
    Canvas->Pen()->SetColor(U);
    if (Sides.Contains(sdLeft)) Line(Canvas, r.Left, r.Top, r.Left, r.Bottom);
    if (Sides.Contains(sdTop)) Line(Canvas, r.Left, r.Top, r.Right, r.Top);
  }
  if (W != clNone) {
    Canvas->Pen()->SetColor(W);
    if (Sides.Contains(sdRight)) Line(Canvas, r.Right - 1, r.Top, r.Right - 1, r.Bottom);
    if (Sides.Contains(sdBottom)) Line(Canvas, r.Left, r.Bottom - 1, r.Right, r.Bottom - 1);
  }
  Canvas->Pen()->SetColor(penColor);
  return Shrunk(Rect, Sides, 1);
}

TRect PaintBevelRings(TCanvas* Canvas, const TRect& Rect, TColor U, TSides Sides, int Count, TColor W) {
  Canvas->Pen()->SetWidth(1);
  TRect r = Rect;
  for (int i = 0; i < Count; ++i) r = PaintSideLines(Canvas, r, U, Sides, W);
  return r;
}

TRect PaintGrooveSides(TCanvas* Canvas, const TRect& Rect, TColor U, TColor W, TSides Sides) {
  const TRect& r = Rect;
  const bool left = Sides.Contains(sdLeft), top = Sides.Contains(sdTop);
  const bool right = Sides.Contains(sdRight), bottom = Sides.Contains(sdBottom);
  // The corners where a chosen side meets one that is not: the groove's two lines end there.
  if (right)
    Canvas->SetPixels(r.Right - 1, r.Top, W);
  else if (top)
    Canvas->SetPixels(r.Right - 1, r.Top, U);
  if (bottom)
    Canvas->SetPixels(r.Left, r.Bottom - 1, W);
  else if (left)
    Canvas->SetPixels(r.Left, r.Bottom - 1, U);
  if (top && !left) Canvas->SetPixels(r.Left, r.Top + 1, W);
  if (left && !top) Canvas->SetPixels(r.Left + 1, r.Top, W);
  if (bottom && !right) Canvas->SetPixels(r.Right - 1, r.Bottom - 2, U);
  if (right && !bottom) Canvas->SetPixels(r.Right - 2, r.Bottom - 1, U);
  Canvas->Pen()->SetWidth(1);
  PaintSideLines(Canvas, {r.Left + 1, r.Top + 1, r.Right, r.Bottom}, W, Sides, W);
  PaintSideLines(Canvas, {r.Left, r.Top, r.Right - 1, r.Bottom - 1}, U, Sides, U);
  return Shrunk(Rect, Sides, 2);
}

namespace {
TRect TwoRings(TCanvas* Canvas, const TRect& Rect, TSides Sides, TRingColors Outer, TRingColors Inner) {
  Canvas->Pen()->SetWidth(1);
  TRect r = PaintSideLines(Canvas, Rect, Outer.U, Sides, Outer.W);
  return PaintSideLines(Canvas, r, Inner.U, Sides, Inner.W);
}
}  // namespace

TRect Paint3DEdgeSides(TCanvas* Canvas, const TRect& Rect, bool Lowered, TSides Sides) {
  if (Lowered) return TwoRings(Canvas, Rect, Sides, {clBtnShadow, clBtnHighlight}, {cl3DDkShadow, cl3DLight});
  return TwoRings(Canvas, Rect, Sides, {cl3DLight, cl3DDkShadow}, {clBtnHighlight, clBtnShadow});
}

TRect Paint3DEdge(TCanvas* Canvas, const TRect& Rect, bool Lowered) {
  return Paint3DEdgeSides(Canvas, Rect, Lowered, AllSides);
}

TRect PaintButtonEdgeSides(TCanvas* Canvas, const TRect& Rect, bool Down, TSides Sides) {
  if (Down) return TwoRings(Canvas, Rect, Sides, {clBtnText, clBtnText}, {clBtnShadow, clBtnShadow});
  return TwoRings(Canvas, Rect, Sides, {clBtnHighlight, cl3DDkShadow}, {cl3DLight, clBtnShadow});
}

TRect PaintButtonEdge(TCanvas* Canvas, const TRect& Rect, bool Down) {
  return PaintButtonEdgeSides(Canvas, Rect, Down, AllSides);
}

TRect PaintColorButtonEdgeSides(TCanvas* Canvas, const TRect& Rect, TColor X, TSides Sides, bool Down) {
  const TColor d50 = DarkenColor(X, 50), d100 = DarkenColor(X, 100);
  if (Down) return TwoRings(Canvas, Rect, Sides, {d100, d100}, {d50, d50});
  return TwoRings(Canvas, Rect, Sides, {BrightenColor(X, 100), d100}, {BrightenColor(X, 40), d50});
}

TRect PaintColorButtonEdge(TCanvas* Canvas, const TRect& Rect, TColor X, bool Down) {
  return PaintColorButtonEdgeSides(Canvas, Rect, X, AllSides, Down);
}

TRect PaintFrameStyleSides(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx Style, TSides Sides) {
  switch (Style) {
    case fsNone: return Rect;
    case fsFlat:
    case fsFlatRounded: return PaintBevelRings(Canvas, Rect, cl3DDkShadow, Sides, 1, cl3DDkShadow);
    case fsGroove: return PaintGrooveSides(Canvas, Rect, clBtnShadow, clBtnHighlight, Sides);
    case fsBump: return PaintGrooveSides(Canvas, Rect, clBtnHighlight, clBtnShadow, Sides);
    case fsLowered: return Paint3DEdgeSides(Canvas, Rect, true, Sides);
    case fsButtonDown: return PaintButtonEdgeSides(Canvas, Rect, true, Sides);
    case fsRaised: return Paint3DEdgeSides(Canvas, Rect, false, Sides);
    case fsButtonUp: return PaintButtonEdgeSides(Canvas, Rect, false, Sides);
    case fsStatus: return PaintBevelRings(Canvas, Rect, clBtnShadow, Sides, 1, clBtnHighlight);
    case fsPopup: return PaintBevelRings(Canvas, Rect, clBtnHighlight, Sides, 1, clBtnShadow);
    case fsFlatBold: return PaintBevelRings(Canvas, Rect, clBtnShadow, Sides, 2, clBtnShadow);
  }
  return Rect;
}

TRect PaintFrameStyle(TCanvas* Canvas, const TRect& Rect, TFrameStyleEx Style) {
  return PaintFrameStyleSides(Canvas, Rect, Style, AllSides);
}

TRect PaintColorFrameStyleSides(TCanvas* Canvas, const TRect& Rect, TColor X, TSides Sides, TFrameStyleEx Style) {
  const TColor d50 = DarkenColor(X, 50), d100 = DarkenColor(X, 100);
  const TColor b50 = BrightenColor(X, 50), b100 = BrightenColor(X, 100);
  switch (Style) {
    case fsNone: return Rect;
    case fsFlat:
    case fsFlatRounded: return PaintBevelRings(Canvas, Rect, d50, Sides, 1, d50);
    case fsGroove: return PaintGrooveSides(Canvas, Rect, d50, b100, Sides);
    case fsBump: return PaintGrooveSides(Canvas, Rect, b100, d50, Sides);
    case fsLowered: return TwoRings(Canvas, Rect, Sides, {d50, b100}, {d100, b50});
    case fsRaised: return TwoRings(Canvas, Rect, Sides, {b50, d100}, {b100, d50});
    case fsButtonDown: return PaintColorButtonEdgeSides(Canvas, Rect, X, Sides, true);
    case fsButtonUp: return PaintColorButtonEdgeSides(Canvas, Rect, X, Sides, false);
    case fsStatus: return PaintBevelRings(Canvas, Rect, d50, Sides, 1, b100);
    case fsPopup: return PaintBevelRings(Canvas, Rect, b100, Sides, 1, d50);
    case fsFlatBold: return PaintBevelRings(Canvas, Rect, d50, Sides, 2, d50);
  }
  return Rect;
}

TRect PaintColorFrameStyle(TCanvas* Canvas, const TRect& Rect, TColor X, TFrameStyleEx Style) {
  return PaintColorFrameStyleSides(Canvas, Rect, X, AllSides, Style);
}

TRect PaintBoxOutline(TCanvas* Canvas, const TRect& Rect, TColor Color) {
  return PaintSideLines(Canvas, Rect, Color, AllSides, Color);
}

TRect PaintRoundedFlatFrame(TCanvas* Canvas, const TRect& Rect, TColor Color, TSides Sides) {
  const TRect& r = Rect;
  const bool left = Sides.Contains(sdLeft), top = Sides.Contains(sdTop);
  const bool right = Sides.Contains(sdRight), bottom = Sides.Contains(sdBottom);
  TColor penColor = Canvas->Pen()->Color();
  Canvas->Pen()->SetColor(Color);
  const int y1 = top ? r.Top + 2 : r.Top, y2 = bottom ? r.Bottom - 2 : r.Bottom;
  const int x1 = left ? r.Left + 2 : r.Left, x2 = right ? r.Right - 2 : r.Right;
  if (left) Line(Canvas, r.Left, y1, r.Left, y2);
  if (top) Line(Canvas, x1, r.Top, x2, r.Top);
  if (right) Line(Canvas, r.Right - 1, y1, r.Right - 1, y2);
  if (bottom) Line(Canvas, x1, r.Bottom - 1, x2, r.Bottom - 1);
  if (left && top) Canvas->SetPixels(r.Left + 1, r.Top + 1, Color);
  if (right && top) Canvas->SetPixels(r.Right - 2, r.Top + 1, Color);
  if (right && bottom) Canvas->SetPixels(r.Right - 2, r.Bottom - 2, Color);
  if (left && bottom) Canvas->SetPixels(r.Left + 1, r.Bottom - 2, Color);
  Canvas->Pen()->SetColor(penColor);
  return Shrunk(Rect, Sides, 2);
}

void PaintInnerOuterBorders(TCanvas* Canvas, TRect& Rect, TFrameStyleEx Outer, bool Transparent, TColor ParentColor,
                            TColor Color, int FlatColorAdjustment, TColor FlatColor, TColor BorderShadow,
                            TColor BorderHighlight, TColor BorderColor, int BevelWidth, TSides BorderSides,
                            int BorderWidth, TFrameStyleEx Inner) {
  const TColor flat = AdjustColorLuminance(FlatColor, FlatColorAdjustment);
  const TSides sides = BorderSides;
  auto ring = [&](TRect r, TColor c, int count) { return PaintBevelRings(Canvas, r, c, sides, count, c); };
  // The styles both borders draw alike.
  auto common = [&](TRect r, TFrameStyleEx style) {
    switch (style) {
      case fsFlat: return ring(r, flat, 1);
      case fsFlatBold: return ring(r, flat, 2);
      case fsStatus: return PaintBevelRings(Canvas, r, BorderShadow, sides, BevelWidth, BorderHighlight);
      case fsPopup: return PaintBevelRings(Canvas, r, BorderHighlight, sides, BevelWidth, BorderShadow);
      default: return PaintFrameStyleSides(Canvas, r, style, sides);
    }
  };

  TRect r = Rect;
  if (Outer == fsFlatRounded) {
    const TRect start = r;
    const bool framedInside = BorderWidth > 0 || Inner != fsNone;
    if (!Transparent) {
      r = ring(r, ParentColor, 1);
      r = ring(r, framedInside ? BorderColor : Color, 1);
    } else {
      r = Shrunk(r, sides, 1);
      if (framedInside) r = ring(r, BorderColor, 1);
      else r = Shrunk(r, sides, 1);
    }
    PaintRoundedFlatFrame(Canvas, start, flat, sides);
  } else {
    r = common(r, Outer);
  }

  if (BorderWidth > 0) r = ring(r, BorderColor, BorderWidth);

  if (Inner == fsFlatRounded) {
    const TRect start = r;
    if (!Transparent) {
      r = ring(r, BorderColor, 1);
      r = ring(r, Color, 1);
    } else {
      r = ring(r, BorderColor, 1);
      r = Shrunk(r, sides, 1);
    }
    PaintRoundedFlatFrame(Canvas, start, flat, sides);
  } else {
    r = common(r, Inner);
  }
  Rect = r;
}

void PaintControlFrame(TCanvas* Canvas, int Width, int Height, bool KeepInterior, TSides Sides, TColor FrameColor,
                       TColor ControlColor, TFrameStyleEx Style) {
  const TRect r{0, 0, Width, Height};
  if (!KeepInterior) PaintBevelRings(Canvas, r, ControlColor, AllSides, 2, ControlColor);
  switch (Style) {
    case fsFlat: PaintBevelRings(Canvas, r, FrameColor, Sides, 1, FrameColor); break;
    case fsFlatBold: PaintBevelRings(Canvas, r, FrameColor, Sides, 2, FrameColor); break;
    default:
      if (ControlColor == clWindow)
        PaintFrameStyleSides(Canvas, r, Style, Sides);
      else
        PaintColorFrameStyleSides(Canvas, r, ControlColor, Sides, Style);
      break;
  }
}

bool FrameIsHot(bool FrameHotTrack, bool Focused, bool MouseOver) { return FrameHotTrack && (Focused || MouseOver); }

bool PaintsOwnFrame(bool FrameVisible, TFramingPreference Preference) {
  return FrameVisible && !(Preference == fpXPThemes && IsThemeActive());
}

bool InvalidateNonClientFrame(HWND Window, const TRect& Rect) {
  HDC dc = GetWindowDC(Window);
  if (dc == nullptr) return false;
  TRect clip{};
  const int kind = GetClipBox(dc, &clip);
  ReleaseDC(Window, dc);
  if (kind == ERROR || kind == NULLREGION) return false;
  RedrawWindow(Window, &Rect, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return true;
}

void PaintGroupBarBackground(TCanvas* Canvas, const TRect& Rect, TFcVisualStyle VisualStyle, TColor CustomStop,
                             TColor CustomStart, bool Reverse, TFcGradientColorStyle ColorStyle) {
  if (VisualStyle == vsClassic || !FullColorDisplay()) return;
  // The themed explorer-bar element would be drawn with visual styles active; without them the
  // gradient stands for it.
  TColor start = CustomStart, stop = CustomStop;
  if (ColorStyle != gcsCustom) GetGroupBarGradientColors(ColorStyle, start, stop);
  if (Reverse)
    PaintGradientRect(Canvas, Rect, gdHorizontalEnd, 1, start, stop);
  else
    PaintGradientRect(Canvas, Rect, gdHorizontalEnd, 1, stop, start);
}
