#include "grid/DbUtilsGd.h"

#include <memory>

#include "grid/base/GdPlatform.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Painting.h"
#include "platform/rtl/Strings.h"

namespace {

std::unique_ptr<TBitmap> gDrawBitmap;
int gDrawBitmapUsers = 0;

// The clip region of a DC, put back when the object goes (none when it had none).
class TSavedClip {
 public:
  explicit TSavedClip(HDC DC) : FDC(DC), FRegion(CreateRectRgn(0, 0, 0, 0)) {
    if (GetClipRgn(DC, FRegion) != 1) {
      DeleteObject(FRegion);
      FRegion = nullptr;
    }
  }
  ~TSavedClip() {
    SelectClipRgn(FDC, FRegion);
    if (FRegion) DeleteObject(FRegion);
  }
  TSavedClip(const TSavedClip&) = delete;
  TSavedClip& operator=(const TSavedClip&) = delete;

 private:
  HDC FDC;
  HRGN FRegion;
};

// The brush style of a canvas, put back when the object goes.
class TSavedBrushStyle {
 public:
  TSavedBrushStyle(TCanvas* Canvas, TBrushStyle Style) : FCanvas(Canvas), FStyle(Canvas->Brush()->Style()) {
    FCanvas->Brush()->SetStyle(Style);
  }
  ~TSavedBrushStyle() { FCanvas->Brush()->SetStyle(FStyle); }
  TSavedBrushStyle(const TSavedBrushStyle&) = delete;
  TSavedBrushStyle& operator=(const TSavedBrushStyle&) = delete;

 private:
  TCanvas* FCanvas;
  TBrushStyle FStyle;
};

// The shared bitmap's canvas set up like Canvas (font, solid brush, transparent text) and at
// least Width x Height big, locked for the object's life. A routine that draws off-screen with
// no grid holding the bitmap holds it for the time of the drawing.
class TOffscreen {
 public:
  TOffscreen(TCanvas* Canvas, int Width, int Height) {
    AcquireDrawBitmap();
    TBitmap* bitmap = SharedDrawBitmap();
    FCanvas = bitmap->Canvas();
    FCanvas->Lock();
    if (bitmap->Width() < Width || bitmap->Height() < Height)
      bitmap->SetSize(std::max(bitmap->Width(), Width), std::max(bitmap->Height(), Height));
    FCanvas->Font()->Assign(Canvas->Font());
    FCanvas->Brush()->Assign(Canvas->Brush());
    FCanvas->Brush()->SetStyle(bsSolid);
    SetBkMode(FCanvas->Handle(), TRANSPARENT);
  }
  ~TOffscreen() {
    FCanvas->Unlock();
    ReleaseDrawBitmap();
  }
  TOffscreen(const TOffscreen&) = delete;
  TOffscreen& operator=(const TOffscreen&) = delete;
  TCanvas* Canvas() const { return FCanvas; }

 private:
  TCanvas* FCanvas = nullptr;
};

// True when the display shows the canvas's brush colour only approximately (dithered).
bool BrushNotExact(TCanvas* Canvas) {
  const COLORREF wanted = ColorToRGB(Canvas->Brush()->Color());
  return GetNearestColor(Canvas->Handle(), wanted) != wanted;
}

size_t CodePointCount(const std::string& Text) {
  size_t count = 0;
  for (size_t pos = 0; pos < Text.size(); ++count) rtl::NextCodePoint(Text, pos);
  return count;
}

std::string FirstCodePoints(const std::string& Text, size_t Count) {
  return Text.substr(0, rtl::ByteOffsetOfCodePoint(Text, Count));
}

// The placement of rotated text in Rect (see WriteCellTextVertical).
TPoint VerticalOrigin(const TRect& Rect, int Layout, TAlignment Alignment, int Extent, int TextHeight, int Overhang,
                      int DX, int DY) {
  TPoint p;
  switch (Alignment) {
    case taRightJustify: p.X = Rect.Right - TextHeight; break;
    case taCenter: p.X = Rect.Left + (Rect.Right - Rect.Left) / 2 - (TextHeight + Overhang) / 2; break;
    default: p.X = Rect.Left + DX; break;
  }
  switch (Layout) {
    case 0: p.Y = Rect.Top + Extent; break;
    case 2: p.Y = Rect.Bottom - DY; break;
    default: p.Y = (Rect.Top + Rect.Bottom) / 2 + Extent / 2; break;
  }
  return p;
}

}  // namespace

