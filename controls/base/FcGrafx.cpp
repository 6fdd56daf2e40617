#include "controls/base/FcGrafx.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/controls/Forms.h"
#include "platform/gdi/Gdi.h"
#include "platform/os/Themes.h"
#include "platform/os/WindowDC.h"
#include "platform/shell/Registry.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TGradientDirection) {
  static const classes::TEnumInfo info{
      "TGradientDirection",
      {"gdDiagonalUp", "gdDiagonalDown", "gdHorizontalEnd", "gdHorizontalCenter", "gdHorizontalBox",
       "gdVerticalEnd", "gdVerticalCenter", "gdVerticalBox", "gdSquareBox", "gdBigSquareBox"}};
  return info;
}
const classes::TEnumInfo& EnumInfo(TFcGradientColorStyle) {
  static const classes::TEnumInfo info{"TFcGradientColorStyle", {"gcsSystem", "gcsMSOffice", "gcsCustom"}};
  return info;
}

namespace {

constexpr int kTop = 240;

int RedOf(COLORREF C) { return C & 0xFF; }
int GreenOf(COLORREF C) { return (C >> 8) & 0xFF; }
int BlueOf(COLORREF C) { return (C >> 16) & 0xFF; }

// Rounds half to even, as the scale's conversion does.
int RoundEven(double V) { return static_cast<int>(std::nearbyint(V)); }

const COLORREF kSchemes[3][8] = {
    {0x800000, 0xC2EEFF, 0xA0D9FF, 0xFFEFE3, 0xEABB99, 0xBF7F57, 0xE7A27B, 0xD67563},
    {0x385D3F, 0xC2EEFF, 0xA0D9FF, 0xEDFFFF, 0x92C7B8, 0x77A17F, 0xADD9CC, 0x84BDA5},
    {0x6F4B4B, 0xC2EEFF, 0xA0D9FF, 0xFFF9F9, 0xD0BCBD, 0xB19F9F, 0xD4C8C4, 0xC8B3B1},
};

struct TStartValues {
  bool FullColor = HasFullColorDisplay();
  uint8_t Scheme = ReadXPColorScheme();
};
TStartValues& StartValues() {
  static TStartValues values;
  return values;
}

// Whether visual styles are active (the platform answers no unless a test turns them on).
bool ThemeServicesActive() { return IsThemeActive(); }

// The visual styles are off on this platform, so the scheme colours apply only where a caller
// asks for gcsMSOffice with them on.
bool SchemeApplies(TFcGradientColorStyle Style) { return Style == gcsMSOffice && ThemeServicesActive(); }

// A memory DC with a bitmap of a size selected, both freed at the end.
class TOffscreen {
 public:
  TOffscreen(HDC Like, int W, int H)
      : FDC(CreateCompatibleDC(Like)), FBitmap(CreateCompatibleBitmap(Like, W, H)) {
    FOld = SelectObject(FDC, FBitmap);
  }
  ~TOffscreen() {
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  TOffscreen(const TOffscreen&) = delete;
  TOffscreen& operator=(const TOffscreen&) = delete;
  HDC DC() const { return FDC; }

 private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

void FillBand(HDC DC, int L, int T, int R, int B, COLORREF C) {
  if (R <= L || B <= T) return;
  TRect rc{L, T, R, B};
  HBRUSH brush = CreateSolidBrush(C);
  FillRect(DC, &rc, brush);
  DeleteObject(brush);
}

int BandSize(uint8_t Steps, int Base) {
  int n = Steps > 8 ? Base / Steps + 1 : Steps;
  return std::max(n, 1);
}

// Channels in 16.16 fixed point walking from one colour to another over Count steps.
struct TRamp {
  long long R, G, B, dR, dG, dB;
  TRamp(COLORREF From, COLORREF To, int Count)
      : R(static_cast<long long>(RedOf(From)) << 16), G(static_cast<long long>(GreenOf(From)) << 16),
        B(static_cast<long long>(BlueOf(From)) << 16) {
    int n = std::max(Count, 1);
    dR = (static_cast<long long>(RedOf(To) - RedOf(From)) << 16) / n;
    dG = (static_cast<long long>(GreenOf(To) - GreenOf(From)) << 16) / n;
    dB = (static_cast<long long>(BlueOf(To) - BlueOf(From)) << 16) / n;
  }
  COLORREF Colour() const {
    auto ch = [](long long V) { return static_cast<int>(std::clamp<long long>(V >> 16, 0, 255)); };
    return RGB(ch(R), ch(G), ch(B));
  }
  void Step() { R += dR, G += dG, B += dB; }
};

// Rows (or columns) [From, To) walked from To - 1 back to From, starting at FarColour and
// reaching NearColour; each run of one colour of at least Band lines is one fill.
void LinearFill(HDC DC, bool Rows, int From, int To, int Across, COLORREF NearColour, COLORREF FarColour,
                int Band) {
  int count = To - From;
  if (count <= 0) return;
  TRamp ramp(FarColour, NearColour, count);
  int end = To;
  COLORREF colour = ramp.Colour();
  for (int i = To - 1; i >= From; --i) {
    COLORREF c = ramp.Colour();
    if (c != colour && end - (i + 1) >= Band) {
      if (Rows) FillBand(DC, 0, i + 1, Across, end, colour);
      else FillBand(DC, i + 1, 0, end, Across, colour);
      end = i + 1;
      colour = c;
    }
    ramp.Step();
  }
  if (Rows) FillBand(DC, 0, From, Across, end, colour);
  else FillBand(DC, From, 0, end, Across, colour);
}

// The top-left quadrant of a box gradient: ColorB outermost, ColorC at the centre.
void BoxFill(HDC DC, int W, int H, int InsetX, int InsetY, COLORREF B, COLORREF C, int Band) {
  if (B == C || W < 5 || H <= 4) {
    FillBand(DC, 0, 0, W, H, C);
    return;
  }
  int hx = std::max((W - 1) / 2 - InsetX, 0), hy = std::max((H - 1) / 2 - InsetY, 0);
  int steps = std::max(hx, hy) + 1;
  TRamp ramp(B, C, steps);
  int cx = (W + 1) / 2, cy = (H + 1) / 2;  // the quadrant's extent
  int prevL = 0, prevT = 0;
  for (int s = 0; s < steps; s += Band) {
    int ex = hx - hx * (s + Band) / steps, ey = hy - hy * (s + Band) / steps;
    int l = std::clamp((W - 1) / 2 - ex - InsetX, 0, cx), t = std::clamp((H - 1) / 2 - ey - InsetY, 0, cy);
    if (s + Band >= steps) l = cx, t = cy;
    COLORREF colour = ramp.Colour();
    // The band between the previous and the current inner rectangle (an L shape).
    FillBand(DC, prevL, prevT, cx, t, colour);
    FillBand(DC, prevL, t, l, cy, colour);
    prevL = std::max(prevL, l), prevT = std::max(prevT, t);
    for (int k = 0; k < Band; ++k) ramp.Step();
  }
}

// Bands parallel to the diagonal that does not touch the start corner (bottom-left), from
// ColorC at that corner to ColorB at the opposite one.
void DiagonalFill(HDC DC, int W, int H, COLORREF B, COLORREF C, bool Down) {
  int steps = RoundEven(std::sqrt(double(W) * W + double(H) * H)) + 1;
  TRamp ramp(C, B, steps);
  auto point = [&](int X, int Y) { return Down ? TPoint{X, H - Y} : TPoint{X, Y}; };
  // Lines x + y*(W/H) = t for t from 0 to 2W, expressed by where they cross the bottom edge
  // and the left edge (measuring y up from the bottom).
  HGDIOBJ oldPen = SelectObject(DC, GetStockObject(NULL_PEN));
  double prev = 0;
  for (int s = 1; s <= steps; ++s) {
    double t = 2.0 * W * s / steps;
    auto polygonFor = [&](double A, double Bv) {
      // Corners of the band between lines at A and Bv (in x units along the bottom).
      std::vector<TPoint> pts;
      auto onLine = [&](double T, bool FromBottom) {
        // Point where line T meets the rectangle's border, going from the bottom/right side.
        if (FromBottom) {
          if (T <= W) return point(RoundEven(T), 0);
          return point(W, RoundEven((T - W) * H / W));
        }
        if (T <= W) return point(0, RoundEven(T * H / W));
        return point(RoundEven(T - W), H);
      };
      pts.push_back(onLine(A, true));
      if (A < W && Bv > W) pts.push_back(point(W, 0));
      pts.push_back(onLine(Bv, true));
      pts.push_back(onLine(Bv, false));
      if (A < W && Bv > W) pts.push_back(point(0, H));
      pts.push_back(onLine(A, false));
      return pts;
    };
    std::vector<TPoint> pts = polygonFor(prev, s == steps ? 2.0 * W + 1 : t);
    // Y measured from the bottom: flip to device rows (Down flips back).
    for (TPoint& p : pts) p.Y = H - p.Y;
    HBRUSH brush = CreateSolidBrush(ramp.Colour());
    HGDIOBJ oldBrush = SelectObject(DC, brush);
    Polygon(DC, pts.data(), static_cast<int>(pts.size()));
    SelectObject(DC, oldBrush);
    DeleteObject(brush);
    ramp.Step();
    prev = t;
  }
  SelectObject(DC, oldPen);
}

}  // namespace

THsl ColorToHsl(TColor Color) {
  COLORREF c = ColorToRGB(Color);
  double r = RedOf(c) / 255.0, g = GreenOf(c) / 255.0, b = BlueOf(c) / 255.0;
  double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  double l = (mx + mn) / 2, h = 0, s = 0;
  if (mx != mn) {
    double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) h = (g - b) / d;
    else if (g != mx) h = (r - g) / d + 4;
    else h = (b - r) / d + 2;
    h /= 6;
    if (h < 0) h += 1;
  }
  return {static_cast<uint8_t>(RoundEven(h * kTop)), static_cast<uint8_t>(RoundEven(s * kTop)),
          static_cast<uint8_t>(RoundEven(l * kTop))};
}

uint8_t HueOfColor(TColor Color) { return ColorToHsl(Color).H; }

TColor HslToColor(int H, int S, int L) {
  double l = L / 240.0, s = S / 240.0, hue6 = H / 239.0 * 6;
  double m2 = l < 0.5 ? l * (1 + s) : l + s - l * s;
  if (m2 <= 0) return 0;
  double m1 = 2 * l - m2;
  int k = static_cast<int>(hue6);
  double ramp = (m2 - m1) * (hue6 - k);
  double rising = m1 + ramp, falling = m2 - ramp;
  double r, g, b;
  switch (k) {
    case 1: r = falling, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = rising; break;
    case 3: r = m1, g = falling, b = m2; break;
    case 4: r = rising, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = falling; break;
    default: r = m2, g = rising, b = m1; break;  // 0, and 6 for hue 239 exactly
  }
  auto ch = [](double V) { return static_cast<int>(std::lround(std::clamp(V, 0.0, 1.0) * 255)); };
  return static_cast<TColor>(RGB(ch(r), ch(g), ch(b)));
}

TColor DarkenColor(TColor Color, int Amount) {
  THsl hsl = ColorToHsl(Color);
  return HslToColor(hsl.H, hsl.S, std::max(hsl.L - Amount, 0));
}

TColor BrightenColor(TColor Color, int Amount) {
  THsl hsl = ColorToHsl(Color);
  int l = hsl.L + Amount;
  if (l >= kTop) return static_cast<TColor>(RGB(255, 255, 255));
  return HslToColor(hsl.H, hsl.S, l);
}

TColor AdjustColorLuminance(TColor Color, int Amount) {
  // A magnitude past a byte saturates: taking it modulo 256 would turn a large step into a
  // small one (or none at all).
  int magnitude = std::min(std::abs(Amount), 255);
  if (Amount < 0) return DarkenColor(Color, magnitude);
  if (Amount > 0) return BrightenColor(Color, magnitude);
  return Color;
}

TColor MixColors(TColor A, TColor B, uint8_t Weight) {
  COLORREF a = ColorToRGB(A), b = ColorToRGB(B);
  double w = Weight / 255.0;
  auto mix = [w](int X, int Y) { return static_cast<int>(std::lround(w * X + (1 - w) * Y)); };
  return static_cast<TColor>(RGB(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)), mix(BlueOf(a), BlueOf(b))));
}

