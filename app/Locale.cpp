#include "app/Locale.h"

namespace app {

bool NamesNoLanguage(const std::string& LocaleName) {
  const std::string base = LocaleName.substr(0, LocaleName.find_first_of(".@"));
  return base.empty() || base == "C" || base == "POSIX";
}

void UseProgramDateFormats(TFormatSettings& Settings, const std::string& LocaleName) {
  if (NamesNoLanguage(LocaleName)) Settings.LongDateFormat = Settings.ShortDateFormat;
}

}  // namespace app
