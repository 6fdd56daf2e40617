#pragma once
// The tab controls: TFcCustomTabControl (a strip of tabs along one side of a card), the page
// control TFcPageControl that shows one of its TFcTabSheet pages in the card, one tab per
// page whose tab is visible. They keep what window definitions set, draw the tabs as plain
// boxes (the active one raised and joined to the card) and change pages on a click or Ctrl+Tab.
#include <functional>
#include <vector>

#include "controls/base/FcCommon.h"
#include "platform/controls/Controls.h"

enum TFcTabOrientation { toTop, toLeft, toBottom, toRight };
enum TFcTabStyle { tsSingleSlant, tsDoubleSlant, tsCutCorner, tsRoundCorners, tsBackSlant, tsSquareCorners };
const classes::TEnumInfo& EnumInfo(TFcTabOrientation);
const classes::TEnumInfo& EnumInfo(TFcTabStyle);

using TFcTabChangingEvent = std::function<void(TObject* Sender, int NewIndex, bool& AllowChange)>;

class TFcTabSheet;

class TFcCustomTabControl : public TCustomControl {
 public:
  explicit TFcCustomTabControl(TComponent* AOwner);

  TFcTabOrientation TabOrientation() const { return FTabOrientation; }
  void SetTabOrientation(TFcTabOrientation Value);
  TFcTabStyle TabStyle() const { return FTabStyle; }
  void SetTabStyle(TFcTabStyle Value) { Store(FTabStyle, Value); }
  // 0: the height of a line of the font plus a margin.
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int Value);
  // 0: as wide as the caption plus a margin.
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value) { Store(FTabWidth, Value); }
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value) { Store(FMultiLine, Value); }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  bool BoldCurrentTab() const { return FBoldCurrentTab; }
  void SetBoldCurrentTab(bool Value) { Store(FBoldCurrentTab, Value); }
  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor Value) { Store(FBackgroundColor, Value); }
  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value) { Store(FShowFocusRect, Value); }
  bool UseColoredTabs() const { return FUseColoredTabs; }
  void SetUseColoredTabs(bool Value) { Store(FUseColoredTabs, Value); }

  // The tabs' captions, in order, and the selected one (-1: none).
  int TabCount() const { return static_cast<int>(TabCaptions().size()); }
  int TabIndex() const { return FTabIndex; }
  // Selects a tab; OnChanging may refuse; OnChange follows a change.
  void SetTabIndex(int Value);
  // The tab at a client point, or -1.
  int TabAtPos(TPoint Pos);
  // The rectangle of tab Index in client coordinates.
  TRect TabRect(int Index);

  void AdjustClientRect(TRect& Rect) override;

  TFcTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

 protected:
  virtual std::vector<std::string> TabCaptions() const = 0;
  // Keeps the arrow keys (and typed characters) for itself rather than for dialog navigation.
  void WndProc(TMessage& Message) override;
  // Tab Index became the selected one.
  virtual void TabChanged() {}
  // True when the change to NewIndex is allowed.
  bool CanChange(int NewIndex);
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  int StripHeight();
  void SetTabIndexSilently(int Value) { FTabIndex = Value; }
  template <class V>
  void Store(V& Field, V Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }

 private:
  TFcTabOrientation FTabOrientation = toTop;
  TFcTabStyle FTabStyle = tsSingleSlant;
  int FTabHeight = 0;
  int FTabWidth = 0;
  bool FMultiLine = false;
  bool FHotTrack = false;
  bool FBoldCurrentTab = false;
  TColor FBackgroundColor = clBtnFace;
  bool FShowFocusRect = true;
  bool FUseColoredTabs = false;
  int FTabIndex = -1;
};

class TFcPageControl : public TFcCustomTabControl {
 public:
  explicit TFcPageControl(TComponent* AOwner);
  ~TFcPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TFcTabSheet* Pages(int Index) const { return FPages.at(Index); }
  TFcTabSheet* ActivePage() const { return FActivePage; }
  // Shows Page (one of this control's pages) and hides the one shown before.
  void SetActivePage(TFcTabSheet* Page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int Value);
  // The next or previous page with a visible tab after Current (wrapping).
  TFcTabSheet* FindNextPage(TFcTabSheet* Current, bool GoForward);
  void SelectNextPage(bool GoForward);

  void Loaded() override;

 protected:
  std::vector<std::string> TabCaptions() const override;
  void TabChanged() override;

 private:
  friend class TFcTabSheet;
  void InsertPage(TFcTabSheet* Page);
  void RemovePage(TFcTabSheet* Page);
  // The page of tab Index (pages whose tab is hidden have none).
  TFcTabSheet* PageOfTab(int Index) const;
  int TabOfPage(TFcTabSheet* Page) const;
  void UpdateTabIndex();

  std::vector<TFcTabSheet*> FPages;
  TFcTabSheet* FActivePage = nullptr;
};

class TFcTabSheet : public TCustomControl {
 public:
  explicit TFcTabSheet(TComponent* AOwner);
  ~TFcTabSheet() override;

  TFcPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TFcPageControl* Value);
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The index of the page's tab, -1 when its tab is hidden.
  int TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  bool TabEnabled() const { return FTabEnabled; }
  void SetTabEnabled(bool Value) { FTabEnabled = Value; }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }

  void SetParent(TWinControl* AParent) override;

  // When the page becomes the shown one / stops being it.
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;

 private:
  friend class TFcPageControl;
  TFcPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
  bool FTabEnabled = true;
  int FImageIndex = -1;
};
