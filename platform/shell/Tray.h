#pragma once
// The notification area behind Shell_NotifyIconA: the table of icons (with the balloon each
// shows), and the host that shows them. Headless, the table is all there is: TrayIcons() tells
// the state, SendTrayCallback acts as the user and RecreateTaskbar as a restarting desktop. A
// desktop host shows the icons for real; tests install a recorder as the host.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/shell/ShellApi.h"

namespace shell {

struct TrayBalloon {
  std::string title;
  std::string text;
  UINT timeoutMs = 0;
  DWORD infoFlags = NIIF_NONE;  // NIIF_INFO… NIIF_USER (the icon's own image)
  friend bool operator==(const TrayBalloon&, const TrayBalloon&) = default;
};

struct TrayIcon {
  HWND wnd = nullptr;
  UINT_PTR id = 0;
  UINT callbackMessage = 0;
  HICON icon = nullptr;
  std::string tip;
  UINT version = 0;
  std::optional<TrayBalloon> balloon;  // the balloon showing now
};

class TrayHost {
 public:
  virtual ~TrayHost() = default;
  // The icon was added or one of its members changed.
  virtual void IconChanged(const TrayIcon&) {}
  virtual void IconRemoved(const TrayIcon&) {}
  virtual void BalloonShown(const TrayIcon&, const TrayBalloon&) {}
  virtual void BalloonHidden(const TrayIcon&) {}
};

// The host in use: the one installed by SetTrayHost, else the headless one (shows nothing).
TrayHost& CurrentTrayHost();
void SetTrayHost(TrayHost* host);

// The icons in the notification area now, in the order they were added.
std::vector<TrayIcon> TrayIcons();
std::optional<TrayIcon> FindTrayIcon(HWND wnd, UINT_PTR id);

// What the user does to an icon: sends its callback message (wParam = its identifier,
// lParam = the mouse message or balloon notice) to its window. False without such an icon.
bool SendTrayCallback(HWND wnd, UINT_PTR id, UINT event);

// The taskbar restarted (or a tray appeared): every icon is gone, and the registered message
// "TaskbarCreated" is broadcast, as the desktop does, to every top-level window of the calling
// thread (hidden ones included: the application's window and the utility windows that own
// icons), so that their owners add them again.
void RecreateTaskbar();

// The number of the registered message "TaskbarCreated".
UINT TaskbarCreatedMessage();

// An icon's pixels, row by row, each 0xAARRGGBB.
struct TrayImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};
// How the desktop hosts read an icon's pixels (installed by the drawing layer; called on the
// thread that calls Shell_NotifyIconA).
void SetTrayImageReader(std::function<std::optional<TrayImage>(HICON)> reader);
std::optional<TrayImage> ReadTrayImage(HICON icon);

}  // namespace shell
