#include "platform/gdi/Objects.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/gdi/DCState.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Scan.h"

using namespace gdi;

namespace {

std::shared_ptr<TPenObject> MakePen(bool Extended, DWORD Style, int Width, COLORREF Color) {
  auto pen = std::make_shared<TPenObject>(Extended);
  pen->Style = Style;
  pen->Width = std::max(0, Width);
  pen->Color = Color & 0xFFFFFF;
  return pen;
}

std::shared_ptr<TBrushObject> MakeBrush(UINT Style, COLORREF Color, int Hatch = 0) {
  auto brush = std::make_shared<TBrushObject>();
  brush->Style = Style;
  brush->Color = Color & 0xFFFFFF;
  brush->Hatch = Hatch;
  return brush;
}

template <class T>
HGDIOBJ AddStock(std::shared_ptr<T> Object) {
  Object->Stock = true;
  return AddObject(std::move(Object));
}

LOGFONT StockFont(int Index) {
  LOGFONT f;
  switch (Index) {
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
      f.lfHeight = 16;
      f.lfWeight = FW_BOLD;
      f.lfFaceName = "System";
      break;
    case OEM_FIXED_FONT:
    case ANSI_FIXED_FONT:
    case SYSTEM_FIXED_FONT:
      f.lfHeight = 12;
      f.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
      f.lfFaceName = "Courier";
      break;
    case ANSI_VAR_FONT:
      f.lfHeight = 12;
      f.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
      f.lfFaceName = "MS Sans Serif";
      break;
    default:  // DEFAULT_GUI_FONT
      f.lfHeight = -11;
      f.lfFaceName = "MS Shell Dlg";
      break;
  }
  return f;
}

std::shared_ptr<TBitmapObject> NewBitmap(int Width, int Height, bool Mono) {
  auto bm = std::make_shared<TBitmapObject>();
  bm->Surface = std::make_shared<TSurface>(std::max(0, Width), std::max(0, Height), kBlack);
  bm->Mono = Mono;
  return bm;
}

int DibStride(int Width, int Bits) { return ((Width * Bits + 31) / 32) * 4; }

// The pixel at column X of a DIB row in Bits per pixel (colour table for 1, 4 and 8).
uint32_t ReadDibPixel(const uint8_t* Row, int X, int Bits, const RGBQUAD* Table, int TableSize) {
  auto fromTable = [&](unsigned i) {
    if (static_cast<int>(i) >= TableSize) return kBlack;
    const RGBQUAD& q = Table[i];
    return 0xFF000000u | (static_cast<uint32_t>(q.rgbRed) << 16) | (static_cast<uint32_t>(q.rgbGreen) << 8) | q.rgbBlue;
  };
  switch (Bits) {
    case 1: return fromTable((Row[X / 8] >> (7 - X % 8)) & 1);
    case 4: return fromTable((Row[X / 2] >> (X % 2 ? 0 : 4)) & 0xF);
    case 8: return fromTable(Row[X]);
    case 24: {
      const uint8_t* p = Row + X * 3;
      return 0xFF000000u | (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
    }
    case 32: {
      uint32_t v;
      std::memcpy(&v, Row + X * 4, 4);
      return v;
    }
    default: return kBlack;
  }
}

bool SupportedDibDepth(int Bits) { return Bits == 1 || Bits == 4 || Bits == 8 || Bits == 24 || Bits == 32; }

std::shared_ptr<TSurface> CopySurface(const std::shared_ptr<TSurface>& S) {
  if (!S) return nullptr;
  auto copy = std::make_shared<TSurface>(S->Width(), S->Height());
  for (int y = 0; y < S->Height(); ++y) std::copy(S->Row(y), S->Row(y) + S->Width(), copy->Row(y));
  return copy;
}

// Nearest-neighbour resize of a picture.
std::shared_ptr<TSurface> ResizeSurface(const TSurface& S, int Width, int Height) {
  auto out = std::make_shared<TSurface>(Width, Height);
  if (S.Width() == 0 || S.Height() == 0) return out;
  for (int y = 0; y < Height; ++y) {
    const uint32_t* in = S.Row(static_cast<int>(static_cast<int64_t>(y) * S.Height() / Height));
    uint32_t* o = out->Row(y);
    for (int x = 0; x < Width; ++x) o[x] = in[static_cast<int64_t>(x) * S.Width() / Width];
  }
  return out;
}

HBITMAP AddBitmap(std::shared_ptr<TSurface> Surface, bool Mono) {
  auto bm = std::make_shared<TBitmapObject>();
  bm->Surface = std::move(Surface);
  bm->Mono = Mono;
  return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

}  // namespace

// Pens ---------------------------------------------------------------------------------

HPEN CreatePen(int Style, int Width, COLORREF Color) {
  DWORD style = static_cast<DWORD>(Style) & PS_STYLE_MASK;
  if (style > PS_INSIDEFRAME) style = PS_SOLID;
  // Styled lines exist only one pixel wide; wider ones are solid.
  if (Width > 1 && style >= PS_DASH && style <= PS_DASHDOTDOT) style = PS_SOLID;
  return static_cast<HPEN>(AddObject(MakePen(false, style, Width, Color)));
}

HPEN CreatePenIndirect(const LOGPEN* Pen) {
  return Pen ? CreatePen(static_cast<int>(Pen->lopnStyle), Pen->lopnWidth.X, Pen->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD PenStyle, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* Style) {
  if (!Brush) return nullptr;
  const DWORD kind = PenStyle & PS_STYLE_MASK;
  const bool geometric = (PenStyle & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!geometric && Width != 1) return nullptr;  // cosmetic pens are one pixel wide
  if (kind == PS_ALTERNATE && geometric) return nullptr;
  if (kind == PS_USERSTYLE && (StyleCount == 0 || StyleCount > 16 || !Style)) return nullptr;
  if (kind != PS_USERSTYLE && (StyleCount != 0 || Style)) return nullptr;
  auto pen = MakePen(true, PenStyle, static_cast<int>(Width), Brush->lbColor);
  if (Brush->lbStyle == BS_NULL) pen->Style = (PenStyle & ~PS_STYLE_MASK) | PS_NULL;
  if (kind == PS_USERSTYLE) pen->Dashes.assign(Style, Style + StyleCount);
  return static_cast<HPEN>(AddObject(std::move(pen)));
}

// Brushes ------------------------------------------------------------------------------

HBRUSH CreateSolidBrush(COLORREF Color) { return static_cast<HBRUSH>(AddObject(MakeBrush(BS_SOLID, Color))); }

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color) {
  if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) return nullptr;
  return static_cast<HBRUSH>(AddObject(MakeBrush(BS_HATCHED, Color, Hatch)));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !bm->Surface || bm->Width() == 0 || bm->Height() == 0) return nullptr;
  auto brush = MakeBrush(BS_PATTERN, 0);
  brush->Pattern = CopySurface(bm->Surface);
  brush->Mono = bm->Mono;
  brush->PatternHandle = Bitmap;
  return static_cast<HBRUSH>(AddObject(std::move(brush)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush) {
  if (!Brush) return nullptr;
  switch (Brush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(Brush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(AddObject(MakeBrush(BS_NULL, 0)));
    case BS_HATCHED: return CreateHatchBrush(static_cast<int>(Brush->lbHatch), Brush->lbColor);
    case BS_PATTERN:
    case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush->lbHatch));
    default: return nullptr;
  }
}

HBRUSH GetSysColorBrush(int Index) {
  static std::array<HBRUSH, COLOR_COUNT> brushes{};
  if (Index < 0 || Index >= COLOR_COUNT) return nullptr;
  HBRUSH& b = brushes[static_cast<size_t>(Index)];
  if (!b) {
    auto brush = MakeBrush(BS_SOLID, 0);
    brush->SysIndex = Index;
    b = static_cast<HBRUSH>(AddStock(std::move(brush)));
  }
  return b;
}

// Bitmaps ------------------------------------------------------------------------------

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitsPerPixel, const void* Bits) {
  if (Width < 0 || Height < 0 || Planes == 0 || Planes > 32 || BitsPerPixel > 32) return nullptr;
  const bool mono = Planes * BitsPerPixel == 1;
  auto bm = NewBitmap(Width, Height, mono);
  if (Bits) {
    const int depth = mono ? 1 : static_cast<int>(BitsPerPixel);
    const int stride = ((Width * depth + 15) / 16) * 2;
    const auto* bytes = static_cast<const uint8_t*>(Bits);
    for (int y = 0; y < Height; ++y) {
      uint32_t* row = bm->Surface->Row(y);
      for (int x = 0; x < Width; ++x) {
        const uint8_t* line = bytes + static_cast<size_t>(y) * stride;
        uint32_t p = kBlack;
        if (depth == 1) p = (line[x / 8] >> (7 - x % 8)) & 1 ? kWhite : kBlack;
        else if (depth == 32 || depth == 24) p = ReadDibPixel(line, x, depth, nullptr, 0);
        row[x] = p;
      }
    }
  }
  return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap) {
  return Bitmap ? CreateBitmap(Bitmap->bmWidth, Bitmap->bmHeight, Bitmap->bmPlanes, Bitmap->bmBitsPixel,
                               Bitmap->bmBits)
                : nullptr;
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height) {
  TDC* dc = DCOf(DC);
  if (!dc || Width < 0 || Height < 0) return nullptr;
  auto bm = NewBitmap(Width, Height, dc->Mono);
  return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT, void** Bits, HANDLE, DWORD) {
  if (Bits) *Bits = nullptr;
  if (!Info) return nullptr;
  const BITMAPINFOHEADER& h = Info->bmiHeader;
  if (h.biBitCount != 32 || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS) || h.biWidth <= 0 ||
      h.biHeight == 0)
    return nullptr;
  auto bm = std::make_shared<TBitmapObject>();
  const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  bm->Surface = std::make_shared<TSurface>(h.biWidth, height, 0);
  bm->Surface->SetBottomUp(h.biHeight > 0);
  bm->Dib = true;
  bm->Header = h;
  bm->Header.biSizeImage = static_cast<DWORD>(h.biWidth) * height * 4;
  if (Bits) *Bits = bm->Surface->Data();
  return static_cast<HBITMAP>(AddObject(std::move(bm)));
}

