#pragma once
// The weekday picker: seven check boxes that edit a weekday set ("1 2 3 4 5 6 7" form) for the
// task being edited in the main window.
#include <string>

#include "controls/base/FcButton.h"
#include "controls/base/FcLabel.h"
#include "controls/base/FcPanel.h"
#include "controls/base/FcRadChk.h"
#include "controls/input/FcSpnEdt.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"

class TForm3 : public TForm {
 public:
  explicit TForm3(TComponent* AOwner);
  ~TForm3() override;

  TFcPanel* FcPanel1 = nullptr;
  TFcPanel* FcPanel3 = nullptr;
  TImage* Image1 = nullptr;
  TFcLabel* FcLabel13 = nullptr;
  TFcRapidFireButton* FcRapidFireButton7 = nullptr;
  TFcCheckBox* FcCheckBox1 = nullptr;
  TFcCheckBox* FcCheckBox2 = nullptr;
  TFcCheckBox* FcCheckBox3 = nullptr;
  TFcCheckBox* FcCheckBox4 = nullptr;
  TFcCheckBox* FcCheckBox5 = nullptr;
  TFcCheckBox* FcCheckBox6 = nullptr;
  TFcCheckBox* FcCheckBox7 = nullptr;
  TFcBitBtn* FcBitBtn1 = nullptr;
  TFcBitBtn* FcBitBtn2 = nullptr;
  TFcBitBtn* FcBitBtn3 = nullptr;

  // The weekday set the window was opened with; "取消" goes back to it.
  std::string WeekText;

  // The close button's glyph and the title picture, once the definition is read.
  void Loaded() override;
  // Dragging the title picture moves the borderless window.
  void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  // Ticks the boxes of a weekday set; raises EConvertError for a part that is no integer.
  void LoadWeekdays(const std::string& Text);
  // Ticks the box of weekday 1..7; other numbers do nothing.
  void TickWeekday(int Digit);
  // The ticked weekdays as a weekday set.
  std::string WeekdaysText() const;
  void FcBitBtn1Click(TObject* Sender);
  void FcBitBtn2Click(TObject* Sender);
  void FcBitBtn3Click(TObject* Sender);
  void FcRapidFireButton7Click(TObject* Sender);

 private:
  TFcCheckBox* Box(int Digit) const;
};

extern TForm3* Form3;
