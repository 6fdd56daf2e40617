#include "platform/os/MenuPaint.h"

#include <algorithm>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/os/Menu.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"

namespace {

constexpr int kFrame = 3;          // the raised edge and one pixel of menu colour
constexpr int kShortCutGap = 14;   // at least this between a caption and its shortcut text
constexpr int kBarItemPadding = 6; // left and right of a menu-bar caption
// Raster operation "PSDPxax": the brush where the source is black, the destination where it is
// white; colours a black-on-white glyph.
constexpr DWORD kGlyphRop = 0x00B8074A;

// The menu font (bold for default items) selected into a DC for the life of the object.
class TMenuFont {
 public:
  TMenuFont(HDC dc, bool bold) : FDC(dc) {
    NONCLIENTMETRICS metrics;
    SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    if (bold) metrics.lfMenuFont.lfWeight = FW_BOLD;
    FFont = CreateFontIndirect(&metrics.lfMenuFont);
    FOld = SelectObject(dc, FFont);
  }
  ~TMenuFont() {
    SelectObject(FDC, FOld);
    DeleteObject(FFont);
  }
  TMenuFont(const TMenuFont&) = delete;
  TMenuFont& operator=(const TMenuFont&) = delete;

 private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOld;
};

// A DC to measure text with (the screen's), released at the end.
class TScreenDC {
 public:
  TScreenDC() : FDC(GetDC(nullptr)) {}
  ~TScreenDC() { ReleaseDC(nullptr, FDC); }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  operator HDC() const { return FDC; }

 private:
  HDC FDC;
};

TSize TextSize(HDC dc, const std::string& text, UINT format) {
  TRect r;
  DrawText(dc, text.empty() ? " " : text, &r, format | DT_CALCRECT | DT_SINGLELINE);
  return {text.empty() ? 0 : r.Width(), r.Height()};
}

TSize BitmapSize(HBITMAP bitmap) {
  BITMAP info;
  if (!bitmap || !GetObject(bitmap, sizeof info, &info)) return {};
  return {info.bmWidth, info.bmHeight};
}

void Fill(HDC dc, const TRect& r, int colorIndex) { FillRect(dc, &r, GetSysColorBrush(colorIndex)); }

// A menu glyph (DFCS_MENUCHECK, DFCS_MENUBULLET, DFCS_MENUARROW) of the check-mark size,
// centred in Box, in Color.
void DrawGlyph(HDC dc, const TRect& box, UINT kind, COLORREF color) {
  const int size = GetSystemMetrics(SM_CXMENUCHECK);
  const int x = box.Left + (box.Width() - size) / 2, y = box.Top + (box.Height() - size) / 2;
  HDC mem = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(size, size, 1, 32, nullptr);
  HGDIOBJ oldBitmap = SelectObject(mem, mask);
  TRect glyph(0, 0, size, size);
  DrawFrameControl(mem, &glyph, DFC_MENU, kind);
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  BitBlt(dc, x, y, size, size, mem, 0, 0, kGlyphRop);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
  SelectObject(mem, oldBitmap);
  DeleteObject(mask);
  DeleteDC(mem);
}

// Text (or a glyph) of an item in its state: normal, selected, or disabled (embossed when not
// selected, grey on the highlight when selected).
struct TItemColors {
  bool Emboss = false;
  COLORREF Text = 0;
};

TItemColors ColorsOf(bool selected, bool disabled) {
  if (!disabled) return {false, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)};
  if (!selected) return {true, GetSysColor(COLOR_GRAYTEXT)};
  COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  return {false, grey == GetSysColor(COLOR_HIGHLIGHT) ? GetSysColor(COLOR_MENU) : grey};
}

void DrawItemText(HDC dc, const std::string& text, TRect r, UINT format, const TItemColors& colors) {
  if (text.empty()) return;
  if (colors.Emboss) {
    TRect shadow = r;
    OffsetRect(&shadow, 1, 1);
    SetTextColor(dc, GetSysColor(COLOR_3DHILIGHT));
    DrawText(dc, text, &shadow, format);
  }
  SetTextColor(dc, colors.Text);
  DrawText(dc, text, &r, format);
}

void DrawItemGlyph(HDC dc, const TRect& box, UINT kind, const TItemColors& colors) {
  if (colors.Emboss) {
    TRect shadow = box;
    OffsetRect(&shadow, 1, 1);
    DrawGlyph(dc, shadow, kind, GetSysColor(COLOR_3DHILIGHT));
  }
  DrawGlyph(dc, box, kind, colors.Text);
}

constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
constexpr UINT kShortCutFormat = DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX;

}  // namespace

