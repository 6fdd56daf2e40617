#include "platform/gdi/Blit.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "platform/gdi/DCState.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Scan.h"

using namespace gdi;

namespace {

// A ternary raster operation's truth table index (bits 16..23 of the code).
int RopIndex(DWORD Rop) { return static_cast<int>((Rop >> 16) & 0xFF); }
bool UsesSource(int Index) { return ((Index >> 2) ^ Index) & 0x33; }
bool UsesPattern(int Index) { return ((Index >> 4) ^ Index) & 0x0F; }

// The result of a ternary operation on pattern, source and destination words (opaque).
uint32_t Rop3(int Index, uint32_t P, uint32_t S, uint32_t D) {
  uint32_t r;
  switch (Index) {
    case 0x00: r = 0; break;
    case 0xFF: r = 0xFFFFFF; break;
    case 0xCC: r = S; break;
    case 0xEE: r = S | D; break;
    case 0x88: r = S & D; break;
    case 0x66: r = S ^ D; break;
    case 0x44: r = S & ~D; break;
    case 0x22: r = ~S & D; break;
    case 0x33: r = ~S; break;
    case 0x11: r = ~(S | D); break;
    case 0xC0: r = P & S; break;
    case 0xBB: r = ~S | D; break;
    case 0xF0: r = P; break;
    case 0xFB: r = P | ~S | D; break;
    case 0x5A: r = P ^ D; break;
    case 0x55: r = ~D; break;
    case 0xB8: r = ((D ^ P) & S) ^ P; break;
    case 0xE2: r = ((P ^ D) & S) ^ D; break;
    default:
      r = 0;
      for (int i = 0; i < 8; ++i)
        if ((Index >> i) & 1) r |= ((i & 4) ? P : ~P) & ((i & 2) ? S : ~S) & ((i & 1) ? D : ~D);
      break;
  }
  return r | 0xFF000000u;
}

int Mod(int A, int B) {
  const int m = A % B;
  return m < 0 ? m + B : m;
}

// One axis of a transfer: destination pixels [D0, D0 + DLen) take source pixels of
// [S0, S0 + SLen), stretched, and reversed when Flip.
struct TAxis {
  int D0 = 0, DLen = 0, S0 = 0, SLen = 0;
  bool Flip = false;
  int Source(int D) const {
    int i = DLen == SLen ? D - D0 : static_cast<int>((static_cast<int64_t>(D - D0) * SLen) / DLen);
    if (Flip) i = SLen - 1 - i;
    return S0 + i;
  }
};

// Where a transfer reads: a surface, its format and (for colour to monochrome) the colour
// that becomes white.
struct TSource {
  std::shared_ptr<const TSurface> Surface;
  bool Mono = false;
  COLORREF BkColor = 0xFFFFFF;
};

// What a transfer does with each pixel.
struct TTransfer {
  TDC* Dest = nullptr;
  TRect Rect;  // surface coordinates of the destination
  TAxis X, Y;
  std::optional<TSource> Source;
  std::shared_ptr<const TSurface> Mask;  // MaskBlt: 1 bits take Fore, 0 bits Back
  TPoint MaskOrg;                         // mask pixel of the destination's first one
  int Fore = 0xCC, Back = 0xCC;
  std::optional<COLORREF> Transparent;   // TransparentBlt
  std::optional<BLENDFUNCTION> Blend;    // AlphaBlend
};

// A source pixel in the destination's format.
uint32_t Convert(uint32_t S, const TSource& Src, const TDC& Dest, uint32_t Fore, uint32_t Back) {
  if (Src.Mono == Dest.Mono) return S;
  if (Src.Mono) return S == kWhite ? Back : Fore;
  return ColorOfPixel(S) == (Src.BkColor & 0xFFFFFF) ? kWhite : kBlack;
}

uint32_t Blend(uint32_t S, uint32_t D, const BLENDFUNCTION& B) {
  const unsigned k = B.SourceConstantAlpha;
  uint32_t out = 0;
  if (B.AlphaFormat & AC_SRC_ALPHA) {
    // Premultiplied source: D = S·k + D·(1 − Sa·k).
    const unsigned sa = ((S >> 24) * k + 127) / 255;
    for (int shift = 0; shift < 32; shift += 8) {
      const unsigned s = (((S >> shift) & 0xFF) * k + 127) / 255, d = (D >> shift) & 0xFF;
      out |= std::min(255u, s + (d * (255 - sa) + 127) / 255) << shift;
    }
    return out;
  }
  for (int shift = 0; shift < 32; shift += 8) {
    const unsigned s = (S >> shift) & 0xFF, d = (D >> shift) & 0xFF;
    out |= ((s * k + d * (255 - k) + 127) / 255) << shift;
  }
  return out;
}

void Run(TTransfer& T) {
  TDC& dc = *T.Dest;
  if (!dc.Surface) return;
  TSurface& dst = *dc.Surface;
  const TPaint pattern = BrushPaint(dc, dc.A.BrushObject.get());
  const bool needPattern = UsesPattern(T.Fore) || (T.Mask && UsesPattern(T.Back));
  const uint32_t fore = dc.PixelFor(dc.A.TextColor), back = dc.PixelFor(dc.A.BkColor);
  const TSurface* src = T.Source ? T.Source->Surface.get() : nullptr;
  const TRect srcBounds = src ? src->Bounds() : TRect{};
  const bool plainCopy = src && !T.Mask && !T.Transparent && !T.Blend && T.Fore == 0xCC &&
                         T.Source->Mono == dc.Mono && T.X.DLen == T.X.SLen && !T.X.Flip;
  // Bitmaps keep the alpha of what is copied into them; a window's pixels are opaque.
  const uint32_t opaque = dc.Memory() ? 0 : 0xFF000000u;
  // The source column of each destination column (−1 outside the source), worked out once.
  std::vector<int> columns;
  if (src) {
    columns.resize(static_cast<size_t>(T.Rect.Width()));
    for (int x = T.Rect.Left; x < T.Rect.Right; ++x) {
      const int sx = T.X.Source(x);
      columns[static_cast<size_t>(x - T.Rect.Left)] = sx >= 0 && sx < srcBounds.Right ? sx : -1;
    }
  }
  // Source and destination only, no mask: one loop per operation, the operation chosen once.
  const bool simple = src && !T.Mask && !T.Transparent && !T.Blend && !needPattern;
  auto combine = [&](uint32_t* d, const uint32_t* s, int x0, int x1, auto&& op) {
    for (int x = x0; x < x1; ++x) {
      const int sx = columns[static_cast<size_t>(x - T.Rect.Left)];
      if (sx >= 0) d[x] = op(Convert(s[sx], *T.Source, dc, fore, back), d[x]);
    }
  };
  ForEachSpan(dc.Clip(), T.Rect, [&](int y, int x0, int x1) {
    uint32_t* d = dst.Row(y);
    const uint32_t* s = nullptr;
    if (src) {
      const int sy = T.Y.Source(y);
      if (sy < 0 || sy >= srcBounds.Bottom) return;
      s = src->Row(sy);
    }
    if (plainCopy) {
      // The common case: one row copied as it is, within the source's bounds.
      const int sx0 = T.X.Source(x0);
      const int a = std::max(x0, x0 - sx0), b = std::min(x1, x0 + (srcBounds.Right - sx0));
      if (a < b) std::memmove(d + a, s + (sx0 + a - x0), static_cast<size_t>(b - a) * 4);
      if (opaque)
        for (int x = a; x < b; ++x) d[x] |= opaque;
      return;
    }
    if (simple) {
      switch (T.Fore) {
        case 0xCC: combine(d, s, x0, x1, [&](uint32_t S, uint32_t) { return S | opaque; }); return;
        case 0x88: combine(d, s, x0, x1, [](uint32_t S, uint32_t D) { return (S & D) | 0xFF000000u; }); return;
        case 0xEE: combine(d, s, x0, x1, [](uint32_t S, uint32_t D) { return S | D | 0xFF000000u; }); return;
        case 0x66: combine(d, s, x0, x1, [](uint32_t S, uint32_t D) { return (S ^ D) | 0xFF000000u; }); return;
        default: {
          const int op = T.Fore;
          combine(d, s, x0, x1, [op](uint32_t S, uint32_t D) { return Rop3(op, 0, S, D); });
          return;
        }
      }
    }
    const uint32_t* prow = nullptr;
    int pw = 0, px = 0;
    if (needPattern && pattern.Pattern) {
      prow = pattern.Pattern->Row(Mod(y - pattern.Org.Y, pattern.Pattern->Height()));
      pw = pattern.Pattern->Width();
      px = Mod(x0 - pattern.Org.X, pw);
    }
    const uint32_t* mrow = nullptr;
    if (T.Mask) {
      const int my = T.MaskOrg.Y + T.Y.Source(y) - T.Y.S0;
      if (my >= 0 && my < T.Mask->Height()) mrow = T.Mask->Row(my);
    }
    for (int x = x0; x < x1; ++x) {
      uint32_t P = pattern.None ? 0xFF000000u : pattern.Pixel;
      if (prow) {
        P = prow[px];
        if (++px == pw) px = 0;
      }
      uint32_t S = 0;
      int sx = 0;
      if (src) {
        sx = columns[static_cast<size_t>(x - T.Rect.Left)];
        if (sx < 0) continue;
        S = s[sx];
        if (T.Transparent && ColorOfPixel(S) == (*T.Transparent & 0xFFFFFF)) continue;
        if (T.Blend) {
          d[x] = Blend(S, d[x], *T.Blend);
          continue;
        }
        S = Convert(S, *T.Source, dc, fore, back);
      }
      int op = T.Fore;
      if (T.Mask) {
        const int mx = T.MaskOrg.X + (src ? sx - T.X.S0 : x - T.Rect.Left);
        const bool bit = mrow && mx >= 0 && mx < T.Mask->Width() && mrow[mx] == kWhite;
        op = bit ? T.Fore : T.Back;
      }
      d[x] = op == 0xCC && !T.Mask ? S | opaque : Rop3(op, P, S, d[x]);
    }
  });
}

// The pixels a blit's extent covers: a negative width or height counts back from the pixel
// at the start, so (X + W − 1, −W) mirrors the columns X .. X + W − 1 in place.
TRect Extent(int X, int Y, int Width, int Height) {
  const int l = Width < 0 ? X + Width + 1 : X, t = Height < 0 ? Y + Height + 1 : Y;
  return {l, t, l + std::abs(Width), t + std::abs(Height)};
}

// Sets up a transfer from logical rectangles of the two DCs; false when it draws nothing.
bool Prepare(TTransfer& T, TDC& Dest, int X, int Y, int Width, int Height, TDC* Src, int XSrc, int YSrc,
             int WidthSrc, int HeightSrc, DWORD Rop) {
  T.Dest = &Dest;
  const bool flipX = (Width < 0) != (WidthSrc < 0), flipY = (Height < 0) != (HeightSrc < 0);
  TRect d = Dest.ToDevice(Extent(X, Y, Width, Height));
  if (d.IsEmpty()) return false;
  OffsetRect(&d, Dest.Origin.X, Dest.Origin.Y);
  T.Rect = d;
  // A right-to-left destination shows the picture mirrored, unless asked not to.
  const bool mirror = Dest.Mirrored() && !(Rop & NOMIRRORBITMAP) && !(Dest.A.Layout & LAYOUT_BITMAPORIENTATIONPRESERVED);
  T.X = {d.Left, d.Width(), 0, d.Width(), flipX != mirror};
  T.Y = {d.Top, d.Height(), 0, d.Height(), flipY};
  if (!Src) return true;
  TRect s = Src->ToDevice(Extent(XSrc, YSrc, WidthSrc, HeightSrc));
  if (s.IsEmpty() || !Src->Surface) return false;
  OffsetRect(&s, Src->Origin.X, Src->Origin.Y);
  T.X.S0 = s.Left;
  T.X.SLen = s.Width();
  T.Y.S0 = s.Top;
  T.Y.SLen = s.Height();
  TSource source{Src->Surface, Src->Mono, Src->A.BkColor};
  if (Src->Surface == Dest.Surface) {
    // Copying within one surface: read from a copy of the source part, so that nothing is
    // read after it was overwritten.
    TRect part;
    const TRect bounds = Src->Surface->Bounds();
    if (!IntersectRect(&part, &s, &bounds)) return false;
    auto copy = std::make_shared<TSurface>(part.Width(), part.Height());
    for (int y = part.Top; y < part.Bottom; ++y)
      std::copy(Src->Surface->Row(y) + part.Left, Src->Surface->Row(y) + part.Right, copy->Row(y - part.Top));
    source.Surface = copy;
    T.X.S0 -= part.Left;
    T.Y.S0 -= part.Top;
  }
  T.Source = source;
  return true;
}

}  // namespace

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  const int index = RopIndex(Rop);
  if (UsesSource(index)) return FALSE;
  // A pattern has no orientation: a negative extent is just the rectangle the other way round.
  if (Width < 0) X += Width, Width = -Width;
  if (Height < 0) Y += Height, Height = -Height;
  const TRect r = dc->ToDevice(TRect{X, Y, X + Width, Y + Height});
  const TPaint pattern = BrushPaint(*dc, dc->A.BrushObject.get());
  switch (index) {
    case 0xF0: PaintDeviceRect(*dc, r, pattern, R2_COPYPEN); return TRUE;
    case 0x5A: PaintDeviceRect(*dc, r, pattern, R2_XORPEN); return TRUE;
    case 0x55: PaintDeviceRect(*dc, r, TPaint{}, R2_NOT); return TRUE;
    case 0x00: PaintDeviceRect(*dc, r, TPaint{}, R2_BLACK); return TRUE;
    case 0xFF: PaintDeviceRect(*dc, r, TPaint{}, R2_WHITE); return TRUE;
    default: break;
  }
  TTransfer t;
  t.Fore = index;
  if (Prepare(t, *dc, X, Y, Width, Height, nullptr, 0, 0, 0, 0, Rop)) Run(t);
  return TRUE;
}

