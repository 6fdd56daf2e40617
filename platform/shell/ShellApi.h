#pragma once
// The shell calls the program makes: ShellExecuteA (starting programs and documents),
// SHFileOperationA (deleting to the trash) and Shell_NotifyIconA (the tray icon and balloons).
#include <cstdint>

#include "platform/os/Messages.h"
#include "platform/rtl/Types.h"


// ---- ShellExecuteA ------------------------------------------------------------------------
// Starts a program or opens a document, detached. The Windows programs the system names are
// mapped (see shell::MapShellExecute): "X.exe" beside the executable starts "X",
// "shutdown.exe -s -f -t 10" powers the machine off after 10 seconds, "explorer.exe
// /e,/select,PATH" shows PATH in the desktop's file manager. Answers a value above 32 on
// success, else the shell's error code (2 file not found, 3 path not found, 31 no association).
HINSTANCE ShellExecuteA(HWND hwnd, const char* lpOperation, const char* lpFile, const char* lpParameters,
                        const char* lpDirectory, int nShowCmd);

// ---- SHFileOperationA ---------------------------------------------------------------------
constexpr UINT FO_MOVE = 1;
constexpr UINT FO_COPY = 2;
constexpr UINT FO_DELETE = 3;
constexpr UINT FO_RENAME = 4;
using FILEOP_FLAGS = WORD;
constexpr FILEOP_FLAGS FOF_SILENT = 0x0004;
constexpr FILEOP_FLAGS FOF_NOCONFIRMATION = 0x0010;
constexpr FILEOP_FLAGS FOF_ALLOWUNDO = 0x0040;
constexpr FILEOP_FLAGS FOF_FILESONLY = 0x0080;
constexpr FILEOP_FLAGS FOF_NOERRORUI = 0x0400;

struct SHFILEOPSTRUCTA {
  HWND hwnd;
  UINT wFunc;
  const char* pFrom;  // names, each ended by a zero, the list ended by a second zero
  const char* pTo;
  FILEOP_FLAGS fFlags;
  BOOL fAnyOperationsAborted;
  void* hNameMappings;
  const char* lpszProgressTitle;
};

// FO_DELETE moves every named item to the user's trash (shell::CurrentTrash()); with or
// without FOF_ALLOWUNDO nothing is ever deleted outright. 0 when every item was moved, else
// non-zero (2 when an item does not exist). Other functions are not offered (120).
int SHFileOperationA(SHFILEOPSTRUCTA* lpFileOp);

// ---- Shell_NotifyIconA --------------------------------------------------------------------
constexpr DWORD NIM_ADD = 0;
constexpr DWORD NIM_MODIFY = 1;
constexpr DWORD NIM_DELETE = 2;
constexpr DWORD NIM_SETFOCUS = 3;
constexpr DWORD NIM_SETVERSION = 4;

constexpr UINT NIF_MESSAGE = 0x01;
constexpr UINT NIF_ICON = 0x02;
constexpr UINT NIF_TIP = 0x04;
constexpr UINT NIF_STATE = 0x08;
constexpr UINT NIF_INFO = 0x10;

// Balloon icon kinds (dwInfoFlags).
constexpr DWORD NIIF_NONE = 0;
constexpr DWORD NIIF_INFO = 1;
constexpr DWORD NIIF_WARNING = 2;
constexpr DWORD NIIF_ERROR = 3;
constexpr DWORD NIIF_USER = 4;

// Notices about balloons, sent like mouse messages (lParam) to the callback message.
constexpr UINT NIN_BALLOONSHOW = WM_USER + 2;
constexpr UINT NIN_BALLOONHIDE = WM_USER + 3;
constexpr UINT NIN_BALLOONTIMEOUT = WM_USER + 4;
constexpr UINT NIN_BALLOONUSERCLICK = WM_USER + 5;

// How many characters the texts of an icon hold: the tooltip, the balloon's text and title.
constexpr int NOTIFY_TIP_CHARS = 127;
constexpr int NOTIFY_INFO_CHARS = 255;
constexpr int NOTIFY_TITLE_CHARS = 63;
// Bytes of a text member: that many characters of UTF-8 (up to 4 bytes each) and a zero.
constexpr int NotifyTextBytes(int Chars) { return 4 * (Chars + 1); }

// The record of an icon. uID is pointer-sized here, so that a component can be its own
// identifier; the callback message carries it in wParam and the mouse message in lParam.
// The texts are UTF-8, each ended by a zero.
struct NOTIFYICONDATAA {
  DWORD cbSize;
  HWND hWnd;
  UINT_PTR uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  char szTip[NotifyTextBytes(NOTIFY_TIP_CHARS)];
  DWORD dwState;
  DWORD dwStateMask;
  char szInfo[NotifyTextBytes(NOTIFY_INFO_CHARS)];
  union {
    UINT uTimeout;  // balloon time-out in milliseconds
    UINT uVersion;  // NIM_SETVERSION
  };
  char szInfoTitle[NotifyTextBytes(NOTIFY_TITLE_CHARS)];
  DWORD dwInfoFlags;
};

// Adds, changes or removes an icon of the notification area (shell::CurrentTrayHost() shows
// it). NIM_ADD fails for an icon that exists, NIM_MODIFY, NIM_DELETE and NIM_SETVERSION for
// one that does not. NIF_INFO with a text shows a balloon (replacing the one showing), with
// an empty text hides it.
BOOL Shell_NotifyIconA(DWORD dwMessage, NOTIFYICONDATAA* lpData);
