#pragma once
// The options window: its controls hold the settings the other windows read directly; it also
// plays the prelude before a broadcast, starts the music once after start-up and performs the
// daily time actions (music start and stop, program close, computer shutdown).
#include <string>

#include "controls/base/FcButton.h"
#include "controls/base/FcLabel.h"
#include "controls/base/FcPanel.h"
#include "controls/base/FcRadChk.h"
#include "controls/input/FcBtnEdt.h"
#include "controls/input/FcEdit.h"
#include "controls/input/FcSpnEdt.h"
#include "controls/shell/FcShellDialogs.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/media/MPlayer.h"

class TForm2 : public TForm {
 public:
  explicit TForm2(TComponent* AOwner);
  ~TForm2() override;

  TFcPanel* FcPanel1 = nullptr;
  TFcPanel* FcPanel3 = nullptr;
  TImage* Image1 = nullptr;
  TFcLabel* FcLabel13 = nullptr;
  TFcLabel* FcLabel2 = nullptr;
  TFcRapidFireButton* FcRapidFireButton7 = nullptr;
  TFcRapidFireButton* FcRapidFireButton1 = nullptr;
  TFcRapidFireButton* FcRapidFireButton3 = nullptr;
  TFcCheckBox* FcCheckBox1 = nullptr;
  TFcCheckBox* FcCheckBox2 = nullptr;
  TFcCheckBox* FcCheckBox3 = nullptr;
  TFcCheckBox* FcCheckBox4 = nullptr;
  TFcCheckBox* FcCheckBox5 = nullptr;
  TFcCheckBox* FcCheckBox6 = nullptr;
  TFcCheckBox* FcCheckBox7 = nullptr;
  TFcCheckBox* FcCheckBox8 = nullptr;
  TFcCheckBox* FcCheckBox9 = nullptr;
  TFcCheckBox* FcCheckBox10 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit1 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit2 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit3 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit4 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit5 = nullptr;
  TFcDateTimeEdit* FcDateTimeEdit6 = nullptr;
  TFcButtonEdit* FcButtonEdit1 = nullptr;
  TFcSpinner* FcSpinner1 = nullptr;
  TFcBitBtn* FcBitBtn1 = nullptr;
  TFcBitBtn* FcBitBtn2 = nullptr;
  TFcBitBtn* FcBitBtn3 = nullptr;
  TMediaPlayer* MediaPlayer1 = nullptr;
  TFcOpenDialog* FcOpenDialog1 = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* Timer2 = nullptr;
  TTimer* Timer3 = nullptr;

  // Ticks of the time-action check since the last hourly look at the pending list.
  int TimeActionTickCount = 0;

  // The buttons' glyphs and the title picture, once the definition is read.
  void Loaded() override;
  void FormCreate(TObject* Sender);
  // Dragging the title picture moves the borderless window.
  void Image1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  // The controls from config.ini (keys that are absent leave their control as it is).
  void LoadOptions();
  // Prelude start and stop, the prelude monitor, the one-shot music start, the time actions.
  void FcRapidFireButton1Click(TObject* Sender);
  void FcRapidFireButton3Click(TObject* Sender);
  void Timer1Timer(TObject* Sender);
  void Timer2Timer(TObject* Sender);
  void Timer3Timer(TObject* Sender);
  void FcRapidFireButton7Click(TObject* Sender);
  void FcBitBtn3Click(TObject* Sender);

 private:
  // The prelude is over (or could not start): full volume, buttons back, the waiting broadcast plays.
  void EndPrelude();
};

extern TForm2* Form2;
