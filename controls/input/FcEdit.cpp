#include "controls/input/FcEdit.h"

#include "platform/controls/Forms.h"
#include "platform/os/Input.h"
#include "platform/rtl/Strings.h"

namespace {
// Removes the last code point of a UTF-8 text.
void PopCodePoint(std::string& Text) {
  while (!Text.empty() && (static_cast<unsigned char>(Text.back()) & 0xC0) == 0x80) Text.pop_back();
  if (!Text.empty()) Text.pop_back();
}

int CodePoints(const std::string& Text) {
  int n = 0;
  for (unsigned char c : Text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}
}  // namespace

// ---- TFcCustomEdit ----

TFcCustomEdit::TFcCustomEdit(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
}

void TFcCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

TRect TFcCustomEdit::EditRect() {
  TRect r = ClientRect();
  const int frame = fc::FrameWidth(FFrameVisible ? FFrameStyle : fsLowered);
  return {r.Left + frame + 1, r.Top + frame, r.Right - frame - ButtonAreaWidth() - 1, r.Bottom - frame};
}

void TFcCustomEdit::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  TColor back = !Enabled() ? FDisabledColor : FReadOnly ? FReadOnlyColor : Focused() ? FFocusColor : Color();
  if (Focused() && FFocusColor == clWindow) back = Color();
  fc::FillSolid(canvas, r, back);
  if (FFrameVisible) fc::DrawFrame(canvas, r, FFrameStyle, AllSides, FFrameColor);
  else fc::DrawFrame(canvas, r, fsLowered);
  const int buttons = ButtonAreaWidth();
  if (buttons > 0) PaintButtons({r.Right - buttons, r.Top, r.Right, r.Bottom});
  TRect text = EditRect();
  canvas->SetFont(Font());
  std::string shown = DisplayText();
  if (shown.empty() && !Focused() && !FTextHint.empty()) {
    canvas->Font()->SetColor(clGrayText);
    shown = FTextHint;
  } else if (!Enabled()) {
    canvas->Font()->SetColor(clGrayText);
  }
  fc::DrawCaption(canvas, text, shown, FAlignment, avCenter);
  if (Focused() && CanEditByKeys()) {
    // The caret stands after the text.
    const int width = canvas->TextWidth(DisplayText());
    int x = FAlignment == taRightJustify ? text.Right - 1
            : FAlignment == taCenter     ? text.Left + (text.Width() + width) / 2
                                         : text.Left + width;
    fc::FillSolid(canvas, {x, text.Top + 2, x + 1, text.Bottom - 2}, Font()->Color());
  }
}

void TFcCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    if (CanFocus()) SetFocus();
    const int buttons = ButtonAreaWidth();
    if (buttons > 0 && X >= ClientWidth() - buttons && Enabled()) ButtonAreaMouseDown(X, Y);
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcCustomEdit::WMChar(TMessage& Message) {
  if (DoKeyPress(Message)) return;
  const char32_t ch = static_cast<char32_t>(Message.WParam);
  if (ch == U'\r' && FTabOnEnter) {
    if (TCustomForm* form = GetParentForm(this)) form->SelectNext(this, true, true);
    return;
  }
  if (!CanEditByKeys()) return;
  std::string text = Text();
  if (ch == 8) {
    if (text.empty()) return;
    PopCodePoint(text);
  } else if (ch >= 32 && ch != 127) {
    if (FMaxLength > 0 && CodePoints(text) >= FMaxLength) return;
    rtl::AppendUtf8(text, ch);
  } else {
    return;
  }
  SetText(text);
}

void TFcCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  // Delete clears the text after the caret, which stands at the end: nothing to delete.
  if (Key == VK_DELETE) Key = 0;
}

void TFcCustomEdit::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
  if (!HasState(csLoading)) Change();
}

void TFcCustomEdit::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

void TFcCustomEdit::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TFcCustomEdit::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
}

// ---- TFcDateTimeEdit ----

const classes::TEnumInfo& EnumInfo(TFcDTEditType) {
  static const classes::TEnumInfo info{"TFcDTEditType", {"etDate", "etTime"}};
  return info;
}

TFcDateTimeEdit::TFcDateTimeEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) { ShowValue(); }

std::string TFcDateTimeEdit::ValueText(TDateTime Value) const {
  std::string format = FFormat;
  if (format.empty()) format = FEditType == etTime ? FormatSettings().LongTimeFormat : FormatSettings().ShortDateFormat;
  return FormatDateTime(format, Value);
}

void TFcDateTimeEdit::ShowValue() {
  const std::string text = ValueText(FValue);
  if (text != Text()) {
    // Showing the value is no change of the value: OnChange still follows the text.
    SetText(text);
  }
}

void TFcDateTimeEdit::SetEditType(TFcDTEditType Value) {
  if (Value == FEditType) return;
  FEditType = Value;
  ShowValue();
}

