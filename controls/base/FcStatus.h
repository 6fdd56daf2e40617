#pragma once
// Status panes: window-less controls showing one line of text in a frame. TFcCustomStatusPane
// holds the frame and caption, TFcPollingStatus refreshes itself every 500 ms, and
// TFcClockStatus shows the current date and time in Format. Drawn plainly.
#include <memory>

#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"

class TFcCustomStatusPane : public TGraphicControl {
 public:
  explicit TFcCustomStatusPane(TComponent* AOwner);

  TFrameStyle FrameStyle() const { return FFrameStyle; }
  void SetFrameStyle(TFrameStyle Value) { Store(FFrameStyle, Value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }
  bool AutoWidth() const { return FAutoWidth; }
  void SetAutoWidth(bool Value) { Store(FAutoWidth, Value); }
  int Margin() const { return FMargin; }
  void SetMargin(int Value) { Store(FMargin, Value); }
  bool Blinking() const { return FBlinking; }
  void SetBlinking(bool Value) { FBlinking = Value; }

 protected:
  void Paint() override;
  // The text the pane shows (its caption unless a descendant makes its own).
  virtual std::string PaneText() { return Caption(); }
  void CMTextChanged(TMessage& Message) override;
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  TFrameStyle FFrameStyle = fsStatus;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FAutoWidth = false;
  int FMargin = 2;
  bool FBlinking = false;
};

class TFcPollingStatus : public TFcCustomStatusPane {
 public:
  explicit TFcPollingStatus(TComponent* AOwner);
  ~TFcPollingStatus() override;

 protected:
  // Called every 500 ms; repaints the pane.
  virtual void TimerExpired();

 private:
  std::unique_ptr<TTimer> FTimer;
};

class TFcClockStatus : public TFcPollingStatus {
 public:
  explicit TFcClockStatus(TComponent* AOwner);

  const std::string& Format() const { return FFormat; }
  void SetFormat(const std::string& Value);
  // The text shown now.
  std::string Text() { return PaneText(); }

 protected:
  std::string PaneText() override;
  void TimerExpired() override;

 private:
  std::string FFormat = "c";
  std::string FShown;
};
