#include "platform/os/Window.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/os/Cursors.h"
#include "platform/os/Focus.h"
#include "platform/os/NonClient.h"
#include "platform/os/Painting.h"
#include "platform/os/Presenter.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowDC.h"
#include "platform/os/WindowManager.h"
#include "platform/os/WindowPos.h"

using os::kDesktopWindow;
using os::Manager;
using os::TWindow;
using os::WithWindow;

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

void Unlink(TWindow& w) {
  auto& m = Manager();
  if (TWindow* parent = m.Find(w.Parent)) std::erase(parent->Children, w.Handle);
}

}  // namespace

namespace {

// Procedures given out as window-data values (GetWindowLongPtr(GWLP_WNDPROC)), kept alive as
// long as code may hold such a value: until FreeObjectInstance.
std::mutex gProcLock;
std::map<LONG_PTR, WNDPROC> gProcs;

}  // namespace

WNDPROC MakeWndProc(TWndProcFunc func) { return std::make_shared<const TWndProcFunc>(std::move(func)); }

LONG_PTR WndProcToLong(const WNDPROC& proc) {
  if (!proc) return 0;
  LONG_PTR value = reinterpret_cast<LONG_PTR>(proc.get());
  std::lock_guard<std::mutex> lock(gProcLock);
  gProcs.emplace(value, proc);
  return value;
}

WNDPROC WndProcFromLong(LONG_PTR value) {
  std::lock_guard<std::mutex> lock(gProcLock);
  auto it = gProcs.find(value);
  return it == gProcs.end() ? nullptr : it->second;
}

WNDPROC MakeObjectInstance(TWndMethod method) {
  return MakeWndProc([method = std::move(method)](HWND, UINT msg, WPARAM w, LPARAM l) -> LRESULT {
    TMessage message{msg, w, l, 0};
    method(message);
    return message.Result;
  });
}

void FreeObjectInstance(WNDPROC& proc) {
  {
    std::lock_guard<std::mutex> lock(gProcLock);
    gProcs.erase(reinterpret_cast<LONG_PTR>(proc.get()));
  }
  proc.reset();
}

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

HWND GetDesktopWindow() { return os::kDesktopWindow; }

namespace {

// The window a CreateWindowEx / SetParent parent value names: the desktop means none.
HWND RealParent(HWND parent) { return parent == os::kDesktopWindow ? nullptr : parent; }

// Puts a new top-level window into the z-order: on top of its band (topmost or not).
void InsertTopLevel(os::TWindowManager& m, HWND wnd, bool topmost) {
  auto& z = m.TopLevels;
  auto it = z.begin();
  if (!topmost)
    while (it != z.end()) {
      TWindow* t = m.Find(*it);
      if (!t || !(t->ExStyle & WS_EX_TOPMOST)) break;
      ++it;
    }
  z.insert(it, wnd);
}

void NotifyParent(HWND wnd, WORD event) {
  HWND parent = nullptr;
  LONG_PTR id = 0;
  os::WithWindow(wnd, [&](TWindow& w) {
    if ((w.Style & WS_CHILD) && !(w.ExStyle & WS_EX_NOPARENTNOTIFY)) {
      parent = w.Parent;
      id = w.Id;
    }
  });
  if (parent) SendMessage(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, static_cast<WORD>(id)), reinterpret_cast<LPARAM>(wnd));
}

}  // namespace