TColor XorColors(TColor A, TColor B) { return static_cast<TColor>((ColorToRGB(A) ^ ColorToRGB(B)) & 0xFFFFFF); }

bool ColorsAreClose(TColor Fore, TColor Back) {
  THsl f = ColorToHsl(Fore), b = ColorToHsl(Back);
  return std::abs(f.H - b.H) < 20 && std::abs(f.L - b.L) < 60;
}

TColor ComplementColor(TColor Color, int Luminance) {
  int h = HueOfColor(Color);
  return HslToColor(h < 120 ? h + 120 : h - 120, kTop, Luminance);
}

bool HasFullColorDisplay() {
  HDC dc = GetDC(nullptr);
  bool full = GetDeviceCaps(dc, NUMCOLORS) == -1;
  ReleaseDC(nullptr, dc);
  return full;
}
bool FullColorDisplay() { return StartValues().FullColor; }
void SetFullColorDisplay(bool Value) { StartValues().FullColor = Value; }

uint8_t ReadXPColorScheme() {
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", false)) return 0;
    std::string name = UpperCase(reg.ReadString("ColorName"));
    if (name == "HOMESTEAD") return 1;
    if (name == "METALLIC") return 2;
  } catch (const Exception&) {
    // An unreadable registry leaves the blue scheme.
  }
  return 0;
}
uint8_t XPColorSchemeIndex() { return StartValues().Scheme; }
void SetXPColorSchemeIndex(uint8_t Value) { StartValues().Scheme = std::min<uint8_t>(Value, 2); }

