#pragma once
// Tooltips of tray icons as the program's own pop-up, for trays that show none (the trays of
// the freedesktop protocol only hold the icon's window): a small topmost window that takes no
// focus, with the icon's tip on one line, shown above or below the icon once the pointer has
// rested on it for a moment, and gone when the pointer leaves or presses a button, or after a
// while. Everything runs on the GUI thread.
#include <memory>
#include <optional>
#include <string>

#include "platform/rtl/Types.h"

namespace backends {

class TTrayTips {
 public:
  // How long the pointer rests on an icon before its tip shows, and how long the tip stays.
  static constexpr UINT kShowDelayMs = 500;
  static constexpr UINT kShowForMs = 10000;

  TTrayTips();
  ~TTrayTips();
  TTrayTips(const TTrayTips&) = delete;
  TTrayTips& operator=(const TTrayTips&) = delete;

  // The pointer came onto an icon with this tip, which shows at IconRect (screen; unknown:
  // nullopt). An empty tip shows nothing.
  void Enter(const std::string& Tip, const std::optional<TRect>& IconRect);
  // The pointer left the icon or pressed a button on it.
  void Leave();
  // The tooltip window while a tip shows, else nullptr.
  HWND Window() const;

  struct TState;

 private:
  std::unique_ptr<TState> FState;
};

}  // namespace backends
