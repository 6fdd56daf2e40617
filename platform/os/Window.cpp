#include "platform/os/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/os/WindowManager.h"

using os::Manager;
using os::TWindow;

namespace {

// The class of hidden utility windows.
const char* const kUtilWindowClass = "TPUtilWindow";

void EnsureUtilClass() {
  WNDCLASS existing;
  if (GetClassInfo(nullptr, kUtilWindowClass, &existing)) return;
  WNDCLASS wc;
  wc.lpfnWndProc = MakeWndProc(DefWindowProc);
  wc.lpszClassName = kUtilWindowClass;
  RegisterClass(wc);
}

// Calls f on the record of a live window under the lock; false (ERROR_INVALID_WINDOW_HANDLE)
// when there is none.
template <class F>
bool WithWindow(HWND wnd, F&& f) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return false;
  f(*w);
  return true;
}

void Unlink(TWindow& w) {
  auto& m = Manager();
  if (TWindow* parent = m.Find(w.Parent)) std::erase(parent->Children, w.Handle);
}

}  // namespace

WNDPROC MakeWndProc(TWndProcFunc func) { return std::make_shared<const TWndProcFunc>(std::move(func)); }

WNDPROC MakeObjectInstance(TWndMethod method) {
  return MakeWndProc([method = std::move(method)](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    TMessage message{msg, w, l, 0};
    method(message);
    return message.Result;
  });
}

void FreeObjectInstance(WNDPROC& proc) { proc.reset(); }

ATOM RegisterClass(const WNDCLASS& wndClass) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  if (wndClass.lpszClassName.empty() || m.Classes.count(wndClass.lpszClassName)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  auto cls = std::make_shared<os::TWindowClass>();
  cls->Info = wndClass;
  m.Classes.emplace(wndClass.lpszClassName, std::move(cls));
  return m.NextAtom++;
}

BOOL UnregisterClass(const std::string& className, HINSTANCE) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Classes.erase(className) ? TRUE : FALSE;
}

BOOL GetClassInfo(HINSTANCE, const std::string& className, WNDCLASS* wndClass) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  auto it = m.Classes.find(className);
  if (it == m.Classes.end()) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return FALSE;
  }
  if (wndClass) *wndClass = it->second->Info;
  return TRUE;
}

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
  auto& m = Manager();
  os::CurrentQueue();  // the creating thread owns the window and needs a queue
  HWND handle = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    auto it = m.Classes.find(className);
    if (it == m.Classes.end()) {
      SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    auto w = std::make_unique<TWindow>();
    w->ThreadId = GetCurrentThreadId();
    w->Class = it->second;
    w->Style = style;
    w->ExStyle = exStyle;
    w->Text = windowName;
    w->Proc = it->second->Info.lpfnWndProc;
    if (parent == HWND_MESSAGE) {
      w->MessageOnly = true;
    } else if (parent) {
      if (!m.Find(parent)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      // A child lives in its parent; any other window is only owned by it.
      if (style & WS_CHILD) w->Parent = parent;
      else w->Owner = parent;
    }
    if (x == CW_USEDEFAULT) x = y = 0;
    if (width == CW_USEDEFAULT) width = height = 0;
    w->WindowRect = TRect(x, y, x + width, y + height);
    w->ClientRect = TRect(0, 0, width, height);
    if (style & WS_CHILD) w->Id = reinterpret_cast<LONG_PTR>(menu);
    handle = m.Add(std::move(w));
    if (TWindow* p = m.Find(parent); p && (style & WS_CHILD)) p->Children.insert(p->Children.begin(), handle);
  }
  CREATESTRUCT cs;
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  bool ok = false;
  try {
    ok = SendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) != 0 &&
         IsWindow(handle) && SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) != -1;
  } catch (...) {
    DestroyWindow(handle);
    throw;
  }
  if (!ok) {
    DestroyWindow(handle);
    return nullptr;
  }
  return IsWindow(handle) ? handle : nullptr;
}

