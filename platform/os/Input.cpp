#include "platform/os/Input.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/os/Focus.h"
#include "platform/os/MessageLoop.h"
#include "platform/os/Presenter.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Strings.h"

using os::Manager;
using os::TInputEvent;
using os::TWindow;
using os::TWindowManager;

namespace {

constexpr LPARAM kAltContext = 1 << 29;
constexpr LPARAM kPreviousDown = 1 << 30;
constexpr LPARAM kTransitionUp = static_cast<LPARAM>(1u << 31);

int64_t Now() { return rtl::CurrentClock().MonotonicMs(); }

// Sets a key's state in a table: bit 7 while down, bit 0 toggled by each press. The left and
// right variants of Shift, Ctrl and Alt also move the generic key.
void ApplyKey(BYTE* keys, UINT vk, bool down) {
  auto set = [keys](UINT k, bool d) {
    BYTE& s = keys[k & 0xFF];
    if (d) {
      if (!(s & 0x80)) s ^= 1;
      s |= 0x80;
    } else {
      s &= static_cast<BYTE>(~0x80);
    }
  };
  set(vk, down);
  struct TPair {
    UINT Left, Right, Generic;
  };
  for (TPair p : {TPair{VK_LSHIFT, VK_RSHIFT, VK_SHIFT}, TPair{VK_LCONTROL, VK_RCONTROL, VK_CONTROL},
                  TPair{VK_LMENU, VK_RMENU, VK_MENU}})
    if (vk == p.Left || vk == p.Right) set(p.Generic, ((keys[p.Left] | keys[p.Right]) & 0x80) != 0);
}

bool Down(const BYTE* keys, UINT vk) { return (keys[vk & 0xFF] & 0x80) != 0; }

WPARAM MouseKeyState(const BYTE* keys) {
  WPARAM mk = 0;
  if (Down(keys, VK_LBUTTON)) mk |= MK_LBUTTON;
  if (Down(keys, VK_RBUTTON)) mk |= MK_RBUTTON;
  if (Down(keys, VK_MBUTTON)) mk |= MK_MBUTTON;
  if (Down(keys, VK_SHIFT)) mk |= MK_SHIFT;
  if (Down(keys, VK_CONTROL)) mk |= MK_CONTROL;
  return mk;
}

UINT ButtonKey(os::TMouseButton b) {
  switch (b) {
    case os::TMouseButton::Right: return VK_RBUTTON;
    case os::TMouseButton::Middle: return VK_MBUTTON;
    default: return VK_LBUTTON;
  }
}

// The client message of a pointer event.
UINT ClientMessage(const TInputEvent& ev) {
  if (ev.Kind == TInputEvent::MouseMove) return WM_MOUSEMOVE;
  const bool down = ev.Kind == TInputEvent::ButtonDown;
  switch (ev.Button) {
    case os::TMouseButton::Right: return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case os::TMouseButton::Middle: return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  }
}

// Client mouse messages and their non-client twins lie a fixed distance apart.
constexpr UINT kNcOffset = WM_MOUSEMOVE - WM_NCMOUSEMOVE;
// A button-down message and its double-click twin.
constexpr UINT kDblClkOffset = WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;

TPoint Confined(TWindowManager& m, TPoint p) {
  if (m.CursorClip) {
    p.X = std::clamp(p.X, m.CursorClip->Left, std::max(m.CursorClip->Left, m.CursorClip->Right - 1));
    p.Y = std::clamp(p.Y, m.CursorClip->Top, std::max(m.CursorClip->Top, m.CursorClip->Bottom - 1));
  }
  return p;
}

void QueueCooked(HWND wnd, const os::TCookedInput& cooked) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (!m.Find(wnd)) return;
  auto q = m.Queue(m.Find(wnd)->ThreadId, false);
  if (q) q->Cooked.push_back(cooked);
}

os::TCookedInput MakeMsg(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam, TPoint pt, int64_t time) {
  os::TCookedInput cooked;
  cooked.Msg.hwnd = wnd;
  cooked.Msg.message = message;
  cooked.Msg.wParam = wParam;
  cooked.Msg.lParam = lParam;
  cooked.Msg.pt = pt;
  cooked.Msg.time = static_cast<DWORD>(time);
  return cooked;
}

