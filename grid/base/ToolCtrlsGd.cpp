#include "grid/base/ToolCtrlsGd.h"

#include <cmath>

#include "grid/base/GdPlatform.h"
#include "platform/gdi/CheckBoxSize.h"
#include "platform/os/Cursors.h"
#include "platform/os/SystemMetrics.h"

namespace {

// Frames R one pixel wide in Color.
void FrameInColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FrameRect(DC, &R, brush);
  DeleteObject(brush);
}

void FillInColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FillRect(DC, &R, brush);
  DeleteObject(brush);
}

// Rect made square: the longer side loses the difference, half of it from each end and the odd
// pixel from the right or bottom end.
TRect Squared(TRect R) {
  const int w = R.Width(), h = R.Height();
  if (w > h) {
    const int d = w - h;
    R.Left += d / 2;
    R.Right -= d - d / 2;
  } else if (h > w) {
    const int d = h - w;
    R.Top += d / 2;
    R.Bottom -= d - d / 2;
  }
  return R;
}

// Rounds to the nearest integer, ties to even.
int RoundHalfEven(double Value) { return static_cast<int>(std::nearbyint(Value)); }

// Paints the face Key describes into (0, 0, Width, Height) of DC.
void PaintFace(HDC DC, const TButtonBitmapKeyGd& Key) {
  const TRect r{0, 0, Key.Width, Key.Height};
  if (Key.Kind == bpkCheckBox)
    DrawCheckBoxGlyph(DC, r, Key.CheckState, Key.Enabled, Key.Pressed, Key.Active, Key.Flat);
  else if (Key.Kind <= bpkMinus)
    DrawButtonByKind(DC, Key.Kind, r, Key.Half, Key.Pressed, Key.Active, Key.Flat, Key.Enabled);
}

// Copies the cached face of Key onto R of DC.
void CopyCachedFace(HDC DC, const TRect& R, TButtonBitmapKeyGd Key) {
  Key.Width = R.Width();
  Key.Height = R.Height();
  if (Key.Width <= 0 || Key.Height <= 0) return;
  TBitmap* face = ButtonBitmapCache().GetButtonBitmap(Key);
  StretchBlt(DC, R.Left, R.Top, Key.Width, Key.Height, face->Canvas()->Handle(), 0, 0, Key.Width, Key.Height, SRCCOPY);
}

// Paints one face (or one half of an up/down face) into R, through the cache or directly.
void PaintFaceInto(HDC DC, const TRect& R, TEditButtonPainterKind Kind, int Half, bool Pressed, bool Active, bool Flat,
                   bool Enabled) {
  if (!UseButtonBitmapCache) {
    DrawButtonByKind(DC, Kind, R, Half, Pressed, Active, Flat, Enabled);
    return;
  }
  TButtonBitmapKeyGd key;
  key.Kind = Kind;
  key.Flat = Flat;
  key.Pressed = Pressed;
  key.Active = Active;
  key.Enabled = Enabled;
  key.Half = Half;
  CopyCachedFace(DC, R, key);
}

// A button face of a kind other than the check box. A flat button that is not hot is framed
// in the surrounding colour, so it shows no border.
void PaintButtonFace(HDC DC, TRect Rect, TColor Color, bool Enabled, bool Active, bool Flat, int PressedPart,
                     TEditButtonPainterKind Kind) {
  const bool flatFrame = Flat && !Active;
  int saved = 0;
  if (flatFrame) {
    Rect = TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
    if (!UseButtonBitmapCache) {
      saved = SaveDC(DC);
      IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
    }
  }
  if (Kind == bpkUpDown) {
    // The halves leave a seam in the surrounding colour: the middle row of an odd height, and
    // with the flat frame also the rows beside it.
    const int h = Rect.Height() / 2;
    const int seam = flatFrame ? 1 : 0;
    const TRect upper{Rect.Left, Rect.Top, Rect.Right, Rect.Top + h - seam};
    const TRect lower{Rect.Left, Rect.Bottom - h + seam, Rect.Right, Rect.Bottom};
    PaintFaceInto(DC, upper, bpkUpDown, 0, PressedPart == 1, Active, Flat, Enabled);
    PaintFaceInto(DC, lower, bpkUpDown, 1, PressedPart == 2, Active, Flat, Enabled);
    if (upper.Bottom < lower.Top) FillInColor(DC, TRect{Rect.Left, upper.Bottom, Rect.Right, lower.Top}, Color);
  } else {
    PaintFaceInto(DC, Rect, Kind, 0, PressedPart != 0, Active, Flat, Enabled);
  }
  if (flatFrame) {
    Rect = TRect{Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1};
    if (saved != 0) RestoreDC(DC, saved);
    FrameInColor(DC, Rect, Color);
  }
}

}  // namespace