namespace {

// Windows to destroy along with wnd: the windows it owns and its children.
std::vector<HWND> Dependents(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  std::vector<HWND> result;
  TWindow* w = m.Find(wnd);
  if (!w) return result;
  result = w->Children;
  return result;
}

void SendDestroy(HWND wnd) {
  if (!IsWindow(wnd)) return;
  SendMessage(wnd, WM_DESTROY, 0, 0);
  for (HWND child : Dependents(wnd)) SendDestroy(child);
}

void SendNcDestroyAndFree(HWND wnd) {
  for (HWND child : Dependents(wnd)) SendNcDestroyAndFree(child);
  if (!IsWindow(wnd)) return;
  SendMessage(wnd, WM_NCDESTROY, 0, 0);
  auto& m = Manager();
  std::unique_ptr<TWindow> record;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.Find(wnd);
    if (!w) return;
    Unlink(*w);
    os::PurgeWindow(m, wnd, w->ThreadId);
    record = m.Remove(wnd);
  }
  // The record (and the last reference to its procedure) goes after the lock is released.
}

}  // namespace

BOOL DestroyWindow(HWND wnd) {
  auto& m = Manager();
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return FALSE;
    if (w->ThreadId != GetCurrentThreadId()) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (w->Destroying) return FALSE;
    w->Destroying = true;
    w->Style &= ~WS_VISIBLE;
  }
  // Windows this one owns go first, as they cannot outlive their owner.
  for (HWND ownedWnd : m.OwnedBy(wnd)) DestroyWindow(ownedWnd);
  SendDestroy(wnd);
  SendNcDestroyAndFree(wnd);
  return TRUE;
}

BOOL IsWindow(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  return m.Find(wnd) ? TRUE : FALSE;
}

HWND AllocateHWnd(TWndMethod method) {
  EnsureUtilClass();
  HWND wnd = CreateWindowEx(WS_EX_TOOLWINDOW, kUtilWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, nullptr, nullptr);
  if (wnd && method) SetWindowProc(wnd, MakeObjectInstance(std::move(method)));
  return wnd;
}

void DeallocateHWnd(HWND wnd) { DestroyWindow(wnd); }

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto& m = Manager();
  WNDPROC proc;
  bool sameThread = false;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return 0;
    sameThread = w->ThreadId == GetCurrentThreadId();
    if (sameThread) proc = w->Proc;
  }
  if (sameThread) return CallWindowProc(proc, wnd, msg, wParam, lParam);
  auto own = os::CurrentQueue();
  auto sent = std::make_shared<os::TSentMessage>();
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return 0;
    auto q = m.Queue(w->ThreadId, false);
    if (!q) return 0;
    sent->Wnd = wnd;
    sent->Msg = msg;
    sent->WParam = wParam;
    sent->LParam = lParam;
    sent->Sender = own;
    q->Sent.push_back(sent);
    q->Wake.notify_all();
  }
  // Another thread's window: wait until its thread ran the message, meanwhile running what
  // is sent to this thread (the other side may send back while handling ours).
  std::unique_lock<std::mutex> lock(m.Lock);
  while (!sent->Done) {
    if (!own->Sent.empty()) {
      lock.unlock();
      os::ProcessSentMessages();
      lock.lock();
      continue;
    }
    own->Wake.wait(lock);
  }
  if (sent->Error) std::rethrow_exception(sent->Error);
  return sent->Result;
}

namespace {

BOOL PostToQueue(const std::shared_ptr<os::TThreadQueue>& q, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MSG m;
  m.hwnd = wnd;
  m.message = msg;
  m.wParam = wParam;
  m.lParam = lParam;
  m.time = GetTickCount();
  q->Posted.push_back(m);
  q->Wake.notify_all();
  return TRUE;
}

}  // namespace

BOOL PostMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!wnd) return PostThreadMessage(GetCurrentThreadId(), msg, wParam, lParam);
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return FALSE;
  auto q = m.Queue(w->ThreadId, false);
  if (!q) return FALSE;
  return PostToQueue(q, wnd, msg, wParam, lParam);
}

