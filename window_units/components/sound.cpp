#include "window_units/components/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <atomic>
#include <mutex>

namespace lyra {

namespace {
std::mutex gSoundMutex;
// The bytes of the sound playing now: the player reads them while it plays.
std::string* gPlaying = nullptr;
std::atomic<SoundPlayer> gPlayer{nullptr};
}  // namespace

void SetSoundPlayer(SoundPlayer player) { gPlayer.store(player); }

void PlayWaveAsync(const std::string& wave) {
    if (wave.size() < 12 || wave.compare(0, 4, "RIFF") != 0) return;
    if (SoundPlayer player = gPlayer.load()) {
        player(&wave);
        return;
    }
    std::lock_guard<std::mutex> lock(gSoundMutex);
    PlaySoundW(nullptr, nullptr, 0);
    if (gPlaying == nullptr) gPlaying = new std::string();  // lives as long as the process may play
    *gPlaying = wave;
    PlaySoundA(gPlaying->data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

void PlayBuiltInSound() {
    if (SoundPlayer player = gPlayer.load()) {
        player(nullptr);
        return;
    }
    std::lock_guard<std::mutex> lock(gSoundMutex);
    PlaySoundW(L"LYRABOX_BUTTON_SOUND", GetModuleHandleW(nullptr), SND_RESOURCE | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
}

}  // namespace lyra
