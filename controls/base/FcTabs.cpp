#include "controls/base/FcTabs.h"

#include <algorithm>
#include <cstdlib>

#include "platform/os/Input.h"

const classes::TEnumInfo& EnumInfo(TFcTabOrientation) {
  static const classes::TEnumInfo info{"TFcTabOrientation", {"toTop", "toLeft", "toBottom", "toRight"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcTabStyle) {
  static const classes::TEnumInfo info{
      "TFcTabStyle", {"tsSingleSlant", "tsDoubleSlant", "tsCutCorner", "tsRoundCorners", "tsBackSlant", "tsSquareCorners"}};
  return info;
}

// ---- TFcCustomTabControl ----

TFcCustomTabControl::TFcCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TFcCustomTabControl::SetTabOrientation(TFcTabOrientation Value) {
  if (Value == FTabOrientation) return;
  FTabOrientation = Value;
  Realign();
  Invalidate();
}

void TFcCustomTabControl::SetTabHeight(int Value) {
  if (Value == FTabHeight) return;
  FTabHeight = Value;
  Realign();
  Invalidate();
}

int TFcCustomTabControl::StripHeight() {
  return FTabHeight > 0 ? FTabHeight : std::abs(Font()->Height()) + 8;
}

bool TFcCustomTabControl::CanChange(int NewIndex) {
  bool allow = true;
  if (OnChanging) OnChanging(this, NewIndex, allow);
  return allow;
}

void TFcCustomTabControl::SetTabIndex(int Value) {
  if (Value < -1 || Value >= TabCount() || Value == FTabIndex) return;
  if (!HasState(csLoading) && !CanChange(Value)) return;
  FTabIndex = Value;
  TabChanged();
  Invalidate();
  if (!HasState(csLoading) && OnChange) OnChange(this);
}

TRect TFcCustomTabControl::TabRect(int Index) {
  std::vector<std::string> captions = TabCaptions();
  if (Index < 0 || Index >= static_cast<int>(captions.size())) return {};
  const int height = StripHeight();
  const bool bottom = FTabOrientation == toBottom;
  const int top = bottom ? Height() - height : 0;
  Canvas()->SetFont(Font());
  int x = 2;
  for (int i = 0; i <= Index; ++i) {
    const int width = FTabWidth > 0 ? FTabWidth : Canvas()->TextWidth(captions[i]) + 12;
    if (i == Index) return {x, top, x + width, top + height};
    x += width;
  }
  return {};
}

int TFcCustomTabControl::TabAtPos(TPoint Pos) {
  for (int i = 0; i < TabCount(); ++i)
    if (TabRect(i).Contains(Pos)) return i;
  return -1;
}

void TFcCustomTabControl::AdjustClientRect(TRect& Rect) {
  const int height = StripHeight();
  if (FTabOrientation == toBottom) Rect.Bottom -= height;
  else Rect.Top += height;
  Rect = {Rect.Left + 2, Rect.Top + 2, Rect.Right - 2, Rect.Bottom - 2};
}

void TFcCustomTabControl::Paint() {
  TCanvas* canvas = Canvas();
  fc::FillSolid(canvas, ClientRect(), FBackgroundColor);
  const int height = StripHeight();
  const bool bottom = FTabOrientation == toBottom;
  TRect card = bottom ? TRect{0, 0, Width(), Height() - height} : TRect{0, height, Width(), Height()};
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(card);
  TRect frame = card;
  fc::DrawFrame(canvas, frame, fsRaised);
  std::vector<std::string> captions = TabCaptions();
  for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
    TRect tab = TabRect(i);
    const bool active = i == FTabIndex;
    if (!active) tab = bottom ? TRect{tab.Left, tab.Top, tab.Right, tab.Bottom - 2} : TRect{tab.Left, tab.Top + 2, tab.Right, tab.Bottom};
    fc::FillSolid(canvas, tab, active ? Color() : FBackgroundColor);
    TRect edge = tab;
    fc::DrawFrame(canvas, edge, fsRaised, bottom ? TSides{sdLeft, sdRight, sdBottom} : TSides{sdLeft, sdTop, sdRight});
    canvas->SetFont(Font());
    if (active && FBoldCurrentTab) canvas->Font()->SetStyle(canvas->Font()->Style() + TFontStyles{fsBold});
    fc::DrawCaption(canvas, tab, captions[i], taCenter, avCenter);
    if (active && Focused() && FShowFocusRect) {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->DrawFocusRect({tab.Left + 3, tab.Top + 3, tab.Right - 3, tab.Bottom - 3});
    }
  }
}

void TFcCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    int index = TabAtPos({X, Y});
    if (index >= 0) {
      if (CanFocus()) SetFocus();
      SetTabIndex(index);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TFcCustomTabControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (TabCount() == 0) return;
  if (Key == VK_RIGHT || (Key == VK_TAB && Shift.Contains(ssCtrl) && !Shift.Contains(ssShift))) {
    SetTabIndex((FTabIndex + 1) % TabCount());
    Key = 0;
  } else if (Key == VK_LEFT || (Key == VK_TAB && Shift.Contains(ssCtrl) && Shift.Contains(ssShift))) {
    SetTabIndex((FTabIndex + TabCount() - 1) % TabCount());
    Key = 0;
  }
}

// ---- TFcPageControl ----

TFcPageControl::TFcPageControl(TComponent* AOwner) : TFcCustomTabControl(AOwner) {}

TFcPageControl::~TFcPageControl() {
  for (TFcTabSheet* page : FPages) page->FPageControl = nullptr;
}

std::vector<std::string> TFcPageControl::TabCaptions() const {
  std::vector<std::string> captions;
  for (TFcTabSheet* page : FPages)
    if (page->TabVisible()) captions.push_back(page->Caption());
  return captions;
}

TFcTabSheet* TFcPageControl::PageOfTab(int Index) const {
  for (TFcTabSheet* page : FPages)
    if (page->TabVisible() && Index-- == 0) return page;
  return nullptr;
}

int TFcPageControl::TabOfPage(TFcTabSheet* Page) const {
  int index = 0;
  for (TFcTabSheet* page : FPages) {
    if (!page->TabVisible()) continue;
    if (page == Page) return index;
    ++index;
  }
  return -1;
}

void TFcPageControl::UpdateTabIndex() {
  SetTabIndexSilently(TabOfPage(FActivePage));
  Invalidate();
}

void TFcPageControl::InsertPage(TFcTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  Page->SetVisible(false);
  if (!FActivePage && !HasState(csLoading)) SetActivePage(Page);
  UpdateTabIndex();
}

void TFcPageControl::RemovePage(TFcTabSheet* Page) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  if (Page == FActivePage) {
    TFcTabSheet* next = FindNextPage(Page, true);
    FActivePage = nullptr;
    FPages.erase(it);
    if (next != Page) SetActivePage(next);
  } else {
    FPages.erase(it);
  }
  Page->FPageControl = nullptr;
  UpdateTabIndex();
}

