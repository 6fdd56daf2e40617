#include "platform/controls/Tabs.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/os/Input.h"
#include "platform/os/WindowDC.h"

namespace {
// The space beside a caption in a tab, and between the page frame and the page.
constexpr int kTabPadding = 12;
constexpr int kPageMargin = 4;
// How much higher the selected tab stands.
constexpr int kRise = 2;

TSize TextSize(TFont* Font, const std::string& Text) {
  HDC dc = GetDC(nullptr);
  TCanvas measure;
  measure.SetHandle(dc);
  measure.Font()->Assign(Font);
  TRect r{0, 0, 0x7FFF, 0};
  DrawText(measure.Handle(), Text.empty() ? std::string(" ") : Text, &r, DT_CALCRECT | DT_SINGLELINE);
  measure.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  return {r.Width(), r.Height()};
}
}  // namespace

// ---- TCustomTabControl ----

TCustomTabControl::TCustomTabControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(TControlStyle{csAcceptsControls, csCaptureMouse, csDoubleClicks, csOpaque, csClickEvents});
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
  SetColor(clBtnFace);
}

TCustomTabControl::~TCustomTabControl() = default;

void TCustomTabControl::SetTabIndex(int Value) {
  if (Value < -1 || Value >= TabCount()) Value = -1;
  if (FTabIndex == Value) return;
  FTabIndex = Value;
  Invalidate();
}

void TCustomTabControl::SetTabWidth(int Value) {
  if (FTabWidth == Value || Value < 0) return;
  FTabWidth = Value;
  TabsChanged();
}

void TCustomTabControl::SetTabHeight(int Value) {
  if (FTabHeight == Value || Value < 0) return;
  FTabHeight = Value;
  TabsChanged();
}

int TCustomTabControl::RowHeight() {
  const int tab = FTabHeight > 0 ? FTabHeight : TextSize(Font(), "Ag").cy + 6;
  return tab + kRise;
}

TRect TCustomTabControl::TabRect(int Index) {
  const int row = RowHeight();
  int x = kRise;
  for (int i = 0; i < TabCount(); ++i) {
    const int w = FTabWidth > 0 ? FTabWidth : TextSize(Font(), TabCaption(i)).cx + kTabPadding;
    if (i == Index) return {x, kRise, x + w, row};
    x += w;
  }
  return {};
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
  for (int i = 0; i < TabCount(); ++i)
    if (TabRect(i).Contains({X, Y})) return i;
  return -1;
}

TRect TCustomTabControl::DisplayRect() {
  TRect r = ClientRect();
  r.Top = RowHeight();
  InflateRect(&r, -kPageMargin, -kPageMargin);
  if (r.Bottom < r.Top) r.Bottom = r.Top;
  if (r.Right < r.Left) r.Right = r.Left;
  return r;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) { Rect = DisplayRect(); }

bool TCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::SelectTab(int Index) {
  if (Index < 0 || Index >= TabCount() || Index == FTabIndex || !CanChange()) return;
  FTabIndex = Index;
  Invalidate();
  Change();
}

void TCustomTabControl::TabsChanged() {
  if (FTabIndex >= TabCount()) FTabIndex = TabCount() - 1;
  Realign();
  Invalidate();
}

