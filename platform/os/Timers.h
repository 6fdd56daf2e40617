#pragma once
// Window timers. A timer belongs to the thread of its window (or to the calling thread for a
// window-less timer); its WM_TIMER is made when the thread's queue holds nothing else and the
// timer is due, so a slow loop sees one tick, not a backlog. Deadlines follow the program's
// monotonic clock; under the virtual clock an idle loop moves time to the next deadline.
#include <cstdint>
#include <optional>

#include "platform/rtl/Types.h"

// Called by DispatchMessage for a timer set with a procedure: (window, WM_TIMER, id, tick count).
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);

constexpr UINT USER_TIMER_MINIMUM = 0x0000000A;
constexpr UINT USER_TIMER_MAXIMUM = 0x7FFFFFFF;

// Sets or re-sets (restarting its period) the timer IDEvent of Wnd. The period is clamped to
// [USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM]. With a null window a thread timer is made: IDEvent
// names an existing one to re-set, otherwise a new identifier is returned. Returns 0 when Wnd
// is not a live window of the calling thread.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IDEvent, UINT Elapse, TIMERPROC TimerFunc);
// Stops the timer; FALSE when there was none.
BOOL KillTimer(HWND Wnd, UINT_PTR IDEvent);

namespace os {
// The earliest deadline (monotonic ms) of the calling thread's timers, if it has any.
std::optional<int64_t> NextTimerDeadline();
}  // namespace os