void TFcPageControl::SetActivePage(TFcTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  if (Page == FActivePage) return;
  TFcTabSheet* old = FActivePage;
  FActivePage = Page;
  if (Page) {
    Page->SetBounds(Page->Left(), Page->Top(), Page->Width(), Page->Height());
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (old) {
    old->SetVisible(false);
    if (!HasState(csLoading) && old->OnHide) old->OnHide(old);
  }
  UpdateTabIndex();
  if (Page && !HasState(csLoading) && Page->OnShow) Page->OnShow(Page);
}

int TFcPageControl::ActivePageIndex() const {
  auto it = std::find(FPages.begin(), FPages.end(), FActivePage);
  return it == FPages.end() ? -1 : static_cast<int>(it - FPages.begin());
}

void TFcPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? FPages[Value] : nullptr);
}

TFcTabSheet* TFcPageControl::FindNextPage(TFcTabSheet* Current, bool GoForward) {
  if (FPages.empty()) return nullptr;
  auto it = std::find(FPages.begin(), FPages.end(), Current);
  int start = it == FPages.end() ? (GoForward ? PageCount() - 1 : 0) : static_cast<int>(it - FPages.begin());
  int i = start;
  for (int n = 0; n < PageCount(); ++n) {
    i = GoForward ? (i + 1) % PageCount() : (i + PageCount() - 1) % PageCount();
    if (FPages[i]->TabVisible()) return FPages[i];
  }
  return nullptr;
}

void TFcPageControl::SelectNextPage(bool GoForward) {
  TFcTabSheet* page = FindNextPage(FActivePage, GoForward);
  if (page && page != FActivePage && CanChange(TabOfPage(page))) {
    SetActivePage(page);
    if (OnChange) OnChange(this);
  }
}

void TFcPageControl::TabChanged() { SetActivePage(PageOfTab(TabIndex())); }

