#include "controls/shell/FcShellIntf.h"

#include "platform/shell/Com.h"

namespace fcshell {

namespace {

int gNesting = 0;
bool gStarted = false;

// The controls start the service when the program loads them.
struct Startup {
  Startup() { ComStart(); }
} gStartup;

}  // namespace

bool ComStart() {
  if (gNesting++ > 0) return gStarted;
  gStarted = SUCCEEDED(CoInitialize(nullptr));
  return gStarted;
}

void ComEnd() {
  if (gNesting == 0) return;
  if (--gNesting == 0 && gStarted) {
    CoUninitialize();
    gStarted = false;
  }
}

bool ComStarted() { return gStarted; }

}  // namespace fcshell
