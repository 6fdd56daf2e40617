#pragma once
// TCanvas: drawing on a device context with a pen, a brush and a font. The canvas selects its
// objects lazily: a change of the pen, brush or font takes effect at the next drawing call
// that needs it, and a canvas without a handle gets one on first use (CreateHandle, which
// descendants such as a bitmap's or a window's canvas provide). Every drawing call raises
// OnChanging before it draws and OnChange after.
#include <mutex>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/graphics/GraphicsObjects.h"

class TGraphic;
class TBitmap;

// What a canvas has selected into its handle.
enum TCanvasStates { csHandleValid, csFontValid, csPenValid, csBrushValid };
using TCanvasState = TSet<TCanvasStates>;
inline constexpr TCanvasState csAllValid{csHandleValid, csFontValid, csPenValid, csBrushValid};

enum TCanvasOrientation { coLeftToRight, coRightToLeft };
// FloodFill: fill the area of one colour, or everything up to a border of one colour.
enum TFillStyle { fsSurface, fsBorder };

// Block transfer modes (CopyMode): the ternary raster operations.
using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

// The text formats of TextRect; each stands for a DrawText flag.
enum TTextFormats {
  tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis, tfExpandTabs,
  tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight, tfRtlReading,
  tfSingleLine, tfTop, tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak,
  tfPrefixOnly, tfTabStop, tfWordEllipsis, tfComposited
};
using TTextFormat = TSet<TTextFormats>;
// The DrawText flags of a text format.
UINT TextFormatFlags(TTextFormat Format);

class TCanvas : public TPersistent {
 public:
  TCanvas();
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  // The device context with the pen, brush and font selected; reading it makes one when there
  // is none (EInvalidOperation "Canvas does not allow drawing" when this canvas cannot). Whoever
  // takes the handle may draw with it, so reading it raises OnChanging.
  HDC Handle();
  // The same without raising OnChanging: for the graphics classes, which raise it around their
  // own drawing, and for reading pixels from a canvas.
  HDC ReadyHandle();
  // Uses another DC (nil: none); the objects selected into the old one are taken back.
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TPen* Pen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* Brush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TFont* Font() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TCopyMode CopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value);
  // ExtTextOut options used by TextOut and TextRect (ETO_RTLREADING, ...).
  int TextFlags() const { return FTextFlags; }
  void SetTextFlags(int Value) { FTextFlags = Value; }

  TPoint PenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  // What drawing can reach, in logical coordinates.
  TRect ClipRect();
  TCanvasOrientation CanvasOrientation();
  // A pixel's colour (-1 where nothing can be drawn) / sets one pixel.
  TColor Pixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);

  // ---- lines and figures ----
  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void PolyBezier(const std::vector<TPoint>& Points);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);

  // ---- fills ----
  void FillRect(const TRect& R);
  void FrameRect(const TRect& R);
  // The dotted focus frame (inverting: drawing it twice restores the picture).
  void DrawFocusRect(const TRect& R);
  // Fills with the brush from (X, Y): the area of Color around it (fsSurface), or everything
  // up to a border of Color (fsBorder).
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);

  // ---- text ----
  // Writes Text at (X, Y) in the font, on the brush unless it is clear; the pen position moves
  // to the end of the text.
  void TextOut(int X, int Y, const std::string& Text);
  // The same, clipped to R, which the brush fills first unless it is clear.
  void TextRect(const TRect& R, int X, int Y, const std::string& Text);
  // DrawText in R with the given formats; tfCalcRect gives the text's rectangle back in R
  // (nothing is drawn) and tfModifyString the shortened text in Text.
  void TextRect(TRect& R, std::string& Text, TTextFormat Format = {});
  TSize TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

  // ---- pictures ----
  // At the graphic's own size / stretched to R.
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);
  // Copies Source of another canvas onto Dest (stretched) with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Copies Source of Bitmap onto Dest (stretched), with the pixels of Color replaced by the
  // brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  // Takes back the pen, brush and font from the handle; they are selected again when needed.
  void Refresh();

  // Serialises the use of the canvas across threads; counted, so nested locks are fine.
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

  // Makes sure the handle and the named objects are selected (descendants and painting code
  // that draw through Handle with the canvas's objects call it).
  void RequiredState(TCanvasState ReqState);

 protected:
  // Makes a handle when there is none; the base has none to make.
  virtual void CreateHandle() {}
  // Called around every drawing call.
  virtual void Changing();
  virtual void Changed();
  TCanvasState State() const { return FState; }
  // The handle as it is (null when there is none), making nothing.
  HDC HandleValue() const { return FHandle; }

 private:
  void SelectPen();
  void SelectBrush();
  void SelectFont();
  void DeselectHandles();
  void ObjectChanged(TCanvasStates Which);
  // Runs Draw between Changing and Changed with the objects Needed selected.
  template <class F>
  void Drawing(TCanvasState Needed, F Draw);

  HDC FHandle = nullptr;
  TCanvasState FState;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  std::unique_ptr<TFont> FFont;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextFlags = 0;
  std::recursive_mutex FLock;
  int FLockCount = 0;
};
