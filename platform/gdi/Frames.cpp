#include "platform/gdi/Frames.h"

#include <algorithm>
#include <cmath>

#include "platform/gdi/DCState.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Text.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/Scan.h"

using namespace gdi;

namespace {

// A ring's upper-left and lower-right colours (system colour indices; -1: not drawn).
struct TRing {
  int TopLeft = -1;
  int BottomRight = -1;
};

void PaintColor(TDC& DC, const TRegion& Device, int SysIndex) {
  PaintDeviceRegion(DC, Device, ColorPaint(DC, GetSysColor(SysIndex)), R2_COPYPEN);
}

void PaintColor(TDC& DC, const TRect& Device, int SysIndex) {
  PaintDeviceRect(DC, Device, ColorPaint(DC, GetSysColor(SysIndex)), R2_COPYPEN);
}

// One ring of a 3D edge on the chosen sides of a device rectangle: the upper-left colour on the
// left column and the top row, then the lower-right colour on the right column and the bottom
// row, which take the top-right and bottom-left corners.
void PaintRing(TDC& DC, const TRect& R, const TRing& Ring, UINT Sides) {
  if (R.IsEmpty()) return;
  if (Ring.TopLeft >= 0) {
    if (Sides & BF_LEFT) PaintColor(DC, TRect{R.Left, R.Top, R.Left + 1, R.Bottom}, Ring.TopLeft);
    if (Sides & BF_TOP) PaintColor(DC, TRect{R.Left, R.Top, R.Right, R.Top + 1}, Ring.TopLeft);
  }
  if (Ring.BottomRight >= 0) {
    if (Sides & BF_RIGHT) PaintColor(DC, TRect{R.Right - 1, R.Top, R.Right, R.Bottom}, Ring.BottomRight);
    if (Sides & BF_BOTTOM) PaintColor(DC, TRect{R.Left, R.Bottom - 1, R.Right, R.Bottom}, Ring.BottomRight);
  }
}

TRect Shrink(const TRect& R, UINT Sides, int By) {
  return {R.Left + (Sides & BF_LEFT ? By : 0), R.Top + (Sides & BF_TOP ? By : 0), R.Right - (Sides & BF_RIGHT ? By : 0),
          R.Bottom - (Sides & BF_BOTTOM ? By : 0)};
}

// The two rings of an edge. Raised outer: 3D light / dark shadow; sunken outer: shadow /
// highlight; raised inner: highlight / shadow; sunken inner: dark shadow / 3D light. Soft
// edges take the other ring's upper-left colour (highlight outside a raised button).
void EdgeRings(UINT Edge, UINT Flags, TRing& Outer, TRing& Inner) {
  const bool soft = Flags & BF_SOFT;
  if (Edge & BDR_RAISEDOUTER) Outer = {soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT, COLOR_3DDKSHADOW};
  else if (Edge & BDR_SUNKENOUTER) Outer = {soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
  if (Edge & BDR_RAISEDINNER) Inner = {soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW};
  else if (Edge & BDR_SUNKENINNER) Inner = {soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW, COLOR_3DLIGHT};
  if (Flags & BF_MONO) {
    if (Edge & BDR_OUTER) Outer = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
    if (Edge & BDR_INNER) Inner = {COLOR_WINDOW, COLOR_WINDOW};
  } else if (Flags & BF_FLAT) {
    if (Edge & BDR_OUTER) Outer = {COLOR_BTNSHADOW, COLOR_BTNSHADOW};
    if (Edge & BDR_INNER) Inner = {COLOR_BTNFACE, COLOR_BTNFACE};
  }
}

// A one-pixel line between device points, both ends included.
void PaintLine(TDC& DC, TPoint A, TPoint B, int SysIndex) {
  const int steps = std::max(std::abs(B.X - A.X), std::abs(B.Y - A.Y));
  TSpanBuilder line;
  for (int i = 0; i <= steps; ++i) {
    const int x = steps ? A.X + (B.X - A.X) * i / steps : A.X, y = steps ? A.Y + (B.Y - A.Y) * i / steps : A.Y;
    line.Add(y, x, x + 1);
  }
  PaintColor(DC, line.Build(), SysIndex);
}

void DiagonalEdge(TDC& DC, const TRect& R, const TRing& Outer, const TRing& Inner, UINT Flags) {
  const TRect r{R.Left, R.Top, R.Right - 1, R.Bottom - 1};  // corner pixels
  TPoint from, to;
  const bool top = Flags & BF_TOP;
  if (top && (Flags & BF_RIGHT)) from = {r.Left, r.Bottom}, to = {r.Right, r.Top};
  else if (top) from = {r.Right, r.Bottom}, to = {r.Left, r.Top};
  else if (Flags & BF_LEFT) from = {r.Right, r.Top}, to = {r.Left, r.Bottom};
  else from = {r.Left, r.Top}, to = {r.Right, r.Bottom};
  // A line ending at the top faces the light: upper-left colours; else lower-right ones.
  const int outer = top ? Outer.TopLeft : Outer.BottomRight, inner = top ? Inner.TopLeft : Inner.BottomRight;
  if (outer >= 0) PaintLine(DC, from, to, outer);
  const int dx = top ? 1 : -1;
  if (inner >= 0) PaintLine(DC, {from.X + dx, from.Y}, {to.X + dx, to.Y}, inner);
}

}  // namespace

BOOL DrawEdge(HDC DC, TRect* R, UINT Edge, UINT Flags) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return FALSE;
  TRing outer, inner;
  EdgeRings(Edge, Flags, outer, inner);
  TRect d = dc->ToDevice(*R);
  if (Flags & BF_DIAGONAL) {
    DiagonalEdge(*dc, d, outer, inner, Flags);
    return TRUE;
  }
  UINT sides = Flags & BF_RECT;
  if (dc->Mirrored()) {
    const UINT left = BF_LEFT, right = BF_RIGHT;
    sides = (sides & (BF_TOP | BF_BOTTOM)) | (sides & left ? right : 0u) | (sides & right ? left : 0u);
  }
  int width = 0;
  if (Edge & BDR_OUTER) {
    PaintRing(*dc, d, outer, sides);
    d = Shrink(d, sides, 1);
    ++width;
  }
  if (Edge & BDR_INNER) {
    PaintRing(*dc, d, inner, sides);
    d = Shrink(d, sides, 1);
    ++width;
  }
  if (Flags & BF_MIDDLE) PaintColor(*dc, d, Flags & BF_MONO ? COLOR_WINDOW : COLOR_BTNFACE);
  if (Flags & BF_ADJUST) *R = Shrink(*R, Flags & BF_RECT, width);
  return TRUE;
}

