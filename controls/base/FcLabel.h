#pragma once
// TFcLabel: the library's label, a window-less control on the platform's label. Beyond it the
// label draws its caption raised, recessed or with a drop shadow, rotated by any angle or laid
// character by character along an arc, inside an outer and an inner frame with a band between
// them; it changes colour under the mouse (fly-by), blinks in step with every other blinking
// control, shortens its caption with an end or path ellipsis, and takes frame settings from a
// frame controller. Auto-size fits the control to the text and everything around it.
#include <functional>
#include <string>

#include "controls/base/FcCommon.h"
#include "controls/base/FcPanel.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdLabels.h"

// How the caption lies: straight, rotated by Angle, or along an arc around CenterPoint.
enum TRotation { roNone, roFlat, roCurve };
// The centre of the arc of curved text (and the reference point of straight text).
enum TCenterPoint {
  cpUpperLeft, cpUpperCenter, cpUpperRight, cpLeftCenter, cpCenter, cpRightCenter, cpLowerLeft, cpLowerCenter,
  cpLowerRight
};
// What happens to a caption wider than the label: nothing, "..." at its end, or "..." inside
// it, keeping the last part of a path.
enum TFcCondenseCaption { ccNone, ccAtEnd, ccWithinPath };
const classes::TEnumInfo& EnumInfo(TRotation);
const classes::TEnumInfo& EnumInfo(TCenterPoint);
const classes::TEnumInfo& EnumInfo(TFcCondenseCaption);

class TFcLabel : public TCustomLabel, public IFrameControllerClient {
 public:
  explicit TFcLabel(TComponent* AOwner);
  ~TFcLabel() override;

  bool QueryInterface(const TGUID& IID, void** Obj) override;
  // Takes the frame settings of the controller that FrameControllerNotifications let in.
  void ApplyFrameController() override;
  void Loaded() override;

  // Degrees, kept in 0..359 (-90 is 270, 450 is 90).
  int Angle() const { return FAngle; }
  virtual void SetAngle(int Value);
  TRotation Rotation() const { return FRotation; }
  virtual void SetRotation(TRotation Value);
  TCenterPoint CenterPoint() const { return FCenterPoint; }
  virtual void SetCenterPoint(TCenterPoint Value);
  TTextStyle TextStyle() const { return FTextStyle; }
  virtual void SetTextStyle(TTextStyle Value);
  // Raised and recessed text with only one of its two offset copies.
  bool LightTextStyle() const { return FLightTextStyle; }
  virtual void SetLightTextStyle(bool Value);
  TColor HighlightColor() const { return FHighlightColor; }
  virtual void SetHighlightColor(TColor Value);
  TColor ShadowColor() const { return FShadowColor; }
  virtual void SetShadowColor(TColor Value);
  int ShadowDepth() const { return FShadowDepth; }
  virtual void SetShadowDepth(int Value);
  int TextMargin() const { return FTextMargin; }
  virtual void SetTextMargin(int Value);

  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  virtual void SetBorderOuter(TFrameStyleEx Value);
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  virtual void SetBorderInner(TFrameStyleEx Value);
  TSides BorderSides() const { return FBorderSides; }
  virtual void SetBorderSides(TSides Value);
  int BorderWidth() const { return FBorderWidth; }
  virtual void SetBorderWidth(int Value);
  int BevelWidth() const { return FBevelWidth; }
  virtual void SetBevelWidth(int Value);
  TColor BorderColor() const { return FBorderColor; }
  virtual void SetBorderColor(TColor Value);
  TColor BorderHighlight() const { return FBorderHighlight; }
  virtual void SetBorderHighlight(TColor Value);
  TColor BorderShadow() const { return FBorderShadow; }
  virtual void SetBorderShadow(TColor Value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor Value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int Value);

