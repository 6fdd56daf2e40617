#pragma once
// The clipboard, in-process: one set of formats with their global memory blocks, opened by one
// window (or the program) at a time. CF_TEXT holds UTF-8 text (the layer's only narrow text),
// CF_UNICODETEXT UTF-16; each is made from the other when asked for. Registered formats share
// their numbers with registered window messages. When a bridge is installed (the X11 presenter
// makes one for the desktop's clipboard), text put on the clipboard is published to it when
// the clipboard is closed, and text is read from it while the program's clipboard holds none.
#include <optional>
#include <string>

#include "platform/os/GlobalMemory.h"
#include "platform/rtl/Types.h"

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT CF_HDROP = 15;
constexpr UINT CF_LOCALE = 16;

constexpr DWORD ERROR_CLIPBOARD_NOT_OPEN = 1418;

// FALSE when another window has it open.
BOOL OpenClipboard(HWND NewOwner);
BOOL CloseClipboard();
// Frees every format; the window that opened the clipboard becomes its owner.
BOOL EmptyClipboard();
// The clipboard takes the block over (the caller must not free it); returns it, nullptr when
// the clipboard is not open.
HANDLE SetClipboardData(UINT Format, HANDLE Mem);
// The block of a format (owned by the clipboard, valid until it changes); nullptr when absent
// or the clipboard is not open.
HANDLE GetClipboardData(UINT Format);
BOOL IsClipboardFormatAvailable(UINT Format);
int CountClipboardFormats();
// The format after Format in the clipboard's order (0 starts); 0 at the end.
UINT EnumClipboardFormats(UINT Format);
UINT RegisterClipboardFormat(const std::string& Name);
// The name of a registered format ("" for others).
std::string GetClipboardFormatName(UINT Format);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Counts the clipboard's changes.
DWORD GetClipboardSequenceNumber();

namespace os {

// The desktop's clipboard as seen from the program (text only).
class TClipboardBridge {
 public:
  virtual ~TClipboardBridge() = default;
  // The program put Text on the clipboard: offer it to the desktop.
  virtual void Publish(const std::string& Text) = 0;
  // Text another program holds, when there is some.
  virtual std::optional<std::string> ExternalText() = 0;
};
// Installs the bridge (not owned; nullptr removes it).
void SetClipboardBridge(TClipboardBridge* Bridge);
// Another program took the desktop's clipboard: the program's own contents are dropped, so
// reading asks the bridge.
void ClipboardLost();
// Empties the clipboard and closes it (between tests).
void ResetClipboard();

}  // namespace os