namespace {

// Pixel pictures for the glyphs of frame controls ('#' is ink), placed centred in a box.
const char* const kCheck[] = {"......#", ".....##", "#...###", "##.###.", "#####..", ".###...", "..#...."};
const char* const kClose[] = {"##....##", ".##..##.", "..####..", "...##...", "..####..", ".##..##.", "##....##"};
const char* const kMinimize[] = {"......", "......", "......", "......", "......", "######", "######"};
const char* const kMaximize[] = {"#########", "#########", "#.......#", "#.......#", "#.......#", "#.......#",
                                 "#.......#", "#########"};
const char* const kRestore[] = {"..######", "..######", "..#....#", "######.#", "######.#", "#....###",
                                "#....#..", "#....#..", "######.."};
const char* const kHelp[] = {"..####..", ".##..##.", ".....##.", "....##..", "...##...", "...##...", "........",
                             "...##...", "...##..."};
const char* const kBullet[] = {".##.", "####", "####", ".##."};

template <size_t N>
TRegion Glyph(const char* const (&Rows)[N], const TRect& Box, int Shift = 0) {
  const int h = static_cast<int>(N), w = static_cast<int>(std::char_traits<char>::length(Rows[0]));
  const int x0 = Box.Left + (Box.Width() - w) / 2 + Shift, y0 = Box.Top + (Box.Height() - h) / 2 + Shift;
  TSpanBuilder b;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (Rows[y][x] == '#') b.Add(y0 + y, x0 + x, x0 + x + 1);
  return b.Build();
}

// A triangle pointing in Direction (0 up, 1 down, 2 left, 3 right), centred in Box.
TRegion Arrow(const TRect& Box, int Direction, int Shift) {
  const int size = std::max(1, (std::min(Box.Width(), Box.Height()) - 4) / 3);  // rows of the triangle
  const int cx = Box.Left + Box.Width() / 2 + Shift, cy = Box.Top + Box.Height() / 2 + Shift;
  TSpanBuilder b;
  for (int i = 0; i < size; ++i) {
    const int half = Direction <= 1 ? i : size - 1 - i;  // rows grow from the point
    if (Direction <= 1) {
      const int y = Direction == 0 ? cy - size / 2 + i : cy + size / 2 - i;
      b.Add(y, cx - half, cx + half + 1);
    } else {
      const int x = Direction == 2 ? cx - size / 2 + i : cx + size / 2 - i;
      for (int y = cy - i; y <= cy + i; ++y) b.Add(y, x, x + 1);
    }
  }
  return b.Build();
}

// Draws a glyph in its colour, or embossed (highlight one pixel down-right, then shadow) when
// inactive.
void PaintGlyph(TDC& DC, TRegion Ink, bool Inactive, int SysIndex) {
  if (Inactive) {
    TRegion light = Ink;
    light.Offset(1, 1);
    PaintColor(DC, light, COLOR_BTNHIGHLIGHT);
    PaintColor(DC, Ink, COLOR_BTNSHADOW);
    return;
  }
  PaintColor(DC, Ink, SysIndex);
}

void ButtonFace(HDC Handle, TRect R, UINT State) {
  const bool down = State & (DFCS_PUSHED | DFCS_CHECKED);
  UINT flags = BF_RECT | BF_MIDDLE;
  if (!down) flags |= BF_SOFT;
  if (State & DFCS_MONO) flags |= BF_MONO;
  else if (State & DFCS_FLAT) flags |= BF_FLAT;
  DrawEdge(Handle, &R, down ? EDGE_SUNKEN : EDGE_RAISED, flags);
}

void CheckBox(TDC& DC, HDC Handle, TRect Logical, UINT State) {
  const int side = std::min(Logical.Width(), Logical.Height());
  TRect box{Logical.Left, Logical.Top + (Logical.Height() - side) / 2, Logical.Left + side, 0};
  box.Bottom = box.Top + side;
  const bool inactive = State & DFCS_INACTIVE;
  const bool tristate = (State & DFCS_BUTTON3STATE) && (State & DFCS_CHECKED);
  UINT flags = BF_RECT | BF_ADJUST;
  if (State & DFCS_MONO) flags |= BF_MONO;
  else if (State & DFCS_FLAT) flags |= BF_FLAT;
  DrawEdge(Handle, &box, EDGE_SUNKEN, flags);
  const TRect inside = DC.ToDevice(box);
  PaintColor(DC, inside, (State & DFCS_PUSHED) || inactive || tristate ? COLOR_BTNFACE : COLOR_WINDOW);
  if (State & DFCS_CHECKED)
    PaintColor(DC, Glyph(kCheck, inside), inactive || tristate ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
}

void RadioButton(TDC& DC, const TRect& Device, UINT State) {
  const int side = std::min(Device.Width(), Device.Height());
  const TRect b{Device.Left, Device.Top + (Device.Height() - side) / 2, Device.Left + side,
                Device.Top + (Device.Height() - side) / 2 + side};
  const TFigure outer = FigureOf(b.Left, b.Top, b.Right, b.Bottom, -1, -1, 1, false);
  if ((State & 0xFF) == DFCS_BUTTONRADIOMASK) {
    PaintColor(DC, Device, COLOR_WINDOW);
    PaintDeviceRegion(DC, TRegion::Combine(outer.Ring, outer.Inside, TRegion::opOr), ColorPaint(DC, 0), R2_COPYPEN);
    return;
  }
  const double cx = (b.Left + b.Right - 1) / 2.0, cy = (b.Top + b.Bottom - 1) / 2.0;
  auto upperLeft = [&](int x, int y) { return (x - cx) + (y - cy) < 0; };
  auto lowerRight = [&](int x, int y) { return (x - cx) + (y - cy) >= 0; };
  const TFigure inner = FigureOf(b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1, -1, -1, 1, false);
  const bool flat = State & (DFCS_FLAT | DFCS_MONO);
  PaintColor(DC, FilterRegion(outer.Ring, upperLeft), COLOR_BTNSHADOW);
  PaintColor(DC, FilterRegion(outer.Ring, lowerRight), flat ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  PaintColor(DC, FilterRegion(inner.Ring, upperLeft), flat ? COLOR_WINDOW : COLOR_3DDKSHADOW);
  PaintColor(DC, FilterRegion(inner.Ring, lowerRight), flat ? COLOR_WINDOW : COLOR_3DLIGHT);
  const bool inactive = State & DFCS_INACTIVE;
  PaintColor(DC, inner.Inside, (State & DFCS_PUSHED) || inactive ? COLOR_BTNFACE : COLOR_WINDOW);
  if (State & DFCS_CHECKED) {
    const int dot = std::max(2, side / 3);
    const int l = b.Left + (side - dot) / 2, t = b.Top + (side - dot) / 2;
    const TFigure f = FigureOf(l, t, l + dot, t + dot, -1, -1, 1, false);
    PaintColor(DC, TRegion::Combine(f.Ring, f.Inside, TRegion::opOr), inactive ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
  }
}

void SizeGrip(TDC& DC, const TRect& Device) {
  PaintColor(DC, Device, COLOR_BTNFACE);
  const int side = std::min(Device.Width(), Device.Height());
  const int r = Device.Right - 1, b = Device.Bottom - 1;
  // Pairs of shadow lines with a highlight line above each, from the corner outwards.
  for (int k = 1; k + 2 < side; k += 4) {
    PaintLine(DC, {r - k, b}, {r, b - k}, COLOR_BTNHIGHLIGHT);
    PaintLine(DC, {r - k - 1, b}, {r, b - k - 1}, COLOR_BTNSHADOW);
    PaintLine(DC, {r - k - 2, b}, {r, b - k - 2}, COLOR_BTNSHADOW);
  }
}

}  // namespace

BOOL DrawFrameControl(HDC DC, TRect* R, UINT Type, UINT State) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return FALSE;
  const TRect d = dc->ToDevice(*R);
  const UINT kind = State & 0xFF;
  const bool inactive = State & DFCS_INACTIVE;
  const int shift = State & DFCS_PUSHED ? 1 : 0;
  switch (Type) {
    case DFC_BUTTON:
      if (kind & DFCS_BUTTONPUSH) {
        ButtonFace(DC, *R, State);
        if (State & DFCS_ADJUSTRECT) InflateRect(R, -2, -2);
      } else if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK)) {
        RadioButton(*dc, d, State);
      } else {
        CheckBox(*dc, DC, *R, State);
      }
      return TRUE;
    case DFC_SCROLL:
      if (kind == DFCS_SCROLLSIZEGRIP || kind == DFCS_SCROLLSIZEGRIPRIGHT) {
        SizeGrip(*dc, d);
        return TRUE;
      }
      {
        // A pushed arrow button is flat, its arrow moved by one pixel.
        const UINT face = (State & DFCS_PUSHED) ? (State & ~DFCS_PUSHED) | DFCS_FLAT : State;
        ButtonFace(DC, *R, face);
        const int direction = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
        PaintGlyph(*dc, Arrow(d, direction, shift), inactive, COLOR_BTNTEXT);
      }
      return TRUE;
    case DFC_CAPTION: {
      ButtonFace(DC, *R, State);
      TRegion glyph;
      switch (kind) {
        case DFCS_CAPTIONCLOSE: glyph = Glyph(kClose, d, shift); break;
        case DFCS_CAPTIONMIN: glyph = Glyph(kMinimize, d, shift); break;
        case DFCS_CAPTIONMAX: glyph = Glyph(kMaximize, d, shift); break;
        case DFCS_CAPTIONRESTORE: glyph = Glyph(kRestore, d, shift); break;
        default: glyph = Glyph(kHelp, d, shift); break;
      }
      PaintGlyph(*dc, glyph, inactive, COLOR_BTNTEXT);
      return TRUE;
    }
    case DFC_MENU:
    case DFC_POPUPMENU: {
      // Menu glyphs are black on white, as masks for the caller to colour.
      PaintColor(*dc, d, COLOR_WINDOW);
      TRegion glyph = kind == DFCS_MENUCHECK    ? Glyph(kCheck, d)
                      : kind == DFCS_MENUBULLET ? Glyph(kBullet, d)
                                                : Arrow(d, 3, 0);
      PaintDeviceRegion(*dc, glyph, ColorPaint(*dc, 0), R2_COPYPEN);
      return TRUE;
    }
    default: return FALSE;
  }
}