BOOL PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (threadId == GetCurrentThreadId()) os::CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  auto q = m.Queue(threadId, false);
  if (!q) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return PostToQueue(q, nullptr, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
  auto q = os::CurrentQueue();
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  q->QuitPosted = true;
  q->QuitCode = exitCode;
  q->Wake.notify_all();
}

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(wnd);
      return 0;
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      return WithWindow(wnd, [&](TWindow& w) { w.Text = text ? text : ""; }) ? TRUE : FALSE;
    }
    case WM_GETTEXTLENGTH: {
      LRESULT length = 0;
      WithWindow(wnd, [&](TWindow& w) { length = static_cast<LRESULT>(w.Text.size()); });
      return length;
    }
    case WM_GETTEXT: {
      // wParam: the buffer's size in bytes, including the terminating zero.
      char* buffer = reinterpret_cast<char*>(lParam);
      if (!buffer || wParam == 0) return 0;
      LRESULT copied = 0;
      WithWindow(wnd, [&](TWindow& w) {
        size_t n = std::min<size_t>(w.Text.size(), wParam - 1);
        std::memcpy(buffer, w.Text.data(), n);
        copied = static_cast<LRESULT>(n);
      });
      buffer[copied] = '\0';
      return copied;
    }
    default:
      return 0;
  }
}

LRESULT CallWindowProc(const WNDPROC& proc, HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return proc ? (*proc)(wnd, msg, wParam, lParam) : DefWindowProc(wnd, msg, wParam, lParam);
}

WNDPROC GetWindowProc(HWND wnd) {
  WNDPROC proc;
  WithWindow(wnd, [&](TWindow& w) { proc = w.Proc; });
  return proc;
}

WNDPROC SetWindowProc(HWND wnd, WNDPROC proc) {
  WNDPROC old;
  WithWindow(wnd, [&](TWindow& w) {
    old = std::move(w.Proc);
    w.Proc = std::move(proc);
  });
  return old;
}

UINT RegisterWindowMessage(const std::string& name) {
  if (name.empty()) return 0;
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  auto it = m.RegisteredMessages.find(name);
  if (it != m.RegisteredMessages.end()) return it->second;
  UINT number = WM_REGISTERED_FIRST + static_cast<UINT>(m.RegisteredMessages.size());
  if (number > WM_REGISTERED_LAST) return 0;
  m.RegisteredMessages.emplace(name, number);
  return number;
}

LONG_PTR GetWindowLongPtr(HWND wnd, int index) {
  LONG_PTR value = 0;
  WithWindow(wnd, [&](TWindow& w) {
    switch (index) {
      case GWL_STYLE: value = static_cast<LONG_PTR>(w.Style); break;
      case GWL_EXSTYLE: value = static_cast<LONG_PTR>(w.ExStyle); break;
      case GWLP_ID: value = w.Id; break;
      case GWLP_USERDATA: value = w.UserData; break;
      case GWLP_HWNDPARENT: value = reinterpret_cast<LONG_PTR>(w.Parent ? w.Parent : w.Owner); break;
      default: SetLastError(ERROR_INVALID_PARAMETER); break;
    }
  });
  return value;
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR newLong) {
  LONG_PTR old = 0;
  WithWindow(wnd, [&](TWindow& w) {
    switch (index) {
      case GWL_STYLE: old = static_cast<LONG_PTR>(w.Style); w.Style = static_cast<DWORD>(newLong); break;
      case GWL_EXSTYLE: old = static_cast<LONG_PTR>(w.ExStyle); w.ExStyle = static_cast<DWORD>(newLong); break;
      case GWLP_ID: old = w.Id; w.Id = newLong; break;
      case GWLP_USERDATA: old = w.UserData; w.UserData = newLong; break;
      case GWLP_HWNDPARENT:
        old = reinterpret_cast<LONG_PTR>(w.Owner);
        w.Owner = reinterpret_cast<HWND>(newLong);
        break;
      default: SetLastError(ERROR_INVALID_PARAMETER); break;
    }
  });
  return old;
}