int GetDIBits(HDC DC, HBITMAP Bitmap, UINT StartScan, UINT Lines, void* Bits, BITMAPINFO* Info, UINT) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !Info || (!DC && Bits)) return 0;
  BITMAPINFOHEADER& h = Info->bmiHeader;
  const int width = bm->Width(), height = bm->Height();
  if (!Bits) {
    if (h.biBitCount == 0) h.biBitCount = bm->Mono ? 1 : 32;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(DibStride(width, h.biBitCount) * height);
    return height;
  }
  const int bits = h.biBitCount;
  if (bits != 1 && bits != 24 && bits != 32) return 0;
  if (h.biWidth != width) return 0;
  const bool topDown = h.biHeight < 0;
  const int stride = DibStride(width, bits);
  auto* out = static_cast<uint8_t*>(Bits);
  if (bits == 1) {
    Info->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    Info->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
  }
  int copied = 0;
  for (UINT scan = StartScan; scan < StartScan + Lines && static_cast<int>(scan) < height; ++scan, ++copied) {
    const int y = topDown ? static_cast<int>(scan) : height - 1 - static_cast<int>(scan);
    const uint32_t* in = bm->Surface->Row(y);
    uint8_t* line = out + static_cast<size_t>(scan - StartScan) * stride;
    std::memset(line, 0, static_cast<size_t>(stride));
    for (int x = 0; x < width; ++x) {
      const uint32_t p = in[x];
      if (bits == 1) {
        if (IsLightPixel(p)) line[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      } else if (bits == 24) {
        line[x * 3] = p & 0xFF;
        line[x * 3 + 1] = (p >> 8) & 0xFF;
        line[x * 3 + 2] = (p >> 16) & 0xFF;
      } else {
        std::memcpy(line + x * 4, &p, 4);
      }
    }
  }
  return copied;
}

