#pragma once
// The list box and the combo box.
//
// TCustomListBox keeps its items (texts, objects, selection flags, measured heights) in the
// control, so they survive the window being re-created, and does the list's own work where a
// standard window class would: painting, the vertical scroll bar of the non-client area, mouse
// and keyboard selection, type-ahead, the wheel and the LB_* messages. That default work runs
// in DefaultHandler, after the control's events, so a descendant sees every message first.
// The user's selection changes and double clicks are reported as LBN_SELCHANGE / LBN_DBLCLK
// (WM_COMMAND to the parent window, reflected back as CN_COMMAND: OnClick, OnDblClick).
// Owner-drawn items go through CN_DRAWITEM / CN_MEASUREITEM to DrawItem / MeasureItem.
//
// TCustomComboBox holds its items in a list box of its own that drops down as a pop-up
// window (WS_POPUP, shown without activation) below the combo, or above it when the work area
// has no room below. While it is down the list holds the mouse capture: a press outside it
// closes it (the press goes no further), a release on an item chooses it; Enter chooses the
// highlighted item, Esc and the loss of the focus close it without a choice. The combo reports
// CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK / CBN_SELENDCANCEL, CBN_CLOSEUP and
// CBN_EDITCHANGE as CN_COMMAND (OnDropDown, OnClick + OnSelect, OnCloseUp, OnChange) and
// answers the CB_* messages.
//
// The editable styles (csDropDown, csSimple) have an edit part: a child window of the "EDIT"
// class over the text area, which the combo subclasses (EditWndProc) so that the combo's keys,
// focus handling and auto-complete come first. The caret, typing, selection and clipboard are
// the edit window's; the user's changes are reported as CBN_EDITUPDATE and CBN_EDITCHANGE, the
// program's (Text, ItemIndex) are not. The combo counts as focused while its edit part is.
#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdCtrls.h"

// ---- messages and styles of list boxes and combo boxes (the owner-drawn item records are
// in Messages.h) ----

constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_INSERTSTRING = 0x0181;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETSEL = 0x0185;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_SELECTSTRING = 0x018C;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_FINDSTRING = 0x018F;
constexpr UINT LB_GETSELCOUNT = 0x0190;
constexpr UINT LB_GETSELITEMS = 0x0191;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;
constexpr UINT LB_GETITEMDATA = 0x0199;
constexpr UINT LB_SETITEMDATA = 0x019A;
constexpr UINT LB_SELITEMRANGE = 0x019B;
constexpr UINT LB_SETANCHORINDEX = 0x019C;
constexpr UINT LB_GETANCHORINDEX = 0x019D;
constexpr UINT LB_SETCARETINDEX = 0x019E;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_SETITEMHEIGHT = 0x01A0;
constexpr UINT LB_GETITEMHEIGHT = 0x01A1;
constexpr UINT LB_FINDSTRINGEXACT = 0x01A2;
constexpr UINT LB_SETCOUNT = 0x01A7;
constexpr UINT LB_ITEMFROMPOINT = 0x01A9;
constexpr LRESULT LB_OKAY = 0;
constexpr LRESULT LB_ERR = -1;

constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_SELCANCEL = 3;
constexpr WORD LBN_SETFOCUS = 4;
constexpr WORD LBN_KILLFOCUS = 5;

constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_MULTIPLESEL = 0x0008;
constexpr DWORD LBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD LBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD LBS_HASSTRINGS = 0x0040;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_NODATA = 0x2000;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_SETEXTENDEDUI = 0x0155;
constexpr UINT CB_GETEXTENDEDUI = 0x0156;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETTOPINDEX = 0x015B;
constexpr UINT CB_SETTOPINDEX = 0x015C;
constexpr UINT CB_GETDROPPEDWIDTH = 0x015F;
constexpr UINT CB_SETDROPPEDWIDTH = 0x0160;
constexpr UINT CBM_FIRST = 0x1700;
// lParam const char* UTF-8: the grey text an empty combo shows (its edit part's cue banner).
constexpr UINT CB_SETCUEBANNER = CBM_FIRST + 3;
// lParam std::string* receiving it.
constexpr UINT CB_GETCUEBANNER = CBM_FIRST + 4;
constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;

constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;

// ---- shared types ----

enum TOwnerDrawStateFlag {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using TOwnerDrawState = TSet<TOwnerDrawStateFlag>;
// The owner-draw state of an item state word (ODS_*).
TOwnerDrawState OwnerDrawState(UINT ItemState);

using TDrawItemEvent = std::function<void(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
// The text of an item of a virtual list box.
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, std::string& Data)>;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
const classes::TEnumInfo& EnumInfo(TListBoxStyle);

namespace controls {
class TListItems;
class TComboListBox;

// The first item at or after Start (wrapping round; Start -1 = from the first) whose text
// begins with Prefix (Exact: equals Text), letter case ignored; -1 when none.
int FindItemText(const TStrings& Items, const std::string& Text, int Start, bool Exact);
// Sends CN_DRAWITEM for an item (Index -1: none) drawn in Rect of DC, clipped to it.
void SendDrawItem(TWinControl* Target, HWND Wnd, HDC DC, int Index, const TRect& Rect, UINT State, UINT CtlType,
                  TObject* Object);
}  // namespace controls

// ---- the list box ----

class TCustomListBox : public TWinControl {
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  // The items; assigning copies the strings and objects.
  TStrings* Items() const;
  void SetItems(TStrings* Value);
  void AddItem(const std::string& Item, TObject* AObject);
  void Clear();

  // The selected item (-1: none); with MultiSelect the item that has the focus rectangle, and
  // setting it selects that item alone. Setting it reports nothing (no OnClick).
  int ItemIndex() const;
  void SetItemIndex(int Value);
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  // With MultiSelect: Shift extends the selection from the anchor and Ctrl toggles an item
  // (otherwise every click toggles one).
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool Selected(int Index) const;
  void SetSelected(int Index, bool Value);
  int SelCount() const;
  void ClearSelection();
  void SelectAll();
  void DeleteSelected();

