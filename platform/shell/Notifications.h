#pragma once
// Balloons as desktop notifications: a tray host that sends each balloon to the session's
// notification service (org.freedesktop.Notifications over D-Bus) with its title, text, icon
// and time-out, and leaves everything else to an inner host. The service's answers come back
// to the icon's window as the balloon notices: NIN_BALLOONSHOW once shown, NIN_BALLOONTIMEOUT
// when it expired or the user dismissed it, NIN_BALLOONUSERCLICK when the user clicked it and
// NIN_BALLOONHIDE when it was taken away. The bus is served by a thread of its own; the GUI
// thread never waits for the service.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell/Tray.h"

namespace shell {

class DesktopNotifications : public TrayHost {
 public:
  // Connects to the bus (the session bus when busAddress is empty) and checks that a
  // notification service answers; nullptr when there is none. inner keeps the icons.
  static std::unique_ptr<DesktopNotifications> Connect(TrayHost& inner, const std::string& busAddress = "");
  ~DesktopNotifications() override;

  void IconChanged(const TrayIcon& icon) override;
  void IconRemoved(const TrayIcon& icon) override;
  void BalloonShown(const TrayIcon& icon, const TrayBalloon& balloon) override;
  void BalloonHidden(const TrayIcon& icon) override;

  struct Impl;

 private:
  explicit DesktopNotifications(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> FImpl;
};

// From now on balloons go to the session's notification service when there is one (the icons
// stay with the host in use); true when there is. Call once at start-up.
bool UseDesktopNotifications();

}  // namespace shell
