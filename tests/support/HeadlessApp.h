#pragma once
// The headless application every test of the controls and above runs on: the headless loop
// (HeadlessLoop.h: the virtual clock, the temporary executable folder, the headless presenter)
// with the global Application, whose loop handles the messages.
#include <gtest/gtest.h>

#include <memory>

#include "platform/controls/Forms.h"
#include "tests/support/HeadlessLoop.h"

namespace test {

class THeadlessApp : public THeadlessLoop {
 public:
  // Monday 2026-01-05 08:00:00 unless told otherwise.
  explicit THeadlessApp(TDateTime Start = LocalDateTime(2026, 1, 5, 8, 0, 0), TClockKind Kind = VirtualTime);
  ~THeadlessApp() override;

  // Handles what is there now, without moving time.
  void ProcessMessages() { Application->ProcessMessages(); }

 protected:
  bool Dispatch() override;
  bool Idle() override { return Application->DoIdle(); }
  bool Ended() const override { return Application->Terminated(); }
  void Failed() override { Application->HandleException(Application); }

 private:
  std::unique_ptr<TApplication> FApplication;
};

// A test with a headless application in App.
class HeadlessTest : public ::testing::Test {
 protected:
  THeadlessApp App;
};

}  // namespace test
