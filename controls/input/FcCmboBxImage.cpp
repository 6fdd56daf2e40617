// The image combo box: entries owner-drawn with an image, an overlay and an indent.
#include <cstdlib>

#include "controls/input/FcCmboBx.h"
#include "platform/rtl/Strings.h"

// ---- TFcImageComboBoxItem ----

void TFcImageComboBoxItem::Repaint() {
  if (FOwner) FOwner->Invalidate();
}

void TFcImageComboBoxItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  Repaint();
}

void TFcImageComboBoxItem::SetOverlayIndex(int Value) {
  FOverlayIndex = Value;
  Repaint();
}

void TFcImageComboBoxItem::SetCaption(const std::string& Value) {
  FCaption = Value;
  Repaint();
}

// ---- TFcCustomImageComboBox ----

TFcCustomImageComboBox::TFcCustomImageComboBox(TComponent* AOwner) : TFcCustomComboBox(AOwner) {
  SetShowFocus(false);
  SetStyle(csOwnerDrawFixed);
  AdjustItemHeight();
}

TFcCustomImageComboBox::~TFcCustomImageComboBox() {
  // Each remaining item goes through the delete hook while this combo is still whole.
  Destroying();
  ClearItems();
}

void TFcCustomImageComboBox::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  Invalidate();
  if (!HasState(csLoading)) AdjustItemHeight();
}

void TFcCustomImageComboBox::SetItemIndent(int Value) {
  if (FItemIndent == Value) return;
  FItemIndent = Value;
  Invalidate();
}

void TFcCustomImageComboBox::SetAutoSizeHeight(bool Value) {
  if (FAutoSizeHeight == Value) return;
  FAutoSizeHeight = Value;
  AdjustItemHeight();
}

void TFcCustomImageComboBox::Notification(TComponent* AComponent, TOperation Operation) {
  TFcCustomComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) {
    FImages = nullptr;
    Invalidate();
  }
}

void TFcCustomImageComboBox::AdjustItemHeight() {
  if (!FAutoSizeHeight) return;
  int height = std::abs(Font()->Height()) + 4;
  if (FImages && FImages->Height() > height) height = FImages->Height();
  SetItemHeight(height);
}

void TFcCustomImageComboBox::CMFontChanged(TMessage& Message) {
  TFcCustomComboBox::CMFontChanged(Message);
  if (FInSetFont) return;
  FInSetFont = true;
  AdjustItemHeight();
  FInSetFont = false;
}

void TFcCustomImageComboBox::CreateWnd() {
  TFcCustomComboBox::CreateWnd();
  Perform(CB_SETEXTENDEDUI, 1, 0);
}

TFcImageComboBoxItem* TFcCustomImageComboBox::AddItem(const std::string& Caption, int ImageIndex, int IndentLevel) {
  auto item = std::make_unique<TFcImageComboBoxItem>(this);
  item->SetCaption(Caption);
  item->SetImageIndex(ImageIndex);
  item->SetIndentLevel(IndentLevel);
  TFcImageComboBoxItem* added = item.get();
  added->SetIndex(Items()->AddObject(Caption, added));
  item.release();  // the entry owns it now
  return added;
}

TFcImageComboBoxItem* TFcCustomImageComboBox::GetImageItem(int Index) const {
  if (Index < 0 || Index >= Items()->Count()) return nullptr;
  return dynamic_cast<TFcImageComboBoxItem*>(Items()->Objects(Index));
}

void TFcCustomImageComboBox::DeleteItem(int Index) {
  if (Index < 0 || Index >= Items()->Count()) return;
  Items()->Delete(Index);
}

void TFcCustomImageComboBox::ClearItems() {
  BeginUpdate();
  try {
    for (int i = Items()->Count() - 1; i >= 0; --i) DeleteItem(i);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TFcCustomImageComboBox::IndexOfItem(const std::string& Value) {
  for (int i = 0; i < Items()->Count(); ++i) {
    const TFcImageComboBoxItem* item = GetImageItem(i);
    if (AnsiSameText(item ? item->Caption() : std::string(), Value)) return i;
  }
  return -1;
}

void TFcCustomImageComboBox::DoGetItemData(TFcImageComboBoxItem* Item) {
  if (OnGetItemData) OnGetItemData(this, Item);
}

void TFcCustomImageComboBox::DoDeleteItem(TObject* Item) {
  auto* item = dynamic_cast<TFcImageComboBoxItem*>(Item);
  if (!item || item->Owner() != this) {
    TFcCustomComboBox::DoDeleteItem(Item);
    return;
  }
  // The combo owns its items: the entry's deletion is the item's end, however it came about.
  std::unique_ptr<TFcImageComboBoxItem> owned(item);
  if (OnDeleteItem) OnDeleteItem(this, item);
}

void TFcCustomImageComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  TFcImageComboBoxItem* item = GetImageItem(Index);
  if (!item) return;
  DoGetItemData(item);
  const int indent = State.Contains(odComboBoxEdit) ? 0 : item->IndentLevel();
  TCanvas* canvas = Canvas();
  const TColor highlight = canvas->Brush()->Color();
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(Rect);
  if (FImages) {
    // The list blends the picture's background with the combo's colour.
    struct TBkColorGuard {
      TCustomImageList* List;
      TColor Saved;
      ~TBkColorGuard() { List->SetBkColor(Saved); }
    } guard{FImages, FImages->BkColor()};
    FImages->SetBkColor(Color());
    const int x = FItemIndent * indent + Rect.Left + 2;
    const int y = (Rect.Top + Rect.Bottom - FImages->Height()) / 2;
    if (item->OverlayIndex() >= 0)
      FImages->DrawOverlay(canvas, x, y, item->ImageIndex(), static_cast<TOverlay>(item->OverlayIndex()), Enabled());
    else
      FImages->Draw(canvas, x, y, item->ImageIndex(), Enabled());
  }
  if (State.Contains(odSelected)) canvas->Brush()->SetColor(highlight);
  if (item->Caption().empty()) return;
  TRect text;
  text.Left = Rect.Left + 1 + FItemIndent * indent + (FImages ? FImages->Width() + 4 : 4);
  text.Right = text.Left + canvas->TextWidth(item->Caption()) + 3;
  text.Top = Rect.Top;
  text.Bottom = Rect.Bottom - 1;
  if (!Enabled()) canvas->Font()->SetColor(clBtnShadow);
  canvas->TextRect(text, text.Left + 1, text.Top + 1, item->Caption());
}

static const classes::TPublished<TFcCustomImageComboBox, TFcCustomComboBox> FcCustomImageComboBoxInfo([](auto& p) {
  using C = TFcCustomImageComboBox;
  p.Object("Images", &C::Images, &C::SetImages);
  p.Int("ItemIndent", &C::ItemIndent, &C::SetItemIndent).Default(12);
  p.Bool("AutoSizeHeight", &C::AutoSizeHeight, &C::SetAutoSizeHeight).Default(true);
  p.Enum("Style", &C::Style, &C::SetStyle).Default(csOwnerDrawFixed);
  p.Bool("ShowFocus", &C::ShowFocus, &C::SetShowFocus).Default(false);
});
static const classes::TPublished<TFcImageComboBox, TFcCustomImageComboBox> FcImageComboBoxInfo;