BOOL DrawFocusRect(HDC DC, const TRect* R) {
  TDC* dc = DCOf(DC);
  if (!dc || !R) return FALSE;
  const TRect d = dc->ToDevice(*R);
  if (d.IsEmpty()) return TRUE;
  TRegion frame(d);
  frame -= TRect{d.Left + 1, d.Top + 1, d.Right - 1, d.Bottom - 1};
  // A checkerboard from the top-left corner, XORed in: its 1 bits (the corner's) in the
  // background colour, its 0 bits in the text colour, as a monochrome brush paints.
  auto even = [&](int x, int y) { return ((x - d.Left) + (y - d.Top)) % 2 == 0; };
  auto odd = [&](int x, int y) { return !even(x, y); };
  PaintDeviceRegion(*dc, FilterRegion(frame, even), ColorPaint(*dc, dc->A.BkColor), R2_XORPEN);
  PaintDeviceRegion(*dc, FilterRegion(frame, odd), ColorPaint(*dc, dc->A.TextColor), R2_XORPEN);
  return TRUE;
}

namespace {

// A bitmap object over an existing picture, for drawing it through the blit calls.
class TPictureDC {
 public:
  TPictureDC(std::shared_ptr<TSurface> Surface, bool Mono) {
    auto bm = std::make_shared<TBitmapObject>();
    bm->Surface = std::move(Surface);
    bm->Mono = Mono;
    FBitmap = static_cast<HBITMAP>(AddObject(std::move(bm)));
    DC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(DC, FBitmap);
  }
  ~TPictureDC() {
    SelectObject(DC, FOld);
    DeleteDC(DC);
    DeleteObject(FBitmap);
  }
  TPictureDC(const TPictureDC&) = delete;
  TPictureDC& operator=(const TPictureDC&) = delete;
  HDC DC;

