#include "controls/base/FcButton.h"

#include "platform/controls/Forms.h"
#include "platform/os/Input.h"

namespace fc {
const classes::TEnumInfo& EnumInfo(TButtonLayout) {
  static const classes::TEnumInfo info{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TBitBtnKind) {
  static const classes::TEnumInfo info{"TBitBtnKind", {"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo",
                                                       "bkClose", "bkAbort", "bkRetry", "bkIgnore", "bkAll"}};
  return info;
}
}  // namespace fc

// ---- TFcCustomButton ----

TFcCustomButton::TFcCustomButton(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TFcCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && Enabled()) {
    if (CanFocus()) SetFocus();
    FPressed = true;
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcCustomButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FPressed) {
    FPressed = false;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TFcCustomButton::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if ((Key == VK_SPACE || Key == VK_RETURN) && Enabled()) {
    Key = 0;
    Click();
  }
}

void TFcCustomButton::CMMouseEnter(TMessage& Message) {
  TCustomControl::CMMouseEnter(Message);
  FMouseIn = true;
  if (FHotTrack) Invalidate();
}

void TFcCustomButton::CMMouseLeave(TMessage& Message) {
  TCustomControl::CMMouseLeave(Message);
  FMouseIn = false;
  if (FHotTrack) Invalidate();
}

void TFcCustomButton::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TFcCustomButton::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcCustomButton::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TFcCustomButton::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  FPressed = false;
  Invalidate();
}

// ---- TFcButton ----

TFcButton::TFcButton(TComponent* AOwner) : TFcCustomButton(AOwner) {}

void TFcButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  FDown = Value;
  if (Value && Parent()) {
    // The other buttons of the group go up.
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TFcButton*>(Parent()->Controls(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex) {
        other->FDown = false;
        other->Invalidate();
      }
    }
  }
  Invalidate();
}

void TFcButton::Click() {
  if (FGroupIndex != 0) {
    if (!FDown) SetDown(true);
    else if (FAllowAllUp) SetDown(false);
  }
  if (TCustomForm* form = GetParentForm(this); form && FModalResult != 0) form->SetModalResult(FModalResult);
  TFcCustomButton::Click();
}

void TFcButton::CMDialogKey(TMessage& Message) {
  const bool key = (FDefault && Message.WParam == VK_RETURN) || (FCancel && Message.WParam == VK_ESCAPE);
  if (key && Enabled() && Showing()) {
    Click();
    Message.Result = 1;
    return;
  }
  TFcCustomButton::CMDialogKey(Message);
}

void TFcButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  TColor face = Color();
  if (HotTrack() && MouseInControl() && Enabled()) face = HotTrackColor();
  const bool down = Pressed() || FDown;
  if (Focused() || FDefault) {
    fc::DrawFrame(canvas, r, fsFlat, AllSides, FFrameColor);
  }
  if (Transparent() && !down) {
    fc::DrawFrame(canvas, r, fsFlat, AllSides, clBtnShadow);
  } else {
    fc::DrawButtonFace(canvas, r, face, down, false);
  }
  if (down) OffsetRect(&r, 1, 1);
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  PaintContent(r);
  if (Focused() && FShowFocusRect) {
    TRect focus{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect(focus);
  }
}

void TFcButton::PaintContent(TRect R) {
  fc::DrawStyledCaption(Canvas(), R, Caption(), TextStyle(), clBtnHighlight, clBtnShadow, FAlignment,
                        AlignmentVertical(), false);
}

// ---- TFcBitBtn ----

TFcBitBtn::TFcBitBtn(TComponent* AOwner) : TFcButton(AOwner), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TFcBitBtn::~TFcBitBtn() = default;

