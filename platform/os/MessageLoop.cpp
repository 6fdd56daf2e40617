#include "platform/os/MessageLoop.h"

#include <chrono>

#include "platform/os/WindowManager.h"
#include "platform/rtl/Clock.h"

namespace {

struct TFilter {
  HWND Wnd;
  UINT Min;
  UINT Max;
  bool Matches(HWND wnd, UINT msg) const {
    if (Wnd == HWND_THREAD_ONLY) {
      if (wnd) return false;
    } else if (Wnd && wnd != Wnd) {
      return false;
    }
    return (Min == 0 && Max == 0) || (msg >= Min && msg <= Max);
  }
};

// The matching timer with the earliest deadline (due or not), or nullptr (Lock held).
os::TTimerEntry* EarliestTimer(os::TThreadQueue& q, const TFilter& f) {
  os::TTimerEntry* best = nullptr;
  for (auto& t : q.Timers)
    if (f.Matches(t.Wnd, WM_TIMER) && (!best || t.Due < best->Due)) best = &t;
  return best;
}

bool HasWork(os::TThreadQueue& q, const TFilter& f, int64_t now) {
  if (!q.Sent.empty() || q.QuitPosted) return true;
  for (const MSG& msg : q.Posted)
    if (f.Matches(msg.hwnd, msg.message)) return true;
  os::TTimerEntry* t = EarliestTimer(q, f);
  return t && t->Due <= now;
}

// Blocks until there is something for the filter: real time sleeps on the queue's condition
// until a post or the next deadline; virtual time jumps to the next deadline.
void WaitForWork(const TFilter& f) {
  auto q = os::CurrentQueue();
  auto& m = os::Manager();
  rtl::Clock& clock = rtl::CurrentClock();
  std::unique_lock<std::mutex> lock(m.Lock);
  for (;;) {
    int64_t now = clock.MonotonicMs();
    if (HasWork(*q, f, now)) return;
    os::TTimerEntry* t = EarliestTimer(*q, f);
    auto* virtualClock = dynamic_cast<rtl::VirtualClock*>(&clock);
    if (t && virtualClock) {
      int64_t due = t->Due;
      lock.unlock();
      virtualClock->AdvanceTo(due);
      return;
    }
    if (t) {
      q->Wake.wait_for(lock, std::chrono::milliseconds(t->Due - now));
    } else {
      q->Wake.wait(lock);
    }
  }
}

}  // namespace

BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  os::ProcessSentMessages();
  TFilter f{wnd, filterMin, filterMax};
  bool remove = (removeMsg & PM_REMOVE) != 0;
  auto q = os::CurrentQueue();
  auto& m = os::Manager();
  int64_t now = rtl::CurrentClock().MonotonicMs();
  std::lock_guard<std::mutex> lock(m.Lock);
  for (auto it = q->Posted.begin(); it != q->Posted.end(); ++it) {
    if (!f.Matches(it->hwnd, it->message)) continue;
    *msg = *it;
    if (remove) q->Posted.erase(it);
    return TRUE;
  }
  if (q->QuitPosted) {
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = static_cast<WPARAM>(q->QuitCode);
    msg->time = static_cast<DWORD>(now);
    if (remove) q->QuitPosted = false;
    return TRUE;
  }
  // Painting, once windows paint, is made here: after the quit request, before timers.
  os::TTimerEntry* t = EarliestTimer(*q, f);
  if (t && t->Due <= now) {
    *msg = MSG{};
    msg->hwnd = t->Wnd;
    msg->message = WM_TIMER;
    msg->wParam = t->Id;
    msg->lParam = reinterpret_cast<LPARAM>(t->Proc);
    msg->time = static_cast<DWORD>(now);
    if (remove) {
      // The next tick keeps to the period's grid; ticks missed by a busy loop are dropped.
      t->Due += ((now - t->Due) / t->Period + 1) * t->Period;
    }
    return TRUE;
  }
  return FALSE;
}

BOOL GetMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax) {
  for (;;) {
    if (PeekMessage(msg, wnd, filterMin, filterMax, PM_REMOVE)) return msg->message != WM_QUIT;
    WaitForWork(TFilter{wnd, filterMin, filterMax});
  }
}

BOOL WaitMessage() {
  WaitForWork(TFilter{nullptr, 0, 0});
  return TRUE;
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg) return 0;
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    // Only a procedure the timer still has is called: the parameter of a queued message is
    // not trusted as a code address.
    TIMERPROC proc = nullptr;
    {
      auto q = os::CurrentQueue();
      auto& m = os::Manager();
      std::lock_guard<std::mutex> lock(m.Lock);
      for (const auto& t : q->Timers)
        if (t.Wnd == msg->hwnd && t.Id == msg->wParam && reinterpret_cast<LPARAM>(t.Proc) == msg->lParam) proc = t.Proc;
    }
    if (proc) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (!msg->hwnd) return 0;
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

namespace os {

void ResetThreadQueue() {
  auto q = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  q->Posted.clear();
  q->QuitPosted = false;
  q->QuitCode = 0;
  std::erase_if(q->Timers, [](const TTimerEntry& t) { return t.Wnd == nullptr; });
}

}  // namespace os