  // Any value but ccNone switches AutoSize off.
  TFcCondenseCaption CondenseCaption() const { return FCondenseCaption; }
  virtual void SetCondenseCaption(TFcCondenseCaption Value);
  bool FlyByEnabled() const { return FFlyByEnabled; }
  virtual void SetFlyByEnabled(bool Value);
  TColor FlyByColor() const { return FFlyByColor; }
  virtual void SetFlyByColor(TColor Value);
  bool Blinking() const { return FBlinking; }
  virtual void SetBlinking(bool Value);
  TColor BlinkColor() const { return FBlinkColor; }
  virtual void SetBlinkColor(TColor Value);
  // The shared blinking list's intervals: one value for every blinking control.
  virtual uint16_t GetBlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(uint16_t Value);
  virtual uint16_t GetBlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(uint16_t Value);

  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameControllerNotifications = Value;
  }

  // The colour the caption is drawn in now: the font's, or BlinkColor in the blink phase.
  TColor CurrentTextColor() const { return FCurrentColor; }
  bool BlinkPhaseOn() const { return FBlinkOn; }
  // The point rotated text starts from (the centre) and curved text turns around.
  TPoint ReferencePoint();

  // Grows a measured text rectangle by what lies around the text: frames, band, margin, the
  // drop shadow and, for rotated text, the bounding box of the turned text.
  virtual void AdjustTextExtent(TRect& Rect);
  // The rectangle inside the frames (and the band, WithBorderWidth) on the chosen sides.
  virtual void ShrinkRectByBorders(TRect& Rect, bool WithBorderWidth);

 protected:
  // On: the blink colour shows; off: the remembered font colour. Repaints at once.
  virtual void ShowBlinkState(bool On);
  void Paint() override;
  void AdjustBounds() override;
  std::string GetLabelText() override { return Caption(); }
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMParentColorChanged(TMessage& Message) override;

 private:
  // The DrawText flags of straight text (alignment, tabs, reading order, wrap, prefix, condense).
  UINT TextFormat();
  void PaintStraightText(TCanvas* Canvas, const TRect& TextRect);
  void PaintRotatedText(TCanvas* Canvas, const TRect& TextRect);
  void PaintArcText(TCanvas* Canvas);
  // Draws the caption in R, placed by Layout (and moved for the drop shadow).
  void DrawStraightCopy(TCanvas* Canvas, TRect R, UINT Flags, TColor Colour);
  void PaintStyledCopies(const std::function<void(int, int, TColor)>& CopyAt, int ShadowOffset, int CaptionOffset);
  bool NeedsTrueTypeFont() const;
  template <class V>
  void StoreAndInvalidate(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  template <class V>
  void StoreAndResize(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    AdjustBounds();
    Invalidate();
  }

  int FAngle = 0;
  TRotation FRotation = roNone;
  TCenterPoint FCenterPoint = cpCenter;
  TTextStyle FTextStyle = tsNormal;
  bool FLightTextStyle = false;
  TColor FHighlightColor = clBtnHighlight;
  TColor FShadowColor = clBtnShadow;
  int FShadowDepth = 2;
  int FTextMargin = 0;
  TFrameStyleEx FBorderOuter = fsNone;
  TFrameStyleEx FBorderInner = fsNone;
  TSides FBorderSides = AllSides;
  int FBorderWidth = 0;
  int FBevelWidth = 1;
  TColor FBorderColor = clBtnFace;
  TColor FBorderHighlight = clBtnHighlight;
  TColor FBorderShadow = clBtnShadow;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  TFcCondenseCaption FCondenseCaption = ccNone;
  bool FFlyByEnabled = false;
  TColor FFlyByColor = clHighlight;
  bool FBlinking = false;
  TColor FBlinkColor = clHighlight;
  fc::TFrameControllerLink FFrameController;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;

  // The font colour blinking and the fly-by return to.
  TColor FRememberedColor = clWindowText;
  TColor FCurrentColor = clWindowText;
  bool FBlinkOn = false;
  // The font colour before the mouse entered (fly-by).
  TColor FSavedFontColor = clWindowText;
  // Raised while the font shows FlyByColor.
  bool FFlyByShown = false;
  // Raised while the constructor sets Color and ParentColor.
  bool FCreating = false;
};
