#include "platform/shell/ShellPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include <cmath>
#include <cstdio>

#include "platform/rtl/Clock.h"

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

std::string IsoLocalNow() {
  // Whole seconds since 1899-12-30, split into the civil date and the time of day.
  auto secs = static_cast<int64_t>(std::floor(rtl::CurrentClock().WallNow().Value * 86400.0 + 0.5));
  int64_t days = secs / 86400 - 25569;  // days since 1970-01-01
  int64_t rest = secs % 86400;
  // Civil date from a day count (proleptic Gregorian calendar).
  int64_t z = days + 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int64_t d = doy - (153 * mp + 2) / 5 + 1;
  int64_t m = mp < 10 ? mp + 3 : mp - 9;
  int64_t y = yoe + era * 400 + (m <= 2);
  char text[96];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lldT%02lld:%02lld:%02lld", static_cast<long long>(y),
                static_cast<long long>(m), static_cast<long long>(d), static_cast<long long>(rest / 3600),
                static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
  return text;
}

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