void TCustomTabControl::DrawTab(TCanvas* Canvas, int Index, bool Selected) {
  TRect r = TabRect(Index);
  if (Selected) {
    // Wider, higher and running into the page: no frame line between them.
    r.Left -= kRise;
    r.Right += kRise;
    r.Top -= kRise;
    r.Bottom += 2;
  }
  HDC dc = Canvas->Handle();
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  auto line = [&](int color, int x1, int y1, int x2, int y2) {
    Canvas->Pen()->SetColor(SystemColor(color));
    Canvas->MoveTo(x1, y1);
    Canvas->LineTo(x2, y2);
  };
  // The left and top in the highlight with a cut corner, the right in the shadows.
  line(COLOR_BTNHIGHLIGHT, r.Left, r.Bottom - 1, r.Left, r.Top + 1);
  line(COLOR_BTNHIGHLIGHT, r.Left + 1, r.Top + 1, r.Left + 2, r.Top);
  line(COLOR_BTNHIGHLIGHT, r.Left + 2, r.Top, r.Right - 2, r.Top);
  line(COLOR_BTNSHADOW, r.Right - 2, r.Top + 1, r.Right - 2, r.Bottom);
  line(COLOR_3DDKSHADOW, r.Right - 2, r.Top + 1, r.Right - 1, r.Top + 2);
  line(COLOR_3DDKSHADOW, r.Right - 1, r.Top + 2, r.Right - 1, r.Bottom);
  TRect text = TabRect(Index);
  if (Selected) OffsetRect(&text, 0, -1);
  Canvas->Brush()->SetStyle(bsClear);
  Canvas->Font()->Assign(Font());
  if (!Enabled()) Canvas->Font()->SetColor(clGrayText);
  const std::string caption = TabCaption(Index);
  DrawText(Canvas->Handle(), caption, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  Canvas->Brush()->SetStyle(bsSolid);
  if (Selected && Focused()) {
    TRect focus = text;
    InflateRect(&focus, -3, -3);
    DrawFocusRect(Canvas->Handle(), &focus);
  }
}

void TCustomTabControl::Paint() {
  TCanvas* canvas = Canvas();
  TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  TRect frame = client;
  frame.Top = RowHeight();
  DrawEdge(canvas->Handle(), &frame, EDGE_RAISED, BF_RECT);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  for (int i = 0; i < TabCount(); ++i)
    if (i != FTabIndex) DrawTab(canvas, i, false);
  if (FTabIndex >= 0) DrawTab(canvas, FTabIndex, true);
}

void TCustomTabControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft) {
    const int index = IndexOfTabAt(X, Y);
    if (index >= 0) {
      if (CanFocus() && !Focused()) SetFocus();
      SelectTab(index);
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomTabControl::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == VK_LEFT && FTabIndex > 0) SelectTab(FTabIndex - 1);
  else if (Key == VK_RIGHT && FTabIndex + 1 < TabCount()) SelectTab(FTabIndex + 1);
}

void TCustomTabControl::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS;
    return;
  }
  if (Message.Msg == WM_SETFOCUS || Message.Msg == WM_KILLFOCUS) Invalidate();
  TCustomControl::WndProc(Message);
}

void TCustomTabControl::CMFontChanged(TMessage& Message) {
  TCustomControl::CMFontChanged(Message);
  TabsChanged();
}

void TCustomTabControl::CMEnabledChanged(TMessage& Message) {
  TCustomControl::CMEnabledChanged(Message);
  Invalidate();
}

static const classes::TPublished<TCustomTabControl, TCustomControl> CustomTabControlInfo(
    [](classes::TPublisher<TCustomTabControl>& p) {
      p.Int("Color", &TCustomTabControl::Color, &TCustomTabControl::SetColor)
          .Default(clBtnFace)
          .Idents(ColorIdents())
          .Stored(&TCustomTabControl::IsColorStored);
      p.Bool("ParentColor", &TCustomTabControl::ParentColor, &TCustomTabControl::SetParentColor).Default(false);
      p.Bool("TabStop", &TCustomTabControl::TabStop, &TCustomTabControl::SetTabStop).Default(true);
      p.Int("TabHeight", &TCustomTabControl::TabHeight, &TCustomTabControl::SetTabHeight).Default(0);
      p.Int("TabWidth", &TCustomTabControl::TabWidth, &TCustomTabControl::SetTabWidth).Default(0);
      p.Event("OnChange", &TCustomTabControl::OnChange);
      p.Event("OnChanging", &TCustomTabControl::OnChanging);
    });

// ---- TTabControl ----

TTabControl::TTabControl(TComponent* AOwner) : TCustomTabControl(AOwner), FTabs(std::make_unique<TStringList>()) {
  FTabs->OnChange = [this](TObject*) { TabsChanged(); };
}

static const classes::TPublished<TTabControl, TCustomTabControl> TabControlInfo(
    [](classes::TPublisher<TTabControl>& p) {
      p.Object("Tabs", &TTabControl::Tabs, &TTabControl::SetTabs);
      p.Int("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex).Default(-1);
    });

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* AOwner) : TCustomControl(AOwner) {
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csOpaque});
  SetAlign(alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = nullptr;
}

void TTabSheet::SetParent(TWinControl* AParent) {
  TCustomControl::SetParent(AParent);
  auto* pc = dynamic_cast<TPageControl*>(AParent);
  if (pc == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  FPageControl = pc;
  if (pc) pc->InsertPage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) { SetParent(Value); }

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (FPageControl) FPageControl->MovePage(this, Value);
}

int TTabSheet::TabIndex() const {
  if (!FPageControl || !FTabVisible) return -1;
  const auto pages = FPageControl->TabbedPages();
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (!FPageControl) return;
  if (!Value && FPageControl->ActivePage() == this) {
    TTabSheet* next = FPageControl->FindNextPage(this, true);
    FPageControl->SetActivePage(next != this ? next : nullptr);
  }
  FPageControl->UpdateTabs();
}