void DrawCheckBoxGlyph(HDC DC, const TRect& Rect, int CheckState, bool Enabled, bool Pressed, bool Active, bool Flat) {
  const int side = std::min(Rect.Width(), Rect.Height());
  if (side <= 0) return;
  TRect box;
  box.Left = Rect.Left + (Rect.Width() - side) / 2;
  box.Top = Rect.Top + (Rect.Height() - side) / 2;
  box.Right = box.Left + side;
  box.Bottom = box.Top + side;
  UINT state = DFCS_BUTTONCHECK;
  if (CheckState == CheckStateChecked) state |= DFCS_CHECKED;
  if (CheckState == CheckStateGrayed) state |= DFCS_CHECKED | DFCS_BUTTON3STATE;
  if (Pressed) state |= DFCS_PUSHED;
  if (!Enabled) state |= DFCS_INACTIVE;
  if (!Flat) {
    DrawFrameControl(DC, &box, DFC_BUTTON, state);
    return;
  }
  // Flat: the 3D edges fall outside the clip, a one-pixel frame takes their place.
  const int saved = SaveDC(DC);
  IntersectClipRect(DC, box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1);
  TRect grown{box.Left - 1, box.Top - 1, box.Right + 1, box.Bottom + 1};
  DrawFrameControl(DC, &grown, DFC_BUTTON, state);
  RestoreDC(DC, saved);
  FrameInColor(DC, box, Active ? clBtnFace : clBtnShadow);
}

void PaintEditButtonImage(HDC DC, TRect Rect, TColor Color, int CheckState, bool Enabled, bool Active, bool Flat,
                          int PressedPart, TEditButtonPainterKind PainterKind) {
  if (PainterKind != bpkCheckBox) {
    PaintButtonFace(DC, Rect, Color, Enabled, Active, Flat, PressedPart, PainterKind);
    return;
  }
  Rect = Squared(Rect);
  if (Flat) Rect = TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
  if (UseButtonBitmapCache) {
    TButtonBitmapKeyGd key;
    key.Kind = bpkCheckBox;
    key.Flat = Flat;
    key.Pressed = PressedPart != 0;
    key.Active = Active;
    key.Enabled = Enabled;
    key.CheckState = CheckState;
    CopyCachedFace(DC, Rect, key);
  } else {
    DrawCheckBoxGlyph(DC, Rect, CheckState, Enabled, PressedPart != 0, Active, Flat);
  }
  if (Flat) {
    Rect = TRect{Rect.Left - 1, Rect.Top - 1, Rect.Right + 1, Rect.Bottom + 1};
    if (Active) {
      DrawEdge(DC, &Rect, BDR_SUNKENOUTER, BF_RECT);
    } else {
      FrameInColor(DC, Rect, Color);
    }
  }
}

int CheckBoxImageWidth() { return FrameCheckBoxSize; }

int CheckBoxImageHeight() { return FrameCheckBoxSize; }

