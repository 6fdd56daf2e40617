#include "platform/media/GstEngine.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace media {

namespace {

void EnsureGst() {
  static std::once_flag once;
  std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

// playbin flags: audio only, with software volume (no video window for cover pictures,
// no subtitles).
constexpr guint kPlayFlagAudio = 1u << 1;
constexpr guint kPlayFlagSoftVolume = 1u << 4;

template <class T>
struct GstUnref {
  void operator()(T* p) const { if (p) gst_object_unref(p); }
};
using ElementPtr = std::unique_ptr<GstElement, GstUnref<GstElement>>;
using BusPtr = std::unique_ptr<GstBus, GstUnref<GstBus>>;

struct MessageUnref {
  void operator()(GstMessage* m) const { if (m) gst_message_unref(m); }
};
using MessagePtr = std::unique_ptr<GstMessage, MessageUnref>;

struct ErrorInfo {
  FailureKind kind = FailureKind::Other;
  std::string text;
};

bool IsReadableFile(const std::string& path) {
  struct stat st{};
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
         access(path.c_str(), R_OK) == 0;
}

std::string Extension(const std::string& path) {
  auto slash = path.find_last_of('/');
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Turns an error message of the bus into a failure kind and a sentence a user can act on.
ErrorInfo DescribeError(GstMessage* msg, GstElement* sink, const std::string& path) {
  GError* err = nullptr;
  gchar* debug = nullptr;
  gst_message_parse_error(msg, &err, &debug);
  ErrorInfo info;
  std::string detail = err && err->message ? err->message : "unknown error";
  bool fromSink = sink && GST_MESSAGE_SRC(msg) &&
                  (GST_MESSAGE_SRC(msg) == GST_OBJECT(sink) ||
                   gst_object_has_as_ancestor(GST_MESSAGE_SRC(msg), GST_OBJECT(sink)));
  if (err && err->domain == GST_RESOURCE_ERROR && fromSink) {
    info.kind = FailureKind::NoOutput;
    info.text = "The sound output cannot be opened: " + detail;
  } else if (err && err->domain == GST_RESOURCE_ERROR &&
             (err->code == GST_RESOURCE_ERROR_NOT_FOUND || err->code == GST_RESOURCE_ERROR_OPEN_READ)) {
    info.kind = FailureKind::FileNotFound;
    info.text = "The file cannot be opened: " + path;
  } else if (err && (err->domain == GST_STREAM_ERROR || err->domain == GST_CORE_ERROR)) {
    info.kind = FailureKind::CannotDecode;
    std::string ext = Extension(path);
    if (ext == "mid" || ext == "midi")
      info.text = "MIDI files need a synthesizer and a sound font, and none is installed: " + path;
    else
      info.text = "The file's format cannot be played (" + detail + "): " + path;
  } else {
    info.text = "The file cannot be played (" + detail + "): " + path;
  }
  if (err) g_error_free(err);
  g_free(debug);
  return info;
}

GstElement* MakeNullSink() {
  GstElement* sink = gst_element_factory_make("fakesink", nullptr);
  if (sink) g_object_set(sink, "sync", TRUE, nullptr);  // consume at real-time speed
  return sink;
}

// The sound outputs tried, best first: the desktop's sound server (PulseAudio, or PipeWire
// in its place), then the ALSA device. Each is tried by hand rather than through an automatic
// sink, which would also try outputs that report their failures on the standard error.
constexpr const char* kOutputSinks[] = {"pulsesink", "alsasink"};

// The factory of the first sound output that opens; "" when none does (probed once).
const std::string& OutputSinkFactory() {
  static const std::string factory = []() -> std::string {
    const char* forced = std::getenv("OSTROVEL_AUDIO_SINK");
    if (forced && std::strcmp(forced, "null") == 0) return {};
    EnsureGst();
    for (const char* name : kOutputSinks) {
      GstElement* sink = gst_element_factory_make(name, nullptr);
      if (!sink) continue;
      gst_object_ref_sink(sink);
      // Going to READY opens the device or connects to the server.
      bool opens = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
      gst_element_set_state(sink, GST_STATE_NULL);
      gst_object_unref(sink);
      if (opens) return name;
    }
    return {};
  }();
  return factory;
}

class GstStream : public Stream {
 public:
  GstStream(const std::string& path, bool nullSink) : FPath(path) {
    FPipeline.reset(gst_element_factory_make("playbin", nullptr));
    if (!FPipeline)
      throw Failure(FailureKind::Other, "GStreamer's playback plug-ins are not installed");
    gst_object_ref_sink(FPipeline.get());
    FSink = nullSink ? MakeNullSink() : gst_element_factory_make(OutputSinkFactory().c_str(), nullptr);
    if (!FSink) throw Failure(FailureKind::NoOutput, "No sound output element is installed");
    g_object_set(FPipeline.get(), "audio-sink", FSink, "flags", kPlayFlagAudio | kPlayFlagSoftVolume,
                 nullptr);
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (!uri) throw Failure(FailureKind::FileNotFound, "The file cannot be opened: " + path);
    g_object_set(FPipeline.get(), "uri", uri, nullptr);
    g_free(uri);
    FBus.reset(gst_element_get_bus(FPipeline.get()));
    Preroll();
  }

  ~GstStream() override {
    if (FPipeline) gst_element_set_state(FPipeline.get(), GST_STATE_NULL);
  }

  int64_t LengthMs() override {
    if (FLengthMs < 0) QueryLength();
    return FLengthMs < 0 ? 0 : FLengthMs;
  }

  int64_t PositionMs() override {
    if (Ended()) return LengthMs();
    gint64 pos = 0;
    if (gst_element_query_position(FPipeline.get(), GST_FORMAT_TIME, &pos) && pos >= 0)
      FLastPositionMs = pos / GST_MSECOND;
    return FLastPositionMs;
  }

  void Seek(int64_t ms) override {
    Drain();
    int64_t length = LengthMs();
    if (ms < 0) ms = 0;
    if (length > 0 && ms > length) ms = length;
    FEnded = false;
    FLastPositionMs = ms;
    gst_element_seek_simple(FPipeline.get(), GST_FORMAT_TIME,
                            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                            ms * GST_MSECOND);
    // A flushing seek pre-rolls again; wait a little so that Position reads the new place.
    gst_element_get_state(FPipeline.get(), nullptr, nullptr,
                          GstEngine::kSettleTimeoutMs * GST_MSECOND);
  }

  void Play() override {
    Drain();
    if (FEnded) return;
    if (gst_element_set_state(FPipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
      Drain();
      if (FError.empty()) FError = "The file cannot be played: " + FPath;
      FEnded = true;
    }
  }

  void Pause() override {
    Drain();
    PositionMs();  // remember where it stood
    gst_element_set_state(FPipeline.get(), GST_STATE_PAUSED);
  }

  bool Ended() override {
    Drain();
    return FEnded;
  }

  std::string TakeError() override {
    Drain();
    std::string e = std::move(FError);
    FError.clear();
    return e;
  }

  void SetGain(double gain) override {
    if (gain < 0) gain = 0;
    if (gain > 1) gain = 1;
    // The gain is a loudness on the cubic scale the desktop's volume sliders use.
    g_object_set(FPipeline.get(), "volume", gain * gain * gain, nullptr);
  }

 private:
  void Preroll() {
    GstStateChangeReturn r = gst_element_set_state(FPipeline.get(), GST_STATE_PAUSED);
    if (r == GST_STATE_CHANGE_FAILURE) {
      // The error explaining the failure is on the bus.
      MessagePtr msg(gst_bus_pop_filtered(FBus.get(), GST_MESSAGE_ERROR));
      Fail(msg.get());
    }
    if (r == GST_STATE_CHANGE_ASYNC) {
      gint64 deadline = g_get_monotonic_time() + GstEngine::kOpenTimeoutMs * 1000;
      for (;;) {
        gint64 left = deadline - g_get_monotonic_time();
        if (left <= 0) {
          gst_element_set_state(FPipeline.get(), GST_STATE_NULL);
          throw Failure(FailureKind::TimedOut, "The file took too long to open: " + FPath);
        }
        MessagePtr msg(gst_bus_timed_pop_filtered(
            FBus.get(), static_cast<GstClockTime>(left) * GST_USECOND,
            static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR | GST_MESSAGE_EOS)));
        if (!msg) continue;
        if (GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_ERROR) Fail(msg.get());
        if (GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_EOS) FEnded = true;
        if (GST_MESSAGE_SRC(msg.get()) == GST_OBJECT(FPipeline.get()) ||
            GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_EOS)
          break;
      }
    }
    QueryLength();
  }

  [[noreturn]] void Fail(GstMessage* msg) {
    ErrorInfo info;
    if (msg) info = DescribeError(msg, FSink, FPath);
    else info.text = "The file cannot be played: " + FPath;
    gst_element_set_state(FPipeline.get(), GST_STATE_NULL);
    throw Failure(info.kind, info.text);
  }

  void QueryLength() {
    gint64 duration = 0;
    if (gst_element_query_duration(FPipeline.get(), GST_FORMAT_TIME, &duration) && duration >= 0)
      FLengthMs = duration / GST_MSECOND;
  }

  // Reads what the pipeline reported since the last look: end of stream and errors.
  void Drain() {
    while (MessagePtr msg{gst_bus_pop_filtered(
               FBus.get(), static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR))}) {
      if (GST_MESSAGE_TYPE(msg.get()) == GST_MESSAGE_ERROR) {
        FError = DescribeError(msg.get(), FSink, FPath).text;
        gst_element_set_state(FPipeline.get(), GST_STATE_PAUSED);
      }
      FEnded = true;
    }
  }

  std::string FPath;
  ElementPtr FPipeline;
  GstElement* FSink = nullptr;  // owned by the pipeline
  BusPtr FBus;
  int64_t FLengthMs = -1;
  int64_t FLastPositionMs = 0;
  bool FEnded = false;
  std::string FError;
};

}  // namespace

bool HaveAudioOutput() { return !OutputSinkFactory().empty(); }

GstEngine::GstEngine(Output output) : FOutput(output) {}

bool GstEngine::UsesNullSink() { return FOutput == Output::Null || !HaveAudioOutput(); }

std::unique_ptr<Stream> GstEngine::Open(const std::string& path) {
  if (!IsReadableFile(path))
    throw Failure(FailureKind::FileNotFound, "The specified file cannot be found: " + path);
  EnsureGst();
  return std::make_unique<GstStream>(path, UsesNullSink());
}

std::optional<int64_t> GstEngine::ProbeLengthMs(const std::string& path) {
  if (!IsReadableFile(path)) return std::nullopt;
  EnsureGst();
  GError* err = nullptr;
  GstDiscoverer* discoverer = gst_discoverer_new(kProbeTimeoutMs * GST_MSECOND, &err);
  if (!discoverer) {
    if (err) g_error_free(err);
    return std::nullopt;
  }
  gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
  std::optional<int64_t> result;
  if (uri) {
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uri, &err);
    if (info) {
      // Only a file with a decodable audio stream has a length worth reporting.
      GList* audio = gst_discoverer_info_get_audio_streams(info);
      if (gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK && audio) {
        GstClockTime duration = gst_discoverer_info_get_duration(info);
        if (GST_CLOCK_TIME_IS_VALID(duration)) result = static_cast<int64_t>(duration / GST_MSECOND);
      }
      gst_discoverer_stream_info_list_free(audio);
      gst_discoverer_info_unref(info);
    }
    g_free(uri);
  }
  if (err) g_error_free(err);
  g_object_unref(discoverer);
  return result;
}

}  // namespace media
