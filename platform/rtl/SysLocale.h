#pragma once
// What the system's locale is, as programs ask before taking a script's own path: here never a
// Far East (double-byte) nor a Middle East (right-to-left) locale, since text is UTF-8 and a
// character is one code point whatever its script.
struct TSysLocale {
  bool FarEast = false;
  bool MiddleEast = false;
};
inline constexpr TSysLocale SysLocale{};
