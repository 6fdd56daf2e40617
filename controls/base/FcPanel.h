#pragma once
// Framed panels: TFcCustomPanel, a container with an outer frame, a border ring and an inner
// frame of any frame style, a flat, gradient or transparent background, an optional design
// grid and a caption aligned both ways; the published TFcPanel; the group box in its six
// styles; and the status bar with its size grip and its simple-status mode.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"

namespace fc {
// A one-pixel rectangle in Colour with its four corner pixels left out (the flat frame of the
// status panes and of the status bar's simple caption).
void PaintCutCornerBox(TCanvas* Canvas, const TRect& R, TColor Colour);
// Adds or removes csOpaque: a transparent control lets its parent's painting show through.
void SetOpaque(TControl* Control, bool Opaque);

// The frame controller a control names, with the registration that goes with it.
class TFrameControllerLink {
 public:
  TFcFrameController* Controller() const { return FController; }
  // Unregisters Control from the old controller and registers it with Value (which pushes its
  // settings to it at once).
  void Set(TComponent* Control, TFcFrameController* Value);
  // Forgets the controller when it is the component going away.
  void Removed(const TComponent* AComponent) {
    if (AComponent == FController) FController = nullptr;
  }
  // Unregisters Control (the control goes away).
  void Release(TComponent* Control);

 private:
  TFcFrameController* FController = nullptr;
};
}  // namespace fc

enum TFcGridStyle { gsDots, gsDottedLines, gsSolidLines };
const classes::TEnumInfo& EnumInfo(TFcGridStyle);

class TFcCustomPanel : public TCustomPanel, public IFrameControllerClient {
 public:
  explicit TFcCustomPanel(TComponent* AOwner);
  ~TFcCustomPanel() override;

