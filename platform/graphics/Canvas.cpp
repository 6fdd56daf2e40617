#include "platform/graphics/Canvas.h"

#include <cstdlib>

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/MemoryDC.h"

UINT TextFormatFlags(TTextFormat Format) {
  static const UINT flags[] = {
      DT_BOTTOM,       DT_CALCRECT,  DT_CENTER,         DT_EDITCONTROL, DT_END_ELLIPSIS,
      DT_PATH_ELLIPSIS, DT_EXPANDTABS, DT_EXTERNALLEADING, DT_LEFT,       DT_MODIFYSTRING,
      DT_NOCLIP,       DT_NOPREFIX,  DT_RIGHT,          DT_RTLREADING,  DT_SINGLELINE,
      DT_TOP,          DT_VCENTER,   DT_WORDBREAK,      DT_HIDEPREFIX,  DT_NOFULLWIDTHCHARBREAK,
      DT_PREFIXONLY,   DT_TABSTOP,   DT_WORD_ELLIPSIS,  0};
  UINT out = 0;
  for (int i = tfBottom; i <= tfComposited; ++i)
    if (Format.Contains(static_cast<TTextFormats>(i))) out |= flags[i];
  return out;
}

TCanvas::TCanvas()
    : FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()), FFont(std::make_unique<TFont>()) {
  FPen->OnChange = [this](TObject*) { ObjectChanged(csPenValid); };
  FBrush->OnChange = [this](TObject*) { ObjectChanged(csBrushValid); };
  FFont->OnChange = [this](TObject*) { ObjectChanged(csFontValid); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::Handle() {
  Changing();
  return ReadyHandle();
}

HDC TCanvas::ReadyHandle() {
  RequiredState(csAllValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  TPoint pos;
  if (FHandle) {
    DeselectHandles();
    GetCurrentPositionEx(FHandle, &pos);
  }
  FHandle = Value;
  FState = Value ? TCanvasState{csHandleValid} : TCanvasState{};
  if (FHandle) MoveToEx(FHandle, pos.X, pos.Y, nullptr);
}

void TCanvas::SetCopyMode(TCopyMode Value) { FCopyMode = Value; }

void TCanvas::RequiredState(TCanvasState ReqState) {
  const TCanvasState needed = ReqState - FState;
  if (needed.Empty()) return;
  if (needed.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (needed.Contains(csFontValid)) SelectFont();
  if (needed.Contains(csPenValid)) SelectPen();
  if (needed.Contains(csBrushValid)) SelectBrush();
  FState += needed;
}

void TCanvas::SelectFont() {
  SelectObject(FHandle, FFont->Handle());
  SetTextColor(FHandle, ColorToRGB(FFont->Color()));
}

void TCanvas::SelectPen() {
  SelectObject(FHandle, FPen->Handle());
  SetROP2(FHandle, PenModeToRop2(FPen->Mode()));
}

void TCanvas::SelectBrush() {
  SelectObject(FHandle, FBrush->Handle());
  const COLORREF color = ColorToRGB(FBrush->Color());
  if (FBrush->Style() == bsSolid) {
    SetBkColor(FHandle, color);
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches keep their gaps clear; the background colour is not used then.
    SetBkColor(FHandle, ~color & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
}

void TCanvas::DeselectHandles() {
  if (!FHandle) return;
  if (FState.Contains(csPenValid)) SelectObject(FHandle, GetStockObject(BLACK_PEN));
  if (FState.Contains(csBrushValid)) SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  if (FState.Contains(csFontValid)) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  FState -= TCanvasState{csPenValid, csBrushValid, csFontValid};
}

void TCanvas::ObjectChanged(TCanvasStates Which) {
  if (!FState.Contains(Which)) return;
  // The object's GDI object is being replaced: take it out of the DC now, so that the old one
  // can be freed, and select the new one at the next drawing call.
  static const int stock[] = {0, SYSTEM_FONT, BLACK_PEN, HOLLOW_BRUSH};
  SelectObject(FHandle, GetStockObject(stock[Which]));
  FState.Exclude(Which);
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

template <class F>
void TCanvas::Drawing(TCanvasState Needed, F Draw) {
  Changing();
  RequiredState(Needed);
  Draw();
  Changed();
}

// ---- state ----

TPoint TCanvas::PenPos() {
  RequiredState({csHandleValid});
  TPoint p;
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

TRect TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  TRect r;
  GetClipBox(FHandle, &r);
  return r;
}

TCanvasOrientation TCanvas::CanvasOrientation() {
  return FHandle && (GetLayout(FHandle) & LAYOUT_RTL) ? coRightToLeft : coLeftToRight;
}

TColor TCanvas::Pixels(int X, int Y) {
  RequiredState({csHandleValid});
  const COLORREF c = GetPixel(FHandle, X, Y);
  return c == CLR_INVALID ? -1 : static_cast<TColor>(c);
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Drawing({csHandleValid, csPenValid}, [&] { SetPixel(FHandle, X, Y, ColorToRGB(Value)); });
}

// ---- lines and figures ----

void TCanvas::MoveTo(int X, int Y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::LineTo(FHandle, X, Y); });
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Drawing({csHandleValid, csPenValid, csBrushValid},
          [&] { ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size())); });
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Drawing({csHandleValid, csPenValid, csBrushValid},
          [&] { ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size())); });
}

void TCanvas::PolyBezier(const std::vector<TPoint>& Points) {
  Drawing({csHandleValid, csPenValid, csBrushValid},
          [&] { ::PolyBezier(FHandle, Points.data(), static_cast<DWORD>(Points.size())); });
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::Rectangle(FHandle, X1, Y1, X2, Y2); });
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3); });
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::Ellipse(FHandle, X1, Y1, X2, Y2); });
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4); });
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4); });
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Drawing({csHandleValid, csPenValid, csBrushValid}, [&] { ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4); });
}

