#include "platform/graphics/GraphicsObjects.h"

#include <unordered_map>

#include "platform/classes/TypeInfo.h"
#include "platform/gdi/Objects.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Idents.h"
#include "platform/rtl/SysUtils.h"

const char* const DefFontName = "MS Sans Serif";

namespace graphics {

namespace {

// The handles graphics objects hold now, so that a handle handed back (a font handle saved
// and restored around a rotated font) joins its holder instead of being freed twice.
std::unordered_map<HGDIOBJ, std::weak_ptr<TSharedHandle>>& Holders() {
  static std::unordered_map<HGDIOBJ, std::weak_ptr<TSharedHandle>> holders;
  return holders;
}

}  // namespace

std::shared_ptr<TSharedHandle> TSharedHandle::Adopt(HGDIOBJ Handle) {
  std::shared_ptr<TSharedHandle> holder(new TSharedHandle(nullptr));
  holder->Fill(Handle);
  return holder;
}

void TSharedHandle::Fill(HGDIOBJ Handle) {
  FHandle = Handle;
  if (Handle) Holders()[Handle] = weak_from_this();
}

std::shared_ptr<TSharedHandle> TSharedHandle::Find(HGDIOBJ Handle) {
  auto it = Holders().find(Handle);
  return it == Holders().end() ? nullptr : it->second.lock();
}

TSharedHandle::~TSharedHandle() {
  if (!FHandle) return;
  Holders().erase(FHandle);
  DeleteObject(FHandle);
}

}  // namespace graphics

// ---- TGraphicsObject ----

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
}

void TGraphicsObject::AdoptHandle(HGDIOBJ Handle) {
  if (FShared && FShared->Handle() == Handle) return;
  if (auto holder = graphics::TSharedHandle::Find(Handle))
    FShared = std::move(holder);
  else if (Handle && GetObjectType(Handle) != 0)
    FShared = graphics::TSharedHandle::Adopt(Handle);
  else
    FShared.reset();
}

// ---- TPen ----

