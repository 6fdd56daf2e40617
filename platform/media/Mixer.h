#pragma once
// The loudness of everything the program plays: one master volume, 0..65535 per channel.
// The real mixer sets the ALSA "Master" playback control when the machine has one; otherwise
// the layer keeps a master gain that every player applies to its stream. Tests install a
// recorder (tests/support) instead.
#include <cstdint>
#include <functional>
#include <memory>

namespace media {

class Mixer {
 public:
  virtual ~Mixer() = default;
  // Sets the master volume of both channels; false when the device refused it.
  virtual bool SetMasterVolume(uint16_t left, uint16_t right) = 0;
};

// The ALSA "Master" control of the default card.
class AlsaMixer : public Mixer {
 public:
  // nullptr when the machine has no such control.
  static std::unique_ptr<AlsaMixer> OpenMaster();
  ~AlsaMixer() override;
  bool SetMasterVolume(uint16_t left, uint16_t right) override;

 private:
  AlsaMixer() = default;
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// No system control: the loudest channel becomes the master gain applied to every player.
class GainMixer : public Mixer {
 public:
  bool SetMasterVolume(uint16_t left, uint16_t right) override;
};

// The mixer in use: the one installed by SetMixer, else ALSA's Master, else the gain mixer.
Mixer& CurrentMixer();
// Installs a mixer (nullptr restores the machine's). The caller keeps ownership.
void SetMixer(Mixer* mixer);

// Master gain 0.0..1.0 that players apply to their streams (1.0 unless the gain mixer set it).
double MasterGain();
void SetMasterGain(double gain);
// Players hear of gain changes through a listener, keyed by the player.
void AddGainListener(const void* key, std::function<void(double)> listener);
void RemoveGainListener(const void* key);

}  // namespace media