HWND CreateWindowEx(DWORD exStyle, const std::string& className, const std::string& windowName,
                    DWORD style, int x, int y, int width, int height, HWND parent, HMENU menu,
                    HINSTANCE instance, void* param) {
  auto& m = Manager();
  os::CurrentQueue();  // the creating thread owns the window and needs a queue
  parent = RealParent(parent);
  HWND handle = nullptr;
  bool topLevel = false;
  // Default places are for top-level windows: a little way into the work area, three quarters
  // of its size; a child gets zeros.
  TRect defaultPlace;
  if (x == CW_USEDEFAULT || width == CW_USEDEFAULT) {
    TRect work = os::WorkAreaAt(TPoint());
    defaultPlace = Bounds(work.Left + 26, work.Top + 26, work.Width() * 3 / 4, work.Height() * 3 / 4);
  }
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
    // Shown at the end, once the procedure has seen WM_CREATE.
    w->Style = style & ~(WS_VISIBLE | WS_MINIMIZE | WS_MAXIMIZE);
    w->ExStyle = exStyle;
    w->Text = windowName;
    w->Proc = it->second->Info.lpfnWndProc;
    if (parent == HWND_MESSAGE) {
      w->MessageOnly = true;
    } else if (parent) {
      TWindow* p = m.Find(parent);
      if (!p) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
      }
      // A child lives in its parent; any other window is owned by the parent's top-level window.
      if (style & WS_CHILD) w->Parent = parent;
      else w->Owner = m.Root(p)->Handle;
    }
    const bool child = (style & WS_CHILD) && w->Parent;
    if (x == CW_USEDEFAULT) x = y = child ? 0 : defaultPlace.Left;
    if (width == CW_USEDEFAULT) {
      width = child ? 0 : defaultPlace.Width();
      height = child ? 0 : defaultPlace.Height();
    }
    width = std::max(width, 0);
    height = std::max(height, 0);
    w->WindowRect = TRect(x, y, x + width, y + height);
    w->Client = TRect(0, 0, width, height);
    if (style & WS_CHILD) w->Id = reinterpret_cast<LONG_PTR>(menu);
    topLevel = !w->Parent && !w->MessageOnly;
    if (topLevel) w->Surface = std::make_shared<gdi::TSurface>(width, height);
    handle = m.Add(std::move(w));
    if (TWindow* p = m.Find(parent); p && (style & WS_CHILD)) p->Children.insert(p->Children.begin(), handle);
    if (topLevel) InsertTopLevel(m, handle, exStyle & WS_EX_TOPMOST);
  }
  if (topLevel)
    if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->WindowCreated(handle);
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
    ok = SendMessage(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs)) != 0 && IsWindow(handle);
    if (ok) {
      TRect client(x, y, x + width, y + height);
      SendMessage(handle, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
      os::WithWindow(handle, [&](TWindow& w) {
        w.Client = TRect(client.Left - x, client.Top - y, client.Right - x, client.Bottom - y);
      });
      ok = IsWindow(handle) && SendMessage(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) != -1;
    }
  } catch (...) {
    DestroyWindow(handle);
    throw;
  }
  if (!ok) {
    DestroyWindow(handle);
    return nullptr;
  }
  TRect client;
  os::WithWindow(handle, [&](TWindow& w) { client = w.Client; });
  SendMessage(handle, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
  SendMessage(handle, WM_MOVE, 0, MAKELPARAM(x + client.Left, y + client.Top));
  NotifyParent(handle, WM_CREATE);
  if ((style & WS_VISIBLE) && IsWindow(handle))
    ShowWindow(handle, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : SW_SHOW);
  return IsWindow(handle) ? handle : nullptr;
}

namespace {

// The children of a window, topmost first.
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
  bool topLevel = false;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.Find(wnd);
    topLevel = w && !w->Parent && !w->MessageOnly;
  }
  if (topLevel)
    if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->WindowDestroyed(wnd);
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
  bool visible = false, child = false;
  HWND parent = nullptr;
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
    visible = (w->Style & WS_VISIBLE) != 0;
    child = w->Parent != nullptr;
    parent = w->Parent;
  }
  NotifyParent(wnd, WM_DESTROY);
  // Hiding hands the focus to the parent and the activation to another window.
  if (visible && IsWindow(wnd))
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Windows this one owns go first, as they cannot outlive their owner.
  for (HWND ownedWnd : m.OwnedBy(wnd)) DestroyWindow(ownedWnd);
  HWND capture = nullptr, focus = nullptr, active = nullptr;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.Find(wnd);
    if (w && m.IsWithin(m.Find(m.Capture), wnd)) capture = m.Capture;
    if (w && m.IsWithin(m.Find(m.Focus), wnd)) focus = m.Focus;
    if (w && m.Active == wnd) active = wnd;
  }
  if (capture) ReleaseCapture();
  if (active) os::ActivateOtherWindow(wnd);
  if (focus && IsWindow(wnd)) {
    bool stillWithin = false;
    {
      std::lock_guard<std::mutex> lock(m.Lock);
      stillWithin = m.IsWithin(m.Find(m.Focus), wnd);
    }
    if (stillWithin) os::ChangeFocus(child && IsWindow(parent) ? parent : nullptr);
  }
  SendDestroy(wnd);
  SendNcDestroyAndFree(wnd);
  return TRUE;
}

