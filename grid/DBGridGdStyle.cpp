// The grid style: the colours of selected, current and fixed cells that the grids joining it
// are painted with, and the filter text of a value list.
#include <algorithm>
#include <cmath>

#include "grid/DBGridGd.h"
#include "platform/gdi/DC.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/Variant.h"

namespace grid {
namespace {

// The program's one default style, made when first asked for and freed at the end; the pointer
// turns to none when that style is freed so no grid takes it again.
struct TDefaultStyleHolder {
  std::unique_ptr<TDBGridGdStyle> Style;
  TDBGridGdStyle* Current = nullptr;
  bool Made = false;
};

TDefaultStyleHolder& DefaultStyleHolder() {
  static TDefaultStyleHolder holder;
  return holder;
}

// One channel of the blend, rounded half to even and kept in a byte.
BYTE BlendChannel(int C, int Glass, bool Ungray) {
  const double m = C + (Glass - C) * 0.5;
  double l = m + (225 - m) * 0.6;
  if (Ungray) l = l - (122 - l) * 0.25;
  const double rounded = std::nearbyint(l);  // the default rounding mode rounds halves to even
  return static_cast<BYTE>(std::clamp(rounded, 0.0, 255.0));
}

}  // namespace
}  // namespace grid

TDBGridGdStyle* DefaultGridStyle() {
  auto& holder = grid::DefaultStyleHolder();
  if (!holder.Made) {
    holder.Made = true;
    holder.Style = std::make_unique<TDBGridGdStyle>();
    holder.Current = holder.Style.get();
  }
  return holder.Current;
}

TDBGridGdStyle::TDBGridGdStyle() {
  FUtilityWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  ReadScreenColors();
}

TDBGridGdStyle::~TDBGridGdStyle() {
  if (FUtilityWindow) DeallocateHWnd(FUtilityWindow);
  auto& holder = grid::DefaultStyleHolder();
  if (holder.Current == this) holder.Current = nullptr;
  const std::vector<TCustomDBGridGd*> grids = FGrids;
  FGrids.clear();
  for (auto it = grids.rbegin(); it != grids.rend(); ++it) (*it)->StyleDestroyed(this);
}

void TDBGridGdStyle::AddGrid(TCustomDBGridGd* Grid) {
  if (Grid && !HasGrid(Grid)) FGrids.push_back(Grid);
}

bool TDBGridGdStyle::HasGrid(TCustomDBGridGd* Grid) const {
  return std::find(FGrids.begin(), FGrids.end(), Grid) != FGrids.end();
}

void TDBGridGdStyle::RemoveGrid(TCustomDBGridGd* Grid) { std::erase(FGrids, Grid); }

void TDBGridGdStyle::WndProc(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) {
    try {
      ReadScreenColors();
    } catch (...) {
      if (Application) Application->HandleException(nullptr);
    }
    return;
  }
  Message.Result = DefWindowProc(FUtilityWindow, Message.Msg, Message.WParam, Message.LParam);
}

void TDBGridGdStyle::ReadScreenColors() {
  HDC dc = GetDC(nullptr);
  FScreenNumColors = GetDeviceCaps(dc, NUMCOLORS);
  ReleaseDC(nullptr, dc);
}

TColor TDBGridGdStyle::BlendSelectionColor(TColor C, TColor Glass, bool Ungray) {
  const COLORREF c = ColorToRGB(C), g = ColorToRGB(Glass);
  return static_cast<TColor>(RGB(grid::BlendChannel(GetRValue(c), GetRValue(g), Ungray),
                                 grid::BlendChannel(GetGValue(c), GetGValue(g), Ungray),
                                 grid::BlendChannel(GetBValue(c), GetBValue(g), Ungray)));
}

namespace {
// The nearest colour the grid's canvas can show.
TColor NearestOnGrid(TCustomDBGridGd* Grid, TColor Color) {
  return static_cast<TColor>(GetNearestColor(Grid->Canvas()->Handle(), ColorToRGB(Color)));
}
}  // namespace

