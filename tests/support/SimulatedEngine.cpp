#include "tests/support/SimulatedEngine.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "platform/rtl/Clock.h"

namespace test {

using media::Failure;
using media::FailureKind;
using media::Stream;

struct SimulatedEngine::Shared {
  struct Entry {
    int64_t lengthMs = 0;
    bool fails = false;
    FailureKind kind = FailureKind::CannotDecode;
    std::string message;
  };
  mutable std::mutex lock;
  std::map<std::string, Entry> files;
  int64_t defaultLengthMs = -1;
  std::vector<std::string> calls;
  std::map<std::string, double> gains;
  int openStreams = 0;

  void Record(const std::string& line) {
    std::lock_guard<std::mutex> g(lock);
    calls.push_back(line);
  }
};

namespace {

int64_t NowMs() { return rtl::CurrentClock().MonotonicMs(); }

class SimulatedStream : public Stream {
 public:
  SimulatedStream(std::shared_ptr<SimulatedEngine::Shared> shared, std::string path, int64_t length)
      : FShared(std::move(shared)), FPath(std::move(path)), FLength(length) {
    std::lock_guard<std::mutex> g(FShared->lock);
    ++FShared->openStreams;
  }
  ~SimulatedStream() override {
    FShared->Record("close " + FPath);
    std::lock_guard<std::mutex> g(FShared->lock);
    --FShared->openStreams;
  }

  int64_t LengthMs() override { return FLength; }

  int64_t PositionMs() override {
    if (!FPlaying) return FPosition;
    return std::min(FLength, FPosition + (NowMs() - FPlayStart));
  }

  void Seek(int64_t ms) override {
    FShared->Record("seek " + FPath + " " + std::to_string(ms));
    ms = std::clamp<int64_t>(ms, 0, FLength);
    FPosition = ms;
    if (FPlaying) FPlayStart = NowMs();
  }

  void Play() override {
    FShared->Record("play " + FPath);
    if (FPlaying || PositionMs() >= FLength) return;
    FPlaying = true;
    FPlayStart = NowMs();
  }

  void Pause() override {
    FShared->Record("pause " + FPath);
    FPosition = PositionMs();
    FPlaying = false;
  }

  bool Ended() override { return PositionMs() >= FLength; }

  void SetGain(double gain) override {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", gain);
    FShared->Record("gain " + FPath + " " + text);
    std::lock_guard<std::mutex> g(FShared->lock);
    FShared->gains[FPath] = gain;
  }

 private:
  std::shared_ptr<SimulatedEngine::Shared> FShared;
  std::string FPath;
  int64_t FLength;
  int64_t FPosition = 0;
  int64_t FPlayStart = 0;
  bool FPlaying = false;
};

bool ExistsOnDisk(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

SimulatedEngine::SimulatedEngine() : FShared(std::make_shared<Shared>()) {}

void SimulatedEngine::AddFile(const std::string& path, int64_t lengthMs) {
  std::lock_guard<std::mutex> g(FShared->lock);
  FShared->files[path] = Shared::Entry{lengthMs, false, FailureKind::Other, {}};
}

void SimulatedEngine::AddFailingFile(const std::string& path, FailureKind kind,
                                     const std::string& message) {
  std::lock_guard<std::mutex> g(FShared->lock);
  FShared->files[path] = Shared::Entry{0, true, kind, message};
}

void SimulatedEngine::SetDefaultLengthMs(int64_t lengthMs) {
  std::lock_guard<std::mutex> g(FShared->lock);
  FShared->defaultLengthMs = lengthMs;
}

std::unique_ptr<Stream> SimulatedEngine::Open(const std::string& path) {
  FShared->Record("open " + path);
  Shared::Entry entry;
  {
    std::lock_guard<std::mutex> g(FShared->lock);
    auto it = FShared->files.find(path);
    if (it != FShared->files.end()) {
      entry = it->second;
      entry.message += ": " + path;
    } else if (FShared->defaultLengthMs >= 0 && ExistsOnDisk(path)) {
      entry.lengthMs = FShared->defaultLengthMs;
    } else {
      entry.fails = true;
      entry.kind = FailureKind::FileNotFound;
      entry.message = "The specified file cannot be found: " + path;
    }
  }
  if (entry.fails) throw Failure(entry.kind, entry.message);
  return std::make_unique<SimulatedStream>(FShared, path, entry.lengthMs);
}

std::optional<int64_t> SimulatedEngine::ProbeLengthMs(const std::string& path) {
  FShared->Record("probe " + path);
  std::lock_guard<std::mutex> g(FShared->lock);
  auto it = FShared->files.find(path);
  if (it != FShared->files.end()) {
    if (it->second.fails) return std::nullopt;
    return it->second.lengthMs;
  }
  if (FShared->defaultLengthMs >= 0 && ExistsOnDisk(path)) return FShared->defaultLengthMs;
  return std::nullopt;
}

std::vector<std::string> SimulatedEngine::Calls() const {
  std::lock_guard<std::mutex> g(FShared->lock);
  return FShared->calls;
}

void SimulatedEngine::ClearCalls() {
  std::lock_guard<std::mutex> g(FShared->lock);
  FShared->calls.clear();
}

int SimulatedEngine::OpenStreams() const {
  std::lock_guard<std::mutex> g(FShared->lock);
  return FShared->openStreams;
}

double SimulatedEngine::GainOf(const std::string& path) const {
  std::lock_guard<std::mutex> g(FShared->lock);
  auto it = FShared->gains.find(path);
  return it == FShared->gains.end() ? 1.0 : it->second;
}

}  // namespace test
