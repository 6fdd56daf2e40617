// quorvex: the player's restart companion. The player starts it after a playback failure; it
// ends the running player (found through its single-instance lock), waits for it to exit and
// starts it again, at most once a minute.
#include "platform/rtl/Files.h"
#include "quorvex/Restart.h"

int main() {
  auto env = quorvex::PlayerEnvironment(ExtractFileDir(rtl::ExePath()));
  return quorvex::Run(env) == quorvex::Outcome::Restarted ? 0 : 1;
}
