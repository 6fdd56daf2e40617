#include "platform/backends/GuiCalls.h"

#include "platform/os/Window.h"

namespace backends {

namespace {
constexpr UINT kRunQueued = WM_APP + 1;
}

TGuiCalls::TGuiCalls() {
  FWindow = AllocateHWnd([this](TMessage& message) {
    if (message.Msg == kRunQueued)
      RunQueued();
    else
      message.Result = DefWindowProc(FWindow, message.Msg, message.WParam, message.LParam);
  });
}

TGuiCalls::~TGuiCalls() { DeallocateHWnd(FWindow); }

void TGuiCalls::Post(std::function<void()> call) {
  bool first = false;
  {
    std::lock_guard<std::mutex> g(FLock);
    first = FQueue.empty();
    FQueue.push_back(std::move(call));
  }
  // One wake-up message stands for everything queued until it is handled.
  if (first) PostMessage(FWindow, kRunQueued, 0, 0);
}

void TGuiCalls::RunQueued() {
  std::deque<std::function<void()>> calls;
  {
    std::lock_guard<std::mutex> g(FLock);
    calls.swap(FQueue);
  }
  for (auto& call : calls) call();
}

}  // namespace backends
