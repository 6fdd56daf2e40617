#pragma once
// The notification area on an X desktop: each icon is a small window docked with the tray
// manager through the freedesktop system tray protocol (the owner of the selection
// _NET_SYSTEM_TRAY_S<screen>, asked with SYSTEM_TRAY_REQUEST_DOCK). The icon's pixels come from
// shell::ReadTrayImage, scaled to the size the tray gives; what lies below shows through its
// transparent pixels. Pointer activity on it becomes the icon's callback messages (button
// down, up and double click for the three buttons, and moves), with the pointer's position
// given to GetCursorPos first, as the owner places its menu there. A tray manager that
// appears later (its MANAGER message on the root window) counts as a restarted taskbar:
// shell::RecreateTaskbar runs on the GUI thread and the owners add their icons again.
// The icon's window asks for a square through its normal size hints, at first of the usual
// panel icon size and then as high as the tray made it, so that every tray gives it a whole
// slot. Resting the pointer on the icon shows its tip in the program's own pop-up.
//
// Locking: the display lock is always taken before the host's own.
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/backends/GuiCalls.h"
#include "platform/backends/TrayTips.h"
#include "platform/backends/X11Display.h"
#include "platform/shell/Tray.h"

namespace backends {

class TX11TrayHost : public shell::TrayHost {
 public:
  // Made on the GUI thread.
  explicit TX11TrayHost(TX11Display& Display);
  ~TX11TrayHost() override;

  void IconChanged(const shell::TrayIcon& Icon) override;
  void IconRemoved(const shell::TrayIcon& Icon) override;

  // Where the icon shows on the screen; nullopt while it is not docked.
  std::optional<TRect> IconRect(HWND Wnd, UINT_PTR Id);
  // The icons' tooltips (the trays of this protocol show none of their own).
  TTrayTips& Tips() { return *FTips; }

 private:
  struct TDock;
  bool HandleEvent(_XEvent& Event);
  void FindManager();
  void Dock(TDock& Dock);
  void Paint(TDock& Dock);
  void Pointer(TDock& Dock, _XEvent& Event);
  // Tells the tray the size the icon wants: a square Side pixels high.
  void AskSize(TDock& Dock, int Side);
  std::optional<TRect> ScreenRect(TDock& Dock);
  TDock* DockOf(XWindow Window);

  TX11Display& FDisplay;
  XAtom FSelection, FOpcode, FManagerMessage, FXembedInfo;
  int FSink = 0;
  XWindow FManager = 0;
  std::mutex FLock;
  std::vector<std::unique_ptr<TDock>> FDocks;
  std::unique_ptr<TTrayTips> FTips;
  TGuiCalls FGui;
};

}  // namespace backends
