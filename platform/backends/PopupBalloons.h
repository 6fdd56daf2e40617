#pragma once
// Balloons as small pop-up windows near the tray, for desktops without a notification
// service: a tray host that shows each balloon (title and text) in a topmost window that takes
// no focus, above or below the icon (the bottom right of the work area when the icon's place
// is unknown), and leaves the icons to an inner host. The icon's window hears the same notices
// as from the notification service: NIN_BALLOONSHOW once shown, NIN_BALLOONUSERCLICK when the
// user clicks it, NIN_BALLOONTIMEOUT when its time runs out, NIN_BALLOONHIDE when the program
// takes it away or replaces it. A balloon of kind 4 shows the tray icon's own picture at its
// left. Everything runs on the GUI thread.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "platform/os/Window.h"
#include "platform/shell/Tray.h"

namespace backends {

// Where a pop-up of the tray (a balloon, a tooltip) of Width x Height shows: above the icon
// when it is in the lower half of the screen, else below it, kept inside the work area; at the
// bottom right of the work area when the icon's place is unknown.
TRect PopupPlacement(const std::optional<TRect>& Icon, int Width, int Height);

// A pop-up of the tray, hidden: topmost, bordered, on the tooltip colour, taking no focus; its
// class is registered under ClassName with Proc the first time.
HWND CreateTrayPopup(const char* ClassName, TWndProcFunc Proc, const std::string& Title);

class TPopupBalloons : public shell::TrayHost {
 public:
  // IconRect tells where an icon shows on the screen, when the inner host knows.
  using TIconRect = std::function<std::optional<TRect>(HWND Wnd, UINT_PTR Id)>;
  explicit TPopupBalloons(shell::TrayHost& Inner, TIconRect IconRect = nullptr);
  ~TPopupBalloons() override;
  TPopupBalloons(const TPopupBalloons&) = delete;
  TPopupBalloons& operator=(const TPopupBalloons&) = delete;

  void IconChanged(const shell::TrayIcon& Icon) override;
  void IconRemoved(const shell::TrayIcon& Icon) override;
  void BalloonShown(const shell::TrayIcon& Icon, const shell::TrayBalloon& Balloon) override;
  void BalloonHidden(const shell::TrayIcon& Icon) override;

  // The pop-up showing the icon's balloon, nullptr when none shows.
  HWND BalloonWindow(HWND Wnd, UINT_PTR Id) const;

  struct TShown;
  using TKey = std::pair<HWND, UINT_PTR>;
  // Takes the icon's balloon away; Notice (0 for none) tells the icon's window why.
  void Close(const TKey& Key, UINT Notice);

 private:
  shell::TrayHost& FInner;
  TIconRect FIconRect;
  std::map<TKey, std::unique_ptr<TShown>> FShown;
};

}  // namespace backends