 private:
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

// Draws an icon's colour picture with its own (straight) alpha, stretched.
void BlendIcon(TDC& Dest, const TRect& Device, const TSurface& Color) {
  TSurface& dst = *Dest.Surface;
  TRect r = Device;
  OffsetRect(&r, Dest.Origin.X, Dest.Origin.Y);
  const int w = r.Width(), h = r.Height();
  ForEachSpan(Dest.Clip(), r, [&](int y, int x0, int x1) {
    const uint32_t* src = Color.Row(static_cast<int>(static_cast<int64_t>(y - r.Top) * Color.Height() / h));
    uint32_t* d = dst.Row(y);
    for (int x = x0; x < x1; ++x) {
      const uint32_t s = src[static_cast<int64_t>(x - r.Left) * Color.Width() / w];
      const unsigned a = s >> 24;
      uint32_t out = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8)
        out |= ((((s >> shift) & 0xFF) * a + ((d[x] >> shift) & 0xFF) * (255 - a) + 127) / 255) << shift;
      d[x] = Dest.Memory() ? (out & 0xFFFFFF) | (std::max(a, d[x] >> 24) << 24) : out;
    }
  });
}

}  // namespace

BOOL DrawIconEx(HDC DC, int X, int Y, HICON Icon, int Width, int Height, UINT, HBRUSH FlickerFreeBrush, UINT Flags) {
  TDC* dc = DCOf(DC);
  TIconObject* icon = IconOf(Icon);
  if (!dc || !icon || !dc->Surface) return FALSE;
  if (Width == 0) Width = Flags & DI_DEFAULTSIZE ? 32 : icon->Width();
  if (Height == 0) Height = Flags & DI_DEFAULTSIZE ? 32 : icon->Height();
  if (FlickerFreeBrush) {
    const TRect r{X, Y, X + Width, Y + Height};
    FillRect(DC, &r, FlickerFreeBrush);
  }
  if ((Flags & DI_NORMAL) == 0) Flags |= DI_NORMAL;
  const int w = icon->Width(), h = icon->Height();
  const DWORD mirror = Flags & DI_NOMIRROR ? DWORD{NOMIRRORBITMAP} : DWORD{0};
  if (icon->HasAlpha && (Flags & DI_NORMAL) == DI_NORMAL) {
    BlendIcon(*dc, dc->ToDevice(TRect{X, Y, X + Width, Y + Height}), *icon->Color);
    return TRUE;
  }
  // The mask ANDed in (white keeps the background), then the picture XORed in. A monochrome
  // icon keeps both halves in its mask: the AND half on top.
  TPictureDC mask(icon->Mask, true);
  // Monochrome pictures paint black and white, whatever the DC's colours.
  const COLORREF text = SetTextColor(DC, 0), bk = SetBkColor(DC, RGB(255, 255, 255));
  if (Flags & DI_MASK) StretchBlt(DC, X, Y, Width, Height, mask.DC, 0, 0, w, h, SRCAND | mirror);
  if (Flags & DI_IMAGE) {
    if (icon->Color) {
      TPictureDC color(icon->Color, false);
      StretchBlt(DC, X, Y, Width, Height, color.DC, 0, 0, w, h, ((Flags & DI_MASK) ? SRCINVERT : SRCCOPY) | mirror);
    } else {
      StretchBlt(DC, X, Y, Width, Height, mask.DC, 0, h, w, h, ((Flags & DI_MASK) ? SRCINVERT : SRCCOPY) | mirror);
    }
  }
  SetTextColor(DC, text);
  SetBkColor(DC, bk);
  return TRUE;
}

