#pragma once
// TFcDBCheckBox: the library's check box showing and editing one field. The box is checked
// when the field's text is ValueChecked (or the Boolean field is true), unchecked otherwise;
// the user's toggle writes ValueChecked or ValueUnchecked into the field at once.
#include "controls/base/FcRadChk.h"
#include "controls/input/FcDBEdit.h"

class TFcDBCheckBox : public TFcCustomCheckBox {
 public:
  explicit TFcDBCheckBox(TComponent* AOwner);

  TDataSource* DataSource() const { return FBinding.DataSource(); }
  void SetDataSource(TDataSource* Value) { FBinding.SetDataSource(Value); }
  const std::string& DataField() const { return FBinding.DataField(); }
  void SetDataField(const std::string& Value) { FBinding.SetDataField(Value); }
  TField* Field() const { return FBinding.Field(); }
  const std::string& ValueChecked() const { return FValueChecked; }
  void SetValueChecked(const std::string& Value);
  const std::string& ValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const std::string& Value);

 protected:
  void ChangeState() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void DataChange();
  fc::TCheckBoxState FieldState() const;
  fc::TFieldBinding FBinding{this};
  std::string FValueChecked = "True";
  std::string FValueUnchecked = "False";
};
