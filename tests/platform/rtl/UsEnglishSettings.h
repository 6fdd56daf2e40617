#pragma once
// Puts the US-English settings in place of the process's for a test's lifetime.
#include "platform/rtl/FormatSettings.h"

class UsEnglishSettings {
 public:
  UsEnglishSettings() : FSaved(FormatSettings()) { FormatSettings() = rtl::LocaleFormatSettings("en_US"); }
  ~UsEnglishSettings() { FormatSettings() = FSaved; }
  UsEnglishSettings(const UsEnglishSettings&) = delete;
  UsEnglishSettings& operator=(const UsEnglishSettings&) = delete;

 private:
  TFormatSettings FSaved;
};