void TTabSheet::Paint() {
  Canvas()->Brush()->SetColor(Color());
  Canvas()->FillRect(ClientRect());
}

void TTabSheet::CMTextChanged(TMessage& Message) {
  TCustomControl::CMTextChanged(Message);
  if (FPageControl) FPageControl->TabsChanged();
}

void TTabSheet::CMShowingChanged(TMessage& Message) {
  TCustomControl::CMShowingChanged(Message);
  if (Showing()) {
    if (OnShow) OnShow(this);
  } else if (OnHide) {
    OnHide(this);
  }
}

static const classes::TPublished<TTabSheet, TCustomControl> TabSheetInfo([](classes::TPublisher<TTabSheet>& p) {
  p.Bool("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible).Default(true);
  p.Event("OnShow", &TTabSheet::OnShow);
  p.Event("OnHide", &TTabSheet::OnHide);
});

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

std::vector<TTabSheet*> TPageControl::TabbedPages() const {
  std::vector<TTabSheet*> r;
  for (TTabSheet* p : FPages)
    if (p->TabVisible()) r.push_back(p);
  return r;
}

int TPageControl::TabCount() { return static_cast<int>(TabbedPages().size()); }

std::string TPageControl::TabCaption(int Index) { return TabbedPages().at(static_cast<size_t>(Index))->Caption(); }

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  if (!FActivePage && !HasState(csLoading) && Page->TabVisible()) SetActivePage(Page);
  else Page->SetVisible(Page == FActivePage);
  UpdateTabs();
}

void TPageControl::RemovePage(TTabSheet* Page) {
  if (FActivePage == Page) {
    TTabSheet* next = FindNextPage(Page, true);
    FActivePage = nullptr;
    if (next && next != Page) SetActivePage(next);
  }
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int Index) {
  auto it = std::find(FPages.begin(), FPages.end(), Page);
  if (it == FPages.end()) return;
  FPages.erase(it);
  Index = std::clamp(Index, 0, static_cast<int>(FPages.size()));
  FPages.insert(FPages.begin() + Index, Page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  TCustomTabControl::SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
  TabsChanged();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* Current, bool GoForward) {
  if (FPages.empty()) return nullptr;
  const int count = PageCount();
  int start = Current ? Current->PageIndex() : -1;
  if (start < 0) start = GoForward ? count - 1 : 0;
  int i = start;
  for (int n = 0; n < count; ++n) {
    i = (i + (GoForward ? 1 : count - 1)) % count;
    if (FPages[static_cast<size_t>(i)]->TabVisible()) return FPages[static_cast<size_t>(i)];
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward) {
  TTabSheet* next = FindNextPage(FActivePage, GoForward);
  if (next && next != FActivePage && CanChange()) {
    SetActivePage(next);
    TCustomTabControl::Change();
  }
}

void TPageControl::SetActivePage(TTabSheet* Value) {
  if (Value && Value->PageControl() != this) return;
  if (FActivePage == Value) return;
  FActivePage = Value;
  ShowActive();
  TCustomTabControl::SetTabIndex(Value ? Value->TabIndex() : -1);
}

void TPageControl::ShowControl(TControl* AControl) {
  auto* page = dynamic_cast<TTabSheet*>(AControl);
  if (page && page->FPageControl == this) SetActivePage(page);
  TCustomTabControl::ShowControl(AControl);
}

void TPageControl::SetActivePageIndex(int Value) {
  SetActivePage(Value >= 0 && Value < PageCount() ? FPages[static_cast<size_t>(Value)] : nullptr);
}

void TPageControl::ShowActive() {
  // The new page shows before the old one hides, so the focus can stay on the control.
  if (FActivePage) {
    FActivePage->BringToFront();
    FActivePage->SetVisible(true);
  }
  for (TTabSheet* p : FPages)
    if (p != FActivePage) p->SetVisible(false);
}

void TPageControl::Change() {
  // The user picked a tab: its page shows, then OnChange.
  const auto pages = TabbedPages();
  if (TabIndex() >= 0 && TabIndex() < static_cast<int>(pages.size())) {
    FActivePage = pages[static_cast<size_t>(TabIndex())];
    ShowActive();
  }
  TCustomTabControl::Change();
}

void TPageControl::Loaded() {
  TCustomTabControl::Loaded();
  if (!FActivePage) {
    const auto pages = TabbedPages();
    if (!pages.empty()) SetActivePage(pages.front());
  }
  ShowActive();
  UpdateTabs();
}

static const classes::TPublished<TPageControl, TCustomTabControl> PageControlInfo(
    [](classes::TPublisher<TPageControl>& p) {
      p.Component("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    });