namespace os {

TPopupLayout MeasurePopupMenu(HMENU handle) {
  TPopupLayout layout;
  TMenuRecord* menu = FindMenu(handle);
  if (!menu) return layout;
  TScreenDC dc;
  const int check = GetSystemMetrics(SM_CXMENUCHECK);
  int textHeight = 0, captionWidth = 0, shortCutWidth = 0;
  TSize bitmaps;
  for (const TMenuItemRecord& item : menu->Items) {
    if (item.Separator()) continue;
    TMenuFont font(dc, (item.State & MFS_DEFAULT) != 0);
    TSize caption = TextSize(dc, item.Caption(), kCaptionFormat);
    TSize shortCut = TextSize(dc, item.ShortCutText(), kShortCutFormat);
    textHeight = std::max(textHeight, caption.cy);
    captionWidth = std::max(captionWidth, caption.cx);
    shortCutWidth = std::max(shortCutWidth, shortCut.cx);
    TSize b = BitmapSize(item.Bitmap);
    bitmaps = {std::max(bitmaps.cx, b.cx), std::max(bitmaps.cy, b.cy)};
  }
  const int itemHeight = std::max({textHeight + 4, check + 4, bitmaps.cy + 4});
  const int separatorHeight = GetSystemMetrics(SM_CYMENU) / 2;
  layout.CheckWidth = std::max(check, bitmaps.cx) + 6;
  layout.ArrowWidth = check + 4;
  const int width = layout.CheckWidth + captionWidth + (shortCutWidth ? kShortCutGap + shortCutWidth : 0) +
                    layout.ArrowWidth;
  int y = kFrame;
  for (const TMenuItemRecord& item : menu->Items) {
    const int h = item.Separator() ? separatorHeight : itemHeight;
    layout.Items.emplace_back(kFrame, y, kFrame + width, y + h);
    y += h;
  }
  layout.Size = {width + 2 * kFrame, y + kFrame};
  return layout;
}

void PaintPopupMenu(HDC dc, HMENU handle, const TPopupLayout& layout) {
  TMenuRecord* menu = FindMenu(handle);
  if (!menu) return;
  TRect all(0, 0, layout.Size.cx, layout.Size.cy);
  Fill(dc, all, COLOR_MENU);
  DrawEdge(dc, &all, EDGE_RAISED, BF_RECT);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  for (size_t i = 0; i < menu->Items.size() && i < layout.Items.size(); ++i) {
    const TMenuItemRecord& item = menu->Items[i];
    const TRect& r = layout.Items[i];
    if (item.Separator()) {
      TRect line(r.Left + 1, r.Top + r.Height() / 2 - 1, r.Right - 1, r.Top + r.Height() / 2 + 1);
      DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
      continue;
    }
    const bool selected = menu->Selected == static_cast<int>(i);
    const TItemColors colors = ColorsOf(selected, item.Disabled());
    TRect checkBox(r.Left, r.Top, r.Left + layout.CheckWidth, r.Bottom);
    // A bitmap keeps the menu colour around it; the highlight starts beside it.
    TRect highlight = r;
    if (item.Bitmap) highlight.Left = checkBox.Right - 2;
    if (selected) Fill(dc, highlight, COLOR_HIGHLIGHT);
    if (item.Bitmap) {
      TSize size = BitmapSize(item.Bitmap);
      const int x = checkBox.Left + (checkBox.Width() - size.cx) / 2, y = r.Top + (r.Height() - size.cy) / 2;
      HDC mem = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(mem, item.Bitmap);
      BitBlt(dc, x, y, size.cx, size.cy, mem, 0, 0, SRCCOPY);
      SelectObject(mem, old);
      DeleteDC(mem);
      TRect frame(x - 1, y - 1, x + size.cx + 1, y + size.cy + 1);
      if (item.State & MFS_CHECKED) DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
      else if (selected && !item.Disabled()) DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
    } else if (item.State & MFS_CHECKED) {
      DrawItemGlyph(dc, checkBox, (item.Type & MFT_RADIOCHECK) ? DFCS_MENUBULLET : DFCS_MENUCHECK, colors);
    }
    TMenuFont font(dc, (item.State & MFS_DEFAULT) != 0);
    TRect text(checkBox.Right, r.Top, r.Right - layout.ArrowWidth, r.Bottom);
    DrawItemText(dc, item.Caption(), text, kCaptionFormat, colors);
    DrawItemText(dc, item.ShortCutText(), text, kShortCutFormat, colors);
    if (item.SubMenu)
      DrawItemGlyph(dc, TRect(r.Right - layout.ArrowWidth, r.Top, r.Right, r.Bottom), DFCS_MENUARROW, colors);
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

std::vector<TRect> MeasureMenuBar(HMENU handle, const TRect& bar) {
  std::vector<TRect> items;
  TMenuRecord* menu = FindMenu(handle);
  if (!menu) return items;
  TScreenDC dc;
  int x = bar.Left;
  for (const TMenuItemRecord& item : menu->Items) {
    TMenuFont font(dc, (item.State & MFS_DEFAULT) != 0);
    const int width = item.Separator() ? 0 : TextSize(dc, item.Caption(), kCaptionFormat).cx + 2 * kBarItemPadding;
    items.emplace_back(x, bar.Top, std::min(x + width, std::max(x, bar.Right)), bar.Bottom);
    x += width;
  }
  return items;
}

void PaintMenuBar(HDC dc, HMENU handle, const TRect& bar, int pushed) {
  Fill(dc, bar, COLOR_MENU);
  TMenuRecord* menu = FindMenu(handle);
  if (!menu) return;
  const std::vector<TRect> items = MeasureMenuBar(handle, bar);
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const COLORREF oldColor = GetTextColor(dc);
  for (size_t i = 0; i < items.size(); ++i) {
    const TMenuItemRecord& item = menu->Items[i];
    TRect r = items[i];
    if (item.Separator() || r.IsEmpty()) continue;
    if (static_cast<int>(i) == pushed) {
      TRect edge = r;
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
      OffsetRect(&r, 1, 1);
    }
    TMenuFont font(dc, (item.State & MFS_DEFAULT) != 0);
    DrawItemText(dc, item.Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER, ColorsOf(false, item.Disabled()));
  }
  SetTextColor(dc, oldColor);
  SetBkMode(dc, oldMode);
}

}  // namespace os
