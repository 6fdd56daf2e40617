// The framed combo's own look, painted over the platform combo's default painting: the border
// clean-up, the drop button (flat or hidden) and the library's frame.
#include "controls/input/FcCmboBx.h"
#include "platform/os/Kernel.h"
#include "platform/os/SystemMetrics.h"

TRect TFcCustomComboBox::FrameButtonRect() {
  const TRect client = ClientRect();
  const int inset = VisualStylesActive() ? 1 : 2;
  const int width = GetSystemMetrics(SM_CXVSCROLL);
  TRect r{client.Right - inset - width, client.Top + inset, client.Right - inset, client.Bottom - inset};
  if (UseRightToLeftAlignment()) r = {client.Left + inset, client.Top + inset, client.Left + inset + width, client.Bottom - inset};
  return r;
}

void TFcCustomComboBox::PaintButton(TCanvas* Canvas, const TRect& Button) {
  const bool hot = FFocused || FOverControl || FInControl;
  const bool dropped = DroppedDown();
  if (!FFlatButtons || IsOSVersionOrLater(7) || FReadOnly) {
    // A read-only combo shows no drop button.
    if (FReadOnly) {
      Canvas->Brush()->SetColor(Color());
      Canvas->FillRect(Button);
    }
    return;
  }
  if (!hot) {
    Canvas->Brush()->SetColor(Color());
    Canvas->FillRect(Button);
    PaintDropDownArrow(Canvas, Button, VisualStylesActive() ? GlyphStyleXP : 0, Enabled());
    return;
  }
  TRect inside;
  if (FFlatButtonColor == clBtnFace) {
    inside = dropped ? PaintBevelRings(Canvas, Button, clBtnShadow, AllSides, 1, clBtnHighlight)
                     : PaintBevelRings(Canvas, Button, clBtnHighlight, AllSides, 1, clBtnShadow);
  } else {
    inside = PaintColorFrameStyle(Canvas, Button, FFlatButtonColor, dropped ? fsStatus : fsPopup);
  }
  Canvas->Brush()->SetColor(FFlatButtonColor);
  Canvas->FillRect(inside);
  TRect arrow = inside;
  if (dropped) OffsetRect(&arrow, 1, 1);
  PaintDropDownArrow(Canvas, arrow, 0, Enabled());
}

void TFcCustomComboBox::PaintFrame() {
  if (!HandleAllocated()) return;
  TCanvas* canvas = FFrameCanvas.get();
  const TRect client = ClientRect();
  const TRect button = FrameButtonRect();
  const bool themes = VisualStylesActive();
  const bool plainWhite = ColorToRGB(Color()) == 0xFFFFFF;
  // The platform's own border under the library's frame.
  if (!FFrameVisible || UseThemes() || IsOSVersionOrLater(7)) {
    if (themes && !plainWhite) {
      TRect r = client;
      if (UseRightToLeftAlignment()) r.Left = button.Right;
      else r.Right = button.Left;
      InflateRect(&r, -1, -1);
      PaintBevelRings(canvas, r, Color(), AllSides, 2, Color());
    }
  } else if (themes) {
    const TRect r = PaintBoxOutline(canvas, client, Color());
    PaintBevelRings(canvas, r, Color(), AllSides, 2, Color());
  } else {
    PaintBevelRings(canvas, client, Color(), AllSides, 2, Color());
  }
  // The strip beside the button that the themed look leaves.
  if (themes && Style() != csSimple && (IsOSVersion(5) || (IsOSVersion(7) && Style() == csDropDown))) {
    TRect strip = button;
    if (UseRightToLeftAlignment()) {
      strip.Left = button.Right;
      strip.Right = button.Right + 2;
    } else {
      strip.Right = button.Left;
      strip.Left = button.Left - 2;
    }
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(strip);
  }
  if (Style() != csSimple) PaintButton(canvas, button);
  if (FFrameVisible && !UseThemes()) {
    const bool hot = FFrameHotTrack && (FFocused || FOverControl || FInControl);
    const TFrameStyle style = hot ? FFrameHotStyle : FFrameStyle;
    const TColor color = hot ? FFrameHotColor : FFrameColor;
    if (style == fsFlat) PaintSideLines(canvas, client, color, FFrameSides, color);
    else if (style == fsFlatBold) PaintBevelRings(canvas, client, color, FFrameSides, 2, color);
    else if (Color() == clWindow) PaintFrameStyleSides(canvas, client, style, FFrameSides);
    else PaintColorFrameStyleSides(canvas, client, Color(), FFrameSides, style);
  }
  FFrameCanvas->FreeHandle();
}