// ---- fills ----

void TCanvas::FillRect(const TRect& R) {
  Drawing({csHandleValid, csBrushValid}, [&] { ::FillRect(FHandle, &R, FBrush->Handle()); });
}

void TCanvas::FrameRect(const TRect& R) {
  Drawing({csHandleValid, csBrushValid}, [&] { ::FrameRect(FHandle, &R, FBrush->Handle()); });
}

void TCanvas::DrawFocusRect(const TRect& R) {
  Drawing({csHandleValid, csBrushValid}, [&] { ::DrawFocusRect(FHandle, &R); });
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  Drawing({csHandleValid, csBrushValid}, [&] {
    const TRect box = ClipRect();
    if (!box.Contains({X, Y})) return;
    const COLORREF target = ColorToRGB(Color) & 0xFFFFFF;
    const int width = box.Width();
    std::vector<uint8_t> seen(static_cast<size_t>(width) * box.Height(), 0);
    auto fills = [&](int x, int y) {
      uint8_t& s = seen[static_cast<size_t>(y - box.Top) * width + (x - box.Left)];
      if (s) return false;
      const COLORREF c = GetPixel(FHandle, x, y);
      const bool in = c != CLR_INVALID && (FillStyle == fsSurface ? c == target : c != target);
      s = in ? 1 : 2;
      return in;
    };
    // Scan-line fill: each span found is widened to its ends, then the rows above and below
    // are searched for further spans. The pixels are painted once the area is known.
    std::vector<TRect> spans;
    std::vector<TPoint> pending{{X, Y}};
    while (!pending.empty()) {
      const TPoint p = pending.back();
      pending.pop_back();
      if (!fills(p.X, p.Y)) continue;
      int left = p.X, right = p.X + 1;
      while (left > box.Left && fills(left - 1, p.Y)) --left;
      while (right < box.Right && fills(right, p.Y)) ++right;
      spans.push_back({left, p.Y, right, p.Y + 1});
      for (int dy : {-1, 1}) {
        const int y = p.Y + dy;
        if (y < box.Top || y >= box.Bottom) continue;
        for (int x = left; x < right; ++x) pending.push_back({x, y});
      }
    }
    HBRUSH brush = FBrush->Handle();
    for (const TRect& r : spans) ::FillRect(FHandle, &r, brush);
  });
}

