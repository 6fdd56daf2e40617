#include "controls/base/FcSplit.h"

#include <algorithm>
#include <cmath>

#include "platform/classes/Filer.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/graphics/Bitmap.h"
#include "platform/os/Input.h"
#include "platform/os/Painting.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TFixedPane) {
  static const classes::TEnumInfo info{"TFixedPane", {"fpUpperLeft", "fpLowerRight"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TSelectedPane) {
  static const classes::TEnumInfo info{"TSelectedPane", {"spUpperLeft", "spLowerRight"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TSplitterStyle) {
  static const classes::TEnumInfo info{"TSplitterStyle", {"ssStandard", "ssGroove", "ssBump", "ssGroupBar"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(THotSpotDirection) {
  static const classes::TEnumInfo info{"THotSpotDirection", {"hsdMin", "hsdMax", "hsdBoth"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcGroupBarGradientPath) {
  static const classes::TEnumInfo info{"TFcGroupBarGradientPath", {"gpTopToBottom", "gpBottomToTop"}};
  return info;
}

namespace {

// Taken to the nearest integer, halves to the even one.
int RoundEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

TPoint PointerIn(TControl* Control) {
  TPoint p;
  GetCursorPos(&p);
  return Control->ScreenToClient(p);
}

}  // namespace

int TFcSplitter::SplittersLoading = 0;

// ---- pane ----

TFcSplitterPane::TFcSplitterPane(TComponent* AOwner)
    : TFcCustomPanel(AOwner), FSplitter(dynamic_cast<TFcSplitter*>(AOwner)) {
  SetBorderOuter(fsNone);
  SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls, csDisplayDragImage});
  SetTabStop(false);
}

void TFcSplitterPane::WndProc(TMessage& Message) {
  // Where it has no child the pane lets the mouse through to the splitter.
  if (Message.Msg == WM_NCHITTEST && (ComponentState() & csDesigning) == 0 && !DockSite()) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TFcCustomPanel::WndProc(Message);
}

void TFcSplitterPane::CMVisibleChanged(TMessage& Message) {
  TFcCustomPanel::CMVisibleChanged(Message);
  if (FSplitter) FSplitter->PaneVisibilityChanged();
}

void TFcSplitterPane::CMEnter(TMessage& Message) {
  TFcCustomPanel::CMEnter(Message);
  Invalidate();
}

void TFcSplitterPane::CMExit(TMessage& Message) {
  TFcCustomPanel::CMExit(Message);
  Invalidate();
}

void TFcPaneData::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TFcPaneData*>(Source);
  if (!other) {
    TPersistent::Assign(Source);
    return;
  }
  SetBorderColor(other->BorderColor());
  SetBorderInner(other->BorderInner());
  SetBorderOuter(other->BorderOuter());
  SetBorderWidth(other->BorderWidth());
  SetColor(other->Color());
  SetFlatColor(other->FlatColor());
  SetFlatColorAdjustment(other->FlatColorAdjustment());
  SetDockSite(other->DockSite());
  SetShowDockClientCaptions(other->ShowDockClientCaptions());
  SetVisible(other->GetVisible());
}

// ---- splitter ----

TFcSplitter::TFcSplitter(TComponent* AOwner) : TFcCustomPanel(AOwner) {
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDisplayDragImage});
  SetBorderOuter(fsNone);
  SetBounds(Left(), Top(), 200, 100);
  for (int i = 0; i < 2; ++i) {
    FPanes[i] = new TFcSplitterPane(this);
    FPanes[i]->SetParent(this);
    FPaneData[i] = std::make_unique<TFcPaneData>(FPanes[i]);
  }
  // Shared cursor resources of the program; a missing one leaves the usual cursor.
  FCursors[0] = LoadCursor(nullptr, "FCSPLIT_HORZ");
  FCursors[1] = LoadCursor(nullptr, "FCSPLIT_HORZHOTSPOT");
  FCursors[2] = LoadCursor(nullptr, "FCSPLIT_VERT");
  FCursors[3] = LoadCursor(nullptr, "FCSPLIT_VERTHOTSPOT");
  LayoutPanes();
}

TFcSplitter::~TFcSplitter() {
  // The panes go with the owned components; they must not call back into a splitter that is
  // being taken apart.
  for (TFcSplitterPane* pane : FPanes)
    if (pane) pane->FSplitter = nullptr;
  EndGhost();
}

void TFcSplitter::CreateParams(TCreateParams& Params) {
  TFcCustomPanel::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

int TFcSplitter::AxisLength() const { return FOrientation == orVertical ? Height() : Width(); }

int TFcSplitter::PercentBase() const { return AxisLength() - FSplitterWidth / 2; }

bool TFcSplitter::BothVisible() const {
  return FPanes[0] && FPanes[1] && FPanes[0]->Visible() && FPanes[1]->Visible();
}

bool TFcSplitter::InHotSpot(TPoint P) const { return FHotSpotVisible && PtInRect(&FHotSpotBounds, P); }

// ---- position ----

void TFcSplitter::CalcPaneSpace(int& Position) {
  if (!BothVisible()) return;
  const bool ignoreMargins = FHotSpotClosed && FHotSpotIgnoreMargins;
  const int low = ignoreMargins ? 0 : FMarginMin;
  const int high = AxisLength() - (ignoreMargins ? 0 : FMarginMax) - FSplitterWidth - 2 * GetBarFrameWidth();
  if (Position < low) Position = low;
  if (Position > high) Position = high;
  // On a splitter too small for its bar there is no room at all: the bar sits at the edge.
  if (Position < 0) Position = 0;
}

void TFcSplitter::SetPosition(int Value) {
  if (Value == FPosition && !FInResize) return;
  CalcPaneSpace(Value);
  bool allow = true;
  if (OnChanging) OnChanging(this, Value, allow);
  if (!allow) return;
  FPosition = Value;
  const int base = PercentBase();
  FPercent = base == 0 ? 0 : RoundEven(static_cast<double>(FPosition) / base * 100);
  LayoutPanes();
  GetEffectivePosition();
  if (OnChange) OnChange(this);
}

void TFcSplitter::SetPositionByUser(int Value) {
  if (Value != FPosition) SetPosition(Value);
  RememberManualPosition(FPosition);
}

void TFcSplitter::GetEffectivePosition() {
  FFixedPaneSize = FFixedPane == fpLowerRight ? AxisLength() - FPosition : FPosition;
}

void TFcSplitter::RememberManualPosition(int Position) {
  FUserPosition = FFixedPane == fpLowerRight ? AxisLength() - Position : Position;
}

void TFcSplitter::SetPercent(int Value) {
  if (Value == FPercent) return;
  FPercent = Value;
  if (Loading()) return;
  SetUsePercent(true);
  SetPosition(RoundEven(FPercent / 100.0 * PercentBase()));
}

void TFcSplitter::SetUsePercent(bool Value) {
  if (Value == FUsePercent) return;
  FUsePercent = Value;
  if (Value) {
    FFixedPane = fpUpperLeft;
    SetPercentMin(FPercentMin);
    SetPercentMax(FPercentMax);
  }
  SetPosition(FPosition);
}

void TFcSplitter::SetPercentMin(int Value) {
  FPercentMin = std::max(Value, 0);
  if (!Loading() && FUsePercent) SetMarginMin(RoundEven(FPercentMin / 100.0 * PercentBase()));
}

void TFcSplitter::SetPercentMax(int Value) {
  FPercentMax = std::min(Value, 100);
  if (!Loading() && FUsePercent) {
    const int base = PercentBase();
    SetMarginMax(base - RoundEven(FPercentMax / 100.0 * base));
  }
}

void TFcSplitter::SetMarginMin(int Value) {
  Value = std::max(Value, 0);
  if (Value + FMarginMax > AxisLength()) Value = std::max(AxisLength() - FMarginMax, 0);
  FMarginMin = Value;
}

void TFcSplitter::SetMarginMax(int Value) {
  Value = std::max(Value, 0);
  if (FMarginMin + Value > AxisLength()) Value = std::max(AxisLength() - FMarginMin, 0);
  FMarginMax = Value;
}

void TFcSplitter::SetFixedPane(TFixedPane Value) {
  if (Value == FFixedPane) return;
  FFixedPane = Value;
  if (Value == fpLowerRight) FUsePercent = false;
  RememberManualPosition(FPosition);
  GetEffectivePosition();
}

void TFcSplitter::SetOrientation(TOrientation Value) {
  if (Value == FOrientation) return;
  FOrientation = Value;
  if (FUsePercent) {
    const int base = PercentBase();
    SetMarginMin(RoundEven(FPercentMin / 100.0 * base));
    SetMarginMax(base - RoundEven(FPercentMax / 100.0 * base));
    SetPosition(RoundEven(FPercent / 100.0 * base));
  }
  LayoutPanes();
  Invalidate();
}

void TFcSplitter::SetSelectedPane(TSelectedPane Value) { FSelectedPane = Value; }

TFcSplitterPane* TFcSplitter::SelectedPaneControl() const {
  return FSelectedPane == spUpperLeft ? FPanes[0] : FPanes[1];
}

void TFcSplitter::SetSplitterStyle(TSplitterStyle Value) {
  if (Value == FSplitterStyle) return;
  FSplitterStyle = Value;
  if (Value != ssStandard && FSplitterWidth < 6) SetSplitterWidth(6);
  Invalidate();
}

void TFcSplitter::SetSplitterWidth(uint16_t Value) {
  if (Value == FSplitterWidth) return;
  FSplitterWidth = Value;
  LayoutPanes();
  Invalidate();
}

void TFcSplitter::SetHotSpotVisible(bool Value) {
  if (Value == FHotSpotVisible) return;
  FHotSpotVisible = Value;
  if (Value && FSplitterWidth < 7) SetSplitterWidth(7);
  Invalidate();
}

void TFcSplitter::SetHotSpotSizePercent(int Value) {
  if (Value == FHotSpotSizePercent) return;
  FHotSpotSizePercent = Value;
  CalcHotSpotRect();
  Invalidate();
}

void TFcSplitter::ResetHotSpotState() {
  FHotSpotClosed = false;
  FHotSpotClosedToMin = false;
  FHotSpotClosedToMax = false;
}

TFcPaneData* TFcSplitter::GetPaneData(int Index) const { return FPaneData[Index == 1 ? 0 : 1].get(); }

void TFcSplitter::SetPaneData(int Index, TFcPaneData* Value) { GetPaneData(Index)->Assign(Value); }

void TFcSplitter::SetParentColor(bool Value) {
  TFcCustomPanel::SetParentColor(Value);
  for (TFcSplitterPane* pane : FPanes) pane->SetParentColor(Value);
}

void TFcSplitter::SetTransparent(bool Value) {
  TFcCustomPanel::SetTransparent(Value);
  for (TFcSplitterPane* pane : FPanes) pane->SetTransparent(Value);
}

// ---- layout ----

int TFcSplitter::GetBarFrameWidth() {
  // What the frames and the border take on the side the axis starts from (left, or top for a
  // horizontal bar); the far side is taken to be framed alike.
  TRect client = ClientRect();
  AdjustClientRect(client);
  return FOrientation == orVertical ? client.Top : client.Left;
}

void TFcSplitter::AlignControls(TControl* AControl, TRect& Rect) {
  TFcCustomPanel::AlignControls(AControl, Rect);
  // While a splitter finishes loading, controls move onto its panes: no splitter lays out
  // until they are all in place.
  if (SplittersLoading == 0) LayoutPanes();
}

void TFcSplitter::LayoutPanes() {
  if (Loading() || FInLayout || !FPanes[0] || !FPanes[1]) return;
  struct TGuard {
    TFcSplitter* Self;
    explicit TGuard(TFcSplitter* S) : Self(S) {
      Self->FInLayout = true;
      Self->DisableAlign();
    }
    ~TGuard() {
      Self->EnableAlign();
      Self->FInLayout = false;
    }
  } guard(this);
  TRect client = ClientRect();
  AdjustClientRect(client);
  const int l = client.Left, t = client.Top, w = client.Width(), h = client.Height();
  const int pos = FPosition, bar = FSplitterWidth;
  TFcSplitterPane* ul = FPanes[0];
  TFcSplitterPane* lr = FPanes[1];
  auto place = [](TControl* c, int L, int T, int W, int H) { c->SetBounds(L, T, std::max(W, 0), std::max(H, 0)); };
  if (ul->Visible() && lr->Visible()) {
    if (FOrientation == orHorizontal) {
      place(ul, l, t, pos, h);
      FBarBounds = Bounds(l + pos, t, bar, std::max(h, 0));
      place(lr, l + pos + bar, t, w - pos - bar, h);
    } else {
      place(ul, l, t, w, pos);
      FBarBounds = Bounds(l, t + pos, std::max(w, 0), bar);
      place(lr, l, t + pos + bar, w, h - pos - bar);
    }
  } else {
    FBarBounds = Bounds(l, t, 0, 0);
    if (ul->Visible()) place(ul, l, t, w, h);
    else place(ul, l, t, 0, 0);
    if (lr->Visible()) place(lr, l, t, w, h);
    else place(lr, l, t, 0, 0);
  }
  CalcHotSpotRect();
  for (TFcSplitterPane* pane : FPanes)
    for (int i = 0; i < pane->ControlCount(); ++i)
      if (auto* inner = dynamic_cast<TFcSplitter*>(pane->Controls(i))) inner->LayoutPanes();
  if (FRealTimeDrag)
    for (TFcSplitterPane* pane : FPanes) pane->Repaint();
  Invalidate();
}

void TFcSplitter::CalcHotSpotRect() {
  const TRect& b = FBarBounds;
  if (FOrientation == orVertical) {
    const int length = b.Width();
    const int half = RoundEven(FHotSpotSizePercent / 100.0 * length) / 2;
    const int centre = b.Left + length / 2;
    FHotSpotBounds = TRect{centre - half, b.Top, centre + half, b.Bottom};
  } else {
    const int length = b.Height();
    const int half = RoundEven(FHotSpotSizePercent / 100.0 * length) / 2;
    const int centre = b.Top + length / 2;
    FHotSpotBounds = TRect{b.Left, centre - half, b.Right, centre + half};
  }
}

void TFcSplitter::PaneVisibilityChanged() {
  if (HasState(csDestroying)) return;
  LayoutPanes();
}

void TFcSplitter::Resize() {
  if ((ComponentState() & (csWriting | csDestroying)) == 0 && FPanes[1]) {
    struct TInResize {
      bool& Flag;
      explicit TInResize(bool& F) : Flag(F) { Flag = true; }
      ~TInResize() { Flag = false; }
    } inResize(FInResize);
    const int axis = AxisLength();
    if (FFixedPane == fpUpperLeft && FUsePercent) {
      const int base = PercentBase();
      FMarginMin = std::max(RoundEven(FPercentMin / 100.0 * base), 0);
      FMarginMax = std::max(base - RoundEven(FPercentMax / 100.0 * base), 0);
      SetPosition(FHotSpotClosedToMin   ? 0
                  : FHotSpotClosedToMax ? base
                                        : RoundEven(FPercent / 100.0 * base));
    } else if (FFixedPane == fpUpperLeft) {
      SetPosition(FHotSpotClosedToMin ? 0 : FHotSpotClosedToMax ? INT_MAX : FPosition);
      if (FPosition < FUserPosition && !FHotSpotClosed) SetPosition(FUserPosition);
    } else {
      int pos = axis - FFixedPaneSize;
      if (!FHotSpotClosed && axis - pos < FUserPosition) pos = axis - FUserPosition;
      if (FHotSpotClosed) FHotSpotPosition = axis - FUserPosition;
      const int keep = FFixedPaneSize;
      SetPosition(pos);
      // A bar the limits held back keeps the pane's size to come back to.
      if (FHotSpotClosed) FFixedPaneSize = keep;
    }
  }
  TFcCustomPanel::Resize();
}

// ---- showing and loading ----

void TFcSplitter::ShowControl(TControl* AControl) {
  if (!Loading() && (AControl == FPanes[0] || AControl == FPanes[1]) && !AControl->Visible()) {
    if (TCustomForm* form = GetParentForm(this)) {
      TWinControl* active = form->ActiveControl();
      for (TWinControl* c = active; c; c = c->Parent())
        if (c == this) {
          if (CanFocus()) form->SetActiveControl(this);
          break;
        }
    }
    AControl->SetVisible(true);
  }
  TFcCustomPanel::ShowControl(AControl);
}

void TFcSplitter::GetChildren(const std::function<void(TComponent*)>& Proc, TComponent* Root) {
  TFcCustomPanel::GetChildren(Proc, Root);
  // The panes belong to the splitter; what lies on them is written as the splitter's own
  // children, and the pane name lists put each back on its pane when read.
  for (TFcSplitterPane* pane : FPanes)
    for (int i = 0; i < pane->ControlCount(); ++i)
      if (pane->Controls(i)->Owner() == Root) Proc(pane->Controls(i));
}

void TFcSplitter::DefineProperties(TFiler* Filer) {
  TFcCustomPanel::DefineProperties(Filer);
  Filer->DefineProperty(
      "BarSize",
      [this](TReader* r) {
        r->ReadListBegin();
        FBarBounds.Left = r->ReadInteger();
        FBarBounds.Top = r->ReadInteger();
        FBarBounds.Right = r->ReadInteger();
        FBarBounds.Bottom = r->ReadInteger();
        r->ReadListEnd();
        CalcHotSpotRect();
      },
      [this](TWriter* w) {
        w->WriteListBegin();
        w->WriteInteger(FBarBounds.Left);
        w->WriteInteger(FBarBounds.Top);
        w->WriteInteger(FBarBounds.Right);
        w->WriteInteger(FBarBounds.Bottom);
        w->WriteListEnd();
      },
      Filer->Ancestor() == nullptr);
  auto flag = [this, Filer](const char* Name, bool& Field) {
    Filer->DefineProperty(
        Name, [&Field](TReader* r) { Field = r->ReadBoolean(); }, [&Field](TWriter* w) { w->WriteBoolean(Field); },
        FHotSpotClosed);
  };
  flag("HotSpotClosed", FHotSpotClosed);
  flag("HotSpotClosedToMin", FHotSpotClosedToMin);
  flag("HotSpotClosedToMax", FHotSpotClosedToMax);
  Filer->DefineProperty(
      "HotSpotPosition", [this](TReader* r) { FHotSpotPosition = r->ReadInteger(); },
      [this](TWriter* w) { w->WriteInteger(FHotSpotPosition); }, FHotSpotClosed);
  const char* const names[2] = {"UpperLeftControls", "LowerRightControls"};
  for (int i = 0; i < 2; ++i) {
    Filer->DefineProperty(
        names[i],
        [this, i](TReader* r) {
          FPaneNames[i].clear();
          r->ReadListBegin();
          while (!r->EndOfList()) FPaneNames[i].push_back(r->ReadString());
          r->ReadListEnd();
        },
        [this, i](TWriter* w) {
          w->WriteListBegin();
          TFcSplitterPane* pane = FPanes[i];
          for (int c = 0; c < pane->ControlCount(); ++c)
            if (!pane->Controls(c)->Name().empty()) w->WriteString(pane->Controls(c)->Name());
          w->WriteListEnd();
        },
        true);
  }
  // Settings of earlier versions, read and dropped.
  for (const char* obsolete : {"PositionMin", "PositionMax"})
    Filer->DefineProperty(obsolete, [](TReader* r) { r->ReadInteger(); }, nullptr, false);
}

void TFcSplitter::Loaded() {
  struct TLoadingCount {
    TLoadingCount() { ++SplittersLoading; }
    ~TLoadingCount() { --SplittersLoading; }
  } counting;
  TFcCustomPanel::Loaded();
  TCustomForm* form = GetParentForm(this);
  TWinControl* active = form ? form->ActiveControl() : nullptr;
  RememberManualPosition(FPosition);
  GetEffectivePosition();
  LayoutPanes();
  DisableAlign();
  try {
    for (int i = 0; i < 2; ++i) {
      for (const std::string& name : FPaneNames[i]) {
        TComponent* found = Owner() ? Owner()->FindComponent(name) : nullptr;
        if (auto* control = dynamic_cast<TControl*>(found)) control->SetParent(FPanes[i]);
      }
      FPaneNames[i].clear();
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  if (form && active && form->ActiveControl() != active) form->SetActiveControl(active);
}

// ---- painting ----

void TFcSplitter::Paint() {
  TFcCustomPanel::Paint();
  DrawBarStyle();
}

void TFcSplitter::DrawBarStyle() {
  TCanvas* canvas = Canvas();
  const TRect bar = FBarBounds;
  if (IsRectEmpty(&bar)) return;
  if (FSplitterStyle == ssGroove || FSplitterStyle == ssBump) {
    fc::FillSolid(canvas, bar, Color());
    const TFrameStyleEx style = FSplitterStyle == ssBump ? fsPopup : fsStatus;
    for (int strip = 0; strip < 2; ++strip) {
      TRect r = bar;
      if (FOrientation == orHorizontal) {
        const int centre = bar.Left + bar.Width() / 2;
        r.Left = centre - 3 + 3 * strip;
        r.Right = r.Left + 3;
      } else {
        const int centre = bar.Top + bar.Height() / 2;
        r.Top = centre - 3 + 3 * strip;
        r.Bottom = r.Top + 3;
      }
      PaintFrameStyle(canvas, r, style);
    }
  } else if (FSplitterStyle == ssGroupBar && VisualStyle() != vsClassic) {
    PaintGroupBarBackground(canvas, bar, VisualStyle(), GradientColorStop(), GradientColorStart(),
                            FGradientPath == gpBottomToTop, GradientColorStyle());
  } else if (!FullRepaint()) {
    fc::FillSolid(canvas, bar, Color());
  }
  if (!FHotSpotVisible) return;
  const TPoint pointer = PointerIn(this);
  if (FHotSpotNeedsTracking) {
    FHotSpotNeedsTracking = false;
    FPointerOutsideHotSpot = !InHotSpot(pointer);
  }
  DrawSplitterBar(!FPointerOutsideHotSpot, pointer);
}

void TFcSplitter::DrawSplitterBar(bool Highlighted, TPoint MousePoint) {
  TCanvas* canvas = Canvas();
  const TRect& h = FHotSpotBounds;
  if (IsRectEmpty(&h)) return;
  // Along: the bar's length; across: its thickness. A horizontal bar (orVertical) runs along X.
  const bool alongX = FOrientation == orVertical;
  const int a0 = alongX ? h.Left : h.Top, a1 = alongX ? h.Right : h.Bottom;
  const int b0 = alongX ? h.Top : h.Left, b1 = alongX ? h.Bottom : h.Right;
  auto fill = [&](int A0, int B0, int A1, int B1, TColor Colour) {
    fc::FillSolid(canvas, alongX ? TRect{A0, B0, A1, B1} : TRect{B0, A0, B1, A1}, Colour);
  };
  auto dot = [&](int A, int B, TColor Colour) { fill(A, B, A + 1, B + 1, Colour); };
  const int centre = a0 + (a1 - a0) / 2;
  const bool both = FHotSpotDirection == hsdBoth;

  // Outline and inside.
  fill(a0, b0, a1, b0 + 1, FHotSpotFrameColor);
  fill(a0, b1 - 1, a1, b1, FHotSpotFrameColor);
  fill(a0, b0, a0 + 1, b1, FHotSpotFrameColor);
  fill(a1 - 1, b0, a1, b1, FHotSpotFrameColor);
  if (!both) {
    fill(a0 + 1, b0 + 1, a1 - 1, b1 - 1, Highlighted ? FHotSpotHighlight : FHotSpotColor);
  } else {
    fill(a0 + 1, b0 + 1, a1 - 1, b1 - 1, FHotSpotColor);
    if (Highlighted) {
      const int pointer = alongX ? MousePoint.X : MousePoint.Y;
      if (FHotSpotClosed) fill(a0 + 1, b0 + 1, a1 - 1, b1 - 1, FHotSpotHighlight);
      else if (pointer < centre) fill(a0 + 1, b0 + 1, centre, b1 - 1, FHotSpotHighlight);
      else fill(centre, b0 + 1, a1 - 1, b1 - 1, FHotSpotHighlight);
    }
    if (!FHotSpotClosed) fill(centre, b0 + 1, centre + 1, b1 - 1, FHotSpotFrameColor);
  }

  // Two arrows 5 long and 3 deep; "toward min" points up (left on a vertical bar).
  const int middle = b0 + (b1 - b0) / 2;
  auto arrow = [&](int Start, bool TowardMin) {
    for (int row = 0; row < 3; ++row) {
      const int b = TowardMin ? middle - 1 + row : middle + 1 - row;
      fill(Start + 2 - row, b, Start + 3 + row, b + 1, FHotSpotDotColor);
    }
  };
  bool first, second;  // toward min?
  switch (FHotSpotDirection) {
    case hsdMin: first = second = !FHotSpotClosed; break;
    case hsdMax: first = second = FHotSpotClosed; break;
    default:
      if (FHotSpotClosedToMin) first = second = false;
      else if (FHotSpotClosedToMax) first = second = true;
      else first = true, second = false;
  }
  arrow(a0 + 8, first);
  arrow(a1 - 8 - 5, second);

  // Dots along the centre line.
  const int count = (a1 - a0 - 32) / 3 + 1;
  for (int i = 0; i < count; ++i) {
    const int a = a0 + 15 + 3 * i;
    if (both && !FHotSpotClosed && std::abs(a - centre) <= 3) continue;
    dot(a, middle, FHotSpotDotColor);
  }
}

void TFcSplitter::TrackHotSpot() {
  if (!FHotSpotVisible) return;
  TPoint pointer = PointerIn(this);
  const bool over = InHotSpot(pointer) && FindVCLWindow(ClientToScreen(pointer)) == this;
  if (over) {
    if (FPointerOutsideHotSpot || FHotSpotDirection == hsdBoth) {
      FPointerOutsideHotSpot = false;
      InvalidateRect(Handle(), &FHotSpotBounds, FALSE);
    }
  } else if (!FPointerOutsideHotSpot) {
    FPointerOutsideHotSpot = true;
    InvalidateRect(Handle(), &FHotSpotBounds, FALSE);
  }
}

// ---- dragging ----

void TFcSplitter::BeginGhost() {
  if (FRealTimeDrag || FGhostBrush) return;
  if (!Parent()) throw EInvalidOperation(Format("Control '%s' has no parent window", {Name()}));
  FGhostBrush = CreatePatternBrush(AllocPatternBitmap(clBlack, clWhite)->Handle());
}

void TFcSplitter::EndGhost() {
  if (FGhostBrush) DeleteObject(FGhostBrush);
  FGhostBrush = nullptr;
}

void TFcSplitter::DrawGhostBar(int Position) {
  if (!FGhostBrush) return;
  const int frame = GetBarFrameWidth();
  const TRect r = FOrientation == orHorizontal ? Bounds(frame + Position, frame, FSplitterWidth, FBarBounds.Height())
                                               : Bounds(frame, frame + Position, FBarBounds.Width(), FSplitterWidth);
  // The bar crosses the panes: it is inverted on the splitter and on every window inside it.
  controls::InvertTree(this, r, FGhostBrush);
}

void TFcSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseDown(Button, Shift, X, Y);
  const TPoint p{X, Y};
  if (Button != mbLeft || FDragging || !PtInRect(&FBarBounds, p)) return;
  const bool onHotSpot = InHotSpot(p);
  if (!onHotSpot && FLockBar) return;
  if ((ComponentState() & csDesigning) == 0 && !FRealTimeDrag && CanFocus()) SetFocus();
  SetMouseCapture(true);
  FDragging = true;
  FHotSpotPressed = onHotSpot;
  FDragOffset = FOrientation == orVertical ? Y : X;
  BeginGhost();
  DrawGhostBar(FPosition);
  FDragStartPosition = FDragPosition = FPosition;
}

void TFcSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseMove(Shift, X, Y);
  if (!FDragging || (FHotSpotPressed && FLockBar)) return;
  int pos = FDragStartPosition + (FOrientation == orVertical ? Y : X) - FDragOffset;
  CalcPaneSpace(pos);
  bool allow = true;
  if (OnChanging) OnChanging(this, pos, allow);
  if (!allow || pos == FDragPosition) return;
  ResetHotSpotState();
  if (!FRealTimeDrag) {
    DrawGhostBar(FDragPosition);
    DrawGhostBar(pos);
  } else {
    SetPosition(pos);
    RememberManualPosition(FPosition);
  }
  FDragPosition = pos;
}

void TFcSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TFcCustomPanel::MouseUp(Button, Shift, X, Y);
  if (!(FDragging && Button == mbLeft) && !FHotSpotPressed) return;
  const bool hotSpot = FHotSpotPressed;
  FDragging = false;
  FHotSpotPressed = false;
  SetMouseCapture(false);
  if (!FRealTimeDrag) {
    DrawGhostBar(FDragPosition);
    EndGhost();
    SetPosition(FDragPosition);
    RememberManualPosition(FPosition);
  }
  if (hotSpot && InHotSpot({X, Y})) {
    if (FHotSpotClosed) {
      ResetHotSpotState();
      SetPosition(FHotSpotPosition);
      RememberManualPosition(FPosition);
    } else {
      FHotSpotPosition = FPosition;
      const int along = FOrientation == orVertical ? X : Y;
      const int half = FOrientation == orVertical ? FHotSpotBounds.Left + FHotSpotBounds.Width() / 2
                                                  : FHotSpotBounds.Top + FHotSpotBounds.Height() / 2;
      const bool toMin = FHotSpotDirection == hsdMin || (FHotSpotDirection == hsdBoth && along < half);
      // Closed first, so the collapsed bar may pass the margins.
      FHotSpotClosed = true;
      FHotSpotClosedToMin = toMin;
      FHotSpotClosedToMax = !toMin;
      SetPosition(toMin ? 0 : INT_MAX);
    }
    if (OnHotSpotClick) OnHotSpotClick(this);
  }
  EndGhost();
  FHotSpotNeedsTracking = true;
  Invalidate();
}

void TFcSplitter::AbandonDrag() {
  if (!FDragging) return;
  FDragging = false;
  FHotSpotPressed = false;
  if (MouseCapture()) SetMouseCapture(false);
  DrawGhostBar(FDragPosition);
  EndGhost();
  RememberManualPosition(FPosition);
}

void TFcSplitter::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FDragging) {
    AbandonDrag();
    Key = 0;
    return;
  }
  TFcCustomPanel::KeyDown(Key, Shift);
}

void TFcSplitter::CMChildKey(TMessage& Message) {
  // Esc typed into a control on a pane (a real-time drag leaves the focus there).
  if (FDragging && Message.WParam == VK_ESCAPE) {
    AbandonDrag();
    Message.Result = 1;
    return;
  }
  TFcCustomPanel::CMChildKey(Message);
}

void TFcSplitter::WMCancelMode(TMessage& Message) {
  AbandonDrag();
  TFcCustomPanel::WMCancelMode(Message);
}

void TFcSplitter::WMSetCursor(TMessage& Message) {
  TrackHotSpot();
  const TPoint pointer = PointerIn(this);
  if (static_cast<int>(LOWORD(Message.LParam)) == HTCLIENT && !FLockBar && PtInRect(&FBarBounds, pointer)) {
    if (HCURSOR cursor = BarCursor(InHotSpot(pointer))) {
      ::SetCursor(cursor);
      Message.Result = 1;
      return;
    }
  }
  TFcCustomPanel::WMSetCursor(Message);
}

HCURSOR TFcSplitter::BarCursor(bool OverHotSpot) const {
  return FCursors[(FOrientation == orVertical ? 2 : 0) + (OverHotSpot ? 1 : 0)];
}

void TFcSplitter::CMShowingChanged(TMessage& Message) {
  TFcCustomPanel::CMShowingChanged(Message);
  for (TFcSplitterPane* pane : FPanes) pane->Invalidate();
}

void TFcSplitter::CMMouseLeave(TMessage& Message) {
  TFcCustomPanel::CMMouseLeave(Message);
  TrackHotSpot();
}

// ---- published properties ----

static const classes::TPublished<TFcPaneData, TPersistent> FcPaneDataInfo([](auto& p) {
  p.Int("BorderColor", &TFcPaneData::BorderColor, &TFcPaneData::SetBorderColor)
      .Default(clBtnFace)
      .Idents(ColorIdents());
  p.Enum("BorderInner", &TFcPaneData::BorderInner, &TFcPaneData::SetBorderInner).Default(fsNone);
  p.Enum("BorderOuter", &TFcPaneData::BorderOuter, &TFcPaneData::SetBorderOuter).Default(fsNone);
  p.Int("BorderWidth", &TFcPaneData::BorderWidth, &TFcPaneData::SetBorderWidth).Default(0);
  p.Int("Color", &TFcPaneData::Color, &TFcPaneData::SetColor)
      .Default(clBtnFace)
      .Idents(ColorIdents())
      .Stored(&TFcPaneData::IsColorStored);
  p.Int("FlatColor", &TFcPaneData::FlatColor, &TFcPaneData::SetFlatColor).Default(clBtnShadow).Idents(ColorIdents());
  p.Int("FlatColorAdjustment", &TFcPaneData::FlatColorAdjustment, &TFcPaneData::SetFlatColorAdjustment).Default(30);
  p.Bool("DockSite", &TFcPaneData::DockSite, &TFcPaneData::SetDockSite).Default(false);
  p.Bool("ShowDockClientCaptions", &TFcPaneData::ShowDockClientCaptions, &TFcPaneData::SetShowDockClientCaptions)
      .Default(true);
  p.Bool("Visible", &TFcPaneData::GetVisible, &TFcPaneData::SetVisible).Default(true);
});

static const classes::TPublished<TFcSplitterPane, TFcCustomPanel> FcSplitterPaneInfo([](auto& p) {
  p.Enum("BorderOuter", &TFcSplitterPane::BorderOuter, &TFcSplitterPane::SetBorderOuter).Default(fsNone);
});

static const classes::TPublished<TFcSplitter, TFcCustomPanel> FcSplitterInfo([](auto& p) {
  p.Enum("BorderOuter", &TFcSplitter::BorderOuter, &TFcSplitter::SetBorderOuter).Default(fsNone);
  p.Bool("ParentColor", &TFcSplitter::ParentColor, &TFcSplitter::SetParentColor).Default(false);
  p.Bool("Transparent", &TFcSplitter::Transparent, &TFcSplitter::SetTransparent).Default(false);
  p.Enum("Orientation", &TFcSplitter::Orientation, &TFcSplitter::SetOrientation).Default(orHorizontal);
  p.Int("Position", &TFcSplitter::Position, &TFcSplitter::SetPosition).Default(100);
  p.Int("Percent", &TFcSplitter::Percent, &TFcSplitter::SetPercent).Default(50);
  p.Bool("UsePercent", &TFcSplitter::UsePercent, &TFcSplitter::SetUsePercent).Default(false);
  p.Int("PercentMin", &TFcSplitter::PercentMin, &TFcSplitter::SetPercentMin).Default(0);
  p.Int("PercentMax", &TFcSplitter::PercentMax, &TFcSplitter::SetPercentMax).Default(100);
  p.Int("MarginMin", &TFcSplitter::MarginMin, &TFcSplitter::SetMarginMin).Default(0);
  p.Int("MarginMax", &TFcSplitter::MarginMax, &TFcSplitter::SetMarginMax).Default(0);
  p.Enum("FixedPane", &TFcSplitter::FixedPane, &TFcSplitter::SetFixedPane).Default(fpUpperLeft);
  p.Enum("SelectedPane", &TFcSplitter::SelectedPane, &TFcSplitter::SetSelectedPane).Default(spUpperLeft);
  p.Enum("SplitterStyle", &TFcSplitter::SplitterStyle, &TFcSplitter::SetSplitterStyle).Default(ssStandard);
  p.Int("SplitterWidth", &TFcSplitter::SplitterWidth, &TFcSplitter::SetSplitterWidth).Default(4);
  p.Bool("RealTimeDrag", &TFcSplitter::RealTimeDrag, &TFcSplitter::SetRealTimeDrag).Default(false);
  p.Bool("LockBar", &TFcSplitter::LockBar, &TFcSplitter::SetLockBar).Default(false);
  p.Bool("HotSpotVisible", &TFcSplitter::HotSpotVisible, &TFcSplitter::SetHotSpotVisible).Default(false);
  p.Int("HotSpotColor", &TFcSplitter::HotSpotColor, &TFcSplitter::SetHotSpotColor)
      .Default(clBtnFace)
      .Idents(ColorIdents());
  p.Int("HotSpotDotColor", &TFcSplitter::HotSpotDotColor, &TFcSplitter::SetHotSpotDotColor)
      .Default(clHighlight)
      .Idents(ColorIdents());
  p.Int("HotSpotFrameColor", &TFcSplitter::HotSpotFrameColor, &TFcSplitter::SetHotSpotFrameColor)
      .Default(clBtnShadow)
      .Idents(ColorIdents());
  p.Int("HotSpotHighlight", &TFcSplitter::HotSpotHighlight, &TFcSplitter::SetHotSpotHighlight)
      .Default(clWindow)
      .Idents(ColorIdents());
  p.Enum("HotSpotDirection", &TFcSplitter::HotSpotDirection, &TFcSplitter::SetHotSpotDirection).Default(hsdMin);
  p.Bool("HotSpotIgnoreMargins", &TFcSplitter::HotSpotIgnoreMargins, &TFcSplitter::SetHotSpotIgnoreMargins)
      .Default(true);
  p.Int("HotSpotSizePercent", &TFcSplitter::HotSpotSizePercent, &TFcSplitter::SetHotSpotSizePercent).Default(40);
  p.Int("GradientColorAdjustment", &TFcSplitter::GradientColorAdjustment, &TFcSplitter::SetGradientColorAdjustment)
      .Default(30);
  p.Enum("GradientPath", &TFcSplitter::GradientPath, &TFcSplitter::SetGradientPath).Default(gpTopToBottom);
  p.Object("UpperLeft", &TFcSplitter::UpperLeft, &TFcSplitter::SetUpperLeft);
  p.Object("LowerRight", &TFcSplitter::LowerRight, &TFcSplitter::SetLowerRight);
  p.Event("OnChange", &TFcSplitter::OnChange);
  p.Event("OnChanging", &TFcSplitter::OnChanging);
  p.Event("OnHotSpotClick", &TFcSplitter::OnHotSpotClick);
});