bool TDBGridGdStyle::DataCellHighlight(TCustomDBGridGd* Grid, int ACol, int DataCol, int DataRow, int ARow,
                                       TGridDrawState& State, TFont* AFont, TColor& Background) {
  (void)DataRow;
  const TDBGridOptions options = Grid->Options();
  const bool rowSelect = options.Contains(dgRowSelect);
  const bool currentRow = ARow == Grid->Row();
  const bool currentCell = currentRow && (ACol == Grid->Col() || rowSelect);
  bool selected = false;
  if (Grid->DataLink()->Active() && Grid->Selection()->SelectionType() != gstNon)
    selected = Grid->Selection()->DataCellSelected(DataCol, Grid->DataLink()->DataSet()->Bookmark());
  bool focusHighlight = false;
  if (!selected) {
    focusHighlight = Grid->Focused() && Grid->OptionsGd().Contains(dghHighlightFocus);
    if (Grid->OptionsGd().Contains(dghRowHighlight) && currentRow && Grid->Selection()->SelectionType() == gstNon &&
        ACol != Grid->Col()) {
      focusHighlight = true;
      State.Include(gdSelected);
    }
    selected = (State.Contains(gdSelected) || (currentRow && rowSelect)) &&
               (options.Contains(dgAlwaysShowSelection) || focusHighlight) && (Grid->UpdateLock() == 0 || rowSelect);
  }
  if (!selected) return false;
  if (!Grid->GridOrEditorFocused()) {
    if (currentCell && (focusHighlight || options.Contains(dgAlwaysShowSelection))) {
      Background = clBtnShadow;
      AFont->SetColor(clHighlightText);
    } else if (TrueColorDisplay()) {
      Background = NearestOnGrid(Grid, BlendSelectionColor(Background, clBtnShadow, false));
    } else {
      Background = clBtnFace;
    }
  } else if (FLuminateSelection && TrueColorDisplay() && !currentCell) {
    Background = NearestOnGrid(Grid, BlendSelectionColor(Background, clHighlight, true));
  } else {
    Background = clHighlight;
    AFont->SetColor(clHighlightText);
  }
  return true;
}

bool TDBGridGdStyle::FixedCellHighlight(TCustomDBGridGd* Grid, TFont* AFont, TColor& Background, bool Highlight,
                                        int AreaCode) {
  if (!Highlight) return false;
  const int low = AreaCode & 0xFF, high = (AreaCode >> 8) & 0xFF;
  if ((low == 0 && high != 3) || (low == 1 && high <= 1)) {
    Background = RGB(64, 64, 64);
    AFont->SetColor(clWhite);
  } else if (Grid->GridOrEditorFocused()) {
    if (FLuminateSelection && TrueColorDisplay()) {
      Background = BlendSelectionColor(Background, clHighlight, true);
    } else {
      Background = clHighlight;
      AFont->SetColor(clHighlightText);
    }
  } else if (TrueColorDisplay()) {
    Background = BlendSelectionColor(Background, clBtnShadow, false);
  } else {
    Background = clBtnFace;
  }
  return true;
}

// ---- the grid's side ----

void TCustomDBGridGd::SetStyle(TDBGridGdStyle* Value) {
  if (Value == FStyle) return;
  if (FStyle) FStyle->RemoveGrid(this);
  FStyle = Value;
  if (FStyle) FStyle->AddGrid(this);
  if (HandleAllocated()) Invalidate();
}

void TCustomDBGridGd::StyleDestroyed(TDBGridGdStyle* Style) {
  if (FStyle != Style) return;
  FStyle = nullptr;
  if (TDBGridGdStyle* fallback = DefaultGridStyle(); fallback && fallback != Style) SetStyle(fallback);
  LayoutChanged();
}

// ---- value lists ----

std::string VariantToQuotedList(const Variant& V) {
  if (!VarIsArray(V)) return VarToStr(V);
  std::string result;
  for (int i = VarArrayLowBound(V, 1); i <= VarArrayHighBound(V, 1); ++i) {
    if (!result.empty()) result += ',';
    result += '\'';
    for (char ch : VarToStr(V[i])) {
      result += ch;
      if (ch == '\'') result += '\'';
    }
    result += '\'';
  }
  return result;
}