// ---- text ----

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Drawing({csHandleValid, csFontValid, csBrushValid}, [&] {
    const int width = TextWidth(Text);
    if (CanvasOrientation() == coRightToLeft) X += width + 1;
    ExtTextOut(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text, nullptr);
    MoveToEx(FHandle, X + width, Y, nullptr);
  });
}

void TCanvas::TextRect(const TRect& R, int X, int Y, const std::string& Text) {
  Drawing({csHandleValid, csFontValid, csBrushValid}, [&] {
    UINT options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
    if (FBrush->Style() != bsClear) options |= ETO_OPAQUE;
    if ((FTextFlags & ETO_RTLREADING) && CanvasOrientation() == coRightToLeft) X += TextWidth(Text) + 1;
    ExtTextOut(FHandle, X, Y, options, &R, Text, nullptr);
  });
}

void TCanvas::TextRect(TRect& R, std::string& Text, TTextFormat Format) {
  Drawing({csHandleValid, csFontValid, csBrushValid}, [&] {
    const UINT flags = TextFormatFlags(Format);
    if (Format.Contains(tfModifyString))
      DrawTextEx(FHandle, &Text, &R, flags, nullptr);
    else
      DrawText(FHandle, Text, &R, flags);
  });
}

TSize TCanvas::TextExtent(const std::string& Text) {
  RequiredState({csHandleValid, csFontValid});
  TSize size;
  GetTextExtentPoint32(FHandle, Text, &size);
  return size;
}

// ---- pictures ----

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  StretchDraw(Bounds(X, Y, Graphic->Width(), Graphic->Height()), Graphic);
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Drawing({csHandleValid}, [&] {
    // A monochrome picture takes the font colour for its 0 bits and the brush colour for its 1 bits.
    SetBkColor(FHandle, ColorToRGB(FBrush->Color()));
    SetTextColor(FHandle, ColorToRGB(FFont->Color()));
    Graphic->Draw(this, R);
  });
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Drawing({csHandleValid, csFontValid, csBrushValid}, [&] {
    HDC src = Canvas->ReadyHandle();
    StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), src, Source.Left, Source.Top,
               Source.Width(), Source.Height(), FCopyMode);
  });
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Drawing({csHandleValid, csBrushValid}, [&] {
    const int w = std::abs(Dest.Width()), h = std::abs(Dest.Height());
    if (w == 0 || h == 0) return;
    // The source part at the destination's size, and a mask of its pixels of Color.
    graphics::TMemoryDC picture(w, h);
    graphics::TMemoryDC mask(w, h, true);
    StretchBlt(picture.DC(), 0, 0, w, h, Bitmap->Canvas()->ReadyHandle(), Source.Left, Source.Top, Source.Width(),
               Source.Height(), SRCCOPY);
    SetBkColor(picture.DC(), ColorToRGB(Color));
    BitBlt(mask.DC(), 0, 0, w, h, picture.DC(), 0, 0, SRCCOPY);
    // The brush where the mask is set (S ? P : D), aligned as on this canvas.
    HGDIOBJ oldBrush = SelectObject(picture.DC(), FBrush->Handle());
    SetBrushOrgEx(picture.DC(), -Dest.Left, -Dest.Top, nullptr);
    SetTextColor(picture.DC(), RGB(0, 0, 0));
    SetBkColor(picture.DC(), RGB(255, 255, 255));
    BitBlt(picture.DC(), 0, 0, w, h, mask.DC(), 0, 0, 0x00E20746);
    SelectObject(picture.DC(), oldBrush);
    BitBlt(FHandle, std::min(Dest.Left, Dest.Right), std::min(Dest.Top, Dest.Bottom), w, h, picture.DC(), 0, 0,
           SRCCOPY);
  });
}

// ---- locking ----

void TCanvas::Lock() {
  FLock.lock();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.unlock();
}

bool TCanvas::TryLock() {
  if (!FLock.try_lock()) return false;
  ++FLockCount;
  return true;
}