BOOL StretchBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, DWORD Rop) {
  TDC* dst = DCOf(Dest);
  if (!dst) return FALSE;
  const int index = RopIndex(Rop);
  if (!UsesSource(index)) return PatBlt(Dest, X, Y, Width, Height, Rop);
  TDC* src = DCOf(Src);
  if (!src) return FALSE;
  TTransfer t;
  t.Fore = index;
  if (Prepare(t, *dst, X, Y, Width, Height, src, XSrc, YSrc, WidthSrc, HeightSrc, Rop)) Run(t);
  return TRUE;
}

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop) {
  return StretchBlt(Dest, X, Y, Width, Height, Src, XSrc, YSrc, Width, Height, Rop);
}

BOOL TransparentBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                    int HeightSrc, UINT Transparent) {
  TDC* dst = DCOf(Dest);
  TDC* src = DCOf(Src);
  if (!dst || !src || Width < 0 || Height < 0 || WidthSrc < 0 || HeightSrc < 0) return FALSE;
  TTransfer t;
  t.Transparent = Transparent;
  if (Prepare(t, *dst, X, Y, Width, Height, src, XSrc, YSrc, WidthSrc, HeightSrc, SRCCOPY)) Run(t);
  return TRUE;
}

BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, HBITMAP Mask, int XMask,
             int YMask, DWORD Rop) {
  TDC* dst = DCOf(Dest);
  if (!dst) return FALSE;
  const int fore = RopIndex(Rop), back = static_cast<int>((Rop >> 24) & 0xFF);
  TDC* src = DCOf(Src);
  if (!src && (UsesSource(fore) || UsesSource(back))) return FALSE;
  auto* mask = Mask ? FindAs<TBitmapObject>(Mask, OBJ_BITMAP) : nullptr;
  if (Mask && (!mask || !mask->Mono)) return FALSE;
  TTransfer t;
  t.Fore = fore;
  t.Back = mask ? back : fore;
  if (mask) {
    t.Mask = mask->Surface;
    t.MaskOrg = {XMask, YMask};
  }
  if (Prepare(t, *dst, X, Y, Width, Height, src, XSrc, YSrc, src ? Width : 0, src ? Height : 0, Rop)) Run(t);
  return TRUE;
}