TColor XPSchemeColor(uint8_t Scheme, int Role) {
  return static_cast<TColor>(kSchemes[std::min<uint8_t>(Scheme, 2)][std::clamp(Role, 0, 7)]);
}

TColor GetXPThemeColor(int Index) {
  if (Index < 0 || Index > 6) return static_cast<TColor>(RGB(255, 255, 255));
  return clBtnFace;  // no visual styles to read from
}

void GetSelectionGradientColors(TFcGradientColorStyle Style, TColor& Frame, TColor& Start, TColor& Stop) {
  if (SchemeApplies(Style)) {
    Frame = XPSchemeColor(XPColorSchemeIndex(), 0);
    Start = XPSchemeColor(XPColorSchemeIndex(), 1);
    Stop = XPSchemeColor(XPColorSchemeIndex(), 2);
  } else {
    Frame = clHighlight;
    Stop = MixColors(clHighlight, clWindow, 77);
    Start = BrightenColor(Stop, 20);
  }
  if (!FullColorDisplay()) Start = Stop;
}

void GetPanelGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop) {
  if (SchemeApplies(Style)) {
    Start = XPSchemeColor(XPColorSchemeIndex(), 3);
    Stop = XPSchemeColor(XPColorSchemeIndex(), 4);
  } else {
    Start = clWindow;
    Stop = DarkenColor(clBtnFace, 10);
  }
}

