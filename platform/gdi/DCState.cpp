#include "platform/gdi/DCState.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/Raster.h"

namespace gdi {

namespace {

struct TTable {
  std::unordered_map<uintptr_t, std::shared_ptr<TGdiObject>> Objects;
  // Handle values are never addresses: a counter, spaced so that no handle is a small
  // integer (FillRect takes system colour index + 1 in place of a brush).
  uintptr_t Next = 0x10000;
};

TTable& Table() {
  static TTable table;
  return table;
}

// Copies a plain description into a caller's buffer as GetObject does.
template <class T>
int CopyOut(const T& Value, int Size, void* Buffer) {
  if (!Buffer) return static_cast<int>(sizeof(T));
  const int n = std::min(Size, static_cast<int>(sizeof(T)));
  if (n <= 0) return 0;
  std::memcpy(Buffer, &Value, static_cast<size_t>(n));
  return n;
}

}  // namespace

TStateTextOutput StateTextOutput;
TStateTextExtent StateTextExtent;

int TGdiObject::Describe(int, void*) const { return 0; }

HGDIOBJ AddObject(std::shared_ptr<TGdiObject> Object) {
  if (!Object) return nullptr;
  TTable& t = Table();
  const uintptr_t value = t.Next;
  t.Next += 0x10;
  Object->FHandle = reinterpret_cast<HGDIOBJ>(value);
  t.Objects.emplace(value, std::move(Object));
  return reinterpret_cast<HGDIOBJ>(value);
}

TGdiObject* FindObject(HGDIOBJ Handle) {
  if (!Handle) return nullptr;
  auto& objects = Table().Objects;
  auto it = objects.find(reinterpret_cast<uintptr_t>(Handle));
  return it == objects.end() ? nullptr : it->second.get();
}

std::shared_ptr<TGdiObject> ShareObject(HGDIOBJ Handle) {
  if (!Handle) return nullptr;
  auto& objects = Table().Objects;
  auto it = objects.find(reinterpret_cast<uintptr_t>(Handle));
  return it == objects.end() ? nullptr : it->second;
}

bool RemoveObject(HGDIOBJ Handle) { return Table().Objects.erase(reinterpret_cast<uintptr_t>(Handle)) > 0; }

int TPenObject::Describe(int Size, void* Buffer) const {
  if (Type() == OBJ_PEN) {
    LOGPEN p;
    p.lopnStyle = Style;
    p.lopnWidth = {Width, 0};
    p.lopnColor = Color;
    return CopyOut(p, Size, Buffer);
  }
  EXTLOGPEN p;
  p.elpPenStyle = Style;
  p.elpWidth = static_cast<DWORD>(Width);
  p.elpColor = Color;
  p.elpNumEntries = static_cast<DWORD>(Dashes.size());
  if (!Dashes.empty()) p.elpStyleEntry[0] = Dashes[0];
  return CopyOut(p, Size, Buffer);
}

int TBrushObject::Describe(int Size, void* Buffer) const {
  LOGBRUSH b;
  b.lbStyle = Style;
  b.lbColor = SysIndex >= 0 ? GetSysColor(SysIndex) : Color;
  b.lbHatch = Style == BS_HATCHED ? static_cast<uintptr_t>(Hatch) : reinterpret_cast<uintptr_t>(PatternHandle);
  return CopyOut(b, Size, Buffer);
}

int TBitmapObject::Describe(int Size, void* Buffer) const {
  BITMAP bm;
  bm.bmWidth = Width();
  bm.bmHeight = Height();
  bm.bmBitsPixel = Mono ? 1 : 32;
  bm.bmWidthBytes = Mono ? ((Width() + 15) / 16) * 2 : Width() * 4;
  bm.bmBits = Dib && Surface ? Surface->Data() : nullptr;
  if (Dib && Buffer && Size >= static_cast<int>(sizeof(DIBSECTION))) {
    DIBSECTION ds;
    ds.dsBm = bm;
    ds.dsBmih = Header;
    return CopyOut(ds, Size, Buffer);
  }
  return CopyOut(bm, Size, Buffer);
}

int TPaletteObject::Describe(int Size, void* Buffer) const {
  const WORD n = static_cast<WORD>(Entries.size());
  return CopyOut(n, Size, Buffer);
}

int TFontObject::Describe(int Size, void* Buffer) const {
  if (!Buffer) return static_cast<int>(sizeof(LOGFONT));
  if (Size < static_cast<int>(sizeof(LOGFONT))) return 0;
  *static_cast<LOGFONT*>(Buffer) = Log;
  return static_cast<int>(sizeof(LOGFONT));
}

HFONT NewFontHandle(const LOGFONT& Log) {
  auto font = std::make_shared<TFontObject>();
  font->Log = Log;
  return static_cast<HFONT>(AddObject(std::move(font)));
}

const TFontObject* FontObjectOf(HFONT Font) { return FindAs<TFontObject>(Font, OBJ_FONT); }

int TIconObject::Height() const {
  if (Color) return Color->Height();
  return Mask ? Mask->Height() / 2 : 0;
}

TIconObject* IconOf(HICON Icon) { return FindAs<TIconObject>(Icon, 0); }

TDC* DCOf(HDC DC) { return FindAs<TDC>(DC, OBJ_DC, OBJ_MEMDC); }

void SelectDefaults(TDC& DC) {
  DC.A.Pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  DC.A.Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  DC.A.Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  DC.A.Palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  DC.A.PenObject = ShareAs<TPenObject>(DC.A.Pen, OBJ_PEN);
  DC.A.BrushObject = ShareAs<TBrushObject>(DC.A.Brush, OBJ_BRUSH);
  DC.A.FontObject = ShareAs<TFontObject>(DC.A.Font, OBJ_FONT);
}

bool IsLight(COLORREF Color) {
  // Nearest of black and white by squared distance.
  int dark = 0, light = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int c = static_cast<int>((Color >> shift) & 0xFF);
    dark += c * c;
    light += (255 - c) * (255 - c);
  }
  return light < dark;
}

