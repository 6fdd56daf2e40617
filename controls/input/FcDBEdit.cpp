#include "controls/input/FcDBEdit.h"

namespace fc {

TFieldBinding::TFieldBinding(TComponent* Control) : FControl(Control) { FLink.SetControl(Control); }

void TFieldBinding::SetDataSource(TDataSource* Value) {
  FLink.SetDataSource(Value);
  if (Value) Value->FreeNotification(FControl);
}

bool TFieldBinding::Edit() { return FLink.CanModify() && FLink.Edit(); }

void TFieldBinding::Notification(TComponent* AComponent, TOperation Operation) {
  if (Operation == opRemove && AComponent == FLink.DataSource()) FLink.SetDataSource(nullptr);
}

}  // namespace fc

// ---- TFcDBEdit ----

TFcDBEdit::TFcDBEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) {
  FBinding.Link().OnDataChange = [this](TObject*) { DataChange(); };
  FBinding.Link().OnActiveChange = [this](TObject*) { DataChange(); };
}

bool TFcDBEdit::CanEditByKeys() const {
  return TFcCustomEdit::CanEditByKeys() && FBinding.Link().CanModify();
}

void TFcDBEdit::DataChange() {
  FShowingField = true;
  TField* field = Field();
  SetText(field ? field->Text() : std::string());
  FShowingField = false;
}

void TFcDBEdit::Change() {
  if (!FShowingField && Field() && FBinding.Edit()) {
    FShowingField = true;
    Field()->SetAsString(Text());
    FShowingField = false;
  }
  TFcCustomEdit::Change();
}

void TFcDBEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomEdit::Notification(AComponent, Operation);
  FBinding.Notification(AComponent, Operation);
}

// ---- TFcDBDateTimeEdit ----

TFcDBDateTimeEdit::TFcDBDateTimeEdit(TComponent* AOwner) : TFcDateTimeEdit(AOwner) {
  FBinding.Link().OnDataChange = [this](TObject*) { DataChange(); };
  FBinding.Link().OnActiveChange = [this](TObject*) { DataChange(); };
}

void TFcDBDateTimeEdit::DataChange() {
  FShowingField = true;
  TField* field = Field();
  SetValue(field && !field->IsNull() ? field->AsDateTime() : TDateTime(0));
  FShowingField = false;
}

void TFcDBDateTimeEdit::DateTimeChanged() {
  if (!FShowingField && Field()) {
    if (!FBinding.Edit()) {
      DataChange();  // the field cannot take it: show its value again
      return;
    }
    FShowingField = true;
    Field()->SetAsDateTime(Value());
    FShowingField = false;
  }
  TFcDateTimeEdit::DateTimeChanged();
}

void TFcDBDateTimeEdit::Notification(TComponent* AComponent, TOperation Operation) {
  TFcDateTimeEdit::Notification(AComponent, Operation);
  FBinding.Notification(AComponent, Operation);
}

static const classes::TPublished<TFcDBEdit, TFcCustomEdit> FcDBEditInfo([](auto& p) { fc::PublishFieldBinding(p); });
static const classes::TPublished<TFcDBDateTimeEdit, TFcDateTimeEdit> FcDBDateTimeEditInfo([](auto& p) {
  fc::PublishFieldBinding(p);
});
