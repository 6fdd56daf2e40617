#include "controls/input/FcDBCmbo.h"

TFcDBComboBox::TFcDBComboBox(TComponent* AOwner)
    : TFcCustomComboBox(AOwner), FValues(std::make_unique<TStringList>()) {
  FBinding.Link().OnDataChange = [this](TObject*) { DataChange(); };
  FBinding.Link().OnActiveChange = [this](TObject*) { DataChange(); };
}

TFcDBComboBox::~TFcDBComboBox() = default;

std::string TFcDBComboBox::ItemValue(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return {};
  if (Index < FValues->Count() && !FValues->Strings(Index).empty()) return FValues->Strings(Index);
  return Items()->Strings(Index);
}

void TFcDBComboBox::DataChange() {
  FShowingField = true;
  TField* field = Field();
  const std::string value = field ? field->Text() : std::string();
  int index = -1;
  for (int i = 0; i < Items()->Count() && index < 0; ++i)
    if (ItemValue(i) == value) index = i;
  SetItemIndex(index);
  if (index < 0) SetText(value);
  FShowingField = false;
}

void TFcDBComboBox::Change() {
  if (!FShowingField && Field()) {
    if (!FBinding.Edit()) {
      DataChange();
      return;
    }
    FShowingField = true;
    Field()->SetAsString(ItemValue(ItemIndex()));
    FShowingField = false;
  }
  TFcCustomComboBox::Change();
}

void TFcDBComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomComboBox::Notification(AComponent, Operation);
  FBinding.Notification(AComponent, Operation);
}

static const classes::TPublished<TFcDBComboBox, TFcCustomComboBox> FcDBComboBoxInfo([](auto& p) {
  fc::PublishFieldBinding(p);
  p.Object("Values", &TFcDBComboBox::Values, &TFcDBComboBox::SetValues);
});
