// render-scene OUTPUT.png: draws a scene of the drawing layer's kinds of output (edges and
// frame-control glyphs, gradients, pens, Latin and Chinese text in several fonts, sizes,
// weights and styles, formatted text and rotated text) onto a 640 x 480 surface and writes
// it as a PNG, to look at and to compare with a kept snapshot.
#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/SurfaceDC.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A font selected for a scope.
class TFontScope {
 public:
  TFontScope(HDC DC, const std::string& Face, int Height, int Weight = FW_NORMAL, bool Italic = false,
             bool Underline = false, bool StrikeOut = false, int Escapement = 0)
      : FDC(DC) {
    FFont = CreateFont(Height, 0, Escapement, Escapement, Weight, Italic, Underline, StrikeOut, DEFAULT_CHARSET, 0, 0,
                       0, 0, Face);
    FOld = SelectObject(DC, FFont);
  }
  ~TFontScope() {
    SelectObject(FDC, FOld);
    DeleteObject(FFont);
  }
  TFontScope(const TFontScope&) = delete;
  TFontScope& operator=(const TFontScope&) = delete;

 private:
  HDC FDC;
  HFONT FFont;
  HGDIOBJ FOld;
};

void Caption(HDC DC, int X, int Y, const std::string& Text) {
  TFontScope f(DC, "MS Sans Serif", -11);
  SetTextColor(DC, RGB(0, 0, 0));
  TextOut(DC, X, Y, Text);
}

void Frames(HDC DC) {
  Caption(DC, 10, 6, "Edges");
  const struct { UINT Edge, Flags; } edges[] = {
      {EDGE_RAISED, BF_RECT | BF_MIDDLE}, {EDGE_SUNKEN, BF_RECT}, {EDGE_ETCHED, BF_RECT},
      {EDGE_BUMP, BF_RECT},           {BDR_RAISEDINNER, BF_RECT}, {EDGE_SUNKEN, BF_RECT | BF_FLAT},
  };
  int x = 10;
  for (auto e : edges) {
    TRect r(x, 22, x + 44, 52);
    DrawEdge(DC, &r, e.Edge, e.Flags);
    x += 50;
  }
  Caption(DC, 320, 6, "Glyphs");
  const struct { UINT Type, State; } glyphs[] = {
      {DFC_BUTTON, DFCS_BUTTONCHECK},         {DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED},
      {DFC_BUTTON, DFCS_BUTTONRADIO | DFCS_CHECKED}, {DFC_SCROLL, DFCS_SCROLLUP},
      {DFC_SCROLL, DFCS_SCROLLDOWN},          {DFC_SCROLL, DFCS_SCROLLCOMBOBOX},
      {DFC_CAPTION, DFCS_CAPTIONCLOSE},       {DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED},
  };
  x = 320;
  for (auto g : glyphs) {
    TRect r(x, 24, x + 16, 40);
    DrawFrameControl(DC, &r, g.Type, g.State);
    x += 22;
  }
  TRect focus(320, 44, 490, 56);
  DrawFocusRect(DC, &focus);
}

void Gradients(HDC DC) {
  Caption(DC, 10, 60, "Gradients");
  TRIVERTEX h[2] = {{10, 76, 0x0000, 0x3300, 0x9900, 0}, {200, 100, 0xFF00, 0xFF00, 0xFF00, 0}};
  GRADIENT_RECT rect{0, 1};
  GradientFill(DC, h, 2, &rect, 1, GRADIENT_FILL_RECT_H);
  TRIVERTEX v[2] = {{210, 76, 0xFF00, 0xCC00, 0x0000, 0}, {300, 100, 0x9900, 0x0000, 0x0000, 0}};
  GradientFill(DC, v, 2, &rect, 1, GRADIENT_FILL_RECT_V);
}

void Pens(HDC DC) {
  Caption(DC, 320, 60, "Pens");
  const struct { int Style, Width; COLORREF Color; } pens[] = {
      {PS_SOLID, 1, RGB(0, 0, 0)},   {PS_SOLID, 3, RGB(200, 0, 0)}, {PS_DASH, 1, RGB(0, 0, 160)},
      {PS_DOT, 1, RGB(0, 120, 0)},   {PS_DASHDOT, 1, RGB(120, 0, 120)},
  };
  int y = 78;
  for (auto p : pens) {
    HPEN pen = CreatePen(p.Style, p.Width, p.Color);
    HGDIOBJ old = SelectObject(DC, pen);
    MoveToEx(DC, 320, y, nullptr);
    LineTo(DC, 470, y);
    SelectObject(DC, old);
    DeleteObject(pen);
    y += 5;
  }
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(0, 90, 160));
  HGDIOBJ oldPen = SelectObject(DC, pen);
  HGDIOBJ oldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
  Ellipse(DC, 480, 70, 540, 104);
  Rectangle(DC, 550, 70, 620, 104);
  SelectObject(DC, oldBrush);
  SelectObject(DC, oldPen);
  DeleteObject(pen);
}

