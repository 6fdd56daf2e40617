#include "platform/backends/Startup.h"

#include <memory>

#include "platform/backends/HeadlessPresenter.h"
#include "platform/backends/IconPixels.h"
#include "platform/backends/PopupBalloons.h"
#include "platform/backends/X11Clipboard.h"
#include "platform/backends/X11Display.h"
#include "platform/backends/X11Presenter.h"
#include "platform/backends/X11TrayHost.h"
#include "platform/os/Clipboard.h"
#include "platform/os/Presenter.h"
#include "platform/shell/Notifications.h"
#include "platform/shell/Tray.h"

namespace backends {

namespace {

// What a start installed, in the order it is taken down (last first).
struct TStarted {
  std::unique_ptr<THeadlessPresenter> Headless;
  std::unique_ptr<TX11Display> Display;
  std::unique_ptr<TX11Presenter> Presenter;
  std::unique_ptr<TX11TrayHost> Tray;
  std::unique_ptr<shell::TrayHost> Balloons;
  std::unique_ptr<TX11Clipboard> Clipboard;
  TPresenterKind Kind = TPresenterKind::Headless;
};

TStarted& Started() {
  static TStarted started;
  return started;
}

}  // namespace

TPresenterKind StartPresenter(const std::string& displayName, const std::string& busAddress) {
  StopPresenter();
  TStarted& s = Started();
  // The tray, the notifications and the window manager read icons as pixels.
  shell::SetTrayImageReader(IconPixels);
  s.Display = TX11Display::Open(displayName);
  if (!s.Display) {
    s.Headless = std::make_unique<THeadlessPresenter>();
    return s.Kind = TPresenterKind::Headless;
  }
  s.Presenter = std::make_unique<TX11Presenter>(*s.Display);
  os::SetPresenter(s.Presenter.get());
  s.Tray = std::make_unique<TX11TrayHost>(*s.Display);
  s.Balloons = shell::DesktopNotifications::Connect(*s.Tray, busAddress);
  if (!s.Balloons) {
    TX11TrayHost* tray = s.Tray.get();
    s.Balloons = std::make_unique<TPopupBalloons>(*tray, [tray](HWND wnd, UINT_PTR id) { return tray->IconRect(wnd, id); });
  }
  shell::SetTrayHost(s.Balloons.get());
  s.Clipboard = std::make_unique<TX11Clipboard>(*s.Display);
  os::SetClipboardBridge(s.Clipboard.get());
  return s.Kind = TPresenterKind::X11;
}

TPresenterKind CurrentPresenterKind() { return Started().Kind; }

void StopPresenter() {
  TStarted& s = Started();
  s.Headless.reset();
  s.Kind = TPresenterKind::Headless;
  if (!s.Display) return;
  os::SetClipboardBridge(nullptr);
  shell::SetTrayHost(nullptr);
  os::SetPresenter(nullptr);
  s.Clipboard.reset();
  s.Balloons.reset();
  s.Tray.reset();
  s.Presenter.reset();
  s.Display.reset();
}

}  // namespace backends