// ---- the shared off-screen bitmap ----

TBitmap* SharedDrawBitmap() { return gDrawBitmap.get(); }

void AcquireDrawBitmap() {
  if (gDrawBitmapUsers == 0) {
    gDrawBitmap = std::make_unique<TBitmap>();
    gDrawBitmap->SetPixelFormat(pf32bit);
  }
  ++gDrawBitmapUsers;
}

void ReleaseDrawBitmap() {
  if (gDrawBitmapUsers == 0) return;
  if (--gDrawBitmapUsers == 0) gDrawBitmap.reset();
}

int SharedDrawBitmapUsers() { return gDrawBitmapUsers; }

// ---- text ----

void DrawWrappedText(TCanvas* Canvas, const TRect& Rect, int DX, int DY, const std::string& Text, TAlignment Alignment,
                     TTextLayout Layout, bool WordWrap, bool EndEllipsis, int LeftMargin, int RightMargin,
                     bool RightToLeftReading) {
  UINT flags = DrawTextAlignFlags[Alignment] | DrawTextRtlFlags[RightToLeftReading ? 1 : 0];
  if (WordWrap) flags |= DT_WORDBREAK;
  if (EndEllipsis) flags |= DT_END_ELLIPSIS;
  DRAWTEXTPARAMS params;
  params.iLeftMargin = LeftMargin;
  params.iRightMargin = RightMargin;
  params.iTabLength = 0;
  TRect r{Rect.Left + DX, Rect.Top + DY, Rect.Right - DX, Rect.Bottom - DY};
  HDC dc = Canvas->Handle();
  if (Layout == tlCenter || Layout == tlBottom) {
    TRect measured = r;
    const int h = DrawTextExOfString(dc, Text, -1, &measured, flags | DT_CALCRECT, &params);
    if (Layout == tlCenter) {
      r.Top = r.Top + (r.Bottom - r.Top) / 2 - h / 2;
    } else {
      r.Top = r.Bottom - h;
    }
  }
  if (DX > 0) r.Bottom += 1;
  DrawTextExOfString(dc, Text, -1, &r, flags, &params);
}

void WriteCellText(TCanvas* Canvas, const TRect& Rect, bool FillRect, int DX, int DY, const std::string& Text,
                   TAlignment Alignment, TTextLayout Layout, bool WordWrap, bool EndEllipsis, int LeftMargin,
                   int RightMargin, bool RightToLeftReading) {
  if (BrushNotExact(Canvas)) {
    // A dithered brush would show behind the text in a pattern: the cell is drawn on a true
    // colour bitmap and copied in whole.
    const int w = Rect.Width(), h = Rect.Height();
    if (w <= 0 || h <= 0) return;
    TOffscreen off(Canvas, w, h);
    const TRect local{0, 0, w, h};
    off.Canvas()->FillRect(local);
    DrawWrappedText(off.Canvas(), local, DX, DY, Text, Alignment, Layout, WordWrap, EndEllipsis, LeftMargin,
                    RightMargin, RightToLeftReading);
    Canvas->CopyRect(Rect, off.Canvas(), local);
    return;
  }
  if (WordWrap) {
    if (FillRect) {
      Canvas->FillRect(Rect);
      DrawWrappedText(Canvas, Rect, DX, DY, Text, Alignment, Layout, WordWrap, EndEllipsis, LeftMargin, RightMargin,
                      RightToLeftReading);
    } else {
      TSavedBrushStyle clear(Canvas, bsClear);
      DrawWrappedText(Canvas, Rect, DX, DY, Text, Alignment, Layout, WordWrap, EndEllipsis, LeftMargin, RightMargin,
                      RightToLeftReading);
    }
    return;
  }
  const std::string text = EndEllipsis ? ShortenTextWithEllipsis(Text, Canvas, Rect.Width() - DX) : Text;
  const bool styled = Canvas->Font()->Style().Contains(fsBold) || Canvas->Font()->Style().Contains(fsItalic);
  const int w = Alignment == taRightJustify && styled ? MeasureTextWidth(Canvas, text) : Canvas->TextWidth(text);
  int x;
  switch (Alignment) {
    case taRightJustify: x = Rect.Right - w - 3; break;
    case taCenter: x = Rect.Left < Rect.Right ? Rect.Left + (Rect.Right - Rect.Left) / 2 - w / 2 : 0; break;
    default: x = Rect.Left + DX; break;
  }
  int y = Rect.Top + DY;
  if (Layout != tlTop) {
    const int h = Canvas->TextHeight(text);
    if (h < Rect.Height() - DY) y = Layout == tlCenter ? (Rect.Top + Rect.Bottom - h) / 2 : Rect.Bottom - h;
  }
  if (FillRect) {
    Canvas->TextRect(Rect, x, y, text);
  } else {
    TSavedBrushStyle clear(Canvas, bsClear);
    Canvas->TextRect(Rect, x, y, text);
  }
}

