#include "platform/gdi/Text.h"

#include <cmath>
#include <cstring>

#include "platform/gdi/Colors.h"
#include "platform/gdi/Raster.h"
#include "platform/gdi/SelectedFont.h"
#include "platform/gdi/TextLayout.h"

using namespace gdi;

namespace {

// DrawState draws its text kinds through the text calls.
void InstallStateTextHooks() {
  if (StateTextOutput && StateTextExtent) return;
  StateTextOutput = [](HDC DC, const std::string& Text, int Width, int Height, UINT Flags) -> BOOL {
    TRect r{0, 0, Width, Height};
    DrawText(DC, Text, &r, Flags);
    return TRUE;
  };
  StateTextExtent = [](HDC DC, const std::string& Text) {
    TSize s;
    GetTextExtentPoint32(DC, Text, &s);
    return s;
  };
}
// Set when the program starts; set again by the first text call should another unit's
// start-up have reset the hooks after this one.
const bool kHooksInstalled = (InstallStateTextHooks(), true);

TDC* TextDC(HDC DC) {
  InstallStateTextHooks();
  return DCOf(DC);
}

// Writes coverage whose origin lies at device point Origin, inside Clip when given.
void PutCoverage(HDC DC, const TCoverage& C, TPoint Origin, const TRect* Clip, COLORREF Color) {
  if (C.Alpha.empty()) return;
  TRect box = C.Box;
  OffsetRect(&box, Origin.X, Origin.Y);
  TRect r = box;
  if (Clip && !IntersectRect(&r, &box, Clip)) return;
  const uint8_t* p = C.Alpha.data() + static_cast<size_t>(r.Top - box.Top) * C.Box.Width() + (r.Left - box.Left);
  WriteCoverage(DC, r.Left, r.Top, p, r.Width(), r.Height(), C.Box.Width(), Color);
}

// Draws a run whose baseline starts at device point Base; with Opaque its cell is filled
// with the background colour first.
void DrawRun(HDC DC, TDC& Dc, TRealFont& F, TPoint Base, const std::u32string& Text, const std::vector<int>& Pen,
             int Width, const TRect* Clip, bool Opaque) {
  const TFontMetrics& m = F.Metrics();
  if (Opaque && Width > 0) {
    if (F.IsRotated())
      PutCoverage(DC, F.Band(0, Width, -m.Ascent, m.Height), Base, Clip, Dc.A.BkColor);
    else
      FillDeviceRect(DC, {Base.X, Base.Y - m.Ascent, Base.X + Width, Base.Y + m.Descent}, Dc.A.BkColor, Clip);
  }
  PutCoverage(DC, F.Render(Text, Pen, Width), Base, Clip, Dc.A.TextColor);
}

TTextFormat FormatOf(UINT Format, const DRAWTEXTPARAMS* Params, int CharExtra) {
  TTextFormat f;
  if (Format & DT_TABSTOP) {
    // The tab length rides in bits 8 to 15, in place of the flags there.
    f.TabLength = static_cast<int>((Format >> 8) & 0xFF);
    Format &= ~0xFF00u;
  }
  f.HAlign = (Format & DT_CENTER) ? TTextFormat::haCenter : (Format & DT_RIGHT) ? TTextFormat::haRight
                                                                                : TTextFormat::haLeft;
  f.VAlign = (Format & DT_VCENTER) ? TTextFormat::vaCenter : (Format & DT_BOTTOM) ? TTextFormat::vaBottom
                                                                                  : TTextFormat::vaTop;
  f.SingleLine = Format & DT_SINGLELINE;
  f.WordBreak = Format & DT_WORDBREAK;
  f.ExpandTabs = Format & DT_EXPANDTABS;
  f.NoPrefix = Format & DT_NOPREFIX;
  f.HidePrefix = Format & DT_HIDEPREFIX;
  f.PrefixOnly = Format & DT_PREFIXONLY;
  f.EndEllipsis = Format & DT_END_ELLIPSIS;
  f.PathEllipsis = Format & DT_PATH_ELLIPSIS;
  f.WordEllipsis = Format & DT_WORD_ELLIPSIS;
  f.ExternalLeading = Format & DT_EXTERNALLEADING;
  f.EditControl = Format & DT_EDITCONTROL;
  f.CalcRect = Format & DT_CALCRECT;
  f.CharExtra = CharExtra;
  if (Params) {
    if (Params->iTabLength > 0) f.TabLength = Params->iTabLength;
    f.LeftMargin = Params->iLeftMargin;
    f.RightMargin = Params->iRightMargin;
  }
  return f;
}

int Round(double V) { return static_cast<int>(std::lround(V)); }

}  // namespace

BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const TRect* R, const std::string& Text, const int* Dx) {
  TDC* dc = TextDC(DC);
  if (!dc) return FALSE;
  TRealFont& f = SelectedFont(*dc);
  const TFontMetrics& m = f.Metrics();
  const std::u32string cps = CodePoints(Text);
  std::vector<int> pen;
  int width = 0;
  if (Dx) {
    for (size_t i = 0; i < cps.size(); ++i) pen.push_back(width), width += Dx[i];
  } else {
    width = MeasureRun(f, cps, dc->A.TextCharExtra, &pen);
  }

  const UINT align = dc->A.TextAlign;
  const TPoint ref = (align & TA_UPDATECP) ? dc->A.CurrentPos : TPoint{X, Y};
  TPoint dev = dc->ToDevice(ref);
  UINT h = align & TA_CENTER;
  if (dc->Mirrored()) {
    // Glyphs are not mirrored: text starting at a logical point ends at its mirror.
    dev.X += 1;
    h = h == TA_LEFT ? TA_RIGHT : h == TA_RIGHT ? TA_LEFT : h;
  }
  const double u = h == TA_RIGHT ? -width : h == TA_CENTER ? -(width / 2) : 0;
  const UINT vAlign = align & TA_BASELINE;
  const double v = vAlign == TA_BASELINE ? 0 : vAlign == TA_BOTTOM ? -m.Descent : m.Ascent;
  const TPoint base{dev.X + Round(u * f.Cos() + v * f.Sin()), dev.Y + Round(-u * f.Sin() + v * f.Cos())};

  TRect clip;
  const TRect* clipTo = nullptr;
  if (R) {
    const TRect d = dc->ToDevice(*R);
    if (Options & ETO_OPAQUE) FillDeviceRect(DC, d, dc->A.BkColor);
    if (Options & ETO_CLIPPED) clip = d, clipTo = &clip;
  }
  DrawRun(DC, *dc, f, base, cps, pen, width, clipTo, dc->A.BkMode == OPAQUE);

  if (align & TA_UPDATECP) {
    const int along = h == TA_LEFT ? width : h == TA_RIGHT ? -width : 0;
    dc->A.CurrentPos.X += Round(along * f.Cos());
    dc->A.CurrentPos.Y -= Round(along * f.Sin());
  }
  return TRUE;
}

BOOL TextOut(HDC DC, int X, int Y, const std::string& Text) { return ExtTextOut(DC, X, Y, 0, nullptr, Text, nullptr); }

int DrawTextEx(HDC DC, std::string* Text, TRect* R, UINT Format, DRAWTEXTPARAMS* Params) {
  TDC* dc = TextDC(DC);
  if (!dc || !Text || !R) return 0;
  TRealFont& f = SelectedFont(*dc);
  const TFontMetrics& m = f.Metrics();
  const TTextLayout layout = LayoutText(f, *Text, *R, FormatOf(Format, Params, dc->A.TextCharExtra));
  if (Params) Params->uiLengthDrawn = static_cast<UINT>(layout.CharsDrawn);
  if (Format & DT_CALCRECT) {
    R->Right = layout.Bounds.Right;
    R->Bottom = layout.Bounds.Bottom;
    return layout.Result;
  }
  TRect clip = dc->ToDevice(*R);
  const TRect* clipTo = (Format & DT_NOCLIP) ? nullptr : &clip;
  const bool opaque = dc->A.BkMode == OPAQUE;
  for (const TTextLine& line : layout.Lines) {
    const TRect cell = dc->ToDevice(TRect(line.Origin.X, line.Origin.Y, line.Origin.X + line.Width,
                                          line.Origin.Y + layout.LineHeight));
    const TPoint base{cell.Left, cell.Top + m.Ascent};
    if (!(Format & DT_PREFIXONLY)) DrawRun(DC, *dc, f, base, line.Text, line.PenX, line.Width, clipTo, opaque);
    if (line.UnderlineFrom >= 0) {
      const int y = base.Y + m.UnderlineOffset;
      FillDeviceRect(DC, {base.X + line.UnderlineFrom, y, base.X + line.UnderlineTo, y + m.UnderlineSize},
                     dc->A.TextColor, clipTo);
    }
  }
  if ((Format & DT_MODIFYSTRING) && (Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)))
    *Text = layout.Modified;
  return layout.Result;
}

