// The edit buttons: their description as collection items, the collection of extra buttons,
// and the speed-button control an edit shows, with the auto-repeat of its up/down halves.
#include <algorithm>

#include "grid/base/ToolCtrlsGd.h"
#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Idents.h"

// ---- TEditButtonGd ----

TEditButtonGd::TEditButtonGd(TCollection* Collection) : TCollectionItem(Collection), FGlyph(std::make_unique<TBitmap>()) {
  FGlyph->SetTransparent(true);
}

TEditButtonGd::TEditButtonGd(TWinControl* EditControl) : TEditButtonGd(static_cast<TCollection*>(nullptr)) {
  FOwnerEdit = EditControl;
}

TEditButtonGd::~TEditButtonGd() = default;

namespace {

// Stores Value in Field when it differs; true when it did.
template <class T>
bool StoreChanged(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}

}  // namespace

void TEditButtonGd::SetDropdownMenu(TPopupMenu* Value) {
  if (StoreChanged(FDropdownMenu, Value)) Changed();
}

void TEditButtonGd::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Changed();
}

void TEditButtonGd::SetHint(const std::string& Value) {
  if (StoreChanged(FHint, Value)) Changed();
}

void TEditButtonGd::SetNumGlyphs(int Value) {
  if (StoreChanged(FNumGlyphs, std::clamp(Value, 1, 4))) Changed();
}

void TEditButtonGd::SetShortCut(TShortCut Value) {
  if (StoreChanged(FShortCut, Value)) Changed();
}

void TEditButtonGd::SetStyle(TEditButtonStyleGd Value) {
  if (StoreChanged(FStyle, Value)) Changed();
}

void TEditButtonGd::SetVisible(bool Value) {
  if (StoreChanged(FVisible, Value)) Changed();
}

void TEditButtonGd::SetWidth(int Value) {
  if (StoreChanged(FWidth, Value)) Changed();
}

void TEditButtonGd::Changed() {
  if (OnButtonChanged)
    OnButtonChanged(this);
  else
    TCollectionItem::Changed(false);
}

void TEditButtonGd::Assign(TPersistent* Source) {
  auto* other = dynamic_cast<TEditButtonGd*>(Source);
  if (other == nullptr) {
    TCollectionItem::Assign(Source);
    return;
  }
  SetDropdownMenu(other->FDropdownMenu);
  SetGlyph(other->FGlyph.get());
  SetHint(other->FHint);
  SetNumGlyphs(other->FNumGlyphs);
  SetShortCut(other->FShortCut);
  SetStyle(other->FStyle);
  SetVisible(other->FVisible);
  SetWidth(other->FWidth);
  OnClick = other->OnClick;
  OnDown = other->OnDown;
}

TEditButtonControlGd* TEditButtonGd::MakeButtonControl(TWinControl* Edit) {
  auto* button = new TEditButtonControlGd(Edit);
  button->SetParent(Edit);
  button->SetBounds(0, 0, 10, 17);
  button->SetVisible(true);
  button->SetTransparent(false);
  return button;
}

TVisibleEditButtonGd::TVisibleEditButtonGd(TCollection* Collection) : TEditButtonGd(Collection) {
  FShortCut = DefaultShortCut;
  FVisible = true;
}

TVisibleEditButtonGd::TVisibleEditButtonGd(TWinControl* EditControl) : TEditButtonGd(EditControl) {
  FShortCut = DefaultShortCut;
  FVisible = true;
}

// ---- TEditButtonsGd ----

TEditButtonsGd::TEditButtonsGd(TPersistent* Owner, TCollectionItemClass ItemClass)
    : TCollection(std::move(ItemClass)), FOwner(Owner) {}

TEditButtonGd* TEditButtonsGd::ButtonAt(int Index) const { return static_cast<TEditButtonGd*>(Items(Index)); }

void TEditButtonsGd::Update(TCollectionItem* Item) {
  TCollection::Update(Item);
  if (OnChanged) OnChanged(Item);
}

// ---- TEditButtonControlGd ----

TEditButtonControlGd::TEditButtonControlGd(TComponent* AOwner) : TSpeedButton(AOwner) {}

TEditButtonControlGd::~TEditButtonControlGd() = default;

void TEditButtonControlGd::SetStyle(TEditButtonStyleGd Value) {
  if (StoreChanged(FStyle, Value)) Invalidate();
}

void TEditButtonControlGd::SetActive(bool Value) {
  if (StoreChanged(FActive, Value)) Invalidate();
}

void TEditButtonControlGd::SetHeldDown(bool On) {
  FHeldDown = On;
  if (On) {
    SetGroupIndex(1);
    SetDown(true);
    SetAllowAllUp(false);
  } else {
    SetAllowAllUp(true);
    SetDown(false);
    SetGroupIndex(0);
  }
}

TTimer* TEditButtonControlGd::RepeatTimer() {
  if (FRepeatTimer == nullptr) {
    FRepeatTimer = new TTimer(this);
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->OnTimer = [this](TObject* Sender) { TimerTick(Sender); };
  }
  return FRepeatTimer;
}

void TEditButtonControlGd::UpdatePressedPart(int Y) {
  int part = 0;
  if (FState == bsDown || FState == bsExclusive) {
    if (FStyle == ebsUpDownGd) {
      const int h = Height() / 2;
      if (Y < h)
        part = 1;
      else if (Y > Height() - h)
        part = 2;
    } else {
      part = 1;
    }
  }
  if (StoreChanged(FPressedPart, part)) Invalidate();
}

