#include "platform/os/ThemeParts.h"

#include <cstring>
#include <string>

#include "platform/gdi/DC.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Objects.h"
#include "platform/os/Themes.h"

struct TThemeClass {
  const char* Name;
};

namespace {

const TThemeClass kClasses[] = {{"BUTTON"}, {"TOOLBAR"}, {"SCROLLBAR"}, {"SPIN"}, {"COMBOBOX"}};

bool IsClass(HTHEME Theme, const char* Name) { return Theme && std::strcmp(Theme->Name, Name) == 0; }

// The look of one state: the border, the gradient's top and bottom, and the arrow colour.
struct TLook {
  COLORREF Border, Top, Bottom, Ink;
};
enum TKind { kNormal, kHot, kPressed, kDisabled, kDefaulted, kChecked };

TLook LookOf(TKind Kind) {
  switch (Kind) {
    case kHot: return {RGB(60, 127, 177), RGB(234, 246, 253), RGB(190, 230, 253), RGB(0, 0, 0)};
    case kPressed: return {RGB(44, 98, 139), RGB(229, 244, 252), RGB(152, 209, 239), RGB(0, 0, 0)};
    case kDisabled: return {RGB(173, 178, 181), RGB(244, 244, 244), RGB(244, 244, 244), RGB(160, 160, 160)};
    case kDefaulted: return {RGB(38, 160, 218), RGB(242, 242, 242), RGB(221, 221, 221), RGB(0, 0, 0)};
    case kChecked: return {RGB(44, 98, 139), RGB(207, 230, 245), RGB(188, 220, 244), RGB(0, 0, 0)};
    case kNormal: break;
  }
  return {RGB(112, 112, 112), RGB(242, 242, 242), RGB(221, 221, 221), RGB(0, 0, 0)};
}

uint8_t Blend(int A, int B, int Step, int Steps) { return static_cast<uint8_t>(A + (B - A) * Step / Steps); }

void FillSolid(HDC DC, const TRect& R, COLORREF Color) {
  HBRUSH brush = CreateSolidBrush(Color);
  FillRect(DC, &R, brush);
  DeleteObject(brush);
}

// A rounded one-pixel border (its corner pixels left as they are) around a vertical gradient.
void PaintFace(HDC DC, const TRect& R, const TLook& Look) {
  if (R.Width() <= 0 || R.Height() <= 0) return;
  const int rows = R.Height() - 2;
  for (int y = 0; y < rows; ++y) {
    const int steps = rows > 1 ? rows - 1 : 1;
    const COLORREF c = RGB(Blend(GetRValue(Look.Top), GetRValue(Look.Bottom), y, steps),
                           Blend(GetGValue(Look.Top), GetGValue(Look.Bottom), y, steps),
                           Blend(GetBValue(Look.Top), GetBValue(Look.Bottom), y, steps));
    FillSolid(DC, {R.Left + 1, R.Top + 1 + y, R.Right - 1, R.Top + 2 + y}, c);
  }
  FillSolid(DC, {R.Left + 1, R.Top, R.Right - 1, R.Top + 1}, Look.Border);
  FillSolid(DC, {R.Left + 1, R.Bottom - 1, R.Right - 1, R.Bottom}, Look.Border);
  FillSolid(DC, {R.Left, R.Top + 1, R.Left + 1, R.Bottom - 1}, Look.Border);
  FillSolid(DC, {R.Right - 1, R.Top + 1, R.Right, R.Bottom - 1}, Look.Border);
}

// A small filled triangle (rows of 5, 3 and 1 pixels) pointing in Direction (0 up, 1 down,
// 2 left, 3 right), centred in R.
void PaintArrow(HDC DC, const TRect& R, int Direction, COLORREF Ink) {
  const int cx = (R.Left + R.Right) / 2, cy = (R.Top + R.Bottom) / 2;
  HBRUSH brush = CreateSolidBrush(Ink);
  for (int i = 0; i < 3; ++i) {
    TRect line;
    switch (Direction) {
      case 0: line = {cx - i, cy - 1 + i, cx + i + 1, cy + i}; break;
      case 1: line = {cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i}; break;
      case 2: line = {cx - 1 + i, cy - i, cx + i, cy + i + 1}; break;
      default: line = {cx + 1 - i, cy - i, cx + 2 - i, cy + i + 1}; break;
    }
    FillRect(DC, &line, brush);
  }
  DeleteObject(brush);
}

TKind KindOf(int State, bool ToolBar) {
  if (ToolBar) {
    switch (State) {
      case TS_HOT: return kHot;
      case TS_PRESSED: return kPressed;
      case TS_DISABLED: return kDisabled;
      case TS_CHECKED:
      case TS_HOTCHECKED: return kChecked;
      default: return kNormal;
    }
  }
  switch (State) {
    case 2: return kHot;
    case 3: return kPressed;
    case 4: return kDisabled;
    case 5: return kDefaulted;
    default: return kNormal;
  }
}

}  // namespace

HTHEME OpenThemeData(HWND, const char* ClassList) {
  if (!IsThemeActive() || ClassList == nullptr) return nullptr;
  std::string list = ClassList;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    const std::string name = list.substr(start, end - start);
    for (const TThemeClass& c : kClasses)
      if (name == c.Name) return &c;
    start = end + 1;
  }
  return nullptr;
}

void CloseThemeData(HTHEME) {}

bool DrawThemeBackground(HTHEME Theme, HDC DC, int PartId, int StateId, const TRect* Rect, const TRect* Clip) {
  if (Theme == nullptr || Rect == nullptr) return false;
  const bool toolBar = IsClass(Theme, "TOOLBAR");
  const bool known = (IsClass(Theme, "BUTTON") && PartId == BP_PUSHBUTTON) ||
                     (toolBar && (PartId == TP_BUTTON || PartId == TP_SPLITBUTTON || PartId == TP_SPLITBUTTONDROPDOWN)) ||
                     (IsClass(Theme, "SCROLLBAR") && PartId == SBP_THUMBBTNHORZ) ||
                     (IsClass(Theme, "SPIN") && PartId >= SPNP_UP && PartId <= SPNP_DOWNHORZ) ||
                     (IsClass(Theme, "COMBOBOX") && PartId == CP_DROPDOWNBUTTON);
  if (!known) return false;
  const int saved = SaveDC(DC);
  if (Clip) IntersectClipRect(DC, Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
  const TKind kind = KindOf(StateId, toolBar);
  const TLook look = LookOf(kind);
  // A tool-bar button in its normal state lets what is behind it show.
  if (!(toolBar && kind == kNormal)) PaintFace(DC, *Rect, look);
  if (IsClass(Theme, "SPIN")) {
    static const int kDirections[] = {0, 1, 3, 2};
    PaintArrow(DC, *Rect, kDirections[PartId - SPNP_UP], look.Ink);
  } else if (IsClass(Theme, "COMBOBOX") || (toolBar && PartId == TP_SPLITBUTTONDROPDOWN)) {
    PaintArrow(DC, *Rect, 1, look.Ink);
  }
  RestoreDC(DC, saved);
  return true;
}
