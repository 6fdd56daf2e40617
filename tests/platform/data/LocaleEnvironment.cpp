// The data tests read and write text in the Chinese regional settings the shop's
// machines use ("yyyy-mm-dd", "hh:nn:ss"), whatever the build machine's locale.
#include <gtest/gtest.h>

#include "platform/rtl/FormatSettings.h"

namespace {

class ChineseSettings : public ::testing::Environment {
 public:
  void SetUp() override {
    FSaved = FormatSettings();
    FormatSettings() = rtl::LocaleFormatSettings("zh_CN");
  }
  void TearDown() override { FormatSettings() = FSaved; }

 private:
  TFormatSettings FSaved;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new ChineseSettings);

}  // namespace