BOOL IsWindow(HWND wnd) {
  if (wnd == os::kDesktopWindow) return TRUE;
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

namespace {

// The text messages of DefWindowProc.
LRESULT DefTextMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(lParam);
      bool caption = false;
      if (!WithWindow(wnd, [&](TWindow& w) {
            w.Text = text ? text : "";
            caption = !w.Parent && (w.Style & WS_CAPTION) == WS_CAPTION;
          }))
        return FALSE;
      if (caption) {
        RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
        if (os::TPresenter* presenter = os::CurrentPresenter()) presenter->WindowTextChanged(wnd);
      }
      return TRUE;
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

// A child passes some messages up to its parent first (WM_SETCURSOR, WM_MOUSEACTIVATE,
// WM_MOUSEWHEEL, WM_CONTEXTMENU); nullptr for a top-level window.
HWND ParentToAsk(HWND wnd) {
  HWND parent = nullptr;
  WithWindow(wnd, [&](TWindow& w) {
    if (w.Style & WS_CHILD) parent = w.Parent;
  });
  return parent;
}

}  // namespace

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE:
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(wnd);
      return 0;
    case WM_SETTEXT:
    case WM_GETTEXTLENGTH:
    case WM_GETTEXT:
      return DefTextMessage(wnd, msg, wParam, lParam);
    case WM_NCCALCSIZE:
      return os::DefNcCalcSize(wnd, wParam, lParam);
    case WM_NCHITTEST:
      return os::DefNcHitTest(wnd, LParamToPoint(lParam));
    case WM_NCPAINT:
      os::DefNcPaint(wnd, reinterpret_cast<HRGN>(wParam));
      return 0;
    case WM_NCACTIVATE:
      return os::DefNcActivate(wnd, wParam != 0);
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      return os::DefNcLButtonDown(wnd, msg, wParam, lParam);
    case WM_SYSCOMMAND:
      return os::DefSysCommand(wnd, wParam, lParam);
    case WM_SYSKEYDOWN:
      // Alt+F4 closes the top-level window.
      if (wParam == VK_F4 && (lParam & (1 << 29))) {
        HWND root = GetAncestor(wnd, GA_ROOT);
        if (root) PostMessage(root, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_APPS) SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(-1, -1));
      return 0;
    case WM_RBUTTONUP: {
      TPoint p = LParamToPoint(lParam);
      ClientToScreen(wnd, &p);
      SendMessage(wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(wnd), PointToLParam(p));
      return 0;
    }
    case WM_CONTEXTMENU:
    case WM_MOUSEWHEEL:
      if (HWND parent = ParentToAsk(wnd)) return SendMessage(parent, msg, wParam, lParam);
      return 0;
    case WM_SETCURSOR:
      return os::DefSetCursor(wnd, wParam, lParam);
    case WM_MOUSEACTIVATE:
      if (HWND parent = ParentToAsk(wnd))
        if (LRESULT r = SendMessage(parent, WM_MOUSEACTIVATE, wParam, lParam)) return r;
      return MA_ACTIVATE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) SetFocus(wnd);
      return 0;
    case WM_WINDOWPOSCHANGED:
      os::DefWindowPosChanged(wnd, reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == wnd) ReleaseCapture();
      return 0;
    case WM_ERASEBKGND:
      return os::DefEraseBackground(wnd, reinterpret_cast<HDC>(wParam));
    case WM_PAINT:
      os::DefPaint(wnd);
      return 0;
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
      case GWLP_WNDPROC: value = WndProcToLong(w.Proc); break;
      case GWLP_HINSTANCE: value = reinterpret_cast<LONG_PTR>(w.Class->Info.hInstance); break;
      default: SetLastError(ERROR_INVALID_PARAMETER); break;
    }
  });
  return value;
}

LONG_PTR SetWindowLongPtr(HWND wnd, int index, LONG_PTR newLong) {
  if (index == GWLP_WNDPROC) {
    WNDPROC proc = WndProcFromLong(newLong);
    if (!proc) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return 0;
    }
    return WndProcToLong(SetWindowProc(wnd, std::move(proc)));
  }
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

