#pragma once
// The framed edits: TFcCustomEdit (one line of text in a frame, typed at its end), the
// published TFcEdit, and TFcDateTimeEdit (a date or a time of day shown in Format). They keep
// what window definitions set and draw plainly. Descendants may reserve a strip at the right
// edge for buttons (spin buttons, an edit button).
#include <functional>

#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"
#include "platform/rtl/DateTime.h"

class TFcCustomEdit : public TCustomControl {
 public:
  explicit TFcCustomEdit(TComponent* AOwner);

  bool ReadOnly() const { return FReadOnly; }
  virtual void SetReadOnly(bool Value) { Store(FReadOnly, Value); }
  // 0: no limit (in characters).
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value) { FMaxLength = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value) { Store(FFrameStyle, Value); }
  bool FrameVisible() const { return FFrameVisible; }
  void SetFrameVisible(bool Value) { Store(FFrameVisible, Value); }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor Value) { Store(FFrameColor, Value); }
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor Value) { Store(FFocusColor, Value); }
  TColor DisabledColor() const { return FDisabledColor; }
  void SetDisabledColor(TColor Value) { Store(FDisabledColor, Value); }
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  void SetReadOnlyColor(TColor Value) { Store(FReadOnlyColor, Value); }
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  void SetFramingPreference(TFramingPreference Value) { FFramingPreference = Value; }
  // Shown greyed while the edit is empty.
  const std::string& TextHint() const { return FTextHint; }
  void SetTextHint(const std::string& Value) { Store(FTextHint, Value); }
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool Value) { FTabOnEnter = Value; }
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  bool FlatButtons() const { return FFlatButtons; }
  void SetFlatButtons(bool Value) { Store(FFlatButtons, Value); }
  TColor FlatButtonColor() const { return FFlatButtonColor; }
  void SetFlatButtonColor(TColor Value) { Store(FFlatButtonColor, Value); }
  // Whether typing and deleting change the text (read-only edits and edits whose key
  // editing is switched off refuse it).
  virtual bool CanEditByKeys() const { return !FReadOnly; }

  // Fires after every change of the text (typed or set).
  TNotifyEvent OnChange;

 protected:
  // Fires OnChange.
  virtual void Change();
  // Keeps the arrow keys (and typed characters) for itself rather than for dialog navigation.
  void WndProc(TMessage& Message) override;
  // The width of the strip at the right edge reserved for buttons.
  virtual int ButtonAreaWidth() { return 0; }
  // Paints the buttons in the strip R.
  virtual void PaintButtons(TRect R) { (void)R; }
  // A press of the left button inside the strip (client coordinates).
  virtual void ButtonAreaMouseDown(int X, int Y) { (void)X; (void)Y; }
  // The text as the edit shows it.
  virtual std::string DisplayText() { return Text(); }
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMChar(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void CMTextChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  // The frame's rectangle and the text's rectangle inside it.
  TRect EditRect();
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  bool FReadOnly = false;
  int FMaxLength = 0;
  TAlignment FAlignment = taLeftJustify;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TColor FFrameColor = clBtnShadow;
  TColor FFocusColor = clWindow;
  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  TFramingPreference FFramingPreference = fpXPThemes;
  std::string FTextHint;
  bool FTabOnEnter = false;
  bool FAutoSelect = true;
  bool FFlatButtons = false;
  TColor FFlatButtonColor = clBtnFace;
};

class TFcEdit : public TFcCustomEdit {
 public:
  explicit TFcEdit(TComponent* AOwner) : TFcCustomEdit(AOwner) {}
};

enum TFcDTEditType { etDate, etTime };
const classes::TEnumInfo& EnumInfo(TFcDTEditType);
using TFcDateTimeChangeEvent = std::function<void(TObject* Sender, TDateTime DateTime)>;

// A framed edit holding one date-time value shown in Format (a date with etDate, a time of
// day with etTime). Up and Down step it by a day or a second; text typed into it is taken
// when it loses the focus or Enter is pressed, and refused (the value shown again) when it
// does not read as a date or time.
class TFcDateTimeEdit : public TFcCustomEdit {
 public:
  explicit TFcDateTimeEdit(TComponent* AOwner);

  TFcDTEditType EditType() const { return FEditType; }
  void SetEditType(TFcDTEditType Value);
  // Empty: the locale's short date or long time format.
  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& Value);
  TDateTime Value() const { return FValue; }
  void SetValue(TDateTime Value);
  TDateTime Date() const { return DateOf(FValue); }
  void SetDate(TDateTime Value) { SetValue(DateOf(Value) + TimeOf(FValue)); }
  TDateTime Time() const { return TimeOf(FValue); }
  void SetTime(TDateTime Value) { SetValue(DateOf(FValue) + TimeOf(Value)); }
  // Texts of the pop-up pickers, kept for them.
  const std::string& CaptionAM() const { return FCaptionAM; }
  void SetCaptionAM(const std::string& Value) { FCaptionAM = Value; }
  const std::string& CaptionPM() const { return FCaptionPM; }
  void SetCaptionPM(const std::string& Value) { FCaptionPM = Value; }
  const std::string& CaptionSet() const { return FCaptionSet; }
  void SetCaptionSet(const std::string& Value) { FCaptionSet = Value; }
  const std::string& CaptionTodayBtn() const { return FCaptionToday; }
  void SetCaptionTodayBtn(const std::string& Value) { FCaptionToday = Value; }
  const std::string& CaptionClearBtn() const { return FCaptionClear; }
  void SetCaptionClearBtn(const std::string& Value) { FCaptionClear = Value; }
  // The value as text in the edit's format.
  std::string ValueText(TDateTime Value) const;

  TFcDateTimeChangeEvent OnDateTimeChange;

  void Loaded() override;

 protected:
  // The value changed (fires OnDateTimeChange).
  virtual void DateTimeChanged();
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WMKillFocus(TMessage& Message) override;
  // Takes the typed text as the value, or shows the value again.
  void AcceptText();
  void ShowValue();

 private:
  TFcDTEditType FEditType = etDate;
  std::string FFormat;
  TDateTime FValue = 0;
  std::string FCaptionAM = "AM";
  std::string FCaptionPM = "PM";
  std::string FCaptionSet = "Set";
  std::string FCaptionToday = "Today";
  std::string FCaptionClear = "Clear";
};