// Posts WM_MOUSELEAVE to the tracked window once the pointer is no longer over the tracked
// part of it.
void CheckTracking(HWND under, LRESULT hit) {
  auto& m = Manager();
  HWND tracked = nullptr;
  bool nonClient = false;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    tracked = m.Live(m.Tracking);
    if (!tracked) return;
    nonClient = (m.TrackingFlags & TME_NONCLIENT) != 0;
    bool inside = under == tracked && (nonClient ? hit != HTCLIENT : hit == HTCLIENT);
    if (inside) return;
    m.Tracking = nullptr;
    m.TrackingFlags = 0;
  }
  PostMessage(tracked, nonClient ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
}

bool RootDisabled(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.Root(m.Find(wnd));
  return w && (w->Style & WS_DISABLED);
}

void CookPointer(const TInputEvent& ev) {
  auto& m = Manager();
  TPoint pos;
  HWND capture = nullptr, focus = nullptr, active = nullptr;
  WPARAM keyState = 0;
  UINT buttonKey = 0;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    pos = Confined(m, ev.Pos);
    m.CursorPos = pos;
    if (ev.Kind == TInputEvent::ButtonDown || ev.Kind == TInputEvent::ButtonUp) {
      buttonKey = ButtonKey(ev.Button);
      ApplyKey(m.AsyncKeys, buttonKey, ev.Kind == TInputEvent::ButtonDown);
    }
    keyState = MouseKeyState(m.AsyncKeys);
    capture = m.Live(m.Capture);
    focus = m.Live(m.Focus);
    active = m.Live(m.Active);
  }
  if (ev.Kind == TInputEvent::Wheel) {
    HWND target = focus ? focus : active;
    if (target)
      QueueCooked(target, MakeMsg(target, WM_MOUSEWHEEL, MAKEWPARAM(static_cast<WORD>(keyState), static_cast<WORD>(ev.WheelDelta)),
                                  PointToLParam(pos), pos, ev.Time));
    return;
  }
  LRESULT hit = HTNOWHERE;
  HWND under = os::WindowAt(pos, &hit);
  CheckTracking(under, hit);
  HWND target = capture ? capture : under;
  LRESULT targetHit = capture ? HTCLIENT : hit;
  if (!target || !IsWindow(target)) return;
  UINT message = ClientMessage(ev);
  if (!capture) {
    // A window behind a modal one takes no input; it only shows that it refuses.
    if (RootDisabled(target)) {
      SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(HTERROR, message));
      return;
    }
    SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(static_cast<int>(targetHit), message));
    if (!IsWindow(target)) return;
    if (ev.Kind == TInputEvent::ButtonDown) {
      HWND top = GetAncestor(target, GA_ROOT);
      if (top && top != GetActiveWindow()) {
        LRESULT r = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                MAKELPARAM(static_cast<int>(targetHit), message));
        if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT) os::ActivateWindow(top, WA_CLICKACTIVE);
        if (r == MA_ACTIVATEANDEAT || r == MA_NOACTIVATEANDEAT || !IsWindow(target)) return;
      }
    }
  }
  const bool client = targetHit == HTCLIENT;
  if (ev.Kind == TInputEvent::ButtonDown) {
    const int cx = GetSystemMetrics(SM_CXDOUBLECLK), cy = GetSystemMetrics(SM_CYDOUBLECLK);
    std::lock_guard<std::mutex> lock(m.Lock);
    auto& last = m.LastClick;
    bool second = last.Button == message && last.Wnd == target && last.Client == client &&
                  ev.Time - last.Time <= static_cast<int64_t>(m.DoubleClickTime) &&
                  std::abs(pos.X - last.Pos.X) <= cx / 2 && std::abs(pos.Y - last.Pos.Y) <= cy / 2;
    TWindow* w = m.Find(target);
    if (second && (!client || (w && (w->Class->Info.style & CS_DBLCLKS)))) {
      message += kDblClkOffset;
      last = {};
    } else {
      last = {message, target, client, pos, ev.Time};
    }
  }
  os::TCookedInput cooked;
  if (client) {
    TPoint local = pos;
    ScreenToClient(target, &local);
    cooked = MakeMsg(target, message, keyState, PointToLParam(local), pos, ev.Time);
  } else {
    cooked = MakeMsg(target, message - kNcOffset, static_cast<WPARAM>(targetHit), PointToLParam(pos), pos, ev.Time);
  }
  if (buttonKey) {
    cooked.Key = buttonKey;
    cooked.KeyDown = ev.Kind == TInputEvent::ButtonDown;
  }
  QueueCooked(target, cooked);
}

