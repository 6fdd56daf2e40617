#include "platform/os/Presenter.h"

#include <atomic>
#include <utility>

#include "platform/gdi/SurfaceDC.h"
#include "platform/os/SystemMetrics.h"
#include "platform/os/WindowManager.h"

namespace {

std::atomic<os::TPresenter*> gPresenter{nullptr};

}  // namespace

namespace os {

void SetPresenter(TPresenter* presenter) {
  gPresenter = presenter;
  SetInputThread(presenter ? GetCurrentThreadId() : 0);
  // The drawing layer reports the screen's size (GetDeviceCaps) as the presenter has it.
  const TRect screen = ScreenBounds();
  gdi::SetScreenSize(TSize(screen.Width(), screen.Height()));
}

TPresenter* CurrentPresenter() { return gPresenter.load(); }

std::shared_ptr<gdi::TSurface> SurfaceOf(HWND wnd) {
  auto& m = Manager();
  std::lock_guard<std::mutex> lock(m.Lock);
  TWindow* root = m.Root(m.Find(wnd));
  return root ? root->Surface : nullptr;
}

void FlushPresentation() {
  auto& m = Manager();
  std::vector<std::pair<HWND, std::shared_ptr<gdi::TSurface>>> damaged;
  {
    std::lock_guard<std::mutex> lock(m.Lock);
    if (m.ToPresent.empty()) return;
    for (HWND wnd : m.ToPresent) {
      TWindow* w = m.Find(wnd);
      if (w && w->Surface && w->ThreadId == GetCurrentThreadId() && m.IsShown(w)) damaged.emplace_back(wnd, w->Surface);
    }
    std::erase_if(m.ToPresent, [&](HWND wnd) {
      TWindow* w = m.Find(wnd);
      return !w || w->ThreadId == GetCurrentThreadId();
    });
  }
  TPresenter* presenter = CurrentPresenter();
  if (!presenter) return;
  for (auto& [wnd, surface] : damaged) presenter->Present(wnd, *surface);
}

}  // namespace os