int SetDIBits(HDC, HBITMAP Bitmap, UINT StartScan, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !Info || !Bits) return 0;
  const BITMAPINFOHEADER& h = Info->bmiHeader;
  const int bits = h.biBitCount;
  if (!SupportedDibDepth(bits) || h.biCompression != BI_RGB) return 0;
  const int width = std::min<int>(bm->Width(), h.biWidth), height = bm->Height();
  const int dibHeight = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  const bool topDown = h.biHeight < 0;
  const int stride = DibStride(h.biWidth, bits);
  const int tableSize = bits <= 8 ? (h.biClrUsed ? static_cast<int>(std::min<DWORD>(h.biClrUsed, 256)) : 1 << bits) : 0;
  const auto* in = static_cast<const uint8_t*>(Bits);
  int copied = 0;
  for (UINT scan = StartScan; scan < StartScan + Lines && static_cast<int>(scan) < dibHeight; ++scan, ++copied) {
    const int y = topDown ? static_cast<int>(scan) : dibHeight - 1 - static_cast<int>(scan);
    if (y >= height) continue;
    const uint8_t* line = in + static_cast<size_t>(scan - StartScan) * stride;
    uint32_t* row = bm->Surface->Row(y);
    for (int x = 0; x < width; ++x) {
      uint32_t p = ReadDibPixel(line, x, bits, Info->bmiColors, tableSize);
      if (bm->Mono) p = IsLightPixel(p) ? kWhite : kBlack;
      row[x] = p;
    }
  }
  return copied;
}

