#include "platform/controls/ListCtrls.h"

#include <algorithm>

#include "platform/controls/ListCtrlsInternal.h"
#include "platform/gdi/Draw.h"
#include "platform/gdi/Fonts.h"
#include "platform/gdi/Frames.h"
#include "platform/os/Input.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/rtl/Strings.h"

const classes::TEnumInfo& EnumInfo(TListBoxStyle) {
  static const classes::TEnumInfo info{
      "TListBoxStyle", {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual", "lbVirtualOwnerDraw"}};
  return info;
}

const classes::TEnumInfo& EnumInfo(TComboBoxStyle) {
  static const classes::TEnumInfo info{
      "TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"}};
  return info;
}

TOwnerDrawState OwnerDrawState(UINT ItemState) {
  static constexpr std::pair<UINT, TOwnerDrawStateFlag> map[] = {
      {ODS_SELECTED, odSelected}, {ODS_GRAYED, odGrayed},         {ODS_DISABLED, odDisabled},
      {ODS_CHECKED, odChecked},   {ODS_FOCUS, odFocused},         {ODS_DEFAULT, odDefault},
      {ODS_HOTLIGHT, odHotLight}, {ODS_INACTIVE, odInactive},     {ODS_NOACCEL, odNoAccel},
      {ODS_NOFOCUSRECT, odNoFocusRect}, {ODS_COMBOBOXEDIT, odComboBoxEdit}};
  TOwnerDrawState state;
  for (auto [bit, flag] : map)
    if (ItemState & bit) state.Include(flag);
  return state;
}

namespace controls {

namespace {

// Time after which typed characters start a new type-ahead search.
constexpr LONG kTypeAheadMs = 1000;

bool StartsWithText(const std::string& S, const std::string& Prefix) {
  // The case tables keep byte lengths, so the folded strings compare byte for byte.
  const std::string s = AnsiUpperCase(S), p = AnsiUpperCase(Prefix);
  return s.compare(0, p.size(), p) == 0;
}

}  // namespace

WPARAM ControlId(HWND Wnd) { return static_cast<WPARAM>(GetWindowLongPtr(Wnd, GWLP_ID)); }

int WheelScrollLines() {
  UINT lines = 3;
  SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

int FontRowHeight(TFont* Font) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, Font->Handle());
  TEXTMETRIC tm;
  GetTextMetrics(dc, &tm);
  SelectObject(dc, old);
  DeleteDC(dc);
  return std::max<int>(tm.tmHeight, 1);
}

int TypeAhead(const TStrings& Items, std::string& Buffer, LONG& Last, char32_t Key, int Current) {
  const LONG now = GetMessageTime();
  std::string ch;
  rtl::AppendUtf8(ch, Key);
  if (now - Last > kTypeAheadMs) Buffer.clear();
  Last = now;
  bool repeat = !Buffer.empty() && Buffer.size() % ch.size() == 0;
  for (size_t i = 0; repeat && i < Buffer.size(); i += ch.size()) repeat = Buffer.compare(i, ch.size(), ch) == 0;
  Buffer += ch;
  if (repeat || Buffer == ch) return FindItemText(Items, ch, Current, false);
  // A longer prefix may still be the current item.
  return FindItemText(Items, Buffer, Current - 1, false);
}

void PaintMessage(HWND Wnd, TMessage& M, const std::function<void(HDC)>& Paint) {
  if (HDC dc = reinterpret_cast<HDC>(M.WParam)) {
    Paint(dc);
  } else {
    PAINTSTRUCT ps;
    dc = BeginPaint(Wnd, &ps);
    Paint(dc);
    EndPaint(Wnd, &ps);
  }
  M.Result = 0;
}

LRESULT CopyItemText(const TStrings& Items, int Index, LPARAM Buffer) {
  const std::string s = Items.Strings(Index);
  char* out = reinterpret_cast<char*>(Buffer);
  std::copy(s.begin(), s.end(), out);
  out[s.size()] = '\0';
  return static_cast<LRESULT>(s.size());
}

void DrawItemMessage(TCanvas& Canvas, TWinControl* Control, TMessage& M,
                     const std::function<void(int, TRect, TOwnerDrawState)>& Draw) {
  auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(M.LParam);
  const TOwnerDrawState state = OwnerDrawState(dis->itemState);
  const int index = static_cast<int>(dis->itemID);
  controls::TCanvasPaint paint(Canvas, dis->hDC);
  Canvas.SetFont(Control->Font());
  Canvas.Brush()->Assign(Control->Brush());
  if (index >= 0 && state.Contains(odSelected)) {
    Canvas.Brush()->SetColor(clHighlight);
    Canvas.Font()->SetColor(clHighlightText);
  }
  if (index >= 0) Draw(index, dis->rcItem, state);
  else Canvas.FillRect(dis->rcItem);
  if (state.Contains(odFocused)) ::DrawFocusRect(dis->hDC, &dis->rcItem);
  M.Result = 1;
}

void DrawItemText(TCanvas& Canvas, const TStrings& Items, int Index, const TRect& Rect) {
  Canvas.FillRect(Rect);
  if (Index < Items.Count()) Canvas.TextOut(Rect.Left + 2, Rect.Top, Items.Strings(Index));
}

void MeasureItemMessage(TMessage& M, int Height, bool Variable, const std::function<void(int, int&)>& Measure) {
  auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(M.LParam);
  if (Variable) Measure(static_cast<int>(mis->itemID), Height);
  mis->itemHeight = static_cast<UINT>(std::max(Height, 1));
  M.Result = 1;
}

void SendDeleteItem(TWinControl* Target, HWND Wnd, int Index, UINT CtlType, TObject* Object) {
  DELETEITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.itemID = static_cast<UINT>(Index);
  dis.hwndItem = Wnd;
  dis.itemData = reinterpret_cast<UINT_PTR>(Object);
  Target->Perform(CN_DELETEITEM, 0, reinterpret_cast<LPARAM>(&dis));
}

void SendDrawItem(TWinControl* Target, HWND Wnd, HDC DC, int Index, const TRect& Rect, UINT State, UINT CtlType,
                  TObject* Object) {
  DRAWITEMSTRUCT dis;
  dis.CtlType = CtlType;
  dis.CtlID = Wnd ? static_cast<UINT>(ControlId(Wnd)) : 0;
  dis.itemID = static_cast<UINT>(Index);
  dis.itemAction = ODA_DRAWENTIRE;
  dis.itemState = State;
  dis.hwndItem = Wnd;
  dis.hDC = DC;
  dis.rcItem = Rect;
  dis.itemData = reinterpret_cast<UINT_PTR>(Object);
  const int saved = SaveDC(DC);
  IntersectClipRect(DC, Rect.Left, Rect.Top, Rect.Right, Rect.Bottom);
  Target->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
  RestoreDC(DC, saved);
}

int FindItemText(const TStrings& Items, const std::string& Text, int Start, bool Exact) {
  const int count = Items.Count();
  if (count == 0) return -1;
  if (Start < -1 || Start >= count) Start = -1;
  for (int n = 1; n <= count; ++n) {
    const int i = (Start + n) % count;
    const std::string s = Items.Strings(i);
    if (Exact ? AnsiSameText(s, Text) : StartsWithText(s, Text)) return i;
  }
  return -1;
}

}  // namespace controls
