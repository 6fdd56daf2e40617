#include "quorvex/Restart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/os/Mutex.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Files.h"

namespace quorvex {

namespace {

constexpr int kPollMs = 50;

// The stamp file, locked while this run decides, so that two companions started at once
// restart the player only once.
class Stamp {
 public:
  explicit Stamp(const std::string& path) : FFd(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    if (FFd >= 0) flock(FFd, LOCK_EX);
  }
  ~Stamp() {
    if (FFd >= 0) close(FFd);
  }
  Stamp(const Stamp&) = delete;
  Stamp& operator=(const Stamp&) = delete;

  // Wall time of the last restart in days (0 when none is recorded).
  double Last() const {
    char buf[64] = {};
    if (FFd < 0 || pread(FFd, buf, sizeof buf - 1, 0) <= 0) return 0;
    return std::strtod(buf, nullptr);
  }
  void Set(double days) {
    if (FFd < 0) return;
    char buf[64];
    int n = std::snprintf(buf, sizeof buf, "%.10f\n", days);
    if (ftruncate(FFd, 0) == 0 && pwrite(FFd, buf, static_cast<size_t>(n), 0) != n) {
      // A stamp that cannot be written only weakens the once-a-minute guard.
    }
  }

 private:
  int FFd;
};

}  // namespace

void AppendLogLine(const std::string& path, const std::string& message) {
  try {
    AppendTextLine(path, FormatDateTime("yyyymmdd hh:nn:ss", Now()) + " " + message);
  } catch (const EInOutError&) {
    // Nothing else is left to report to.
  }
}

bool EndProcess(int pid, const std::function<bool()>& stillRunning, int graceMs) {
  auto waitGone = [&](int ms) {
    for (int waited = 0; waited <= ms; waited += kPollMs) {
      if (!stillRunning()) return true;
      usleep(kPollMs * 1000);
    }
    return !stillRunning();
  };
  if (pid <= 0) return true;
  if (kill(pid, SIGTERM) != 0 && errno == ESRCH) return true;
  if (waitGone(graceMs)) return true;
  kill(pid, SIGKILL);
  return waitGone(graceMs);
}

Outcome Run(const Environment& env) {
  const std::string log = env.exeDir + "/err.txt";
  Stamp stamp(env.stampPath);
  double now = rtl::CurrentClock().WallNow().Value;
  double last = stamp.Last();
  double since = (now - last) * 86400.0;
  if (last > 0 && since >= 0 && since < kMinimumIntervalSeconds) {
    AppendLogLine(log, "自动重启已取消：距上次重启不到一分钟");
    return Outcome::Refused;
  }
  stamp.Set(now);

  if (int pid = env.runningPid ? env.runningPid() : 0; pid > 0 && env.endProcess && !env.endProcess(pid)) {
    AppendLogLine(log, "自动重启失败：程序未能退出");
    return Outcome::StartFailed;
  }
  shell::Command command{{env.exeDir + "/ostrovel"}, env.exeDir};
  std::string error;
  shell::Launcher& launcher = env.launcher ? *env.launcher : shell::CurrentLauncher();
  if (access(command.argv[0].c_str(), X_OK) != 0) error = "not found";
  if (!error.empty() || !launcher.Start(command, error)) {
    AppendLogLine(log, "自动重启失败：无法启动 " + command.argv[0] + "：" + error);
    return Outcome::StartFailed;
  }
  return Outcome::Restarted;
}

Environment PlayerEnvironment(const std::string& exeDir, const std::string& mutexName) {
  Environment env;
  env.exeDir = exeDir;
  std::string lock = os::MutexLockPath(mutexName);
  env.stampPath = (lock.empty() ? exeDir + "/quorvex" : lock) + ".restarted";
  env.runningPid = [mutexName] { return os::MutexHolderPid(mutexName); };
  env.endProcess = [mutexName](int pid) {
    return EndProcess(pid, [mutexName, pid] { return os::MutexHolderPid(mutexName) == pid; });
  };
  return env;
}

}  // namespace quorvex
