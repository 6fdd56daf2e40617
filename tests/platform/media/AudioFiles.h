#pragma once
// Audio fixtures made by the tests: WAV files of a sine tone or of silence, in a temporary folder.
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mediatest {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "ostrovel-media-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    FPath = mkdtemp(buf.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
  }
  std::string operator/(const std::string& name) const { return FPath + "/" + name; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

inline void PutLE(std::string& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// The 44-byte header of a mono 16-bit PCM WAV file holding dataBytes of samples.
inline std::string WavHeader(uint32_t rate, uint32_t dataBytes) {
  std::string h = "RIFF";
  PutLE(h, 36 + dataBytes, 4);
  h += "WAVEfmt ";
  PutLE(h, 16, 4);
  PutLE(h, 1, 2);         // PCM
  PutLE(h, 1, 2);         // mono
  PutLE(h, rate, 4);
  PutLE(h, rate * 2, 4);  // bytes per second
  PutLE(h, 2, 2);         // block align
  PutLE(h, 16, 2);        // bits per sample
  h += "data";
  PutLE(h, dataBytes, 4);
  return h;
}

// A 440 Hz tone of the given length.
inline void WriteSineWav(const std::string& path, int ms, uint32_t rate = 8000) {
  uint32_t samples = rate * static_cast<uint32_t>(ms) / 1000;
  std::string data = WavHeader(rate, samples * 2);
  for (uint32_t i = 0; i < samples; ++i) {
    auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
    PutLE(data, static_cast<uint16_t>(v), 2);
  }
  std::ofstream(path, std::ios::binary) << data;
}

// Silence of the given length; the samples are a hole in a sparse file, so an hour costs
// no disk space.
inline void WriteSilentWav(const std::string& path, int64_t ms, uint32_t rate = 8000) {
  auto dataBytes = static_cast<uint32_t>(rate * 2 * ms / 1000);
  { std::ofstream(path, std::ios::binary) << WavHeader(rate, dataBytes); }
  if (truncate(path.c_str(), 44 + static_cast<off_t>(dataBytes)) != 0) std::abort();
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

}  // namespace mediatest
