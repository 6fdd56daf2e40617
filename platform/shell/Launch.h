#pragma once
// Starting other programs for the shell services: the Windows programs the system names are
// mapped to their counterparts here, and every start is detached (own session, no inherited
// descriptors, reaped so that no zombie remains). Tests install a recorder (tests/support) that starts nothing.
#include <optional>
#include <string>
#include <vector>

namespace shell {

struct Command {
  std::vector<std::string> argv;  // argv[0] is the program (looked up in PATH without a "/")
  std::string workDir;            // "" = the current folder
  friend bool operator==(const Command&, const Command&) = default;
};

// A shell-execute call as the program made it.
struct ShellRequest {
  std::string verb, file, params, dir;
  int show = 0;
  friend bool operator==(const ShellRequest&, const ShellRequest&) = default;
};

class Launcher {
 public:
  virtual ~Launcher() = default;
  // Told of every shell-execute call before it is mapped to a command.
  virtual void Requested(const ShellRequest&) {}
  // Starts the command detached; false with a reason when it could not be started.
  virtual bool Start(const Command& command, std::string& error) = 0;
};

class SpawnLauncher : public Launcher {
 public:
  bool Start(const Command& command, std::string& error) override;
};

Launcher& CurrentLauncher();
void SetLauncher(Launcher* launcher);

// The shell's result codes for a failed start (a successful start answers above 32).
constexpr int kShellFileNotFound = 2;
constexpr int kShellPathNotFound = 3;
constexpr int kShellAccessDenied = 5;
constexpr int kShellNoAssociation = 31;
constexpr int kShellSuccess = 42;

// What a shell-execute call does here: the command, or the shell's error code. exeDir is the
// folder of the running program ("X.exe" without a folder is looked for there).
struct ShellAction {
  std::optional<Command> command;
  int error = 0;
};
ShellAction MapShellExecute(const std::string& verb, const std::string& file, const std::string& params,
                            const std::string& dir, const std::string& exeDir);

// Splits a Windows-style parameter string: blanks separate, double quotes group.
std::vector<std::string> SplitParameters(const std::string& params);

}  // namespace shell
