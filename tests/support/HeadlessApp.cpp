#include "tests/support/HeadlessApp.h"

namespace test {

THeadlessApp::THeadlessApp(TDateTime Start, TClockKind Kind) : THeadlessLoop(Start, Kind) {
  FApplication = std::make_unique<TApplication>(nullptr);
  Application = FApplication.get();
  Application->SetTitle("Ostrovel");
}

THeadlessApp::~THeadlessApp() {
  FApplication.reset();
  Application = nullptr;
}

bool THeadlessApp::Dispatch() {
  MSG msg;
  return Application->ProcessMessage(msg);
}

}  // namespace test