void TFcPageControl::Loaded() {
  TFcCustomTabControl::Loaded();
  TFcTabSheet* active = FActivePage;
  FActivePage = nullptr;
  for (TFcTabSheet* page : FPages) page->SetVisible(false);
  if (!active && !FPages.empty()) active = FindNextPage(nullptr, true);
  if (active) {
    FActivePage = active;
    active->SetVisible(true);
    active->BringToFront();
  }
  UpdateTabIndex();
}

// ---- TFcTabSheet ----

TFcTabSheet::TFcTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents, csDoubleClicks, csOpaque});
  SetAlign(alClient);
  SetVisible(false);
}

TFcTabSheet::~TFcTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TFcTabSheet::SetParent(TWinControl* AParent) {
  if (FPageControl && AParent != FPageControl) FPageControl->RemovePage(this);
  TCustomControl::SetParent(AParent);
  auto* control = dynamic_cast<TFcPageControl*>(AParent);
  if (control && FPageControl != control) control->InsertPage(this);
}

void TFcTabSheet::SetPageControl(TFcPageControl* Value) {
  if (Value == FPageControl) return;
  SetParent(Value);
}

int TFcTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TFcTabSheet::SetPageIndex(int Value) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  if (Value < 0 || Value >= static_cast<int>(pages.size())) return;
  pages.erase(std::find(pages.begin(), pages.end(), this));
  pages.insert(pages.begin() + Value, this);
  FPageControl->UpdateTabIndex();
}

int TFcTabSheet::TabIndex() const { return FPageControl ? FPageControl->TabOfPage(const_cast<TFcTabSheet*>(this)) : -1; }

void TFcTabSheet::SetTabVisible(bool Value) {
  if (Value == FTabVisible) return;
  FTabVisible = Value;
  if (FPageControl) FPageControl->UpdateTabIndex();
}

void TFcTabSheet::Paint() {
  Canvas()->Brush()->SetStyle(bsSolid);
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TFcTabSheet::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  if (FPageControl) FPageControl->Invalidate();
}

void TFcCustomTabControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---- published properties ----

static const classes::TPublished<TFcCustomTabControl, TCustomControl> FcCustomTabControlInfo([](auto& p) {
  using C = TFcCustomTabControl;
  p.Int("Color", &C::Color, &C::SetColor).Default(clBtnFace).Idents(ColorIdents()).Stored(&C::IsColorStored);
  p.Bool("ParentColor", &C::ParentColor, &C::SetParentColor).Default(false);
  p.Bool("TabStop", &C::TabStop, &C::SetTabStop).Default(true);
  p.Enum("TabOrientation", &C::TabOrientation, &C::SetTabOrientation).Default(toTop);
  p.Enum("TabStyle", &C::TabStyle, &C::SetTabStyle).Default(tsSingleSlant);
  p.Int("TabHeight", &C::TabHeight, &C::SetTabHeight).Default(0);
  p.Int("TabWidth", &C::TabWidth, &C::SetTabWidth).Default(0);
  p.Bool("MultiLine", &C::MultiLine, &C::SetMultiLine).Default(false);
  p.Bool("HotTrack", &C::HotTrack, &C::SetHotTrack).Default(false);
  p.Bool("BoldCurrentTab", &C::BoldCurrentTab, &C::SetBoldCurrentTab).Default(false);
  p.Int("BackgroundColor", &C::BackgroundColor, &C::SetBackgroundColor).Default(clBtnFace).Idents(ColorIdents());
  p.Bool("ShowFocusRect", &C::ShowFocusRect, &C::SetShowFocusRect).Default(true);
  p.Bool("UseColoredTabs", &C::UseColoredTabs, &C::SetUseColoredTabs).Default(false);
  p.Event("OnChanging", &C::OnChanging);
  p.Event("OnChange", &C::OnChange);
});
static const classes::TPublished<TFcPageControl, TFcCustomTabControl> FcPageControlInfo([](auto& p) {
  p.Component("ActivePage", &TFcPageControl::ActivePage, &TFcPageControl::SetActivePage);
});
static const classes::TPublished<TFcTabSheet, TCustomControl> FcTabSheetInfo([](auto& p) {
  using S = TFcTabSheet;
  p.Component("PageControl", &S::PageControl, &S::SetPageControl);
  p.Bool("TabVisible", &S::TabVisible, &S::SetTabVisible).Default(true);
  p.Bool("TabEnabled", &S::TabEnabled, &S::SetTabEnabled).Default(true);
  p.Int("ImageIndex", &S::ImageIndex, &S::SetImageIndex).Default(-1);
  p.Event("OnShow", &S::OnShow);
  p.Event("OnHide", &S::OnHide);
});
