#include "platform/os/WindowManager.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>

#include "platform/os/MessageLoop.h"

namespace os {

bool TNoCaseLess::operator()(const std::string& a, const std::string& b) const {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

namespace {

// A handle packs the slot's generation (high half) and index + 1 (low half): a reused slot
// gets a new generation, so an old handle no longer matches.
HWND MakeHandle(uint32_t index, uint32_t generation) {
  uint64_t v = (static_cast<uint64_t>(generation) << 32) | (static_cast<uint64_t>(index) + 1);
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(v));
}

bool SplitHandle(HWND wnd, uint32_t& index, uint32_t& generation) {
  uint64_t v = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(wnd));
  uint32_t low = static_cast<uint32_t>(v & 0xFFFFFFFFu);
  if (low == 0) return false;
  index = low - 1;
  generation = static_cast<uint32_t>(v >> 32);
  return true;
}

// Drops a thread's queue when the thread ends (not for the main thread, whose queue lives
// until the process ends so that windows freed during static destruction still find it).
pthread_key_t gThreadKey;
pthread_once_t gThreadKeyOnce = PTHREAD_ONCE_INIT;

void ThreadEnded(void* value) {
  DWORD tid = static_cast<DWORD>(reinterpret_cast<uintptr_t>(value));
  auto& m = Manager();
  std::deque<std::shared_ptr<TSentMessage>> orphans;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    if (auto q = m.Queue(tid, false)) orphans.swap(q->Sent);
    m.DropQueue(tid);
    // Senders waiting on this thread get 0 rather than waiting forever.
    for (auto& s : orphans) FinishSent(*s);
  }
}

void MakeThreadKey() { pthread_key_create(&gThreadKey, ThreadEnded); }

}  // namespace

TWindow* TWindowManager::Find(HWND wnd) {
  uint32_t index = 0, generation = 0;
  if (!SplitHandle(wnd, index, generation) || index >= FSlots.size()) return nullptr;
  TSlot& slot = FSlots[index];
  if (slot.Generation != generation || !slot.Window) return nullptr;
  return slot.Window.get();
}

