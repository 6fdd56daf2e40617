#pragma once
// A sound engine for tests: files are entries of a table (path → length, or a failure to
// open), positions follow the current clock (the virtual one in tests), a track ends when its
// length is reached, and every call is recorded as a line of text:
//   "open PATH", "play PATH", "pause PATH", "seek PATH MS", "gain PATH G", "close PATH",
//   "probe PATH" (G printed with two decimals).
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/media/Engine.h"

namespace test {

class SimulatedEngine : public media::Engine {
 public:
  SimulatedEngine();
  // A playable file of the given length.
  void AddFile(const std::string& path, int64_t lengthMs);
  // A file that fails to open with the given kind and message.
  void AddFailingFile(const std::string& path, media::FailureKind kind = media::FailureKind::CannotDecode,
                      const std::string& message = "The file's format cannot be played");
  // Files missing from the table that exist on disk open with this length (off when < 0).
  void SetDefaultLengthMs(int64_t lengthMs);

  std::unique_ptr<media::Stream> Open(const std::string& path) override;
  std::optional<int64_t> ProbeLengthMs(const std::string& path) override;

  std::vector<std::string> Calls() const;
  void ClearCalls();
  // Streams open now.
  int OpenStreams() const;
  // Gain last set on any stream of that path (1.0 when never set).
  double GainOf(const std::string& path) const;

  struct Shared;

 private:
  std::shared_ptr<Shared> FShared;
};

}  // namespace test
