#pragma once
// The window manager's state: window records behind generation-checked handles, the class
// table, registered message names and one message queue per thread. One lock guards it all;
// window procedures are always called with the lock released.
//
// The records carry what the windowing layer grows into (style, parent, owner, children in
// z-order, rectangles, properties); this folder uses the part messages and timers need.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/os/Timers.h"
#include "platform/os/Window.h"

namespace os {

// Orders names ignoring ASCII case (class names, property names, registered messages).
struct TNoCaseLess {
  bool operator()(const std::string& a, const std::string& b) const;
};

struct TWindowClass {
  WNDCLASS Info;
};

struct TWindow {
  HWND Handle = nullptr;
  DWORD ThreadId = 0;
  std::shared_ptr<const TWindowClass> Class;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  std::string Text;
  HWND Parent = nullptr;  // nullptr for top-level and message-only windows
  HWND Owner = nullptr;
  bool MessageOnly = false;
  std::vector<HWND> Children;  // z-order, topmost first
  TRect WindowRect;            // in the parent's client coordinates (screen for top-level)
  TRect ClientRect;            // from (0, 0)
  WNDPROC Proc;
  LONG_PTR Id = 0;
  LONG_PTR UserData = 0;
  std::map<std::string, HANDLE, TNoCaseLess> Props;
  bool Destroying = false;
};

struct TThreadQueue;

// A message sent from another thread, waiting for the window's thread to run it.
struct TSentMessage {
  HWND Wnd = nullptr;
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
  std::exception_ptr Error;
  bool Done = false;
  // The sender's queue: its Wake is signalled when the message is done.
  std::shared_ptr<TThreadQueue> Sender;
};

// Marks a sent message done and wakes its sender (Lock held).
void FinishSent(TSentMessage& Sent);

struct TTimerEntry {
  HWND Wnd = nullptr;
  UINT_PTR Id = 0;
  UINT Period = 0;
  int64_t Due = 0;
  TIMERPROC Proc = nullptr;
};

struct TThreadQueue {
  DWORD ThreadId = 0;
  std::deque<MSG> Posted;
  std::deque<std::shared_ptr<TSentMessage>> Sent;
  bool QuitPosted = false;
  int QuitCode = 0;
  std::vector<TTimerEntry> Timers;
  UINT_PTR NextThreadTimerId = 1;
  std::condition_variable Wake;
};

class TWindowManager {
 public:
  std::mutex Lock;

  // Handle table (call with Lock held).
  TWindow* Find(HWND Wnd);
  // As Find, setting ERROR_INVALID_WINDOW_HANDLE when there is no such window.
  TWindow* FindOrFail(HWND Wnd);
  HWND Add(std::unique_ptr<TWindow> Window);
  std::unique_ptr<TWindow> Remove(HWND Wnd);
  // The live windows whose owner is Owner (takes the Lock itself).
  std::vector<HWND> OwnedBy(HWND Owner);

  // The queue of a thread; Create makes it on first use (call with Lock held).
  std::shared_ptr<TThreadQueue> Queue(DWORD ThreadId, bool Create);
  void DropQueue(DWORD ThreadId);

  std::map<std::string, std::shared_ptr<const TWindowClass>, TNoCaseLess> Classes;
  std::map<std::string, UINT, TNoCaseLess> RegisteredMessages;
  ATOM NextAtom = 0xC000;

 private:
  struct TSlot {
    std::unique_ptr<TWindow> Window;
    uint32_t Generation = 1;
  };
  std::vector<TSlot> FSlots;
  std::vector<uint32_t> FFree;
  std::map<DWORD, std::shared_ptr<TThreadQueue>> FQueues;
};

// The one window manager of the process (lives until the process ends).
TWindowManager& Manager();

// The calling thread's queue, made on first use; the thread's exit drops it.
std::shared_ptr<TThreadQueue> CurrentQueue();

// The window record for a handle of the calling thread, or nullptr (GUI-thread code only: the
// record may go away as soon as a window procedure destroys the window).
TWindow* FindWindowRecord(HWND Wnd);

// Runs the messages other threads sent to the calling thread's windows.
void ProcessSentMessages();

// Drops a destroyed window's queued messages, timers and pending sends (Lock held).
void PurgeWindow(TWindowManager& M, HWND Wnd, DWORD ThreadId);

}  // namespace os
