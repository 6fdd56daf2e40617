#include "controls/input/FcCmboBx.h"

#include "platform/gdi/Frames.h"
#include "platform/os/Input.h"

namespace fc {
const classes::TEnumInfo& EnumInfo(TComboBoxStyle) {
  static const classes::TEnumInfo info{
      "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
  return info;
}
}  // namespace fc

namespace {
constexpr int kButtonWidth = 17;
}

TFcCustomComboBox::TFcCustomComboBox(TComponent* AOwner)
    : TCustomControl(AOwner), FItems(std::make_unique<TStringList>()) {
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  SetParentColor(false);
  FItems->OnChange = [this](TObject*) {
    if (FItemIndex >= FItems->Count()) FItemIndex = -1;
    Invalidate();
  };
}

TFcCustomComboBox::~TFcCustomComboBox() { FItems->OnChange = nullptr; }

void TFcCustomComboBox::SetItemIndex(int Value) {
  if (Value < -1 || Value >= FItems->Count()) Value = -1;
  FItemIndex = Value;
  const std::string text = Value >= 0 ? FItems->Strings(Value) : std::string();
  if (FStyle == fc::csDropDownList || Value >= 0) {
    SetText(text);
  }
  Invalidate();
}

void TFcCustomComboBox::SelectItem(int Index) {
  if (FReadOnly || Index < 0 || Index >= FItems->Count() || Index == FItemIndex) return;
  SetItemIndex(Index);
  if (OnSelect) OnSelect(this);
  Change();
}

void TFcCustomComboBox::Loaded() {
  TCustomControl::Loaded();
  // A definition gives the text; the item of that text is the chosen one.
  if (FItemIndex < 0) {
    int index = FItems->IndexOf(Text());
    if (index >= 0) FItemIndex = index;
  }
}

void TFcCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TFcCustomComboBox::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  Invalidate();
}

void TFcCustomComboBox::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const TColor back = !Enabled() ? FDisabledColor : FReadOnly ? FReadOnlyColor : Color();
  fc::FillSolid(canvas, r, back);
  if (FFrameVisible) fc::DrawFrame(canvas, r, FFrameStyle, AllSides, FFrameColor);
  else fc::DrawFrame(canvas, r, fsLowered);
  TRect button{r.Right - kButtonWidth, r.Top, r.Right, r.Bottom};
  TRect face = button;
  fc::DrawButtonFace(canvas, face, FFlatButtons ? FFlatButtonColor : clBtnFace, false, FFlatButtons);
  // The drop arrow.
  canvas->Brush()->SetColor(Enabled() ? clBtnText : clGrayText);
  const int cx = face.Left + face.Width() / 2;
  const int cy = face.Top + face.Height() / 2 - 1;
  for (int i = 0; i < 4; ++i) canvas->FillRect({cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1});
  TRect text{r.Left + 2, r.Top, button.Left - 1, r.Bottom};
  if (Focused() && FStyle == fc::csDropDownList) {
    canvas->Brush()->SetColor(clHighlight);
    canvas->FillRect(text);
    canvas->SetFont(Font());
    canvas->Font()->SetColor(clHighlightText);
  } else {
    canvas->SetFont(Font());
    if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  }
  fc::DrawCaption(canvas, text, Text(), taLeftJustify, avCenter);
}

void TFcCustomComboBox::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  const int count = FItems->Count();
  if (count == 0) return;
  switch (Key) {
    case VK_DOWN: SelectItem(FItemIndex + 1 < count ? FItemIndex + 1 : count - 1); Key = 0; break;
    case VK_UP: SelectItem(FItemIndex > 0 ? FItemIndex - 1 : 0); Key = 0; break;
    case VK_HOME: SelectItem(0); Key = 0; break;
    case VK_END: SelectItem(count - 1); Key = 0; break;
    default: break;
  }
}

bool TFcCustomComboBox::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  const int count = FItems->Count();
  if (count == 0) return true;
  int next = FItemIndex + (WheelDelta > 0 ? -1 : 1);
  if (next < 0) next = 0;
  if (next >= count) next = count - 1;
  SelectItem(next);
  return true;
}

void TFcCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && CanFocus()) SetFocus();
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcCustomComboBox::WMSetFocus(TMessage& Message) {
  TCustomControl::WMSetFocus(Message);
  Invalidate();
}

void TFcCustomComboBox::WMKillFocus(TMessage& Message) {
  TCustomControl::WMKillFocus(Message);
  Invalidate();
}

// ---- TFcComboBox ----

TFcComboBox::TFcComboBox(TComponent* AOwner) : TFcCustomComboBox(AOwner), FValues(std::make_unique<TStringList>()) {}

TFcComboBox::~TFcComboBox() = default;

std::string TFcComboBox::Value() const {
  const int index = ItemIndex();
  if (index < 0) return {};
  if (index < FValues->Count() && !FValues->Strings(index).empty()) return FValues->Strings(index);
  return Items()->Strings(index);
}

void TFcComboBox::SetValue(const std::string& Value) {
  for (int i = 0; i < Items()->Count(); ++i) {
    const std::string v = i < FValues->Count() && !FValues->Strings(i).empty() ? FValues->Strings(i) : Items()->Strings(i);
    if (v == Value) {
      SetItemIndex(i);
      return;
    }
  }
  SetItemIndex(-1);
}

void TFcCustomComboBox::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomComboBox, TCustomControl> FcCustomComboBoxInfo([](auto& p) {
  using C = TFcCustomComboBox;
  p.Int("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Bool("ParentColor", &C::ParentColor, &C::SetParentColor).Default(false);
  p.Bool("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
  p.String("Text", &C::Text, &C::SetText);
  p.Enum("Style", &C::Style, &C::SetStyle).Default(fc::csDropDown);
  p.Object("Items", &C::Items, &C::SetItems);
  p.Int("ItemIndex", &C::ItemIndex, &C::SetItemIndex).Default(-1);
  p.Int("DropDownCount", &C::DropDownCount, &C::SetDropDownCount).Default(8);
  p.Bool("ReadOnly", &C::ReadOnly, &C::SetReadOnly).Default(false);
  p.Bool("Sorted", &C::Sorted, &C::SetSorted).Default(false);
  p.Enum("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Default(fsFlat);
  p.Bool("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false);
  p.Int("FrameColor", &C::FrameColor, &C::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Bool("FlatButtons", &C::FlatButtons, &C::SetFlatButtons).Default(false);
  p.Int("FlatButtonColor", &C::FlatButtonColor, &C::SetFlatButtonColor).Default(clBtnFace).Idents(ColorIdents());
  p.Int("ReadOnlyColor", &C::ReadOnlyColor, &C::SetReadOnlyColor).Default(clInfoBk).Idents(ColorIdents());
  p.Int("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents());
  p.Enum("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes);
  p.Event("OnChange", &C::OnChange);
  p.Event("OnSelect", &C::OnSelect);
});
static const classes::TPublished<TFcComboBox, TFcCustomComboBox> FcComboBoxInfo([](auto& p) {
  p.Object("Values", &TFcComboBox::Values, &TFcComboBox::SetValues);
});