LONG GetBitmapBits(HBITMAP Bitmap, LONG Count, void* Bits) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !Bits || Count <= 0) return 0;
  const int width = bm->Width(), height = bm->Height();
  auto* out = static_cast<uint8_t*>(Bits);
  if (bm->Mono) {
    const int stride = ((width + 15) / 16) * 2;
    const LONG total = std::min<LONG>(Count, stride * height);
    std::memset(out, 0, static_cast<size_t>(total));
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const LONG at = static_cast<LONG>(y) * stride + x / 8;
        if (at < total && bm->Surface->Get(x, y) == kWhite) out[at] |= static_cast<uint8_t>(0x80 >> (x % 8));
      }
    return total;
  }
  const LONG total = std::min<LONG>(Count, width * height * 4);
  for (LONG i = 0; i < total / 4; ++i) {
    const uint32_t p = bm->Surface->Row(i / width)[i % width];
    std::memcpy(out + i * 4, &p, 4);
  }
  return total / 4 * 4;
}

LONG SetBitmapBits(HBITMAP Bitmap, DWORD Count, const void* Bits) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !Bits) return 0;
  const int width = bm->Width(), height = bm->Height();
  const auto* in = static_cast<const uint8_t*>(Bits);
  if (bm->Mono) {
    const int stride = ((width + 15) / 16) * 2;
    const LONG total = std::min<LONG>(static_cast<LONG>(Count), stride * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        const LONG at = static_cast<LONG>(y) * stride + x / 8;
        if (at < total) bm->Surface->Set(x, y, (in[at] >> (7 - x % 8)) & 1 ? kWhite : kBlack);
      }
    return total;
  }
  const LONG total = std::min<LONG>(static_cast<LONG>(Count), width * height * 4);
  for (LONG i = 0; i < total / 4; ++i) std::memcpy(&bm->Surface->Row(i / width)[i % width], in + i * 4, 4);
  return total / 4 * 4;
}

BOOL GetBitmapDimensionEx(HBITMAP Bitmap, TSize* Size) {
  auto* bm = FindAs<TBitmapObject>(Bitmap, OBJ_BITMAP);
  if (!bm || !Size) return FALSE;
  *Size = bm->Dimension;
  return TRUE;
}

// Regions ------------------------------------------------------------------------------

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom) {
  return NewRegionHandle(TRegion(TRect{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
                                       std::max(Top, Bottom)}));
}

HRGN CreateRectRgnIndirect(const TRect* R) { return R ? CreateRectRgn(R->Left, R->Top, R->Right, R->Bottom) : nullptr; }

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int WidthEllipse, int HeightEllipse) {
  return NewRegionHandle(FigureOf(Left, Top, Right, Bottom, std::abs(WidthEllipse) / 2.0,
                                  std::abs(HeightEllipse) / 2.0, 0, false)
                             .Inside);
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom) {
  return NewRegionHandle(FigureOf(Left, Top, Right, Bottom, -1, -1, 0, false).Inside);
}