  bool QueryInterface(const TGUID& IID, void** Obj) override;
  // Takes the settings of the frame controller that its notifications let in.
  void ApplyFrameController() override;
  TFcFrameController* FrameController() const { return FFrameController.Controller(); }
  virtual void SetFrameController(TFcFrameController* Value);
  TFcFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TFcFrameControllerNotifications Value) {
    FFrameControllerNotifications = Value;
  }

  TAlignmentVertical AlignmentVertical() const { return FAlignmentVertical; }
  virtual void SetAlignmentVertical(TAlignmentVertical Value);
  TColor BorderColor() const { return FBorderColor; }
  virtual void SetBorderColor(TColor Value);
  TFrameStyleEx BorderInner() const { return FBorderInner; }
  virtual void SetBorderInner(TFrameStyleEx Value);
  TFrameStyleEx BorderOuter() const { return FBorderOuter; }
  virtual void SetBorderOuter(TFrameStyleEx Value);
  TSides BorderSides() const { return FBorderSides; }
  virtual void SetBorderSides(TSides Value);
  TColor BorderHighlight() const { return FBorderHighlight; }
  virtual void SetBorderHighlight(TColor Value);
  TColor BorderShadow() const { return FBorderShadow; }
  virtual void SetBorderShadow(TColor Value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor Value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int Value);
  TFcGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  virtual void SetGradientColorStyle(TFcGradientColorStyle Value);
  TColor GradientColorStart() const { return FGradientColorStart; }
  virtual void SetGradientColorStart(TColor Value);
  TColor GradientColorStop() const { return FGradientColorStop; }
  virtual void SetGradientColorStop(TColor Value);
  TGradientDirection GradientDirection() const { return FGradientDirection; }
  virtual void SetGradientDirection(TGradientDirection Value);
  TColor GridColor() const { return FGridColor; }
  virtual void SetGridColor(TColor Value);
  TFcGridStyle GridStyle() const { return FGridStyle; }
  virtual void SetGridStyle(TFcGridStyle Value);
  uint16_t GridXSize() const { return FGridXSize; }
  virtual void SetGridXSize(uint16_t Value);
  uint16_t GridYSize() const { return FGridYSize; }
  virtual void SetGridYSize(uint16_t Value);
  bool PaintClientArea() const { return FPaintClientArea; }
  virtual void SetPaintClientArea(bool Value);
  bool ShowGrid() const { return FShowGrid; }
  virtual void SetShowGrid(bool Value);
  bool ShowDockClientCaptions() const { return FShowDockClientCaptions; }
  void SetShowDockClientCaptions(bool Value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  int TextMargin() const { return FTextMargin; }
  virtual void SetTextMargin(int Value);
  int TextMarginVertical() const { return FTextMarginVertical; }
  virtual void SetTextMarginVertical(int Value);
  bool WordWrap() const { return FWordWrap; }
  virtual void SetWordWrap(bool Value);
  TFcVisualStyle VisualStyle() const { return FVisualStyle; }
  virtual void SetVisualStyle(TFcVisualStyle Value);

  // Window definitions store these for panels that children dock into; nothing docks yet.
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool Value) { FDockSite = Value; }
  bool UseDockManager() const { return FUseDockManager; }
  void SetUseDockManager(bool Value) { FUseDockManager = Value; }

  TNotifyEvent OnPaint;

  // With alBottom a new height keeps the bottom edge (and with alRight a new width the right
  // edge) where it was.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The area inside the frames (the border ring is in it).
  TRect ClientRect() override;
  // The mouse position in client coordinates.
  virtual TPoint CursorClientPos();
  // Shrinks Rect by the frames on BorderSides, and by the border ring when IncludeBorderWidth.
  virtual void ShrinkRectByBorders(TRect& Rect, bool IncludeBorderWidth);
  virtual TRect GetFullRect();
  virtual TPoint GetResizeInvalidateMargin();
  virtual void GetGradientColors(TColor& Start, TColor& Stop);
  virtual void GetFrameColors(TColor& FlatColor, int& Adjustment);

 protected:
  virtual void DrawCaption(TRect Rect);
  virtual void DrawGrid(TRect Rect);
  void Paint() override;
  // The children are aligned inside the frames and the border ring.
  void AdjustClientRect(TRect& Rect) override;
  void WndProc(TMessage& Message) override;
  void DefineProperties(TFiler* Filer) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WMWindowPosChanged(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  // The border ring is painted by the panel itself, so it is part of the client area.
  void WMNCCalcSize(TMessage& Message) override;
  void WMNCPaint(TMessage& Message) override;
  // A new border width moves the children and the frames: realign and repaint.
  void CMBorderChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  // A child leaving the panel is forgotten by the enabled-children memory.
  virtual void CMControlChange(TMessage& Message);
  virtual void WMThemeChanged(TMessage& Message);
  // A frame change realigns the children and repaints.
  void FrameChanged();
  // What DrawText flags the caption takes (word break, alignment).
  UINT CaptionFlags() const;

  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

  // Fields the frame controller and the status bar write directly.
  TFrameStyleEx FBorderOuter = fsRaised;
  TFrameStyleEx FBorderInner = fsNone;
  TSides FBorderSides = AllSides;
  TColor FBorderColor = clBtnFace;
  TColor FBorderHighlight = clBtnHighlight;
  TColor FBorderShadow = clBtnShadow;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;

 private:
  struct TEnabledChild {
    TControl* Child;
    bool Enabled;
  };

  TAlignmentVertical FAlignmentVertical = avCenter;
  TFcGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FGradientColorStart = clWhite;
  TColor FGradientColorStop = clBtnFace;
  TGradientDirection FGradientDirection = gdHorizontalEnd;
  TColor FGridColor = clBtnShadow;
  TFcGridStyle FGridStyle = gsDots;
  uint16_t FGridXSize = 8;
  uint16_t FGridYSize = 8;
  bool FPaintClientArea = true;
  bool FShowGrid = false;
  bool FShowDockClientCaptions = true;
  bool FTransparent = false;
  int FTextMargin = 0;
  int FTextMarginVertical = 0;
  TFcVisualStyle FVisualStyle = vsWinXP;
  bool FWordWrap = true;
  bool FDockSite = false;
  bool FUseDockManager = false;
  fc::TFrameControllerLink FFrameController;
  TFcFrameControllerNotifications FFrameControllerNotifications = AllFrameControllerNotifications;
  TSize FOldSize;
  // Which children were enabled when the panel was disabled.
  std::vector<TEnabledChild> FEnabledChildren;
};

