#include "platform/os/Timers.h"

#include <algorithm>

#include "platform/os/WindowManager.h"
#include "platform/rtl/Clock.h"

UINT_PTR SetTimer(HWND wnd, UINT_PTR idEvent, UINT elapse, TIMERPROC timerFunc) {
  auto queue = os::CurrentQueue();
  auto& m = os::Manager();
  elapse = std::clamp(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
  int64_t due = rtl::CurrentClock().MonotonicMs() + elapse;
  std::lock_guard<std::mutex> lock(m.Lock);
  if (wnd) {
    os::TWindow* w = m.Find(wnd);
    if (!w || w->ThreadId != GetCurrentThreadId()) {
      SetLastError(w ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
  }
  auto& timers = queue->Timers;
  auto it = std::find_if(timers.begin(), timers.end(),
                         [&](const os::TTimerEntry& t) { return t.Wnd == wnd && t.Id == idEvent; });
  if (it == timers.end() && !wnd) {
    // A new thread timer gets an identifier no other thread timer has.
    do {
      idEvent = queue->NextThreadTimerId++;
      if (idEvent == 0) idEvent = queue->NextThreadTimerId++;
    } while (std::any_of(timers.begin(), timers.end(),
                         [&](const os::TTimerEntry& t) { return !t.Wnd && t.Id == idEvent; }));
  }
  if (it == timers.end()) {
    timers.push_back(os::TTimerEntry{wnd, idEvent, elapse, due, timerFunc});
  } else {
    it->Period = elapse;
    it->Due = due;
    it->Proc = timerFunc;
  }
  queue->Wake.notify_all();
  return wnd && idEvent == 0 ? 1 : idEvent;
}

BOOL KillTimer(HWND wnd, UINT_PTR idEvent) {
  auto& m = os::Manager();
  DWORD thread = GetCurrentThreadId();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (wnd) {
    os::TWindow* w = m.FindOrFail(wnd);
    if (!w) return FALSE;
    thread = w->ThreadId;
  }
  auto queue = m.Queue(thread, false);
  if (!queue) return FALSE;
  auto removed = std::erase_if(queue->Timers, [&](const os::TTimerEntry& t) { return t.Wnd == wnd && t.Id == idEvent; });
  return removed ? TRUE : FALSE;
}

namespace os {

std::optional<int64_t> NextTimerDeadline() {
  auto queue = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  std::optional<int64_t> next;
  for (const TTimerEntry& t : queue->Timers)
    if (!next || t.Due < *next) next = t.Due;
  return next;
}

}  // namespace os