std::string ShortenTextWithEllipsis(const std::string& Text, TCanvas* Canvas, int MaxWidth) {
  std::string result = Text;
  const size_t length = CodePointCount(Text);
  for (size_t i = 1; i <= length && Canvas->TextWidth(result) > MaxWidth; ++i)
    result = FirstCodePoints(Text, length > i + 1 ? length - i - 1 : 0) + "...";
  return result;
}

HFONT MakeVerticalFont(TFont* Font) {
  LOGFONT lf;
  lf.lfHeight = Font->Height();
  lf.lfWidth = 0;
  lf.lfEscapement = 900;
  lf.lfOrientation = 900;
  lf.lfWeight = Font->Style().Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = Font->Style().Contains(fsItalic) ? 1 : 0;
  lf.lfUnderline = Font->Style().Contains(fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(Font->Charset());
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = Font->Pitch() == fpVariable ? VARIABLE_PITCH : Font->Pitch() == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
  lf.lfFaceName = SameText(Font->Name(), "Default") ? "MS Sans Serif" : Font->Name();
  return CreateFontIndirect(&lf);
}

int WriteCellTextVertical(TCanvas* Canvas, const TRect& Rect, bool FillRect, bool MeasureOnly, bool /*EndEllipsis*/,
                          int Layout, TAlignment Alignment, const std::string& Text, int DY, int DX) {
  HDC dc = Canvas->Handle();
  HFONT vertical = MakeVerticalFont(Canvas->Font());
  // The canvas's own font comes back whatever happens below.
  struct TFontSwap {
    HDC DC;
    HFONT Font;
    HGDIOBJ Old;
    ~TFontSwap() {
      SelectObject(DC, Old);
      DeleteObject(Font);
    }
  } swap{dc, vertical, SelectObject(dc, vertical)};

  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  int extent = tm.tmOverhang;
  if (tm.tmItalic && (tm.tmPitchAndFamily & TMPF_TRUETYPE)) {
    OUTLINETEXTMETRIC otm;
    if (QueryOutlineTextMetrics(dc, sizeof(otm), &otm) && otm.otmsCharSlopeRise != 0)
      extent = (tm.tmHeight - tm.tmInternalLeading) * otm.otmsCharSlopeRun / otm.otmsCharSlopeRise;
  }
  TSize size{};
  GetTextExtentPoint32(dc, Text, &size);
  extent += size.cx;
  if (MeasureOnly) return extent;

  const TPoint origin = VerticalOrigin(Rect, Layout, Alignment, extent, tm.tmHeight, tm.tmOverhang, DX, DY);
  if (!FillRect || !BrushNotExact(Canvas)) {
    const int oldMode = SetBkMode(dc, FillRect ? OPAQUE : TRANSPARENT);
    const COLORREF oldBk = SetBkColor(dc, ColorToRGB(Canvas->Brush()->Color()));
    ExtTextOutOfString(dc, origin.X, origin.Y, ETO_CLIPPED | (FillRect ? UINT{ETO_OPAQUE} : 0u), &Rect, Text, -1);
    SetBkColor(dc, oldBk);
    SetBkMode(dc, oldMode);
    return extent;
  }
  const int w = Rect.Width(), h = Rect.Height();
  if (w <= 0 || h <= 0) return extent;
  TOffscreen off(Canvas, w, h);
  const TRect local{0, 0, w, h};
  off.Canvas()->FillRect(local);
  HDC offDC = off.Canvas()->Handle();
  HFONT offFont = MakeVerticalFont(Canvas->Font());
  HGDIOBJ oldOff = SelectObject(offDC, offFont);
  SetTextColor(offDC, ColorToRGB(Canvas->Font()->Color()));
  ExtTextOutOfString(offDC, origin.X - Rect.Left, origin.Y - Rect.Top, ETO_CLIPPED, &local, Text, -1);
  SelectObject(offDC, oldOff);
  DeleteObject(offFont);
  Canvas->CopyRect(Rect, off.Canvas(), local);
  return extent;
}

int MeasureTextWidth(TCanvas* Canvas, const std::string& Text) {
  TSize size{};
  GetTextExtentPoint32(Canvas->Handle(), Text, &size);
  return size.cx;
}

bool TextOverflowsRect(UINT Flags, TCanvas* Canvas, int ReservedWidth, int& TextWidth, int& TextHeight, bool WordWrap,
                       const TRect& Rect, const std::string& Text, int ReservedHeight) {
  UINT flags = DT_CALCRECT | DT_NOPREFIX | Flags;
  if (WordWrap) flags |= DT_WORDBREAK;
  const int available = std::max(1, Rect.Width() - ReservedWidth - 2);
  TRect r{0, 0, available, 0};
  DrawTextOfString(Canvas->Handle(), Text, -1, &r, flags);
  TextWidth = r.Width();
  TextHeight = r.Height();
  return available < TextWidth || Rect.Height() - ReservedHeight + 1 < TextHeight;
}

// ---- images and buttons ----

void DrawImageClipped(TCustomImageList* ImageList, TGraphic* Graphic, TCanvas* Canvas, TAlignment Alignment, int DX,
                      int ImageIndex, const TRect& Rect) {
  if (!ImageList && !Graphic) return;
  const int w = ImageList ? ImageList->Width() : Graphic->Width();
  const int h = ImageList ? ImageList->Height() : Graphic->Height();
  int x;
  switch (Alignment) {
    case taRightJustify: x = Rect.Right - w + DX; break;
    case taCenter: x = (Rect.Left + Rect.Right - w) / 2 + DX; break;
    default: x = Rect.Left + DX; break;
  }
  const int y = (Rect.Top + Rect.Bottom - h) / 2;
  auto draw = [&] {
    if (ImageList) {
      ImageList->Draw(Canvas, x, y, ImageIndex, true);
    } else {
      Canvas->Draw(x, y, Graphic);
    }
  };
  if (x >= Rect.Left && y >= Rect.Top && x + w <= Rect.Right && y + h <= Rect.Bottom) {
    draw();
    return;
  }
  HDC dc = Canvas->Handle();
  TSavedClip saved(dc);
  IntersectClipRect(dc, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  draw();
}

void DrawEditButtonInCell(TCanvas* Canvas, TBitmap* Glyph, TColor Color, bool Active, bool Flat, const TRect& CellRect,
                          const TRect& ButtonRect, TEditButtonStyleGd Style, bool RightToLeft) {
  HDC dc = Canvas->Handle();
  std::unique_ptr<TSavedClip> saved;
  if (ButtonRect.Left < CellRect.Left) {
    saved = std::make_unique<TSavedClip>(dc);
    IntersectClipRect(dc, CellRect.Left, CellRect.Top, CellRect.Right, CellRect.Bottom);
  }
  TRect r = ButtonRect;
  // A right-to-left column shows its buttons at the left: the rectangle mirrored in the cell.
  if (RightToLeft) r = TRect{CellRect.Left + CellRect.Right - r.Right, r.Top, CellRect.Left + CellRect.Right - r.Left, r.Bottom};
  if (Flat) {
    const TRect strip = RightToLeft ? TRect{r.Right - 1, r.Top, r.Right, r.Bottom} : TRect{r.Left, r.Top, r.Left + 1, r.Bottom};
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    ::FillRect(dc, &strip, brush);
    DeleteObject(brush);
    if (RightToLeft) {
      --r.Right;
    } else {
      ++r.Left;
    }
  }
  if (Style == ebsGlyphGd) {
    if (Flat) {
      HBRUSH frame = CreateSolidBrush(ColorToRGB(Color));
      FrameRect(dc, &r, frame);
      DeleteObject(frame);
      r = TRect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
      ::FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    } else {
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
      r = TRect{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
    }
    if (Glyph && !Glyph->Empty()) DrawImageClipped(nullptr, Glyph, Canvas, taCenter, 0, 0, r);
    return;
  }
  PaintEditButtonImage(dc, r, Color, 0, Active, false, Flat, 0, EditButtonStyleToPainterKind[Style]);
}

void DrawIncSearchHighlight(TCanvas* Canvas, const TRect& Cell, int DX, int DY, const std::string& CellText, int Typed,
                            TAlignment Alignment, bool RightToLeft, bool WordWrap) {
  if (RightToLeft && Alignment != taCenter) Alignment = Alignment == taLeftJustify ? taRightJustify : taLeftJustify;
  UINT flags = DrawTextAlignFlags[Alignment];
  if (WordWrap) flags |= DT_WORDBREAK | DrawTextRtlFlags[RightToLeft ? 1 : 0];
  TRect r{Cell.Left + DX, Cell.Top + DY, Cell.Right - DX, Cell.Bottom - DY};
  if (DX != 0) r.Bottom += 1;
  const std::string typed = FirstCodePoints(CellText, static_cast<size_t>(std::max(Typed, 0)));
  DRAWTEXTPARAMS params;
  params.cbSize = 20;
  params.iLeftMargin = 0;
  // Right or centred text: the rest of the cell text keeps its room, so the typed characters
  // stand where they stand in the full text.
  if (Alignment != taLeftJustify) params.iRightMargin = Canvas->TextWidth(CellText.substr(typed.size()));
  const TColor oldBrush = Canvas->Brush()->Color();
  const TColor oldFont = Canvas->Font()->Color();
  Canvas->Brush()->SetColor(static_cast<TColor>(0xFFFF));
  Canvas->Font()->SetColor(static_cast<TColor>(0));
  DrawTextExOfString(Canvas->Handle(), typed, -1, &r, flags, &params);
  Canvas->Brush()->SetColor(oldBrush);
  Canvas->Font()->SetColor(oldFont);
}

// ---- rectangles, grids and messages ----

void TransposeRect(TRect& Rect) {
  const int width = Rect.Right - Rect.Left, height = Rect.Bottom - Rect.Top;
  Rect.Right = Rect.Left + height;
  Rect.Bottom = Rect.Top + width;
}

bool CellInGridRect(int Col, int Row, const TGridRect& Rect) {
  return Rect.Left <= Col && Col <= Rect.Right && Rect.Top <= Row && Row <= Rect.Bottom;
}

bool PointInRectInclusive(TPoint Point, const TRect& Rect) {
  return Point.X >= Rect.Left && Point.X <= Rect.Right && Point.Y >= Rect.Top && Point.Y <= Rect.Bottom;
}

void InvalidateGridRow(TCustomGrid* Grid, int Row) {
  if (!Grid || !Grid->HandleAllocated()) return;
  for (int col = 0; col < Grid->ColCount(); ++col) {
    const TRect r = Grid->CellRect(col, Row);
    if (!r.IsEmpty()) InvalidateWindowRect(Grid->Handle(), &r, FALSE);
  }
}

void RaiseGridOperationError(const std::string& Message) { throw EInvalidGridOperation(Message); }

void DiscardPendingMessage(HWND Wnd, UINT Message) {
  MSG msg;
  while (PeekMessage(&msg, Wnd, Message, Message, PM_REMOVE)) {
  }
}
