// The faces of the edit buttons in the classic look (drop-down arrow, ellipsis, up/down halves,
// plus and minus), the tree-line glyphs of the grid, centred images, and the comparison of
// values that the lookup lists and the special row use.
#include <algorithm>

#include "grid/base/GdPlatform.h"
#include "grid/base/ToolCtrlsGd.h"
#include "platform/graphics/ImageLists.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"

namespace {

void FillWith(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, brush);
  DeleteObject(brush);
}

TRect Inflated(TRect R, int D) { return TRect{R.Left - D, R.Top - D, R.Right + D, R.Bottom + D}; }

// The background of the ellipsis and plus/minus faces; answers the face inside it.
TRect DrawPushFace(HDC DC, TRect R, bool Pressed, bool Flat) {
  if (Flat) {
    FillWith(DC, R, clBtnFace);
    return Inflated(R, -1);
  }
  DrawEdge(DC, &R, Pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_MIDDLE);
  return Inflated(R, -2);
}

// Fills the rectangles of a sign (dots, bars) in the enabled or the embossed disabled look.
void FillSign(HDC DC, const std::vector<TRect>& Parts, bool Enabled) {
  if (!Enabled) {
    for (const TRect& r : Parts) FillWith(DC, TRect{r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1}, clBtnHighlight);
    for (const TRect& r : Parts) FillWith(DC, r, clBtnShadow);
    return;
  }
  for (const TRect& r : Parts) FillWith(DC, r, clBtnText);
}

void DrawEllipsisFace(HDC DC, TRect R, bool Pressed, bool Flat, bool Enabled) {
  R = DrawPushFace(DC, R, Pressed, Flat);
  const int w = R.Width(), h = R.Height();
  const int side = w > 7 ? 2 : 1;
  const int gap = w < 12 ? 1 : 2;
  const int shift = Pressed ? 1 : 0;
  const int x = R.Left + w / 2 + shift - side / 2;
  const int y = R.Top + shift + h / 2 - side / 2;
  std::vector<TRect> dots;
  for (int i = -1; i <= 1; ++i) {
    const int dx = x + i * (gap + side);
    dots.push_back(TRect{dx, y, dx + side, y + side});
  }
  FillSign(DC, dots, Enabled);
}

void DrawPlusMinusFace(HDC DC, TRect R, bool Plus, bool Pressed, bool Flat, bool Enabled) {
  R = DrawPushFace(DC, R, Pressed, Flat);
  const int w = R.Width(), h = R.Height();
  const int m = std::min(w, h);
  int L = std::max(m * 4 / 7, 1);
  const int T = std::max(L / 3, 1);
  if (L % 2 != m % 2) L += Flat ? -1 : 1;
  if (Plus && L % 2 != T % 2) L += m < 12 ? 1 : -1;
  L = std::max(L, 1);
  const int shift = Pressed ? 1 : 0;
  const int x = R.Left + (w - L) / 2 + shift;
  const int y = R.Top + shift + (h - T) / 2;
  std::vector<TRect> bars{TRect{x, y, x + L, y + T}};
  if (Plus) {
    const int d = L / 2 - T / 2;
    bars.push_back(TRect{x + d, y - d, x + d + T, y - d + L});
  }
  FillSign(DC, bars, Enabled);
}

UINT FrameFlags(bool Pressed, bool Flat, bool Enabled) {
  UINT flags = 0;
  if (Pressed) flags |= DFCS_PUSHED;
  if (Flat) flags |= DFCS_FLAT;
  if (!Enabled) flags |= DFCS_INACTIVE;
  return flags;
}

}  // namespace

