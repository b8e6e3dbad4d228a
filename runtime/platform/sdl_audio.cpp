// The audio half of the SDL twin: SDL_mixer 1.2 behind the platform edge's audio calls.
#include "runtime/platform/platform.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <vector>

namespace Platform {

namespace {
bool audioOpen = false;
unsigned musicVolumeCalls = 0;

// How the device was opened, and what a pause must give back when it opens again.
struct DeviceSetting {
    int frequency = 0;
    uint16_t format = 0;
    int channels = 0;
    int chunkSize = 0;
} opened;
struct Suspended {
    bool active = false;
    std::vector<int> channelVolumes;
    int musicVolume = 128;
    bool musicWasOn = false, musicWasPaused = false;
} suspended;
Mix_Music* lastMusic = nullptr;   // the music last started, and how often it loops
int lastLoops = 0;

Mix_Chunk* AsMix(Chunk* chunk) { return reinterpret_cast<Mix_Chunk*>(chunk); }
Mix_Music* AsMix(Music* music) { return reinterpret_cast<Mix_Music*>(music); }
}  // namespace

bool OpenAudio(int frequency, uint16_t format, int channels, int chunkSize) {
    if (audioOpen) return true;
    audioOpen = Mix_OpenAudio(frequency, format, channels, chunkSize) == 0;
    if (audioOpen) opened = {frequency, format, channels, chunkSize};
    return audioOpen;
}

void CloseAudio() {
    suspended = Suspended();
    if (!audioOpen) return;
    Mix_CloseAudio();
    audioOpen = false;
}

bool AudioOpen() { return audioOpen; }

// Pausing the device would not do: SDL's mixing thread goes on waking to write silence.
// Closing it ends that thread; the chunks survive, as they are already in the device's format.
void SuspendAudio(bool suspend) {
    if (suspend) {
        if (!audioOpen || suspended.active) return;
        suspended.active = true;
        const int count = Mix_AllocateChannels(-1);
        suspended.channelVolumes.assign(count > 0 ? count : 0, MIX_MAX_VOLUME);
        for (int i = 0; i < count; ++i) suspended.channelVolumes[i] = Mix_Volume(i, -1);
        suspended.musicVolume = Mix_VolumeMusic(-1);
        suspended.musicWasOn = lastMusic && Mix_PlayingMusic() != 0;
        suspended.musicWasPaused = suspended.musicWasOn && Mix_PausedMusic() != 0;
        Mix_CloseAudio();
        audioOpen = false;
        return;
    }
    if (!suspended.active) return;
    const Suspended was = suspended;
    suspended = Suspended();
    audioOpen = Mix_OpenAudio(opened.frequency, opened.format, opened.channels, opened.chunkSize) == 0;
    if (!audioOpen) return;   // the device has gone meanwhile: silent from here on
    Mix_AllocateChannels(static_cast<int>(was.channelVolumes.size()));
    for (size_t i = 0; i < was.channelVolumes.size(); ++i) Mix_Volume(static_cast<int>(i), was.channelVolumes[i]);
    Mix_VolumeMusic(was.musicVolume);
    if (was.musicWasOn && Mix_PlayMusic(lastMusic, lastLoops) == 0 && was.musicWasPaused) Mix_PauseMusic();
}

int AllocateChannels(int count) { return audioOpen ? Mix_AllocateChannels(count) : 0; }

int ChannelVolume(int channel, int volume) { return audioOpen ? Mix_Volume(channel, volume) : 0; }

int ChunkVolume(Chunk* chunk, int volume) { return chunk ? Mix_VolumeChunk(AsMix(chunk), volume) : 0; }

Chunk* LoadWav(const char* path) {
    if (!audioOpen || !path) return nullptr;
    SDL_RWops* rw = SDL_RWFromFile(path, "rb");
    if (!rw) return nullptr;
    return reinterpret_cast<Chunk*>(Mix_LoadWAV_RW(rw, 1));
}

void FreeChunk(Chunk* chunk) {
    if (chunk) Mix_FreeChunk(AsMix(chunk));
}

int PlayChannel(int channel, Chunk* chunk, int loops) {
    if (!audioOpen || !chunk) return -1;
    return Mix_PlayChannelTimed(channel, AsMix(chunk), loops, -1);
}

bool ChannelPlaying(int channel) { return audioOpen && Mix_Playing(channel) != 0; }

void HaltChannel(int channel) {
    if (audioOpen) Mix_HaltChannel(channel);
}

Music* LoadMusic(const char* path) {
    if (!audioOpen) {
        SDL_SetError("Audio device hasn't been opened");
        return nullptr;
    }
    return reinterpret_cast<Music*>(Mix_LoadMUS(path));
}

void FreeMusic(Music* music) {
    if (!music) return;
    if (AsMix(music) == lastMusic) lastMusic = nullptr;
    Mix_FreeMusic(AsMix(music));
}

bool PlayMusic(Music* music, int loops) {
    if (!music || Mix_PlayMusic(AsMix(music), loops) != 0) return false;
    lastMusic = AsMix(music);
    lastLoops = loops;
    return true;
}

void HaltMusic() {
    if (audioOpen) Mix_HaltMusic();
}

void PauseMusic() {
    if (audioOpen) Mix_PauseMusic();
}

void ResumeMusic() {
    if (audioOpen) Mix_ResumeMusic();
}

int MusicVolume(int volume) {
    if (volume >= 0) ++musicVolumeCalls;
    return audioOpen ? Mix_VolumeMusic(volume) : 0;
}

bool MusicPlaying() { return audioOpen && Mix_PlayingMusic() != 0; }

bool MusicPaused() { return audioOpen && Mix_PausedMusic() != 0; }

unsigned MusicVolumeCalls() { return musicVolumeCalls; }

}  // namespace Platform
