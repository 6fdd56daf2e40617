#pragma once
// TCustomImageList and TImageList: a component over an image list handle (ImageLists.h),
// pictures of Width × Height added from bitmaps, masked bitmaps and icons, drawn by index
// enabled or disabled, with overlays. Controls that show its pictures register a TChangeLink
// and hear of every change.
#include <vector>

#include "platform/classes/Component.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/ImageLists.h"

class TCustomImageList;

// A control's link to an image list: OnChange is raised when the list changes; the link
// leaves the list when it is freed, and the list clears Sender when it is freed first.
class TChangeLink : public TObject {
 public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;

  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  virtual void Change();

  TNotifyEvent OnChange;

 private:
  TCustomImageList* FSender = nullptr;
};

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };
// Overlay numbers 0..3 (the list's overlays 1..4).
using TOverlay = uint8_t;
const classes::TEnumInfo& EnumInfo(TDrawingStyle);
const classes::TEnumInfo& EnumInfo(TImageType);

class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner);
  TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
  ~TCustomImageList() override;

  // The list's handle, made when first asked for.
  HIMAGELIST Handle();
  // Uses another list (nil: none). The old one is destroyed unless ShareImages.
  void SetHandle(HIMAGELIST Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  // A new size or a change of Masked removes every picture.
  int Width() const { return FWidth; }
  void SetWidth(int Value) { SetSize(Value, FHeight); }
  int Height() const { return FHeight; }
  void SetHeight(int Value) { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight);
  int Count() const;
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value; }
  // The colour masked parts are drawn in (clNone: transparent).
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  // The colour mixed in for dsFocus and dsSelected (clNone: none; clDefault: the highlight).
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  bool Masked() const { return FMasked; }
  void SetMasked(bool Value);
  // A handle shared with others (SetHandle) is not destroyed with the list.
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool Value) { FShareImages = Value; }

  // Adding answers the index of the (first) new picture. A bitmap as wide as several pictures
  // adds all of them; one smaller than a picture raises EInvalidOperation "Invalid image size".
  int Add(TBitmap* Image, TBitmap* Mask);
  int AddIcon(TIcon* Image);
  // MaskColor's pixels become transparent; clDefault takes the bitmap's TransparentColor (its
  // bottom-left pixel), clNone adds without a mask.
  int AddMasked(TBitmap* Image, TColor MaskColor);
  void AddImages(TCustomImageList* Value);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void InsertIcon(int Index, TIcon* Image);
  void InsertMasked(int Index, TBitmap* Image, TColor MaskColor);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  void ReplaceIcon(int Index, TIcon* Image);
  void ReplaceMasked(int Index, TBitmap* NewImage, TColor MaskColor);
  // EInvalidOperation "Invalid image list index" for an index out of range.
  void Delete(int Index);
  void Clear();
  void Move(int CurIndex, int NewIndex);

  // Draws picture Index at (X, Y) in DrawingStyle and ImageType; disabled, its dark parts
  // embossed in the button highlight and shadow colours.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled = true);
  // The same with overlay Overlay (set with Overlay()) drawn over the picture.
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, bool Enabled = true);
  void DrawOverlay(TCanvas* Canvas, int X, int Y, int ImageIndex, TOverlay Overlay, TDrawingStyle ADrawingStyle,
                   TImageType AImageType, bool Enabled = true);
  // Makes picture ImageIndex overlay number Overlay (0..3); false when either is out of range.
  bool Overlay(int ImageIndex, TOverlay Overlay);

  // Picture Index drawn on Image (sized to the list); false for an index out of range.
  bool GetBitmap(int Index, TBitmap* Image);
  void GetIcon(int Index, TIcon* Image);
  void GetIcon(int Index, TIcon* Image, TDrawingStyle ADrawingStyle, TImageType AImageType);

  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

  // From another image list: its size, settings and a copy of its pictures.
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

 protected:
  // Tells the change links and OnChange (once at EndUpdate while updates are open).
  virtual void Change();
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
  // Window definitions keep the pictures as `Bitmap`, in the image list stream format.
  void DefineProperties(TFiler* Filer) override;

 private:
  void HandleNeeded();
  void FreeHandle();
  void Recreate();
  void CheckImage(TGraphic* Image) const;
  void CheckIndex(int Index) const;
  UINT StyleFlags(TDrawingStyle ADrawingStyle, TImageType AImageType) const;
  void ReadData(TStream* Stream);
  void WriteData(TStream* Stream);
  bool Equal(TCustomImageList* Other);

  HIMAGELIST FHandle = nullptr;
  int FWidth = 16;
  int FHeight = 16;
  int FAllocBy = 4;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  bool FShareImages = false;
  int FUpdateCount = 0;
  bool FChanged = false;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};
