#pragma once
// Status panes: window-less controls showing one line of text in a frame, normally inside a
// TFcStatusBar. TFcCustomStatusPane holds the frame, fill, caption, auto width and blinking;
// TFcPollingStatus runs on one timer shared by all polling panes (500 ms); TFcClockStatus shows
// the current date and time in Format and repaints only when that text changes.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/FcCommon.h"
#include "controls/base/FcPanel.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"

class TFcCustomStatusPane : public TGraphicControl, public IFrameControllerClient {
 public:
  explicit TFcCustomStatusPane(TComponent* AOwner);
  ~TFcCustomStatusPane() override;

  bool QueryInterface(const TGUID& IID, void** Obj) override;
  void ApplyFrameController() override;
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameControllerNotifications = Value;
  }

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment Value);
  int DefaultWidth() const { return FDefaultWidth; }
  virtual void SetDefaultWidth(int Value);
  bool Blinking() const { return FBlinking; }
  virtual void SetBlinking(bool Value);
  TColor BlinkColor() const { return FBlinkColor; }
  virtual void SetBlinkColor(TColor Value);
  // Shared by every blinking control of the program.
  virtual uint16_t GetBlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(uint16_t Value);
  virtual uint16_t GetBlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(uint16_t Value);
  int BorderWidth() const { return FBorderWidth; }
  virtual void SetBorderWidth(int Value);
  int CaptionOffset() const { return FCaptionOffset; }
  virtual void SetCaptionOffset(int Value);
  TColor FillColor() const { return FFillColor; }
  // Makes the fill the pane's own (ParentFillColor false).
  virtual void SetFillColor(TColor Value);
  bool IsFillColorStored() const { return !FParentFillColor; }
  bool ParentFillColor() const { return FParentFillColor; }
  virtual void SetParentFillColor(bool Value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor Value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  void SetAutoSize(bool Value) override;
  // The colour the caption is drawn in now (the font's, or BlinkColor in the blink phase).
  TColor CurrentTextColor() const { return FCurrentColor; }

  // The width auto size gives: DefaultWidth without a caption, else the caption's width with
  // the frame and the offsets.
  virtual int GetAutoWidth();
  // The area the caption is drawn in (inside the frame and the border).
  virtual void GetCaptionRect(TRect& Rect);
  // Whether the pane's right end lies over the size grip of the status bar it is on.
  virtual bool OverlapsSizeGrip();

  void Loaded() override;

 protected:
  void Paint() override;
  virtual void DrawPaneCaption(const std::string& Text);
  virtual void DrawPaneFrame();
  virtual void ShowBlinkState(bool On);
  virtual void UpdateAutoWidth();
  void WndProc(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  // Over the size grip the pane lets the status bar take the mouse.
  void CMHitTest(TMessage& Message) override;

  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  TAlignment FAlignment = taLeftJustify;
  int FDefaultWidth = 40;
  bool FBlinking = false;
  TColor FBlinkColor = clHighlight;
  int FBorderWidth = 1;
  int FCaptionOffset = 2;
  TColor FFillColor = clBtnFace;
  bool FParentFillColor = true;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  TFrameStyle FFrameStyle = fsFlat;
  bool FTransparent = true;
  TColor FNormalColor = clWindowText;
  TColor FCurrentColor = clWindowText;
  bool FBlinkShown = false;
  fc::TFrameControllerLink FFrameController;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;
};

class TFcPollingStatus : public TFcCustomStatusPane {
 public:
  explicit TFcPollingStatus(TComponent* AOwner);
  ~TFcPollingStatus() override;

  // The shared timer: switching it off on one pane stops every polling pane.
  bool Active() const { return GetActive(); }
  uint16_t Interval() const { return GetInterval(); }
  virtual bool GetActive() const;
  virtual void SetActive(bool Value);
  virtual uint16_t GetInterval() const;
  virtual void SetInterval(uint16_t Value);

  TNotifyEvent OnTimerExpired;

  // Runs on each tick of the shared timer while the pane is visible.
  virtual void TimerExpired();
};

// The list of polling panes and the one timer they share; exists while a polling pane does.
class TFcPollingList : public TObject {
 public:
  TFcPollingList();
  ~TFcPollingList() override;
  virtual int Count() const { return static_cast<int>(FPanes.size()); }
  virtual bool GetActive() const;
  virtual void SetActive(bool Value);
  virtual uint16_t GetInterval() const;
  virtual void SetInterval(uint16_t Value);
  void Add(TFcPollingStatus* Pane);
  void Remove(TFcPollingStatus* Pane);

 private:
  void Tick();
  std::unique_ptr<TTimer> FTimer;
  std::vector<TFcPollingStatus*> FPanes;
};

// The shared polling list, or nullptr when no polling pane exists.
TFcPollingList* PollingList();

using TFcGetDateTimeEvent = std::function<void(TObject* Sender, TDateTime& DateTime)>;

class TFcClockStatus : public TFcPollingStatus {
 public:
  explicit TFcClockStatus(TComponent* AOwner);

  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& Value);
  // The text shown: the date and time in Format, or the platform's date-time text when Format
  // is empty.
  const std::string& ClockText() const { return FClockText; }

  TFcGetDateTimeEvent OnGetDateTime;

  void GetCaptionRect(TRect& Rect) override;
  void Loaded() override;
  void TimerExpired() override;

 protected:
  virtual void UpdateTime();
  void Paint() override;

 private:
  std::string FFormat;
  std::string FClockText;
};
