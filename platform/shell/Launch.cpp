#include "platform/shell/Launch.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "platform/rtl/Strings.h"
#include "platform/shell/ShellPaths.h"

extern char** environ;

namespace shell {

namespace {

std::atomic<Launcher*> gLauncher{nullptr};

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsExecutableFile(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

bool Exists(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0;
}

bool HasScheme(const std::string& s) {
  auto colon = s.find("://");
  return colon != std::string::npos && colon > 0 && s.find('/') > colon;
}

// Paths the system joins with "\" name the same file with "/".
std::string Slashes(std::string s) {
  for (char& c : s)
    if (c == '\\') c = '/';
  return s;
}

// "shutdown.exe -s -f -t 10": power off (-s) or restart (-r) after the delay.
ShellAction Shutdown(const std::string& params) {
  auto args = SplitParameters(params);
  bool reboot = false, power = false, force = false;
  long delay = 30;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string a = LowerCase(args[i]);
    if (!a.empty() && a[0] == '/') a[0] = '-';
    if (a == "-s" || a == "-p") power = true;
    else if (a == "-r") reboot = true;
    else if (a == "-f") force = true;
    else if (a == "-t" && i + 1 < args.size()) delay = std::strtol(args[++i].c_str(), nullptr, 10);
  }
  if (!power && !reboot) return {std::nullopt, kShellNoAssociation};
  if (delay < 0) delay = 0;
  std::string verb = reboot ? "reboot" : "poweroff";
  // logind (through systemctl) where the machine has it, else the classic command. Forcing
  // means ignoring the inhibitors other programs hold.
  std::string script = "sleep \"$1\"; systemctl " + verb + (force ? " -i" : "") + " || shutdown " +
                       (reboot ? "-r" : "-h") + " now";
  return {Command{{"/bin/sh", "-c", script, "sh", std::to_string(delay)}, "/"}, 0};
}

// "explorer.exe /e,/select,PATH" shows PATH in its folder; "explorer.exe FOLDER" opens it.
ShellAction Explorer(const std::string& params) {
  bool select = false;
  std::string target;
  std::string rest = params;
  // The options are comma-separated; the path is what follows the last option.
  while (!rest.empty()) {
    auto comma = rest.find(',');
    std::string part = rest.substr(0, comma);
    std::string lower = LowerCase(part);
    if (lower == "/e" || lower == "/n" || lower == "/root" || lower == "/select") {
      if (lower == "/select") select = true;
      if (comma == std::string::npos) { rest.clear(); break; }
      rest = rest.substr(comma + 1);
      continue;
    }
    target = rest;
    break;
  }
  while (!target.empty() && target.front() == ' ') target.erase(target.begin());
  if (target.size() >= 2 && target.front() == '"' && target.back() == '"') target = target.substr(1, target.size() - 2);
  target = Slashes(target);
  if (target.empty()) target = DataHomeDir() + "/..";
  if (!select) return {Command{{"xdg-open", target}, ""}, 0};
  if (!Exists(target)) return {std::nullopt, kShellFileNotFound};
  // The desktop's file manager selects the item when it offers the freedesktop interface;
  // otherwise the folder is opened.
  std::string uri = "file://" + UriEscapePath(target);
  std::string script =
      "dbus-send --session --print-reply --dest=org.freedesktop.FileManager1 /org/freedesktop/FileManager1 "
      "org.freedesktop.FileManager1.ShowItems \"array:string:$1\" \"string:\" >/dev/null 2>&1 || exec xdg-open \"$2\"";
  return {Command{{"/bin/sh", "-c", script, "sh", uri, DirName(target)}, ""}, 0};
}

}  // namespace

std::vector<std::string> SplitParameters(const std::string& params) {
  std::vector<std::string> out;
  std::string current;
  bool inQuotes = false, any = false;
  for (char c : params) {
    if (c == '"') { inQuotes = !inQuotes; any = true; continue; }
    if ((c == ' ' || c == '\t') && !inQuotes) {
      if (any) out.push_back(current);
      current.clear();
      any = false;
      continue;
    }
    current += c;
    any = true;
  }
  if (any) out.push_back(current);
  return out;
}

ShellAction MapShellExecute(const std::string& verb, const std::string& rawFile, const std::string& params,
                            const std::string& dir, const std::string& exeDir) {
  std::string v = LowerCase(verb);
  std::string file = Slashes(rawFile);
  std::string name = LowerCase(BaseName(file));
  if (file.empty()) return {std::nullopt, kShellFileNotFound};
  if (name == "shutdown.exe" || name == "shutdown") return Shutdown(params);
  if (name == "explorer.exe" || name == "explorer") return Explorer(params);
  if (!v.empty() && v != "open" && v != "explore") return {std::nullopt, kShellNoAssociation};

  std::vector<std::string> args = SplitParameters(params);
  if (EndsWith(name, ".exe")) {
    // A Windows program of the system's own: the program of that name without ".exe" in the
    // same folder (the executable's folder when no folder is given).
    std::string folder = file.find('/') != std::string::npos ? DirName(file) : (!dir.empty() ? Slashes(dir) : exeDir);
    std::string base = BaseName(file);
    std::string program = folder + "/" + base.substr(0, base.size() - 4);
    if (!IsExecutableFile(program)) program = folder + "/" + base;
    if (!IsExecutableFile(program)) return {std::nullopt, Exists(folder) ? kShellFileNotFound : kShellPathNotFound};
    args.insert(args.begin(), program);
    return {Command{args, folder}, 0};
  }
  if (HasScheme(file)) return {Command{{"xdg-open", file}, ""}, 0};
  std::string path = file[0] == '/' || dir.empty() ? file : Slashes(dir) + "/" + file;
  if (!Exists(path)) return {std::nullopt, kShellFileNotFound};
  if (IsExecutableFile(path) && v != "explore") {
    args.insert(args.begin(), path);
    return {Command{args, dir.empty() ? DirName(path) : Slashes(dir)}, 0};
  }
  return {Command{{"xdg-open", path}, ""}, 0};
}

bool SpawnLauncher::Start(const Command& command, std::string& error) {
  if (command.argv.empty()) {
    error = "nothing to start";
    return false;
  }
  std::vector<char*> argv;
  for (const auto& a : command.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attr;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attr);
  // A session of its own (the program may end before it does), standard input from nowhere,
  // and no descriptor of ours but the standard output and error.
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  if (!command.workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, command.workDir.c_str());
  pid_t pid = 0;
  int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    error = std::strerror(rc);
    return false;
  }
  // Reaps the child whenever it ends, so that it never lingers as a zombie.
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

Launcher& CurrentLauncher() {
  if (Launcher* l = gLauncher.load()) return *l;
  static SpawnLauncher spawner;
  return spawner;
}

void SetLauncher(Launcher* launcher) { gLauncher.store(launcher); }

}  // namespace shell
