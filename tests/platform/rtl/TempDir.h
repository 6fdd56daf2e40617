#pragma once
// A fresh directory under the system's temporary folder, removed with everything in it.
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace rtl_test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rtl-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    FPath = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(FPath, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

}  // namespace rtl_test
