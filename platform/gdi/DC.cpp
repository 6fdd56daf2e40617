#include "platform/gdi/DC.h"

#include "platform/gdi/DCState.h"
#include "platform/gdi/Display.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/SurfaceDC.h"

#include <cmath>
#include <utility>

using namespace gdi;

namespace {

// The 1 × 1 monochrome bitmap every memory DC starts with.
HBITMAP DefaultBitmap() {
  static HBITMAP bitmap = [] {
    auto bm = std::make_shared<TBitmapObject>();
    bm->Surface = std::make_shared<TSurface>(1, 1, kBlack);
    bm->Mono = true;
    bm->Stock = true;
    return static_cast<HBITMAP>(AddObject(std::move(bm)));
  }();
  return bitmap;
}

// Points the DC at its selected bitmap's pixels.
void UseBitmap(TDC& DC) {
  const auto& bm = DC.A.BitmapObject;
  DC.Surface = bm ? bm->Surface : nullptr;
  DC.Mono = bm && bm->Mono;
  DC.Origin = {};
  DC.Visible = DC.Surface ? TRegion(DC.Surface->Bounds()) : TRegion();
  DC.Extent = DC.Surface ? TSize{DC.Surface->Width(), DC.Surface->Height()} : TSize{};
  DC.ClipChanged();
}

// The DC's own area in device coordinates (what "no clip region" stands for).
TRegion DeviceArea(TDC& DC) {
  TRegion all = DC.Surface ? TRegion::Combine(DC.Visible, TRegion(DC.Surface->Bounds()), TRegion::opAnd) : TRegion();
  all.Offset(-DC.Origin.X, -DC.Origin.Y);
  return all;
}

int Kind(const TRegion& R) { return R.IsEmpty() ? NULLREGION : R.IsRect() ? SIMPLEREGION : COMPLEXREGION; }

int ClipKind(TDC& DC) { return Kind(DC.Clip()); }

// Device to logical (the inverse of TDC::ToDevice).
TPoint ToLogical(const TDC& DC, TPoint P) {
  if (DC.Mirrored()) P.X = DC.MirrorX(P.X);
  return {P.X - DC.A.ViewportOrg.X + DC.A.WindowOrg.X, P.Y - DC.A.ViewportOrg.Y + DC.A.WindowOrg.Y};
}

template <class T, class F>
T WithDC(HDC Handle, T Error, F&& Fn) {
  TDC* dc = DCOf(Handle);
  return dc ? Fn(*dc) : Error;
}

// Sets one attribute and answers the previous value.
template <class T>
T Exchange(HDC Handle, T TDCAttributes::*Field, T Value, T Error) {
  TDC* dc = DCOf(Handle);
  return dc ? std::exchange(dc->A.*Field, Value) : Error;
}
template <class T>
T Read(HDC Handle, T TDCAttributes::*Field, T Error) {
  TDC* dc = DCOf(Handle);
  return dc ? dc->A.*Field : Error;
}

BOOL SetOrigin(HDC Handle, TPoint TDCAttributes::*Field, int X, int Y, bool Relative, TPoint* Old) {
  TDC* dc = DCOf(Handle);
  if (!dc) return FALSE;
  TPoint& p = dc->A.*Field;
  if (Old) *Old = p;
  p = Relative ? TPoint{p.X + X, p.Y + Y} : TPoint{X, Y};
  return TRUE;
}

BOOL GetOrigin(HDC Handle, TPoint TDCAttributes::*Field, TPoint* Out) {
  TDC* dc = DCOf(Handle);
  if (!dc || !Out) return FALSE;
  *Out = dc->A.*Field;
  return TRUE;
}

}  // namespace

HDC CreateCompatibleDC(HDC DC) {
  TDC* source = DC ? DCOf(DC) : nullptr;
  if (DC && !source) return nullptr;
  auto memory = std::make_shared<TDC>(true);
  SelectDefaults(*memory);
  memory->A.Bitmap = DefaultBitmap();
  memory->A.BitmapObject = ShareAs<TBitmapObject>(memory->A.Bitmap, OBJ_BITMAP);
  UseBitmap(*memory);
  return static_cast<HDC>(AddObject(std::move(memory)));
}

