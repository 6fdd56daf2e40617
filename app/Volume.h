#pragma once
// Small system services the player's windows share: today's weekday digit, the loudness of the
// sound output, the length of an audio file and deleting a file to the recycle bin.
#include <cstdint>
#include <string>

// The mixer value of a broadcast or music level 0..10, of a prelude level 0..100, and full volume.
constexpr int kLevelStep = 6553;
constexpr int kPreludeStep = 655;
constexpr uint16_t kFullVolume = 65535;

// "1" Monday … "7" Sunday, for today's date.
std::string GetWeekDayDigit();
// Sets both channels of the system's master volume to Value; failures are dropped.
void SetMixerVolume(uint16_t Value);
// The length of the audio file at Path as "mm:ss" (whole hours dropped); "" when it cannot be read.
std::string GetMediaLengthText(const std::string& Path);
// Moves the file to the recycle bin without asking; true on success.
bool DeleteToRecycleBin(const std::string& Path);
