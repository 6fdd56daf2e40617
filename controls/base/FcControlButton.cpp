// TFcControlButton: the small painted button other controls embed (spin buttons, button
// edits): a glyph, a directional arrow or a drop-down arrow on a classic, flat or themed face,
// with clicks repeated while it is held.
#include "controls/base/FcButton.h"
#include "platform/os/Input.h"
#include "platform/os/ThemeParts.h"

namespace {

using fc::VisualStylesOn;

// Paints one part of a visual-style class over Rect.
void PaintThemePart(TCanvas* Canvas, const char* ClassName, int Part, int State, const TRect& Rect,
                    const TRect& Clip) {
  HTHEME theme = OpenThemeData(nullptr, ClassName);
  DrawThemeBackground(theme, Canvas->Handle(), Part, State, &Rect, &Clip);
  CloseThemeData(theme);
}

}  // namespace

const classes::TEnumInfo& EnumInfo(TFcControlButtonStyle) {
  static const classes::TEnumInfo info{"TFcControlButtonStyle",
                                       {"cbsNone", "cbsLeft", "cbsUp", "cbsRight", "cbsDown", "cbsDropDown"}};
  return info;
}

TFcControlButton::TFcControlButton(TComponent* AOwner)
    : TGraphicControl(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  SetControlStyle(TControlStyle{csCaptureMouse});
  SetBounds(0, 0, 17, 21);
  SetColor(clBtnFace);
  FGlyph->OnChange = [this](TObject*) { GlyphChanged(); };
}

TFcControlButton::~TFcControlButton() { FGlyph->OnChange = nullptr; }

void TFcControlButton::SetStyle(TFcControlButtonStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void TFcControlButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  Repaint();
}

void TFcControlButton::SetGlyph(TBitmap* Value) { FGlyph->Assign(Value); }

void TFcControlButton::SetNumGlyphs(int Value) {
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  Invalidate();
}

void TFcControlButton::GlyphChanged() {
  FNumGlyphs = fc::GlyphStripCells(FGlyph->Width(), FGlyph->Height(), FNumGlyphs);
  Invalidate();
}

bool TFcControlButton::Active() const {
  return FDown || (FMouseIn && Enabled()) || HasState(csDesigning);
}

void TFcControlButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft && Enabled()) {
    if (!FDown) {
      FDown = true;
      Invalidate();
    }
    FDragging = true;
  }
  if (FRepeatClicks) {
    if (!FRepeatTimer) {
      FRepeatTimer = std::make_unique<TTimer>(nullptr);
      FRepeatTimer->SetEnabled(false);
      FRepeatTimer->OnTimer = [this](TObject* Sender) { RepeatTimerTick(Sender); };
    }
    // A new press starts the wait again.
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(FInitialDelay);
    FRepeatTimer->SetEnabled(true);
  }
}