BOOL DeleteDC(HDC DC) { return DCOf(DC) && RemoveObject(DC) ? TRUE : FALSE; }

int SaveDC(HDC DC) {
  return WithDC(DC, 0, [](TDC& dc) {
    dc.Saved.push_back(dc.A);
    return static_cast<int>(dc.Saved.size());
  });
}

BOOL RestoreDC(HDC DC, int SavedDC) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  const int count = static_cast<int>(dc->Saved.size());
  const int level = SavedDC < 0 ? count + 1 + SavedDC : SavedDC;
  if (level < 1 || level > count) return FALSE;
  const bool bitmapChanged = dc->Saved[static_cast<size_t>(level - 1)].Bitmap != dc->A.Bitmap;
  dc->A = std::move(dc->Saved[static_cast<size_t>(level - 1)]);
  dc->Saved.resize(static_cast<size_t>(level - 1));
  if (bitmapChanged && dc->Memory()) UseBitmap(*dc);
  dc->ClipChanged();
  return TRUE;
}

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object) {
  TDC* dc = DCOf(DC);
  auto object = ShareObject(Object);
  if (!dc || !object) return nullptr;
  TDCAttributes& a = dc->A;
  HGDIOBJ old = nullptr;
  switch (object->Type()) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      old = a.Pen;
      a.Pen = static_cast<HPEN>(Object);
      a.PenObject = std::static_pointer_cast<TPenObject>(object);
      return old;
    case OBJ_BRUSH:
      old = a.Brush;
      a.Brush = static_cast<HBRUSH>(Object);
      a.BrushObject = std::static_pointer_cast<TBrushObject>(object);
      return old;
    case OBJ_FONT:
      old = a.Font;
      a.Font = static_cast<HFONT>(Object);
      a.FontObject = std::static_pointer_cast<TFontObject>(object);
      return old;
    case OBJ_BITMAP:
      if (!dc->Memory()) return nullptr;
      old = a.Bitmap;
      a.Bitmap = static_cast<HBITMAP>(Object);
      a.BitmapObject = std::static_pointer_cast<TBitmapObject>(object);
      UseBitmap(*dc);
      return old;
    case OBJ_REGION:
      return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(SelectClipRgn(DC, static_cast<HRGN>(Object))));
    default: return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC DC, UINT ObjectType) {
  TDC* dc = DCOf(DC);
  if (!dc) return nullptr;
  switch (ObjectType) {
    case OBJ_PEN:
    case OBJ_EXTPEN: return dc->A.Pen;
    case OBJ_BRUSH: return dc->A.Brush;
    case OBJ_FONT: return dc->A.Font;
    case OBJ_BITMAP: return dc->A.Bitmap;
    case OBJ_PAL: return dc->A.Palette;
    default: return nullptr;
  }
}