TColor GetPanelFrameColor(TFcGradientColorStyle Style) {
  if (SchemeApplies(Style)) return XPSchemeColor(XPColorSchemeIndex(), 5);
  return BrightenColor(clBtnShadow, 30);
}

void GetStatusBarGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop, TColor& Divider) {
  if (SchemeApplies(Style)) {
    Start = XPSchemeColor(XPColorSchemeIndex(), 4);
    Stop = XPSchemeColor(XPColorSchemeIndex(), 3);
    Divider = Start;
  } else {
    Start = DarkenColor(clBtnFace, 20);
    Stop = clWindow;
    Divider = DarkenColor(clBtnFace, 40);
  }
}

void GetGroupBarGradientColors(TFcGradientColorStyle Style, TColor& Start, TColor& Stop) {
  if (SchemeApplies(Style)) {
    Start = XPSchemeColor(XPColorSchemeIndex(), 6);
    Stop = XPSchemeColor(XPColorSchemeIndex(), 7);
  } else {
    Start = MixColors(clBlack, clBtnFace, 40);
    Stop = MixColors(clBlack, clBtnFace, 80);
  }
}

void ReplicateStrip(HDC DC, int X, int Y, DWORD Rop, int StripHeight, int StripWidth, int FullHeight,
                    int FullWidth) {
  for (int done = StripWidth; done < FullWidth; done *= 2)
    BitBlt(DC, X + done, Y, std::min(done, FullWidth - done), StripHeight, DC, X, Y, Rop);
  for (int done = StripHeight; done < FullHeight; done *= 2)
    BitBlt(DC, X, Y + done, FullWidth, std::min(done, FullHeight - done), DC, X, Y, Rop);
}

