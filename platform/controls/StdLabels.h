#pragma once
// TCustomLabel and TLabel: a window-less control that shows a caption. The caption's "&x"
// marks an accelerator: pressing Alt+X (or X where the form takes plain letters) moves the
// focus to FocusControl. A label sizes itself to its text (AutoSize), aligns the text left,
// right or centred (Alignment) and top, centre or bottom (Layout), wraps it at word breaks
// (WordWrap), shortens it with an ellipsis (EllipsisPosition), lets its parent show through
// (Transparent) and, when disabled, shows its text embossed: a highlight copy one pixel right
// and down under a shadow copy.
#include <string>

#include "platform/classes/Alignment.h"
#include "platform/controls/Controls.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
const classes::TEnumInfo& EnumInfo(TTextLayout);
const classes::TEnumInfo& EnumInfo(TEllipsisPosition);

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);
  // The parent's picture shows through where there is no text.
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool Value);
  TEllipsisPosition EllipsisPosition() const { return FEllipsisPosition; }
  void SetEllipsisPosition(TEllipsisPosition Value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* Value);
  void SetAutoSize(bool Value) override;

 protected:
  // The text shown (the caption).
  virtual std::string GetLabelText();
  // Draws the text in Rect with DrawText Flags (DT_CALCRECT: measures it into Rect).
  virtual void DoDrawText(TRect& Rect, UINT Flags);
  // Sizes the label to its text when AutoSize is on (a right-aligned label keeps its right
  // edge); nothing while loading.
  virtual void AdjustBounds();
  // The DrawText flags of the alignment, word wrap, accelerator and ellipsis settings.
  UINT DrawTextFlags();
  void Paint() override;
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void WndProc(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

 private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TEllipsisPosition FEllipsisPosition = epNone;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* AOwner) : TCustomLabel(AOwner) {}
};
