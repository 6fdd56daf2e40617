#pragma once
// The edit window class ("EDIT") and the class library's edits over it: TCustomEdit / TEdit
// (one line) and TCustomMemo / TMemo (several lines, Lines bound to the text).
//
// The edit window keeps its text as code points: every position, selection and length that
// its messages take or answer counts characters (code points), never bytes, so a Chinese
// character is one position. WM_GETTEXT / WM_SETTEXT carry UTF-8. The window paints itself
// (text, selection, the cue banner of an empty edit and a blinking caret it draws itself) and
// tells its parent of changes with WM_COMMAND (EN_CHANGE ...). Its colours come from the
// parent's answer to WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when read-only or disabled); when the
// parent leaves it unanswered, the edit asks itself with CN_CTLCOLOREDIT / CN_CTLCOLORSTATIC,
// which the class library's edits answer with their Font and Color.
#include <functional>
#include <memory>
#include <string>

#include "platform/classes/Alignment.h"
#include "platform/classes/StringList.h"
#include "platform/controls/Controls.h"
#include "platform/controls/Forms.h"

// ---- edit styles ----
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_OEMCONVERT = 0x0400;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

// ---- edit messages ----
constexpr UINT EM_GETSEL = 0x00B0;        // wParam/lParam: int* start / end (may be null); result both packed
constexpr UINT EM_SETSEL = 0x00B1;        // wParam start, lParam end (-1: the end); start -1 removes the selection
constexpr UINT EM_GETRECT = 0x00B2;       // lParam: TRect* the formatting rectangle
constexpr UINT EM_SETRECT = 0x00B3;       // lParam: TRect* (nullptr: back to the default); repaints
constexpr UINT EM_SETRECTNP = 0x00B4;     // the same without repainting
constexpr UINT EM_SCROLL = 0x00B5;        // wParam SB_LINEUP/DOWN, SB_PAGEUP/DOWN; result MAKELRESULT(lines, TRUE)
constexpr UINT EM_LINESCROLL = 0x00B6;    // wParam characters, lParam lines
constexpr UINT EM_SCROLLCARET = 0x00B7;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LINEINDEX = 0x00BB;     // wParam line (-1: the caret's); the index of its first character, -1 when none
constexpr UINT EM_LINELENGTH = 0x00C1;    // wParam a character index (-1: the unselected rest of the selection's lines)
constexpr UINT EM_REPLACESEL = 0x00C2;    // wParam can undo, lParam const char* UTF-8
constexpr UINT EM_GETLINE = 0x00C4;       // wParam line, lParam std::string* receiving it
constexpr UINT EM_LIMITTEXT = 0x00C5;     // wParam characters (0: no limit)
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_CANUNDO = 0x00C6;
constexpr UINT EM_UNDO = 0x00C7;
constexpr UINT EM_LINEFROMCHAR = 0x00C9;  // wParam index (-1: the caret's line)
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;  // wParam a code point, 0 shows the text
constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
constexpr UINT EM_GETFIRSTVISIBLELINE = 0x00CE;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETPASSWORDCHAR = 0x00D2;
constexpr UINT EM_SETMARGINS = 0x00D3;    // wParam EC_* flags, lParam MAKELONG(left, right)
constexpr UINT EM_GETMARGINS = 0x00D4;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
constexpr UINT EM_POSFROMCHAR = 0x00D6;   // wParam index; result the client point packed
constexpr UINT EM_CHARFROMPOS = 0x00D7;   // lParam a client point; result MAKELONG(index, line)
constexpr UINT ECM_FIRST = 0x1500;
constexpr UINT EM_SETCUEBANNER = ECM_FIRST + 1;  // wParam show while focused, lParam const char* UTF-8
constexpr UINT EM_GETCUEBANNER = ECM_FIRST + 2;  // lParam std::string* receiving it
constexpr WPARAM EC_LEFTMARGIN = 0x0001;
constexpr WPARAM EC_RIGHTMARGIN = 0x0002;
constexpr WPARAM EC_USEFONTINFO = 0xFFFF;

// ---- notifications (the high word of WM_COMMAND's wParam) ----
constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr WORD EN_HSCROLL = 0x0601;
constexpr WORD EN_VSCROLL = 0x0602;

// Colour queries: wParam the DC to set the text and background colours on, lParam the edit
// window; the answer is the background brush (0: not answered).
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

