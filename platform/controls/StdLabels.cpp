#include "platform/controls/StdLabels.h"

#include "platform/gdi/Gdi.h"
#include "platform/os/WindowDC.h"

const classes::TEnumInfo& EnumInfo(TTextLayout) {
  static const classes::TEnumInfo info{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TEllipsisPosition) {
  static const classes::TEnumInfo info{"TEllipsisPosition",
                                       {"epNone", "epPathEllipsis", "epEndEllipsis", "epWordEllipsis"}};
  return info;
}

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csOpaque, csReplicatable});
  SetBounds(0, 0, 65, 17);
  TCustomLabel::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (Transparent() == Value) return;
  TControlStyle s = ControlStyle();
  if (Value) s.Exclude(csOpaque);
  else s.Include(csOpaque);
  SetControlStyle(s);
  // Now the parent's background must be painted under the text (or no longer).
  InvalidateControl(Visible(), false);
}

void TCustomLabel::SetEllipsisPosition(TEllipsisPosition Value) {
  if (FEllipsisPosition == Value) return;
  FEllipsisPosition = Value;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (AutoSize() == Value) return;
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

std::string TCustomLabel::GetLabelText() { return Caption(); }

UINT TCustomLabel::DrawTextFlags() {
  static const UINT kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
  static const UINT kEllipsis[] = {0, DT_PATH_ELLIPSIS, DT_END_ELLIPSIS, DT_WORD_ELLIPSIS};
  UINT flags = DT_EXPANDTABS | kAlign[FAlignment] | kEllipsis[FEllipsisPosition];
  if (FWordWrap) flags |= DT_WORDBREAK;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  return flags;
}

void TCustomLabel::DoDrawText(TRect& Rect, UINT Flags) {
  std::string text = GetLabelText();
  // An empty caption (or a lone accelerator mark) still measures as one line.
  if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text += " ";
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  if (Flags & DT_CALCRECT) {
    DrawText(canvas->Handle(), text, &Rect, Flags);
    return;
  }
  canvas->Brush()->SetStyle(bsClear);
  if (!Enabled()) {
    // Embossed: a highlight copy one pixel right and down, the shadow copy over it.
    TRect r = Rect;
    OffsetRect(&r, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawText(canvas->Handle(), text, &r, Flags);
    canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(canvas->Handle(), text, &Rect, Flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  const UINT flags = DrawTextFlags();
  if (FLayout != tlTop) {
    TRect calc = r;
    DoDrawText(calc, flags | DT_CALCRECT);
    const int free = r.Height() - calc.Height();
    OffsetRect(&r, 0, FLayout == tlBottom ? free : free / 2);
  }
  DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (HasState(csLoading) || HasState(csReading) || !AutoSize()) return;
  // Measured on the screen's DC, so a label sizes itself before it has a parent.
  HDC dc = GetDC(nullptr);
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font()->Assign(Font());
  std::string text = GetLabelText();
  if (text.empty() || (FShowAccelChar && text == "&")) text += " ";
  TRect r = ClientRect();
  // Without word wrap the text decides the width; with it, the current width stays.
  if (!FWordWrap) r.Right = r.Left + 0x7FFF;
  UINT flags = DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? UINT(DT_WORDBREAK) : 0u) | (FShowAccelChar ? 0u : UINT(DT_NOPREFIX));
  DrawText(measure.Handle(), text, &r, flags);
  measure.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  int x = Left();
  if (FAlignment == taRightJustify) x += Width() - r.Width();
  SetBounds(x, Top(), r.Width(), r.Height());
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
  TGraphicControl::CMTextChanged(Message);
  Invalidate();
  AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    if (FFocusControl && Enabled() && FShowAccelChar && IsAccel(static_cast<UINT>(Message.WParam), GetLabelText()) &&
        FFocusControl->CanFocus()) {
      FFocusControl->SetFocus();
      Message.Result = 1;
    }
    return;
  }
  TGraphicControl::WndProc(Message);
}

static const classes::TPublished<TCustomLabel, TGraphicControl> CustomLabelInfo(
    [](classes::TPublisher<TCustomLabel>& p) {
      p.Enum("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
      p.Bool("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
      p.Enum("EllipsisPosition", &TCustomLabel::EllipsisPosition, &TCustomLabel::SetEllipsisPosition)
          .Default(epNone);
      p.Component("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
      p.Enum("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
      p.Bool("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(true);
      p.Bool("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(false);
      p.Bool("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
    });
static const classes::TPublished<TLabel, TCustomLabel> LabelInfo;