HRGN CreateEllipticRgnIndirect(const TRect* R) {
  return R ? CreateEllipticRgn(R->Left, R->Top, R->Right, R->Bottom) : nullptr;
}

HRGN CreatePolyPolygonRgn(const TPoint* Points, const int* Counts, int PolygonCount, int FillMode) {
  if (!Points || !Counts || PolygonCount <= 0) return nullptr;
  std::vector<std::vector<TPointF>> polys;
  const TPoint* p = Points;
  for (int i = 0; i < PolygonCount; ++i) {
    if (Counts[i] < 0) return nullptr;
    std::vector<TPointF> poly;
    for (int k = 0; k < Counts[i]; ++k, ++p) poly.push_back({static_cast<double>(p->X), static_cast<double>(p->Y)});
    polys.push_back(std::move(poly));
  }
  return NewRegionHandle(PolygonRegion(polys, FillMode == WINDING));
}

HRGN CreatePolygonRgn(const TPoint* Points, int Count, int FillMode) {
  return CreatePolyPolygonRgn(Points, &Count, 1, FillMode);
}

namespace {

int RegionKind(const TRegion& R) { return R.IsEmpty() ? NULLREGION : R.IsRect() ? SIMPLEREGION : COMPLEXREGION; }

}  // namespace

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode) {
  TRegion* dest = MutableRegionOf(Dest);
  const TRegion* a = RegionOf(Src1);
  if (!dest || !a) return ERROR;
  if (Mode == RGN_COPY) {
    *dest = *a;
    return RegionKind(*dest);
  }
  const TRegion* b = RegionOf(Src2);
  if (!b) return ERROR;
  TRegion::TOp op;
  switch (Mode) {
    case RGN_AND: op = TRegion::opAnd; break;
    case RGN_OR: op = TRegion::opOr; break;
    case RGN_XOR: op = TRegion::opXor; break;
    case RGN_DIFF: op = TRegion::opDiff; break;
    default: return ERROR;
  }
  *dest = TRegion::Combine(*a, *b, op);
  return RegionKind(*dest);
}

int OffsetRgn(HRGN Region, int Dx, int Dy) {
  TRegion* r = MutableRegionOf(Region);
  if (!r) return ERROR;
  r->Offset(Dx, Dy);
  return RegionKind(*r);
}

BOOL PtInRegion(HRGN Region, int X, int Y) {
  const TRegion* r = RegionOf(Region);
  return r && r->Contains(X, Y);
}

BOOL RectInRegion(HRGN Region, const TRect* R) {
  const TRegion* r = RegionOf(Region);
  if (!r || !R) return FALSE;
  return r->Intersects({std::min(R->Left, R->Right), std::min(R->Top, R->Bottom), std::max(R->Left, R->Right),
                        std::max(R->Top, R->Bottom)});
}

BOOL EqualRgn(HRGN A, HRGN B) {
  const TRegion* a = RegionOf(A);
  const TRegion* b = RegionOf(B);
  return a && b && *a == *b;
}

int GetRgnBox(HRGN Region, TRect* Box) {
  const TRegion* r = RegionOf(Region);
  if (!r || !Box) return ERROR;
  *Box = r->Box();
  return RegionKind(*r);
}

BOOL SetRectRgn(HRGN Region, int Left, int Top, int Right, int Bottom) {
  TRegion* r = MutableRegionOf(Region);
  if (!r) return FALSE;
  *r = TRegion(TRect{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)});
  return TRUE;
}

namespace gdi {

HRGN NewRegionHandle(TRegion Region) {
  auto r = std::make_shared<TRegionObject>();
  r->Region = std::move(Region);
  return static_cast<HRGN>(AddObject(std::move(r)));
}

const TRegion* RegionOf(HRGN Region) {
  auto* r = FindAs<TRegionObject>(Region, OBJ_REGION);
  return r ? &r->Region : nullptr;
}

TRegion* MutableRegionOf(HRGN Region) {
  auto* r = FindAs<TRegionObject>(Region, OBJ_REGION);
  return r ? &r->Region : nullptr;
}

}  // namespace gdi