TPoint TDC::ToDevice(TPoint P) const {
  TPoint d{P.X - A.WindowOrg.X + A.ViewportOrg.X, P.Y - A.WindowOrg.Y + A.ViewportOrg.Y};
  if (Mirrored()) d.X = MirrorX(d.X);
  return d;
}

TRect TDC::ToDevice(const TRect& R) const {
  const int dx = A.ViewportOrg.X - A.WindowOrg.X, dy = A.ViewportOrg.Y - A.WindowOrg.Y;
  TRect d{std::min(R.Left, R.Right) + dx, std::min(R.Top, R.Bottom) + dy, std::max(R.Left, R.Right) + dx,
          std::max(R.Top, R.Bottom) + dy};
  if (Mirrored()) d = {Extent.cx - d.Right, d.Top, Extent.cx - d.Left, d.Bottom};
  return d;
}

const TRegion& TDC::Clip() {
  const TSize size = Surface ? TSize{Surface->Width(), Surface->Height()} : TSize{};
  if (!FClipValid || !(size == FClipSurface)) {
    FClipSurface = size;
    FClip = Surface ? TRegion::Combine(Visible, TRegion(Surface->Bounds()), TRegion::opAnd) : TRegion();
    if (A.HasClip) {
      TRegion c = A.Clip;
      c.Offset(Origin.X, Origin.Y);
      FClip &= c;
    }
    FClipValid = true;
  }
  return FClip;
}

uint32_t TDC::PixelFor(COLORREF Color) const {
  Color &= 0xFFFFFF;
  if (Mono) return IsLight(Color) ? kWhite : kBlack;
  return PixelOf(Color);
}

void WriteCoverage(HDC Handle, int X, int Y, const uint8_t* Mask, int Width, int Height, int Stride, COLORREF Color) {
  TDC* dc = DCOf(Handle);
  if (!dc || !dc->Surface || !Mask || Width <= 0 || Height <= 0) return;
  const uint32_t P = dc->PixelFor(Color);
  const int op = dc->A.Rop2;
  const int sx = X + dc->Origin.X, sy = Y + dc->Origin.Y;
  TSurface& s = *dc->Surface;
  const bool mono = dc->Mono;
  ForEachSpan(dc->Clip(), TRect{sx, sy, sx + Width, sy + Height}, [&](int y, int x0, int x1) {
    const uint8_t* m = Mask + static_cast<ptrdiff_t>(y - sy) * Stride;
    uint32_t* row = s.Row(y);
    for (int x = x0; x < x1; ++x) {
      const unsigned a = m[x - sx];
      if (a == 0 || (mono && a < 128)) continue;
      const uint32_t r = Rop2(op, P, row[x]);
      if (a == 255 || mono) {
        row[x] = r;
        continue;
      }
      const uint32_t d = row[x];
      uint32_t out = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const unsigned dc8 = (d >> shift) & 0xFF, rc8 = (r >> shift) & 0xFF;
        out |= ((rc8 * a + dc8 * (255 - a) + 127) / 255) << shift;
      }
      row[x] = out;
    }
  });
}

void FillDeviceRect(HDC Handle, const TRect& R, COLORREF Color, const TRect* ClipTo) {
  TDC* dc = DCOf(Handle);
  if (!dc) return;
  TRect r = R;
  if (ClipTo && !IntersectRect(&r, &R, ClipTo)) return;
  PaintDeviceRect(*dc, r, ColorPaint(*dc, Color), dc->A.Rop2);
}

void FillDeviceSpan(HDC DC, int Y, int X0, int X1, COLORREF Color) { FillDeviceRect(DC, {X0, Y, X1, Y + 1}, Color); }

}  // namespace gdi
