#include "controls/base/FcRadChk.h"

#include "platform/gdi/Frames.h"

namespace fc {
const classes::TEnumInfo& EnumInfo(TCheckBoxState) {
  static const classes::TEnumInfo info{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
  return info;
}
}  // namespace fc

namespace {
constexpr int kGlyphSize = 13;
}

TFcCustomGlyphButton::TFcCustomGlyphButton(TComponent* AOwner) : TFcCustomButton(AOwner) {
  SetBounds(0, 0, 97, 17);
}

void TFcCustomGlyphButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  if (!Transparent()) {
    fc::FillSolid(canvas, r, Color());
  }
  const int top = AlignmentVertical() == avTop      ? 1
                  : AlignmentVertical() == avBottom ? r.Bottom - kGlyphSize - 1
                                                    : (r.Height() - kGlyphSize) / 2;
  const bool glyphLeft = FAlignment == taRightJustify;
  TRect glyph = glyphLeft ? TRect{0, top, kGlyphSize, top + kGlyphSize}
                          : TRect{r.Right - kGlyphSize, top, r.Right, top + kGlyphSize};
  PaintGlyph(glyph);
  TRect text = glyphLeft ? TRect{kGlyphSize + 4, 0, r.Right, r.Bottom} : TRect{0, 0, r.Right - kGlyphSize - 4, r.Bottom};
  canvas->SetFont(Font());
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  fc::DrawStyledCaption(canvas, text, Caption(), TextStyle(), clBtnHighlight, clBtnShadow, taLeftJustify,
                        AlignmentVertical(), FWordWrap);
  if (Focused()) {
    TSize size = canvas->TextExtent(Caption().empty() ? std::string(" ") : Caption());
    int y = (r.Height() - size.cy) / 2;
    canvas->Brush()->SetStyle(bsSolid);
    canvas->DrawFocusRect({text.Left - 1, y - 1, text.Left + size.cx + 1, y + size.cy + 1});
  }
}

TFcCustomCheckBox::TFcCustomCheckBox(TComponent* AOwner) : TFcCustomGlyphButton(AOwner) {
  SetAlignmentVertical(avTop);
}

void TFcCustomCheckBox::SetState(fc::TCheckBoxState Value) {
  if (Value == FState) return;
  FState = Value;
  Invalidate();
  if (HasState(csLoading)) return;
  FFiring = true;
  try {
    Click();
  } catch (...) {
    FFiring = false;
    throw;
  }
  FFiring = false;
}

void TFcCustomCheckBox::ShowState(fc::TCheckBoxState Value) {
  if (Value == FState) return;
  FState = Value;
  Invalidate();
}

void TFcCustomCheckBox::Click() {
  if (FFiring) {
    TFcCustomGlyphButton::Click();
    return;
  }
  ChangeState();
}

void TFcCustomCheckBox::ChangeState() {
  if (ReadOnly() || !Enabled()) return;
  switch (FState) {
    case fc::cbUnchecked: SetState(FAllowGrayed ? fc::cbGrayed : fc::cbChecked); break;
    case fc::cbChecked: SetState(fc::cbUnchecked); break;
    case fc::cbGrayed: SetState(fc::cbChecked); break;
  }
}

void TFcCustomCheckBox::PaintGlyph(TRect R) {
  UINT state = FState == fc::cbGrayed ? DFCS_BUTTON3STATE | DFCS_CHECKED
               : FState == fc::cbChecked ? DFCS_BUTTONCHECK | DFCS_CHECKED
                                         : DFCS_BUTTONCHECK;
  if (!Enabled()) state |= DFCS_INACTIVE;
  Canvas()->RequiredState(TCanvasState{csHandleValid});
  DrawFrameControl(Canvas()->Handle(), &R, DFC_BUTTON, state);
}

static const classes::TPublished<TFcCustomGlyphButton, TFcCustomButton> FcCustomGlyphButtonInfo([](auto& p) {
  using B = TFcCustomGlyphButton;
  p.Enum("Alignment", &B::Alignment, &B::SetAlignment).Default(taRightJustify);
  p.Bool("ReadOnly", &B::ReadOnly, &B::SetReadOnly).Default(false);
  p.Int("FillColor", &B::FillColor, &B::SetFillColor).Default(clWindow).Idents(ColorIdents());
  p.Int("FrameColor", &B::FrameColor, &B::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Bool("WordWrap", &B::WordWrap, &B::SetWordWrap).Default(false);
});
static const classes::TPublished<TFcCustomCheckBox, TFcCustomGlyphButton> FcCustomCheckBoxInfo([](auto& p) {
  using B = TFcCustomCheckBox;
  p.Enum("AlignmentVertical", &B::AlignmentVertical, &B::SetAlignmentVertical).Default(avTop);
  p.Enum("State", &B::State, &B::SetState).Default(fc::cbUnchecked);
  p.Bool("Checked", &B::Checked, &B::SetChecked).Default(false);
  p.Bool("AllowGrayed", &B::AllowGrayed, &B::SetAllowGrayed).Default(false);
});
static const classes::TPublished<TFcCheckBox, TFcCustomCheckBox> FcCheckBoxInfo;