// Palettes -----------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* Palette) {
  if (!Palette || Palette->palNumEntries > 256) return nullptr;
  auto p = std::make_shared<TPaletteObject>();
  p->Entries.assign(Palette->palPalEntry, Palette->palPalEntry + Palette->palNumEntries);
  return static_cast<HPALETTE>(AddObject(std::move(p)));
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries) {
  auto* p = FindAs<TPaletteObject>(Palette, OBJ_PAL);
  if (!p) return 0;
  const UINT size = static_cast<UINT>(p->Entries.size());
  if (!Entries) return size;
  UINT n = 0;
  for (UINT i = Start; i < size && n < Count; ++i, ++n) Entries[n] = p->Entries[i];
  return n;
}

// Icons --------------------------------------------------------------------------------

HICON CreateIconIndirect(const ICONINFO* Info) {
  if (!Info) return nullptr;
  auto* mask = FindAs<TBitmapObject>(Info->hbmMask, OBJ_BITMAP);
  auto* color = FindAs<TBitmapObject>(Info->hbmColor, OBJ_BITMAP);
  if (!mask || !mask->Surface) return nullptr;
  auto icon = std::make_shared<TIconObject>();
  icon->IsIcon = Info->fIcon != FALSE;
  icon->HotSpot = {static_cast<int>(Info->xHotspot), static_cast<int>(Info->yHotspot)};
  icon->Mask = CopySurface(mask->Surface);
  if (color && color->Surface) {
    icon->Color = CopySurface(color->Surface);
    // Per-pixel alpha counts when the picture has some: some pixels opaque, others not.
    bool anyOpaque = false, anyClear = false;
    if (!color->Mono)
      for (int y = 0; y < icon->Color->Height(); ++y)
        for (int x = 0; x < icon->Color->Width(); ++x) {
          const uint32_t a = icon->Color->Row(y)[x] >> 24;
          anyOpaque |= a != 0;
          anyClear |= a != 0xFF;
        }
    icon->HasAlpha = anyOpaque && anyClear;
  }
  if (icon->Width() == 0 || icon->Height() == 0) return nullptr;
  return static_cast<HICON>(AddObject(std::move(icon)));
}

BOOL GetIconInfo(HICON Icon, ICONINFO* Info) {
  TIconObject* icon = IconOf(Icon);
  if (!icon || !Info) return FALSE;
  Info->fIcon = icon->IsIcon ? TRUE : FALSE;
  Info->xHotspot = static_cast<DWORD>(icon->HotSpot.X);
  Info->yHotspot = static_cast<DWORD>(icon->HotSpot.Y);
  Info->hbmMask = AddBitmap(CopySurface(icon->Mask), true);
  Info->hbmColor = icon->Color ? AddBitmap(CopySurface(icon->Color), false) : nullptr;
  return TRUE;
}

BOOL DestroyIcon(HICON Icon) { return IconOf(Icon) && RemoveObject(Icon) ? TRUE : FALSE; }

BOOL DestroyCursor(HCURSOR Cursor) { return DestroyIcon(Cursor); }

namespace {

HICON CopyIconSized(TIconObject& Source, int Width, int Height) {
  auto icon = std::make_shared<TIconObject>();
  icon->IsIcon = Source.IsIcon;
  icon->HotSpot = Source.HotSpot;
  icon->HasAlpha = Source.HasAlpha;
  const int w = Width > 0 ? Width : Source.Width(), h = Height > 0 ? Height : Source.Height();
  if (Source.Color) {
    icon->Color = ResizeSurface(*Source.Color, w, h);
    icon->Mask = ResizeSurface(*Source.Mask, w, h);
  } else {
    icon->Mask = ResizeSurface(*Source.Mask, w, h * 2);
  }
  return static_cast<HICON>(AddObject(std::move(icon)));
}

}  // namespace

HICON CopyIcon(HICON Icon) {
  TIconObject* icon = IconOf(Icon);
  return icon ? CopyIconSized(*icon, 0, 0) : nullptr;
}

