#pragma once
// The date conventions of the player's own texts: the clock pane and the weekday label of the
// main window follow the locale the program runs in.
#include <string>

#include "platform/rtl/FormatSettings.h"

namespace app {

// True when the locale name picks no language: nothing set, "C" or "POSIX" (with or without
// a codeset).
bool NamesNoLanguage(const std::string& LocaleName);

// Where the process runs in no language's locale, its long date is its short date: such a
// locale has no long date of its own, and the main window's clock pane (long date and time),
// laid out for the Chinese long date, has room for the short date and the time only. Other
// locales keep their formats.
void UseProgramDateFormats(TFormatSettings& Settings, const std::string& LocaleName);

}  // namespace app
