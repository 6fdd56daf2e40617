#pragma once
// The framed look shared by the library's tree and list views: a 2-pixel frame painted in the
// non-client area (optionally hot while focused or under the mouse), colours that follow the
// enabled and focused state, an optional frame controller that supplies these settings, the
// stored rules of the published frame properties and the names of earlier versions ("FrameFlat",
// "FrameFocusStyle", "FrameFlatStyle"), read and never written.
//
// TFcFramedView<Base> adds this to a platform view; it is made for TCustomTreeView and
// TCustomListView only (FcViewFrame.cpp).
#include "controls/base/FcCommon.h"
#include "platform/classes/Filer.h"
#include "platform/controls/Controls.h"
#include "platform/graphics/Idents.h"

template <class Base>
class TFcFramedView : public Base {
 public:
  explicit TFcFramedView(TComponent* AOwner);
  ~TFcFramedView() override;

  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor Value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor Value);
  // The colour chosen by the user, shown while neither disabled nor focused.
  TColor NormalColor() const { return FNormalColor; }
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor Value);
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor Value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool Value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle Value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides Value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle Value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool Value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference Value);
  TFcFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) { FFrameControllerNotifications = Value; }

  // The platform's themed border is used instead of the library frame.
  virtual bool ThemedLook() const;
  // The frame is drawn in its hot colour and style now.
  bool FrameIsHotNow() const { return FrameIsHot(FFrameHotTrack, FFocused, FMouseOver); }
  bool MouseOver() const { return FMouseOver; }

  bool IsColorStored() const;
  bool IsFocusColorStored() const;
  bool IsStoredByController(TFcFrameControllerProperty Property) const;
  template <TFcFrameControllerProperty P>
  bool IsStoredFor() const {
    return IsStoredByController(P);
  }

  void Loaded() override;

 protected:
  virtual void UpdateColors();
  virtual void UpdateFrame(bool ViaMouse, bool Active);
  virtual void RepaintFrame();
  // A new window for a changed FrameVisible (the list keeps its window while the controller
  // pushes the setting).
  virtual void FrameVisibleChanged();
  bool UpdatingColor() const { return FUpdatingColor; }
  bool HasFocusNow() const { return FFocused; }
  // The state before Color changed from outside is the new normal colour.
  void TakeNormalColor();

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefineProperties(TFiler* Filer) override;
  void CMColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void CMExit(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;
  void CMSysColorChange(TMessage& Message) override;
  void WMSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;

 private:
  template <class V>
  void StoreAndRepaint(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    RepaintFrame();
  }

  TColor FDisabledColor = clBtnFace;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  TColor FFrameColor = clBtnShadow;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = AllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  TFcFrameController* FFrameController = nullptr;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;
  bool FFocused = false;
  bool FMouseOver = false;
  bool FUpdatingColor = false;
  std::unique_ptr<TControlCanvas> FFrameCanvas;
};

// The published frame and colour properties of a framed view class C.
template <class C, class P>
void PublishFramedView(P& p) {
  p.Int("Color", &C::Color, &C::SetColor).Default(clWindow).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Int("DisabledColor", &C::DisabledColor, &C::SetDisabledColor).Default(clBtnFace).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpDisabledColor>);
  p.Int("FocusColor", &C::FocusColor, &C::SetFocusColor).Idents(ColorIdents()).Stored(&C::IsFocusColorStored);
  p.Int("FrameColor", &C::FrameColor, &C::SetFrameColor).Default(clBtnShadow).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpFrameColor>);
  p.Int("FrameHotColor", &C::FrameHotColor, &C::SetFrameHotColor).Default(clBtnShadow).Idents(ColorIdents())
      .Stored(&C::template IsStoredFor<fcpFrameHotColor>);
  p.Bool("FrameHotTrack", &C::FrameHotTrack, &C::SetFrameHotTrack).Default(false)
      .Stored(&C::template IsStoredFor<fcpFrameHotTrack>);
  p.Enum("FrameHotStyle", &C::FrameHotStyle, &C::SetFrameHotStyle).Default(fsFlatBold)
      .Stored(&C::template IsStoredFor<fcpFrameHotStyle>);
  p.template Set<TSide>("FrameSides", &C::FrameSides, &C::SetFrameSides).Default(AllSides)
      .Stored(&C::template IsStoredFor<fcpFrameSides>);
  p.Enum("FrameStyle", &C::FrameStyle, &C::SetFrameStyle).Default(fsFlat)
      .Stored(&C::template IsStoredFor<fcpFrameStyle>);
  p.Bool("FrameVisible", &C::FrameVisible, &C::SetFrameVisible).Default(false)
      .Stored(&C::template IsStoredFor<fcpFrameVisible>);
  p.Enum("FramingPreference", &C::FramingPreference, &C::SetFramingPreference).Default(fpXPThemes)
      .Stored(&C::template IsStoredFor<fcpFramingPreference>);
  p.Component("FrameController", &C::FrameController, &C::SetFrameController);
  p.template Set<TFcFrameControllerProperty>("FrameControllerNotifications", &C::FrameControllerNotifications,
                                             &C::SetFrameControllerNotifications)
      .Default(AllFrameControllerNotifications);
}