void TFcControlButton::RepeatTimerTick(TObject*) {
  FRepeatTimer->SetInterval(FDelay);
  if (!FDown || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TFcControlButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
  if (!FDragging) return;
  FDragging = false;
  FDown = false;
  FMouseIn = false;
  Repaint();
  if (ClientRect().Contains({X, Y})) Click();
  if (FFlat || VisualStylesOn()) HotRecheck();
}

void TFcControlButton::HotRecheck() {
  TPoint p;
  GetCursorPos(&p);
  const bool over = FindDragTarget(p, true) == this;
  if (over != FMouseIn) Perform(over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

void TFcControlButton::CMMouseEnter(TMessage& Message) {
  if (HasState(csDesigning)) return;
  FMouseIn = true;
  TGraphicControl::CMMouseEnter(Message);
  if (FFlat || VisualStylesOn()) Repaint();
}

void TFcControlButton::CMMouseLeave(TMessage& Message) {
  if (HasState(csDesigning)) return;
  FMouseIn = false;
  TGraphicControl::CMMouseLeave(Message);
  if (FFlat || VisualStylesOn()) Repaint();
}

TSize TFcControlButton::GetGlyphCellSize() {
  const int cells = FNumGlyphs < 1 ? 1 : FNumGlyphs;
  return {FGlyph->Width() / cells, FGlyph->Height()};
}

void TFcControlButton::Paint() {
  TRect r = ClientRect();
  switch (FStyle) {
    case cbsNone: {
      DrawButtonFace(r);
      if (FGlyph->Empty()) break;
      InflateRect(&r, -1, -1);
      const TSize cell = GetGlyphCellSize();
      TRect glyph = CenteredRect(r, cell.cx, cell.cy);
      if (FDown) OffsetRect(&glyph, 1, VisualStylesOn() ? 0 : 1);
      DrawGlyphButton(glyph);
      break;
    }
    case cbsDropDown: DrawDropButtonFace(r); break;
    default: DrawArrowButton(r); break;
  }
}

void TFcControlButton::DrawButtonFace(TRect& Rect) {
  TCanvas* canvas = Canvas();
  if (VisualStylesOn()) {
    if (FFlat && !Active()) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(Rect);
    } else {
      const int state = FDown ? SCRBS_PRESSED : Active() ? SCRBS_HOT : Enabled() ? SCRBS_NORMAL : SCRBS_DISABLED;
      // The thumb's own border lies outside the button: it is drawn on the grown rectangle and
      // only the button's part shows.
      const TRect grown{Rect.Left - 1, Rect.Top - 2, Rect.Right + 2, Rect.Bottom + 2};
      PaintThemePart(canvas, "SCROLLBAR", SBP_THUMBBTNHORZ, state, grown, Rect);
    }
    InflateRect(&Rect, -2, -2);
    return;
  }
  if (FFlat) {
    if (Active()) Rect = PaintFrameStyle(canvas, Rect, FDown ? fsStatus : fsPopup);
    canvas->Brush()->SetColor(Color());
  } else {
    Rect = FDown ? PaintBoxOutline(canvas, Rect, clBtnShadow) : PaintFrameStyle(canvas, Rect, fsRaised);
    canvas->Brush()->SetColor(clBtnFace);
  }
  canvas->FillRect(Rect);
}

void TFcControlButton::DrawArrowButton(TRect Rect) {
  TCanvas* canvas = Canvas();
  const int direction = FStyle == cbsLeft ? ArrowLeft : FStyle == cbsUp ? ArrowUp : FStyle == cbsRight ? ArrowRight : ArrowDown;
  if (VisualStylesOn()) {
    if (FFlat && !Active()) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(Rect);
      PaintDirectionalArrow(canvas, Rect, GlyphStyleXP, Enabled(), direction);
    } else {
      const int part = FStyle == cbsUp ? SPNP_UP : FStyle == cbsDown ? SPNP_DOWN : FStyle == cbsRight ? SPNP_UPHORZ : SPNP_DOWNHORZ;
      const int state = FDown ? UPS_PRESSED : Active() ? UPS_HOT : Enabled() ? UPS_NORMAL : UPS_DISABLED;
      PaintThemePart(canvas, "SPIN", part, state, Rect, Rect);
    }
    return;
  }
  if (!FFlat) {
    Rect = FDown ? PaintBoxOutline(canvas, Rect, clBtnShadow) : PaintFrameStyle(canvas, Rect, fsButtonUp);
    // Inside a spin edit the arrows keep the button face whatever the button's colour.
    TComponent* host = Owner() ? Owner()->Owner() : nullptr;
    const classes::TClassInfo* info = host ? classes::ClassInfoOf(host) : nullptr;
    canvas->Brush()->SetColor(info && info->InheritsFrom("TFcSpinEdit") ? clBtnFace : Color());
  } else {
    if (Active()) Rect = PaintFrameStyle(canvas, Rect, FDown ? fsStatus : fsPopup);
    canvas->Brush()->SetColor(Color());
  }
  canvas->FillRect(Rect);
  if (FDown) OffsetRect(&Rect, 1, 1);
  PaintDirectionalArrow(canvas, Rect, 0, Enabled(), direction);
}

void TFcControlButton::DrawDropButtonFace(TRect Rect) {
  TCanvas* canvas = Canvas();
  if (VisualStylesOn()) {
    InflateRect(&Rect, 1, 1);
    if (FFlat && !Active()) {
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(Rect);
      PaintDropDownArrow(canvas, Rect, GlyphStyleXP, Enabled());
    } else {
      const int state = FDown ? CBXS_PRESSED : Active() ? CBXS_HOT : Enabled() ? CBXS_NORMAL : CBXS_DISABLED;
      PaintThemePart(canvas, "COMBOBOX", CP_DROPDOWNBUTTON, state, Rect, ClientRect());
    }
    return;
  }
  if (FFlat) {
    if (Active()) Rect = PaintFrameStyle(canvas, Rect, FDown ? fsStatus : fsPopup);
    canvas->Brush()->SetColor(Color());
  } else {
    Rect = FDown ? PaintBoxOutline(canvas, Rect, clBtnShadow) : PaintFrameStyle(canvas, Rect, fsButtonUp);
    canvas->Brush()->SetColor(clBtnFace);
  }
  canvas->FillRect(Rect);
  if (FDown) OffsetRect(&Rect, 1, 1);
  PaintDropDownArrow(canvas, Rect, 0, Enabled());
}

void TFcControlButton::DrawGlyphButton(const TRect& Rect) {
  const int cell = FNumGlyphs > 2 && FDown ? 2 : FNumGlyphs >= 2 && !Enabled() ? 1 : 0;
  const TSize size = GetGlyphCellSize();
  PaintStretchedTransparent(Canvas(), FGlyph.get(), Rect, FGlyph->TransparentColor(),
                            {cell * size.cx, 0, (cell + 1) * size.cx, size.cy});
}

static const classes::TPublished<TFcControlButton, TGraphicControl> FcControlButtonInfo([](auto& p) {
  using B = TFcControlButton;
  p.Int("Color", &B::Color, &B::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&B::IsColorStored);
  p.Bool("ParentColor", &B::ParentColor, &B::SetParentColor).Default(false);
  p.Enum("Style", &B::Style, &B::SetStyle).Default(cbsNone);
  p.Bool("Flat", &B::Flat, &B::SetFlat).Default(false);
  p.Object("Glyph", &B::Glyph, &B::SetGlyph);
  p.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  p.Bool("RepeatClicks", &B::RepeatClicks, &B::SetRepeatClicks).Default(false);
  p.Int("InitialDelay", &B::InitialDelay, &B::SetInitialDelay).Default(400);
  p.Int("Delay", &B::Delay, &B::SetDelay).Default(100);
});
