#pragma once
// An X server for the tests: Xvfb on a display number it picks itself, started per test
// program and stopped at its end, and a plain X client of the test's own (a second program on
// the display, as far as the server can tell) to look at windows, click and type through
// XTEST, and own or read selections.
#include <gtest/gtest.h>

#include <sys/types.h>

#include <functional>
#include <string>

#include "platform/gdi/Surface.h"

struct _XDisplay;

namespace test {

class TXvfbServer {
 public:
  // Starts the server; Name() is empty when that failed (Error() tells why).
  TXvfbServer();
  ~TXvfbServer();
  TXvfbServer(const TXvfbServer&) = delete;
  TXvfbServer& operator=(const TXvfbServer&) = delete;

  const std::string& Name() const { return FName; }
  const std::string& Error() const { return FError; }
  // Whether the Xvfb program is installed at all.
  static bool Installed();

 private:
  pid_t FPid = -1;
  std::string FName;
  std::string FError;
};

// A client connection of the test's own.
class TXClient {
 public:
  explicit TXClient(const std::string& Display);
  ~TXClient();
  TXClient(const TXClient&) = delete;
  TXClient& operator=(const TXClient&) = delete;

  _XDisplay* Get() const { return FDisplay; }
  unsigned long Root() const;
  // The window's pixels as the screen shows them (0xFFRRGGBB).
  gdi::TSurface Capture(unsigned long Window);
  // Pointer and keys through XTEST, as a user would.
  void MoveTo(int X, int Y);
  void Button(unsigned int Button, bool Down);
  void Click(int X, int Y, unsigned int Button = 1);
  void Key(unsigned long Keysym, bool Down);
  void Sync();

 private:
  _XDisplay* FDisplay = nullptr;
};

// Repeats Check every few milliseconds, running Pump in between, until it holds or LimitMs
// passes (then false).
bool WaitFor(const std::function<bool()>& Check, const std::function<void()>& Pump, int LimitMs = 5000);

}  // namespace test