BOOL AlphaBlend(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, int WidthSrc,
                int HeightSrc, BLENDFUNCTION Blend) {
  TDC* dst = DCOf(Dest);
  TDC* src = DCOf(Src);
  if (!dst || !src || Blend.BlendOp != AC_SRC_OVER || Width < 0 || Height < 0 || WidthSrc < 0 || HeightSrc < 0)
    return FALSE;
  // The source rectangle must lie within the source.
  if (!src->Surface || XSrc < 0 || YSrc < 0 || XSrc + WidthSrc > src->Surface->Width() ||
      YSrc + HeightSrc > src->Surface->Height())
    return FALSE;
  TTransfer t;
  t.Blend = Blend;
  if (Prepare(t, *dst, X, Y, Width, Height, src, XSrc, YSrc, WidthSrc, HeightSrc, SRCCOPY)) Run(t);
  return TRUE;
}

namespace {


// Channel-wise mix of two 16-bit vertex colours at position I of N (0 .. N − 1, both ends exact).
COLORREF Mix(const TRIVERTEX& A, const TRIVERTEX& B, int I, int N) {
  auto ch = [&](COLOR16 a, COLOR16 b) {
    if (N <= 1) return static_cast<BYTE>(a >> 8);
    const int64_t v = a + (static_cast<int64_t>(b) - a) * I / (N - 1);
    return static_cast<BYTE>(v >> 8);
  };
  return RGB(ch(A.Red, B.Red), ch(A.Green, B.Green), ch(A.Blue, B.Blue));
}

}  // namespace