class TFcPanel : public TFcCustomPanel {
 public:
  explicit TFcPanel(TComponent* AOwner) : TFcCustomPanel(AOwner) {}
};

enum TFcGroupBoxStyle { gsStandard, gsCustom, gsTopLine, gsFlat, gsBanner, gsUnderline };
const classes::TEnumInfo& EnumInfo(TFcGroupBoxStyle);

// A panel with its caption in or on its top frame.
class TFcCustomGroupBox : public TFcCustomPanel {
 public:
  explicit TFcCustomGroupBox(TComponent* AOwner);

  TFcGroupBoxStyle GroupStyle() const { return FGroupStyle; }
  virtual void SetGroupStyle(TFcGroupBoxStyle Value);
  int BannerHeight() const { return FBannerHeight; }
  virtual void SetBannerHeight(int Value);
  // Only a custom-styled group box takes the frame controller's settings.
  void ApplyFrameController() override;

 protected:
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void CMDialogChar(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  // Where the caption goes, in client coordinates (empty for gsCustom and an empty caption).
  TRect CaptionRect();

 private:
  int TextHeightOf(const std::string& Sample);
  TFcGroupBoxStyle FGroupStyle = gsFlat;
  int FBannerHeight = 0;
};

class TFcGroupBox : public TFcCustomGroupBox {
 public:
  explicit TFcGroupBox(TComponent* AOwner) : TFcCustomGroupBox(AOwner) {}
};

// A panel at the bottom of its parent that holds status panes, with a size grip in its
// bottom-right corner and a single-caption mode (SimpleStatus).
class TFcStatusBar : public TFcCustomPanel {
 public:
  explicit TFcStatusBar(TComponent* AOwner);
  ~TFcStatusBar() override;

  bool AutoScalePanes() const { return FAutoScalePanes; }
  void SetAutoScalePanes(bool Value) { FAutoScalePanes = Value; }
  bool AutoStyle() const { return FAutoStyle; }
  void SetAutoStyle(bool Value) { FAutoStyle = Value; }
  bool ShowSizeGrip() const { return FShowSizeGrip; }
  virtual void SetShowSizeGrip(bool Value);
  const std::string& SimpleCaption() const { return FSimpleCaption; }
  virtual void SetSimpleCaption(const std::string& Value);
  bool SimpleStatus() const { return FSimpleStatus; }
  virtual void SetSimpleStatus(bool Value);
  TFrameStyle SimpleFrameStyle() const { return FSimpleFrameStyle; }
  virtual void SetSimpleFrameStyle(TFrameStyle Value);

  // Setting a frame by hand ends the automatic style.
  void SetBorderInner(TFrameStyleEx Value) override;
  void SetBorderOuter(TFrameStyleEx Value) override;
  void SetBorderSides(TSides Value) override;

  // Whether the grip resizes the form now (a sizeable form that is not maximized).
  bool SizeGripUsable() const { return FSizeGripValid; }
  // The grip's rectangle in client coordinates.
  TRect SizeGripRect() const { return {Width() - 13, 0, Width(), Height()}; }
  TRect ClientRect() override;
  void GetGradientColors(TColor& Start, TColor& Stop) override;
  void Loaded() override;

 protected:
  virtual void DrawSimpleFrame(TRect Rect);
  virtual void ResetStatusBarLayout();
  void Paint() override;
  void Resize() override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMSetCursor(TMessage& Message) override;

 private:
  void UpdateSizeGrip();
  void PaintSizeGrip();

  bool FAutoScalePanes = false;
  bool FAutoStyle = true;
  bool FShowSizeGrip = true;
  std::string FSimpleCaption;
  bool FSimpleStatus = false;
  TFrameStyle FSimpleFrameStyle = fsFlat;
  bool FSizeGripValid = false;
  int FLastWidth = 0;
  int FDelta = 0;
  bool FFirstResize = true;
  std::unique_ptr<TControlCanvas> FGripCanvas;
};
