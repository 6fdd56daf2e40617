#pragma once
// The fixture of the X11 tests: a real-time headless application, the test program's Xvfb,
// the program's display connection and a client of the test's own on the same display.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "XvfbServer.h"
#include "platform/backends/X11Display.h"
#include "tests/support/HeadlessApp.h"

namespace test {

// One server for the whole test program.
inline TXvfbServer& Server() {
  static TXvfbServer server;
  return server;
}

class X11Test : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TXvfbServer::Installed()) GTEST_SKIP() << "Xvfb is not installed; the X11 tests need it";
    ASSERT_FALSE(Server().Name().empty()) << Server().Error();
    ProgramDisplay = backends::TX11Display::Open(Server().Name());
    ASSERT_TRUE(ProgramDisplay);
    Client = std::make_unique<TXClient>(Server().Name());
  }
  // Whatever the test made on the display goes before the connection.
  void TearDown() override {
    Client.reset();
    ProgramDisplay.reset();
  }

  // Handles the program's messages until Check holds (false after LimitMs).
  bool WaitUntil(const std::function<bool()>& Check, int LimitMs = 5000) {
    return WaitFor(Check, [this] { App.ProcessMessages(); }, LimitMs);
  }

  THeadlessApp App{LocalDateTime(2026, 1, 5, 8, 0, 0), THeadlessApp::RealTime};
  std::unique_ptr<backends::TX11Display> ProgramDisplay;
  std::unique_ptr<TXClient> Client;
};

}  // namespace test