BOOL GradientFill(HDC DC, const TRIVERTEX* Vertices, ULONG VertexCount, const void* Mesh, ULONG MeshCount, ULONG Mode) {
  TDC* dc = DCOf(DC);
  if (!dc || !Vertices || !Mesh || !dc->Surface) return FALSE;
  TSurface& s = *dc->Surface;
  if (Mode == GRADIENT_FILL_RECT_H || Mode == GRADIENT_FILL_RECT_V) {
    const auto* rects = static_cast<const GRADIENT_RECT*>(Mesh);
    for (ULONG i = 0; i < MeshCount; ++i) {
      if (rects[i].UpperLeft >= VertexCount || rects[i].LowerRight >= VertexCount) return FALSE;
      TRIVERTEX a = Vertices[rects[i].UpperLeft], b = Vertices[rects[i].LowerRight];
      // The colours belong to the sides the vertices stand on.
      if (Mode == GRADIENT_FILL_RECT_H ? a.x > b.x : a.y > b.y) std::swap(a, b);
      TRect r = dc->ToDevice(TRect{a.x, a.y, b.x, b.y});
      const bool flip = dc->Mirrored() && Mode == GRADIENT_FILL_RECT_H;
      OffsetRect(&r, dc->Origin.X, dc->Origin.Y);
      if (Mode == GRADIENT_FILL_RECT_H) {
        std::vector<uint32_t> colours(static_cast<size_t>(std::max(0, r.Width())));
        for (int k = 0; k < r.Width(); ++k)
          colours[static_cast<size_t>(flip ? r.Width() - 1 - k : k)] = dc->PixelFor(Mix(a, b, k, r.Width()));
        ForEachSpan(dc->Clip(), r, [&](int y, int x0, int x1) {
          std::copy(colours.begin() + (x0 - r.Left), colours.begin() + (x1 - r.Left), s.Row(y) + x0);
        });
      } else {
        ForEachSpan(dc->Clip(), r, [&](int y, int x0, int x1) {
          std::fill(s.Row(y) + x0, s.Row(y) + x1, dc->PixelFor(Mix(a, b, y - r.Top, r.Height())));
        });
      }
    }
    return TRUE;
  }
  if (Mode != GRADIENT_FILL_TRIANGLE) return FALSE;
  const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(Mesh);
  for (ULONG i = 0; i < MeshCount; ++i) {
    const ULONG idx[3] = {tris[i].Vertex1, tris[i].Vertex2, tris[i].Vertex3};
    TPointF p[3];
    for (int k = 0; k < 3; ++k) {
      if (idx[k] >= VertexCount) return FALSE;
      const TPoint d = dc->ToDevice({Vertices[idx[k]].x, Vertices[idx[k]].y});
      p[k] = {static_cast<double>(d.X + dc->Origin.X), static_cast<double>(d.Y + dc->Origin.Y)};
    }
    const double area = (p[1].X - p[0].X) * (p[2].Y - p[0].Y) - (p[2].X - p[0].X) * (p[1].Y - p[0].Y);
    if (area == 0) continue;
    TRegion tri = PolygonRegion({{p[0], p[1], p[2]}}, false);
    ForEachSpan(dc->Clip(), tri, [&](int y, int x0, int x1) {
      uint32_t* row = s.Row(y);
      for (int x = x0; x < x1; ++x) {
        const double w1 = ((x - p[0].X) * (p[2].Y - p[0].Y) - (p[2].X - p[0].X) * (y - p[0].Y)) / area;
        const double w2 = ((p[1].X - p[0].X) * (y - p[0].Y) - (x - p[0].X) * (p[1].Y - p[0].Y)) / area;
        const double w0 = 1 - w1 - w2;
        auto ch = [&](COLOR16 TRIVERTEX::*c) {
          const double v = w0 * (Vertices[idx[0]].*c) + w1 * (Vertices[idx[1]].*c) + w2 * (Vertices[idx[2]].*c);
          return static_cast<BYTE>(std::clamp(static_cast<int>(v), 0, 0xFFFF) >> 8);
        };
        row[x] = dc->PixelFor(RGB(ch(&TRIVERTEX::Red), ch(&TRIVERTEX::Green), ch(&TRIVERTEX::Blue)));
      }
    });
  }
  return TRUE;
}

