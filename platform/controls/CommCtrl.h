#pragma once
// Pieces shared by the tree view and the list view: the notification header and the common
// notification codes a control reports to itself as CN_NOTIFY, the custom-draw states, the
// header control (the window class that shows a list view's column titles, sizes them by their
// dividers and reports clicks to its parent with WM_NOTIFY) and the in-place editor of their labels.
#include <functional>
#include <string>

#include "platform/classes/Component.h"
#include "platform/classes/ShiftState.h"
#include "platform/classes/TypeInfo.h"
#include "platform/controls/StdCtrls.h"
#include "platform/os/Messages.h"
#include "platform/os/Window.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Sets.h"
#include "platform/rtl/Types.h"

// ---- notifications ----

struct NMHDR {
  HWND hwndFrom = nullptr;
  UINT_PTR idFrom = 0;
  UINT code = 0;
};

constexpr UINT NM_FIRST = 0;
constexpr UINT NM_CLICK = NM_FIRST - 2;
constexpr UINT NM_DBLCLK = NM_FIRST - 3;
constexpr UINT NM_RETURN = NM_FIRST - 4;
constexpr UINT NM_RCLICK = NM_FIRST - 5;
constexpr UINT NM_RDBLCLK = NM_FIRST - 6;
constexpr UINT NM_SETFOCUS = NM_FIRST - 7;
constexpr UINT NM_KILLFOCUS = NM_FIRST - 8;
constexpr UINT NM_CUSTOMDRAW = NM_FIRST - 12;
constexpr UINT NM_HOVER = NM_FIRST - 13;

// ---- custom drawing ----

enum TCustomDrawTarget { dtControl, dtItem, dtSubItem };
enum TCustomDrawStage { cdPrePaint, cdPostPaint, cdPreErase, cdPostErase };
enum TCustomDrawStateFlag {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using TCustomDrawState = TSet<TCustomDrawStateFlag>;

// OnMouseWheelDown / OnMouseWheelUp: Handled stops the control's own scrolling.
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;

// How a tree or list keeps its items in order: as added, or sorted by data, text or both.
enum TSortType { stNone, stData, stText, stBoth };
const classes::TEnumInfo& EnumInfo(TSortType);

// ---- the header control ----

inline const char* const WC_HEADER = "SysHeader32";

constexpr UINT HDI_WIDTH = 0x0001;
constexpr UINT HDI_HEIGHT = HDI_WIDTH;
constexpr UINT HDI_TEXT = 0x0002;
constexpr UINT HDI_FORMAT = 0x0004;
constexpr UINT HDI_LPARAM = 0x0008;
constexpr UINT HDI_IMAGE = 0x0020;
constexpr UINT HDI_ORDER = 0x0080;

constexpr int HDF_LEFT = 0x0000;
constexpr int HDF_RIGHT = 0x0001;
constexpr int HDF_CENTER = 0x0002;
constexpr int HDF_JUSTIFYMASK = 0x0003;
constexpr int HDF_SORTDOWN = 0x0200;
constexpr int HDF_SORTUP = 0x0400;
constexpr int HDF_IMAGE = 0x0800;
constexpr int HDF_STRING = 0x4000;
constexpr int HDF_OWNERDRAW = 0x8000;

// One column title. pszText is the title itself (HDI_TEXT).
struct HDITEM {
  UINT mask = 0;
  int cxy = 0;
  std::string pszText;
  int fmt = 0;
  LPARAM lParam = 0;
  int iImage = -1;
  int iOrder = 0;
};

constexpr UINT HDM_FIRST = 0x1200;
// wParam 0; the number of items.
constexpr UINT HDM_GETITEMCOUNT = HDM_FIRST + 0;
// wParam the index to insert before (past the end appends), lParam HDITEM*; the new index or -1.
constexpr UINT HDM_INSERTITEM = HDM_FIRST + 1;
// wParam the index; TRUE when it existed.
constexpr UINT HDM_DELETEITEM = HDM_FIRST + 2;
// wParam the index, lParam HDITEM* whose mask says what to read / change; TRUE on success.
constexpr UINT HDM_GETITEM = HDM_FIRST + 3;
constexpr UINT HDM_SETITEM = HDM_FIRST + 4;
// lParam HDLAYOUT*: the header's place at the top of *prc, which shrinks by its height.
constexpr UINT HDM_LAYOUT = HDM_FIRST + 5;
// lParam HDHITTESTINFO*; the item index or -1.
constexpr UINT HDM_HITTEST = HDM_FIRST + 6;
// wParam the index, lParam TRect*; TRUE on success.
constexpr UINT HDM_GETITEMRECT = HDM_FIRST + 7;
// lParam the image list (HIMAGELIST) for item images; the previous one.
constexpr UINT HDM_SETIMAGELIST = HDM_FIRST + 8;

struct HDLAYOUT {
  TRect* prc = nullptr;
  WINDOWPOS* pwpos = nullptr;
};

constexpr UINT HHT_NOWHERE = 0x0001;
constexpr UINT HHT_ONHEADER = 0x0002;
constexpr UINT HHT_ONDIVIDER = 0x0004;
constexpr UINT HHT_TORIGHT = 0x0400;
constexpr UINT HHT_TOLEFT = 0x0800;
struct HDHITTESTINFO {
  TPoint pt;
  UINT flags = 0;
  int iItem = -1;
};

// Notifications the header sends to its parent (WM_NOTIFY, lParam NMHEADER*).
constexpr UINT HDN_FIRST = 0u - 300u;
constexpr UINT HDN_ITEMCHANGING = HDN_FIRST - 0;
constexpr UINT HDN_ITEMCHANGED = HDN_FIRST - 1;
constexpr UINT HDN_ITEMCLICK = HDN_FIRST - 2;
constexpr UINT HDN_ITEMDBLCLICK = HDN_FIRST - 3;
constexpr UINT HDN_DIVIDERDBLCLICK = HDN_FIRST - 5;
// A nonzero answer to HDN_BEGINTRACK refuses the sizing.
constexpr UINT HDN_BEGINTRACK = HDN_FIRST - 6;
constexpr UINT HDN_ENDTRACK = HDN_FIRST - 7;
constexpr UINT HDN_TRACK = HDN_FIRST - 8;
struct NMHEADER {
  NMHDR hdr;
  int iItem = -1;
  int iButton = 0;
  HDITEM* pitem = nullptr;
};

class TCustomImageList;
class TChangeLink;

namespace controls {

// Moves an image-list reference of Owner to Value: the change link and the free notification
// leave the old list and join the new one. False when nothing changed.
bool LinkImageList(TComponent* Owner, TCustomImageList*& Field, TCustomImageList* Value, TChangeLink* Link);

// Incremental search by typing, as trees and lists do it: the typed characters make a
// prefix until a pause of a second; typing one letter again steps to the next item with it.
class TTypeAhead {
 public:
  // Takes a typed character; false for one that does not search.
  bool Type(char32_t Ch);
  // The first of Count items, from Current on (after it for a new search or a repeated
  // letter), whose text starts with the prefix (ignoring case); -1 for none.
  int Find(int Current, int Count, const std::function<std::string(int)>& TextOf) const;

