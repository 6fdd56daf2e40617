#include "controls/input/FcDBChk.h"

#include "platform/rtl/Strings.h"

TFcDBCheckBox::TFcDBCheckBox(TComponent* AOwner) : TFcCustomCheckBox(AOwner) {
  FBinding.Link().OnDataChange = [this](TObject*) { DataChange(); };
  FBinding.Link().OnActiveChange = [this](TObject*) { DataChange(); };
}

fc::TCheckBoxState TFcDBCheckBox::FieldState() const {
  TField* field = Field();
  if (!field || field->IsNull()) return fc::cbUnchecked;
  if (field->DataType() == ftBoolean) return field->AsBoolean() ? fc::cbChecked : fc::cbUnchecked;
  return SameText(field->Text(), FValueChecked) ? fc::cbChecked : fc::cbUnchecked;
}

void TFcDBCheckBox::DataChange() {
  // Showing the field is no click of the user: the state changes without OnClick.
  ShowState(FieldState());
}

void TFcDBCheckBox::ChangeState() {
  if (ReadOnly() || !Enabled()) return;
  TField* field = Field();
  if (field) {
    if (!FBinding.Edit()) return;
    const bool check = State() != fc::cbChecked;
    if (field->DataType() == ftBoolean) field->SetAsBoolean(check);
    else field->SetAsString(check ? FValueChecked : FValueUnchecked);
    // The field's change has shown the new state already; the click follows it.
    ShowState(FieldState());
    TFcCustomGlyphButton::Click();
    return;
  }
  TFcCustomCheckBox::ChangeState();
}

void TFcDBCheckBox::SetValueChecked(const std::string& Value) {
  FValueChecked = Value;
  DataChange();
}

void TFcDBCheckBox::SetValueUnchecked(const std::string& Value) {
  FValueUnchecked = Value;
  DataChange();
}

void TFcDBCheckBox::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomCheckBox::Notification(AComponent, Operation);
  FBinding.Notification(AComponent, Operation);
}

static const classes::TPublished<TFcDBCheckBox, TFcCustomCheckBox> FcDBCheckBoxInfo([](auto& p) {
  fc::PublishFieldBinding(p);
  p.String("ValueChecked", &TFcDBCheckBox::ValueChecked, &TFcDBCheckBox::SetValueChecked);
  p.String("ValueUnchecked", &TFcDBCheckBox::ValueUnchecked, &TFcDBCheckBox::SetValueUnchecked);
});