COLORREF SetDCBrushColor(HDC DC, COLORREF Color) {
  return Exchange(DC, &TDCAttributes::DCBrushColor, Color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetDCBrushColor(HDC DC) { return Read(DC, &TDCAttributes::DCBrushColor, CLR_INVALID); }
COLORREF SetDCPenColor(HDC DC, COLORREF Color) {
  return Exchange(DC, &TDCAttributes::DCPenColor, Color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetDCPenColor(HDC DC) { return Read(DC, &TDCAttributes::DCPenColor, CLR_INVALID); }

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL) {
  if (!FindAs<TPaletteObject>(Palette, OBJ_PAL)) return nullptr;
  return Exchange<HPALETTE>(DC, &TDCAttributes::Palette, Palette, nullptr);
}
UINT RealizePalette(HDC DC) { return DCOf(DC) ? 0 : GDI_ERROR; }

COLORREF SetBkColor(HDC DC, COLORREF Color) { return Exchange(DC, &TDCAttributes::BkColor, Color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC DC) { return Read(DC, &TDCAttributes::BkColor, CLR_INVALID); }
int SetBkMode(HDC DC, int Mode) {
  if (Mode != TRANSPARENT && Mode != OPAQUE) return 0;
  return Exchange(DC, &TDCAttributes::BkMode, Mode, 0);
}
int GetBkMode(HDC DC) { return Read(DC, &TDCAttributes::BkMode, 0); }
COLORREF SetTextColor(HDC DC, COLORREF Color) {
  return Exchange(DC, &TDCAttributes::TextColor, Color & 0xFFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC DC) { return Read(DC, &TDCAttributes::TextColor, CLR_INVALID); }
UINT SetTextAlign(HDC DC, UINT Align) { return Exchange(DC, &TDCAttributes::TextAlign, Align, GDI_ERROR); }
UINT GetTextAlign(HDC DC) { return Read(DC, &TDCAttributes::TextAlign, GDI_ERROR); }
int SetTextCharacterExtra(HDC DC, int Extra) {
  return Exchange(DC, &TDCAttributes::TextCharExtra, Extra, static_cast<int>(0x80000000u));
}
int GetTextCharacterExtra(HDC DC) { return Read(DC, &TDCAttributes::TextCharExtra, static_cast<int>(0x80000000u)); }
int SetROP2(HDC DC, int Rop2) {
  if (Rop2 < R2_BLACK || Rop2 > R2_WHITE) return 0;
  return Exchange(DC, &TDCAttributes::Rop2, Rop2, 0);
}
int GetROP2(HDC DC) { return Read(DC, &TDCAttributes::Rop2, 0); }
int SetStretchBltMode(HDC DC, int Mode) {
  if (Mode < BLACKONWHITE || Mode > HALFTONE) return 0;
  return Exchange(DC, &TDCAttributes::StretchMode, Mode, 0);
}
int GetStretchBltMode(HDC DC) { return Read(DC, &TDCAttributes::StretchMode, 0); }
int SetPolyFillMode(HDC DC, int Mode) {
  if (Mode != ALTERNATE && Mode != WINDING) return 0;
  return Exchange(DC, &TDCAttributes::PolyFillMode, Mode, 0);
}
int GetPolyFillMode(HDC DC) { return Read(DC, &TDCAttributes::PolyFillMode, 0); }
int SetArcDirection(HDC DC, int Direction) {
  if (Direction != AD_COUNTERCLOCKWISE && Direction != AD_CLOCKWISE) return 0;
  return Exchange(DC, &TDCAttributes::ArcDirection, Direction, 0);
}
int GetArcDirection(HDC DC) { return Read(DC, &TDCAttributes::ArcDirection, 0); }
BOOL SetBrushOrgEx(HDC DC, int X, int Y, TPoint* Old) { return SetOrigin(DC, &TDCAttributes::BrushOrg, X, Y, false, Old); }
BOOL GetBrushOrgEx(HDC DC, TPoint* Org) { return GetOrigin(DC, &TDCAttributes::BrushOrg, Org); }
DWORD SetLayout(HDC DC, DWORD Layout) {
  TDC* dc = DCOf(DC);
  if (!dc) return GDI_ERROR;
  const DWORD old = std::exchange(dc->A.Layout, Layout & (LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED));
  // The clip region stays on the same pixels; only the mapping of new drawing changes.
  return old;
}
DWORD GetLayout(HDC DC) { return Read(DC, &TDCAttributes::Layout, GDI_ERROR); }
int SetMapMode(HDC DC, int Mode) { return DCOf(DC) && Mode == MM_TEXT ? MM_TEXT : 0; }
int GetMapMode(HDC DC) { return DCOf(DC) ? MM_TEXT : 0; }

BOOL SetViewportOrgEx(HDC DC, int X, int Y, TPoint* Old) {
  return SetOrigin(DC, &TDCAttributes::ViewportOrg, X, Y, false, Old);
}
BOOL GetViewportOrgEx(HDC DC, TPoint* Org) { return GetOrigin(DC, &TDCAttributes::ViewportOrg, Org); }
BOOL OffsetViewportOrgEx(HDC DC, int Dx, int Dy, TPoint* Old) {
  return SetOrigin(DC, &TDCAttributes::ViewportOrg, Dx, Dy, true, Old);
}
BOOL SetWindowOrgEx(HDC DC, int X, int Y, TPoint* Old) { return SetOrigin(DC, &TDCAttributes::WindowOrg, X, Y, false, Old); }
BOOL GetWindowOrgEx(HDC DC, TPoint* Org) { return GetOrigin(DC, &TDCAttributes::WindowOrg, Org); }
BOOL OffsetWindowOrgEx(HDC DC, int Dx, int Dy, TPoint* Old) {
  return SetOrigin(DC, &TDCAttributes::WindowOrg, Dx, Dy, true, Old);
}
BOOL LPtoDP(HDC DC, TPoint* Points, int Count) {
  TDC* dc = DCOf(DC);
  if (!dc || (!Points && Count > 0)) return FALSE;
  for (int i = 0; i < Count; ++i) Points[i] = dc->ToDevice(Points[i]);
  return TRUE;
}
BOOL DPtoLP(HDC DC, TPoint* Points, int Count) {
  TDC* dc = DCOf(DC);
  if (!dc || (!Points && Count > 0)) return FALSE;
  for (int i = 0; i < Count; ++i) Points[i] = ToLogical(*dc, Points[i]);
  return TRUE;
}
BOOL GetCurrentPositionEx(HDC DC, TPoint* Pos) { return GetOrigin(DC, &TDCAttributes::CurrentPos, Pos); }

// Clipping -----------------------------------------------------------------------------

int ExtSelectClipRgn(HDC DC, HRGN Region, int Mode) {
  TDC* dc = DCOf(DC);
  if (!dc) return ERROR;
  TDCAttributes& a = dc->A;
  if (!Region) {
    if (Mode != RGN_COPY) return ERROR;
    a.HasClip = false;
    a.Clip = {};
    dc->ClipChanged();
    return ClipKind(*dc);
  }
  const TRegion* r = RegionOf(Region);
  if (!r) return ERROR;
  const TRegion current = a.HasClip ? a.Clip : DeviceArea(*dc);
  switch (Mode) {
    case RGN_COPY: a.Clip = *r; break;
    case RGN_AND: a.Clip = TRegion::Combine(current, *r, TRegion::opAnd); break;
    case RGN_OR: a.Clip = TRegion::Combine(current, *r, TRegion::opOr); break;
    case RGN_XOR: a.Clip = TRegion::Combine(current, *r, TRegion::opXor); break;
    case RGN_DIFF: a.Clip = TRegion::Combine(current, *r, TRegion::opDiff); break;
    default: return ERROR;
  }
  a.HasClip = true;
  dc->ClipChanged();
  return ClipKind(*dc);
}

int SelectClipRgn(HDC DC, HRGN Region) { return ExtSelectClipRgn(DC, Region, RGN_COPY); }

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* dc = DCOf(DC);
  if (!dc) return ERROR;
  const TRegion r(dc->ToDevice(TRect{Left, Top, Right, Bottom}));
  dc->A.Clip = dc->A.HasClip ? TRegion::Combine(dc->A.Clip, r, TRegion::opAnd) : r;
  dc->A.HasClip = true;
  dc->ClipChanged();
  return ClipKind(*dc);
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom) {
  TDC* dc = DCOf(DC);
  if (!dc) return ERROR;
  const TRegion r(dc->ToDevice(TRect{Left, Top, Right, Bottom}));
  dc->A.Clip = TRegion::Combine(dc->A.HasClip ? dc->A.Clip : DeviceArea(*dc), r, TRegion::opDiff);
  dc->A.HasClip = true;
  dc->ClipChanged();
  return ClipKind(*dc);
}

int OffsetClipRgn(HDC DC, int Dx, int Dy) {
  TDC* dc = DCOf(DC);
  if (!dc) return ERROR;
  if (dc->A.HasClip) {
    dc->A.Clip.Offset(dc->Mirrored() ? -Dx : Dx, Dy);
    dc->ClipChanged();
  }
  return ClipKind(*dc);
}

int GetClipBox(HDC DC, TRect* R) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return ERROR;
  TRect box = dc->Clip().Box();
  OffsetRect(&box, -dc->Origin.X, -dc->Origin.Y);
  const TPoint a = ToLogical(*dc, box.TopLeft());
  const TPoint b = ToLogical(*dc, {box.Right - 1, box.Bottom - 1});
  *R = box.IsEmpty() ? TRect{} : TRect{std::min(a.X, b.X), a.Y, std::max(a.X, b.X) + 1, b.Y + 1};
  return ClipKind(*dc);
}

int GetClipRgn(HDC DC, HRGN Region) {
  TDC* dc = DCOf(DC);
  TRegion* out = MutableRegionOf(Region);
  if (!dc || !out) return -1;
  if (!dc->A.HasClip) return 0;
  *out = dc->A.Clip;
  return 1;
}

BOOL PtVisible(HDC DC, int X, int Y) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  const TPoint p = dc->ToDevice({X, Y});
  return dc->Clip().Contains(p.X + dc->Origin.X, p.Y + dc->Origin.Y);
}

BOOL RectVisible(HDC DC, const TRect* R) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return FALSE;
  TRect d = dc->ToDevice(*R);
  OffsetRect(&d, dc->Origin.X, dc->Origin.Y);
  return dc->Clip().Intersects(d);
}

// The display --------------------------------------------------------------------------

int GetDeviceCaps(HDC, int Index) {
  const TSize screen = gdi::ScreenSize();
  switch (Index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return DT_RASDISPLAY;
    case HORZSIZE: return static_cast<int>(std::lround(screen.cx * 25.4 / 96));
    case VERTSIZE: return static_cast<int>(std::lround(screen.cy * 25.4 / 96));
    case HORZRES:
    case DESKTOPHORZRES: return screen.cx;
    case VERTRES:
    case DESKTOPVERTRES: return screen.cy;
    case BITSPIXEL: return gdi::IsPaletteDisplay() ? 8 : 32;
    case PLANES: return 1;
    case NUMBRUSHES:
    case NUMPENS:
    case NUMCOLORS: return gdi::IsPaletteDisplay() ? 20 : -1;  // -1: more than a palette holds
    case NUMFONTS: return 0;
    case ASPECTX:
    case ASPECTY: return 36;
    case ASPECTXY: return 51;
    case LOGPIXELSX:
    case LOGPIXELSY: return 96;
    case SIZEPALETTE: return gdi::IsPaletteDisplay() ? 256 : 0;
    case NUMRESERVED: return gdi::IsPaletteDisplay() ? 20 : 0;
    case COLORRES: return 24;
    case RASTERCAPS:
      return (gdi::IsPaletteDisplay() ? int{RC_PALETTE} : 0) | RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV |
             RC_STRETCHBLT | RC_STRETCHDIB;
    case SHADEBLENDCAPS: return 0x33;  // constant and per-pixel alpha, rectangle and triangle gradients
    case VREFRESH: return 60;
    default: return 0;
  }
}

COLORREF GetNearestColor(HDC DC, COLORREF Color) {
  TDC* dc = DCOf(DC);
  if (!dc) return CLR_INVALID;
  const COLORREF shown = ColorOfPixel(dc->PixelFor(Color));
  return gdi::IsPaletteDisplay() && !dc->Memory() && !dc->Mono ? gdi::NearestStaticColor(shown) : shown;
}

BOOL GdiFlush() { return TRUE; }
