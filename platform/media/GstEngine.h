#pragma once
// The real sound engine: one GStreamer playbin per opened file, pre-rolled on Open so that
// Play starts at once. The GUI thread never waits on a pipeline longer than a short bound;
// end of stream and errors are read from the pipeline's bus whenever the stream is asked.
#include "platform/media/Engine.h"

namespace media {

class GstEngine : public Engine {
 public:
  enum class Output {
    Automatic,  // the machine's sound output, or the null sink when there is none
    Null,       // always the clock-synchronised null sink (servers, CI, tests)
  };
  explicit GstEngine(Output output = Output::Automatic);
  std::unique_ptr<Stream> Open(const std::string& path) override;
  std::optional<int64_t> ProbeLengthMs(const std::string& path) override;
  // True when streams of this engine play into the null sink.
  bool UsesNullSink();

  // Longest time Open waits for the pipeline to pre-roll.
  static constexpr int kOpenTimeoutMs = 3000;
  // Longest time a seek or a length probe waits for the pipeline.
  static constexpr int kSettleTimeoutMs = 1000;
  static constexpr int kProbeTimeoutMs = 5000;

 private:
  Output FOutput;
};

// True when the machine has a sound output that GStreamer can open: a sound server, else an
// ALSA device (probed once per process, silently). The environment variable
// OSTROVEL_AUDIO_SINK=null makes it false.
bool HaveAudioOutput();

}  // namespace media
