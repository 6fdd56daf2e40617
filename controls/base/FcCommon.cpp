#include "controls/base/FcCommon.h"

#include "platform/gdi/Frames.h"
#include "platform/gdi/Text.h"
#include "platform/graphics/GraphicsObjects.h"

const classes::TEnumInfo& EnumInfo(TFrameStyleEx) {
  static const classes::TEnumInfo info{
      "TFrameStyleEx", {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised",
                        "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TSide) {
  static const classes::TEnumInfo info{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TTextStyle) {
  static const classes::TEnumInfo info{"TTextStyle", {"tsNormal", "tsRaised", "tsRecessed", "tsShadow"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TAlignmentVertical) {
  static const classes::TEnumInfo info{"TAlignmentVertical", {"avTop", "avCenter", "avBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TOrientation) {
  static const classes::TEnumInfo info{"TOrientation", {"orHorizontal", "orVertical"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcVisualStyle) {
  static const classes::TEnumInfo info{"TFcVisualStyle", {"vsClassic", "vsWinXP", "vsGradient"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFramingPreference) {
  static const classes::TEnumInfo info{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcHotTrackColorType) {
  static const classes::TEnumInfo info{"TFcHotTrackColorType", {"htctComplement", "htctActual"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcButtonHotTrackStyle) {
  static const classes::TEnumInfo info{"TFcButtonHotTrackStyle", {"htsInterior", "htsFrame"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcScrollStyle) {
  static const classes::TEnumInfo info{"TFcScrollStyle", {"scsNone", "scsLeft", "scsUp", "scsRight", "scsDown"}};
  return info;
}

namespace fc {

void FillSolid(TCanvas* Canvas, const TRect& R, TColor Colour) {
  // The brush keeps the colour: text drawn afterwards uses it as its background.
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Colour);
  Canvas->FillRect(R);
}

int FrameWidth(TFrameStyleEx Style, int BevelWidth) {
  switch (Style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return BevelWidth;
    default: return 2;
  }
}

namespace {
UINT EdgeFlags(TSides Sides) {
  UINT flags = 0;
  if (Sides.Contains(sdLeft)) flags |= BF_LEFT;
  if (Sides.Contains(sdTop)) flags |= BF_TOP;
  if (Sides.Contains(sdRight)) flags |= BF_RIGHT;
  if (Sides.Contains(sdBottom)) flags |= BF_BOTTOM;
  return flags;
}

// One ring of two colours (upper-left, lower-right) on the chosen sides; R shrinks by one.
void Ring(TCanvas* Canvas, TRect& R, TSides Sides, TColor UpperLeft, TColor LowerRight) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(UpperLeft);
  if (Sides.Contains(sdLeft)) Canvas->FillRect({R.Left, R.Top, R.Left + 1, R.Bottom});
  if (Sides.Contains(sdTop)) Canvas->FillRect({R.Left, R.Top, R.Right, R.Top + 1});
  Canvas->Brush()->SetColor(LowerRight);
  if (Sides.Contains(sdRight)) Canvas->FillRect({R.Right - 1, R.Top, R.Right, R.Bottom});
  if (Sides.Contains(sdBottom)) Canvas->FillRect({R.Left, R.Bottom - 1, R.Right, R.Bottom});
  if (Sides.Contains(sdLeft)) ++R.Left;
  if (Sides.Contains(sdTop)) ++R.Top;
  if (Sides.Contains(sdRight)) --R.Right;
  if (Sides.Contains(sdBottom)) --R.Bottom;
}
}  // namespace

void DrawFrame(TCanvas* Canvas, TRect& R, TFrameStyleEx Style, TSides Sides, TColor Colour) {
  auto own = [Colour](TColor Default) { return Colour == clNone ? Default : Colour; };
  switch (Style) {
    case fsNone: return;
    case fsFlat:
    case fsFlatRounded: Ring(Canvas, R, Sides, own(cl3DDkShadow), own(cl3DDkShadow)); return;
    case fsFlatBold:
      Ring(Canvas, R, Sides, own(clBtnShadow), own(clBtnShadow));
      Ring(Canvas, R, Sides, own(clBtnShadow), own(clBtnShadow));
      return;
    case fsStatus: Ring(Canvas, R, Sides, clBtnShadow, clBtnHighlight); return;
    case fsPopup: Ring(Canvas, R, Sides, clBtnHighlight, clBtnShadow); return;
    default: break;
  }
  UINT edge = 0;
  switch (Style) {
    case fsGroove: edge = EDGE_ETCHED; break;
    case fsBump: edge = EDGE_BUMP; break;
    case fsLowered: edge = EDGE_SUNKEN; break;
    case fsRaised: edge = EDGE_RAISED; break;
    case fsButtonDown: edge = EDGE_SUNKEN; break;
    default: edge = EDGE_RAISED; break;
  }
  UINT flags = EdgeFlags(Sides) | BF_ADJUST;
  if (Style == fsButtonUp) flags |= BF_SOFT;
  DrawEdge(Canvas->Handle(), &R, edge, flags);
}

void DrawCaption(TCanvas* Canvas, TRect R, const std::string& Text, TAlignment Alignment,
                 TAlignmentVertical Vertical, bool WordWrap) {
  if (Text.empty()) return;
  UINT format = DT_NOPREFIX;
  format |= Alignment == taCenter ? DT_CENTER : Alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (WordWrap) {
    format |= DT_WORDBREAK;
    if (Vertical != avTop) {
      // Centre or bottom-align the wrapped block by measuring it first.
      TRect measure = R;
      int height = DrawText(Canvas->Handle(), Text, &measure, format | DT_CALCRECT);
      int room = R.Height() - height;
      if (room > 0) R.Top += Vertical == avCenter ? room / 2 : room;
    }
  } else {
    format |= DT_SINGLELINE;
    format |= Vertical == avCenter ? DT_VCENTER : Vertical == avBottom ? DT_BOTTOM : DT_TOP;
  }
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->RequiredState(TCanvasState{csHandleValid, csFontValid, csBrushValid});
  DrawText(Canvas->Handle(), Text, &R, format);
}

void DrawStyledCaption(TCanvas* Canvas, TRect R, const std::string& Text, TTextStyle Style, TColor Highlight,
                       TColor Shadow, TAlignment Alignment, TAlignmentVertical Vertical, bool WordWrap) {
  if (Style != tsNormal) {
    TColor colour = Canvas->Font()->Color();
    TRect offset = R;
    switch (Style) {
      case tsRaised: Canvas->Font()->SetColor(Highlight); OffsetRect(&offset, -1, -1); break;
      case tsRecessed: Canvas->Font()->SetColor(Highlight); OffsetRect(&offset, 1, 1); break;
      default: Canvas->Font()->SetColor(Shadow); OffsetRect(&offset, 2, 2); break;
    }
    DrawCaption(Canvas, offset, Text, Alignment, Vertical, WordWrap);
    Canvas->Font()->SetColor(colour);
  }
  DrawCaption(Canvas, R, Text, Alignment, Vertical, WordWrap);
}

void DrawButtonFace(TCanvas* Canvas, TRect& R, TColor Face, bool Down, bool Flat) {
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Face);
  Canvas->FillRect(R);
  if (Flat && !Down) return;
  DrawFrame(Canvas, R, Down ? fsButtonDown : fsButtonUp);
}

void DrawGlyph(TCanvas* Canvas, TBitmap* Glyph, int NumGlyphs, int Index, int X, int Y, TColor Background) {
  if (!Glyph || Glyph->Empty()) return;
  const int cells = NumGlyphs < 1 ? 1 : NumGlyphs;
  const int w = Glyph->Width() / cells;
  const int h = Glyph->Height();
  if (Index < 0 || Index >= cells) Index = 0;
  const TColor transparent = Glyph->Canvas()->Pixels(0, h - 1);
  Canvas->Brush()->SetStyle(bsSolid);
  Canvas->Brush()->SetColor(Background);
  Canvas->BrushCopy({X, Y, X + w, Y + h}, Glyph, {Index * w, 0, Index * w + w, h}, transparent);
}

void DrawGlyphAndCaption(TCanvas* Canvas, TRect R, TBitmap* Glyph, int NumGlyphs, int GlyphIndex,
                         const std::string& Caption, TColor Background, int Spacing) {
  const bool hasGlyph = Glyph && !Glyph->Empty();
  const int glyphWidth = hasGlyph ? Glyph->Width() / (NumGlyphs < 1 ? 1 : NumGlyphs) : 0;
  const int glyphHeight = hasGlyph ? Glyph->Height() : 0;
  const int textWidth = Caption.empty() ? 0 : Canvas->TextWidth(Caption);
  const int gap = hasGlyph && textWidth ? Spacing : 0;
  int x = R.Left + (R.Width() - glyphWidth - gap - textWidth) / 2;
  if (hasGlyph) {
    DrawGlyph(Canvas, Glyph, NumGlyphs, GlyphIndex, x, R.Top + (R.Height() - glyphHeight) / 2, Background);
    x += glyphWidth + gap;
  }
  if (textWidth) DrawCaption(Canvas, {x, R.Top, R.Right, R.Bottom}, Caption, taLeftJustify, avCenter);
}

}  // namespace fc
