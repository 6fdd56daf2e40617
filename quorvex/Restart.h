#pragma once
// The restart companion's work: end the running player gracefully, wait for it to exit and
// start it again, at most once a minute. A refused restart is logged to "err.txt" beside the
// executable, so that a file that makes every playback fail cannot restart the player in a loop.
#include <functional>
#include <string>

#include "platform/shell/Launch.h"

namespace quorvex {

struct Environment {
  // The folder holding the player ("ostrovel") and its "err.txt".
  std::string exeDir;
  // A file that remembers when the last restart happened.
  std::string stampPath;
  // The process id of the running player (0 when none runs).
  std::function<int()> runningPid;
  // Ends that process; true once it is gone.
  std::function<bool(int pid)> endProcess;
  shell::Launcher* launcher = nullptr;
};

enum class Outcome { Restarted, Refused, StartFailed };

// Restarts within this many seconds of the last one are refused.
constexpr int kMinimumIntervalSeconds = 60;

Outcome Run(const Environment& env);

// The player's single-instance lock.
constexpr const char* kPlayerMutex = "Ostrovel1";

// The environment of the real player: the one holding the named lock is ended (SIGTERM, then
// SIGKILL) and "ostrovel" in exeDir is started. The stamp lives beside the lock file (beside
// the executable when there is no runtime folder).
Environment PlayerEnvironment(const std::string& exeDir, const std::string& mutexName = kPlayerMutex);

// Sends the process the termination signal and waits (up to graceMs) until stillRunning()
// turns false; then kills it and waits as long again. True once it is gone.
bool EndProcess(int pid, const std::function<bool()>& stillRunning, int graceMs = 10000);

// Appends "yyyymmdd hh:nn:ss message\r\n" (the program's clock) to the file.
void AppendLogLine(const std::string& path, const std::string& message);

}  // namespace quorvex
