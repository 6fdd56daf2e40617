#pragma once
// The choice of presenter, made once when the program starts: the X11 presenter when a display
// can be opened (with the X11 tray host, the desktop's CLIPBOARD as the clipboard bridge, and
// balloons as desktop notifications, or as pop-up windows near the tray when no notification
// service answers), else the headless presenter (windows stay in memory, the tray is a table).
#include <string>

namespace backends {

enum class TPresenterKind { Headless, X11 };

// DisplayName empty: the display $DISPLAY names; BusAddress empty: the session bus. Calling it
// again first undoes the previous start.
TPresenterKind StartPresenter(const std::string& DisplayName = "", const std::string& BusAddress = "");
// Which presenter is in use (Headless before StartPresenter).
TPresenterKind CurrentPresenterKind();
// Removes what StartPresenter installed and closes the display (at the end, or between tests).
void StopPresenter();

}  // namespace backends
