#pragma once
// The interface text drawing uses: the objects behind GDI handles, a device context's state
// (selected font, text and background colours, background mode, text alignment, current
// position, origins, clip), and the routines that put a coverage mask or a solid span onto a
// DC through its origin, clip region and raster operation. The font engine and the text
// calls are built on this header; nothing here is part of the public API.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Fonts.h"
#include "platform/gdi/Region.h"
#include "platform/gdi/Surface.h"
#include "platform/gdi/SurfaceDC.h"

namespace gdi {

// An object behind a handle. Handles are looked up in one table; the table holds the
// objects, and a DC holds its selected objects too, so an object deleted while selected
// lives on until the DC lets go of it.
class TGdiObject {
 public:
  explicit TGdiObject(DWORD Type) : FType(Type) {}
  virtual ~TGdiObject() = default;
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  DWORD Type() const { return FType; }
  HGDIOBJ Handle() const { return FHandle; }
  // Stock objects are not freed by DeleteObject.
  bool Stock = false;
  // GetObject: writes the object's description (at most Size bytes); with Buffer null
  // answers the size needed.
  virtual int Describe(int Size, void* Buffer) const;

 private:
  friend HGDIOBJ AddObject(std::shared_ptr<TGdiObject> Object);
  DWORD FType;
  HGDIOBJ FHandle = nullptr;
};

// Enters an object into the table and answers its new handle.
HGDIOBJ AddObject(std::shared_ptr<TGdiObject> Object);
// The object of a live handle, null otherwise.
TGdiObject* FindObject(HGDIOBJ Handle);
std::shared_ptr<TGdiObject> ShareObject(HGDIOBJ Handle);
// Removes a handle from the table (the object lives on while something still holds it).
bool RemoveObject(HGDIOBJ Handle);
// The object of a live handle when it has type Type (or the alternative, e.g. OBJ_EXTPEN).
template <class T>
T* FindAs(HGDIOBJ Handle, DWORD Type, DWORD Alt = 0) {
  TGdiObject* o = FindObject(Handle);
  return o && (o->Type() == Type || (Alt && o->Type() == Alt)) ? static_cast<T*>(o) : nullptr;
}
template <class T>
std::shared_ptr<T> ShareAs(HGDIOBJ Handle, DWORD Type, DWORD Alt = 0) {
  auto o = ShareObject(Handle);
  return o && (o->Type() == Type || (Alt && o->Type() == Alt)) ? std::static_pointer_cast<T>(o) : nullptr;
}

class TPenObject : public TGdiObject {
 public:
  explicit TPenObject(bool Extended) : TGdiObject(Extended ? OBJ_EXTPEN : OBJ_PEN) {}
  DWORD Style = PS_SOLID;  // the whole style word: style, end cap, join and type
  int Width = 1;
  COLORREF Color = 0;
  bool DCPen = false;       // DC_PEN: takes the DC's pen colour
  std::vector<DWORD> Dashes;  // PS_USERSTYLE lengths, on and off by turns
  DWORD Kind() const { return Style & PS_STYLE_MASK; }
  bool Geometric() const { return (Style & PS_TYPE_MASK) == PS_GEOMETRIC; }
  int Describe(int Size, void* Buffer) const override;
};

class TBitmapObject;

class TBrushObject : public TGdiObject {
 public:
  TBrushObject() : TGdiObject(OBJ_BRUSH) {}
  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  int SysIndex = -1;    // a system colour brush: the colour is read when it paints
  bool DCBrush = false; // DC_BRUSH: takes the DC's brush colour
  // BS_PATTERN: a copy of the bitmap's pixels; Mono takes the DC's text and background colours.
  std::shared_ptr<TSurface> Pattern;
  bool Mono = false;
  HBITMAP PatternHandle = nullptr;  // what GetObject reports
  int Describe(int Size, void* Buffer) const override;
};

class TBitmapObject : public TGdiObject {
 public:
  TBitmapObject() : TGdiObject(OBJ_BITMAP) {}
  std::shared_ptr<TSurface> Surface;
  // Monochrome: every pixel is black (0xFF000000, bit 0) or white (0xFFFFFFFF, bit 1).
  bool Mono = false;
  // A DIB section: Bits is what the program was handed, rows as Header says.
  bool Dib = false;
  BITMAPINFOHEADER Header;
  TSize Dimension;  // SetBitmapDimensionEx
  int Width() const { return Surface ? Surface->Width() : 0; }
  int Height() const { return Surface ? Surface->Height() : 0; }
  int Describe(int Size, void* Buffer) const override;
};

class TRegionObject : public TGdiObject {
 public:
  TRegionObject() : TGdiObject(OBJ_REGION) {}
  TRegion Region;
};

class TPaletteObject : public TGdiObject {
 public:
  TPaletteObject() : TGdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> Entries;
  int Describe(int Size, void* Buffer) const override;
};

// A font object: the logical font, and whatever the font engine keeps for it (the face it
// chose, glyph caches), made on first use.
class TFontObject : public TGdiObject {
 public:
  TFontObject() : TGdiObject(OBJ_FONT) {}
  LOGFONT Log;
  mutable std::shared_ptr<void> Engine;
  int Describe(int Size, void* Buffer) const override;
};
// A new font object for Log (what CreateFontIndirect makes).
HFONT NewFontHandle(const LOGFONT& Log);
const TFontObject* FontObjectOf(HFONT Font);

// An icon or cursor: colour and mask pictures of the same size. The mask is monochrome
// (white = leave the background); a colour picture with alpha is blended instead.
class TIconObject : public TGdiObject {
 public:
  TIconObject() : TGdiObject(0) {}
  bool IsIcon = true;
  TPoint HotSpot;
  std::shared_ptr<TSurface> Color;  // may be null: the mask holds both halves (monochrome)
  std::shared_ptr<TSurface> Mask;
  bool HasAlpha = false;
  int Width() const { return Mask ? Mask->Width() : Color ? Color->Width() : 0; }
  int Height() const;
};
TIconObject* IconOf(HICON Icon);

// What SaveDC keeps and RestoreDC brings back.
struct TDCAttributes {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;
  HPALETTE Palette = nullptr;
  std::shared_ptr<TPenObject> PenObject;
  std::shared_ptr<TBrushObject> BrushObject;
  std::shared_ptr<TFontObject> FontObject;
  std::shared_ptr<TBitmapObject> BitmapObject;
  COLORREF TextColor = RGB(0, 0, 0);
  COLORREF BkColor = RGB(255, 255, 255);
  COLORREF DCBrushColor = RGB(255, 255, 255);
  COLORREF DCPenColor = RGB(0, 0, 0);
  int BkMode = OPAQUE;
  UINT TextAlign = 0;
  int TextCharExtra = 0;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  int PolyFillMode = ALTERNATE;
  int ArcDirection = AD_COUNTERCLOCKWISE;
  DWORD Layout = 0;
  TPoint BrushOrg;
  TPoint ViewportOrg;
  TPoint WindowOrg;
  TPoint CurrentPos;
  bool HasClip = false;
  TRegion Clip;  // device coordinates
};

// A device context.
class TDC : public TGdiObject {
 public:
  explicit TDC(bool Memory) : TGdiObject(Memory ? OBJ_MEMDC : OBJ_DC) {}

