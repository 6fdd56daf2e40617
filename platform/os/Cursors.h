#pragma once
// Cursors: the standard ones by their IDC_ identifiers, resource cursors by name, the cursor
// shown now (SetCursor) and the default WM_SETCURSOR processing. A standard cursor is a handle
// with no image behind it (os::StandardCursorId tells which it is, so a presenter shows its
// own); a resource cursor is an icon object (HCURSOR = HICON), either registered in code under
// its name or decoded from the .cur file built into the program under that name
// (resources/cursors/NAME.cur, see platform/classes/Resources.h).
#include <string>

#include "platform/rtl/Types.h"

// A resource identifier given as a number instead of a name.
inline const char* MAKEINTRESOURCE(int Id) { return reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<WORD>(Id))); }
inline bool IS_INTRESOURCE(const char* Name) { return (reinterpret_cast<uintptr_t>(Name) >> 16) == 0; }

inline const char* const IDC_ARROW = MAKEINTRESOURCE(32512);
inline const char* const IDC_IBEAM = MAKEINTRESOURCE(32513);
inline const char* const IDC_WAIT = MAKEINTRESOURCE(32514);
inline const char* const IDC_CROSS = MAKEINTRESOURCE(32515);
inline const char* const IDC_UPARROW = MAKEINTRESOURCE(32516);
inline const char* const IDC_SIZE = MAKEINTRESOURCE(32640);
inline const char* const IDC_ICON = MAKEINTRESOURCE(32641);
inline const char* const IDC_SIZENWSE = MAKEINTRESOURCE(32642);
inline const char* const IDC_SIZENESW = MAKEINTRESOURCE(32643);
inline const char* const IDC_SIZEWE = MAKEINTRESOURCE(32644);
inline const char* const IDC_SIZENS = MAKEINTRESOURCE(32645);
inline const char* const IDC_SIZEALL = MAKEINTRESOURCE(32646);
inline const char* const IDC_NO = MAKEINTRESOURCE(32648);
inline const char* const IDC_HAND = MAKEINTRESOURCE(32649);
inline const char* const IDC_APPSTARTING = MAKEINTRESOURCE(32650);
inline const char* const IDC_HELP = MAKEINTRESOURCE(32651);

constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;

// A standard cursor (Instance nullptr and an IDC_ identifier), else the resource cursor
// registered under Name (a name, or MAKEINTRESOURCE of a number), else the built-in cursor file
// of that name ("12.cur" for MAKEINTRESOURCE(12)), decoded once at the cursor size and shared
// from then on (monochrome ones invert the screen where their masks say so). nullptr, with
// ERROR_RESOURCE_NAME_NOT_FOUND, when there is none or its file is damaged.
HCURSOR LoadCursor(HINSTANCE Instance, const char* Name);
// Shows Cursor (nullptr: none); returns the previous one.
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
// The display counter: the cursor shows while it is 0 or more.
int ShowCursor(BOOL Show);

namespace os {

// Makes a cursor image known to LoadCursor under Name ("#12" for MAKEINTRESOURCE(12)).
void RegisterCursorResource(const std::string& Name, HCURSOR Cursor);
// The IDC_ number of a standard cursor, 0 for any other handle.
int StandardCursorId(HCURSOR Cursor);
// WM_SETCURSOR's default processing: the parent first (it answers TRUE to decide), then the
// class cursor over the client area, the sizing cursors over a sizing border, the arrow
// elsewhere; a press on a window that refuses input (HTERROR) beeps.
LRESULT DefSetCursor(HWND Wnd, WPARAM CursorWnd, LPARAM HitAndMessage);

}  // namespace os
