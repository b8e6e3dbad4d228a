// Music: the single music stream, its volume cache and the device's music notifications.
#include "runtime/audio/music.h"

#include <cstdio>

#include "runtime/audio/media_path.h"
#include "runtime/audio/sound_check.h"
#include "runtime/core/device_services.h"
#include "runtime/core/error_state.h"
#include "runtime/core/lifecycle.h"
#include "runtime/input/input_state.h"
#include "runtime/platform/platform.h"

namespace {
Platform::Music* currentMusic = nullptr;
float volumeCache = -1.0f;  // the last volume given to the mixer here; -1 = none yet
KString musicPath;

void FreeCurrentMusic() {
    if (!currentMusic) return;
    Platform::HaltMusic();
    Platform::FreeMusic(currentMusic);
    currentMusic = nullptr;
}
}  // namespace

void PlayMusicFile(const KString& name, float loop) {
    ClearError();
    volumeCache = -1.0f;
    PDL_NotifyMusicPlaying(false);
    FreeCurrentMusic();
    musicPath = name;
    KString path;
    if (!FindMediaPath(musicPath, path)) {
        SetError(ERROR_NO_SUCH_FILE);
        return;
    }
    PDL_NotifyMusicPlaying(true);
    const std::string wrong = CheckMusicFile(path.c_str());
    if (wrong.empty()) currentMusic = Platform::LoadMusic(path.c_str());
    if (!wrong.empty()) {
        std::printf("PLAYMUSIC: %s: %s\n", path.c_str(), wrong.c_str());
    } else if (!currentMusic) {
        std::printf("PLAYMUSIC: %s\n", Platform::LastError());
    } else {
        Platform::PlayMusic(currentMusic, loop != 0.0f ? -1 : 1);
        Platform::MusicVolume(128);
    }
    if (volumeCache != 1.0f) {
        volumeCache = 1.0f;
        Platform::MusicVolume(128);
    }
    SetPaused(0);
    if (inputState && !inputState->trackPointer) inputState->trackPointer = 1;
}

void StopMusic() {
    volumeCache = -1.0f;
    PDL_NotifyMusicPlaying(false);
    FreeCurrentMusic();
}

void PauseMusic(float flag) {
    if (flag == 0.0f) return;
    if (Platform::MusicPlaying())
        Platform::PauseMusic();
    else
        Platform::ResumeMusic();
}

void SetMusicVolume(float volume) {
    if (volume == volumeCache) return;
    volumeCache = volume;
    // A negative level would read as a query to the mixer, so it is held at silence.
    float level = volume * 128.0f;
    Platform::MusicVolume(level > 0.0f ? (level < 128.0f ? int(level) : 128) : 0);
}

float MusicPlaying() { return Platform::MusicPlaying() ? 1.0f : 0.0f; }
