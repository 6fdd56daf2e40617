#include "platform/controls/Buttons.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"

const classes::TEnumInfo& EnumInfo(TButtonLayout) {
  static const classes::TEnumInfo info{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
  return info;
}

namespace controls {

// ---- TButtonGlyph ----

TButtonGlyph::TButtonGlyph() : FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = [this](TObject*) {
    // A strip of square cells tells how many it holds.
    const int w = FGlyph->Width(), h = FGlyph->Height();
    if (w > 0 && h > 0 && w % h == 0) {
      const int cells = w / h;
      FNumGlyphs = cells >= 1 && cells <= 4 ? cells : 1;
    }
    if (OnChange) OnChange(nullptr);
  };
}

void TButtonGlyph::SetGlyph(TBitmap* Value) {
  if (Value) FGlyph->Assign(Value);
  else FGlyph->SetSize(0, 0);
}

void TButtonGlyph::SetNumGlyphs(TNumGlyphs Value) {
  if (Value < 1 || Value > 4) Value = 1;
  if (FNumGlyphs == Value) return;
  FNumGlyphs = Value;
  if (OnChange) OnChange(nullptr);
}

TSize TButtonGlyph::CellSize() const {
  if (FGlyph->Empty()) return {0, 0};
  return {FGlyph->Width() / FNumGlyphs, FGlyph->Height()};
}

void TButtonGlyph::DrawGlyph(TCanvas* Canvas, TPoint Pos, TButtonState State) {
  const TSize size = CellSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  const TColor transparent = FGlyph->TransparentColor();
  int cell = State;
  if (cell >= FNumGlyphs) cell = 0;
  if (State == bsDisabled && FNumGlyphs < 2) {
    // An embossed silhouette of the first cell: highlight one pixel right and down, shadow
    // over it.
    TCanvas* source = FGlyph->Canvas();
    const COLORREF clear = ColorToRGB(transparent);
    for (const auto& [dx, color] : {std::pair{1, clBtnHighlight}, std::pair{0, clBtnShadow}})
      for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
          if (ColorToRGB(source->Pixels(x, y)) != clear) Canvas->SetPixels(Pos.X + x + dx, Pos.Y + y + dx, color);
    return;
  }
  TBitmap image(size.cx, size.cy);
  image.Canvas()->CopyRect({0, 0, size.cx, size.cy}, FGlyph->Canvas(),
                           {cell * size.cx, 0, (cell + 1) * size.cx, size.cy});
  image.SetTransparentColor(transparent);
  image.SetTransparent(true);
  Canvas->Draw(Pos.X, Pos.Y, &image);
}

void TButtonGlyph::CalcLayout(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                              TButtonLayout Layout, int Margin, int Spacing, TPoint& GlyphPos, TRect& TextBounds,
                              UINT BiDiFlags) {
  TSize text{0, 0};
  if (!Caption.empty()) {
    TRect r{0, 0, Client.Width(), 0};
    DrawText(Canvas->Handle(), Caption, &r, DT_CALCRECT | BiDiFlags);
    text = {r.Width(), r.Height()};
  }
  const TSize glyph = CellSize();
  const TSize client{Client.Width(), Client.Height()};
  const bool across = Layout == blGlyphLeft || Layout == blGlyphRight;
  TPoint textPos;
  // Centred across the axis of the layout.
  if (across) {
    GlyphPos.Y = (client.cy - glyph.cy + 1) / 2;
    textPos.Y = (client.cy - text.cy + 1) / 2;
  } else {
    GlyphPos.X = (client.cx - glyph.cx + 1) / 2;
    textPos.X = (client.cx - text.cx + 1) / 2;
  }
  if (text.cx == 0 || glyph.cx == 0) Spacing = 0;
  const int room = across ? client.cx : client.cy;
  const int glyphLength = across ? glyph.cx : glyph.cy;
  const int textLength = across ? text.cx : text.cy;
  if (Margin == -1) {
    if (Spacing == -1) {
      Margin = (room - glyphLength - textLength) / 3;
      Spacing = Margin;
    } else {
      Margin = (room - glyphLength - Spacing - textLength + 1) / 2;
    }
  } else if (Spacing == -1) {
    Spacing = (room - Margin - glyphLength - textLength) / 2;
  }
  switch (Layout) {
    case blGlyphLeft:
      GlyphPos.X = Margin;
      textPos.X = GlyphPos.X + glyph.cx + Spacing;
      break;
    case blGlyphRight:
      GlyphPos.X = client.cx - Margin - glyph.cx;
      textPos.X = GlyphPos.X - Spacing - text.cx;
      break;
    case blGlyphTop:
      GlyphPos.Y = Margin;
      textPos.Y = GlyphPos.Y + glyph.cy + Spacing;
      break;
    case blGlyphBottom:
      GlyphPos.Y = client.cy - Margin - glyph.cy;
      textPos.Y = GlyphPos.Y - Spacing - text.cy;
      break;
  }
  GlyphPos.X += Client.Left + Offset.X;
  GlyphPos.Y += Client.Top + Offset.Y;
  textPos.X += Client.Left + Offset.X;
  textPos.Y += Client.Top + Offset.Y;
  TextBounds = {textPos.X, textPos.Y, textPos.X + text.cx, textPos.Y + text.cy};
}

void TButtonGlyph::DrawCaption(TCanvas* Canvas, const std::string& Caption, TRect TextBounds, TButtonState State,
                               UINT BiDiFlags) {
  if (Caption.empty()) return;
  Canvas->Brush()->SetStyle(bsClear);
  const UINT flags = DT_CENTER | DT_VCENTER | BiDiFlags;
  if (State == bsDisabled) {
    TRect r = TextBounds;
    OffsetRect(&r, 1, 1);
    Canvas->Font()->SetColor(clBtnHighlight);
    DrawText(Canvas->Handle(), Caption, &r, flags);
    Canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(Canvas->Handle(), Caption, &TextBounds, flags);
}

TRect TButtonGlyph::Draw(TCanvas* Canvas, const TRect& Client, TPoint Offset, const std::string& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, TButtonState State, UINT BiDiFlags) {
  TPoint glyphPos;
  TRect textBounds;
  CalcLayout(Canvas, Client, Offset, Caption, Layout, Margin, Spacing, glyphPos, textBounds, BiDiFlags);
  DrawGlyph(Canvas, glyphPos, State);
  DrawCaption(Canvas, Caption, textBounds, State, BiDiFlags);
  return textBounds;
}

}  // namespace controls

// ---- TSpeedButton ----

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csDoubleClicks, csReplicatable});
  SetBounds(0, 0, 23, 22);
  FGlyph.OnChange = [this](TObject*) { Invalidate(); };
  UpdateOpacity();
}