int DrawText(HDC DC, const std::string& Text, TRect* R, UINT Format) {
  std::string copy = Text;
  return DrawTextEx(DC, &copy, R, Format, nullptr);
}

BOOL GetTextExtentPoint32(HDC DC, const std::string& Text, TSize* Size) {
  TDC* dc = TextDC(DC);
  if (!dc || !Size) return FALSE;
  TRealFont& f = SelectedFont(*dc);
  *Size = {MeasureRun(f, CodePoints(Text), dc->A.TextCharExtra), f.Metrics().Height};
  return TRUE;
}

BOOL GetTextExtentExPoint(HDC DC, const std::string& Text, int MaxExtent, int* Fit, int* Dx, TSize* Size) {
  TDC* dc = TextDC(DC);
  if (!dc) return FALSE;
  TRealFont& f = SelectedFont(*dc);
  const std::u32string cps = CodePoints(Text);
  std::vector<int> pen;
  const int width = MeasureRun(f, cps, dc->A.TextCharExtra, &pen);
  int fit = 0;
  for (size_t i = 0; i < cps.size(); ++i) {
    const int after = i + 1 < cps.size() ? pen[i + 1] : width;
    if (Dx) Dx[i] = after;
    if (after <= MaxExtent) fit = static_cast<int>(i + 1);
  }
  if (Fit) *Fit = fit;
  if (Size) *Size = {width, f.Metrics().Height};
  return TRUE;
}

LONG TabbedTextOut(HDC DC, int X, int Y, const std::string& Text, int TabCount, const int* TabStops, int TabOrigin) {
  TDC* dc = TextDC(DC);
  if (!dc) return 0;
  TRealFont& f = SelectedFont(*dc);
  const std::u32string cps = CodePoints(Text);
  const int every = TabCount == 1 && TabStops && TabStops[0] != 0 ? std::abs(TabStops[0])
                                                                   : 8 * f.Metrics().AveCharWidth;
  std::vector<int> dx;
  int x = X - TabOrigin;
  for (char32_t c : cps) {
    int w = f.Advance(c) + dc->A.TextCharExtra;
    if (c == '\t') {
      int next = (x / std::max(1, every) + 1) * every;
      if (TabCount > 1 && TabStops) {
        next = x + f.Advance(' ');
        for (int i = 0; i < TabCount; ++i)
          if (std::abs(TabStops[i]) > x) {
            next = std::abs(TabStops[i]);
            break;
          }
      }
      w = next - x;
    }
    dx.push_back(w);
    x += w;
  }
  ExtTextOut(DC, X, Y, 0, nullptr, Text, dx.data());
  const int width = x - (X - TabOrigin);
  return static_cast<LONG>((static_cast<uint32_t>(f.Metrics().Height) << 16) | (static_cast<uint32_t>(width) & 0xFFFF));
}

BOOL GrayString(HDC DC, HBRUSH Brush, const GRAYSTRINGPROC& OutputFunc, LPARAM Data, int Count, int X, int Y,
                int Width, int Height) {
  TDC* dc = TextDC(DC);
  if (!dc) return FALSE;
  COLORREF grey = GetSysColor(COLOR_GRAYTEXT);
  if (const TBrushObject* b = Brush ? ResolveBrush(Brush) : nullptr) grey = BrushColor(*dc, *b);
  const TDCAttributes saved = dc->A;
  dc->A.TextColor = grey;
  dc->A.BkMode = TRANSPARENT;
  BOOL ok = TRUE;
  if (OutputFunc) {
    // The output routine draws at (0, 0) of the area.
    dc->A.ViewportOrg.X += X;
    dc->A.ViewportOrg.Y += Y;
    ok = OutputFunc(DC, Data, Count);
  } else if (const char* text = reinterpret_cast<const char*>(Data)) {
    dc->A.TextAlign = TA_TOP | TA_LEFT;
    const std::string s(text, Count > 0 ? static_cast<size_t>(Count) : std::strlen(text));
    const TRect area{X, Y, X + Width, Y + Height};
    ok = ExtTextOut(DC, X, Y, Width > 0 && Height > 0 ? UINT(ETO_CLIPPED) : 0u, &area, s, nullptr);
  }
  dc->A.TextColor = saved.TextColor;
  dc->A.BkMode = saved.BkMode;
  dc->A.TextAlign = saved.TextAlign;
  dc->A.ViewportOrg = saved.ViewportOrg;
  return ok;
}