HWND GetAncestor(HWND wnd, UINT flags) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return nullptr;
  switch (flags) {
    case GA_PARENT: return w->Parent ? w->Parent : kDesktopWindow;
    case GA_ROOT: return m.Root(w)->Handle;
    case GA_ROOTOWNER: {
      TWindow* r = m.Root(w);
      while (TWindow* owner = m.Find(r->Owner)) r = m.Root(owner);
      return r->Handle;
    }
    default: return nullptr;
  }
}

HWND GetWindow(HWND wnd, UINT cmd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* w = m.FindOrFail(wnd);
  if (!w) return nullptr;
  if (cmd == GW_OWNER) return w->Owner;
  if (cmd == GW_CHILD) return w->Children.empty() ? nullptr : w->Children.front();
  TWindow* parent = m.Find(w->Parent);
  if (!parent && w->MessageOnly) return nullptr;
  const auto& z = parent ? parent->Children : m.TopLevels;
  if (z.empty()) return nullptr;
  auto it = std::find(z.begin(), z.end(), wnd);
  switch (cmd) {
    case GW_HWNDFIRST: return z.front();
    case GW_HWNDLAST: return z.back();
    case GW_HWNDNEXT: return it != z.end() && it + 1 != z.end() ? *(it + 1) : nullptr;
    case GW_HWNDPREV: return it != z.end() && it != z.begin() ? *(it - 1) : nullptr;
    default: return nullptr;
  }
}

HWND GetTopWindow(HWND parent) {
  if (!parent || parent == kDesktopWindow) {
    auto& m = Manager();
    std::lock_guard<std::mutex> lock(m.Lock);
    return m.TopLevels.empty() ? nullptr : m.TopLevels.front();
  }
  return GetWindow(parent, GW_CHILD);
}

HWND SetParent(HWND wnd, HWND newParent) {
  newParent = RealParent(newParent);
  auto& m = Manager();
  HWND oldParent = nullptr;
  bool wasTop = false, isTop = false, visible = false;
  TRect oldArea;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    TWindow* w = m.FindOrFail(wnd);
    if (!w) return nullptr;
    TWindow* p = newParent ? m.FindOrFail(newParent) : nullptr;
    if (newParent && (!p || m.IsWithin(p, wnd))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    oldParent = w->Parent;
    wasTop = !w->Parent && !w->MessageOnly;
    visible = m.IsShown(w);
    oldArea = w->WindowRect;
    Unlink(*w);
    if (wasTop) std::erase(m.TopLevels, wnd);
    w->Parent = newParent;
    w->MessageOnly = false;
    if (p) p->Children.insert(p->Children.begin(), wnd);
    isTop = !p;
    if (isTop) {
      InsertTopLevel(m, wnd, w->ExStyle & WS_EX_TOPMOST);
      if (!w->Surface) w->Surface = std::make_shared<gdi::TSurface>(w->WindowRect.Width(), w->WindowRect.Height());
    } else {
      w->Surface.reset();
    }
  }
  os::TPresenter* presenter = os::CurrentPresenter();
  if (presenter && wasTop && !isTop) presenter->WindowDestroyed(wnd);
  if (presenter && isTop && !wasTop) {
    presenter->WindowCreated(wnd);
    if (IsWindowVisible(wnd)) presenter->WindowShown(wnd, false);
  }
  if (visible && oldParent) os::InvalidateUncovered(oldParent, gdi::TRegion(oldArea));
  if (IsWindowVisible(wnd)) RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return oldParent;
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

namespace os {

namespace {

std::vector<HWND> TopLevelWindowsOfThisThread() {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  std::vector<HWND> result;
  for (HWND h : m.TopLevels)
    if (TWindow* w = m.Find(h); w && w->ThreadId == GetCurrentThreadId()) result.push_back(h);
  return result;
}

}  // namespace

void SendToTopLevelWindows(UINT msg, WPARAM wParam, LPARAM lParam) {
  for (HWND w : TopLevelWindowsOfThisThread())
    if (IsWindow(w)) SendMessage(w, msg, wParam, lParam);
}

bool EndSession(LPARAM flags) {
  std::vector<HWND> windows = TopLevelWindowsOfThisThread();
  bool agreed = true;
  for (HWND w : windows)
    if (IsWindow(w) && !SendMessage(w, WM_QUERYENDSESSION, 0, flags)) {
      agreed = false;
      break;
    }
  for (HWND w : windows)
    if (IsWindow(w)) SendMessage(w, WM_ENDSESSION, agreed ? TRUE : FALSE, flags);
  return agreed;
}

}  // namespace os
