// quorvex: the player's restart companion. The player starts it after a playback failure; it
// ends the running player (found through its single-instance lock), waits for it to exit and
// starts it again, at most once a minute.
#include "platform/os/Mutex.h"
#include "platform/rtl/Files.h"
#include "quorvex/Restart.h"

namespace {
// The player's single-instance lock.
constexpr const char* kPlayerMutex = "Ostrovel1";
}  // namespace

int main() {
  quorvex::Environment env;
  env.exeDir = ExtractFileDir(rtl::ExePath());
  env.stampPath = os::MutexLockPath(kPlayerMutex) + ".restarted";
  env.runningPid = [] { return os::MutexHolderPid(kPlayerMutex); };
  env.endProcess = [](int pid) {
    return quorvex::EndProcess(pid, [pid] { return os::MutexHolderPid(kPlayerMutex) == pid; });
  };
  return quorvex::Run(env) == quorvex::Outcome::Restarted ? 0 : 1;
}
