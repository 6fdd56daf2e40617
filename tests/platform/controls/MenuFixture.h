#pragma once
// Shared pieces of the menu tests: a shown owner window (so the program is active and keys
// reach it), things to do while a menu's loop runs (timers on the virtual clock), and where
// the items of a pop-up menu lie once it is shown at a point.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Menus.h"
#include "platform/os/Focus.h"
#include "platform/os/Menu.h"
#include "platform/os/MenuPaint.h"
#include "platform/os/MenuTracking.h"
#include "platform/os/WindowPos.h"
#include "tests/support/HeadlessApp.h"
#include "tests/support/InputDriver.h"

namespace menutest {

class MenuTest : public test::HeadlessTest {
 protected:
  MenuTest() {
    static bool registered = false;
    if (!registered) {
      WNDCLASS wc;
      wc.lpszClassName = "MenuTestOwner";
      wc.lpfnWndProc = MakeWndProc([](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
        if (Current && w == Current->Owner) Current->OwnerMessages.push_back(m);
        return DefWindowProc(w, m, wp, lp);
      });
      RegisterClass(wc);
      registered = true;
    }
    Current = this;
    Owner = CreateWindowEx(0, "MenuTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 300, 200, nullptr,
                           nullptr, nullptr, nullptr);
    App.ProcessMessages();
  }
  ~MenuTest() override {
    Timers.clear();
    DestroyWindow(Owner);
    Current = nullptr;
  }

  // Runs Fn once, Ms after now on the program's clock (inside whatever loop runs then).
  void At(int64_t Ms, std::function<void()> Fn) {
    auto timer = std::make_unique<TTimer>(nullptr);
    TTimer* t = timer.get();
    t->SetInterval(static_cast<UINT>(Ms));
    t->OnTimer = [t, Fn](TObject*) {
      t->SetEnabled(false);
      Fn();
    };
    Timers.push_back(std::move(timer));
  }

  // The screen centre of the item at Position (of the menu handle) of a pop-up menu whose
  // window has its top-left corner at Origin.
  static TPoint ItemPoint(HMENU Menu, int Position, TPoint Origin) {
    os::TPopupLayout layout = os::MeasurePopupMenu(Menu);
    const TRect r = layout.Items.at(static_cast<size_t>(Position));
    return {Origin.X + (r.Left + r.Right) / 2, Origin.Y + (r.Top + r.Bottom) / 2};
  }

  // The selected position of a shown menu (-1: none).
  static int Selected(HMENU Menu) {
    for (int i = 0; i < GetMenuItemCount(Menu); ++i)
      if (GetMenuState(Menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
  }

  static TRect WindowRect(HWND Wnd) {
    TRect r;
    GetWindowRect(Wnd, &r);
    return r;
  }

  HWND Owner = nullptr;
  std::vector<UINT> OwnerMessages;
  test::TInputDriver Input;
  std::vector<std::unique_ptr<TTimer>> Timers;

 private:
  inline static MenuTest* Current = nullptr;
};

}  // namespace menutest
