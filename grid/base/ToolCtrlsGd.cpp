#include "grid/base/ToolCtrlsGd.h"

#include <cmath>

#include "grid/base/GdPlatform.h"
#include "platform/os/Cursors.h"
#include "platform/os/SystemMetrics.h"

namespace {

// Frames R one pixel wide in Color.
void FrameInColor(HDC DC, const TRect& R, TColor Color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
  FrameRect(DC, &R, brush);
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

struct TCheckBoxSize {
  int Width = 13;
  int Height = 13;
};

TCheckBoxSize ReadCheckBoxSize() {
  TCheckBoxSize size;
  HBITMAP boxes = LoadSystemBitmap(nullptr, MAKEINTRESOURCE(OBM_CHECKBOXES));
  BITMAP info{};
  if (boxes && GetObject(boxes, sizeof(info), &info)) {
    size.Width = info.bmWidth / 4;
    size.Height = info.bmHeight / 3;
  }
  if (boxes) DeleteObject(boxes);
  return size;
}

const TCheckBoxSize& DefaultCheckBoxSize() {
  static const TCheckBoxSize size = ReadCheckBoxSize();
  return size;
}

// Paints the face Key describes into (0, 0, Width, Height) of DC.
void PaintFace(HDC DC, const TButtonBitmapKeyGd& Key) {
  const TRect r{0, 0, Key.Width, Key.Height};
  if (Key.Kind == bpkCheckBox) DrawCheckBoxGlyph(DC, r, Key.CheckState, Key.Enabled, Key.Pressed, Key.Active, Key.Flat);
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
  if (PainterKind != bpkCheckBox) return;
  Rect = Squared(Rect);
  if (Flat) Rect = TRect{Rect.Left + 1, Rect.Top + 1, Rect.Right - 1, Rect.Bottom - 1};
  if (UseButtonBitmapCache) {
    TButtonBitmapKeyGd key;
    key.Width = Rect.Width();
    key.Height = Rect.Height();
    key.Kind = bpkCheckBox;
    key.Flat = Flat;
    key.Pressed = PressedPart != 0;
    key.Active = Active;
    key.Enabled = Enabled;
    key.CheckState = CheckState;
    if (key.Width > 0 && key.Height > 0) {
      TBitmap* face = ButtonBitmapCache().GetButtonBitmap(key);
      StretchBlt(DC, Rect.Left, Rect.Top, key.Width, key.Height, face->Canvas()->Handle(), 0, 0, key.Width, key.Height,
                 SRCCOPY);
    }
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

int CheckBoxImageWidth() { return DefaultCheckBoxSize().Width; }

int CheckBoxImageHeight() { return DefaultCheckBoxSize().Height; }

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

TBitmap* TButtonsBitmapCache::GetButtonBitmap(TButtonBitmapKeyGd Key) {
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

void DrawButtonByKind(HDC, TEditButtonPainterKind, TRect, int, bool, bool, bool, bool) {}

bool IsWithinDoubleClick(TPoint, TPoint, int) { return false; }

COLORREF ImageListColorOf(TColor Color) { return ColorToRGB(Color); }

void DrawImageCentered(HDC, const TRect&, TCustomImageList*, bool, int) {}

void DrawTreeLineGlyph(TCanvas*, const TRect&, int, int, int, int) {}

void DrawDottedLine(HDC, int, int, int, int, TColor, int, int) {}

bool VariantsEqual(const Variant& V1, const Variant& V2) { return VarSameValue(V1, V2); }