void DrawButtonByKind(HDC DC, TEditButtonPainterKind Kind, TRect Rect, int Half, bool Pressed, bool Active, bool Flat,
                      bool Enabled) {
  int saved = 0;
  const TRect bounds = Rect;
  if (Flat && Active) {
    saved = SaveDC(DC);
    TRect clip = Inflated(Rect, -1);
    RectLogicalToDevice(DC, clip);
    HRGN region = CreateRectRgn(clip.Left, clip.Top, clip.Right, clip.Bottom);
    ExtSelectClipRgn(DC, region, RGN_AND);
    DeleteObject(region);
  }
  // Flat: the face's own 3D edges fall outside what shows.
  if (Flat) Rect = Inflated(Rect, Active ? 1 : 2);
  switch (Kind) {
    case bpkDropDown: {
      DrawFrameControl(DC, &Rect, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | FrameFlags(Pressed, Flat, Enabled));
      break;
    }
    case bpkUpDown: {
      const UINT arrow = Half == 0 ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
      DrawFrameControl(DC, &Rect, DFC_SCROLL, arrow | FrameFlags(Pressed, Flat, Enabled));
      break;
    }
    case bpkEllipsis: DrawEllipsisFace(DC, Rect, Pressed, Flat, Enabled); break;
    case bpkPlus: DrawPlusMinusFace(DC, Rect, true, Pressed, Flat, Enabled); break;
    case bpkMinus: DrawPlusMinusFace(DC, Rect, false, Pressed, Flat, Enabled); break;
    case bpkCheckBox: break;
  }
  if (saved != 0) {
    RestoreDC(DC, saved);
    TRect edge = bounds;
    DrawEdge(DC, &edge, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
}

bool IsWithinDoubleClick(TPoint FirstPoint, TPoint SecondPoint, int ElapsedMs) {
  return ElapsedMs <= static_cast<int>(GetDoubleClickTime()) &&
         std::abs(SecondPoint.X - FirstPoint.X) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
         std::abs(SecondPoint.Y - FirstPoint.Y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}

COLORREF ImageListColorOf(TColor Color) {
  if (Color == clNone) return CLR_NONE;
  if (Color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(Color);
}

void DrawImageCentered(HDC DC, const TRect& Rect, TCustomImageList* ImageList, bool Selected, int ImageIndex) {
  if (ImageList == nullptr || !ImageList->HandleAllocated()) return;
  const int x = Rect.Left + (Rect.Width() - ImageList->Width()) / 2;
  const int y = Rect.Top + (Rect.Height() - ImageList->Height()) / 2;
  const bool fits = ImageList->Width() <= Rect.Width() && ImageList->Height() <= Rect.Height();
  int saved = 0;
  if (!fits) {
    saved = SaveDC(DC);
    IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  }
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  const UINT style = Selected ? static_cast<UINT>(ILD_SELECTED) : styles[ImageList->DrawingStyle()];
  const COLORREF blend = Selected ? ColorToRGB(clHighlight) : ImageListColorOf(ImageList->BlendColor());
  ImageList_DrawEx(ImageList->Handle(), ImageIndex, DC, x, y, 0, 0, ImageListColorOf(ImageList->BkColor()), blend,
                   style);
  if (saved != 0) RestoreDC(DC, saved);
}

void DrawDottedLine(HDC DC, int X1, int Y1, int X2, int Y2, TColor Color, int Width, int Parity) {
  Width = std::max(Width, 1);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  const bool horizontal = Y1 == Y2;
  const int from = horizontal ? std::min(X1, X2) : std::min(Y1, Y2);
  const int to = horizontal ? std::max(X1, X2) : std::max(Y1, Y2);
  const int startX = horizontal ? from : X1;
  const int startY = horizontal ? Y1 : from;
  int at = from + (((startX + startY) % 2 + 2) % 2 != Parity ? 1 : 0);
  for (; at < to; at += 2 * Width) {
    const int len = std::min(Width, to - at);
    TRect dot = horizontal ? TRect{at, Y1, at + len, Y1 + Width} : TRect{X1, at, X1 + Width, at + len};
    FillRect(DC, &dot, brush);
  }
  DeleteObject(brush);
}

void DrawTreeLineGlyph(TCanvas* Canvas, const TRect& Rect, int Code, int ScaleY, int ScaleX, int Parity) {
  HDC dc = Canvas->Handle();
  ScaleX = std::max(ScaleX, 1);
  ScaleY = std::max(ScaleY, 1);
  const int cx = Rect.Left + Rect.Width() / 2;
  const int cy = Rect.Top + Rect.Height() / 2;
  const bool box = Code >= 0 && Code <= 5;
  if (box) {
    const int bw = 2 * 4 * ScaleX + 1, bh = 2 * 4 * ScaleY + 1;
    const TRect b{cx - bw / 2, cy - bh / 2, cx - bw / 2 + bw, cy - bh / 2 + bh};
    const bool up = Code == 0 || Code == 1 || Code == 3 || Code == 4;
    const bool down = Code == 0 || Code == 2 || Code == 3 || Code == 5;
    DrawDottedLine(dc, b.Right, cy, Rect.Right, cy, clBtnShadow, ScaleY, Parity);
    if (up) DrawDottedLine(dc, cx, Rect.Top, cx, b.Top, clBtnShadow, ScaleX, Parity);
    if (down) DrawDottedLine(dc, cx, b.Bottom, cx, Rect.Bottom, clBtnShadow, ScaleX, Parity);
    FillWith(dc, b, clWindow);
    HBRUSH frame = CreateSolidBrush(ColorToRGB(clBtnShadow));
    FrameRect(dc, &b, frame);
    DeleteObject(frame);
    FillWith(dc, TRect{b.Left + 2 * ScaleX, cy, b.Right - 2 * ScaleX, cy + ScaleY}, clWindowText);
    if (Code >= 3) FillWith(dc, TRect{cx, b.Top + 2 * ScaleY, cx + ScaleX, b.Bottom - 2 * ScaleY}, clWindowText);
    return;
  }
  const int top = Code == 8 ? cy : Rect.Top;
  const int bottom = Code == 7 ? cy : Rect.Bottom;
  DrawDottedLine(dc, cx, top, cx, bottom, clBtnShadow, ScaleX, Parity);
  if (Code != 9) DrawDottedLine(dc, cx, cy, Rect.Right, cy, clBtnShadow, ScaleY, Parity);
}

namespace {

bool ScalarsEqual(const Variant& V1, const Variant& V2) {
  if (VarIsEmpty(V1) || VarIsEmpty(V2)) return VarIsEmpty(V1) && VarIsEmpty(V2);
  return V1 == V2;
}

}  // namespace

bool VariantsEqual(const Variant& V1, const Variant& V2) {
  try {
    const bool array1 = VarIsArray(V1), array2 = VarIsArray(V2);
    if (array1 != array2) return false;
    if (!array1) return ScalarsEqual(V1, V2);
    if (VarArrayDimCount(V1) != VarArrayDimCount(V2)) return false;
    const int low = VarArrayLowBound(V1, 1), high = VarArrayHighBound(V1, 1);
    if (low != VarArrayLowBound(V2, 1) || high != VarArrayHighBound(V2, 1)) return false;
    for (int i = low; i <= high; ++i)
      if (!VariantsEqual(V1[i], V2[i])) return false;
    return true;
  } catch (const Exception&) {
    // Values that cannot be compared are not equal.
    return false;
  }
}
