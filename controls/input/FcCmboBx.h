#pragma once
// The framed combo box: TFcCustomComboBox shows the item at ItemIndex (or its typed text) in
// a frame with a drop button; Up, Down, Home, End and the wheel choose another item, firing
// OnChange. TFcComboBox publishes it and adds Values, parallel to Items. It keeps what
// window definitions set and draws plainly; it has no drop-down list of its own yet.
#include <memory>

#include "controls/base/FcCommon.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Controls.h"

namespace fc {
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
const classes::TEnumInfo& EnumInfo(TComboBoxStyle);
}  // namespace fc

class TFcCustomComboBox : public TCustomControl {
 public:
  explicit TFcCustomComboBox(TComponent* AOwner);
  ~TFcCustomComboBox() override;

  TStrings* Items() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int ItemIndex() const { return FItemIndex; }
  // Shows item Value (-1: none); no OnChange, as for the platform's combo box.
  void SetItemIndex(int Value);
  fc::TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(fc::TComboBoxStyle Value) { Store(FStyle, Value); }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = Value; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value) { Store(FReadOnly, Value); }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value) { FSorted = Value; }
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value) { Store(FFrameStyle, Value); }
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value) { Store(FFrameVisible, Value); }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  bool FlatButtons() const { return FFlatButtons; }
  void SetFlatButtons(bool Value) { Store(FFlatButtons, Value); }
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor Value) { Store(FFlatButtonColor, Value); }
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  void SetReadOnlyColor(TColor Value) { Store(FReadOnlyColor, Value); }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor Value) { Store(FDisabledColor, Value); }
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  void SetFramingPreference(TFramingPreference Value) { FFramingPreference = Value; }
  // Chooses item Index as the user does: the text follows and OnChange fires.
  void SelectItem(int Index);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;

  void Loaded() override;

 protected:
  virtual void Change();
  // Keeps the arrow keys (and typed characters) for itself rather than for dialog navigation.
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  std::unique_ptr<TStringList> FItems;
  int FItemIndex = -1;
  fc::TComboBoxStyle FStyle = fc::csDropDown;
  int FDropDownCount = 8;
  bool FReadOnly = false;
  bool FSorted = false;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TColor FFrameColor = clBtnShadow;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  TColor FDisabledColor = clBtnFace;
  TFramingPreference FFramingPreference = fpXPThemes;
};

class TFcComboBox : public TFcCustomComboBox {
 public:
  explicit TFcComboBox(TComponent* AOwner);
  ~TFcComboBox() override;
  // The value of each item (an item without one stands for its own text).
  TStrings* Values() const { return FValues.get(); }
  void SetValues(TStrings* Value) { FValues->Assign(Value); }
  // The value of the chosen item; setting it chooses the item with that value.
  std::string Value() const;
  void SetValue(const std::string& Value);

 private:
  std::unique_ptr<TStringList> FValues;
};
