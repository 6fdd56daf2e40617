#pragma once
// Retrieving and dispatching queued messages. The order in which a thread sees its messages:
// messages sent from other threads (run at once), posted messages in order, the quit request,
// input (mouse and keyboard, see Input.h), WM_PAINT for windows with something to repaint
// (Painting.h), then due timers (earliest deadline first). When nothing is left the presenter
// is shown what was painted.
#include <cstdint>

#include "platform/os/Timers.h"
#include "platform/os/Window.h"

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
// As a PeekMessage / GetMessage window filter: only thread messages (no window).
inline HWND const HWND_THREAD_ONLY = reinterpret_cast<HWND>(static_cast<intptr_t>(-1));

// Looks for a message of the window (nullptr: any of the thread, with thread messages) in the
// range [FilterMin, FilterMax] (both 0: every message). WM_QUIT passes any filter.
BOOL PeekMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax, UINT RemoveMsg);
// Waits for a message as PeekMessage filters them; FALSE when it is WM_QUIT.
BOOL GetMessage(MSG* Msg, HWND Wnd, UINT FilterMin, UINT FilterMax);
// Blocks until a message is there. An idle thread sleeps until a post or its next timer
// deadline (no polling); under the virtual clock it moves time to that deadline instead.
BOOL WaitMessage();
// Posts the characters of the key-down message just taken (WM_CHAR, WM_SYSCHAR for a system
// key; wParam is the character's code point). A key-down message that is not translated
// types nothing, as on the platform. Nonzero for key messages.
BOOL TranslateMessage(const MSG* Msg);
// Hands the message to its window's procedure (a timer procedure for a WM_TIMER that has one).
LRESULT DispatchMessage(const MSG* Msg);

namespace os {
// Forgets the calling thread's posted messages, quit request and window-less timers, so that
// a test starts on an empty queue whatever the previous one left behind.
void ResetThreadQueue();
}  // namespace os
