#pragma once
// The sound engine behind the media players: opens a file as a stream that can be played,
// paused, positioned and measured. The real engine is GStreamer; tests install a simulated one.
// Plain std types only, so that the engine knows nothing of components or messages.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace media {

// Why an engine call failed; the layer above turns it into the platform's error codes.
enum class FailureKind {
  FileNotFound,   // the path names no readable file
  CannotDecode,   // the file is there but no decoder understands it
  NoOutput,       // no sound output could be opened
  TimedOut,       // the engine did not answer in time
  Other,
};

class Failure : public std::runtime_error {
 public:
  Failure(FailureKind kind, const std::string& message) : std::runtime_error(message), FKind(kind) {}
  FailureKind Kind() const { return FKind; }
 private:
  FailureKind FKind;
};

// One opened file. Every call returns within a short bounded time; none waits for the track.
class Stream {
 public:
  virtual ~Stream() = default;
  // Length of the track in milliseconds.
  virtual int64_t LengthMs() = 0;
  // Current position in milliseconds (the length once the end was reached).
  virtual int64_t PositionMs() = 0;
  // Moves to the position (clamped to 0..length); keeps playing or paused as it was.
  virtual void Seek(int64_t ms) = 0;
  virtual void Play() = 0;
  virtual void Pause() = 0;
  // True once the track has played to its end (the stream is then paused at its end).
  virtual bool Ended() = 0;
  // An error the stream met while playing (empty when none); reading it clears it.
  virtual std::string TakeError() { return {}; }
  // Loudness of this stream, 0.0..1.0 (the layer's master gain when there is no system mixer).
  virtual void SetGain(double gain) = 0;
};

class Engine {
 public:
  virtual ~Engine() = default;
  // Opens and pre-rolls the file; raises Failure when that is not possible.
  virtual std::unique_ptr<Stream> Open(const std::string& path) = 0;
  // The file's length in milliseconds without opening a sound output; nullopt when unreadable.
  virtual std::optional<int64_t> ProbeLengthMs(const std::string& path);
};

// The engine players use: the one installed by SetEngine, else GStreamer.
Engine& CurrentEngine();
// Installs an engine (nullptr restores GStreamer). The caller keeps ownership.
void SetEngine(Engine* engine);

}  // namespace media