BOOL DrawIcon(HDC DC, int X, int Y, HICON Icon) { return DrawIconEx(DC, X, Y, Icon, 0, 0, 0, nullptr, DI_NORMAL); }

namespace {

// A picture as ink on a white monochrome surface: DrawState's disabled and mono looks paint
// the ink.
std::shared_ptr<TSurface> RenderInk(HDC Target, const DRAWSTATEPROC& Output, LPARAM Data, WPARAM Length, int Width,
                                    int Height, UINT Kind, UINT Flags) {
  auto surface = std::make_shared<TSurface>(Width, Height, kWhite);
  switch (Kind) {
    case DST_ICON:
    case DST_BITMAP: {
      // Drawn in colour on white, then every pixel that is not white is ink.
      auto color = std::make_shared<TSurface>(Width, Height, kWhite);
      {
        TPictureDC paint(color, false);
        if (Kind == DST_ICON) {
          DrawIconEx(paint.DC, 0, 0, reinterpret_cast<HICON>(Data), Width, Height, 0, nullptr, DI_NORMAL);
        } else {
          TBitmapObject* bm = FindAs<TBitmapObject>(reinterpret_cast<HGDIOBJ>(Data), OBJ_BITMAP);
          if (!bm) return nullptr;
          TPictureDC src(bm->Surface, bm->Mono);
          BitBlt(paint.DC, 0, 0, Width, Height, src.DC, 0, 0, SRCCOPY);
        }
      }
      for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
          surface->Row(y)[x] = (color->Row(y)[x] & 0xFFFFFF) == 0xFFFFFF ? kWhite : kBlack;
      return surface;
    }
    default: {
      TPictureDC ink(surface, true);
      SelectObject(ink.DC, GetCurrentObject(Target, OBJ_FONT));
      SetTextColor(ink.DC, 0);
      SetBkMode(ink.DC, TRANSPARENT);
      BOOL ok = FALSE;
      if (Kind == DST_COMPLEX) {
        ok = Output ? Output(ink.DC, Data, Length, Width, Height) : FALSE;
      } else if (StateTextOutput) {
        const char* text = reinterpret_cast<const char*>(Data);
        const std::string s = Length ? std::string(text, Length) : std::string(text ? text : "");
        UINT dt = Kind == DST_TEXT ? UINT{DT_NOPREFIX} : 0u;
        if (Flags & DSS_HIDEPREFIX) dt |= DT_HIDEPREFIX;
        if (Flags & DSS_PREFIXONLY) dt |= DT_PREFIXONLY;
        if (Flags & DSS_RIGHT) dt |= DT_RIGHT;
        ok = StateTextOutput(ink.DC, s, Width, Height, dt);
      }
      return ok ? surface : nullptr;
    }
  }
}

TRegion InkRegion(const TSurface& Ink, TPoint At) {
  TSpanBuilder b;
  for (int y = 0; y < Ink.Height(); ++y) {
    const uint32_t* row = Ink.Row(y);
    for (int x = 0; x < Ink.Width();) {
      if (row[x] != kBlack) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < Ink.Width() && row[x] == kBlack) ++x;
      b.Add(At.Y + y, At.X + start, At.X + x);
    }
  }
  return b.Build();
}

}  // namespace