const classes::TEnumInfo& EnumInfo(TPenStyle) {
  static const classes::TEnumInfo info{"TPenStyle",
                                       {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                                        "psInsideFrame", "psUserStyle", "psAlternate"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TPenMode) {
  static const classes::TEnumInfo info{
      "TPenMode",
      {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
       "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"}};
  return info;
}

int PenModeToRop2(TPenMode Mode) {
  static const int rops[] = {R2_BLACK,      R2_WHITE,      R2_NOP,         R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                             R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                             R2_MASKPEN,    R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return Mode >= pmBlack && Mode <= pmNotXor ? rops[Mode] : R2_COPYPEN;
}

template <class V>
void TPen::Change(V& Field, V Value) {
  if (Field == Value) return;
  Field = Value;
  ReleaseShared();
  Changed();
}

void TPen::SetColor(TColor Value) { Change(FColor, Value); }
void TPen::SetWidth(int Value) { Change(FWidth, Value); }
void TPen::SetStyle(TPenStyle Value) { Change(FStyle, Value); }

void TPen::SetMode(TPenMode Value) {
  if (FMode == Value) return;
  FMode = Value;
  Changed();
}

HPEN TPen::Handle() {
  return SharedHandle<HPEN>([this]() -> HGDIOBJ {
    const COLORREF color = ColorToRGB(FColor);
    if (FStyle == psAlternate) {
      LOGBRUSH lb{BS_SOLID, color, 0};
      return ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    }
    static const UINT styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME,
                                  PS_SOLID};
    LOGPEN lp;
    lp.lopnStyle = styles[FStyle];
    lp.lopnWidth = {FWidth, 0};
    lp.lopnColor = color;
    return CreatePenIndirect(&lp);
  });
}

void TPen::SetHandle(HPEN Value) {
  EXTLOGPEN ext;
  LOGPEN lp;
  if (GetObjectType(Value) == OBJ_EXTPEN && GetObject(Value, sizeof ext, &ext)) {
    lp.lopnStyle = ext.elpPenStyle & PS_STYLE_MASK;
    lp.lopnWidth = {static_cast<int>(ext.elpWidth), 0};
    lp.lopnColor = ext.elpColor;
  } else if (!GetObject(Value, sizeof lp, &lp)) {
    ReleaseShared();
    Changed();
    return;
  }
  static const TPenStyle styles[] = {psSolid, psDash,        psDot,       psDashDot,  psDashDotDot,
                                     psClear, psInsideFrame, psUserStyle, psAlternate};
  FStyle = lp.lopnStyle <= PS_ALTERNATE ? styles[lp.lopnStyle] : psSolid;
  FWidth = lp.lopnWidth.X;
  FColor = static_cast<TColor>(lp.lopnColor);
  AdoptHandle(Value);
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  if (auto* pen = dynamic_cast<TPen*>(Source)) {
    if (pen == this) return;
    FColor = pen->FColor;
    FWidth = pen->FWidth;
    FStyle = pen->FStyle;
    FMode = pen->FMode;
    ShareWith(*pen);
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- TBrush ----

const classes::TEnumInfo& EnumInfo(TBrushStyle) {
  static const classes::TEnumInfo info{"TBrushStyle",
                                       {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                                        "bsBDiagonal", "bsCross", "bsDiagCross"}};
  return info;
}

void TBrush::SetColor(TColor Value) {
  if (FColor == Value && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  ReleaseShared();
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  ReleaseShared();
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  FBitmap = Value;
  ReleaseShared();
  Changed();
}

HBRUSH TBrush::Handle() {
  return SharedHandle<HBRUSH>([this]() -> HGDIOBJ {
    if (FBitmap && !FBitmap->Empty()) return CreatePatternBrush(FBitmap->Handle());
    const COLORREF color = ColorToRGB(FColor);
    switch (FStyle) {
      case bsSolid: return CreateSolidBrush(color);
      case bsClear: {
        LOGBRUSH lb{BS_NULL, 0, 0};
        return CreateBrushIndirect(&lb);
      }
      default: return CreateHatchBrush(HS_HORIZONTAL + (FStyle - bsHorizontal), color);
    }
  });
}

void TBrush::SetHandle(HBRUSH Value) {
  LOGBRUSH lb;
  if (GetObject(Value, sizeof lb, &lb)) {
    FBitmap = nullptr;
    FColor = static_cast<TColor>(lb.lbColor);
    if (lb.lbStyle == BS_NULL)
      FStyle = bsClear;
    else if (lb.lbStyle == BS_HATCHED && lb.lbHatch <= HS_DIAGCROSS)
      FStyle = static_cast<TBrushStyle>(bsHorizontal + static_cast<int>(lb.lbHatch));
    else
      FStyle = bsSolid;
    AdoptHandle(Value);
  } else {
    ReleaseShared();
  }
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* brush = dynamic_cast<TBrush*>(Source)) {
    if (brush == this) return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    FBitmap = brush->FBitmap;
    ShareWith(*brush);
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- TFont ----

const classes::TEnumInfo& EnumInfo(TFontStyle) {
  static const classes::TEnumInfo info{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TFontPitch) {
  static const classes::TEnumInfo info{"TFontPitch", {"fpDefault", "fpVariable", "fpFixed"}};
  return info;
}

void TFont::ChangeDescription() {
  ReleaseShared();
  Changed();
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || FName == Value) return;
  FName = Value;
  ChangeDescription();
}

void TFont::SetHeight(int Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  ChangeDescription();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetStyle(TFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  ChangeDescription();
}

void TFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TFont::SetCharset(TFontCharset Value) {
  if (FCharset == Value) return;
  FCharset = Value;
  ChangeDescription();
}

void TFont::SetPitch(TFontPitch Value) {
  if (FPitch == Value) return;
  FPitch = Value;
  ChangeDescription();
}

LOGFONT TFont::LogFont() const {
  LOGFONT lf;
  lf.lfHeight = FHeight;
  lf.lfWeight = FStyle.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = FStyle.Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = FStyle.Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = FStyle.Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfPitchAndFamily = FPitch == fpVariable ? VARIABLE_PITCH : FPitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  lf.lfFaceName = classes::SameIdent(FName, "Default") ? DefFontName : FName;
  return lf;
}

HFONT TFont::Handle() {
  return SharedHandle<HFONT>([this]() -> HGDIOBJ {
    const LOGFONT lf = LogFont();
    return CreateFontIndirect(&lf);
  });
}

void TFont::SetHandle(HFONT Value) {
  LOGFONT lf;
  if (GetObjectType(Value) == OBJ_FONT && GetObject(Value, sizeof lf, &lf)) {
    if (!lf.lfFaceName.empty()) FName = lf.lfFaceName;
    FHeight = lf.lfHeight;
    TFontStyles style;
    if (lf.lfWeight >= FW_BOLD) style.Include(fsBold);
    if (lf.lfItalic) style.Include(fsItalic);
    if (lf.lfUnderline) style.Include(fsUnderline);
    if (lf.lfStrikeOut) style.Include(fsStrikeOut);
    FStyle = style;
    FCharset = lf.lfCharSet;
    const int pitch = lf.lfPitchAndFamily & 0x03;
    FPitch = pitch == VARIABLE_PITCH ? fpVariable : pitch == FIXED_PITCH ? fpFixed : fpDefault;
    AdoptHandle(Value);
  } else {
    ReleaseShared();
  }
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* font = dynamic_cast<TFont*>(Source)) {
    if (font == this) return;
    FName = font->FName;
    FHeight = font->FHeight;
    FStyle = font->FStyle;
    FColor = font->FColor;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    if (FPixelsPerInch != font->FPixelsPerInch) {
      FHeight = -MulDiv(font->Size(), FPixelsPerInch, 72);
      ReleaseShared();
    } else {
      ShareWith(*font);
    }
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- published properties ----

static const classes::TPublished<TGraphicsObject, TPersistent> GraphicsObjectInfo;

static const classes::TPublished<TPen, TGraphicsObject> PenInfo([](classes::TPublisher<TPen>& p) {
  p.Int("Color", &TPen::Color, &TPen::SetColor).Default(clBlack).Idents(ColorIdents());
  p.Enum("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  p.Enum("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  p.Int("Width", &TPen::Width, &TPen::SetWidth).Default(1);
});

static const classes::TPublished<TBrush, TGraphicsObject> BrushInfo([](classes::TPublisher<TBrush>& p) {
  p.Int("Color", &TBrush::Color, &TBrush::SetColor).Default(clWhite).Idents(ColorIdents());
  p.Enum("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
});

static const classes::TPublished<TFont, TGraphicsObject> FontInfo([](classes::TPublisher<TFont>& p) {
  p.Int("Charset", &TFont::Charset, &TFont::SetCharset).Idents(CharsetIdents());
  p.Int("Color", &TFont::Color, &TFont::SetColor).Idents(ColorIdents());
  p.Int("Height", &TFont::Height, &TFont::SetHeight);
  p.String("Name", &TFont::Name, &TFont::SetName);
  p.Enum("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  p.Int("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  p.template Set<TFontStyle>("Style", &TFont::Style, &TFont::SetStyle);
});
