#include "platform/shell/ShellPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/rtl/DateTime.h"

namespace shell {

namespace {

std::string HomeDir() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

// An XDG variable counts only when it holds an absolute path.
std::string XdgDir(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  return HomeDir() + fallback;
}

}  // namespace

std::string DataHomeDir() { return XdgDir("XDG_DATA_HOME", "/.local/share"); }

std::string ConfigHomeDir() { return XdgDir("XDG_CONFIG_HOME", "/.config"); }

std::string IsoLocalNow() { return FormatDateTime("yyyy-mm-dd\"T\"hh:nn:ss", Now()); }

std::string UriEscapePath(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (keep) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

}  // namespace shell