void MirrorQuadrant(HDC DC, int X, int Y, DWORD Rop, int Height, int Width) {
  int h = Height / 2, w = Width / 2;
  // The bottom half is the top half upside down; an odd height keeps its middle row.
  StretchBlt(DC, X, Y + Height - 1, Width, -h, DC, X, Y, Width, h, Rop);
  StretchBlt(DC, X + Width - 1, Y, -w, Height, DC, X, Y, w, Height, Rop);
}

void PaintGradientRect(TCanvas* Canvas, const TRect& R, TGradientDirection Direction, uint8_t Steps, TColor ColorB,
                       TColor ColorC) {
  COLORREF b = ColorToRGB(ColorB), c = ColorToRGB(ColorC);
  int w = std::abs(R.Right - R.Left), h = std::abs(R.Bottom - R.Top);
  if (w == 0 || h == 0) return;
  HDC target = Canvas->Handle();
  TOffscreen off(target, w, h);
  HDC dc = off.DC();
  int band = BandSize(Steps, 255);
  switch (Direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      if (b == c) FillBand(dc, 0, 0, w, h, c);
      else DiagonalFill(dc, w, h, b, c, Direction == gdDiagonalDown);
      break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
    case gdVerticalEnd:
    case gdVerticalCenter: {
      // One strip 8 pixels across (rows for the horizontal directions, columns for the
      // vertical ones), replicated over the rest.
      bool rows = Direction == gdHorizontalEnd || Direction == gdHorizontalCenter;
      bool centre = Direction == gdHorizontalCenter || Direction == gdVerticalCenter;
      int length = rows ? h : w, strip = std::min(rows ? w : h, 8);
      if (centre) {
        LinearFill(dc, rows, 0, length / 2, strip, c, b, band);
        LinearFill(dc, rows, length / 2, length, strip, b, c, band);
      } else {
        LinearFill(dc, rows, 0, length, strip, c, b, band);
      }
      if (rows) ReplicateStrip(dc, 0, 0, SRCCOPY, h, strip, h, w);
      else ReplicateStrip(dc, 0, 0, SRCCOPY, strip, w, h, w);
      break;
    }
    case gdHorizontalBox:
    case gdVerticalBox:
    case gdSquareBox:
    case gdBigSquareBox: {
      int boxBand = BandSize(Steps, 256);
      int insetX = 0, insetY = 0;
      if (Direction == gdHorizontalBox || Direction == gdSquareBox) FillBand(dc, 0, 0, w, h, c);
      if (Direction == gdHorizontalBox || Direction == gdBigSquareBox) insetX = w / 4;
      if (Direction == gdVerticalBox || Direction == gdBigSquareBox) insetY = h / 4;
      BoxFill(dc, w, h, insetX, insetY, b, c, boxBand);
      MirrorQuadrant(dc, 0, 0, SRCCOPY, h, w);
      break;
    }
  }
  BitBlt(target, std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), w, h, dc, 0, 0, SRCCOPY);
}

