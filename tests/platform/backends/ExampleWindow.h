#pragma once
// An example window built of plain windows for the presenter tests: a captioned form with a
// menu strip along its top, two coloured panels side by side (the left one holds a button)
// and, in the right one, a list with a standard vertical scroll bar. The button keeps the
// mouse and keyboard messages it gets.
#include <string>
#include <vector>

#include "platform/rtl/Types.h"

namespace test {

class TExampleWindow {
 public:
  // Created hidden with its window rectangle at (X, Y).
  TExampleWindow(int X, int Y);
  ~TExampleWindow();
  TExampleWindow(const TExampleWindow&) = delete;
  TExampleWindow& operator=(const TExampleWindow&) = delete;

  HWND Form = nullptr;
  HWND Menu = nullptr;
  HWND LeftPanel = nullptr;
  HWND RightPanel = nullptr;
  HWND Button = nullptr;
  HWND List = nullptr;

  struct TReceived {
    UINT Msg;
    WPARAM WParam;
  };
  std::vector<TReceived> ButtonMessages;
  int CloseRequests = 0;
  // WM_SETTINGCHANGE messages the form got, by their wParam.
  std::vector<WPARAM> SettingChanges;
  // Messages of kind Msg the button got, by their wParam.
  std::vector<WPARAM> Received(UINT Msg) const;
};

}  // namespace test
