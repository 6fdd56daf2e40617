#pragma once
// Work handed from the X reader thread to the GUI thread: a hidden window made on the GUI
// thread runs the queued functions there, in order, when its loop gets to them. Posting never
// waits, so the reader can hand over work while it holds the display.
#include <deque>
#include <functional>
#include <mutex>

#include "platform/rtl/Types.h"

namespace backends {

class TGuiCalls {
 public:
  // Made on the GUI thread.
  TGuiCalls();
  ~TGuiCalls();
  TGuiCalls(const TGuiCalls&) = delete;
  TGuiCalls& operator=(const TGuiCalls&) = delete;

  // From any thread.
  void Post(std::function<void()> Call);

 private:
  void RunQueued();

  HWND FWindow = nullptr;
  std::mutex FLock;
  std::deque<std::function<void()>> FQueue;
};

}  // namespace backends