void TFcDateTimeEdit::SetFormat(const std::string& Value) {
  if (Value == FFormat) return;
  FFormat = Value;
  ShowValue();
}

void TFcDateTimeEdit::SetValue(TDateTime Value) {
  const bool changed = Value.Value != FValue.Value;
  FValue = Value;
  ShowValue();
  if (changed && !HasState(csLoading)) DateTimeChanged();
}

void TFcDateTimeEdit::DateTimeChanged() {
  if (OnDateTimeChange) OnDateTimeChange(this, FValue);
}

void TFcDateTimeEdit::Loaded() {
  TFcCustomEdit::Loaded();
  ShowValue();
}

void TFcDateTimeEdit::AcceptText() {
  TDateTime value;
  const std::string text = Text();
  const bool read = FEditType == etTime ? TryStrToTime(text, value) : TryStrToDate(text, value);
  if (read && text != ValueText(FValue)) {
    SetValue(FEditType == etTime ? TDateTime(DateOf(FValue) + TimeOf(value)) : TDateTime(DateOf(value) + TimeOf(FValue)));
  } else {
    ShowValue();
  }
}

void TFcDateTimeEdit::KeyDown(WORD& Key, TShiftState Shift) {
  TFcCustomEdit::KeyDown(Key, Shift);
  if (ReadOnly()) return;
  if (Key == VK_UP || Key == VK_DOWN) {
    const int step = Key == VK_UP ? 1 : -1;
    SetValue(FEditType == etTime ? IncSecond(FValue, step) : IncDay(FValue, step));
    Key = 0;
  } else if (Key == VK_RETURN) {
    AcceptText();
  }
}

void TFcDateTimeEdit::WMKillFocus(TMessage& Message) {
  TFcCustomEdit::WMKillFocus(Message);
  AcceptText();
}

void TFcCustomEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomEdit, TCustomControl> FcCustomEditInfo([](auto& p) {
  using E = TFcCustomEdit;
  p.Int("Color", &E::Color, &E::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&E::IsColorStored);
  p.Bool("ParentColor", &E::ParentColor, &E::SetParentColor).Default(false);
  p.Bool("TabStop", &E::TabStop, &E::SetTabStop).Default(true);
  p.String("Text", &E::Text, &E::SetText);
  p.Bool("ReadOnly", &E::ReadOnly, &E::SetReadOnly).Default(false);
  p.Int("MaxLength", &E::MaxLength, &E::SetMaxLength).Default(0);
  p.Enum("Alignment", &E::Alignment, &E::SetAlignment).Default(taLeftJustify);
  p.Enum("FrameStyle", &E::FrameStyle, &E::SetFrameStyle).Default(fsFlat);
  p.Bool("FrameVisible", &E::FrameVisible, &E::SetFrameVisible).Default(false);
  p.Int("FrameColor", &E::FrameColor, &E::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FocusColor", &E::FocusColor, &E::SetFocusColor).Default(clWindow).Idents(ColorIdents());
  p.Int("DisabledColor", &E::DisabledColor, &E::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("ReadOnlyColor", &E::ReadOnlyColor, &E::SetReadOnlyColor).Default(clInfoBk).Idents(ColorIdents());
  p.Enum("FramingPreference", &E::FramingPreference, &E::SetFramingPreference).Default(fpXPThemes);
  p.String("TextHint", &E::TextHint, &E::SetTextHint);
  p.Bool("TabOnEnter", &E::TabOnEnter, &E::SetTabOnEnter).Default(false);
  p.Bool("AutoSelect", &E::AutoSelect, &E::SetAutoSelect).Default(true);
  p.Bool("FlatButtons", &E::FlatButtons, &E::SetFlatButtons).Default(false);
  p.Int("FlatButtonColor", &E::FlatButtonColor, &E::SetFlatButtonColor).Default(clBtnFace).Idents(ColorIdents());
  p.Event("OnChange", &E::OnChange);
});
static const classes::TPublished<TFcEdit, TFcCustomEdit> FcEditInfo;
static const classes::TPublished<TFcDateTimeEdit, TFcCustomEdit> FcDateTimeEditInfo([](auto& p) {
  using E = TFcDateTimeEdit;
  p.Enum("EditType", &E::EditType, &E::SetEditType).Default(etDate);
  p.String("Format", &E::Format, &E::SetFormat);
  p.Float("Date", &E::Date, &E::SetDate);
  p.Float("Time", &E::Time, &E::SetTime);
  p.String("CaptionAM", &E::CaptionAM, &E::SetCaptionAM);
  p.String("CaptionPM", &E::CaptionPM, &E::SetCaptionPM);
  p.String("CaptionSet", &E::CaptionSet, &E::SetCaptionSet);
  p.String("CaptionTodayBtn", &E::CaptionTodayBtn, &E::SetCaptionTodayBtn);
  p.String("CaptionClearBtn", &E::CaptionClearBtn, &E::SetCaptionClearBtn);
  p.Event("OnDateTimeChange", &E::OnDateTimeChange);
});