TRect PlaceCheckBoxRect(const TRect& CellRect, TAlignment Alignment, TTextLayout Layout) {
  const int w = std::min(CheckBoxImageWidth(), CellRect.Width());
  const int h = std::min(CheckBoxImageHeight(), CellRect.Height());
  TRect r{CellRect.Left, CellRect.Top, CellRect.Left + w, CellRect.Top + h};
  if (CellRect.Width() > w) {
    if (Alignment == taRightJustify) {
      r.Left = CellRect.Right - w;
    } else if (Alignment == taCenter) {
      r.Left = CellRect.Left + CellRect.Width() / 2 - w / 2;
    }
    r.Right = r.Left + w;
  }
  if (CellRect.Height() > h) {
    if (Layout == tlCenter) {
      r.Top = CellRect.Top + CellRect.Height() / 2 - h / 2;
    } else if (Layout == tlBottom) {
      r.Top = CellRect.Bottom - h;
    }
    r.Bottom = r.Top + h;
  }
  return r;
}

int EditButtonHeightFor(int Width, bool Flat) { return Flat ? RoundHalfEven(Width * 3 / 2.0) : Width; }

int DefaultFlatButtonWidth() {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRIC tm{};
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  int width = RoundHalfEven(tm.tmHeight * 2 / 3.0);
  if (width % 2 == 0) ++width;
  return std::min(width, GetSystemMetrics(SM_CXVSCROLL));
}

int DefaultFlatButtonWidthValue() {
  static const int value = DefaultFlatButtonWidth();
  return value;
}

namespace {

// The system colours the faces are painted in.
std::vector<COLORREF> FaceColors() {
  static const int indices[] = {COLOR_BTNFACE,  COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW, COLOR_3DLIGHT,
                                COLOR_BTNTEXT,  COLOR_WINDOW,    COLOR_WINDOWTEXT,   COLOR_GRAYTEXT,   COLOR_HIGHLIGHT};
  std::vector<COLORREF> colors;
  for (int index : indices) colors.push_back(GetSysColor(index));
  return colors;
}

}  // namespace

TBitmap* TButtonsBitmapCache::GetButtonBitmap(TButtonBitmapKeyGd Key) {
  // Faces painted in other system colours are stale: the colours changed since.
  if (std::vector<COLORREF> colors = FaceColors(); colors != FColors) {
    Clear();
    FColors = std::move(colors);
  }
  Key.Width = std::max(Key.Width, 0);
  Key.Height = std::max(Key.Height, 0);
  for (TButtonBitmapInfoBitmapGd& entry : FEntries)
    if (entry.Key == Key) return entry.Bitmap.get();
  TButtonBitmapInfoBitmapGd entry{Key, std::make_unique<TBitmap>()};
  entry.Bitmap->SetPixelFormat(pf32bit);
  entry.Bitmap->SetSize(Key.Width, Key.Height);
  PaintFace(entry.Bitmap->Canvas()->Handle(), Key);
  FEntries.push_back(std::move(entry));
  return FEntries.back().Bitmap.get();
}

void TButtonsBitmapCache::Clear() { FEntries.clear(); }

TButtonsBitmapCache& ButtonBitmapCache() {
  static TButtonsBitmapCache cache;
  return cache;
}

bool UseButtonBitmapCache = true;

void FlushButtonBitmapCache() { ButtonBitmapCache().Clear(); }

TRect TToolTipsWindow::CalcHintRect(int MaxWidth, const std::string& AHint, void* AData) {
  if (AData) Canvas()->Font()->Assign(static_cast<TFont*>(AData));
  Canvas()->Font()->SetColor(clWindowText);
  return THintWindow::CalcHintRect(MaxWidth, AHint, AData);
}

const classes::TEnumInfo& EnumInfo(TEditButtonStyleGd) {
  static const classes::TEnumInfo info{
      "TEditButtonStyleGd", {"ebsDropDownGd", "ebsEllipsisGd", "ebsGlyphGd", "ebsUpDownGd", "ebsPlusGd", "ebsMinusGd"}};
  return info;
}