void TEditButtonControlGd::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  bool autoRepeat = FStyle == ebsUpDownGd;
  TSpeedButton::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft) return;
  UpdatePressedPart(Y);
  if (FPressedPart >= 1 && OnDown) {
    bool handled = false;
    OnDown(this, FPressedPart == 1, autoRepeat, handled);
  }
  if (autoRepeat && FPressedPart >= 1) {
    TTimer* timer = RepeatTimer();
    timer->SetInterval(FirstRepeatDelay);
    timer->SetEnabled(true);
  }
}

void TEditButtonControlGd::MouseMove(TShiftState Shift, int X, int Y) {
  TSpeedButton::MouseMove(Shift, X, Y);
  if (GetCaptureControl() != this || FStyle != ebsUpDownGd || FState != bsDown) return;
  const int H = Height();
  if ((FPressedPart == 2 && Y < H / 2) || (FPressedPart == 1 && Y > H - H / 2)) {
    FState = bsUp;
    Invalidate();
  }
}

void TEditButtonControlGd::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  const bool suppress = FStyle == ebsUpDownGd && FState != bsDown;
  FSuppressClick = suppress;
  try {
    TSpeedButton::MouseUp(Button, Shift, X, Y);
  } catch (...) {
    FSuppressClick = false;
    throw;
  }
  FSuppressClick = false;
  UpdatePressedPart(Y);
  if (FRepeatTimer != nullptr) FRepeatTimer->SetEnabled(false);
}

void TEditButtonControlGd::Click() {
  if (!FSuppressClick) TSpeedButton::Click();
}

void TEditButtonControlGd::TimerTick(TObject*) {
  if (FState != bsDown) return;
  if (FRepeatTimer->Interval() == FirstRepeatDelay) FRepeatTimer->SetInterval(RepeatInterval);
  bool autoRepeat = FStyle == ebsUpDownGd;
  if (OnDown) {
    bool handled = false;
    OnDown(this, FPressedPart == 1, autoRepeat, handled);
  }
  if (!autoRepeat && FRepeatTimer != nullptr) FRepeatTimer->SetEnabled(false);
}

void TEditButtonControlGd::Paint() {
  if (!Enabled()) {
    FState = bsDisabled;
    FDragging = false;
  } else if (FState == bsDisabled) {
    FState = Down() && GroupIndex() != 0 ? bsExclusive : bsUp;
  }
  const TColor parentColor = Parent() != nullptr ? Parent()->Color() : Color();
  const bool down = FState == bsDown || FState == bsExclusive;
  TCanvas* canvas = Canvas();
  if (FStyle != ebsGlyphGd) {
    PaintEditButtonImage(canvas->Handle(), ClientRect(), parentColor, 0, Enabled(), FActive, Flat(),
                         down ? FPressedPart : 0, EditButtonStyleToPainterKind[FStyle]);
    return;
  }
  if (!Flat()) {
    TSpeedButton::Paint();
    return;
  }
  // The glyph style in the flat look: the speed button inside, a thin edge or the parent's
  // colour around it.
  TRect r = ClientRect();
  HDC dc = canvas->Handle();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
  TSpeedButton::Paint();
  RestoreDC(dc, saved);
  if (FActive) {
    DrawEdge(dc, &r, down ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else {
    HBRUSH brush = CreateSolidBrush(ColorToRGB(parentColor));
    FrameRect(dc, &r, brush);
    DeleteObject(brush);
  }
}

// ---- published properties ----

static const classes::TPublished<TEditButtonGd, TCollectionItem> EditButtonGdInfo([](auto& p) {
  using B = TEditButtonGd;
  p.Component("DropdownMenu", &B::DropdownMenu, &B::SetDropdownMenu);
  p.Object("Glyph", &B::Glyph, &B::SetGlyph);
  p.String("Hint", &B::Hint, &B::SetHint);
  p.Int("NumGlyphs", &B::NumGlyphs, &B::SetNumGlyphs).Default(1);
  p.Int("ShortCut", &B::ShortCut, &B::SetShortCut).Default(0);
  p.Enum("Style", &B::Style, &B::SetStyle).Default(ebsDropDownGd);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Default(false);
  p.Int("Width", &B::Width, &B::SetWidth).Default(0);
  p.Event("OnClick", &B::OnClick);
  p.Event("OnDown", &B::OnDown);
});
static const classes::TPublished<TVisibleEditButtonGd, TEditButtonGd> VisibleEditButtonGdInfo([](auto& p) {
  using B = TVisibleEditButtonGd;
  p.Int("ShortCut", &B::ShortCut, &B::SetShortCut).Default(TVisibleEditButtonGd::DefaultShortCut);
  p.Bool("Visible", &B::Visible, &B::SetVisible).Default(true);
});
static const classes::TPublished<TEditButtonsGd, TCollection> EditButtonsGdInfo;
static const classes::TPublished<TEditButtonControlGd, TSpeedButton> EditButtonControlGdInfo;
static const classes::TPublished<TSpeedButtonGd, TEditButtonControlGd> SpeedButtonGdInfo([](auto& p) {
  using B = TSpeedButtonGd;
  p.Bool("Active", &B::Active, &B::SetActive).Default(false);
  p.Enum("Style", &B::Style, &B::SetStyle).Default(ebsDropDownGd);
});