void CookKey(const TInputEvent& ev) {
  auto& m = Manager();
  const bool down = ev.Kind == TInputEvent::KeyDown;
  HWND target = nullptr;
  bool wasDown = false, alt = false, ctrl = false, noFocus = false;
  TPoint pos;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    wasDown = Down(m.AsyncKeys, ev.Key);
    ApplyKey(m.AsyncKeys, ev.Key, down);
    alt = Down(m.AsyncKeys, VK_MENU);
    ctrl = Down(m.AsyncKeys, VK_CONTROL);
    HWND focus = m.Live(m.Focus);
    noFocus = !focus;
    target = focus ? focus : m.Live(m.Active);
    pos = m.CursorPos;
  }
  if (!target) return;
  const bool isAlt = ev.Key == VK_MENU || ev.Key == VK_LMENU || ev.Key == VK_RMENU;
  // Alt combinations, F10 and keys with no focus window at all are system keys.
  const bool sys = (alt && !ctrl) || isAlt || ev.Key == VK_F10 || noFocus;
  UINT message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  LPARAM lParam = 1 | (static_cast<LPARAM>(ev.ScanCode & 0xFF) << 16);
  if (alt) lParam |= kAltContext;
  if (down && wasDown) lParam |= kPreviousDown;
  if (!down) lParam |= kPreviousDown | kTransitionUp;
  os::TCookedInput cooked = MakeMsg(target, message, ev.Key, lParam, pos, ev.Time);
  cooked.Key = ev.Key;
  cooked.KeyDown = down;
  if (down) cooked.Text = ev.Text;
  QueueCooked(target, cooked);
}

void CookText(const TInputEvent& ev) {
  auto& m = Manager();
  HWND target = nullptr;
  TPoint pos;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    target = m.Live(m.Focus);
    if (!target) target = m.Live(m.Active);
    pos = m.CursorPos;
  }
  if (!target) return;
  for (size_t i = 0; i < ev.Text.size();) {
    char32_t c = rtl::NextCodePoint(ev.Text, i);
    QueueCooked(target, MakeMsg(target, WM_CHAR, c, 1, pos, ev.Time));
  }
}

void Cook(const TInputEvent& ev) {
  switch (ev.Kind) {
    case TInputEvent::MouseMove:
    case TInputEvent::ButtonDown:
    case TInputEvent::ButtonUp:
    case TInputEvent::Wheel:
      CookPointer(ev);
      break;
    case TInputEvent::KeyDown:
    case TInputEvent::KeyUp:
      CookKey(ev);
      break;
    case TInputEvent::Characters:
      CookText(ev);
      break;
    case TInputEvent::Close:
      PostMessage(ev.Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
    case TInputEvent::Activate:
      os::ActivateWindow(ev.Wnd, WA_ACTIVE);
      break;
    case TInputEvent::Deactivate:
      os::ActivateWindow(nullptr, WA_INACTIVE);
      break;
    case TInputEvent::Moved:
      SetWindowPos(ev.Wnd, nullptr, ev.Rect.Left, ev.Rect.Top, ev.Rect.Width(), ev.Rect.Height(),
                   SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    case TInputEvent::EndSession:
      os::EndSession(0);
      break;
    case TInputEvent::SettingChange:
      os::SendToTopLevelWindows(WM_SETTINGCHANGE, ev.Key, ev.Text.empty() ? 0 : reinterpret_cast<LPARAM>(ev.Text.c_str()));
      break;
    case TInputEvent::SysColorChange:
      os::SendToTopLevelWindows(WM_SYSCOLORCHANGE, 0, 0);
      break;
  }
}

// The state changes of a message being taken off the queue (Lock held).
void Taken(TWindowManager& m, const os::TCookedInput& c) {
  if (c.Key) ApplyKey(m.SyncKeys, c.Key, c.KeyDown);
  m.LastMessagePos = c.Msg.pt;
  m.LastMessageTime = c.Msg.time;
  if (c.Msg.message == WM_KEYDOWN || c.Msg.message == WM_SYSKEYDOWN) m.LastKey = {c.Msg, c.Text};
}

}  // namespace

namespace os {

DWORD InputThread() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.InputThread ? m.InputThread : static_cast<DWORD>(getpid());
}

void SetInputThread(DWORD threadId) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  m.InputThread = threadId;
}

