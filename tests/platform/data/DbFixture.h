#pragma once
// A fresh schedule database in a temporary folder, and the virtual clock the SQL reads.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/data/SqlDates.h"
#include "platform/data/Sqlite.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/DateTime.h"

namespace datatest {

inline std::string SchemaText() {
  std::ifstream in(std::string(OSTROVEL_SOURCE_DIR) + "/resources/schema/VN.sql");
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class TempFolder {
 public:
  TempFolder() {
    std::string templ = (std::filesystem::temp_directory_path() / "ostrovel-data-XXXXXX").string();
    char* p = ::mkdtemp(templ.data());
    if (!p) throw std::runtime_error("mkdtemp failed");
    FPath = p;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string File(const std::string& Name) const { return FPath + "/" + Name; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

// Test base: a database made from the schema and a virtual clock at a fixed instant.
class DbTest : public ::testing::Test {
 protected:
  // 2026-12-10 is a Thursday.
  DbTest() : Clock(EncodeDate(2026, 12, 10) + (10 * 3600.0) / 86400.0) {}
  void SetUp() override {
    rtl::SetClock(&Clock);
    DbPath = Folder.File("VN.dll");
    ASSERT_TRUE(data::CreateDatabase(DbPath, SchemaText()));
  }
  void TearDown() override { rtl::SetClock(nullptr); }

  // Moves the virtual wall clock to the given day and time.
  void SetNow(int Y, int M, int D, int H, int N, int S) {
    Clock.SetWallNow(TDateTime(EncodeDate(Y, M, D) + ((H * 60 + N) * 60 + S) / 86400.0));
  }

  TempFolder Folder;
  rtl::VirtualClock Clock;
  std::string DbPath;
};

}  // namespace datatest
