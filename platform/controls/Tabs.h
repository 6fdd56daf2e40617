#pragma once
// Tab controls: a row of tabs along the top of a page area, drawn in the classic style (the
// selected tab raised a little and joined to the page). A press on a tab selects it, as do
// the Left and Right keys while the control has the focus; OnChanging may refuse the change,
// OnChange follows it.
//
// TTabControl shows the strings of Tabs; TPageControl shows one tab per TTabSheet child (its
// Caption) and shows the sheet of the selected tab, the others hidden.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/controls/Controls.h"

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TCustomTabControl : public TCustomControl {
 public:
  explicit TCustomTabControl(TComponent* AOwner);
  ~TCustomTabControl() override;

  // The selected tab (-1: none). Setting it asks no one; the user's changes go through
  // OnChanging.
  int TabIndex() const { return FTabIndex; }
  void SetTabIndex(int Value);
  // 0: as wide as the caption and a margin / as high as the font.
  int TabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  int TabHeight() const { return FTabHeight; }
  void SetTabHeight(int Value);
  // The tab at a client point (-1: none).
  int IndexOfTabAt(int X, int Y);
  // A tab's rectangle (as drawn when not selected).
  TRect TabRect(int Index);
  // The area inside the page frame, where the page's controls go.
  TRect DisplayRect();

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

 protected:
  // The captions of the tabs.
  virtual int TabCount() = 0;
  virtual std::string TabCaption(int Index) = 0;
  virtual bool CanChange();
  virtual void Change();
  // Selects a tab for the user: asks CanChange, then changes and reports.
  void SelectTab(int Index);
  void TabsChanged();
  void AdjustClientRect(TRect& Rect) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void WndProc(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  int RowHeight();

 private:
  void DrawTab(TCanvas* Canvas, int Index, bool Selected);

  int FTabIndex = -1;
  int FTabWidth = 0;
  int FTabHeight = 0;
};

class TTabControl : public TCustomTabControl {
 public:
  explicit TTabControl(TComponent* AOwner);
  TStrings* Tabs() const { return FTabs.get(); }
  void SetTabs(TStrings* Value) { FTabs->Assign(Value); }

 protected:
  int TabCount() override { return FTabs->Count(); }
  std::string TabCaption(int Index) override { return FTabs->Strings(Index); }

 private:
  std::unique_ptr<TStringList> FTabs;
};

class TPageControl;

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;
  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* Value);
  // The position among the page control's pages (-1 without one).
  int PageIndex() const;
  void SetPageIndex(int Value);
  // The position among the visible tabs (-1 when the sheet's tab is hidden).
  int TabIndex() const;
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool Value);
  void SetParent(TWinControl* AParent) override;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void Paint() override;
  void CMTextChanged(TMessage& Message) override;
  void CMShowingChanged(TMessage& Message) override;

 private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

class TPageControl : public TCustomTabControl {
 public:
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int Index) const { return FPages.at(static_cast<size_t>(Index)); }
  TTabSheet* ActivePage() const { return FActivePage; }
  // Shows the page (nil: none) and selects its tab.
  void SetActivePage(TTabSheet* Value);
  int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
  void SetActivePageIndex(int Value);
  // The next (or previous) page with a visible tab after Current, wrapping round.
  TTabSheet* FindNextPage(TTabSheet* Current, bool GoForward);
  void SelectNextPage(bool GoForward);
  // Showing one of its pages (or a control on one) makes that page the active one.
  void ShowControl(TControl* AControl) override;

 protected:
  int TabCount() override;
  std::string TabCaption(int Index) override;
  void Change() override;
  void Loaded() override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* Page);
  void RemovePage(TTabSheet* Page);
  void MovePage(TTabSheet* Page, int Index);
  // The sheets with visible tabs, in page order.
  std::vector<TTabSheet*> TabbedPages() const;
  void UpdateTabs();
  void ShowActive();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
};
