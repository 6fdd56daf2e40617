#pragma once
// The pen, brush and font of a canvas. Each keeps its description (colour, style, width,
// name, ...) and makes its GDI object on first use of Handle; a change of the description
// lets go of the object (a new one is made when next asked for) and raises OnChange, which is
// how a canvas learns to select the new object before its next drawing call. Objects that
// were assigned from one another share one GDI object until one of them changes.
#include <memory>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Colors.h"
#include "platform/gdi/Fonts.h"
#include "platform/rtl/Sets.h"

class TBitmap;

namespace graphics {

// A GDI object shared by the graphics objects that use it; freed with the last of them. A
// program that hands a graphics object a handle another one already holds joins that one.
// Objects assigned from one another share the holder before it has an object, so the first
// of them to need it makes it for all.
class TSharedHandle : public std::enable_shared_from_this<TSharedHandle> {
 public:
  // Takes ownership of Handle (which may be null: the object is made later, by Fill).
  static std::shared_ptr<TSharedHandle> Adopt(HGDIOBJ Handle);
  void Fill(HGDIOBJ Handle);
  // The holder of a handle some graphics object holds now, or null.
  static std::shared_ptr<TSharedHandle> Find(HGDIOBJ Handle);
  ~TSharedHandle();
  TSharedHandle(const TSharedHandle&) = delete;
  TSharedHandle& operator=(const TSharedHandle&) = delete;
  HGDIOBJ Handle() const { return FHandle; }

 private:
  explicit TSharedHandle(HGDIOBJ Handle) : FHandle(Handle) {}
  HGDIOBJ FHandle;
};

}  // namespace graphics

class TGraphicsObject : public TPersistent {
 public:
  // Raised after every change of the description.
  TNotifyEvent OnChange;

 protected:
  virtual void Changed();
  // The shared GDI object, made by Make when there is none.
  template <class H, class F>
  H SharedHandle(F Make) {
    if (!FShared) FShared = graphics::TSharedHandle::Adopt(nullptr);
    if (!FShared->Handle()) FShared->Fill(Make());
    return static_cast<H>(FShared->Handle());
  }
  // Lets go of the GDI object (it is freed when no other object shares it).
  void ReleaseShared() { FShared.reset(); }
  // Shares the GDI object of Source (made when the first of them needs it).
  void ShareWith(TGraphicsObject& Source) {
    if (!Source.FShared) Source.FShared = graphics::TSharedHandle::Adopt(nullptr);
    FShared = Source.FShared;
  }
  // Takes Handle as this object's GDI object (joining another holder of it).
  void AdoptHandle(HGDIOBJ Handle);
  bool HasHandle() const { return FShared != nullptr; }

 private:
  std::shared_ptr<graphics::TSharedHandle> FShared;
};

// ---- pens ----

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
// The raster operations of a pen: how its colour combines with the pixels drawn over.
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
const classes::TEnumInfo& EnumInfo(TPenStyle);
const classes::TEnumInfo& EnumInfo(TPenMode);
// The binary raster operation (R2_*) of a pen mode.
int PenModeToRop2(TPenMode Mode);

class TPen : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  int Width() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // Applied by the canvas when it selects the pen (SetROP2); not part of the pen object.
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode Value);

  HPEN Handle();
  // Takes a pen object: its colour, width and style become the description.
  void SetHandle(HPEN Value);

  void Assign(TPersistent* Source) override;

 private:
  template <class V>
  void Change(V& Field, V Value);
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

// ---- brushes ----

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
const classes::TEnumInfo& EnumInfo(TBrushStyle);

class TBrush : public TGraphicsObject {
 public:
  TColor Color() const { return FColor; }
  // A colour for a clear brush makes it solid again.
  void SetColor(TColor Value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A bitmap the brush repeats (not owned); its pixels are taken when the brush object is
  // made, so the bitmap may be changed or freed afterwards. Nil returns to Style and Color.
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);

  HBRUSH Handle();
  void SetHandle(HBRUSH Value);

  void Assign(TPersistent* Source) override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

// ---- fonts ----

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
const classes::TEnumInfo& EnumInfo(TFontStyle);
const classes::TEnumInfo& EnumInfo(TFontPitch);

// The face a font has unless told otherwise (the drawing layer maps it to an installed one);
// a font named "Default" uses it too. 8 points at 96 pixels per inch.
extern const char* const DefFontName;
constexpr int DefFontHeight = -11;

class TFont : public TGraphicsObject {
 public:
  TFont() = default;

  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value);
  // The character height in pixels (negative) or the cell height (positive).
  int Height() const { return FHeight; }
  void SetHeight(int Value);
  // The size in points at PixelsPerInch.
  int Size() const;
  void SetSize(int Value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  // The text colour; not part of the font object (the canvas sets the text colour).
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // The resolution Size is counted at (the screen's, 96); Height stays as it is.
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value > 0 ? Value : 96; }

  HFONT Handle();
  // Takes a font object (a rotated font made by a program, say): its face, height, style and
  // character set become the description, and the object is used as it is (escapement
  // included) until the description changes. A handle that is no font object lets go of the
  // current object only: the next one is made from the description.
  void SetHandle(HFONT Value);
  // The logical font the description makes.
  LOGFONT LogFont() const;

  // Copies another font; at a different PixelsPerInch the point size is kept.
  void Assign(TPersistent* Source) override;

 private:
  void ChangeDescription();
  std::string FName = DefFontName;
  int FHeight = DefFontHeight;
  TFontStyles FStyle;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FPixelsPerInch = 96;
};
