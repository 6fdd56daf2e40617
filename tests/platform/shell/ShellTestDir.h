#pragma once
// A temporary home for the shell services: XDG_DATA_HOME and XDG_CONFIG_HOME point into it.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace shelltest {

class TempHome {
 public:
  TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrovel-shell-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    FPath = mkdtemp(buf.data());
    setenv("XDG_DATA_HOME", (FPath + "/data").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (FPath + "/config").c_str(), 1);
  }
  ~TempHome() {
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }

 private:
  std::string FPath;
};

inline void Write(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace shelltest