void PostInput(TInputEvent ev) {
  DWORD thread = InputThread();
  auto& m = Manager();
  int64_t now = Now();
  std::lock_guard<std::mutex> lock(m.Lock);
  auto q = m.Queue(thread, true);
  if (ev.Time < 0) ev.Time = now;
  // Pointer moves that have not been looked at yet are merged: only the latest position counts.
  if (ev.Kind == TInputEvent::MouseMove && !q->Input.empty() && q->Input.back().Kind == TInputEvent::MouseMove &&
      q->Input.back().Time <= now && ev.Time <= now)
    q->Input.back() = ev;
  else
    q->Input.push_back(std::move(ev));
  q->Wake.notify_all();
}

TInputPeek PeekInputMessage(MSG* msg, const TMessageFilter& filter, bool remove) {
  auto q = CurrentQueue();
  auto& m = Manager();
  TInputEvent ev;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    for (auto it = q->Cooked.begin(); it != q->Cooked.end(); ++it) {
      if (!filter.Matches(it->Msg.hwnd, it->Msg.message)) continue;
      *msg = it->Msg;
      if (remove) {
        Taken(m, *it);
        q->Cooked.erase(it);
      }
      return TInputPeek::Found;
    }
    if (q->Cooking || q->Input.empty() || q->Input.front().Time > Now()) return TInputPeek::None;
    ev = std::move(q->Input.front());
    q->Input.pop_front();
  }
  // Pointer and key events become messages in their order, so the next one waits until this one
  // is made (a window procedure asked on the way may look at the queue). The other events only
  // act, and their handlers may run loops of their own that need the input after them.
  const bool ordered = ev.Kind <= TInputEvent::Characters;
  if (!ordered) {
    Cook(ev);
    return TInputPeek::Cooked;
  }
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    q->Cooking = true;
  }
  struct TDone {
    std::shared_ptr<TThreadQueue> Q;
    ~TDone() {
      std::lock_guard<std::mutex> lock(Manager().Lock);
      Q->Cooking = false;
    }
  } done{q};
  Cook(ev);
  return TInputPeek::Cooked;
}

bool HasInputWork(TThreadQueue& q, const TMessageFilter& filter, int64_t now) {
  for (const TCookedInput& c : q.Cooked)
    if (filter.Matches(c.Msg.hwnd, c.Msg.message)) return true;
  return !q.Cooking && !q.Input.empty() && q.Input.front().Time <= now;
}

std::optional<int64_t> InputDeadline(TThreadQueue& q) {
  if (q.Input.empty()) return std::nullopt;
  return q.Input.front().Time;
}

std::optional<int64_t> NextInputDeadline() {
  auto q = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return InputDeadline(*q);
}

std::optional<int64_t> NextWakeDeadline() {
  std::optional<int64_t> timer = NextTimerDeadline(), input = NextInputDeadline();
  if (timer && input) return std::min(*timer, *input);
  return timer ? timer : input;
}

BOOL TranslateKey(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return FALSE;
  std::string text;
  {
    auto& m = Manager();
    std::lock_guard<std::mutex> lock(m.Lock);
    const MSG& last = m.LastKey.Msg;
    if (last.hwnd != msg.hwnd || last.message != msg.message || last.wParam != msg.wParam ||
        last.lParam != msg.lParam || last.time != msg.time)
      return TRUE;
    text.swap(m.LastKey.Text);
  }
  UINT charMessage = msg.message == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR;
  for (size_t i = 0; i < text.size();) PostMessage(msg.hwnd, charMessage, rtl::NextCodePoint(text, i), msg.lParam);
  return TRUE;
}

void ResetInput() {
  auto q = CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  q->Input.clear();
  q->Cooked.clear();
  m.Active = m.Focus = m.Capture = m.Tracking = nullptr;
  m.TrackingFlags = 0;
  m.AppActive = false;
  std::fill(std::begin(m.SyncKeys), std::end(m.SyncKeys), BYTE{0});
  std::fill(std::begin(m.AsyncKeys), std::end(m.AsyncKeys), BYTE{0});
  m.LastClick = {};
  m.LastKey = {};
  m.CursorPos = TPoint(640, 512);
  m.CursorClip.reset();
  m.DoubleClickTime = 500;
}

}  // namespace os