HGDIOBJ CopyImage(HGDIOBJ Image, UINT Type, int Width, int Height, UINT Flags) {
  if (Type == IMAGE_BITMAP) {
    auto* bm = FindAs<TBitmapObject>(Image, OBJ_BITMAP);
    if (!bm || !bm->Surface) return nullptr;
    const int w = Width > 0 ? Width : bm->Width(), h = Height > 0 ? Height : bm->Height();
    auto s = ResizeSurface(*bm->Surface, w, h);
    const bool mono = bm->Mono || (Flags & LR_MONOCHROME);
    if (mono && !bm->Mono)
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s->Row(y)[x] = IsLightPixel(s->Row(y)[x]) ? kWhite : kBlack;
    HGDIOBJ result = AddBitmap(std::move(s), mono);
    if (Flags & LR_COPYDELETEORG) DeleteObject(Image);
    return result;
  }
  if (Type != IMAGE_ICON && Type != IMAGE_CURSOR) return nullptr;
  TIconObject* icon = IconOf(static_cast<HICON>(Image));
  if (!icon) return nullptr;
  HGDIOBJ result = CopyIconSized(*icon, Width, Height);
  if (Flags & LR_COPYDELETEORG) DestroyIcon(static_cast<HICON>(Image));
  return result;
}

// Any object ---------------------------------------------------------------------------

HGDIOBJ GetStockObject(int Index) {
  static std::array<HGDIOBJ, DEFAULT_GUI_FONT + 3> stock{};
  if (Index < 0 || Index >= static_cast<int>(stock.size()) || Index == 9) return nullptr;
  HGDIOBJ& h = stock[static_cast<size_t>(Index)];
  if (h) return h;
  switch (Index) {
    case WHITE_BRUSH: h = AddStock(MakeBrush(BS_SOLID, RGB(255, 255, 255))); break;
    case LTGRAY_BRUSH: h = AddStock(MakeBrush(BS_SOLID, RGB(192, 192, 192))); break;
    case GRAY_BRUSH: h = AddStock(MakeBrush(BS_SOLID, RGB(128, 128, 128))); break;
    case DKGRAY_BRUSH: h = AddStock(MakeBrush(BS_SOLID, RGB(64, 64, 64))); break;
    case BLACK_BRUSH: h = AddStock(MakeBrush(BS_SOLID, RGB(0, 0, 0))); break;
    case NULL_BRUSH: h = AddStock(MakeBrush(BS_NULL, 0)); break;
    case WHITE_PEN: h = AddStock(MakePen(false, PS_SOLID, 1, RGB(255, 255, 255))); break;
    case BLACK_PEN: h = AddStock(MakePen(false, PS_SOLID, 1, RGB(0, 0, 0))); break;
    case NULL_PEN: h = AddStock(MakePen(false, PS_NULL, 1, 0)); break;
    case DEFAULT_PALETTE: {
      auto p = std::make_shared<TPaletteObject>();
      p->Entries.resize(20);
      h = AddStock(std::move(p));
      break;
    }
    case DC_BRUSH: {
      auto b = MakeBrush(BS_SOLID, 0);
      b->DCBrush = true;
      h = AddStock(std::move(b));
      break;
    }
    case DC_PEN: {
      auto p = MakePen(false, PS_SOLID, 1, 0);
      p->DCPen = true;
      h = AddStock(std::move(p));
      break;
    }
    default: {
      auto f = std::make_shared<TFontObject>();
      f->Log = StockFont(Index);
      h = AddStock(std::move(f));
      break;
    }
  }
  return h;
}

BOOL DeleteObject(HGDIOBJ Object) {
  TGdiObject* o = FindObject(Object);
  if (!o) return FALSE;
  if (o->Stock) return TRUE;
  // DCs go with DeleteDC, icons with DestroyIcon.
  if (o->Type() == OBJ_DC || o->Type() == OBJ_MEMDC || o->Type() == 0) return FALSE;
  return RemoveObject(Object) ? TRUE : FALSE;
}

int GetObject(HGDIOBJ Object, int Size, void* Buffer) {
  TGdiObject* o = FindObject(Object);
  return o ? o->Describe(Size, Buffer) : 0;
}

DWORD GetObjectType(HGDIOBJ Object) {
  TGdiObject* o = FindObject(Object);
  return o ? o->Type() : 0;
}
