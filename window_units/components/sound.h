// Playing the components' stored sounds without waiting for them.
#pragma once

#include <string>

namespace lyra {

// Plays a RIFF/WAVE file asynchronously. The bytes are copied, so the
// caller may change or free its own copy at once; a new sound stops the
// one playing.
void PlayWaveAsync(const std::string& wave);
// The runtime's own built-in sound, a RIFF/WAVE file generated once.
const std::string& BuiltInSound();
// Plays the built-in sound as PlayWaveAsync does.
void PlayBuiltInSound();

// Where the sounds go: null restores the system's player. Tests listen here.
using SoundPlayer = void (*)(const std::string* wave);
void SetSoundPlayer(SoundPlayer player);

}  // namespace lyra
