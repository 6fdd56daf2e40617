#pragma once
// Message boxes and the small standard dialogs: MessageBox (the window manager's box with
// MB_* flags, answering ID*), MessageDlg / ShowMessage (the class library's, answering mr*),
// InputQuery / InputBox (one line of text).
//
// Each runs a modal form with its text wrapped to a readable width, a drawn icon and a row of
// buttons; the box is sized to its text and centred on its owner form (the active one) or,
// without one, on the screen, and stays above its owner. The message loop keeps running while
// it is up (timers fire). Esc and the close box answer the cancel button where there is one
// (IDOK for a box with only OK); boxes without a cancel answer neither.
//
// Tests answer them without a window: dialogs::SetAnswerHook installs a function that receives
// every request and gives its answer instead of the modal form (tests/support/ScriptedAnswers.h
// wraps it with a queue of expected boxes and a record of those shown).
#include <functional>
#include <string>

#include "platform/os/SystemMetrics.h"
#include "platform/os/Window.h"
#include "platform/rtl/Sets.h"

// MessageBox flags: the buttons (MB_OK in SystemMetrics.h with the icons), the default button.
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
// MessageBox answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows Text in a modal box titled Caption with the buttons and icon of Flags; answers the
// ID of the button chosen. Owner (may be nil) is the window the box stays above and is
// centred on.
int MessageBox(HWND Owner, const std::string& Text, const std::string& Caption, UINT Flags);

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using TMsgDlgButtons = TSet<TMsgDlgBtn>;
inline constexpr TMsgDlgButtons mbYesNoCancel{mbYes, mbNo, mbCancel};
inline constexpr TMsgDlgButtons mbYesAllNoAllCancel{mbYes, mbYesToAll, mbNo, mbNoToAll, mbCancel};
inline constexpr TMsgDlgButtons mbOKCancel{mbOK, mbCancel};
inline constexpr TMsgDlgButtons mbAbortRetryIgnore{mbAbort, mbRetry, mbIgnore};
inline constexpr TMsgDlgButtons mbAbortIgnore{mbAbort, mbIgnore};

// Shows Msg with the type's icon and caption ("Warning", "Error", "Information", "Confirm";
// the application's title for mtCustom) and the buttons in the order of TMsgDlgBtn; answers
// the chosen button's modal result (mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore,
// mrAll, mrNoToAll, mrYesToAll). OK (else Yes) is the default button; Esc answers Cancel,
// else No, else OK when present. HelpCtx is kept for the help button, which answers nothing.
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// Msg with an OK button, titled with the application's title.
void ShowMessage(const std::string& Msg);
// Asks for one line of text in a box titled ACaption: APrompt above an edit offering Value,
// all of it selected, and OK / Cancel. OK or Enter replace Value by what was typed (true);
// Cancel, Esc or closing leave it unchanged (false).
bool InputQuery(const std::string& ACaption, const std::string& APrompt, std::string& Value);
// InputQuery's text, or ADefault when cancelled.
std::string InputBox(const std::string& ACaption, const std::string& APrompt, const std::string& ADefault);

namespace dialogs {

enum class TDialogKind { MessageBox, MessageDlg, InputQuery };

// What a dialog was asked to show.
struct TDialogRequest {
  TDialogKind Kind = TDialogKind::MessageBox;
  std::string Text;     // the message, or the input prompt
  std::string Caption;  // the title as shown
  UINT Flags = 0;       // MessageBox: its MB_* flags
  TMsgDlgType DlgType = mtCustom;  // MessageDlg (ShowMessage: mtCustom with mbOK)
  TMsgDlgButtons Buttons;          // MessageDlg
  std::string Value;    // InputQuery: the value offered
};

// The answer: MessageBox an ID*, MessageDlg an mr*, InputQuery mrOk (Value taken) or
// mrCancel.
struct TDialogAnswer {
  int Result = 0;
  std::string Value;
};

using TAnswerHook = std::function<TDialogAnswer(const TDialogRequest& Request)>;
// While a hook is set, every dialog asks it instead of showing a window; an empty hook
// restores the windows.
void SetAnswerHook(TAnswerHook Hook);
bool HasAnswerHook();
// The hook set now (to put it back after replacing it for a while).
TAnswerHook AnswerHook();

}  // namespace dialogs