BOOL SetProp(HWND wnd, const std::string& name, HANDLE data) {
  return WithWindow(wnd, [&](TWindow& w) { w.Props[name] = data; }) ? TRUE : FALSE;
}

HANDLE GetProp(HWND wnd, const std::string& name) {
  HANDLE data = nullptr;
  WithWindow(wnd, [&](TWindow& w) {
    auto it = w.Props.find(name);
    if (it != w.Props.end()) data = it->second;
  });
  return data;
}

HANDLE RemoveProp(HWND wnd, const std::string& name) {
  HANDLE data = nullptr;
  WithWindow(wnd, [&](TWindow& w) {
    auto it = w.Props.find(name);
    if (it == w.Props.end()) return;
    data = it->second;
    w.Props.erase(it);
  });
  return data;
}

HWND GetParent(HWND wnd) {
  HWND parent = nullptr;
  WithWindow(wnd, [&](TWindow& w) { parent = (w.Style & WS_CHILD) ? w.Parent : w.Owner; });
  return parent;
}

HWND GetWindow(HWND wnd, UINT cmd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return w->Owner;
  if (cmd == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.front();
  TWindow* parent = m.Find(w->Parent);
  if (!parent) return cmd == GW_HWNDFIRST || cmd == GW_HWNDLAST ? wnd : nullptr;
  const auto& z = parent->Children;
  auto it = std::find(z.begin(), z.end(), wnd);
  switch (cmd) {
    case GW_HWNDFIRST: return z.front();
    case GW_HWNDLAST: return z.back();
    case GW_HWNDNEXT: return it != z.end() && it + 1 != z.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != z.end() && it != z.begin() ? *(it - 1) : nullptr;
    default: return nullptr;
  }
}

BOOL IsChild(HWND parent, HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  for (TWindow* w = m.Find(wnd); w && (w->Style & WS_CHILD); w = m.Find(w->Parent))
    if (w->Parent == parent) return TRUE;
  return FALSE;
}

std::string GetClassName(HWND wnd) {
  std::string name;
  WithWindow(wnd, [&](TWindow& w) { name = w.Class->Info.lpszClassName; });
  return name;
}

DWORD GetWindowThreadProcessId(HWND wnd, DWORD* processId) {
  DWORD thread = 0;
  if (WithWindow(wnd, [&](TWindow& w) { thread = w.ThreadId; }) && processId) *processId = GetCurrentProcessId();
  return thread;
}

BOOL SetWindowText(HWND wnd, const std::string& text) {
  return SendMessage(wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) ? TRUE : FALSE;
}

std::string GetWindowText(HWND wnd) {
  LRESULT length = SendMessage(wnd, WM_GETTEXTLENGTH, 0, 0);
  if (length <= 0) return {};
  std::string text(static_cast<size_t>(length) + 1, '\0');
  LRESULT copied = SendMessage(wnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(std::max<LRESULT>(copied, 0)));
  return text;
}

BOOL GetWindowRect(HWND wnd, TRect* rect) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.Find(wnd);
  if (!w || !rect) return FALSE;
  TRect r = w->WindowRect;
  // Children are placed in their parent's client area, which starts at the parent's origin.
  for (TWindow* p = m.Find(w->Parent); p; p = m.Find(p->Parent)) {
    r.Left += p->WindowRect.Left;
    r.Right += p->WindowRect.Left;
    r.Top += p->WindowRect.Top;
    r.Bottom += p->WindowRect.Top;
  }
  *rect = r;
  return TRUE;
}

BOOL GetClientRect(HWND wnd, TRect* rect) {
  return WithWindow(wnd, [&](TWindow& w) { if (rect) *rect = w.ClientRect; }) ? TRUE : FALSE;
}

BOOL IsWindowVisible(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  for (TWindow* w = m.Find(wnd); w; w = m.Find(w->Parent)) {
    if (!(w->Style & WS_VISIBLE)) return FALSE;
    if (!(w->Style & WS_CHILD)) return TRUE;
  }
  return FALSE;
}