void TFcBitBtn::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TFcBitBtn::SetKind(fc::TBitBtnKind Value) {
  FKind = Value;
  switch (Value) {
    case fc::bkOK: SetModalResult(mrOk); SetDefault(true); break;
    case fc::bkCancel: SetModalResult(mrCancel); SetCancel(true); break;
    case fc::bkYes: SetModalResult(mrYes); break;
    case fc::bkNo: SetModalResult(mrNo); break;
    case fc::bkAbort: SetModalResult(mrAbort); break;
    case fc::bkRetry: SetModalResult(mrRetry); break;
    case fc::bkIgnore: SetModalResult(mrIgnore); break;
    case fc::bkAll: SetModalResult(mrAll); break;
    default: break;
  }
  Invalidate();
}

void TFcBitBtn::PaintContent(TRect R) {
  // The second cell of a strip is the disabled look.
  const int index = !Enabled() && FNumGlyphs > 1 ? 1 : 0;
  fc::DrawGlyphAndCaption(Canvas(), R, FGlyph.get(), FNumGlyphs, index, Caption(), Color(), FSpacing);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomButton, TCustomControl> FcCustomButtonInfo([](auto& p) {
  using B = TFcCustomButton;
  p.Int("Color", &B::Color, &B::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&B::IsColorStored);
  p.Bool("ParentColor", &B::ParentColor, &B::SetParentColor).Default(false);
  p.Bool("TabStop", &B::TabStop, &B::SetTabStop).Default(true);
  p.Enum("AlignmentVertical", &B::AlignmentVertical, &B::SetAlignmentVertical).Default(avCenter);
  p.Bool("HotTrack", &B::HotTrack, &B::SetHotTrack).Default(false);
  p.Int("HighlightColor", &B::HighlightColor, &B::SetHighlightColor).Default(clHighlight).Idents(ColorIdents());
  p.Int("HotTrackColor", &B::HotTrackColor, &B::SetHotTrackColor).Default(0x149BF0).Idents(ColorIdents());
  p.Enum("HotTrackColorType", &B::HotTrackColorType, &B::SetHotTrackColorType).Default(htctActual);
  p.Enum("TextStyle", &B::TextStyle, &B::SetTextStyle).Default(tsNormal);
  p.Bool("ThemeAware", &B::ThemeAware, &B::SetThemeAware).Default(true);
  p.Bool("Transparent", &B::Transparent, &B::SetTransparent).Default(false);
});
static const classes::TPublished<TFcButton, TFcCustomButton> FcButtonInfo([](auto& p) {
  using B = TFcButton;
  p.Enum("Alignment", &B::Alignment, &B::SetAlignment).Default(taCenter);
  p.Bool("Default", &B::Default, &B::SetDefault).Default(false);
  p.Bool("Cancel", &B::Cancel, &B::SetCancel).Default(false);
  p.Int("ModalResult", &B::ModalResult, &B::SetModalResult).Default(0);
  p.Int("GroupIndex", &B::GroupIndex, &B::SetGroupIndex).Default(0);
  p.Bool("Down", &B::Down, &B::SetDown).Default(false);
  p.Bool("AllowAllUp", &B::AllowAllUp, &B::SetAllowAllUp).Default(false);
  p.Int("FrameColor", &B::FrameColor, &B::SetFrameColor).Default(cl3DDkShadow).Idents(ColorIdents());
  p.Bool("ShowFocusRect", &B::ShowFocusRect, &B::SetShowFocusRect).Default(true);
});
static const classes::TPublished<TFcBitBtn, TFcButton> FcBitBtnInfo([](auto& p) {
  using B = TFcBitBtn;
  p.Object("Glyph", &B::Glyph, &B::SetGlyph);
  p.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  p.Enum("Kind", &B::Kind, &B::SetKind).Default(fc::bkCustom);
  p.Enum("Layout", &B::Layout, &B::SetLayout).Default(fc::blGlyphLeft);
  p.Int("Margin", &B::Margin, &B::SetMargin).Default(-1);
  p.Int("Spacing", &B::Spacing, &B::SetSpacing).Default(4);
});