int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop) {
  if (!DCOf(DC) || !Bits || !Info) return 0;
  const int width = Info->bmiHeader.biWidth;
  const int height = Info->bmiHeader.biHeight < 0 ? -Info->bmiHeader.biHeight : Info->bmiHeader.biHeight;
  HBITMAP bm = CreateBitmap(width, height, 1, 32, nullptr);
  if (!bm) return 0;
  int copied = SetDIBits(DC, bm, 0, static_cast<UINT>(height), Bits, Info, Usage);
  if (copied > 0) {
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bm);
    // A bottom-up picture counts its source rows from the bottom.
    const int top = Info->bmiHeader.biHeight > 0 ? height - YSrc - SrcHeight : YSrc;
    StretchBlt(DC, XDest, YDest, DestWidth, DestHeight, mem, XSrc, top, SrcWidth, SrcHeight, Rop);
    SelectObject(mem, old);
    DeleteDC(mem);
  }
  DeleteObject(bm);
  return copied > 0 ? std::abs(SrcHeight) : 0;
}

int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage) {
  if (!Info || StartScan != 0) return 0;
  const int height = Info->bmiHeader.biHeight < 0 ? -Info->bmiHeader.biHeight : Info->bmiHeader.biHeight;
  if (Lines < static_cast<UINT>(height)) return 0;
  return StretchDIBits(DC, XDest, YDest, static_cast<int>(Width), static_cast<int>(Height), XSrc, YSrc,
                       static_cast<int>(Width), static_cast<int>(Height), Bits, Info, Usage, SRCCOPY)
             ? static_cast<int>(Lines)
             : 0;
}
