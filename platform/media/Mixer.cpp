#include "platform/media/Mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <vector>

namespace media {

namespace {

std::atomic<Mixer*> gMixer{nullptr};

struct GainState {
  std::mutex lock;
  double gain = 1.0;
  std::map<const void*, std::function<void(double)>> listeners;
};

GainState& Gain() {
  static GainState state;
  return state;
}

// ALSA reports its own trouble on stderr; the layer reports through its results instead.
void SilentAlsaErrors(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

struct AlsaMixer::Impl {
  snd_mixer_t* handle = nullptr;
  snd_mixer_elem_t* master = nullptr;
  ~Impl() {
    if (handle) snd_mixer_close(handle);
  }
};

std::unique_ptr<AlsaMixer> AlsaMixer::OpenMaster() {
  snd_lib_error_set_handler(SilentAlsaErrors);
  auto impl = std::make_unique<Impl>();
  if (snd_mixer_open(&impl->handle, 0) < 0) {
    impl->handle = nullptr;
    return nullptr;
  }
  if (snd_mixer_attach(impl->handle, "default") < 0 ||
      snd_mixer_selem_register(impl->handle, nullptr, nullptr) < 0 || snd_mixer_load(impl->handle) < 0)
    return nullptr;
  snd_mixer_selem_id_t* id = nullptr;
  if (snd_mixer_selem_id_malloc(&id) < 0) return nullptr;
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_selem_id_set_name(id, "Master");
  impl->master = snd_mixer_find_selem(impl->handle, id);
  snd_mixer_selem_id_free(id);
  if (!impl->master || !snd_mixer_selem_has_playback_volume(impl->master)) return nullptr;
  std::unique_ptr<AlsaMixer> mixer(new AlsaMixer());
  mixer->FImpl = std::move(impl);
  return mixer;
}

AlsaMixer::~AlsaMixer() = default;

bool AlsaMixer::SetMasterVolume(uint16_t left, uint16_t right) {
  long min = 0, max = 0;
  snd_mixer_elem_t* e = FImpl->master;
  if (snd_mixer_selem_get_playback_volume_range(e, &min, &max) < 0 || max <= min) return false;
  auto scale = [&](uint16_t v) { return min + (max - min) * static_cast<long>(v) / 65535; };
  if (snd_mixer_selem_is_playback_mono(e))
    return snd_mixer_selem_set_playback_volume_all(e, scale(std::max(left, right))) >= 0;
  bool ok = snd_mixer_selem_set_playback_volume(e, SND_MIXER_SCHN_FRONT_LEFT, scale(left)) >= 0;
  ok = snd_mixer_selem_set_playback_volume(e, SND_MIXER_SCHN_FRONT_RIGHT, scale(right)) >= 0 && ok;
  return ok;
}

bool GainMixer::SetMasterVolume(uint16_t left, uint16_t right) {
  SetMasterGain(static_cast<double>(std::max(left, right)) / 65535.0);
  return true;
}

Mixer& CurrentMixer() {
  if (Mixer* m = gMixer.load()) return *m;
  static std::unique_ptr<Mixer> machine = []() -> std::unique_ptr<Mixer> {
    if (auto alsa = AlsaMixer::OpenMaster()) return alsa;
    return std::make_unique<GainMixer>();
  }();
  return *machine;
}

void SetMixer(Mixer* mixer) { gMixer.store(mixer); }

double MasterGain() {
  std::lock_guard<std::mutex> g(Gain().lock);
  return Gain().gain;
}

void SetMasterGain(double gain) {
  gain = std::clamp(gain, 0.0, 1.0);
  std::vector<std::function<void(double)>> listeners;
  {
    std::lock_guard<std::mutex> g(Gain().lock);
    Gain().gain = gain;
    for (auto& [key, listener] : Gain().listeners) listeners.push_back(listener);
  }
  for (auto& listener : listeners) listener(gain);
}

void AddGainListener(const void* key, std::function<void(double)> listener) {
  std::lock_guard<std::mutex> g(Gain().lock);
  Gain().listeners[key] = std::move(listener);
}

void RemoveGainListener(const void* key) {
  std::lock_guard<std::mutex> g(Gain().lock);
  Gain().listeners.erase(key);
}

}  // namespace media
