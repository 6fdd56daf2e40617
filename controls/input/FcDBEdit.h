#pragma once
// Data-aware edits: TFcDBEdit (the framed edit showing one field's text) and
// TFcDBDateTimeEdit (the date and time edit exchanging its value with a date-time field).
// fc::TFieldBinding is the field data link every data-aware control of the library holds.
// A change by the user puts the dataset into edit mode and writes the field at once; a
// control whose field cannot be modified refuses the change.
#include <string>

#include "controls/input/FcEdit.h"
#include "platform/data/DataLink.h"

namespace fc {

// The binding of a control to one field of a data source: DataSource and DataField, kept in
// step through a field data link. The control is told when the data source goes away.
class TFieldBinding {
 public:
  explicit TFieldBinding(TComponent* Control);
  TFieldBinding(const TFieldBinding&) = delete;
  TFieldBinding& operator=(const TFieldBinding&) = delete;

  TFieldDataLink& Link() { return FLink; }
  const TFieldDataLink& Link() const { return FLink; }
  TDataSource* DataSource() const { return FLink.DataSource(); }
  void SetDataSource(TDataSource* Value);
  const std::string& DataField() const { return FLink.FieldName(); }
  void SetDataField(const std::string& Value) { FLink.SetFieldName(Value); }
  TField* Field() const { return FLink.Field(); }
  // Puts the dataset into edit mode; false when the field cannot be modified.
  bool Edit();
  // Forget a data source that is being freed.
  void Notification(TComponent* AComponent, TOperation Operation);

 private:
  TComponent* FControl;
  TFieldDataLink FLink;
};

// Publishes DataSource and DataField of a control T that has them.
template <class T>
void PublishFieldBinding(classes::TPublisher<T>& p) {
  p.Component("DataSource", &T::DataSource, &T::SetDataSource);
  p.String("DataField", &T::DataField, &T::SetDataField);
}

}  // namespace fc

class TFcDBEdit : public TFcCustomEdit {
 public:
  explicit TFcDBEdit(TComponent* AOwner);

  TDataSource* DataSource() const { return FBinding.DataSource(); }
  void SetDataSource(TDataSource* Value) { FBinding.SetDataSource(Value); }
  const std::string& DataField() const { return FBinding.DataField(); }
  void SetDataField(const std::string& Value) { FBinding.SetDataField(Value); }
  TField* Field() const { return FBinding.Field(); }
  bool CanEditByKeys() const override;

 protected:
  // Shows the field's text.
  virtual void DataChange();
  void Change() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  fc::TFieldBinding FBinding{this};
  bool FShowingField = false;
};

class TFcDBDateTimeEdit : public TFcDateTimeEdit {
 public:
  explicit TFcDBDateTimeEdit(TComponent* AOwner);

  TDataSource* DataSource() const { return FBinding.DataSource(); }
  void SetDataSource(TDataSource* Value) { FBinding.SetDataSource(Value); }
  const std::string& DataField() const { return FBinding.DataField(); }
  void SetDataField(const std::string& Value) { FBinding.SetDataField(Value); }
  TField* Field() const { return FBinding.Field(); }

 protected:
  void DateTimeChanged() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void DataChange();
  fc::TFieldBinding FBinding{this};
  bool FShowingField = false;
};
