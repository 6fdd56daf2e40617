#pragma once
// Framed panels: TFcCustomPanel (a container with an outer frame, a border ring, an inner frame
// and a caption), the published TFcPanel, the group box and the status bar. They keep the
// settings window definitions give them and draw plainly: background, frames, caption.
#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"

class TFcCustomPanel : public TCustomControl {
 public:
  explicit TFcCustomPanel(TComponent* AOwner);

  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  void SetBorderOuter(TFrameStyleEx Value) { Store(FBorderOuter, Value); }
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  void SetBorderInner(TFrameStyleEx Value) { Store(FBorderInner, Value); }
  TSides BorderSides() const { return FBorderSides; }
  void SetBorderSides(TSides Value) { Store(FBorderSides, Value); }
  // The ring between the outer and the inner frame is drawn in BorderColor (its width is the
  // windowed control's BorderWidth).
  TColor BorderColor() const { return FBorderColor; }
  void SetBorderColor(TColor Value) { Store(FBorderColor, Value); }
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value) { Store(FBevelWidth, Value); }
  // A transparent panel leaves its background unpainted.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value) { Store(FTransparent, Value); }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { Store(FAlignment, Value); }
  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  void SetAlignmentVertical(TAlignmentVertical Value) { Store(FAlignmentVertical, Value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { Store(FWordWrap, Value); }
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool Value) { FFullRepaint = Value; }
  bool ParentBackground() const { return FParentBackground; }
  void SetParentBackground(bool Value) { FParentBackground = Value; }

  // The client area inside the frames: aligned children are laid out there.
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;
  // What lies inside the frames of the whole control.
  TRect InsideFrames();
  // Paints the caption inside R (the group box draws it in its top frame instead).
  virtual void PaintCaption(TRect R);
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Realign();
    Invalidate();
  }

 private:
  TFrameStyleEx FBorderOuter = fsRaised;
  TFrameStyleEx FBorderInner = fsNone;
  TSides FBorderSides = AllSides;
  TColor FBorderColor = clBtnFace;
  int FBevelWidth = 1;
  bool FTransparent = false;
  TAlignment FAlignment = taCenter;
  TAlignmentVertical FAlignmentVertical = avCenter;
  bool FWordWrap = false;
  bool FFullRepaint = true;
  bool FParentBackground = false;
};

class TFcPanel : public TFcCustomPanel {
 public:
  explicit TFcPanel(TComponent* AOwner) : TFcCustomPanel(AOwner) {}
};

// A panel whose caption sits in the gap of its top frame.
class TFcCustomGroupBox : public TFcCustomPanel {
 public:
  explicit TFcCustomGroupBox(TComponent* AOwner);
  void AdjustClientRect(TRect& Rect) override;

 protected:
  void Paint() override;
  void PaintCaption(TRect R) override;
};

class TFcGroupBox : public TFcCustomGroupBox {
 public:
  explicit TFcGroupBox(TComponent* AOwner) : TFcCustomGroupBox(AOwner) {}
};

// A panel at the bottom of its parent that holds status panes.
class TFcStatusBar : public TFcCustomPanel {
 public:
  explicit TFcStatusBar(TComponent* AOwner);
};
