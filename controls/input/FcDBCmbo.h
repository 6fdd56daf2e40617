#pragma once
// TFcDBComboBox: the framed combo box bound to one field. The field holds a value; the combo
// shows the item whose value (Values, else its own text) it is. Choosing an item writes its
// value into the field at once.
#include "controls/input/FcCmboBx.h"
#include "controls/input/FcDBEdit.h"

class TFcDBComboBox : public TFcCustomComboBox {
 public:
  explicit TFcDBComboBox(TComponent* AOwner);
  ~TFcDBComboBox() override;

  TDataSource* DataSource() const { return FBinding.DataSource(); }
  void SetDataSource(TDataSource* Value) { FBinding.SetDataSource(Value); }
  const std::string& DataField() const { return FBinding.DataField(); }
  void SetDataField(const std::string& Value) { FBinding.SetDataField(Value); }
  TField* Field() const { return FBinding.Field(); }
  TStrings* Values() const { return FValues.get(); }
  void SetValues(TStrings* Value) { FValues->Assign(Value); }
  // The value stored for item Index.
  std::string ItemValue(int Index) const;

 protected:
  void Change() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void DataChange();
  fc::TFieldBinding FBinding{this};
  std::unique_ptr<TStringList> FValues;
  bool FShowingField = false;
};