  // The first item shown.
  int TopIndex() const { return FTopIndex; }
  void SetTopIndex(int Value);
  // The height of a row: the font's for lbStandard and lbVirtual, ItemHeight for the owner
  // -drawn styles (the default for lbOwnerDrawVariable, whose rows MeasureItem sizes).
  int ItemHeight();
  void SetItemHeight(int Value);
  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  // Items sorted by text, letter case ignored; Add puts an item in its place.
  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  // The number of items of the virtual styles (their texts come from OnData).
  int Count() const;
  void SetCount(int Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  // The item at a client point; -1 outside the items. With Existing false a point below the
  // last item answers the index one past it.
  int ItemAtPos(TPoint Pos, bool Existing);
  // The client rectangle of an item (empty when it is not in the list).
  TRect ItemRect(int Index);
  // How many whole rows the client area shows from TopIndex.
  int VisibleRows();
  // The height of one item's row (measured once for lbOwnerDrawVariable).
  int HeightOf(int Index);
  TCanvas* Canvas() const { return FCanvas.get(); }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  // Draws an item of the owner-drawn styles on Canvas (OnDrawItem when assigned, else the
  // text); the canvas has the font and the selection colours already.
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  virtual std::string DoGetData(int Index);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  virtual void CNCommand(TMessage& Message);
  void WMMouseWheel(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  // Reports a user action (LBN_*) to the parent window.
  void Notify(WORD Code);
  // The user's selection of an item as a click or a key does it (Shift extends, Ctrl
  // toggles under ExtendedSelect); reports LBN_SELCHANGE when the selection changed.
  void SelectByUser(int Index, TShiftState Shift, bool Toggle);
  // Moves TopIndex so that Index is shown.
  void MakeVisible(int Index);
  // The list was changed by its items (hooks for the combo box's list).
  virtual void ItemsChanged() {}
  virtual void ItemDeleting(int Index, TObject* AObject);
  bool HasFocusLook() const { return FFocusLook; }
  void SetFocusLook(bool Value);
  // The item the keyboard works on (the focus rectangle).
  int CaretIndex() const { return FCaret; }
  void SetCaretIndex(int Value);
  // Keyboard navigation as the list does it by default; true when the key was one of its own.
  bool NavigateByKey(WORD Key, TShiftState Shift);
  // Type-ahead: the next item beginning with the typed characters; true when one was found.
  bool SelectByChar(char32_t Key);
  // Paints the items and the empty area below into DC (client coordinates).
  void PaintList(HDC DC);
  // Sends CN_DRAWITEM for an owner-drawn item to Target (this list unless a combo draws it).
  void DrawOwnerItem(HDC DC, int Index, const TRect& Rect, UINT State, UINT CtlType, TWinControl* Target);
  bool IsOwnerDraw() const;
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  void UpdateScrollBar();
  int MaxTopIndex();
  bool IsTracking() const { return FTracking; }
  void StopTracking();

 private:
  friend class controls::TListItems;
  void ItemInserted(int Index);
  void ItemDeleted(int Index);
  void ItemsCleared();
  void ItemChanged(int Index);
  void ListChanged();
  void MouseSelect(TMessage& Message, bool Down);
  void TrackTo(TPoint Pos);
  void HandleVScroll(WORD Code, int Pos);
  LRESULT ListMessage(TMessage& Message);
  int FindIndex(const std::string& Text, int Start, bool Exact) const;
  bool SetSelectionRange(int From, int To, bool Only);

  std::unique_ptr<controls::TListItems> FItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  TListBoxStyle FStyle = lbStandard;
  TBorderStyle FBorderStyle = bsSingle;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
  int FItemHeight = 16;
  int FTopIndex = 0;
  int FItemIndex = -1;  // single selection
  int FCaret = -1;
  int FAnchor = -1;
  bool FFocusLook = false;
  bool FTracking = false;
  std::string FTypeAhead;
  LONG FTypeAheadTime = 0;
  bool FInScrollUpdate = false;
  bool FWindowScrollBar = true;  // the window was made with WS_VSCROLL
};

class TListBox : public TCustomListBox {
 public:
  explicit TListBox(TComponent* AOwner) : TCustomListBox(AOwner) {}
};

// ---- the combo box ----

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
const classes::TEnumInfo& EnumInfo(TComboBoxStyle);

class TCustomComboBox : public TWinControl {
 public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;

  TStrings* Items() const;
  void SetItems(TStrings* Value);
  void AddItem(const std::string& Item, TObject* AObject);
  void Clear();
  // The chosen item (-1: none). Setting it shows the item's text and reports nothing.
  int ItemIndex() const;
  void SetItemIndex(int Value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  bool Sorted() const;
  void SetSorted(bool Value);
  // Rows the dropped-down list shows before it scrolls.
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) { FDropDownCount = std::max(1, Value); }
  bool DroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool Value);
  // The least width of the dropped-down list (CB_SETDROPPEDWIDTH); it is never narrower than
  // the combo.
  int DroppedWidth() const { return FDroppedWidth; }
  // Row height of the list: the font's for the standard styles, ItemHeight for the owner-drawn
  // ones.
  int ItemHeight();
  virtual void SetItemHeight(int Value);
  // Type-ahead in the list styles; in the editable ones, a character typed at the end of the
  // text completes it to the first item beginning with the text, the completed tail selected.
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  // A typed key (other than Backspace and Esc) drops the list down; Tab closes it.
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool Value) { FAutoDropDown = Value; }
  // The edit part (editable styles with a window; nullptr otherwise).
  HWND EditHandle() const { return FEditHandle; }
  // The focus is on the combo, its edit part or its list.
  bool Focused() const;
  // The letter case the edit part converts the text to.
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  // Characters (code points) the user may type into the edit part (CB_LIMITTEXT); 0: no limit.
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  // The selection of the edit part in characters (CB_GETEDITSEL / CB_SETEDITSEL); setting
  // SelStart empties it. Nothing for the list styles.
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  std::string SelText();
  // Replaces the selection of the edit part (reported as an edit change, as typing is).
  void SetSelText(const std::string& Value);
  void SelectAll();
  // The dropped-down list (for its window, its rows and its top index).
  TCustomListBox* ListBox() const;
  TCanvas* Canvas() const { return FCanvas.get(); }
  // The rectangles of the client area: the drop button and the text part between the frame
  // and the button.
  TRect ButtonRect();
  TRect TextRect();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int Index, TRect Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  virtual void CNCommand(TMessage& Message);
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  // The messages of the edit part, before its window class: the combo's key events (OnKeyDown,
  // OnKeyPress, OnKeyUp), its own keys (the list, the arrows stepping the choice), the focus
  // and auto-complete; the rest goes on to DefaultEditHandler. A descendant that handles the
  // edit part's messages overrides this and calls it for what it leaves alone.
  virtual void EditWndProc(TMessage& Message);
  void KeyPress(char32_t& Key) override;
  // Hands a message to the edit window class itself.
  void DefaultEditHandler(TMessage& Message);
  void WMMouseWheel(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;
  void CMRecreateWnd(TMessage& Message) override;
  // Reports a combo notification (CBN_*) to the parent window.
  void Notify(WORD Code);
  bool IsListStyle() const { return FStyle != csDropDown && FStyle != csSimple; }
  bool IsOwnerDraw() const { return FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable; }
  // The height the combo takes for its font (the edit row and its frame).
  int FixedHeight();
  // Takes the fixed height again (or the height asked for, for csSimple).
  void AdjustHeight();
  void LayoutSimpleList();

 private:
  friend class controls::TComboListBox;
  void ShowDropDown();
  void HideDropDown(bool Accept);
  void ChangeSelection(int Index, bool ByUser);
  void StepSelection(int Delta, bool ToEnd);
  bool HandleKey(WORD Key, TShiftState Shift);
  void PaintCombo(HDC DC);
  void ListItemsChanged();
  void ListItemDeleting(int Index, TObject* AObject);
  std::string ItemText(int Index) const;
  LRESULT ComboMessage(TMessage& Message, bool& Handled);
  int EditHeight();
  void CreateEditWindow();
  void DestroyEditWindow();
  void LayoutEdit();
  // Shows Text in the edit part (all of it selected) without reporting a change.
  void SetEditText(const std::string& Text);
  std::string EditText() const;
  void EditCommand(WORD Code);
  bool AutoCompleteChar(char32_t Ch);
  void LoseFocus();
  // Answers the edit part's colour query.
  LRESULT EditColor(HDC DC);

  controls::TComboListBox* FListBox = nullptr;  // owned by this combo
  std::unique_ptr<TControlCanvas> FCanvas;
  TComboBoxStyle FStyle = csDropDown;
  int FSavedIndex = -1;  // the choice when the list dropped down
  int FDropDownCount = 8;
  int FDroppedWidth = 0;
  int FItemHeight = 16;
  int FRequestedHeight = 0;
  bool FDroppedDown = false;
  bool FExtendedUI = false;
  bool FAutoComplete = true;
  bool FAutoDropDown = false;
  bool FButtonPressed = false;
  bool FFocusLook = false;
  std::string FTypeAhead;
  LONG FTypeAheadTime = 0;
  HWND FEditHandle = nullptr;
  WNDPROC FEditInstance;  // the combo's procedure for the edit part
  WNDPROC FDefEditProc;   // the edit window class's
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  std::string FCueBanner;
  bool FSettingEditText = false;
};

class TComboBox : public TCustomComboBox {
 public:
  explicit TComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}
};