BOOL DrawState(HDC DC, HBRUSH Brush, const DRAWSTATEPROC& OutputFunc, LPARAM Data, WPARAM DataLength, int X, int Y,
               int Width, int Height, UINT Flags) {
  TDC* dc = DCOf(DC);
  if (!dc) return FALSE;
  const UINT kind = Flags & 0x000F;
  if (Width == 0 || Height == 0) {
    TSize size;
    if (kind == DST_ICON) {
      TIconObject* icon = IconOf(reinterpret_cast<HICON>(Data));
      if (!icon) return FALSE;
      size = {icon->Width(), icon->Height()};
    } else if (kind == DST_BITMAP) {
      auto* bm = FindAs<TBitmapObject>(reinterpret_cast<HGDIOBJ>(Data), OBJ_BITMAP);
      if (!bm) return FALSE;
      size = {bm->Width(), bm->Height()};
    } else if ((kind == DST_TEXT || kind == DST_PREFIXTEXT) && StateTextExtent) {
      const char* text = reinterpret_cast<const char*>(Data);
      size = StateTextExtent(DC, DataLength ? std::string(text, DataLength) : std::string(text ? text : ""));
    } else {
      return FALSE;
    }
    if (Width == 0) Width = size.cx;
    if (Height == 0) Height = size.cy;
  }
  if (Width <= 0 || Height <= 0) return FALSE;
  const UINT look = Flags & (DSS_UNION | DSS_DISABLED | DSS_MONO);
  if (look == DSS_NORMAL && (kind == DST_ICON || kind == DST_BITMAP)) {
    if (kind == DST_ICON) return DrawIconEx(DC, X, Y, reinterpret_cast<HICON>(Data), Width, Height, 0, nullptr, DI_NORMAL);
    auto* bm = FindAs<TBitmapObject>(reinterpret_cast<HGDIOBJ>(Data), OBJ_BITMAP);
    if (!bm) return FALSE;
    TPictureDC src(bm->Surface, bm->Mono);
    return BitBlt(DC, X, Y, Width, Height, src.DC, 0, 0, SRCCOPY);
  }
  if (look == DSS_NORMAL) {
    // Text and complex pictures draw straight onto the DC, at (X, Y).
    TPoint old;
    OffsetViewportOrgEx(DC, X, Y, &old);
    BOOL ok = FALSE;
    if (kind == DST_COMPLEX) {
      ok = OutputFunc ? OutputFunc(DC, Data, DataLength, Width, Height) : FALSE;
    } else if (StateTextOutput) {
      const char* text = reinterpret_cast<const char*>(Data);
      ok = StateTextOutput(DC, DataLength ? std::string(text, DataLength) : std::string(text ? text : ""), Width,
                           Height, kind == DST_TEXT ? UINT{DT_NOPREFIX} : 0u);
    }
    SetViewportOrgEx(DC, old.X, old.Y, nullptr);
    return ok;
  }
  const auto ink = RenderInk(DC, OutputFunc, Data, DataLength, Width, Height, kind, Flags);
  if (!ink) return FALSE;
  const TRegion at = InkRegion(*ink, dc->ToDevice({X, Y}));
  if (look & DSS_DISABLED) {
    // Embossed: the ink in the highlight colour one pixel down and right, then in the shadow.
    TRegion light = at;
    light.Offset(1, 1);
    PaintColor(*dc, light, COLOR_BTNHIGHLIGHT);
    PaintColor(*dc, at, COLOR_BTNSHADOW);
  } else if (look & DSS_MONO) {
    const TBrushObject* brush = ResolveBrush(Brush);
    PaintDeviceRegion(*dc, at, brush ? BrushPaint(*dc, brush) : ColorPaint(*dc, dc->A.TextColor), R2_COPYPEN);
  } else {
    // Dithered: every other pixel of the ink in the highlight colour.
    const TPoint o = dc->ToDevice({X, Y});
    PaintColor(*dc, FilterRegion(at, [&](int x, int y) { return ((x - o.X) + (y - o.Y)) % 2 == 0; }),
               COLOR_HIGHLIGHT);
  }
  return TRUE;
}
