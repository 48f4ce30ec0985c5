#include "window_units/components/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>

#include "runtime/system_libraries.h"

namespace lyra {

namespace {

void Append32(std::string& out, uint32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void Append16(std::string& out, uint16_t v) { out.append(reinterpret_cast<const char*>(&v), 2); }

// Two short rising notes, 16-bit mono PCM at 22050 Hz, each with a soft
// attack and an exponential fade so that nothing clicks.
std::string MakeBuiltInSound() {
    const double rate = 22050.0, pi = 3.14159265358979323846;
    const struct { double frequency, seconds, volume; } notes[] = {{1046.5, 0.035, 0.3}, {1568.0, 0.05, 0.25}};
    std::string samples;
    for (const auto& note : notes) {
        size_t count = static_cast<size_t>(note.seconds * rate);
        for (size_t i = 0; i < count; ++i) {
            double t = static_cast<double>(i) / static_cast<double>(count);
            double envelope = std::fmin(1.0, static_cast<double>(i) / 30.0) * std::exp(-5.0 * t);
            double value = 32767.0 * note.volume * envelope * std::sin(2 * pi * note.frequency * i / rate);
            Append16(samples, static_cast<uint16_t>(static_cast<int16_t>(std::lround(value))));
        }
    }
    std::string wave = "RIFF";
    Append32(wave, static_cast<uint32_t>(36 + samples.size()));
    wave += "WAVEfmt ";
    Append32(wave, 16);
    Append16(wave, 1);  // PCM
    Append16(wave, 1);  // mono
    Append32(wave, 22050);
    Append32(wave, 22050 * 2);
    Append16(wave, 2);
    Append16(wave, 16);
    wave += "data";
    Append32(wave, static_cast<uint32_t>(samples.size()));
    return wave + samples;
}

std::mutex gSoundMutex;
// The bytes of the sound playing now: the player reads them while it plays.
std::string* gPlaying = nullptr;
std::atomic<SoundPlayer> gPlayer{nullptr};
}  // namespace

void SetSoundPlayer(SoundPlayer player) { gPlayer.store(player); }

const std::string& BuiltInSound() {
    static const std::string sound = MakeBuiltInSound();
    return sound;
}

void PlayWaveAsync(const std::string& wave) {
    if (wave.size() < 12 || wave.compare(0, 4, "RIFF") != 0) return;
    if (SoundPlayer player = gPlayer.load()) {
        player(&wave);
        return;
    }
    static const auto playSound = SystemFunction<decltype(&PlaySoundA)>(L"winmm.dll", "PlaySoundA");
    if (playSound == nullptr) return;
    std::lock_guard<std::mutex> lock(gSoundMutex);
    playSound(nullptr, nullptr, 0);
    if (gPlaying == nullptr) gPlaying = new std::string();  // lives as long as the process may play
    *gPlaying = wave;
    playSound(gPlaying->data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

void PlayBuiltInSound() { PlayWaveAsync(BuiltInSound()); }

}  // namespace lyra