 private:
  std::string FPrefix;
  DWORD FTime = 0;
  bool FFromNext = true;
};

// The lines one wheel turn scrolls: the system's lines per notch (Page for the page mode)
// times the notches; positive towards the end.
int WheelLines(int WheelDelta, int Page);
// Fires OnMouseWheelDown / OnMouseWheelUp; answers Handled.
bool FireWheelEvent(const TMouseWheelUpDownEvent& Event, TObject* Sender, TShiftState Shift, TPoint MousePos);

// Registers the header window class (once); answers its name.
const char* HeaderClass();

// Sends a notification to a control's own window procedure as the class library reflects it
// (CN_NOTIFY with the notification record in lParam); answers the result.
LRESULT NotifySelf(HWND Wnd, NMHDR& Header, UINT Code);

// Draws a dotted line of every other pixel (the tree's connecting lines).
void DottedHLine(HDC DC, int X1, int X2, int Y, COLORREF Color);
void DottedVLine(HDC DC, int X, int Y1, int Y2, COLORREF Color);

// Draws the small up / down triangle of a sorted column inside R (centred).
void DrawSortTriangle(HDC DC, const TRect& R, bool Up, COLORREF Color);

// The editor a tree or a list opens over an item's label: a one-line edit with a thin border,
// in its host's font, that widens as the text grows (up to the host's right edge). While it
// has the keyboard focus its host stays the form's focused control. Enter accepts, Esc
// cancels, and losing the focus accepts; each tells the host once through OnDone, after the
// editor has let go of the focus.
class TLabelEdit : public TCustomEdit {
 public:
  explicit TLabelEdit(TWinControl* Host);

  // Loads Text (unchanged while the host asks who may edit) without showing the editor.
  void Load(const std::string& Text);
  // Shows the editor over Label (the host's client coordinates) with all its text selected,
  // and takes the focus when the host is shown. Centred: the editor grows to both sides of
  // the label's centre (labels under icons), else to the right.
  void Open(const TRect& Label, bool Centred);
  // Moves an open editor with its label.
  void Follow(const TRect& Label);
  // Hides the editor without telling; the focus goes back to the host when the editor had it.
  void Close();
  bool IsOpen() const { return FOpen; }

  // Cancel: Esc was pressed.
  std::function<void(bool Cancel)> OnDone;

 protected:
  void WndProc(TMessage& Message) override;
  void DestroyWnd() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void Change() override;

 private:
  // Sizes and places the editor for its text over FLabel.
  void Fit();
  void Done(bool Cancel);

  TWinControl* FHost;
  TRect FLabel;
  bool FCentred = false;
  bool FOpen = false;
};

}  // namespace controls