TWindow* TWindowManager::FindOrFail(HWND wnd) {
  TWindow* w = Find(wnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

HWND TWindowManager::Add(std::unique_ptr<TWindow> window) {
  uint32_t index;
  if (!FFree.empty()) {
    index = FFree.back();
    FFree.pop_back();
  } else {
    index = static_cast<uint32_t>(FSlots.size());
    FSlots.emplace_back();
  }
  TSlot& slot = FSlots[index];
  HWND h = MakeHandle(index, slot.Generation);
  window->Handle = h;
  slot.Window = std::move(window);
  return h;
}

std::unique_ptr<TWindow> TWindowManager::Remove(HWND wnd) {
  uint32_t index = 0, generation = 0;
  if (!Find(wnd)) return nullptr;
  SplitHandle(wnd, index, generation);
  TSlot& slot = FSlots[index];
  std::unique_ptr<TWindow> w = std::move(slot.Window);
  // Generation 0 never occurs, so every handle value stays distinct from a null low part.
  if (++slot.Generation == 0) slot.Generation = 1;
  FFree.push_back(index);
  return w;
}

std::vector<HWND> TWindowManager::OwnedBy(HWND owner) {
  std::lock_guard<std::mutex> lock(Lock);
  std::vector<HWND> result;
  for (const TSlot& slot : FSlots)
    if (slot.Window && slot.Window->Owner == owner && !slot.Window->Destroying) result.push_back(slot.Window->Handle);
  return result;
}

std::shared_ptr<TThreadQueue> TWindowManager::Queue(DWORD threadId, bool create) {
  auto it = FQueues.find(threadId);
  if (it != FQueues.end()) return it->second;
  if (!create) return nullptr;
  auto q = std::make_shared<TThreadQueue>();
  q->ThreadId = threadId;
  FQueues.emplace(threadId, q);
  return q;
}

void TWindowManager::DropQueue(DWORD threadId) { FQueues.erase(threadId); }

TWindow* TWindowManager::Root(TWindow* w) {
  while (w && w->Parent) {
    TWindow* parent = Find(w->Parent);
    if (!parent) break;
    w = parent;
  }
  return w;
}

TPoint TWindowManager::OriginInRoot(TWindow* w) {
  TPoint p;
  while (w && w->Parent) {
    TWindow* parent = Find(w->Parent);
    if (!parent) break;
    p.X += w->WindowRect.Left + parent->Client.Left;
    p.Y += w->WindowRect.Top + parent->Client.Top;
    w = parent;
  }
  return p;
}

TPoint TWindowManager::ScreenOrigin(TWindow* w) {
  TPoint p = OriginInRoot(w);
  if (TWindow* root = Root(w)) {
    p.X += root->WindowRect.Left;
    p.Y += root->WindowRect.Top;
  }
  return p;
}

bool TWindowManager::IsShown(TWindow* w) {
  for (; w; w = Find(w->Parent)) {
    if (!(w->Style & WS_VISIBLE) || w->MessageOnly) return false;
    if (!w->Parent) return true;
  }
  return false;
}

bool TWindowManager::IsWithin(TWindow* w, HWND ancestor) {
  for (; w; w = Find(w->Parent))
    if (w->Handle == ancestor) return true;
  return false;
}

bool TMessageFilter::Matches(HWND target, UINT msg) const {
  if (Wnd == HWND_THREAD_ONLY) {
    if (target) return false;
  } else if (Wnd && target != Wnd) {
    return false;
  }
  return (Min == 0 && Max == 0) || (msg >= Min && msg <= Max);
}

TWindowManager& Manager() {
  // Never destroyed: windows and timers may be released by other objects' static destructors.
  static TWindowManager* manager = new TWindowManager;
  return *manager;
}

std::shared_ptr<TThreadQueue> CurrentQueue() {
  DWORD tid = GetCurrentThreadId();
  auto& m = Manager();
  std::shared_ptr<TThreadQueue> q;
  bool made = false;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    q = m.Queue(tid, false);
    if (!q) {
      q = m.Queue(tid, true);
      made = true;
    }
  }
  if (made && static_cast<pid_t>(tid) != getpid()) {
    pthread_once(&gThreadKeyOnce, MakeThreadKey);
    pthread_setspecific(gThreadKey, reinterpret_cast<void*>(static_cast<uintptr_t>(tid)));
  }
  return q;
}

TWindow* FindWindowRecord(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.Find(wnd);
  return w && w->ThreadId == GetCurrentThreadId() ? w : nullptr;
}

void ProcessSentMessages() {
  auto q = CurrentQueue();
  auto& m = Manager();
  for (;;) {
    std::shared_ptr<TSentMessage> s;
    WNDPROC proc;
    {
      std::lock_guard<std::mutex> lock(m.Lock);
      if (q->Sent.empty()) return;
      s = q->Sent.front();
      q->Sent.pop_front();
      if (TWindow* w = m.Find(s->Wnd)) proc = w->Proc;
    }
    LRESULT result = 0;
    std::exception_ptr error;
    try {
      if (proc) result = (*proc)(s->Wnd, s->Msg, s->WParam, s->LParam);
    } catch (...) {
      error = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(m.Lock);
    s->Result = result;
    s->Error = error;
    FinishSent(*s);
  }
}

void FinishSent(TSentMessage& sent) {
  sent.Done = true;
  if (sent.Sender) sent.Sender->Wake.notify_all();
}

void PurgeWindow(TWindowManager& m, HWND wnd, DWORD threadId) {
  auto q = m.Queue(threadId, false);
  if (!q) return;
  std::erase_if(q->Posted, [wnd](const MSG& msg) { return msg.hwnd == wnd; });
  std::erase_if(q->Timers, [wnd](const TTimerEntry& t) { return t.Wnd == wnd; });
  std::erase_if(q->Sent, [wnd](const std::shared_ptr<TSentMessage>& s) {
    if (s->Wnd != wnd) return false;
    FinishSent(*s);
    return true;
  });
  std::erase_if(q->Cooked, [wnd](const TCookedInput& c) { return c.Msg.hwnd == wnd; });
  std::erase(q->PaintPending, wnd);
  std::erase(m.TopLevels, wnd);
  m.ToPresent.erase(wnd);
  for (HWND* ref : {&m.Active, &m.Focus, &m.Capture, &m.Tracking, &m.LastClick.Wnd, &m.LastKey.Msg.hwnd})
    if (*ref == wnd) *ref = nullptr;
}

}  // namespace os