SHORT GetKeyState(int vk) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  BYTE s = m.SyncKeys[vk & 0xFF];
  return static_cast<SHORT>((s & 0x80) ? (0xFF80 | (s & 1)) : (s & 1));
}

SHORT GetAsyncKeyState(int vk) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return static_cast<SHORT>(Down(m.AsyncKeys, static_cast<UINT>(vk)) ? 0x8000 : 0);
}

BOOL GetKeyboardState(BYTE* keyState) {
  if (!keyState) return FALSE;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  std::copy(std::begin(m.SyncKeys), std::end(m.SyncKeys), keyState);
  return TRUE;
}

HWND SetCapture(HWND wnd) {
  auto& m = Manager();
  HWND old = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    old = m.Live(m.Capture);
    if (!m.Find(wnd)) return old;
    m.Capture = wnd;
  }
  if (old == wnd) return old;
  if (old) SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(wnd));
  if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->CaptureChanged(wnd);
  return old;
}

BOOL ReleaseCapture() {
  auto& m = Manager();
  HWND old = nullptr;
  TPoint pos;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    old = m.Live(m.Capture);
    m.Capture = nullptr;
    pos = m.CursorPos;
  }
  if (!old) return TRUE;
  SendMessage(old, WM_CAPTURECHANGED, 0, 0);
  if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->CaptureChanged(nullptr);
  // The window now under the pointer hears of it, so it can set its cursor.
  TInputEvent move;
  move.Kind = TInputEvent::MouseMove;
  move.Pos = pos;
  os::PostInput(move);
  return TRUE;
}

HWND GetCapture() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Live(m.Capture);
}

BOOL GetCursorPos(TPoint* point) {
  if (!point) return FALSE;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  *point = m.CursorPos;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  TInputEvent move;
  move.Kind = TInputEvent::MouseMove;
  {
    auto& m = Manager();
    std::lock_guard<std::mutex> lock(m.Lock);
    m.CursorPos = Confined(m, TPoint(x, y));
    move.Pos = m.CursorPos;
  }
  os::PostInput(move);
  return TRUE;
}

BOOL ClipCursor(const TRect* rect) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (rect) {
    m.CursorClip = *rect;
    m.CursorPos = Confined(m, m.CursorPos);
  } else {
    m.CursorClip.reset();
  }
  return TRUE;
}

BOOL GetClipCursor(TRect* rect) {
  if (!rect) return FALSE;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  *rect = m.CursorClip ? *m.CursorClip : os::ScreenBounds();
  return TRUE;
}

UINT GetDoubleClickTime() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.DoubleClickTime;
}

BOOL SetDoubleClickTime(UINT ms) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  m.DoubleClickTime = ms ? ms : 500;
  return TRUE;
}

DWORD GetMessagePos() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(m.LastMessagePos.X), static_cast<WORD>(m.LastMessagePos.Y)));
}

LONG GetMessageTime() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return static_cast<LONG>(m.LastMessageTime);
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* track) {
  if (!track) return FALSE;
  auto& m = Manager();
  if (track->dwFlags & TME_QUERY) {
    std::lock_guard<std::mutex> lock(m.Lock);
    HWND tracked = m.Live(m.Tracking);
    track->hwndTrack = tracked;
    track->dwFlags = tracked ? (TME_LEAVE | m.TrackingFlags) : 0;
    track->dwHoverTime = 0;
    return TRUE;
  }
  if (!IsWindow(track->hwndTrack)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const DWORD part = track->dwFlags & TME_NONCLIENT;
  if (track->dwFlags & TME_CANCEL) {
    std::lock_guard<std::mutex> lock(m.Lock);
    if ((track->dwFlags & TME_LEAVE) && m.Tracking == track->hwndTrack && m.TrackingFlags == part) {
      m.Tracking = nullptr;
      m.TrackingFlags = 0;
    }
    return TRUE;
  }
  if (!(track->dwFlags & TME_LEAVE)) return TRUE;
  TPoint pos;
  GetCursorPos(&pos);
  LRESULT hit = HTNOWHERE;
  HWND under = os::WindowAt(pos, &hit);
  bool inside = under == track->hwndTrack && (part ? hit != HTCLIENT : hit == HTCLIENT);
  if (!inside) {
    PostMessage(track->hwndTrack, part ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0);
    return TRUE;
  }
  std::lock_guard<std::mutex> lock(m.Lock);
  m.Tracking = track->hwndTrack;
  m.TrackingFlags = part;
  return TRUE;
}
