#include "platform/media/Engine.h"

#include <atomic>

#include "platform/media/GstEngine.h"

namespace media {

namespace {
std::atomic<Engine*> gEngine{nullptr};
}

std::optional<int64_t> Engine::ProbeLengthMs(const std::string& path) {
  try {
    return Open(path)->LengthMs();
  } catch (const Failure&) {
    return std::nullopt;
  }
}

Engine& CurrentEngine() {
  if (Engine* e = gEngine.load()) return *e;
  static GstEngine gstreamer;
  return gstreamer;
}

void SetEngine(Engine* engine) { gEngine.store(engine); }

}  // namespace media