void PaintStretchedTransparent(TCanvas* Canvas, TBitmap* Bitmap, const TRect& DestRect, TColor TransparentColor,
                               const TRect& SourceRect) {
  int w = DestRect.Right - DestRect.Left, h = DestRect.Bottom - DestRect.Top;
  if (w <= 0 || h <= 0 || Bitmap == nullptr || Bitmap->Empty()) return;
  HDC target = Canvas->Handle();
  HDC source = Bitmap->Canvas()->Handle();
  TOffscreen image(target, w, h);
  StretchBlt(image.DC(), 0, 0, w, h, source, SourceRect.Left, SourceRect.Top, SourceRect.Right - SourceRect.Left,
             SourceRect.Bottom - SourceRect.Top, SRCCOPY);
  // Mask: white where the image has the transparent colour.
  HDC maskDC = CreateCompatibleDC(target);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  SetBkColor(image.DC(), ColorToRGB(TransparentColor));
  BitBlt(maskDC, 0, 0, w, h, image.DC(), 0, 0, SRCCOPY);
  // Black out the transparent pixels of the image, clear the opaque ones on the target, then
  // combine: the target's pixels under the transparent colour stay as they are.
  // (a monochrome source paints its white bits in the background colour, its black ones in the
  // text colour).
  SetBkColor(image.DC(), RGB(0, 0, 0));
  SetTextColor(image.DC(), RGB(255, 255, 255));
  BitBlt(image.DC(), 0, 0, w, h, maskDC, 0, 0, SRCAND);
  COLORREF oldBk = SetBkColor(target, RGB(255, 255, 255));
  COLORREF oldText = SetTextColor(target, RGB(0, 0, 0));
  BitBlt(target, DestRect.Left, DestRect.Top, w, h, maskDC, 0, 0, SRCAND);
  BitBlt(target, DestRect.Left, DestRect.Top, w, h, image.DC(), 0, 0, SRCPAINT);
  SetBkColor(target, oldBk);
  SetTextColor(target, oldText);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
}

void PaintParentBackground(TControl* Control, HDC DC, bool InvalidateParent) {
  TWinControl* parent = Control->Parent();
  if (parent == nullptr) return;
  int saved = SaveDC(DC);
  TPoint origin;
  OffsetViewportOrgEx(DC, -Control->Left(), -Control->Top(), &origin);
  IntersectClipRect(DC, 0, 0, parent->ClientWidth(), parent->ClientHeight());
  bool designing = (Control->ComponentState() & csDesigning) != 0;
  try {
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    parent->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
  } catch (const Exception&) {
    if (!designing) {
      RestoreDC(DC, saved);
      throw;
    }
  }
  RestoreDC(DC, saved);
  if (InvalidateParent && !designing && dynamic_cast<TCustomControl*>(parent) == nullptr &&
      dynamic_cast<TCustomForm*>(parent) == nullptr)
    parent->Invalidate();
}

void PaintParentBackground(TControl* Control, TCanvas* Canvas, bool InvalidateParent) {
  PaintParentBackground(Control, Canvas->Handle(), InvalidateParent);
}

int DrawCanvasText(TCanvas* Canvas, const std::string& Text, TRect& R, UINT Flags) {
  return DrawText(Canvas->Handle(), Text, &R, Flags);
}

void DrawCanvasTextCentered(TCanvas* Canvas, const std::string& Text, const TRect& R) {
  TRect rc = R;
  DrawText(Canvas->Handle(), Text, &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

HFONT CreateRotatedFont(TFont* Font, int AngleDegrees) {
  LOGFONT lf;
  lf.lfHeight = Font->Height();
  lf.lfWidth = 0;
  lf.lfEscapement = AngleDegrees * 10;
  lf.lfOrientation = 0;
  lf.lfWeight = Font->Style().Contains(fsBold) ? 700 : 400;
  lf.lfItalic = Font->Style().Contains(fsItalic);
  lf.lfUnderline = Font->Style().Contains(fsUnderline);
  lf.lfStrikeOut = Font->Style().Contains(fsStrikeOut);
  lf.lfCharSet = Font->Charset();
  lf.lfPitchAndFamily = Font->Pitch() == fpFixed      ? FIXED_PITCH
                        : Font->Pitch() == fpVariable ? VARIABLE_PITCH
                                                      : DEFAULT_PITCH;
  lf.lfFaceName = Font->Name();
  return CreateFontIndirect(&lf);
}

namespace {
TEXTMETRIC MetricsOf(TFont* Font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm;
}
}  // namespace

bool IsTrueTypeFontFace(TFont* Font) { return (MetricsOf(Font).tmPitchAndFamily & TMPF_TRUETYPE) != 0; }
int MinHeightForFont(TFont* Font) { return MetricsOf(Font).tmHeight + 2; }
