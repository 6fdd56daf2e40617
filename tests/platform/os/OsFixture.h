#pragma once
// A virtual clock and a clean message queue for each test of the window layer, plus a window
// whose procedure records what it receives.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/os/MessageLoop.h"
#include "platform/rtl/Clock.h"

struct TReceived {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

class OsTest : public ::testing::Test {
 protected:
  OsTest() {
    rtl::SetClock(&Clock);
    os::ResetThreadQueue();
  }
  ~OsTest() override {
    for (HWND w : FWindows) DestroyWindow(w);
    os::ResetThreadQueue();
    rtl::SetClock(nullptr);
  }

  // A hidden window that records every message; Answer (when set) gives the result.
  HWND RecordingWindow(std::function<LRESULT(UINT, WPARAM, LPARAM)> Answer = nullptr) {
    HWND wnd = nullptr;
    wnd = AllocateHWnd([this, Answer](TMessage& m) {
      Received.push_back({nullptr, m.Msg, m.WParam, m.LParam});
      if (Answer) m.Result = Answer(m.Msg, m.WParam, m.LParam);
    });
    FWindows.push_back(wnd);
    return wnd;
  }

  // Handles everything there is now; returns how many messages were dispatched.
  int Pump() {
    int n = 0;
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      DispatchMessage(&msg);
      ++n;
    }
    return n;
  }

  std::vector<UINT> Messages() const {
    std::vector<UINT> result;
    for (const auto& r : Received) result.push_back(r.Msg);
    return result;
  }

  rtl::VirtualClock Clock{TDateTime(46027.0)};
  std::vector<TReceived> Received;

 private:
  std::vector<HWND> FWindows;
};