TSpeedButton::~TSpeedButton() { FGlyph.OnChange = nullptr; }

void TSpeedButton::UpdateOpacity() {
  TControlStyle s = ControlStyle();
  if (FFlat && FTransparent) s.Exclude(csOpaque);
  else s.Include(csOpaque);
  SetControlStyle(s);
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  if (FAllowAllUp == Value) return;
  FAllowAllUp = Value;
  UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  FState = Value ? bsExclusive : bsUp;
  Invalidate();
  if (Value) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool Value) {
  if (FFlat == Value) return;
  FFlat = Value;
  UpdateOpacity();
  InvalidateControl(Visible(), false);
}

void TSpeedButton::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TSpeedButton::SetMargin(int Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  UpdateOpacity();
  InvalidateControl(Visible(), false);
}

void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage m{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(m);
}

void TSpeedButton::ButtonPressed(int Group, TSpeedButton* Sender) {
  if (Group != FGroupIndex || Sender == this || !Sender) return;
  if (Sender->Down() && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = Sender->AllowAllUp();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = ClientRect().Contains({X, Y});
  const TButtonState state = inside ? (FDown ? bsExclusive : bsDown) : (FDown ? bsExclusive : bsUp);
  if (state != FState) {
    FState = state;
    Invalidate();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  const bool doClick = ClientRect().Contains({X, Y});
  if (FGroupIndex == 0) {
    FState = bsUp;
  } else if (doClick) {
    SetDown(!FDown);
  } else if (FDown) {
    FState = bsExclusive;
  }
  FMouseInControl = doClick;
  Invalidate();
  if (doClick) Click();
}

void TSpeedButton::CMMouseEnter(TMessage& Message) {
  TGraphicControl::CMMouseEnter(Message);
  if (Message.LParam != 0 || FMouseInControl || !Enabled()) return;
  FMouseInControl = true;
  if (FFlat) Invalidate();
}

void TSpeedButton::CMMouseLeave(TMessage& Message) {
  TGraphicControl::CMMouseLeave(Message);
  if (Message.LParam != 0 || !FMouseInControl) return;
  FMouseInControl = false;
  if (FFlat) InvalidateControl(Visible(), false);
}

void TSpeedButton::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
}

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  if (FDown) UpdateExclusive();
}

void TSpeedButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      ButtonPressed(static_cast<int>(Message.WParam), reinterpret_cast<TSpeedButton*>(Message.LParam));
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<UINT>(Message.WParam), Caption()) && Enabled() && Visible() && Parent() &&
          Parent()->Showing()) {
        Click();
        Message.Result = 1;
      }
      return;
    case CM_ENABLEDCHANGED:
      if (!Enabled()) {
        FDragging = false;
        FMouseInControl = false;
      }
      break;
  }
  TGraphicControl::WndProc(Message);
}

void TSpeedButton::Paint() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = FDown && FGroupIndex != 0 ? bsExclusive : bsUp;
  }
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  TRect r = ClientRect();
  const bool pressed = FState == bsDown || FState == bsExclusive;
  if (!FFlat) {
    UINT flags = DFCS_BUTTONPUSH | DFCS_ADJUSTRECT;
    if (pressed) flags |= DFCS_PUSHED;
    DrawFrameControl(canvas->Handle(), &r, DFC_BUTTON, flags);
  } else {
    if (!FTransparent) {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    // Flat: an edge only while pressed, down, or under the mouse.
    if (pressed || (FMouseInControl && FState != bsDisabled) || HasState(csDesigning))
      DrawEdge(canvas->Handle(), &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(&r, -1, -1);
  }
  if (FState == bsExclusive && (!FFlat || !FMouseInControl)) {
    // The down look of a group button: a checker of face and highlight.
    static const uint8_t kRows[16] = {0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, kRows);
    HBRUSH brush = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    HDC dc = canvas->Handle();
    const COLORREF text = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
    const COLORREF back = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    FillRect(dc, &r, brush);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
    DeleteObject(brush);
  }
  const TPoint offset = pressed ? TPoint(1, 1) : TPoint(0, 0);
  FGlyph.Draw(canvas, r, offset, Caption(), FLayout, FMargin, FSpacing, FState,
              UseRightToLeftReading() ? static_cast<UINT>(DT_RTLREADING) : 0u);
}

static const classes::TPublished<TSpeedButton, TGraphicControl> SpeedButtonInfo(
    [](classes::TPublisher<TSpeedButton>& p) {
      p.Bool("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp).Default(false);
      p.Int("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
      p.Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
      p.Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
      p.Object("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
      p.Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout).Default(blGlyphLeft);
      p.Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin).Default(-1);
      p.Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs).Default(1);
      p.Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing).Default(4);
      p.Bool("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent).Default(true);
    });