  TDCAttributes A;
  std::vector<TDCAttributes> Saved;

  std::shared_ptr<TSurface> Surface;
  TPoint Origin;     // device (0, 0) on the surface
  TRegion Visible;   // what may be drawn at all, surface coordinates
  TSize Extent;      // the DC's width and height (mirroring); the surface's for memory DCs
  bool Mono = false; // draws into a monochrome bitmap

  bool Memory() const { return Type() == OBJ_MEMDC; }
  // Logical to device coordinates (origins, then mirroring).
  TPoint ToDevice(TPoint P) const;
  // A logical rectangle in device coordinates, normalised (mirroring swaps left and right:
  // the pixel columns [L, R) become [W − R, W − L)).
  TRect ToDevice(const TRect& R) const;
  // The mirror of a device span (identity without right-to-left layout).
  bool Mirrored() const { return (A.Layout & LAYOUT_RTL) != 0; }
  int MirrorX(int X) const { return Extent.cx - 1 - X; }
  // What drawing may touch, in surface coordinates: the visible part, the surface's bounds and
  // the selected clip region. Cached until the clip or the placement changes.
  const TRegion& Clip();
  void ClipChanged() { FClipValid = false; }
  // The DC's colours as surface pixels (mapped to black or white on a monochrome DC).
  uint32_t PixelFor(COLORREF Color) const;

 private:
  TRegion FClip;
  bool FClipValid = false;
  TSize FClipSurface;  // the surface's size when the clip was worked out (a window may resize it)
};
TDC* DCOf(HDC DC);
// Selects a new DC's objects: the black pen, the white brush, the system font.
void SelectDefaults(TDC& DC);
// The nearest of black and white.
bool IsLight(COLORREF Color);

// Text drawing on top of the raster. Coordinates are device coordinates, already mirrored
// where the DC is right-to-left (use TDC::ToDevice); drawing goes through the DC's origin,
// visible part, clip region and raster operation (SetROP2).
//
// Blends Color into the DC with an 8-bit coverage per pixel (255 paints Color, 0 leaves the
// pixel; between, the raster operation's result is mixed with the old pixel). The mask has
// Width × Height bytes, Stride bytes a row, its top-left at device point (X, Y).
void WriteCoverage(HDC DC, int X, int Y, const uint8_t* Mask, int Width, int Height, int Stride, COLORREF Color);
// Fills a device rectangle with a solid colour (the opaque background of text), through the
// clip and raster operation. ClipTo, when given, narrows it further (device coordinates).
void FillDeviceRect(HDC DC, const TRect& R, COLORREF Color, const TRect* ClipTo = nullptr);
// The same for one row of pixels [X0, X1) at device row Y (underline and strike-out).
void FillDeviceSpan(HDC DC, int Y, int X0, int X1, COLORREF Color);

// DrawState's text kinds (DST_TEXT, DST_PREFIXTEXT) draw through this, which the text unit
// sets when the program starts: it draws Text with the DC's selected font and text colour,
// background transparent, in the rectangle (0, 0, Width, Height), with the DT_* flags given
// (DT_NOPREFIX or not, DT_HIDEPREFIX, DT_PREFIXONLY, DT_RIGHT). Unset, those kinds fail.
using TStateTextOutput = std::function<BOOL(HDC DC, const std::string& Text, int Width, int Height, UINT DTFlags)>;
extern TStateTextOutput StateTextOutput;
// Measures text for DrawState when no size is given (unset: the kinds fail likewise).
using TStateTextExtent = std::function<TSize(HDC DC, const std::string& Text)>;
extern TStateTextExtent StateTextExtent;

}  // namespace gdi