void Fonts(HDC DC) {
  Caption(DC, 10, 110, "Fonts");
  const struct {
    const char* Face;
    int Height, Weight;
    bool Italic, Underline, StrikeOut;
    const char* Text;
  } rows[] = {
      {"MS Sans Serif", -11, FW_NORMAL, false, false, false, "MS Sans Serif 8 pt: Playlist 播放列表 08:30:00"},
      {"Tahoma", -13, FW_BOLD, false, false, false, "Tahoma bold: Morning announcement 早上广播"},
      {"宋体", -12, FW_NORMAL, false, false, false, "宋体 9 磅：每天早上八点播放开店音乐 Music"},
      {"宋体", -16, FW_BOLD, false, false, false, "宋体 粗体 12 磅：背景音乐音量"},
      {"Arial", -15, FW_NORMAL, true, false, false, "Arial italic: The quick brown fox 快速的狐狸"},
      {"Times New Roman", -18, FW_NORMAL, false, true, false, "Times New Roman underlined 下划线"},
      {"Courier New", -13, FW_NORMAL, false, false, true, "Courier New struck out 0123456789"},
      {"Verdana", -20, FW_NORMAL, false, false, false, "Verdana 15 pt Ag 中文 Wg"},
  };
  int y = 126;
  SetTextColor(DC, RGB(0, 0, 0));
  for (const auto& r : rows) {
    TFontScope f(DC, r.Face, r.Height, r.Weight, r.Italic, r.Underline, r.StrikeOut);
    TextOut(DC, 10, y, r.Text);
    TEXTMETRIC tm;
    GetTextMetrics(DC, &tm);
    y += tm.tmHeight + 3;
  }
}

void Baseline(HDC DC) {
  Caption(DC, 10, 318, "Baseline alignment");
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(DC, pen);
  MoveToEx(DC, 10, 360, nullptr);
  LineTo(DC, 420, 360);
  SelectObject(DC, old);
  DeleteObject(pen);
  SetTextAlign(DC, TA_BASELINE | TA_LEFT | TA_UPDATECP);
  MoveToEx(DC, 10, 360, nullptr);
  const struct { const char* Face; int Height; const char* Text; } runs[] = {
      {"Tahoma", -11, "small "}, {"宋体", -16, "中号 "}, {"Times New Roman", -28, "Large "},
      {"Arial", -20, "Mixed 混合 "}, {"Courier New", -14, "mono"},
  };
  for (auto r : runs) {
    TFontScope f(DC, r.Face, r.Height);
    TextOut(DC, 0, 0, r.Text);
  }
  SetTextAlign(DC, TA_TOP | TA_LEFT);
}

void Formatted(HDC DC) {
  Caption(DC, 10, 372, "Formatted text");
  TFontScope f(DC, "Tahoma", -11);
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, RGB(255, 255, 255));
  TRect cell(10, 388, 130, 404);
  FrameRect(DC, &cell, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&cell, -1, -1);
  DrawText(DC, "D:\\Music\\Shop\\Morning\\opening-announcement.mp3", &cell,
           DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS | DT_NOPREFIX);
  TRect end(140, 388, 260, 404);
  FrameRect(DC, &end, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&end, -1, -1);
  DrawText(DC, "Background music fades out when an announcement starts", &end,
           DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  SetBkMode(DC, TRANSPARENT);
  TRect wrap(10, 410, 260, 470);
  FrameRect(DC, &wrap, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  InflateRect(&wrap, -3, -2);
  {
    TFontScope c(DC, "宋体", -12);
    DrawText(DC, "&File 文件：每天早上八点自动播放开店音乐，整点报时，晚上关店前播放结束语。", &wrap,
             DT_WORDBREAK | DT_CENTER);
  }
  TRect tabs(270, 388, 420, 404);
  DrawText(DC, "Task\t08:30\tDaily", &tabs, DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX);
  SetTextColor(DC, RGB(0, 0, 0));
}

void Rotated(HDC DC) {
  Caption(DC, 440, 318, "Rotated");
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, RGB(0, 0, 128));
  {
    TFontScope f(DC, "Arial", -16, FW_BOLD, false, false, false, 900);
    TextOut(DC, 450, 470, "90° 旋转 Rotated");
  }
  {
    TFontScope f(DC, "宋体", -14, FW_NORMAL, false, true, false, 2700);
    TextOut(DC, 500, 336, "270° 向下 Down");
  }
  {
    TFontScope f(DC, "Tahoma", -14, FW_NORMAL, false, true, false, 450);
    TextOut(DC, 530, 470, "45° 斜向 Slanted");
  }
  SetTextColor(DC, RGB(0, 0, 0));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: render-scene OUTPUT.png\n");
    return 2;
  }
  try {
    auto surface = std::make_shared<gdi::TSurface>(kWidth, kHeight, gdi::PixelOf(GetSysColor(COLOR_BTNFACE)));
    HDC dc = gdi::CreateSurfaceDC(surface, {0, 0}, gdi::TRegion(surface->Bounds()));
    SetBkMode(dc, TRANSPARENT);
    Frames(dc);
    Gradients(dc);
    Pens(dc);
    Fonts(dc);
    Baseline(dc);
    Formatted(dc);
    Rotated(dc);
    DeleteDC(dc);
    gdi::SavePngFile(*surface, argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "render-scene: %s\n", e.what());
    return 1;
  }
  return 0;
}
