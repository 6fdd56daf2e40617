#include "platform/os/MessageLoop.h"

#include <chrono>
#include <optional>

#include "platform/os/Painting.h"
#include "platform/os/Presenter.h"
#include "platform/os/WindowManager.h"
#include "platform/rtl/Clock.h"

namespace {

using TFilter = os::TMessageFilter;

// The matching timer with the earliest deadline (due or not), or nullptr (Lock held).
os::TTimerEntry* EarliestTimer(os::TThreadQueue& q, const TFilter& f) {
  os::TTimerEntry* best = nullptr;
  for (auto& t : q.Timers)
    if (f.Matches(t.Wnd, WM_TIMER) && (!best || t.Due < best->Due)) best = &t;
  return best;
}

bool HasWork(os::TWindowManager& m, os::TThreadQueue& q, const TFilter& f, int64_t now) {
  if (!q.Sent.empty() || q.QuitPosted) return true;
  for (const MSG& msg : q.Posted)
    if (f.Matches(msg.hwnd, msg.message)) return true;
  if (os::HasInputWork(q, f, now)) return true;
  const bool paintInRange = (f.Min == 0 && f.Max == 0) || (WM_PAINT >= f.Min && WM_PAINT <= f.Max);
  if (paintInRange && f.Wnd != HWND_THREAD_ONLY && os::PaintPendingLocked(m, q, f.Wnd)) return true;
  os::TTimerEntry* t = EarliestTimer(q, f);
  return t && t->Due <= now;
}

// The next moment something becomes due: a timer, or input held back until its time.
std::optional<int64_t> NextDeadline(os::TThreadQueue& q, const TFilter& f) {
  std::optional<int64_t> next = os::InputDeadline(q);
  if (os::TTimerEntry* t = EarliestTimer(q, f); t && (!next || t->Due < *next)) next = t->Due;
  return next;
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
    if (HasWork(m, *q, f, now)) return;
    std::optional<int64_t> due = NextDeadline(*q, f);
    auto* virtualClock = dynamic_cast<rtl::VirtualClock*>(&clock);
    if (due && virtualClock) {
      lock.unlock();
      virtualClock->AdvanceTo(*due);
      return;
    }
    if (due) {
      q->Wake.wait_for(lock, std::chrono::milliseconds(*due - now));
    } else {
      q->Wake.wait(lock);
    }
  }
}

}  // namespace

BOOL PeekMessage(MSG* msg, HWND wnd, UINT filterMin, UINT filterMax, UINT removeMsg) {
  TFilter f{wnd, filterMin, filterMax};
  bool remove = (removeMsg & PM_REMOVE) != 0;
  auto q = os::CurrentQueue();
  auto& m = os::Manager();
  for (;;) {
    os::ProcessSentMessages();
    {
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
        msg->time = static_cast<DWORD>(rtl::CurrentClock().MonotonicMs());
        if (remove) q->QuitPosted = false;
        return TRUE;
      }
    }
    // Input next: turning an event into messages may post some, which come first.
    os::TInputPeek input = os::PeekInputMessage(msg, f, remove);
    if (input == os::TInputPeek::Found) return TRUE;
    if (input == os::TInputPeek::Cooked) continue;
    break;
  }
  // Painting when nothing else is queued, before timers.
  if (os::PeekPaintMessage(msg, wnd, filterMin, filterMax)) return TRUE;
  int64_t now = rtl::CurrentClock().MonotonicMs();
  {
    std::lock_guard<std::mutex> lock(m.Lock);
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
  }
  // Nothing left: the presenter is shown what was painted.
  os::FlushPresentation();
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

BOOL TranslateMessage(const MSG* msg) { return msg ? os::TranslateKey(*msg) : FALSE; }

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
  if (msg->message == WM_PAINT) {
    // A window that does not validate its update region would be asked to paint forever.
    uint64_t cookie = os::PaintCookie(msg->hwnd);
    LRESULT result = SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
    os::AfterPaint(msg->hwnd, cookie);
    return result;
  }
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

namespace os {

void ResetThreadQueue() {
  ResetInput();
  auto q = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  q->Posted.clear();
  q->QuitPosted = false;
  q->QuitCode = 0;
  std::erase_if(q->Timers, [](const TTimerEntry& t) { return t.Wnd == nullptr; });
}

}  // namespace os
