#include "platform/graphics/ImgList.h"

#include <algorithm>

#include "platform/classes/TypeInfo.h"
#include "platform/graphics/Idents.h"

namespace {

// A colour as the image list calls take it.
COLORREF ListColor(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(Color);
}

}  // namespace

// ---- TChangeLink ----

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() {
  if (OnChange) OnChange(FSender);
}

// ---- TCustomImageList ----

const classes::TEnumInfo& EnumInfo(TDrawingStyle) {
  static const classes::TEnumInfo info{"TDrawingStyle", {"dsFocus", "dsSelected", "dsNormal", "dsTransparent"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TImageType) {
  static const classes::TEnumInfo info{"TImageType", {"itImage", "itMask"}};
  return info;
}

TCustomImageList::TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomImageList::TCustomImageList(TComponent* AOwner, int AWidth, int AHeight) : TComponent(AOwner) {
  SetSize(AWidth, AHeight);
}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FClients) link->SetSender(nullptr);
  FreeHandle();
}

void TCustomImageList::HandleNeeded() {
  if (FHandle) return;
  const UINT flags = ILC_COLORDDB | (FMasked ? static_cast<UINT>(ILC_MASK) : 0u);
  FHandle = ImageList_Create(FWidth, FHeight, flags, FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Invalid image size");
  ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
  HandleNeeded();
  return FHandle;
}

void TCustomImageList::FreeHandle() {
  if (FHandle && !FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
}

void TCustomImageList::SetHandle(HIMAGELIST Value) {
  if (Value == FHandle) return;
  FreeHandle();
  FHandle = Value;
  if (FHandle) {
    ImageList_GetIconSize(FHandle, &FWidth, &FHeight);
    const COLORREF bk = ImageList_GetBkColor(FHandle);
    FBkColor = bk == CLR_NONE ? clNone : static_cast<TColor>(bk);
  }
  Change();
}

void TCustomImageList::Recreate() {
  FreeHandle();
  Change();
}

void TCustomImageList::SetSize(int AWidth, int AHeight) {
  if (AWidth <= 0 || AHeight <= 0 || AWidth > gdi::kMaxImageSide || AHeight > gdi::kMaxImageSide)
    throw EInvalidOperation("Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight) return;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle) ImageList_SetIconSize(FHandle, FWidth, FHeight);
  Change();
}

int TCustomImageList::Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

void TCustomImageList::SetBkColor(TColor Value) {
  if (Value == FBkColor) return;
  FBkColor = Value;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(Value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor Value) {
  if (Value == FBlendColor) return;
  FBlendColor = Value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle Value) {
  if (Value == FDrawingStyle) return;
  FDrawingStyle = Value;
  Change();
}

void TCustomImageList::SetImageType(TImageType Value) {
  if (Value == FImageType) return;
  FImageType = Value;
  Change();
}

void TCustomImageList::SetMasked(bool Value) {
  if (Value == FMasked) return;
  FMasked = Value;
  Recreate();
}

void TCustomImageList::CheckImage(TGraphic* Image) const {
  if (Image && (Image->Width() < FWidth || Image->Height() < FHeight))
    throw EInvalidOperation("Invalid image size");
}

void TCustomImageList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= Count()) throw EInvalidOperation("Invalid image list index");
}

int TCustomImageList::Add(TBitmap* Image, TBitmap* Mask) {
  if (!Image || Image->Empty()) return -1;
  CheckImage(Image);
  HandleNeeded();
  const int index = ImageList_Add(FHandle, Image->Handle(), Mask && !Mask->Empty() ? Mask->Handle() : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* Image) {
  if (!Image || Image->Empty()) return -1;
  CheckImage(Image);
  HandleNeeded();
  const int index = ImageList_AddIcon(FHandle, Image->Handle());
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
  if (!Image || Image->Empty()) return -1;
  if (MaskColor == clNone) return Add(Image, nullptr);
  CheckImage(Image);
  HandleNeeded();
  const TColor color = MaskColor == clDefault ? Image->TransparentColor() : MaskColor;
  const int index = ImageList_AddMasked(FHandle, Image->Handle(), ColorToRGB(color));
  Change();
  return index;
}

void TCustomImageList::AddImages(TCustomImageList* Value) {
  if (!Value || Value == this || !Value->HandleAllocated()) return;
  BeginUpdate();
  try {
    for (int i = 0; i < Value->Count(); ++i) {
      HICON icon = ImageList_GetIcon(Value->FHandle, i, ILD_NORMAL);
      TIcon picture;
      picture.SetHandle(icon);
      AddIcon(&picture);
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::Insert(int Index, TBitmap* Image, TBitmap* Mask) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid image list index");
  const int added = Add(Image, Mask);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::InsertIcon(int Index, TIcon* Image) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid image list index");
  const int added = AddIcon(Image);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::InsertMasked(int Index, TBitmap* Image, TColor MaskColor) {
  if (Index < 0 || Index > Count()) throw EInvalidOperation("Invalid image list index");
  const int added = AddMasked(Image, MaskColor);
  if (added >= 0) Move(added, Index);
}

void TCustomImageList::Replace(int Index, TBitmap* Image, TBitmap* Mask) {
  CheckIndex(Index);
  if (!Image || Image->Empty()) return;
  CheckImage(Image);
  ImageList_Replace(FHandle, Index, Image->Handle(), Mask && !Mask->Empty() ? Mask->Handle() : nullptr);
  Change();
}

void TCustomImageList::ReplaceIcon(int Index, TIcon* Image) {
  CheckIndex(Index);
  if (!Image || Image->Empty()) return;
  CheckImage(Image);
  ImageList_ReplaceIcon(FHandle, Index, Image->Handle());
  Change();
}

void TCustomImageList::ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor) {
  CheckIndex(Index);
  if (!NewImage || NewImage->Empty()) return;
  CheckImage(NewImage);
  // Added at the end, then moved into the place of the old picture.
  BeginUpdate();
  try {
    const int added = AddMasked(NewImage, MaskColor);
    Delete(Index);
    Move(added - 1, Index);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCustomImageList::Delete(int Index) {
  CheckIndex(Index);
  ImageList_Remove(FHandle, Index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  graphics::MoveImage(FHandle, CurIndex, NewIndex);
  Change();
}

UINT TCustomImageList::StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const {
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  return styles[ADrawingStyle] | (AImageType == itMask ? static_cast<UINT>(ILD_MASK) : 0u);
}

void TCustomImageList::DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) {
  if (!FHandle || !Canvas) return;
  HDC dc = Canvas->Handle();
  if (Enabled)
    ImageList_DrawEx(FHandle, Index, dc, X, Y, 0, 0, ListColor(FBkColor), ListColor(FBlendColor), Style);
  else
    graphics::DrawImageDisabled(FHandle, Index, dc, X, Y, Style);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
  Draw(Canvas, X, Y, Index, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle,
                            TImageType AImageType, bool Enabled) {
  DoDraw(Index, Canvas, X, Y, StyleFlags(ADrawingStyle, AImageType), Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled) {
  DrawOverlay(Canvas, X, Y, ImageIndex, Overlay, FDrawingStyle, FImageType, Enabled);
}

void TCustomImageList::DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay,
                                   TDrawingStyle ADrawingStyle, TImageType AImageType, bool Enabled) {
  const UINT overlay = Overlay < 4 ? INDEXTOOVERLAYMASK(Overlay + 1u) : 0;
  DoDraw(ImageIndex, Canvas, X, Y, StyleFlags(ADrawingStyle, AImageType) | overlay, Enabled);
}

bool TCustomImageList::Overlay(int ImageIndex, TOverlay Overlay) {
  return FHandle && Overlay < 4 && ImageList_SetOverlayImage(FHandle, ImageIndex, Overlay + 1);
}

bool TCustomImageList::GetBitmap(int Index, TBitmap* Image) {
  if (!Image || !FHandle || Index < 0 || Index >= Count()) return false;
  Image->SetSize(FWidth, FHeight);
  ImageList_Draw(FHandle, Index, Image->Canvas()->Handle(), 0, 0, ILD_NORMAL);
  return true;
}

void TCustomImageList::GetIcon(int Index, TIcon* Image) { GetIcon(Index, Image, FDrawingStyle, FImageType); }

void TCustomImageList::GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType) {
  if (!Image || !FHandle) return;
  Image->SetHandle(ImageList_GetIcon(FHandle, Index, StyleFlags(ADrawingStyle, AImageType)));
}

void TCustomImageList::RegisterChanges(TChangeLink* Value) {
  if (!Value || std::find(FClients.begin(), FClients.end(), Value) != FClients.end()) return;
  Value->SetSender(this);
  FClients.push_back(Value);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* Value) {
  auto it = std::find(FClients.begin(), FClients.end(), Value);
  if (it == FClients.end()) return;
  Value->SetSender(nullptr);
  FClients.erase(it);
}

void TCustomImageList::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FUpdateCount == 0 && FChanged) Change();
}

void TCustomImageList::Change() {
  FChanged = true;
  if (FUpdateCount > 0) return;
  FChanged = false;
  // A link's handler may unregister itself (or another link): walk a copy.
  const std::vector<TChangeLink*> clients = FClients;
  for (TChangeLink* link : clients)
    if (std::find(FClients.begin(), FClients.end(), link) != FClients.end()) link->Change();
  if (OnChange) OnChange(this);
}

void TCustomImageList::Assign(TPersistent* Source) {
  auto* list = dynamic_cast<TCustomImageList*>(Source);
  if (!list) {
    TComponent::Assign(Source);
    return;
  }
  if (list == this) return;
  BeginUpdate();
  FreeHandle();
  FWidth = list->FWidth;
  FHeight = list->FHeight;
  FAllocBy = list->FAllocBy;
  FBkColor = list->FBkColor;
  FBlendColor = list->FBlendColor;
  FDrawingStyle = list->FDrawingStyle;
  FImageType = list->FImageType;
  FMasked = list->FMasked;
  FShareImages = false;
  if (list->FHandle) FHandle = ImageList_Duplicate(list->FHandle);
  Change();
  EndUpdate();
}

void TCustomImageList::ReadData(TStream* Stream) {
  HIMAGELIST h = graphics::ReadImageList(Stream);
  int w = 0, hgt = 0;
  ImageList_GetIconSize(h, &w, &hgt);
  FreeHandle();
  FHandle = h;
  FShareImages = false;
  FWidth = w;
  FHeight = hgt;
  Change();
}

void TCustomImageList::WriteData(TStream* Stream) { graphics::WriteImageList(Handle(), Stream); }

bool TCustomImageList::Equal(TCustomImageList* Other) {
  if (!Other || Other->Count() != Count()) return false;
  if (Count() == 0) return true;
  TMemoryStream mine, theirs;
  WriteData(&mine);
  Other->WriteData(&theirs);
  return mine.Size() == theirs.Size() &&
         std::equal(static_cast<const uint8_t*>(mine.Memory()),
                    static_cast<const uint8_t*>(mine.Memory()) + mine.Size(),
                    static_cast<const uint8_t*>(theirs.Memory()));
}

void TCustomImageList::DefineProperties(TFiler* Filer) {
  auto* ancestor = dynamic_cast<TCustomImageList*>(Filer->Ancestor());
  const bool hasData = ancestor ? !Equal(ancestor) : Count() > 0;
  Filer->DefineBinaryProperty(
      "Bitmap", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, hasData);
}

static const classes::TPublished<TCustomImageList, TComponent> CustomImageListInfo;

static const classes::TPublished<TImageList, TCustomImageList> ImageListInfo([](auto& p) {
  p.Int("AllocBy", &TImageList::AllocBy, &TImageList::SetAllocBy).Default(4);
  p.Int("BlendColor", &TImageList::BlendColor, &TImageList::SetBlendColor).Default(clNone).Idents(ColorIdents());
  p.Int("BkColor", &TImageList::BkColor, &TImageList::SetBkColor).Default(clNone).Idents(ColorIdents());
  p.Enum("DrawingStyle", &TImageList::DrawingStyle, &TImageList::SetDrawingStyle).Default(dsNormal);
  p.Int("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  p.Enum("ImageType", &TImageList::ImageType, &TImageList::SetImageType).Default(itImage);
  p.Bool("Masked", &TImageList::Masked, &TImageList::SetMasked).Default(true);
  p.Bool("ShareImages", &TImageList::ShareImages, &TImageList::SetShareImages).Default(false);
  p.Int("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
  p.Event("OnChange", &TImageList::OnChange);
});
