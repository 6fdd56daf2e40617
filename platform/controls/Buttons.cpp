#include "platform/controls/Buttons.h"

#include <algorithm>

#include "platform/controls/ExtCtrls.h"
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
    HBRUSH brush = controls::CreateCheckerBrush();
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

// ---- TBitBtn ----

const classes::TEnumInfo& EnumInfo(TBitBtnKind) {
  static const classes::TEnumInfo info{"TBitBtnKind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo",
                                                       "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"}};
  return info;
}

namespace {

const TBitBtnKindInfo kKinds[] = {
    {"", mrNone, false, false},         {"OK", mrOk, true, false},        {"Cancel", mrCancel, false, true},
    {"&Help", mrNone, false, false},    {"&Yes", mrYes, true, false},     {"&No", mrNo, false, true},
    {"&Close", mrNone, false, false},   {"Abort", mrAbort, false, false}, {"&Retry", mrRetry, false, false},
    {"&Ignore", mrIgnore, false, false}, {"&All", mrAll, false, false},
};

// The picture of a kind in an 18 × 18 cell at X: Ink for the enabled cell, grey for the
// disabled one.
void DrawKind(TCanvas* C, TBitBtnKind Kind, int X, TColor Ink) {
  C->Pen()->SetWidth(2);
  C->Pen()->SetColor(Ink);
  C->Brush()->SetStyle(bsClear);
  auto line = [&](std::initializer_list<TPoint> Points) {
    std::vector<TPoint> p;
    for (TPoint q : Points) p.push_back({X + q.X, q.Y});
    C->Polyline(p);
  };
  switch (Kind) {
    case bkOK:
    case bkYes: line({{3, 9}, {7, 13}, {15, 4}}); break;
    case bkAll:
      line({{1, 9}, {4, 12}, {10, 5}});
      line({{7, 11}, {9, 13}, {16, 5}});
      break;
    case bkCancel:
      line({{4, 4}, {14, 14}});
      line({{14, 4}, {4, 14}});
      break;
    case bkAbort:
      C->Ellipse(X + 2, 2, X + 16, 16);
      line({{6, 6}, {12, 12}});
      line({{12, 6}, {6, 12}});
      break;
    case bkNo:
      C->Ellipse(X + 2, 2, X + 16, 16);
      line({{5, 13}, {13, 5}});
      break;
    case bkHelp: {
      C->Font()->SetColor(Ink);
      C->Font()->SetHeight(-16);
      C->Font()->SetStyle({fsBold});
      TRect r{X, 0, X + 18, 18};
      std::string mark = "?";
      C->TextRect(r, mark, {tfCenter, tfVerticalCenter, tfSingleLine});
      break;
    }
    case bkClose:
      C->Pen()->SetWidth(1);
      C->Rectangle(X + 4, 2, X + 14, 16);
      line({{11, 8}, {11, 10}});
      break;
    case bkRetry:
      C->Arc(X + 3, 3, X + 15, 15, X + 15, 9, X + 9, 3);
      line({{9, 1}, {9, 5}, {5, 5}});
      break;
    case bkIgnore:
      line({{3, 13}, {9, 5}, {15, 13}});
      break;
    case bkCustom: break;
  }
  C->Pen()->SetWidth(1);
  C->Brush()->SetStyle(bsSolid);
}

}  // namespace

const TBitBtnKindInfo& BitBtnKindInfo(TBitBtnKind Kind) { return kKinds[Kind]; }

std::unique_ptr<TBitmap> BitBtnKindGlyph(TBitBtnKind Kind) {
  if (Kind == bkCustom) return std::make_unique<TBitmap>();
  static const TColor kInk[] = {clBlack, clGreen, clRed, clNavy, clGreen, clRed,
                                clMaroon, clRed, clGreen, clNavy, clGreen};
  auto b = std::make_unique<TBitmap>(36, 18);
  b->Canvas()->Brush()->SetColor(clOlive);
  b->Canvas()->FillRect({0, 0, 36, 18});
  DrawKind(b->Canvas(), Kind, 0, kInk[Kind]);
  DrawKind(b->Canvas(), Kind, 18, clGray);
  return b;
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  FGlyph.OnChange = [this](TObject*) {
    if (!FSettingKind) FModifiedGlyph = true;
    Invalidate();
  };
}

TBitBtn::~TBitBtn() { FGlyph.OnChange = nullptr; }

TBitBtnKind TBitBtn::Kind() const {
  if (FKind != bkCustom) {
    const TBitBtnKindInfo& k = kKinds[FKind];
    if (FModifiedGlyph || Default() != k.Default || Cancel() != k.Cancel || ModalResult() != k.Result)
      FKind = bkCustom;
  }
  return FKind;
}

void TBitBtn::SetKind(TBitBtnKind Value) {
  if (Value == Kind()) return;
  if (Value != bkCustom) {
    const TBitBtnKindInfo& k = kKinds[Value];
    SetDefault(k.Default);
    SetCancel(k.Cancel);
    SetModalResult(k.Result);
    if (!HasState(csLoading) || Caption().empty()) SetCaption(k.Caption);
    FSettingKind = true;
    FGlyph.SetGlyph(BitBtnKindGlyph(Value).get());
    FGlyph.SetNumGlyphs(2);
    FSettingKind = false;
    FModifiedGlyph = false;
  }
  FKind = Value;
  Invalidate();
}

bool TBitBtn::IsCustomCaption() const {
  return Kind() == bkCustom || const_cast<TBitBtn*>(this)->Caption() != kKinds[Kind()].Caption;
}

void TBitBtn::SetLayout(TButtonLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TBitBtn::SetMargin(int Value) {
  if (FMargin == Value || Value < -1) return;
  FMargin = Value;
  Invalidate();
}

void TBitBtn::SetSpacing(int Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Invalidate();
}

void TBitBtn::Click() {
  if (Kind() == bkClose) {
    if (TCustomForm* form = GetParentForm(this)) {
      form->Close();
      return;
    }
  }
  TButton::Click();
}

void TBitBtn::PaintContent(TRect Content) {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  const TButtonState state = !Enabled() ? bsDisabled : Pushed() ? bsDown : bsUp;
  FGlyph.Draw(canvas, Content, {0, 0}, Caption(), FLayout, FMargin, FSpacing, state,
              UseRightToLeftReading() ? static_cast<UINT>(DT_RTLREADING) : 0u);
}

static const classes::TPublished<TBitBtn, TButton> BitBtnInfo([](classes::TPublisher<TBitBtn>& p) {
  p.String("Caption", &TBitBtn::Caption, &TBitBtn::SetCaption).Stored(&TBitBtn::IsCustomCaption);
  p.Bool("Cancel", &TBitBtn::Cancel, &TBitBtn::SetCancel).Default(false).Stored(&TBitBtn::IsCustom);
  p.Bool("Default", &TBitBtn::Default, &TBitBtn::SetDefault).Default(false).Stored(&TBitBtn::IsCustom);
  p.Int("ModalResult", &TBitBtn::ModalResult, &TBitBtn::SetModalResult).Default(mrNone).Stored(&TBitBtn::IsCustom);
  p.Object("Glyph", &TBitBtn::Glyph, &TBitBtn::SetGlyph).Stored(&TBitBtn::IsCustom);
  p.Enum("Kind", &TBitBtn::Kind, &TBitBtn::SetKind).Default(bkCustom);
  p.Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout).Default(blGlyphLeft);
  p.Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin).Default(-1);
  p.Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs).Default(1).Stored(&TBitBtn::IsCustom);
  p.Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing).Default(4);
});