namespace controls {
// The name of the edit window class; registered on first use (RegisterEditClass).
inline constexpr const char* EditClassName = "EDIT";
void RegisterEditClass();
// The text on the clipboard (CF_TEXT, made valid UTF-8); empty when there is none.
std::string ClipboardText(HWND Owner);
// How long the caret stays on, then off (ms).
inline constexpr UINT CaretBlinkTime = 530;
}  // namespace controls

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
const classes::TEnumInfo& EnumInfo(TEditCharCase);
const classes::TEnumInfo& EnumInfo(TScrollStyle);

// ---- TCustomEdit ----

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool Value) { FAutoSelect = Value; }
  // With bsSingle the height follows the font.
  void SetAutoSize(bool Value) override;
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // Characters (code points); 0: no limit. Typing and pasting stop there; Text is not cut.
  int MaxLength() const { return FMaxLength; }
  virtual void SetMaxLength(int Value);
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool Value) { FOEMConvert = Value; }
  // A code point shown for every character (0: the text itself). Copying and cutting are
  // refused while it is set.
  char32_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char32_t Value);
  bool ReadOnly() const { return FReadOnly; }
  virtual void SetReadOnly(bool Value);
  // The user changed the text since it was set (or since Modified was cleared).
  bool Modified();
  void SetModified(bool Value);
  // The selection in characters; setting SelStart empties it.
  int SelStart();
  void SetSelStart(int Value);
  int SelLength();
  void SetSelLength(int Value);
  std::string SelText();
  // Replaces the selection (undoably), the caret after the new text.
  void SetSelText(const std::string& Value);
  bool CanUndo();

  void Clear();
  void ClearSelection();
  void ClearUndo();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SelectAll();
  void Undo();
  // The selected text into Buffer (at most BufSize - 1 bytes and a terminating 0); the length.
  int GetSelTextBuf(char* Buffer, int BufSize);
  void SetSelTextBuf(const char* Buffer) { SetSelText(Buffer ? Buffer : ""); }

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  void DoEnter() override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;
  // The height fitted to the font (AutoSize with bsSingle).
  void AdjustHeight();
  int FittedHeight();
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  virtual void CNCommand(TMessage& Message);
  virtual void CNCtlColor(TMessage& Message);
  void CMTextChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMEnter(TMessage& Message) override;
  void WMSetFont(TMessage& Message);
  // Recreates the window (styles that only window creation takes).
  void UpdateStyle();
  // Sends a message to the window when it exists; answers 0 otherwise.
  LRESULT SendIfAllocated(UINT Msg, WPARAM WParam, LPARAM LParam);

 private:
  int FMaxLength = 0;
  TBorderStyle FBorderStyle = bsSingle;
  char32_t FPasswordChar = 0;
  bool FReadOnly = false;
  bool FAutoSelect = true;
  bool FHideSelection = true;
  bool FOEMConvert = false;
  TEditCharCase FCharCase = ecNormal;
  bool FCreating = false;
  bool FModified = false;  // kept while the window is recreated
  bool FLoadedHeight = false;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

// ---- TCustomMemo ----

class TCustomMemo;

namespace controls {
// The memo's lines: the text split at its line breaks (not at word-wrap points); changing
// them rewrites the text.
class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* Memo) : FMemo(Memo) {}
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const std::string& S) override;
  std::string Text() const override;
  void SetText(const std::string& Value) override;

 protected:
  std::string Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const std::string& S) override;
  void SetUpdateState(bool Updating) override;

 private:
  std::vector<std::string> Split() const;
  void Join(const std::vector<std::string>& Lines);
  TCustomMemo* FMemo;
  bool FUpdating = false;
};
}  // namespace controls

class TCustomMemo : public TCustomEdit {
 public:
  explicit TCustomMemo(TComponent* AOwner);
  ~TCustomMemo() override;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TStrings* Lines() const { return FLines.get(); }
  void SetLines(TStrings* Value) { FLines->Assign(Value); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  // The caret as (column, line), both from 0, lines as the window shows them.
  TPoint CaretPos();
  void SetCaretPos(TPoint Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void KeyPress(char32_t& Key) override;
  void Dispatch(TMessage& Message) override;
  void WMMouseWheel(TMessage& Message) override;

 private:
  std::unique_ptr<controls::TMemoStrings> FLines;
  TAlignment FAlignment = taLeftJustify;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* AOwner) : TCustomMemo(AOwner) {}
};
